// Reads the answer in a lunqcli handle's packet buffer as items: the first result-set row when
// there is one, otherwise the named values.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "lunqcli.h"
#include "item_list.h"

namespace velt::svcgate {

// SVCGATE_OK, SVCGATE_E_ANSWER_READ, or SVCGATE_E_ANSWER_SIZE for a column name too long to be sent.
int ReadAnswer(LUNQCLI_HANDLE handle, std::vector<Item>& items);

// The names of the named values of an answer text, decoded, in order, reserved ("_") names left out.
std::vector<std::string> NamedValueNames(std::string_view text);

}  // namespace velt::svcgate
