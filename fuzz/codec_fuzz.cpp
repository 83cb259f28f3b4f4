// Arbitrary answer texts through the value lookups and a full cursor walk. Parts are separated by
// byte 0x01 and handed out at the continue-reading seam, the last one marked complete.
#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "codec/answer_reader.h"
#include "codec/rs_cursor.h"
#include "codec/packet_session.h"

namespace {

class Parts : public velt::IAnswerSource {
 public:
  std::deque<std::string> rest;
  int ContinueReading(velt::PacketSession& session) override {
    if (rest.empty()) return 2033;
    session.StoreAnswerText(rest.front().data(), rest.front().size());
    rest.pop_front();
    session.answerFlags = rest.empty() ? 1 : 0;
    return 0;
  }
};

void ReadRow(velt::PacketSession& s, std::vector<char>& cell) {
  unsigned char* data = nullptr;
  long length = 0;
  char name[40];
  for (int c = 0; c <= s.rs.nColSlots + 1 && c < 64; ++c) {
    velt::RsGetCol(s, c, cell.data());
    velt::RsGetVal(s, c, &data, &length);
    velt::RsGetColName(s, c, name, sizeof name, c % 2 == 0);
  }
  velt::RsGetValByName(s, "a", &data, &length);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  const std::string input(reinterpret_cast<const char*>(bytes), size);
  Parts parts;
  std::size_t at = 0;
  for (;;) {
    const std::size_t cut = input.find('\x01', at);
    parts.rest.push_back(input.substr(at, cut == std::string::npos ? std::string::npos : cut - at));
    if (cut == std::string::npos) break;
    at = cut + 1;
  }
  velt::PacketSession s;
  s.answerSource = &parts;
  parts.ContinueReading(s);

  char value[64];
  unsigned char* data = nullptr;
  long length = 0;
  for (const char* name : {"_ERRNO", "", "a", "_RS_1", "_TL"}) {
    velt::GetValue(s, name, value, sizeof value - 1);
    velt::GetVal(s, name, &data, &length);
  }
  std::vector<char> cell(velt::RsState::kRowTextSize);
  int n = 0;
  velt::RsGetTableNum(s, 1, &n, true);
  velt::RsGetTableNum(s, 2, &n, false);
  if (velt::RsOpen(s) == 0) {
    for (int table = 0; table < 16; ++table) {
      velt::SQLNumResultCols(s, &n);
      velt::RsGetRowNum(s, &n);
      velt::RsGetColNames(s, value, sizeof value);
      velt::RsGetCursorName(s, value, sizeof value);
      for (int row = 0; row < 256 && velt::RsFetchRow(s) == 0; ++row) ReadRow(s, cell);
      for (int orientation = 0; orientation <= 7; ++orientation) {
        if (velt::RsFetchRowScroll(s, orientation, orientation - 3) == 0) ReadRow(s, cell);
      }
      if (velt::RsMore(s) != 0) break;
    }
  }
  velt::RsClose(s);
  return 0;
}
