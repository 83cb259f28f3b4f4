// Code names and texts, from the codes documented in veltcli.h, docs/veltcli.md, rimqapi.h and
// docs/plugins.md.
#include "code_names.h"

namespace velt::veltcall {
namespace {

struct Entry {
  int code;
  const char* name;
  const char* text;
};

// Queue-library reasons: the same at every stage.
constexpr Entry kQueueReasons[] = {
    {2003, "RIMQRC_CONNECTION_LOST", "the connection to the queue manager broke"},
    {2004, "RIMQRC_QMGR_NOT_REACHABLE", "the queue manager is not reachable"},
    {2005, "RIMQRC_BUFFER_ERROR", "the queue library refused a buffer"},
    {2012, "RIMQRC_ADDRESS_ERROR", "bad queue-manager address, protocol or port"},
    {2018, "RIMQRC_HCONN_ERROR", "unknown or closed queue-manager connection"},
    {2019, "RIMQRC_HOBJ_ERROR", "unknown queue handle"},
    {2030, "RIMQRC_MSG_TOO_BIG", "a packet is longer than the queue accepts"},
    {2033, "RIMQRC_NO_MSG_AVAILABLE", "no answer within the time-out"},
    {2035, "RIMQRC_NOT_AUTHORIZED", "the queue manager refused the user or password"},
    {2054, "VELTCLI_FOREIGN_PACKET", "a packet of another message arrived; the connection was rebuilt"},
    {2071, "RIMQRC_STORAGE_NOT_AVAILABLE", "the queue library ran out of memory"},
    {2080, "RIMQRC_TRUNCATED_MSG_FAILED", "a message was longer than the receive buffer"},
    {2085, "RIMQRC_UNKNOWN_OBJECT_NAME", "empty or invalid queue name"},
    {2195, "RIMQRC_UNEXPECTED_ERROR", "the queue engine answered something unexpected"},
    {2393, "RIMQRC_SSL_NOT_SUPPORTED", "TLS was requested; this build has none"},
    {2394, "RIMQRC_PROXY_NOT_SUPPORTED", "a proxy was requested; this build connects directly"},
    {2549, "RIMQRC_INTERRUPTED", "the receive was interrupted"},
    {9999, "VELTCLI_QUEUE_FAILURE", "the queue library failed without a reason"},
};

constexpr Entry kConnectCodes[] = {
    {-1, "VELTCLI_NO_SERVER_ENTRY", "no server entry has that name or group"},
    {-2, "VELTCLI_NO_ENTRY_PICKED", "no server entry could be picked"},
    {1700, "VELTCLI_PLUGIN_BAD_SLOT", "plug-in slot outside 0..15"},
    {1701, "VELTCLI_PLUGIN_NOT_LOADED", "the plug-in library cannot be loaded"},
    {1702, "VELTCLI_PLUGIN_NO_ENTRY", "the plug-in entry function is not exported"},
    {1703, "VELTCLI_PLUGIN_ENTRY_FAILED", "the plug-in entry function returned null or threw"},
    {1704, "VELTCLI_PLUGIN_INIT_FAILED", "the plug-in initialise failed"},
    {1705, "VELTCLI_PLUGIN_CONNECT_FAILED", "the plug-in connect failed"},
    {1706, "VELTCLI_PLUGIN_CONFIGURE_FAILED", "the plug-in configure failed"},
};

constexpr Entry kCallCodes[] = {
    {-999, "VELTCLI_NULL_SERVICE", "no service id; nothing sent"},
    {-1, "VELTCLI_NO_MEMORY_REQUEST", "no memory for the request packet"},
    {1, "VELTCLI_ANSWER_TOO_LARGE", "the answer does not fit in memory"},
    {50, "VELTCLI_OTHER_SERVER_ENTRY", "the asynchronous call belongs to another server entry"},
    {100, "VELTCLI_RECEIVE_BUFFER", "the receive buffer could not grow"},
    {101, "VELTCLI_CHECKSUM_MISMATCH", "an answer packet's checksum does not match"},
    {102, "VELTCLI_SEQUENCE_MISMATCH", "an answer packet is out of sequence"},
    {103, "VELTCLI_SHORT_PACKET", "an answer packet claims more text than it carries"},
    {1721, "VELTCLI_PLUGIN_NOT_CONNECTED", "plug-in send: no plug-in connected"},
    {1722, "VELTCLI_PLUGIN_NO_SEND", "plug-in send: no send function"},
    {1723, "VELTCLI_PLUGIN_SEND_FAILED", "plug-in send threw"},
    {1724, "VELTCLI_PLUGIN_REQUEST_TOO_LONG", "plug-in send: the request is longer than one packet can state"},
    {1731, "VELTCLI_PLUGIN_NOT_CONNECTED_RECEIVE", "plug-in receive: no plug-in connected"},
    {1732, "VELTCLI_PLUGIN_NO_RECEIVE", "plug-in receive: no receive function"},
    {1733, "VELTCLI_PLUGIN_RECEIVE_FAILED", "plug-in receive threw"},
    {1741, "VELTCLI_PLUGIN_NO_MEMORY", "plug-in receive: no memory to copy the answer"},
    {1742, "VELTCLI_PLUGIN_PARTIAL_ANSWER", "plug-in receive returned without a whole answer"},
};

constexpr Entry kDisconnectCodes[] = {
    {100, "VELTCLI_POOLED", "handle pooling is on; the connection is kept"},
    {1712, "VELTCLI_PLUGIN_DISCONNECT_FAILED", "the plug-in disconnect failed"},
};

template <std::size_t N>
const Entry* Find(const Entry (&table)[N], int code) {
  for (const Entry& e : table)
    if (e.code == code) return &e;
  return nullptr;
}

}  // namespace

CodeName DescribeCode(int code, CodeStage stage) {
  const Entry* e = nullptr;
  switch (stage) {
    case CodeStage::kConnect: e = Find(kConnectCodes, code); break;
    case CodeStage::kCall: e = Find(kCallCodes, code); break;
    case CodeStage::kDisconnect: e = Find(kDisconnectCodes, code); break;
  }
  if (e == nullptr) e = Find(kQueueReasons, code);
  if (e == nullptr) return {"", "undocumented code"};
  return {e->name, e->text};
}

}  // namespace velt::veltcall
