// The exported LYRSSO_Init with a relative name reads the file beside liblyrsso.so, wherever the
// program runs from.
#include "lyrsso.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <ctime>
#include <fstream>
#include <string>

#include "platform/paths.h"

namespace {

TEST(LyrssoApiFolder, RelativeNameIsTheLibrarysFolder) {
  // dladdr resolves the exported function to the shared library that defines it.
  const std::string libraryFolder = velt::platform::ModuleDirectory(reinterpret_cast<const void*>(&LYRSSO_Init));
  ASSERT_FALSE(libraryFolder.empty());
  ASSERT_TRUE(std::ifstream(libraryFolder + "liblyrsso.so").good()) << libraryFolder;
  const std::string name = "lyrsso_api_folder_test_" + std::to_string(::getpid()) + ".ini";
  { std::ofstream(libraryFolder + name) << "[LYRSSO]\nValidTime=3600\nSpecialString=beside-the-library\n"; }
  ASSERT_EQ(chdir("/"), 0);  // not the working folder either
  LYRSSO_Init(name.c_str());
  std::remove((libraryFolder + name).c_str());

  char ticket[33];
  ASSERT_EQ(LYRSSO_Sign("APP", "user", ticket, sizeof ticket), 0);
  int expiry = 0;
  ASSERT_EQ(LYRSSO_Verify("APP", "user", ticket, &expiry), 0);
  EXPECT_GE(expiry, std::time(nullptr) + 3599);
}

}  // namespace
