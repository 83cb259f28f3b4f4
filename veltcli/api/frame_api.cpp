// Exported frame functions: handles through the pool, version, and the answer's error values.
#include <cstring>

#include "api/api_guard.h"
#include "support/decimal.h"
#include "core/frame_state.h"
#include "infocenter/receiver.h"
#include "support/packet_value.h"
#include "support/value_codes.h"
#include "veltcli.h"

namespace {

constexpr int kErrnoChars = 12;
constexpr int kMessageArea = 32000;

std::string_view AnswerText(VELTCLI_HANDLE handle) {
  const velt::PacketBuffer& packet = velt::SessionOf(handle).packet;
  return std::string_view(packet.Text(), static_cast<std::size_t>(packet.Length()));
}

// True when the answer has "_ERRNO"; a value longer than the field still counts, cut.
bool ReadErrorCode(VELTCLI_HANDLE handle, int* code) {
  char field[kErrnoChars + 1];
  const int rc = velt::LookupPacketValue(AnswerText(handle), "_ERRNO", field, kErrnoChars);
  if (rc != 0 && rc != velt::kValueTruncated) return false;
  field[kErrnoChars] = '\0';
  *code = velt::DecimalToInt(field);
  return true;
}

// Fills the caller's 32000-byte area, always terminated; false (and "") without "_ERRMSG".
bool ReadErrorMessage(VELTCLI_HANDLE handle, char* message) {
  const int rc = velt::LookupPacketValue(AnswerText(handle), "_ERRMSG", message, kMessageArea - 1);
  message[kMessageArea - 1] = '\0';
  if (rc == 0 || rc == velt::kValueTruncated) return true;
  message[0] = '\0';
  return false;
}

}  // namespace

extern "C" {

VELTCLI_API int VELTCLI_Init(VELTCLI_HANDLE* handle) {
  if (handle == nullptr) return 1;
  *handle = nullptr;
  try {
    velt::RefreshProgramName();
  } catch (...) {
    // The name keeps its previous text; the handle does not depend on it.
  }
  return velt::Guarded(1, [&] {
    ClientHandle* h = velt::Pool().Take();
    if (h == nullptr) h = velt::CreateClientHandle();
    *handle = h;
    return h != nullptr ? 0 : 1;
  });
}

VELTCLI_API int VELTCLI_Exit(VELTCLI_HANDLE handle) {
  if (handle == nullptr) return 1;
  return velt::Guarded(0, [&] {
    velt::EndReceiver(velt::SessionOf(handle));   // a pooled session never keeps a receiver
    if (!velt::Pool().Park(handle)) velt::DestroyClientHandle(handle);
    return 0;
  });
}

VELTCLI_API int VELTCLI_GetVersion(VELTCLI_HANDLE /*handle*/, int* version) {
  if (version != nullptr) *version = 1;
  return 0;
}

VELTCLI_API int VELTCLI_GetErr(VELTCLI_HANDLE handle, int* code, char* message) {
  if (code != nullptr) ReadErrorCode(handle, code);
  if (message != nullptr) ReadErrorMessage(handle, message);
  return 0;
}

VELTCLI_API int VELTCLI_GetErrorCode(VELTCLI_HANDLE handle, int* code) {
  if (code == nullptr) return 1;
  return ReadErrorCode(handle, code) ? 0 : 1;
}

VELTCLI_API int VELTCLI_GetErrorMsg(VELTCLI_HANDLE handle, char* message) {
  if (message == nullptr) return 1;
  return ReadErrorMessage(handle, message) ? 0 : 1;
}

}  // extern "C"
