// Helpers every engine shares.
#include "queue_connection.h"

#include <algorithm>

namespace velt::rimq {

int DeliverInto(GetTarget& target, const Envelope& envelope, std::string_view body) {
  target.envelope = envelope;
  target.length = body.size();
  const std::size_t n = std::min(body.size(), target.capacity);
  if (n > 0) std::copy_n(body.data(), n, target.buffer);
  return body.size() > target.capacity ? RIMQRC_TRUNCATED_MSG_FAILED : 0;
}

}  // namespace velt::rimq
