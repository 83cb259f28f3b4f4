// The emulator fixture: one emulator per test on fresh queues of the embedded queue manager.
#include "emulator_fixture.h"

#include <cstring>

namespace velt::testing {

void EmulatorTest::SetUp() {
  static int serial = 0;
  ++serial;
  const std::string requestQ = "OUTSIDE.REQ." + std::to_string(serial);
  const std::string answerQ = "OUTSIDE.ANS." + std::to_string(serial);
  veltemu::EmulatorConfig config;
  config.address = "inproc:outside";
  config.requestQueue = requestQ;
  config.workers = 2;
  config.log = nullptr;
  emulator_ = std::make_unique<veltemu::Emulator>(config);
  ASSERT_EQ(emulator_->Start(), 0);
  std::memset(&entry_, 0, sizeof entry_);
  std::strncpy(entry_.szServerName, "main", 32);
  std::strncpy(entry_.szAddress, config.address.c_str(), 32);
  std::strncpy(entry_.szSendQName, requestQ.c_str(), 32);
  std::strncpy(entry_.szReceiveQName, answerQ.c_str(), 32);
}

void EmulatorTest::TearDown() {
  if (emulator_) emulator_->Stop();
}

}  // namespace velt::testing
