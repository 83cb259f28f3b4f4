// What an emulator has done so far: counters shared by its workers and a plain copy of them.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>

namespace veltemu {

struct Stats {
  std::uint64_t packetsReceived = 0;   // request packets taken from the queue (strays included)
  std::uint64_t requests = 0;          // requests joined and handled
  std::uint64_t callsAnswered = 0;     // answers put completely on their reply queue
  std::uint64_t signOns = 0;
  std::uint64_t signOffs = 0;
  std::uint64_t errorAnswers = 0;      // answers with a nonzero status
  std::uint64_t droppedRequests = 0;   // requests never answered (packets missing, no reply queue, put failed)
  std::uint64_t strayPackets = 0;      // continuation packets put back for the worker collecting them
  std::uint64_t damagedRequests = 0;   // checksum, length, sequence or size faults
  std::array<std::uint64_t, 16> callsByType{};   // requests handled, by header call type
};

struct StatsCounters {
  std::atomic<std::uint64_t> packetsReceived{0};
  std::atomic<std::uint64_t> requests{0};
  std::atomic<std::uint64_t> callsAnswered{0};
  std::atomic<std::uint64_t> signOns{0};
  std::atomic<std::uint64_t> signOffs{0};
  std::atomic<std::uint64_t> errorAnswers{0};
  std::atomic<std::uint64_t> droppedRequests{0};
  std::atomic<std::uint64_t> strayPackets{0};
  std::atomic<std::uint64_t> damagedRequests{0};
  std::array<std::atomic<std::uint64_t>, 16> callsByType{};

  Stats Snapshot() const {
    Stats s;
    s.packetsReceived = packetsReceived.load();
    s.requests = requests.load();
    s.callsAnswered = callsAnswered.load();
    s.signOns = signOns.load();
    s.signOffs = signOffs.load();
    s.errorAnswers = errorAnswers.load();
    s.droppedRequests = droppedRequests.load();
    s.strayPackets = strayPackets.load();
    s.damagedRequests = damagedRequests.load();
    for (std::size_t i = 0; i < s.callsByType.size(); ++i) s.callsByType[i] = callsByType[i].load();
    return s;
  }
};

}  // namespace veltemu
