// The answer through the public client interface: the cursor for the first row, the raw text for
// the names of the named values and the value calls for their contents.
#include "answer_reader.h"

#include <set>

#include "svcgate.h"
#include "wire/text_escape.h"

namespace velt::svcgate {
namespace {

constexpr int kNameArea = 4096;   // far beyond any name an answer of 2048 characters can carry

std::string Bytes(const unsigned char* data, long length) {
  return data && length > 0 ? std::string(reinterpret_cast<const char*>(data), static_cast<std::size_t>(length))
                            : std::string();
}

int ReadRow(LUNQCLI_HANDLE h, std::vector<Item>& items) {
  int columns = 0;
  if (LUNQCLI_RsGetColNum(h, &columns) != 0) return SVCGATE_E_ANSWER_READ;
  std::vector<char> name(kNameArea);
  for (int c = 1; c <= columns; ++c) {
    const int rc = LUNQCLI_RsGetColName(h, c, name.data(), kNameArea);
    if (rc == 100) return SVCGATE_E_ANSWER_SIZE;
    if (rc != 0) return SVCGATE_E_ANSWER_READ;
    unsigned char* data = nullptr;
    long length = 0;
    if (LUNQCLI_RsGetVal(h, c, &data, &length) != 0) return SVCGATE_E_ANSWER_READ;
    items.push_back({std::string(name.data()), Bytes(data, length)});   // copied before the next value call
  }
  return SVCGATE_OK;
}

int ReadNamedValues(LUNQCLI_HANDLE h, std::vector<Item>& items) {
  int length = 0;
  if (LUNQCLI_GetCommLen(h, &length) != 0 || length < 0) return SVCGATE_E_ANSWER_READ;
  std::vector<char> text(static_cast<std::size_t>(length) + 1);
  if (length > 0 && LUNQCLI_GetValue(h, "", text.data(), length) != 0) return SVCGATE_E_ANSWER_READ;
  for (const std::string& name : NamedValueNames(std::string_view(text.data()))) {
    unsigned char* data = nullptr;
    long size = 0;
    if (LUNQCLI_GetVal(h, name.c_str(), &data, &size) != 0) return SVCGATE_E_ANSWER_READ;
    items.push_back({name, Bytes(data, size)});
  }
  return SVCGATE_OK;
}

}  // namespace

std::vector<std::string> NamedValueNames(std::string_view text) {
  std::vector<std::string> names;
  std::set<std::string> seen;
  std::size_t at = 0;
  while (at < text.size()) {
    std::size_t end = text.find('&', at);
    if (end == std::string_view::npos) end = text.size();
    const std::string_view pair = text.substr(at, end - at);
    at = end + 1;
    const std::string name = wire::Unescaped(pair.substr(0, pair.find('=')), wire::kPairEscapes);
    if (name.empty() || name[0] == '_' || !seen.insert(name).second) continue;
    names.push_back(name);
  }
  return names;
}

int ReadAnswer(LUNQCLI_HANDLE h, std::vector<Item>& items) {
  if (LUNQCLI_RsOpen(h) == 0) {
    const int fetched = LUNQCLI_RsFetchRow(h);
    if (fetched == 0) return ReadRow(h, items);
    if (fetched != 1) return SVCGATE_E_ANSWER_READ;   // 1: a table without rows, read the values
  }
  return ReadNamedValues(h, items);
}

}  // namespace velt::svcgate
