// The business programs the emulator runs, by name. A call is dispatched by its full service id
// ("_VeltServiceID_") and otherwise by the header's program name, which the header cuts to eight
// characters: a registered name whose first eight characters are that name matches when it is the
// only such name. Thread-safe; programs may be registered while the emulator runs.
#pragma once

#include <functional>
#include <map>
#include <shared_mutex>
#include <string>

#include "answer.h"
#include "request.h"

namespace veltemu {

using Program = std::function<void(const Request&, Answer&)>;

class ProgramRegistry {
 public:
  // Registers (or replaces) `name`; an empty handler removes it.
  void Register(const std::string& name, Program handler);
  // The program for a call, and the name it was found under; an empty Program when none.
  Program Find(const std::string& serviceId, const std::string& headerProgram, std::string* foundName = nullptr) const;

 private:
  mutable std::shared_mutex mutex_;
  std::map<std::string, Program> programs_;
};

}  // namespace veltemu
