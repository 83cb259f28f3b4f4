// The structure converter: layouts with and without packing, the grammar's refusals, byte
// reversal per element, remainders and short destinations.
#include "codec/struct_converter.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(StructConverter, LayoutFollowsPacking) {
  velt::StructLayout packed;
  ASSERT_TRUE(velt::ParseStructDefinition("#pragma pack(1) struct r { char c; int n; short s[2]; };", packed));
  EXPECT_EQ(packed.fields[1].offset, 1);
  EXPECT_EQ(packed.fields[2].offset, 5);
  EXPECT_EQ(packed.recordSize, 9);
  velt::StructLayout natural;
  ASSERT_TRUE(velt::ParseStructDefinition("struct { char c; int n; short s[2]; }", natural));
  EXPECT_EQ(natural.fields[1].offset, 4);
  EXPECT_EQ(natural.fields[2].offset, 8);
  EXPECT_EQ(natural.recordSize, 12);
  velt::StructLayout wide;
  ASSERT_TRUE(velt::ParseStructDefinition("#pragma pack(16)\nstruct{char c;\tlong double d;} trailing words "
                                          "of any length aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa ,,,",
                                          wide));
  EXPECT_EQ(wide.fields[1].elementSize, 8);
  EXPECT_EQ(wide.fields[1].baseType, velt::StructBase::kDouble);
  EXPECT_EQ(wide.fields[1].offset, 8) << "pack 16 behaves like 8";
  EXPECT_EQ(wide.recordSize, 16);
}

TEST(StructConverter, RefusedDefinitions) {
  std::string many = "struct {";
  for (int i = 0; i < 201; ++i) many += " char f" + std::to_string(i) + ";";
  many += " }";
  const std::string longName = "struct { int " + std::string(32, 'n') + "; }";
  const std::string fits = "struct { int " + std::string(31, 'n') + "; }";
  const char* refused[] = {
      "struct { short double d; }", "struct { unsigned x; }", "#pragma pack(3) struct { int a; }",
      "struct { }", "struct { long long x; }", "struct { short char c; }", "struct { long float f; }",
      "struct { int a[0]; }", "struct { int a }", "struct { int int; }", "struct { int 1a; }",
      "struct int { int a; }", "struct { int a[x]; }", "struct { int a, b; }", "struct { int a;",
      "pack(1) struct { int a; }", "# pragma pack 1 struct { int a; }", "", many.c_str(), longName.c_str(),
  };
  for (const char* definition : refused) {
    velt::StructLayout layout;
    EXPECT_FALSE(velt::ParseStructDefinition(definition, layout)) << definition;
  }
  const char* accepted[] = {"struct { unsigned int x; }", "struct s { signed char c[10]; short int h; long int l; }",
                            "struct{double d;float f;}", fits.c_str(), "struct { char a[0]; int b; }"};
  for (const char* definition : accepted) {
    velt::StructLayout layout;
    EXPECT_TRUE(velt::ParseStructDefinition(definition, layout)) << definition;
  }
}

TEST(StructConverter, ReversesEveryNumericElement) {
  const char* definition = "struct { char tag[10]; int n[3]; short s; }";   // 10, pad 2, 12, 2, pad 2: 28
  std::vector<unsigned char> source(56);
  for (std::size_t i = 0; i < source.size(); ++i) source[i] = static_cast<unsigned char>(i);
  std::vector<unsigned char> out(56, 0xEE);
  ASSERT_EQ(velt::ConvertStructs(definition, 0, source.data(), 56, 1, out.data(), 56), 0);
  for (int r = 0; r < 2; ++r) {
    const int base = r * 28;
    for (int i = 0; i < 10; ++i) EXPECT_EQ(out[base + i], source[base + i]) << "characters copied";
    EXPECT_EQ(out[base + 10], 0xEE) << "alignment gaps are not written";
    for (int e = 0; e < 3; ++e) {
      for (int b = 0; b < 4; ++b) EXPECT_EQ(out[base + 12 + e * 4 + b], source[base + 12 + e * 4 + 3 - b]);
    }
    EXPECT_EQ(out[base + 24], source[base + 25]);
    EXPECT_EQ(out[base + 25], source[base + 24]);
    EXPECT_EQ(out[base + 27], 0xEE);
  }
}

TEST(StructConverter, LengthsAndOrders) {
  const char* definition = "struct { char c; int n; short s[2]; }";   // 12 bytes
  unsigned char source[25] = {1, 2, 3};
  unsigned char out[25] = {};
  EXPECT_EQ(velt::ConvertStructs(definition, 0, source, 24, 1, out, 24), 0);
  EXPECT_EQ(velt::ConvertStructs(definition, 0, source, 25, 1, out, 25), -1) << "a remainder";
  std::fill(std::begin(out), std::end(out), 0xAA);
  EXPECT_EQ(velt::ConvertStructs(definition, 0, source, 24, 1, out, 23), -1) << "a short destination";
  EXPECT_EQ(out[0], 0xAA) << "nothing written";
  EXPECT_EQ(velt::ConvertStructs(definition, 0, source, 0, 1, out, 0), 0);
  EXPECT_EQ(velt::ConvertStructs("struct { }", 0, source, 12, 1, out, 12), -1);
  EXPECT_EQ(velt::ConvertStructs(nullptr, 0, source, 12, 1, out, 12), -1);
  EXPECT_EQ(velt::ConvertStructs("not a struct", 7, source, 3, 7, out, 2), 0) << "equal orders just copy";
  EXPECT_EQ(out[0], 1);
  EXPECT_EQ(out[1], 2);
  EXPECT_EQ(out[2], 0xAA) << "min(source, destination) bytes";
  EXPECT_EQ(velt::ConvertStructs(definition, 0, nullptr, 12, 1, out, 12), -1);
}

}  // namespace
