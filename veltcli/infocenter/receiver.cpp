// Starting and stopping a session's receiver thread.
#include "infocenter/receiver.h"

#include <cstring>

#include "infocenter/info_session_state.h"

namespace velt {
namespace {

// How long a stop waits before interrupting again: a receive may have begun on a connection
// rebuilt after the last interrupt.
constexpr int kInterruptRepeatMilliseconds = 100;

// Interrupts until the thread body has returned, then joins; the interrupt no receive took is
// cleared so it cannot end the owner's next call.
void JoinReceiver(CLUNQCliBase& s, CPubisherThread& thread) noexcept {
  if (!thread.HandleHeld() || thread.OnThisThread()) return;
  while (!thread.Ended()) {
    s.transport.InterruptReceive();
    thread.WaitEnded(kInterruptRepeatMilliseconds);
  }
  thread.Join();
  s.transport.ClearInterrupt();
}

}  // namespace

InfoSessionState::InfoSessionState(CLUNQCliBase& session) : session_(session) { receiver.owner = &session; }

InfoSessionState::~InfoSessionState() {
  session_.publicationStarted.store(0);
  receiver.Stop();
  JoinReceiver(session_, receiver);
}

InfoSessionState& InfoStateOf(CLUNQCliBase& s) {
  if (!s.infoCenter) s.infoCenter = std::make_unique<InfoSessionState>(s);
  return static_cast<InfoSessionState&>(*s.infoCenter);
}

InfoSessionState* InfoStateIfAny(CLUNQCliBase& s) noexcept {
  return static_cast<InfoSessionState*>(s.infoCenter.get());
}

int StartReceiver(CLUNQCliBase& s, const tagInfoControl* control) noexcept {
  s.publicationStarted.store(1);
  if (control == nullptr || control->pfnCallback == nullptr) return -1;
  try {
    CPubisherThread& thread = InfoStateOf(s).receiver;
    if (thread.HandleHeld()) {
      if (!thread.Ended() || thread.OnThisThread()) return -1;
      thread.Release();   // stopped and ended: a new receiver may start
    }
    std::memcpy(&thread.Control(), control, sizeof(tagInfoControl));
    return thread.Start() ? 0 : -1;
  } catch (...) {
    return -1;
  }
}

int StopReceiver(CLUNQCliBase& s) noexcept {
  s.publicationStarted.store(0);
  InfoSessionState* state = InfoStateIfAny(s);
  if (state == nullptr) return -1;
  const bool started = state->receiver.Stop();
  JoinReceiver(s, state->receiver);
  return started ? 0 : -1;
}

void EndReceiver(CLUNQCliBase& s) noexcept {
  StopReceiver(s);
  if (InfoSessionState* state = InfoStateIfAny(s)) state->receiver.Release();   // the next user starts afresh
}

}  // namespace velt
