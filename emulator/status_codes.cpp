// Texts of the emulator's own answer statuses.
#include "status_codes.h"

namespace veltemu {

const char* StatusText(int status) noexcept {
  switch (status) {
    case kStatusOk: return "ok";
    case kStatusUnknownService: return "unknown service";
    case kStatusBadChecksum: return "request packet checksum mismatch";
    case kStatusBadLength: return "request packet length field exceeds the packet";
    case kStatusBadSequence: return "request packets out of sequence";
    case kStatusRequestTooLarge: return "request too large";
    case kStatusMalformedPacket: return "queue message shorter than a packet header";
    case kStatusUnknownTransaction: return "unknown transaction";
    case kStatusBadCall: return "call type and transaction mode do not fit";
    case kStatusTooManyTransactions: return "too many open transactions";
    case kStatusTooManySessions: return "too many sessions";
    case kStatusBadArgument: return "bad argument";
    case kStatusAnswerTooLarge: return "answer too large";
    case kStatusProgramFailed: return "program failed";
    case kStatusStoreFull: return "key-value store full";
    case kStatusStopping: return "emulator stopping";
    default: return "unknown status";
  }
}

}  // namespace veltemu
