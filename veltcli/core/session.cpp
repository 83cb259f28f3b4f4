// Session creation and destruction, and the system parameters.
#include "core/session.h"

#include <climits>
#include <cstdio>
#include <cstring>

#include "support/ascii_text.h"
#include "support/decimal.h"
#include "core/frame_state.h"

CLUNQCliBase::CLUNQCliBase() {
  timeout = transport.options.timeout;
  velt::RegisterSession(this);   // last: a session is visible only once it is complete
}

CLUNQCliBase::~CLUNQCliBase() {
  infoCenter.reset();   // a running receiver still uses the session: it ends first
  if (velt::UnregisterSession(this)) {
    std::lock_guard<std::mutex> guard(destructionLock);
    rs.Free();
    packet.Free();
  }
}

namespace {

int CopyParamText(char (&field)[CLUNQCliBase::kTextField], const char* text) {
  if (std::strlen(text) >= sizeof field) return 1;
  velt::CopyBounded(field, sizeof field, text);
  return 0;
}

// The get rule: refuse an output shorter than the text, else clear `length` bytes and copy the
// text, which is terminated only when the output is longer than it.
int PutParamText(const char* text, char* out, int length) {
  const std::size_t n = std::strlen(text);
  if (length < 0 || static_cast<std::size_t>(length) < n) return 1;
  std::memset(out, 0, static_cast<std::size_t>(length));
  std::memcpy(out, text, n);
  return 0;
}

}  // namespace

int CLUNQCliBase::SetSystemParam(int id, const char* text) {
  if (text == nullptr) return -1;
  switch (id) {
    case 2: sessionNumber = velt::DecimalToInt(text); return 0;
    case 3: return CopyParamText(transactionId, text);
    case 7: return CopyParamText(servicePrefix, text);
    case 8: serverNumber = velt::DecimalToInt(text); return 0;
    default: return 2;
  }
}

int CLUNQCliBase::GetSystemParam(int id, char* out, int length) const {
  if (out == nullptr) return -1;
  char number[16];
  switch (id) {
    case 2:
      std::snprintf(number, sizeof number, "%10d", sessionNumber);
      return PutParamText(number, out, length);
    case 3: return PutParamText(transactionId, out, length);
    case 7: return PutParamText(servicePrefix, out, length);
    case 8:
      std::snprintf(number, sizeof number, "%5d", serverNumber);
      return PutParamText(number, out, length);
    default: return 2;
  }
}
