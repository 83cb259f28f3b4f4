// Components of the store: current-object rules, members, binary values, sub-components, open/write.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "rgcomp/rpg_comp_pack.h"

namespace {

using namespace velt;
using namespace std::string_literals;

class ComponentStore : public ::testing::Test {
 protected:
  std::string Write(const char* name) {
    std::string text;
    EXPECT_EQ(store.CBWrite(name, text), kRpgOk) << name;
    return text;
  }
  int Open(const char* name, const std::string& text) {
    return store.CBOpen(name, text.data(), static_cast<long>(text.size()));
  }
  std::string Get(const char* member) {
    char buffer[256];
    const int rc = store.CBGetValue(member, buffer, sizeof buffer);
    return rc == kRpgOk ? std::string(buffer) : "<" + std::to_string(rc) + ">";
  }
  std::string CurrentName() const {
    return store.CurrentComponent() != nullptr ? store.CurrentComponent()->Name() : "<none>";
  }

  RpgCompPack store;
};

TEST_F(ComponentStore, CreateTwiceRefusesAndKeepsTheFirstCurrent) {
  ASSERT_EQ(store.CBCreate("a"), kRpgOk);
  ASSERT_EQ(store.CBSetValue("k", "1"), kRpgOk);
  ASSERT_EQ(store.CBCreate("b"), kRpgOk);
  EXPECT_EQ(store.CBCreate("b"), kCBExists);
  EXPECT_STREQ(store.LastError(), RpgCompMessage(kCBExists));
  EXPECT_EQ(CurrentName(), "b");
  EXPECT_EQ(store.CBCreate(nullptr), kRpgInvalid);
  EXPECT_EQ(Write("a"), "J1.0{\"k\":\"1\"}\n");
  EXPECT_EQ(Write("b"), "J1.0null\n");
}

TEST_F(ComponentStore, CurrentComponentAfterDestroyCloseAndOpen) {
  ASSERT_EQ(store.CBCreate("a"), kRpgOk);
  ASSERT_EQ(store.CBCreate("b"), kRpgOk);
  EXPECT_EQ(store.CBSetCurr("a"), kRpgOk);
  EXPECT_EQ(CurrentName(), "a");
  EXPECT_EQ(store.CBSetCurr("zz"), kCBNotFound);
  EXPECT_STREQ(store.LastError(), RpgCompMessage(kCBNotFound));
  EXPECT_EQ(CurrentName(), "a");

  // Destroying another component leaves the current one; destroying the current one clears it.
  EXPECT_EQ(store.CBDestroy("b"), kRpgOk);
  EXPECT_EQ(CurrentName(), "a");
  EXPECT_EQ(store.CBDestroy("b"), kCBNotFound);
  EXPECT_EQ(store.CBDestroy(nullptr), kRpgOk);
  EXPECT_EQ(CurrentName(), "<none>");

  // With no current component: selecting, null-name destroy and close refuse.
  ASSERT_EQ(store.CBCreate("c"), kRpgOk);
  ASSERT_EQ(store.CBCreate("d"), kRpgOk);
  ASSERT_EQ(store.CBClose(nullptr), kRpgOk);   // closes d, the current one
  EXPECT_EQ(CurrentName(), "<none>");
  EXPECT_EQ(store.CBSetCurr("c"), kRpgInvalid);
  EXPECT_EQ(store.CBDestroy(nullptr), kRpgInvalid);
  EXPECT_EQ(store.CBClose("c"), kRpgInvalid);
  EXPECT_EQ(store.CBSelect("c"), kRpgOk);   // slot 7 selects without the current-object test
  EXPECT_EQ(CurrentName(), "c");

  // Close names any component once there is a current one.
  ASSERT_EQ(store.CBCreate("e"), kRpgOk);
  EXPECT_EQ(store.CBClose("c"), kRpgOk);
  EXPECT_EQ(CurrentName(), "e");
  std::string text;
  EXPECT_EQ(store.CBWrite("c", text), kCBNotFound);

  // Open of an existing name selects it without parsing, even without the mark.
  EXPECT_EQ(store.CBCreate("f"), kRpgOk);
  EXPECT_EQ(Open("e", "not json at all"), kRpgOk);
  EXPECT_EQ(CurrentName(), "e");
}

TEST_F(ComponentStore, ValueOperationsNeedACurrentComponentAndArguments) {
  char buffer[8];
  unsigned char* data = nullptr;
  long length = 0;
  const unsigned char bytes[] = {1};
  EXPECT_EQ(store.CBSetValue("k", "v"), kRpgInvalid);
  EXPECT_EQ(store.CBSetVal("k", bytes, 1), kRpgInvalid);
  EXPECT_EQ(store.CBGetValue("k", buffer, 8), kRpgInvalid);
  EXPECT_EQ(store.CBGetVal("k", &data, &length), kRpgInvalid);
  EXPECT_EQ(store.CBSetSubCBValue("k"), kRpgInvalid);
  EXPECT_EQ(store.CBGetSubCBValue("k"), kRpgInvalid);
  ASSERT_EQ(store.CBCreate("c"), kRpgOk);
  EXPECT_EQ(store.CBSetValue(nullptr, "v"), kRpgInvalid);
  EXPECT_EQ(store.CBSetValue("k", nullptr), kRpgInvalid);
  EXPECT_EQ(store.CBSetVal("k", nullptr, 0), kRpgInvalid);
  EXPECT_EQ(store.CBSetVal("k", bytes, -1), kRpgInvalid);
  EXPECT_EQ(store.CBGetValue("k", nullptr, 8), kRpgInvalid);
  EXPECT_EQ(store.CBGetVal("k", nullptr, &length), kRpgInvalid);
  EXPECT_EQ(store.CBGetVal("k", &data, nullptr), kRpgInvalid);
  EXPECT_EQ(store.NoOperation4(), kRpgOk);
  EXPECT_EQ(Write("c"), "J1.0null\n");   // nothing was stored by the refused calls
}

TEST_F(ComponentStore, TextMembersReplaceReadBoundedAndMissingOnesAreRecordedAsNull) {
  ASSERT_EQ(store.CBCreate("c"), kRpgOk);
  ASSERT_EQ(store.CBSetValue("name", "old"), kRpgOk);
  ASSERT_EQ(store.CBSetValue("name", "\xD6\xA4\xC8\xAF"), kRpgOk);
  EXPECT_EQ(Get("name"), "\xD6\xA4\xC8\xAF");
  EXPECT_EQ(Get("missing"), "");
  EXPECT_EQ(Write("c"), "J1.0{\"missing\":null,\"name\":\"\xD6\xA4\xC8\xAF\"}\n");

  char buffer[6];
  std::memset(buffer, '#', sizeof buffer);
  EXPECT_EQ(store.CBGetValue("name", buffer, 5), kRpgOk);
  EXPECT_EQ(std::string(buffer, 6), "\xD6\xA4\xC8\xAF\0#"s);
  std::memset(buffer, '#', sizeof buffer);
  EXPECT_EQ(store.CBGetValue("name", buffer, 4), kRpgOk);   // exactly len bytes: no terminator
  EXPECT_EQ(std::string(buffer, 6), "\xD6\xA4\xC8\xAF##");
  EXPECT_EQ(store.CBGetValue("name", buffer, 2), kRpgOk);
  EXPECT_EQ(std::string(buffer, 6), "\xD6\xA4\xC8\xAF##");
  std::memset(buffer, '#', sizeof buffer);
  EXPECT_EQ(store.CBGetValue("name", buffer, 0), kRpgOk);
  EXPECT_EQ(buffer[0], '#');
}

TEST_F(ComponentStore, TextReadOfAMemberHoldingNoTextIsRefused) {
  ASSERT_EQ(Open("c", "J1.0{\"sub\":{\"x\":\"1\"},\"list\":[[\"a\"]],\"n\":7,\"t\":true}\n"), kRpgOk);
  for (const char* member : {"sub", "list", "n", "t"}) EXPECT_EQ(Get(member), "<-3>") << member;
  unsigned char* data = nullptr;
  long length = 5;
  EXPECT_EQ(store.CBGetVal("sub", &data, &length), kRpgWrongKind);
  EXPECT_EQ(data, nullptr);
  EXPECT_EQ(length, 0);
}

TEST_F(ComponentStore, BinaryMembersRoundTripAndDecodeGroupByGroup) {
  ASSERT_EQ(store.CBCreate("c"), kRpgOk);
  const unsigned char bytes[] = {0x00, 0xD6, 0xA4, 0xFF, 0x80, 0x00, 0x7F};
  ASSERT_EQ(store.CBSetVal("bin", bytes, sizeof bytes), kRpgOk);
  ASSERT_EQ(store.CBSetVal("empty", bytes, 0), kRpgOk);
  EXPECT_EQ(Write("c"), "J1.0{\"bin\":\"ANak/4AAfw==\",\"empty\":\"\"}\n");

  unsigned char* data = nullptr;
  long length = 0;
  ASSERT_EQ(store.CBGetVal("bin", &data, &length), kRpgOk);
  ASSERT_EQ(length, static_cast<long>(sizeof bytes));
  EXPECT_EQ(std::memcmp(data, bytes, sizeof bytes), 0);
  EXPECT_EQ(data[length], 0);

  const struct {
    const char* text;
    long result;       // byte count or, negative, the code
    const char* bytes;
  } cases[] = {
      {"QUJD", 3, "ABC"},
      {"QUI", 2, "AB"},           // a short last group still counts
      {"QQ", 1, "A"},
      {"Q", 0, ""},
      {"QQ==QUJD", 1, "A"},       // "=" ends the data
      {"QUI=QUJD", 2, "AB"},
      {"", 0, ""},
      {"QU JD", kRpgBadBase64, ""},
      {"QUJD\n", kRpgBadBase64, ""},
      {"=QUJ", kRpgBadBase64, ""},
      {"QU\xD6\xA4", kRpgBadBase64, ""},
  };
  for (const auto& c : cases) {
    ASSERT_EQ(store.CBSetValue("t", c.text), kRpgOk);
    const int rc = store.CBGetVal("t", &data, &length);
    if (c.result < 0) {
      EXPECT_EQ(rc, c.result) << c.text;
      EXPECT_EQ(data, nullptr) << c.text;
      continue;
    }
    ASSERT_EQ(rc, kRpgOk) << c.text;
    EXPECT_EQ(std::string(reinterpret_cast<char*>(data), length), c.bytes) << c.text;
    EXPECT_EQ(data[length], 0) << c.text;
  }
  EXPECT_EQ(store.CBGetVal("never-set", &data, &length), kRpgOk);
  EXPECT_EQ(length, 0);
}

TEST_F(ComponentStore, SubComponentCopiesAreIndependentAndExtractionReplaces) {
  ASSERT_EQ(store.CBCreate("inner"), kRpgOk);
  ASSERT_EQ(store.CBSetValue("id", "7"), kRpgOk);
  ASSERT_EQ(store.CBCreate("outer"), kRpgOk);
  EXPECT_EQ(store.CBSetSubCBValue("nope"), kCBSubNotFound);
  EXPECT_STREQ(store.LastError(), RpgCompMessage(kCBSubNotFound));
  ASSERT_EQ(store.CBSetSubCBValue("inner"), kRpgOk);
  ASSERT_EQ(store.CBSetValue("note", "x"), kRpgOk);
  ASSERT_EQ(store.CBSelect("inner"), kRpgOk);
  ASSERT_EQ(store.CBSetValue("id", "8"), kRpgOk);   // the copy in outer keeps 7
  EXPECT_EQ(Write("outer"), "J1.0{\"inner\":{\"id\":\"7\"},\"note\":\"x\"}\n");

  // Extraction replaces the existing component "inner" and makes the copy current.
  ASSERT_EQ(store.CBSelect("outer"), kRpgOk);
  ASSERT_EQ(store.CBGetSubCBValue("inner"), kRpgOk);
  EXPECT_EQ(CurrentName(), "inner");
  EXPECT_EQ(Get("id"), "7");

  // A member holding text is no component: refused, nothing destroyed or selected.
  ASSERT_EQ(store.CBSelect("outer"), kRpgOk);
  EXPECT_EQ(store.CBGetSubCBValue("note"), kRpgWrongKind);
  EXPECT_EQ(CurrentName(), "outer");
  // A missing member gives an empty component.
  ASSERT_EQ(store.CBGetSubCBValue("fresh"), kRpgOk);
  EXPECT_EQ(Write("fresh"), "J1.0null\n");

  // A component copied into itself nests its former root.
  ASSERT_EQ(store.CBSelect("inner"), kRpgOk);
  ASSERT_EQ(store.CBSetSubCBValue("inner"), kRpgOk);
  EXPECT_EQ(Write("inner"), "J1.0{\"id\":\"7\",\"inner\":{\"id\":\"7\"}}\n");
  // The extraction of "inner" from itself replaces the current component.
  ASSERT_EQ(store.CBGetSubCBValue("inner"), kRpgOk);
  EXPECT_EQ(Write("inner"), "J1.0{\"id\":\"7\"}\n");
}

TEST_F(ComponentStore, SelfNestingStopsWhereTheTextWouldNoLongerBeReadable) {
  ASSERT_EQ(store.CBCreate("c"), kRpgOk);
  int rc = kRpgOk;
  int nested = 0;
  while ((rc = store.CBSetSubCBValue("c")) == kRpgOk) ++nested;
  EXPECT_EQ(rc, kRpgInvalid);
  EXPECT_EQ(nested, kMaxJsonNesting - 1);   // the innermost null counts one level
  RpgCompPack other;
  const std::string text = Write("c");
  EXPECT_EQ(other.CBOpen("c", text.data(), static_cast<long>(text.size())), kRpgOk);
}

TEST_F(ComponentStore, OpenRefusesShortUnmarkedUnparsableAndWrongShapedTexts) {
  EXPECT_EQ(store.CBOpen(nullptr, "J1.0{}", 6), kRpgInvalid);
  EXPECT_EQ(store.CBOpen("c", nullptr, 6), kRpgInvalid);
  EXPECT_EQ(Open("c", "J1.0"), kRpgInvalid);
  EXPECT_EQ(Open("c", "J2.0{}"), kRpgNotDataRow);
  EXPECT_EQ(CurrentName(), "<none>");

  for (const std::string bad : {"J1.0{", "J1.0\n", "J1.0[[\"a\"]]\n", "J1.0\"text\"\n", "J1.07\n"}) {
    RpgCompPack fresh;
    EXPECT_EQ(fresh.CBOpen("c", bad.data(), static_cast<long>(bad.size())), kCBParseFailed) << bad;
    EXPECT_STREQ(fresh.LastError(), RpgCompMessage(kCBParseFailed));
    // The new component stays, empty and current.
    ASSERT_NE(fresh.CurrentComponent(), nullptr) << bad;
    std::string text;
    EXPECT_EQ(fresh.CBWrite("c", text), kRpgOk);
    EXPECT_EQ(text, "J1.0null\n") << bad;
  }

  // Only `length` bytes count: the text after them is not read.
  const std::string text = "J1.0{\"k\":\"v\"}\ngarbage";
  EXPECT_EQ(store.CBOpen("c", text.data(), 15), kRpgOk);
  EXPECT_EQ(Get("k"), "v");
}

TEST_F(ComponentStore, LastErrorKeepsTheLatestFailureMessage) {
  EXPECT_STREQ(store.LastError(), "");
  ASSERT_EQ(store.CBCreate("a"), kRpgOk);
  EXPECT_EQ(store.CBCreate("a"), kCBExists);
  ASSERT_EQ(store.CBSetValue("k", "v"), kRpgOk);
  EXPECT_STREQ(store.LastError(), RpgCompMessage(kCBExists));   // successes leave it
  EXPECT_EQ(store.CBDestroy("b"), kCBNotFound);
  EXPECT_STREQ(store.LastError(), RpgCompMessage(kCBNotFound));
  EXPECT_EQ(store.CBSetValue(nullptr, "v"), kRpgInvalid);
  EXPECT_STREQ(store.LastError(), "");                          // codes without a message
}

}  // namespace
