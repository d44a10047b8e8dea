#include "reference/qsl_manager_text.h"

#include <gtest/gtest.h>

namespace korval {
namespace {

std::vector<TQslMgrEntry> Sample()
{
    return {{"3B8XX", EncodeDayNumber(2003, 2, 1), "K1MGR"}, {"W1AW", NoDate, "W1AW/4"}};
}

TEST(QslManagerText, ExportLinesAndRoundTripChangesNothing)
{
    const std::string text = ExportQslManagers(Sample());
    EXPECT_EQ(text, "3B8XX,01/02/2003,K1MGR\r\nW1AW,,W1AW/4\r\n");
    std::vector<TQslMgrEntry> work = Sample();
    const TImportSummary s = ImportQslManagers(work, text, false);
    // The counting rule holds: the same manager is skipped (not "replaced").
    EXPECT_EQ(s.Text(), "Deleted : 0\rAdded   : 0\rReplaced: 0\rSkipped : 2\rErrors  : 0");
    EXPECT_EQ(ExportQslManagers(work), text);

    std::vector<TQslMgrEntry> fresh = Sample();
    EXPECT_EQ(ImportQslManagers(fresh, text, true).Text(),
              "Deleted : 2\rAdded   : 2\rReplaced: 0\rSkipped : 0\rErrors  : 0");
    EXPECT_EQ(ExportQslManagers(fresh), text);
}

TEST(QslManagerText, AStationWithDatedManagersReadsBackUnchanged)
{
    // F5ABC: W3HNK from 2001, DL1AAA from June 2005. The second line once replaced the manager of
    // the first entry, so the 2001 QSOs would have gone to DL1AAA.
    std::vector<TQslMgrEntry> work = {{"F5ABC", EncodeDayNumber(2001, 1, 1), "W3HNK"},
                                      {"F5ABC", EncodeDayNumber(2005, 6, 1), "DL1AAA"}};
    const std::string text = ExportQslManagers(work);
    const TImportSummary s = ImportQslManagers(work, text, false);
    EXPECT_EQ(s.Skipped, 2);
    EXPECT_EQ(ExportQslManagers(work), text);
}

TEST(QslManagerText, ImportCountsEachLine)
{
    std::vector<TQslMgrEntry> work = Sample();
    const TImportSummary s = ImportQslManagers(work,
        " w1aw , 05/06/2010 , N2NEW \n"      // replaced, date kept
        "VP8ABC,,G3XYZ\n"                    // added without a date
        "no commas\n"
        "ONE,COMMA\n"
        "JA1AA,31/02/2004,JA1MGR\n"          // no such day
        "JA1AB,1/2/2004,JA1MGR\n"            // not at the fixed positions
        "\n", false);
    EXPECT_EQ(s.Text(false), "Deleted : 0\rAdded   : 1\rReplaced: 1\rErrors  : 4");
    ASSERT_EQ(work.size(), 3u);
    EXPECT_EQ(work[1].Station, "VP8ABC");
    EXPECT_EQ(work[1].Date, NoDate);
    EXPECT_EQ(work[2].Manager, "N2NEW");
    EXPECT_EQ(work[2].Date, NoDate);
}

} // namespace
} // namespace korval
