// The request descriptor's expiry: seconds times 1000, clamped to an int on both sides.
#include <gtest/gtest.h>

#include <climits>

#include "wire/queue_records.h"

namespace {

TEST(RequestDescriptor, ExpiryIsClampedOnBothSides) {
  const struct { int seconds; int expiry; } cases[] = {
      {120, 120000},          {0, 0},
      {-1, -1000},            {2147483, 2147483000},
      {2147484, INT_MAX},     {INT_MAX, INT_MAX},
      {-2147483, -2147483000}, {-2147484, INT_MIN},
      {INT_MIN, INT_MIN},
  };
  for (const auto& c : cases) {
    velt::wire::RequestDescriptorFields f;
    f.timeoutSeconds = c.seconds;
    const RIMQMD md = velt::wire::RequestDescriptor(f);
    const int expiry = md.nExpiry;   // packed: copied
    EXPECT_EQ(expiry, c.expiry) << c.seconds;
  }
}

}  // namespace
