// tagCallBlock: what the session hands the packet exchange for one exchange, and what comes back.
#pragma once

namespace velt {

// Call modes.
inline constexpr int kCallSendAndReceive = 0;
inline constexpr int kCallSendOnly = 1;
inline constexpr int kCallReceiveOnly = 5;

}  // namespace velt

struct tagCallBlock {
  int nVersion = 1;              // header version
  int nCallType = 0;             // 0 sign-on / continuation, 1 sign-off, 2 service call, 4, 9, 10, 11
  int nCallMode = 0;             // velt::kCall*
  int nTransMode = 0;            // 0 stand-alone, 1 first call, 2 further call, 4 end
  int nReserved1 = 0;
  char szServerName[33] = {};
  char szProgram[33] = {};       // empty for control calls
  char szUser[33] = {};
  char szPassword[33] = {};      // replaced with the encrypted password before use
  const char* pRequest = nullptr;    // null for control calls
  int nRequestLen = 0;           // negative counts as 0
  const char* pAnswer = nullptr;     // out: the receive buffer, header removed
  int nAnswerLen = 0;            // out
  int nTimeout = 120;            // seconds
  int nReserved2 = 0;
  int nServerNumber = 0;         // in/out
  char szTransId[33] = {};       // in/out
  char szMsgId[27] = {};         // in/out, 24 characters used
  char szCorrId[27] = {};        // in/out: decimal text of the next expected answer packet
  int nSessionNumber = 0;        // in/out
  int nStatus = 0;               // out: answer status
  int nFlags = 0;                // out: answer flags
  char szServicePrefix[33] = {}; // in/out
};
