// TempFolder over mkdtemp.
#include "testsupport/temp_folder.h"

#include <stdlib.h>

#include <stdexcept>
#include <vector>

namespace velt::testsupport {

TempFolder::TempFolder(Enter enter, const char* prefix) {
  std::string pattern = std::string("/tmp/") + prefix + "-XXXXXX";
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  if (mkdtemp(name.data()) == nullptr) throw std::runtime_error("mkdtemp failed for " + pattern);
  path_ = name.data();
  if (enter == Enter::kYes) {
    previous_ = std::filesystem::current_path();
    std::filesystem::current_path(path_);
  }
}

TempFolder::~TempFolder() {
  std::error_code ignored;
  if (!previous_.empty()) std::filesystem::current_path(previous_, ignored);
  std::filesystem::remove_all(path_, ignored);
}

}  // namespace velt::testsupport
