// The subcommands of veltcall; each returns the process's exit code (exit_codes.h).
#pragma once

#include "command_line.h"

namespace velt::veltcall {

int RunCall(const CommandLine& command);
int RunPing(const CommandLine& command);

}  // namespace velt::veltcall
