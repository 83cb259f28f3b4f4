// Option parsing and the usage text of velt-encode.
#include "velt_encode_options.h"

#include <cstring>
#include <exception>
#include <map>
#include <string>

namespace velt::tool {

const char kUsage[] =
    "usage: velt-encode <command> [options] [arguments]\n"
    "\n"
    "Password encodings (libmvencode):\n"
    "  encode   --type N [--key K] VALUE          protect VALUE with encoding N\n"
    "  decode   --type N [--key K] VALUE          recover the clear value\n"
    "  reencode --from N [--from-key K] --to M [--to-key K] VALUE\n"
    "                                             decode with N, encode the result with M\n"
    "Sign-on tickets (liblyrsso):\n"
    "  sign     [--ini FILE] APPID USER           print a ticket for USER of APPID\n"
    "  verify   [--ini FILE] APPID USER TICKET    check a ticket, print its expiry\n"
    "\n"
    "Encodings: 1 DES, 2 digest (one-way), 3 AES, 4 Base64, 5 character cipher,\n"
    "           6 AES-256-CBC with a key derived from a pass phrase.\n"
    "\n"
    "Options:\n"
    "  --key TEXT, --key-hex HEX         key (also --from-key[-hex], --to-key[-hex])\n"
    "  --in text|hex                     how VALUE is written; default hex when decoding\n"
    "                                    types 1 and 3, text otherwise\n"
    "  --out text|hex                    how the result is written; default hex when\n"
    "                                    encoding types 1 to 3, text otherwise\n"
    "  --ini FILE                        ticket configuration (section [LYRSSO], ValidTime,\n"
    "                                    SpecialString); default LYRSSO.ini beside liblyrsso\n"
    "  -h, --help                        this text\n"
    "VALUE '-' reads the value from standard input (one trailing newline removed), which keeps\n"
    "it out of the process list.\n"
    "\n"
    "Exit status: 0 success, 1 input or INI file unreadable, 2 usage error, 3 the encoder\n"
    "refused the arguments (-1), 4 the encoding is one-way (-10000), 5 unknown encoding type;\n"
    "a ticket code C of sign or verify exits with -C - 190 (-340 expired: 150, -332 mismatch: 142).\n";

namespace {

const std::map<std::string, Command> kCommands = {
    {"encode", Command::kEncode}, {"decode", Command::kDecode}, {"reencode", Command::kReencode},
    {"sign", Command::kSign},     {"verify", Command::kVerify}, {"help", Command::kHelp},
};

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::optional<int> ParseType(const std::string& text) {
  if (text.empty() || text.size() > 9 || text.find_first_not_of("0123456789-") != std::string::npos) return {};
  try {
    return std::stoi(text);
  } catch (const std::exception&) {
    return {};
  }
}

std::optional<Form> ParseForm(const std::string& text) {
  if (text == "text") return Form::kText;
  if (text == "hex") return Form::kHex;
  return {};
}

// One option with its value; false with `error` set when it is unknown or its value is bad.
bool TakeOption(Options& o, const std::string& name, const std::string& value, std::string& error) {
  auto key = [&](std::vector<unsigned char>& target, bool hex) {
    if (!hex) {
      target.assign(value.begin(), value.end());
      return true;
    }
    auto bytes = FromHex(value);
    if (!bytes) error = name + ": not a hexadecimal text: " + value;
    if (bytes) target = *bytes;
    return bytes.has_value();
  };
  auto type = [&](std::optional<int>& target) {
    auto t = ParseType(value);
    if (!t) error = name + ": not a number: " + value;
    if (t) target = *t;
    return t.has_value();
  };
  auto form = [&](Form& target) {
    auto f = ParseForm(value);
    if (!f) error = name + ": expected text or hex, not " + value;
    if (f) target = *f;
    return f.has_value();
  };
  if (name == "--type" || name == "--from") return type(o.type);
  if (name == "--to") return type(o.toType);
  if (name == "--key" || name == "--from-key") return key(o.key, false);
  if (name == "--key-hex" || name == "--from-key-hex") return key(o.key, true);
  if (name == "--to-key") return key(o.toKey, false);
  if (name == "--to-key-hex") return key(o.toKey, true);
  if (name == "--in") return form(o.in);
  if (name == "--out") return form(o.out);
  if (name == "--ini") {
    o.ini = value;
    return true;
  }
  error = "unknown option " + name;
  return false;
}

std::size_t ExpectedArgs(Command c) {
  switch (c) {
    case Command::kSign: return 2;
    case Command::kVerify: return 3;
    case Command::kHelp: return 0;
    default: return 1;
  }
}

}  // namespace

std::optional<std::vector<unsigned char>> FromHex(const std::string& text) {
  if (text.size() % 2 != 0) return {};
  std::vector<unsigned char> out;
  out.reserve(text.size() / 2);
  for (std::size_t i = 0; i < text.size(); i += 2) {
    const int hi = HexDigit(text[i]), lo = HexDigit(text[i + 1]);
    if (hi < 0 || lo < 0) return {};
    out.push_back(static_cast<unsigned char>(hi * 16 + lo));
  }
  return out;
}

std::string ToHex(const unsigned char* data, std::size_t size) {
  static const char kDigits[] = "0123456789abcdef";
  std::string s;
  s.reserve(size * 2);
  for (std::size_t i = 0; i < size; ++i) {
    s += kDigits[data[i] >> 4];
    s += kDigits[data[i] & 15];
  }
  return s;
}

std::optional<Options> ParseOptions(int argc, char** argv, std::string& error) {
  Options o;
  if (argc < 2) {
    error = "no command given";
    return {};
  }
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "-h") == 0 || std::strcmp(argv[i], "--help") == 0) return Options{};
  }
  const auto found = kCommands.find(argv[1]);
  if (found == kCommands.end()) {
    error = std::string("unknown command ") + argv[1];
    return {};
  }
  o.command = found->second;
  for (int i = 2; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg.size() > 2 && arg.compare(0, 2, "--") == 0) {
      if (i + 1 >= argc) {
        error = arg + " needs a value";
        return {};
      }
      if (!TakeOption(o, arg, argv[++i], error)) return {};
    } else {
      o.args.push_back(arg);
    }
  }
  if (o.args.size() != ExpectedArgs(o.command)) {
    error = "wrong number of arguments";
    return {};
  }
  const bool typed = o.command == Command::kEncode || o.command == Command::kDecode;
  if (typed && !o.type) {
    error = "--type is required";
    return {};
  }
  if (o.command == Command::kReencode && (!o.type || !o.toType)) {
    error = "--from and --to are required";
    return {};
  }
  return o;
}

}  // namespace velt::tool
