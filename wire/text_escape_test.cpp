// The escape sets: what each escapes, what decodes, and the bounds of a cut decode.
#include "wire/text_escape.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using velt::wire::Escaped;
using velt::wire::kCellEscapes;
using velt::wire::kPairEscapes;
using velt::wire::Unescaped;

TEST(TextEscape, EachSetEscapesOnlyItsCharacters) {
  EXPECT_EQ(Escaped("a%b&c=d@e,f", kPairEscapes), "a@25b@26c@3Dd@40e,f");
  EXPECT_EQ(Escaped("a%b&c=d@e,f", kCellEscapes), "a%b&c=d@40e@2Cf");
  EXPECT_EQ(velt::wire::EscapedLength("%&=@,", kPairEscapes), 13u);
}

TEST(TextEscape, DecodesOnlyEscapesOfItsSet) {
  struct Case { const char* raw; const char* pair; const char* cell; };
  const Case cases[] = {
      {"@25@26@3D@40", "%&=@", "@25@26@3D@"},
      {"@2C@40", "@2C@", ",@"},
      {"@3d@2c", "@3d@2c", "@3d@2c"},   // lower-case digits are no escape
      {"x@4", "x@4", "x@4"},            // cut escape at the end stays as it is
      {"@@40", "@@", "@@"},
      {"@41", "@41", "@41"},            // "A" is in neither set
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Unescaped(c.raw, kPairEscapes), c.pair) << c.raw;
    EXPECT_EQ(Unescaped(c.raw, kCellEscapes), c.cell) << c.raw;
  }
}

TEST(TextEscape, RoundTripOfEveryByte) {
  std::string all;
  for (int c = 1; c < 256; ++c) all += static_cast<char>(c);
  EXPECT_EQ(Unescaped(Escaped(all, kPairEscapes), kPairEscapes), all);
  EXPECT_EQ(Unescaped(Escaped(all, kCellEscapes), kCellEscapes), all);
}

TEST(TextEscape, CutDecodeReportsTheWholeLengthAndDecodesInPlace) {
  char out[4] = {'#', '#', '#', '#'};
  EXPECT_EQ(velt::wire::Unescape("ab@40cd", out, 3, kPairEscapes), 5u);
  EXPECT_EQ(std::string(out, 4), "ab@#");
  std::string buffer = "x@26y@3Dz";
  const std::size_t n = velt::wire::Unescape(buffer, buffer.data(), buffer.size(), kPairEscapes);
  EXPECT_EQ(buffer.substr(0, n), "x&y=z");
}

}  // namespace
