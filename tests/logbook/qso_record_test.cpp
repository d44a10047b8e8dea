#include "logbook/qso_record.h"

#include <gtest/gtest.h>

#include "logbook/base/record_bytes.h"
#include "logbook/swl_record.h"

#include <string>
#include <utility>
#include <vector>

using namespace korval;

TEST(QsoRecord, StoredLayoutPutsEachFieldAtItsOffset)
{
    TQsoRecord r;
    r.Call.assign("DL1ABC");
    r.Time = 86399;
    r.Date = 0xBEEF;
    r.Band = 15;
    r.Mode = 13;
    r.AwardFlags = 0x0C000004;
    r.RstRcvd = 1059;
    r.RstSent = 599;
    r.State = 50;
    r.Iota.assign("EU005");
    r.County = 0x1234;
    r.Grid.assign("JO62qm");
    r.QslSentDate = 0x4321;
    r.QslRoute = 3;
    r.SatMode = 2;
    r.Group = 253;
    r.SeqPrtNr = 0xA55A;
    r.Exchange.assign("14");
    r.Country = 0x0102;
    r.Zone = 40;
    r.Flags = qfQslReceived | qfValidForAwards;
    r.CustAwdId.assign("1010");
    r.CustAwdVal.assign("12345678");
    r.WpxPrefix.assign("DL1");  // derived, never stored

    std::uint8_t b[kQsoStoredSize];
    PutQsoStored(b, r);
    EXPECT_EQ(kQsoRecordSize, 87u);
    EXPECT_EQ(b[0], 6);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(b + 1), 6), "DL1ABC");
    EXPECT_EQ(b[7], 0);  // unused characters are zero
    EXPECT_EQ(GetI32(b, 13), 86399);
    EXPECT_EQ(GetU16(b, 17), 0xBEEF);
    EXPECT_EQ(b[19], 15);
    EXPECT_EQ(b[20], 13);
    EXPECT_EQ(GetU32(b, 21), 0x0C000004u);
    EXPECT_EQ(GetU16(b, 25), 1059);
    EXPECT_EQ(GetU16(b, 27), 599);
    EXPECT_EQ(b[29], 50);
    EXPECT_EQ(GetShortStr(b, 30, 5), "EU005");
    EXPECT_EQ(GetU16(b, 36), 0x1234);
    EXPECT_EQ(GetShortStr(b, 38, 6), "JO62qm");
    EXPECT_EQ(GetU16(b, 45), 0x4321);
    EXPECT_EQ(b[47], 3);
    EXPECT_EQ(b[48], 2);
    EXPECT_EQ(b[49], 253);
    EXPECT_EQ(GetU16(b, 50), 0xA55A);
    EXPECT_EQ(GetShortStr(b, 52, 4), "14");
    EXPECT_EQ(GetU16(b, 57), 0x0102);
    EXPECT_EQ(b[59], 40);
    EXPECT_EQ(b[60], qfQslReceived | qfValidForAwards);
    EXPECT_EQ(GetShortStr(b, 61, 4), "1010");
    EXPECT_EQ(GetShortStr(b, 66, 8), "12345678");

    TQsoRecord back;
    GetQsoStored(b, back);
    std::uint8_t again[kQsoStoredSize];
    PutQsoStored(again, back);
    EXPECT_EQ(0, std::memcmp(b, again, kQsoStoredSize));
    EXPECT_TRUE(back.WpxPrefix.empty());
}

TEST(QsoRecord, DamagedLengthBytesAreClampedToTheField)
{
    std::uint8_t b[kQsoStoredSize] = {};
    b[0] = 200;     // call
    b[38] = 9;      // grid of capacity 6
    std::memset(b + 1, 'A', 12);
    TQsoRecord r;
    GetQsoStored(b, r);
    EXPECT_EQ(r.Call.view().size(), 12u);
    EXPECT_EQ(r.Grid.view().size(), 6u);
}

TEST(QsoRecord, NotesAreCutTo255AndEmptyMeansNone)
{
    TQsoRecord r;
    SetQsoNote(r, std::string(300, 'x'));
    EXPECT_EQ(NoteText(r.Note).size(), 255u);
    SetQsoNote(r, "");
    EXPECT_EQ(r.Note, nullptr);
}

TEST(QsoRecord, NotesOfSharedBlocksOutliveTheirMakerAndAreFreedOneByOne)
{
    // Enough text for several blocks; notes freed before and after the blocks were closed, in
    // no particular order, with plain notes among them. The sanitizers of the test build see a
    // block freed too early or never.
    std::vector<std::pair<TNotePtr, std::string>> notes;
    {
        TNoteBlocks blocks;
        for (int i = 0; i < 4000; ++i) {
            std::string text(static_cast<std::size_t>(i % 300), static_cast<char>('a' + i % 26));
            notes.emplace_back(blocks.New(text), text.substr(0, 255));
            if (i % 7 == 0)
                notes.emplace_back(NewNote("plain"), "plain");
        }
        EXPECT_EQ(blocks.New(""), nullptr);
        for (std::size_t i = 0; i < notes.size(); i += 3)
            FreeNote(std::exchange(notes[i].first, nullptr));
    }
    for (std::size_t i = notes.size(); i-- > 0;) {
        if (!notes[i].first)
            continue;
        EXPECT_EQ(NoteText(notes[i].first), notes[i].second) << i;
        FreeNote(notes[i].first);
    }
}

TEST(SwlAndSelection, StoredLayouts)
{
    TSwlRecord s;
    s.Call.assign("ONL123");
    s.Date = 7;
    s.Time = 3600;
    s.Band = 5;
    s.Mode = 4;
    s.Group = 0xAA;
    std::uint8_t b[kSwlRecordSize];
    PutSwlRecord(b, s);
    EXPECT_EQ(GetU16(b, 13), 7);
    EXPECT_EQ(GetI32(b, 15), 3600);
    EXPECT_EQ(b[19], 5);
    EXPECT_EQ(b[20], 4);
    EXPECT_EQ(b[21], 0xAA);

    TQsoSelection sel;
    sel.Name.assign("Contest");
    sel.DateRange = 1;
    sel.FromDate = 0x0102;
    sel.ToDate = 0x0304;
    sel.GroupFlag = 1;
    sel.SetBit(3, true);
    sel.SetBit(TQsoSelection::kYlOnlyBit, true);
    std::uint8_t c[kQsoSelectionSize];
    PutQsoSelection(c, sel);
    EXPECT_EQ(c[26], 1);
    EXPECT_EQ(GetU16(c, 27), 0x0102);
    EXPECT_EQ(GetU16(c, 29), 0x0304);
    EXPECT_EQ(c[31], 1);
    EXPECT_EQ(c[32], 0x08);
    EXPECT_EQ(c[63], 0x80);
}
