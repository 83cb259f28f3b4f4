// The configuration files as a user may write them: the input (split at the first byte 0xFF)
// becomes "LUNQCli.ini" and "rimqapi.ini" in a private current folder, then the server list is
// loaded for a few names and the single-value readers are asked for what the entries use.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "transport/config_reader.h"

namespace {

void Write(const char* name, const std::uint8_t* data, std::size_t size) {
  FILE* f = std::fopen(name, "wb");
  if (f == nullptr) std::abort();
  if (size > 0) std::fwrite(data, 1, size, f);
  std::fclose(f);
}

bool EnterPrivateFolder() {
  char folder[] = "/tmp/velt-config-fuzz-XXXXXX";
  return mkdtemp(folder) != nullptr && chdir(folder) == 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const bool entered = EnterPrivateFolder();
  if (!entered) std::abort();
  std::size_t split = 0;
  while (split < size && data[split] != 0xFF) ++split;
  Write(velt::config::kClientFile, data, split);
  Write(velt::config::kQueueManagerFile, split < size ? data + split + 1 : data, split < size ? size - split - 1 : 0);

  tagVELTConnectOptionEx slots[velt::config::kMaxServerEntries];
  char section[33];
  for (const char* name : {"S1", "main", "G"}) velt::config::LoadServerList(name, slots);
  if (velt::config::ReadSectionName(velt::config::kClientFile, 0, section, sizeof section) == 0) {
    velt::config::LoadServerList(section, slots);
    char value[257];
    velt::config::ReadKeyValue(velt::config::kClientFile, section, "RIMQQManager", value, sizeof value);
    int port = 0;
    velt::config::ReadQueueManagerInt(velt::config::kQueueManagerFile, value, "QMgrPort", &port);
    velt::config::ReadQueueManagerValue(velt::config::kQueueManagerFile, value, "SSL", value, sizeof value);
  }
  return 0;
}
