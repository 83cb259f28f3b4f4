// Reading and writing the text and binary content of one member or cell (a JSON value).
#pragma once

#include <json/value.h>

#include <cstddef>
#include <string_view>
#include <vector>

namespace velt {

// Longest string a JSON value holds safely (JsonCpp keeps string lengths in 31 bits).
inline constexpr std::size_t kMaxCellText = 0x7FFFFF00u;

// Text of a member or cell: a string gives its bytes, null (never set) gives "";
// anything else (nested component or group, number, boolean) -> kRpgWrongKind.
int CellText(const Json::Value& cell, std::string_view& text) noexcept;

// Bounded copy into a caller buffer; a zero follows only when the text is shorter than len.
void CopyBounded(std::string_view text, char* buffer, int len) noexcept;

// Grouped Base64 decoding of a member or cell: `out` receives the `bytes` decoded bytes followed by
// a zero byte. Null decodes to no bytes; non-strings -> kRpgWrongKind; a character outside the
// alphabet -> kRpgBadBase64. Throws std::bad_alloc.
int DecodeCell(const Json::Value& cell, std::vector<unsigned char>& out, std::size_t& bytes);

// A JSON string of the standard Base64 text of the bytes. kRpgInvalid when it would be too long.
// Throws std::bad_alloc.
int EncodeCell(const unsigned char* data, std::size_t length, Json::Value& cell);

// A JSON string of `text`; kRpgInvalid when it is too long for a JSON value.
int TextCell(std::string_view text, Json::Value& cell);

}  // namespace velt
