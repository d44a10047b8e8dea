// A country renumbered by the editor, then a saved log of a thousand QSOs read back: every QSO
// still names the country it named before.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "logbook/call_lookup.h"
#include "logbook/country_fixture.h"
#include "logbook/fake_lookup.h"
#include "logbook/log_file.h"
#include "logbook/qso_lookup.h"
#include "platform/message_dlg.h"
#include "reference/country_editor.h"
#include "test_support.h"

namespace korval {
namespace {

std::vector<std::string> CountryPrefixesOfLog(const std::string& file)
{
    TQsoData log;
    EXPECT_TRUE(LoadLogFileInto(log, file, true, dpAbort));
    std::vector<std::string> out;
    for (std::int32_t i = 0; i < log.Count(); ++i)
        out.push_back(CountryPrefix(log.At(i)->Country));
    return out;
}

TEST(CountryRenumbering, AThousandQsoLogReloadsWithEveryQsoOnItsCountry)
{
    test::TempDir dir;
    ScopedMessageRecorder msgs;
    CountryDb = test::MakeFixtureDb();
    InstallCountryLookup();

    // Calls of every country, exception calls and the dated Y2 mappings, over 1980-2019.
    const char* calls[] = {"DL1ABC", "DA2XY", "F5ABC", "W1AW", "W6XYZ", "N2AA", "KH6AB", "KL7CD",
                           "OE1EF",  "Y21ABC", "Y22QQ", "DL0XYZ", "K1ZZ/KH6", "F/OE3AB"};
    const std::string file = dir.file("LOG.KVL");
    {
        TQsoData src(file);
        for (int i = 0; i < 1000; ++i) {
            const auto day = static_cast<std::uint16_t>(test::Day(1980 + i % 40, 1 + i % 12, 1 + i % 28));
            src.InsertQso(test::NewQso(calls[i % std::size(calls)], day, i * 7));
        }
        ASSERT_TRUE(WriteLogFile(src, true));
    }
    const std::vector<std::string> before = CountryPrefixesOfLog(file);
    ASSERT_EQ(before.size(), 1000u);
    ASSERT_NE(std::count(before.begin(), before.end(), "F"), 0);

    // France moves behind East Germany, and a new country goes in front of all of them.
    TCountryRecord france = TCountryRecord::FromBytes(CountryDb.Countries->Record(2));
    france.Prefix = "ZF";
    ASSERT_EQ(UpdateCountry(CountryDb, 2, france).Number, 7);
    TCountryRecord monaco;
    monaco.Prefix = "3A";
    monaco.Name = "Monaco";
    ASSERT_EQ(AddCountry(CountryDb, monaco).Number, 1);

    std::vector<std::string> want = before;
    for (std::string& p : want)
        if (p == "F")
            p = "ZF";
    EXPECT_EQ(CountryPrefixesOfLog(file), want);
    SetQsoLookup(nullptr);
    CountryDb = TCountryData::Empty();
}

} // namespace
} // namespace korval
