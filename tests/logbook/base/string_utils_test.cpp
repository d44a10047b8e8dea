#include "logbook/base/string_utils.h"
#include "logbook/unscramble.h"
#include "test_support.h"

#include <gtest/gtest.h>

using namespace korval;

TEST(StringUtils, NumbersAndPadding)
{
    EXPECT_EQ(CompareWords(1, 2), -1);
    EXPECT_EQ(CompareWords(65535, 2), 1);
    EXPECT_EQ(CompareLongs(-5, -5), 0);
    EXPECT_EQ(MaxLong(-3, -7), -3);
    EXPECT_EQ(DigitsValue("K1-23a4"), 1234);
    EXPECT_EQ(DigitsValue(""), 0);
    EXPECT_EQ(DigitsValue("70000"), static_cast<std::uint16_t>(70000));  // kept to 16 bits
    EXPECT_EQ(ZeroPadNumber(7, 3), "007");
    EXPECT_EQ(ZeroPadNumber(12345, 3), "345");
    EXPECT_EQ(PadRight("abc", 5), "abc  ");
    EXPECT_EQ(PadRight("abcdef", 3), "abc");
    EXPECT_EQ(PadLeft("ab", 4), "  ab");
    EXPECT_EQ(PadLeft("abcde", 4), "abcde");
    EXPECT_EQ(TrimRightShort("ab  "), "ab");
    EXPECT_EQ(TrimRightShort("   "), "");
    EXPECT_EQ(ByteToHex(0x0A), "0A");
    EXPECT_EQ(ByteToHex(0xFF), "FF");
    EXPECT_EQ(HexDigitValue('B'), 11);
    EXPECT_EQ(HexDigitValue('b'), 0);
    EXPECT_EQ(HexDigitValue('9'), 9);
}

// Each reader trims its own set of characters; the ends go, the inside stays.
TEST(StringUtils, TrimCutsTheGivenCharactersAtTheEnds)
{
    struct Case { std::string_view text, cut, both, left, right; };
    const std::string_view nul("\0 a\0b \x1f", 7);
    const std::string_view nbsp = "\xa0" "a" "\xa0";  // Windows-1252 no-break space: not a control
    for (const Case& c : {
             Case{"  a b  ", kBlanks, "a b", "a b  ", "  a b"},
             Case{"", kBlanks, "", "", ""},
             Case{"    ", kBlanks, "", "", ""},
             Case{"\ta\t ", kBlanks, "\ta\t", "\ta\t ", "\ta\t"},
             Case{" \ta b\t ", kBlanksAndTabs, "a b", "a b\t ", " \ta b"},
             Case{"\r\n\v\f a\n", kWhitespace, "a", "a\n", "\r\n\v\f a"},
             Case{nul, kBlankAndControls, std::string_view("a\0b", 3), std::string_view("a\0b \x1f", 5),
                  std::string_view("\0 a\0b", 5)},
             Case{nbsp, kBlankAndControls, nbsp, nbsp, nbsp},
         }) {
        EXPECT_EQ(Trim(c.text, c.cut), c.both) << c.text;
        EXPECT_EQ(TrimLeft(c.text, c.cut), c.left) << c.text;
        EXPECT_EQ(TrimRight(c.text, c.cut), c.right) << c.text;
    }
    const std::string text = "  DL1ABC ";
    const std::string_view view = Trim(text);
    EXPECT_EQ(view.data(), text.data() + 2);  // a view into the text, no copy
    const std::string blanks = "   ";
    EXPECT_EQ(Trim(blanks).data(), blanks.data() + 3);  // empty, but still inside the text
    EXPECT_EQ(TrimSpaces(text), "DL1ABC");
    EXPECT_EQ(TrimSpaces("\t x \t"), "\t x \t");
}

TEST(StringUtils, CountText)
{
    EXPECT_EQ(CountText(0, "QSO"), "No QSO ");
    EXPECT_EQ(CountText(1, "QSO"), "One QSO ");
    EXPECT_EQ(CountText(2, "QSO"), "2 QSOs ");
}

TEST(StringUtils, FieldsAndPositions)
{
    EXPECT_EQ(GetTabField(0, "a\tb\tc"), "a");
    EXPECT_EQ(GetTabField(2, "a\tb\tc"), "c");
    EXPECT_EQ(GetTabField(1, "a\t\tc"), "");
    EXPECT_EQ(GetTabField(3, "a\tb\tc"), "");
    EXPECT_EQ(PosCharShort('/', "DL/K1ABC/P"), 3);
    EXPECT_EQ(LastPosCharShort('/', "DL/K1ABC/P"), 9);
    EXPECT_EQ(PosCharShort('x', "abc"), 0);
    EXPECT_EQ(PosCharSet("0123456789", "DL1ABC"), 2);
    EXPECT_EQ(PosCharSet("0123456789", "ABC"), -1);
    EXPECT_EQ(MakeStringList({"Buro", "Direct"}), (std::vector<std::string>{"Buro", "Direct"}));
}

TEST(StringUtils, ShortStrCopies)
{
    std::uint8_t* p = NewShortStr("note");
    EXPECT_EQ(p[0], 4);
    EXPECT_EQ(ShortStrText(p), "note");
    DisposeShortStr(p);
    p = NewShortStr(std::string(300, 'n'));
    EXPECT_EQ(p[0], 255);
    DisposeShortStr(p);
}

TEST(StringUtils, Coordinates)
{
    struct Row {
        const char* text;
        bool ok;
        double value;
    } rows[] = {{"12.5W", true, -12.5}, {" 47.25 n ", true, 47.25}, {"33S", true, -33}, {"8e", true, 8},
                {"-71.1", true, -71.1}, {"", false, 0}, {"W", false, 0}, {"12x", false, 0}};
    for (const Row& r : rows) {
        double v = 99;
        EXPECT_EQ(StrToCoord(r.text, v), r.ok) << r.text;
        if (r.ok) {
            EXPECT_DOUBLE_EQ(v, r.value) << r.text;
        }
    }
    EXPECT_EQ(FormatGridLocator("jn47AB"), "JN47ab");
    EXPECT_EQ(FormatGridLocator("fn"), "FN");
}

TEST(StringUtils, FileSize)
{
    korval::test::TempDir dir;
    korval::test::WriteAll(dir.file("f"), "12345");
    EXPECT_EQ(GetFileSize(dir.file("f")), 5);
    EXPECT_EQ(GetFileSize(dir.file("missing")), 0);
}

TEST(Unscramble, RevealsWhatWasScrambled)
{
    EXPECT_EQ(UnscrambleString(""), "");
    const std::string texts[] = {"A backup copy of a log file was found\rdue to an abnormal program termination.",
                                 "x", std::string("\0\"\\\x80\xa2\xdc\xe9", 7)};
    for (const std::string& t : texts) {
        std::string s = ScrambleString(t);
        EXPECT_EQ(s.size(), t.size());
        EXPECT_EQ(UnscrambleString(s), t);
    }
    // The stored form of plain 7-bit text holds none of the awkward bytes.
    std::string s = ScrambleString(texts[0]);
    EXPECT_NE(s, texts[0]);
    EXPECT_EQ(s.find('\0'), std::string::npos);
    EXPECT_EQ(s.find('"'), std::string::npos);
    EXPECT_EQ(s.find('\\'), std::string::npos);
}
