// Test helper: runs a program as a child process with its own environment, feeding standard
// input and collecting standard output and error, exit code and peak memory (getrusage).
#pragma once

#include <sys/types.h>

#include <map>
#include <string>
#include <vector>

namespace velt::veltcall::test {

struct ChildResult {
  int exitCode = -1;        // -1 when it did not exit normally
  std::string out;
  std::string err;
  long maxRssKb = 0;        // peak resident set of the child
};

struct ChildOptions {
  std::map<std::string, std::string> env;   // added to (or replacing) the test's environment
  std::vector<std::string> unsetEnv;
  std::string input;                        // written to standard input, then closed
  std::string folder;                       // working folder, empty: the test's
};

ChildResult RunChild(const std::vector<std::string>& argv, const ChildOptions& options = {});

// A long-running child (velt-emulator), ended with SIGTERM by Stop or the destructor.
class BackgroundChild {
 public:
  BackgroundChild() = default;
  ~BackgroundChild() { Stop(); }
  BackgroundChild(const BackgroundChild&) = delete;
  BackgroundChild& operator=(const BackgroundChild&) = delete;
  bool Start(const std::vector<std::string>& argv);
  void Stop();

 private:
  pid_t pid_ = -1;
};

// The environment every child gets: the test's, plus `options.env`, minus `options.unsetEnv`.
std::vector<std::string> ChildEnvironment(const ChildOptions& options);

}  // namespace velt::veltcall::test
