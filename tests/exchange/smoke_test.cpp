#include <gtest/gtest.h>
#include "exchange/filter_record.h"
TEST(FilterRecordSmoke, Size) { EXPECT_EQ(korval::TFilterRecord{}.ToBytes().size(), 193u); }
