// Named values of an answer: the lookup codes through the session, text against binary values,
// markers without their Base64 pair.
#include "codec/answer_reader.h"

#include <gtest/gtest.h>

#include <string>

#include "codec/codec_test_support.h"
#include "codec/request_writer.h"

namespace {

using velt::test::Answer;

std::string Bytes(const unsigned char* data, long length) {
  return std::string(reinterpret_cast<const char*>(data), static_cast<std::size_t>(length));
}

TEST(AnswerReader, GetValueCodes) {
  velt::PacketSession s;
  char out[8] = "#######";
  EXPECT_EQ(velt::GetValue(s, "k", out, 4), 2) << "a fresh session has no packet text";
  Answer(s, "k=abcd&e=&n=1@26", true);
  EXPECT_EQ(velt::GetValue(s, "k", out, 3), 100);
  EXPECT_EQ(std::string(out, 4), "abc#") << "exactly len characters, nothing past them";
  EXPECT_EQ(velt::GetValue(s, "k", out, 4), 0);
  EXPECT_STREQ(out, "abcd");
  EXPECT_EQ(velt::GetValue(s, "e", out, 4), 0);
  EXPECT_STREQ(out, "");
  EXPECT_EQ(velt::GetValue(s, "n", out, 4), 0);
  EXPECT_STREQ(out, "1&");
  EXPECT_EQ(velt::GetValue(s, "x", out, 4), 1);
  EXPECT_STREQ(out, "");
  EXPECT_EQ(velt::GetValue(s, "k", out, 0), 3);
  EXPECT_EQ(velt::GetValue(s, std::string(101, 'k').c_str(), out, 4), 4);
  EXPECT_EQ(velt::GetValue(s, "k", nullptr, 4), 1);
}

TEST(AnswerReader, GetValTextAndBinary) {
  velt::PacketSession s;
  ASSERT_EQ(velt::BeginWrite(s), 0);
  const unsigned char bytes[] = {0x00, 0xFF, '&', '=', 0x10};
  ASSERT_EQ(velt::StoreBinary(s, "bin", bytes, sizeof bytes), 0);
  ASSERT_EQ(velt::SetValue(s, "txt", "a%b"), 0);
  unsigned char* data = nullptr;
  long length = -1;
  ASSERT_EQ(velt::GetVal(s, "bin", &data, &length), 0);
  EXPECT_EQ(Bytes(data, length), Bytes(bytes, sizeof bytes));
  EXPECT_EQ(data[length], 0) << "a zero byte follows";
  ASSERT_EQ(velt::GetVal(s, "txt", &data, &length), 0);
  EXPECT_EQ(Bytes(data, length), "a%b");

  EXPECT_EQ(velt::GetVal(s, "nope", &data, &length), 13);
  EXPECT_EQ(data, nullptr);
  EXPECT_EQ(length, 0);
  EXPECT_EQ(velt::GetVal(s, std::string(101, 'n').c_str(), &data, &length), 12);
  EXPECT_EQ(velt::GetVal(s, nullptr, &data, &length), 11);
  EXPECT_EQ(velt::GetVal(s, "bin", nullptr, &length), 11);

  Answer(s, "m=_BASE64_m&x=1", true);
  EXPECT_EQ(velt::GetVal(s, "m", &data, &length), 15) << "a marker without its Base64 pair";
  Answer(s, "m=_BASE64_m&_BASE64_m=QU\nJD@3D@3D", true);
  ASSERT_EQ(velt::GetVal(s, "m", &data, &length), 0) << "characters outside the alphabet are skipped";
  EXPECT_EQ(Bytes(data, length), "ABC");
}

}  // namespace
