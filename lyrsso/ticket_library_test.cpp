// The once-only initialisation, on private library instances (the exported calls have their own
// programs): before Init, one read only, and the library's own folder for relative names.
#include "ticket_library.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "lyrsso.h"
#include "lyrsso_test_support.h"
#include "platform/paths.h"

namespace {

using velt::lyrsso::TicketLibrary;
using velt::lyrsso::test::IniText;
using velt::lyrsso::test::TempFolder;

constexpr std::int64_t kNow = 1700000000;
const int kAnchor = 0;  // an address inside this test program

TEST(TicketLibrary, RefusesUntilInitialised) {
  TicketLibrary lib;
  char ticket[33];
  int expiry = 5;
  EXPECT_EQ(lib.Sign("APP", "user", ticket, sizeof ticket, kNow), LYRSSO_ERR_SIGN_NOT_INITIALISED);
  EXPECT_EQ(lib.Verify("APP", "user", "ABCD", &expiry, kNow), LYRSSO_ERR_VERIFY_NOT_INITIALISED);
  EXPECT_EQ(expiry, 5);
  // Not initialised is reported before any argument check.
  EXPECT_EQ(lib.Sign(nullptr, nullptr, nullptr, 0, kNow), LYRSSO_ERR_SIGN_NOT_INITIALISED);
  EXPECT_EQ(lib.Verify(nullptr, nullptr, nullptr, nullptr, kNow), LYRSSO_ERR_VERIFY_NOT_INITIALISED);
}

TEST(TicketLibrary, OnlyTheFirstInitReads) {
  TempFolder folder;
  const std::string first = folder.Write("first.ini", IniText("5", "alpha"));
  const std::string second = folder.Write("second.ini", IniText("500", "beta"));
  TicketLibrary lib;
  lib.Init(first.c_str(), &kAnchor);
  lib.Init(second.c_str(), &kAnchor);
  lib.Init(nullptr, &kAnchor);
  EXPECT_EQ(lib.Config().validTime, 5);
  EXPECT_STREQ(lib.Config().secret, "alpha");

  char ticket[33];
  ASSERT_EQ(lib.Sign("APP", "user", ticket, sizeof ticket, kNow), 0);
  int expiry = 0;
  EXPECT_EQ(lib.Verify("APP", "user", ticket, &expiry, kNow), 0);
  EXPECT_EQ(expiry, kNow + 5);
}

TEST(TicketLibrary, MissingFileMeansDefaults) {
  TempFolder folder;
  TicketLibrary lib;
  lib.Init((folder.path() + "/absent.ini").c_str(), &kAnchor);
  ASSERT_TRUE(lib.Initialised());
  EXPECT_EQ(lib.Config().validTime, 60);
  EXPECT_STREQ(lib.Config().secret, "");
}

TEST(TicketLibrary, RelativeNamesAreReadFromTheModuleFolder) {
  const std::string dir = velt::platform::ModuleDirectory(&kAnchor);
  ASSERT_FALSE(dir.empty());
  const std::string name = "ticket_library_test_" + std::to_string(::getpid()) + ".ini";
  { std::ofstream(dir + name) << IniText("7", "from-module-folder"); }
  TicketLibrary lib;
  lib.Init(name.c_str(), &kAnchor);
  std::remove((dir + name).c_str());
  EXPECT_EQ(lib.Config().validTime, 7);
  EXPECT_STREQ(lib.Config().secret, "from-module-folder");
}

}  // namespace
