// One text per number. A number that means different things in different functions (1, 2, 100,
// -1, ...) gets every meaning, each as "function: meaning", joined by "; ", so a caller that only
// has the number still sees the meaning of the function it called; a number with one meaning
// gets that meaning alone.
#include "core/code_text.h"

#include <cstdio>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "codec/cursor_codes.h"
#include "codec/request_codes.h"
#include "rimqapi.h"
#include "support/value_codes.h"
#include "transport/transport_codes.h"
#include "veltplugin.h"
#include "wire/emulator_statuses.h"

namespace velt {
namespace {

using Texts = std::map<int, std::string>;
using Meanings = std::map<int, std::vector<std::pair<std::string, std::string>>>;   // where, meaning

void Add(Meanings& meanings, int code, const std::string& where, const std::string& meaning) {
  meanings[code].emplace_back(where, meaning);
}

Texts Joined(const Meanings& meanings) {
  Texts texts;
  for (const auto& [code, list] : meanings) {
    std::string& text = texts[code];
    for (const auto& [where, meaning] : list) {
      if (!text.empty()) text += "; ";
      text += list.size() == 1 || where.empty() ? meaning : where + ": " + meaning;
    }
  }
  return texts;
}

// The doc rows of a list name the functions; only the first is kept, the meaning covers the rest.
std::string FirstFunction(const char* rows) {
  const std::string all(rows);
  return all.substr(0, all.find(','));
}

Texts BuildTexts() {
  Meanings texts;
#define VELT_ADD_CODE(name, number, rows, meaning) \
  if (rows[0] != '\0') Add(texts, number, FirstFunction(rows), meaning);
  VELT_TRANSPORT_CODES(VELT_ADD_CODE)
  VELT_VALUE_CODES(VELT_ADD_CODE)
  VELT_REQUEST_CODES(VELT_ADD_CODE)
  VELT_CURSOR_CODES(VELT_ADD_CODE)
#undef VELT_ADD_CODE
  const struct {
    int code;
    const char* meaning;
  } plugin[] = {
      {VELTPLUGIN_ERR_SLOT_INDEX, "plug-in slot index outside 0..15"},
      {VELTPLUGIN_ERR_LOAD, "the plug-in library cannot be loaded"},
      {VELTPLUGIN_ERR_NO_ENTRY, "the plug-in entry function is not exported"},
      {VELTPLUGIN_ERR_NO_TABLE, "the plug-in entry function returned no table"},
      {VELTPLUGIN_ERR_INITIALISE, "the plug-in initialise failed"},
      {VELTPLUGIN_ERR_CONNECT, "the plug-in connect failed"},
      {VELTPLUGIN_ERR_CONFIGURE, "the plug-in configure failed"},
      {VELTPLUGIN_ERR_DISCONNECT, "the plug-in disconnect failed"},
      {VELTPLUGIN_ERR_SEND_NO_TABLE, "plug-in send: no plug-in connected"},
      {VELTPLUGIN_ERR_SEND_MISSING, "plug-in send: no send function"},
      {VELTPLUGIN_ERR_SEND_THREW, "plug-in send failed"},
      {VELTPLUGIN_ERR_SEND_TOO_LONG, "plug-in send: request longer than one packet states; not sent"},
      {VELTPLUGIN_ERR_RECV_NO_TABLE, "plug-in receive: no plug-in connected"},
      {VELTPLUGIN_ERR_RECV_MISSING, "plug-in receive: no receive function"},
      {VELTPLUGIN_ERR_RECV_THREW, "plug-in receive failed"},
      {VELTPLUGIN_ERR_RECV_NO_MEMORY, "plug-in receive: no memory for the answer"},
      {VELTPLUGIN_ERR_RECV_BAD_ANSWER, "plug-in receive: not a whole answer"},
  };
  for (const auto& p : plugin) Add(texts, p.code, "", p.meaning);
  // Queue-library reasons come back from connects and calls unchanged.
  for (int reason = 2000; reason < 3000; ++reason) {
    const std::string text = RIMQ_ReasonText(reason);
    if (text.rfind("unknown reason", 0) != 0) Add(texts, reason, "queue library", text);
  }
#define VELT_ADD_STATUS(name, number, text) Add(texts, number, "emulator", text);
  VELT_EMULATOR_STATUSES(VELT_ADD_STATUS)
#undef VELT_ADD_STATUS
  texts[0] = {{"", "success"}};
  return Joined(texts);
}

}  // namespace

const char* CodeText(int code) noexcept {
  try {
    static const Texts texts = BuildTexts();
    if (const auto it = texts.find(code); it != texts.end()) return it->second.c_str();
  } catch (...) {
    // No memory for the table: the number alone below.
  }
  thread_local char unknown[32];
  std::snprintf(unknown, sizeof unknown, "unknown code %d", code);
  return unknown;
}

}  // namespace velt
