// The answer walk. Named values are found by scanning the names in the first part's text (the
// public interface reads values by name only); everything else goes through the cursor calls.
#include "answer_reader.h"

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "base64_text.h"

namespace velt::veltcall {
namespace {

constexpr int kCellBuffer = 12192;   // holds any fetched cell (veltcli.h)
constexpr int kPartMarkLength = 48;  // leading bytes that tell one answer part from the next
constexpr std::string_view kMarker = "_BASE64_";
constexpr std::string_view kBlobPrefix = "_BLOB_";

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// Undoes the pair escapes ("@" and two hexadecimal digits) of a name.
std::string Unescape(std::string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '@' && i + 2 < text.size() && HexDigit(text[i + 1]) >= 0 && HexDigit(text[i + 2]) >= 0) {
      out += static_cast<char>(HexDigit(text[i + 1]) * 16 + HexDigit(text[i + 2]));
      i += 2;
    } else {
      out += text[i];
    }
  }
  return out;
}

struct NamedValue {
  std::string name;
  bool binary = false;
};

// Names of the values a program answered, in order: pairs whose name does not begin with "_"
// (reserved: rows, table descriptors, error values, Base64 pairs).
std::vector<NamedValue> ValueNames(std::string_view text) {
  std::vector<NamedValue> out;
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t end = text.find('&', start);
    if (end == std::string_view::npos) end = text.size();
    const std::string_view pair = text.substr(start, end - start);
    const std::size_t eq = pair.find('=');
    if (eq != std::string_view::npos && eq > 0 && pair[0] != '_') {
      NamedValue v{Unescape(pair.substr(0, eq)), false};
      const std::string value = Unescape(pair.substr(eq + 1));
      v.binary = value.size() == kMarker.size() + v.name.size() && value.compare(0, kMarker.size(), kMarker) == 0 &&
                 value.compare(kMarker.size(), std::string::npos, v.name) == 0;
      out.push_back(std::move(v));
    }
    start = end + 1;
  }
  return out;
}

Cell MakeCell(const TextCodec& codec, std::string_view bytes, bool binary) {
  return binary ? Cell{Base64Encode(bytes), true} : Cell{codec.FromPlatform(bytes), false};
}

void Fail(ErrorReport& failure, int code, const std::string& what) {
  failure.stage = "answer";
  failure.code = code;
  failure.name.clear();
  failure.message = what;
}

// Counts answer parts by watching the packet text change under the cursor.
class PartCounter {
 public:
  explicit PartCounter(VELTCLI_HANDLE h) : h_(h) { Check(); }
  void Check() {
    int length = 0;
    VELTCLI_GetCommLen(h_, &length);
    char mark[kPartMarkLength + 1] = {};
    VELTCLI_GetValue(h_, "", mark, kPartMarkLength);
    if (parts_ > 0 && length == length_ && std::memcmp(mark, mark_, sizeof mark) == 0) return;
    ++parts_;
    bytes_ += static_cast<std::uint64_t>(length);
    length_ = length;
    std::memcpy(mark_, mark, sizeof mark);
  }
  int parts() const { return parts_; }
  std::uint64_t bytes() const { return bytes_; }

 private:
  VELTCLI_HANDLE h_;
  int parts_ = 0;
  int length_ = 0;
  std::uint64_t bytes_ = 0;
  char mark_[kPartMarkLength + 1] = {};
};

int ReadValues(VELTCLI_HANDLE h, const TextCodec& codec, AnswerSink& sink, ErrorReport& failure) {
  int length = 0;
  VELTCLI_GetCommLen(h, &length);
  if (length <= 0) return 0;
  std::vector<char> text(static_cast<std::size_t>(length) + 1);
  VELTCLI_GetValue(h, "", text.data(), length);
  for (const NamedValue& v : ValueNames(std::string_view(text.data(), static_cast<std::size_t>(length)))) {
    unsigned char* data = nullptr;
    long n = 0;
    const int rc = VELTCLI_GetVal(h, v.name.c_str(), &data, &n);
    if (rc == 12) continue;   // a name the library cannot look up (over 100 characters)
    if (rc != 0) {
      Fail(failure, rc, "the value " + v.name + " could not be read");
      return rc;
    }
    sink.Value(codec.FromPlatform(v.name),
               MakeCell(codec, std::string_view(reinterpret_cast<char*>(data), static_cast<std::size_t>(n)), v.binary));
  }
  return 0;
}

bool ColumnNames(VELTCLI_HANDLE h, const TextCodec& codec, std::vector<std::string>& names) {
  int count = 0;
  VELTCLI_RsGetColNum(h, &count);
  names.clear();
  for (int c = 1; c <= count; ++c) {
    std::vector<char> name(256);
    int rc = 0;
    while ((rc = VELTCLI_RsGetColName(h, c, name.data(), static_cast<int>(name.size()))) == 100 &&
           name.size() < (1u << 20))
      name.resize(name.size() * 4);
    if (rc != 0) return false;
    names.push_back(codec.FromPlatform(name.data()));
  }
  return true;
}

bool ReadRow(VELTCLI_HANDLE h, const TextCodec& codec, std::size_t columns, std::vector<char>& buffer,
             std::vector<Cell>& cells) {
  cells.resize(columns);
  for (std::size_t c = 0; c < columns; ++c) {
    const int column = static_cast<int>(c) + 1;
    if (VELTCLI_RsGetCol(h, column, buffer.data()) != 0) return false;
    const std::string_view raw(buffer.data());
    if (raw.substr(0, kBlobPrefix.size()) == kBlobPrefix) {
      unsigned char* data = nullptr;
      long n = 0;
      if (VELTCLI_RsGetVal(h, column, &data, &n) == 0) {
        cells[c] = MakeCell(codec, std::string_view(reinterpret_cast<char*>(data), static_cast<std::size_t>(n)), true);
        continue;
      }
    }
    cells[c] = MakeCell(codec, raw, false);
  }
  return true;
}

}  // namespace

int ReadAnswer(VELTCLI_HANDLE h, const TextCodec& codec, AnswerSink& sink, ProgressLine& progress,
               ErrorReport& failure) {
  if (const int rc = ReadValues(h, codec, sink, failure); rc != 0) return rc;
  PartCounter parts(h);
  std::vector<char> buffer(kCellBuffer);
  std::vector<std::string> names;
  std::vector<Cell> cells;
  std::uint64_t rows = 0;
  for (int rc = VELTCLI_RsOpen(h); rc != 1; rc = VELTCLI_RsMore(h)) {
    if (rc != 0) {
      Fail(failure, rc, rc == 3 ? "reading the next answer part failed" : "the next result set could not be opened");
      return rc;
    }
    char cursor[33] = {};
    VELTCLI_RsGetCursorName(h, cursor, sizeof cursor - 1);
    if (!ColumnNames(h, codec, names)) {
      Fail(failure, 1, "the column names could not be read");
      return 1;
    }
    sink.BeginTable(codec.FromPlatform(cursor), names);
    int fetch = 0;
    while ((fetch = VELTCLI_RsFetchRow(h)) == 0) {
      if (!ReadRow(h, codec, names.size(), buffer, cells)) {
        Fail(failure, 2, "a cell could not be read");
        return 2;
      }
      sink.Row(cells);
      parts.Check();
      progress.Update(++rows, parts.parts(), parts.bytes());
    }
    if (fetch != 1) {
      Fail(failure, fetch, fetch == 2 ? "reading the next answer part failed" : "no memory for a cell");
      return fetch;
    }
    sink.EndTable();
  }
  progress.Clear();
  return 0;
}

}  // namespace velt::veltcall
