// The store's repeating-group operations: creation, opening, cells, sub-objects and extraction.
#include <climits>
#include <cstdlib>
#include <cstring>

#include "rgcomp/cell_value.h"
#include "rgcomp/rpg_comp_pack.h"

namespace velt {
namespace {

// Name of a sub-object found through a header position, cut like the column names of RGCreate.
std::string SubObjectName(const Json::Value& headerName) {
  std::string name = headerName.asString();
  if (name.size() > RGObject::kMaxColumnName) name.resize(RGObject::kMaxColumnName);
  return name;
}

}  // namespace

// A null name means the current group.
int RpgCompPack::DestroyGroup(const char* name) {
  auto it = groups_.end();
  if (name != nullptr) {
    it = groups_.find(name);
    if (it == groups_.end()) return kRGNotFound;
  } else {
    if (currentGroup_ == nullptr) return kRpgInvalid;
    it = groups_.find(currentGroup_->Name());
  }
  if (it->second.get() == currentGroup_) currentGroup_ = nullptr;
  groups_.erase(it);
  return kRpgOk;
}

int RpgCompPack::RGCreate(const char* name, const char* columnNames) {
  return Run([&]() -> int {
    if (name == nullptr || columnNames == nullptr) return kRpgInvalid;
    if (FindGroup(name) != nullptr) return kRGExists;
    PutGroup(RGObject::FromColumnNames(name, columnNames));
    return kRpgOk;
  });
}

int RpgCompPack::RGDestroy(const char* name) {
  return Run([&]() -> int { return DestroyGroup(name); });
}

int RpgCompPack::RGClose(const char* name) { return RGDestroy(name); }

int RpgCompPack::RGSetCurr(const char* name) {
  return Run([&]() -> int {
    if (name == nullptr) return kRpgInvalid;
    RGObject* const found = FindGroup(name);
    if (found == nullptr) return kRGNotFound;
    currentGroup_ = found;
    return kRpgOk;
  });
}

int RpgCompPack::RGSelect(const char* name) {
  return Run([&]() -> int {
    const int rc = RGSetCurr(name);
    if (rc == kRpgOk) currentGroup_->currentRow = 0;
    return rc;
  });
}

int RpgCompPack::RGWrite(const char* name, std::string& text) {
  return Run([&]() -> int {
    if (name == nullptr) return kRpgInvalid;
    const RGObject* const found = FindGroup(name);
    if (found == nullptr) return kRGNotFound;
    writer_.Write(found->Rows(), text);
    return kRpgOk;
  });
}

int RpgCompPack::RGOpen(const char* name, const char* text, long length) {
  return Run([&]() -> int {
    if (name == nullptr || text == nullptr || length <= static_cast<long>(kJsonFormMarkLength)) return kRpgInvalid;
    if (FindGroup(name) != nullptr) return kRGExists;
    if (!HasJsonFormMark(text, static_cast<std::size_t>(length))) return kRpgNotDataRow;
    Json::Value rows;
    if (!ParseJson(text + kJsonFormMarkLength, static_cast<std::size_t>(length) - kJsonFormMarkLength, rows) ||
        !IsGroupRows(rows)) {
      return kRGParseFailed;
    }
    PutGroup(RGObject::FromRows(name, std::move(rows)));
    return kRpgOk;
  });
}

int RpgCompPack::RGAddRow() {
  return Run([&]() -> int {
    if (currentGroup_ == nullptr || currentGroup_->currentRow == INT_MAX) return kRpgInvalid;
    ++currentGroup_->currentRow;
    return kRpgOk;
  });
}

int RpgCompPack::SetCurrentCell(int column, Json::Value value) {
  return currentGroup_->SetCell(currentGroup_->currentRow, column, std::move(value));
}

int RpgCompPack::RGSetCol(int column, const char* value) {
  return Run([&]() -> int {
    if (currentGroup_ == nullptr || value == nullptr) return kRpgInvalid;
    if (currentGroup_->currentRow <= 0) return kRpgNotDataRow;
    Json::Value cell;
    const int rc = TextCell(value, cell);
    return rc != kRpgOk ? rc : SetCurrentCell(column, std::move(cell));
  });
}

int RpgCompPack::RGSetColByName(const char* column, const char* value) {
  return Run([&]() -> int {
    if (currentGroup_ == nullptr || column == nullptr || value == nullptr) return kRpgInvalid;
    if (currentGroup_->currentRow <= 0) return kRpgNotDataRow;
    return RGSetCol(currentGroup_->HeaderPosition(column), value);
  });
}

int RpgCompPack::RGSetVal(int column, const unsigned char* data, long length) {
  return Run([&]() -> int {
    if (currentGroup_ == nullptr || data == nullptr || length < 0) return kRpgInvalid;
    if (currentGroup_->currentRow < 1) return kRpgNotDataRow;
    Json::Value cell;
    const int rc = EncodeCell(data, static_cast<std::size_t>(length), cell);
    return rc != kRpgOk ? rc : SetCurrentCell(column, std::move(cell));
  });
}

int RpgCompPack::RGSetValByName(const char* column, const unsigned char* data, long length) {
  return Run([&]() -> int {
    if (currentGroup_ == nullptr || column == nullptr) return kRpgInvalid;
    return RGSetVal(currentGroup_->HeaderPosition(column), data, length);
  });
}

// Copies the component or group `name` into the cell (current row, column).
int RpgCompPack::SetSubObject(int column, const std::string& name, int kind) {
  const Json::Value* value = nullptr;
  if (kind != 0) {
    const RGObject* const group = FindGroup(name);
    if (group == nullptr) return kRGSubRGNotFound;
    value = &group->Rows();
  } else {
    const CBObject* const component = FindComponent(name);
    if (component == nullptr) return kRGSubCBNotFound;
    value = &component->Root();
  }
  if (currentGroup_->currentRow <= 0) return kRpgNotDataRow;
  if (!FitsNested(*value, 2)) return kRpgInvalid;   // under the rows array and a row array
  Json::Value copy = *value;   // taken first: the source may be the current group itself
  return SetCurrentCell(column, std::move(copy));
}

int RpgCompPack::RGSetSubCBRGValue(int column, int kind) {
  return Run([&]() -> int {
    if (currentGroup_ == nullptr || column < 0) return kRpgInvalid;
    const Json::Value* headerName = currentGroup_->HeaderName(column);
    if (headerName == nullptr) return kRpgInvalid;
    return SetSubObject(column, SubObjectName(*headerName), kind);
  });
}

int RpgCompPack::RGSetSubCBRGValueByName(const char* column, int kind) {
  return Run([&]() -> int {
    if (currentGroup_ == nullptr || column == nullptr) return kRpgInvalid;
    const int position = currentGroup_->HeaderPosition(column);
    if (position < 0) return kRpgInvalid;
    return SetSubObject(position, column, kind);
  });
}

int RpgCompPack::ReadCell(int row, int column, const Json::Value*& cell) const noexcept {
  cell = currentGroup_->Cell(row, column);
  return cell == nullptr ? kRpgInvalid : kRpgOk;
}

int RpgCompPack::CopyCellText(int row, int column, char* buffer, int len) const {
  const Json::Value* cell = nullptr;
  int rc = ReadCell(row, column, cell);
  std::string_view text;
  if (rc == kRpgOk) rc = CellText(*cell, text);
  if (rc == kRpgOk) CopyBounded(text, buffer, len);
  return rc;
}

int RpgCompPack::DecodeCellInto(int row, int column, unsigned char** data, long* length) {
  *data = nullptr;
  *length = 0;
  const Json::Value* cell = nullptr;
  int rc = ReadCell(row, column, cell);
  std::size_t bytes = 0;
  if (rc == kRpgOk) rc = DecodeCell(*cell, currentGroup_->data, bytes);
  if (rc != kRpgOk) return rc;
  *data = currentGroup_->data.data();
  *length = static_cast<long>(bytes);
  return kRpgOk;
}

int RpgCompPack::RGGetValue(int row, const char* column, char* buffer, int len) {
  return Run([&]() -> int {
    if (currentGroup_ == nullptr || column == nullptr || buffer == nullptr || row <= 0) return kRpgInvalid;
    const int position = currentGroup_->IndexedPosition(column);
    if (position < 0) return kRpgInvalid;
    return CopyCellText(row, position, buffer, len);
  });
}

int RpgCompPack::RGGetVal(int row, const char* column, unsigned char** data, long* length) {
  return Run([&]() -> int {
    if (data == nullptr || length == nullptr) return kRpgInvalid;
    *data = nullptr;   // cleared first: no failure may leave an earlier, possibly freed pointer
    *length = 0;
    if (currentGroup_ == nullptr || column == nullptr) return kRpgInvalid;
    const int position = currentGroup_->IndexedPosition(column);
    if (row <= 0 || position < 0) return kRpgInvalid;
    return DecodeCellInto(row, position, data, length);
  });
}

int RpgCompPack::RGGetColVal(int column, unsigned char** data, long* length) {
  return Run([&]() -> int {
    if (data == nullptr || length == nullptr) return kRpgInvalid;
    *data = nullptr;   // cleared first: no failure may leave an earlier, possibly freed pointer
    *length = 0;
    if (currentGroup_ == nullptr) return kRpgInvalid;
    return DecodeCellInto(currentGroup_->currentRow, column, data, length);
  });
}

int RpgCompPack::RGGetColNames(char* buffer, int len) {
  return Run([&]() -> int {
    if (currentGroup_ == nullptr || buffer == nullptr) return kRpgInvalid;
    CopyBounded(currentGroup_->JoinedColumnNames(), buffer, len);
    return kRpgOk;
  });
}

int RpgCompPack::RGGetColName(int column, char* buffer, int len) {
  return Run([&]() -> int {
    if (currentGroup_ == nullptr || buffer == nullptr) return kRpgInvalid;
    const Json::Value* headerName = currentGroup_->HeaderName(column);
    if (headerName == nullptr) return kRpgInvalid;
    std::string_view text;
    const int rc = CellText(*headerName, text);
    if (rc == kRpgOk) CopyBounded(text, buffer, len);
    return rc;
  });
}

int RpgCompPack::RGGetRowNum(int* count) {
  return Run([&]() -> int {
    if (currentGroup_ == nullptr || count == nullptr) return kRpgInvalid;
    *count = currentGroup_->DataRowCount();
    return kRpgOk;
  });
}

int RpgCompPack::RGGetColNum(int* count) {
  return Run([&]() -> int {
    if (currentGroup_ == nullptr || count == nullptr) return kRpgInvalid;
    *count = currentGroup_->DistinctColumnCount();
    return kRpgOk;
  });
}

int RpgCompPack::RGFetchRow() {
  return Run([&]() -> int {
    if (currentGroup_ == nullptr) return kRpgInvalid;
    return currentGroup_->FetchRow() ? kRpgOk : kRpgInvalid;
  });
}

int RpgCompPack::RGGetCol(int column, char* buffer, int len) {
  return Run([&]() -> int {
    if (currentGroup_ == nullptr || buffer == nullptr) return kRpgInvalid;
    return CopyCellText(currentGroup_->currentRow, column, buffer, len);
  });
}

int RpgCompPack::RGGetColByName(const char* column, char* buffer, int len) {
  return Run([&]() -> int {
    if (currentGroup_ == nullptr || column == nullptr || buffer == nullptr) return kRpgInvalid;
    const int position = currentGroup_->IndexedPosition(column);
    if (position < 0) return kRpgInvalid;
    return CopyCellText(currentGroup_->currentRow, position, buffer, len);
  });
}

int RpgCompPack::RGGetValByName(const char* column, unsigned char** data, long* length) {
  return Run([&]() -> int {
    if (data == nullptr || length == nullptr) return kRpgInvalid;
    *data = nullptr;   // cleared first: no failure may leave an earlier, possibly freed pointer
    *length = 0;
    if (currentGroup_ == nullptr || column == nullptr) return kRpgInvalid;
    const int position = currentGroup_->IndexedPosition(column);
    const Json::Value* cell = nullptr;
    int rc = position < 0 ? kRpgInvalid : ReadCell(currentGroup_->currentRow, position, cell);
    std::vector<unsigned char> decoded;   // not the group's buffer: RGGetColVal's result stays valid
    std::size_t bytes = 0;
    if (rc == kRpgOk) rc = DecodeCell(*cell, decoded, bytes);
    if (rc != kRpgOk) return rc;
    // The caller releases the block with free(); one byte at least, so an empty value is no null.
    void* const block = std::malloc(bytes > 0 ? bytes : 1);
    if (block == nullptr) return kRpgNoMemory;
    if (bytes > 0) std::memcpy(block, decoded.data(), bytes);
    *data = static_cast<unsigned char*>(block);
    *length = static_cast<long>(bytes);
    return kRpgOk;
  });
}

// Makes the value of the cell (current row, column) the component or group `name`. With `replace`
// an object of that name gives way; without, a group refuses and a component is merely selected.
int RpgCompPack::ExtractCell(int column, const std::string& name, int kind, bool replace) {
  const Json::Value* cell = nullptr;
  const int rc = ReadCell(currentGroup_->currentRow, column, cell);
  if (rc != kRpgOk) return rc;
  if (kind != 0) {
    if (!replace && FindGroup(name) != nullptr) return kRGExists;
    if (!IsGroupRows(*cell)) return kRpgWrongKind;
    Json::Value copy = *cell;   // taken first: the group replaced may hold the cell
    PutGroup(RGObject::FromRows(name, std::move(copy)));
    return kRpgOk;
  }
  if (!replace) {
    if (CBObject* const found = FindComponent(name)) {
      currentComponent_ = found;
      return kRpgOk;
    }
  }
  if (!IsComponentRoot(*cell)) return kRpgWrongKind;
  PutComponent(std::make_unique<CBObject>(name, *cell));
  return kRpgOk;
}

int RpgCompPack::RGGetSubCBRGValue(int column, int kind) {
  return Run([&]() -> int {
    if (currentGroup_ == nullptr || column <= 0) return kRpgInvalid;
    const Json::Value* headerName = currentGroup_->HeaderName(column);
    if (headerName == nullptr) return kRpgInvalid;
    return ExtractCell(column, SubObjectName(*headerName), kind, /*replace=*/true);
  });
}

int RpgCompPack::RGGetSubCBRGValueByName(const char* column, int kind) {
  return Run([&]() -> int {
    if (currentGroup_ == nullptr || column == nullptr) return kRpgInvalid;
    const int position = currentGroup_->IndexedPosition(column);
    if (position < 0) return kRpgNotDataRow;
    return ExtractCell(position, column, kind, /*replace=*/false);
  });
}

int RpgCompPack::RGSetCurrRowIndex(int row) {
  return Run([&]() -> int {
    if (currentGroup_ == nullptr) return kRpgInvalid;
    currentGroup_->currentRow = row;
    return kRpgOk;
  });
}

}  // namespace velt
