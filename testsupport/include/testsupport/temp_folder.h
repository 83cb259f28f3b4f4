// A fresh folder under /tmp for one test, removed with everything in it at the end; optionally
// the process's current folder while it lives (files the library opens by bare name land there).
#pragma once

#include <filesystem>
#include <fstream>
#include <string>

namespace velt::testsupport {

class TempFolder {
 public:
  enum class Enter { kNo, kYes };

  explicit TempFolder(Enter enter = Enter::kNo, const char* prefix = "velt-test");
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::filesystem::path& path() const { return path_; }
  // Writes `text` as the whole file `name` inside the folder.
  void Write(const std::string& name, const std::string& text) const {
    std::ofstream(path_ / name, std::ios::binary) << text;
  }

 private:
  std::filesystem::path path_;
  std::filesystem::path previous_;   // empty unless the folder was entered
};

}  // namespace velt::testsupport
