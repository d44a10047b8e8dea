#include "entry/ovc_strings.h"

#include <gtest/gtest.h>

TEST(OvcStrings, Smoke) { EXPECT_EQ(korval::GetLibraryString(1), "Unknown"); }
