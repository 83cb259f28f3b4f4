// A record of the queue interface as every caller must hand it over: zero-filled, with its
// structure id and version set.
#pragma once

#include "rimqapi.h"

namespace velt::rimqtest {

template <typename T>
T Record(const char* strucId) {
  T r;
  RIMQ_INIT_RECORD(r, strucId);
  return r;
}

}  // namespace velt::rimqtest
