// The country editor offscreen over the small fixture database.
#include <gtest/gtest.h>

#include <QApplication>
#include <QMenuBar>
#include <QTest>

#include "entry/windows/ovc_simple_field.h"
#include "grids/windows/ovc_list_box.h"
#include "grids/windows/ovc_notebook.h"
#include "grids/windows/ovc_table.h"
#include "logbook/country_fixture.h"
#include "platform/message_dlg.h"
#include "reference/windows/country_editor_window.h"
#include "test_support.h"
#include "window_fit.h"

namespace korval {
namespace {

class CountryEditorWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        CountryDb = test::MakeFixtureDb();
        // A country file keeps an empty first mapping and exception call, as it keeps its first country.
        CountryDb.Prefixes->InsertRecord(TPrefixMapRecord{}.ToBytes().data());
        CountryDb.ExceptionCalls->InsertRecord(TExceptionCallRecord{}.ToBytes().data());
        w = std::make_unique<TFctyed>();
        w->show();
        w->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(w.get()));
    }
    void TearDown() override
    {
        w.reset();
        CountryDb = TCountryData::Empty();
    }
    std::vector<std::string> MapRows(bool withReferences = true) const
    {
        std::vector<std::string> out;
        for (const TWrkMap& m : w->WrkMaps())
            if (withReferences || !m.Reference)
                out.push_back(m.Prefix + ">" + m.MapCountry + (m.Reference ? "*" : ""));
        return out;
    }
    // Which country prefix every mapping and exception call of the database names.
    static std::vector<std::string> Resolved()
    {
        std::vector<std::string> out;
        for (std::int32_t i = 0; i < CountryDb.Prefixes->Count(); ++i) {
            const auto m = TPrefixMapRecord::FromBytes(CountryDb.Prefixes->Record(i));
            out.push_back(m.Prefix + ">" + CountryPrefix(m.Country));
        }
        for (std::int32_t i = 0; i < CountryDb.ExceptionCalls->Count(); ++i) {
            const auto c = TExceptionCallRecord::FromBytes(CountryDb.ExceptionCalls->Record(i));
            out.push_back(c.Call + ">" + CountryPrefix(c.Country));
        }
        return out;
    }

    std::unique_ptr<TFctyed> w;
};

TEST_F(CountryEditorWindow, ShowsACountryWithItsMappingsCallsAndOtherCountriesOfTheSamePrefix)
{
    test::ExpectControlsFit(w.get(), "country editor");
    EXPECT_EQ(w->windowTitle(), QStringLiteral("Country Editor"));
    EXPECT_EQ(w->Current(), 1);
    EXPECT_EQ(w->F_prefix->GetAsString(), "DL");
    EXPECT_EQ(w->F_cname->GetAsString(), "Germany");
    // Y2 belongs to Germany from the reunification and to East Germany before it.
    EXPECT_EQ(MapRows(), (std::vector<std::string>{"DA>DL", "DL>DL", "Y2>DL", "Y2>Y2*"}));
    w->NB->SetPageIndex(TFctyed::pgMappings);
    for (int p : {TFctyed::pgDetails, TFctyed::pgMappings, TFctyed::pgCallsigns, TFctyed::pgMessages}) {
        w->NB->SetPageIndex(p);
        test::ExpectControlsFit(w.get(), "country editor page " + std::to_string(p));
    }
    w->LastClick();
    EXPECT_EQ(w->F_prefix->GetAsString(), "Y2");
    ASSERT_EQ(w->WrkCalls().size(), 1u);
    EXPECT_EQ(w->WrkCalls()[0].Call, "Y21ABC");
    w->NextClick(); // stops at the last one
    EXPECT_EQ(w->F_prefix->GetAsString(), "Y2");
    w->AskCountry = [](const std::vector<std::string>& entries, int) {
        for (std::size_t i = 0; i < entries.size(); ++i)
            if (entries[i].rfind("OE ", 0) == 0)
                return static_cast<int>(i);
        return -1;
    };
    w->FindClick();
    EXPECT_EQ(w->F_prefix->GetAsString(), "OE");
    EXPECT_EQ(w->WrkCalls().size(), 1u); // DL0XYZ from 2010
}

TEST_F(CountryEditorWindow, APrefixChangeAndAnAddKeepEveryReferenceOnItsCountry)
{
    ScopedMessageRecorder msgs;
    std::vector<std::string> want = Resolved();
    w->ShowCountry(2); // France
    w->F_prefix->SetAsString("ZF");
    w->UpdateCountryClick();
    EXPECT_EQ(w->Current(), 7);
    EXPECT_EQ(w->F_prefix->GetAsString(), "ZF");
    for (std::string& r : want)
        if (r.size() > 2 && r.substr(r.size() - 2) == ">F")
            r.replace(r.size() - 1, 1, "ZF");
    EXPECT_EQ(Resolved(), want);

    // A new country typed over the shown one goes in key order; a prefix in use is refused.
    w->F_prefix->SetAsString("OE");
    w->AddCountryClick();
    EXPECT_EQ(msgs.texts(), std::vector<std::string>{"The prefix OE belongs to another country"});
    w->F_prefix->SetAsString("3a");
    w->F_cname->SetAsString("Monaco");
    w->AddCountryClick();
    EXPECT_EQ(w->Current(), 1);
    EXPECT_EQ(CountryPrefix(1), "3A");
    EXPECT_EQ(Resolved(), want);
    EXPECT_TRUE(w->WrkMaps().empty());
    EXPECT_TRUE(CountryDataModified());
}

TEST_F(CountryEditorWindow, MappingRowsAreAddedAndWrittenBackWithoutTheReferenceRows)
{
    ScopedMessageRecorder msgs;
    // A Mappings command on another page warns and switches.
    w->MapAdd();
    EXPECT_EQ(msgs.texts(), std::vector<std::string>{"Command not executed!\rSwitching to correct page"});
    EXPECT_EQ(w->NB->PageIndex(), TFctyed::pgMappings);
    EXPECT_EQ(w->WrkMaps().size(), 4u);
    w->MapAdd();
    ASSERT_EQ(w->WrkMaps().size(), 5u);
    EXPECT_EQ(w->MapTable->ActiveRow(), 5);
    // Typed into the new row's prefix cell.
    w->MapTable->setFocus();
    for (QChar c : QStringLiteral("dj"))
        QTest::keyClicks(QApplication::focusWidget(), QString(c));
    ASSERT_TRUE(w->MapTable->InEditingState());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F2);
    QCoreApplication::processEvents(); // the cell hands the key on to the table
    EXPECT_FALSE(w->MapTable->InEditingState());
    EXPECT_EQ(w->WrkMaps().back().Prefix, "DJ");
    // The reference row cannot be deleted.
    w->MapTable->SetActiveCell(4, 1);
    w->MapDelete();
    EXPECT_EQ(w->WrkMaps().size(), 5u);
    w->MapTable->SetActiveCell(1, 1); // DA
    w->MapDelete();
    w->MapUpdate();
    EXPECT_EQ(MapRows(), (std::vector<std::string>{"DJ>DL", "DL>DL", "Y2>DL", "Y2>Y2*"}));
    std::int32_t at = 0;
    TPrefixMapRecord key;
    key.Prefix = "Y2";
    CountryDb.Prefixes->Search(key.ToBytes().data(), at);
    EXPECT_EQ(TPrefixMapRecord::FromBytes(CountryDb.Prefixes->Record(at)).Country, 7); // East Germany's stays

    w->NB->SetPageIndex(TFctyed::pgCallsigns);
    w->CallAdd();
    ASSERT_EQ(w->WrkCalls().size(), 1u);
    w->CallUpdate(); // an empty call is left out
    EXPECT_TRUE(w->WrkCalls().empty());
}

TEST_F(CountryEditorWindow, TheCheckListsFindingsAndADoubleClickShowsTheirCountry)
{
    TPrefixMapRecord late{"DK", 6, 15, 0, OpenEndDate};
    late.StartDate = test::Day(2000, 1, 1);
    CountryDb.Prefixes->InsertRecord(late.ToBytes().data());
    TPrefixMapRecord overlap{"DK", 1, 14, 0, OpenEndDate};
    CountryDb.Prefixes->InsertRecord(overlap.ToBytes().data());
    w->CheckForErrors();
    EXPECT_EQ(w->NB->PageIndex(), TFctyed::pgMessages);
    ASSERT_EQ(w->LB->Items().Count(), 2);
    EXPECT_EQ(w->LB->Items().Strings(0), "Overlap OE      DK     ");
    EXPECT_EQ(w->LB->Items().Strings(1), "End of error listing");
    w->MessageChosen(1); // the last line names no country
    EXPECT_EQ(w->Current(), 1);
    w->MessageChosen(0);
    EXPECT_EQ(w->F_prefix->GetAsString(), "OE");
}

TEST_F(CountryEditorWindow, AMergeWithEveryStepDeclinedChangesNothing)
{
    test::TempDir dir;
    const std::string other = dir.file("OTHER.CTY");
    test::WriteAll(other, CountryDatabaseBytes(test::MakeFixtureDb()));
    const std::string before = CountryDatabaseBytes(CountryDb);
    ScopedMessageRecorder msgs(mrNo);
    w->AskMergeFile = [&] { return other; };
    w->MergeOtherCountryFile();
    EXPECT_EQ(msgs.texts(), (std::vector<std::string>{"Merge Exception Calls", "Merge IOTAs", "Merge QSL Managers",
                                                      "Merge QSL addresses"}));
    EXPECT_EQ(w->LB->Items().Count(), 5);
    EXPECT_EQ(w->LB->Items().Strings(3), "Merge QSL addresses (Skipped)");
    EXPECT_EQ(CountryDatabaseBytes(CountryDb), before);

    // A file that is no country file is refused with a message.
    test::WriteAll(other, "not a country file");
    w->MergeOtherCountryFile();
    EXPECT_EQ(msgs.texts().size(), 5u);
    EXPECT_EQ(CountryDatabaseBytes(CountryDb), before);
}

} // namespace
} // namespace korval
