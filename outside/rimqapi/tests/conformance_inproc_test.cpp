// The conformance suite on the embedded engine.
#include "conformance_suite.h"

namespace velt::rimqtest {
namespace {

class InprocBackend final : public ConformanceBackend {
 public:
  std::string name() const override { return "inproc"; }
  void Prepare() override {}
  Endpoint endpoint() const override {
    Endpoint e;
    e.address = "inproc:conformance";
    return e;
  }
};

InprocBackend g_inproc;

INSTANTIATE_TEST_SUITE_P(Embedded, RimqConformance, ::testing::Values(&g_inproc), BackendName);

}  // namespace
}  // namespace velt::rimqtest
