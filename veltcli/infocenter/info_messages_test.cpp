// The message table holds GBK bytes that read back as the documented words.
#include <gtest/gtest.h>

#include "infocenter/info_messages.h"
#include "platform/codepage.h"

namespace {

TEST(InfoMessages, GbkBytesReadBackAsTheDocumentedWords) {
  const struct {
    int code;
    const char* utf8;
  } cases[] = {
      {-100, "传入控制结构体错误！"},
      {-101, "InfoGetNoRecvData_velt 没有数据可取了！"},
      {-104, "nExpiry不合法！"},
      {-106, "传入订阅/发布用户不合法！"},
      {-108, "传入发布编号不合法！"},
      {-109, "传入主题不合法！"},
      {-114, "传入订阅/发布编号不合法！"},
      {-120, "取内部订阅号n64SubNo无效"},
      {101, "velt corrid 不匹配！"},
      {5, "VELTCLI 订阅发布出错！"},   // any other code
      {2033, "VELTCLI 订阅发布出错！"},
  };
  for (const auto& c : cases) {
    const auto utf8 = velt::platform::GbkToUtf8(velt::InfoMessage(c.code));
    ASSERT_TRUE(utf8.has_value()) << c.code;
    EXPECT_EQ(*utf8, c.utf8) << c.code;
  }
}

}  // namespace
