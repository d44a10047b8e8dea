#include "logbook/configured_formats.h"

#include <gtest/gtest.h>

#include "logbook/config_record.h"

using namespace korval;

TEST(ConfiguredFormats, PicturesFollowTheConfiguration)
{
    TConfigRecord saved = Config;
    const TDayNumber d = EncodeDayNumber(2005, 1, 9);
    struct Row {
        int format;
        const char* two;
        const char* picture;
    } rows[] = {{1, "01/09/05", "mm/dd/yyyy"}, {2, "09/01/05", "dd/mm/yyyy"}, {3, "05-01-09", "yyyy-mm-dd"}};
    for (const Row& r : rows) {
        Config.SetDateFormat(static_cast<std::uint8_t>(r.format));
        EXPECT_EQ(FormatDayNumber(d), r.two) << r.format;
        EXPECT_EQ(DateFormatString(), r.picture) << r.format;
    }
    EXPECT_EQ(FormatDayNumber(NoDate), "");
    EXPECT_EQ(FormatDateDMY(d), "09-Jan-2005");
    EXPECT_EQ(TimeFormatString(), "hh:mm");
    Config.SetTimeFormat(1);
    EXPECT_EQ(TimeFormatString(), "hh:mm:ss");
    Config = saved;
}
