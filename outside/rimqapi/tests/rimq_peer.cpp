// A getter in a process of its own, for the tests that need several processes on one queue:
//   rimq_peer <port> <queue>
// Takes messages from the queue over TCP on 127.0.0.1 and prints each body on a line until it
// takes "END" (exit 0). Exit 3: no message for 10 s; exit 4: any other failure.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "rimqapi.h"
#include "rimq_record.h"

using velt::rimqtest::Record;

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: rimq_peer <port> <queue>\n");
    return 4;
  }
  int hConn = -1, hObj = -1, cc = 0, reason = 0;
  RIMQ_Connect(1, "127.0.0.1", std::atoi(argv[1]), "", "", "", "", &hConn, &cc, &reason);
  if (reason != 0) return 4;
  RIMQOD od = Record<RIMQOD>(RIMQ_OD_STRUC_ID);
  std::memcpy(od.szObjectName, argv[2], strnlen(argv[2], sizeof od.szObjectName));
  RIMQ_Open(hConn, &od, RIMQOO_CLIENT, &hObj, &cc, &reason);
  if (reason != 0) return 4;
  RIMQGMO gmo = Record<RIMQGMO>(RIMQ_GMO_STRUC_ID);
  gmo.nWaitInterval = 10;
  std::vector<char> buffer(65536);
  for (;;) {
    RIMQMD md = Record<RIMQMD>(RIMQ_MD_STRUC_ID);
    int length = 0;
    RIMQ_Get(hConn, hObj, &md, &gmo, static_cast<int>(buffer.size()), buffer.data(), &length, &cc, &reason);
    if (reason == RIMQRC_NO_MSG_AVAILABLE) return 3;
    if (reason != 0) return 4;
    if (length == 3 && std::memcmp(buffer.data(), "END", 3) == 0) break;
    std::fwrite(buffer.data(), 1, static_cast<std::size_t>(length), stdout);
    std::fputc('\n', stdout);
  }
  std::fflush(stdout);
  RIMQ_Disconn(&hConn, 0, &cc, &reason);
  return 0;
}
