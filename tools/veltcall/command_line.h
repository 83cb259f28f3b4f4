// The command line of veltcall: subcommands, flags and their help texts.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace velt::veltcall {

enum class OutputFormat { kText, kJson, kCsv };

// Where to connect: a server entry of the configuration files, or an entry made from flags.
struct ConnectionOptions {
  std::string server;             // --server: entry name or group
  std::string address;            // --address: set → the entry is made from the flags
  int port = 6379;
  int protocol = 1;
  std::string sendQueue = "VELT.REQUEST";
  std::string receiveQueue;       // empty: one of this process's own
  std::string user;
  bool passwordFromStdin = false;
  int timeoutSeconds = 0;         // 0: the library's default (call) or 10 s (ping)
  bool trace = false;
};

struct TableInput {
  std::string name;
  std::string columns;            // comma-separated, as given
  int columnCount = 0;
  std::vector<std::vector<std::string>> rows;
};

struct CallOptions {
  std::string service;
  std::vector<std::pair<std::string, std::string>> values;   // NAME=VALUE in order
  std::vector<std::pair<std::string, std::string>> blobs;    // --blob NAME=BASE64, decoded
  std::vector<TableInput> tables;
  bool commit = false;
  bool async = false;
  int waitMs = -1;                // -1: as long as the time-out; rounded up to seconds
  OutputFormat format = OutputFormat::kText;
  bool raw = false;
  int maxWidth = 40;
};

enum class Command { kHelp, kCall, kPing };

struct CommandLine {
  Command command = Command::kHelp;
  std::string helpText;           // kHelp: what to print
  ConnectionOptions connection;
  CallOptions call;
};

// False with `error` for a usage error. --help anywhere gives Command::kHelp and its text.
bool ParseCommandLine(int argc, const char* const* argv, CommandLine& out, std::string& error);

std::string MainHelp();
std::string CallHelp();
std::string PingHelp();

// Splits a --row value at "," ("\," is a comma, "\\" a backslash inside a cell).
bool SplitRow(const std::string& text, std::vector<std::string>& cells);

}  // namespace velt::veltcall
