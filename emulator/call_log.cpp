// Log lines.
#include "call_log.h"

#include <cstdio>

#include "platform/local_time.h"

namespace veltemu {
namespace {

std::string Now() {
  const velt::platform::LocalTime now = velt::platform::LocalNow();
  const std::tm& local = now.fields;
  char buf[40];
  std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d.%03d", local.tm_year + 1900, local.tm_mon + 1,
                local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec, now.milliseconds);
  return buf;
}

}  // namespace

void CallLog::Line(const std::string& text) {
  if (out_ == nullptr) return;
  const std::string line = Now() + " " + text + "\n";
  std::lock_guard<std::mutex> lock(mutex_);
  std::fwrite(line.data(), 1, line.size(), out_);
  std::fflush(out_);
}

void CallLog::Call(int session, const std::string& program, int callType, int status, std::size_t requestBytes,
                   std::size_t answerBytes) {
  if (!verbose_) return;
  Line("session=" + std::to_string(session) + " type=" + std::to_string(callType) + " program=" + program +
       " status=" + std::to_string(status) + " request=" + std::to_string(requestBytes) +
       " answer=" + std::to_string(answerBytes));
}

void CallLog::Problem(const std::string& text) { Line("problem: " + text); }

}  // namespace veltemu
