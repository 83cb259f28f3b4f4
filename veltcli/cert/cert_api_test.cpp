// The exported certificate functions: handle checks, and one pass through each with a real handle.
#include <gtest/gtest.h>
#include <openssl/obj_mac.h>

#include <cstring>
#include <string>

#include "veltcli.h"
#include "cert/test_pki.h"

using velt::cert::testing::MakePki;
using velt::cert::testing::TempDir;

TEST(CertApi, NullHandleIsRefusedEverywhere) {
  char text[64];
  char* out = reinterpret_cast<char*>(0x1);
  int outLength = -1;
  EXPECT_EQ(VELTCLI_SSLVerifyCertPasswd(nullptr, "k.pem", "p"), 1);
  EXPECT_EQ(VELTCLI_SSLModifyCertPasswd(nullptr, "k.pem", "p", "q"), 1);
  EXPECT_EQ(VELTCLI_SSLEncrypt(nullptr, "k.pem", "p", "abc", 3, &out, &outLength), 1);
  EXPECT_EQ(out, nullptr);
  EXPECT_EQ(outLength, 0);
  EXPECT_EQ(VELTCLI_SSLDecrypt(nullptr, "k.pem", "p", "abc", 3, &out, &outLength), 1);
  EXPECT_EQ(VELTCLI_SSLGetCertInfo(nullptr, "c.pem", 0, NID_commonName, text, sizeof text), 1);
  EXPECT_STREQ(text, "Invalid parameter hHandle = 0000000000000000");
  EXPECT_EQ(VELTCLI_SSLGetCertInfo(nullptr, "c.pem", 0, NID_commonName, nullptr, 10), 1);
  EXPECT_EQ(VELTCLI_FreeMemory(nullptr, nullptr), 1);
}

TEST(CertApi, EnvelopeAndPasswordChangeThroughTheLibrary) {
  TempDir dir;
  const auto pki = MakePki(1024, "first");
  const std::string key = dir.File("user.pem", pki.keyPem + pki.certPem);
  const std::string cert = dir.File("user.crt", pki.certPem);
  VELTCLI_HANDLE h = nullptr;
  ASSERT_EQ(VELTCLI_Init(&h), 0);

  EXPECT_EQ(VELTCLI_SSLVerifyCertPasswd(h, key.c_str(), "first"), 0);
  ASSERT_EQ(VELTCLI_SSLModifyCertPasswd(h, key.c_str(), "first", "second"), 0);
  EXPECT_EQ(VELTCLI_SSLVerifyCertPasswd(h, key.c_str(), "first"), 4);

  const std::string secret(118, 's');
  char* enc = nullptr;
  int encLength = 0;
  ASSERT_EQ(VELTCLI_SSLEncrypt(h, key.c_str(), "second", secret.data(), 118, &enc, &encLength), 0);
  EXPECT_EQ(encLength, 256);
  char* dec = nullptr;
  int decLength = 0;
  ASSERT_EQ(VELTCLI_SSLDecrypt(h, key.c_str(), "second", enc, encLength, &dec, &decLength), 0);
  EXPECT_EQ(std::string(dec, static_cast<std::size_t>(decLength)), secret);
  EXPECT_EQ(VELTCLI_FreeMemory(h, enc), 0);
  EXPECT_EQ(VELTCLI_FreeMemory(h, dec), 0);

  char text[64];
  EXPECT_EQ(VELTCLI_SSLGetCertInfo(h, cert.c_str(), 6, 0, text, sizeof text), 0);
  EXPECT_STREQ(text, "200101000000");
  EXPECT_EQ(VELTCLI_Exit(h), 0);
}
