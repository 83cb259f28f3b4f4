// The end-to-end fixture: the client library, through its exported functions, against the
// emulator in this process, on the embedded queue manager or on a real Redis server. Each test
// gets its own request queue, emulator and client handles.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "emulator.h"
#include "testsupport/redis_server.h"
#include "veltcli.h"

namespace velt::e2e {

enum class BackendKind { kEmbedded, kRedis };

// The queue manager a test runs on. The Redis server is started once per test program.
struct Backend {
  static Backend& Of(BackendKind kind);
  std::string name;
  std::string address;
  int port = 0;
  velt::testsupport::RedisServer* redis = nullptr;   // null for the embedded queue manager
};

std::string BackendName(const ::testing::TestParamInfo<BackendKind>& info);

// A server-list entry for the backend, with its own queues.
tagVELTConnectOption Entry(const Backend& b, const std::string& name, const std::string& requestQ,
                           const std::string& answerQ, const std::string& group = "");

// One client handle, closed at the end.
class Client {
 public:
  Client();
  ~Client();
  Client(const Client&) = delete;
  Client& operator=(const Client&) = delete;
  VELTCLI_HANDLE h = nullptr;

  // Sets the entry as the whole server list and connects to it.
  int Connect(const tagVELTConnectOption& entry, const char* user = "tester", const char* password = "pw");
  int SetInt(int option, int value) { return VELTCLI_SetOptions(h, option, &value, 4); }
  std::string Value(const char* name);   // "" when absent
  // Calls `service` stand-alone with the given name=value pairs after VELTCLI_BeginWrite.
  int Call(const char* service, const std::vector<std::pair<std::string, std::string>>& values = {},
           bool inTransaction = false);
};

class EndToEnd : public ::testing::TestWithParam<BackendKind> {
 protected:
  void SetUp() override;
  void TearDown() override;
  // An emulator on a fresh request queue; the entry every client of this test connects to.
  veltemu::Emulator& emulator() { return *emulator_; }
  const tagVELTConnectOption& entry() const { return entry_; }
  const Backend& backend() const { return *backend_; }
  std::string requestQ_, answerQ_;

 private:
  Backend* backend_ = nullptr;
  std::unique_ptr<veltemu::Emulator> emulator_;
  tagVELTConnectOption entry_{};
};

}  // namespace velt::e2e
