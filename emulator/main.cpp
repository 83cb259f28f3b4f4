// velt-emulator: the emulator as a program, serving one request queue until SIGINT or SIGTERM.
#include <pthread.h>
#include <signal.h>

#include <cstdio>
#include <string>

#include "command_line.h"
#include "emulator.h"

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

  veltemu::Emulator emulator(config);
  if (const int reason = emulator.Start(); reason != 0) {
    std::fprintf(stderr, "velt-emulator: cannot serve queue '%s' at '%s' (rimqapi reason %d)\n",
                 config.requestQueue.c_str(), config.address.c_str(), reason);
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
