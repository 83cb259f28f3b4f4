// explicit_bzero where the C library has it, otherwise writes through a volatile pointer.
#include "platform/secure_wipe.h"

#include <string.h>

namespace velt::platform {

void SecureWipe(void* data, std::size_t size) noexcept {
  if (data == nullptr || size == 0) return;
#if defined(__GLIBC__)
  explicit_bzero(data, size);
#else
  volatile unsigned char* p = static_cast<volatile unsigned char*>(data);
  while (size--) *p++ = 0;
#endif
}

}  // namespace velt::platform
