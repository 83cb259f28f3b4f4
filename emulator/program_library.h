// Business programs written in C (veltemu_program.h), loaded from shared libraries at start:
// velt-emulator --programs. Each library's entry function registers its programs through a
// host table that adapts Request and Answer to C; the libraries stay loaded while the set lives.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "program_registry.h"

namespace veltemu {

// Where a library's programs go: Emulator::Register or ProgramRegistry::Register.
using ProgramSink = std::function<void(const std::string& name, Program program)>;

class ProgramLibraries {
 public:
  ProgramLibraries();
  ~ProgramLibraries();   // unloads: destroy it only after the emulator that runs the programs
  ProgramLibraries(const ProgramLibraries&) = delete;
  ProgramLibraries& operator=(const ProgramLibraries&) = delete;

  // Loads the library at `path` and runs its entry function, registering into `sink`. False with
  // `error` (naming the path and the reason) when it cannot be loaded, has no entry function or
  // the entry refuses; programs it registered before refusing stay registered.
  bool Load(const std::string& path, const ProgramSink& sink, std::string& error);

 private:
  struct Loaded;
  std::vector<std::unique_ptr<Loaded>> loaded_;
};

// "a.so,b.so" into its paths; empty items are refused (false).
bool SplitProgramList(const std::string& list, std::vector<std::string>& paths);

}  // namespace veltemu
