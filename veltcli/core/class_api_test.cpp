// CVELTCli and the function interface agree: one script of calls runs through both and must give
// the same results and outputs; copies of an object share its handle safely.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "CVELTCli.h"
#include "veltcli.h"

namespace {

// The calls of the script, bound either to a handle or to an object.
struct Calls {
  std::function<int(int, const void*)> setOption;
  std::function<int(int, void*)> getOption;
  std::function<int(int, const void*, int)> setOptions;
  std::function<int(int, void*, int)> getOptions;   // length by value, as the class takes it
  std::function<int(int, const char*)> setParam;
  std::function<int(int, char*, int)> getParam;
  std::function<int(tagVELTConnectOption)> setConnect;
  std::function<int(tagVELTConnectOption*)> getConnect;
  std::function<int(int)> setTimeOut;
  std::function<int(int*)> commLen;
  std::function<int(int*)> version;
  std::function<int(int*, char*)> getErr;
  std::function<int(int*)> errorCode;
  std::function<int(char*)> errorMsg;
};

std::vector<std::string> RunScript(const Calls& c) {
  std::vector<std::string> log;
  // The result is taken before the output is read (argument order would not guarantee it).
  auto step = [&](const std::string& what, const std::function<int()>& call,
                  const std::function<std::string()>& out = nullptr) {
    const int rc = call();
    const std::string shown = out ? out() : std::string();
    log.push_back(what + " -> " + std::to_string(rc) + (shown.empty() ? "" : " " + shown));
  };
  int v = 0;
  for (const int id : {1, 3, 8, 14, 17, 42}) {
    v = -1;
    step("get " + std::to_string(id), [&] { return c.getOption(id, &v); },
       [&] { return std::to_string(v); });
  }
  const int five = 5;
  step("set 2", [&] { return c.setOption(2, &five); });
  step("set 2 short", [&] { return c.setOptions(2, &five, 2); });
  step("set 14 short", [&] { return c.setOptions(14, &five, 2); });
  v = 0;
  step("get 14", [&] { return c.getOption(14, &v); }, [&] { return std::to_string(v); });
  step("timeout", [&] { return c.setTimeOut(45); });
  step("get 1", [&] { return c.getOption(1, &v); }, [&] { return std::to_string(v); });

  tagVELTConnectOption e;
  std::memset(&e, 0, sizeof e);
  std::strcpy(e.szServerName, "svc");
  e.nPort = 1414;
  step("connect option", [&] { return c.setConnect(e); });
  tagVELTConnectOption back;
  std::memset(&back, 0, sizeof back);
  step("get connect", [&] { return c.getConnect(&back); },
       [&] { return std::string(back.szServerName) + ":" + std::to_string(back.nPort); });
  char list[2 * 173];
  step("get list short", [&] { return c.getOptions(0, list, 100); });
  step("get list", [&] { return c.getOptions(0, list, sizeof list); }, [&] { return std::string(list); });

  char text[64];
  step("param 3", [&] { return c.setParam(3, "TX1"); });
  step("param 3 long", [&] { return c.setParam(3, std::string(33, 'x').c_str()); });
  std::memset(text, 0, sizeof text);
  step("get param 3", [&] { return c.getParam(3, text, sizeof text); }, [&] { return std::string(text); });
  step("get param 2", [&] { return c.getParam(2, text, sizeof text); }, [&] { return std::string(text); });
  step("param 9", [&] { return c.setParam(9, "1"); });
  step("comm len", [&] { return c.commLen(&v); }, [&] { return std::to_string(v); });
  step("version", [&] { return c.version(&v); }, [&] { return std::to_string(v); });
  std::vector<char> message(32000);
  v = 7;
  step("err", [&] { return c.getErr(&v, message.data()); },
       [&] { return std::to_string(v) + "/" + message.data(); });
  step("err code", [&] { return c.errorCode(&v); }, [&] { return std::to_string(v); });
  step("err msg", [&] { return c.errorMsg(message.data()); }, [&] { return std::string(message.data()); });
  return log;
}

Calls ForHandle(VELTCLI_HANDLE h) {
  Calls c;
  c.setOption = [h](int id, const void* p) { return VELTCLI_SetOption(h, id, p); };
  c.getOption = [h](int id, void* p) { return VELTCLI_GetOption(h, id, p); };
  c.setOptions = [h](int id, const void* p, int n) { return VELTCLI_SetOptions(h, id, p, n); };
  c.getOptions = [h](int id, void* p, int n) { return VELTCLI_GetOptions(h, id, p, &n); };
  c.setParam = [h](int id, const char* t) { return VELTCLI_SetSystemParam(h, id, t); };
  c.getParam = [h](int id, char* t, int n) { return VELTCLI_GetSystemParam(h, id, t, n); };
  c.setConnect = [h](tagVELTConnectOption o) { return VELTCLI_SetConnectOption(h, o); };
  c.getConnect = [h](tagVELTConnectOption* o) { return VELTCLI_GetConnectOption(h, o); };
  c.setTimeOut = [h](int s) { return VELTCLI_SetCliTimeOut(h, s); };
  c.commLen = [h](int* n) { return VELTCLI_GetCommLen(h, n); };
  c.version = [h](int* n) { return VELTCLI_GetVersion(h, n); };
  c.getErr = [h](int* n, char* m) { return VELTCLI_GetErr(h, n, m); };
  c.errorCode = [h](int* n) { return VELTCLI_GetErrorCode(h, n); };
  c.errorMsg = [h](char* m) { return VELTCLI_GetErrorMsg(h, m); };
  return c;
}

Calls ForObject(CVELTCli& o) {
  Calls c;
  c.setOption = [&o](int id, const void* p) { return o.SetOption(id, p); };
  c.getOption = [&o](int id, void* p) { return o.GetOption(id, p); };
  c.setOptions = [&o](int id, const void* p, int n) { return o.SetOptions(id, p, n); };
  c.getOptions = [&o](int id, void* p, int n) { return o.GetOptions(id, p, n); };
  c.setParam = [&o](int id, const char* t) { return o.SetSystemParam(id, t); };
  c.getParam = [&o](int id, char* t, int n) { return o.GetSystemParam(id, t, n); };
  c.setConnect = [&o](tagVELTConnectOption x) { return o.SetConnectOption(x); };
  c.getConnect = [&o](tagVELTConnectOption* x) { return o.GetConnectOption(x); };
  c.setTimeOut = [&o](int s) { return o.SetCliTimeOut(s); };
  c.commLen = [&o](int* n) { return o.GetCommLen(n); };
  c.version = [&o](int* n) { return o.GetVersion(n); };
  c.getErr = [&o](int* n, char* m) { return o.GetErr(n, m); };
  c.errorCode = [&o](int* n) { return o.GetErrorCode(n); };
  c.errorMsg = [&o](char* m) { return o.GetErrorMsg(m); };
  return c;
}

TEST(ClassAndFunctions, OneScriptSameResults) {
  VELTCLI_HANDLE h = nullptr;
  ASSERT_EQ(VELTCLI_Init(&h), 0);
  const std::vector<std::string> viaFunctions = RunScript(ForHandle(h));
  VELTCLI_Exit(h);

  CVELTCli object;
  const std::vector<std::string> viaClass = RunScript(ForObject(object));
  EXPECT_EQ(viaFunctions, viaClass);

  const std::vector<std::string> expected = {
      "get 1 -> 0 120", "get 3 -> 0 3", "get 8 -> 0 1", "get 14 -> 1 1", "get 17 -> 0 1",
      "get 42 -> 0 -1", "set 2 -> 0", "set 2 short -> 1", "set 14 short -> 0", "get 14 -> 5 5",
      "timeout -> 0", "get 1 -> 0 45", "connect option -> 0", "get connect -> 0 svc:1414",
      "get list short -> 1", "get list -> 0 svc", "param 3 -> 0", "param 3 long -> 1",
      "get param 3 -> 0 TX1", "get param 2 -> 0          0", "param 9 -> 2", "comm len -> 0 0",
      "version -> 0 1", "err -> 0 7/", "err code -> 1 7", "err msg -> 1"};
  EXPECT_EQ(viaClass, expected);
}

TEST(ClassAndFunctions, CopiesShareOneHandle) {
  CVELTCli a;
  const int trace = 1;
  ASSERT_EQ(a.SetOption(2, &trace), 0);
  CVELTCli b(a);
  CVELTCli c;
  c = a;
  c = c;
  int v = 0;
  EXPECT_EQ(b.GetOption(2, &v), 0);
  EXPECT_EQ(v, 1);
  v = 0;
  EXPECT_EQ(c.GetOption(2, &v), 0);
  EXPECT_EQ(v, 1);
  const int off = 0;
  b.SetOption(2, &off);
  a.GetOption(2, &v);
  EXPECT_EQ(v, 0) << "one session behind all three";
}

}  // namespace
