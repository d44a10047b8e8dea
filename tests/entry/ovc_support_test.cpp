#include "entry/ovc_date.h"
#include "entry/ovc_support.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace korval;

TEST(OvcSupport, NumberTexts)
{
    char buf[64];
    EXPECT_STREQ(HexText16(buf, 0x1F3E), "1F3E");
    EXPECT_STREQ(HexText32(buf, 0xDEADBEEF), "DEADBEEF");
    EXPECT_STREQ(HexText32(buf, 0x1A), "0000001A");
    EXPECT_STREQ(OctalText32(buf, 8), "000000000010");
    EXPECT_STREQ(OctalText32(buf, 0xFFFFFFFF), "037777777777");
    EXPECT_STREQ(BinaryText(buf, 5), "00000000000000000000000000000101");
    EXPECT_STREQ(BinaryText(buf, 0x80000000u), "10000000000000000000000000000000");
    EXPECT_STREQ(FillChars(buf, '*', 3), "***");
    EXPECT_STREQ(FillChars(buf, '*', 0), "");
}

TEST(OvcSupport, TextToLong)
{
    struct Case {
        const char* text;
        bool ok;
        int32_t value;  // the value, or the 0-based error position
    };
    for (Case c : {Case{"0x1F", true, 31}, Case{"12a", false, 2}, Case{"123", true, 123},
                   Case{"  -45  \t", true, -45}, Case{"+7", true, 7}, Case{"0xFFFFFFFF", true, -1},
                   Case{"0x1G", false, 3}, Case{"0x", false, 2}, Case{"-", false, 1}, Case{"", false, 0},
                   Case{"2147483647", true, 2147483647}, Case{"-2147483648", true, INT32_MIN},
                   Case{"2147483648", false, 9}, Case{"1 2", false, 1}}) {
        int32_t v = 12345;
        EXPECT_EQ(TextToLong(c.text, v), c.ok) << '"' << c.text << '"';
        EXPECT_EQ(v, c.value) << '"' << c.text << '"';
    }
    std::string longText(256, '1');
    int32_t v = 0;
    EXPECT_FALSE(TextToLong(longText.c_str(), v));
    EXPECT_EQ(v, -1);
}

TEST(OvcSupport, BufferEdits)
{
    char s[300];
    std::strcpy(s, "abcdef");
    EXPECT_STREQ(DeleteCharAt(s, 2), "abdef");
    EXPECT_STREQ(DeleteCharAt(s, 9), "abdef");  // beyond the end: unchanged
    EXPECT_STREQ(InsertCharAt(s, 'c', 2), "abcdef");
    EXPECT_STREQ(InsertCharAt(s, '!', 6), "abcdef!");  // at the end appends
    EXPECT_STREQ(InsertCharAt(s, '?', 8), "abcdef!");
    EXPECT_STREQ(InsertChars(s, '-', 0, 2), "--abcdef!");
    EXPECT_STREQ(DeleteSub(s, 0, 2), "abcdef!");
    EXPECT_STREQ(DeleteSub(s, 4, 50), "abcd");
    EXPECT_STREQ(InsertSub(s, "XY", 1), "aXYbcd");
    char d[32];
    EXPECT_STREQ(CopySub(d, s, 1, 2), "XY");
    EXPECT_STREQ(CopySub(d, s, 4, 10), "cd");
    EXPECT_STREQ(CopySub(d, s, 6, 1), "");
    int pos = -1;
    EXPECT_TRUE(FindChar(s, 'b', pos));
    EXPECT_EQ(pos, 3);
    EXPECT_FALSE(FindChar(s, 'z', pos));
    EXPECT_TRUE(FindSub(s, "bc", pos));
    EXPECT_EQ(pos, 3);
    EXPECT_FALSE(FindSub(s, "", pos));
    EXPECT_FALSE(FindSub(s, "q", pos));
}

TEST(OvcSupport, Trimming)
{
    struct Case {
        char* (*fn)(char*);
        const char* in;
        const char* out;
    };
    for (Case c : {Case{TrimBlanks, "  ab c  ", "ab c"}, Case{TrimBlanks, "   ", ""},
                   Case{TrimTrailingControls, "ab \t\r\n", "ab"},
                   Case{TrimExponentZeros, "1.2300E+05", "1.23E+05"},
                   Case{TrimExponentZeros, "1.000E+05", "1E+05"},
                   Case{TrimExponentZeros, "100E2", "100E2"}, Case{TrimExponentZeros, "1.500", "1.500"},
                   Case{TrimFractionZeros, "1.500", "1.5"}, Case{TrimFractionZeros, "100", "100"},
                   Case{TrimFractionZeros, "2.000", "2."}}) {
        char buf[64];
        std::strcpy(buf, c.in);
        EXPECT_STREQ(c.fn(buf), c.out) << '"' << c.in << '"';
    }
}

TEST(OvcSupport, NormaliseRealText)
{
    struct Case {
        const char* in;
        char dec;
        const char* out;
    };
    for (Case c : {Case{" 12,5 ", ',', "12.5"}, Case{"12,", ',', "12"}, Case{".5", '.', "0.5"},
                   Case{"-.5", '.', "-0.5"}, Case{"", '.', "0"}, Case{"1E5", '.', "1.0000000000E5"},
                   Case{"3 . 25", '.', "3.25"}, Case{"7", '.', "7"}})
        EXPECT_EQ(NormaliseRealText(c.in, c.dec), c.out) << '"' << c.in << '"';
}

TEST(OvcSupport, Windows1252CaseAndLetters)
{
    EXPECT_EQ(CharUpper('a'), 'A');
    EXPECT_EQ(CharUpper('\xE9'), '\xC9');  // e acute
    EXPECT_EQ(CharUpper('\x9A'), '\x8A');  // s caron
    EXPECT_EQ(CharUpper('\xFF'), '\x9F');  // y diaeresis
    EXPECT_EQ(CharUpper('\xF7'), '\xF7');  // division sign
    EXPECT_EQ(CharLower('\xC0'), '\xE0');
    EXPECT_EQ(CharLower('\xD7'), '\xD7');  // multiplication sign
    EXPECT_EQ(CharLower('1'), '1');
    EXPECT_TRUE(OvcHighLetters().test(0xE9));
    EXPECT_FALSE(OvcHighLetters().test(0xD7));
    EXPECT_FALSE(OvcHighLetters().test('A'));
}

TEST(OvcSupport, UserDataDefaults)
{
    TOvcUserData u;
    EXPECT_EQ(u.UserCharSet('1').count(), 255u);
    EXPECT_FALSE(u.UserCharSet('8').test(0));
    EXPECT_EQ(u.UserCharSet('9').count(), 0u);
    EXPECT_EQ(u.UserCharCase('3'), 0);
    EXPECT_EQ(u.SubstituteChar(char(241)), char(241));
    EXPECT_EQ(u.SubstituteChar(char(248)), char(248));
    EXPECT_EQ(u.SubstituteChar('A'), 0);
    u.SetSubstituteChar(char(242), '@');
    EXPECT_EQ(u.SubstituteChar(char(242)), '@');
    EXPECT_EQ(MinI(3, -2), -2);
    EXPECT_EQ(MaxI(3, -2), 3);
    EXPECT_EQ(DefaultEpoch() % 100, 0);
    EXPECT_EQ(DefaultEpoch(), StartYear() / 100 * 100);
}
