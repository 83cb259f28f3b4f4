// Configuration of the ticket library: where its INI file is and what it says.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace velt::lyrsso {

constexpr int kDefaultValidTime = 60;             // seconds
constexpr std::size_t kSecretArea = 32;           // "SpecialString": at most 31 characters
constexpr std::size_t kRootedPathLimit = 259;     // a path used as given is cut to this length
constexpr const char* kDefaultIniName = "LYRSSO.ini";
constexpr const char* kSection = "LYRSSO";

struct TicketConfig {
  int validTime = kDefaultValidTime;  // at least 1
  char secret[kSecretArea] = {};      // zero-terminated
};

// A rooted `iniPath` (backslash or "/" first, or a colon anywhere) is used as given, cut to
// kRootedPathLimit characters; anything else names a file in `moduleDirectory` (null or empty:
// kDefaultIniName). An empty folder leaves the name relative to the working directory.
std::string ConfigPath(const char* iniPath, std::string_view moduleDirectory);

// Reads section "LYRSSO"; a missing file or key gives the defaults. "ValidTime" below 1 or not a
// number becomes 1. May throw std::bad_alloc.
TicketConfig ReadTicketConfig(const std::string& path);

}  // namespace velt::lyrsso
