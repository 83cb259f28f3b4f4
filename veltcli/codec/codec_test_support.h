// Helpers of the codec tests: a session's packet text as a string, and a scripted source of
// answer parts at the session's continue-reading seam.
#pragma once

#include <deque>
#include <string>
#include <utility>

#include "codec/packet_session.h"

namespace velt::test {

inline std::string Text(const velt::PacketSession& session) { return session.packet.Text(); }

// Puts an answer (part) into the session as the service-call code does.
inline void Answer(velt::PacketSession& session, const std::string& text, bool last) {
  session.StoreAnswerText(text.data(), text.size());
  session.answerFlags = last ? 1 : 0;
}

// Hands out the queued parts in order; once they are gone every pull fails with `failure`.
class ScriptedParts : public IAnswerSource {
 public:
  explicit ScriptedParts(int failure = 2033) : failure_(failure) {}
  void Add(std::string text, bool last) { parts_.emplace_back(std::move(text), last); }
  int ContinueReading(velt::PacketSession& session) override {
    ++pulls;
    if (parts_.empty()) return failure_;
    Answer(session, parts_.front().first, parts_.front().second);
    parts_.pop_front();
    return 0;
  }
  int pulls = 0;

 private:
  int failure_;
  std::deque<std::pair<std::string, bool>> parts_;
};

}  // namespace velt::test
