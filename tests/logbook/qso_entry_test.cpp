// The QSO-entry engine driven without a window: modes, validation, posting, re-assignment,
// contest exchange, the clock feed, deletion and search by example.
#include <gtest/gtest.h>

#include "country_fixture.h"
#include "logbook/bands_modes.h"
#include "logbook/call_lookup.h"
#include "logbook/config_record.h"
#include "logbook/qso_data.h"
#include "logbook/qso_entry.h"
#include "logbook/qso_macro_context.h"
#include "logbook/qso_location.h"
#include "logbook/qso_lookup.h"
#include "logbook/position.h"
#include "platform/message_dlg.h"
#include "platform/port_io.h"
#include "logbook/configured_formats.h"

namespace korval {
namespace {

using test::Day;

struct RecordingHost : TQsoEntryHost {
    int rangeAsked = 0;
    TDayNumber rangeEnd = 0;
    int beeps = 0;
    void AskDateRange(TDayNumber& start, TDayNumber& end) override
    {
        ++rangeAsked;
        if (rangeEnd)
            end = rangeEnd;
        (void)start;
    }
    void Beep() override { ++beeps; }
};

struct FakeRadio : TQsoRadio {
    bool Attached() const override { return true; }
    std::string FrequencyText() const override { return "14025.00"; }
};

class QsoEntryTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        savedConfig_ = Config;
        CountryDb = test::MakeFixtureDb();
        InstallCountryLookup();
        Config.SetDefaultMode(mdCW);
        Config.SetDefaultBand(5);
        Config.SetDefaultQslRoute(1);
        Config.SetDefaultLabel(0);
        Config.SetMergeGroup(0);
        Config.SetWarnUnsavedQso(false);
        Config.SetLookupWhileTyping(false);
        Config.SetContestMode(false);
        Config.SetContestExchange("");
        Config.SetCallSearchMethod(2);
        Config.SetDateSearchMethod(1);
        SetClock(Day(2020, 5, 1), 12 * 3600);
        log_ = std::make_unique<TQsoData>("TEST.KVL");
        entry_ = std::make_unique<TQsoEntry>(log_.get(), &host_);
        entry_->Start();
    }
    void TearDown() override
    {
        entry_.reset();
        log_.reset();
        SetUtcClockSource(nullptr);
        SetQsoLookup(nullptr);
        CountryDb = TCountryData::Empty();
        Config = savedConfig_;
    }
    void SetClock(TDayNumber day, std::int32_t seconds)
    {
        const std::int64_t unix = (static_cast<std::int64_t>(day) - Day(1970, 1, 1)) * 86400 + seconds;
        SetUtcClockSource([unix] { return unix; });
    }
    // Types a call, leaves the field, then Enter.
    void TypeCall(const std::string& call)
    {
        entry_->Fields.Edit(fCall, call);
        entry_->CallExit();
    }
    void Post(const std::string& call, TDayNumber date, std::int32_t time, int mode = mdCW)
    {
        TypeCall(call);
        entry_->Fields.Edit(fDate, "");
        entry_->Fields.Date = DayNumberToStDate(date);
        entry_->Fields.Edit(fTime, "");
        entry_->Fields.Time = time;
        entry_->SetMode(mode);
        entry_->EnterKey();
    }
    std::vector<const TQsoRecord*> QsosOf(const std::string& call)
    {
        std::vector<const TQsoRecord*> v;
        for (auto* q : log_->Qsos())
            if (q->Call == call)
                v.push_back(q);
        return v;
    }

    TConfigRecord savedConfig_;
    RecordingHost host_;
    std::unique_ptr<TQsoData> log_;
    std::unique_ptr<TQsoEntry> entry_;
};

TEST_F(QsoEntryTest, EmptyLogStartsOfflineEntryWithDefaults)
{
    EXPECT_EQ(entry_->EntryMode(), emOffline);
    EXPECT_EQ(entry_->GetMode(), mdCW);
    EXPECT_EQ(entry_->GetBand(), 5);
    EXPECT_EQ(entry_->Fields.Text[fRsts], "599");
    EXPECT_EQ(entry_->Fields.Sel[fQslRoute], 1);
    EXPECT_EQ(entry_->Fields.Date, DayNumberToStDate(Day(2020, 5, 1)));
    EXPECT_EQ(entry_->StoredTime(), 12 * 3600);
}

struct ValidationCase {
    const char* call;
    const char* rsts;
    const char* rstr;
    int mode;
    const char* message;  // "" = posted
};
class ValidationTable : public QsoEntryTest, public ::testing::WithParamInterface<ValidationCase> {};
TEST_P(ValidationTable, FirstFailureIsReported)
{
    const auto& c = GetParam();
    ScopedMessageRecorder rec;
    entry_->Fields.Edit(fCall, c.call);
    entry_->SetMode(c.mode);
    entry_->Fields.Edit(fRsts, c.rsts);
    entry_->Fields.Edit(fRstr, c.rstr);
    entry_->EnterKey();
    if (std::string(c.message).empty()) {
        EXPECT_TRUE(rec.texts().empty()) << c.call;
        EXPECT_EQ(log_->Count(), 1);
    } else {
        ASSERT_EQ(rec.texts().size(), 1u) << c.call;
        EXPECT_EQ(rec.texts()[0], c.message);
        EXPECT_EQ(rec.messages()[0].kind, TMsgDlgType::mtError);
        EXPECT_EQ(log_->Count(), 0);
        EXPECT_EQ(entry_->Fields.Text[fCall], c.call) << "the entry stays as typed";
    }
}
INSTANTIATE_TEST_SUITE_P(
    Order, ValidationTable,
    ::testing::Values(ValidationCase{"D/", "xx", "599", mdCW, "Bad Callsign"},
                      ValidationCase{"DL1ABC", "5x9", "599", mdCW, "Bad RST field value"},
                      ValidationCase{"DL1ABC", "599", "9", mdCW, "Bad RST field value"},
                      ValidationCase{"DL1ABC", "599", "599", mdSSB, "Invalid Combination of Mode and RST"},
                      ValidationCase{"DL1ABC", "59", "599", mdSSB, "Invalid Combination of Mode and RST"},
                      ValidationCase{"DL1ABC", "59A", "", mdCW, ""},     // aurora 599 on CW
                      ValidationCase{"DL1ABC", "59A", "", mdSSB, "Invalid Combination of Mode and RST"},
                      ValidationCase{"DL1ABC", "5A", "", mdSSB, ""},     // aurora 59 on phone
                      ValidationCase{"DL1ABC", "", "", mdSSB, ""},       // empty reports are 0
                      ValidationCase{"DL1ABC", "579", "339", mdRTTY, ""}));

TEST_F(QsoEntryTest, CallExitFillsCountryZoneAndCarriesLastQso)
{
    Post("W6XYZ", Day(2019, 1, 1), 3600);
    TQsoRecord* first = log_->At(0);
    first->Iota.assign("NA001");
    first->Grid.assign("CM87");
    first->Flags |= qfYL;
    Config.SetOwnGrid("JO62");  // heading and distance need a home position
    TypeCall("w6xyz");
    EXPECT_EQ(entry_->Fields.Text[fPrefix], "K");
    EXPECT_EQ(entry_->Fields.CountryText, "United States");
    EXPECT_EQ(entry_->Fields.Text[fZone], "3");
    EXPECT_EQ(entry_->Fields.Text[fIota], "NA001");
    EXPECT_EQ(entry_->Fields.Text[fGrid], "CM87");
    EXPECT_EQ(entry_->Fields.Sel[fYl], ynYes);
    EXPECT_EQ(entry_->Fields.Sel[fValid], ynYes);
    EXPECT_FALSE(entry_->Fields.DirDist.empty());

    TypeCall("DL1ABC/MM");
    EXPECT_EQ(entry_->Fields.Sel[fValid], ynNo);
    EXPECT_TRUE(entry_->Fields.Text[fGrid].empty()) << "a new call clears the carried fields";
}

TEST_F(QsoEntryTest, QslManagerFollowsTheDate)
{
    entry_->Fields.Date = DayNumberToStDate(Day(2006, 1, 1));
    TypeCall("F5ABC");
    EXPECT_EQ(entry_->Fields.Text[fQslMgr], "DL1AAA");
    entry_->Fields.Edit(fDate, "");
    entry_->Fields.Date = DayNumberToStDate(Day(2000, 1, 1));
    entry_->DateExit();
    EXPECT_EQ(entry_->Fields.Text[fQslMgr], "");
}

TEST_F(QsoEntryTest, OverriddenZoneMakesOneExceptionAndRewritesOnlyLaterQsos)
{
    Post("DL9ZZZ", Day(2010, 1, 1), 100);
    Post("DL9ZZZ", Day(2012, 1, 1), 100);
    Post("DL9ZZZ", Day(2014, 1, 1), 100);
    Post("DL1OTH", Day(2014, 1, 1), 200);
    const std::int32_t exceptionsBefore = CountryDb.ExceptionCalls->Count();

    ScopedMessageRecorder rec;
    TypeCall("DL9ZZZ");
    entry_->Fields.Date = DayNumberToStDate(Day(2011, 1, 1));
    entry_->Fields.Edit(fZone, "15");
    entry_->EnterKey();
    EXPECT_EQ(CountryDb.ExceptionCalls->Count(), exceptionsBefore + 1);
    EXPECT_EQ(entry_->LastReassignCount(), 2);
    for (const auto* q : QsosOf("DL9ZZZ"))
        EXPECT_EQ(q->Zone, q->Date < Day(2011, 1, 1) ? 14 : 15) << q->Date;
    EXPECT_EQ(QsosOf("DL1OTH")[0]->Zone, 14);
    ASSERT_EQ(rec.texts().size(), 1u);
    EXPECT_EQ(rec.texts()[0], "2 QSOs of DL9ZZZ re-assigned");

    // Posting what the lookup (now with the exception) gives changes nothing more.
    TypeCall("DL9ZZZ");
    entry_->EnterKey();
    EXPECT_EQ(CountryDb.ExceptionCalls->Count(), exceptionsBefore + 1);
}

TEST_F(QsoEntryTest, ResavingAnOldQsoDoesNotReassign)
{
    Post("DL9ZZZ", Day(2010, 1, 1), 100);
    Post("DL9ZZZ", Day(2012, 1, 1), 100);
    // The country database changes afterwards: the stored QSOs disagree with a fresh lookup.
    TExceptionCallRecord e{"DL9ZZZ", 6, 15, Day(2000, 1, 1)};
    CountryDb.ExceptionCalls->InsertRecord(e.ToBytes().data());
    const std::int32_t before = CountryDb.ExceptionCalls->Count();
    entry_->First();
    ASSERT_EQ(entry_->EntryMode(), emIdle);
    entry_->Fields.Edit(fNote, "edited");
    ASSERT_TRUE(entry_->UpdateQso(0));
    EXPECT_EQ(CountryDb.ExceptionCalls->Count(), before);
    EXPECT_EQ(QsosOf("DL9ZZZ")[1]->Country, 1) << "later QSOs untouched";
}

TEST_F(QsoEntryTest, UsStateZoneIsNoOverride)
{
    const std::int32_t before = CountryDb.ExceptionCalls->Count();
    for (int i = 0; i < 2; ++i) {
        TypeCall("K1ABC");  // prefix mapping zone 5
        entry_->Fields.Edit(fState, "TX");
        entry_->StateExit();  // Texas: zone 4
        ASSERT_EQ(entry_->Fields.Text[fZone], "4");
        entry_->Fields.EverModified[fZone] = true;  // as when the operator also touched the zone
        entry_->EnterKey();
    }
    EXPECT_EQ(log_->Count(), 2);
    EXPECT_EQ(CountryDb.ExceptionCalls->Count(), before);
    EXPECT_EQ(log_->At(0)->Zone, 4);
}

TEST_F(QsoEntryTest, FailedPostKeepsExchangeOutOfTheNoteAndTheSerial)
{
    Config.SetContestMode(true);
    Config.SetContestSerial(7);
    Config.SetContestExchange("## $$");
    FakeRadio radio;
    entry_->SetRadio(&radio);
    entry_->Addrealtime();
    ScopedMessageRecorder rec;
    entry_->Fields.Edit(fCall, "DL1ABC");
    entry_->Fields.Edit(fNote, "hello");
    entry_->Fields.Edit(fRsts, "5x");
    entry_->EnterKey();
    entry_->EnterKey();
    EXPECT_EQ(log_->Count(), 0);
    EXPECT_EQ(entry_->Fields.Text[fNote], "hello");
    EXPECT_EQ(Config.ContestSerial(), 7);
    entry_->Fields.Edit(fRsts, "599");
    entry_->EnterKey();
    ASSERT_EQ(log_->Count(), 1);
    EXPECT_EQ(NoteText(log_->At(0)->Note), "hello 7 14025.00");
    EXPECT_EQ(Config.ContestSerial(), 8);
}

TEST_F(QsoEntryTest, DupeInContestWindow)
{
    Config.SetContestMode(true);
    Config.SetContestStartDate(Day(2020, 5, 1));
    Config.SetContestStartTime(0);
    entry_->Addrealtime();
    Post("DL1ABC", Day(2020, 4, 30), 100);  // before the contest
    TypeCall("DL1ABC");
    EXPECT_FALSE(entry_->Fields.CallIsDupe);
    entry_->EnterKey();
    TypeCall("DL1ABC");
    EXPECT_TRUE(entry_->Fields.CallIsDupe);
    entry_->SetBand(6);
    EXPECT_FALSE(entry_->Fields.CallIsDupe);
}

TEST_F(QsoEntryTest, ClockFollowsUntilDateOrTimeIsEntered)
{
    entry_->Addrealtime();
    entry_->ClockUpdate(Day(2020, 5, 2), 100);
    EXPECT_EQ(entry_->Fields.Time, 100);
    EXPECT_EQ(entry_->Fields.Date, DayNumberToStDate(Day(2020, 5, 2)));
    entry_->EnterDateOrTimeField();
    entry_->ClockUpdate(Day(2020, 5, 3), 200);
    EXPECT_EQ(entry_->Fields.Time, 100);
    EXPECT_EQ(entry_->Fields.Date, DayNumberToStDate(Day(2020, 5, 2)));
    // An untouched time is posted with its seconds; a typed one as typed.
    entry_->Fields.Edit(fCall, "DL1ABC");
    entry_->EnterKey();
    EXPECT_EQ(log_->At(0)->Time, 100);
    EXPECT_TRUE(entry_->ClockFollows()) << "the next real-time entry follows the clock again";
    entry_->Fields.Edit(fCall, "DL2ABC");
    entry_->Fields.Edit(fTime, "");
    entry_->Fields.Time = 7200;
    entry_->EnterKey();
    EXPECT_EQ(QsosOf("DL2ABC")[0]->Time, 7200);
}

TEST_F(QsoEntryTest, RadioFeedSetsBandAndMode)
{
    entry_->Addrealtime();
    entry_->RadioUpdate(mdSSB, 7150.0);
    EXPECT_EQ(entry_->GetBand(), BandFromFrequency(7150.0));
    EXPECT_EQ(entry_->GetMode(), mdSSB);
    EXPECT_EQ(entry_->Fields.Text[fRsts], "59") << "the default report follows the mode";
    entry_->RadioUpdate(mdCW, 5000.0);  // outside every band: nothing
    EXPECT_EQ(entry_->GetBand(), BandFromFrequency(7150.0));
}

TEST_F(QsoEntryTest, BandFromTheRadioDrivesTheBandDecoder)
{
    Config.SetBandDecoder(2);
    Config.SetBandDecoderPort(1);
    Config.SetBandDecoderKind(1);
    TRecordingLpt* port = nullptr;
    auto old = PortIo().SetOpener([&port](int, std::string&) -> std::unique_ptr<TLptDevice> {
        auto p = std::make_unique<TRecordingLpt>();
        port = p.get();
        return p;
    });
    entry_->Addrealtime();
    entry_->RadioUpdate(mdCW, 7025.0);
    ASSERT_NE(port, nullptr);
    EXPECT_EQ(port->Writes().back(), (TRecordingLpt::TWrite{false, 0x21}));
    PortIo().SetOpener(old);
}

TEST_F(QsoEntryTest, DeletingTheLastQsoSwitchesToOfflineEntry)
{
    Post("DL1ABC", Day(2020, 1, 1), 100);
    entry_->First();
    ASSERT_EQ(entry_->EntryMode(), emIdle);
    ScopedMessageRecorder rec(mrNo);
    entry_->Delete2Click();
    EXPECT_EQ(log_->Count(), 1);
    rec.answer(mrYes);
    entry_->Delete2Click();
    EXPECT_EQ(rec.texts().back(), "Delete current QSO?");
    EXPECT_EQ(log_->Count(), 0);
    EXPECT_EQ(entry_->EntryMode(), emOffline);
    EXPECT_TRUE(entry_->Fields.Text[fCall].empty());
}

// The rotator turns to the heading the display shows: the digits between the blank before the
// degree sign and the degree sign.
TEST(HeadingOfDirDist, DigitsBeforeTheDegreeSign)
{
    struct {
        const char* text;
        int heading;
    } const rows[] = {
        {"CM87: 311\xB0 9,012Km", 311}, {"K: 5\xB0 1Km", 5},     {"359\xB0 12Km", 359},
        {"", 0},                         {"CM87: 311 9,012Km", 0}, {"NA001: 0\xB0 0Km", 0},
        {"A: 12\xB0 3\xB0", 12},
    };
    for (const auto& r : rows)
        EXPECT_EQ(HeadingOfDirDist(r.text), r.heading) << r.text;
}

TEST_F(QsoEntryTest, HeadingReadBackIsTheBearingToTheShownGrid)
{
    Config.SetOwnGrid("JO62");
    entry_->Addoffline();
    TypeCall("W6XYZ");
    entry_->Fields.Edit(fGrid, "CM87");
    entry_->GridExit();
    double homeLat = 0, homeLon = 0, lon = 0, lat = 0;
    ASSERT_TRUE(HomePosition(homeLat, homeLon));
    ASSERT_TRUE(GridToPosition("CM87", lon, lat));
    int heading = 0, km = 0;
    CalcBearingDistanceFrom(homeLat, homeLon, true, heading, km, lat, lon);
    ASSERT_GT(heading, 99) << "three digits make a real test";
    EXPECT_EQ(HeadingOfDirDist(entry_->Fields.DirDist), heading) << entry_->Fields.DirDist;
}

TEST_F(QsoEntryTest, LogChangedMarksTheLogAndDropsTheAwardStatusUnlessKept)
{
    Post("DL1AAA", Day(2020, 1, 1), 100);
    Post("DL1BBB", Day(2020, 1, 2), 100);
    entry_->First();
    log_->EnsureAwardStatus();
    log_->SetFlags(false, false);
    entry_->Fields.Edit(fCall, "XX");  // whatever the window shows gives way to the log's QSO
    entry_->LogChanged(true);
    EXPECT_TRUE(log_->Modified());
    EXPECT_TRUE(log_->AwardStatusBuilt());
    EXPECT_EQ(entry_->Fields.Text[fCall], "DL1AAA");
    entry_->LogChanged(false);
    EXPECT_FALSE(log_->AwardStatusBuilt());
}

TEST_F(QsoEntryTest, ANewSelectionStartsAtItsFirstQso)
{
    Post("DL1AAA", Day(2020, 1, 1), 100);
    Post("DL1BBB", Day(2020, 1, 2), 100);
    Post("DL1CCC", Day(2020, 1, 3), 100);
    entry_->Last();
    log_->SetFlags(false, false);
    log_->Selection.DateRange = 1;
    log_->Selection.FromDate = Day(2020, 1, 2);
    log_->Selection.ToDate = Day(2020, 1, 3);
    entry_->RefreshAfterSelection(false);
    EXPECT_EQ(entry_->Fields.Text[fCall], "DL1BBB");
    EXPECT_FALSE(log_->Modified());
    entry_->RefreshAfterSelection(true);
    EXPECT_TRUE(log_->Modified()) << "the stored selections changed";
}

TEST_F(QsoEntryTest, PreviousInAddModeShowsLastQso)
{
    Post("DL1AAA", Day(2020, 1, 1), 100);
    Post("DL1BBB", Day(2020, 1, 2), 100);
    entry_->Previous();
    EXPECT_EQ(entry_->EntryMode(), emIdle);
    EXPECT_EQ(entry_->Fields.Text[fCall], "DL1BBB");
    entry_->Previous();
    EXPECT_EQ(entry_->Fields.Text[fCall], "DL1AAA");
    entry_->Previous();
    EXPECT_EQ(host_.beeps, 1);
    EXPECT_EQ(entry_->Fields.Text[fCall], "DL1AAA");
}

TEST_F(QsoEntryTest, SpotStartsRealTimeEntryAndNoteKeysAppend)
{
    FakeRadio radio;
    entry_->SetRadio(&radio);
    entry_->StartQsoFromSpot("f5abc", mdSSB, 3);
    EXPECT_EQ(entry_->EntryMode(), emRealTime);
    EXPECT_EQ(entry_->Fields.Text[fCall], "F5ABC");
    EXPECT_EQ(entry_->Fields.Text[fPrefix], "F");
    EXPECT_EQ(entry_->GetMode(), mdSSB);
    EXPECT_TRUE(entry_->AppendToNote(fNote, 'R'));
    EXPECT_TRUE(entry_->AppendToNote(fNote, 'D'));
    EXPECT_EQ(entry_->Fields.Text[fNote], "14025.00 " + FormatDayNumber(Day(2020, 5, 1)));
    entry_->SetRadio(nullptr);
    EXPECT_FALSE(entry_->AppendToNote(fNote, 'R'));

    TQsoMacroContext ctx(entry_.get());
    TFunctionKeys keys{};
    keys[0] = "TU|%@ %$ %l";
    EXPECT_EQ(ExpandMacros(1, keys, true, ctx), "f5abc 59 ");
    EXPECT_EQ(log_->Count(), 1) << "%l logged the real-time entry";
}

// ---- search ----

class QsoSearchTest : public QsoEntryTest {
protected:
    void SetUp() override
    {
        QsoEntryTest::SetUp();
        Post("DL1ABC", Day(2020, 1, 1), 11 * 3600 + 52 * 60);
        Post("F5XYZ", Day(2020, 1, 2), 12 * 3600 + 8 * 60);
        Post("DL2QRP", Day(2020, 1, 3), 12 * 3600 + 9 * 60, mdSSB);
        log_->At(2)->Note = NewNote("ran qrp today");
    }
    long Count() { return entry_->CountSelected(); }
};

TEST_F(QsoSearchTest, EmptyTemplateFindsAll)
{
    entry_->BeginSearch(true);
    ASSERT_EQ(entry_->EntryMode(), emSearch);
    EXPECT_TRUE(entry_->BlankItems());
    EXPECT_EQ(entry_->Fields.Sel[fMode], 0);
    EXPECT_EQ(Count(), 3);
}

TEST_F(QsoSearchTest, TimeWindowIsEightMinutes)
{
    entry_->BeginSearch(true);
    entry_->Fields.Time = 12 * 3600;
    EXPECT_EQ(Count(), 2);
}

TEST_F(QsoSearchTest, NegatedPrefixAndNotes)
{
    entry_->BeginSearch(true);
    entry_->Fields.Edit(fPrefix, "!DL");
    EXPECT_EQ(entry_->ValidateField(fPrefix), 0);
    EXPECT_EQ(Count(), 1);
    entry_->Fields.Edit(fPrefix, "");
    entry_->Fields.Edit(fNote, "QRP");
    EXPECT_EQ(Count(), 1);
    entry_->Fields.EditSel(fMode, mdCW);
    EXPECT_EQ(Count(), 0);
}

TEST_F(QsoSearchTest, EnterBrowsesMatchesAndReportsNone)
{
    entry_->BeginSearch(true);
    entry_->Fields.Edit(fCall, "DL*");
    entry_->EnterKey();
    EXPECT_EQ(entry_->EntryMode(), emBrowse);
    EXPECT_FALSE(entry_->BlankItems());
    EXPECT_EQ(entry_->Fields.Text[fCall], "DL1ABC");
    entry_->Next();
    EXPECT_EQ(entry_->Fields.Text[fCall], "DL2QRP");

    ScopedMessageRecorder rec;
    entry_->BeginSearch(true);
    entry_->Fields.Edit(fCall, "ZZ*");
    entry_->EnterKey();
    EXPECT_EQ(rec.texts(), std::vector<std::string>{"No matching QSO found"});
}

TEST_F(QsoSearchTest, DateRangeIsAskedOnceAtCompile)
{
    Config.SetDateSearchMethod(3);
    host_.rangeEnd = Day(2020, 1, 2);
    entry_->BeginSearch(true);
    entry_->Fields.Date = DayNumberToStDate(Day(2020, 1, 1));
    entry_->EnterKey();
    EXPECT_EQ(host_.rangeAsked, 1);
    EXPECT_EQ(entry_->CountSelected(), 2);
    entry_->First();
    entry_->Last();
    EXPECT_EQ(host_.rangeAsked, 1);
}

TEST_F(QsoSearchTest, OutsideFilterReplacesConditions)
{
    entry_->SetExternalFilter([](const TQsoRecord& r) { return r.Call == "F5XYZ"; });
    EXPECT_EQ(entry_->EntryMode(), emBrowse);
    EXPECT_EQ(Count(), 1);
    entry_->SetExternalFilter(nullptr);
    EXPECT_EQ(entry_->EntryMode(), emIdle);
    EXPECT_EQ(Count(), 3);
}

TEST_F(QsoSearchTest, CheckOtherQsosOfACounty)
{
    ScopedMessageRecorder rec;
    Config.SetWorkedCutoff(0);
    entry_->Fields.Text[fState] = "CA";
    entry_->CheckOtherQsos(okStateCounty);
    EXPECT_EQ(rec.texts().back(), "Not a valid search");
    entry_->Fields.Text[fCnty] = "Los Angeles";
    entry_->CheckOtherQsos(okStateCounty);
    EXPECT_EQ(rec.texts().back(), "No matching qso found");
    TQsoRecord* q = log_->At(1);
    q->State = StateNumber("CA");
    q->County = CountyNumber("CA", "Los Angeles");
    q->Flags |= qfQslReceived;
    entry_->CheckOtherQsos(okStateCounty);
    EXPECT_EQ(rec.texts().back(), "F5XYZ\r" + FormatDayNumber(Day(2020, 1, 2)) + "\r12:08\r" + BandName(5) + "\rConfirmed");
}

// ---- field checks ----

struct FieldCheck {
    int field;
    const char* text;
    int code;
};
class FieldCheckTable : public QsoEntryTest, public ::testing::WithParamInterface<FieldCheck> {};
TEST_P(FieldCheckTable, Code)
{
    entry_->Fields.Text[fPrefix] = "K";
    entry_->Fields.Edit(GetParam().field, GetParam().text);
    EXPECT_EQ(entry_->ValidateField(GetParam().field), GetParam().code) << GetParam().text;
}
INSTANTIATE_TEST_SUITE_P(
    Limits, FieldCheckTable,
    ::testing::Values(FieldCheck{fZone, "40", 0}, FieldCheck{fZone, "41", 256}, FieldCheck{fZone, "ab", 0},
                      FieldCheck{fGroup, "253", 0}, FieldCheck{fGroup, "254", 256}, FieldCheck{fGrid, "fn31pr", 0},
                      FieldCheck{fGrid, "FN", 0}, FieldCheck{fGrid, "F", 32769}, FieldCheck{fGrid, "FN3", 32769},
                      FieldCheck{fIota, "EU005", 0}, FieldCheck{fIota, "EU999", 32769},
                      FieldCheck{fState, "TX", 0}, FieldCheck{fState, "HI", 32769}, FieldCheck{fState, "ZZ", 32769},
                      FieldCheck{fCnty, "Nowhere", 32769}, FieldCheck{fPrefix, "XX", 32769}));

TEST_F(QsoEntryTest, GridIsFormattedOnExit)
{
    entry_->Fields.Edit(fGrid, "fn31pr");
    entry_->GridExit();
    EXPECT_EQ(entry_->Fields.Text[fGrid], "FN31pr");
}

TEST_F(QsoEntryTest, StatesOfCountriesWithoutOrWithOneState)
{
    ScopedMessageRecorder rec;
    entry_->Fields.Text[fPrefix] = "DL";
    entry_->Fields.Text[fState] = "TX";
    EXPECT_EQ(entry_->ValidateField(fState), 32769);
    entry_->FieldError(fState, 32769);
    EXPECT_EQ(rec.texts(), std::vector<std::string>{"There are no states in this country\r"});
    EXPECT_TRUE(entry_->Fields.Text[fState].empty());
    entry_->Fields.Text[fPrefix] = "KH6";
    entry_->ShowStates();
    EXPECT_EQ(entry_->Fields.Text[fState], "HI");
}

TEST_F(QsoEntryTest, ZoneAndGroupMessages)
{
    ScopedMessageRecorder rec;
    entry_->FieldError(fZone, 256);
    entry_->FieldError(fGroup, 256);
    entry_->FieldError(fGrid, 32769);
    entry_->Fields.Text[fState] = "";
    entry_->FieldError(fCnty, 32769);
    EXPECT_EQ(rec.texts(), (std::vector<std::string>{"Valid range is 0..40", "Valid range is 0..253", "Not a good GRID",
                                                     "No State information available"}));
}

} // namespace
} // namespace korval
