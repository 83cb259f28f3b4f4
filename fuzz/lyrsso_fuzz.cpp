// Arbitrary application ids, user codes and ticket texts through LYRSSO_Verify, and signing with
// arbitrary ids followed by verification of the fresh ticket, which must succeed.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "lyrsso.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const int init = LYRSSO_Init("/nonexistent/velt-fuzz.ini");   // defaults: 60 s, no secret
  (void)init;
  const std::string all(reinterpret_cast<const char*>(data), size);
  // three zero-separated texts: application id, user code, ticket
  const size_t a = all.find('\0');
  const size_t b = a == std::string::npos ? std::string::npos : all.find('\0', a + 1);
  const std::string appId = all.substr(0, a);
  const std::string user = a == std::string::npos ? "" : all.substr(a + 1, b == std::string::npos ? b : b - a - 1);
  const std::string ticket = b == std::string::npos ? "" : all.substr(b + 1);
  int expiry = 0;
  LYRSSO_Verify(appId.c_str(), user.c_str(), ticket.c_str(), &expiry);
  char fresh[LYRSSO_TICKET_LEN + 1];
  if (LYRSSO_Sign(appId.c_str(), user.c_str(), fresh, sizeof fresh) == 0 &&
      LYRSSO_Verify(appId.c_str(), user.c_str(), fresh, nullptr) != 0)
    std::abort();   // a ticket just signed must verify
  return 0;
}
