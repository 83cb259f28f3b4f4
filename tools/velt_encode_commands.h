// The commands of velt-encode over libmvencode and liblyrsso; each returns the exit status.
#pragma once

#include <string>

#include "velt_encode_options.h"

namespace velt::tool {

int RunEncoding(const Options& options);  // encode, decode, reencode
int RunTicket(const Options& options);    // sign, verify

// The meaning of a liblyrsso result, for messages.
const char* TicketCodeText(int code);

}  // namespace velt::tool
