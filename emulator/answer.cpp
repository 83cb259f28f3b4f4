// Writing answer text in the packet grammar.
#include "answer.h"

#include <algorithm>

#include "platform/base64.h"
#include "wire/text_escape.h"

namespace veltemu {
namespace {

// Names as long as this stay inside a 2048-character descriptor (the client's own rule).
constexpr std::size_t kDescriptorRoom = 1984;

std::string Pair(std::string_view name, std::string_view value) {
  return velt::wire::Escaped(name, velt::wire::kPairEscapes) + "=" + velt::wire::Escaped(value, velt::wire::kPairEscapes);
}

std::string BinaryPairs(std::string_view name, std::string_view bytes) {
  std::string b64(velt::platform::Base64EncodedLength(bytes.size()), '\0');
  velt::platform::Base64Encode(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), b64.data());
  const std::string marker = "_BASE64_" + std::string(name);
  return Pair(name, marker) + "&" + Pair(marker, b64);
}

}  // namespace

bool Answer::Room(std::size_t more) {
  if (overflowed_ || more > maxBytes_ - bytes_) {
    overflowed_ = true;
    return false;
  }
  return true;
}

void Answer::Append(std::string name, std::string text) {
  if (!Room(text.size() + 1)) return;
  bytes_ += text.size() + 1;
  if (!name.empty()) byName_[name] = units_.size();
  units_.push_back(Unit{std::move(name), std::move(text), false});
}

void Answer::SetValue(std::string_view name, std::string_view value) {
  const std::string key(name);
  const auto it = byName_.find(key);
  if (it != byName_.end()) {
    Unit& old = units_[it->second];
    bytes_ -= old.text.size() + 1;
    old.dropped = true;
    old.text.clear();
    byName_.erase(it);
  }
  Append(key, Pair(name, value));
}

void Answer::SetBinary(std::string_view name, std::string_view bytes) {
  if (!Room(velt::platform::Base64EncodedLength(bytes.size()) + 3 * name.size() + 32)) return;
  Append(std::string(), BinaryPairs(name, bytes));
}

void Answer::SetError(int code, std::string_view message) {
  status_ = code;
  SetInteger("_ERRNO", code);
  SetValue("_ERRMSG", message);
}

int Answer::BeginTable(std::string_view cursor, const std::vector<std::string>& columns) {
  std::string text;
  for (std::size_t i = 0; i < columns.size(); ++i) {
    if (i > 0) text += ',';
    text += columns[i];
  }
  return BeginTable(cursor, static_cast<int>(columns.size()), text);
}

int Answer::BeginTable(std::string_view cursor, int columnCount, std::string_view columnText) {
  CloseTable();
  ++tables_;
  tableOpen_ = true;
  columns_ = columnCount;
  firstRow_ = lastRow_ + 1;
  const std::string n = std::to_string(tables_);
  const std::string head = std::string(cursor) + ";" + std::to_string(columnCount) + ";";
  const std::string tail = ";" + std::to_string(firstRow_);
  std::string unit;
  if (columnText.size() + cursor.size() <= kDescriptorRoom) {
    unit = Pair("_RS_" + n, head + std::string(columnText) + tail);
  } else {
    unit = Pair("_RS_" + n, head + "$_RS_FIELDS_" + n + tail) + "&" + BinaryPairs("_RS_FIELDS_" + n, columnText);
  }
  Append(std::string(), std::move(unit));
  descriptorUnit_ = units_.size() - 1;
  lastRowUnit_ = descriptorUnit_;
  return tables_;
}

int Answer::AddRow(const std::vector<std::string>& cells, const std::map<int, std::string>& binaryCells) {
  if (!tableOpen_ || overflowed_) return 0;
  const int row = lastRow_ + 1;
  std::string unit;
  std::string value;
  std::size_t width = cells.size();
  if (!binaryCells.empty() && binaryCells.rbegin()->first > 0)
    width = std::max(width, static_cast<std::size_t>(binaryCells.rbegin()->first));
  for (std::size_t i = 0; i < width; ++i) {
    const int col = static_cast<int>(i) + 1;
    if (i > 0) value += ',';
    const auto blob = binaryCells.find(col);
    if (blob == binaryCells.end()) {
      if (i < cells.size()) value += velt::wire::Escaped(cells[i], velt::wire::kCellEscapes);
      continue;
    }
    const std::string name = "_BLOB_" + std::to_string(row) + "_" + std::to_string(col);
    value += name;
    unit += BinaryPairs(name, blob->second) + "&";
  }
  unit += Pair("_" + std::to_string(row), value);
  const std::size_t before = units_.size();
  Append(std::string(), std::move(unit));
  if (units_.size() == before) return 0;
  lastRow_ = row;
  lastRowUnit_ = units_.size() - 1;
  return row;
}

void Answer::CloseTable() {
  if (!tableOpen_) return;
  tableOpen_ = false;
  const std::string eors = Pair("_EORS_" + std::to_string(tables_), std::to_string(lastRow_));
  // The pair rides in the unit of the table's last row (or of its descriptor when it has none),
  // so the client finds it in the answer part that ends the table.
  if (Room(eors.size() + 1) && lastRowUnit_ < units_.size()) {
    units_[lastRowUnit_].text += "&" + eors;
    bytes_ += eors.size() + 1;
  }
  tableList_ += std::to_string(columns_) + ":" + std::to_string(lastRow_ - firstRow_ + 1) + ";";
}

std::vector<std::string> Answer::TakeUnits() {
  if (tables_ > 0) {
    CloseTable();
    Append(std::string(), Pair("_RC", std::to_string(lastRow_)) + "&" + Pair("_CC", std::to_string(columns_)) +
                              "&" + Pair("_TL", tableList_));
  }
  std::vector<std::string> out;
  out.reserve(units_.size());
  for (Unit& u : units_) {
    if (!u.dropped) out.push_back(std::move(u.text));
  }
  units_.clear();
  byName_.clear();
  bytes_ = 0;
  tables_ = 0;
  lastRow_ = 0;
  tableList_.clear();
  return out;
}

}  // namespace veltemu
