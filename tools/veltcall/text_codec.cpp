// GBK conversion (platform code pages), and terminal widths of UTF-8 text.
#include "text_codec.h"

#include <strings.h>

#include <clocale>

namespace velt::veltcall {
namespace {

constexpr const char* kPlatformCodeset = "GBK";
// Decodes one UTF-8 sequence at text[i]; returns its length (1 for a byte that is not UTF-8).
std::size_t NextCodePoint(std::string_view text, std::size_t i, char32_t& cp) {
  const auto b = static_cast<unsigned char>(text[i]);
  std::size_t n = b < 0x80 ? 1 : (b >> 5) == 6 ? 2 : (b >> 4) == 14 ? 3 : (b >> 3) == 30 ? 4 : 0;
  if (n == 0 || i + n > text.size()) {
    cp = 0xFFFD;
    return 1;
  }
  cp = n == 1 ? b : n == 2 ? (b & 0x1F) : n == 3 ? (b & 0x0F) : (b & 0x07);
  for (std::size_t k = 1; k < n; ++k) {
    const auto c = static_cast<unsigned char>(text[i + k]);
    if ((c & 0xC0) != 0x80) {
      cp = 0xFFFD;
      return 1;
    }
    cp = (cp << 6) | (c & 0x3F);
  }
  return n;
}

int CodePointWidth(char32_t cp) {
  if ((cp >= 0x0300 && cp <= 0x036F) || (cp >= 0x200B && cp <= 0x200F) || cp == 0xFE0F) return 0;
  const bool wide = (cp >= 0x1100 && cp <= 0x115F) || (cp >= 0x2E80 && cp <= 0x303E) ||
                    (cp >= 0x3041 && cp <= 0x33FF) || (cp >= 0x3400 && cp <= 0x4DBF) ||
                    (cp >= 0x4E00 && cp <= 0x9FFF) || (cp >= 0xA000 && cp <= 0xA4CF) ||
                    (cp >= 0xAC00 && cp <= 0xD7A3) || (cp >= 0xF900 && cp <= 0xFAFF) ||
                    (cp >= 0xFE30 && cp <= 0xFE4F) || (cp >= 0xFF00 && cp <= 0xFF60) ||
                    (cp >= 0xFFE0 && cp <= 0xFFE6) || (cp >= 0x1F300 && cp <= 0x1F64F) ||
                    (cp >= 0x20000 && cp <= 0x3FFFD);
  return wide ? 2 : 1;
}

}  // namespace

TextCodec::TextCodec(bool raw, bool forceUtf8) : raw_(raw) {
  if (raw_) return;
  std::setlocale(LC_CTYPE, "");
  const std::string codeset = platform::ProcessCodeset();
  if (!forceUtf8 && !codeset.empty() && strcasecmp(codeset.c_str(), "ANSI_X3.4-1968") != 0 &&
      strcasecmp(codeset.c_str(), "ASCII") != 0)
    userCodeset_ = codeset;
  userUtf8_ = strcasecmp(userCodeset_.c_str(), "UTF-8") == 0 || strcasecmp(userCodeset_.c_str(), "UTF8") == 0;
  toPlatform_ = std::make_unique<platform::CodePageConverter>(userCodeset_.c_str(), kPlatformCodeset);
  fromPlatform_ = std::make_unique<platform::CodePageConverter>(kPlatformCodeset, userCodeset_.c_str());
  if (!toPlatform_->Valid() || !fromPlatform_->Valid()) raw_ = true;   // no such codeset: bytes
}

bool TextCodec::ToPlatform(std::string_view in, std::string& out) const {
  if (raw_) {
    out.assign(in);
    return true;
  }
  return toPlatform_->Convert(in, out);
}

std::string TextCodec::FromPlatform(std::string_view in) const {
  std::string out;
  if (raw_) {
    out.assign(in);
    return out;
  }
  fromPlatform_->Convert(in, out, userUtf8_ ? "\xEF\xBF\xBD" : "?");
  return out;
}

int DisplayWidth(std::string_view utf8) {
  int width = 0;
  for (std::size_t i = 0; i < utf8.size();) {
    char32_t cp = 0;
    i += NextCodePoint(utf8, i, cp);
    width += CodePointWidth(cp);
  }
  return width;
}

std::string_view FitWidth(std::string_view text, int width, bool utf8) {
  if (!utf8) return text.substr(0, static_cast<std::size_t>(width < 0 ? 0 : width));
  int used = 0;
  std::size_t i = 0;
  while (i < text.size()) {
    char32_t cp = 0;
    const std::size_t n = NextCodePoint(text, i, cp);
    const int w = CodePointWidth(cp);
    if (used + w > width) break;
    used += w;
    i += n;
  }
  return text.substr(0, i);
}

}  // namespace velt::veltcall
