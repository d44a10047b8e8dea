// Award-flag changes, marking QSOs for QSL, the QSL-routing reworks, the selection editor and
// the group-name editor, on small crafted logs.
#include <gtest/gtest.h>

#include "exchange/award_flags.h"
#include "exchange/group_names_editor.h"
#include "exchange/mark_for_qsl.h"
#include "exchange/qsl_routing.h"
#include "exchange/selection_editor.h"
#include "report_fixture.h"

using namespace korval;
using namespace korval::test;

namespace {

constexpr std::uint32_t kDxccMixed = 0x4;

} // namespace

// ---- award flags ----

TEST_F(ReportTest, AwardFlagActionsCountEachQsoOnce)
{
    struct Case {
        int action;
        std::uint32_t before, after;
        long count;
    };
    const Case cases[] = {
        {faSubmittedToChecked, kDxccMixed | kDxccMixed << 1, kDxccMixed << 1, 1},
        {faSubmittedToChecked, kDxccMixed << 1, kDxccMixed << 1, 0},
        {faClearSubmitted, kDxccMixed | 0x10, 0x10, 1},
        {faClearChecked, kDxccMixed | kDxccMixed << 1, kDxccMixed, 1},
        {faClearBoth, kDxccMixed | kDxccMixed << 1 | 0x40, 0x40, 1},
        {faClearBoth, 0x40, 0x40, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(AwardFlagActionNames[c.action]);
        log = std::make_unique<TQsoData>("FLAGS.KVL");
        TQsoRecord* q = Add({"DL1AA", Day(2020, 1, 1), 3600, 5, mdCW});
        q->AwardFlags = c.before;
        EXPECT_EQ(ChangeAwardFlags(*log, kDxccMixed, c.action), c.count);
        EXPECT_EQ(q->AwardFlags, c.after);
    }
}

TEST_F(ReportTest, AwardFlagsChangeOnlyTheSelection)
{
    TQsoRecord* old = Add({"DL1AA", Day(2010, 1, 1), 3600, 5, mdCW});
    TQsoRecord* fresh = Add({"DL1AA", Day(2020, 1, 1), 3600, 5, mdCW});
    old->AwardFlags = fresh->AwardFlags = kDxccMixed;
    log->Selection.DateRange = 1;
    log->Selection.FromDate = Day(2015, 1, 1);
    log->Selection.ToDate = 65535;
    EXPECT_EQ(ChangeAwardFlags(*log, kDxccMixed, faSubmittedToChecked), 1);
    EXPECT_EQ(old->AwardFlags, kDxccMixed);
}

// ---- mark for QSL ----

class MarkForQslTest : public ReportTest {
protected:
    TMarkForQslRequest Request(int award, int mixedRoute, int mixedWeeks = 0)
    {
        TMarkForQslRequest r;
        r.Award = award;
        r.Route[mrMixed] = mixedRoute;
        r.Weeks[mrMixed] = mixedWeeks;
        r.Today = Day(2020, 6, 1);
        return r;
    }
    TQsoRecord* Worked(int country, int band = 5, int mode = mdCW, TDayNumber date = Day(2020, 1, 1))
    {
        return Add({"Z1AA", date, 3600, band, mode}, [country](TQsoRecord& q) {
            q.Call = "Z" + std::to_string(country) + "AA";
            q.Country = static_cast<std::uint16_t>(country);
        });
    }
};

TEST_F(MarkForQslTest, TheShortestResendPeriodHoldsARecentCard)
{
    TQsoRecord* recent = Worked(kZFirst);
    recent->QslSentDate = Day(2020, 6, 1) - 10;
    TQsoRecord* longAgo = Worked(kZFirst + 1);
    longAgo->QslSentDate = Day(2020, 6, 1) - 40;
    TQsoRecord* never = Worked(kZFirst + 2);
    TQsoRecord* ignored = Worked(kZFirst + 3);
    ignored->QslRoute = 6;
    AddCountry(kZFirst + 4);  // confirmed: not needed

    TMarkForQslRequest r = Request(maDxcc, 1, 4);
    r.Route[mrBand] = 3;  // a route without a period does not shorten the common one
    EXPECT_EQ(MarkForQsl(*log, r), 2);
    EXPECT_FALSE(recent->HasFlag(qfLabelToPrint));
    EXPECT_TRUE(longAgo->HasFlag(qfLabelToPrint));
    EXPECT_EQ(never->QslRoute, 1) << "the mixed row comes first";
    EXPECT_FALSE(ignored->HasFlag(qfLabelToPrint));

    log = std::make_unique<TQsoData>("NONE.KVL");
    Worked(kZFirst);
    EXPECT_EQ(MarkForQsl(*log, Request(maDxcc, 0)), 0) << "no route, no marks";
}

TEST_F(MarkForQslTest, ANeededCountyGetsOneCardPerBand)
{
    auto county = [&](int n, int band, bool qsl) {
        TQsoRecord* q = Add({"K1AA", Day(2020, 1, 1), 3600 + 60 * static_cast<int>(log->Count()), band, mdCW, qsl});
        q->State = 5;
        q->County = static_cast<std::uint16_t>(n);
        return q;
    };
    county(1, 5, true);
    county(1, 5, false);
    county(1, 6, false);
    county(2, 5, false);
    county(2, 5, false);
    county(2, 6, false);
    EXPECT_EQ(MarkForQsl(*log, Request(maCounty, 1)), 2);
    for (const TQsoRecord* q : log->Qsos()) {
        if (q->County == 1) {
            EXPECT_FALSE(q->HasFlag(qfLabelToPrint)) << "a confirmed county gets no card";
        }
    }
}

TEST_F(MarkForQslTest, DxChoicesCardPerBandOrPerBandAndModeAndNeverTheHomeCountry)
{
    Config.SetOwnCall("DL9XX");
    struct Case {
        int award;
        int oe, f;
    };
    for (const Case c : {Case{maDxSingleBand, 1, 1}, Case{maDxAllBandMode, 2, 2}}) {
        SCOPED_TRACE(c.award);
        log = std::make_unique<TQsoData>("DX.KVL");
        Add({"OE1AA", Day(2020, 1, 1), 3600, 5, mdCW});
        Add({"OE1AA", Day(2020, 1, 2), 3600, 5, mdSSB});
        Add({"DL1AA", Day(2020, 1, 3), 3600, 5, mdCW});
        // F: a card already sent on 20m CW; 20m SSB and 40m CW not yet.
        Add({"F5AA", Day(2020, 1, 4), 3600, 5, mdCW}, [](TQsoRecord& q) { q.QslSentDate = Day(2020, 2, 1); });
        Add({"F5AA", Day(2020, 1, 5), 3600, 5, mdSSB});
        Add({"F5AA", Day(2020, 1, 6), 3600, 3, mdCW});
        MarkForQsl(*log, Request(c.award, 3));
        int oe = 0, f = 0;
        for (const TQsoRecord* q : log->Qsos()) {
            if (!q->HasFlag(qfLabelToPrint))
                continue;
            EXPECT_NE(q->Call, "DL1AA");
            EXPECT_EQ(q->QslRoute, 3);
            (q->Call == "OE1AA" ? oe : f) += 1;
        }
        EXPECT_EQ(oe, c.oe);
        EXPECT_EQ(f, c.f);
    }
}

// ---- QSL routing ----

TEST_F(ReportTest, RemovingDuplicateQslsTwiceChangesNothingTheSecondTime)
{
    auto queued = [&](int day, int band, bool qsl = false) {
        TQsoRecord* q = Add({"OE1AA", Day(2020, 1, day), 3600, band, mdCW, qsl});
        q->Flags |= qfLabelToPrint;
        return q;
    };
    TQsoRecord* first = queued(1, 5);
    TQsoRecord* second = queued(2, 5);
    TQsoRecord* otherBand = queued(3, 6);
    TQslRouting routing(*log);
    EXPECT_EQ(routing.RemoveDuplicates(), 1);
    EXPECT_TRUE(first->HasFlag(qfLabelToPrint));
    EXPECT_FALSE(second->HasFlag(qfLabelToPrint)) << "the later of two duplicates goes";
    EXPECT_TRUE(otherBand->HasFlag(qfLabelToPrint));
    EXPECT_EQ(routing.RemoveDuplicates(), 0);
}

TEST_F(ReportTest, APaidQslPullsInTheSameCall)
{
    TQsoRecord* paid = Add({"OE1AA", Day(2020, 1, 1), 3600, 5, mdCW});
    paid->Flags |= qfLabelToPrint;
    paid->QslRoute = 4;
    TQsoRecord* otherBand = Add({"OE1AA", Day(2020, 1, 2), 3600, 6, mdCW});
    TQsoRecord* service = Add({"OE1AA", Day(2020, 1, 3), 3600, 7, mdCW});
    service->Flags |= qfLabelToPrint;
    service->QslRoute = 2;
    TQsoRecord* ignored = Add({"OE1AA", Day(2020, 1, 4), 3600, 8, mdCW});
    ignored->QslRoute = 6;
    TQsoRecord* stranger = Add({"DL1AA", Day(2020, 1, 5), 3600, 6, mdCW});

    TQslRouting routing(*log);
    routing.Count();
    EXPECT_EQ(routing.Cell(TQslRouting::ClassOf(*paid), 4), 1u);
    EXPECT_EQ(routing.MarkSameStationOrManager(), 2);
    EXPECT_EQ(otherBand->QslRoute, 4);
    EXPECT_TRUE(otherBand->HasFlag(qfLabelToPrint));
    EXPECT_EQ(service->QslRoute, 4);
    EXPECT_EQ(ignored->QslRoute, 6) << "an ignored QSO keeps its route";
    EXPECT_FALSE(ignored->HasFlag(qfLabelToPrint));
    EXPECT_FALSE(stranger->HasFlag(qfLabelToPrint));
    EXPECT_EQ(routing.MarkSameStationOrManager(), 0);
}

// ---- selection editor ----

TEST_F(ReportTest, SelectionEditorKeepsTheFirstSelectionAndChecksDates)
{
    TQsoSelection second = TQsoSelection::AllQsos();
    second.Name.assign("Second");
    log->Selections.push_back(second);

    TSelectionEditor ed(*log);
    EXPECT_EQ(ed.Shown(), 0);
    EXPECT_FALSE(ed.Editable()) << "the first saved selection is locked";
    EXPECT_FALSE(ed.Update(true, false, 0, 0, "Changed", false, false));

    ed.Show(1);
    ASSERT_TRUE(ed.Editable());
    EXPECT_FALSE(ed.Update(true, false, Day(2020, 2, 1), Day(2020, 1, 1), "Renamed", true, false));
    EXPECT_EQ(messages.texts().back(), "Please check your dates");
    EXPECT_EQ(ed.Name(1), "Second") << "nothing of a refused update is stored";

    EXPECT_TRUE(ed.Update(true, false, Day(2020, 1, 1), 0, "Open end", true, false));
    EXPECT_EQ(ed.Edited().ToDate, 65535) << "an empty last date is an open end";
    EXPECT_TRUE(ed.Edited().Bit(TQsoSelection::kQrpOnlyBit));
    EXPECT_EQ(ed.Accept(*log), TSelectionEditor::arReplaced);
    EXPECT_EQ(log->SelectionIndex, 1);
    EXPECT_EQ(log->Selection.Name, "Open end");
    EXPECT_EQ(log->Selections[1].ToDate, 65535);
}

TEST_F(ReportTest, SelectionEditorCancelOrSwitchLeavesTheSavedList)
{
    TQsoSelection second = TQsoSelection::AllQsos();
    second.Name.assign("Second");
    log->Selections.push_back(second);
    {
        TSelectionEditor ed(*log);
        ed.Add();
        ed.Delete();
        ed.Add();
        EXPECT_EQ(ed.Count(), 3);
        // Dropped without accepting: a cancel.
    }
    ASSERT_EQ(log->Selections.size(), 2u);

    TSelectionEditor ed(*log);
    EXPECT_EQ(ed.Accept(*log), TSelectionEditor::arCancelled);
    ed.Show(1);
    EXPECT_EQ(ed.Accept(*log), TSelectionEditor::arSwitched);
    EXPECT_EQ(log->SelectionIndex, 1);
    EXPECT_FALSE(log->Modified());
}

// ---- group names ----

TEST_F(ReportTest, GroupNamesFollowTheirQsosThroughInsertAndDelete)
{
    log->GroupNames = {"A", "B", "C", "D", "E"};
    std::vector<TQsoRecord*> qsos;
    for (int g = 1; g <= 5; ++g)
        qsos.push_back(Add({"DL1AA", Day(2020, 1, g), 3600, 5, mdCW}, [g](TQsoRecord& q) {
            q.Group = static_cast<std::uint8_t>(g);
        }));
    log->Selection.SetBit(4, true);  // "D"
    log->Selection.SetBit(TQsoSelection::kQrpOnlyBit, true);

    TGroupNamesEditor ed(*log);
    ed.Select(2);
    messages.answer(mrYes);
    ASSERT_TRUE(ed.Delete());  // "C", used by a QSO: asked
    EXPECT_EQ(messages.texts().size(), 1u);
    EXPECT_EQ(ed.SelectedName(), "D");
    ed.Select(0);
    ASSERT_TRUE(ed.Insert("New"));
    EXPECT_EQ(ed.SelectedName(), "A") << "the selection stays on its name";
    EXPECT_EQ(ed.Row(0), "001 New");
    ed.Apply(*log);

    EXPECT_EQ(log->GroupNames, (std::vector<std::string>{"New", "A", "B", "D", "E"}));
    const char* expected[] = {"A", "B", "", "D", "E"};
    for (std::size_t i = 0; i < qsos.size(); ++i)
        EXPECT_EQ(qsos[i]->Group == 0 ? "" : log->GroupName(*qsos[i]), expected[i]) << i;
    EXPECT_TRUE(log->Selection.Bit(4)) << "\"D\" is group 4 again";
    EXPECT_FALSE(log->Selection.Bit(3));
    EXPECT_TRUE(log->Selection.Bit(TQsoSelection::kQrpOnlyBit));
    EXPECT_TRUE(log->Modified());
}

TEST_F(ReportTest, GroupNameListStopsAtWhatAGroupByteCanName)
{
    log->GroupNames.assign(TGroupNamesEditor::kMaxNames - 1, "x");
    TGroupNamesEditor ed(*log);
    EXPECT_TRUE(ed.Add("last"));
    EXPECT_FALSE(ed.Add("one too many"));
    EXPECT_FALSE(ed.Insert("one too many"));
    EXPECT_EQ(ed.Count(), TGroupNamesEditor::kMaxNames);
    EXPECT_FALSE(messages.texts().empty());
}
