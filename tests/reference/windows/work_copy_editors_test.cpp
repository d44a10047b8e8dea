// The QSL-manager, IOTA and manager-address editors offscreen over a small database.
#include <gtest/gtest.h>

#include <QApplication>
#include <QPlainTextEdit>
#include <QTest>

#include "entry/windows/ovc_simple_field.h"
#include "grids/windows/ovc_table.h"
#include "grids/windows/popup_box.h"
#include "logbook/country_fixture.h"
#include "platform/message_dlg.h"
#include "reference/work_copies.h"
#include "reference/windows/work_copy_editors.h"
#include "test_support.h"
#include "window_fit.h"

namespace korval {
namespace {

class WorkCopyEditors : public ::testing::Test {
protected:
    void SetUp() override
    {
        CountryDb = test::MakeFixtureDb();
        CountryDb.QslManagers = std::make_unique<TQSLMgrIndex>();
        for (const char* call : {"3B8AA", "5X1A", "VP8XX"}) {
            TQslManagerRecord r;
            r.Call = call;
            r.Manager = "G3ABC";
            CountryDb.QslManagers->InsertRecord(r.ToBytes().data());
        }
    }
    void TearDown() override { CountryDb = TCountryData::Empty(); }
    template <class Dialog>
    void Show(Dialog& d)
    {
        d.show();
        d.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&d));
    }
    test::TempDir dir;
};

TEST_F(WorkCopyEditors, TheManagerTableInsertsSearchesExportsImportsAndSaves)
{
    TEditQSLMgrDialog d;
    Show(d);
    test::ExpectControlsFit(&d, "QSL manager editor");
    EXPECT_EQ(d.windowTitle(), QStringLiteral("QSL Manager dabase"));
    ASSERT_EQ(d.Rows().size(), 3u);
    d.Locate("5");
    EXPECT_EQ(d.Table->ActiveRow(), 2);
    d.Locate("ZZ");
    EXPECT_EQ(d.Table->ActiveRow(), 3); // none at or after: the last row
    d.InsertRow();
    ASSERT_EQ(d.Rows().size(), 4u);
    EXPECT_EQ(d.Rows().back().Station, "??CALL??");
    EXPECT_EQ(d.Table->ActiveRow(), 4);
    d.DeleteRow();
    EXPECT_EQ(d.Rows().size(), 3u);

    // Export, then import the same file without deleting: every line replaced or skipped.
    ScopedMessageRecorder msgs(mrNo);
    const std::string file = dir.file("MGR.txt");
    d.AskFile = [&](bool) { return file; };
    d.ExportClick();
    EXPECT_EQ(msgs.texts().back(), "3 Manager written");
    const std::string exported = test::ReadAll(file);
    EXPECT_NE(exported.find("3B8AA,,G3ABC\r\n"), std::string::npos);
    d.ImportClick();
    EXPECT_EQ(msgs.texts()[1], "Do you want to DELETE existing QSL manager information");
    EXPECT_EQ(msgs.texts()[2], (TImportSummary{0, 0, 0, 3, 0}.Text()));
    EXPECT_EQ(d.Rows().size(), 3u);

    // A changed manager saved back into the database.
    test::WriteAll(file, "3B8AA,,DL1ZZ\r\nNEW1,01/02/2003,K1ABC\r\n");
    d.ImportClick();
    EXPECT_EQ(msgs.texts().back(), (TImportSummary{0, 1, 1, 0, 0}.Text()));
    d.SaveClick();
    EXPECT_EQ(d.result(), QDialog::Accepted);
    const auto work = QslManagerWorkCopy(CountryDb);
    ASSERT_EQ(work.size(), 4u);
    EXPECT_EQ(work[0].Manager, "DL1ZZ");
    EXPECT_TRUE(CountryDataModified());
}

TEST_F(WorkCopyEditors, AnEditedStationMovesToItsPlaceInKeyOrder)
{
    TEditQSLMgrDialog d;
    Show(d);
    d.Table->setFocus();
    d.Table->SetActiveCell(1, 1); // 3B8AA
    for (QChar c : QStringLiteral("zz1a"))
        QTest::keyClicks(QApplication::focusWidget(), QString(c));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F2);
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents();
    ASSERT_EQ(d.Rows().size(), 3u);
    EXPECT_EQ(d.Rows().back().Station, "ZZ1A");
    EXPECT_EQ(d.Table->ActiveRow(), 3);
    // Cancel leaves the database as it was.
    d.reject();
    EXPECT_EQ(QslManagerWorkCopy(CountryDb)[0].Station, "3B8AA");
}

TEST_F(WorkCopyEditors, TheIotaTableRoundTripsThroughItsTextFile)
{
    TEditIOTADialog d;
    Show(d);
    test::ExpectControlsFit(&d, "IOTA editor");
    EXPECT_EQ(d.windowTitle(), QStringLiteral("IOTA database"));
    const auto before = d.Work();
    ASSERT_FALSE(before.empty());
    d.InsertRow();
    EXPECT_EQ(d.Work().back().Reference, "?????");
    EXPECT_EQ(d.Work().back().Name, "??Name??");
    d.DeleteRow();
    ScopedMessageRecorder msgs(mrYes);
    const std::string file = dir.file("IOTA.txt");
    d.AskFile = [&](bool) { return file; };
    d.ExportClick();
    EXPECT_EQ(msgs.texts().back(), std::to_string(before.size()) + " written");
    d.ImportClick(); // deleting first: every entry deleted and added again
    const int n = static_cast<int>(before.size());
    EXPECT_EQ(msgs.texts().back(), (TImportSummary{n, n, 0, 0, 0}.Text(false)));
    ASSERT_EQ(d.Work().size(), before.size());
    EXPECT_EQ(d.Work()[0].Reference, before[0].Reference);
    EXPECT_EQ(d.Work()[0].Name, before[0].Name);
    d.SaveClick();
    EXPECT_EQ(IotaWorkCopy(CountryDb).size(), before.size());
}

TEST_F(WorkCopyEditors, TheAddressEditorAddsRefusesDuplicatesAndNeverEmptiesItsList)
{
    TEditAddressDialog d;
    Show(d);
    test::ExpectControlsFit(&d, "address editor");
    EXPECT_EQ(d.windowTitle(), QStringLiteral("QSL Manager Addresses"));
    ScopedMessageRecorder msgs;
    d.LB->SetText("g3abc");
    d.AddAddress();
    ASSERT_EQ(d.Work().size(), 2u); // the fixture's W3HNK and G3ABC
    ASSERT_EQ(d.Shown(), 0);
    EXPECT_EQ(d.Work()[0].Call, "G3ABC");
    d.Memo1->setPlainText(QStringLiteral("J. Smith\nLondon"));
    d.Memo1->document()->setModified(true);
    d.LB->SetText("G3ABC");
    d.AddAddress();
    EXPECT_EQ(msgs.texts(), std::vector<std::string>{"Please change the manager\rbefore adding an entry"});
    d.ShowEntry(1); // stores the changed text under G3ABC first
    EXPECT_EQ(d.Work()[0].Text, std::string("J. Smith\xFFLondon"));
    EXPECT_EQ(d.Memo1->toPlainText(), QStringLiteral("Joe\nBox 1"));
    d.DeleteAddress(); // W3HNK, the last: the one before it is shown
    EXPECT_EQ(d.Shown(), 0);
    EXPECT_EQ(d.Memo1->toPlainText(), QStringLiteral("J. Smith\nLondon"));
    d.DeleteAddress();
    ASSERT_EQ(d.Work().size(), 1u);
    EXPECT_EQ(d.Work()[0].Call, TEditAddressDialog::PlaceholderCall);
    EXPECT_TRUE(d.Work()[0].Text.empty());
}

TEST(WorkCopies, StoringKeepsThePlaceholderRecordsAndReadsBackTheSameEntries)
{
    TCountryData db = TCountryData::Empty();
    db.QslManagers->InsertRecord(TQslManagerRecord{}.ToBytes().data());
    db.Iota->InsertRecord(TIotaRecord{}.ToBytes().data());
    const std::vector<TQslMgrEntry> mgrs{{"3B8AA", NoDate, "G3ABC"}, {"5X1A", 40000, "DL1ABC"}};
    StoreQslManagers(db, mgrs);
    EXPECT_EQ(db.QslManagers->Count(), 3);
    const auto back = QslManagerWorkCopy(db);
    ASSERT_EQ(back.size(), 2u);
    EXPECT_EQ(back[0].Date, NoDate);
    EXPECT_EQ(back[1].Date, 40000);
    const std::vector<TIotaEntry> iota{{"EU001", "Island, big", -10.5, 45.25}};
    StoreIota(db, iota);
    StoreIota(db, iota);
    EXPECT_EQ(db.Iota->Count(), 2);
    EXPECT_EQ(IotaWorkCopy(db)[0].Longitude, -10.5);
    StoreAddresses(db, {{"G3ABC", std::string("A\xFF" "B")}});
    const auto addr = AddressWorkCopy(db);
    ASSERT_EQ(addr.size(), 1u);
    EXPECT_EQ(addr[0].Text, std::string("A\xFF" "B"));
}

} // namespace
} // namespace korval
