// velt-emulator: the emulator as a program, serving one request queue until SIGINT or SIGTERM.
#include <pthread.h>
#include <signal.h>

#include <cstdio>
#include <string>

#include "command_line.h"
#include "emulator.h"
#include "program_library.h"
#include "rimqapi.h"

namespace {

// Where the emulator tried to serve: "host:port", the socket path, or the inproc name.
std::string Where(const veltemu::EmulatorConfig& config) {
  if (config.address.rfind("inproc", 0) == 0 || config.protocol == 2) return config.address;
  return config.address + ":" + std::to_string(config.port);
}

// What to look at for the reasons a user's flags cause.
const char* Hint(int reason) {
  switch (reason) {
    case RIMQRC_NOT_AUTHORIZED: return " \xE2\x80\x94 check --user/--password";
    case RIMQRC_QMGR_NOT_REACHABLE: return " \xE2\x80\x94 is Redis running there? check --address/--port";
    case RIMQRC_ADDRESS_ERROR: return " \xE2\x80\x94 check --address/--port/--protocol";
    case RIMQRC_UNKNOWN_OBJECT_NAME: return " \xE2\x80\x94 check --request-queue";
    default: return "";
  }
}

}  // namespace

int main(int argc, char** argv) {
  veltemu::EmulatorConfig config;
  std::string error;
  switch (veltemu::ParseCommandLine(argc, argv, config, error)) {
    case veltemu::CommandLineResult::kHelp:
      std::fputs(veltemu::UsageText().c_str(), stdout);
      return 0;
    case veltemu::CommandLineResult::kError:
      std::fprintf(stderr, "velt-emulator: %s\n%s", error.c_str(), veltemu::UsageText().c_str());
      return 2;
    case veltemu::CommandLineResult::kRun: break;
  }
  // The signals are taken by sigwait below, so no worker thread is ever interrupted by them.
  sigset_t signals;
  sigemptyset(&signals);
  sigaddset(&signals, SIGINT);
  sigaddset(&signals, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &signals, nullptr);

  // The libraries outlive the emulator, whose workers run their programs.
  veltemu::ProgramLibraries libraries;
  veltemu::Emulator emulator(config);
  const veltemu::ProgramSink sink = [&emulator](const std::string& name, veltemu::Program program) {
    emulator.Register(name, std::move(program));
  };
  for (const std::string& path : config.programLibraries) {
    if (!libraries.Load(path, sink, error)) {
      std::fprintf(stderr, "velt-emulator: %s\n", error.c_str());
      return 1;
    }
  }
  if (const int reason = emulator.Start(); reason != 0) {
    std::fprintf(stderr, "velt-emulator: cannot serve queue '%s' at %s: %d %s%s\n", config.requestQueue.c_str(),
                 Where(config).c_str(), reason, RIMQ_ReasonText(reason), Hint(reason));
    return 1;
  }
  std::fprintf(stderr, "velt-emulator: serving '%s' at '%s' with %d worker(s), server number %d\n",
               config.requestQueue.c_str(), config.address.c_str(), config.workers, config.serverNumber);
  int received = 0;
  sigwait(&signals, &received);
  std::fprintf(stderr, "velt-emulator: stopping (signal %d)\n", received);
  emulator.Stop();
  return 0;
}
