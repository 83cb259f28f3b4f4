// Where the queue-manager password comes from: VELT_PASSWORD, a prompt without echo on the
// terminal, or the first line of standard input (--password-stdin). Never the command line.
#pragma once

#include <string>

namespace velt::veltcall {

// False with `error` when no password source is available or reading failed.
bool ReadPassword(const std::string& user, bool fromStdin, std::string& password, std::string& error);

}  // namespace velt::veltcall
