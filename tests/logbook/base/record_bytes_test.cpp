#include "logbook/base/record_bytes.h"

#include <gtest/gtest.h>

TEST(RecordBytes, LittleEndianFieldsAndShortStrings)
{
    std::uint8_t b[32] = {};
    korval::PutU16(b, 0, 0x1234);
    korval::PutI32(b, 2, -2);
    korval::PutDouble(b, 6, 1.5);
    korval::PutShortStr(b, 14, 5, "ABCDEFG");
    EXPECT_EQ(b[0], 0x34);
    EXPECT_EQ(b[1], 0x12);
    EXPECT_EQ(korval::GetI32(b, 2), -2);
    EXPECT_EQ(b[13], 0x3F);  // 1.5 = 0x3FF8000000000000, high byte last
    EXPECT_EQ(korval::GetDouble(b, 6), 1.5);
    EXPECT_EQ(b[14], 5);
    EXPECT_EQ(korval::GetShortStr(b, 14, 5), "ABCDE");
    b[14] = 200;  // a damaged length byte reads no further than the field
    EXPECT_EQ(korval::GetShortStr(b, 14, 5), "ABCDE");
}
