// Column slot allocation, naming and lookup.
#include "codec/rs_columns.h"

#include <climits>
#include <cstring>

#include "support/alloc_hook.h"

namespace velt {
namespace {

bool EnsureSlots(RsState& rs, int count) noexcept {
  if (count <= rs.nColAllocated) return true;
  void* grown = Reallocate(rs.pColumns, static_cast<std::size_t>(count) * sizeof(tagRsColumn));
  if (grown == nullptr) return false;
  rs.pColumns = static_cast<tagRsColumn*>(grown);
  for (; rs.nColAllocated < count; ++rs.nColAllocated) {
    tagRsColumn& c = rs.pColumns[rs.nColAllocated];
    c.pszValue = static_cast<char*>(Allocate(kCellStartSize));
    if (c.pszValue == nullptr) return false;
    c.nValueSize = static_cast<int>(kCellStartSize);
  }
  return true;
}

void NameSlot(tagRsColumn& column, std::string_view field) {
  if (field.size() > kSlotNameChars) field = field.substr(0, kSlotNameChars);
  field = TrimBlanks(field);
  if (!field.empty()) std::memcpy(column.szName, field.data(), field.size());   // an empty view may be null
  column.szName[field.size()] = '\0';
}

}  // namespace

std::string_view TrimBlanks(std::string_view text) noexcept {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

bool BuildColumns(RsState& rs, int count, std::string_view names) noexcept {
  if (count < 0) count = 0;
  if (count > kMaxColumns || !EnsureSlots(rs, count)) {
    rs.FreeColumns();
    return false;
  }
  std::size_t at = 0;
  bool more = true;
  for (int i = 0; i < count; ++i) {
    tagRsColumn& c = rs.pColumns[i];
    c.nIndex = i;
    std::string_view field;
    if (more) {
      const std::size_t comma = names.find(',', at);
      field = names.substr(at, comma == std::string_view::npos ? std::string_view::npos : comma - at);
      more = comma != std::string_view::npos;
      at = more ? comma + 1 : names.size();
    }
    NameSlot(c, field);
    c.pszValue[0] = '\0';
    c.nValueLen = 0;
  }
  rs.nColSlots = count;
  return true;
}

tagRsColumn* FindColumn(RsState& rs, const char* name) noexcept {
  if (name == nullptr || name[0] == '\0') return nullptr;
  for (int i = 0; i < rs.nColSlots; ++i) {
    if (std::strcmp(rs.pColumns[i].szName, name) == 0) return &rs.pColumns[i];
  }
  return nullptr;
}

bool ReserveCell(tagRsColumn& column, std::size_t length) noexcept {
  column.pszValue[0] = '\0';
  column.nValueLen = 0;
  if (length < static_cast<std::size_t>(column.nValueSize)) return true;
  if (length >= static_cast<std::size_t>(INT_MAX)) return false;
  void* grown = Reallocate(column.pszValue, length + 1);
  if (grown == nullptr) return false;
  column.pszValue = static_cast<char*>(grown);
  column.nValueSize = static_cast<int>(length + 1);
  return true;
}

}  // namespace velt
