// The settings file's numbers: written with a point and merged back to the same bytes, whatever
// the desktop's locale.
#include "reference/settings_ini.h"

#include <gtest/gtest.h>

#include "logbook/base/ini_file.h"
#include "logbook/base/record_bytes.h"
#include "test_support.h"

namespace korval {
namespace {

TEST(SettingsIni, NumbersAreWrittenWithAPointAndMergeBackInEveryDesktopLocale)
{
    for (const char* locale : test::kDesktopLocales) {
        test::ScopedLocale scoped(locale);
        ASSERT_TRUE(scoped.Ok()) << locale << " is not installed (scripts/deps.sh generates it)";
        SCOPED_TRACE(locale);
        test::TempDir dir;
        TConfigRecord written;
        written.SetBandCutoff(3, 7040.5);
        PutDouble(written.LabelLayoutBytes(0), 12, 2.625);  // the first custom layout's top spacing
        TIniFile ini(dir.file("settings.ini"), false);
        WriteFixedSettings(ini, written, {0, 0});
        const std::string text = ini.Text();
        EXPECT_NE(text.find("SpacingTop=2.625\r\n"), std::string::npos) << text;
        EXPECT_NE(text.find("=   7040.50\r\n"), std::string::npos) << text;

        TConfigRecord merged;
        MergeFixedSettings(ini, merged);
        EXPECT_EQ(merged.BandCutoff(3), 7040.5);
        EXPECT_EQ(GetDouble(merged.LabelLayoutBytes(0), 12), 2.625);
    }
}

} // namespace
} // namespace korval
