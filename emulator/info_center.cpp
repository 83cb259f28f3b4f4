// The emulator's information centre.
#include "info_center.h"

#include <chrono>
#include <cstdio>
#include <random>
#include <set>

#include "builtin_programs.h"

namespace veltemu {
namespace {

constexpr int kMaxDeliveryExpirySeconds = 7 * 24 * 3600;

// Values of a publish request that steer the publication instead of belonging to its content.
const std::set<std::string> kPublishControls = {"e", "pubuserid", "pubpasswd", "expiry", "pubmode", "topicname"};

void Result(Answer& a, int code, const std::string& message) {
  a.BeginTable("result", std::vector<std::string>{"CODE", "MSG"});
  a.AddRow({std::to_string(code), message});
}

// The answer of a successful call: CODE 0, then the call's own values as a second result set.
void Success(Answer& a, const std::vector<std::string>& columns, const std::vector<std::vector<std::string>>& rows,
             const std::map<int, std::string>& binaryCells = {}) {
  Result(a, kInfoOk, "");
  a.BeginTable("data", columns);
  for (const auto& row : rows) a.AddRow(row, binaryCells);
}

std::string Text(const Request& r, const char* name) { return r.Value(name).value_or(""); }

std::string Joined(const std::vector<std::string>& units) {
  std::string text;
  for (const std::string& u : units) {
    if (!text.empty()) text.push_back('&');
    text += u;
  }
  return text;
}

// The delivered text: the publication's numbers and flags, then its content.
std::vector<std::string> DeliveryUnits(long long pubNo, long long subNo, const std::string& topic, long long pubMode,
                                       bool needCheck, bool haveData, const std::vector<std::string>& content) {
  Answer head;
  head.SetInteger("pubno", pubNo);
  head.SetInteger("subno", subNo);
  head.SetValue("topicname", topic);
  head.SetInteger("pubmode", pubMode);
  head.SetInteger("needcheck", needCheck ? 1 : 0);
  head.SetInteger("havedata", haveData ? 1 : 0);
  std::vector<std::string> units = head.TakeUnits();
  if (haveData) units.insert(units.end(), content.begin(), content.end());
  return units;
}

}  // namespace

InfoCenter::InfoCenter() {
  char prefix[16];
  std::snprintf(prefix, sizeof prefix, "IC%06X", static_cast<unsigned>(std::random_device{}() & 0xFFFFFF));
  idPrefix_ = prefix;
}

bool InfoCenter::IsService(const std::string& program) {
  return program == "09010101" || program == "09010102" || program == "09010103" || program == "09010105" ||
         program == "09010106" || program == "09010108";
}

void InfoCenter::Serve(const Request& r, const std::string& replyQueue, Answer& a, std::vector<Delivery>& deliveries) {
  std::lock_guard<std::mutex> guard(mutex_);
  const std::string& service = r.program();
  if (service == "09010101") return Subscribe(r, replyQueue, a);
  if (service == "09010102") return Unsubscribe(r, a);
  if (service == "09010103") return Publish(r, a, deliveries);
  if (service == "09010105") return Fetch(r, a);
  if (service == "09010106") return Acknowledge(r, a);
  return ListPending(r, a);
}

void InfoCenter::Subscribe(const Request& r, const std::string& replyQueue, Answer& a) {
  const std::string user = Text(r, "subuserid");
  const std::string topic = Text(r, "topicname");
  if (user.empty() || topic.empty()) return Result(a, kInfoMissingValue, "subuserid and topicname are required");
  // A user subscribing to a topic again (back from being away, or from another process) keeps
  // its subscription, its message id and what it has not yet received; only the queue changes.
  long long subNo = 0;
  for (auto& [number, s] : subscriptions_)
    if (s.user == user && s.topic == topic) subNo = number;
  if (subNo == 0) {
    subNo = nextSubscription_++;
    char id[32];
    std::snprintf(id, sizeof id, "%s%016lld", idPrefix_.c_str(), subNo);
    subscriptions_[subNo] = Subscription{user, topic, std::string(id, 24), replyQueue, 0};
  }
  Subscription& s = subscriptions_[subNo];
  s.queue = replyQueue;
  s.subMode = r.Integer("submode").value_or(0);
  Success(a, {"subno", "msgid"}, {{std::to_string(subNo), s.messageId}});
}

void InfoCenter::Unsubscribe(const Request& r, Answer& a) {
  const auto subNo = r.Integer("subno");
  if (!subNo) return Result(a, kInfoMissingValue, "subno is required");
  if (subscriptions_.erase(*subNo) == 0) return Result(a, kInfoUnknownSubscription, "no such subscription");
  pending_.erase(pending_.lower_bound({*subNo, 0}), pending_.lower_bound({*subNo + 1, 0}));
  Result(a, kInfoOk, "");
}

void InfoCenter::Publish(const Request& r, Answer& a, std::vector<Delivery>& deliveries) {
  const std::string topic = Text(r, "topicname");
  if (topic.empty()) return Result(a, kInfoMissingValue, "topicname is required");
  const long long pubMode = r.Integer("pubmode").value_or(0);
  const long long expiry = std::min<long long>(std::max<long long>(r.Integer("expiry").value_or(0), 1),
                                               kMaxDeliveryExpirySeconds);
  Answer content;
  CopyRequestContent(r, content, kPublishControls);
  const std::vector<std::string> contentUnits = content.TakeUnits();
  std::size_t contentBytes = 0;
  for (const std::string& u : contentUnits) contentBytes += u.size();
  const bool inline_ = contentBytes <= kInlinePublicationBytes;
  const long long pubNo = nextPublication_++;
  for (const auto& [subNo, s] : subscriptions_) {
    if (s.topic != topic) continue;
    const bool needCheck = (pubMode & 0xF) == 1 || (s.subMode & 0xF) == 1;
    const std::string full = Joined(DeliveryUnits(pubNo, subNo, topic, pubMode, needCheck, true, contentUnits));
    // Kept until acknowledged or fetched: a subscriber away (or a lost queue) finds it listed.
    if (needCheck || !inline_) pending_[{subNo, pubNo}] = Pending{s.subMode, pubMode, needCheck, full};
    deliveries.push_back(Delivery{s.queue, s.messageId,
                                  DeliveryUnits(pubNo, subNo, topic, pubMode, needCheck, inline_, contentUnits),
                                  static_cast<int>(expiry)});
  }
  Success(a, {"pubno"}, {{std::to_string(pubNo)}});
}

bool InfoCenter::Numbers(const Request& r, Answer& a, PendingKey& key) {
  const auto pubNo = r.Integer("pubno");
  const auto subNo = r.Integer("subno");
  if (!pubNo || !subNo) {
    Result(a, kInfoMissingValue, "pubno and subno are required");
    return false;
  }
  key = {*subNo, *pubNo};
  if (pending_.count(key) == 0) {
    Result(a, kInfoUnknownPublication, "no such publication pending for the subscription");
    return false;
  }
  return true;
}

void InfoCenter::Fetch(const Request& r, Answer& a) {
  PendingKey key;
  if (!Numbers(r, a, key)) return;
  const Pending p = pending_[key];
  // Fetched data counts as received unless the subscriber still has to acknowledge it.
  if (!p.needCheck) pending_.erase(key);
  Success(a, {"datalen", "pubdata"}, {{std::to_string(p.text.size()), ""}}, {{2, p.text}});
}

void InfoCenter::Acknowledge(const Request& r, Answer& a) {
  PendingKey key;
  if (!Numbers(r, a, key)) return;
  pending_.erase(key);
  Success(a, {"status"}, {{"1"}});
}

void InfoCenter::ListPending(const Request& r, Answer& a) {
  const std::string user = Text(r, "subuserid");
  const std::string topic = Text(r, "subtopicname");
  const long long only = r.Integer("subno").value_or(-1);
  std::vector<std::vector<std::string>> rows;
  for (const auto& [key, p] : pending_) {
    const auto s = subscriptions_.find(key.first);
    if (s == subscriptions_.end() || s->second.topic != topic || (!user.empty() && s->second.user != user)) continue;
    if (only > 0 && key.first != only) continue;
    rows.push_back({std::to_string(key.second), std::to_string(key.first), std::to_string(p.subMode),
                    std::to_string(p.pubMode)});
  }
  Success(a, {"pubno", "subno", "submode", "pubmode"}, rows);
}

}  // namespace veltemu
