// Creation of the transport settings: client ids and reply tag.
#include "transport/transport_settings.h"

#include <mutex>
#include <string>

#include "platform/paths.h"
#include "platform/process.h"
#include "support/ascii_text.h"
#include "support/process_lock.h"

namespace velt {

TransportSettings::TransportSettings() {
  {
    // Sessions created on several threads would otherwise query the adapters at once.
    std::lock_guard<std::mutex> guard(ProcessLock());
    ids = MakeClientIds(std::time(nullptr));
  }
  const std::string tag = MakeReplyTag(ids.shortClientId, static_cast<std::uint32_t>(platform::ProcessId()),
                                       platform::CurrentDirectory());
  CopyBounded(replyTag, sizeof replyTag, tag.c_str());
}

}  // namespace velt
