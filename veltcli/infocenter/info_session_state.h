// The information centre's part of a session: the embedded receiver thread and the list of
// publications not yet received. Made on the session's first use of the family and destroyed
// first when the session goes, stopping a running receiver.
#pragma once

#include "core/session.h"
#include "infocenter/lmap_struct.h"
#include "infocenter/pub_thread.h"

namespace velt {

class InfoSessionState final : public SessionAddOn {
 public:
  explicit InfoSessionState(CLUNQCliBase& session);
  ~InfoSessionState() override;

  CPubisherThread receiver;
  CLMapStruct<int, CLUNQCliBase::tagnorecvdata> pending;

 private:
  CLUNQCliBase& session_;
};

// The session's state, made on first use (throws std::bad_alloc when it cannot be).
InfoSessionState& InfoStateOf(CLUNQCliBase& session);
// The session's state, or null while the family has not been used on it.
InfoSessionState* InfoStateIfAny(CLUNQCliBase& session) noexcept;

}  // namespace velt
