// The table state shared by the request writer and the result-set cursor: one per session, held
// in velt::PacketSession. Plain data plus the buffers it owns, which the session frees when it ends.
#pragma once

#include <cstddef>

#include "codec/grow_buffer.h"
#include "support/alloc_hook.h"

// One column slot of the table writer and reader.
struct tagRsColumn {
  int nIndex;          // 0-based column position
  char szName[40];     // the column's field of the names, at most 32 characters, trimmed
  char* pszValue;      // cell of the current row, zero-terminated
  int nValueSize;      // capacity of pszValue
  int nValueLen;       // length of the cell
};

namespace velt {

struct RsState {
  static constexpr int kCursorNameChars = 32;
  static constexpr int kRowTextSize = 12192;

  RsState() = default;
  ~RsState() { Free(); }
  RsState(const RsState&) = delete;
  RsState& operator=(const RsState&) = delete;

  int nCurRow = 0;       // current row (writer: last added; reader: last fetched)
  int nRsCount = 0;      // current table: count of descriptors since the last reset
  int nFirstRow = 0;
  int nLastRow = 0;      // reader: -1 while the table's end has not been seen
  int nColNum = 0;
  char szCursorName[kCursorNameChars + 1] = {};

  // Slots [0, nColSlots) are the current table's; slots up to nColAllocated keep their value
  // buffers for the next table.
  tagRsColumn* pColumns = nullptr;
  int nColSlots = 0;
  int nColAllocated = 0;

  GrowBuffer colNames;            // pszColNames, zero-terminated (2049 bytes once first used)
  char szRowText[kRowTextSize] = {};
  GrowBuffer tableList;           // "%d:%d;" entries of the tables closed so far
  std::size_t tableListLength = 0;
  GrowBuffer valueBuf;            // pValueBuf: values returned by pointer

  // The packet text's length as the codec last left it, trusted only while the buffer, its
  // capacity and the session's packet revision are unchanged (so building stays linear).
  int textLength = -1;
  const char* textData = nullptr;
  int textCapacity = 0;
  unsigned textRevision = 0;

  void FreeColumns() noexcept {
    for (int i = 0; i < nColAllocated; ++i) Release(pColumns[i].pszValue);
    Release(pColumns);
    pColumns = nullptr;
    nColSlots = 0;
    nColAllocated = 0;
  }
  void Free() noexcept {
    FreeColumns();
    colNames.Free();
    tableList.Free();
    tableListLength = 0;
    valueBuf.Free();
  }
};

}  // namespace velt
