// The record layouts the bus client writes byte by byte: every field at its fixed offset.
#include <gtest/gtest.h>

#include <cstddef>

#include "rimqapi.h"

namespace {

TEST(RimqRecords, FieldsSitAtTheirFixedOffsets) {
  struct Field { const char* name; std::size_t offset; std::size_t expected; };
  const Field fields[] = {
      {"MD cMsgType", offsetof(RIMQMD, cMsgType), 17},
      {"MD nExpiry", offsetof(RIMQMD, nExpiry), 18},
      {"MD nFormat", offsetof(RIMQMD, nFormat), 38},
      {"MD abMsgId", offsetof(RIMQMD, abMsgId), 44},
      {"MD abCorrelId", offsetof(RIMQMD, abCorrelId), 68},
      {"MD szReplyToQ", offsetof(RIMQMD, szReplyToQ), 92},
      {"MD cClientOption4", offsetof(RIMQMD, cClientOption4), 271},
      {"MD cClientOption3", offsetof(RIMQMD, cClientOption3), 272},
      {"MD abReplyTag", offsetof(RIMQMD, abReplyTag), 341},
      {"MD nMsgLength", offsetof(RIMQMD, nMsgLength), 378},
      {"PMO nOptions", offsetof(RIMQPMO, nOptions), 16},
      {"PMO nTimeout", offsetof(RIMQPMO, nTimeout), 20},
      {"GMO nOptions", offsetof(RIMQGMO, nOptions), 16},
      {"GMO nWaitInterval", offsetof(RIMQGMO, nWaitInterval), 20},
      {"GMO nMatchOptions", offsetof(RIMQGMO, nMatchOptions), 24},
      {"GMO nReserved2", offsetof(RIMQGMO, nReserved2), 32},
      {"PGO hRequestQ", offsetof(RIMQPGO, hRequestQ), 20},
      {"PGO nGetOptions", offsetof(RIMQPGO, nGetOptions), 24},
      {"PGO hReplyQ", offsetof(RIMQPGO, hReplyQ), 32},
      {"PGO nTimeout", offsetof(RIMQPGO, nTimeout), 36},
      {"OD szObjectName", offsetof(RIMQOD, szObjectName), 16},
      {"OD nObjectType", offsetof(RIMQOD, nObjectType), 48},
  };
  for (const auto& f : fields) EXPECT_EQ(f.offset, f.expected) << f.name;
  EXPECT_EQ(sizeof(RIMQMD), 414u);
  EXPECT_EQ(sizeof(RIMQPMO), 28u);
  EXPECT_EQ(sizeof(RIMQGMO), 40u);
  EXPECT_EQ(sizeof(RIMQPGO), 40u);
  EXPECT_EQ(sizeof(RIMQOD), 84u);
  EXPECT_EQ(sizeof(RIMQ_MD_STRUC_ID), 8u);
  EXPECT_EQ(sizeof(RIMQ_OD_STRUC_ID), 8u);
  EXPECT_EQ(sizeof(RIMQ_RECORD_VERSION), 8u);
}

}  // namespace
