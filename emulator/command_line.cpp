// Flag parsing of velt-emulator.
#include "command_line.h"

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <map>

#include "request.h"

namespace veltemu {
namespace {

bool Number(const std::string& text, long long lo, long long hi, int& out) {
  long long v = 0;
  if (!ParseInteger(text, v) || v < lo || v > hi) return false;
  out = static_cast<int>(v);
  return true;
}

// The first line of the file, without its line end; false when it cannot be read or is empty.
bool ReadPasswordFile(const std::string& path, std::string& password) {
  std::ifstream in(path);
  std::string line;
  if (!in || !std::getline(in, line)) return false;
  if (!line.empty() && line.back() == '\r') line.pop_back();
  password = line;
  return !password.empty();
}

}  // namespace

std::string UsageText() {
  return "usage: velt-emulator --address A --port N --request-queue Q [options]\n"
         "  --address A          rimqapi address: inproc, a Redis host, or a socket path (protocol 2)\n"
         "  --port N             Redis TCP port (1..65535; not used by inproc or a socket)\n"
         "  --protocol P         0 or 1 TCP, 2 Unix socket (default 1)\n"
         "  --user U             Redis ACL user; its password from, in this order:\n"
         "  --password-file F    the first line of file F (keep it readable by you only)\n"
         "                       or the environment variable VELT_EMULATOR_PASSWORD\n"
         "  --password W         (visible to every user of the machine in the process list)\n"
         "  --request-queue Q    queue the clients send their requests to (at most 32 characters)\n"
         "  --server-number N    server number in every answer header (0..65535, default 1)\n"
         "  --workers N          queue connections serving calls at once (1..64, default 1)\n"
         "  -v                   one log line per call on stderr\n"
         "  --help               this text\n"
         "Runs until SIGINT or SIGTERM.\n";
}

CommandLineResult ParseCommandLine(int argc, const char* const* argv, EmulatorConfig& config, std::string& error) {
  bool havePort = false;
  // Flags that take a value, and how to store it; false means the value is refused.
  const std::map<std::string, std::function<bool(const std::string&)>> valued = {
      {"--address", [&](const std::string& v) { config.address = v; return !v.empty(); }},
      {"--port", [&](const std::string& v) { havePort = true; return Number(v, 0, 65535, config.port); }},
      {"--protocol", [&](const std::string& v) { return Number(v, 0, 2, config.protocol); }},
      {"--user", [&](const std::string& v) { config.user = v; return true; }},
      {"--password", [&](const std::string& v) { config.password = v; return true; }},
      {"--password-file", [&](const std::string& v) { return ReadPasswordFile(v, config.password); }},
      {"--request-queue", [&](const std::string& v) { config.requestQueue = v; return !v.empty() && v.size() <= 32; }},
      {"--server-number", [&](const std::string& v) { return Number(v, 0, 65535, config.serverNumber); }},
      {"--workers", [&](const std::string& v) { return Number(v, 1, 64, config.workers); }},
  };
  bool haveAddress = false;
  for (int i = 1; i < argc; ++i) {
    const std::string flag = argv[i];
    if (flag == "--help" || flag == "-h") return CommandLineResult::kHelp;
    if (flag == "-v" || flag == "--verbose") {
      config.verbose = true;
      continue;
    }
    const auto it = valued.find(flag);
    if (it == valued.end()) {
      error = "unknown flag '" + flag + "'";
      return CommandLineResult::kError;
    }
    if (i + 1 >= argc) {
      error = "flag " + flag + " needs a value";
      return CommandLineResult::kError;
    }
    const std::string value = argv[++i];
    if (!it->second(value)) {
      error = "bad value '" + value + "' for " + flag;
      return CommandLineResult::kError;
    }
    if (flag == "--address") haveAddress = true;
  }
  if (config.password.empty()) {
    if (const char* fromEnvironment = std::getenv("VELT_EMULATOR_PASSWORD")) config.password = fromEnvironment;
  }
  if (!haveAddress) error = "--address is required";
  else if (config.requestQueue.empty()) error = "--request-queue is required";
  else if (config.address.rfind("inproc", 0) != 0 && config.protocol != 2 && (!havePort || config.port == 0))
    error = "--port is required for a Redis server over TCP";
  else if (!config.user.empty() && config.password.empty())
    error = "--user needs a password (--password-file, VELT_EMULATOR_PASSWORD or --password)";
  return error.empty() ? CommandLineResult::kRun : CommandLineResult::kError;
}

}  // namespace veltemu
