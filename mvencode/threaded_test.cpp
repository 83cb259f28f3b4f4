// Many threads encoding and decoding at once, from the very first call of the process: the results
// must equal those of one thread (the ThreadSanitizer build checks that nothing is shared unsafely).
#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "mvencode.h"

namespace {

struct Job {
  int type;
  std::string in;
  std::string key;
};

const Job kJobs[] = {
    {1, "password", "deskey"},
    {3, "a secret value of some length", "0123456789abcdefghijklmnopqrstuv"},
    {3, "short", "0123456789abcdef"},
    {5, "Password123", "key"},
    {6, "hello world", "pass phrase"},
    {6, "a longer secret spanning blocks", "0123456789abcdefghijklmnopqrstuvwxyz"},
};

std::string Encode(const Job& j) {
  std::string out(256, '\0');
  const int n = MVEncode(j.type, reinterpret_cast<const unsigned char*>(j.in.c_str()), static_cast<int>(j.in.size()),
                         reinterpret_cast<unsigned char*>(out.data()), 255,
                         reinterpret_cast<const unsigned char*>(j.key.c_str()), static_cast<int>(j.key.size()));
  out.resize(n < 0 ? 0 : static_cast<std::size_t>(n));
  return out;
}

std::string Decode(const Job& j, const std::string& coded) {
  std::string out(256, '\0');
  const int n = MVDecode(j.type, reinterpret_cast<const unsigned char*>(coded.c_str()), static_cast<int>(coded.size()),
                         reinterpret_cast<unsigned char*>(out.data()), 255,
                         reinterpret_cast<const unsigned char*>(j.key.c_str()), static_cast<int>(j.key.size()));
  out.resize(n < 0 ? 0 : static_cast<std::size_t>(n));
  return out;
}

TEST(MVEncodeThreads, ConcurrentCallsAgreeWithOneThread) {
  constexpr int kThreads = 8;
  constexpr int kRounds = 300;
  std::vector<std::vector<std::string>> seen(kThreads);
  std::vector<int> wrongDecodes(kThreads, 0);
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([t, &seen, &wrongDecodes] {
      for (int r = 0; r < kRounds; ++r) {
        const Job& job = kJobs[(t + r) % std::size(kJobs)];
        const std::string coded = Encode(job);
        if (Decode(job, coded) != job.in) ++wrongDecodes[t];
        if (r < static_cast<int>(std::size(kJobs))) seen[t].push_back(coded);
      }
    });
  }
  for (auto& th : threads) th.join();

  for (int t = 0; t < kThreads; ++t) {
    EXPECT_EQ(wrongDecodes[t], 0) << "thread " << t;
    for (std::size_t r = 0; r < seen[t].size(); ++r) {
      EXPECT_EQ(seen[t][r], Encode(kJobs[(t + r) % std::size(kJobs)])) << "thread " << t << " round " << r;
    }
  }
}

}  // namespace
