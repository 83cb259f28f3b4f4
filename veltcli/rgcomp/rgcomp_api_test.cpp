// Components and repeating groups through libveltcli.so: objects travel as packet values from one
// handle's request to another handle's answer, the open and write codes of the packet steps, the
// caller-owned block, pooled handles, and the class methods against the functions.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "CVELTCli.h"
#include "veltcli.h"

namespace {

std::string PacketText(VELTCLI_HANDLE h) {
  int length = 0;
  VELTCLI_GetCommLen(h, &length);
  std::string text(static_cast<std::size_t>(length) + 1, '\0');
  EXPECT_EQ(VELTCLI_GetValue(h, "", text.data(), length + 1), 0);
  return text.c_str();
}

struct Handle {
  VELTCLI_HANDLE h = nullptr;
  Handle() { EXPECT_EQ(VELTCLI_Init(&h), 0); }
  ~Handle() { VELTCLI_Exit(h); }
};

// The receiving side gets the sender's whole request text as its answer.
void Deliver(VELTCLI_HANDLE from, VELTCLI_HANDLE to) {
  ASSERT_EQ(VELTCLI_SetValue(to, "", PacketText(from).c_str()), 0);
}

TEST(RgCompApi, NestedExchangeThroughThePacketText) {
  Handle a;
  Handle b;
  ASSERT_EQ(VELTCLI_BeginWrite(a.h), 0);
  ASSERT_EQ(VELTCLI_CBCreate(a.h, "client"), 0);
  ASSERT_EQ(VELTCLI_CBSetValue(a.h, "id", "7"), 0);
  ASSERT_EQ(VELTCLI_RGCreate(a.h, "order", "item,client"), 0);
  ASSERT_EQ(VELTCLI_RGAddRow(a.h), 0);
  ASSERT_EQ(VELTCLI_RGSetColByName(a.h, "item", "A1"), 0);
  ASSERT_EQ(VELTCLI_RGSetSubCBRGValue(a.h, 1, 0), 0);
  ASSERT_EQ(VELTCLI_RGWrite(a.h, "order"), 0);
  EXPECT_EQ(PacketText(a.h), "_CA=2.4&_ENDIAN=0&order=J1.0[[\"item\",\"client\"],[\"A1\",{\"id\":\"7\"}]]\n");

  Deliver(a.h, b.h);
  ASSERT_EQ(VELTCLI_RGOpen(b.h, "order"), 0);
  ASSERT_EQ(VELTCLI_RGFetchRow(b.h), 0);
  ASSERT_EQ(VELTCLI_RGGetSubCBRGValue(b.h, 1, 0), 0);
  char value[8] = {};
  ASSERT_EQ(VELTCLI_CBGetValue(b.h, "id", value, sizeof value), 0) << "the extracted component is current";
  EXPECT_STREQ(value, "7");
  EXPECT_EQ(VELTCLI_RGGetColByName(b.h, "item", value, sizeof value), 0);
  EXPECT_STREQ(value, "A1");
  EXPECT_EQ(VELTCLI_RGFetchRow(b.h), -1);
}

// Packet escapes ("&", "=", "@", "%") and GBK bytes inside the JSON both come back unchanged.
TEST(RgCompApi, EscapedAndGbkTextSurvivesTheTrip) {
  const char* const kTexts[] = {"a&b=c@d%e", "\xD6\xD0\xCE\xC4", "line\nbreak"};
  for (const char* text : kTexts) {
    Handle a;
    Handle b;
    ASSERT_EQ(VELTCLI_CBCreate(a.h, "c"), 0);
    ASSERT_EQ(VELTCLI_CBSetValue(a.h, "m", text), 0);
    ASSERT_EQ(VELTCLI_CBWrite(a.h, "c"), 0);
    Deliver(a.h, b.h);
    ASSERT_EQ(VELTCLI_CBOpen(b.h, "c"), 0) << text;
    char value[32] = {};
    ASSERT_EQ(VELTCLI_CBGetValue(b.h, "m", value, sizeof value - 1), 0);
    EXPECT_STREQ(value, text);
  }
}

TEST(RgCompApi, CodesOfThePacketSteps) {
  Handle h;
  ASSERT_EQ(VELTCLI_BeginWrite(h.h), 0);
  ASSERT_EQ(VELTCLI_SetValue(h.h, "plain", "abcdef"), 0);
  ASSERT_EQ(VELTCLI_SetValue(h.h, "short", "J1.0"), 0);
  ASSERT_EQ(VELTCLI_RGCreate(h.h, "g", "a"), 0);
  struct Case {
    const char* what;
    int (*call)(VELTCLI_HANDLE, const char*);
    const char* name;
    int code;
  };
  const Case kCases[] = {
      {"CBOpen: no such value (GetVal)", &VELTCLI_CBOpen, "missing", 13},
      {"RGOpen: no such value (GetVal)", &VELTCLI_RGOpen, "missing", 13},
      {"CBOpen: null name (GetVal)", &VELTCLI_CBOpen, nullptr, 11},
      {"CBOpen: no mark", &VELTCLI_CBOpen, "plain", -2},
      {"RGOpen: no mark", &VELTCLI_RGOpen, "plain", -2},
      {"RGOpen: only the mark", &VELTCLI_RGOpen, "short", -1},
      {"CBWrite: no such component", &VELTCLI_CBWrite, "nobody", -801},
      {"RGWrite: no such group", &VELTCLI_RGWrite, "nobody", -901},
      {"CBWrite: null name", &VELTCLI_CBWrite, nullptr, -1},
      {"RGWrite", &VELTCLI_RGWrite, "g", 0},
      {"RGOpen: group in the store", &VELTCLI_RGOpen, "g", -900},
  };
  for (const Case& c : kCases) EXPECT_EQ(c.call(h.h, c.name), c.code) << c.what;
  EXPECT_EQ(PacketText(h.h), "_CA=2.4&_ENDIAN=0&plain=abcdef&short=J1.0&g=J1.0[[\"a\"]]\n")
      << "failed writes store nothing";

  ASSERT_EQ(VELTCLI_RGAddRow(h.h), 0);
  ASSERT_EQ(VELTCLI_RGSetCol(h.h, 0, "x"), 0);
  ASSERT_EQ(VELTCLI_RGWrite(h.h, "g"), 0);
  EXPECT_EQ(PacketText(h.h), "_CA=2.4&_ENDIAN=0&plain=abcdef&short=J1.0&g=J1.0[[\"a\"],[\"x\"]]\n")
      << "a second write replaces the pair";
}

TEST(RgCompApi, ValByNameBlockOutlivesTheGroupUntilFreed) {
  Handle h;
  const unsigned char bytes[] = {0x00, 0xFF, 0x3D, 0x26};
  ASSERT_EQ(VELTCLI_RGCreate(h.h, "g", "a,b"), 0);
  ASSERT_EQ(VELTCLI_RGAddRow(h.h), 0);
  ASSERT_EQ(VELTCLI_RGSetValByName(h.h, "b", bytes, sizeof bytes), 0);
  unsigned char* block = nullptr;
  long length = 0;
  ASSERT_EQ(VELTCLI_RGGetValByName(h.h, "b", &block, &length), 0);
  ASSERT_NE(block, nullptr);
  ASSERT_EQ(VELTCLI_RGDestroy(h.h, "g"), 0);
  EXPECT_EQ(std::string(block, block + length), std::string(bytes, bytes + sizeof bytes));
  EXPECT_EQ(VELTCLI_FreeMemory(h.h, block), 0);
  EXPECT_EQ(VELTCLI_RGGetValByName(h.h, "b", &block, &length), -1) << "no current group";
  EXPECT_EQ(block, nullptr);
  EXPECT_EQ(length, 0);
}

// A failing binary getter never hands back the caller's earlier (perhaps freed) pointer.
TEST(RgCompApi, BinaryGettersClearTheirOutputsOnFailure) {
  Handle h;
  using Getter = int (*)(VELTCLI_HANDLE, unsigned char**, long*);
  const Getter kGetters[] = {
      [](VELTCLI_HANDLE x, unsigned char** d, long* n) { return VELTCLI_CBGetVal(x, "m", d, n); },
      [](VELTCLI_HANDLE x, unsigned char** d, long* n) { return VELTCLI_RGGetColVal(x, 0, d, n); },
      [](VELTCLI_HANDLE x, unsigned char** d, long* n) { return VELTCLI_RGGetVal(x, 1, "a", d, n); },
      [](VELTCLI_HANDLE x, unsigned char** d, long* n) { return VELTCLI_RGGetValByName(x, "a", d, n); },
  };
  unsigned char stale = 0;
  for (const Getter get : kGetters) {
    unsigned char* data = &stale;
    long length = 9;
    EXPECT_EQ(get(h.h, &data, &length), -1) << "no current object";
    EXPECT_EQ(data, nullptr);
    EXPECT_EQ(length, 0);
  }
}

TEST(RgCompApi, PooledHandleKeepsItsStore) {
  VELTCLI_HANDLE first = nullptr;
  ASSERT_EQ(VELTCLI_Init(&first), 0);
  const int capacity = 1;
  ASSERT_EQ(VELTCLI_SetOption(first, VELTCLI_OPTION_POOL_CAPACITY, &capacity), 0);
  ASSERT_EQ(VELTCLI_CBCreate(first, "kept"), 0);
  ASSERT_EQ(VELTCLI_CBSetValue(first, "m", "v"), 0);
  ASSERT_EQ(VELTCLI_RGCreate(first, "rows", "a"), 0);
  ASSERT_EQ(VELTCLI_Exit(first), 0);

  VELTCLI_HANDLE again = nullptr;
  ASSERT_EQ(VELTCLI_Init(&again), 0);
  ASSERT_EQ(again, first) << "the pooled handle is handed out again";
  EXPECT_EQ(VELTCLI_CBCreate(again, "kept"), -800);
  char value[4] = {};
  EXPECT_EQ(VELTCLI_CBGetValue(again, "m", value, sizeof value), 0) << "and stays current";
  EXPECT_STREQ(value, "v");
  EXPECT_EQ(VELTCLI_RGSetCurr(again, "rows"), 0);

  const int off = 0;
  ASSERT_EQ(VELTCLI_SetOption(again, VELTCLI_OPTION_POOL_CAPACITY, &off), 0);
  EXPECT_EQ(VELTCLI_Exit(again), 0);
}

// The exported functions in the shape of the class, so one script drives both.
struct Functions {
  VELTCLI_HANDLE h;
#define VELT_FORWARD(name) \
  template <typename... Args> \
  int name(Args... args) { return VELTCLI_##name(h, args...); }
  VELT_FORWARD(BeginWrite) VELT_FORWARD(GetValue) VELT_FORWARD(SetValue)
  VELT_FORWARD(CBCreate) VELT_FORWARD(CBDestroy) VELT_FORWARD(CBSetCurr) VELT_FORWARD(CBWrite)
  VELT_FORWARD(CBOpen) VELT_FORWARD(CBClose) VELT_FORWARD(CBSetValue) VELT_FORWARD(CBSetVal)
  VELT_FORWARD(CBSetSubCBValue) VELT_FORWARD(CBGetValue) VELT_FORWARD(CBGetVal) VELT_FORWARD(CBGetSubCBValue)
  VELT_FORWARD(RGCreate) VELT_FORWARD(RGDestroy) VELT_FORWARD(RGSetCurr) VELT_FORWARD(RGWrite)
  VELT_FORWARD(RGOpen) VELT_FORWARD(RGClose) VELT_FORWARD(RGAddRow) VELT_FORWARD(RGSetCol)
  VELT_FORWARD(RGSetColByName) VELT_FORWARD(RGSetVal) VELT_FORWARD(RGSetValByName)
  VELT_FORWARD(RGSetSubCBRGValue) VELT_FORWARD(RGSetSubCBRGValueByName) VELT_FORWARD(RGGetValue)
  VELT_FORWARD(RGGetVal) VELT_FORWARD(RGGetColNames) VELT_FORWARD(RGGetColName) VELT_FORWARD(RGGetRowNum)
  VELT_FORWARD(RGGetColNum) VELT_FORWARD(RGFetchRow) VELT_FORWARD(RGGetCol) VELT_FORWARD(RGGetColByName)
  VELT_FORWARD(RGGetColVal) VELT_FORWARD(RGGetValByName) VELT_FORWARD(RGGetSubCBRGValue)
  VELT_FORWARD(RGGetSubCBRGValueByName) VELT_FORWARD(RGSetCurrRowIndex)
#undef VELT_FORWARD
};

// Every call of both families once or more, logging each code and output.
template <typename Api>
std::vector<std::string> RunScript(Api& api) {
  std::vector<std::string> log;
  char text[64];
  unsigned char* data = nullptr;
  long length = 0;
  int n = 0;
  auto code = [&](int rc) { log.push_back(std::to_string(rc)); };
  auto out = [&](int rc) { log.push_back(std::to_string(rc) + ":" + text); };
  auto bytes = [&](int rc) { log.push_back(std::to_string(rc) + ":" + std::string(data, data + length)); };
  auto count = [&](int rc) { log.push_back(std::to_string(rc) + ":" + std::to_string(n)); };
  const unsigned char blob[] = {1, 2, 3};

  code(api.BeginWrite());
  code(api.CBCreate("sub"));
  code(api.CBSetValue("k", "v"));
  code(api.CBSetVal("b", blob, 3));
  out(api.CBGetValue("k", text, sizeof text));
  bytes(api.CBGetVal("b", &data, &length));
  code(api.CBCreate("outer"));
  code(api.CBSetSubCBValue("sub"));
  code(api.CBGetSubCBValue("sub"));
  code(api.CBSetCurr("outer"));
  code(api.CBWrite("outer"));
  code(api.CBWrite("sub"));
  code(api.CBClose(nullptr));
  code(api.CBOpen("outer"));
  code(api.RGCreate("sub", "x"));
  code(api.RGCreate("g", "name,sub,raw"));
  code(api.RGAddRow());
  code(api.RGSetCol(0, "n1"));
  code(api.RGSetVal(2, blob, 2));
  code(api.RGSetSubCBRGValue(1, 1));
  code(api.RGAddRow());
  code(api.RGSetColByName("name", "n2"));
  code(api.RGSetValByName("raw", blob, 3));
  code(api.RGSetSubCBRGValueByName("sub", 0));
  code(api.RGWrite("g"));
  code(api.RGClose("g"));
  code(api.RGDestroy("sub"));
  code(api.RGOpen("g"));
  out(api.RGGetColNames(text, sizeof text));
  out(api.RGGetColName(2, text, sizeof text));
  count(api.RGGetRowNum(&n));
  count(api.RGGetColNum(&n));
  code(api.RGFetchRow());
  out(api.RGGetCol(0, text, sizeof text));
  bytes(api.RGGetColVal(2, &data, &length));
  code(api.RGGetSubCBRGValue(1, 1));
  code(api.RGSetCurr("g"));
  code(api.RGSetCurrRowIndex(2));
  out(api.RGGetColByName("name", text, sizeof text));
  out(api.RGGetValue(1, "name", text, sizeof text));
  bytes(api.RGGetVal(2, "raw", &data, &length));
  code(api.CBDestroy("sub"));
  code(api.RGGetSubCBRGValueByName("sub", 0));
  out(api.CBGetValue("k", text, sizeof text));
  code(api.RGSetCurr("g"));
  const int rc = api.RGGetValByName("raw", &data, &length);
  bytes(rc);
  std::free(data);   // what VELTCLI_FreeMemory does; the class has no counterpart
  text[sizeof text - 1] = '\0';   // a text longer than the length comes without a terminator
  out(api.GetValue("", text, sizeof text - 1));
  return log;
}

TEST(RgCompApi, ClassMethodsAgreeWithTheFunctions) {
  Handle h;
  Functions functions{h.h};
  const std::vector<std::string> viaFunctions = RunScript(functions);
  CVELTCli cli;
  const std::vector<std::string> viaClass = RunScript(cli);
  EXPECT_EQ(viaClass, viaFunctions);

  // The script itself works: no step fails, and the outputs are the ones written.
  ASSERT_EQ(viaFunctions.size(), 47u);
  for (std::size_t i = 0; i + 1 < viaFunctions.size(); ++i) EXPECT_EQ(viaFunctions[i][0], '0') << "step " << i;
  EXPECT_EQ(viaFunctions[4], "0:v");
  EXPECT_EQ(viaFunctions[28], "0:name,sub,raw");
  EXPECT_EQ(viaFunctions[30], "0:2");
  EXPECT_EQ(viaFunctions[38], "0:n2");
  EXPECT_EQ(viaFunctions[43], "0:v") << "the component extracted from row 2";
  EXPECT_EQ(viaFunctions[45], std::string("0:") + "\x01\x02\x03");
  EXPECT_EQ(viaFunctions[46].rfind("100:_CA=2.4&_ENDIAN=0&outer=J1.0{\"sub\":{\"b\":\"AQID\",\"k\":\"v\"}}\n", 0), 0u)
      << "longer than the buffer: the written component leads the packet text";
}

}  // namespace
