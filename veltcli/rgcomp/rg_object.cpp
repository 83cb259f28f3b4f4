// Header, column index and cell access of a repeating group.
#include "rgcomp/rg_object.h"

#include <climits>

#include "rgcomp/rpg_comp_codes.h"

namespace velt {

RGObject::RGObject(std::string name, Json::Value rows, int rowCount)
    : name_(std::move(name)), rows_(std::move(rows)), rowCount_(rowCount) {
  BuildIndex();
}

std::unique_ptr<RGObject> RGObject::FromColumnNames(std::string name, std::string_view columnNames) {
  Json::Value header(Json::arrayValue);
  for (;;) {
    const std::size_t comma = columnNames.find(',');
    const std::string_view column = columnNames.substr(0, comma).substr(0, kMaxColumnName);
    header.append(Json::Value(column.data(), column.data() + column.size()));
    if (comma == std::string_view::npos) break;
    columnNames.remove_prefix(comma + 1);
  }
  Json::Value rows(Json::arrayValue);
  rows.append(std::move(header));
  return std::unique_ptr<RGObject>(new RGObject(std::move(name), std::move(rows), 0));
}

std::unique_ptr<RGObject> RGObject::FromRows(std::string name, Json::Value rows) {
  const auto count = rows.size() > INT_MAX ? INT_MAX : static_cast<int>(rows.size());
  return std::unique_ptr<RGObject>(new RGObject(std::move(name), std::move(rows), count));
}

void RGObject::BuildIndex() {
  const Json::Value& header = rows_[0];
  for (Json::ArrayIndex i = 0; i < header.size(); ++i) index_[header[i].asString()] = static_cast<int>(i);
}

int RGObject::HeaderPosition(std::string_view column) const noexcept {
  const Json::Value& header = rows_[0];
  for (Json::ArrayIndex i = 0; i < header.size(); ++i) {
    const char* begin = nullptr;
    const char* end = nullptr;
    if (header[i].getString(&begin, &end) && std::string_view(begin, end - begin) == column) {
      return static_cast<int>(i);
    }
  }
  return -1;
}

int RGObject::IndexedPosition(const std::string& column) const noexcept {
  const auto it = index_.find(column);
  return it == index_.end() ? -1 : it->second;
}

const Json::Value* RGObject::HeaderName(int column) const noexcept {
  const Json::Value& header = rows_[0];
  if (column < 0 || static_cast<Json::ArrayIndex>(column) >= header.size()) return nullptr;
  return &header[column];
}

std::string RGObject::JoinedColumnNames() const {
  std::string joined;
  const Json::Value& header = rows_[0];
  for (Json::ArrayIndex i = 0; i < header.size(); ++i) {
    if (i > 0) joined += ',';
    joined += header[i].asString();
  }
  return joined;
}

const Json::Value* RGObject::Cell(int row, int column) const noexcept {
  if (row < 0 || column < 0 || static_cast<Json::ArrayIndex>(row) >= rows_.size()) return nullptr;
  const Json::Value& cells = rows_[row];
  const Json::ArrayIndex width = cells.isArray() ? cells.size() : 0;
  const auto at = static_cast<Json::ArrayIndex>(column);
  if (at < width) return &cells[at];
  if (at < rows_[0].size()) return &Json::Value::nullSingleton();
  return nullptr;
}

int RGObject::SetCell(int row, int column, Json::Value value) {
  if (row < 1 || column < 0) return kRpgInvalid;
  const auto at = static_cast<Json::ArrayIndex>(row);
  const Json::ArrayIndex last = rows_.size() - 1;
  if (at > last && at - last > static_cast<Json::ArrayIndex>(kMaxRowsAdded)) return kRpgInvalid;
  // Cells the header or the row already span are no extension; beyond them kMaxColumn bounds it.
  Json::ArrayIndex allowed = static_cast<Json::ArrayIndex>(kMaxColumn) + 1;
  if (rows_[0].size() > allowed) allowed = rows_[0].size();
  if (at <= last && rows_[at].isArray() && rows_[at].size() > allowed) allowed = rows_[at].size();
  if (static_cast<Json::ArrayIndex>(column) >= allowed) return kRpgInvalid;

  if (at > last) rows_.resize(at + 1);
  Json::Value& cells = rows_[at];
  if (!cells.isArray()) cells = Json::Value(Json::arrayValue);
  if (static_cast<Json::ArrayIndex>(column) >= cells.size()) cells.resize(static_cast<Json::ArrayIndex>(column) + 1);
  cells[static_cast<Json::ArrayIndex>(column)] = std::move(value);
  return kRpgOk;
}

bool RGObject::FetchRow() noexcept {
  const int bound = rowCount_ > 0 ? rowCount_ : static_cast<int>(rows_.size());
  if (currentRow >= bound - 1) return false;
  ++currentRow;
  return true;
}

}  // namespace velt
