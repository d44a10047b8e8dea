#include "entry/windows/ovc_intl_locale.h"

#include <gtest/gtest.h>

using namespace korval;

TEST(OvcIntl, SettingsFromALocale)
{
    TOvcIntlSettings de = IntlSettingsFromLocale("de_DE");
    EXPECT_EQ(de.sDecimal, ",");
    EXPECT_EQ(de.sThousand, ".");
    EXPECT_EQ(de.sDate, ".");
    EXPECT_EQ(de.monthNames[2], "M\xE4rz");  // Windows-1252
    TOvcIntlSup intl(de);
    EXPECT_EQ(intl.DecimalChar(), ',');
    EXPECT_EQ(intl.CommaChar(), '.');
}
