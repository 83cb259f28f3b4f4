// The packed interface records keep their byte layout on every build.
#include <gtest/gtest.h>

#include <cstddef>

#include "veltcli.h"

namespace {

TEST(RecordLayout, ConnectOptions) {
  EXPECT_EQ(sizeof(tagVELTConnectOption), 173u);
  EXPECT_EQ(offsetof(tagVELTConnectOption, szServerName), 0u);
  EXPECT_EQ(offsetof(tagVELTConnectOption, nProtocal), 33u);
  EXPECT_EQ(offsetof(tagVELTConnectOption, szAddress), 37u);
  EXPECT_EQ(offsetof(tagVELTConnectOption, nPort), 70u);
  EXPECT_EQ(offsetof(tagVELTConnectOption, szSendQName), 74u);
  EXPECT_EQ(offsetof(tagVELTConnectOption, szReceiveQName), 107u);
  EXPECT_EQ(offsetof(tagVELTConnectOption, szReserved), 140u);

  EXPECT_EQ(sizeof(tagVELTConnectOptionEx), 559u);
  EXPECT_EQ(offsetof(tagVELTConnectOptionEx, szReserved), 140u);
  EXPECT_EQ(offsetof(tagVELTConnectOptionEx, szProxy), 173u);
  EXPECT_EQ(offsetof(tagVELTConnectOptionEx, szSSL), 302u);
}

TEST(RecordLayout, PluginOption) {
  EXPECT_EQ(sizeof(tagVELTPluginOption), 1374u);
  EXPECT_EQ(offsetof(tagVELTPluginOption, nKind), 33u);
  EXPECT_EQ(offsetof(tagVELTPluginOption, szLibraryPath), 37u);
  EXPECT_EQ(offsetof(tagVELTPluginOption, szEntryName), 166u);
  EXPECT_EQ(offsetof(tagVELTPluginOption, szConnectText), 199u);
  EXPECT_EQ(offsetof(tagVELTPluginOption, szSpare1), 712u);
  EXPECT_EQ(offsetof(tagVELTPluginOption, szSpare2), 841u);
  EXPECT_EQ(offsetof(tagVELTPluginOption, szConfigText), 862u);
}

}  // namespace
