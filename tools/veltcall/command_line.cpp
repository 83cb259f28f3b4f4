// Flag parsing of veltcall and its help texts.
#include "command_line.h"

#include <cerrno>
#include <cstdlib>
#include <functional>
#include <map>

#include "base64_text.h"

namespace velt::veltcall {
namespace {

const char kConnectionHelp[] =
    "Where to connect (a server entry, or --address and the flags after it):\n"
    "  --server ENTRY         entry name or group; without --address it is read from LUNQCli.ini and\n"
    "                         rimqapi.ini in the current folder, as the library does\n"
    "  --address A            queue manager: a Redis host, or a socket path with --protocol 2\n"
    "  --port N               Redis TCP port (default 6379)\n"
    "  --protocol P           0 or 1 TCP (default 1), 2 Unix socket\n"
    "  --send-queue Q         the platform's request queue (default VELT.REQUEST)\n"
    "  --receive-queue Q      the answer queue (default VELTCALL.<process id>)\n"
    "  --user U               queue-manager user; the password comes from VELT_PASSWORD, else a\n"
    "                         prompt without echo on a terminal, else --password-stdin\n"
    "  --password-stdin       read the password from the first line of standard input\n"
    "  --timeout S            seconds to wait for each answer packet (call: 120, ping: 10)\n"
    "  --trace                write the packet trace (a .dat file in the current folder)\n"
    "Passwords are never taken on the command line.\n";

const char kExitHelp[] =
    "Exit codes: 0 success; 1 the program answered a nonzero status; 2 usage error; 3 the connect\n"
    "failed; 4 the exchange failed (no answer, damaged or lost); 5 reading the answer or writing\n"
    "the output failed.\n";

bool ParseNumber(const std::string& text, long lo, long hi, int& out) {
  if (text.empty()) return false;
  char* end = nullptr;
  errno = 0;
  const long v = std::strtol(text.c_str(), &end, 10);
  if (errno != 0 || *end != '\0' || v < lo || v > hi) return false;
  out = static_cast<int>(v);
  return true;
}

// NAME=VALUE split at the first "="; the name may not be empty.
bool SplitPair(const std::string& text, std::pair<std::string, std::string>& pair) {
  const auto eq = text.find('=');
  if (eq == std::string::npos || eq == 0) return false;
  pair = {text.substr(0, eq), text.substr(eq + 1)};
  return true;
}

int CountColumns(const std::string& names) {
  int n = 1;
  for (char c : names) n += c == ',';
  return n;
}

class Parser {
 public:
  Parser(int argc, const char* const* argv, CommandLine& out, std::string& error)
      : argc_(argc), argv_(argv), out_(out), error_(error) {}

  bool Run() {
    if (argc_ < 2) return Help(MainHelp());
    const std::string command = argv_[1];
    if (command == "--help" || command == "-h" || command == "help") return Help(MainHelp());
    if (command == "call") out_.command = Command::kCall;
    else if (command == "ping") out_.command = Command::kPing;
    else return Fail("unknown command '" + command + "' (try veltcall --help)");
    for (i_ = 2; i_ < argc_; ++i_) {
      const std::string arg = argv_[i_];
      if (arg == "--help" || arg == "-h")
        return Help(out_.command == Command::kCall ? CallHelp() : PingHelp());
      if (!Argument(arg)) return false;
    }
    return Finish();
  }

 private:
  bool Help(std::string text) {
    out_.command = Command::kHelp;
    out_.helpText = std::move(text);
    return true;
  }
  bool Fail(std::string why) {
    error_ = std::move(why);
    return false;
  }
  bool Value(const std::string& flag, std::string& value) {
    if (i_ + 1 >= argc_) return Fail("flag " + flag + " needs a value");
    value = argv_[++i_];
    return true;
  }

  bool Argument(const std::string& arg) {
    if (arg == "--password" || arg == "-p" || arg.rfind("--password=", 0) == 0)
      return Fail("passwords are not taken on the command line (they show in the process list and the "
                  "shell history): set VELT_PASSWORD, answer the prompt, or use --password-stdin");
    if (arg == "--") {
      endOfFlags_ = true;
      return true;
    }
    if (endOfFlags_ || arg.rfind("--", 0) != 0) return Positional(arg);
    if (ConnectionFlag(arg)) return !failed_;
    if (out_.command == Command::kCall && CallFlag(arg)) return !failed_;
    return Fail("unknown flag '" + arg + "' for " + argv_[1] + " (try veltcall " + argv_[1] + " --help)");
  }

  // Returns true when it knew the flag; failed_ tells whether its value was refused.
  bool ConnectionFlag(const std::string& flag) {
    ConnectionOptions& c = out_.connection;
    const std::map<std::string, std::function<bool(const std::string&)>> valued = {
        {"--server", [&](const std::string& v) { c.server = v; return !v.empty() && v.size() <= 32; }},
        {"--address", [&](const std::string& v) { c.address = v; return !v.empty() && v.size() <= 32; }},
        {"--port", [&](const std::string& v) { return ParseNumber(v, 1, 65535, c.port); }},
        {"--protocol", [&](const std::string& v) { return ParseNumber(v, 0, 2, c.protocol); }},
        {"--send-queue", [&](const std::string& v) { c.sendQueue = v; return !v.empty() && v.size() <= 32; }},
        {"--receive-queue", [&](const std::string& v) { c.receiveQueue = v; return !v.empty() && v.size() <= 32; }},
        {"--user", [&](const std::string& v) { c.user = v; return v.size() <= 32; }},
        {"--timeout", [&](const std::string& v) { return ParseNumber(v, 1, 86400, c.timeoutSeconds); }},
    };
    if (flag == "--password-stdin") return Set(c.passwordFromStdin);
    if (flag == "--trace") return Set(c.trace);
    return Valued(valued, flag);
  }

  bool CallFlag(const std::string& flag) {
    CallOptions& c = out_.call;
    const std::map<std::string, std::function<bool(const std::string&)>> valued = {
        {"--wait", [&](const std::string& v) { return ParseNumber(v, 1, 86400000, c.waitMs); }},
        {"--max-width", [&](const std::string& v) { return ParseNumber(v, 0, 100000, c.maxWidth); }},
        {"--row", [&](const std::string& v) { return Row(v); }},
        {"--blob", [&](const std::string& v) { return Blob(v); }},
    };
    if (flag == "--commit") return Set(c.commit);
    if (flag == "--async") return Set(c.async);
    if (flag == "--raw") return Set(c.raw);
    if (flag == "--json") return Format(OutputFormat::kJson);
    if (flag == "--csv") return Format(OutputFormat::kCsv);
    if (flag == "--table") return Table();
    return Valued(valued, flag);
  }

  bool Valued(const std::map<std::string, std::function<bool(const std::string&)>>& valued, const std::string& flag) {
    const auto it = valued.find(flag);
    if (it == valued.end()) return false;
    std::string value;
    if (!Value(flag, value)) failed_ = true;
    else if (!it->second(value)) {
      failed_ = true;
      if (error_.empty()) error_ = "bad value '" + value + "' for " + flag;
    }
    return true;
  }

  static bool Set(bool& on) {
    on = true;
    return true;
  }

  bool Format(OutputFormat f) {
    if (formatSet_ && out_.call.format != f) failed_ = !Fail("--json and --csv exclude each other");
    out_.call.format = f;
    formatSet_ = true;
    return true;
  }

  bool Table() {
    TableInput t;
    if (!Value("--table", t.name) || !Value("--table", t.columns)) return Set(failed_);
    if (t.name.empty() || t.name.size() >= 32 || t.columns.empty()) {
      failed_ = !Fail("--table needs a name (under 32 characters) and its comma-separated columns");
      return true;
    }
    t.columnCount = CountColumns(t.columns);
    out_.call.tables.push_back(std::move(t));
    return true;
  }

  bool Row(const std::string& text) {
    if (out_.call.tables.empty()) return Fail("--row comes after the --table it belongs to");
    TableInput& t = out_.call.tables.back();
    std::vector<std::string> cells;
    if (!SplitRow(text, cells)) return Fail("--row '" + text + "' ends in a lone backslash");
    if (static_cast<int>(cells.size()) != t.columnCount)
      return Fail("--row '" + text + "' has " + std::to_string(cells.size()) + " cells; table " + t.name + " has " +
                  std::to_string(t.columnCount) + " columns");
    t.rows.push_back(std::move(cells));
    return true;
  }

  bool Blob(const std::string& text) {
    std::pair<std::string, std::string> pair;
    std::string bytes;
    if (!SplitPair(text, pair) || !Base64Decode(pair.second, bytes))
      return Fail("--blob needs NAME=BASE64, got '" + text + "'");
    out_.call.blobs.emplace_back(pair.first, std::move(bytes));
    return true;
  }

  bool Positional(const std::string& arg) {
    if (out_.command != Command::kCall) return Fail("ping takes no arguments ('" + arg + "')");
    if (out_.call.service.empty()) {
      out_.call.service = arg;
      return true;
    }
    std::pair<std::string, std::string> pair;
    if (!SplitPair(arg, pair)) return Fail("'" + arg + "' is not NAME=VALUE");
    out_.call.values.push_back(std::move(pair));
    return true;
  }

  bool Finish() {
    const ConnectionOptions& c = out_.connection;
    if (c.server.empty() && c.address.empty()) return Fail("say where to connect: --server ENTRY or --address A");
    if (out_.command == Command::kPing) return true;
    const CallOptions& call = out_.call;
    if (call.service.empty()) return Fail("call needs a SERVICE (try veltcall call --help)");
    if (call.waitMs >= 0 && !call.async) return Fail("--wait goes with --async");
    if (call.raw && call.format == OutputFormat::kJson) return Fail("--raw cannot go with --json (JSON is UTF-8)");
    return true;
  }

  int argc_;
  const char* const* argv_;
  CommandLine& out_;
  std::string& error_;
  int i_ = 0;
  bool endOfFlags_ = false;
  bool failed_ = false;
  bool formatSet_ = false;
};

}  // namespace

bool SplitRow(const std::string& text, std::vector<std::string>& cells) {
  cells.assign(1, std::string());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == ',') cells.emplace_back();
    else if (c != '\\') cells.back() += c;
    else if (++i < text.size()) cells.back() += text[i];
    else return false;
  }
  return true;
}

bool ParseCommandLine(int argc, const char* const* argv, CommandLine& out, std::string& error) {
  error.clear();
  return Parser(argc, argv, out, error).Run();
}

std::string MainHelp() {
  return std::string(
             "usage: veltcall COMMAND [options]\n"
             "Calls the platform's business programs from the shell.\n\n"
             "Commands:\n"
             "  call SERVICE [NAME=VALUE ...]   call a program and print its values and result sets\n"
             "  ping                            connect and exchange one packet with the platform\n"
             "veltcall COMMAND --help describes each command.\n\n") +
         kConnectionHelp + "\n" + kExitHelp + "See docs/veltcall.md for examples.\n";
}

std::string CallHelp() {
  return std::string(
             "usage: veltcall call SERVICE [NAME=VALUE ...] [--table NAME COL,COL,... [--row V,V,...]...]\n"
             "                     [--blob NAME=BASE64] [--commit] [--async [--wait MS]]\n"
             "                     [--json | --csv] [--raw] [--max-width N] (connection flags)\n"
             "Calls SERVICE (\"prefix.program\") with the named values and tables and prints the answer.\n\n"
             "Request:\n"
             "  NAME=VALUE             a named value (split at the first \"=\")\n"
             "  --blob NAME=BASE64     a binary value, given as Base64\n"
             "  --table NAME COLS      a request table with the comma-separated column names\n"
             "  --row V,V,...          a row of the last --table: one cell per column, \"\\,\" is a comma\n"
             "                         and \"\\\\\" a backslash inside a cell\n"
             "Call:\n"
             "  (default)              inside a transaction that veltcall rolls back after reading the\n"
             "                         answer: the program's writes are not kept\n"
             "  --commit               stand-alone call: the platform commits the program's work\n"
             "  --async                send, then collect the answer; --wait MS bounds the wait for its\n"
             "                         first part, rounded up to whole seconds (default: the time-out)\n"
             "Output (standard output; errors go to standard error, and so does a progress line when\n"
             "the answer goes to a file or pipe and standard error is a terminal):\n"
             "  (default)              NAME = value lines, then each result set as an aligned table;\n"
             "                         widths from the first 100 rows, at most --max-width columns (40,\n"
             "                         0 = no limit); longer cells are cut and end in a marker\n"
             "  --json                 one JSON document: status, values, result sets, error\n"
             "  --csv                  the result sets as RFC 4180 CSV, a blank line between sets\n"
             "  --raw                  no text conversion: bytes as the platform sends them (GBK)\n"
             "Binary values and cells are written as Base64.\n\n") +
         kConnectionHelp + "\n" + kExitHelp;
}

std::string PingHelp() {
  return std::string(
             "usage: veltcall ping (connection flags)\n"
             "Connects to the queue manager, opens both queues and exchanges one sign-off packet with the\n"
             "platform, then prints the times taken.\n\n") +
         kConnectionHelp + "\n" + kExitHelp;
}

}  // namespace velt::veltcall
