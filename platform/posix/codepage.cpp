// Code-page conversion through iconv: ConvertCodePage opens a descriptor per call (safe in any
// thread); CodePageConverter keeps one open for a stream of texts.
#include "platform/codepage.h"

#include <iconv.h>
#include <langinfo.h>

#include <cerrno>

namespace velt::platform {

namespace {

const iconv_t kNoConverter = reinterpret_cast<iconv_t>(-1);

}  // namespace

CodePageConverter::CodePageConverter(const char* from, const char* to) noexcept
    : cd_(reinterpret_cast<void*>(iconv_open(to, from))) {}

CodePageConverter::~CodePageConverter() {
  if (Valid()) iconv_close(reinterpret_cast<iconv_t>(cd_));
}

bool CodePageConverter::Valid() const noexcept { return reinterpret_cast<iconv_t>(cd_) != kNoConverter; }

bool CodePageConverter::Convert(std::string_view in, std::string& out,
                                std::optional<std::string_view> replacement) const {
  out.clear();
  if (!Valid()) return false;
  const auto cd = reinterpret_cast<iconv_t>(cd_);
  iconv(cd, nullptr, nullptr, nullptr, nullptr);
  char* src = const_cast<char*>(in.data());   // iconv's interface is not const-correct
  std::size_t left = in.size();
  char buffer[4096];
  while (left > 0) {
    char* dst = buffer;
    std::size_t room = sizeof buffer;
    const std::size_t rc = iconv(cd, &src, &left, &dst, &room);
    out.append(buffer, static_cast<std::size_t>(dst - buffer));
    if (rc != static_cast<std::size_t>(-1) || errno == E2BIG) continue;
    if (!replacement) return false;
    out.append(*replacement);   // EILSEQ or EINVAL: skip the byte that does not convert
    ++src;
    --left;
  }
  char* dst = buffer;
  std::size_t room = sizeof buffer;
  if (iconv(cd, nullptr, nullptr, &dst, &room) == static_cast<std::size_t>(-1) && !replacement) return false;
  out.append(buffer, static_cast<std::size_t>(dst - buffer));
  return true;
}

std::optional<std::string> ConvertCodePage(std::string_view text, const char* from, const char* to) {
  const CodePageConverter converter(from, to);
  std::string out;
  if (!converter.Convert(text, out)) return std::nullopt;
  return out;
}

std::string ProcessCodeset() {
  const char* cs = nl_langinfo(CODESET);
  return cs != nullptr ? std::string(cs) : std::string();
}

}  // namespace velt::platform
