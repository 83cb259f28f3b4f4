// The emulator's log: problems always, and with verbose on one line per call
// (time, session, program, status, request and answer bytes). Thread-safe; a null FILE is silence.
#pragma once

#include <cstddef>
#include <cstdio>
#include <mutex>
#include <string>

namespace veltemu {

class CallLog {
 public:
  CallLog(FILE* out, bool verbose) : out_(out), verbose_(verbose) {}

  void Call(int session, const std::string& program, int callType, int status, std::size_t requestBytes,
            std::size_t answerBytes);
  void Problem(const std::string& text);

 private:
  void Line(const std::string& text);

  std::mutex mutex_;
  FILE* out_;
  bool verbose_;
};

}  // namespace veltemu
