// Envelope encoding and the match keys shared by the in-process and Redis engines.
#include "envelope.h"

#include <algorithm>
#include <cstring>

namespace velt::rimq {
namespace {

template <std::size_t N>
void CopyIn(std::array<char, N>& to, const char* from) {
  std::memcpy(to.data(), from, N);
}

template <std::size_t N>
void CopyOut(char* to, const std::array<char, N>& from) {
  std::memcpy(to, from.data(), N);
}

void AppendId(std::string& out, const Id24& id, KeySpelling spelling) {
  if (spelling == KeySpelling::kRaw) {
    out.append(id.data(), id.size());
    return;
  }
  static constexpr char kHex[] = "0123456789abcdef";
  for (char c : id) {
    const auto b = static_cast<unsigned char>(c);
    out.push_back(kHex[b >> 4]);
    out.push_back(kHex[b & 15]);
  }
}

std::string KeyOf(MatchMode mode, const Id24& msgId, const Id24& correlId, const Id24& tag,
                  KeySpelling spelling) {
  std::string key;
  key.reserve(2 + 2 * 2 * 24 + 2);
  switch (mode) {
    case MatchMode::kNext:
      key = "all";
      break;
    case MatchMode::kMsgAndCorrelId:
      key = "id:";
      AppendId(key, msgId, spelling);
      key.push_back(':');
      AppendId(key, correlId, spelling);
      break;
    case MatchMode::kCorrelId:
      key = "c:";
      AppendId(key, correlId, spelling);
      break;
    case MatchMode::kCorrelIdAndTag:
      key = "ct:";
      AppendId(key, correlId, spelling);
      key.push_back(':');
      AppendId(key, tag, spelling);
      break;
  }
  return key;
}

}  // namespace

Envelope Envelope::FromDescriptor(const RIMQMD& md) {
  Envelope e;
  CopyIn(e.msgId, md.abMsgId);
  CopyIn(e.correlId, md.abCorrelId);
  CopyIn(e.replyTag, md.abReplyTag);
  CopyIn(e.replyToQ, md.szReplyToQ);
  e.msgType = md.cMsgType;
  e.clientOption4 = md.cClientOption4;
  e.clientOption3 = md.cClientOption3;
  e.format = md.nFormat;
  return e;
}

void Envelope::ToDescriptor(RIMQMD& md, std::size_t bodyLength) const {
  CopyOut(md.abMsgId, msgId);
  CopyOut(md.abCorrelId, correlId);
  CopyOut(md.abReplyTag, replyTag);
  CopyOut(md.szReplyToQ, replyToQ);
  md.cMsgType = msgType;
  md.cClientOption4 = clientOption4;
  md.cClientOption3 = clientOption3;
  md.nFormat = format;
  md.nMsgLength = static_cast<int>(std::min<std::size_t>(bodyLength, RIMQ_MAX_MSG_LENGTH));
}

void Envelope::AppendTo(std::string& out) const {
  out.append(msgId.data(), msgId.size());
  out.append(correlId.data(), correlId.size());
  out.append(replyTag.data(), replyTag.size());
  out.append(replyToQ.data(), replyToQ.size());
  out.push_back(msgType);
  out.push_back(clientOption4);
  out.push_back(clientOption3);
  const auto f = static_cast<std::uint32_t>(format);
  for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<char>((f >> shift) & 0xFF));
}

bool Envelope::Parse(std::string_view bytes, Envelope* out) {
  if (bytes.size() < kSize) return false;
  const char* p = bytes.data();
  CopyIn(out->msgId, p);
  CopyIn(out->correlId, p + 24);
  CopyIn(out->replyTag, p + 48);
  CopyIn(out->replyToQ, p + 72);
  out->msgType = p[104];
  out->clientOption4 = p[105];
  out->clientOption3 = p[106];
  std::uint32_t f = 0;
  for (int i = 0; i < 4; ++i) f |= static_cast<std::uint32_t>(static_cast<unsigned char>(p[107 + i])) << (8 * i);
  out->format = static_cast<std::int32_t>(f);
  return true;
}

bool ToMatchMode(int value, MatchMode* out) {
  switch (value) {
    case 0: *out = MatchMode::kNext; return true;
    case 2: *out = MatchMode::kCorrelId; return true;
    case 3: *out = MatchMode::kMsgAndCorrelId; return true;
    case 6: *out = MatchMode::kCorrelIdAndTag; return true;
    default: return false;
  }
}

std::string MatchKey(const MatchRequest& match, KeySpelling spelling) {
  return KeyOf(match.mode, match.msgId, match.correlId, match.replyTag, spelling);
}

std::array<std::string, kMatchKeyCount> MessageKeys(const Envelope& env, KeySpelling spelling) {
  return {KeyOf(MatchMode::kNext, env.msgId, env.correlId, env.replyTag, spelling),
          KeyOf(MatchMode::kMsgAndCorrelId, env.msgId, env.correlId, env.replyTag, spelling),
          KeyOf(MatchMode::kCorrelId, env.msgId, env.correlId, env.replyTag, spelling),
          KeyOf(MatchMode::kCorrelIdAndTag, env.msgId, env.correlId, env.replyTag, spelling)};
}

}  // namespace velt::rimq
