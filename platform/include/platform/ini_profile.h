// Profile (INI) files: section/key and whole-section reads with the usual profile-file rules.
// Names compare case-insensitively, the first matching section and key win, values are trimmed,
// a value in matching quotes loses them, and lines starting with ';' or '#' are comments.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace velt::platform {

class IniProfile {
 public:
  // Reads the whole file; nullopt when it cannot be opened.
  static std::optional<IniProfile> Load(const std::string& path);
  static IniProfile Parse(std::string_view text);

  std::optional<std::string> Get(std::string_view section, std::string_view key) const;
  // Each line of the section as written (trimmed), comments and blank lines left out.
  std::optional<std::vector<std::string>> SectionLines(std::string_view section) const;

 private:
  struct Section {
    std::string name;
    std::vector<std::string> lines;                          // trimmed, comments dropped
    std::vector<std::pair<std::string, std::string>> keys;   // from lines holding '='
  };
  const Section* Find(std::string_view section) const;
  std::vector<Section> sections_;
};

// Bounded C-style reads, as a profile-file call returns them. Each copies at most outSize-1 bytes
// and a terminating zero (nothing when outSize is 0) and returns the number of bytes copied.
// A missing file, section or key yields the default (null counts as "").
std::size_t ReadProfileString(const std::string& path, std::string_view section, std::string_view key,
                              const char* defaultValue, char* out, std::size_t outSize);
// Leading decimal integer of the value (optional sign); a value with no digits reads as 0,
// one beyond the int range is clamped. A missing file, section or key yields the default.
int ReadProfileInt(const std::string& path, std::string_view section, std::string_view key, int defaultValue);
// The section's lines, each zero-terminated, then one more zero. Lines that do not fit are left
// out whole; the result always ends with the double zero when outSize >= 2. Returns the bytes
// written before the final zero (0 for a missing file or section).
std::size_t ReadProfileSection(const std::string& path, std::string_view section, char* out, std::size_t outSize);

}  // namespace velt::platform
