// Owner-only files through open(2) with mode 0600, handed to stdio.
#include "platform/private_file.h"

#include <fcntl.h>
#include <unistd.h>

namespace velt::platform {

std::FILE* OpenPrivateForAppend(const char* path) noexcept {
  if (path == nullptr) return nullptr;
  const int fd = open(path, O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0600);
  if (fd < 0) return nullptr;
  std::FILE* f = fdopen(fd, "a");
  if (f == nullptr) close(fd);
  return f;
}

}  // namespace velt::platform
