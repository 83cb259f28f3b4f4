// Process-wide state of the frame: the handle pool (capacity from LUNQCLI_OBJECTSPOOLSIZE at load,
// option id 20 later), the registry of live sessions and the program name. The pool and the
// registry are guarded by the process lock (support/process_lock.h).
#pragma once

#include <atomic>
#include <cstddef>
#include <deque>
#include <mutex>
#include <string>

struct ClientHandle;

namespace velt {

// First-in first-out queue of idle handles. Thread-safe through the lock it is given; the
// capacity is read and written without it (a concurrent exit may see either value).
class HandlePool {
 public:
  static constexpr int kMaxCapacityFromEnvironment = 1024;

  HandlePool(std::mutex& lock, int capacity) : lock_(lock), capacity_(capacity) {}
  // Destroys the queued handles, front first (library unload).
  ~HandlePool();
  HandlePool(const HandlePool&) = delete;
  HandlePool& operator=(const HandlePool&) = delete;

  ClientHandle* Take();                  // the oldest parked handle, or null
  bool Park(ClientHandle* handle);       // false when full, pooling is off or memory failed
  void DestroyAll();

  // As stored (option id 20 reads back what it wrote); a negative value pools nothing.
  int Capacity() const { return capacity_.load(std::memory_order_relaxed); }
  void SetCapacity(int capacity) { capacity_.store(capacity, std::memory_order_relaxed); }
  bool PoolingOn() const { return Capacity() > 0; }
  std::size_t Count() const;

 private:
  std::mutex& lock_;
  std::atomic<int> capacity_;
  std::deque<ClientHandle*> idle_;
};

HandlePool& Pool();

// LUNQCLI_OBJECTSPOOLSIZE: decimal; 1024 and above give 1024, negative or absent give 0.
int PoolCapacityFromText(const char* text) noexcept;

// Session registry: addresses of all live sessions (each call takes the frame lock).
void RegisterSession(const void* session);
bool UnregisterSession(const void* session) noexcept;
bool IsLiveSession(const void* session);
std::size_t LiveSessionCount();

// File name of the running program (at most 259 characters); refreshed by VELTCLI_Init and every
// CVELTCli construction, unchanged when the program file cannot be read.
void RefreshProgramName();
std::string ProgramName();
// The same into a fixed area, for paths that must not allocate.
inline constexpr std::size_t kProgramNameBytes = 260;
void CopyProgramName(char (&out)[kProgramNameBytes]) noexcept;

}  // namespace velt
