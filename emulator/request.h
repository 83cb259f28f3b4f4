// A joined request as a business program sees it: the header facts and the request text read
// in the packet grammar (named values, binary values, tables). Built once per call, read-only.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "wire/packet_header.h"

namespace veltemu {

struct RequestValue {
  std::string name;    // decoded
  std::string value;   // decoded
};

struct RequestTable {
  std::string cursor;
  int columnCount = 0;
  std::string columnText;              // the column names as they travelled, joined by ","
  std::vector<std::string> columns;    // columnText split at ","
  int firstRow = 0;                    // the table's first row number in the request
  std::vector<int> rowNumbers;         // the rows found, in order
  std::vector<std::vector<std::string>> rows;   // their cells, cell-decoded
};

class Request {
 public:
  Request() = default;
  // Reads `text` in the packet grammar. Never fails: what does not fit the grammar is ignored.
  static Request Parse(const velt::wire::PacketHeader& header, std::string text);

  const velt::wire::PacketHeader& header() const { return header_; }
  const std::string& text() const { return text_; }
  // Every pair of the text in order (rows and reserved pairs included).
  const std::vector<RequestValue>& values() const { return values_; }
  const std::vector<RequestTable>& tables() const { return tables_; }

  // The value of the first pair named `name`.
  std::optional<std::string> Value(std::string_view name) const;
  // True when `name` is a binary value: its marker "_BASE64_<name>" and the Base64 pair exist.
  bool IsBinary(std::string_view name) const;
  // The bytes of binary value `name`; nullopt when it is no binary value.
  std::optional<std::string> Binary(std::string_view name) const;
  // A whole decimal number (optional sign); nullopt when absent or not a number.
  std::optional<long long> Integer(std::string_view name) const;

  std::string serviceId() const;        // "_VeltServiceID_", or empty
  std::string program() const { return header_.program; }
  int session() const { return header_.sessionNumber; }
  // The transaction the call runs in (the new one for transaction mode 1; empty when stand-alone).
  std::string transactionId() const { return header_.transactionId; }
  int callType() const { return header_.callType; }
  int transactionMode() const { return header_.transactionMode & 7; }
  bool asynchronous() const { return (header_.transactionMode & 8) != 0; }

 private:
  void ReadTables();

  velt::wire::PacketHeader header_;
  std::string text_;
  std::vector<RequestValue> values_;
  std::vector<RequestTable> tables_;
  std::unordered_map<std::string, std::size_t> first_;   // name -> index of its first pair
};

// Parses a whole decimal number with an optional sign; false for anything else or overflow.
bool ParseInteger(std::string_view text, long long& out);

}  // namespace veltemu
