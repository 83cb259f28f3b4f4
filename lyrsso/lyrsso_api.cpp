// The exported C calls of liblyrsso.so: the process-wide ticket library and the wall clock.
#include <ctime>

#include "lyrsso.h"
#include "ticket_library.h"

namespace {

// Constant-initialised, so calls made from other libraries' static constructors find it ready.
velt::lyrsso::TicketLibrary g_library;

std::int64_t Now() noexcept { return static_cast<std::int64_t>(std::time(nullptr)); }

}  // namespace

extern "C" {

LYRSSO_API int LYRSSO_Init(const char *iniPath) {
  g_library.Init(iniPath, &g_library);  // the library's own data: its folder is liblyrsso.so's
  return 0;
}

LYRSSO_API int LYRSSO_Sign(const char *appId, const char *userCode, char *ticket, unsigned ticketSize) {
  return g_library.Sign(appId, userCode, ticket, ticketSize, Now());
}

LYRSSO_API int LYRSSO_Verify(const char *appId, const char *userCode, const char *ticket, int *expiry) {
  return g_library.Verify(appId, userCode, ticket, expiry, Now());
}

}  // extern "C"
