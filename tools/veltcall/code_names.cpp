// Code names, from the codes documented in veltcli.h, docs/veltcli.md, rimqapi.h and
// docs/plugins.md. The texts are the libraries' own (RIMQ_ReasonText, VELTCLI_CodeText); only a
// number that means different things at different stages keeps its stage's text here.
#include "code_names.h"

#include "rimqapi.h"
#include "veltcli.h"

namespace velt::veltcall {
namespace {

struct Entry {
  int code;
  const char* name;
  const char* text;   // null: the library's text
};

// Queue-library reasons: the same at every stage.
constexpr Entry kQueueReasons[] = {
    {2003, "RIMQRC_CONNECTION_LOST", nullptr},
    {2004, "RIMQRC_QMGR_NOT_REACHABLE", nullptr},
    {2005, "RIMQRC_BUFFER_ERROR", nullptr},
    {2012, "RIMQRC_ADDRESS_ERROR", nullptr},
    {2018, "RIMQRC_HCONN_ERROR", nullptr},
    {2019, "RIMQRC_HOBJ_ERROR", nullptr},
    {2030, "RIMQRC_MSG_TOO_BIG", nullptr},
    {2033, "RIMQRC_NO_MSG_AVAILABLE", nullptr},
    {2035, "RIMQRC_NOT_AUTHORIZED", nullptr},
    {2054, "VELTCLI_FOREIGN_PACKET", nullptr},
    {2071, "RIMQRC_STORAGE_NOT_AVAILABLE", nullptr},
    {2080, "RIMQRC_TRUNCATED_MSG_FAILED", nullptr},
    {2085, "RIMQRC_UNKNOWN_OBJECT_NAME", nullptr},
    {2195, "RIMQRC_UNEXPECTED_ERROR", nullptr},
    {2393, "RIMQRC_SSL_NOT_SUPPORTED", nullptr},
    {2394, "RIMQRC_PROXY_NOT_SUPPORTED", nullptr},
    {2549, "RIMQRC_INTERRUPTED", nullptr},
    {9999, "VELTCLI_QUEUE_FAILURE", nullptr},
};

constexpr Entry kConnectCodes[] = {
    {-1, "VELTCLI_NO_SERVER_ENTRY", "no server entry has that name or group"},
    {-2, "VELTCLI_NO_ENTRY_PICKED", "no server entry could be picked"},
    {1700, "VELTCLI_PLUGIN_BAD_SLOT", nullptr},
    {1701, "VELTCLI_PLUGIN_NOT_LOADED", nullptr},
    {1702, "VELTCLI_PLUGIN_NO_ENTRY", nullptr},
    {1703, "VELTCLI_PLUGIN_ENTRY_FAILED", nullptr},
    {1704, "VELTCLI_PLUGIN_INIT_FAILED", nullptr},
    {1705, "VELTCLI_PLUGIN_CONNECT_FAILED", nullptr},
    {1706, "VELTCLI_PLUGIN_CONFIGURE_FAILED", nullptr},
};

constexpr Entry kCallCodes[] = {
    {-999, "VELTCLI_NULL_SERVICE", nullptr},
    {-1, "VELTCLI_NO_MEMORY_REQUEST", "no memory for the request packet"},
    {1, "VELTCLI_ANSWER_TOO_LARGE", "the answer does not fit in memory"},
    {50, "VELTCLI_OTHER_SERVER_ENTRY", "the asynchronous call belongs to another server entry"},
    {100, "VELTCLI_RECEIVE_BUFFER", "the receive buffer could not grow"},
    {101, "VELTCLI_CHECKSUM_MISMATCH", nullptr},
    {102, "VELTCLI_SEQUENCE_MISMATCH", nullptr},
    {103, "VELTCLI_SHORT_PACKET", nullptr},
    {104, "VELTCLI_ANSWER_PART_TOO_LONG", nullptr},
    {105, "VELTCLI_NOT_CONNECTED", nullptr},
    {1721, "VELTCLI_PLUGIN_NOT_CONNECTED", nullptr},
    {1722, "VELTCLI_PLUGIN_NO_SEND", nullptr},
    {1723, "VELTCLI_PLUGIN_SEND_FAILED", nullptr},
    {1724, "VELTCLI_PLUGIN_REQUEST_TOO_LONG", nullptr},
    {1731, "VELTCLI_PLUGIN_NOT_CONNECTED_RECEIVE", nullptr},
    {1732, "VELTCLI_PLUGIN_NO_RECEIVE", nullptr},
    {1733, "VELTCLI_PLUGIN_RECEIVE_FAILED", nullptr},
    {1741, "VELTCLI_PLUGIN_NO_MEMORY", nullptr},
    {1742, "VELTCLI_PLUGIN_PARTIAL_ANSWER", nullptr},
};

constexpr Entry kDisconnectCodes[] = {
    {100, "VELTCLI_POOLED", "handle pooling is on; the connection is kept"},
    {1712, "VELTCLI_PLUGIN_DISCONNECT_FAILED", nullptr},
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
  if (e->text != nullptr) return {e->name, e->text};
  const bool reason = code >= 2000 && code < 3000 && code != 2054;
  return {e->name, reason ? RIMQ_ReasonText(code) : VELTCLI_CodeText(code)};
}

}  // namespace velt::veltcall
