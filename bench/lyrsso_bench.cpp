// Sign-on ticket cost next to the same work done with OpenSSL's SHA-1, Blowfish and Base64 in the
// same run; the closing lines give each of ours as a ratio of its OpenSSL floor.
#include <benchmark/benchmark.h>
#include <openssl/evp.h>
#include <openssl/provider.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "armorrt/src/security/tblowfish.h"
#include "armorrt/src/security/tsha1.h"
#include "ticket.h"

namespace {

using namespace velt::lyrsso;

constexpr std::int64_t kNow = 1700000000;
const char kApp[] = "APPLIC1";
const char kUser[] = "user000123";
const char kSecret[] = "bench-shared-secret";

TicketConfig BenchConfig() {
  TicketConfig c;
  c.validTime = 60;
  std::memcpy(c.secret, kSecret, sizeof kSecret);
  return c;
}

// OpenSSL doing what a ticket needs: SHA-1 of the record, Blowfish keyed per ticket, Base64.
class OpenSslTicketWork {
 public:
  OpenSslTicketWork() {
    legacy_ = OSSL_PROVIDER_load(nullptr, "legacy");
    default_ = OSSL_PROVIDER_load(nullptr, "default");
    sha1_ = EVP_MD_fetch(nullptr, "SHA1", nullptr);
    bf_ = EVP_CIPHER_fetch(nullptr, "BF-ECB", nullptr);
    ctx_ = EVP_CIPHER_CTX_new();
    md_ = EVP_MD_CTX_new();
  }
  ~OpenSslTicketWork() {
    EVP_MD_CTX_free(md_);
    EVP_CIPHER_CTX_free(ctx_);
    EVP_CIPHER_free(bf_);
    EVP_MD_free(sha1_);
    if (default_) OSSL_PROVIDER_unload(default_);
    if (legacy_) OSSL_PROVIDER_unload(legacy_);
  }
  bool Ready() const { return legacy_ && default_ && sha1_ && bf_ && ctx_ && md_; }

  void Digest(const unsigned char* data, std::size_t n, unsigned char out[20]) {
    unsigned len = 0;
    EVP_DigestInit_ex2(md_, sha1_, nullptr);
    EVP_DigestUpdate(md_, data, n);
    EVP_DigestFinal_ex(md_, out, &len);
  }
  void Cipher(bool encrypt, const unsigned char* key, int keyLen, unsigned char* block, int n) {
    int out = 0;
    EVP_CipherInit_ex2(ctx_, bf_, nullptr, nullptr, encrypt, nullptr);
    EVP_CIPHER_CTX_set_key_length(ctx_, keyLen);
    EVP_CipherInit_ex2(ctx_, nullptr, key, nullptr, encrypt, nullptr);
    EVP_CIPHER_CTX_set_padding(ctx_, 0);
    SwapHalves(block, n);
    EVP_CipherUpdate(ctx_, block, &out, block, n);
    SwapHalves(block, n);
  }

  void Sign(const TicketConfig& config, char ticket[33]) {
    unsigned char record[kRecordSize], block[kBlockSize], key[kKeyLimit + 1];
    const std::int32_t expiry = ExpiryAt(kNow, config.validTime);
    BuildSignedRecord(kApp, kUser, expiry, config.secret, record);
    std::memcpy(block, record + 32, 4);
    Digest(record, sizeof record, block + 4);
    const auto keyLen = static_cast<int>(BuildTicketKey(kApp, kUser, config.secret, key));
    Cipher(true, key, keyLen, block, sizeof block);
    EVP_EncodeBlock(reinterpret_cast<unsigned char*>(ticket), block, sizeof block);
  }
  bool Verify(const TicketConfig& config, const char* ticket) {
    unsigned char area[kDecodeArea], record[kRecordSize], digest[20], key[kKeyLimit + 1];
    if (EVP_DecodeBlock(area, reinterpret_cast<const unsigned char*>(ticket), 32) != 24) return false;
    const auto keyLen = static_cast<int>(BuildTicketKey(kApp, kUser, config.secret, key));
    Cipher(false, key, keyLen, area, kBlockSize);
    std::int32_t expiry = 0;
    std::memcpy(&expiry, area, 4);  // little-endian host
    BuildSignedRecord(kApp, kUser, expiry, config.secret, record);
    Digest(record, sizeof record, digest);
    return std::memcmp(digest, area + 4, 20) == 0 && expiry >= kNow;
  }

 private:
  static void SwapHalves(unsigned char* p, int n) {
    for (int i = 0; i + 4 <= n; i += 4) {
      std::swap(p[i], p[i + 3]);
      std::swap(p[i + 1], p[i + 2]);
    }
  }
  OSSL_PROVIDER* legacy_ = nullptr;
  OSSL_PROVIDER* default_ = nullptr;
  EVP_MD* sha1_ = nullptr;
  EVP_CIPHER* bf_ = nullptr;
  EVP_CIPHER_CTX* ctx_ = nullptr;
  EVP_MD_CTX* md_ = nullptr;
};

OpenSslTicketWork& OpenSsl() {
  static OpenSslTicketWork work;
  return work;
}

void BM_TicketSign(benchmark::State& state) {
  const auto config = BenchConfig();
  char ticket[33];
  for (auto _ : state) {
    benchmark::DoNotOptimize(SignTicket(config, kApp, kUser, ticket, sizeof ticket, kNow));
    benchmark::ClobberMemory();
  }
}

void BM_TicketVerify(benchmark::State& state) {
  const auto config = BenchConfig();
  char ticket[33];
  SignTicket(config, kApp, kUser, ticket, sizeof ticket, kNow);
  for (auto _ : state) benchmark::DoNotOptimize(VerifyTicket(config, kApp, kUser, ticket, nullptr, kNow));
}

void BM_OpenSslTicketSign(benchmark::State& state) {
  const auto config = BenchConfig();
  char ticket[33];
  for (auto _ : state) {
    OpenSsl().Sign(config, ticket);
    benchmark::ClobberMemory();
  }
}

void BM_OpenSslTicketVerify(benchmark::State& state) {
  const auto config = BenchConfig();
  char ticket[33];
  SignTicket(config, kApp, kUser, ticket, sizeof ticket, kNow);
  if (!OpenSsl().Verify(config, ticket)) state.SkipWithError("OpenSSL does not verify our ticket");
  for (auto _ : state) benchmark::DoNotOptimize(OpenSsl().Verify(config, ticket));
}

void BM_Sha1Record(benchmark::State& state) {
  unsigned char record[kRecordSize] = {1, 2, 3}, digest[20];
  for (auto _ : state) {
    velt::TSha1::Digest(record, sizeof record, digest);
    benchmark::DoNotOptimize(digest);
  }
}

void BM_OpenSslSha1Record(benchmark::State& state) {
  unsigned char record[kRecordSize] = {1, 2, 3}, digest[20];
  for (auto _ : state) {
    OpenSsl().Digest(record, sizeof record, digest);
    benchmark::DoNotOptimize(digest);
  }
}

void BM_BlowfishKeyAndBlock(benchmark::State& state) {
  const unsigned char key[] = "APPLIC1user000123bench-shared-secret";
  unsigned char block[kBlockSize] = {};
  for (auto _ : state) {
    velt::TBlowfish bf;
    bf.SetKey(key, sizeof key - 1);
    bf.EncryptLittleEndian(block, sizeof block);
    benchmark::DoNotOptimize(block);
  }
}

void BM_OpenSslBlowfishKeyAndBlock(benchmark::State& state) {
  const unsigned char key[] = "APPLIC1user000123bench-shared-secret";
  unsigned char block[kBlockSize] = {};
  for (auto _ : state) {
    OpenSsl().Cipher(true, key, sizeof key - 1, block, sizeof block);
    benchmark::DoNotOptimize(block);
  }
}

BENCHMARK(BM_TicketSign);
BENCHMARK(BM_OpenSslTicketSign);
BENCHMARK(BM_TicketVerify);
BENCHMARK(BM_OpenSslTicketVerify);
BENCHMARK(BM_Sha1Record);
BENCHMARK(BM_OpenSslSha1Record);
BENCHMARK(BM_BlowfishKeyAndBlock);
BENCHMARK(BM_OpenSslBlowfishKeyAndBlock);

// Console output as usual, plus each run's time per iteration kept for the ratios.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    // With repetitions the median (reported after the single runs) is the figure kept.
    for (const auto& run : runs) {
      const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
      if (!run.error_occurred && (run.run_type == Run::RT_Iteration || median))
        nanos_[run.run_name.function_name] = run.GetAdjustedCPUTime();
    }
    ConsoleReporter::ReportRuns(runs);
  }
  void PrintRatios() const {
    const std::pair<const char*, const char*> pairs[] = {
        {"BM_TicketSign", "BM_OpenSslTicketSign"},
        {"BM_TicketVerify", "BM_OpenSslTicketVerify"},
        {"BM_Sha1Record", "BM_OpenSslSha1Record"},
        {"BM_BlowfishKeyAndBlock", "BM_OpenSslBlowfishKeyAndBlock"},
    };
    std::printf("\nratio to OpenSSL doing the same work (CPU time; below 1 is faster):\n");
    for (const auto& [ours, floor] : pairs) {
      const auto a = nanos_.find(ours), b = nanos_.find(floor);
      if (a == nanos_.end() || b == nanos_.end() || b->second <= 0) continue;
      std::printf("  %-24s %8.2f  (%.0f ns vs %.0f ns)\n", ours, a->second / b->second, a->second, b->second);
    }
  }

 private:
  std::map<std::string, double> nanos_;
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  if (!OpenSsl().Ready()) {
    std::fprintf(stderr, "OpenSSL's legacy provider (Blowfish) is not available\n");
    return 1;
  }
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.PrintRatios();
  benchmark::Shutdown();
  return 0;
}
