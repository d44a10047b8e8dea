#include "logbook/custom_award.h"

#include <gtest/gtest.h>

#include "platform/message_dlg.h"
#include "test_support.h"

using namespace korval;

TEST(CustomAward, SectionsKeysAndValues)
{
    ScopedMessageRecorder msgs;
    auto list = TCustAwardList::LoadFromText(
        "  [CHAMPIONSHIP-OF-THE-WORLD-ONE]  \r\n"
        "\r\n"
        "modes=1N\r\n"
        "bands=YYYYYYYYN\r\n"
        "prefix=DL,OE\r\n"
        "pictmsk=!!!!999999\r\n"
        "ab=Alpha Bravo\r\n"
        "just a comment\r\n"
        "[cham2]\r\n"                       // same ID CHAM ignoring case: dropped
        "[10-10]\r\n"
        "awdname=Ten-Ten International Net\r\n",
        "KORVAL.AWD");
    ASSERT_EQ(list->Count(), 2);
    const TCustAward* a = list->Find("cham");
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->ID, "CHAM");
    EXPECT_EQ(a->LongName, "CHAMPIONSHIP-OF-THE-");
    EXPECT_EQ(a->Modes[1], 1);
    EXPECT_EQ(a->Modes[2], 0);
    EXPECT_EQ(a->Modes[3], 1);  // beyond the value: kept
    EXPECT_EQ(a->Bands[8], 1);
    EXPECT_EQ(a->Bands[9], 0);
    EXPECT_EQ(a->Bands[10], 1);
    EXPECT_EQ(a->PictureMask, "!!!!9999");
    EXPECT_TRUE(a->HasPrefix("OE"));
    EXPECT_FALSE(a->HasPrefix("O"));
    EXPECT_FALSE(a->HasPrefix(""));
    ASSERT_TRUE(a->HasValueTable());
    EXPECT_EQ(a->Values()[0].first, "AB");
    EXPECT_EQ(a->LongValue("ab"), "Alpha Bravo");

    const TCustAward* t = list->Find("10-1");
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->LongName, "Ten-Ten Internationa");
    EXPECT_TRUE(t->HasPrefix(""));  // no restriction
    EXPECT_EQ(msgs.texts(), std::vector<std::string>{"Duplicate award = cham"});

    SetCustAwardList(std::move(list));
    EXPECT_EQ(LongAwdName("CHAM"), "CHAMPIONSHIP-OF-THE-");
    EXPECT_EQ(LongAwdName(""), "");
    EXPECT_EQ(LongAwdName("NONE"), "");
    EXPECT_EQ(LongAwdVal("CHAM", "ab"), "Alpha Bravo");
    EXPECT_EQ(LongAwdVal("CHAM", "zz"), "");
    EXPECT_EQ(LongAwdVal("10-1", "1234"), "1234");  // no table: the value itself
    EXPECT_EQ(LongAwdVal("", "1234"), "");
    SetCustAwardList(nullptr);
}

TEST(CustomAward, BadLinesAreReportedWithFileAndLineAndSkipped)
{
    ScopedMessageRecorder msgs;
    auto list = TCustAwardList::LoadFromText(
        "early=value\n"        // 1: no award yet
        "[DOK]\n"              // 2
        "=nothing\n"           // 3: empty key
        "A01=\n"               // 4: empty value
        "A01=Aachen\n"         // 5
        "a01=Again\n"          // 6: duplicate short value
        "B02=aachen\n"         // 7: duplicate long value
        "C03=Cologne\n",       // 8
        "SAVE/KORVAL.AWD");
    ASSERT_EQ(list->Count(), 1);
    const TCustAward& dok = list->At(0);
    ASSERT_EQ(dok.Values().size(), 2u);
    EXPECT_EQ(dok.LongValue("C03"), "Cologne");
    EXPECT_EQ(dok.LongValue("A01"), "Aachen");
    ASSERT_EQ(msgs.messages().size(), 1u);
    const std::string& m = msgs.messages()[0].text;
    EXPECT_EQ(msgs.messages()[0].kind, TMsgDlgType::mtError);
    for (const char* part : {"SAVE/KORVAL.AWD, line 1: No award defined", "line 3: Bad key value = ",
                             "line 4: Bad value pair: ", "line 6: Duplicate key = a01",
                             "line 7: Duplicate value = aachen"})
        EXPECT_NE(m.find(part), std::string::npos) << part << " in\n" << m;
    EXPECT_EQ(m.find("line 5"), std::string::npos);
}

TEST(CustomAward, MissingFileGivesAnEmptyList)
{
    korval::test::TempDir dir;
    korval::test::ScopedHome home(dir.path());
    LoadCustAwards();
    EXPECT_EQ(CustAwardList().Count(), 0);
    std::filesystem::create_directories(dir.file("SAVE"));
    korval::test::WriteAll(dir.file("SAVE/korval.awd"), "[IOTA]\nawdname=Islands\n");
    LoadCustAwards();
    EXPECT_EQ(LongAwdName("IOTA"), "Islands");
    SetCustAwardList(nullptr);
}
