// Memory exhaustion in the codec: failing each allocation of a request build and its read-back
// in turn must give only the documented memory codes, never a crash or a leak (the sanitizer
// build checks the leaks).
#include <gtest/gtest.h>

#include <atomic>
#include <set>
#include <string>

#include "codec/answer_reader.h"
#include "codec/request_writer.h"
#include "codec/rs_cursor.h"
#include "codec/table_writer.h"
#include "support/alloc_hook.h"

namespace {

std::atomic<int> g_countdown{0};
std::atomic<bool> g_failed{false};

bool FailNth(std::size_t) {
  if (g_countdown.fetch_sub(1) == 1) {
    g_failed = true;
    return false;
  }
  return true;
}

// Each step's result must be 0 or one of its memory codes.
void Expect(int rc, std::set<int> memoryCodes, const char* step) {
  if (rc != 0) {
    EXPECT_EQ(memoryCodes.count(rc), 1u) << step << " returned " << rc;
  }
}

void BuildAndRead(velt::PacketSession& s) {
  const unsigned char blob[] = {1, 2, 3, 4, 5};
  const std::string wide = "k," + std::string(2500, 'w');
  const std::string longCell(3000, 'c');
  Expect(velt::BeginWrite(s), {1}, "BeginWrite");
  Expect(velt::SetValue(s, "big", std::string(60000, '&').c_str()), {1}, "SetValue");
  Expect(velt::StoreBinary(s, "bin", blob, sizeof blob), {1, 13, 14}, "SetVal");
  Expect(velt::StartTable(s, "t", 2, wide.c_str(), true), {2}, "RsCreate");
  for (int r = 0; r < 3; ++r) {
    velt::RsAddRow(s);
    Expect(velt::RsSetCol(s, 1, longCell.c_str()), {-3, 2}, "RsSetCol");
    Expect(velt::RsSetVal(s, 2, blob, sizeof blob), {1, 13, 14, 20}, "RsSetVal");
    Expect(velt::RsSaveRow(s), {1}, "RsSaveRow");
  }
  Expect(velt::StartTable(s, "u", 1, "v", false), {2}, "RsNewTable");
  Expect(velt::CompleteRequest(s), {1}, "completion");

  unsigned char* data = nullptr;
  long length = 0;
  // 15: a SetVal that failed after its marker leaves the marker without its Base64 pair.
  Expect(velt::GetVal(s, "bin", &data, &length), {13, 14, 15, 16}, "GetVal");
  Expect(velt::RsOpen(s), {1}, "RsOpen");
  while (velt::RsFetchRow(s) == 0) {
    Expect(velt::RsGetVal(s, 2, &data, &length), {2, 13, 14, 15, 16}, "RsGetVal");
  }
  Expect(velt::RsMore(s), {1, 7, 24, 26, 101}, "RsMore");
}

TEST(CodecAllocation, EveryFailureHasItsCode) {
  int failures = 0;
  for (int n = 1; n < 400; ++n) {
    velt::PacketSession s;
    g_failed = false;
    g_countdown = n;
    velt::SetAllocationHook(&FailNth);
    BuildAndRead(s);
    velt::SetAllocationHook(nullptr);
    if (!g_failed) break;
    ++failures;
  }
  EXPECT_GE(failures, 15) << "the scenario reaches the codec's allocations";
  EXPECT_LT(failures, 399) << "the scenario ends";
}

}  // namespace
