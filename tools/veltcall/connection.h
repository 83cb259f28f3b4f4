// One client handle and its connection, set up from veltcall's connection flags, and the
// explanation of a failed connect or exchange (code name, text, a hint of what to check).
#pragma once

#include <string>

#include "veltcli.h"

#include "answer_sink.h"
#include "code_names.h"
#include "command_line.h"

namespace velt::veltcall {

class Connection {
 public:
  explicit Connection(ConnectionOptions options);
  ~Connection();
  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;

  bool created() const { return h_ != nullptr; }
  VELTCLI_HANDLE handle() const { return h_; }
  const ConnectionOptions& options() const { return options_; }
  // The time-out in force, seconds.
  int timeoutSeconds() const { return timeout_; }

  // 0, or the connect's code with `report` filled.
  int Open(const std::string& password, int defaultTimeout, ErrorReport& report);
  // Disconnects; with `signOff` first exchanges a sign-off packet with the platform. 0 or its code.
  int Close(bool signOff);
  // Fills `report` for `code` at `stage`, with a hint that names this connection's settings.
  void Explain(int code, CodeStage stage, ErrorReport& report) const;

 private:
  std::string Where() const;

  ConnectionOptions options_;
  VELTCLI_HANDLE h_ = nullptr;
  bool connected_ = false;
  int timeout_ = 0;
};

// The one-line text of a report, "STAGE failed: CODE NAME: text", and its hint line.
std::string FormatReport(const ErrorReport& report);

}  // namespace velt::veltcall
