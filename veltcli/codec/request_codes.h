// Return codes of request writing (VELTCLI_BeginWrite, VELTCLI_SetValue/SetVal, the VELTCLI_Rs*
// write side). VELT_REQUEST_CODES(X) lists each code once as X(name, number, doc rows, meaning);
// the doc rows, separated by ", ", are the functions of docs/veltcli.md whose code table lists it
// ("" for codes that stay inside the library), and a test holds both in step.
#pragma once

#define VELT_REQUEST_CODES(X)                                                                      \
  X(kWriteNoMemory, 1, "VELTCLI_BeginWrite", "the packet buffer cannot be allocated")              \
  X(kWriteBufferFull, 1, "VELTCLI_SetValue", "the packet buffer cannot grow")                      \
  X(kWriteValueSkipped, 2, "VELTCLI_SetValue", "value null, or empty while empty values are off")  \
  X(kWriteBinaryNullArgument, 11, "VELTCLI_SetVal", "null name or data")                           \
  X(kWriteBinaryNameTooLong, 12, "VELTCLI_SetVal", "name of 100 characters or more")               \
  X(kWriteBinaryMarkerFailed, 13, "VELTCLI_SetVal", "the marker pair could not be stored")         \
  X(kWriteBinaryNoMemory, 14, "VELTCLI_SetVal", "no memory to encode the data")                    \
  X(kTableBadArgument, 1, "VELTCLI_RsCreate", "bad column count, null argument or cursor name too long") \
  X(kTableNoMemory, 2, "VELTCLI_RsCreate", "no memory for the table")                              \
  X(kCellNullValue, 1, "VELTCLI_RsSetCol", "value null")                                           \
  X(kCellColumnOutOfRange, 2, "VELTCLI_RsSetCol", "column outside 1..columns")                     \
  X(kCellNoMemory, -3, "VELTCLI_RsSetCol", "the cell cannot grow (left empty)")                    \
  X(kCellNoSuchColumn, 1, "VELTCLI_RsSetColByName, VELTCLI_RsSetVal", "no column of that exact name") \
  X(kCellNullData, -1, "VELTCLI_RsSetVal", "data null")                                            \
  X(kCellBlobRefFailed, 20, "VELTCLI_RsSetVal", "the cell could not take the binary value's name") \
  X(kRowBufferFull, 1, "VELTCLI_RsSaveRow", "the packet buffer cannot grow")                       \
  X(kCompleteNoMemory, 1, "", "closing the table or the completion tail: no memory")

namespace velt {

#define VELT_CODE_ENUMERATOR(name, number, rows, meaning) name = (number),
enum RequestCode : int { VELT_REQUEST_CODES(VELT_CODE_ENUMERATOR) };
#undef VELT_CODE_ENUMERATOR

}  // namespace velt
