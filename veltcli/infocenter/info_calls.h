// The six information-centre calls of a session, and the fetch and acknowledgement of one
// publication they share. Results and codes as in veltcli.h and docs/infocenter.md.
//
// Not thread-safe: a session is used by one thread at a time (its caller, or its receiver).
#pragma once

#include "core/session.h"
#include "veltcli.h"

namespace velt {

int InfoSubscribe(CLUNQCliBase& s, tagInfoControl* control, const char* userId, const char* topic, int callMode) noexcept;
int InfoUnsubscribe(CLUNQCliBase& s, tagInfoControl* control) noexcept;
int InfoPublish(CLUNQCliBase& s, tagInfoControl* control, const char* topic, long long* publicationNumber,
                int flagA, int flagB) noexcept;
int InfoReceivePublication(CLUNQCliBase& s, tagInfoControl* control) noexcept;
int InfoGetNoRecvPublish(CLUNQCliBase& s, tagInfoControl* control) noexcept;
int InfoGetNoRecvData(CLUNQCliBase& s, tagInfoControl* control) noexcept;

}  // namespace velt
