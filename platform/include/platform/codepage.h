// Code-page conversion through iconv: the system's Chinese text is GBK (code page 936), the
// outside world (OpenSSL names, Java, JSON) often UTF-8.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace velt::platform {

// Converts `text` between two iconv character sets; nullopt when either set is unknown or the text
// holds a sequence that is invalid in `from` or has no form in `to`.
std::optional<std::string> ConvertCodePage(std::string_view text, const char* from, const char* to);

inline std::optional<std::string> Utf8ToGbk(std::string_view text) { return ConvertCodePage(text, "UTF-8", "GBK"); }
inline std::optional<std::string> GbkToUtf8(std::string_view text) { return ConvertCodePage(text, "GBK", "UTF-8"); }

// The "ANSI code page" of the process: the codeset of its locale (LC_CTYPE), e.g. "UTF-8" or
// "ANSI_X3.4-1968" in the C locale.
std::string ProcessCodeset();

// A conversion kept open for many texts, for callers that convert text after text (a cell
// stream); one thread at a time per object. Valid() is false when the codesets are unknown.
class CodePageConverter {
 public:
  CodePageConverter(const char* from, const char* to) noexcept;
  ~CodePageConverter();
  CodePageConverter(const CodePageConverter&) = delete;
  CodePageConverter& operator=(const CodePageConverter&) = delete;

  bool Valid() const noexcept;
  // Converts the whole of `in` into `out`. Without a replacement a byte that does not convert
  // fails the conversion (false); with one, each such byte becomes the replacement and the
  // conversion goes on (always true).
  bool Convert(std::string_view in, std::string& out,
               std::optional<std::string_view> replacement = std::nullopt) const;

 private:
  void* cd_;
};

}  // namespace velt::platform
