// One behavioural suite for every rimqapi engine: each test program instantiates it with the
// engines it can reach (INSTANTIATE_TEST_SUITE_P(Name, RimqConformance, Values(&backend))).
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "rimq_test_client.h"

namespace velt::rimqtest {

class ConformanceBackend {
 public:
  virtual ~ConformanceBackend() = default;
  virtual std::string name() const = 0;
  // Makes the engine reachable (e.g. starts a server); may skip or fail the test with gtest macros.
  virtual void Prepare() = 0;
  virtual Endpoint endpoint() const = 0;
};

class RimqConformance : public ::testing::TestWithParam<ConformanceBackend*> {
 protected:
  void SetUp() override;
  Endpoint endpoint() const { return GetParam()->endpoint(); }
  // Connects `client` and opens a fresh queue on it.
  void ConnectAndOpen(Client& client, const std::string& queue, int* hObj);
};

std::string BackendName(const ::testing::TestParamInfo<ConformanceBackend*>& info);

}  // namespace velt::rimqtest
