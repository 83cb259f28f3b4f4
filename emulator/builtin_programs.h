// The built-in programs for tests and demos: echo, rows, sleep, fail, blob, kv.put, kv.get and
// corrupt. Their exact contract is documented in docs/emulator.md.
#pragma once

#include <set>
#include <string>

#include "kv_store.h"
#include "program_registry.h"
#include "stop_signal.h"

namespace veltemu {

// Upper bounds of the built-ins' arguments.
inline constexpr long long kMaxSleepMs = 600000;

// Registers all built-ins. `kv` and `stop` must outlive the registry's use of them.
void RegisterBuiltins(ProgramRegistry& registry, KvStore& kv, const StopSignal& stop);

// The individual programs, for registering under other names.
void EchoProgram(const Request& request, Answer& answer);
// What echo answers (values not beginning with "_", binary values, tables), leaving out the
// values named in `skip`: also the content of a publication.
void CopyRequestContent(const Request& request, Answer& answer, const std::set<std::string>& skip);
// The request's named values (reserved ones left out) as one row of table "items", columns in
// request order, binary values as their bytes: a generic service for item-list callers.
void ItemsProgram(const Request& request, Answer& answer);
void RowsProgram(const Request& request, Answer& answer);
void FailProgram(const Request& request, Answer& answer);
void BlobProgram(const Request& request, Answer& answer);
void CorruptProgram(const Request& request, Answer& answer);

}  // namespace veltemu
