// Cell contents: text read-out, bounded copies, Base64 through the platform codec.
#include "rgcomp/cell_value.h"

#include <cstring>
#include <string>

#include "platform/base64.h"
#include "rgcomp/rpg_comp_codes.h"

namespace velt {

int CellText(const Json::Value& cell, std::string_view& text) noexcept {
  if (cell.isNull()) {
    text = {};
    return kRpgOk;
  }
  const char* begin = nullptr;
  const char* end = nullptr;
  if (!cell.isString() || !cell.getString(&begin, &end)) return kRpgWrongKind;
  text = std::string_view(begin, static_cast<std::size_t>(end - begin));
  return kRpgOk;
}

void CopyBounded(std::string_view text, char* buffer, int len) noexcept {
  if (len <= 0) return;
  const std::size_t room = static_cast<std::size_t>(len);
  const std::size_t n = text.size() < room ? text.size() : room;
  if (n > 0) std::memcpy(buffer, text.data(), n);
  if (n < room) buffer[n] = '\0';
}

int DecodeCell(const Json::Value& cell, std::vector<unsigned char>& out, std::size_t& bytes) {
  bytes = 0;
  std::string_view text;
  const int rc = CellText(cell, text);
  if (rc != kRpgOk) return rc;
  out.resize(platform::Base64DecodedBound(text.size()) + 1);
  const platform::GroupedDecodeResult r =
      platform::Base64DecodeGrouped(text.data(), text.size(), out.data(), {/*stopAtFill=*/true});
  if (r.foreign) return kRpgBadBase64;
  out.resize(r.bytes + 1);
  out[r.bytes] = 0;
  bytes = r.bytes;
  return kRpgOk;
}

int EncodeCell(const unsigned char* data, std::size_t length, Json::Value& cell) {
  if (length > kMaxCellText / 4 * 3) return kRpgInvalid;
  std::string text(platform::Base64EncodedLength(length), '\0');
  platform::Base64Encode(data, length, text.data());
  cell = Json::Value(text);
  return kRpgOk;
}

int TextCell(std::string_view text, Json::Value& cell) {
  if (text.size() > kMaxCellText) return kRpgInvalid;
  cell = Json::Value(text.data(), text.data() + text.size());
  return kRpgOk;
}

}  // namespace velt
