// Path rules and module folders (dladdr, /proc/self/exe).
#include "platform/paths.h"

#include <dlfcn.h>
#include <limits.h>
#include <unistd.h>

#include <cstdlib>
#include <memory>

namespace velt::platform {

bool IsRootedPath(std::string_view path) {
  if (path.empty()) return false;
  return path.front() == '\\' || path.front() == '/' || path.find(':') != std::string_view::npos;
}

std::string_view BaseName(std::string_view path) {
  const auto cut = path.find_last_of("\\/");
  return cut == std::string_view::npos ? path : path.substr(cut + 1);
}

std::string ModuleLoadName(const void* addressInModule) {
  Dl_info info{};
  if (dladdr(addressInModule, &info) == 0 || info.dli_fname == nullptr) return {};
  return info.dli_fname;
}

std::string ModuleDirectory(const void* addressInModule) {
  std::string file = ModuleLoadName(addressInModule);
  if (file.empty()) return {};
  // dladdr reports the name the module was loaded by; make it absolute so the folder is usable.
  if (file.front() != '/') {
    std::unique_ptr<char, decltype(&std::free)> real(realpath(file.c_str(), nullptr), &std::free);
    if (!real) return {};
    file = real.get();
  }
  const auto cut = file.find_last_of('/');
  return cut == std::string::npos ? std::string() : file.substr(0, cut + 1);
}

std::string CurrentDirectory() {
  char buf[PATH_MAX];
  return getcwd(buf, sizeof buf) != nullptr ? std::string(buf) : std::string();
}

std::string ProgramPath() {
  char buf[PATH_MAX];
  const ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
  if (n <= 0) return {};
  return std::string(buf, static_cast<std::size_t>(n));
}

}  // namespace velt::platform
