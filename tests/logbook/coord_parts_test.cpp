#include "logbook/coord_parts.h"

#include <gtest/gtest.h>

using namespace korval;

TEST(CoordParts, SignBecomesTheChoiceAndBack)
{
    EXPECT_EQ(SplitCoord(-12.5).selection, 2);
    EXPECT_DOUBLE_EQ(SplitCoord(-12.5).magnitude, 12.5);
    EXPECT_EQ(SplitCoord(3.0).selection, 1);
    EXPECT_DOUBLE_EQ(JoinCoord(12.5, 2), -12.5);
    EXPECT_DOUBLE_EQ(JoinCoord(12.5, 1), 12.5);
}
