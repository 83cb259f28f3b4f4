// iconv wrapper; one conversion descriptor per call, so it is safe in any thread.
#include "platform/codepage.h"

#include <iconv.h>
#include <langinfo.h>

#include <cerrno>

namespace velt::platform {

std::optional<std::string> ConvertCodePage(std::string_view text, const char* from, const char* to) {
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
  std::string out;
  out.resize(text.size() * 2 + 16);
  char* inPtr = const_cast<char*>(text.data());   // iconv's interface is not const-correct
  size_t inLeft = text.size();
  size_t done = 0;
  bool ok = true;
  while (inLeft > 0) {
    char* outPtr = out.data() + done;
    size_t outLeft = out.size() - done;
    const size_t r = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
    done = out.size() - outLeft;
    if (r != static_cast<size_t>(-1)) break;
    if (errno != E2BIG) {
      ok = false;
      break;
    }
    out.resize(out.size() * 2);
  }
  if (ok) {  // flush any shift state
    char* outPtr = out.data() + done;
    size_t outLeft = out.size() - done;
    if (iconv(cd, nullptr, nullptr, &outPtr, &outLeft) == static_cast<size_t>(-1)) ok = false;
    done = out.size() - outLeft;
  }
  iconv_close(cd);
  if (!ok) return std::nullopt;
  out.resize(done);
  return out;
}

std::string ProcessCodeset() {
  const char* cs = nl_langinfo(CODESET);
  return cs != nullptr ? std::string(cs) : std::string();
}

}  // namespace velt::platform
