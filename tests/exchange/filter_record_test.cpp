// Filter records: the stored layout, the filter file, the list's ID rules and the field rules.
#include "exchange_fixture.h"

#include "exchange/filter_record.h"
#include "exchange/translation_table.h"
#include "logbook/base/record_bytes.h"

#include <filesystem>

using namespace korval;
using namespace korval::test;

TEST(FilterRecord, LayoutIsPinned)
{
    TFilterRecord r;
    r.Ext = "ADI";
    r.RecLen = 120;
    r.Id = "ADIF";
    r.Usage = fuImpExp;
    r.Description = "ADIF 3";
    r.DateChar = '-';
    r.Modified = 154000;
    r.NoteExt = "NOT";
    r.FilterImport = true;
    r.Field(fiZone) = {116, 0, 2};
    r.Field(fiAwdGroup) = {1, 2, 3};
    const std::string b = r.ToBytes();
    ASSERT_EQ(b.size(), 193u);
    const auto* p = reinterpret_cast<const std::uint8_t*>(b.data());
    EXPECT_EQ(GetShortStr(p, 0, 3), "ADI");
    EXPECT_EQ(p[4], 120);
    EXPECT_EQ(GetShortStr(p, 5, 8), "ADIF");
    EXPECT_EQ(p[14], 1);
    EXPECT_EQ(GetShortStr(p, 15, 30), "ADIF 3");
    EXPECT_EQ(p[46], '-');
    EXPECT_EQ(GetI32(p, 47), 154000);
    EXPECT_EQ(GetShortStr(p, 51, 3), "NOT");
    EXPECT_EQ(p[55], 0);
    EXPECT_EQ(p[56], 1);
    EXPECT_EQ(p[58], 1);
    EXPECT_EQ(p[60], 3);
    EXPECT_EQ(p[58 + 3 * 44], 116);
    EXPECT_EQ(TFilterRecord::FromBytes(p), r);
}

TEST_F(ExchangeTest, FilterFileKeepsRecordsAndAnEmptyListIsSaved)
{
    TFilterRecord a;
    a.Id = "ZED";
    TFilterRecord b;
    b.Id = "ADIF";
    const std::string path = FilterFileName();
    SaveFilterFile(path, {a, b});
    std::vector<TFilterRecord> back = LoadFilterFile(path);
    ASSERT_EQ(back.size(), 2u);
    EXPECT_EQ(back[0].Id, "ADIF");  // written in ID order
    EXPECT_EQ(ReadAll(path).size(), 386u);
    SaveFilterFile(path, {});
    EXPECT_TRUE(std::filesystem::exists(path));
    EXPECT_TRUE(LoadFilterFile(path).empty());
    bool damaged = false;
    WriteAll(path, a.ToBytes() + "xyz");
    EXPECT_EQ(LoadFilterFile(path, &damaged).size(), 1u);
    EXPECT_TRUE(damaged);
}

TEST(FilterList, IdsAreUniqueAndCopiesKeepTheirKind)
{
    TFilterList list;
    TFilterRecord adif;
    adif.Id = "ADIF";
    adif.Description = "ADIF files";
    TFilterRecord fixed;
    fixed.Id = "DXBASE";
    ASSERT_TRUE(list.Add(adif));
    ASSERT_TRUE(list.Add(fixed));
    EXPECT_FALSE(list.Add(adif));
    int c = list.Copy(list.IndexOf("ADIF"), 5);
    ASSERT_GE(c, 0);
    EXPECT_TRUE(list.At(c).IsAdif());
    EXPECT_EQ(list.At(c).Id, "ADIF&");
    EXPECT_EQ(list.At(c).Description, "Cpy ADIF files");
    EXPECT_EQ(list.At(c).Modified, 5);
    int c2 = list.Copy(list.IndexOf("ADIF"), 5);
    EXPECT_EQ(list.At(c2).Id, "ADIF&1");
    int d = list.Copy(list.IndexOf("DXBASE"), 5);
    EXPECT_EQ(list.At(d).Id, "&DXBASE");
    // Renaming onto another filter's ID is refused.
    TFilterRecord renamed = list.At(d);
    renamed.Id = "ADIF";
    EXPECT_FALSE(list.Replace(d, renamed));
    EXPECT_EQ(list.New(9), list.New(9));
    EXPECT_EQ(list.Count(), 6);
}

TEST(FilterList, IdCharacters)
{
    for (const char* good : {"ADIF", "A_B-1", "&DXBASE", "", "12345678"})
        EXPECT_TRUE(IsValidFilterId(good)) << good;
    for (const char* bad : {"../X", "A B", "a", "X.BAT", "123456789", "A/B"})
        EXPECT_FALSE(IsValidFilterId(bad)) << bad;
}

TEST(FilterFields, LengthRules)
{
    EXPECT_TRUE(FieldLengthRule(fiBand, bfFreqMHz).Editable);
    EXPECT_EQ(FieldLengthRule(fiBand, bfKeyM).Length, 4);
    EXPECT_FALSE(FieldLengthRule(fiBand, bfKeyM).Editable);
    EXPECT_EQ(FieldLengthRule(fiDate, 7).Length, 11);  // DD-Mon-YYYY
    EXPECT_EQ(FieldFormats(fiQslDate).size(), 18u);
    EXPECT_EQ(FieldFormats(fiQslDate)[17], "Flag QSO date");
    EXPECT_EQ(FieldLengthRule(fiQslDate, QslDateFlagFormat).Length, 1);
    EXPECT_EQ(FieldLengthRule(fiZone, 0).Length, 2);
    EXPECT_TRUE(FieldLengthRule(fiCallsign, 1).Editable);
    EXPECT_STREQ(FilterFieldName(fiWpxMode), "WPX Mode award");
}

TEST(TranslationTable, LinesAndLookups)
{
    auto t = ParseTwoColumnText("K,291\nKH6,110 \nDL , 230\nF,227\nFR,227\nnothing\n");
    std::string s;
    ASSERT_TRUE(TranslateCodeToPrefix(*t, "291", s));
    EXPECT_EQ(s, "K");
    ASSERT_TRUE(TranslatePrefixToCode(*t, "KH6", s));
    EXPECT_EQ(s, "110");
    ASSERT_TRUE(TranslatePrefixToCode(*t, "DL ", s));
    EXPECT_EQ(s, " 230");
    ASSERT_TRUE(TranslateCodeToPrefix(*t, "227", s));
    EXPECT_EQ(s, "FR");  // the line read last wins
    EXPECT_FALSE(TranslateCodeToPrefix(*t, "1", s));
}
