// The in-process emulator: shared state, workers and their threads.
#include "emulator.h"

#include <algorithm>
#include <cstdio>
#include <random>
#include <thread>
#include <vector>

#include "call_dispatcher.h"
#include "call_log.h"
#include "queue_worker.h"
#include "stray_table.h"

namespace veltemu {
namespace {

constexpr int kMaxWorkers = 64;

// "T" and eight hex digits and a dot: ids of two emulators on one queue never meet.
std::string TransactionPrefix() {
  std::random_device random;
  char buf[16];
  std::snprintf(buf, sizeof buf, "T%08X.", static_cast<unsigned>(random()));
  return buf;
}

EmulatorConfig Sane(EmulatorConfig c) {
  c.workers = std::clamp(c.workers, 1, kMaxWorkers);
  c.collectSeconds = std::clamp(c.collectSeconds, 1, 3600);
  c.answerExpirySeconds = std::clamp(c.answerExpirySeconds, 1, 2000000);
  return c;
}

}  // namespace

struct Emulator::Impl {
  explicit Impl(EmulatorConfig c)
      : config(Sane(std::move(c))),
        dispatcher(config.serverNumber, TransactionPrefix(), stats, stop),
        strays(std::chrono::seconds(config.collectSeconds)),
        log(config.log, config.verbose) {}

  EmulatorConfig config;
  StatsCounters stats;
  StopSignal stop;
  CallDispatcher dispatcher;
  StrayTable strays;
  CallLog log;
  std::vector<std::unique_ptr<QueueWorker>> workers;
  std::vector<std::thread> threads;
};

Emulator::Emulator(EmulatorConfig config) : impl_(std::make_unique<Impl>(std::move(config))) {}

Emulator::~Emulator() { Stop(); }

int Emulator::Start() {
  Impl& m = *impl_;
  if (!m.threads.empty()) return 0;
  m.stop.Reset();
  const WorkerShared shared{m.dispatcher, m.strays, m.stats, m.log, m.stop};
  for (int i = 0; i < m.config.workers; ++i) {
    auto worker = std::make_unique<QueueWorker>(m.config, shared);
    if (const int reason = worker->Connect(); reason != 0) {
      m.workers.clear();   // each worker's connection closes with it
      m.log.Problem("cannot serve '" + m.config.requestQueue + "' at '" + m.config.address + "' (reason " +
                    std::to_string(reason) + ")");
      return reason;
    }
    m.workers.push_back(std::move(worker));
  }
  for (auto& w : m.workers) m.threads.emplace_back([worker = w.get()] { worker->Run(); });
  return 0;
}

void Emulator::Stop() {
  Impl& m = *impl_;
  m.stop.Raise();
  for (auto& w : m.workers) w->Shutdown();
  for (auto& t : m.threads) t.join();
  m.threads.clear();
  m.workers.clear();
}

void Emulator::Register(const std::string& program, Program handler) {
  impl_->dispatcher.registry().Register(program, std::move(handler));
}

Stats Emulator::GetStats() const { return impl_->stats.Snapshot(); }

}  // namespace veltemu
