// The information-centre calls: their checks, the values each request carries, and what each
// reads from its answer.
#include "infocenter/info_calls.h"

#include <ctime>
#include <memory>
#include <new>
#include <string>

#include "calls/service_calls.h"
#include "codec/answer_reader.h"
#include "codec/request_writer.h"
#include "codec/rs_cursor.h"
#include "infocenter/info_center_data.h"
#include "infocenter/info_exchange.h"
#include "infocenter/info_messages.h"
#include "infocenter/info_session_state.h"
#include "platform/debug_output.h"
#include "support/ascii_text.h"

namespace velt {
namespace {

constexpr std::size_t kUserChars = 128;
constexpr std::size_t kPasswordChars = 256;
constexpr std::size_t kTopicChars = 512;
constexpr std::size_t kTextChars = 1024;   // the longest other text field of the control
constexpr int kNoMemory = 1;

bool BadControl(const tagInfoControl* control) { return control == nullptr || control->nSize != sizeof(tagInfoControl); }
bool Empty(const char* text) { return text == nullptr || text[0] == '\0'; }

// One publication's data as the call holds it until it becomes the answer.
struct PublicationData {
  std::string bytes;
  bool present = false;
};

void AddSubscriber(CLUNQCliBase& s, const tagInfoControl& c) {
  AddIfSet(s, "subuserid", c.szUserId, kUserChars);
  AddIfSet(s, "subuserpwd", c.szPassword, kPasswordChars);
}

// The request of a fetch or an acknowledgement of one publication.
int PublicationRequest(CLUNQCliBase& s, const tagInfoControl* c, long long pubNo, long long subNo) {
  if (BadControl(c)) return RecordCheck(s, kInfoBadControl);
  if (c->szTopicName[0] == '\0') return RecordCheck(s, kInfoBadTopic);
  if (pubNo <= 0 || subNo <= 0) return RecordCheck(s, kInfoBadNumbers);
  BeginWrite(s);
  AddInt(s, "pubno", pubNo);
  AddInt(s, "subno", subNo);
  AddValue(s, "topicname", c->szTopicName, kTopicChars);
  AddSubscriber(s, *c);
  AddExtraValues(s, *c);
  return 0;
}

int Fetch(CLUNQCliBase& s, const tagInfoControl* c, long long pubNo, long long subNo, PublicationData& data) {
  int rc = PublicationRequest(s, c, pubNo, subNo);
  if (rc != 0) return rc;
  if ((rc = InfoExchange(s, kServiceFetch)) != 0) return rc;
  if ((rc = SecondResultSet(s)) != 0) return rc;
  char length[32];
  if (ReadColumn(s, "datalen", length, sizeof length) && DecimalToInt64(length) > 0) {
    unsigned char* bytes = nullptr;
    long n = 0;
    if (RsGetValByName(s, "pubdata", &bytes, &n) == 0 && n > 0) {
      data.bytes.assign(reinterpret_cast<const char*>(bytes), static_cast<std::size_t>(n));
      data.present = true;
    }
  }
  return FinalStatus(s, 0);
}

int Acknowledge(CLUNQCliBase& s, const tagInfoControl* c, long long pubNo, long long subNo) {
  int rc = PublicationRequest(s, c, pubNo, subNo);
  if (rc != 0) return rc;
  platform::DebugOutput("send 09010106");
  if ((rc = InfoExchange(s, kServiceAcknowledge)) != 0) return rc;
  if ((rc = SecondResultSet(s)) != 0) return rc;
  char status[64];
  ReadColumn(s, "status", status, sizeof status);   // read, not interpreted
  return FinalStatus(s, 0);
}

// The data become the current answer, read from its start.
int MakeAnswer(CLUNQCliBase& s, const PublicationData& data) {
  if (!data.present || data.bytes.empty()) return 0;
  ResetTableState(s);
  return s.StoreAnswerText(data.bytes.data(), data.bytes.size()) != 0 ? kNoMemory : 0;
}

long long ValueInt(CLUNQCliBase& s, const char* name, int chars) {
  char text[64];
  const int rc = GetValue(s, name, text, chars);
  if (rc != 0 && rc != 100) return 0;
  text[chars] = '\0';
  return DecimalToInt64(text);
}

// The server entry the session is connected through.
const char* ServerName(CLUNQCliBase& s) { return s.transport.CurrentEntryName(); }

int Subscribe(CLUNQCliBase& s, tagInfoControl* c, const char* userId, const char* topic, int callMode) {
  if (BadControl(c)) return RecordCheck(s, kInfoBadControl);
  if (c->nExpiry <= 0) return RecordCheck(s, kInfoBadExpiry);
  if (Empty(topic)) return RecordCheck(s, kInfoBadTopic);
  if (Empty(userId)) return RecordCheck(s, kInfoBadUser);
  CopyField(c->szTopicName, topic, kTopicChars);
  CopyField(c->szUserId, userId, kUserChars);
  c->nCbCallMode = callMode;
  BeginWrite(s);
  AddValue(s, "topicname", c->szTopicName);
  AddValue(s, "subuserid", c->szUserId);
  AddIfSet(s, "subuserpwd", c->szPassword, kPasswordChars);
  AddInt(s, "cbcallmode", c->nCbCallMode);
  AddInt(s, "expiry", c->nExpiry);
  AddValue(s, "cbqueueinfo", c->szCbQueueInfo, sizeof c->szCbQueueInfo - 1);
  AddValue(s, "cbparm", c->szCbParm, sizeof c->szCbParm - 1);
  AddValue(s, "subcontext", c->szSubContext, kTextChars);
  AddInt(s, "submode", c->nSubMode);
  AddValue(s, "filter", c->szFilter, sizeof c->szFilter - 1);
  AddInt(s, "flags", c->nFlags);
  AddExtraValues(s, *c);
  char server[sizeof c->szCorrId];
  CopyField(server, ServerName(s), sizeof server);
  int rc = InfoExchange(s, kServiceSubscribe);
  if (rc != 0) return rc;
  if ((rc = SecondResultSet(s)) != 0) return rc;
  c->tTimeStamp = static_cast<long long>(std::time(nullptr));
  CopyField(c->szCorrId, server, sizeof server);
  CopyField(c->szMsgId, s.savedMessageId, sizeof s.savedMessageId);
  std::memset(c->szId, 0, sizeof c->szId);
  ST_NB_INFOCENTERDATA record{};
  record.n64PlatformSubNo = ReadColumnInt(s, "subno");
  c->n64SubNo = CInfoCenterData::Instance().Register(*c, record);
  char msgId[sizeof c->szMsgId];
  if (ReadColumn(s, "msgid", msgId, sizeof msgId) && std::strlen(msgId) == 24 && (c->nSubMode & 0x10) == 0)
    CopyField(c->szMsgId, msgId, sizeof msgId);
  return FinalStatus(s, 0);
}

int Unsubscribe(CLUNQCliBase& s, tagInfoControl* c) {
  if (BadControl(c)) return RecordCheck(s, kInfoBadControl);
  if (c->szTopicName[0] == '\0') return RecordCheck(s, kInfoBadTopic);
  long long platformNumber = 0;
  if (!CInfoCenterData::Instance().Find(c->n64SubNo, &platformNumber)) return RecordCheck(s, kInfoNotSubscribed);
  BeginWrite(s);
  AddInt(s, "subno", platformNumber);
  AddValue(s, "topicname", c->szTopicName, kTopicChars);
  AddSubscriber(s, *c);
  AddExtraValues(s, *c);
  const int rc = InfoExchange(s, kServiceUnsubscribe);
  if (rc != 0) return rc;
  CInfoCenterData::Instance().Remove(c->n64SubNo);
  c->n64SubNo = 0;
  return FinalStatus(s, 0);
}

int Publish(CLUNQCliBase& s, tagInfoControl* c, const char* topic, long long* number, int flagA, int flagB) {
  if (BadControl(c)) return RecordCheck(s, kInfoBadControl);
  if (Empty(topic)) return RecordCheck(s, kInfoBadTopic);
  if (number == nullptr) return RecordCheck(s, kInfoBadNumberVariable);
  if (c->nExpiry <= 0) return RecordCheck(s, kInfoBadExpiry);
  const int mode = (flagB == 1 ? 0x01 : 0) | (flagA == 1 ? 0x10 : 0);
  AddIfSet(s, "pubuserid", c->szUserId, kUserChars);
  AddIfSet(s, "pubpasswd", c->szPassword, kPasswordChars);
  AddValue(s, "topicname", topic);
  AddInt(s, "expiry", c->nExpiry);
  AddInt(s, "pubmode", mode);
  AddExtraValues(s, *c);
  int rc = InfoExchange(s, kServicePublish);
  if (rc != 0) return rc;
  if ((rc = SecondResultSet(s)) != 0) return rc;
  *number = ReadColumnInt(s, "pubno");
  return FinalStatus(s, 0);
}

// While the receiver runs, a receive through any control steers what the receiver asks for next.
void ShareWithReceiver(CLUNQCliBase& s, const tagInfoControl& c) {
  if (s.publicationStarted.load() == 0) return;
  InfoSessionState* state = InfoStateIfAny(s);
  if (state == nullptr) return;
  tagInfoControl& copy = state->receiver.Control();
  if (&copy == &c) return;
  std::memcpy(copy.szTopicName, c.szTopicName, sizeof copy.szTopicName);
  std::memcpy(copy.szExtFields, c.szExtFields, sizeof copy.szExtFields);
  copy.n64SubNo = c.n64SubNo;
}

// The continue-reading step with the control's wait and message id; the session's own values
// are put back whatever the outcome.
int ReceiveAnswerPart(CLUNQCliBase& s, const tagInfoControl& c) {
  const int keptTimeout = s.timeout;
  const int keptFlags = s.answerFlags;
  char keptId[sizeof s.savedMessageId];
  char keptCorrelation[sizeof s.savedCorrelation];
  CopyField(keptId, s.savedMessageId, sizeof keptId);
  CopyField(keptCorrelation, s.savedCorrelation, sizeof keptCorrelation);
  s.timeout = c.nExpiry;
  s.answerFlags = 0;
  CopyField(s.savedMessageId, c.szMsgId, sizeof c.szMsgId);
  s.savedCorrelation[0] = '\0';
  const int rc = ContinueAnswer(s);
  s.timeout = keptTimeout;
  s.answerFlags = keptFlags;
  CopyField(s.savedMessageId, keptId, sizeof keptId);
  CopyField(s.savedCorrelation, keptCorrelation, sizeof keptCorrelation);
  return rc;
}

int Receive(CLUNQCliBase& s, tagInfoControl* c) {
  if (BadControl(c)) return RecordCheck(s, kInfoBadControl);
  if (c->nExpiry <= 0) return RecordCheck(s, kInfoBadExpiry);
  const char* server = ServerName(s);
  if (c->szMsgId[0] == '\0') {
    CopyField(c->szCorrId, server, sizeof c->szCorrId - 1);
  } else if (!EqualNoCase(c->szCorrId, server, sizeof c->szCorrId - 1)) {
    return RecordCheck(s, kInfoOtherServer);
  }
  int rc = ReceiveAnswerPart(s, *c);
  if (rc != 0) {
    BeginWrite(s);
    return RecordError(s, rc, "ReceivePacket Error!");
  }
  const long long needCheck = ValueInt(s, "needcheck", 31);
  const long long haveData = ValueInt(s, "havedata", 31);
  const long long pubNo = ValueInt(s, "pubno", 63);
  const long long subNo = ValueInt(s, "subno", 63);
  std::memset(c->szTopicName, 0, sizeof c->szTopicName);
  const int topicRc = GetValue(s, "topicname", c->szTopicName, static_cast<int>(sizeof c->szTopicName - 2));
  if (topicRc != 0 && topicRc != 100) c->szTopicName[0] = '\0';
  c->szTopicName[sizeof c->szTopicName - 1] = '\0';
  ShareWithReceiver(s, *c);
  PublicationData data;
  if (haveData == 1) {
    data.bytes.assign(s.packet.Text(), static_cast<std::size_t>(s.CommLen()));
    data.present = true;
  } else if (haveData == 0) {
    rc = Fetch(s, c, pubNo, subNo, data);
  }
  if (rc == 0 && needCheck == 1) rc = Acknowledge(s, c, pubNo, subNo);
  if (rc == 0) rc = MakeAnswer(s, data);
  return rc;
}

int GetNoRecvPublish(CLUNQCliBase& s, tagInfoControl* c) {
  if (BadControl(c)) return RecordCheck(s, kInfoBadControl);
  if (c->szTopicName[0] == '\0') return RecordCheck(s, kInfoBadTopic);
  auto& pending = InfoStateOf(s).pending;
  pending.Clear();
  BeginWrite(s);
  SetValue(s, "subno", "-1");
  AddValue(s, "subtopicname", c->szTopicName, kTopicChars);
  SetValue(s, "lastdata", "0");
  SetValue(s, "status", "0");
  SetValue(s, "flags", "0");
  AddSubscriber(s, *c);
  AddExtraValues(s, *c);
  int rc = InfoExchange(s, kServicePending);
  if (rc != 0) return rc;
  if ((rc = RsMore(s)) != 0) return rc;
  int key = 0;
  while (RsFetchRow(s) == 0) {
    CLUNQCliBase::tagnorecvdata entry{};
    entry.n64PubNo = ReadColumnInt(s, "pubno");
    entry.n64SubNo = ReadColumnInt(s, "subno");
    entry.nSubMode = static_cast<int>(ReadColumnInt(s, "submode"));
    entry.nPubMode = static_cast<int>(ReadColumnInt(s, "pubmode"));
    if (entry.n64PubNo <= 0 || entry.n64SubNo <= 0) continue;
    pending.Insert(key++, &entry, true);
  }
  rc = FinalStatus(s, 0);
  if (rc == 0) pending.Rewind();
  return rc;
}

int GetNoRecvData(CLUNQCliBase& s, tagInfoControl* c) {
  if (BadControl(c)) return RecordCheck(s, kInfoBadControl);
  if (c->szTopicName[0] == '\0') return RecordCheck(s, kInfoBadTopic);
  CLUNQCliBase::tagnorecvdata* entry = nullptr;
  int rc = 0;
  PublicationData data;
  if (!InfoStateOf(s).pending.Next(nullptr, &entry) || entry->n64PubNo <= 0 || entry->n64SubNo <= 0) {
    rc = kInfoNoPendingData;
  } else {
    rc = Fetch(s, c, entry->n64PubNo, entry->n64SubNo, data);
    if (rc == 0 && ((entry->nSubMode & 0xF) == 1 || (entry->nPubMode & 0xF) == 1))
      rc = Acknowledge(s, c, entry->n64PubNo, entry->n64SubNo);
    if (rc == 0) rc = MakeAnswer(s, data);
  }
  return rc != 0 ? RecordCheck(s, rc) : 0;
}

// Memory exhaustion inside a call (a store entry, the pending list, a data copy) is code 1.
template <typename Body>
int Guard(Body&& body) noexcept {
  try {
    return body();
  } catch (...) {
    return kNoMemory;
  }
}

}  // namespace

int InfoSubscribe(CLUNQCliBase& s, tagInfoControl* c, const char* userId, const char* topic, int callMode) noexcept {
  return Guard([&] { return Subscribe(s, c, userId, topic, callMode); });
}
int InfoUnsubscribe(CLUNQCliBase& s, tagInfoControl* c) noexcept {
  return Guard([&] { return Unsubscribe(s, c); });
}
int InfoPublish(CLUNQCliBase& s, tagInfoControl* c, const char* topic, long long* number, int flagA, int flagB) noexcept {
  return Guard([&] { return Publish(s, c, topic, number, flagA, flagB); });
}
int InfoReceivePublication(CLUNQCliBase& s, tagInfoControl* c) noexcept {
  return Guard([&] { return Receive(s, c); });
}
int InfoGetNoRecvPublish(CLUNQCliBase& s, tagInfoControl* c) noexcept {
  return Guard([&] { return GetNoRecvPublish(s, c); });
}
int InfoGetNoRecvData(CLUNQCliBase& s, tagInfoControl* c) noexcept {
  return Guard([&] { return GetNoRecvData(s, c); });
}

}  // namespace velt
