// What the session's transport is configured with: the per-session option values, the client
// identifiers and reply tag made at creation, and the server list. The queue transport that
// connects and exchanges packets works from these.
#pragma once

#include "transport/client_ids.h"
#include "transport/server_list.h"

namespace velt {

struct TransportOptions {
  int timeout = 120;          // option 1, seconds
  int trace = 0;              // option 2
  int descriptor272 = 3;      // option 3 (low byte)
  int descriptor271 = 0;      // option 4 (low byte)
  int checksum = 0;           // option 5
  int sequence = 0;           // option 6
  int sharedConnection = 1;   // option 8
  int libraryIds = 1;         // option 9
  int replyTagUse = 1;        // option 16
  int windowEnds = 1;         // option 17
};

struct TransportSettings {
  // Makes the client ids (adapter queries under the process-wide frame lock) and the reply tag.
  TransportSettings();

  TransportOptions options;
  ClientIds ids;
  char replyTag[25] = {};     // option 15
  ServerList servers;
};

}  // namespace velt
