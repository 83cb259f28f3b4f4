// The example plug-in's connect and configuration texts: "key=value;key=value" read into settings.
// Pure and I/O-free; the formats are documented in veltplugin_example.h.
#pragma once

#include <string>
#include <string_view>

namespace velt::plugin_example {

struct ConnectSettings {
  std::string address;
  int port = 0;
  int protocol = 1;
  std::string requestQueue;
  std::string answerQueue;
  std::string user;
  std::string password;
};

inline constexpr int kDefaultTimeoutSeconds = 120;
// Largest wait whose expiry in milliseconds still fits an int.
inline constexpr int kMaxTimeoutSeconds = 2147483;

// False when the text breaks the format: unknown or repeated key, an item without "=", a number
// out of range, a text too long, a required key missing.
bool ParseConnectText(std::string_view text, ConnectSettings& out);
// False unless the text is empty or "timeout=N" with N in 1..kMaxTimeoutSeconds; `seconds` is
// left alone then.
bool ParseConfigText(std::string_view text, int& seconds);

}  // namespace velt::plugin_example
