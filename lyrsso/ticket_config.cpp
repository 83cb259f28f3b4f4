// INI reading for the ticket library through the platform's profile-file calls.
#include "ticket_config.h"

#include "platform/ini_profile.h"
#include "platform/paths.h"

namespace velt::lyrsso {

std::string ConfigPath(const char* iniPath, std::string_view moduleDirectory) {
  const std::string_view given = iniPath != nullptr ? std::string_view(iniPath) : std::string_view();
  if (platform::IsRootedPath(given)) return std::string(given.substr(0, kRootedPathLimit));
  std::string path(moduleDirectory);
  if (!path.empty() && path.back() != '/' && path.back() != '\\') path += '/';
  path += given.empty() ? std::string_view(kDefaultIniName) : given;
  return path;
}

TicketConfig ReadTicketConfig(const std::string& path) {
  TicketConfig config;
  const int validTime = platform::ReadProfileInt(path, kSection, "ValidTime", kDefaultValidTime);
  config.validTime = validTime < 1 ? 1 : validTime;
  platform::ReadProfileString(path, kSection, "SpecialString", "", config.secret, sizeof config.secret);
  return config;
}

}  // namespace velt::lyrsso
