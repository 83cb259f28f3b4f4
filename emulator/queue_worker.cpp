// The worker's queue loop.
#include "queue_worker.h"

#include <algorithm>
#include <cstring>

#include "answer_cutter.h"

namespace veltemu {
namespace {

constexpr std::chrono::milliseconds kFirstBackoff{50};
constexpr std::chrono::milliseconds kLastBackoff{2000};
constexpr std::chrono::milliseconds kStrayPause{20};
constexpr int kPollSeconds = 1;

std::string Id(const char* field) { return std::string(field, 24); }

void SetCorrelation(RIMQMD& md, int number) {
  std::memset(md.abCorrelId, 0, sizeof md.abCorrelId);
  const std::string text = std::to_string(number);
  std::memcpy(md.abCorrelId, text.data(), std::min(text.size(), sizeof md.abCorrelId));
}

std::string Printable(const std::string& id) {
  std::string out;
  for (const char c : id) {
    if (c == '\0') break;
    out += (c >= 0x20 && c < 0x7F) ? c : '?';
  }
  return out;
}

}  // namespace

QueueWorker::QueueWorker(const EmulatorConfig& config, WorkerShared shared)
    : config_(config),
      shared_(shared),
      link_(QueueEndpoint{config.protocol, config.address, config.port, config.user, config.password},
            config.requestQueue),
      buffer_(RIMQ_MAX_MSG_LENGTH) {}

bool QueueWorker::Reconnect() {
  auto backoff = kFirstBackoff;
  bool logged = false;
  while (!shared_.stop.raised()) {
    link_.Disconnect();
    const int reason = link_.Connect();
    if (reason == 0) {
      if (logged) shared_.log.Problem("queue connection rebuilt");
      return true;
    }
    if (reason == RIMQRC_INTERRUPTED) return false;
    if (!logged) shared_.log.Problem("queue connection lost (reason " + std::to_string(reason) + "), retrying");
    logged = true;
    if (!shared_.stop.WaitFor(backoff)) return false;
    backoff = std::min(backoff * 2, kLastBackoff);
  }
  return false;
}

void QueueWorker::Run() {
  while (!shared_.stop.raised()) {
    if (!link_.connected() && !Reconnect()) break;
    RIMQMD md = NewDescriptor();
    int length = 0;
    const int reason = link_.Get(md, RIMQMO_NONE, kPollSeconds, buffer_, length);
    if (reason == 0) {
      shared_.stats.packetsReceived++;
      HandlePacket(md, length);
    } else if (ConnectionBroken(reason)) {
      if (!Reconnect()) break;
    } else if (reason == RIMQRC_TRUNCATED_MSG_FAILED) {
      shared_.log.Problem("request message of " + std::to_string(length) + " bytes passes the get buffer: dropped");
    } else if (reason != RIMQRC_NO_MSG_AVAILABLE && reason != RIMQRC_INTERRUPTED) {
      shared_.log.Problem("get failed (reason " + std::to_string(reason) + ")");
      shared_.stop.WaitFor(kFirstBackoff);
    }
  }
  link_.Disconnect();
}

void QueueWorker::HandlePacket(const RIMQMD& md, int length) {
  const std::string_view packet(buffer_.data(), static_cast<std::size_t>(length));
  JoinResult result = joiner_.Feed(Id(md.abMsgId), packet, Clock::now());
  switch (result.status) {
    case JoinStatus::kStray: return PutBack(md, packet);
    case JoinStatus::kDropped:
      shared_.stats.droppedRequests++;
      shared_.log.Problem("request " + Printable(Id(md.abMsgId)) + " dropped: " + result.note);
      return;
    case JoinStatus::kNeedMore:
      if (!Collect(md, result)) return;
      break;
    case JoinStatus::kComplete: break;
  }
  Serve(md, result.request);
}

bool QueueWorker::Collect(const RIMQMD& first, JoinResult& result) {
  const std::string id = Id(first.abMsgId);
  for (int sequence = 1;;) {
    RIMQMD md = NewDescriptor();
    std::memcpy(md.abMsgId, first.abMsgId, sizeof md.abMsgId);
    SetCorrelation(md, sequence);
    int length = 0;
    const int reason = link_.Get(md, RIMQMO_MATCH_MSG_AND_CORREL_ID, config_.collectSeconds, buffer_, length);
    if (reason == 0) {
      shared_.stats.packetsReceived++;
      result = joiner_.Feed(id, std::string_view(buffer_.data(), static_cast<std::size_t>(length)), Clock::now());
      if (result.status == JoinStatus::kComplete) return true;
      if (result.status != JoinStatus::kNeedMore) break;
      ++sequence;
      continue;
    }
    if (ConnectionBroken(reason) && Reconnect()) continue;
    result.note = reason == RIMQRC_NO_MSG_AVAILABLE
                      ? "packet " + std::to_string(sequence) + " did not come within " +
                            std::to_string(config_.collectSeconds) + " s"
                      : "get of packet " + std::to_string(sequence) + " failed (reason " + std::to_string(reason) + ")";
    break;
  }
  joiner_.Drop(id);
  shared_.stats.droppedRequests++;
  shared_.log.Problem("request " + Printable(id) + " dropped: " + result.note);
  return false;
}

void QueueWorker::PutBack(RIMQMD md, std::string_view packet) {
  const std::string key = Id(md.abMsgId) + Id(md.abCorrelId);
  switch (shared_.strays.Seen(key, Clock::now())) {
    case StrayTable::Verdict::kDrop:
      shared_.log.Problem("continuation packet " + Printable(Id(md.abCorrelId)) + " of request " +
                          Printable(Id(md.abMsgId)) + " has no collector: dropped");
      return;
    case StrayTable::Verdict::kPutBackAfterPause:
      if (!shared_.stop.WaitFor(kStrayPause)) return;
      break;
    case StrayTable::Verdict::kPutBack: break;
  }
  shared_.stats.strayPackets++;
  // The original expiry is not known here: the packet lives as long as a collector would wait.
  md.nExpiry = 2 * 1000 * config_.collectSeconds;
  int reason = link_.PutRequestQueue(md, packet.data(), packet.size());
  if (ConnectionBroken(reason) && Reconnect()) reason = link_.PutRequestQueue(md, packet.data(), packet.size());
  if (reason != 0) shared_.log.Problem("putting back a continuation packet failed (reason " + std::to_string(reason) + ")");
}

void QueueWorker::Serve(const RIMQMD& origin, const JoinedRequest& request) {
  const std::string queue(origin.szReplyToQ, strnlen(origin.szReplyToQ, sizeof origin.szReplyToQ));
  CallOutcome outcome = shared_.dispatcher.Handle(request, Clock::now(), queue);
  const std::vector<std::string> parts = PackParts(std::move(outcome.units));
  std::size_t answerBytes = 0;
  for (const std::string& p : parts) answerBytes += p.size();
  std::vector<std::string> packets = CutPackets(parts, outcome.header);
  ApplyFault(packets, outcome.fault);
  shared_.log.Call(request.header.sessionNumber, outcome.program, request.header.callType, outcome.header.status,
                   request.bytes, answerBytes);

  // Publications are on their queues before the publisher hears that its publish is done, so
  // two publications of one publisher reach every subscriber in the order they were made.
  Deliver(outcome);
  if (queue.empty()) {
    shared_.stats.droppedRequests++;
    shared_.log.Problem("request " + Printable(request.messageId) + " names no reply queue: not answered");
    return;
  }
  if (PutAnswer(origin, queue, packets)) shared_.stats.callsAnswered++;
  else shared_.stats.droppedRequests++;
}

// Each publication under its subscription's message id.
void QueueWorker::Deliver(CallOutcome& outcome) {
  velt::wire::PacketHeader header = outcome.header;
  header.status = 0;
  for (Delivery& d : outcome.deliveries) {
    if (d.queue.empty()) continue;
    const std::vector<std::string> packets = CutPackets(PackParts(std::move(d.units)), header);
    RIMQMD origin = NewDescriptor();
    std::memcpy(origin.abMsgId, d.messageId.data(), std::min(d.messageId.size(), sizeof origin.abMsgId));
    if (!PutAnswer(origin, d.queue, packets, d.expirySeconds)) shared_.stats.droppedRequests++;
  }
}

bool QueueWorker::PutAnswer(const RIMQMD& origin, const std::string& queue, const std::vector<std::string>& packets,
                            int expirySeconds) {
  for (std::size_t i = 0; i < packets.size(); ++i) {
    RIMQMD md = NewDescriptor();
    std::memcpy(md.abMsgId, origin.abMsgId, sizeof md.abMsgId);
    SetCorrelation(md, static_cast<int>(i));
    std::memcpy(md.abReplyTag, origin.abReplyTag, sizeof md.abReplyTag);
    md.cMsgType = 2;
    md.nExpiry = 1000 * (expirySeconds > 0 ? expirySeconds : config_.answerExpirySeconds);
    md.nFormat = 5;
    md.nMsgLength = static_cast<int>(packets[i].size());
    int reason = link_.Put(queue, md, packets[i].data(), packets[i].size());
    // Over Redis a put cut by a broken connection may or may not have landed: put it once more,
    // a duplicate only waits for its expiry.
    if (ConnectionBroken(reason) && Reconnect()) reason = link_.Put(queue, md, packets[i].data(), packets[i].size());
    if (reason != 0) {
      shared_.log.Problem("answer to " + Printable(Id(origin.abMsgId)) + " on '" + queue + "' failed at packet " +
                          std::to_string(i) + " (reason " + std::to_string(reason) + ")");
      return false;
    }
  }
  return true;
}

}  // namespace veltemu
