// A test fixture for the outside libraries that call the platform: an emulator in this process on
// the embedded queue manager, its own request queue per test, and the entry clients connect to.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "emulator.h"
#include "veltcli.h"

namespace velt::testing {

class EmulatorTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  veltemu::Emulator& emulator() { return *emulator_; }
  // The server-list entry of this test's emulator; its server name is "main".
  const tagVELTConnectOption& entry() const { return entry_; }

 private:
  std::unique_ptr<veltemu::Emulator> emulator_;
  tagVELTConnectOption entry_{};
};

}  // namespace velt::testing
