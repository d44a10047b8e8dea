#include "logbook/was_state.h"

#include <gtest/gtest.h>

using namespace korval;

TEST(WasState, ByTheCountrysStateKind)
{
    EXPECT_EQ(WasStateFor(1, "CA", true), "CA");
    EXPECT_EQ(WasStateFor(1, "CA", false), "");
    EXPECT_EQ(WasStateFor(1, "HI", true), "");
    EXPECT_EQ(WasStateFor(3, "", false), "HI");
    EXPECT_EQ(WasStateFor(4, "CA", true), "AK");
    EXPECT_EQ(WasStateFor(0, "CA", true), "");
}
