// The thread object and the receiver loop.
#include "infocenter/pub_thread.h"

#include <chrono>
#include <cstring>

#include "calls/service_calls.h"
#include "core/session.h"
#include "infocenter/info_calls.h"

namespace velt {

void ManualResetEvent::Set() {
  std::lock_guard<std::mutex> guard(mutex_);
  set_ = true;
  signalled_.notify_all();
}

void ManualResetEvent::Reset() {
  std::lock_guard<std::mutex> guard(mutex_);
  set_ = false;
}

bool ManualResetEvent::IsSet() {
  std::lock_guard<std::mutex> guard(mutex_);
  return set_;
}

bool ManualResetEvent::WaitFor(int milliseconds) {
  std::unique_lock<std::mutex> lock(mutex_);
  return signalled_.wait_for(lock, std::chrono::milliseconds(milliseconds), [this] { return set_; });
}

}  // namespace velt

namespace {

constexpr int kPauseMilliseconds = 50;
constexpr int kReceiverWait = 999999;

// The reconnect of the loop: the forced disconnect, then the session's last connect again
// without touching option 14. Results are not examined: the next receive tells.
void Reconnect(CLUNQCliBase& s) noexcept {
  velt::DisconnectSession(s, false, true);
  char server[sizeof s.serverName];
  char user[sizeof s.user];
  char password[sizeof s.password];
  std::memcpy(server, s.serverName, sizeof server);
  std::memcpy(user, s.user, sizeof user);
  std::memcpy(password, s.password, sizeof password);
  velt::ConnectSession(s, server, user, password);
}

}  // namespace

CThread::~CThread() { Kill(); }

void CThread::Kill() {
  if (!held_) return;
  if (thread_.joinable()) {
    if (std::this_thread::get_id() == id_.load()) {
      thread_.detach();   // the teardown runs on the thread itself: it ends when it returns
    } else {
      thread_.join();
    }
  }
  held_ = false;
}

void CThread::Join() {
  if (thread_.joinable() && std::this_thread::get_id() != id_.load()) thread_.join();
}

bool CThread::Start() {
  if (held_ || !OnStart()) return false;
  stop_.Reset();
  exited_.Reset();
  held_ = true;   // before the thread's first KeepRunning
  try {
    thread_ = std::thread(&CThread::Procedure, this);
  } catch (...) {
    held_ = false;
    return false;
  }
  id_.store(thread_.get_id());
  return true;
}

void CThread::Procedure(CThread* self) {
  self->id_.store(std::this_thread::get_id());   // the callback may ask before Start has stored it
  self->Run();
  self->OnExit();
  self->exited_.Set();
}

bool CThread::Stop() {
  stop_.Set();
  if (!held_) return false;
  return OnStop();
}

bool CThread::KeepRunning(int milliseconds) { return held_ && !stop_.WaitFor(milliseconds); }

CPubisherThread::CPubisherThread() { std::memset(&control_, 0, sizeof control_); }

CPubisherThread::~CPubisherThread() { Kill(); }

int CPubisherThread::Run() {
  auto* session = static_cast<CLUNQCliBase*>(owner);
  while (KeepRunning(0)) {
    if (session != nullptr && session->publicationStarted.load() != 0) {
      control_.nExpiry = kReceiverWait;
      const int rc = velt::InfoReceivePublication(*session, &control_);
      if (rc == 0) {
        if (control_.pfnCallback != nullptr) {
          try {
            control_.pfnCallback(&control_);
          } catch (...) {
            // The callback's failure is its own; the next publication is still delivered.
          }
        }
      } else if (session->publicationStarted.load() != 0) {
        Reconnect(*session);
      }
    }
    StopRequested(kPauseMilliseconds);
  }
  return 1;
}
