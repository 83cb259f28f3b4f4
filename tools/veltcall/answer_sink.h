// What an output format receives while veltcall walks an answer: values, then each result set
// row by row, then the end with the call's status and error. Nothing is kept between rows.
#pragma once

#include <string>
#include <vector>

namespace velt::veltcall {

// One value or cell as the user sees it: converted text, or Base64 of binary bytes.
struct Cell {
  std::string text;
  bool binary = false;
};

// A failure to report: where it happened, the code, its name and text, the platform's message.
struct ErrorReport {
  std::string stage;     // "connect", "call", "answer", "disconnect"
  int code = 0;
  std::string name;      // empty for a platform status
  std::string message;   // the code's text, or the platform's _ERRMSG
  std::string hint;      // what to check, may be empty
};

class AnswerSink {
 public:
  virtual ~AnswerSink() = default;
  virtual void Value(const std::string& name, const Cell& value) = 0;
  virtual void BeginTable(const std::string& name, const std::vector<std::string>& columns) = 0;
  virtual void Row(const std::vector<Cell>& cells) = 0;
  virtual void EndTable() = 0;
  // The last call: status 0 and no error on success.
  virtual void Finish(int status, const ErrorReport* error) = 0;
};

}  // namespace velt::veltcall
