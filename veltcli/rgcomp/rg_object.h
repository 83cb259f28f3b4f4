// RGObject: one named repeating group. Its rows are a JSON array: element 0 the header (column
// names), elements 1... the data rows (arrays of cells, or null for rows never written).
#pragma once

#include <json/value.h>

#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace velt {

class RGObject {
 public:
  // Longest column name RGCreate keeps and the longest header name used to find a sub-object.
  static constexpr std::size_t kMaxColumnName = 255;
  // Bounds of what one write may add, so that a wild position cannot exhaust memory: columns
  // 0..kMaxColumn, and at most kMaxRowsAdded rows past the last existing one.
  static constexpr int kMaxColumn = 65535;
  static constexpr int kMaxRowsAdded = 65536;

  // A new group from "a,b,c" (split at every comma, names cut to kMaxColumnName, not trimmed; ""
  // gives one column with an empty name). Throws std::bad_alloc.
  static std::unique_ptr<RGObject> FromColumnNames(std::string name, std::string_view columnNames);
  // A group from rows that satisfy IsGroupRows; row count = rows.size(). Throws std::bad_alloc.
  static std::unique_ptr<RGObject> FromRows(std::string name, Json::Value rows);

  const std::string& Name() const noexcept { return name_; }
  const Json::Value& Rows() const noexcept { return rows_; }

  // First header position of `column` (setters); -1 when absent.
  int HeaderPosition(std::string_view column) const noexcept;
  // Position from the column index, i.e. the last header position of the name (getters); -1 when absent.
  int IndexedPosition(const std::string& column) const noexcept;
  // Header name at `column`; null outside the header.
  const Json::Value* HeaderName(int column) const noexcept;
  std::string JoinedColumnNames() const;
  int DistinctColumnCount() const noexcept { return static_cast<int>(index_.size()); }
  int DataRowCount() const noexcept { return static_cast<int>(rows_.size()) - 1; }

  // The cell at (row, column); null pointer outside the group. Inside a row but past its end (up
  // to the header's width) cells read as JSON null.
  const Json::Value* Cell(int row, int column) const noexcept;
  // Sets a cell of a data row (row >= 1), extending the arrays with nulls within the bounds above.
  // kRpgInvalid outside the bounds. Throws std::bad_alloc.
  int SetCell(int row, int column, Json::Value value);

  // Advances to the next data row: rows present at open/extraction, or all rows of a created group.
  bool FetchRow() noexcept;

  int currentRow = 0;
  std::vector<unsigned char> data;   // bytes of the last RGGetColVal / RGGetVal

 private:
  RGObject(std::string name, Json::Value rows, int rowCount);
  void BuildIndex();

  std::string name_;
  Json::Value rows_;
  std::map<std::string, int> index_;
  int rowCount_ = 0;   // rows.size() at open or extraction; 0 for a created group
};

}  // namespace velt
