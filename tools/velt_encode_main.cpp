// velt-encode: password encodings and sign-on tickets from the command line.
#include <exception>
#include <iostream>
#include <new>

#include "velt_encode_commands.h"
#include "velt_encode_options.h"

int main(int argc, char** argv) {
  using namespace velt::tool;
  try {
    std::string error;
    const auto options = ParseOptions(argc, argv, error);
    if (!options) {
      std::cerr << "velt-encode: " << error << "\n"
                << "usage: velt-encode <command> [options] [arguments]; velt-encode --help tells more\n";
      return kExitUsage;
    }
    switch (options->command) {
      case Command::kHelp:
        std::cout << kUsage;
        return kExitOk;
      case Command::kSign:
      case Command::kVerify:
        return RunTicket(*options);
      default:
        return RunEncoding(*options);
    }
  } catch (const std::bad_alloc&) {
    std::cerr << "velt-encode: out of memory\n";
  } catch (const std::exception& e) {
    std::cerr << "velt-encode: " << e.what() << "\n";
  }
  return kExitFailed;
}
