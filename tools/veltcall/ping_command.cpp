// veltcall ping: connect to the queue manager, then one sign-off exchange with the platform,
// which any platform answers and which changes nothing on it.
#include <chrono>
#include <cstdio>
#include <cstring>

#include "commands.h"
#include "connection.h"
#include "exit_codes.h"
#include "password.h"

namespace velt::veltcall {
namespace {

constexpr int kPingTimeout = 10;

double MillisecondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

int RunPing(const CommandLine& command) {
  std::string password;
  std::string error;
  if (!command.connection.user.empty() &&
      !ReadPassword(command.connection.user, command.connection.passwordFromStdin, password, error)) {
    std::fprintf(stderr, "veltcall: %s\n", error.c_str());
    return kExitUsage;
  }
  Connection connection(command.connection);
  if (!connection.created()) {
    std::fputs("veltcall: no client handle could be created (out of memory)\n", stderr);
    return kExitLocal;
  }
  ErrorReport report;
  auto start = std::chrono::steady_clock::now();
  int rc = connection.Open(password, kPingTimeout, report);
  password.assign(password.size(), '\0');
  if (rc != 0) {
    std::fprintf(stderr, "veltcall: %s\n", FormatReport(report).c_str());
    return kExitConnect;
  }
  const double connectMs = MillisecondsSince(start);
  tagVELTConnectOption entry;   // the entry in use, from the flags or the configuration files
  std::memset(&entry, 0, sizeof entry);
  VELTCLI_GetConnectOption(connection.handle(), &entry);
  start = std::chrono::steady_clock::now();
  rc = connection.Close(true);
  if (rc != 0) {
    connection.Explain(rc, CodeStage::kCall, report);
    report.stage = "exchange";
    std::fprintf(stderr, "veltcall: connected in %.1f ms, but %s\n", connectMs, FormatReport(report).c_str());
    return kExitExchange;
  }
  std::printf("connected to %s in %.1f ms; the platform answered in %.1f ms (request queue %s, answer queue %s)\n",
              entry.szAddress, connectMs, MillisecondsSince(start), entry.szSendQName, entry.szReceiveQName);
  return 0;
}

}  // namespace velt::veltcall
