// Request values, the information-centre exchange and the reading of its answers.
#include "infocenter/info_exchange.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "calls/service_calls.h"
#include "codec/answer_reader.h"
#include "codec/request_writer.h"
#include "codec/rs_cursor.h"
#include "infocenter/info_messages.h"

namespace velt {
namespace {

constexpr std::size_t kExtraItemChars = 254;
constexpr std::size_t kMessageChars = 1023;
constexpr std::size_t kPlatformMessageChars = 255;
constexpr std::size_t kCellBytes = 12192;   // holds any cell the cursor fetches (veltcli.h)
constexpr const char* kServicePrefix = "MSG";

int Failed(CLUNQCliBase& s, int code, const char* message) noexcept {
  BeginWrite(s);
  return RecordError(s, code, message);
}

int FailedStep(CLUNQCliBase& s, const char* service, const char* step, int status) noexcept {
  char message[kMessageChars + 1];
  std::snprintf(message, sizeof message, "Lbm=%s %s Err=%d", service, step, status);
  return Failed(s, status, message);
}

}  // namespace

void AddValue(CLUNQCliBase& s, const char* name, const char* value, std::size_t limit) noexcept {
  const std::size_t n = strnlen(value, limit);
  if (value[n] == '\0') {
    SetValue(s, name, value);
    return;
  }
  try {
    SetValue(s, name, std::string(value, n).c_str());
  } catch (...) {
    // No memory for the cut copy: the value is left out, as a full packet buffer leaves it out.
  }
}

void AddInt(CLUNQCliBase& s, const char* name, long long value) noexcept {
  char text[24];
  std::snprintf(text, sizeof text, "%lld", value);
  SetValue(s, name, text);
}

void AddIfSet(CLUNQCliBase& s, const char* name, const char* value, std::size_t limit) noexcept {
  if (value[0] != '\0') AddValue(s, name, value, limit);
}

void AddExtraValues(CLUNQCliBase& s, const tagInfoControl& control) noexcept {
  const char* area = control.szExtFields;
  std::size_t length = strnlen(area, sizeof control.szExtFields);
  if (const void* newline = std::memchr(area, '\n', length))
    length = static_cast<std::size_t>(static_cast<const char*>(newline) - area);
  char items[2][kExtraItemChars + 1];
  int filled = 0;
  std::size_t at = 0;
  while (at <= length) {
    std::size_t end = at;
    while (end < length && area[end] != '|') ++end;
    const std::size_t n = end - at < kExtraItemChars ? end - at : kExtraItemChars;
    std::memcpy(items[filled], area + at, n);
    items[filled][n] = '\0';
    if (filled == 0 && n == 0) return;   // the first empty name ends the list
    if (++filled == 2) {
      SetValue(s, items[0], items[1]);
      filled = 0;
    }
    at = end + 1;
  }
  if (filled == 1) SetValue(s, items[0], "");   // a last name without its value
}

int RecordError(CLUNQCliBase& s, int code, const char* message) noexcept {
  AddInt(s, "_ERRNO", code);
  SetValue(s, "_ERRMSG", message);
  return code;
}

int RecordCheck(CLUNQCliBase& s, int code) noexcept { return RecordError(s, code, InfoMessage(code)); }

int InfoExchange(CLUNQCliBase& s, const char* service) noexcept {
  SetValue(s, "e", "1");
  char savedPrefix[sizeof s.servicePrefix];
  CopyField(savedPrefix, s.servicePrefix, sizeof s.servicePrefix);
  CopyField(s.servicePrefix, kServicePrefix, sizeof s.servicePrefix);
  const int rc = CallStandAlone(s, service, nullptr, true);
  CopyField(s.servicePrefix, savedPrefix, sizeof savedPrefix);
  if (rc != 0) return FailedStep(s, service, "CallProgram", rc);
  int step = RsOpen(s);
  if (step != 0) return FailedStep(s, service, "LUNQ_RsOpen", step);
  if ((step = RsFetchRow(s)) != 0) return FailedStep(s, service, "LUNQ_RsFetchRow", step);
  char cell[kCellBytes];
  if ((step = RsGetColByName(s, "CODE", cell)) != 0) return FailedStep(s, service, "LUNQ_RsGetColByName", step);
  const int code = static_cast<int>(DecimalToInt64(cell));
  if (code == 0) return 0;
  char message[kPlatformMessageChars + 1] = "";
  ReadColumn(s, "MSG", message, sizeof message);
  return Failed(s, code, message);
}

int SecondResultSet(CLUNQCliBase& s) noexcept {
  const int rc = RsMore(s);
  return rc != 0 ? rc : RsFetchRow(s);
}

int FinalStatus(CLUNQCliBase& s, int lastStatus) noexcept {
  char code[32];
  const int rc = GetValue(s, "_ERRNO", code, static_cast<int>(sizeof code - 1));
  if (rc != 0 && rc != 100) return lastStatus;
  code[sizeof code - 1] = '\0';
  return static_cast<int>(DecimalToInt64(code));
}

bool ReadColumn(CLUNQCliBase& s, const char* column, char* out, std::size_t size) noexcept {
  char cell[kCellBytes];
  if (RsGetColByName(s, column, cell) != 0) return false;
  const std::size_t n = strnlen(cell, size - 1);
  std::memcpy(out, cell, n);
  out[n] = '\0';
  return true;
}

long long ReadColumnInt(CLUNQCliBase& s, const char* column) noexcept {
  char text[64];
  return ReadColumn(s, column, text, sizeof text) ? DecimalToInt64(text) : 0;
}

long long DecimalToInt64(const char* text) noexcept {
  if (text == nullptr) return 0;
  errno = 0;
  return std::strtoll(text, nullptr, 10);   // saturates at the range, 0 for no digits
}

}  // namespace velt
