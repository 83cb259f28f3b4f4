// The name and text of every code veltcall can meet: the client library's, the queue library's
// reasons and veltcall's own. One table, so a later list of named codes replaces it in one place.
#pragma once

#include <string>

namespace velt::veltcall {

// Where a code came from: the same number means different things at connect and at a call.
enum class CodeStage { kConnect, kCall, kDisconnect };

struct CodeName {
  std::string name;   // empty when the code is not one the SDK documents
  std::string text;
};

CodeName DescribeCode(int code, CodeStage stage);

}  // namespace velt::veltcall
