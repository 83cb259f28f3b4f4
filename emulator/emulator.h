// veltemu::Emulator: a local business platform speaking the client's wire protocol over rimqapi.
// It takes request packets from one request queue, joins them, runs the call (sign-on, sign-off,
// transaction ends, business programs) and puts the answer packets on the request's reply queue.
// Several emulators (in one process or many) may share one request queue. docs/emulator.md has
// the protocol contract, the built-in programs, codes and limits.
//
// Threads: Start, Stop and the destructor from one controlling thread; Register and GetStats from
// any thread at any time. Each worker has its own queue connection.
#pragma once

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "answer.h"
#include "emulator_stats.h"
#include "program_registry.h"
#include "request.h"

namespace veltemu {

struct EmulatorConfig {
  std::string address = "inproc";   // rimqapi address: "inproc[:NAME]", a Redis host or socket path
  int port = 0;
  int protocol = 1;
  std::string user, password;
  std::string requestQueue;
  int serverNumber = 1;             // written into every answer header
  int workers = 1;                  // 1..64 queue connections, each serving one call at a time
  bool verbose = false;             // one log line per call
  FILE* log = stderr;               // null: no log at all
  int collectSeconds = 10;          // wait for each further packet of a request
  int answerExpirySeconds = 600;    // answers nobody collects vanish after this
  // C program libraries (veltemu_program.h) velt-emulator loads before Start; in-process users
  // load them with ProgramLibraries (program_library.h).
  std::vector<std::string> programLibraries;
};

class Emulator {
 public:
  explicit Emulator(EmulatorConfig config);
  ~Emulator();   // stops
  Emulator(const Emulator&) = delete;
  Emulator& operator=(const Emulator&) = delete;

  // Connects every worker and starts them: 0, or the rimqapi reason of the first connection or
  // queue open that failed (nothing is left running then). Calling it while running returns 0.
  int Start();
  // Ends the workers (a blocked get is interrupted) and joins them. Safe to call twice.
  void Stop();
  // Adds or replaces a business program; an empty handler removes it.
  void Register(const std::string& program, Program handler);
  Stats GetStats() const;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace veltemu
