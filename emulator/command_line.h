// The command line of velt-emulator, read into an EmulatorConfig.
#pragma once

#include <string>

#include "emulator.h"

namespace veltemu {

enum class CommandLineResult { kRun, kHelp, kError };

// Reads argv[1..argc). On kError, `error` says what is wrong (exit code 2).
CommandLineResult ParseCommandLine(int argc, const char* const* argv, EmulatorConfig& config, std::string& error);
// The --help text.
std::string UsageText();

}  // namespace veltemu
