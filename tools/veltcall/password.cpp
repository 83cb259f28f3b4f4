// The password sources, in order: the environment, --password-stdin, the terminal prompt.
#include "password.h"

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

namespace velt::veltcall {
namespace {

// One line from fd without its line end; false at end of input before any byte or on error.
bool ReadLine(int fd, std::string& line) {
  line.clear();
  char c = 0;
  bool any = false;
  for (;;) {
    const ssize_t n = read(fd, &c, 1);
    if (n < 0) return false;
    if (n == 0) return any;
    any = true;
    if (c == '\n') break;
    line += c;
  }
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return true;
}

// Prompts on the controlling terminal with echo off; the terminal's settings come back however
// the read ends.
bool Prompt(const std::string& user, std::string& password, std::string& error) {
  const int tty = open("/dev/tty", O_RDWR | O_CLOEXEC);
  if (tty < 0) {
    error = "no terminal to prompt on";
    return false;
  }
  const std::string prompt = "Password for " + user + ": ";
  (void)!write(tty, prompt.data(), prompt.size());
  termios saved{};
  const bool haveTermios = tcgetattr(tty, &saved) == 0;
  if (haveTermios) {
    termios quiet = saved;
    quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
    quiet.c_lflag |= ECHONL;
    tcsetattr(tty, TCSAFLUSH, &quiet);
  }
  const bool ok = ReadLine(tty, password);
  if (haveTermios) tcsetattr(tty, TCSAFLUSH, &saved);
  close(tty);
  if (!ok) error = "no password was typed";
  return ok;
}

}  // namespace

bool ReadPassword(const std::string& user, bool fromStdin, std::string& password, std::string& error) {
  password.clear();
  if (const char* env = std::getenv("VELT_PASSWORD")) {
    password = env;
    return true;
  }
  if (fromStdin) {
    if (ReadLine(STDIN_FILENO, password)) return true;
    error = "--password-stdin: standard input ended before a password line";
    return false;
  }
  if (isatty(STDIN_FILENO)) return Prompt(user, password, error);
  error = "user " + user + " needs a password: set VELT_PASSWORD, or pipe it with --password-stdin";
  return false;
}

}  // namespace velt::veltcall
