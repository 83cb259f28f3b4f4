// Profile-file reader shared by every library that reads section/key files.
#include "platform/ini_profile.h"

#include <cctype>
#include <climits>
#include <cstring>
#include <fstream>
#include <sstream>

namespace velt::platform {
namespace {

std::string_view Trim(std::string_view s) {
  const char* ws = " \t\r\n\f\v";
  const auto b = s.find_first_not_of(ws);
  if (b == std::string_view::npos) return {};
  const auto e = s.find_last_not_of(ws);
  return s.substr(b, e - b + 1);
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  }
  return true;
}

std::string Unquote(std::string_view v) {
  if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
    v = v.substr(1, v.size() - 2);
  return std::string(v);
}

std::size_t CopyBounded(std::string_view text, char* out, std::size_t outSize) {
  if (out == nullptr || outSize == 0) return 0;
  const std::size_t n = text.size() < outSize - 1 ? text.size() : outSize - 1;
  std::memcpy(out, text.data(), n);
  out[n] = '\0';
  return n;
}

}  // namespace

std::optional<IniProfile> IniProfile::Load(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::ostringstream buf;
  buf << in.rdbuf();
  return Parse(buf.str());
}

IniProfile IniProfile::Parse(std::string_view text) {
  IniProfile p;
  Section* current = nullptr;
  while (!text.empty()) {
    const auto nl = text.find('\n');
    std::string_view line = Trim(text.substr(0, nl));
    text = nl == std::string_view::npos ? std::string_view{} : text.substr(nl + 1);
    if (line.empty() || line.front() == ';' || line.front() == '#') continue;
    if (line.front() == '[') {
      const auto close = line.find(']');
      const std::string_view name = Trim(line.substr(1, close == std::string_view::npos ? line.npos : close - 1));
      p.sections_.push_back(Section{std::string(name), {}, {}});
      current = &p.sections_.back();
      continue;
    }
    if (current == nullptr) continue;  // lines before the first section belong to none
    current->lines.emplace_back(line);
    const auto eq = line.find('=');
    if (eq != std::string_view::npos)
      current->keys.emplace_back(std::string(Trim(line.substr(0, eq))), Unquote(Trim(line.substr(eq + 1))));
  }
  return p;
}

const IniProfile::Section* IniProfile::Find(std::string_view section) const {
  for (const auto& s : sections_)
    if (EqualsNoCase(s.name, section)) return &s;
  return nullptr;
}

std::optional<std::string> IniProfile::Get(std::string_view section, std::string_view key) const {
  const Section* s = Find(section);
  if (s == nullptr) return std::nullopt;
  for (const auto& [k, v] : s->keys)
    if (EqualsNoCase(k, key)) return v;
  return std::nullopt;
}

std::optional<std::vector<std::string>> IniProfile::SectionLines(std::string_view section) const {
  const Section* s = Find(section);
  if (s == nullptr) return std::nullopt;
  return s->lines;
}

std::size_t ReadProfileString(const std::string& path, std::string_view section, std::string_view key,
                              const char* defaultValue, char* out, std::size_t outSize) {
  std::optional<std::string> value;
  if (auto profile = IniProfile::Load(path)) value = profile->Get(section, key);
  return CopyBounded(value ? std::string_view(*value) : std::string_view(defaultValue ? defaultValue : ""),
                     out, outSize);
}

int ReadProfileInt(const std::string& path, std::string_view section, std::string_view key, int defaultValue) {
  auto profile = IniProfile::Load(path);
  if (!profile) return defaultValue;
  const auto value = profile->Get(section, key);
  if (!value) return defaultValue;
  std::string_view v = *value;
  bool negative = false;
  if (!v.empty() && (v.front() == '-' || v.front() == '+')) {
    negative = v.front() == '-';
    v.remove_prefix(1);
  }
  long long n = 0;
  for (char c : v) {
    if (c < '0' || c > '9') break;
    n = n * 10 + (c - '0');
    if (n > static_cast<long long>(INT_MAX) + 1) break;
  }
  if (negative) n = -n;
  if (n > INT_MAX) return INT_MAX;
  if (n < INT_MIN) return INT_MIN;
  return static_cast<int>(n);
}

std::size_t ReadProfileSection(const std::string& path, std::string_view section, char* out, std::size_t outSize) {
  if (out == nullptr || outSize == 0) return 0;
  out[0] = '\0';
  if (outSize < 2) return 0;
  out[1] = '\0';
  auto profile = IniProfile::Load(path);
  if (!profile) return 0;
  const auto lines = profile->SectionLines(section);
  if (!lines) return 0;
  std::size_t used = 0;
  for (const auto& line : *lines) {
    // line, its zero and the final zero must fit
    if (used + line.size() + 2 > outSize) break;
    std::memcpy(out + used, line.data(), line.size());
    used += line.size();
    out[used++] = '\0';
  }
  out[used] = '\0';
  if (used == 0 && outSize >= 2) out[1] = '\0';
  return used;
}

}  // namespace velt::platform
