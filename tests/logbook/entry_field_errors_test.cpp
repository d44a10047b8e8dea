#include "logbook/entry_field_errors.h"

#include <gtest/gtest.h>

using namespace korval;

TEST(EntryFieldErrors, RangeErrorsNameTheRangeOthersKeepTheirMessage)
{
    EXPECT_EQ(EntryFieldErrorText(oeRangeError, "x", "0", "40"), "Value in range 0 to 40 expected");
    EXPECT_EQ(EntryFieldErrorText(5, "Invalid date", "0", "40"), "Invalid date");
}
