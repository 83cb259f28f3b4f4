// What the outside libraries are handed, argument by argument: the test program links the
// transport with the queue library's RIMQ_PutEx and the password transform wrapped (--wrap), so
// each call is recorded and then passed on to the real function.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "lunqcrypt.h"
#include "rimqapi.h"
#include "transport/call_block.h"
#include "transport/queue_transport.h"
#include "wire/queue_records.h"

extern "C" {
void __real_RIMQ_PutEx(int, const RIMQPGO*, RIMQMD*, int, const void*, RIMQMD*, int, void*, int*, int*, int*);
int __real_EncryptPassword(const char*, const char*, char*, int);
}

namespace {

struct Seen {
  int putExCalls = 0;
  int replySize = -1;
  bool replyAreaWritable = false;
  int encryptCalls = 0;
  int encryptOutSize = -1;
} g_seen;

}  // namespace

extern "C" void __wrap_RIMQ_PutEx(int hConn, const RIMQPGO* pgo, RIMQMD* md, int length, const void* buffer,
                                  RIMQMD* replyDesc, int replySize, void* replyArea, int* replyLength, int* cc,
                                  int* reason) {
  ++g_seen.putExCalls;
  g_seen.replySize = replySize;
  if (replyArea != nullptr && replySize > 0) {
    // The whole stated area must be ours to write: touch its last byte as a library may.
    static_cast<char*>(replyArea)[replySize - 1] = 'x';
    g_seen.replyAreaWritable = true;
  }
  __real_RIMQ_PutEx(hConn, pgo, md, length, buffer, replyDesc, replySize, replyArea, replyLength, cc, reason);
}

extern "C" int __wrap_EncryptPassword(const char* user, const char* password, char* out, int outSize) {
  ++g_seen.encryptCalls;
  g_seen.encryptOutSize = outSize;
  return __real_EncryptPassword(user, password, out, outSize);
}

namespace {

TEST(QueueLibraryArguments, PutExGetsTheFullReplyAreaAndTheTransformItsOutputSize) {
  CQueueTransport t;
  tagVELTConnectOptionEx e{};
  std::strcpy(e.szServerName, "main");
  std::strcpy(e.szAddress, "inproc:arguments-test");
  std::strcpy(e.szSendQName, "ARG.REQ");
  std::strcpy(e.szReceiveQName, "ARG.ANS");
  t.servers.ReplaceAll(velt::RecordKind::kConnectEx, &e, 1);
  ASSERT_EQ(t.Connect("main", "alice", "secret"), 0);
  EXPECT_EQ(g_seen.encryptCalls, 1);
  EXPECT_EQ(g_seen.encryptOutSize, 32);

  t.options.libraryIds = 0;
  if (!t.HasMessageIdCounter()) GTEST_SKIP() << "no shared memory on this machine";
  const std::string text = "a=1";
  tagCallBlock b;
  b.nCallType = 2;
  b.nCallMode = velt::kCallSendAndReceive;   // the last packet of a synchronous call: RIMQ_PutEx
  b.pRequest = text.c_str();
  b.nRequestLen = static_cast<int>(text.size());
  b.nTimeout = 0;                            // nobody answers; the put is what is looked at
  t.Exchange(b);
  EXPECT_EQ(g_seen.putExCalls, 1);
  EXPECT_EQ(g_seen.replySize, velt::wire::kGetBufferBytes);
  EXPECT_TRUE(g_seen.replyAreaWritable);
}

}  // namespace
