// The frame's process-wide objects. They live in one static object so that, at unload, the pool
// drains its handles while the lock and the registry the sessions use are still alive.
#include "core/frame_state.h"

#include <cstdlib>
#include <cstring>
#include <set>

#include "support/alloc_hook.h"
#include "support/ascii_text.h"
#include "core/client_handle.h"
#include "support/decimal.h"
#include "support/process_lock.h"
#include "platform/paths.h"

namespace velt {
namespace {

struct FrameState {
  std::set<const void*> sessions;
  std::mutex programNameLock;
  char programName[260] = {};
  HandlePool pool{ProcessLock(), PoolCapacityFromText(std::getenv("LUNQCLI_OBJECTSPOOLSIZE"))};  // last: drains first
};

FrameState g_frame;

}  // namespace

HandlePool& Pool() { return g_frame.pool; }

int PoolCapacityFromText(const char* text) noexcept {
  if (text == nullptr) return 0;
  const int n = DecimalToInt(text);
  if (n >= HandlePool::kMaxCapacityFromEnvironment) return HandlePool::kMaxCapacityFromEnvironment;
  return n < 0 ? 0 : n;
}

HandlePool::~HandlePool() { DestroyAll(); }

ClientHandle* HandlePool::Take() {
  std::lock_guard<std::mutex> guard(lock_);
  if (idle_.empty()) return nullptr;
  ClientHandle* handle = idle_.front();
  idle_.pop_front();
  return handle;
}

bool HandlePool::Park(ClientHandle* handle) {
  std::lock_guard<std::mutex> guard(lock_);
  const int capacity = Capacity();
  if (capacity <= 0 || idle_.size() >= static_cast<std::size_t>(capacity)) return false;
  try {
    RequireAllocation(sizeof handle);
    idle_.push_back(handle);
  } catch (const std::bad_alloc&) {
    return false;   // destroyed by the caller instead
  }
  return true;
}

void HandlePool::DestroyAll() {
  while (ClientHandle* handle = Take()) DestroyClientHandle(handle);
}

std::size_t HandlePool::Count() const {
  std::lock_guard<std::mutex> guard(lock_);
  return idle_.size();
}

void RegisterSession(const void* session) {
  std::lock_guard<std::mutex> guard(ProcessLock());
  RequireAllocation(sizeof session);
  g_frame.sessions.insert(session);
}

bool UnregisterSession(const void* session) noexcept {
  std::lock_guard<std::mutex> guard(ProcessLock());
  return g_frame.sessions.erase(session) != 0;
}

bool IsLiveSession(const void* session) {
  std::lock_guard<std::mutex> guard(ProcessLock());
  return g_frame.sessions.count(session) != 0;
}

std::size_t LiveSessionCount() {
  std::lock_guard<std::mutex> guard(ProcessLock());
  return g_frame.sessions.size();
}

void RefreshProgramName() {
  const std::string path = platform::ProgramPath();
  if (path.empty()) return;
  const std::string name(platform::BaseName(path));
  std::lock_guard<std::mutex> guard(g_frame.programNameLock);
  CopyBounded(g_frame.programName, sizeof g_frame.programName, name.c_str());
}

std::string ProgramName() {
  std::lock_guard<std::mutex> guard(g_frame.programNameLock);
  return g_frame.programName;
}

void CopyProgramName(char (&out)[kProgramNameBytes]) noexcept {
  static_assert(sizeof g_frame.programName == kProgramNameBytes, "one size for the program name");
  std::lock_guard<std::mutex> guard(g_frame.programNameLock);
  std::memcpy(out, g_frame.programName, sizeof out);
}


}  // namespace velt
