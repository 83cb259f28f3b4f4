// Item-list reading and writing.
#include "item_list.h"

#include "svcgate.h"

namespace velt::svcgate {

int ReadRequestItems(std::string_view request, std::vector<Item>& items) {
  std::size_t at = 0;
  while (at <= request.size()) {
    std::size_t end = request.find(',', at);
    if (end == std::string_view::npos) end = request.size();
    const std::string_view item = request.substr(at, end - at);
    at = end + 1;
    if (item.empty()) continue;
    const std::size_t colon = item.find(':');
    const std::string_view name = item.substr(0, colon);
    if (name.empty() || name[0] == '_') return SVCGATE_E_REQUEST;
    items.push_back({std::string(name), colon == std::string_view::npos ? std::string() : std::string(item.substr(colon + 1))});
  }
  return SVCGATE_OK;
}

namespace {
bool Carriable(std::string_view s) { return s.find_first_of(std::string_view(",:\0", 3)) == std::string_view::npos; }
}  // namespace

int WriteAnswerItems(const std::vector<Item>& items, std::size_t limit, std::string& text) {
  text.clear();
  for (const Item& item : items) {
    if (!Carriable(item.name) || !Carriable(item.value)) return SVCGATE_E_ANSWER_VALUE;
  }
  for (const Item& item : items) {
    const std::size_t more = (text.empty() ? 0 : 1) + item.name.size() + 1 + item.value.size();
    if (text.size() + more > limit) return SVCGATE_E_ANSWER_SIZE;
    if (!text.empty()) text += ',';
    text += item.name;
    text += ':';
    text += item.value;
  }
  return SVCGATE_OK;
}

}  // namespace velt::svcgate
