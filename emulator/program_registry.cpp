// Finding the program of a call.
#include "program_registry.h"

#include <mutex>

namespace veltemu {

void ProgramRegistry::Register(const std::string& name, Program handler) {
  std::unique_lock<std::shared_mutex> lock(mutex_);
  if (handler) programs_[name] = std::move(handler);
  else programs_.erase(name);
}

Program ProgramRegistry::Find(const std::string& serviceId, const std::string& headerProgram,
                              std::string* foundName) const {
  std::shared_lock<std::shared_mutex> lock(mutex_);
  const auto hit = [&](const std::map<std::string, Program>::const_iterator& it) {
    if (foundName != nullptr) *foundName = it->first;
    return it->second;
  };
  if (!serviceId.empty()) {
    const auto it = programs_.find(serviceId);
    if (it != programs_.end()) return hit(it);
  }
  if (headerProgram.empty()) return Program();
  const auto exact = programs_.find(headerProgram);
  if (exact != programs_.end()) return hit(exact);
  if (headerProgram.size() < 8) return Program();
  // The header keeps eight characters: accept the one longer name they begin.
  auto it = programs_.lower_bound(headerProgram);
  if (it == programs_.end() || it->first.compare(0, headerProgram.size(), headerProgram) != 0) return Program();
  const auto next = std::next(it);
  if (next != programs_.end() && next->first.compare(0, headerProgram.size(), headerProgram) == 0) return Program();
  return hit(it);
}

}  // namespace veltemu
