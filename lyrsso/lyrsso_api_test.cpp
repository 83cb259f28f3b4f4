// The exported calls with one configuration from an absolute INI path: before Init, the first
// Init wins, round trips on the real clock, and the codes a caller sees through the C interface.
#include "lyrsso.h"

#include <gtest/gtest.h>

#include <ctime>
#include <string>

#include "lyrsso_test_support.h"

namespace {

using velt::lyrsso::test::IniText;
using velt::lyrsso::test::TempFolder;

class LyrssoApi : public ::testing::Test {
 protected:
  // One folder and one Init for the whole program: the library keeps the first configuration.
  static void SetUpTestSuite() {
    folder_ = new TempFolder;
    char ticket[33];
    beforeInitSign_ = LYRSSO_Sign("APP", "user", ticket, sizeof ticket);
    beforeInitVerify_ = LYRSSO_Verify("APP", "user", "ABCDABCD", nullptr);
    initResult_ = LYRSSO_Init(folder_->Write("api.ini", IniText("120", "api-secret")).c_str());
    secondInitResult_ = LYRSSO_Init(folder_->Write("other.ini", IniText("1", "other-secret")).c_str());
  }
  static void TearDownTestSuite() { delete folder_; }

  static TempFolder* folder_;
  static int beforeInitSign_, beforeInitVerify_, initResult_, secondInitResult_;
};

TempFolder* LyrssoApi::folder_ = nullptr;
int LyrssoApi::beforeInitSign_, LyrssoApi::beforeInitVerify_, LyrssoApi::initResult_,
    LyrssoApi::secondInitResult_;

TEST_F(LyrssoApi, NotInitialisedUntilInit) {
  EXPECT_EQ(beforeInitSign_, LYRSSO_ERR_SIGN_NOT_INITIALISED);
  EXPECT_EQ(beforeInitVerify_, LYRSSO_ERR_VERIFY_NOT_INITIALISED);
  EXPECT_EQ(initResult_, 0);
  EXPECT_EQ(secondInitResult_, 0);
}

TEST_F(LyrssoApi, RoundTripUsesTheFirstConfiguration) {
  char ticket[33];
  const std::time_t before = std::time(nullptr);
  ASSERT_EQ(LYRSSO_Sign("APP", "user", ticket, sizeof ticket), 0);
  const std::time_t after = std::time(nullptr);
  ASSERT_EQ(std::string(ticket).size(), static_cast<std::size_t>(LYRSSO_TICKET_LEN));

  int expiry = 0;
  ASSERT_EQ(LYRSSO_Verify("APP", "user", ticket, &expiry), 0);
  EXPECT_GE(expiry, before + 120) << "ValidTime of the first file, not the second";
  EXPECT_LE(expiry, after + 120);

  velt::lyrsso::test::LoadOpenSslProviders();
  EXPECT_EQ(ticket, velt::lyrsso::test::OpenSslTicket("APP", "user", "api-secret", expiry))
      << "signed with the first file's secret";
  EXPECT_EQ(LYRSSO_Verify("APP", "other", ticket, &expiry), LYRSSO_ERR_VERIFY_MISMATCH);
  EXPECT_EQ(expiry, 0);
}

TEST_F(LyrssoApi, ArgumentCodes) {
  char ticket[33];
  EXPECT_EQ(LYRSSO_Sign(nullptr, "user", ticket, sizeof ticket), LYRSSO_ERR_SIGN_APPID);
  EXPECT_EQ(LYRSSO_Sign("APP", "", ticket, sizeof ticket), LYRSSO_ERR_SIGN_USER);
  EXPECT_EQ(LYRSSO_Sign("APP", "user", ticket, 32), LYRSSO_ERR_SIGN_TICKET_AREA);
  EXPECT_EQ(LYRSSO_Verify("", "user", "ABCD", nullptr), LYRSSO_ERR_VERIFY_APPID);
  EXPECT_EQ(LYRSSO_Verify("APP", nullptr, "ABCD", nullptr), LYRSSO_ERR_VERIFY_USER);
  EXPECT_EQ(LYRSSO_Verify("APP", "user", "", nullptr), LYRSSO_ERR_VERIFY_TICKET);
  EXPECT_EQ(LYRSSO_Verify("APP", "user", "ABCD", nullptr), LYRSSO_ERR_VERIFY_MISMATCH);
  EXPECT_EQ(LYRSSO_Verify("APP", "user", "*", nullptr), LYRSSO_ERR_VERIFY_DECODE);
}

}  // namespace
