// Starting, watching and stopping a private redis-server process for tests.
#include "testsupport/redis_server.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <thread>

extern char** environ;

namespace velt::testsupport {
namespace {

using Clock = std::chrono::steady_clock;

// A port the kernel just handed out on the loopback address; free unless someone races for it.
int FreeLoopbackPort() {
  const int fd = socket(AF_INET, SOCK_STREAM, 0);
  if (fd < 0) return 0;
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t len = sizeof addr;
  int port = 0;
  if (bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0 &&
      getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len) == 0) {
    port = ntohs(addr.sin_port);
  }
  close(fd);
  return port;
}

// Sends PING and accepts any reply line: "+PONG", or "-NOAUTH" when the default user is locked.
bool Answers(int port) {
  const int fd = socket(AF_INET, SOCK_STREAM, 0);
  if (fd < 0) return false;
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  addr.sin_port = htons(static_cast<uint16_t>(port));
  bool ok = false;
  if (connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0) {
    static const char kPing[] = "PING\r\n";
    if (write(fd, kPing, sizeof kPing - 1) == static_cast<ssize_t>(sizeof kPing - 1)) {
      pollfd p{fd, POLLIN, 0};
      char reply[64];
      ok = poll(&p, 1, 500) == 1 && read(fd, reply, sizeof reply) > 0 && (reply[0] == '+' || reply[0] == '-');
    }
  }
  close(fd);
  return ok;
}

bool OnPath(const std::string& program) {
  const char* path = std::getenv("PATH");
  std::string dirs = path ? path : "/usr/local/bin:/usr/bin:/bin";
  std::size_t start = 0;
  while (start <= dirs.size()) {
    const std::size_t end = dirs.find(':', start);
    const std::string dir = dirs.substr(start, end == std::string::npos ? std::string::npos : end - start);
    if (!dir.empty() && access((dir + "/" + program).c_str(), X_OK) == 0) return true;
    if (end == std::string::npos) break;
    start = end + 1;
  }
  return false;
}

}  // namespace

bool RedisServerAvailable() { return OnPath("redis-server"); }

bool InContinuousIntegration() {
  const char* ci = std::getenv("CI");
  return ci && *ci && std::strcmp(ci, "false") != 0;
}

RedisServer::RedisServer() : RedisServer(RedisServerOptions{}) {}
RedisServer::RedisServer(std::vector<RedisUser> users) : RedisServer(RedisServerOptions{std::move(users), false, ""}) {}
RedisServer::RedisServer(RedisServerOptions options) : options_(std::move(options)) {}

RedisServer::~RedisServer() {
  Stop();
  if (!folder_.empty()) {
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
  }
}

std::string RedisServer::unixSocket() const { return options_.unixSocket ? folder_ + "/redis.sock" : std::string(); }

bool RedisServer::Start() {
  if (running()) return true;
  if (folder_.empty()) {
    // Short and fixed under /tmp, so the socket path fits a 32-character address field.
    char pattern[] = "/tmp/vrd-XXXXXX";
    if (!mkdtemp(pattern)) {
      error_ = "mkdtemp failed";
      return false;
    }
    folder_ = pattern;
  }
  for (int attempt = 0; attempt < 3; ++attempt) {
    port_ = FreeLoopbackPort();
    if (port_ > 0 && WriteConfig() && Launch() && WaitUntilAnswering()) return true;
    Reap(SIGKILL, 0);
  }
  return false;
}

bool RedisServer::Restart() {
  if (running()) Stop();
  return WriteConfig() && Launch() && WaitUntilAnswering();
}

bool RedisServer::WriteConfig() {
  std::ofstream conf(folder_ + "/redis.conf", std::ios::trunc);
  conf << "bind 127.0.0.1\n"
       << "port " << port_ << "\n"
       << "dir " << folder_ << "\n"
       << "logfile " << folder_ << "/redis.log\n"
       << "save \"\"\n"
       << "appendonly no\n"
       << "daemonize no\n"
       << "protected-mode yes\n";
  if (options_.unixSocket) conf << "unixsocket " << unixSocket() << "\nunixsocketperm 700\n";
  if (!options_.defaultUserPassword.empty()) {
    conf << "user default on >" << options_.defaultUserPassword << " ~* &* +@all\n";
  }
  for (const auto& user : options_.users) {
    conf << "user " << user.name << " on >" << user.password << " " << user.rules << "\n";
  }
  conf.close();
  if (!conf) error_ = "cannot write " + folder_ + "/redis.conf";
  return static_cast<bool>(conf);
}

bool RedisServer::Launch() {
  const std::string config = folder_ + "/redis.conf";
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
  char program[] = "redis-server";
  char* argv[] = {program, const_cast<char*>(config.c_str()), nullptr};
  const int rc = posix_spawnp(&pid_, program, &actions, nullptr, argv, environ);
  posix_spawn_file_actions_destroy(&actions);
  if (rc != 0) {
    pid_ = -1;
    error_ = std::string("cannot start redis-server: ") + std::strerror(rc);
    return false;
  }
  return true;
}

bool RedisServer::WaitUntilAnswering() {
  const auto deadline = Clock::now() + std::chrono::seconds(10);
  while (Clock::now() < deadline) {
    int status = 0;
    if (waitpid(pid_, &status, WNOHANG) == pid_) {
      pid_ = -1;
      error_ = "redis-server exited at start; see " + folder_ + "/redis.log";
      return false;
    }
    if (Answers(port_)) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  error_ = "redis-server did not answer within 10 s";
  return false;
}

void RedisServer::Reap(int signal, int graceMs) {
  if (pid_ <= 0) return;
  kill(pid_, signal);
  const auto deadline = Clock::now() + std::chrono::milliseconds(graceMs);
  int status = 0;
  while (waitpid(pid_, &status, WNOHANG) == 0) {
    if (Clock::now() >= deadline) {
      kill(pid_, SIGKILL);
      waitpid(pid_, &status, 0);
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  pid_ = -1;
}

void RedisServer::Stop() { Reap(SIGTERM, 5000); }

void RedisServer::Kill() { Reap(SIGKILL, 5000); }

}  // namespace velt::testsupport
