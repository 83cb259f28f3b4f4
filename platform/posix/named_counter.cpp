// NamedCounter over shm_open and mmap.
#include "platform/named_counter.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace velt::platform {

static_assert(std::atomic<std::int32_t>::is_always_lock_free, "the count is shared between processes");

std::unique_ptr<NamedCounter> NamedCounter::Open(const std::string& name) {
  const std::string path = "/" + name;
  // Owner-only: another user cannot advance or reset our ids; a foreign object fails to open.
  const int fd = shm_open(path.c_str(), O_RDWR | O_CREAT, 0600);
  if (fd < 0) return nullptr;
  struct stat st;
  bool ok = fstat(fd, &st) == 0;
  // A new object has size 0; growing it zero-fills the count. Two creators racing grow it alike.
  if (ok && st.st_size < static_cast<off_t>(sizeof(std::int32_t)))
    ok = ftruncate(fd, sizeof(std::int32_t)) == 0;
  void* at = ok ? mmap(nullptr, sizeof(std::int32_t), PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0) : MAP_FAILED;
  close(fd);
  if (at == MAP_FAILED) return nullptr;
  return std::unique_ptr<NamedCounter>(new NamedCounter(static_cast<std::atomic<std::int32_t>*>(at)));
}

NamedCounter::~NamedCounter() { munmap(static_cast<void*>(count_), sizeof(std::int32_t)); }

bool NamedCounter::Release(std::int32_t& previous) noexcept {
  std::int32_t seen = count_->load(std::memory_order_relaxed);
  do {
    if (seen >= kMaximum || seen < 0) return false;
  } while (!count_->compare_exchange_weak(seen, seen + 1, std::memory_order_relaxed));
  previous = seen;
  return true;
}

}  // namespace velt::platform
