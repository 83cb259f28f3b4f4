// The information centre's own codes and their messages (GBK bytes, as the system emits them).
#pragma once

namespace velt {

enum InfoCode : int {
  kInfoBadControl = -100,
  kInfoNoPendingData = -101,
  kInfoBadExpiry = -104,
  kInfoBadUser = -106,
  kInfoBadNumberVariable = -108,
  kInfoBadTopic = -109,
  kInfoBadNumbers = -114,
  kInfoNotSubscribed = -120,
  kInfoOtherServer = 101,
};

// The message of `code`; the general information-centre failure text for any other code.
const char* InfoMessage(int code) noexcept;

}  // namespace velt
