// veltcall's exit codes (documented in its --help and docs/veltcall.md).
#pragma once

namespace velt::veltcall {

enum ExitCode {
  kExitOk = 0,
  kExitProgramStatus = 1,   // the program answered a nonzero status
  kExitUsage = 2,           // bad command line, no password source
  kExitConnect = 3,         // no entry, queue manager unreachable, login refused
  kExitExchange = 4,        // no answer, damaged or lost packets, reading on failed
  kExitLocal = 5,           // memory, building the request, writing the output
};

}  // namespace velt::veltcall
