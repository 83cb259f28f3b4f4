// The end-to-end fixture's backends, entries and client helper.
#include "e2e_fixture.h"

#include <cstring>
#include <mutex>

namespace velt::e2e {

Backend& Backend::Of(BackendKind kind) {
  static Backend embedded{"Embedded", "inproc:e2e", 0, nullptr};
  if (kind == BackendKind::kEmbedded) return embedded;
  // The clients log in with the users the tests connect as.
  static velt::testsupport::RedisServer server({{"tester", "pw"}, {"u", "p"}});
  static Backend redis{"Redis", "127.0.0.1", 0, &server};
  static std::once_flag started;
  std::call_once(started, [] {
    if (velt::testsupport::RedisServerAvailable() && server.Start()) redis.port = server.port();
  });
  return redis;
}

std::string BackendName(const ::testing::TestParamInfo<BackendKind>& info) {
  return info.param == BackendKind::kEmbedded ? "Embedded" : "Redis";
}

tagVELTConnectOption Entry(const Backend& b, const std::string& name, const std::string& requestQ,
                           const std::string& answerQ, const std::string& group) {
  tagVELTConnectOption e;
  std::memset(&e, 0, sizeof e);
  std::strncpy(e.szServerName, name.c_str(), 32);
  std::strncpy(e.szAddress, b.address.c_str(), 32);
  e.nPort = b.port;
  std::strncpy(e.szSendQName, requestQ.c_str(), 32);
  std::strncpy(e.szReceiveQName, answerQ.c_str(), 32);
  std::strncpy(e.szReserved, group.c_str(), 32);
  return e;
}

Client::Client() { EXPECT_EQ(VELTCLI_Init(&h), 0); }
Client::~Client() { VELTCLI_Exit(h); }

int Client::Connect(const tagVELTConnectOption& entry, const char* user, const char* password) {
  VELTCLI_SetOptions(h, VELTCLI_OPTION_SERVER_LIST, &entry, static_cast<int>(sizeof entry));
  return VELTCLI_ConnectServer(h, entry.szServerName, user, password);
}

std::string Client::Value(const char* name) {
  std::vector<char> out(1 << 16);
  if (VELTCLI_GetValue(h, name, out.data(), static_cast<int>(out.size()) - 1) != 0) return "";
  return out.data();
}

int Client::Call(const char* service, const std::vector<std::pair<std::string, std::string>>& values,
                 bool inTransaction) {
  VELTCLI_BeginWrite(h);
  for (const auto& [name, value] : values) VELTCLI_SetValue(h, name.c_str(), value.c_str());
  return inTransaction ? VELTCLI_CallProgram(h, service, nullptr) : VELTCLI_CallProgramAndCommit(h, service, nullptr);
}

void EndToEnd::SetUp() {
  backend_ = &Backend::Of(GetParam());
  if (backend_->redis != nullptr) {
    VELT_REQUIRE_REDIS_SERVER();
    ASSERT_GT(backend_->port, 0) << backend_->redis->error();
    if (!backend_->redis->running()) {
      ASSERT_TRUE(backend_->redis->Restart());
    }
  }
  static int serial = 0;
  ++serial;
  requestQ_ = "E2E.REQ." + std::to_string(serial);
  answerQ_ = "E2E.ANS." + std::to_string(serial);
  veltemu::EmulatorConfig config;
  config.address = backend_->address;
  config.port = backend_->port;
  config.requestQueue = requestQ_;
  config.workers = 2;
  config.log = nullptr;
  emulator_ = std::make_unique<veltemu::Emulator>(config);
  ASSERT_EQ(emulator_->Start(), 0);
  entry_ = Entry(*backend_, "main", requestQ_, answerQ_);
}

void EndToEnd::TearDown() {
  if (emulator_) emulator_->Stop();
}

}  // namespace velt::e2e
