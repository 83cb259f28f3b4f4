// The configuration reader and the server-list load.
#include "transport/config_reader.h"

#include <cstdio>
#include <cstring>
#include <new>

#include "support/alloc_hook.h"
#include "support/ascii_text.h"
#include "support/decimal.h"

namespace velt::config {
namespace {

constexpr std::size_t kMaxName = 32;
constexpr std::size_t kNameBuffer = kMaxName + 1;
constexpr std::size_t kPortBuffer = 20;   // 19 digits

// A text opened in text mode reads "\r\n" as "\n"; then the reader's own rules apply.
void Normalise(std::string& text) {
  std::size_t w = 0;
  for (std::size_t r = 0; r < text.size(); ++r) {
    const char c = text[r];
    if (c == ' ' || c == '\t') continue;
    if (c == '\r' && r + 1 < text.size() && text[r + 1] == '\n') continue;
    text[w++] = c == '\a' ? '\n' : c;
  }
  text.resize(w);
}

void CopyCut(std::string_view value, char* out, std::size_t capacity) {
  const std::size_t n = value.size() < capacity - 1 ? value.size() : capacity - 1;
  std::memcpy(out, value.data(), n);
  out[n] = '\0';
}

bool ValidName(const char* name) {
  if (name == nullptr) return false;
  const std::size_t n = std::strlen(name);
  return n >= 1 && n <= kMaxName;
}

bool EqualNoCaseWhole(const char* a, const char* b) {
  return std::strlen(a) == std::strlen(b) && EqualNoCase(a, b, std::strlen(a));
}

}  // namespace

bool LoadConfigText(const char* file, std::string& text) {
  text.clear();
  std::FILE* f = std::fopen(file, "rb");
  if (f == nullptr) return false;
  bool ok = false;
  try {
    char chunk[4096];
    std::size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, f)) > 0) {
      RequireAllocation(text.size() + n);
      text.append(chunk, n);
    }
    ok = !text.empty();
  } catch (const std::bad_alloc&) {
    text.clear();
  }
  std::fclose(f);
  if (ok) Normalise(text);
  return ok;
}

bool SectionNameIn(std::string_view text, int k, char* out, std::size_t capacity) {
  if (capacity == 0) return false;
  out[0] = '\0';
  if (k < 0) return false;
  std::size_t at = std::string_view::npos;
  for (int i = 0, from = 0; i <= k; ++i, from = static_cast<int>(at) + 1) {
    at = text.find('[', static_cast<std::size_t>(from));
    if (at == std::string_view::npos) return false;
  }
  const std::string_view rest = text.substr(at + 1);
  CopyCut(rest.substr(0, rest.find(']')), out, capacity);
  return true;
}

bool KeyValueIn(std::string_view text, const char* section, const char* key, char* out, std::size_t capacity) {
  if (capacity == 0) return false;
  out[0] = '\0';
  if (!ValidName(section) || !ValidName(key)) return false;
  char header[kMaxName + 3];
  const std::string_view head(header, static_cast<std::size_t>(std::snprintf(header, sizeof header, "[%s]", section)));
  const std::size_t at = text.find(head);
  if (at == std::string_view::npos || at + head.size() >= text.size()) return false;
  std::string_view body = text.substr(at + head.size());
  body = body.substr(0, body.find('['));
  char leadText[kMaxName + 2];
  const std::string_view lead(leadText, static_cast<std::size_t>(std::snprintf(leadText, sizeof leadText, "%s=", key)));
  const std::size_t k = body.find(lead);
  if (k == std::string_view::npos) return false;
  const std::string_view value = body.substr(k + lead.size());
  CopyCut(value.substr(0, value.find('\n')), out, capacity);
  return true;
}

bool QueueManagerValueIn(std::string_view text, const char* manager, const char* key, char* out,
                         std::size_t capacity) {
  if (capacity == 0) return false;
  out[0] = '\0';
  for (int i = 0;; ++i) {
    char section[24];
    if (i == 0) {
      std::snprintf(section, sizeof section, "QMgr");
    } else {
      std::snprintf(section, sizeof section, "QMgr%d", i);
    }
    char name[kNameBuffer];
    if (!KeyValueIn(text, section, "QMgrName", name, sizeof name)) return false;
    if (std::strcmp(name, manager) == 0) return KeyValueIn(text, section, key, out, capacity);
  }
}

int ReadSectionName(const char* file, int k, char* out, std::size_t capacity) {
  std::string text;
  if (capacity > 0) out[0] = '\0';
  return LoadConfigText(file, text) && SectionNameIn(text, k, out, capacity) ? 0 : -1;
}

int ReadKeyValue(const char* file, const char* section, const char* key, char* out, std::size_t capacity) {
  std::string text;
  if (capacity > 0) out[0] = '\0';
  return LoadConfigText(file, text) && KeyValueIn(text, section, key, out, capacity) ? 0 : -1;
}

int ReadQueueManagerValue(const char* file, const char* manager, const char* key, char* out,
                          std::size_t capacity) {
  std::string text;
  if (capacity > 0) out[0] = '\0';
  return LoadConfigText(file, text) && QueueManagerValueIn(text, manager, key, out, capacity) ? 0 : -1;
}

int ReadQueueManagerInt(const char* file, const char* manager, const char* key, int* out) {
  char digits[kPortBuffer];
  if (ReadQueueManagerValue(file, manager, key, digits, sizeof digits) != 0) return -1;
  *out = DecimalToInt(digits);
  return 0;
}

int BuildServerEntry(std::string_view clientText, std::string_view managerText, const char* section,
                     tagVELTConnectOptionEx* entry) {
  std::memset(entry, 0, sizeof *entry);
  CopyBounded(entry->szServerName, sizeof entry->szServerName, section);
  CopyBounded(entry->szReserved, sizeof entry->szReserved, section);
  char group[sizeof entry->szReserved];
  if (KeyValueIn(clientText, section, "GroupName", group, sizeof group)) {
    std::memcpy(entry->szReserved, group, sizeof group);
  }
  char manager[kNameBuffer];
  if (!KeyValueIn(clientText, section, "RIMQQManager", manager, sizeof manager)) return -1;
  if (KeyValueIn(clientText, section, "RequestQ2", entry->szSendQName, sizeof entry->szSendQName)) {
    if (!KeyValueIn(clientText, section, "AnswerQ2", entry->szReceiveQName, sizeof entry->szReceiveQName)) return -2;
  } else {
    if (!KeyValueIn(clientText, section, "RequestQName", entry->szSendQName, sizeof entry->szSendQName)) return -3;
    if (!KeyValueIn(clientText, section, "AnswerQName", entry->szReceiveQName, sizeof entry->szReceiveQName)) {
      return -4;
    }
  }
  if (!QueueManagerValueIn(managerText, manager, "QMgrIp", entry->szAddress, sizeof entry->szAddress)) return -5;
  char port[kPortBuffer];
  if (!QueueManagerValueIn(managerText, manager, "QMgrPort", port, sizeof port)) return -6;
  entry->nPort = DecimalToInt(port);
  QueueManagerValueIn(managerText, manager, "Proxy", entry->szProxy, sizeof entry->szProxy);
  QueueManagerValueIn(managerText, manager, "SSL", entry->szSSL, sizeof entry->szSSL);
  return 0;
}

int LoadServerList(const char* name, tagVELTConnectOptionEx (&slots)[kMaxServerEntries]) {
  std::memset(slots, 0, sizeof slots);
  if (name == nullptr) return 0;
  std::string clientText;
  std::string managerText;
  try {
    if (!LoadConfigText(kClientFile, clientText)) return 0;
    LoadConfigText(kQueueManagerFile, managerText);   // missing: the first entry fails at -5
  } catch (const std::bad_alloc&) {
    return 0;
  }
  int count = 0;
  for (int k = 0; count < kMaxServerEntries; ++k) {
    char section[kNameBuffer];
    if (!SectionNameIn(clientText, k, section, sizeof section)) break;
    tagVELTConnectOptionEx entry;
    if (BuildServerEntry(clientText, managerText, section, &entry) != 0) break;
    if (EqualNoCaseWhole(name, section) || EqualNoCaseWhole(name, entry.szReserved)) slots[count++] = entry;
  }
  return count;
}

}  // namespace velt::config
