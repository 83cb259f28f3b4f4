// Reading a request text: pairs, binary values and tables as the client's request writer builds them.
#include "request.h"

#include <climits>
#include <map>

#include "platform/base64.h"
#include "wire/text_escape.h"

namespace veltemu {
namespace {

constexpr std::string_view kBase64Prefix = "_BASE64_";

// Row pairs are named "_" followed by decimal digits only.
bool RowNumber(std::string_view name, int& row) {
  if (name.size() < 2 || name.size() > 11 || name[0] != '_') return false;
  long long v = 0;
  for (std::size_t i = 1; i < name.size(); ++i) {
    if (name[i] < '0' || name[i] > '9') return false;
    v = v * 10 + (name[i] - '0');
  }
  if (v > INT_MAX) return false;
  row = static_cast<int>(v);
  return true;
}

std::vector<std::string> Split(std::string_view text, char sep) {
  std::vector<std::string> out;
  std::size_t from = 0;
  while (true) {
    const std::size_t at = text.find(sep, from);
    out.emplace_back(text.substr(from, at == std::string_view::npos ? std::string_view::npos : at - from));
    if (at == std::string_view::npos) return out;
    from = at + 1;
  }
}

struct Descriptor {
  RequestTable table;
  std::optional<long long> lastRow;
};

// "cursor;count;names;firstRow": the names sit between the second and the last ";", so names
// holding ";" survive.
bool ParseDescriptor(std::string_view text, RequestTable& t) {
  const std::size_t a = text.find(';');
  if (a == std::string_view::npos) return false;
  const std::size_t b = text.find(';', a + 1);
  const std::size_t c = text.rfind(';');
  if (b == std::string_view::npos || c <= b) return false;
  long long count = 0;
  long long first = 0;
  if (!ParseInteger(text.substr(a + 1, b - a - 1), count) || count < 0 || count > INT_MAX) return false;
  if (!ParseInteger(text.substr(c + 1), first) || first < 0 || first > INT_MAX) return false;
  t.cursor = std::string(text.substr(0, a));
  t.columnCount = static_cast<int>(count);
  t.columnText = std::string(text.substr(b + 1, c - b - 1));
  t.firstRow = static_cast<int>(first);
  return true;
}

}  // namespace

bool ParseInteger(std::string_view text, long long& out) {
  std::size_t i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  if (i == text.size()) return false;
  long long v = 0;
  for (; i < text.size(); ++i) {
    if (text[i] < '0' || text[i] > '9') return false;
    if (v > (LLONG_MAX - (text[i] - '0')) / 10) return false;
    v = v * 10 + (text[i] - '0');
  }
  out = negative ? -v : v;
  return true;
}

Request Request::Parse(const velt::wire::PacketHeader& header, std::string text) {
  Request r;
  r.header_ = header;
  r.text_ = std::move(text);
  const std::string_view all(r.text_);
  std::size_t from = 0;
  while (from <= all.size()) {
    std::size_t end = all.find('&', from);
    if (end == std::string_view::npos) end = all.size();
    const std::string_view pair = all.substr(from, end - from);
    if (!pair.empty()) {
      const std::size_t eq = pair.find('=');
      RequestValue v;
      v.name = velt::wire::Unescaped(pair.substr(0, eq), velt::wire::kPairEscapes);
      if (eq != std::string_view::npos) v.value = velt::wire::Unescaped(pair.substr(eq + 1), velt::wire::kPairEscapes);
      r.first_.emplace(v.name, r.values_.size());
      r.values_.push_back(std::move(v));
    }
    from = end + 1;
  }
  r.ReadTables();
  return r;
}

std::optional<std::string> Request::Value(std::string_view name) const {
  const auto it = first_.find(std::string(name));
  if (it == first_.end()) return std::nullopt;
  return values_[it->second].value;
}

bool Request::IsBinary(std::string_view name) const {
  const std::string marker = std::string(kBase64Prefix) + std::string(name);
  const auto v = Value(name);
  return v && *v == marker && first_.count(marker) != 0;
}

std::optional<std::string> Request::Binary(std::string_view name) const {
  if (!IsBinary(name)) return std::nullopt;
  const std::string b64 = *Value(std::string(kBase64Prefix) + std::string(name));
  std::string bytes(velt::platform::Base64DecodeSkipping(b64.data(), b64.size(), nullptr, 0), '\0');
  velt::platform::Base64DecodeSkipping(b64.data(), b64.size(), reinterpret_cast<unsigned char*>(bytes.data()),
                                       bytes.size());
  return bytes;
}

std::optional<long long> Request::Integer(std::string_view name) const {
  const auto v = Value(name);
  long long n = 0;
  if (!v || !ParseInteger(*v, n)) return std::nullopt;
  return n;
}

std::string Request::serviceId() const { return Value("_VeltServiceID_").value_or(std::string()); }

void Request::ReadTables() {
  std::map<int, const std::string*> rows;   // first pair of each row number
  for (const RequestValue& v : values_) {
    int row = 0;
    if (RowNumber(v.name, row)) rows.emplace(row, &v.value);
  }
  std::vector<Descriptor> found;
  for (int n = 1;; ++n) {
    const auto text = Value("_RS_" + std::to_string(n));
    Descriptor d;
    if (!text || !ParseDescriptor(*text, d.table)) break;
    const std::string fields = "_RS_FIELDS_" + std::to_string(n);
    if (d.table.columnText == "$" + fields) {
      if (auto names = Binary(fields)) d.table.columnText = std::move(*names);
    }
    d.table.columns = Split(d.table.columnText, ',');
    d.lastRow = Integer("_EORS_" + std::to_string(n));
    found.push_back(std::move(d));
  }
  for (std::size_t i = 0; i < found.size(); ++i) {
    RequestTable& t = found[i].table;
    long long last = rows.empty() ? 0 : rows.rbegin()->first;
    if (found[i].lastRow) last = *found[i].lastRow;
    else if (i + 1 < found.size()) last = found[i + 1].table.firstRow - 1LL;
    for (auto it = rows.lower_bound(t.firstRow); it != rows.end() && it->first <= last; ++it) {
      std::vector<std::string> cells = Split(*it->second, ',');
      for (std::string& c : cells) c = velt::wire::Unescaped(c, velt::wire::kCellEscapes);
      t.rowNumbers.push_back(it->first);
      t.rows.push_back(std::move(cells));
    }
    tables_.push_back(std::move(t));
  }
}

}  // namespace veltemu
