// Return codes of the named-value lookup (VELTCLI_GetValue and the error calls built on it).
// VELT_VALUE_CODES(X) lists each code once as X(name, number, doc rows, meaning); the doc rows,
// separated by ", ", are the functions of docs/veltcli.md whose code table lists it (a test holds
// both in step).
#pragma once

#define VELT_VALUE_CODES(X)                                                                        \
  X(kValueNotFound, 1, "VELTCLI_GetValue", "output buffer null or no such pair (buffer emptied)")  \
  X(kValueNoText, 2, "VELTCLI_GetValue", "the packet buffer holds no text")                        \
  X(kValueBadLength, 3, "VELTCLI_GetValue", "length 0 or below")                                   \
  X(kValueNameTooLong, 4, "VELTCLI_GetValue", "name longer than 100 characters")                   \
  X(kValueTruncated, 100, "VELTCLI_GetValue", "value longer than the length: cut, no terminator")

namespace velt {

#define VELT_CODE_ENUMERATOR(name, number, rows, meaning) name = (number),
enum ValueCode : int { VELT_VALUE_CODES(VELT_CODE_ENUMERATOR) };
#undef VELT_CODE_ENUMERATOR

}  // namespace velt
