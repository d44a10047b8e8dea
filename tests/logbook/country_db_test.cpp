#include "logbook/country_db.h"

#include "country_fixture.h"
#include "logbook/call_lookup.h"
#include "logbook/config_record.h"
#include "logbook/own_callsign.h"
#include "logbook/qso_lookup.h"
#include "logbook/base/record_bytes.h"
#include "platform/atomic_file.h"
#include "platform/message_dlg.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <tuple>
#include <sys/stat.h>

namespace korval {
namespace {

const char* const kFailText = "Failed reading the country file";

TEST(CountryRecords, SizesAndOffsetsAreTheFileLayout)
{
    TCountryRecord c;
    c.Prefix = "KH6";
    c.CqZone = 31;
    c.ItuZone = 61;
    c.UtcOffset = -10;
    c.Longitude = -157.5;
    c.Latitude = 21.1;
    c.EndDate = 1234;
    c.StatesKind = skHawaii;
    c.Name = "Hawaii";
    const std::string b = c.ToBytes();
    const auto* p = reinterpret_cast<const std::uint8_t*>(b.data());
    ASSERT_EQ(b.size(), 67u + 1 + 6);
    EXPECT_EQ(GetShortStr(p, 0, 5), "KH6");
    EXPECT_EQ(p[7], 61);
    EXPECT_EQ(p[8], 31);
    EXPECT_EQ(GetDouble(p, 9), -10.0);
    EXPECT_EQ(GetDouble(p, 19), -157.5);
    EXPECT_EQ(GetDouble(p, 27), 21.1);
    EXPECT_EQ(GetU16(p, 37), 1234);
    EXPECT_EQ(p[47], skHawaii);
    EXPECT_EQ(GetShortStr(p, 67, 255), "Hawaii");
    EXPECT_EQ(TCountryRecord::FromBytes(p).Name, "Hawaii");

    const std::string m = TPrefixMapRecord{"Y2", 7, 14, 33000, 40000}.ToBytes();
    const auto* q = reinterpret_cast<const std::uint8_t*>(m.data());
    ASSERT_EQ(m.size(), 12u);
    EXPECT_EQ(GetU16(q, 5), 7);
    EXPECT_EQ(q[7], 14);
    EXPECT_EQ(GetU16(q, 8), 33000);
    EXPECT_EQ(GetU16(q, 10), 40000);

    const std::string e = TExceptionCallRecord{"DL0XYZ", 6, 15, 4000}.ToBytes();
    ASSERT_EQ(e.size(), 18u);
    const auto* r = reinterpret_cast<const std::uint8_t*>(e.data());
    EXPECT_EQ(GetU16(r, 13), 6);
    EXPECT_EQ(GetU16(r, 16), 4000);

    const std::string qm = TQslManagerRecord{"F5ABC", 4000, "W3HNK"}.ToBytes();
    ASSERT_EQ(qm.size(), 28u);
    EXPECT_EQ(GetShortStr(reinterpret_cast<const std::uint8_t*>(qm.data()), 15, 12), "W3HNK");
    EXPECT_EQ((TStateCodeRecord{"CAL", 2}.ToBytes().size()), 5u);
    EXPECT_EQ((TIotaRecord{"EU005", 1, 2, "x"}.ToBytes().size()), 41u + 2);
}

class CountryFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::filesystem::create_directories(home_.file("SAVE"));
        fixture_ = CountryDatabaseBytes(test::MakeFixtureDb());
        FreeCountryData(false);
    }
    void TearDown() override
    {
        FreeCountryData(false);
        SetCountryFileFailHandler(nullptr);
        SetCountryModifiedHook(nullptr);
    }
    std::string CtyPath() const { return home_.file("SAVE/KORVAL.CTY"); }

    test::TempDir home_;
    test::ScopedHome scoped_{home_.path()};
    std::string fixture_;
};

TEST_F(CountryFileTest, LoadsAndSavesTheSameBytes)
{
    test::WriteAll(CtyPath(), fixture_);
    ASSERT_TRUE(LoadCountryFile(true));
    EXPECT_EQ(CountryCount(), 8);
    EXPECT_EQ(CountryName(7), "East Germany");
    EXPECT_EQ(CountryPrefix(3), "K");
    EXPECT_EQ(CountryNumberOfPrefix("kh6"), 4);
    EXPECT_EQ(StateNumber("HI"), 3);
    EXPECT_FALSE(CountryDataChanged());
    ASSERT_NE(CountryStatistics(1), nullptr);
    EXPECT_NE(CountryStatistics(1), CountryStatistics(2));
    EXPECT_EQ(CountryStatistics(8), nullptr);
    std::vector<std::string> lines;
    CountryDb.ManagerAddresses->GetLines(0, lines);
    EXPECT_EQ(lines, (std::vector<std::string>{"Joe", "Box 1"}));

    SaveCountryFile(true);
    EXPECT_EQ(test::ReadAll(CtyPath()), fixture_) << "statistics slots are not written";
}

TEST_F(CountryFileTest, WithoutStatisticsNoBlocks)
{
    test::WriteAll(CtyPath(), fixture_);
    ASSERT_TRUE(LoadCountryFile(false));
    for (std::uint16_t i = 0; i < 8; ++i)
        EXPECT_EQ(CountryStatistics(i), nullptr);
}

// The fixture rewritten with 2-byte counts and no magic: the old format.
std::string ToOldFormat(const std::string& ctyb)
{
    const auto* b = reinterpret_cast<const std::uint8_t*>(ctyb.data());
    std::string out;
    std::size_t pos = 4;
    const bool tail[9] = {true, false, false, true, false, true, false, true, true};
    for (bool isTail : tail) {
        const std::uint16_t size = GetU16(b, pos);
        const std::uint32_t count = GetU32(b, pos + 2);
        out.append(ctyb, pos, 2);
        out.push_back(static_cast<char>(count & 0xFF));
        out.push_back(static_cast<char>(count >> 8));
        pos += 6;
        const std::size_t start = pos;
        for (std::uint32_t i = 0; i < count; ++i)
            pos += isTail ? 2 + GetU16(b, pos) : size;
        out.append(ctyb, start, pos - start);
    }
    EXPECT_EQ(pos, ctyb.size());
    return out;
}

TEST_F(CountryFileTest, OldFormatLoadsAndIsSavedWithTheMagic)
{
    const std::string old = ToOldFormat(fixture_);
    ASSERT_NE(old.substr(0, 4), "CTYB");
    test::WriteAll(CtyPath(), old);
    ASSERT_TRUE(LoadCountryFile(false));
    EXPECT_TRUE(CountryDb.Countries->ShortCount());
    EXPECT_EQ(CountryOfCall("DL0XYZ", test::Day(2005, 1, 1)), 2);
    SaveCountryFile(true);
    EXPECT_EQ(test::ReadAll(CtyPath()), fixture_);
}

TEST_F(CountryFileTest, EveryTruncationIsRefused)
{
    for (const std::string& file : {fixture_, ToOldFormat(fixture_)})
        for (std::size_t n = 0; n < file.size(); ++n) {
            TCountryData d;
            ASSERT_FALSE(ReadCountryDatabase(file.substr(0, n), d, true)) << n;
            ASSERT_FALSE(d.Loaded());
        }
}

TEST_F(CountryFileTest, TruncatedFileIsRefusedWithTheMessageAndTheLoadedDataStay)
{
    test::WriteAll(CtyPath(), fixture_);
    ASSERT_TRUE(LoadCountryFile(false));
    int failCalls = 0;
    SetCountryFileFailHandler([&] { ++failCalls; });
    ScopedMessageRecorder rec;
    test::WriteAll(CtyPath(), fixture_.substr(0, fixture_.size() - 1));
    EXPECT_FALSE(LoadCountryFile(false));
    ASSERT_EQ(rec.messages().size(), 1u);
    EXPECT_EQ(rec.messages()[0].text, kFailText);
    EXPECT_EQ(rec.messages()[0].kind, TMsgDlgType::mtError);
    EXPECT_EQ(rec.messages()[0].buttons, static_cast<unsigned>(mbOK));
    EXPECT_EQ(failCalls, 1);
    EXPECT_EQ(CountryCount(), 8);
    EXPECT_EQ(CountryOfCall("KH6ABC", 0), 4);
}

TEST_F(CountryFileTest, DamagedSizesCountsAndStringsAreRefused)
{
    ScopedMessageRecorder rec;
    auto refused = [&](std::string bytes, const char* what) {
        test::WriteAll(CtyPath(), bytes);
        EXPECT_FALSE(LoadCountryFile(false)) << what;
    };
    const std::size_t prefixes = 4 + 6 + [&] {
        // skip the countries collection
        const auto* b = reinterpret_cast<const std::uint8_t*>(fixture_.data());
        std::size_t pos = 10, n = GetU32(b, 6);
        std::size_t len = 0;
        for (std::size_t i = 0; i < n; ++i) {
            len += 2 + GetU16(b, pos);
            pos += 2 + GetU16(b, pos);
        }
        return len;
    }();
    std::string b = fixture_;
    b[prefixes] = 10; // prefix mappings of 10 bytes: not this program's records
    refused(b, "item size");
    b = fixture_;
    PutU32(reinterpret_cast<std::uint8_t*>(b.data()), prefixes + 2, 0x7FFFFFFF);
    refused(b, "huge count");
    b = fixture_;
    b[prefixes + 6] = 11; // a prefix of 11 characters in a 4-character field
    refused(b, "prefix length");
    b = fixture_;
    PutU16(reinterpret_cast<std::uint8_t*>(b.data()), 4, 60); // countries with a 60-byte key part
    refused(b, "key length");
    b = fixture_;
    PutU16(reinterpret_cast<std::uint8_t*>(b.data()), 10, 5000); // first country record 5000 bytes
    refused(b, "record size");
    refused("", "empty file");
    EXPECT_EQ(rec.texts(), std::vector<std::string>(6, kFailText));
    EXPECT_FALSE(CountryDb.Loaded());
}

TEST_F(CountryFileTest, MissingFileFailsAndEmptyWellFormedFileLoads)
{
    ScopedMessageRecorder rec;
    EXPECT_FALSE(LoadCountryFile(false));
    EXPECT_EQ(rec.texts(), std::vector<std::string>{kFailText});
    EXPECT_FALSE(CountryFileLoads(CtyPath()));

    test::WriteAll(CtyPath(), CountryDatabaseBytes(TCountryData::Empty()));
    EXPECT_TRUE(CountryFileLoads(CtyPath()));
    ASSERT_TRUE(LoadCountryFile(false));
    EXPECT_EQ(CountryOfCall("W1AW", 0), 0);
    EXPECT_EQ(CountryName(0), "");
}

TEST_F(CountryFileTest, ModifiedFlagsFollowBackupAndFileWrites)
{
    test::WriteAll(CtyPath(), fixture_);
    ASSERT_TRUE(LoadCountryFile(false));
    int hookCalls = 0;
    SetCountryModifiedHook([&] { ++hookCalls; });
    SetCountryDataModified();
    EXPECT_EQ(hookCalls, 1);
    EXPECT_TRUE(CountryDataModified());
    SaveCountryFile(false);
    EXPECT_TRUE(std::filesystem::exists(home_.file("KORVAL.CTB")));
    EXPECT_FALSE(CountryDataModified());
    EXPECT_TRUE(CountryFileOutdated());
    EXPECT_TRUE(CountryDataChanged());
    SaveCountryFile(false); // nothing new: the backup keeps the file outdated
    EXPECT_TRUE(CountryDataChanged());
    SaveCountryFile(true);
    EXPECT_FALSE(CountryDataChanged());
    EXPECT_TRUE(CountryFileLoads(home_.file("KORVAL.CTB")));
}

TEST_F(CountryFileTest, FailedSaveLeavesTheOldFileAndTheFlags)
{
    test::WriteAll(CtyPath(), fixture_);
    ASSERT_TRUE(LoadCountryFile(false));
    SetCountryDataModified();
    TCountryRecord extra;
    extra.Prefix = "ZZ9";
    CountryDb.Countries->InsertRecord(extra.ToBytes().data());
    // the keep-backup copy cannot be made: a folder stands where it goes
    const TConfigRecord saved = Config;
    Config.SetKeepBackup(true);
    std::filesystem::create_directories(home_.file("SAVE/KORVAL.~TY/x"));
    EXPECT_THROW(SaveCountryFile(true), EFileWriteError);
    Config = saved;
    EXPECT_EQ(test::ReadAll(CtyPath()), fixture_);
    EXPECT_TRUE(CountryDataModified());
}

TEST_F(CountryFileTest, CloseWithoutSaveReloadsAChangedDatabase)
{
    test::WriteAll(CtyPath(), fixture_);
    ASSERT_TRUE(LoadCountryFile(false));
    SetQslManager("OE1XX", 100, "OE1YY");
    CountryDataOnClose(false);
    EXPECT_EQ(GetQslManager("OE1XX", 200), "");
    SetQslManager("OE1XX", 100, "OE1YY");
    CountryDataOnClose(true);
    ASSERT_TRUE(LoadCountryFile(false));
    EXPECT_EQ(GetQslManager("OE1XX", 200), "OE1YY");
}

TEST_F(CountryFileTest, OwnCallsignFillsTextsAndMarksTheHomeCountry)
{
    test::WriteAll(CtyPath(), fixture_);
    ASSERT_TRUE(LoadCountryFile(false));
    const TConfigRecord saved = Config;
    Config.SetOwnCall("KH6ABCDEFGHIJKLMNOPQ");
    Config.SetLabelGreeting(0, "@@ 73 de ~");
    ApplyOwnCallsign();
    EXPECT_EQ(Config.LabelGreeting(0), "@@ 73 de KH6ABCDEFGHIJKLMNOPQ");
    EXPECT_EQ(Config.TalkPattern(0), "KH6ABCDEFGHIJKLMNOPQ") << "cut to 20 characters";
    EXPECT_EQ(HomeCountry(), 4);
    EXPECT_TRUE(CountryDataModified());
    Config.SetOwnCall("DL1ABC");
    Config.SetTalkPattern(1, "~ DE *");
    ApplyOwnCallsign();
    EXPECT_EQ(Config.TalkPattern(1), "DL1ABC DE *");
    EXPECT_EQ(HomeCountry(), 1) << "the mark moves";
    Config = saved;
}

TEST_F(CountryFileTest, InstalledLookupServesTheLogbook)
{
    test::WriteAll(CtyPath(), fixture_);
    ASSERT_TRUE(LoadCountryFile(true));
    TQsoLookup* before = SetQsoLookup(nullptr);
    InstallCountryLookup();
    TQsoRecord q;
    q.Call = "KL7XYZ";
    q.Date = test::Day(2020, 1, 1);
    QsoLookup().LookupCall(q);
    EXPECT_EQ(q.Country, 5);
    EXPECT_EQ(q.Zone, 1);
    EXPECT_EQ(q.State, 1);
    TShortStr<7> wpx;
    QsoLookup().CalcWPXPrefix("W1XYZ/6", wpx);
    EXPECT_EQ(wpx.view(), "W6");
    EXPECT_EQ(QsoLookup().CountryStatusBlock(5), CountryStatistics(5));
    EXPECT_EQ(QsoLookup().WpxStatusBlock("W6", false), nullptr);
    TAwardStatusBlock* w6 = QsoLookup().WpxStatusBlock("W6", true);
    ASSERT_NE(w6, nullptr);
    w6->Merge(0, asWorked);
    QsoLookup().WpxStatusBlock("AA1", true);
    EXPECT_EQ(QsoLookup().WpxStatusBlock("W6", false), w6) << "blocks stay put when others are added";
    EXPECT_EQ(w6->Status(0), asWorked);
    QsoLookup().ClearWpxStatus();
    EXPECT_EQ(QsoLookup().WpxStatusBlock("W6", false), nullptr);
    SetQsoLookup(before);
}

} // namespace
} // namespace korval

namespace korval {
namespace {

TEST(CountryStates, ALongerStoredKeyPartStillGivesZoneAndName)
{
    TCountryData db = test::MakeFixtureDb();
    db.States = std::make_unique<TTwoIndex>(6);
    for (auto [abbrev, zone, name] : {std::tuple{"", 0, ""}, std::tuple{"CA", 3, "California"}}) {
        std::uint8_t rec[6 + 1 + 16] = {};
        PutShortStr(rec, 0, 2, abbrev);
        rec[3] = static_cast<std::uint8_t>(zone);
        PutShortStr(rec, 6, 16, name);
        db.States->InsertRecord(rec);
    }
    TCountryData loaded;
    ASSERT_TRUE(ReadCountryDatabase(CountryDatabaseBytes(db), loaded, false));
    CountryDb = std::move(loaded);
    TUsStateRecord st;
    ASSERT_TRUE(GetState(1, st));
    EXPECT_EQ(st.Abbrev, "CA");
    EXPECT_EQ(st.CqZone, 3);
    EXPECT_EQ(st.Name, "California");
    EXPECT_FALSE(GetState(2, st));
    FreeCountryData(false);
}

} // namespace
} // namespace korval

namespace korval {
namespace {

std::string BadInput(const char* name) { return test::ReadAll(std::string(KORVAL_TEST_DATA) + "/" + name); }

// cty-state-keylen-5.cty: an empty database but for two US states stored with a 5-byte key
// part, whose fifth key byte (200) sits where a 4-byte key part would have the name's length.
TEST(CountryStates, NamesAreReadAfterTheStoredKeyPart)
{
    TCountryData loaded;
    std::string reason;
    ASSERT_TRUE(ReadCountryDatabase(BadInput("cty-state-keylen-5.cty"), loaded, false, &reason)) << reason;
    ASSERT_EQ(loaded.States->KeyLen(), 5);
    ASSERT_EQ(loaded.States->Count(), 2);
    std::string tail;
    loaded.States->GetTail(1, tail);
    const TUsStateRecord direct = TUsStateRecord::FromBytes(loaded.States->Record(1), loaded.States->KeyLen());
    EXPECT_EQ(direct.Abbrev, "TX");
    EXPECT_EQ(direct.Name, tail);
    CountryDb = std::move(loaded);
    TUsStateRecord st;
    ASSERT_TRUE(GetState(1, st));
    EXPECT_EQ(st.Abbrev, "TX");
    EXPECT_EQ(st.Name, tail);
    FreeCountryData(false);
}

// cty-state-keylen-65534.cty: US states with a 65534-byte key part, so key part, length byte
// and tail no longer fit the 16-bit record size.
TEST(CountryStates, AKeyPartWithoutRoomForItsTailIsRefused)
{
    TCountryData loaded;
    std::string reason;
    EXPECT_FALSE(ReadCountryDatabase(BadInput("cty-state-keylen-65534.cty"), loaded, false, &reason));
    EXPECT_NE(reason.find("key length"), std::string::npos) << reason;
    EXPECT_FALSE(loaded.Loaded());
}

} // namespace
} // namespace korval
