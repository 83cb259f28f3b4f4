// The exported names of libveltcli.so against the export table: exactly the table's C names plus
// the members of CVELTCli, every name resolvable, and each alias at its function's address.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <set>
#include <string>

namespace {

struct ExportRow {
  const char* family;
  const char* name;
  const char* sameAs;
};

const ExportRow kExports[] = {
#include "export_table.inc"
};

std::set<std::string> DynamicSymbols(const std::string& library) {
  std::set<std::string> names;
  const std::string command = "nm -D --defined-only -C " + library;
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), &pclose);
  if (!pipe) return names;
  char line[1024];
  while (std::fgets(line, sizeof line, pipe.get()) != nullptr) {
    std::string text(line);
    if (!text.empty() && text.back() == '\n') text.pop_back();
    // "<address> <type> <name>"
    const std::size_t first = text.find(' ');
    const std::size_t second = first == std::string::npos ? first : text.find(' ', first + 1);
    if (second != std::string::npos) names.insert(text.substr(second + 1));
  }
  return names;
}

TEST(ExportTable, LibraryExportsExactlyTheTable) {
  const std::set<std::string> exported = DynamicSymbols(VELTCLI_LIBRARY_PATH);
  ASSERT_FALSE(exported.empty()) << "nm could not read " << VELTCLI_LIBRARY_PATH;
  std::set<std::string> expected;
  for (const ExportRow& row : kExports) expected.insert(row.name);

  for (const std::string& name : exported) {
    const bool classMember = name.rfind("CVELTCli::", 0) == 0;
    EXPECT_TRUE(classMember || expected.count(name) == 1) << "unexpected export: " << name;
  }
  for (const std::string& name : expected) EXPECT_EQ(exported.count(name), 1u) << "missing export: " << name;
  EXPECT_EQ(exported.count("CVELTCli::CVELTCli()"), 1u);
  EXPECT_EQ(exported.count("CVELTCli::GetOptions(int, void*, int)"), 1u);
}

TEST(ExportTable, AliasesShareOneAddress) {
  void* library = dlopen(VELTCLI_LIBRARY_PATH, RTLD_NOW);
  ASSERT_NE(library, nullptr) << dlerror();
  int aliases = 0;
  for (const ExportRow& row : kExports) {
    void* address = dlsym(library, row.name);
    EXPECT_NE(address, nullptr) << row.name;
    if (row.sameAs[0] != '\0') {
      EXPECT_EQ(address, dlsym(library, row.sameAs)) << row.name << " is " << row.sameAs;
      ++aliases;
    }
  }
  EXPECT_GE(aliases, 1);
  dlclose(library);
}

}  // namespace
