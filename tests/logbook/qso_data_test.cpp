#include "logbook/qso_data.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "fake_lookup.h"
#include "logbook/log_hooks.h"

using namespace korval;
using korval::test::FakeLookup;
using korval::test::NewQso;

namespace {
class CountingHooks : public TLogWindowHooks {
public:
    CountingHooks() { SetLogHooks(this); }
    ~CountingHooks() override { SetLogHooks(nullptr); }
    void ShowModified() override { ++shown; }
    void RestartAutoSave() override { ++restarts; }
    int shown = 0;
    int restarts = 0;
};
} // namespace

TEST(QsoData, InsertKeepsOrderAndEveryIndexInStep)
{
    FakeLookup lookup;
    TQsoData log;
    TQsoRecord* a = NewQso("K1AB", 10, 100);
    TQsoRecord* b = NewQso("DL1A", 10, 100);
    TQsoRecord* c = NewQso("K1AB", 9, 500);
    log.InsertQso(a);
    log.InsertQso(b);
    log.InsertQso(c);
    TQsoIndex* byZone = log.AddIndex(CompareQsoByZone);
    EXPECT_EQ(log.At(0), c);
    EXPECT_EQ(log.At(1), b);  // same moment: by call
    EXPECT_EQ(log.At(2), a);
    EXPECT_EQ(log.ByCall().At(0), b);
    EXPECT_EQ(log.ByCall().At(1), c);

    // An equal record goes before the existing one.
    TQsoRecord* twin = NewQso("K1AB", 10, 100);
    EXPECT_EQ(log.InsertQso(twin), 2);
    EXPECT_EQ(log.At(2), twin);
    EXPECT_EQ(byZone->Count(), 4);

    SetQsoNote(*a, "note freed with its QSO");
    log.DeleteQso(a);
    ASSERT_EQ(log.Count(), 3);
    for (const TQsoIndex* ix : {&log.ByCall(), static_cast<const TQsoIndex*>(byZone)})
        for (int i = 0; i < ix->Count(); ++i)
            EXPECT_NE(ix->At(i), a);
    EXPECT_EQ(byZone->Count(), 3);

    TQsoRecord src = *b;
    src.Call.assign("G4XYZ");
    SetQsoNote(src, "taken over");
    TQsoRecord* nb = log.ReplaceQso(src, b);
    EXPECT_EQ(nb->WpxPrefix, "G4");
    EXPECT_EQ(NoteText(nb->Note), "taken over");
    EXPECT_EQ(log.ByCall().At(0), nb);
    log.RemoveIndex(byZone);
}

TEST(QsoData, ChangesSetTheFlagsAndRestartTheCountdown)
{
    CountingHooks hooks;
    TQsoData log;
    EXPECT_FALSE(log.Modified());
    log.InsertQso(NewQso("K1A", 1, 1));
    log.InsertQso(NewQso("K1B", 1, 1));
    log.SetCallNote("K1A", "x");
    EXPECT_TRUE(log.Modified());
    EXPECT_TRUE(log.NeedsSaving());
    EXPECT_EQ(hooks.shown, 1);
    EXPECT_EQ(hooks.restarts, 3);
}

TEST(QsoData, CallNotes)
{
    TQsoData log;
    log.AppendCallNote("W1AW", "a");
    log.AppendCallNote("W1AW", "b");
    EXPECT_EQ(log.GetCallNote("W1AW"), "a/b");
    EXPECT_EQ(log.GetCallNote("w1aw"), "");  // exact call only
    log.SetCallNote("W1AW", "new");
    EXPECT_EQ(log.GetCallNote("W1AW"), "new");
    log.SetCallNote("W1AW", "");
    EXPECT_EQ(log.Notes.Count(), 0);
    log.SetCallNote("K1ZZ", std::string(300, 'n'));
    EXPECT_EQ(log.GetCallNote("K1ZZ").size(), 255u);

    log.SetCallNote("DL1A", "worked");
    log.InsertQso(NewQso("DL1A", 5, 5));
    log.DeleteUnworkedNote("DL1A");
    log.DeleteUnworkedNote("K1ZZ");
    EXPECT_EQ(log.GetCallNote("DL1A"), "worked");
    EXPECT_EQ(log.GetCallNote("K1ZZ"), "");

    log.Notes.Mark("DL1A");
    EXPECT_TRUE(log.Notes.MarkedAt(0));
    log.Notes.ClearMarks();
    EXPECT_FALSE(log.Notes.MarkedAt(0));
}

TEST(QsoData, SelectionAndGroupNames)
{
    TQsoData log;
    log.GroupNames = {"Contest", "Portable"};
    TQsoRecord r;
    r.Date = 100;
    r.Group = 2;
    EXPECT_EQ(log.GroupName(r), "Portable");
    r.Group = 0;
    EXPECT_EQ(log.GroupName(r), "");
    r.Group = 3;
    EXPECT_EQ(log.GroupName(r), "");

    EXPECT_TRUE(log.InSelection(r));  // "All QSOs"
    log.Selection.DateRange = 1;
    log.Selection.FromDate = 100;
    log.Selection.ToDate = 100;
    EXPECT_TRUE(log.InSelection(r));
    r.Date = 101;
    EXPECT_FALSE(log.InSelection(r));
    r.Date = 100;
    log.Selection.GroupFlag = 1;
    log.Selection.SetBit(3, true);
    EXPECT_TRUE(log.InSelection(r));
    r.Group = 1;
    EXPECT_FALSE(log.InSelection(r));
    log.Selection = TQsoSelection::AllQsos();
    log.Selection.SetBit(TQsoSelection::kQrpOnlyBit, true);
    EXPECT_FALSE(log.InSelection(r));
    r.Flags = qfQRP;
    EXPECT_TRUE(log.InSelection(r));
    log.Selection.SetBit(TQsoSelection::kYlOnlyBit, true);
    EXPECT_FALSE(log.InSelection(r));
}

namespace {
// Expected cells of a block: {cell, status, count}; every other cell must be empty.
struct Cell {
    int cell, status, count;
};
void ExpectCells(const TAwardStatusBlock& b, std::initializer_list<Cell> cells, const char* what)
{
    TAwardStatusBlock expected;
    for (const Cell& c : cells)
        expected.Set(c.cell, static_cast<std::uint8_t>(c.status), static_cast<std::uint8_t>(c.count));
    for (int i = 0; i < TAwardStatusBlock::kCells; ++i)
        EXPECT_TRUE(b.Status(i) == expected.Status(i) && b.Count(i) == expected.Count(i))
            << what << " cell " << i << ": " << int(b.Status(i)) << "/" << int(b.Count(i)) << " expected "
            << int(expected.Status(i)) << "/" << int(expected.Count(i));
}
constexpr int kCw = 4, kSsb = 14;
constexpr int CW = 2, PHONE = 1;
int Band(int band, int group) { return TAwardStatusBlock::CellOf(band, group); }
} // namespace

TEST(QsoData, AwardStatusFollowsAddsReplacesAndDeletes)
{
    FakeLookup lookup;
    TQsoData log;
    auto add = [&](const char* call, std::uint16_t date, int band, int mode, std::uint8_t flags, std::uint32_t award = 0) {
        TQsoRecord* r = NewQso(call, date, 0, static_cast<std::uint8_t>(band), static_cast<std::uint8_t>(mode));
        r->Flags = static_cast<std::uint8_t>(flags | qfValidForAwards);
        r->AwardFlags = award;
        lookup.LookupCall(*r);
        DeriveWpxPrefix(*r);
        log.InsertQso(r);
        return r;
    };
    // K = country 11; zone = length of the call (4).
    TQsoRecord* q1 = add("K1AA", 40000, 5, kCw, 0);                            // worked
    add("K2BB", 40001, 5, kCw, qfQslReceived);                                 // confirmed
    TQsoRecord* q3 = add("K3CC", 40002, 7, kSsb, qfQslReceived, afDxccMixed);  // DXCC mixed submitted
    TQsoRecord* unrated = add("K5EE", 40003, 5, kCw, qfQslReceived);
    unrated->RstRcvd = 0;  // no report received: counts nowhere
    log.EnsureAwardStatus();
    ASSERT_TRUE(log.AwardStatusBuilt());
    const TAwardStatusBlock& k = lookup.countries[11];
    const TAwardStatusBlock& z4 = log.ZoneStatus(4);
    ExpectCells(k, {{0, 4, 1}, {PHONE, 3, 1}, {CW, 3, 1}, {Band(5, CW), 3, 1}, {Band(7, PHONE), 3, 1}}, "country");
    ExpectCells(z4, {{0, 3, 2}, {PHONE, 3, 1}, {CW, 3, 1}, {Band(5, CW), 3, 1}, {Band(7, PHONE), 3, 1}}, "zone");

    // Adding and deleting a second confirmed QSO of an existing prefix only counts up and down.
    TQsoRecord* q4 = add("K2DD", 40004, 5, kCw, qfQslReceived);
    ExpectCells(z4, {{0, 3, 3}, {PHONE, 3, 1}, {CW, 3, 2}, {Band(5, CW), 3, 2}, {Band(7, PHONE), 3, 1}}, "zone+");
    ExpectCells(*lookup.wpx["K2"], {{0, 3, 2}, {CW, 3, 2}, {Band(5, CW), 3, 2}}, "K2+");
    log.DeleteQso(q4);
    EXPECT_TRUE(log.AwardStatusBuilt());
    ExpectCells(z4, {{0, 3, 2}, {PHONE, 3, 1}, {CW, 3, 1}, {Band(5, CW), 3, 1}, {Band(7, PHONE), 3, 1}}, "zone-");
    ExpectCells(*lookup.wpx["K2"], {{0, 3, 1}, {CW, 3, 1}, {Band(5, CW), 3, 1}}, "K2-");

    // The worked QSO comes back confirmed.
    TQsoRecord src = *q1;
    src.Note = nullptr;
    src.Flags |= qfQslReceived;
    log.ReplaceQso(src, q1);
    EXPECT_TRUE(log.AwardStatusBuilt());
    ExpectCells(k, {{0, 4, 1}, {PHONE, 3, 1}, {CW, 3, 2}, {Band(5, CW), 3, 2}, {Band(7, PHONE), 3, 1}}, "country r");
    ExpectCells(*lookup.wpx["K1"], {{0, 3, 1}, {CW, 3, 1}, {Band(5, CW), 3, 1}}, "K1 r");

    // Deleting the only submitted QSO cannot be counted down: the status is rebuilt.
    log.DeleteQso(q3);
    EXPECT_FALSE(log.AwardStatusBuilt());
    log.EnsureAwardStatus();
    ExpectCells(k, {{0, 3, 2}, {CW, 3, 2}, {Band(5, CW), 3, 2}}, "country d");
    ExpectCells(z4, {{0, 3, 2}, {CW, 3, 2}, {Band(5, CW), 3, 2}}, "zone d");
    EXPECT_EQ(lookup.wpx.count("K5"), 0u);
}

TEST(QsoData, AwardStatusSkipsValuesOutsideItsTables)
{
    FakeLookup lookup;
    TQsoData log;
    TQsoRecord* r = NewQso("K1AA", 40000, 0, 200, 99);  // band and mode unknown to the program
    r->Zone = 77;
    r->State = 99;
    r->Flags = qfValidForAwards;
    log.InsertQso(r);
    TQsoRecord* m0 = NewQso("K1AB", 40000, 0, 5, 0);  // mode 0 counts for the award cell only
    m0->Flags = qfValidForAwards;
    m0->Country = 11;
    log.InsertQso(m0);
    log.EnsureAwardStatus();
    ExpectCells(lookup.countries[11], {{0, 1, 1}}, "country");
    log.DeleteQso(r);
    log.DeleteQso(m0);
    auto iota = log.IotaStatus("EU005");
    ExpectCells(*iota, {}, "iota");
}

TEST(QsoData, QsoWithoutBandCountsForTheWholeAwardAndItsModeGroupOnly)
{
    FakeLookup lookup;
    TQsoData log;
    TQsoRecord* r = NewQso("K1AA", 40000, 0, 0, kSsb);  // a 60 m QSO: no band of the table
    r->Flags = qfValidForAwards | qfQslReceived;
    lookup.LookupCall(*r);
    log.InsertQso(r);
    log.EnsureAwardStatus();
    ExpectCells(lookup.countries[11], {{0, 3, 1}, {PHONE, 3, 1}}, "country");
    ExpectCells(log.ZoneStatus(4), {{0, 3, 1}, {PHONE, 3, 1}}, "zone");
    log.DeleteQso(r);
    log.EnsureAwardStatus();
    ExpectCells(lookup.countries[11], {}, "country after delete");
}

TEST(QsoData, IotaAndGridBlocksCountBandCellsOnly)
{
    TQsoData log;
    auto add = [&](const char* call, int band, int mode, std::uint8_t flags, const char* iota, const char* grid) {
        TQsoRecord* r = NewQso(call, 1000, 0, static_cast<std::uint8_t>(band), static_cast<std::uint8_t>(mode));
        r->Flags = flags;
        r->Iota.assign(iota);
        r->Grid.assign(grid);
        log.InsertQso(r);
    };
    add("A1", 5, kCw, 0, "EU005", "");
    add("A2", 5, kSsb, qfQslReceived, "EU005", "");
    add("A3", 7, kCw, 0, "EU005", "");
    add("A4", 7, kCw, qfQslReceived, "EU001", "");
    add("A5", 10, kCw, qfQslReceived, "", "FN42ab");
    add("A6", 11, kSsb, 0, "", "FN42");
    add("A7", 9, kSsb, 0, "", "FN42");  // not a VUCC band
    auto iota = log.IotaStatus("EU005");
    ExpectCells(*iota, {{Band(5, PHONE), 3, 1}, {Band(5, CW), 1, 1}, {Band(7, PHONE), 1, 0}, {Band(7, CW), 1, 1}},
                "iota");
    auto grid = log.GridStatus("fn42");
    ExpectCells(*grid, {{Band(10, PHONE), 3, 0}, {Band(10, CW), 3, 1}, {Band(11, PHONE), 1, 1}}, "grid");
}

TEST(QsoData, BulkLoadBuildsTheCallOrderOfAwkwardCalls)
{
    // Calls that share their first eight characters, are longer than eight, hold a zero byte,
    // or repeat at one moment, given out of order: the primary order must be that of a stable
    // sort (equal records keep their order), the call index must follow the full compare.
    // A small log and one large enough to be dealt out by its keys first, with most records on
    // three days and a few on each of many more, so that the sorts take every way they have.
    const std::string calls[] = {"VP8ABCDE",  "VP8ABCDEF",  "VP8ABCDEFG", "VP8ABCD",   std::string("AB\0", 3),
                                 "AB",        std::string("AB\0C", 4),     "ZL1A",       "ZL1A/P",    "A",
                                 "VP8ABCDEFH", "ZL1B",     "AB1XYZ",     "\xC9" "A1",   "VP8ABCDE"};
    for (int n : {3000, 40000}) {
        TQsoData log;
        std::uint32_t seed = 7;
        log.BeginBulk(false, static_cast<std::size_t>(n));
        std::vector<TQsoRecord*> given;
        for (int i = 0; i < n; ++i) {
            seed = seed * 1103515245u + 12345u;
            TQsoRecord* r = log.NewQsoRecord();
            r->Call.assign(calls[(seed >> 8) % std::size(calls)]);
            r->Date = static_cast<std::uint16_t>(i % 4 == 0 ? 200 + (seed >> 4) % (n / 20) : 100 + (seed >> 4) % 3);
            r->Time = static_cast<std::int32_t>((seed >> 12) % 5) - 2;  // includes negative times
            r->Band = static_cast<std::uint8_t>((seed >> 16) % 2);
            given.push_back(r);
            log.BulkAdd(r);
        }
        log.EndBulk(false);
        std::vector<TQsoRecord*> byDate = given;
        std::stable_sort(byDate.begin(), byDate.end(),
                         [](const TQsoRecord* a, const TQsoRecord* b) { return CompareQsoByDate(a, b) < 0; });
        std::vector<TQsoRecord*> byCall = byDate;
        std::stable_sort(byCall.begin(), byCall.end(),
                         [](const TQsoRecord* a, const TQsoRecord* b) { return CompareQsoByCall(a, b) < 0; });
        ASSERT_EQ(log.Count(), n);
        ASSERT_EQ(log.ByCall().Count(), n);
        for (int i = 0; i < n; ++i) {
            ASSERT_EQ(log.At(i), byDate[static_cast<std::size_t>(i)]) << n << " records, " << i;
            ASSERT_EQ(CompareQsoByCall(log.ByCall().At(i), byCall[static_cast<std::size_t>(i)]), 0)
                << n << " records, " << i;
        }
        log.DeleteQso(log.At(17));  // a record of the log's own blocks goes back to them
        TQsoRecord* again = log.NewQsoRecord();
        EXPECT_TRUE(again->Call.empty());
        log.DisposeQsoRecord(again);
    }
}
