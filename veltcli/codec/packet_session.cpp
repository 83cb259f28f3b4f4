// Answer parts entering the packet buffer, and the process-wide empty-values option.
#include "codec/packet_session.h"

#include <atomic>
#include <climits>
#include <cstring>

#include "codec/cursor_codes.h"

namespace velt {
namespace {

std::atomic<int> g_emptyValues{1};

}  // namespace

int PacketSession::ContinueReading() {
  if (AnswerComplete()) return kContinueAnswerComplete;
  if (answerSource == nullptr) return kContinueNothingToRead;
  return answerSource->ContinueReading(*this);
}

int PacketSession::StoreAnswerText(const char* text, std::size_t length) {
  if (length >= static_cast<std::size_t>(INT_MAX) || !packet.Grow(length + 1)) return kStoreAnswerNoMemory;
  if (length > 0) std::memmove(packet.Data(), text, length);
  packet.Data()[length] = '\0';
  ++packetRevision;
  answerScanPosition = 0;
  // The codec reads the length from here instead of scanning the text for it.
  rs.textLength = static_cast<int>(length);
  rs.textData = packet.Data();
  rs.textCapacity = packet.Capacity();
  rs.textRevision = packetRevision;
  return 0;
}

int EmptyValuesOption() noexcept { return g_emptyValues.load(std::memory_order_relaxed); }
void SetEmptyValuesOption(int value) noexcept { g_emptyValues.store(value, std::memory_order_relaxed); }

}  // namespace velt
