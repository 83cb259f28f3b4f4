// The plug-in transport against real libraries: a fault plug-in reaches every code of the client
// side and shows what is left behind after each failure; the example plug-in carries requests to
// a responder on the embedded queue manager and joins its answer parts.
#include "transport/plugin_transport.h"
#include "transport/queue_transport.h"

#include <dlfcn.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "support/alloc_hook.h"
#include "rimq_test_client.h"
#include "wire/packet_header.h"
#include "veltplugin.h"
#include "veltplugin_example.h"

namespace {

using velt::PluginTransport;
using velt::ReceiveBuffer;
namespace wire = velt::wire;
namespace rimqtest = velt::rimqtest;

tagVELTPluginOption Entry(const char* library, const char* entryName, const std::string& connect,
                          const std::string& config) {
  tagVELTPluginOption e{};
  std::snprintf(e.szLibraryPath, sizeof e.szLibraryPath, "%s", library);
  std::snprintf(e.szEntryName, sizeof e.szEntryName, "%s", entryName);
  std::snprintf(e.szConnectText, sizeof e.szConnectText, "%s", connect.c_str());
  std::snprintf(e.szConfigText, sizeof e.szConfigText, "%s", config.c_str());
  return e;
}

std::string Bytes(ReceiveBuffer& buffer, int length) { return std::string(buffer.Data(), length); }

// ---- the fault plug-in ---------------------------------------------------------------------

// Keeps the fault plug-in loaded during a test, for its count of live contexts and its tables.
class FaultPlugin : public ::testing::Test {
 protected:
  void SetUp() override {
    handle_ = dlopen(VELT_FAULT_PLUGIN_PATH, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(handle_, nullptr) << dlerror();
    live_ = reinterpret_cast<int (*)()>(dlsym(handle_, "FaultPlugin_LiveContexts"));
    ASSERT_NE(live_, nullptr);
  }
  void TearDown() override {
    velt::SetAllocationHook(nullptr);
    if (handle_ != nullptr) dlclose(handle_);
  }
  int Live() const { return live_(); }
  VELTPluginTable* Table(const char* entry) const {
    return reinterpret_cast<VELTPLUGIN_EntryFunc>(dlsym(handle_, entry))();
  }
  static tagVELTPluginOption Fault(const char* entry, const std::string& connect = "",
                                   const std::string& config = "") {
    return Entry(VELT_FAULT_PLUGIN_PATH, entry, connect, config);
  }

  void* handle_ = nullptr;
  int (*live_)() = nullptr;
};

TEST_F(FaultPlugin, FailedConnectLeavesNothingBehind) {
  struct Case {
    const char* name;
    tagVELTPluginOption entry;
    int index;
    int code;
  };
  tagVELTPluginOption unterminated = Fault("FaultPlugin_Table");
  std::memset(unterminated.szLibraryPath, 'a', sizeof unterminated.szLibraryPath);
  const Case cases[] = {
      {"slot above 15", Fault("FaultPlugin_Table"), 16, 1700},
      {"negative slot", Fault("FaultPlugin_Table"), -1, 1700},
      {"no such library", Entry("/nonexistent/libnone.so", "FaultPlugin_Table", "", ""), 0, 1701},
      {"empty path", Entry("", "FaultPlugin_Table", "", ""), 0, 1701},
      {"path without terminator", unterminated, 0, 1701},
      {"no entry function", Fault("FaultPlugin_Missing"), 0, 1702},
      {"null table", Fault("FaultPlugin_NullTable"), 0, 1703},
      {"entry throws", Fault("FaultPlugin_Throws"), 0, 1703},
      {"initialise fails", Fault("FaultPlugin_InitFails"), 0, 1704},
      {"initialise fails after replacing", Fault("FaultPlugin_InitFailsReplaced"), 0, 1704},
      {"initialise throws", Fault("FaultPlugin_InitThrows"), 0, 1704},
      {"connect fails", Fault("FaultPlugin_Table", "connect=fail"), 0, 1705},
      {"connect throws", Fault("FaultPlugin_Table", "connect=throw"), 0, 1705},
      {"configure fails", Fault("FaultPlugin_Table", "", "fail"), 0, 1706},
      {"configure throws", Fault("FaultPlugin_Table", "", "throw"), 0, 1706},
      {"no configure function", Fault("FaultPlugin_Bare", "", "timeout=1"), 0, 1706},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    PluginTransport transport;
    EXPECT_EQ(transport.Connect(c.entry, c.index, &transport), c.code);
    EXPECT_FALSE(transport.Connected());
    EXPECT_EQ(Live(), 0);   // a replaced context was released, a connected one disconnected too
    EXPECT_EQ(transport.Send("x", 1), 1721);
  }
}

TEST_F(FaultPlugin, ConnectHandsOverOwnerTextsAndSlot) {
  struct Case {
    const char* config;
    const char* logged;   // what configure wrote into the plug-in's log
  };
  const Case cases[] = {{"", ""}, {"plain", ";configure(plain,0)"}, {"accept", ";configure(accept,0)"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.config);
    PluginTransport transport;
    int owner = 0;
    ASSERT_EQ(transport.Connect(Fault("FaultPlugin_Table", "mode=log", c.config), 3, &owner), 0);
    EXPECT_TRUE(transport.Connected());
    EXPECT_EQ(Live(), 1);

    ReceiveBuffer buffer;
    int length = -1;
    ASSERT_EQ(transport.Receive(buffer, length), 0);
    char expected[256];
    std::snprintf(expected, sizeof expected, "%sinit(%p)connect(mode=log,3,0)%s",
                  std::string(126, '#').c_str(), static_cast<void*>(&owner), c.logged);
    EXPECT_EQ(Bytes(buffer, length), expected);
    EXPECT_EQ(buffer.Data()[length], '\0');

    EXPECT_EQ(transport.Disconnect(3), 0);
    EXPECT_FALSE(transport.Connected());
    EXPECT_EQ(Live(), 0);
    EXPECT_EQ(transport.Receive(buffer, length), 1731);
  }
}

TEST_F(FaultPlugin, CallbacksAreStoredOnlyWhenFlagged) {
  VELTPluginTable* complete = Table("FaultPlugin_Table");
  VELTPluginTable* bare = Table("FaultPlugin_Bare");
  complete->pfnCallback1 = complete->pfnCallback2 = nullptr;
  PluginTransport flagged;
  PluginTransport unflagged;
  ASSERT_EQ(flagged.Connect(Fault("FaultPlugin_Table"), 0, &flagged), 0);
  ASSERT_EQ(unflagged.Connect(Fault("FaultPlugin_Bare"), 1, &unflagged), 0);
  for (VELTPLUGIN_CallbackFunc callback : {complete->pfnCallback1, complete->pfnCallback2}) {
    ASSERT_NE(callback, nullptr);
    int any = 0;
    EXPECT_EQ(callback(&any, nullptr, 0), VELTPLUGIN_CALLBACK_REFUSED);
    EXPECT_EQ(callback(nullptr, &any, 4), VELTPLUGIN_CALLBACK_NO_CONTEXT);
  }
  EXPECT_EQ(bare->pfnCallback1, nullptr);
  EXPECT_EQ(bare->pfnCallback2, nullptr);
}

TEST_F(FaultPlugin, FailedDisconnectKeepsTheConnection) {
  struct Case {
    const char* behaviour;
    int disconnectSlot;
  };
  const Case cases[] = {{"disconnect=fail", 3}, {"disconnect=throw", 3}, {"", 4}};   // 4: not the slot
  for (const Case& c : cases) {
    SCOPED_TRACE(c.behaviour);
    {
      PluginTransport transport;
      ASSERT_EQ(transport.Connect(Fault("FaultPlugin_Table", c.behaviour), 3, &transport), 0);
      EXPECT_EQ(transport.Disconnect(c.disconnectSlot), 1712);
      EXPECT_TRUE(transport.Connected());
      EXPECT_EQ(transport.Send("still here", 10), 0);
      EXPECT_EQ(Live(), 1);
    }
    EXPECT_EQ(Live(), 0);   // the destructor still releases it
  }
}

TEST_F(FaultPlugin, ReconnectReleasesThePreviousContext) {
  PluginTransport transport;
  ASSERT_EQ(transport.Connect(Fault("FaultPlugin_Table"), 2, &transport), 0);
  ASSERT_EQ(transport.Connect(Fault("FaultPlugin_Table", "second"), 5, &transport), 0);
  EXPECT_EQ(Live(), 1);
  ASSERT_EQ(transport.Disconnect(5), 0);
  EXPECT_EQ(Live(), 0);
}

// A library whose release failed may still have a context running its code: it stays mapped,
// while a cleanly released one is unloaded.
TEST(PluginUnload, FailedReleasePinsTheLibrary) {
  char folder[] = "/tmp/velt-plugin-XXXXXX";
  ASSERT_NE(mkdtemp(folder), nullptr);
  struct Case {
    const char* copy;
    const char* behaviour;
    bool staysLoaded;
  };
  const Case cases[] = {{"libclean.so", "", false}, {"libpinned.so", "release=fail", true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.behaviour);
    const std::string path = std::string(folder) + "/" + c.copy;
    std::filesystem::copy_file(VELT_FAULT_PLUGIN_PATH, path);
    {
      PluginTransport transport;
      ASSERT_EQ(transport.Connect(Entry(path.c_str(), "FaultPlugin_Table", c.behaviour, ""), 0, &transport), 0);
      EXPECT_EQ(transport.Disconnect(0), 0);
      EXPECT_FALSE(transport.Connected());
    }
    void* loaded = dlopen(path.c_str(), RTLD_NOW | RTLD_NOLOAD);
    EXPECT_EQ(loaded != nullptr, c.staysLoaded);
    if (loaded != nullptr) dlclose(loaded);
  }
  std::filesystem::remove_all(folder);
}

TEST_F(FaultPlugin, SendAndReceiveCodes) {
  struct Case {
    const char* name;
    const char* entry;      // null: never connected
    const char* behaviour;
    bool send;              // else receive
    int code;
  };
  const Case cases[] = {
      {"send unconnected", nullptr, "", true, 1721},
      {"receive unconnected", nullptr, "", false, 1731},
      {"no send function", "FaultPlugin_Bare", "", true, 1722},
      {"no receive function", "FaultPlugin_Bare", "", false, 1732},
      {"send throws", "FaultPlugin_Table", "send=throw", true, 1723},
      {"send result passed on", "FaultPlugin_Table", "send=fail", true, 11},
      {"receive throws", "FaultPlugin_Table", "receive=throw", false, 1733},
      {"null buffer", "FaultPlugin_Table", "receive=null", false, 1742},
      {"negative length", "FaultPlugin_Table", "receive=negative", false, 1742},
      {"shorter than a header", "FaultPlugin_Table", "receive=short", false, 1742},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    PluginTransport transport;
    if (c.entry != nullptr) {
      ASSERT_EQ(transport.Connect(Fault(c.entry, c.behaviour), 0, &transport), 0);
    }
    if (c.send) {
      EXPECT_EQ(transport.Send("packet", 6), c.code);
    } else {
      ReceiveBuffer buffer;
      int length = -1;
      EXPECT_EQ(transport.Receive(buffer, length), c.code);
      EXPECT_EQ(length, 0);
    }
  }
}

TEST_F(FaultPlugin, ReceiveCopiesWholeAnswersAndKeepsTheResult) {
  PluginTransport transport;
  ASSERT_EQ(transport.Connect(Fault("FaultPlugin_Table"), 0, &transport), 0);
  ReceiveBuffer buffer;
  ASSERT_TRUE(buffer.Reset());
  for (const std::size_t size : {std::size_t{131}, std::size_t{3 * ReceiveBuffer::kStep + 7}}) {
    std::string packet(size, '\0');
    for (std::size_t i = 0; i < size; ++i) packet[i] = static_cast<char>('A' + i % 26);
    ASSERT_EQ(transport.Send(packet.data(), static_cast<int>(size)), 0);
    int length = 0;
    ASSERT_EQ(transport.Receive(buffer, length), 0);
    EXPECT_EQ(Bytes(buffer, length), packet);
    EXPECT_EQ(buffer.Data()[length], '\0');
  }

  // A failing receive with a buffer: the answer is still copied and the result reported.
  PluginTransport failing;
  ASSERT_EQ(failing.Connect(Fault("FaultPlugin_Table", "receive=status"), 0, &failing), 0);
  int length = 0;
  EXPECT_EQ(failing.Receive(buffer, length), 7);
  EXPECT_EQ(Bytes(buffer, length).substr(126, 4), "init");
}

// The password transform belongs to a queue connect; a plug-in request carries none.
TEST_F(FaultPlugin, PluginModeSendsNoPasswordTransform) {
  CQueueTransport t;
  tagVELTPluginOption e = Fault("FaultPlugin_Table");
  std::strcpy(e.szServerName, "p");
  t.servers.ReplaceAll(velt::RecordKind::kPlugin, &e, 1);
  ASSERT_EQ(t.Connect("p", "alice", "secret"), 0);
  const std::string text = "a=1";
  tagCallBlock b;
  b.nCallType = 2;
  b.pRequest = text.c_str();
  b.nRequestLen = static_cast<int>(text.size());
  ASSERT_EQ(t.Exchange(b), 0);   // the fault plug-in answers with the request itself
  EXPECT_STREQ(b.szPassword, "");
  EXPECT_EQ(std::string(b.pAnswer, b.nAnswerLen), text);
}

TEST_F(FaultPlugin, ReceiveWithoutMemoryIs1741) {
  PluginTransport transport;
  ASSERT_EQ(transport.Connect(Fault("FaultPlugin_Table"), 0, &transport), 0);
  ReceiveBuffer buffer;
  int length = -1;
  velt::SetAllocationHook([](std::size_t) { return false; });
  EXPECT_EQ(transport.Receive(buffer, length), 1741);
  velt::SetAllocationHook(nullptr);
  EXPECT_EQ(length, 0);
  EXPECT_EQ(transport.Receive(buffer, length), 0);   // nothing broken by the refusal
}

// ---- the example plug-in over the embedded queue manager -----------------------------------

std::string Packet(int flags, int sequence, const std::string& text, int lengthField = -1) {
  wire::PacketHeader h;
  h.flags = flags;
  h.sequence = sequence;
  h.length = lengthField >= 0 ? lengthField : static_cast<int>(text.size());
  h.serverNumber = 77;
  wire::SetField(h.transactionId, "TX-1");
  std::string packet(wire::kHeaderBytes, ' ');
  wire::EncodeHeader(h, packet.data());
  return packet + text;
}

std::string Request(const std::string& text) { return Packet(3, 0, text); }

// Takes `requests` messages from the request queue and answers each on its reply-to queue with
// its message id and correlation ids 0, 1, 2, ...: the packets `answer` makes of the request.
class Responder {
 public:
  using Answer = std::vector<std::string> (*)(const std::string& request);

  Responder(std::string queue, int requests, Answer answer)
      : thread_([this, queue, requests, answer] { Run(queue, requests, answer); }) {}
  ~Responder() { Join(); }
  void Join() {
    if (thread_.joinable()) thread_.join();
  }
  const std::vector<rimqtest::Received>& Requests() const { return requests_; }

 private:
  void Run(const std::string& queue, int count, Answer answer) {
    rimqtest::Client client;
    int requestQueue = -1;
    if (client.Connect(rimqtest::Endpoint{}) != 0 || client.Open(queue, &requestQueue) != 0) return;
    for (int n = 0; n < count; ++n) {
      rimqtest::Received request = client.Get(requestQueue, 10);
      if (request.reason != 0) return;
      requests_.push_back(request);
      int replyQueue = -1;
      const std::string replyTo(request.md.szReplyToQ, strnlen(request.md.szReplyToQ, sizeof request.md.szReplyToQ));
      if (client.Open(replyTo, &replyQueue) != 0) return;
      const std::vector<std::string> packets = answer(request.body);
      for (std::size_t i = 0; i < packets.size(); ++i) {
        RIMQMD md = rimqtest::PutDescriptor();
        std::memcpy(md.abMsgId, request.md.abMsgId, sizeof md.abMsgId);
        rimqtest::SetId(md.abCorrelId, std::to_string(i));
        if (client.Put(replyQueue, md, packets[i], 0) != 0) return;
      }
    }
  }

  std::vector<rimqtest::Received> requests_;
  std::thread thread_;
};

class ExamplePlugin : public ::testing::Test {
 protected:
  static tagVELTPluginOption Example(const std::string& request, const std::string& answer,
                                     const std::string& config = "timeout=5") {
    return Entry(VELT_EXAMPLE_PLUGIN_PATH, VELTPLUGIN_EXAMPLE_ENTRY,
                 "address=inproc;port=0;protocol=1;request=" + request + ";answer=" + answer, config);
  }
  struct Answer {
    int result = -1;
    wire::PacketHeader header;
    std::string text;
  };
  static Answer Receive(PluginTransport& transport) {
    ReceiveBuffer buffer;
    Answer a;
    int length = 0;
    a.result = transport.Receive(buffer, length);
    if (a.result == 0 && length >= static_cast<int>(wire::kHeaderBytes)) {
      a.header = wire::DecodeHeader(buffer.Data());
      a.text.assign(buffer.Data() + wire::kHeaderBytes, static_cast<std::size_t>(length) - wire::kHeaderBytes);
      EXPECT_EQ(a.header.checksum, wire::Checksum(buffer.Data(), a.text.data(), a.text.size()));
    }
    return a;
  }

  const std::string request_ = rimqtest::UniqueQueueName("plugin-req");
  const std::string answer_ = rimqtest::UniqueQueueName("plugin-ans");
};

const std::string kWide(wire::kMaxPacketText, 'w');

// Two answer parts of two packets each: flags 2 ends the first part, flags 1 the answer.
std::vector<std::string> TwoParts(const std::string&) {
  return {Packet(0, 0, kWide), Packet(2, 1, "first part"), Packet(0, 2, "second "), Packet(1, 3, "part")};
}

TEST_F(ExamplePlugin, CarriesTheRequestAndJoinsEachAnswerPart) {
  Responder responder(request_, 1, &TwoParts);
  PluginTransport transport;
  ASSERT_EQ(transport.Connect(Example(request_, answer_), 2, &transport), 0);
  const std::string request = Request("ServiceCall&NAME=value");
  ASSERT_EQ(transport.Send(request.data(), static_cast<int>(request.size())), 0);

  const Answer first = Receive(transport);
  ASSERT_EQ(first.result, 0);
  EXPECT_EQ(first.text, kWide + "first part");
  EXPECT_EQ(first.header.length, static_cast<int>(first.text.size()));
  EXPECT_EQ(first.header.flags, 2);
  EXPECT_EQ(first.header.sequence, 1);   // the header of the part's last packet
  EXPECT_EQ(first.header.serverNumber, 77);
  EXPECT_STREQ(first.header.transactionId, "TX-1");

  const Answer second = Receive(transport);
  ASSERT_EQ(second.result, 0);
  EXPECT_EQ(second.text, "second part");
  EXPECT_EQ(second.header.flags, 1);

  responder.Join();
  ASSERT_EQ(responder.Requests().size(), 1u);
  const rimqtest::Received& got = responder.Requests()[0];
  EXPECT_EQ(got.body, request);   // one message, header and text as the client built them
  EXPECT_EQ(got.md.cMsgType, 1);
  EXPECT_EQ(rimqtest::IdText(got.md.abCorrelId), "0");
  EXPECT_EQ(std::string(got.md.szReplyToQ, strnlen(got.md.szReplyToQ, 32)), answer_);
  EXPECT_EQ(rimqtest::IdText(got.md.abMsgId).size(), 24u);
  EXPECT_EQ(transport.Disconnect(2), 0);
}

// The answer names the request it belongs to, so each instance must get its own back.
std::vector<std::string> EchoAnswer(const std::string& request) {
  return {Packet(1, 0, "answer to " + request.substr(wire::kHeaderBytes))};
}

TEST_F(ExamplePlugin, TwoInstancesKeepTheirOwnExchanges) {
  const std::string otherAnswers = rimqtest::UniqueQueueName("plugin-ans");
  Responder responder(request_, 2, &EchoAnswer);
  PluginTransport one;
  PluginTransport two;
  ASSERT_EQ(one.Connect(Example(request_, answer_), 0, &one), 0);
  ASSERT_EQ(two.Connect(Example(request_, otherAnswers), 1, &two), 0);
  const std::string first = Request("one");
  const std::string second = Request("two");
  ASSERT_EQ(one.Send(first.data(), static_cast<int>(first.size())), 0);
  ASSERT_EQ(two.Send(second.data(), static_cast<int>(second.size())), 0);
  EXPECT_EQ(Receive(two).text, "answer to two");
  EXPECT_EQ(Receive(one).text, "answer to one");
}

std::vector<std::string> NoAnswer(const std::string&) { return {}; }
std::vector<std::string> ShortPacket(const std::string&) { return {"tiny"}; }
std::vector<std::string> LyingLength(const std::string&) { return {Packet(1, 0, "ten bytes!", 50)}; }
std::vector<std::string> Endless(const std::string&) {
  return std::vector<std::string>(26, Packet(0, 0, kWide));   // 26 x 3958 passes 99999
}

TEST_F(ExamplePlugin, FaultsOfThePlatformSideHaveTheirCodes) {
  struct Case {
    const char* name;
    Responder::Answer answer;
    const char* config;
    int code;
  };
  const Case cases[] = {
      {"no answer within the time-out", &NoAnswer, "timeout=1", RIMQRC_NO_MSG_AVAILABLE},
      {"packet shorter than a header", &ShortPacket, "timeout=5", VELTPLUGIN_EXAMPLE_ERR_BAD_PACKET},
      {"length field past the packet", &LyingLength, "timeout=5", VELTPLUGIN_EXAMPLE_ERR_BAD_PACKET},
      {"answer part without end", &Endless, "timeout=5", VELTPLUGIN_EXAMPLE_ERR_ANSWER_TOO_LARGE},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string requests = rimqtest::UniqueQueueName("plugin-req");
    Responder responder(requests, 1, c.answer);
    PluginTransport transport;
    ASSERT_EQ(transport.Connect(Example(requests, answer_, c.config), 0, &transport), 0);
    const std::string request = Request("x");
    ASSERT_EQ(transport.Send(request.data(), static_cast<int>(request.size())), 0);
    EXPECT_EQ(Receive(transport).result, c.code);
  }
}

// The request lives as long as the time-out: a platform that comes later finds nothing.
TEST_F(ExamplePlugin, RequestExpiresWithTheTimeout) {
  PluginTransport transport;
  ASSERT_EQ(transport.Connect(Example(request_, answer_, "timeout=1"), 0, &transport), 0);
  const std::string request = Request("late");
  ASSERT_EQ(transport.Send(request.data(), static_cast<int>(request.size())), 0);
  std::this_thread::sleep_for(std::chrono::milliseconds(1300));
  rimqtest::Client platform;
  int queue = -1;
  ASSERT_EQ(platform.Connect(rimqtest::Endpoint{}), 0);
  ASSERT_EQ(platform.Open(request_, &queue), 0);
  EXPECT_EQ(platform.Get(queue, 0).reason, RIMQRC_NO_MSG_AVAILABLE);
}

TEST_F(ExamplePlugin, RefusesWhatItCannotCarry) {
  PluginTransport transport;
  EXPECT_EQ(transport.Connect(Example(request_, ""), 0, &transport), 1705);   // no answer queue
  EXPECT_EQ(transport.Connect(Example(request_, answer_, "timeout=0"), 0, &transport), 1706);
  ASSERT_EQ(transport.Connect(Example(request_, answer_), 0, &transport), 0);
  EXPECT_EQ(Receive(transport).result, VELTPLUGIN_EXAMPLE_ERR_NOTHING_SENT);
  EXPECT_EQ(transport.Send("short", 5), VELTPLUGIN_EXAMPLE_ERR_BAD_ARGUMENT);
  // Header and text disagree, as for a text longer than the length field can show.
  const std::string clamped = Packet(3, 0, "abc", 99999);
  EXPECT_EQ(transport.Send(clamped.data(), static_cast<int>(clamped.size())), VELTPLUGIN_EXAMPLE_ERR_BAD_ARGUMENT);
}

}  // namespace
