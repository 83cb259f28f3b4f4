// Trace entries: file name, prefix, open-append-close.
#include "transport/trace_log.h"

#include <cinttypes>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "platform/local_time.h"
#include "platform/private_file.h"
#include "platform/process.h"

namespace velt {

void TraceFileName(const void* owner, char* out, std::size_t capacity) noexcept {
  std::snprintf(out, capacity, "%0*" PRIXPTR ".dat", static_cast<int>(2 * sizeof(void*)),
                reinterpret_cast<std::uintptr_t>(owner));
}

std::size_t TracePrefix(const std::tm& local, int pid, int tid, const char* tag, char* out) noexcept {
  char full[256];
  std::snprintf(full, sizeof full, "%04d%02d%02d%02d%02d%02d [%6d] [%6d] %s:", local.tm_year + 1900,
                local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec, pid, tid,
                tag != nullptr ? tag : "");
  const std::size_t n = strnlen(full, kTracePrefixChars);
  std::memcpy(out, full, n);
  out[n] = '\0';
  return n;
}

int WriteTrace(bool on, const void* owner, const char* tag, const void* bytes, std::size_t length) noexcept {
  if (!on) return 0;
  char name[2 * sizeof(void*) + 8];
  TraceFileName(owner, name, sizeof name);
  std::FILE* f = platform::OpenPrivateForAppend(name);   // traces hold request and answer text
  if (f == nullptr) return 1;
  const std::tm local = platform::LocalTimeOf(std::time(nullptr));
  char prefix[kTracePrefixChars + 1];
  const std::size_t n = TracePrefix(local, platform::ProcessId(), static_cast<int>(platform::ThreadId()), tag, prefix);
  std::fwrite(prefix, 1, n, f);
  if (bytes != nullptr && length > 0) std::fwrite(bytes, 1, length, f);
  std::fputc('\n', f);
  std::fclose(f);
  return 0;
}

}  // namespace velt
