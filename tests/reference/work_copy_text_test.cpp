#include "reference/work_copy_text.h"

#include <gtest/gtest.h>

#include "test_support.h"

namespace korval {
namespace {

// The file is the same on every desktop: coordinates with a point, read back as written.
TEST(IotaText, ExportReadsBackAsReplacedAndNamesKeepTheirCommas)
{
    for (const char* locale : test::kDesktopLocales) {
        test::ScopedLocale scoped(locale);
        ASSERT_TRUE(scoped.Ok()) << locale << " is not installed (scripts/deps.sh generates it)";
        SCOPED_TRACE(locale);
        std::vector<TIotaEntry> work = {{"EU005", "Great Britain, main island", -2.5, 54.0},
                                        {"OC001", "Australia", 134.0, -25.5}};
        const std::string text = ExportIota(work);
        EXPECT_EQ(text, "EU005,\"Great Britain, main island\",54.000,-2.500\r\nOC001,\"Australia\",-25.500,134.000\r\n");
        TImportSummary s = ImportIota(work, text, false);
        EXPECT_EQ(s.Replaced, 2);
        EXPECT_EQ(s.Added, 0);
        EXPECT_EQ(s.Errors, 0);
        EXPECT_EQ(work[0].Name, "Great Britain, main island");
        EXPECT_DOUBLE_EQ(work[1].Longitude, 134.0);
        EXPECT_EQ(s.Text(false), "Deleted : 0\rAdded   : 0\rReplaced: 2\rErrors  : 0");
    }
}

TEST(IotaText, DeletesFirstAddsInKeyOrderAndCountsBadLines)
{
    std::vector<TIotaEntry> work = {{"EU005", "X", 0, 0}};
    const TImportSummary s = ImportIota(work,
                                        "oc001,\"Australia\",-25.5,134\r\n"
                                        "AF004,\"Canary Islands\",28.1,-15.4\r\n"
                                        "NA001,\"no coordinates\"\r\n"
                                        "NA002,\"far north\",95,0\r\n"
                                        "\r\n",
                                        true);
    EXPECT_EQ(s.Deleted, 1);
    EXPECT_EQ(s.Added, 2);
    EXPECT_EQ(s.Errors, 2);
    ASSERT_EQ(work.size(), 2u);
    EXPECT_EQ(work[0].Reference, "AF004");
    EXPECT_EQ(work[1].Reference, "OC001");
}

TEST(AddressText, LinesRoundTripThroughTheSeparatorByte)
{
    std::vector<TAddressEntry> work = {{"K1MGR", std::string("John Doe\xFF") + "1 Main St\xFF" + "Boston, MA"}};
    const std::string text = ExportAddresses(work);
    EXPECT_EQ(text, "\"K1MGR\",\"John Doe\",\"1 Main St\",\"Boston, MA\"\r\n");
    TImportSummary s = ImportAddresses(work, text + "\"W1NEW\",\"PO Box 1\"\r\n\"N0ONE\"\r\n,\"no call\"\r\n", false);
    EXPECT_EQ(s.Replaced, 1);
    EXPECT_EQ(s.Added, 1);
    EXPECT_EQ(s.Skipped, 1); // a call without an address
    EXPECT_EQ(s.Errors, 1);  // an address without a call
    ASSERT_EQ(work.size(), 2u);
    EXPECT_EQ(work[0].Text, std::string("John Doe\xFF") + "1 Main St\xFF" + "Boston, MA");
    EXPECT_EQ(work[1].Call, "W1NEW");
}

TEST(AddressText, ACallCutAtTwelvePlacesReadsBackAsItself)
{
    // The cut leaves a space at the end: kept, the export would read back as "W1ABCDEFGHI"
    // and land on that station's entry instead.
    std::vector<TAddressEntry> work;
    ImportAddresses(work, "\"W1ABCDEFGHI  X\",\"one\"\r\n\"W1ABCDEFGHI\",\"two\"\r\n", false);
    ASSERT_EQ(work.size(), 1u);
    EXPECT_EQ(work[0].Call, "W1ABCDEFGHI");
    std::vector<TIotaEntry> iota;
    ImportIota(iota, "NA 1 X,\"cut\",1,1\r\n", false);
    ASSERT_EQ(iota.size(), 1u);
    EXPECT_EQ(iota[0].Reference, "NA 1");
}

TEST(QuotedFields, QuotesAndBlanks)
{
    EXPECT_EQ(SplitQuotedFields(" a , \"b, c\" ,\"say \"\"hi\"\"\",") ,
              (std::vector<std::string>{"a", "b, c", "say \"hi\"", ""}));
}

} // namespace
} // namespace korval
