// Column slots of the current table (tagRsColumn), shared by the request writer and the cursor.
#pragma once

#include <cstddef>
#include <string_view>

#include "codec/rs_state.h"

namespace velt {

// A row carries at most this many cells (its text is cut at 12191 characters), so no table is
// given more slots: a larger column count is refused rather than allocated.
constexpr int kMaxColumns = RsState::kRowTextSize;
constexpr std::size_t kCellStartSize = 256;
constexpr std::size_t kSlotNameChars = 32;

// Slots for `count` columns named by the ","-separated `names` (each field cut to 32 characters,
// then trimmed of spaces and tabs), cells empty. False when memory fails or count is above
// kMaxColumns; all slots are then freed.
bool BuildColumns(RsState& rs, int count, std::string_view names) noexcept;

// The first slot whose name equals `name` exactly; null for an empty name or no match.
tagRsColumn* FindColumn(RsState& rs, const char* name) noexcept;

// Makes the cell hold `length` bytes and a terminator; false when memory fails (cell emptied).
bool ReserveCell(tagRsColumn& column, std::size_t length) noexcept;

// Removes spaces and tabs at both ends.
std::string_view TrimBlanks(std::string_view text) noexcept;

}  // namespace velt
