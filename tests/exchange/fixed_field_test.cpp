// Fixed-field export and import through a filter: every coding round-trips, blank lines and
// blank fields, the note file, and the conversion-script import.
#include "exchange_fixture.h"

#include "exchange/export_driver.h"
#include "exchange/import_driver.h"
#include "logbook/bands_modes.h"
#include "logbook/log_file.h"

#include <filesystem>
#include <sys/stat.h>

using namespace korval;
using namespace korval::test;

namespace {

TFilterRecord fixedFilter()
{
    TFilterRecord f;
    f.Id = "FIXED";
    f.Ext = "TXT";
    f.Usage = fuImpExp;
    f.DateChar = '/';
    auto at = [&](int field, int pos, int fmt, int len) {
        f.Field(field) = {static_cast<std::uint8_t>(pos), static_cast<std::uint8_t>(fmt), static_cast<std::uint8_t>(len)};
    };
    at(fiCallsign, 1, 1, 12);
    at(fiDate, 14, 1, 8);       // YYYYMMDD
    at(fiTime, 26, tfHHMMSS, 6);
    at(fiBand, 33, bfKey3, 3);
    at(fiMode, 42, mfName, 4);
    at(fiRstR, 47, 2, 4);
    at(fiRstS, 52, 2, 4);
    at(fiConfrm, 57, 0, 1);
    at(fiState, 59, 0, 2);
    at(fiCounty, 62, 1, 20);
    at(fiIota, 83, 1, 5);
    at(fiGrid, 89, 1, 6);
    at(fiQslDate, 96, 1, 8);
    at(fiQslMethod, 108, 0, 1);
    at(fiLabel, 110, 0, 1);
    at(fiQrp, 111, 1, 1);
    at(fiSatellite, 112, 1, 1);
    at(fiYLop, 113, 0, 1);
    at(fiDxccMixed, 114, 0, 1);
    at(fiZone, 116, 0, 2);
    at(fiGroup, 119, 2, 3);
    at(fiRecvd, 123, 1, 4);
    at(fiNote1, 128, nfWithQso, 60);
    return f;
}

TQsoRecord* qso(const char* call, TDayNumber date, int time, int band, int mode)
{
    return MakeQso(call, date, time, band, mode, 589, 58, 1);
}

} // namespace

class FixedFieldTest : public ExchangeTest {
protected:
    // Exports the log through the filter and imports the file into a new log.
    std::unique_ptr<TQsoData> RoundTrip(TQsoData& log, const TFilterRecord& f, TImportResult* result = nullptr)
    {
        std::vector<const TQsoRecord*> all(log.Qsos().begin(), log.Qsos().end());
        TExportResult w = ExportQsos(dir.file("out.txt"), f, false, all, log.Notes);
        EXPECT_TRUE(w.Written) << w.Error;
        auto back = std::make_unique<TQsoData>();
        TImportResult r = Import(*back, ReadAll(dir.file("out.txt")), f);
        EXPECT_EQ(r.Count.ErrorItems, 0) << r.Summary << "\n" << ReadAll(dir.file("out.txt"));
        if (result)
            *result = r;
        return back;
    }
};

TEST_F(FixedFieldTest, EveryFieldOfAQsoRoundTrips)
{
    TQsoData log;
    TQsoRecord* a = qso("N2YY", Day(2024, 1, 5), 12 * 3600 + 34 * 60 + 56, 5, mdCW);
    a->State = 2;
    a->County = 37;
    LookupCall(*a);
    a->Iota = "EU005";
    a->Grid = "FN31pr";
    a->QslSentDate = Day(2024, 2, 1);
    a->QslRoute = 3;
    a->Flags |= qfQslReceived | qfLabelToPrint | qfQRP | qfYL;
    a->SatMode = 3;
    a->Band = SatBand;
    a->AwardFlags = afDxccMixed * 2;
    a->Group = 7;
    a->Exchange = "001";
    SetQsoNote(*a, "a QSO note");
    log.InsertQso(a);
    log.InsertQso(qso("DL1XYZ", Day(1985, 12, 31), 0, 3, mdSSB));
    auto back = RoundTrip(log, fixedFilter());
    ASSERT_EQ(back->Count(), 2);
    const TQsoRecord& b = *back->At(1);
    EXPECT_EQ(b.Call.str(), "N2YY");
    EXPECT_EQ(b.Date, a->Date);
    EXPECT_EQ(b.Time, a->Time);
    EXPECT_EQ(b.Band, SatBand);
    EXPECT_EQ(b.SatMode, 3);
    EXPECT_EQ(b.Mode, mdCW);
    EXPECT_EQ(b.RstRcvd, 589);
    EXPECT_EQ(b.State, 2);
    EXPECT_EQ(b.County, 37);
    EXPECT_EQ(b.Iota.str(), "EU005");
    EXPECT_EQ(b.Grid.str(), "FN31pr");
    EXPECT_EQ(b.QslSentDate, a->QslSentDate);
    EXPECT_EQ(b.QslRoute, 3);
    EXPECT_EQ(b.Flags, a->Flags);
    EXPECT_EQ(b.AwardFlags, a->AwardFlags);
    EXPECT_EQ(b.Zone, a->Zone);
    EXPECT_EQ(b.Group, 7);
    EXPECT_EQ(b.Exchange.str(), "001");
    EXPECT_EQ(NoteText(b.Note), "a QSO note");
    EXPECT_EQ(back->At(0)->Date, Day(1985, 12, 31));
}

TEST_F(FixedFieldTest, EveryDateLayoutRoundTripsWithTheTwoDigitYearPivot)
{
    const TDayNumber dates[] = {Day(2024, 1, 5), Day(1985, 12, 31), Day(2029, 2, 28), Day(1930, 7, 1)};
    for (int fmt = 0; fmt < DateFormatCount; ++fmt) {
        for (char sep : {'/', '-'}) {
            TFilterRecord f = fixedFilter();
            f.DateChar = sep;
            f.Field(fiDate) = {14, static_cast<std::uint8_t>(fmt), static_cast<std::uint8_t>(DateLayout(fmt).Length)};
            f.Field(fiQslDate) = {96, static_cast<std::uint8_t>(fmt), static_cast<std::uint8_t>(DateLayout(fmt).Length)};
            TQsoData log;
            for (int i = 0; i < 4; ++i) {
                TQsoRecord* q = qso("K1AB", dates[i], 3600 * i, 5, mdCW);
                q->QslSentDate = dates[(i + 1) % 4];
                log.InsertQso(q);
            }
            auto back = RoundTrip(log, f);
            ASSERT_EQ(back->Count(), 4) << DateLayout(fmt).Name;
            for (int i = 0; i < 4; ++i) {
                EXPECT_EQ(back->At(i)->Date, log.At(i)->Date) << DateLayout(fmt).Name << " " << sep;
                EXPECT_EQ(back->At(i)->QslSentDate, log.At(i)->QslSentDate) << DateLayout(fmt).Name;
            }
        }
    }
}

TEST_F(FixedFieldTest, EveryBandCodingRoundTripsTheBandsItCanHold)
{
    struct C {
        int fmt, len;
        std::vector<int> bands;
    };
    const C cases[] = {
        {bfKey3, 3, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15}},
        {bfKey2, 2, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 13, 14}},
        {bfFreqMHz, 8, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14}},
        {bfFreqKHz, 8, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14}},
        {bfKeyM, 4, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15}},
        {bfKeyLeft, 3, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15}},
        {bf1to3, 1, {1, 2, 3, 5, 7, 9}},
        {bf1to6, 2, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14}},
        {bf1to160, 2, {1, 2, 3, 5, 6, 7, 8, 9, 10, 11}},
    };
    for (const C& c : cases) {
        for (int mode : {mdCW, mdSSB}) {
            TFilterRecord f = fixedFilter();
            f.Field(fiBand) = {33, static_cast<std::uint8_t>(c.fmt), static_cast<std::uint8_t>(c.len)};
            TQsoData log;
            int i = 0;
            for (int band : c.bands)
                log.InsertQso(qso("K1AB", Day(2024, 1, 5), 60 * i++, band, mode));
            auto back = RoundTrip(log, f);
            ASSERT_EQ(back->Count(), log.Count());
            for (int k = 0; k < log.Count(); ++k)
                EXPECT_EQ(back->At(k)->Band, log.At(k)->Band) << KindFormats(fkBand)[c.fmt] << " mode " << mode;
        }
    }
}

TEST_F(FixedFieldTest, EveryModeCodingRoundTrips)
{
    for (int fmt = 0; fmt < 9; ++fmt) {
        TFilterRecord f = fixedFilter();
        f.Field(fiMode) = {42, static_cast<std::uint8_t>(fmt), static_cast<std::uint8_t>(FieldLengthRule(fiMode, fmt).Length)};
        TQsoData log;
        std::vector<int> modes = {mdCW, mdSSB, mdRTTY};
        if (fmt == mfName)
            modes = {mdAM, mdATV, mdCLOV, mdCW, mdFM, mdFSTV, mdGTOR, mdMTOR, mdPACK, mdPSK, mdPSK3, mdPTOR, mdRTTY, mdSSB, mdSSTV};
        int i = 0;
        for (int m : modes)
            log.InsertQso(qso("K1AB", Day(2024, 1, 5), 60 * i++, 5, m));
        auto back = RoundTrip(log, f);
        ASSERT_EQ(back->Count(), log.Count());
        for (int k = 0; k < log.Count(); ++k)
            EXPECT_EQ(back->At(k)->Mode, log.At(k)->Mode) << KindFormats(fkMode)[fmt];
    }
}

TEST_F(FixedFieldTest, TimeCodingsAndFrequencyTexts)
{
    for (int fmt = 0; fmt < 3; ++fmt) {
        TFilterRecord f = fixedFilter();
        f.Field(fiTime) = {26, static_cast<std::uint8_t>(fmt), static_cast<std::uint8_t>(FieldLengthRule(fiTime, fmt).Length)};
        TQsoData log;
        log.InsertQso(qso("K1AB", Day(2024, 1, 5), 7 * 3600 + 8 * 60 + (fmt == 2 ? 9 : 0), 5, mdCW));
        auto back = RoundTrip(log, f);
        ASSERT_EQ(back->Count(), 1);
        EXPECT_EQ(back->At(0)->Time, log.At(0)->Time) << fmt;
    }
    TFilterRecord f = fixedFilter();
    f.Field(fiBand) = {33, bfFreqMHz, 8};
    TQsoRecord q = *std::unique_ptr<TQsoRecord>(qso("K1AB", Day(2024, 1, 5), 0, 1, mdCW));
    std::string line;
    ExportFixedRecord(q, f, nullptr, line);
    EXPECT_EQ(line.substr(32, 8), "   1.510");
    f.Field(fiBand) = {33, bfFreqKHz, 6};
    q.Band = 5;
    line.clear();
    ExportFixedRecord(q, f, nullptr, line);
    EXPECT_EQ(line.substr(32, 6), " 14010");
}

TEST_F(FixedFieldTest, BlankLinesAddNoQsoAndBlankFieldsGetDefaultsWithItems)
{
    TFilterRecord f = fixedFilter();
    const std::string good = "K1AB         20240105    120000  20      CW  599  599";
    TQsoData log;
    TImportResult r = Import(log, "\r\n" + good + "\r\nDL1XYZ       20230229            20      CW\r\n\r\n   \r\n\r\n", f);
    ASSERT_EQ(log.Count(), 2) << r.Summary;
    EXPECT_EQ(r.Count.Read, 2);
    const TQsoRecord* bad = log.At(0)->Call == std::string_view("DL1XYZ") ? log.At(0) : log.At(1);
    EXPECT_EQ(bad->Time, 0);
    EXPECT_EQ(bad->Date, Day(2024, 6, 1));
    EXPECT_EQ(NoteText(bad->Note), "Error:Date=20230229, Time=      , Date=Empty");
}

TEST_F(FixedFieldTest, NoteFileAndNoteFollowingTheQso)
{
    TFilterRecord f = fixedFilter();
    f.NoteExt = "NOT";
        f.Field(fiNote1) = {0, nfFollows, 0};
    TQsoData log;
    TQsoRecord* a = qso("K1AB", Day(2024, 1, 5), 3600, 5, mdCW);
    SetQsoNote(*a, "first note");
    log.InsertQso(a);
    log.InsertQso(qso("W1AW", Day(2024, 1, 6), 3600, 5, mdCW));
    log.SetCallNote("K1AB", "John");
    log.SetCallNote("OE1XX", "not exported");
    std::vector<const TQsoRecord*> all(log.Qsos().begin(), log.Qsos().end());
    TExportResult w = ExportQsos(dir.file("log.txt"), f, false, all, log.Notes);
    ASSERT_TRUE(w.Written);
    EXPECT_EQ(ReadAll(dir.file("log.NOT")), "K1AB,John\r\n");
    TQsoData back;
    ImportFileInto(back, dir.file("log.txt"), f, false, TImportSettings::FromConfig());
    ASSERT_EQ(back.Count(), 2);
    EXPECT_EQ(back.GetCallNote("K1AB"), "John");
    EXPECT_EQ(NoteText(back.At(0)->Note), "first note");  // a note following the QSO stays with it
}

TEST_F(FixedFieldTest, ConversionScriptWithSpacesInPathsAndAFailingOne)
{
    const std::string importDir = dir.file("IMPORT");
    std::filesystem::create_directories(importDir);
    std::filesystem::create_directories(dir.file("my logs"));
    WriteAll(importDir + "/CONV", "#!/bin/sh\ncp \"$1\" \"$2/export.txt\"\n");
    WriteAll(importDir + "/BROKEN", "#!/bin/sh\nexit 3\n");
    const std::string chosen = dir.file("my logs/file one.dat");
    WriteAll(chosen, "K1AB         20240105    120000  20      CW  599  599\r\n");
    TFilterRecord f = fixedFilter();
    f.Id = "CONV";
    f.Usage = fuBinaryImp;
    SetCurrentLog(std::make_unique<TQsoData>());
    EXPECT_TRUE(ImportThroughScript(f, chosen));
    EXPECT_EQ(CurrentLog()->Count(), 1);
    f.Id = "BROKEN";
    EXPECT_FALSE(ImportThroughScript(f, chosen));
    EXPECT_EQ(messages.texts().back(), "Conversion failed");
    f.Id = "NOSUCH";
    EXPECT_FALSE(ImportThroughScript(f, chosen));
    EXPECT_EQ(messages.texts().back(), "Error executing NOSUCH");
    EXPECT_EQ(CurrentLog()->Count(), 1);
    FreeCurrentLog();
}

TEST_F(FixedFieldTest, MergingALogIntoAnEmptyLogAsksNothing)
{
    auto other = std::make_unique<TQsoData>(dir.file("OTHER.KVL"));
    other->InsertQso(qso("K1AB", Day(2024, 1, 5), 3600, 5, mdCW));
    other->InsertQso(qso("W1AW", Day(2024, 1, 6), 3600, 5, mdCW));
    SetCurrentLog(std::move(other));
    ASSERT_TRUE(WriteLogFile(*CurrentLog(), true));
    SetCurrentLog(std::make_unique<TQsoData>(dir.file("MINE.KVL")));
    EXPECT_EQ(korval::MergeKorvalLog(dir.file("OTHER.KVL")), 2);
    EXPECT_EQ(questions.policyQuestions, 0);
    EXPECT_EQ(messages.texts().back(), "2 QSOs  added");
    questions.policies = {ipIgnore};
    EXPECT_EQ(korval::MergeKorvalLog(dir.file("OTHER.KVL")), 0);
    EXPECT_EQ(questions.policyQuestions, 1);
    EXPECT_EQ(messages.texts().back(), "No QSO  added");
    FreeCurrentLog();
}
