// CThread, a thread object with a stop request, and CPubisherThread, the publication receiver
// each session embeds: it receives publications for its own copy of a control and calls the
// control's callback for each, pausing 50 ms between receives.
//
// Threads: Start, Stop's waiting part (Join) and Release run on the owner's thread; Stop and
// KeepRunning may be called from any thread. A thread is never ended forcibly: its owner stops
// it, interrupts what it waits for and joins it, so no lock it holds is ever left taken.
#pragma once

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "veltcli.h"

class CLUNQCliBase;

namespace velt {

// A manual-reset event: stays signalled until reset.
class ManualResetEvent {
 public:
  void Set();
  void Reset();
  bool IsSet();
  // True when signalled within `milliseconds` (0: no wait).
  bool WaitFor(int milliseconds);

 private:
  std::mutex mutex_;
  std::condition_variable signalled_;
  bool set_ = false;
};

}  // namespace velt

class CThread {
 public:
  CThread() = default;
  virtual ~CThread();
  CThread(const CThread&) = delete;
  CThread& operator=(const CThread&) = delete;

  virtual int Run() = 0;
  virtual bool OnStart() { return true; }
  virtual bool OnStop() { return true; }
  virtual void OnExit() {}
  // Joins the thread (detaches when called on it) and releases the handle. The owner has made
  // the thread leave its loop before (Stop and whatever ends its waits); derived objects call it
  // in their destructor, while the object the thread runs on is still whole.
  virtual void Kill();

  // false while a thread handle is held or OnStart refuses; otherwise the thread runs.
  bool Start();
  // Signals the stop event; false when no handle is held, else OnStop(). Does not wait.
  bool Stop();
  // True while a handle is held and the stop event stays clear for `milliseconds`.
  bool KeepRunning(int milliseconds);

  bool HandleHeld() const { return held_; }
  // The thread body has returned (the exit event is signalled).
  bool Ended() { return exited_.IsSet(); }
  // Waits up to `milliseconds` for the thread body to return.
  bool WaitEnded(int milliseconds) { return exited_.WaitFor(milliseconds); }
  bool OnThisThread() const { return held_ && std::this_thread::get_id() == id_.load(); }
  // Waits for the thread to end; the handle stays held (Stop still reports a started thread).
  // Does nothing on the thread itself.
  void Join();
  // Joins a thread that has ended and releases its handle, so Start may run again.
  void Release() { Kill(); }

  void* owner = nullptr;   // the object the thread body works for (the session)

 protected:
  // The stop event's wait: true when stop was requested within `milliseconds`.
  bool StopRequested(int milliseconds) { return stop_.WaitFor(milliseconds); }

 private:
  static void Procedure(CThread* self);

  velt::ManualResetEvent stop_;
  velt::ManualResetEvent exited_;
  std::thread thread_;
  std::atomic<std::thread::id> id_{};
  std::atomic<bool> held_{false};   // read by the thread's loop, written by its owner
};

class CPubisherThread : public CThread {
 public:
  CPubisherThread();
  ~CPubisherThread() override;
  int Run() override;

  tagInfoControl& Control() { return control_; }

 private:
  tagInfoControl control_;
};
