#include "logbook/base/sorted_collection.h"

#include "logbook/base/record_bytes.h"

#include <gtest/gtest.h>

using namespace korval;

namespace {

std::string Short(std::string_view s)
{
    return std::string(1, static_cast<char>(s.size())) + std::string(s);
}

// A state-code record: string[3] code, then the state number.
std::string CodeRec(std::string_view code, std::uint8_t state)
{
    std::uint8_t b[5];
    PutShortStr(b, 0, 3, code);
    b[4] = state;
    return std::string(reinterpret_cast<char*>(b), 5);
}

// A US-state record: string[2] abbreviation, CQ zone, then the name as the tail.
std::string StateRec(std::string_view abbr, std::uint8_t zone, std::string_view name)
{
    std::uint8_t b[4];
    PutShortStr(b, 0, 2, abbr);
    b[3] = zone;
    return std::string(reinterpret_cast<char*>(b), 4) + Short(name);
}

std::string U16(std::uint16_t v) { return {static_cast<char>(v & 0xFF), static_cast<char>(v >> 8)}; }
std::string I32(std::int32_t v)
{
    std::uint8_t b[4];
    PutI32(b, 0, v);
    return std::string(reinterpret_cast<char*>(b), 4);
}

std::string Saved(const TOneIndex& c)
{
    TMemoryStream s;
    c.SaveToStream(s);
    return s.Bytes();
}
std::string Saved(const TOneIndexTail& c)
{
    TMemoryStream s;
    c.SaveToStream(s);
    return s.Bytes();
}

std::vector<std::string> Keys(const TSortedCollection& c)
{
    std::vector<std::string> keys;
    std::string k;
    for (int i = 0; i < c.Count(); ++i) {
        c.GetKeyString(i, k);
        keys.push_back(k);
    }
    return keys;
}

} // namespace

TEST(ShortStringCompare, ByteOrderAndAsciiFolding)
{
    struct C { const char* a; const char* b; int str; int text; };
    for (const C& c : {C{"AB", "ABC", -1, -1}, C{"ABC", "ABD", -1, -1}, C{"abc", "ABC", 1, 0},
                       C{"", "", 0, 0}, C{"\xE9", "\xC9", 1, 1}, C{"\xE9", "z", 1, 1}, C{"[", "a", -1, 1}}) {
        std::string a = Short(c.a), b = Short(c.b);
        EXPECT_EQ(CompareShortStr(a.data(), b.data()), c.str) << c.a << " / " << c.b;
        EXPECT_EQ(CompareShortText(a.data(), b.data()), c.text) << c.a << " / " << c.b;
        EXPECT_EQ(CompareShortText(b.data(), a.data()), -c.text) << c.b << " / " << c.a;
    }
}

TEST(SortedCollection, EqualKeysGoBeforeTheirEqualsAndSearchFindsTheFirst)
{
    TOneIndex c(5);
    std::int32_t index = -1;
    std::string key = Short("K");
    EXPECT_EQ(c.IndexOfKey(key.data()), -1);
    EXPECT_FALSE(c.Search(key.data(), index));
    EXPECT_EQ(index, 0);

    for (auto [code, n] : {std::pair{"NY", 1}, {"AZ", 2}, {"ny", 3}, {"CA", 4}, {"Ny", 5}, {"ZZ", 6}})
        c.InsertRecord(CodeRec(code, static_cast<std::uint8_t>(n)).data());
    EXPECT_EQ(Keys(c), (std::vector<std::string>{"AZ", "CA", "Ny", "ny", "NY", "ZZ"}));
    std::string ny = Short("nY");
    EXPECT_TRUE(c.Search(ny.data(), index));
    EXPECT_EQ(index, 2);
    EXPECT_EQ(c.Record(index)[4], 5);
    std::string mm = Short("MM");
    EXPECT_FALSE(c.Search(mm.data(), index));
    EXPECT_EQ(index, 2);
    EXPECT_EQ(c.IndexOfKey(mm.data()), -1);
    c.DeleteRecord(2);
    EXPECT_EQ(c.IndexOfKey(ny.data()), 2);
    EXPECT_EQ(c.Record(2)[4], 3);
}

TEST(OneIndex, SavedAndLoadedBackByteForByteAlsoFromSixteenBitCounts)
{
    TOneIndex c(5);
    for (auto [code, n] : {std::pair{"WA", 9}, {"AL", 1}, {"OR", 7}})
        c.InsertRecord(CodeRec(code, static_cast<std::uint8_t>(n)).data());
    std::string records = CodeRec("AL", 1) + CodeRec("OR", 7) + CodeRec("WA", 9);
    std::string saved = Saved(c);
    EXPECT_EQ(saved, U16(5) + I32(3) + records);

    TMemoryStream in(saved + "next");
    TOneIndex loaded(5);
    loaded.Load(in, false);
    EXPECT_EQ(loaded.Count(), 3);
    EXPECT_EQ(in.GetPosition(), static_cast<std::int64_t>(saved.size()));
    EXPECT_EQ(Saved(loaded), saved);

    // An old stream holds a 2-byte count; it is written back with 4 bytes.
    TMemoryStream old(U16(5) + U16(3) + records);
    TOneIndex fromOld(5);
    fromOld.Load(old, true);
    EXPECT_TRUE(fromOld.ShortCount());
    EXPECT_EQ(Saved(fromOld), saved);
    std::uint8_t rec[5];
    fromOld.GetRecord(1, rec);
    EXPECT_EQ(GetShortStr(rec, 0, 3), "OR");
    EXPECT_EQ(rec[4], 7);

    TMemoryStream skip(saved + U16(5) + I32(0));
    TOneIndex skipped(5);
    skipped.LoadSkip(skip, false);
    EXPECT_EQ(skipped.Count(), 0);
    EXPECT_EQ(skip.GetPosition(), static_cast<std::int64_t>(saved.size()));
}

TEST(TwoIndex, SavedAndLoadedBackByteForByteWithItsNameOrderRebuilt)
{
    TTwoIndex c(4);
    c.InsertRecord(StateRec("NY", 5, "New York").data());
    c.InsertRecord(StateRec("AK", 1, "Alaska").data());
    c.InsertRecord(StateRec("CA", 3, "California").data());
    c.InsertRecord(StateRec("AL", 4, "Alabama").data());
    std::string records;
    for (auto rec : {StateRec("AK", 1, "Alaska"), StateRec("AL", 4, "Alabama"), StateRec("CA", 3, "California"),
                     StateRec("NY", 5, "New York")})
        records += U16(static_cast<std::uint16_t>(rec.size())) + rec;
    std::string saved = Saved(c);
    EXPECT_EQ(saved, U16(4) + I32(4) + records);

    TMemoryStream old(U16(4) + U16(4) + records);
    TTwoIndex loaded(4);
    loaded.Load(old, true);
    EXPECT_EQ(Saved(loaded), saved);
    std::string s;
    loaded.GetTailByTail(0, s);
    EXPECT_EQ(s, "Alabama");
    loaded.GetKeyStringByTail(1, s);
    EXPECT_EQ(s, "AK");
    EXPECT_EQ(loaded.TailPtrByTail(3)[1], 'N');
    EXPECT_EQ(loaded.IndexOfTail("CALIFORNIA"), 2);
    std::int32_t at;
    EXPECT_FALSE(loaded.SearchTail("Arizona", at));
    EXPECT_EQ(at, 2);

    loaded.DeleteRecord(2);  // California, in key order
    EXPECT_EQ(loaded.IndexOfTail("California"), -1);
    EXPECT_EQ(loaded.ByTail().Count(), 3);
    loaded.InsertRecord(StateRec("CX", 3, "alaska").data());
    EXPECT_EQ(loaded.IndexOfTail("Alaska"), 1);
    loaded.DeleteRecord(loaded.IndexOfKey(Short("CX").data()));
    EXPECT_EQ(loaded.IndexOfTail("ALASKA"), 1) << "another record with an equal name stays findable";

    TMemoryStream skip(saved);
    TTwoIndex skipped(4);
    skipped.LoadSkip(skip, false);
    EXPECT_EQ(skipped.Count(), 0);
    EXPECT_EQ(skip.Remaining(), 0);
}

TEST(OneIndexTail, LinesAreJoinedWithByte255AndCutAt255)
{
    TOneIndexTail c(13);
    std::uint8_t key[13];
    PutShortStr(key, 0, 12, "W1AW");
    std::int32_t i = c.InsertLines(key, {"A", "B"});
    std::string tail;
    c.GetTail(i, tail);
    EXPECT_EQ(tail, "A\xFF" "B");
    std::vector<std::string> lines;
    c.GetLines(i, lines);
    EXPECT_EQ(lines, (std::vector<std::string>{"A", "B"}));

    PutShortStr(key, 0, 12, "K1ABC");
    i = c.InsertLines(key, {});
    c.GetTail(i, tail);
    EXPECT_EQ(tail, "");
    c.GetLines(i, lines);
    EXPECT_TRUE(lines.empty());

    PutShortStr(key, 0, 12, "N0XYZ");
    i = c.InsertLines(key, {std::string(200, 'x'), std::string(100, 'y'), "lost"});
    c.GetTail(i, tail);
    EXPECT_EQ(tail.size(), 254u);  // cut to 255, then the final character dropped
    EXPECT_EQ(tail, std::string(200, 'x') + "\xFF" + std::string(53, 'y'));
    EXPECT_EQ(c.RecordSize(c.Record(i)), 13 + 255);
}

namespace {
// Descending order of the key string: a stored stream in this order is valid for this class only.
class DescendingIndex : public TOneIndex {
public:
    using TOneIndex::TOneIndex;
    std::int32_t Compare(const void* a, const void* b) const override { return CompareShortStr(b, a); }
};
} // namespace

TEST(OneIndex, StoredOrderIsCheckedWithTheCollectionsOwnCompare)
{
    DescendingIndex c(5);
    for (auto code : {"AA", "CC", "BB"})
        c.InsertRecord(CodeRec(code, 0).data());
    TMemoryStream s(Saved(c));
    DescendingIndex loaded(5);
    loaded.Load(s, false);
    EXPECT_EQ(Keys(loaded), (std::vector<std::string>{"CC", "BB", "AA"}));
    TMemoryStream again(Saved(c));
    TOneIndex ascending(5);
    EXPECT_THROW(ascending.Load(again, false), EReadError);
}

struct DamageCase {
    const char* what;
    std::string bytes;
    bool tail;  // a TOneIndexTail (key length 4) rather than a TOneIndex of 5-byte records
};

class DamagedCollectionStream : public ::testing::TestWithParam<DamageCase> {};

TEST_P(DamagedCollectionStream, IsRefusedAndLeavesTheCollectionEmpty)
{
    const DamageCase& c = GetParam();
    TMemoryStream s(c.bytes);
    if (c.tail) {
        TTwoIndex t(4);
        t.InsertRecord(StateRec("XX", 1, "Before").data());
        EXPECT_THROW(t.Load(s, false), EReadError) << c.what;
        EXPECT_EQ(t.Count(), 0);
        EXPECT_EQ(t.ByTail().Count(), 0);
    } else {
        TOneIndex o(5);
        o.InsertRecord(CodeRec("XX", 1).data());
        EXPECT_THROW(o.Load(s, false), EReadError) << c.what;
        EXPECT_EQ(o.Count(), 0);
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, DamagedCollectionStream, ::testing::Values(
    DamageCase{"no bytes", "", false},
    DamageCase{"record size differs", U16(6) + I32(1) + CodeRec("AB", 1) + "x", false},
    DamageCase{"record size 0", U16(0) + I32(1), false},
    DamageCase{"negative count", U16(5) + I32(-1), false},
    DamageCase{"count beyond the bytes", U16(5) + I32(3) + CodeRec("AB", 1) + CodeRec("CD", 2), false},
    DamageCase{"huge count", U16(5) + I32(0x7FFFFFFF) + CodeRec("AB", 1), false},
    DamageCase{"out of order", U16(5) + I32(2) + CodeRec("CD", 1) + CodeRec("AB", 2), false},
    DamageCase{"key string longer than the record", U16(5) + I32(1) + std::string("\x09" "ABCD", 5), false},
    DamageCase{"key length differs", U16(5) + I32(0), true},
    DamageCase{"record size below the key", U16(4) + I32(1) + U16(3) + "abc", true},
    DamageCase{"record size beyond the end", U16(4) + I32(1) + U16(60) + StateRec("AB", 1, "x"), true},
    DamageCase{"tail longer than the record", U16(4) + I32(1) + U16(6) + StateRec("AB", 1, "xyz").substr(0, 6), true},
    DamageCase{"names out of key order", U16(4) + I32(2) + U16(7) + StateRec("NY", 1, "a") + U16(7) + StateRec("AK", 1, "b"), true}));

TEST(DamagedCollectionStream, EveryTruncationIsRefused)
{
    TTwoIndex t(4);
    TOneIndex o(5);
    for (auto abbr : {"AK", "AL", "CA", "NY"}) {
        t.InsertRecord(StateRec(abbr, 3, std::string("Name of ") + abbr).data());
        o.InsertRecord(CodeRec(abbr, 3).data());
    }
    for (const std::string& full : {Saved(t), Saved(o)}) {
        bool isTail = full[0] == 4;
        for (std::size_t n = 0; n < full.size(); ++n) {
            TMemoryStream s(full.substr(0, n));
            if (isTail) {
                TTwoIndex c(4);
                EXPECT_THROW(c.Load(s, false), EReadError) << n;
            } else {
                TOneIndex c(5);
                EXPECT_THROW(c.Load(s, false), EReadError) << n;
            }
        }
    }
}

namespace {
// Records that begin with a 16-bit date rather than a key string, as the events calendar keeps them.
class ByDateIndex : public TOneIndex {
public:
    ByDateIndex() : TOneIndex(4) {}
    std::int32_t Compare(const void* a, const void* b) const override
    {
        return GetU16(static_cast<const std::uint8_t*>(a), 0) - GetU16(static_cast<const std::uint8_t*>(b), 0);
    }

protected:
    bool RecordIsSound(const std::uint8_t*, std::size_t) const override { return true; }
};
} // namespace

TEST(OneIndex, RecordsWithoutALeadingKeyStringLoadWhenTheirClassSaysHow)
{
    std::string bytes = U16(4) + I32(2) + U16(40000) + "ab" + U16(40001) + "cd";
    TMemoryStream s(bytes);
    ByDateIndex c;
    c.Load(s, false);
    EXPECT_EQ(c.Count(), 2);
    TMemoryStream again(bytes);
    TOneIndex plain(4);  // 40000 = 0x9C40: read as a key string it would run past the record
    EXPECT_THROW(plain.Load(again, false), EReadError);
}

TEST(ShortStringKey, AnEmptyViewWithoutCharactersGivesTheEmptyKey)
{
    // A default string_view has no character array at all.
    const TShortStrKey key = MakeShortStrKey(std::string_view());
    EXPECT_EQ(key[0], 0);
    std::uint8_t field[6] = {9, 9, 9, 9, 9, 9};
    PutShortStr(field, 0, 5, std::string_view());
    EXPECT_EQ(GetShortStr(field, 0, 5), "");
    EXPECT_EQ(field[5], 0);
}
