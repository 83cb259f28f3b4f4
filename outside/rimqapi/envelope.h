// What a queue keeps of a message besides its body, and the match keys that find it again.
// Both engines store the same 111-byte envelope, so a get fills the descriptor alike everywhere.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "rimqapi.h"

namespace velt::rimq {

using Id24 = std::array<char, 24>;

struct Envelope {
  Id24 msgId{};
  Id24 correlId{};
  Id24 replyTag{};
  std::array<char, 32> replyToQ{};
  char msgType = 0;
  char clientOption4 = 0;
  char clientOption3 = 0;
  std::int32_t format = 0;

  static constexpr std::size_t kSize = 24 * 3 + 32 + 3 + 4;

  static Envelope FromDescriptor(const RIMQMD& md);
  // Writes the message's ids and carried values into a get's descriptor.
  void ToDescriptor(RIMQMD& md, std::size_t bodyLength) const;

  // Fixed-width little-endian form (kSize bytes), appended to `out`.
  void AppendTo(std::string& out) const;
  // False when fewer than kSize bytes are given.
  static bool Parse(std::string_view bytes, Envelope* out);
};

// Match modes a get may ask for; anything else is refused before it reaches an engine.
enum class MatchMode { kNext = 0, kCorrelId = 2, kMsgAndCorrelId = 3, kCorrelIdAndTag = 6 };
bool ToMatchMode(int value, MatchMode* out);

struct MatchRequest {
  MatchMode mode = MatchMode::kNext;
  Id24 msgId{};
  Id24 correlId{};
  Id24 replyTag{};
};

// How ids are spelt inside a key: raw bytes (in-process maps) or lower-case hex (Redis key names,
// readable with redis-cli). Both are injective because every id has a fixed width.
enum class KeySpelling { kRaw, kHex };

// The key a get asking for `match` waits on and claims from.
std::string MatchKey(const MatchRequest& match, KeySpelling spelling);

// The four keys a message can be found by, in a fixed order:
// next message, message id + correlation id, correlation id, correlation id + reply tag.
constexpr std::size_t kMatchKeyCount = 4;
std::array<std::string, kMatchKeyCount> MessageKeys(const Envelope& env, KeySpelling spelling);

}  // namespace velt::rimq
