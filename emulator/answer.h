// The answer a business program writes: named values, binary values and tables in the packet
// grammar, plus the status. It keeps the text as units that the cutter never splits across
// answer parts (a binary value with its Base64 pair, a row with its cells' binary values and,
// for a table's last row, its "_EORS_n").
#pragma once

#include <cstddef>
#include <map>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace veltemu {

// Largest answer text the emulator builds; past it the answer is refused with kStatusAnswerTooLarge.
inline constexpr std::size_t kMaxAnswerBytes = 64u << 20;

// A fault to put into the packets of the answer (for the client's tests of its checks).
enum class AnswerFault {
  kNone,
  kChecksum,   // the first packet's checksum field is altered
  kSequence,   // the second packet (the only one, when there is one) carries a wrong sequence number
  kLength,     // the first packet's length field says more bytes than the packet has
};

class Answer {
 public:
  explicit Answer(std::size_t maxBytes = kMaxAnswerBytes) : maxBytes_(maxBytes) {}

  // A named value; a second value of the same name replaces the first and moves to the end.
  void SetValue(std::string_view name, std::string_view value);
  void SetInteger(std::string_view name, long long value) { SetValue(name, std::to_string(value)); }
  // A binary value: the marker pair name=_BASE64_<name> and the pair _BASE64_<name>=<Base64>.
  void SetBinary(std::string_view name, std::string_view bytes);

  // Starts table n+1 (closing the one before); the names travel in the descriptor or, when too
  // long for it, as the binary value "_RS_FIELDS_n". Returns the table number.
  int BeginTable(std::string_view cursor, int columnCount, std::string_view columnText);
  int BeginTable(std::string_view cursor, const std::vector<std::string>& columns);
  // Adds a row to the open table (rows are numbered from 1 across all tables). `binaryCells`
  // maps 1-based columns to bytes: such a cell travels as "_BLOB_<row>_<col>" with its binary
  // value beside the row. Returns the row number, 0 when no table is open.
  int AddRow(const std::vector<std::string>& cells, const std::map<int, std::string>& binaryCells = {});

  void SetStatus(int status) { status_ = status; }
  // Status `code` with "_ERRNO" = code and "_ERRMSG" = message.
  void SetError(int code, std::string_view message);
  void InjectFault(AnswerFault fault) { fault_ = fault; }

  int status() const { return status_; }
  AnswerFault fault() const { return fault_; }
  // True when something was refused because the answer would pass its byte limit.
  bool overflowed() const { return overflowed_; }
  std::size_t bytes() const { return bytes_; }

  // Closes the open table, adds "_RC", "_CC" and "_TL" when there were tables, and hands the
  // units over in order (the answer is empty afterwards).
  std::vector<std::string> TakeUnits();

 private:
  struct Unit {
    std::string name;   // a replaceable value's decoded name, else empty
    std::string text;   // pairs joined by "&", without a leading "&"
    bool dropped = false;
  };
  bool Room(std::size_t more);
  void Append(std::string name, std::string text);
  void CloseTable();

  std::size_t maxBytes_;
  std::size_t bytes_ = 0;
  bool overflowed_ = false;
  int status_ = 0;
  AnswerFault fault_ = AnswerFault::kNone;
  std::vector<Unit> units_;
  std::unordered_map<std::string, std::size_t> byName_;

  int tables_ = 0;
  bool tableOpen_ = false;
  int columns_ = 0;
  int firstRow_ = 0;
  int lastRow_ = 0;
  std::size_t descriptorUnit_ = 0;
  std::size_t lastRowUnit_ = 0;
  std::string tableList_;
};

}  // namespace veltemu
