// Creation of the transport settings: client ids and reply tag.
#include "core/transport_settings.h"

#include <unistd.h>

#include <climits>
#include <mutex>
#include <string>

#include "core/ascii_text.h"
#include "core/frame_state.h"

namespace velt {
namespace {

std::string CurrentFolder() {
  char buf[PATH_MAX];
  return getcwd(buf, sizeof buf) != nullptr ? std::string(buf) : std::string();
}

}  // namespace

TransportSettings::TransportSettings() {
  {
    // Sessions created on several threads would otherwise query the adapters at once.
    std::lock_guard<std::mutex> guard(FrameLock());
    ids = MakeClientIds(std::time(nullptr));
  }
  const std::string tag = MakeReplyTag(ids.shortClientId, static_cast<std::uint32_t>(getpid()), CurrentFolder());
  CopyBounded(replyTag, sizeof replyTag, tag.c_str());
}

}  // namespace velt
