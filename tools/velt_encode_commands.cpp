// velt-encode commands: value forms, area sizes and the mapping of library results to exits.
#include "velt_encode_commands.h"

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <iostream>
#include <iterator>
#include <memory>
#include <vector>

#include "lyrsso.h"
#include "mvencode.h"
#include "platform/local_time.h"

namespace velt::tool {
namespace {

using Bytes = std::vector<unsigned char>;

bool KnownType(int type) { return type >= MVENCODE_TYPE_DES && type <= MVENCODE_TYPE_AES256_CBC; }
// Types 1-3 produce raw bytes; the others text.
bool RawType(int type) { return type <= MVENCODE_TYPE_AES; }

int Fail(int exitCode, const std::string& message) {
  std::cerr << "velt-encode: " << message << "\n";
  return exitCode;
}

void Warn(const std::string& message) { std::cerr << "velt-encode: warning: " << message << "\n"; }

// Text as passwords are written: no control bytes but tab and line ends, and well-formed UTF-8
// or Chinese text in the common GBK rows (lead and trail 0xA1-0xFE: symbols and hanzi). The whole
// GBK range would take most random bytes for text.
bool LooksLikeText(const unsigned char* data, std::size_t size) {
  for (std::size_t i = 0; i < size; ++i)
    if ((data[i] < 0x20 && data[i] != '\t' && data[i] != '\n' && data[i] != '\r') || data[i] == 0x7F) return false;
  auto utf8 = [&] {
    for (std::size_t i = 0; i < size;) {
      const unsigned char c = data[i];
      const std::size_t n = c < 0x80 ? 1 : (c >> 5) == 0x6 ? 2 : (c >> 4) == 0xE ? 3 : (c >> 3) == 0x1E ? 4 : 0;
      if (n == 0 || i + n > size) return false;
      for (std::size_t k = 1; k < n; ++k)
        if ((data[i + k] & 0xC0) != 0x80) return false;
      i += n;
    }
    return true;
  };
  auto gbk = [&] {
    for (std::size_t i = 0; i < size; ++i) {
      if (data[i] < 0x80) continue;
      if (data[i] < 0xA1 || data[i] == 0xFF || i + 1 >= size) return false;
      const unsigned char t = data[++i];
      if (t < 0xA1 || t == 0xFF) return false;
    }
    return true;
  };
  return utf8() || gbk();
}

// The value argument in the form asked for; "-" is standard input without one trailing newline.
bool ReadValue(const std::string& arg, Form form, Bytes& value, std::string& error) {
  std::string text = arg;
  if (arg == "-") {
    text.assign(std::istreambuf_iterator<char>(std::cin), std::istreambuf_iterator<char>());
    if (!text.empty() && text.back() == '\n') text.pop_back();
    if (!text.empty() && text.back() == '\r') text.pop_back();
  }
  if (form != Form::kHex) {
    value.assign(text.begin(), text.end());
    return true;
  }
  auto bytes = FromHex(text);
  if (!bytes) error = "the value is not a hexadecimal text";
  if (bytes) value = *bytes;
  return bytes.has_value();
}

void WriteValue(const unsigned char* data, std::size_t size, Form form) {
  if (form == Form::kHex) {
    std::cout << ToHex(data, size) << "\n";
  } else {
    std::cout.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    std::cout << "\n";
  }
}

// Every encoding's result fits 4 bytes per input byte plus a margin (type 6 expands to 16 bytes
// before Base64, type 5 writes 20 characters per 10).
std::size_t AreaFor(std::size_t inputSize) { return 4 * inputSize + 64; }

// Keys and texts are passed with a zero after them: types 5 and 6 may read them as C strings.
struct Terminated {
  explicit Terminated(const Bytes& b) : bytes(b) { bytes.push_back(0); }
  const unsigned char* data() const { return bytes.data(); }
  int size() const { return static_cast<int>(bytes.size() - 1); }
  Bytes bytes;
};

int EncoderExit(int result, int type) {
  if (result == MVENCODE_ERR_ONE_WAY) return Fail(kExitOneWay, "encoding " + std::to_string(type) + " is one-way");
  return Fail(kExitRefused, "the encoder refused the arguments (" + std::to_string(result) + ")");
}

Form InForm(const Options& o, bool decoding, int type) {
  if (o.in != Form::kDefault) return o.in;
  return decoding && RawType(type) ? Form::kHex : Form::kText;
}

Form OutForm(const Options& o, bool encoding, int type) {
  if (o.out != Form::kDefault) return o.out;
  return encoding && RawType(type) ? Form::kHex : Form::kText;
}

int Call(const Options& o, const Bytes& value, Bytes& out) {
  const Terminated in(value), key(o.key), toKey(o.toKey);
  const int outSize = static_cast<int>(out.size() - 1);
  switch (o.command) {
    case Command::kEncode:
      return MVEncode(*o.type, in.data(), in.size(), out.data(), outSize, key.data(), key.size());
    case Command::kDecode:
      return MVDecode(*o.type, in.data(), in.size(), out.data(), outSize, key.data(), key.size());
    default:
      return MVReEncode(in.data(), in.size(), out.data(), outSize, *o.type, key.data(), key.size(), *o.toType,
                        toKey.data(), toKey.size());
  }
}

}  // namespace

int RunEncoding(const Options& o) {
  const bool reencode = o.command == Command::kReencode;
  for (int type : {*o.type, reencode ? *o.toType : *o.type})
    if (!KnownType(type)) return Fail(kExitUnknownType, "unknown encoding type " + std::to_string(type));

  const bool decoding = o.command != Command::kEncode;
  const bool encoding = o.command != Command::kDecode;
  const int outType = reencode ? *o.toType : *o.type;
  Bytes value;
  std::string error;
  if (!ReadValue(o.args[0], InForm(o, decoding, *o.type), value, error)) return Fail(kExitUsage, error);
  if (value.size() > INT_MAX / 8) return Fail(kExitUsage, "the value is too long");

  Bytes out(AreaFor(value.size()) + 1, 0);  // zero-filled: type-5 decoding appends to it
  const int result = Call(o, value, out);
  if (result < 0) return EncoderExit(result, decoding ? *o.type : outType);
  // A wrong pass phrase can still give well-padded bytes: they are rarely text.
  if (o.command == Command::kDecode && *o.type == MVENCODE_TYPE_AES256_CBC &&
      !LooksLikeText(out.data(), static_cast<std::size_t>(result)))
    Warn("the decoded bytes are not text: is the key right?");
  WriteValue(out.data(), static_cast<std::size_t>(result), OutForm(o, encoding, outType));
  return kExitOk;
}

const char* TicketCodeText(int code) {
  switch (code) {
    case 0: return "success";
    case LYRSSO_ERR_SIGN_NOT_INITIALISED:
    case LYRSSO_ERR_VERIFY_NOT_INITIALISED: return "not initialised";
    case LYRSSO_ERR_SIGN_APPID:
    case LYRSSO_ERR_VERIFY_APPID: return "application id missing";
    case LYRSSO_ERR_SIGN_USER:
    case LYRSSO_ERR_VERIFY_USER: return "user code missing";
    case LYRSSO_ERR_SIGN_TICKET_AREA: return "ticket area too small";
    case LYRSSO_ERR_VERIFY_TICKET: return "ticket missing";
    case LYRSSO_ERR_SIGN_NO_DIGEST:
    case LYRSSO_ERR_VERIFY_NO_DIGEST: return "out of memory";
    case LYRSSO_ERR_SIGN_DIGEST:
    case LYRSSO_ERR_VERIFY_DIGEST: return "digest unavailable";
    case LYRSSO_ERR_SIGN_CIPHER:
    case LYRSSO_ERR_VERIFY_CIPHER: return "block cipher refused the block";
    case LYRSSO_ERR_SIGN_BASE64: return "ticket text did not fit";
    case LYRSSO_ERR_VERIFY_DECODE: return "ticket text decodes to no bytes or to 64 bytes or more";
    case LYRSSO_ERR_VERIFY_MISMATCH: return "digest mismatch: other application, user or secret, or damaged";
    case LYRSSO_ERR_VERIFY_EXPIRED: return "ticket expired";
    default: return "unknown code";
  }
}

namespace {

// The library reads a relative name from its own folder; a user means the working folder.
bool InitTickets(const Options& o, std::string& error) {
  if (!o.ini) {
    Warn("no --ini: the settings come from LYRSSO.ini beside liblyrsso.so; without that file an empty "
         "secret is in force and anybody can sign");
    LYRSSO_Init(nullptr);
    return true;
  }
  std::unique_ptr<char, decltype(&std::free)> real(realpath(o.ini->c_str(), nullptr), &std::free);
  if (!real || !std::ifstream(real.get()).good()) {
    error = "cannot read the INI file " + *o.ini;
    return false;
  }
  LYRSSO_Init(real.get());
  return true;
}

int TicketFailure(const char* what, int code) {
  return Fail(TicketExit(code), std::string(what) + " failed: " + std::to_string(code) + " (" +
                                    TicketCodeText(code) + ")");
}

std::string UtcTime(int seconds) {
  const std::time_t t = seconds;
  const std::tm tm = velt::platform::UtcTimeOf(t);
  char text[32] = "";
  std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &tm);
  return text;
}

}  // namespace

int RunTicket(const Options& o) {
  std::string error;
  if (!InitTickets(o, error)) return Fail(kExitFailed, error);
  const char* app = o.args[0].c_str();
  const char* user = o.args[1].c_str();
  if (o.command == Command::kSign) {
    char ticket[LYRSSO_TICKET_LEN + 1];
    const int r = LYRSSO_Sign(app, user, ticket, sizeof ticket);
    if (r != 0) return TicketFailure("sign", r);
    std::cout << ticket << "\n";
    return kExitOk;
  }
  std::string ticket = o.args[2];
  if (ticket == "-") std::getline(std::cin, ticket);
  int expiry = 0;
  const int r = LYRSSO_Verify(app, user, ticket.c_str(), &expiry);
  if (r != 0) return TicketFailure("verify", r);
  std::cout << expiry << " " << UtcTime(expiry) << "\n";
  return kExitOk;
}

}  // namespace velt::tool
