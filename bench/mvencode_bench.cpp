// Cost of the encoder's cipher types 1, 3 and 6 and of its raw DES/AES, each next to the same
// primitive in OpenSSL measured in the same run; a summary of the ratios follows the table.
//
// OpenSSL picks AES-NI when the CPU has it. Our AES is table-driven software, so compare it with
// OpenSSL's software path too: run with --software-aes (the program re-runs itself with
// OPENSSL_ia32cap=~0x200000200000000, which hides AES-NI and PCLMULQDQ from OpenSSL).
#include <benchmark/benchmark.h>
#include <openssl/evp.h>
#include <openssl/provider.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "aes.h"
#include "des.h"
#include "encoder.h"

namespace {

using velt::mvencode::EncodeArgs;

constexpr char kSoftwareAesFlag[] = "--software-aes";
constexpr char kSoftwareAesMask[] = "~0x200000200000000";

const unsigned char kKey[32] = {'b', 'e', 'n', 'c', 'h', '-', 'k', 'e', 'y', '-', '0', '1', '2', '3', '4', '5',
                                '6', '7', '8', '9', 'a', 'b', 'c', 'd', 'e', 'f', 'g', 'h', 'i', 'j', 'k', 'l'};
const unsigned char kIv[16] = {0};

std::vector<unsigned char> Input(std::size_t n) {
  std::vector<unsigned char> in(n);
  for (std::size_t i = 0; i < n; ++i) in[i] = static_cast<unsigned char>('A' + i % 26);  // no zero byte
  return in;
}

// ---- the encoder: one MVEncode-equivalent call per iteration (key setup included) ----

void OursType(benchmark::State& state, int type, int keyLen) {
  const std::vector<unsigned char> in = Input(static_cast<std::size_t>(state.range(0)));
  std::vector<unsigned char> out(2 * in.size() + 64);
  const EncodeArgs args{in.data(), static_cast<int>(in.size()), out.data(), static_cast<int>(out.size()) - 1,
                        kKey, keyLen};
  for (auto _ : state) {
    benchmark::DoNotOptimize(velt::mvencode::Encode(type, args));
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * state.range(0));
}

// ---- OpenSSL: the same cipher, key set up per call as the encoder does ----

const EVP_CIPHER* Cipher(const char* name) {
  static std::map<std::string, EVP_CIPHER*> fetched;
  auto it = fetched.find(name);
  if (it == fetched.end()) it = fetched.emplace(name, EVP_CIPHER_fetch(nullptr, name, nullptr)).first;
  return it->second;
}

bool OpenSslSetup(benchmark::State& state, const EVP_CIPHER* cipher, EVP_CIPHER_CTX* ctx) {
  if (cipher == nullptr || ctx == nullptr) {
    state.SkipWithError("OpenSSL cipher unavailable (legacy provider?)");
    return false;
  }
  return true;
}

void OpenSslPerCall(benchmark::State& state, const char* name, bool withIv) {
  const std::vector<unsigned char> in = Input(static_cast<std::size_t>(state.range(0)));
  std::vector<unsigned char> out(in.size() + 32);
  const EVP_CIPHER* cipher = Cipher(name);
  EVP_CIPHER_CTX* ctx = EVP_CIPHER_CTX_new();
  if (!OpenSslSetup(state, cipher, ctx)) return;
  for (auto _ : state) {
    int n = 0;
    EVP_EncryptInit_ex2(ctx, cipher, kKey, withIv ? kIv : nullptr, nullptr);
    EVP_CIPHER_CTX_set_padding(ctx, 0);
    EVP_EncryptUpdate(ctx, out.data(), &n, in.data(), static_cast<int>(in.size()));
    benchmark::DoNotOptimize(n);
    benchmark::ClobberMemory();
  }
  EVP_CIPHER_CTX_free(ctx);
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * state.range(0));
}

// ---- raw block transforms with the key already set up: the primitive's own speed ----

void OursRawDes(benchmark::State& state) {
  const std::vector<unsigned char> in = Input(static_cast<std::size_t>(state.range(0)));
  std::vector<unsigned char> out(in.size());
  velt::mvencode::DesKeySchedule ks;
  velt::mvencode::DesSetKey(kKey, ks);
  for (auto _ : state) {
    for (std::size_t i = 0; i < in.size(); i += 8) velt::mvencode::DesEncryptBlock(ks, in.data() + i, out.data() + i);
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * state.range(0));
}

void OursRawAes(benchmark::State& state, std::size_t keyBytes) {
  const std::vector<unsigned char> in = Input(static_cast<std::size_t>(state.range(0)));
  std::vector<unsigned char> out(in.size());
  velt::mvencode::AesKeySchedule ks;
  velt::mvencode::AesSetEncryptKey(kKey, keyBytes, ks);
  for (auto _ : state) {
    for (std::size_t i = 0; i < in.size(); i += 16) velt::mvencode::AesEncryptBlock(ks, in.data() + i, out.data() + i);
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * state.range(0));
}

void OpenSslRaw(benchmark::State& state, const char* name) {
  const std::vector<unsigned char> in = Input(static_cast<std::size_t>(state.range(0)));
  std::vector<unsigned char> out(in.size() + 32);
  const EVP_CIPHER* cipher = Cipher(name);
  EVP_CIPHER_CTX* ctx = EVP_CIPHER_CTX_new();
  if (!OpenSslSetup(state, cipher, ctx)) return;
  EVP_EncryptInit_ex2(ctx, cipher, kKey, nullptr, nullptr);
  EVP_CIPHER_CTX_set_padding(ctx, 0);
  for (auto _ : state) {
    int n = 0;
    EVP_EncryptUpdate(ctx, out.data(), &n, in.data(), static_cast<int>(in.size()));
    benchmark::DoNotOptimize(n);
    benchmark::ClobberMemory();
  }
  EVP_CIPHER_CTX_free(ctx);
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * state.range(0));
}

// ---- registration and the ratio summary ----

struct Pair {
  std::string ours;
  std::string openssl;
};
std::vector<Pair> g_pairs;

void RegisterPairs() {
  for (int size : {16, 1024}) {
    const std::string s = "/" + std::to_string(size);  // the name Arg() gives the run
    benchmark::RegisterBenchmark("type1_des", OursType, 1, 8)->Arg(size);
    benchmark::RegisterBenchmark("openssl_des_ecb", OpenSslPerCall, "DES-ECB", false)->Arg(size);
    benchmark::RegisterBenchmark("type3_aes128", OursType, 3, 16)->Arg(size);
    benchmark::RegisterBenchmark("openssl_aes128_ecb", OpenSslPerCall, "AES-128-ECB", false)->Arg(size);
    benchmark::RegisterBenchmark("type6_aes256cbc", OursType, 6, 32)->Arg(size);
    benchmark::RegisterBenchmark("openssl_aes256_cbc", OpenSslPerCall, "AES-256-CBC", true)->Arg(size);
    g_pairs.push_back({"type1_des" + s, "openssl_des_ecb" + s});
    g_pairs.push_back({"type3_aes128" + s, "openssl_aes128_ecb" + s});
    g_pairs.push_back({"type6_aes256cbc" + s, "openssl_aes256_cbc" + s});
  }
  benchmark::RegisterBenchmark("raw_des", OursRawDes)->Arg(1024);
  benchmark::RegisterBenchmark("openssl_raw_des_ecb", OpenSslRaw, "DES-ECB")->Arg(1024);
  benchmark::RegisterBenchmark("raw_aes128", OursRawAes, 16)->Arg(1024);
  benchmark::RegisterBenchmark("openssl_raw_aes128_ecb", OpenSslRaw, "AES-128-ECB")->Arg(1024);
  benchmark::RegisterBenchmark("raw_aes256", OursRawAes, 32)->Arg(1024);
  benchmark::RegisterBenchmark("openssl_raw_aes256_ecb", OpenSslRaw, "AES-256-ECB")->Arg(1024);
  g_pairs.push_back({"raw_des/1024", "openssl_raw_des_ecb/1024"});
  g_pairs.push_back({"raw_aes128/1024", "openssl_raw_aes128_ecb/1024"});
  g_pairs.push_back({"raw_aes256/1024", "openssl_raw_aes256_ecb/1024"});
}

// Keeps each benchmark's CPU time per iteration (the median when repetitions are asked for); CPU
// time, because the machines that run this are often shared.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  RatioReporter() : ConsoleReporter(isatty(STDOUT_FILENO) ? OO_ColorTabular : OO_Tabular) {}

  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
      if (run.run_type == Run::RT_Iteration || median) times_[run.run_name.str()] = run.GetAdjustedCPUTime();
    }
    ConsoleReporter::ReportRuns(runs);
  }

  void PrintSummary() const {
    const char* cap = std::getenv("OPENSSL_ia32cap");
    std::printf("\nours / OpenSSL (CPU time per call; below 1 is faster), OpenSSL path: %s\n",
                cap ? "software (OPENSSL_ia32cap set)" : "as detected (AES-NI if present)");
    for (const Pair& p : g_pairs) {
      const auto a = times_.find(p.ours);
      const auto b = times_.find(p.openssl);
      if (a == times_.end() || b == times_.end() || b->second <= 0) continue;
      std::printf("  %-22s vs %-28s %6.2fx\n", p.ours.c_str(), p.openssl.c_str(), a->second / b->second);
    }
  }

 private:
  std::map<std::string, double> times_;
};

// Re-runs the program with OpenSSL's AES-NI hidden; OpenSSL reads the mask only at start-up.
void ReexecWithSoftwareAes(int argc, char** argv) {
  std::vector<char*> args;
  for (int i = 0; i < argc; ++i) {
    if (std::strcmp(argv[i], kSoftwareAesFlag) != 0) args.push_back(argv[i]);
  }
  args.push_back(nullptr);
  setenv("OPENSSL_ia32cap", kSoftwareAesMask, 1);
  execv("/proc/self/exe", args.data());
  std::perror("re-running with OPENSSL_ia32cap failed");
  std::exit(1);
}

}  // namespace

int main(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], kSoftwareAesFlag) == 0 && std::getenv("OPENSSL_ia32cap") == nullptr) {
      ReexecWithSoftwareAes(argc, argv);
    }
  }
  std::vector<char*> rest;
  for (int i = 0; i < argc; ++i) {
    if (std::strcmp(argv[i], kSoftwareAesFlag) != 0) rest.push_back(argv[i]);
  }
  int restCount = static_cast<int>(rest.size());
  // Single DES lives in the legacy provider; loading it stops the default one from loading itself.
  if (OSSL_PROVIDER_load(nullptr, "default") == nullptr || OSSL_PROVIDER_load(nullptr, "legacy") == nullptr) {
    std::fprintf(stderr, "OpenSSL legacy provider not available: the DES comparison is skipped\n");
  }
  RegisterPairs();
  benchmark::Initialize(&restCount, rest.data());
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.PrintSummary();
  benchmark::Shutdown();
  return 0;
}
