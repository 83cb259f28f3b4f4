// The additional request values of a control, as they land in the request text.
#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>
#include <string>

#include "codec/answer_reader.h"
#include "codec/request_writer.h"
#include "core/session.h"
#include "infocenter/info_exchange.h"

namespace {

std::string Value(CLUNQCliBase& s, const char* name) {
  char out[512];
  return velt::GetValue(s, name, out, sizeof out - 1) == 0 ? std::string(out) : std::string("<none>");
}

TEST(ExtraValues, PairsUpToTheFirstEmptyNameOrANewline) {
  const struct {
    const char* area;
    const char* a;
    const char* b;
    const char* topic;
  } cases[] = {
      {"a|1|b|2", "1", "2", "T"},
      {"a|1||2", "1", "<none>", "T"},
      {"a|1\nb|2", "1", "<none>", "T"},
      {"topicname|X|a|1", "1", "<none>", "X"},   // overrides the call's own value
      {"", "<none>", "<none>", "T"},
      {"|1|a|2", "<none>", "<none>", "T"},
  };
  for (const auto& c : cases) {
    CLUNQCliBase s;
    velt::BeginWrite(s);
    velt::SetValue(s, "topicname", "T");
    tagInfoControl control;
    std::memset(&control, 0, sizeof control);
    std::strncpy(control.szExtFields, c.area, sizeof control.szExtFields - 1);
    velt::AddExtraValues(s, control);
    EXPECT_EQ(Value(s, "a"), c.a) << c.area;
    EXPECT_EQ(Value(s, "b"), c.b) << c.area;
    EXPECT_EQ(Value(s, "topicname"), c.topic) << c.area;
  }
}

TEST(ExtraValues, ItemsAreCutAt254AndAnUnterminatedAreaIsReadWithinItsBounds) {
  CLUNQCliBase s;
  velt::BeginWrite(s);
  tagInfoControl control;
  std::memset(&control, 'v', sizeof control);
  const std::string name = "n" + std::string(300, 'x');
  std::memcpy(control.szExtFields, name.data(), name.size());
  control.szExtFields[name.size()] = '|';
  // The value runs to the end of the area without a terminator.
  velt::AddExtraValues(s, control);
  const std::string cut = name.substr(0, 254);
  char out[400];
  ASSERT_EQ(velt::GetValue(s, cut.c_str(), out, sizeof out - 1), 4);   // names over 100 are not looked up
  const std::string text(s.packet.Text(), static_cast<std::size_t>(s.CommLen()));
  EXPECT_NE(text.find(cut + "=" + std::string(254, 'v')), std::string::npos);
  EXPECT_EQ(text.find(cut + "x"), std::string::npos);
  EXPECT_EQ(text.find(std::string(255, 'v')), std::string::npos);
}

}  // namespace

namespace {

TEST(InfoControlLayout, PackedWithAPointerSizedCallback) {
  const std::size_t pointerExtra = sizeof(void*) - 4;
  EXPECT_EQ(sizeof(tagInfoControl), 4880u + pointerExtra);
  EXPECT_EQ(offsetof(tagInfoControl, nExpiry), 4u);
  EXPECT_EQ(offsetof(tagInfoControl, szUserId), 16u);
  EXPECT_EQ(offsetof(tagInfoControl, szPassword), 145u);
  EXPECT_EQ(offsetof(tagInfoControl, szFilter), 402u);
  EXPECT_EQ(offsetof(tagInfoControl, szCbQueueInfo), 915u);
  EXPECT_EQ(offsetof(tagInfoControl, szCbParm), 1044u);
  EXPECT_EQ(offsetof(tagInfoControl, szSubContext), 1173u);
  EXPECT_EQ(offsetof(tagInfoControl, szId), 2198u);
  EXPECT_EQ(offsetof(tagInfoControl, szMsgId), 2225u);
  EXPECT_EQ(offsetof(tagInfoControl, szCorrId), 2258u);
  EXPECT_EQ(offsetof(tagInfoControl, nSubMode), 2291u);
  EXPECT_EQ(offsetof(tagInfoControl, nCbCallMode), 2295u);
  EXPECT_EQ(offsetof(tagInfoControl, szTopicName), 2299u);
  EXPECT_EQ(offsetof(tagInfoControl, n64SubNo), 2812u);
  EXPECT_EQ(offsetof(tagInfoControl, tTimeStamp), 2820u);
  EXPECT_EQ(offsetof(tagInfoControl, pfnCallback), 2828u);
  EXPECT_EQ(offsetof(tagInfoControl, szExtFields), 2832u + pointerExtra);
}

}  // namespace
