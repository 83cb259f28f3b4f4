// CInfoCenterData: the process-wide store of subscriptions. It gives each user id and topic
// pair one internal subscription number for the life of the process and remembers the platform's
// number of its latest subscribe, for every session of the process.
//
// Thread-safe: every operation holds the store's own lock for its whole duration; the single
// instance is created on first use under a process-wide lock and lives until the process ends.
#pragma once

#include <mutex>

#include "infocenter/lmap_struct.h"
#include "veltcli.h"

namespace velt {

// Access to the one instance of T, created on first use (pointer tested before and after the lock).
template <typename T>
class Singleton {
 public:
  virtual ~Singleton() = default;
  // Throws std::bad_alloc when the instance cannot be created.
  static T& Instance();
};

struct ST_NB_INFOCENTERDATA {
  long long n64PlatformSubNo;
  char szUserId[257];
  char szTopicName[257];
};

class CInfoCenterData : public Singleton<CInfoCenterData> {
 public:
  // The internal number for the control's user id and topic (a new one when the pair is not
  // stored); the record becomes the stored one. -1 when either text is empty.
  long long Register(const tagInfoControl& control, const ST_NB_INFOCENTERDATA& record);
  // The stored platform number of `internalNumber`; false when it is not stored.
  bool Find(long long internalNumber, long long* platformNumber);
  // 0 removed; -1 not stored.
  int Remove(long long internalNumber);

 private:
  std::mutex lock_;
  long long nextNumber_ = 1;
  CLMapStruct<long long, ST_NB_INFOCENTERDATA> subscriptions_;
};

}  // namespace velt
