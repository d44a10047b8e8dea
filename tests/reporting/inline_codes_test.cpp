// Font changes inside texts: cutting a text into pieces and codes, the commands, the width.
#include <gtest/gtest.h>

#include "reporting/inline_codes.h"
#include "tests/reporting/surface_fixture.h"

using namespace korval;
using namespace korval::test;

namespace {

std::vector<std::pair<std::string, std::string>> pieces(const std::string& text)
{
    std::vector<std::pair<std::string, std::string>> out;
    size_t pos = 0;
    std::string piece, codes;
    while (pos < text.size()) {
        NextPiece(text, pos, piece, codes);
        out.emplace_back(codes, piece);
    }
    return out;
}

TFontRecord applied(const std::string& codes, TFontRecord font = {})
{
    ApplyCodeCommands(font, codes);
    return font;
}

} // namespace

TEST(InlineCodes, PiecesCarryTheCodesBeforeThem)
{
    using P = std::vector<std::pair<std::string, std::string>>;
    EXPECT_EQ(pieces("A\x01" "B1\x04" "B"), (P{{"", "A"}, {"\x01" "B1\x04", "B"}}));
    EXPECT_EQ(pieces("\x01Z14\x02NCourier\x04\x01U1\x04x"), (P{{"\x01Z14\x02NCourier\x04\x01U1\x04", "x"}}));
    EXPECT_EQ(pieces("tail\x01" "B1"), (P{{"", "tail"}, {"\x01" "B1", ""}}));
}

TEST(InlineCodes, CommandsReadLetterAndValue)
{
    const std::string codes = "\x01Z14\x02NCou\x03rier\x02" "B1\x03\x04";
    size_t pos = 0;
    char letter;
    std::string value;
    std::vector<std::string> got;
    do {
        NextCommand(codes, pos, letter, value);
        got.push_back(std::string(1, letter) + value);
    } while (letter != ' ');
    EXPECT_EQ(got, (std::vector<std::string>{"Z14", "NCourier", "B1", " "}));
}

TEST(InlineCodes, CommandsChangeTheFont)
{
    EXPECT_TRUE(applied("\x01" "B1\x04").Bold);
    EXPECT_TRUE(applied("\x01" "B1\x03\x04").Bold);  // byte 3 is dropped from "1"
    EXPECT_FALSE(applied("\x01" "B0\x04", applied("\x01" "B1\x04")).Bold);
    EXPECT_FALSE(applied("\x01" "Byes\x04").Bold);
    const TFontRecord sized = applied("\x01Z14\x02NCourier New\x04");
    EXPECT_DOUBLE_EQ(sized.Size, 14);
    EXPECT_DOUBLE_EQ(sized.Height, 14.0 / 72);
    EXPECT_EQ(sized.Name, "Courier New");
    EXPECT_EQ(applied("\x01" "C255\x02HF\x02" "U1\x02K1\x02I1\x04").Color, 255u);
    EXPECT_EQ(applied("\x01HF\x04").Pitch, 2);
    EXPECT_EQ(applied("\x01Hx\x04", applied("\x01HV\x04")).Pitch, 1);  // an unknown pitch letter leaves it
    EXPECT_DOUBLE_EQ(applied("\x01Zabc\x04").Size, 10);  // not a number: unchanged
    TFontRecord shifted = applied("\x01S1\x04");
    EXPECT_TRUE(shifted.Subscript);
    shifted = applied("\x01P1\x04", shifted);
    EXPECT_TRUE(shifted.Superscript);
    EXPECT_FALSE(shifted.Subscript);
    EXPECT_TRUE(applied("\x01" "B1\x02U1").Underline);  // no closing byte: applied to the end
}

TEST(InlineCodes, ResetsAllOrOnlyTheStyle)
{
    TFontRecord font = applied("\x01" "B1\x02I1\x02NTimes\x02Z20\x02" "C255\x02P1\x04");
    font.Rotation = 90;
    const TFontRecord full = applied("\x01R\x04", font);
    EXPECT_EQ(full.Name, "Arial");
    EXPECT_DOUBLE_EQ(full.Size, 12);
    EXPECT_FALSE(full.Bold || full.Italic || full.Superscript);
    EXPECT_EQ(full.Color, clBlack);
    EXPECT_EQ(full.Rotation, 0);
    const TFontRecord style = applied("\x01r\x04", font);
    EXPECT_EQ(style.Name, "Times");
    EXPECT_DOUBLE_EQ(style.Size, 20);
    EXPECT_FALSE(style.Bold || style.Italic || style.Superscript);
    EXPECT_EQ(style.Color, clBlack);
}

TEST_F(SurfaceTest, PiecesApplyToTheSurfaceAndWidthsAddUp)
{
    report.BeginDoc();
    report.SetFont("Arial", 10);  // 21 pixels a character at 10 points, 25 at 12
    EXPECT_EQ(FormattedWidth(report, ""), 1);
    EXPECT_EQ(FormattedWidth(report, "AB\x01Z12\x04" "CD"), 42 + 50);
    EXPECT_DOUBLE_EQ(report.BaseFont().Size, 10);  // measuring leaves the font as it was
    // A TAB moves to the next half inch (150 pixels) from the start.
    EXPECT_EQ(PieceWidth(report, "AB\tC", 0), 150 + 21);
    EXPECT_DOUBLE_EQ(report.TextWidth("A\x01Z12\x04" "B"), 46.0 / 300);

    const std::string text = "A\x01" "B1\x04" "B";
    size_t pos = 0;
    std::string piece;
    std::vector<std::pair<std::string, bool>> drawn;
    while (pos < text.size()) {
        NextPieceApply(report, text, pos, piece);
        drawn.emplace_back(piece, report.BaseFont().Bold);
    }
    EXPECT_EQ(drawn, (std::vector<std::pair<std::string, bool>>{{"A", false}, {"B", true}}));
}
