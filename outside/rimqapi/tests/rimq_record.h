// A record of the queue interface as every caller must hand it over: zero-filled, with its
// structure id and version set.
#pragma once

#include <cstring>

#include "rimqapi.h"

namespace velt::rimqtest {

template <typename T>
T Record(const char* strucId) {
  T r;
  std::memset(&r, 0, sizeof r);
  std::memcpy(r.szStrucId, strucId, 8);
  std::memcpy(r.szVersion, RIMQ_RECORD_VERSION, 8);
  return r;
}

}  // namespace velt::rimqtest
