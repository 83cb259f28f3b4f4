// Assigned message ids: 18 bytes (process id, random salt, counter) written as 24 Base64 characters.
#include "message_id.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <random>

#include "platform/base64.h"
#include "platform/process.h"

namespace velt::rimq {
namespace {

std::array<unsigned char, 6> RandomSalt() {
  std::random_device device;
  std::array<unsigned char, 6> salt{};
  for (auto& b : salt) b = static_cast<unsigned char>(device());
  return salt;
}

// getpid is a system call on current C libraries; the id is kept and renewed in a forked child.
std::atomic<std::uint32_t> g_pid{0};

void RenewPid() { g_pid.store(static_cast<std::uint32_t>(platform::ProcessId()), std::memory_order_relaxed); }

std::uint32_t ProcessId() {
  static const bool registered = [] {
    RenewPid();
    return platform::RunInChildAfterFork(RenewPid);
  }();
  return registered ? g_pid.load(std::memory_order_relaxed) : static_cast<std::uint32_t>(platform::ProcessId());
}

void PutLittleEndian(unsigned char* out, std::uint64_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out[i] = static_cast<unsigned char>(value >> (8 * i));
}

}  // namespace

void NewMessageId(char* out) {
  static const std::array<unsigned char, 6> salt = RandomSalt();
  static std::atomic<std::uint64_t> counter{0};
  unsigned char raw[18];
  // The process id keeps a forked child, which inherits salt and counter, apart from its parent.
  PutLittleEndian(raw, ProcessId(), 4);
  for (int i = 0; i < 6; ++i) raw[4 + i] = salt[i];
  PutLittleEndian(raw + 10, counter.fetch_add(1, std::memory_order_relaxed), 8);
  static_assert(velt::platform::Base64EncodedLength(sizeof raw) == kMessageIdLength);
  velt::platform::Base64Encode(raw, sizeof raw, out);
}

}  // namespace velt::rimq
