// Reading the example plug-in's texts: one splitter for the items, one table of keys.
#include "example_texts.h"

#include <cstddef>
#include <functional>
#include <utility>

namespace velt::plugin_example {
namespace {

constexpr std::size_t kMaxAddress = 255;
constexpr std::size_t kMaxQueueName = 32;   // the object descriptor's name field
constexpr std::size_t kMaxCredential = 64;

// Calls `item(key, value)` for every non-empty item; false when an item has no "=" or `item` refuses.
bool ForEachItem(std::string_view text, const std::function<bool(std::string_view, std::string_view)>& item) {
  while (!text.empty()) {
    const std::size_t end = text.find(';');
    const std::string_view piece = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    if (piece.empty()) continue;
    const std::size_t equals = piece.find('=');
    if (equals == std::string_view::npos) return false;
    if (!item(piece.substr(0, equals), piece.substr(equals + 1))) return false;
  }
  return true;
}

bool ReadInt(std::string_view digits, int low, int high, int& out) {
  if (digits.empty() || digits.size() > 10) return false;
  long long value = 0;
  for (const char c : digits) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + (c - '0');
  }
  if (value < low || value > high) return false;
  out = static_cast<int>(value);
  return true;
}

bool ReadText(std::string_view value, std::size_t low, std::size_t high, std::string& out) {
  if (value.size() < low || value.size() > high) return false;
  out.assign(value);
  return true;
}

}  // namespace

bool ParseConnectText(std::string_view text, ConnectSettings& out) {
  ConnectSettings settings;
  unsigned seen = 0;
  const bool readable = ForEachItem(text, [&](std::string_view key, std::string_view value) {
    struct Key {
      std::string_view name;
      std::function<bool()> read;
    };
    const Key keys[] = {
        {"address", [&] { return ReadText(value, 1, kMaxAddress, settings.address); }},
        {"port", [&] { return ReadInt(value, 0, 65535, settings.port); }},
        {"protocol", [&] { return ReadInt(value, 0, 2, settings.protocol); }},
        {"request", [&] { return ReadText(value, 1, kMaxQueueName, settings.requestQueue); }},
        {"answer", [&] { return ReadText(value, 1, kMaxQueueName, settings.answerQueue); }},
        {"user", [&] { return ReadText(value, 0, kMaxCredential, settings.user); }},
        {"password", [&] { return ReadText(value, 0, kMaxCredential, settings.password); }},
    };
    for (unsigned i = 0; i < sizeof keys / sizeof keys[0]; ++i) {
      if (keys[i].name != key) continue;
      if ((seen & (1u << i)) != 0) return false;
      seen |= 1u << i;
      return keys[i].read();
    }
    return false;
  });
  if (!readable || settings.address.empty() || settings.requestQueue.empty() || settings.answerQueue.empty())
    return false;
  out = std::move(settings);
  return true;
}

bool ParseConfigText(std::string_view text, int& seconds) {
  int timeout = seconds;
  bool seen = false;
  const bool readable = ForEachItem(text, [&](std::string_view key, std::string_view value) {
    if (key != "timeout" || seen) return false;
    seen = true;
    return ReadInt(value, 1, kMaxTimeoutSeconds, timeout);
  });
  if (!readable) return false;
  seconds = timeout;
  return true;
}

}  // namespace velt::plugin_example
