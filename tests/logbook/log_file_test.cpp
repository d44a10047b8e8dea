#include "logbook/log_file.h"

#include "logbook/call_lookup.h"
#include "logbook/country_db.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "fake_lookup.h"
#include "logbook/progress.h"
#include "logbook/base/record_bytes.h"
#include "platform/message_dlg.h"
#include "test_support.h"

using namespace korval;
using korval::test::FakeLookup;
using korval::test::NewQso;
using korval::test::ReadAll;
using korval::test::TempDir;
using korval::test::WriteAll;

namespace {

const std::string kFatal = "A fatal error occured reading the logfile";

std::string Fixture(const char* name) { return std::string(KORVAL_TEST_DATA) + "/" + name; }

// Loads a file into a fresh log; the messages shown end in msgs.
std::unique_ptr<TQsoData> Load(const std::string& file, bool* ok = nullptr)
{
    auto log = std::make_unique<TQsoData>();
    bool r = LoadLogFileInto(*log, file, true, 3);
    if (ok)
        *ok = r;
    return log;
}

// A log with a bit of everything.
std::unique_ptr<TQsoData> RichLog(const std::string& file)
{
    auto log = std::make_unique<TQsoData>(file);
    log->Header = 0x01020304;
    log->GroupNames = {"Contest", "Holiday"};
    TQsoSelection s;
    s.Name.assign("Contest only");
    s.GroupFlag = 1;
    s.SetBit(1, true);
    log->Selections.push_back(s);
    TQsoRecord* a = NewQso("DL1ABC", 40000, 3600);
    a->Group = 1;
    a->CustAwdId.assign("DOK");
    a->CustAwdVal.assign("A01");
    SetQsoNote(*a, "Rig: 100 W");
    log->InsertQso(a);
    log->InsertQso(NewQso("W1AW", 40001, 7200, 9, 14));
    log->SetCallNote("W1AW", "ARRL HQ");
    log->SetCallNote("DL1ABC", "Hans");
    log->Notes.Mark("W1AW");
    TSwlRecord swl;
    swl.Call.assign("ONL123");
    swl.Date = 40002;
    swl.Time = 50;
    swl.Band = 3;
    swl.Mode = 4;
    swl.Printed = 9;
    log->InsertSwl(swl);
    for (TQsoRecord* q : log->Qsos()) {  // as a loaded log would hold them
        QsoLookup().LookupCall(*q);
        DeriveWpxPrefix(*q);
    }
    return log;
}

void ExpectSameQsos(const TQsoData& a, const TQsoData& b)
{
    ASSERT_EQ(a.Count(), b.Count());
    for (int i = 0; i < a.Count(); ++i) {
        std::uint8_t x[kQsoStoredSize], y[kQsoStoredSize];
        PutQsoStored(x, *a.At(i));
        PutQsoStored(y, *b.At(i));
        EXPECT_EQ(0, std::memcmp(x, y, kQsoStoredSize)) << "QSO " << i;
        EXPECT_EQ(NoteText(a.At(i)->Note), NoteText(b.At(i)->Note)) << "QSO " << i;
    }
}

} // namespace

TEST(LogFile, OneQsoIsExactly105BytesAsLaidOut)
{
    TempDir dir;
    ScopedMessageRecorder msgs;
    TQsoData log(dir.file("ONE.KVL"));
    TQsoRecord* q = NewQso("K1ABC", 0x1234, 0x00010203, 5, 4);
    q->WpxPrefix.assign("K1");
    log.InsertQso(q);
    ASSERT_TRUE(WriteLogFile(log, true));
    std::string bytes = ReadAll(dir.file("ONE.KVL"));
    ASSERT_EQ(bytes.size(), 105u);

    std::string expected;
    expected += std::string("\x08MERXLOGH", 9);
    expected += std::string(4, '\0');                  // header
    expected += std::string(2, '\0');                  // no group names
    expected += std::string(2, '\0');                  // no saved selections
    expected += std::string("\x01\0\0\0", 4);          // one QSO
    std::string rec(75, '\0');
    rec.replace(0, 6, "\x05K1ABC");
    rec.replace(13, 4, std::string("\x03\x02\x01\x00", 4));
    rec.replace(17, 2, "\x34\x12");
    rec[19] = 5;
    rec[20] = 4;
    rec.replace(25, 4, "\x57\x02\x57\x02");            // 599 and 599
    rec[48] = 1;                                       // satellite mode "------"
    expected += rec;
    expected += std::string(1, '\0');                  // no note
    expected += std::string(4, '\0');                  // no callsign notes
    expected += std::string(4, '\0');                  // no SWL records
    EXPECT_EQ(bytes, expected);
    EXPECT_TRUE(msgs.texts().empty());
}

TEST(LogFile, WriteAndReadGiveTheSameLog)
{
    TempDir dir;
    ScopedMessageRecorder msgs;
    FakeLookup lookup;
    auto log = RichLog(dir.file("RICH.KVL"));
    ASSERT_TRUE(WriteLogFile(*log, true));
    EXPECT_FALSE(log->Modified());
    EXPECT_FALSE(log->NeedsSaving());

    bool ok = false;
    auto back = Load(dir.file("RICH.KVL"), &ok);
    ASSERT_TRUE(ok) << ::testing::PrintToString(msgs.texts());
    EXPECT_EQ(back->FileName, dir.file("RICH.KVL"));
    EXPECT_EQ(back->Header, 0x01020304);
    EXPECT_EQ(back->GroupNames, log->GroupNames);
    ASSERT_EQ(back->Selections.size(), 2u);
    EXPECT_EQ(back->Selections[0].Name, "All QSOs");
    std::uint8_t x[kQsoSelectionSize], y[kQsoSelectionSize];
    PutQsoSelection(x, log->Selections[1]);
    PutQsoSelection(y, back->Selections[1]);
    EXPECT_EQ(0, std::memcmp(x, y, kQsoSelectionSize));
    ExpectSameQsos(*log, *back);
    EXPECT_EQ(back->At(0)->WpxPrefix, "DL1");
    ASSERT_EQ(back->Notes.Count(), 2);
    EXPECT_EQ(back->GetCallNote("W1AW"), "ARRL HQ");
    for (int i = 0; i < back->Notes.Count(); ++i)
        EXPECT_FALSE(back->Notes.MarkedAt(i));
    ASSERT_EQ(back->Swl().size(), 1u);
    EXPECT_EQ(back->Swl()[0].Call, "ONL123");
    EXPECT_EQ(back->Swl()[0].Printed, 9);
    EXPECT_FALSE(back->Modified());
    EXPECT_FALSE(back->NeedsSaving());
    EXPECT_EQ(back->ByCall().Count(), 2);

    // Written again, the file is the same byte for byte.
    back->FileName = dir.file("AGAIN.KVL");
    ASSERT_TRUE(WriteLogFile(*back, true));
    EXPECT_EQ(ReadAll(dir.file("AGAIN.KVL")), ReadAll(dir.file("RICH.KVL")));
}

TEST(LogFile, ALogWithoutQsosKeepsItsListsAndTheBackupNeverTouchesTheLog)
{
    TempDir dir;
    korval::test::ScopedHome home(dir.file("home"));
    ScopedMessageRecorder msgs;
    TQsoData log(dir.file("EMPTY.KVL"));
    log.GroupNames = {"Friends"};
    log.SetCallNote("W1AW", "ARRL");
    WriteAll(dir.file("EMPTY.KVL"), "previous contents");

    // The crash backup goes to KORVAL.KVB and leaves the log's file alone.
    ASSERT_TRUE(WriteLogFile(log, false));
    EXPECT_EQ(ReadAll(dir.file("EMPTY.KVL")), "previous contents");
    EXPECT_FALSE(log.Modified());
    EXPECT_TRUE(log.NeedsSaving());
    auto backup = Load(CrashBackupFileName());
    EXPECT_EQ(backup->GetCallNote("W1AW"), "ARRL");

    ASSERT_TRUE(WriteLogFile(log, true));
    EXPECT_FALSE(log.NeedsSaving());
    bool ok = false;
    auto back = Load(dir.file("EMPTY.KVL"), &ok);
    ASSERT_TRUE(ok);
    EXPECT_EQ(back->Count(), 0);
    EXPECT_EQ(back->GroupNames, std::vector<std::string>{"Friends"});
    EXPECT_EQ(back->GetCallNote("W1AW"), "ARRL");
    EXPECT_TRUE(msgs.texts().empty()) << ::testing::PrintToString(msgs.texts());
}

TEST(LogFile, AFailedSaveIsReportedAndChangesNothing)
{
    TempDir dir;
    ScopedMessageRecorder msgs;
    std::filesystem::create_directories(dir.file("BUSY.KVL"));  // a folder where the file should go
    TQsoData log(dir.file("BUSY.KVL"));
    log.InsertQso(NewQso("K1A", 40000, 0));
    EXPECT_FALSE(WriteLogFile(log, true));
    EXPECT_TRUE(log.Modified());
    EXPECT_TRUE(log.NeedsSaving());
    ASSERT_EQ(msgs.messages().size(), 1u);
    EXPECT_EQ(msgs.messages()[0].kind, TMsgDlgType::mtError);
    EXPECT_NE(msgs.messages()[0].text.find("BUSY.KVL"), std::string::npos);
    EXPECT_TRUE(std::filesystem::is_directory(dir.file("BUSY.KVL")));
    EXPECT_FALSE(CloseLog(log, true));
    EXPECT_EQ(log.FileName, dir.file("BUSY.KVL"));
}

TEST(LogFile, VersionBConvertsThroughTheWholeChain)
{
    // LOG_B.KVL (make_fixtures.py): one group name; W1AW on old band 12 (satellite), old mode 2,
    // award bits 0, 26, 30 (QSL received, valid, YL) plus 28/29 and DXCC mixed, a stale exchange,
    // country and zone; DL1ABC on 10 m with 10-10 number 1234 and old bits 22/23 and 1; one note.
    ScopedMessageRecorder msgs;
    FakeLookup lookup;
    bool ok = false;
    auto log = Load(Fixture("LOG_B.KVL"), &ok);
    ASSERT_TRUE(ok) << ::testing::PrintToString(msgs.texts());
    ASSERT_EQ(log->Count(), 2);
    EXPECT_EQ(log->GroupNames, std::vector<std::string>{"Contest"});
    const TQsoRecord& w = *log->At(0);
    EXPECT_EQ(w.Call, "W1AW");
    EXPECT_EQ(w.Time, 600 * 60);
    EXPECT_EQ(w.Band, 15);
    EXPECT_EQ(w.Mode, 4);
    EXPECT_EQ(w.Flags, qfQslReceived | qfValidForAwards | qfYL);
    EXPECT_EQ(w.AwardFlags, afDxccMixed);
    EXPECT_TRUE(w.Exchange.empty());
    EXPECT_EQ(w.Country, 23);  // looked up again
    EXPECT_EQ(w.SatMode, 1);
    EXPECT_TRUE(w.CustAwdId.empty());
    EXPECT_EQ(w.Note, nullptr);
    const TQsoRecord& d = *log->At(1);
    EXPECT_EQ(d.Mode, 14);
    EXPECT_EQ(d.CustAwdId, "1010");
    EXPECT_EQ(d.CustAwdVal, "1234");
    EXPECT_EQ(d.AwardFlags, afCustAwd | (afCustAwd << 1));
    EXPECT_EQ(d.Flags, qfLabelToPrint);
    EXPECT_EQ(log->GetCallNote("W1AW"), "old note");
}

TEST(LogFile, VersionERebuildsTheFlagsFromTheOldAwardBits)
{
    // LOG_E.KVL: G3XYZ with old award bits 0, 1, 26, 27, 30, 31 and DXCC mode (0x10), time 0.
    ScopedMessageRecorder msgs;
    bool ok = false;
    auto log = Load(Fixture("LOG_E.KVL"), &ok);
    ASSERT_TRUE(ok);
    ASSERT_EQ(log->Count(), 1);
    const TQsoRecord& g = *log->At(0);
    EXPECT_EQ(g.Flags, qfQslReceived | qfLabelToPrint | qfYL | qfQRP | qfValidForAwards);
    EXPECT_EQ(g.AwardFlags, afDxccMode);
    EXPECT_EQ(g.Mode, 13);
    EXPECT_EQ(g.Time, 0);
    EXPECT_EQ(g.Note, nullptr);
}

TEST(LogFile, VersionFNumbersQsosOfOneMinuteOfOneDay)
{
    // LOG_F.KVL: K1AA, K1AB, K1AC at 10:00 of one day (stored minute 601), K1AA at 10:00 of the
    // next day; notes "first" on the first QSO and "Bob" for K1AA.
    ScopedMessageRecorder msgs;
    bool ok = false;
    auto log = Load(Fixture("LOG_F.KVL"), &ok);
    ASSERT_TRUE(ok);
    ASSERT_EQ(log->Count(), 4);
    EXPECT_EQ(log->At(0)->Time, 36000);
    EXPECT_EQ(log->At(1)->Time, 36001);
    EXPECT_EQ(log->At(2)->Time, 36002);
    EXPECT_EQ(log->At(3)->Time, 36000);  // another day: a new run
    EXPECT_EQ(NoteText(log->At(0)->Note), "first");
    EXPECT_EQ(log->At(0)->SatMode, 1);
    EXPECT_EQ(log->GetCallNote("K1AA"), "Bob");
}

TEST(LogFile, VersionGTranslatesModesAndKeepsTheRest)
{
    // LOG_G.KVL: header 4242, four QSOs with old modes 1, 2, 3 and 7, one SWL record.
    ScopedMessageRecorder msgs;
    bool ok = false;
    auto log = Load(Fixture("LOG_G.KVL"), &ok);
    ASSERT_TRUE(ok);
    EXPECT_EQ(log->Header, 4242);
    ASSERT_EQ(log->Count(), 4);
    EXPECT_EQ(log->At(0)->Mode, 14);
    EXPECT_EQ(log->At(1)->Mode, 4);
    EXPECT_EQ(log->At(2)->Mode, 13);
    EXPECT_EQ(log->At(3)->Mode, 7);
    ASSERT_EQ(log->Swl().size(), 1u);
    EXPECT_EQ(log->Swl()[0].Group, 1);
}

TEST(LogFile, ConversionStepsOnTheVersionFLayout)
{
    std::uint8_t f[kVersionFRecordSize] = {};
    PutU32(f, 19, 0xFFFFFFFFu);
    f[17] = 12;
    f[52] = 3;
    PutU16(f, 57, 99);
    ConvertToVersionF('C', f);  // C keeps bits 28/29
    EXPECT_EQ(f[52], 0);
    EXPECT_EQ(GetU16(f, 57), 0);
    EXPECT_EQ(f[17], 15);
    EXPECT_EQ(f[60], qfQslReceived | qfLabelToPrint | qfYL | qfQRP | qfValidForAwards);
    EXPECT_EQ(GetU32(f, 19), 0x33FFFFFCu);

    TQsoRecord r;
    TSecondsRule rule;
    f[17] = 5;
    PutI32(f, 34, 77);  // a 10-10 number off 10 m is dropped
    ConvertVersionF(f, r, rule);
    EXPECT_TRUE(r.CustAwdId.empty());
    EXPECT_EQ(r.AwardFlags, 0x333FFFFCu);
    for (int m = 0; m < 70; ++m)
        ConvertVersionF(f, r, rule);
    EXPECT_EQ(r.Time, 59);  // the run stops at 59 seconds
}

TEST(LogFile, MergingAFileIntoItself)
{
    TempDir dir;
    ScopedMessageRecorder msgs;
    FakeLookup lookup;
    auto log = RichLog(dir.file("SELF.KVL"));
    log->InsertQso(NewQso("G4ABC", 40003, 0));
    ASSERT_TRUE(WriteLogFile(*log, true));
    TQsoPtrList before(log->Qsos());

    EXPECT_TRUE(LoadLogFileInto(*log, dir.file("SELF.KVL"), false, dpSkip));
    EXPECT_EQ(log->Qsos(), before);  // nothing added, nothing replaced
    EXPECT_EQ(log->Swl().size(), 1u);
    EXPECT_EQ(log->GetCallNote("W1AW"), "ARRL HQ");  // identical notes stay
    EXPECT_EQ(log->GroupNames.size(), 2u);

    EXPECT_TRUE(LoadLogFileInto(*log, dir.file("SELF.KVL"), false, dpReplace));
    ASSERT_EQ(log->Count(), 3);
    for (TQsoRecord* q : log->Qsos())
        EXPECT_EQ(std::find(before.begin(), before.end(), q), before.end());
    EXPECT_EQ(log->At(0)->SeqPrtNr, 0);
    EXPECT_TRUE(msgs.texts().empty());

    // Policy 0 stops at the first duplicate; what was merged before it stays.
    TempDir other;
    TQsoData src(other.file("SRC.KVL"));
    src.InsertQso(NewQso("AA1NEW", 39000, 0));
    src.InsertQso(NewQso("DL1ABC", 40000, 3600));  // already in the log
    src.InsertQso(NewQso("ZZ9LATE", 41000, 0));
    src.SetCallNote("DL1ABC", "different");
    ASSERT_TRUE(WriteLogFile(src, true));
    EXPECT_FALSE(LoadLogFileInto(*log, other.file("SRC.KVL"), false, dpAbort));
    ASSERT_EQ(msgs.texts().size(), 1u);
    EXPECT_EQ(msgs.texts()[0], "Merge aborted because of duplicate QSO\rCall = DL1ABC Date = 09/05/09");
    EXPECT_EQ(log->Count(), 4);
    EXPECT_EQ(log->At(0)->Call, "AA1NEW");
    EXPECT_EQ(log->GetCallNote("DL1ABC"), "Hans");  // reading stopped before the notes

    // Into itself, the first QSO of the file is already the log's first.
    const int count = log->Count();
    EXPECT_FALSE(LoadLogFileInto(*log, dir.file("SELF.KVL"), false, dpAbort));
    EXPECT_EQ(msgs.texts().back(), "Merge aborted because of duplicate QSO\rCall = DL1ABC Date = 09/05/09");
    EXPECT_EQ(log->Count(), count);

    // Notes that differ are appended.
    EXPECT_TRUE(LoadLogFileInto(*log, other.file("SRC.KVL"), false, dpSkip));
    EXPECT_EQ(log->GetCallNote("DL1ABC"), "Hans/different");
    EXPECT_EQ(log->Count(), 5);
}

TEST(LogFile, MergeGivesTheConfiguredGroupAndDropsPrintNumbers)
{
    TempDir dir;
    ScopedMessageRecorder msgs;
    TQsoData src(dir.file("SRC.KVL"));
    TQsoRecord* q = NewQso("K1AA", 40000, 0);
    q->SeqPrtNr = 17;
    q->Group = 2;
    src.InsertQso(q);
    ASSERT_TRUE(WriteLogFile(src, true));

    auto loaded = Load(dir.file("SRC.KVL"));
    EXPECT_EQ(loaded->MaxSeqPrtNr, 17);

    SetLogSettingsSource([] {
        TLogSettings s = TLogSettings::Defaults();
        s.mergeGroup = 5;
        return s;
    });
    TQsoData log;
    EXPECT_TRUE(LoadLogFileInto(log, dir.file("SRC.KVL"), false, dpAbort));
    SetLogSettingsSource(nullptr);
    ASSERT_EQ(log.Count(), 1);
    EXPECT_EQ(log.At(0)->Group, 5);
    EXPECT_EQ(log.At(0)->SeqPrtNr, 0);
    EXPECT_TRUE(log.FileName.empty());
}

TEST(LogFile, LoadingLooksEveryQsoUpAgain)
{
    TempDir dir;
    ScopedMessageRecorder msgs;
    TQsoData src(dir.file("OLD.KVL"));
    TQsoRecord* q = NewQso("W1AW", 40000, 0);
    q->Country = 999;
    q->Zone = 99;
    q->WpxPrefix.assign("XX9");
    src.InsertQso(q);
    ASSERT_TRUE(WriteLogFile(src, true));

    FakeLookup lookup;
    auto log = Load(dir.file("OLD.KVL"));
    ASSERT_EQ(log->Count(), 1);
    EXPECT_EQ(log->At(0)->Country, 23);
    EXPECT_EQ(log->At(0)->Zone, 4);
    EXPECT_EQ(log->At(0)->WpxPrefix, "W1");
    EXPECT_EQ(lookup.lookups, 1);
}

TEST(LogFile, BadHeadersAreRefusedWithTheirMessages)
{
    TempDir dir;
    struct Case {
        const char* name;
        std::string bytes;
        const char* message;
    };
    const Case cases[] = {
        {"short", std::string("\x08MERX", 5), "too short"},
        {"magic", std::string("\x08MERXCFGH", 9) + std::string(20, '\0'), "is not a log file"},
        {"version", std::string("\x08MERXLOGZ", 9) + std::string(20, '\0'), "unknown format version Z"},
        {"version A", std::string("\x08MERXLOGA", 9) + std::string(20, '\0'), "unknown format version A"},
    };
    for (const Case& c : cases) {
        ScopedMessageRecorder msgs;
        WriteAll(dir.file(c.name), c.bytes);
        bool ok = true;
        auto log = Load(dir.file(c.name), &ok);
        EXPECT_FALSE(ok) << c.name;
        ASSERT_EQ(msgs.texts().size(), 1u) << c.name;
        EXPECT_NE(msgs.texts()[0].find(c.message), std::string::npos) << c.name << ": " << msgs.texts()[0];
    }
    ScopedMessageRecorder msgs;
    bool ok = true;
    Load(dir.file("missing.KVL"), &ok);
    EXPECT_FALSE(ok);
    EXPECT_NE(msgs.texts().at(0).find("missing.KVL"), std::string::npos);
}

TEST(LogFile, EveryTruncationIsRefusedWithoutACrash)
{
    TempDir dir;
    ScopedMessageRecorder msgs;
    auto log = RichLog(dir.file("FULL.KVL"));
    log->InsertQso(NewQso("G4ABC", 40003, 0));
    ASSERT_TRUE(WriteLogFile(*log, true));
    const std::string full = ReadAll(dir.file("FULL.KVL"));
    const std::size_t swlStart = full.size() - 4 - kSwlRecordSize;
    for (std::size_t n = 9; n < full.size(); ++n) {
        WriteAll(dir.file("CUT.KVL"), full.substr(0, n));
        std::size_t before = msgs.texts().size();
        bool ok = LoadLogFile(dir.file("CUT.KVL"), true, 3);
        if (n == swlStart) {  // a file that ends before its SWL records is whole
            EXPECT_TRUE(ok);
            continue;
        }
        EXPECT_FALSE(ok) << n;
        EXPECT_EQ(CurrentLog(), nullptr) << n;
        ASSERT_EQ(msgs.texts().size(), before + 1) << n;
        EXPECT_EQ(msgs.texts().back(), kFatal) << n;
    }
    FreeCurrentLog();
}

TEST(LogFile, CountsBeyondTheFileAreRefused)
{
    TempDir dir;
    ScopedMessageRecorder msgs;
    // A header with a huge QSO count and a negative one.
    for (std::int32_t count : {0x7FFFFFFF, -1}) {
        std::string bytes = std::string("\x08MERXLOGH", 9) + std::string(8, '\0');
        std::uint8_t c[4];
        PutI32(c, 0, count);
        bytes += std::string(reinterpret_cast<char*>(c), 4) + std::string(200, '\0');
        WriteAll(dir.file("HUGE.KVL"), bytes);
        bool ok = true;
        Load(dir.file("HUGE.KVL"), &ok);
        EXPECT_FALSE(ok);
        EXPECT_EQ(msgs.texts().back(), kFatal);
    }
}

TEST(LogFile, UnknownBandAndModeNumbersAreKept)
{
    TempDir dir;
    ScopedMessageRecorder msgs;
    FakeLookup lookup;
    TQsoData src(dir.file("ODD.KVL"));
    TQsoRecord* q = NewQso("K1AA", 40000, 0, 222, 99);
    q->Flags = qfValidForAwards;
    src.InsertQso(q);
    ASSERT_TRUE(WriteLogFile(src, true));
    auto log = Load(dir.file("ODD.KVL"));
    ASSERT_EQ(log->Count(), 1);
    EXPECT_EQ(log->At(0)->Band, 222);
    EXPECT_EQ(log->At(0)->Mode, 99);
    log->EnsureAwardStatus();
    EXPECT_TRUE(log->AwardStatusBuilt());
}

TEST(LogFile, AFileOutOfOrderIsSortedOnLoad)
{
    TempDir dir;
    ScopedMessageRecorder msgs;
    TQsoData src(dir.file("ORDER.KVL"));
    src.InsertQso(NewQso("A1", 100, 0));
    src.InsertQso(NewQso("B1", 200, 0));
    ASSERT_TRUE(WriteLogFile(src, true));
    std::string bytes = ReadAll(dir.file("ORDER.KVL"));
    const std::size_t first = 9 + 4 + 2 + 2 + 4;
    std::string a = bytes.substr(first, 76), b = bytes.substr(first + 76, 76);
    bytes.replace(first, 152, b + a);  // swapped on disk
    WriteAll(dir.file("ORDER.KVL"), bytes);
    auto log = Load(dir.file("ORDER.KVL"));
    ASSERT_EQ(log->Count(), 2);
    EXPECT_EQ(log->At(0)->Call, "A1");
    int at = -1;
    EXPECT_TRUE(log->Find(*log->At(1), at));
    EXPECT_EQ(at, 1);
}

TEST(LogFile, ProgressRunsOverQsosNotesAndSwlRecords)
{
    struct Recorder : TProgressSink {
        std::vector<std::string> captions;
        int steps = 0;
        void Start(const std::string& caption, int maximum) override
        {
            captions.push_back(caption + " " + std::to_string(maximum));
        }
        void Step() override { ++steps; }
        void Finish() override { captions.push_back("done"); }
    } rec;
    TProgressSink* old = SetProgressSink(&rec);
    ScopedMessageRecorder msgs;
    Load(Fixture("LOG_F.KVL"));
    Load(Fixture("LOG_G.KVL"));
    SetProgressSink(old);
    EXPECT_EQ(rec.captions, (std::vector<std::string>{"Reading QSOs (converting F format) 4", "Reading Notes 1", "done",
                                                      "Reading QSOs (converting G format) 4", "Reading Notes 0",
                                                      "Reading SWL records 1", "done"}));
    EXPECT_EQ(rec.steps, 4 + 1 + 4 + 1);
}

TEST(LogFile, LoadingWithTheShippedCountryDatabase)
{
    // The default database: whatever the file holds, country, zone and prefix come from it.
    ASSERT_TRUE(LoadCountryFileFrom(std::string(KORVAL_SOURCE_DIR) + "/data/SAVE/KORVAL.CTY", true));
    TQsoLookup* before = SetQsoLookup(nullptr);
    TempDir dir;
    ScopedMessageRecorder msgs;
    TQsoData src(dir.file("REAL.KVL"));
    for (const char* call : {"DL1ABC", "JA1XYZ/6", "W1AW/P"}) {
        TQsoRecord* q = NewQso(call, 45000, 0);
        q->Country = 999;
        q->Zone = 99;
        src.InsertQso(q);
    }
    ASSERT_TRUE(WriteLogFile(src, true));
    InstallCountryLookup();
    auto log = Load(dir.file("REAL.KVL"));
    ASSERT_EQ(log->Count(), 3);
    for (TQsoRecord* q : log->Qsos()) {
        std::string call = q->Call.str();
        EXPECT_EQ(q->Country, CountryOfCall(call, q->Date)) << call;
        EXPECT_NE(q->Country, 999) << call;
        EXPECT_EQ(q->Zone, ZoneOfCall(call, q->Date)) << call;
        EXPECT_EQ(q->WpxPrefix.str(), CalcWPXPrefix(call)) << call;
    }
    EXPECT_EQ(log->ByCall().At(0)->Call, "DL1ABC");
    EXPECT_EQ(log->ByCall().At(0)->WpxPrefix, "DL1");
    EXPECT_EQ(log->ByCall().At(1)->WpxPrefix, "JA6");
    EXPECT_EQ(log->ByCall().At(0)->Zone, 14);
    log->EnsureAwardStatus();  // countries' and prefixes' blocks of the real database
    EXPECT_TRUE(log->AwardStatusBuilt());
    SetQsoLookup(before);
    FreeCountryData(true);
}

// logfile-emptycall.kvl: a version-H log of one QSO whose call is empty.
TEST(LogFile, AQsoWithAnEmptyCallLoadsAndIsIndexed)
{
    ScopedMessageRecorder msgs;
    FakeLookup lookup;
    bool ok = false;
    auto log = Load(Fixture("logfile-emptycall.kvl"), &ok);
    ASSERT_TRUE(ok) << (msgs.texts().empty() ? "" : msgs.texts()[0]);
    ASSERT_EQ(log->Count(), 1);
    EXPECT_EQ(log->At(0)->Call.view(), "");
    log->BeginBulk(false, 2);
    log->BulkAdd(NewQso("K1AA", 40000, 0));
    log->BulkAdd(NewQso("", 40001, 0));
    log->EndBulk(false);
    ASSERT_EQ(log->ByCall().Count(), 3);
    EXPECT_EQ(log->ByCall().At(0)->Call.view(), "");
    EXPECT_EQ(log->ByCall().At(1)->Call.view(), "");
    EXPECT_EQ(log->ByCall().At(2)->Call.view(), "K1AA");
}
