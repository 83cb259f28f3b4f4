// The subscription store and its one instance.
#include "infocenter/info_center_data.h"

#include <atomic>
#include <cstring>

#include "support/ascii_text.h"

namespace velt {
namespace {

std::mutex g_creationLock;
std::atomic<CInfoCenterData*> g_instance{nullptr};

// A stored text is the first 256 characters of the control's.
void TakeTexts(ST_NB_INFOCENTERDATA& record, const tagInfoControl& control) {
  CopyBounded(record.szUserId, sizeof record.szUserId, control.szUserId);
  char topic[sizeof control.szTopicName];
  CopyBounded(topic, sizeof topic, control.szTopicName);
  CopyBounded(record.szTopicName, sizeof record.szTopicName, topic);
}

}  // namespace

template <>
CInfoCenterData& Singleton<CInfoCenterData>::Instance() {
  CInfoCenterData* instance = g_instance.load(std::memory_order_acquire);
  if (instance != nullptr) return *instance;
  std::lock_guard<std::mutex> guard(g_creationLock);
  instance = g_instance.load(std::memory_order_relaxed);
  if (instance == nullptr) {
    instance = new CInfoCenterData;   // lives until the process ends
    g_instance.store(instance, std::memory_order_release);
  }
  return *instance;
}

long long CInfoCenterData::Register(const tagInfoControl& control, const ST_NB_INFOCENTERDATA& record) {
  if (control.szUserId[0] == '\0' || control.szTopicName[0] == '\0') return -1;
  // The caller owns the control: never read past its fields, terminated or not.
  const std::size_t userLength = strnlen(control.szUserId, sizeof control.szUserId);
  const std::size_t topicLength = strnlen(control.szTopicName, sizeof control.szTopicName);
  const long long given = control.n64SubNo;   // a copy: the packed field is not aligned for a reference
  std::lock_guard<std::mutex> guard(lock_);
  long long key = 0;
  bool found = given != 0 && subscriptions_.Find(given) != nullptr;
  if (found) key = given;
  subscriptions_.Rewind();
  long long k = 0;
  ST_NB_INFOCENTERDATA* stored = nullptr;
  while (!found && subscriptions_.Next(&k, &stored)) {
    if (strnlen(stored->szUserId, sizeof stored->szUserId) == userLength &&
        strnlen(stored->szTopicName, sizeof stored->szTopicName) == topicLength &&
        std::memcmp(stored->szUserId, control.szUserId, userLength) == 0 &&
        std::memcmp(stored->szTopicName, control.szTopicName, topicLength) == 0) {
      found = true;
      key = k;
    }
  }
  if (found) {
    ST_NB_INFOCENTERDATA* entry = subscriptions_.Find(key);
    *entry = record;
    TakeTexts(*entry, control);
    return key;
  }
  ST_NB_INFOCENTERDATA copy = record;
  TakeTexts(copy, control);
  key = nextNumber_;
  subscriptions_.Insert(key, &copy, true);   // throws before the number is spent
  ++nextNumber_;
  return key;
}

bool CInfoCenterData::Find(long long internalNumber, long long* platformNumber) {
  std::lock_guard<std::mutex> guard(lock_);
  const ST_NB_INFOCENTERDATA* entry = subscriptions_.Find(internalNumber);
  if (entry == nullptr) return false;
  if (platformNumber != nullptr) *platformNumber = entry->n64PlatformSubNo;
  return true;
}

int CInfoCenterData::Remove(long long internalNumber) {
  std::lock_guard<std::mutex> guard(lock_);
  return subscriptions_.Erase(internalNumber) ? 0 : -1;
}

}  // namespace velt
