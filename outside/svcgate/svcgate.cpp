// SvcGate_Call: request items in, one stand-alone call, the answer out as items.
#include "svcgate.h"

#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "lunqcli.h"
#include "answer_reader.h"
#include "item_list.h"

namespace {

int Call(LUNQCLI_HANDLE h, const char* serviceCode, const char* request, char* answer) {
  std::vector<velt::svcgate::Item> items;
  int rc = velt::svcgate::ReadRequestItems(request ? request : "", items);
  if (rc != SVCGATE_OK) return rc;
  if ((rc = LUNQCLI_BeginWrite(h)) != 0) return rc;
  for (const auto& item : items) {
    rc = LUNQCLI_SetValue(h, item.name.c_str(), item.value.c_str());
    if (rc == 2 && item.value.empty()) continue;   // empty values are not sent; services read them as absent
    if (rc != 0) return SVCGATE_E_MEMORY;           // the packet buffer could not grow
  }
  if ((rc = LUNQCLI_CallProgramAndCommit(h, serviceCode)) != 0) return rc;
  std::vector<velt::svcgate::Item> answerItems;
  if ((rc = velt::svcgate::ReadAnswer(h, answerItems)) != SVCGATE_OK) return rc;
  std::string text;
  if ((rc = velt::svcgate::WriteAnswerItems(answerItems, SVCGATE_ANSWER_MAX, text)) != SVCGATE_OK) return rc;
  std::memcpy(answer, text.c_str(), text.size() + 1);
  return SVCGATE_OK;
}

}  // namespace

extern "C" SVCGATE_API int SvcGate_Call(intptr_t handle, const char* serviceCode, const char* request, char* answer) {
  if (answer == nullptr) return SVCGATE_E_ARGUMENT;
  answer[0] = '\0';
  if (serviceCode == nullptr || serviceCode[0] == '\0') return SVCGATE_E_ARGUMENT;
  try {
    return Call(handle, serviceCode, request, answer);
  } catch (...) {   // only allocation can throw here
    answer[0] = '\0';
    return SVCGATE_E_MEMORY;
  }
}
