// fork/exec with three pipes, drained with poll so neither output can block the child.
#include "child_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>

extern char** environ;

namespace velt::veltcall::test {
namespace {

std::vector<char*> Pointers(std::vector<std::string>& strings) {
  std::vector<char*> out;
  for (std::string& s : strings) out.push_back(s.data());
  out.push_back(nullptr);
  return out;
}

}  // namespace

std::vector<std::string> ChildEnvironment(const ChildOptions& options) {
  std::map<std::string, std::string> env;
  for (char** e = environ; *e != nullptr; ++e) {
    const char* eq = std::strchr(*e, '=');
    if (eq != nullptr) env[std::string(*e, static_cast<std::size_t>(eq - *e))] = eq + 1;
  }
  for (const auto& name : options.unsetEnv) env.erase(name);
  for (const auto& [name, value] : options.env) env[name] = value;
  std::vector<std::string> out;
  for (const auto& [name, value] : env) out.push_back(name + "=" + value);
  return out;
}

ChildResult RunChild(const std::vector<std::string>& argv, const ChildOptions& options) {
  ChildResult result;
  int in[2], out[2], err[2];
  if (pipe2(in, O_CLOEXEC) != 0 || pipe2(out, O_CLOEXEC) != 0 || pipe2(err, O_CLOEXEC) != 0) return result;
  std::vector<std::string> args = argv;
  std::vector<std::string> env = ChildEnvironment(options);
  std::vector<char*> argp = Pointers(args);
  std::vector<char*> envp = Pointers(env);
  const pid_t pid = fork();
  if (pid == 0) {
    dup2(in[0], 0);
    dup2(out[1], 1);
    dup2(err[1], 2);
    if (!options.folder.empty() && chdir(options.folder.c_str()) != 0) _exit(126);
    execve(argp[0], argp.data(), envp.data());
    _exit(127);
  }
  close(in[0]);
  close(out[1]);
  close(err[1]);
  signal(SIGPIPE, SIG_IGN);
  std::size_t written = 0;
  if (options.input.empty()) close(in[1]);
  pollfd fds[3] = {{out[0], POLLIN, 0}, {err[0], POLLIN, 0}, {options.input.empty() ? -1 : in[1], POLLOUT, 0}};
  std::string* sinks[2] = {&result.out, &result.err};
  int open = 2;
  char buffer[65536];
  while (open > 0) {
    if (poll(fds, 3, -1) < 0) break;
    for (int i = 0; i < 2; ++i) {
      if (fds[i].fd < 0 || fds[i].revents == 0) continue;
      const ssize_t n = read(fds[i].fd, buffer, sizeof buffer);
      if (n > 0) {
        sinks[i]->append(buffer, static_cast<std::size_t>(n));
      } else {
        close(fds[i].fd);
        fds[i].fd = -1;
        --open;
      }
    }
    if (fds[2].fd >= 0 && fds[2].revents != 0) {
      const ssize_t n = write(in[1], options.input.data() + written, options.input.size() - written);
      if (n > 0) written += static_cast<std::size_t>(n);
      if (n <= 0 || written == options.input.size()) {
        close(in[1]);
        fds[2].fd = -1;
      }
    }
  }
  if (fds[2].fd >= 0) close(in[1]);
  int status = 0;
  rusage usage{};
  if (wait4(pid, &status, 0, &usage) == pid) {
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.maxRssKb = usage.ru_maxrss;
  }
  return result;
}

bool BackgroundChild::Start(const std::vector<std::string>& argv) {
  std::vector<std::string> args = argv;
  std::vector<char*> argp = Pointers(args);
  pid_ = fork();
  if (pid_ == 0) {
    execv(argp[0], argp.data());
    _exit(127);
  }
  return pid_ > 0;
}

void BackgroundChild::Stop() {
  if (pid_ <= 0) return;
  kill(pid_, SIGTERM);
  int status = 0;
  waitpid(pid_, &status, 0);
  pid_ = -1;
}

}  // namespace velt::veltcall::test
