// Command line of velt-encode: what the user asked for, parsed and checked before anything runs.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace velt::tool {

enum class Command { kHelp, kEncode, kDecode, kReencode, kSign, kVerify };
enum class Form { kDefault, kText, kHex };

// Exit statuses; ticket results map to -code - 190 (see TicketExit).
enum Exit {
  kExitOk = 0,
  kExitFailed = 1,       // input or INI file unreadable
  kExitUsage = 2,
  kExitRefused = 3,      // the encoder returned -1
  kExitOneWay = 4,       // the encoder returned -10000
  kExitUnknownType = 5,
};
constexpr int TicketExit(int code) { return -code - 190; }

struct Options {
  Command command = Command::kHelp;
  std::optional<int> type;           // encode/decode; reencode: the decoding type
  std::optional<int> toType;         // reencode: the encoding type
  std::vector<unsigned char> key;    // encode/decode; reencode: the decoding key
  std::vector<unsigned char> toKey;  // reencode: the encoding key
  Form in = Form::kDefault;
  Form out = Form::kDefault;
  std::optional<std::string> ini;
  std::vector<std::string> args;     // positional arguments after the options
};

// Parses argv[1..]; on failure returns nullopt with a one-line reason in `error`.
std::optional<Options> ParseOptions(int argc, char** argv, std::string& error);

// "ab01" -> bytes; nullopt for an odd length or a non-hex digit.
std::optional<std::vector<unsigned char>> FromHex(const std::string& text);
std::string ToHex(const unsigned char* data, std::size_t size);

extern const char kUsage[];

}  // namespace velt::tool
