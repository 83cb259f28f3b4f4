// The "J1.0" text form (compact writing, GBK pass-through, nesting, shapes) and the message table.
#include <gtest/gtest.h>

#include <string>

#include "platform/codepage.h"
#include "rgcomp/json_form.h"
#include "rgcomp/rpg_comp_codes.h"

namespace {

using velt::JsonFormWriter;

const std::string kGbkStock = "\xD6\xA4\xC8\xAF";   // the GBK bytes of the word for securities

Json::Value Parse(const std::string& text) {
  Json::Value v;
  EXPECT_TRUE(velt::ParseJson(text.data(), text.size(), v)) << text;
  return v;
}

TEST(RpgCompMessages, GbkBytesSayTheWordsOfEachCode) {
  const struct {
    int code;
    const char* utf8;
  } cases[] = {
      {velt::kCBExists, "组件已存在！"},         {velt::kCBNotFound, "组件不存在！"},
      {velt::kCBSubNotFound, "子组件不存在！"},  {velt::kCBParseFailed, "组件数据解析失败！"},
      {velt::kRGExists, "重复组已存在！"},       {velt::kRGNotFound, "重复组不存在！"},
      {velt::kRGSubCBNotFound, "子组件不存在！"}, {velt::kRGSubRGNotFound, "子重复组不存在！"},
      {velt::kRGParseFailed, "重复组数据解析失败！"},
  };
  for (const auto& c : cases) {
    const std::string gbk = velt::RpgCompMessage(c.code);
    for (unsigned char ch : gbk) EXPECT_GE(ch, 0x80) << c.code << ": single-byte GBK, no UTF-8 left";
    const auto utf8 = velt::platform::GbkToUtf8(gbk);
    ASSERT_TRUE(utf8.has_value()) << c.code;
    EXPECT_EQ(*utf8, c.utf8) << c.code;
  }
  for (int code : {0, -1, -2, -3, -4, -5, -802, -910}) EXPECT_STREQ(velt::RpgCompMessage(code), "") << code;
}

TEST(JsonFormWriter, CompactSortedByBytesWithGbkAndHighBytesUnchanged) {
  Json::Value v;
  v["b"] = "x y";
  v["a"] = kGbkStock;
  v[kGbkStock] = "\x7F\x80\xFF";
  v["B"] = Json::Value(Json::arrayValue);
  v["B"].append("q");
  v["B"].append(Json::Value());
  std::string text = "stale";
  JsonFormWriter writer;
  writer.Write(v, text);
  EXPECT_EQ(text, "J1.0{\"B\":[\"q\",null],\"a\":\"" + kGbkStock + "\",\"b\":\"x y\",\"" + kGbkStock +
                      "\":\"\x7F\x80\xFF\"}\n");
  writer.Write(Json::Value(), text);   // the writer is reused
  EXPECT_EQ(text, "J1.0null\n");
}

TEST(JsonFormWriter, WhatItWritesReadsBackByteForByte) {
  Json::Value v(Json::arrayValue);
  v.append(Json::Value(Json::arrayValue));
  v[0].append(kGbkStock + "\"\\\n\x01");
  v[0].append(std::string("nul\0in", 6));
  std::string text;
  JsonFormWriter().Write(v, text);
  ASSERT_TRUE(velt::HasJsonFormMark(text.data(), text.size()));
  EXPECT_EQ(Parse(text.substr(4)), v);
}

TEST(JsonFormReader, DefaultSettingsAcceptTrailingTextAndRefuseNonJson) {
  EXPECT_EQ(Parse("[1] and more"), Parse("[1]"));
  Json::Value v;
  for (const std::string bad : {"", "\n", "{", "[1,", "nul", "'a'"}) {
    EXPECT_FALSE(velt::ParseJson(bad.data(), bad.size(), v)) << bad;
  }
}

TEST(JsonNesting, CountsLevelsAsTheReaderDoesSoWrittenTextsStayReadable) {
  for (int depth : {999, 1000, 1001}) {
    const std::string text = std::string(depth - 1, '[') + "1" + std::string(depth - 1, ']');
    Json::Value v;
    const bool parsed = velt::ParseJson(text.data(), text.size(), v);
    EXPECT_EQ(parsed, depth <= velt::kMaxJsonNesting) << depth;
    if (parsed) {
      EXPECT_EQ(velt::JsonNesting(v), depth);
      EXPECT_TRUE(velt::FitsNested(v, 0));
      EXPECT_EQ(velt::FitsNested(v, 1), depth < velt::kMaxJsonNesting);
    }
  }
  EXPECT_EQ(velt::JsonNesting(Parse("[[],{\"a\":[1]},2]")), 4);
}

TEST(JsonShapes, ComponentRootsAndGroupRows) {
  const struct {
    const char* json;
    bool component;
    bool group;
  } cases[] = {
      {"null", true, false},
      {"{}", true, false},
      {"{\"a\":[1]}", true, false},
      {"[]", false, false},
      {"[[]]", false, true},
      {"[[\"a\"],null,[\"x\",{}],[]]", false, true},
      {"[[\"a\",1]]", false, false},
      {"[[\"a\"],\"row\"]", false, false},
      {"[[\"a\"],{}]", false, false},
      {"[\"a\"]", false, false},
      {"\"text\"", false, false},
      {"7", false, false},
  };
  for (const auto& c : cases) {
    const Json::Value v = Parse(c.json);
    EXPECT_EQ(velt::IsComponentRoot(v), c.component) << c.json;
    EXPECT_EQ(velt::IsGroupRows(v), c.group) << c.json;
  }
}

}  // namespace
