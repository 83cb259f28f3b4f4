// Redis engine over hiredis: connect and log in, scripts by SHA, puts and single-round-trip gets,
// chained bounded waits, and an interrupt that shuts the socket of a blocked get.
#include "redis_engine.h"

#include <hiredis/hiredis.h>
#include <pthread.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/time.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <random>
#include <string_view>
#include <vector>

#include "redis_scripts.h"
#include "settings.h"

namespace velt::rimq {
namespace {

// A write to a socket the server closed (or RIMQ_Interrupt shut) raises SIGPIPE, whose default
// action ends the whole host process. While the library writes, the signal is blocked on the
// calling thread and one raised meanwhile is taken back, so the write just fails with EPIPE and
// the caller sees a lost connection. A SIGPIPE that was pending before is left for the program.
class SigpipeGuard {
 public:
  SigpipeGuard() {
    sigemptyset(&pipe_);
    sigaddset(&pipe_, SIGPIPE);
    sigset_t pending;
    sigemptyset(&pending);
    sigpending(&pending);
    wasPending_ = sigismember(&pending, SIGPIPE) == 1;
    pthread_sigmask(SIG_BLOCK, &pipe_, &previous_);
  }
  ~SigpipeGuard() {
    if (!wasPending_) {
      sigset_t pending;
      sigemptyset(&pending);
      sigpending(&pending);
      if (sigismember(&pending, SIGPIPE) == 1) {
        const timespec none{0, 0};
        sigtimedwait(&pipe_, nullptr, &none);
      }
    }
    pthread_sigmask(SIG_SETMASK, &previous_, nullptr);
  }
  SigpipeGuard(const SigpipeGuard&) = delete;
  SigpipeGuard& operator=(const SigpipeGuard&) = delete;

 private:
  sigset_t pipe_;
  sigset_t previous_;
  bool wasPending_ = false;
};

struct ReplyDeleter {
  void operator()(redisReply* r) const { freeReplyObject(r); }
};
using Reply = std::unique_ptr<redisReply, ReplyDeleter>;

struct ContextDeleter {
  void operator()(redisContext* c) const { redisFree(c); }
};
using Context = std::unique_ptr<redisContext, ContextDeleter>;

constexpr int kNoScript = -1;   // internal: the server does not know a script (flushed or restarted)

timeval ToTimeval(long long ms) {
  timeval tv{};
  tv.tv_sec = static_cast<time_t>(ms / 1000);
  tv.tv_usec = static_cast<suseconds_t>((ms % 1000) * 1000);
  return tv;
}

bool ErrorStarts(const redisReply& r, const char* prefix) {
  const std::size_t n = std::strlen(prefix);
  return r.len >= n && std::memcmp(r.str, prefix, n) == 0;
}

int ReasonOfError(const redisReply& r) {
  if (ErrorStarts(r, "NOSCRIPT")) return kNoScript;
  if (ErrorStarts(r, "NOAUTH") || ErrorStarts(r, "WRONGPASS") || ErrorStarts(r, "NOPERM")) {
    return RIMQRC_NOT_AUTHORIZED;
  }
  return RIMQRC_UNEXPECTED_ERROR;
}

std::string RandomConnectionId() {
  std::random_device device;
  static constexpr char kHex[] = "0123456789abcdef";
  std::string id;
  for (int i = 0; i < 4; ++i) {
    const unsigned v = device();
    for (int shift = 28; shift >= 0; shift -= 4) id.push_back(kHex[(v >> shift) & 15]);
  }
  return id;
}

// Arguments of one command, binary-safe.
class Args {
 public:
  Args& Add(std::string_view s) {
    ptrs_.push_back(s.data());
    lens_.push_back(s.size());
    return *this;
  }
  int count() const { return static_cast<int>(ptrs_.size()); }
  const char** ptrs() { return ptrs_.data(); }
  const std::size_t* lens() const { return lens_.data(); }

 private:
  std::vector<const char*> ptrs_;
  std::vector<std::size_t> lens_;
};

std::string SecondsText(long long ms) {
  char text[32];
  std::snprintf(text, sizeof text, "%lld.%03lld", ms / 1000, ms % 1000);
  return text;
}

int DeliverBlob(const char* data, std::size_t size, GetTarget& target) {
  Envelope envelope;
  const std::string_view blob(data, size);
  if (!Envelope::Parse(blob, &envelope)) return RIMQRC_UNEXPECTED_ERROR;
  return DeliverInto(target, envelope, blob.substr(Envelope::kSize));
}

class RedisQueue final : public OpenedQueue {
 public:
  RedisQueue(std::string prefix, const std::string& connectionId)
      : prefix(std::move(prefix)), inbox(this->prefix + "in:" + connectionId), counter(this->prefix + "seq") {}
  const std::string prefix;
  const std::string inbox;
  const std::string counter;
};

class RedisConnection final : public QueueConnection {
 public:
  explicit RedisConnection(RedisEndpoint endpoint)
      : endpoint_(std::move(endpoint)), connectionId_(RandomConnectionId()) {}

  int Connect() { return OpenContext(NetworkTimeoutSeconds() * 1000LL); }

  int Open(std::string_view name, std::shared_ptr<OpenedQueue>* out) override {
    *out = std::make_shared<RedisQueue>(RedisQueuePrefix(std::string(name)), connectionId_);
    return 0;
  }

  int Put(OpenedQueue& opened, const Envelope& envelope, std::string_view body, int expiryMs) override;
  int Get(OpenedQueue& opened, const MatchRequest& match, Wait wait, GetTarget& target) override;
  void Interrupt() override;
  void Close() override { ResetContext(); }

 private:
  int OpenContext(long long connectMs);
  int Login();
  int LoadScripts();
  void ResetContext();
  int IoFailure();
  void SetReceiveTimeout(long long ms);
  int Run(Args& args, Reply* out);
  int Eval(RedisScript script, const std::vector<std::string_view>& keys,
           const std::vector<std::string_view>& argv, Reply* out);
  int GetNoWait(const RedisQueue& queue, const std::string& index, const std::string& waiters, GetTarget& target);
  int GetWaiting(const RedisQueue& queue, const std::string& index, const std::string& waiters, Wait wait,
                 GetTarget& target);
  int WaitChunk(const RedisQueue& queue, const std::string& index, const std::string& waiters, long long chunkMs,
                bool* registered, GetTarget& target, bool* delivered);
  int Leave(const RedisQueue& queue, const std::string& waiters, GetTarget& target);
  int AfterInterrupt(const RedisQueue& queue, const std::string& waiters, int rc, GetTarget& target);

  const RedisEndpoint endpoint_;
  const std::string connectionId_;
  Context ctx_;
  std::array<std::string, kRedisScriptCount> sha_;
  long long receiveTimeoutMs_ = -1;

  std::mutex mu_;           // guards the interrupt state; taken by Interrupt from other threads
  bool pending_ = false;    // an interrupt no get has taken yet
  int blockedFd_ = -1;      // socket of the get in progress, -1 when none
  bool shutDown_ = false;   // Interrupt shut blockedFd_
};

// connectMs bounds the connect and the login replies; later sends wait up to the network time-out.
int RedisConnection::OpenContext(long long connectMs) {
  ResetContext();
  const timeval tv = ToTimeval(connectMs);
  redisContext* raw = endpoint_.unixSocket ? redisConnectUnixWithTimeout(endpoint_.address.c_str(), tv)
                                           : redisConnectWithTimeout(endpoint_.address.c_str(), endpoint_.port, tv);
  if (!raw) return RIMQRC_STORAGE_NOT_AVAILABLE;
  Context ctx(raw);
  if (ctx->err) return ctx->err == REDIS_ERR_OOM ? RIMQRC_STORAGE_NOT_AVAILABLE : RIMQRC_QMGR_NOT_REACHABLE;
  if (redisSetTimeout(ctx.get(), ToTimeval(NetworkTimeoutSeconds() * 1000LL)) != REDIS_OK) {
    return RIMQRC_QMGR_NOT_REACHABLE;
  }
  ctx_ = std::move(ctx);
  receiveTimeoutMs_ = -1;
  SetReceiveTimeout(connectMs);
  int rc = Login();
  if (rc == 0) rc = LoadScripts();
  if (rc == RIMQRC_CONNECTION_LOST) rc = RIMQRC_QMGR_NOT_REACHABLE;
  if (rc != 0) ResetContext();
  return rc;
}

int RedisConnection::Login() {
  if (endpoint_.user.empty() && endpoint_.password.empty()) return 0;
  Args args;
  args.Add("AUTH");
  if (!endpoint_.user.empty()) args.Add(endpoint_.user);
  args.Add(endpoint_.password);
  Reply reply;
  const int rc = Run(args, &reply);
  // Every refusal of AUTH is a login failure, whatever words the server uses.
  return (rc != 0 && rc != RIMQRC_CONNECTION_LOST && rc != RIMQRC_STORAGE_NOT_AVAILABLE) ? RIMQRC_NOT_AUTHORIZED : rc;
}

int RedisConnection::LoadScripts() {
  SigpipeGuard noSigpipe;
  for (int i = 0; i < kRedisScriptCount; ++i) {
    const char* argv[] = {"SCRIPT", "LOAD", RedisScriptText(static_cast<RedisScript>(i))};
    const std::size_t lens[] = {6, 4, std::strlen(argv[2])};
    if (redisAppendCommandArgv(ctx_.get(), 3, argv, lens) != REDIS_OK) return IoFailure();
  }
  int rc = 0;
  for (int i = 0; i < kRedisScriptCount; ++i) {
    void* raw = nullptr;
    if (redisGetReply(ctx_.get(), &raw) != REDIS_OK) return IoFailure();
    Reply reply(static_cast<redisReply*>(raw));
    if (reply->type == REDIS_REPLY_STRING) {
      sha_[i].assign(reply->str, reply->len);
    } else if (rc == 0) {
      rc = reply->type == REDIS_REPLY_ERROR ? ReasonOfError(*reply) : RIMQRC_UNEXPECTED_ERROR;
      if (rc == kNoScript) rc = RIMQRC_UNEXPECTED_ERROR;
    }
  }
  return rc;
}

// Never closes a socket that Interrupt might still shut down.
void RedisConnection::ResetContext() {
  {
    std::lock_guard<std::mutex> lock(mu_);
    blockedFd_ = -1;
  }
  ctx_.reset();
}

int RedisConnection::IoFailure() {
  const int rc = (ctx_ && ctx_->err == REDIS_ERR_OOM) ? RIMQRC_STORAGE_NOT_AVAILABLE : RIMQRC_CONNECTION_LOST;
  ResetContext();
  return rc;
}

void RedisConnection::SetReceiveTimeout(long long ms) {
  if (!ctx_ || ms == receiveTimeoutMs_) return;
  const timeval tv = ToTimeval(ms);
  if (setsockopt(ctx_->fd, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv) == 0) receiveTimeoutMs_ = ms;
}

int RedisConnection::Run(Args& args, Reply* out) {
  if (!ctx_) return RIMQRC_CONNECTION_LOST;
  SigpipeGuard noSigpipe;
  void* raw = redisCommandArgv(ctx_.get(), args.count(), args.ptrs(), args.lens());
  if (!raw) return IoFailure();
  out->reset(static_cast<redisReply*>(raw));
  return (*out)->type == REDIS_REPLY_ERROR ? ReasonOfError(**out) : 0;
}

int RedisConnection::Eval(RedisScript script, const std::vector<std::string_view>& keys,
                          const std::vector<std::string_view>& argv, Reply* out) {
  const std::string keyCount = std::to_string(keys.size());
  for (int attempt = 0;; ++attempt) {
    Args args;
    args.Add("EVALSHA").Add(sha_[static_cast<int>(script)]).Add(keyCount);
    for (auto k : keys) args.Add(k);
    for (auto a : argv) args.Add(a);
    const int rc = Run(args, out);
    if (rc != kNoScript) return rc;
    if (attempt > 0) return RIMQRC_UNEXPECTED_ERROR;
    if (const int loaded = LoadScripts(); loaded != 0) return loaded;
  }
}

int RedisConnection::Put(OpenedQueue& opened, const Envelope& envelope, std::string_view body, int expiryMs) {
  if (!ctx_) return RIMQRC_CONNECTION_LOST;
  const auto& queue = static_cast<const RedisQueue&>(opened);
  SetReceiveTimeout(NetworkTimeoutSeconds() * 1000LL);
  const auto matchKeys = MessageKeys(envelope, KeySpelling::kHex);
  std::vector<std::string> names;
  names.reserve(2 * kMatchKeyCount);
  for (const auto& k : matchKeys) names.push_back(queue.prefix + k);
  for (const auto& k : matchKeys) names.push_back(queue.prefix + "w:" + k);
  std::vector<std::string_view> keys(names.begin(), names.end());
  keys.push_back(queue.counter);
  std::string envelopeBytes;
  envelope.AppendTo(envelopeBytes);
  const std::string lifetime = std::to_string(std::max(expiryMs, 0));
  Reply reply;
  const int rc = Eval(RedisScript::kPut, keys, {queue.prefix, envelopeBytes, body, lifetime}, &reply);
  if (rc != 0) return rc;
  return reply->type == REDIS_REPLY_INTEGER ? 0 : RIMQRC_UNEXPECTED_ERROR;
}

int RedisConnection::Get(OpenedQueue& opened, const MatchRequest& match, Wait wait, GetTarget& target) {
  const auto& queue = static_cast<const RedisQueue&>(opened);
  {
    std::lock_guard<std::mutex> lock(mu_);
    if (pending_) {
      pending_ = false;
      return RIMQRC_INTERRUPTED;
    }
    if (!ctx_) return RIMQRC_CONNECTION_LOST;
    blockedFd_ = ctx_->fd;
    shutDown_ = false;
  }
  // Ends the blocked state on every way out, exceptions included: an interrupt arriving later
  // must wait for the next get instead of shutting a socket no get is reading.
  struct Unblock {
    RedisConnection& c;
    bool interrupted = false;
    void Now() {
      std::lock_guard<std::mutex> lock(c.mu_);
      c.blockedFd_ = -1;
      interrupted = c.shutDown_;
      c.shutDown_ = false;
    }
    ~Unblock() { Now(); }
  } unblock{*this};
  const std::string key = MatchKey(match, KeySpelling::kHex);
  const std::string index = queue.prefix + key;
  const std::string waiters = queue.prefix + "w:" + key;
  const int rc = wait.milliseconds == 0 ? GetNoWait(queue, index, waiters, target)
                                        : GetWaiting(queue, index, waiters, wait, target);
  unblock.Now();
  return unblock.interrupted ? AfterInterrupt(queue, waiters, rc, target) : rc;
}

int RedisConnection::GetNoWait(const RedisQueue& queue, const std::string& index, const std::string& waiters,
                               GetTarget& target) {
  SetReceiveTimeout(NetworkTimeoutSeconds() * 1000LL);
  Reply reply;
  const int rc = Eval(RedisScript::kGet, {index, waiters, queue.inbox, queue.counter},
                      {queue.prefix, "0", connectionId_, "0"}, &reply);
  if (rc != 0) return rc;
  if (reply->type == REDIS_REPLY_NIL) return RIMQRC_NO_MSG_AVAILABLE;
  if (reply->type != REDIS_REPLY_STRING) return RIMQRC_UNEXPECTED_ERROR;
  return DeliverBlob(reply->str, reply->len, target);
}

int RedisConnection::GetWaiting(const RedisQueue& queue, const std::string& index, const std::string& waiters,
                                Wait wait, GetTarget& target) {
  using Clock = std::chrono::steady_clock;
  const auto deadline = Clock::now() + std::chrono::milliseconds(std::max(wait.milliseconds, 0LL));
  bool registered = false;
  for (;;) {
    long long chunk = kRedisWaitChunkMs;
    if (!wait.unlimited()) {
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
      if (left <= 0) break;
      chunk = std::min<long long>(chunk, left);
    }
    bool delivered = false;
    const int rc = WaitChunk(queue, index, waiters, chunk, &registered, target, &delivered);
    if (rc != 0 || delivered) return rc;
  }
  return registered ? Leave(queue, waiters, target) : RIMQRC_NO_MSG_AVAILABLE;
}

// One bounded wait in one round trip: the get script (claim, or register as a waiter) and a
// BLPOP on this connection's inbox, pipelined.
int RedisConnection::WaitChunk(const RedisQueue& queue, const std::string& index, const std::string& waiters,
                               long long chunkMs, bool* registered, GetTarget& target, bool* delivered) {
  if (!ctx_) return RIMQRC_CONNECTION_LOST;
  const std::string lifetime = std::to_string(chunkMs + kRedisWaiterMarginMs);
  const std::string seconds = SecondsText(chunkMs);
  Args eval;
  eval.Add("EVALSHA").Add(sha_[static_cast<int>(RedisScript::kGet)]).Add("4");
  eval.Add(index).Add(waiters).Add(queue.inbox).Add(queue.counter);
  eval.Add(queue.prefix).Add(lifetime).Add(connectionId_).Add(*registered ? "1" : "0");
  Args blpop;
  blpop.Add("BLPOP").Add(queue.inbox).Add(seconds);
  SetReceiveTimeout(chunkMs + NetworkTimeoutSeconds() * 1000LL);
  SigpipeGuard noSigpipe;
  if (redisAppendCommandArgv(ctx_.get(), eval.count(), eval.ptrs(), eval.lens()) != REDIS_OK ||
      redisAppendCommandArgv(ctx_.get(), blpop.count(), blpop.ptrs(), blpop.lens()) != REDIS_OK) {
    return IoFailure();
  }
  void* raw1 = nullptr;
  if (redisGetReply(ctx_.get(), &raw1) != REDIS_OK) return IoFailure();
  Reply script(static_cast<redisReply*>(raw1));
  void* raw2 = nullptr;
  if (redisGetReply(ctx_.get(), &raw2) != REDIS_OK) return IoFailure();
  Reply popped(static_cast<redisReply*>(raw2));
  // A message in the inbox is ours even when the script failed: an earlier registration matched.
  if (popped->type == REDIS_REPLY_ARRAY && popped->elements == 2 &&
      popped->element[1]->type == REDIS_REPLY_STRING) {
    *delivered = true;
    return DeliverBlob(popped->element[1]->str, popped->element[1]->len, target);
  }
  if (script->type == REDIS_REPLY_ERROR) {
    const int rc = ReasonOfError(*script);
    return rc == kNoScript ? LoadScripts() : rc;
  }
  if (script->type != REDIS_REPLY_INTEGER || popped->type != REDIS_REPLY_NIL) return RIMQRC_UNEXPECTED_ERROR;
  *registered = true;
  return 0;
}

int RedisConnection::Leave(const RedisQueue& queue, const std::string& waiters, GetTarget& target) {
  SetReceiveTimeout(NetworkTimeoutSeconds() * 1000LL);
  Reply reply;
  const int rc = Eval(RedisScript::kDeregister, {waiters, queue.inbox}, {queue.prefix, connectionId_}, &reply);
  if (rc != 0) return rc;
  if (reply->type == REDIS_REPLY_NIL) return RIMQRC_NO_MSG_AVAILABLE;
  if (reply->type != REDIS_REPLY_STRING) return RIMQRC_UNEXPECTED_ERROR;
  return DeliverBlob(reply->str, reply->len, target);
}

// The socket was shut under a get. A get that had already finished keeps its result; otherwise
// the wait is left on a fresh socket, and a message handed over meanwhile is still delivered.
int RedisConnection::AfterInterrupt(const RedisQueue& queue, const std::string& waiters, int rc, GetTarget& target) {
  // Short: an interrupted get must return promptly even when the server has become unreachable.
  constexpr long long kRecoverMs = 1000;
  const bool reconnected = OpenContext(std::min(kRecoverMs, NetworkTimeoutSeconds() * 1000LL)) == 0;
  if (rc == 0 || rc == RIMQRC_TRUNCATED_MSG_FAILED || rc == RIMQRC_NO_MSG_AVAILABLE) return rc;
  if (!reconnected) return RIMQRC_INTERRUPTED;
  const int left = Leave(queue, waiters, target);
  return (left == 0 || left == RIMQRC_TRUNCATED_MSG_FAILED) ? left : RIMQRC_INTERRUPTED;
}

void RedisConnection::Interrupt() {
  std::lock_guard<std::mutex> lock(mu_);
  if (blockedFd_ < 0) {
    pending_ = true;
  } else if (!shutDown_) {
    shutdown(blockedFd_, SHUT_RDWR);
    shutDown_ = true;
  }
}

}  // namespace

std::string RedisQueuePrefix(const std::string& name) { return "rimq:{" + name + "}:"; }

int ConnectRedis(const RedisEndpoint& endpoint, std::unique_ptr<QueueConnection>* out) {
  auto connection = std::make_unique<RedisConnection>(endpoint);
  if (const int rc = connection->Connect(); rc != 0) return rc;
  *out = std::move(connection);
  return 0;
}

}  // namespace velt::rimq
