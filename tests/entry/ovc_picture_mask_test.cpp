#include "entry/ovc_picture_mask.h"

#include <gtest/gtest.h>

namespace korval {
namespace {

enum IntlKind { kUs, kEuro };

const TOvcFieldIntl& IntlOf(IntlKind k)
{
    static TOvcFieldIntl us;
    static TOvcFieldIntl euro = [] {
        TOvcFieldIntl i;
        i.DecimalChar = ',';
        i.ThousandsChar = '.';
        return i;
    }();
    return k == kEuro ? euro : us;
}

struct MergeCase {
    const char* mask;
    int maxLength;
    bool numeric;  // numeric field class
    bool real;
    IntlKind intl;
    const char* value;
    const char* merged;
    const char* stripped;
};

void PrintTo(const MergeCase& c, std::ostream* os) { *os << '"' << c.mask << "\" <- \"" << c.value << '"'; }

class MergeStrip : public ::testing::TestWithParam<MergeCase> {};

TEST_P(MergeStrip, MergesAndStrips)
{
    const MergeCase& c = GetParam();
    TOvcPictureMask m(c.mask, c.maxLength);
    m.NumericClass = c.numeric;
    m.RealType = c.real;
    m.Intl = &IntlOf(c.intl);
    const std::string merged = m.MergeValueIntoMask(c.value);
    EXPECT_EQ(merged, c.merged);
    EXPECT_EQ(m.StripMaskLiterals(merged), c.stripped);
}

INSTANTIATE_TEST_SUITE_P(
    SampleMasks, MergeStrip,
    ::testing::Values(
        // Floating currency: the sign right-aligned against the first digit, separators where digits
        // stand to their left, the fraction padded with zeros.
        MergeCase{"$##,###.##", 0, false, true, kUs, "1234.5", " $1,234.50", " 1234.50"},
        MergeCase{"$##,###.##", 0, false, true, kUs, "-1234.5", "-$1,234.50", "-1234.50"},
        MergeCase{"$##,###.##", 0, false, true, kUs, "0.5", "     $0.50", "     0.50"},
        MergeCase{"$##,###.##", 0, false, true, kUs, "12", "    $12.00", "    12.00"},
        // Decimal comma with "." as the thousands separator.
        MergeCase{"$##,###.##", 0, false, true, kEuro, "1234.5", " $1.234,50", " 1234.50"},
        MergeCase{"$##,###.##", 0, false, true, kEuro, "-2345.67", "-$2.345,67", "-2345.67"},
        // Separators only as needed; the minus sign just left of the digits without "$".
        MergeCase{"ii,iii,iii", 0, true, false, kUs, "1234", "     1,234", "     1234"},
        MergeCase{"ii,iii,iii", 0, true, false, kUs, "-1234567", "-1,234,567", "-1234567"},
        MergeCase{"ii,iii,iii", 0, true, false, kUs, "-12", "       -12", "       -12"},
        // Fixed decimal position, a blank before the point becomes 0.
        MergeCase{"#######.##", 0, false, true, kUs, "12.5", "     12.50", "     12.50"},
        MergeCase{"#######.##", 0, false, true, kUs, ".25", "      0.25", "      0.25"},
        MergeCase{"#######.##", 0, false, true, kEuro, "-3.1", "     -3,10", "     -3.10"},
        // Currency string at the right ("C") and at the left ("c").
        MergeCase{"###,###.##C", 0, false, true, kUs, "1234.5", "  1,234.50$", "  1234.50"},
        MergeCase{"ccc##.##", 0, false, true, kUs, "12.5", "  $12.50", "12.50"},
        // Hexadecimal fills with zeros.
        MergeCase{"KKKKKKKK", 0, false, false, kUs, "FF", "000000FF", "000000FF"},
        // Literal masks merge from the left and case-convert.
        MergeCase{"(999) 999-9999", 0, false, false, kUs, "5551234567", "(555) 123-4567", "5551234567"},
        MergeCase{"99999-9999", 0, false, false, kUs, "1234", "1234 -    ", "1234     "},
        MergeCase{"!!!!!", 0, false, false, kUs, "ab1", "AB1  ", "AB1  "},
        MergeCase{"LLL", 0, false, false, kUs, "ABC", "abc", "abc"},
        MergeCase{"mm/dd/yy", 0, false, false, kUs, "120524", "12/05/24", "120524"},
        // The mask's last character covers positions past its end.
        MergeCase{"X", 10, false, false, kUs, "any text", "any text  ", "any text  "},
        // A real value without a point in the mask merges as text, its point shown as the decimal character.
        MergeCase{"##########", 0, false, true, kEuro, "12.5", "12,5      ", "12,5      "},
        // Too long for the field: trailing zeros go first.
        MergeCase{"#####", 0, false, true, kUs, "12.50000", "12.5 ", "12.5 "}));

TEST(PictureMask, RightJustifiedTextFillsFromTheRight)
{
    TOvcPictureMask m("XXXXX");
    m.RightJustify = true;
    EXPECT_EQ(m.MergeValueIntoMask("ab"), "   ab");
}

TEST(PictureMask, SubstitutionCharactersShowTheirSubstitute)
{
    TOvcFieldIntl intl;
    intl.Substitutes[0] = '-';
    TOvcPictureMask m(std::string("99") + char(241) + "99");
    m.Intl = &intl;
    const std::string merged = m.MergeValueIntoMask("1234");
    EXPECT_EQ(merged, "12-34");
    EXPECT_EQ(m.StripMaskLiterals(merged), "1234");
}

TEST(PictureMask, PositionFlagsAndPositions)
{
    TOvcPictureMask plain("XXXXX");
    EXPECT_TRUE(plain.NoLiterals());
    EXPECT_EQ(plain.FirstEditablePos(), 0);
    EXPECT_EQ(plain.LastEditablePosition(), 4);

    TOvcPictureMask lit("99-99");
    EXPECT_FALSE(lit.NoLiterals());
    EXPECT_TRUE(lit.IsLiteralPosition(2));
    EXPECT_EQ(lit.EndOfInput("12-  "), 2);
    EXPECT_EQ(lit.EndOfInput("12-3 "), 4);
    EXPECT_EQ(lit.EndOfInput("  -  "), 0);

    TOvcPictureMask cur("$##,###.##");
    EXPECT_EQ(cur.SemiLiteralCount(), 2);
    EXPECT_TRUE(cur.IsSemiLiteralPosition(0));
    EXPECT_TRUE(cur.IsSemiLiteralPosition(3));
    EXPECT_TRUE(cur.IsLiteralPosition(7));
    EXPECT_EQ(cur.DecimalPos(), 7);
    EXPECT_EQ(cur.FirstEditablePos(), 2);  // the first input position counts the semi-literals
    EXPECT_TRUE(cur.MergesNumerically());
    EXPECT_FALSE(lit.MergesNumerically());
}

TEST(PictureMask, StripLeavesABufferOfAnotherLengthAsItIs)
{
    TOvcPictureMask m("$##,###.##");
    EXPECT_EQ(m.StripMaskLiterals("$1,2"), "$1,2");
}

TEST(PictureMask, DisplayPadsAndHidesPasswords)
{
    TOvcPictureMask m("999-999");
    EXPECT_EQ(m.DisplayString("12 -4  ", false, '_', false, '*'), "12_-4__");
    EXPECT_EQ(m.DisplayString("12 -4  ", false, ' ', true, '*'), "** -*  ");
    EXPECT_EQ(m.DisplayString("12 -4  ", false, ' ', false, '*'), "12 -4  ");
    TOvcPictureMask num("######");
    EXPECT_EQ(num.DisplayString("   -12", true, '*', false, '#'), "***-12");
}

TEST(PictureMask, HidingSemiLiteralsKeepsDigitsInPlaceAndShowingRestoresThem)
{
    TOvcPictureMask m("$##,###.##");
    m.RealType = true;
    std::string buf = m.MergeValueIntoMask("1234.5");
    ASSERT_EQ(buf, " $1,234.50");
    EXPECT_TRUE(m.HideSemiLiterals(buf));
    EXPECT_EQ(buf, "   1234.50");
    EXPECT_TRUE(m.SemiLiteralsHidden);
    buf[2] = '9';  // the operator types another digit in front
    EXPECT_TRUE(m.ShowSemiLiterals(buf));
    EXPECT_EQ(buf, "$91,234.50");
    EXPECT_FALSE(m.SemiLiteralsHidden);
}

TEST(PictureMask, AlignsDigitsAroundThePoint)
{
    TOvcPictureMask m("#####.###");
    std::string buf = "1 2  .4 5";
    m.AlignAroundDecimalPoint(buf, 5, 0, true, true, 8);
    EXPECT_EQ(buf, "   12.450");
    buf = "     .   ";
    m.AlignAroundDecimalPoint(buf, 5, 0, true, true, 8);
    EXPECT_EQ(buf, "    0.000");
}

struct CharCase {
    char mask;
    char in;
    bool ok;
    char out;
};

class CharRules : public ::testing::TestWithParam<CharCase> {};

TEST_P(CharRules, AcceptsAndConverts)
{
    const CharCase& c = GetParam();
    char ch = c.in;
    EXPECT_EQ(IsValidChar(c.mask, ch, true, 'q', FieldIntl()), c.ok) << c.mask << " '" << c.in << "'";
    if (c.ok) {
        EXPECT_EQ(ch, c.out) << c.mask << " '" << c.in << "'";
    }
}

INSTANTIATE_TEST_SUITE_P(
    MaskTable, CharRules,
    ::testing::Values(CharCase{'X', '%', true, '%'}, CharCase{'!', 'a', true, 'A'}, CharCase{'!', char(0xE9), true, char(0xC9)},
                      CharCase{'L', 'Q', true, 'q'}, CharCase{'a', '5', false, 0}, CharCase{'a', '-', true, '-'},
                      CharCase{'A', char(0xFF), true, char(0x9F)}, CharCase{'9', '-', false, 0}, CharCase{'i', '-', true, '-'},
                      CharCase{'#', '.', true, '.'}, CharCase{'#', 'e', false, 0}, CharCase{'E', 'e', true, 'E'},
                      CharCase{'K', 'f', true, 'F'}, CharCase{'K', 'g', false, 0}, CharCase{'O', '8', false, 0},
                      CharCase{'b', '2', false, 0}, CharCase{'B', 't', true, 'T'}, CharCase{'B', 'y', false, 0},
                      CharCase{'Y', 'n', true, 'N'}, CharCase{'d', ' ', true, ' '}, CharCase{'N', 'j', true, 'J'},
                      CharCase{'X', '\0', false, 0}, CharCase{'-', '-', false, 0}));

TEST(CharRules, MixedCaseCapitalisesAfterBlankOrDash)
{
    char ch = 'j';
    EXPECT_TRUE(IsValidChar('x', ch, true, ' ', FieldIntl()));
    EXPECT_EQ(ch, 'J');
    ch = 'j';
    EXPECT_TRUE(IsValidChar('x', ch, true, 'o', FieldIntl()));
    EXPECT_EQ(ch, 'j');
}

TEST(CharRules, UserClassesUseTheirSetAndCase)
{
    TOvcFieldIntl intl;
    intl.UserCharSets[2].reset();
    intl.UserCharSets[2].set('q');
    intl.UserCharSets[2].set('Q');
    intl.UserCharCase[2] = 1;
    char ch = 'q';
    EXPECT_TRUE(IsValidChar('3', ch, true, ' ', intl));
    EXPECT_EQ(ch, 'Q');
    ch = 'z';
    EXPECT_FALSE(IsValidChar('3', ch, true, ' ', intl));
}

TEST(Ranges, TextConversionHonoursTheTypesOwnLimits)
{
    int64_t v = 0;
    EXPECT_FALSE(TextToInteger("70000", fsubWord, v));
    EXPECT_TRUE(TextToInteger(" 65535 ", fsubWord, v));
    EXPECT_EQ(v, 65535);
    EXPECT_TRUE(TextToInteger("", fsubByte, v));
    EXPECT_EQ(v, 0);
    EXPECT_FALSE(TextToInteger("-129", fsubShortInt, v));
    EXPECT_FALSE(TextToInteger("12a", fsubLongInt, v));
    long double d = 0;
    EXPECT_FALSE(TextToReal("4e38", fsubSingle, d));
    EXPECT_TRUE(TextToReal("-1.5", fsubSingle, d));
    EXPECT_EQ(d, -1.5L);
    EXPECT_FALSE(TextToReal("nan", fsubDouble, d));
}

TEST(Ranges, DefaultRangesByType)
{
    TOvcRangeSlot lo, hi;
    DefaultRange(fsubByte, lo, hi);
    EXPECT_EQ(SlotToInt(fsubByte, lo), 0);
    EXPECT_EQ(SlotToInt(fsubByte, hi), 255);
    DefaultRange(fsubInteger, lo, hi);
    EXPECT_EQ(SlotToInt(fsubInteger, lo), -32768);
    DefaultRange(fsubDate, lo, hi);
    EXPECT_EQ(SlotToInt(fsubDate, hi), 876581);
    DefaultRange(fsubExtended, lo, hi);
    EXPECT_EQ(SlotToFloat(fsubExtended, hi), 1.1e4932L);
    DefaultRange(fsubString, lo, hi);
    EXPECT_EQ(SlotToInt(fsubLongInt, hi), 0);
}

TEST(Ranges, IntegersInOtherBasesAreCutToTheTypesWidth)
{
    EXPECT_EQ(IntegerToText(255, fsubLongInt, TOvcNumberBase::Hex), "000000FF");
    EXPECT_EQ(IntegerToText(-1, fsubWord, TOvcNumberBase::Hex), "FFFF");
    EXPECT_EQ(IntegerToText(8, fsubLongInt, TOvcNumberBase::Octal), "000000000010");
    EXPECT_EQ(IntegerToText(5, fsubByte, TOvcNumberBase::Binary), "00000101");
    int64_t v = 0;
    EXPECT_TRUE(TextToIntegerBase("FFFF", fsubInteger, TOvcNumberBase::Hex, v));
    EXPECT_EQ(v, -1);
    EXPECT_FALSE(TextToIntegerBase(std::string(33, '1'), fsubLongInt, TOvcNumberBase::Binary, v));
    EXPECT_FALSE(TextToIntegerBase("2", fsubLongInt, TOvcNumberBase::Binary, v));
    EXPECT_FALSE(TextToIntegerBase("77777777777777", fsubLongInt, TOvcNumberBase::Octal, v));
    EXPECT_TRUE(TextToIntegerBase("", fsubLongInt, TOvcNumberBase::Octal, v));
    EXPECT_EQ(v, 0);
}

} // namespace
} // namespace korval
