// velt-demo: a sample front end against the platform emulator running in this process on the
// embedded queue manager. Each step says in plain words what it does and what came back.
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <string>
#include <vector>

#include "emulator.h"
#include "veltcli.h"

namespace {

constexpr const char* kAddress = "inproc:demo";
constexpr const char* kRequestQueue = "DEMO.REQUESTS";

int g_failures = 0;

void Step(const char* title) { std::printf("\n== %s\n", title); }

// Prints the outcome of a call and remembers a surprise.
bool Check(const char* what, int rc, int expected = 0) {
  std::printf("  %-52s -> %d%s\n", what, rc, rc == expected ? "" : "   (unexpected!)");
  if (rc != expected) ++g_failures;
  return rc == expected;
}

std::string Value(VELTCLI_HANDLE h, const char* name) {
  std::vector<char> out(4096);
  if (VELTCLI_GetValue(h, name, out.data(), static_cast<int>(out.size()) - 1) != 0) return "(none)";
  return out.data();
}

void Begin(VELTCLI_HANDLE h, std::initializer_list<std::pair<const char*, const char*>> values) {
  VELTCLI_BeginWrite(h);
  for (const auto& [name, value] : values) VELTCLI_SetValue(h, name, value);
}

VELTCLI_HANDLE Connect(const char* who) {
  VELTCLI_HANDLE h = nullptr;
  VELTCLI_Init(&h);
  tagVELTConnectOption entry;
  std::memset(&entry, 0, sizeof entry);
  std::strcpy(entry.szServerName, "demo");
  std::strcpy(entry.szAddress, kAddress);
  std::strcpy(entry.szSendQName, kRequestQueue);
  std::snprintf(entry.szReceiveQName, sizeof entry.szReceiveQName, "DEMO.ANSWERS.%s", who);
  VELTCLI_SetConnectOption(h, entry);
  char what[64];
  std::snprintf(what, sizeof what, "%s connects to server entry \"demo\"", who);
  Check(what, VELTCLI_ConnectServer(h, "demo", who, "secret"));
  return h;
}

void CallWithValuesAndTable(VELTCLI_HANDLE h) {
  Step("A call with values and a table (program echo answers them back)");
  Begin(h, {{"ACCOUNT", "A-1001"}, {"NOTE", "price & size = 100% @ market"}});
  VELTCLI_RsCreate(h, "orders", 3, "id,symbol,qty");
  const char* rows[][3] = {{"1", "600000", "100"}, {"2", "000001", "2,500"}};
  for (const auto& row : rows) {
    VELTCLI_RsAddRow(h);
    for (int c = 0; c < 3; ++c) VELTCLI_RsSetCol(h, c + 1, row[c]);
    VELTCLI_RsSaveRow(h);
  }
  if (!Check("CallProgramAndCommit(\"trade.echo\")", VELTCLI_CallProgramAndCommit(h, "trade.echo", nullptr))) return;
  std::printf("  ACCOUNT = %s\n  NOTE    = %s\n", Value(h, "ACCOUNT").c_str(), Value(h, "NOTE").c_str());
  VELTCLI_RsOpen(h);
  while (VELTCLI_RsFetchRow(h) == 0) {
    char id[64], symbol[64], qty[64];
    VELTCLI_RsGetCol(h, 1, id);
    VELTCLI_RsGetCol(h, 2, symbol);
    VELTCLI_RsGetCol(h, 3, qty);
    std::printf("  row: id=%s symbol=%s qty=%s\n", id, symbol, qty);
  }
}

void WalkMultiPartAnswer(VELTCLI_HANDLE h) {
  Step("A large answer, sent in parts of at most eight packets, walked row by row");
  Begin(h, {{"ROWS", "5000"}, {"COLS", "4"}, {"CELLLEN", "16"}});
  if (!Check("CallProgramAndCommit(\"rows\") for 5000 x 4 cells", VELTCLI_CallProgramAndCommit(h, "rows", nullptr)))
    return;
  int firstPart = 0;
  VELTCLI_GetCommLen(h, &firstPart);
  VELTCLI_RsOpen(h);
  int rows = 0;
  char last[64] = {};
  while (VELTCLI_RsFetchRow(h) == 0) {
    ++rows;
    VELTCLI_RsGetCol(h, 4, last);
  }
  std::printf("  the first part held %d bytes; the cursor pulled the rest as it went\n", firstPart);
  std::printf("  rows walked: %d, last cell: %s\n", rows, last);
  if (rows != 5000) ++g_failures;
}

void AsynchronousCall(VELTCLI_HANDLE h) {
  Step("An asynchronous call, collected later with GetReply");
  Begin(h, {{"ROWS", "3000"}, {"COLS", "3"}, {"CELLLEN", "20"}});
  tagAsyncCall call;
  std::memset(&call, 0, sizeof call);
  call.nExpiry = 10;
  if (!Check("ACallProgramAndCommit(\"rows\") sends and returns at once",
             VELTCLI_ACallProgramAndCommit(h, "rows", &call, nullptr)))
    return;
  std::printf("  message id %s, next packet %s\n", call.szMsgId, call.szCorrId);
  int parts = 0;
  while ((call.nFlags & 1) == 0 && VELTCLI_GetReply(h, &call) == 0) ++parts;
  std::printf("  GetReply collected the answer in %d parts (complete: %s)\n", parts, (call.nFlags & 1) ? "yes" : "no");
  if ((call.nFlags & 1) == 0) ++g_failures;
}

void Transactions(VELTCLI_HANDLE writer, VELTCLI_HANDLE reader) {
  Step("A transaction committed, and one rolled back");
  Begin(writer, {{"KEY", "limit"}, {"VALUE", "500000"}});
  Check("writer: CallProgram(\"kv.put\") inside a transaction", VELTCLI_CallProgram(writer, "kv.put", nullptr));
  Begin(reader, {{"KEY", "limit"}});
  VELTCLI_CallProgramAndCommit(reader, "kv.get", nullptr);
  std::printf("  reader sees before the commit: VALUE = %s\n", Value(reader, "VALUE").c_str());
  Check("writer: Commit", VELTCLI_Commit(writer));
  Begin(reader, {{"KEY", "limit"}});
  VELTCLI_CallProgramAndCommit(reader, "kv.get", nullptr);
  std::printf("  reader sees after the commit:  VALUE = %s\n", Value(reader, "VALUE").c_str());

  Begin(writer, {{"KEY", "limit"}, {"VALUE", "999999"}});
  Check("writer: CallProgram(\"kv.put\") of a new value", VELTCLI_CallProgram(writer, "kv.put", nullptr));
  Check("writer: RollBack", VELTCLI_RollBack(writer));
  Begin(reader, {{"KEY", "limit"}});
  VELTCLI_CallProgramAndCommit(reader, "kv.get", nullptr);
  std::printf("  reader sees after the rollback: VALUE = %s\n", Value(reader, "VALUE").c_str());
}

void ErrorPath(VELTCLI_HANDLE h) {
  Step("The error path");
  Begin(h, {{"CODE", "-7"}, {"MSG", "insufficient funds"}});
  Check("CallProgramAndCommit(\"fail\") answers status -7", VELTCLI_CallProgramAndCommit(h, "fail", nullptr), -7);
  int code = 0;
  static char message[32000];
  VELTCLI_GetErr(h, &code, message);
  std::printf("  GetErr: _ERRNO = %d, _ERRMSG = %s\n", code, message);
  VELTCLI_BeginWrite(h);
  const int rc = VELTCLI_CallProgramAndCommit(h, "no.such.program", nullptr);
  VELTCLI_GetErr(h, &code, message);
  std::printf("  an unknown program -> %d: %s\n", rc, message);
  if (rc == 0) ++g_failures;
  Check("a null service id is refused before anything is sent", VELTCLI_CallProgram(h, nullptr, nullptr), -999);
}

// What the background receiver has seen; written on its thread, read here.
struct Received {
  std::mutex mutex;
  std::condition_variable arrived;
  VELTCLI_HANDLE handle = nullptr;
  int count = 0;
} g_received;

// Runs on the receiver thread: the publication is the subscriber handle's answer.
void PrintPublication(tagInfoControl* control) {
  std::lock_guard<std::mutex> guard(g_received.mutex);
  std::printf("  receiver: topic %s, symbol %s, price %s (publication %s)\n", control->szTopicName,
              Value(g_received.handle, "symbol").c_str(), Value(g_received.handle, "price").c_str(),
              Value(g_received.handle, "pubno").c_str());
  ++g_received.count;
  g_received.arrived.notify_all();
}

void PublishAndSubscribe(VELTCLI_HANDLE publisher) {
  Step("Information centre: a subscriber with a background receiver, a publisher");
  tagVELTConnectOption entry;
  std::memset(&entry, 0, sizeof entry);
  std::strcpy(entry.szServerName, "demo");
  std::strcpy(entry.szAddress, kAddress);
  std::strcpy(entry.szSendQName, kRequestQueue);
  std::strcpy(entry.szReceiveQName, "DEMO.ANSWERS.carol");
  VELTCLI_HANDLE subscriber = nullptr;
  char user[] = "carol";
  char password[] = "secret";
  if (!Check("carol: VELTRecvPub_Init connects a subscriber", VELTRecvPub_Init(&subscriber, entry, user, password))) {
    VELTRecvPub_Exit(subscriber);
    return;
  }
  g_received.handle = subscriber;
  tagInfoControl control;
  std::memset(&control, 0, sizeof control);
  control.nSize = sizeof control;
  control.nExpiry = 60;
  char topic[] = "quotes.sh";
  if (!Check("carol: InfoSubscribe(\"quotes.sh\")", VELTCLI_InfoSubscribe(subscriber, &control, user, topic, 0))) {
    VELTRecvPub_Exit(subscriber);
    return;
  }
  std::printf("  subscription %lld, publications arrive under message id %s\n", control.n64SubNo, control.szMsgId);
  control.pfnCallback = &PrintPublication;
  Check("carol: VELTRecvPub_Start (a thread now receives for her)", VELTRecvPub_Start(subscriber, &control));

  const char* quotes[][2] = {{"600000", "9.52"}, {"600036", "35.10"}, {"601318", "48.07"}};
  tagInfoControl publication;
  std::memset(&publication, 0, sizeof publication);
  publication.nSize = sizeof publication;
  publication.nExpiry = 60;
  std::strcpy(publication.szUserId, "alice");
  for (const auto& q : quotes) {
    Begin(publisher, {{"symbol", q[0]}, {"price", q[1]}});
    long long number = 0;
    char what[64];
    std::snprintf(what, sizeof what, "alice: InfoPublish %s at %s", q[0], q[1]);
    Check(what, VELTCLI_InfoPublish(publisher, &publication, topic, &number, 0, 0));
  }
  {
    std::unique_lock<std::mutex> lock(g_received.mutex);
    g_received.arrived.wait_for(lock, std::chrono::seconds(10), [] { return g_received.count >= 3; });
    if (g_received.count != 3) ++g_failures;
  }
  Check("carol: VELTRecvPub_Stop ends the blocked receive", VELTRecvPub_Stop(subscriber));
  Check("carol: InfoUnsubscribe", VELTCLI_InfoUnsubscribe(subscriber, &control));
  Check("carol: VELTRecvPub_Exit", VELTRecvPub_Exit(subscriber));
}

}  // namespace

int main() {
  std::printf("Velt client SDK demo: a front end and the platform emulator in one process\n");
  veltemu::EmulatorConfig config;
  config.address = kAddress;
  config.requestQueue = kRequestQueue;
  config.workers = 2;
  config.log = nullptr;
  veltemu::Emulator emulator(config);
  if (emulator.Start() != 0) {
    std::fprintf(stderr, "the emulator could not start\n");
    return 1;
  }
  std::printf("emulator serving queue %s on %s\n", kRequestQueue, kAddress);

  Step("Connecting");
  VELTCLI_HANDLE alice = Connect("alice");
  VELTCLI_HANDLE bob = Connect("bob");
  CallWithValuesAndTable(alice);
  WalkMultiPartAnswer(alice);
  AsynchronousCall(alice);
  Transactions(alice, bob);
  ErrorPath(alice);
  PublishAndSubscribe(alice);

  Step("Disconnecting");
  Check("alice: DisConnect", VELTCLI_DisConnect(alice));
  Check("bob: DisConnect", VELTCLI_DisConnect(bob));
  VELTCLI_Exit(alice);
  VELTCLI_Exit(bob);
  emulator.Stop();
  const veltemu::Stats stats = emulator.GetStats();
  std::printf("\nthe emulator answered %llu calls from %llu request packets\n",
              static_cast<unsigned long long>(stats.callsAnswered), static_cast<unsigned long long>(stats.packetsReceived));
  std::printf(g_failures == 0 ? "every step behaved as expected\n" : "%d step(s) did not behave as expected\n",
              g_failures);
  return g_failures == 0 ? 0 : 1;
}
