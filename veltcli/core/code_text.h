// The text of a number the client returns, for VELTCLI_CodeText: built once from the named code
// lists of the client, the plug-in codes, the queue library's reasons and the emulator's statuses.
#pragma once

namespace velt {

// A static text for `code`; "unknown code N" (kept per thread until its next call) otherwise.
const char* CodeText(int code) noexcept;

}  // namespace velt
