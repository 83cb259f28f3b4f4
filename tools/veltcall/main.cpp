// veltcall: the command-line client of the Velt platform (call, ping).
#include <cstdio>

#include "command_line.h"
#include "commands.h"
#include "exit_codes.h"

int main(int argc, char** argv) {
  using namespace velt::veltcall;
  CommandLine command;
  std::string error;
  if (!ParseCommandLine(argc, argv, command, error)) {
    std::fprintf(stderr, "veltcall: %s\n", error.c_str());
    return kExitUsage;
  }
  switch (command.command) {
    case Command::kHelp: std::fputs(command.helpText.c_str(), stdout); return kExitOk;
    case Command::kCall: return RunCall(command);
    case Command::kPing: return RunPing(command);
  }
  return kExitUsage;
}
