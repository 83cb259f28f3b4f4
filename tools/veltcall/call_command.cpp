// veltcall call: build the request from the arguments, call, stream the answer to the chosen
// output format, then roll back (default) or leave the stand-alone call's work committed.
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <memory>

#include "answer_reader.h"
#include "commands.h"
#include "connection.h"
#include "exit_codes.h"
#include "output_formats.h"
#include "password.h"
#include "text_codec.h"

namespace velt::veltcall {
namespace {

constexpr int kLibraryDefaultTimeout = 120;

// The arguments in the platform's text; false with `bad` naming the first that has no GBK form.
bool ConvertRequest(const TextCodec& codec, const CallOptions& in, CallOptions& out, std::string& bad) {
  out = in;
  std::string converted;
  auto convert = [&](std::string& text) {
    if (!codec.ToPlatform(text, converted)) {
      bad = text;
      return false;
    }
    text = converted;
    return true;
  };
  for (auto& [name, value] : out.values)
    if (!convert(name) || !convert(value)) return false;
  for (auto& blob : out.blobs)
    if (!convert(blob.first)) return false;
  for (TableInput& t : out.tables) {
    if (!convert(t.name) || !convert(t.columns)) return false;
    for (auto& row : t.rows)
      for (std::string& cell : row)
        if (!convert(cell)) return false;
  }
  return true;
}

// 0, or the first code a request call returned.
int BuildRequest(VELTCLI_HANDLE h, const CallOptions& c) {
  int rc = VELTCLI_BeginWrite(h);
  for (const auto& [name, value] : c.values)
    if (rc == 0) rc = VELTCLI_SetValue(h, name.c_str(), value.c_str());
  for (const auto& [name, bytes] : c.blobs)
    if (rc == 0)
      rc = bytes.empty() ? VELTCLI_SetValue(h, name.c_str(), "")
                         : VELTCLI_SetVal(h, name.c_str(), reinterpret_cast<const unsigned char*>(bytes.data()),
                                          static_cast<long>(bytes.size()));
  bool first = true;
  for (const TableInput& t : c.tables) {
    if (rc != 0) break;
    rc = first ? VELTCLI_RsCreate(h, t.name.c_str(), t.columnCount, t.columns.c_str())
               : VELTCLI_RsNewTable(h, t.name.c_str(), t.columnCount, t.columns.c_str());
    first = false;
    for (const auto& row : t.rows) {
      if (rc == 0) rc = VELTCLI_RsAddRow(h);
      for (std::size_t i = 0; i < row.size() && rc == 0; ++i)
        rc = VELTCLI_RsSetCol(h, static_cast<int>(i) + 1, row[i].c_str());
      if (rc == 0) rc = VELTCLI_RsSaveRow(h);
    }
  }
  return rc;
}

// Sends and collects the first answer part; the cursor reads the rest like any answer. The
// library waits in whole seconds, so --wait is rounded up. One bounded GetReply, not a loop of
// zero-wait polls: a poll that catches a part half-arrived would fail in the middle of it.
int CallAsync(VELTCLI_HANDLE h, const CallOptions& c, int timeout) {
  tagAsyncCall call;
  std::memset(&call, 0, sizeof call);
  call.nExpiry = timeout;
  const int sent = c.commit ? VELTCLI_ACallProgramAndCommit(h, c.service.c_str(), &call, nullptr)
                            : VELTCLI_ACallProgram(h, c.service.c_str(), &call, nullptr);
  if (sent != 0) return sent;
  if (c.waitMs >= 0) call.nExpiry = (c.waitMs + 999) / 1000;
  return VELTCLI_GetReply(h, &call);
}

// Memory and local codes of a call, as opposed to codes of the exchange.
bool LocalCallCode(int rc) { return rc == -999 || rc == -1 || rc == 1 || rc == 100; }

std::unique_ptr<AnswerSink> MakeOutput(const CallOptions& c, const TextCodec& codec) {
  switch (c.format) {
    case OutputFormat::kJson: return MakeJsonOutput(stdout);
    case OutputFormat::kCsv: return MakeCsvOutput(stdout);
    case OutputFormat::kText: break;
  }
  return MakeTextOutput(stdout, c.maxWidth, codec.userUtf8());
}

void Complain(const ErrorReport& r) { std::fprintf(stderr, "veltcall: %s\n", FormatReport(r).c_str()); }

}  // namespace

int RunCall(const CommandLine& command) {
  const TextCodec codec(command.call.raw, command.call.format == OutputFormat::kJson);
  CallOptions call;
  std::string bad;
  if (!ConvertRequest(codec, command.call, call, bad)) {
    std::fprintf(stderr, "veltcall: '%s' is not valid %s text or has no GBK form (use --raw to send bytes)\n",
                 bad.c_str(), codec.userCodeset().c_str());
    return kExitUsage;
  }
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
  const std::unique_ptr<AnswerSink> out = MakeOutput(call, codec);
  ErrorReport report;
  int rc = connection.Open(password, kLibraryDefaultTimeout, report);
  password.assign(password.size(), '\0');
  if (rc != 0) {
    Complain(report);
    out->Finish(rc, &report);
    return kExitConnect;
  }
  const VELTCLI_HANDLE h = connection.handle();
  if (const int built = BuildRequest(h, call); built != 0) {
    report = {"request", built, "", "the request could not be built", ""};
    Complain(report);
    out->Finish(built, &report);
    return kExitLocal;
  }

  rc = call.async ? CallAsync(h, call, connection.timeoutSeconds())
       : call.commit ? VELTCLI_CallProgramAndCommit(h, call.service.c_str(), nullptr)
                     : VELTCLI_CallProgram(h, call.service.c_str(), nullptr);
  int status = rc;
  int exitCode = kExitOk;
  bool failed = false;
  int platformCode = 0;
  if (rc != 0 && VELTCLI_GetErrorCode(h, &platformCode) == 0) {
    // The program answered a nonzero status: its message is in the answer.
    static char message[32000];
    VELTCLI_GetErrorMsg(h, message);
    report = {"call", rc, "", codec.FromPlatform(message), ""};
    exitCode = kExitProgramStatus;
    failed = true;
  } else if (rc != 0) {
    connection.Explain(rc, CodeStage::kCall, report);
    Complain(report);
    out->Finish(rc, &report);
    return LocalCallCode(rc) ? kExitLocal : kExitExchange;
  }

  // Rows printed on the terminal show the progress themselves, and a progress line drawn between
  // them would split them: it is for answers going to a file or a pipe.
  ProgressLine progress(isatty(STDERR_FILENO) != 0 && isatty(STDOUT_FILENO) == 0);
  ErrorReport readFailure;
  if (ReadAnswer(h, codec, *out, progress, readFailure) != 0 && !failed) {
    report = readFailure;
    status = readFailure.code;
    exitCode = readFailure.code == 2 || readFailure.code == 3 ? kExitExchange : kExitLocal;
    failed = true;
  }
  if (!call.commit) {
    // The default call ran inside a transaction: nothing it wrote is kept.
    if (const int rolled = VELTCLI_RollBack(h); rolled != 0 && !failed) {
      connection.Explain(rolled, CodeStage::kCall, report);
      report.stage = "roll back";
      status = rolled;
      exitCode = kExitExchange;
      failed = true;
    }
  }
  connection.Close(false);
  if (failed) Complain(report);
  out->Finish(status, failed ? &report : nullptr);
  if (command.connection.trace) std::fputs("veltcall: packet trace written to a .dat file in the current folder\n", stderr);
  if (std::ferror(stdout) != 0) {
    std::fputs("veltcall: writing the output failed\n", stderr);
    return kExitLocal;
  }
  return exitCode;
}

}  // namespace velt::veltcall
