// The item-list text of requests and answers: reading a request into named values and writing an
// answer back, refusing what the text form cannot carry.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace velt::svcgate {

struct Item {
  std::string name;
  std::string value;
};

// Splits a request into items; empty items are skipped. Returns SVCGATE_OK or SVCGATE_E_REQUEST
// (an empty name, or a name beginning with "_", which the request text reserves).
int ReadRequestItems(std::string_view request, std::vector<Item>& items);

// Writes the items as NAME:VALUE joined by ","; SVCGATE_E_ANSWER_VALUE when a name or value holds
// ",", ":" or a zero byte, SVCGATE_E_ANSWER_SIZE when the text would pass `limit` characters.
int WriteAnswerItems(const std::vector<Item>& items, std::size_t limit, std::string& text);

}  // namespace velt::svcgate
