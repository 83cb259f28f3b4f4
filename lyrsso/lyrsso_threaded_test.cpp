// Concurrency: Sign and Verify in many threads while other threads repeat LYRSSO_Init, and on a
// private instance, callers racing the first initialisation itself.
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "lyrsso.h"
#include "lyrsso_test_support.h"
#include "ticket_library.h"

namespace {

using velt::lyrsso::test::IniText;
using velt::lyrsso::test::TempFolder;

constexpr int kThreads = 6;
constexpr int kRounds = 300;

// Callers such as the authentication client call LYRSSO_Init before every check; those calls must
// not make checks running in other threads fail.
TEST(LyrssoThreaded, SignAndVerifyWhileInitIsRepeated) {
  TempFolder folder;
  const std::string ini = folder.Write("threads.ini", IniText("600", "threaded-secret"));
  const std::string other = folder.Write("other.ini", IniText("1", "other"));
  ASSERT_EQ(LYRSSO_Init(ini.c_str()), 0);

  std::atomic<int> failures{0};
  std::atomic<bool> stop{false};
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([t, &failures] {
      const std::string user = "user" + std::to_string(t);
      for (int i = 0; i < kRounds; ++i) {
        char ticket[33];
        int expiry = 0;
        if (LYRSSO_Sign("APP", user.c_str(), ticket, sizeof ticket) != 0 ||
            LYRSSO_Verify("APP", user.c_str(), ticket, &expiry) != 0 ||
            LYRSSO_Verify("APP", "someone-else", ticket, nullptr) != LYRSSO_ERR_VERIFY_MISMATCH)
          ++failures;
      }
    });
  }
  std::thread reinit([&] {
    while (!stop.load()) LYRSSO_Init(other.c_str());
  });
  for (auto& th : threads) th.join();
  stop.store(true);
  reinit.join();
  EXPECT_EQ(failures.load(), 0);
}

TEST(LyrssoThreaded, CallersRacingTheFirstInit) {
  TempFolder folder;
  const std::string ini = folder.Write("race.ini", IniText("90", "race-secret"));
  const std::string other = folder.Write("race-other.ini", IniText("2", "other"));
  for (int attempt = 0; attempt < 20; ++attempt) {
    velt::lyrsso::TicketLibrary lib;
    std::atomic<int> unexpected{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
      threads.emplace_back([&, t] {
        lib.Init((t % 2 == 0 ? ini : other).c_str(), &lib);
        for (int i = 0; i < 20; ++i) {
          char ticket[33];
          const int r = lib.Sign("APP", "user", ticket, sizeof ticket, 1700000000);
          // Before the first Init has finished reading, "not initialised"; never a torn secret.
          if (r == LYRSSO_ERR_SIGN_NOT_INITIALISED) continue;
          int expiry = 0;
          if (r != 0 || lib.Verify("APP", "user", ticket, &expiry, 1700000000) != 0) ++unexpected;
        }
      });
    }
    for (auto& th : threads) th.join();
    EXPECT_EQ(unexpected.load(), 0);
    ASSERT_TRUE(lib.Initialised());
    const bool readOne = (lib.Config().validTime == 90 && std::string(lib.Config().secret) == "race-secret") ||
                         (lib.Config().validTime == 2 && std::string(lib.Config().secret) == "other");
    EXPECT_TRUE(readOne);
  }
}

}  // namespace
