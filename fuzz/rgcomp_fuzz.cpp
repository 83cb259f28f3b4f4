// Arbitrary "J1.0" texts opened as a component and as a group, then every getter on every member,
// row and column (and a little past them): no crash, no leak, and what the store writes reads back
// to the same text.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "rgcomp/rpg_comp_pack.h"

namespace {

constexpr int kMaxVisited = 12;   // members, rows and columns visited per input

std::string WriteGroup(velt::RpgCompPack& store, const char* name) {
  std::string text;
  return store.RGWrite(name, text) == velt::kRpgOk ? text : std::string();
}

// Writing, reopening and writing again must give the same text.
void CheckRoundTrip(const std::string& text, bool group) {
  if (text.empty()) return;
  velt::RpgCompPack again;
  std::string second;
  const long length = static_cast<long>(text.size());
  if (group) {
    if (again.RGOpen("g", text.data(), length) != velt::kRpgOk) std::abort();
    second = WriteGroup(again, "g");
  } else {
    if (again.CBOpen("c", text.data(), length) != velt::kRpgOk) std::abort();
    if (again.CBWrite("c", second) != velt::kRpgOk) std::abort();
  }
  if (second != text) std::abort();
}

void VisitComponent(velt::RpgCompPack& store) {
  if (store.CBSelect("c") != velt::kRpgOk) return;
  std::string text;
  store.CBWrite("c", text);
  CheckRoundTrip(text, false);
  const Json::Value& root = store.CurrentComponent()->Root();
  std::vector<std::string> names = root.isObject() ? root.getMemberNames() : std::vector<std::string>();
  names.push_back("absent");
  int visited = 0;
  for (const std::string& name : names) {
    if (++visited > kMaxVisited) break;
    store.CBSelect("c");
    char buffer[64];
    store.CBGetValue(name.c_str(), buffer, static_cast<int>(sizeof buffer));
    store.CBGetValue(name.c_str(), buffer, 1);
    unsigned char* data = nullptr;
    long length = 0;
    store.CBGetVal(name.c_str(), &data, &length);
    if (store.CBGetSubCBValue(name.c_str()) == velt::kRpgOk && name != "c") store.CBDestroy(nullptr);
  }
}

void VisitCell(velt::RpgCompPack& store, int row, int column, const std::string& columnName) {
  char buffer[64];
  unsigned char* data = nullptr;
  long length = 0;
  store.RGGetCol(column, buffer, static_cast<int>(sizeof buffer));
  store.RGGetColVal(column, &data, &length);
  store.RGGetColName(column, buffer, 3);
  store.RGGetValue(row, columnName.c_str(), buffer, static_cast<int>(sizeof buffer));
  store.RGGetVal(row, columnName.c_str(), &data, &length);
  store.RGGetColByName(columnName.c_str(), buffer, static_cast<int>(sizeof buffer));
  if (store.RGGetValByName(columnName.c_str(), &data, &length) == velt::kRpgOk) std::free(data);
  for (int kind : {0, 1}) {
    store.RGGetSubCBRGValue(column, kind);
    store.RGSetCurr("g");
    store.RGSetCurrRowIndex(row);
    store.RGGetSubCBRGValueByName(columnName.c_str(), kind);
    store.RGSetCurr("g");
    store.RGSetCurrRowIndex(row);
  }
}

void VisitGroup(velt::RpgCompPack& store) {
  if (store.RGSelect("g") != velt::kRpgOk) return;
  CheckRoundTrip(WriteGroup(store, "g"), true);
  char names[128];
  int rows = 0;
  int columns = 0;
  store.RGGetColNames(names, static_cast<int>(sizeof names));
  store.RGGetRowNum(&rows);
  store.RGGetColNum(&columns);
  // Copied: an extraction named like the group replaces it.
  std::vector<std::string> header;
  for (const Json::Value& name : store.CurrentGroup()->Rows()[0]) header.push_back(name.asString());
  const int width = static_cast<int>(header.size());
  for (int row = 0; row <= rows + 1 && row <= kMaxVisited; ++row) {
    store.RGSetCurrRowIndex(row);
    for (int column = -1; column <= width && column < kMaxVisited; ++column) {
      const bool named = column >= 0 && column < width;
      VisitCell(store, row, column, named ? header[column] : std::string("absent"));
    }
  }
  store.RGSetCurrRowIndex(0);
  while (store.RGFetchRow() == velt::kRpgOk) {
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string text = "J1.0";
  text.append(reinterpret_cast<const char*>(data), size);
  velt::RpgCompPack store;
  const long length = static_cast<long>(text.size());
  store.CBOpen("c", text.data(), length);
  store.RGOpen("g", text.data(), length);
  // The raw bytes too, so texts without the mark (or with a different one) are exercised.
  store.CBOpen("raw", reinterpret_cast<const char*>(data), static_cast<long>(size));
  store.RGOpen("raw", reinterpret_cast<const char*>(data), static_cast<long>(size));
  VisitComponent(store);
  VisitGroup(store);
  return 0;
}
