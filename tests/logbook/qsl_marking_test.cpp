// The QSL work of the QSO window without a window: confirming the shown QSO, the print sequence,
// the label flags, SWL reports, the label run's follow-up, and the bulk edits over the selection.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "country_fixture.h"
#include "logbook/bands_modes.h"
#include "logbook/call_lookup.h"
#include "logbook/config_record.h"
#include "logbook/entry_mode.h"
#include "logbook/label_queue.h"
#include "logbook/qsl_marking.h"
#include "logbook/qso_bulk_edits.h"
#include "logbook/qso_data.h"
#include "logbook/qso_entry.h"
#include "logbook/qso_lookup.h"
#include "platform/message_dlg.h"

namespace korval {
namespace {

using test::Day;

struct QuietHost : TQsoEntryHost {
    void AskDateRange(TDayNumber&, TDayNumber&) override {}
    void Beep() override {}
};

class QslMarkingTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        saved_ = Config;
        CountryDb = test::MakeFixtureDb();
        InstallCountryLookup();
        Config.SetConfirmMarksQsl(true);
        Config.SetConfirmLabelAction(0);
        Config.SetConfirmNextAction(0);
        Config.SetShowAwardQuestion(false);
        Config.SetConfirmQslRoute(3);
        Config.SetWarnUnsavedQso(false);
        Config.SetLookupWhileTyping(false);
        Config.SetContestMode(false);
        log_ = std::make_unique<TQsoData>("QSL.KVL");
    }
    void TearDown() override
    {
        entry_.reset();
        log_.reset();
        SetQsoLookup(nullptr);
        CountryDb = TCountryData::Empty();
        Config = saved_;
    }
    TQsoRecord* Add(const std::string& call, TDayNumber date, int band = 5, int mode = mdCW)
    {
        auto* q = new TQsoRecord;
        q->Call.assign(call);
        q->Date = date;
        q->Time = 3600 + static_cast<std::int32_t>(log_->Count());
        q->Band = static_cast<std::uint8_t>(band);
        q->Mode = static_cast<std::uint8_t>(mode);
        q->RstSent = q->RstRcvd = ModeReportKind(mode) == 1 ? 599 : 59;
        q->Flags = qfValidForAwards;
        q->QslRoute = 1;
        LookupCall(*q);
        log_->InsertQso(q);
        return q;
    }
    // The window shows its last QSO.
    TQsoEntry& Open()
    {
        entry_ = std::make_unique<TQsoEntry>(log_.get(), &host_);
        entry_->Start();
        return *entry_;
    }
    // Shows the QSO q (browsing from the first).
    void ShowQso(const TQsoRecord* q)
    {
        entry_->First();
        while (entry_->ViewAt(entry_->CurrentIndex()) != q && entry_->CurrentIndex() + 1 < entry_->ViewCount())
            entry_->Next();
        ASSERT_EQ(entry_->ViewAt(entry_->CurrentIndex()), q);
        ASSERT_EQ(entry_->EntryMode(), emIdle);
    }

    std::unique_ptr<TQsoData> log_;
    QuietHost host_;
    std::unique_ptr<TQsoEntry> entry_;

private:
    TConfigRecord saved_;
};

TEST_F(QslMarkingTest, ConfirmMarksReceivedAndTheLabelFlag)
{
    Config.SetConfirmLabelAction(1);
    TQsoRecord* q = Add("DL1AAA", Day(2020, 1, 1));
    Open();
    ScopedMessageRecorder rec;
    TQslMarking(*entry_).ConfirmQso(false);
    const TQsoRecord* saved = entry_->ViewAt(entry_->CurrentIndex());
    ASSERT_NE(saved, nullptr);
    (void)q;
    EXPECT_TRUE(saved->HasFlag(qfQslReceived));
    EXPECT_TRUE(saved->HasFlag(qfLabelToPrint));
    EXPECT_EQ(saved->QslRoute, 3);
    EXPECT_TRUE(rec.texts().empty());
}

TEST_F(QslMarkingTest, SentCardAnsweredNoStillMarksReceivedButQueuesNothing)
{
    for (int action : {1, 2}) {
        SCOPED_TRACE(action);
        Config.SetConfirmLabelAction(action);
        log_ = std::make_unique<TQsoData>("QSL.KVL");
        TQsoRecord* q = Add("DL1AAA", Day(2020, 1, 1));
        q->QslSentDate = Day(2020, 2, 1);
        Open();
        ScopedMessageRecorder rec(mrNo);
        TQslMarking(*entry_).ConfirmQso(false);
        const TQsoRecord* saved = log_->At(0);
        ASSERT_EQ(rec.texts().size(), 1u);
        EXPECT_EQ(rec.texts()[0], "QSL was sent already, mark again?");
        EXPECT_TRUE(saved->HasFlag(qfQslReceived));
        EXPECT_FALSE(saved->HasFlag(qfLabelToPrint));
        EXPECT_EQ(saved->SeqPrtNr, 0);
        EXPECT_EQ(log_->MaxSeqPrtNr, 0);
        entry_.reset();
    }
}

TEST_F(QslMarkingTest, SequenceQueueInsertsBehindTheSameCall)
{
    Config.SetConfirmLabelAction(2);
    // Nine queued QSOs; the call's QSO is number 5.
    for (int n = 1; n <= 9; ++n) {
        TQsoRecord* q = Add(n == 5 ? "DL1AAA" : "OE1B" + std::string(1, static_cast<char>('A' + n)), Day(2020, 1, n));
        q->SeqPrtNr = static_cast<std::uint16_t>(n);
    }
    log_->MaxSeqPrtNr = 9;
    TQsoRecord* fresh = Add("DL1AAA", Day(2020, 3, 1));
    Open();
    ShowQso(fresh);
    ScopedMessageRecorder rec(mrYes);
    TQslMarking(*entry_).ConfirmQso(false);
    ASSERT_EQ(rec.texts().size(), 1u);
    EXPECT_EQ(rec.texts()[0], "Same call marked already as number 5\rinsert this QSO behind it?");
    std::vector<int> numbers;
    for (const TQsoRecord* q : log_->Qsos())
        numbers.push_back(q->SeqPrtNr);
    EXPECT_EQ(numbers, (std::vector<int>{1, 2, 3, 4, 5, 7, 8, 9, 10, 6}));
    EXPECT_EQ(log_->MaxSeqPrtNr, 10);
}

TEST_F(QslMarkingTest, SequenceQueueBehindTheHighestTakesTheNextWithoutAsking)
{
    Config.SetConfirmLabelAction(2);
    Add("OE1AA", Day(2020, 1, 1))->SeqPrtNr = 8;
    Add("DL1AAA", Day(2020, 1, 2))->SeqPrtNr = 9;
    log_->MaxSeqPrtNr = 9;
    TQsoRecord* fresh = Add("DL1AAA", Day(2020, 3, 1));
    Open();
    ShowQso(fresh);
    ScopedMessageRecorder rec(mrYes);
    TQslMarking(*entry_).ConfirmQso(false);
    EXPECT_TRUE(rec.texts().empty());
    EXPECT_EQ(log_->At(2)->SeqPrtNr, 10);
    EXPECT_EQ(log_->At(0)->SeqPrtNr, 8);
    EXPECT_EQ(log_->MaxSeqPrtNr, 10);

    // Confirming it again warns and keeps its number.
    TQslMarking(*entry_).ConfirmQso(false);
    ASSERT_EQ(rec.texts().size(), 1u);
    EXPECT_EQ(rec.texts()[0], "QSO is marked for sequence printing already");
    EXPECT_EQ(log_->At(2)->SeqPrtNr, 10);
}

TEST_F(QslMarkingTest, FullSequenceStopsAtTheTopInsteadOfWrappingToNotQueued)
{
    Config.SetConfirmLabelAction(2);
    Add("OE1AA", Day(2020, 1, 1))->SeqPrtNr = 65535;
    log_->MaxSeqPrtNr = 65535;
    Add("DL1AAA", Day(2020, 3, 1));
    Open();
    ScopedMessageRecorder rec(mrYes);
    TQslMarking(*entry_).ConfirmQso(false);
    ASSERT_EQ(rec.texts().size(), 1u);
    EXPECT_NE(rec.texts()[0].find("print sequence is full"), std::string::npos);
    EXPECT_EQ(log_->At(1)->SeqPrtNr, 0);
    EXPECT_TRUE(log_->At(1)->HasFlag(qfQslReceived)) << "the rest of the confirmation stands";
    EXPECT_EQ(log_->MaxSeqPrtNr, 65535);
}

TEST_F(QslMarkingTest, SetLabelFlagsSkipsIgnoredRoutesAndClearCounts)
{
    Add("DL1AAA", Day(2020, 1, 1));
    Add("DL2BBB", Day(2020, 1, 2))->QslRoute = 6;
    TQsoRecord* queued = Add("DL3CCC", Day(2020, 1, 3));
    queued->Flags |= qfLabelToPrint;
    Open();
    ScopedMessageRecorder rec(mrYes);
    TQslMarking(*entry_).SetLabelFlags(false);
    ASSERT_EQ(rec.texts().size(), 2u);
    EXPECT_EQ(rec.texts()[0], "Setting label fields and no QSO filter active!\rDo you want to proceed?");
    EXPECT_EQ(rec.texts()[1], "One QSO changed");
    EXPECT_TRUE(log_->At(0)->HasFlag(qfLabelToPrint));
    EXPECT_EQ(log_->At(0)->QslRoute, 3);
    EXPECT_FALSE(log_->At(1)->HasFlag(qfLabelToPrint));
    EXPECT_EQ(log_->At(2)->QslRoute, 1) << "an already queued QSO keeps its route";

    TQslMarking(*entry_).SetLabelFlags(true);
    EXPECT_EQ(rec.texts().back(), "2 QSOs changed");
    for (const TQsoRecord* q : log_->Qsos())
        EXPECT_FALSE(q->HasFlag(qfLabelToPrint));
}

TEST_F(QslMarkingTest, SwlReportNeedsACallAndTogglesItsRecord)
{
    TQsoRecord* q = Add("DL1AAA", Day(2020, 1, 1));
    q->Group = 4;
    Open();
    std::string typed;
    TQslMarking m(*entry_);
    m.InputQuery = [&typed](const std::string&, const std::string&, std::string& value) {
        value = typed;
        return true;
    };
    ScopedMessageRecorder rec(mrYes);
    typed = "   ";
    m.ConfirmSwl(false);
    ASSERT_EQ(rec.texts().size(), 1u) << "an empty call is refused";
    EXPECT_TRUE(log_->Swl().empty());

    typed = "onl1234";
    m.ConfirmSwl(false);
    ASSERT_EQ(log_->Swl().size(), 1u);
    EXPECT_EQ(log_->Swl()[0].Call, "ONL1234");
    EXPECT_EQ(log_->Swl()[0].Group, 4);
    EXPECT_EQ(log_->Swl()[0].Date, Day(2020, 1, 1));

    m.ConfirmSwl(false);
    EXPECT_EQ(rec.texts().back(), "An SWL entry exists already\rdo you want to remove it?");
    EXPECT_TRUE(log_->Swl().empty());
}

TEST_F(QslMarkingTest, LabelRunKeepsStoredFiveBandMarks)
{
    TQsoRecord* fiveBand = Add("DL1AAA", Day(2020, 1, 1));
    fiveBand->Flags |= qfFiveBand | qfLabelToPrint;
    TQsoRecord* other = Add("DL2BBB", Day(2020, 1, 2));
    other->Flags |= qfLabelToPrint;
    TQsoRecord* notQueued = Add("DL3CCC", Day(2020, 1, 3));
    notQueued->Flags |= qfFiveBand;
    Open();
    ScopedMessageRecorder rec(mrYes);
    TQslMarking m(*entry_);

    // A run that printed nothing asks nothing.
    m.RunLabelPrint = [](int) {};
    m.PrintLabels(lkLabelFlag);
    EXPECT_TRUE(rec.texts().empty());

    m.RunLabelPrint = [this](int kind) {
        for (TQsoRecord* q : LabelQueue(*log_, kind))
            MarkLabelPrinted(*q);
    };
    m.PrintLabels(lkLabelFlag);
    ASSERT_EQ(rec.texts().size(), 1u);
    EXPECT_EQ(rec.texts()[0], "Update QSL Date for printed labels and\rclear the print flags?");
    for (const TQsoRecord* q : {fiveBand, other}) {
        EXPECT_FALSE(q->HasFlag(qfLabelToPrint));
        EXPECT_NE(q->QslSentDate, 0);
    }
    EXPECT_TRUE(fiveBand->HasFlag(qfFiveBand));
    EXPECT_TRUE(notQueued->HasFlag(qfFiveBand));
    EXPECT_EQ(notQueued->QslSentDate, 0);
}

TEST_F(QslMarkingTest, SequenceRunClearsPrintedNumbersAndRecountsTheTop)
{
    Add("DL1AAA", Day(2020, 1, 1))->SeqPrtNr = 2;
    Add("DL2BBB", Day(2020, 1, 2))->SeqPrtNr = 1;
    Add("DL3CCC", Day(2020, 1, 3))->SeqPrtNr = 3;
    log_->MaxSeqPrtNr = 3;
    Open();
    const auto queue = LabelQueue(*log_, lkSequence);
    ASSERT_EQ(queue.size(), 3u);
    EXPECT_EQ(queue[0]->Call, "DL2BBB") << "sequence labels go out in their numbers' order";
    EXPECT_EQ(queue[2]->Call, "DL3CCC");
    ScopedMessageRecorder rec(mrYes);
    TQslMarking m(*entry_);
    m.RunLabelPrint = [&queue](int) {
        MarkLabelPrinted(*queue[0]);
        MarkLabelPrinted(*queue[1]);
    };
    m.PrintLabels(lkSequence);
    EXPECT_EQ(log_->At(2)->SeqPrtNr, 3);
    EXPECT_EQ(log_->At(0)->SeqPrtNr, 0);
    EXPECT_EQ(log_->MaxSeqPrtNr, 3);
}

TEST_F(QslMarkingTest, SwlRunDeletesWhatWasPrinted)
{
    Add("DL1AAA", Day(2020, 1, 1));
    for (const char* call : {"ONL1", "ONL2"}) {
        TSwlRecord r;
        r.Call.assign(call);
        r.Date = Day(2020, 1, 1);
        log_->InsertSwl(r);
    }
    Open();
    ScopedMessageRecorder rec(mrYes);
    TQslMarking m(*entry_);
    m.RunLabelPrint = [this](int kind) {
        ASSERT_EQ(kind, lkSwl);
        MarkSwlPrinted(log_->SwlAt(0));
    };
    m.PrintLabels(lkSwl);
    ASSERT_EQ(rec.texts().size(), 1u);
    EXPECT_EQ(rec.texts()[0], "Delete SWL records that were printed");
    ASSERT_EQ(log_->Swl().size(), 1u);
    EXPECT_EQ(log_->Swl()[0].Call, "ONL2");
}

// ---- bulk edits ----

TEST_F(QslMarkingTest, BulkConfirmAndQslDateCountOnlyWhatChanged)
{
    Add("DL1AAA", Day(2020, 1, 1))->Flags |= qfQslReceived;
    Add("DL2BBB", Day(2020, 1, 2));
    Add("DL3CCC", Day(2020, 1, 3))->QslSentDate = Day(2020, 2, 1);
    Open();
    ScopedMessageRecorder rec(mrYes);
    TQsoBulkEdits b(*entry_);
    b.SetConfirmed();
    ASSERT_EQ(rec.texts().size(), 2u);
    EXPECT_EQ(rec.texts()[0], "Confirming up to 3 QSOs \rAre you sure");
    EXPECT_EQ(rec.texts()[1], "2 QSOs  were confirmed");
    b.SetQslDate();
    EXPECT_EQ(rec.texts().back(), "2 QSOs  were changed");
    EXPECT_EQ(log_->At(1)->QslSentDate, Day(2020, 1, 2));
    EXPECT_EQ(log_->At(2)->QslSentDate, Day(2020, 2, 1));

    rec.answer(mrNo);
    b.SetConfirmed();
    EXPECT_EQ(rec.texts().back(), "Confirming up to 3 QSOs \rAre you sure") << "No reports nothing";
}

TEST_F(QslMarkingTest, DeleteSelectedHonoursTheSearchAndLeavesAnEmptyLogOffline)
{
    Add("DL1AAA", Day(2020, 1, 1));
    Add("OE1AAA", Day(2020, 1, 2));
    Add("DL2BBB", Day(2020, 1, 3));
    Open();
    entry_->BeginSearch(true);
    entry_->Fields.Edit(fCall, "DL*");
    ScopedMessageRecorder rec(mrYes);
    TQsoBulkEdits b(*entry_);
    b.DeleteQsos();
    ASSERT_FALSE(rec.texts().empty());
    EXPECT_EQ(rec.texts()[0], "Deleting 2 QSOs \rAre you sure");
    ASSERT_EQ(log_->Count(), 1);
    EXPECT_EQ(log_->At(0)->Call, "OE1AAA");

    entry_.reset();
    Open();
    TQsoBulkEdits(*entry_).DeleteQsos();
    EXPECT_EQ(log_->Count(), 0);
    EXPECT_EQ(entry_->EntryMode(), emOffline);
}

TEST_F(QslMarkingTest, UsaStatesComeFromEarlierQsosOfTheCallOnly)
{
    const std::uint16_t usa = CountryOfCall("W1AW", Day(2020, 1, 1));
    ASSERT_NE(usa, 0);
    auto us = [&](const char* call, TDayNumber d, int state) {
        TQsoRecord* q = Add(call, d);
        q->Country = usa;
        q->State = static_cast<std::uint8_t>(state);
        q->County = static_cast<std::uint16_t>(state ? 7 : 0);
        return q;
    };
    us("K1ABC", Day(2020, 1, 1), 5);
    TQsoRecord* filled = us("K1ABC", Day(2020, 2, 1), 0);
    TQsoRecord* before = us("K2XYZ", Day(2020, 1, 1), 0);
    us("K2XYZ", Day(2020, 3, 1), 9);
    TQsoRecord* stranger = Add("ZZ9ZZ", Day(2020, 3, 2));
    stranger->Country = 0;
    Open();
    ScopedMessageRecorder rec;
    TQsoBulkEdits(*entry_).SetUsaStates();
    EXPECT_EQ(filled->State, 5);
    EXPECT_EQ(filled->County, 7);
    EXPECT_EQ(before->State, 0) << "only an earlier QSO gives its state";
    EXPECT_EQ(rec.texts().back(), "One QSO  were changed");
}

TEST_F(QslMarkingTest, UsaStatesRefusedWhenTheDatabaseDoesNotKnowTheUsa)
{
    TQsoRecord* a = Add("ZZ1AA", Day(2020, 1, 1));
    a->Country = 0;
    a->State = 5;
    TQsoRecord* b = Add("ZZ1AA", Day(2020, 2, 1));
    b->Country = 0;
    Open();
    CountryDb = TCountryData::Empty();
    ScopedMessageRecorder rec;
    TQsoBulkEdits(*entry_).SetUsaStates();
    EXPECT_EQ(b->State, 0) << "country 0 is not the USA";
    ASSERT_EQ(rec.texts().size(), 1u);
}

TEST_F(QslMarkingTest, BulkModeChangeRefusesReportsTheNewModeCannotCarry)
{
    Add("DL1AAA", Day(2020, 1, 1), 5, mdCW);                    // 599
    Add("DL2BBB", Day(2020, 1, 2), 5, mdSSB);                   // 59
    TQsoRecord* empty = Add("DL3CCC", Day(2020, 1, 3), 5, mdCW);
    empty->RstSent = empty->RstRcvd = 0;
    Open();
    TQsoBulkEdits b(*entry_);
    b.CountSelected();
    const TModeChange r = b.SetMode(mdSSB);
    EXPECT_EQ(r.Changed, 1);
    EXPECT_EQ(r.Refused, 1);
    EXPECT_EQ(log_->At(0)->Mode, mdCW);
    EXPECT_EQ(log_->At(2)->Mode, mdSSB);
}

TEST_F(QslMarkingTest, BulkGroupChangesOnlyTheSelection)
{
    Add("DL1AAA", Day(2019, 1, 1));
    Add("DL2BBB", Day(2020, 1, 2));
    log_->Selection.DateRange = 1;
    log_->Selection.FromDate = Day(2020, 1, 1);
    log_->Selection.ToDate = 65535;
    Open();
    TQsoBulkEdits b(*entry_);
    EXPECT_EQ(b.CountSelected(), 1);
    EXPECT_EQ(b.SetGroup(7), 1);
    EXPECT_EQ(log_->At(0)->Group, 0);
    EXPECT_EQ(log_->At(1)->Group, 7);
}

} // namespace
} // namespace korval
