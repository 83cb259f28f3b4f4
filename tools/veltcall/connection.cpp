// Connecting by a server entry (the library reads LUNQCli.ini and rimqapi.ini) or by an entry
// made from the flags, and the hints printed with a failure.
#include "connection.h"

#include <cstring>

#include "platform/paths.h"
#include "platform/process.h"

namespace velt::veltcall {
namespace {

constexpr const char* kFlagEntryName = "veltcall";

void CopyField(char* field, std::size_t size, const std::string& text) {
  std::strncpy(field, text.c_str(), size - 1);
  field[size - 1] = '\0';
}

const char* StageName(CodeStage stage) {
  switch (stage) {
    case CodeStage::kConnect: return "connect";
    case CodeStage::kCall: return "call";
    case CodeStage::kDisconnect: return "disconnect";
  }
  return "call";
}

}  // namespace

Connection::Connection(ConnectionOptions options) : options_(std::move(options)) {
  if (options_.receiveQueue.empty()) options_.receiveQueue = "VELTCALL." + std::to_string(platform::ProcessId());
  int noPool = 0;
  VELTCLI_HANDLE h = nullptr;
  if (VELTCLI_Init(&h) != 0) return;
  h_ = h;
  VELTCLI_SetOptions(h_, VELTCLI_OPTION_POOL_CAPACITY, &noPool, 4);   // end means end: no parked handles
}

Connection::~Connection() {
  if (h_ == nullptr) return;
  if (connected_) VELTCLI_DisConnect(h_);
  VELTCLI_Exit(h_);
}

int Connection::Open(const std::string& password, int defaultTimeout, ErrorReport& report) {
  timeout_ = options_.timeoutSeconds > 0 ? options_.timeoutSeconds : defaultTimeout;
  VELTCLI_SetCliTimeOut(h_, timeout_);
  int trace = options_.trace ? 1 : 0;
  VELTCLI_SetOptions(h_, VELTCLI_OPTION_TRACE, &trace, 4);
  std::string server = options_.server;
  if (!options_.address.empty()) {
    if (server.empty()) server = kFlagEntryName;
    tagVELTConnectOption e;
    std::memset(&e, 0, sizeof e);
    CopyField(e.szServerName, sizeof e.szServerName, server);
    e.nProtocal = options_.protocol;
    CopyField(e.szAddress, sizeof e.szAddress, options_.address);
    e.nPort = options_.port;
    CopyField(e.szSendQName, sizeof e.szSendQName, options_.sendQueue);
    CopyField(e.szReceiveQName, sizeof e.szReceiveQName, options_.receiveQueue);
    VELTCLI_SetOptions(h_, VELTCLI_OPTION_SERVER_LIST, &e, sizeof e);
  }
  const int rc = VELTCLI_ConnectServer(h_, server.c_str(), options_.user.c_str(), password.c_str());
  if (rc != 0) Explain(rc, CodeStage::kConnect, report);
  connected_ = rc == 0;
  return rc;
}

int Connection::Close(bool signOff) {
  if (!connected_) return 0;
  connected_ = false;
  if (!signOff) return VELTCLI_DisConnect(h_);
  int on = 1;
  VELTCLI_SetOptions(h_, VELTCLI_OPTION_SERVER_SESSION, &on, 4);
  return VELTCLI_SQLDisconnect(h_);
}

std::string Connection::Where() const {
  if (options_.address.empty()) return "server entry '" + options_.server + "'";
  if (options_.protocol == 2) return "socket " + options_.address;
  return options_.address + ":" + std::to_string(options_.port);
}

void Connection::Explain(int code, CodeStage stage, ErrorReport& report) const {
  const CodeName name = DescribeCode(code, stage);
  report.stage = StageName(stage);
  report.code = code;
  report.name = name.name;
  report.message = name.text;
  report.hint.clear();
  const std::string queue = options_.address.empty() ? "the entry's request queue" : "queue " + options_.sendQueue;
  if (stage == CodeStage::kConnect && code == -1) {
    std::string folder = platform::CurrentDirectory();
    if (folder.empty()) folder = "the current folder";
    report.hint = "no entry or group '" + options_.server + "' in LUNQCli.ini and rimqapi.ini of " + folder +
                  "; or give --address to connect without them";
  } else if (code == 2004 || code == 2003) {
    report.hint = "nothing answers at " + Where() + ": is Redis running there? (--address, --port, --protocol)";
  } else if (code == 2035) {
    report.hint = "the queue manager refused user '" + options_.user + "': check --user and the password";
  } else if (code == 2033) {
    report.hint = "no answer within " + std::to_string(timeout_) + " s: is a platform or velt-emulator serving " +
                  queue + " at " + Where() + "? (--send-queue, --timeout)";
  } else if (code == 2393 || code == 2394) {
    report.hint = "remove SSL and Proxy from rimqapi.ini: this build connects over plain TCP";
  } else if (code == 2085 || code == 2012) {
    report.hint = "check the address and queue names (--address, --send-queue, --receive-queue)";
  } else if (code >= 101 && code <= 103 && stage == CodeStage::kCall) {
    report.hint = "an answer packet arrived damaged: run again with --trace to keep the packets";
  }
}

std::string FormatReport(const ErrorReport& r) {
  // A report without a name carries the program's own status and message.
  std::string line = r.stage + " failed: " + (r.name.empty() ? "status " : "") + std::to_string(r.code);
  if (!r.name.empty()) line += " " + r.name;
  line += ": " + r.message;
  if (!r.hint.empty()) line += "\n  hint: " + r.hint;
  return line;
}

}  // namespace velt::veltcall
