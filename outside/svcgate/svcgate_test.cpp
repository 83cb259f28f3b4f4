// SvcGate_Call against the emulator: items to named values, the first row or the named values
// back, the 2048-character bound, values the item list cannot carry, codes passed through.
#include <gtest/gtest.h>

#include <cstring>
#include <mutex>
#include <string>
#include <vector>

#include "emulator_fixture.h"
#include "lunqcli.h"
#include "svcgate.h"

namespace {

constexpr std::size_t kArea = SVCGATE_ANSWER_MAX + 1;
constexpr char kGuard = '#';

class SvcGate : public velt::testing::EmulatorTest {
 protected:
  void SetUp() override {
    EmulatorTest::SetUp();
    // The generic service program: the request's named values answered as one row.
    emulator().Register("items", [this](const veltemu::Request& r, veltemu::Answer& a) {
      std::vector<std::string> names, cells;
      for (const auto& v : r.values()) {
        if (v.name.empty() || v.name[0] == '_') continue;
        names.push_back(v.name);
        cells.push_back(v.value);
      }
      {
        std::lock_guard<std::mutex> lock(mutex_);
        received_ = names;
        values_ = cells;
      }
      a.BeginTable("items", names);
      a.AddRow(cells);
    });
    // One row of one column "V" of N characters, or (ROW=0) a named value V.
    emulator().Register("sized", [](const veltemu::Request& r, veltemu::Answer& a) {
      const std::string v(static_cast<std::size_t>(r.Integer("N").value_or(0)), 'v');
      if (r.Integer("ROW").value_or(1) == 0) {
        a.SetValue("V", v);
        return;
      }
      a.BeginTable("t", std::vector<std::string>{"V"});
      a.AddRow({v});
    });
    // Answers the value TEXT, with "~" standing for "," (which no request item can carry).
    emulator().Register("says", [](const veltemu::Request& r, veltemu::Answer& a) {
      std::string text = r.Value("TEXT").value_or("");
      for (char& c : text)
        if (c == '~') c = ',';
      if (r.Integer("ROW").value_or(0) == 1) {
        a.BeginTable("t", std::vector<std::string>{"A", "B"});
        a.AddRow({"ok", text});
      } else {
        a.SetValue("A", "ok");
        a.SetValue("B", text);
      }
    });
    ASSERT_EQ(LUNQCLI_Init(&h_), 0);
    tagLUNQConnectOption e;
    std::memcpy(&e, &entry(), sizeof e);
    ASSERT_EQ(LUNQCLI_SetConnectOption(h_, e), 0);
    ASSERT_EQ(LUNQCLI_ConnectServer(h_, "main", "tester", "pw"), 0);
  }
  void TearDown() override {
    LUNQCLI_Exit(h_);
    EmulatorTest::TearDown();
  }

  // Calls into a 2049-byte area followed by guard bytes, checks the guards and gives the text.
  int Call(const char* service, const char* request, std::string& answer, intptr_t handle = 0) {
    std::vector<char> area(kArea + 64, kGuard);
    const int rc = SvcGate_Call(handle ? handle : h_, service, request, area.data());
    for (std::size_t i = kArea; i < area.size(); ++i) {
      EXPECT_EQ(area[i], kGuard) << "written past the answer area at " << i;
    }
    EXPECT_NE(std::memchr(area.data(), 0, kArea), nullptr) << "no terminator within the area";
    answer.assign(area.data(), strnlen(area.data(), kArea));
    return rc;
  }
  std::vector<std::string> received() {
    std::lock_guard<std::mutex> lock(mutex_);
    return received_;
  }
  std::vector<std::string> values() {
    std::lock_guard<std::mutex> lock(mutex_);
    return values_;
  }

  LUNQCLI_HANDLE h_ = 0;

 private:
  std::mutex mutex_;
  std::vector<std::string> received_, values_;
};

TEST_F(SvcGate, SendsEachItemAsANamedValueAndAnswersTheFirstRow) {
  std::string answer;
  ASSERT_EQ(Call("items", "USER_CODE:10001,,USER_ROLE:1,TRD_PWD:a+b/c=,EMPTY:", answer), SVCGATE_OK);
  EXPECT_EQ(answer, "USER_CODE:10001,USER_ROLE:1,TRD_PWD:a+b/c=,EMPTY:");
  EXPECT_EQ(received(), (std::vector<std::string>{"USER_CODE", "USER_ROLE", "TRD_PWD", "EMPTY"}));

  // With the bus client's option 10 at 0 empty values are not written: the item is left out.
  int off = 0;
  ASSERT_EQ(LUNQCLI_SetOption(h_, 10, &off), 0);
  const int rc = Call("items", "A:1,EMPTY:", answer);
  int on = 1;
  LUNQCLI_SetOption(h_, 10, &on);
  ASSERT_EQ(rc, SVCGATE_OK);
  EXPECT_EQ(answer, "A:1");

  // The colons of a run-time text reach the service; sent back they cannot be an item.
  ASSERT_EQ(Call("items", "F_RUNTIME:2026-01-02 03:04:05.006000", answer), SVCGATE_E_ANSWER_VALUE);
  EXPECT_EQ(values(), (std::vector<std::string>{"2026-01-02 03:04:05.006000"}));
  EXPECT_EQ(answer, "");

  ASSERT_EQ(Call("items", nullptr, answer), SVCGATE_OK);
  EXPECT_EQ(answer, "") << "a row without columns";
}

TEST_F(SvcGate, AnswersTheNamedValuesWhenThereIsNoRow) {
  std::string answer;
  ASSERT_EQ(Call("echo", "B:2,A:1,C:", answer), SVCGATE_OK);
  EXPECT_EQ(answer, "B:2,A:1,C:");
  ASSERT_EQ(Call("says", "TEXT:", answer), SVCGATE_OK);
  EXPECT_EQ(answer, "A:ok,B:") << "an empty answer value is an empty item";
}

TEST_F(SvcGate, WritesAtMost2048CharactersAndSaysWhenTheAnswerIsLonger) {
  std::string answer;
  for (const char* row : {"1", "0"}) {
    const std::string fits = std::string("N:2046,ROW:") + row;   // "V:" and 2046 characters
    ASSERT_EQ(Call("sized", fits.c_str(), answer), SVCGATE_OK) << row;
    EXPECT_EQ(answer, "V:" + std::string(2046, 'v'));
    const std::string over = std::string("N:2047,ROW:") + row;
    EXPECT_EQ(Call("sized", over.c_str(), answer), SVCGATE_E_ANSWER_SIZE) << row;
    EXPECT_EQ(answer, "");
  }
}

TEST_F(SvcGate, RefusesAnswerValuesTheItemListCannotCarry) {
  std::string answer;
  for (const char* row : {"0", "1"}) {
    for (const char* text : {"x~y", "10:15", "~"}) {
      const std::string request = std::string("ROW:") + row + ",TEXT:" + text;
      EXPECT_EQ(Call("says", request.c_str(), answer), SVCGATE_E_ANSWER_VALUE) << request;
      EXPECT_EQ(answer, "");
    }
  }
}

TEST_F(SvcGate, PassesTheCallsCodeThrough) {
  std::string answer;
  EXPECT_EQ(Call("fail", "CODE:77,MSG:refused", answer), 77);
  EXPECT_EQ(answer, "");
  EXPECT_EQ(Call("fail", "CODE:-5", answer), -5);
  EXPECT_NE(Call("T9999999", "A:1", answer), SVCGATE_OK) << "unknown service";

  // A handle lunqcli refuses, and one that was never connected.
  LUNQCLI_HANDLE idle = 0;
  ASSERT_EQ(LUNQCLI_Init(&idle), 0);
  const int notConnected = Call("echo", "A:1", answer, idle);
  EXPECT_NE(notConnected, SVCGATE_OK);
  EXPECT_TRUE(notConnected < -2006 || notConnected > -2001) << notConnected;
  ASSERT_EQ(LUNQCLI_Exit(idle), 0);
  EXPECT_EQ(Call("echo", "A:1", answer, idle), LUNQCLI_E_HANDLE);
}

TEST_F(SvcGate, RefusesBadArgumentsBeforeSending) {
  std::string answer;
  EXPECT_EQ(Call("", "A:1", answer), SVCGATE_E_ARGUMENT);
  EXPECT_EQ(Call(nullptr, "A:1", answer), SVCGATE_E_ARGUMENT);
  EXPECT_EQ(Call("items", "A:1,_CA:9", answer), SVCGATE_E_REQUEST);
  EXPECT_EQ(Call("items", ":9", answer), SVCGATE_E_REQUEST);
  EXPECT_EQ(SvcGate_Call(h_, "items", "A:1", nullptr), SVCGATE_E_ARGUMENT);
  EXPECT_TRUE(received().empty()) << "nothing reached the service";
}

}  // namespace
