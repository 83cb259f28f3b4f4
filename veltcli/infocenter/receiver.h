// The publication receiver of a session: start, stop (interrupting a blocked receive and joining
// the thread), and the stop that must precede pooling or destroying a handle.
#pragma once

#include "core/session.h"
#include "veltcli.h"

namespace velt {

// VELTRecvPub_Start: 0 or -1.
int StartReceiver(CLUNQCliBase& session, const tagInfoControl* control) noexcept;
// VELTRecvPub_Stop: 0 when a receiver had been started, else -1. Returns once the thread has
// ended, except on the receiver's own thread (its callback), where it only asks it to end.
int StopReceiver(CLUNQCliBase& session) noexcept;
// Before the handle is pooled or destroyed: a running receiver stopped and joined, and the
// publication-started flag cleared, so the session's next user finds neither.
void EndReceiver(CLUNQCliBase& session) noexcept;

}  // namespace velt
