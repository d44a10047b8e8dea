// The terminal's received text: line ends, backspaces, wrapping, the scrollback limit and the
// lines handed to the spot list.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "station/terminal_lines.h"

using namespace korval;

namespace {

struct TTerminal {
    TTerminalLines t;
    std::vector<std::string> spotLines;
    explicit TTerminal(int width = 80)
    {
        t.SetTakeLines(true);
        t.SetWrapWidth(width);
        t.OnLine = [this](const std::string& l) { spotLines.push_back(l); };
    }
    std::vector<std::string> Shown() const
    {
        std::vector<std::string> out;
        for (const auto& l : t.Lines())
            out.push_back(l.text);
        return out;
    }
};

using Lines = std::vector<std::string>;

struct EndCase {
    const char* name;
    std::vector<std::string> chunks;
    Lines spotLines;
};

class LineEnds : public ::testing::TestWithParam<EndCase> {};

TEST_P(LineEnds, EachLineReachesTheSpotListOnce)
{
    TTerminal term;
    for (const auto& c : GetParam().chunks)
        term.t.Receive(c);
    EXPECT_EQ(term.spotLines, GetParam().spotLines) << GetParam().name;
}

INSTANTIATE_TEST_SUITE_P(
    CrLfAndPairs, LineEnds,
    ::testing::Values(EndCase{"CR", {"DX one\rDX two\r"}, {"DX one", "DX two"}},
                      EndCase{"LF alone", {"DX one\nDX two\n"}, {"DX one", "DX two"}},
                      EndCase{"CR LF", {"DX one\r\nDX two\r\n"}, {"DX one", "DX two"}},
                      EndCase{"LF CR", {"DX one\n\rDX two\n\r"}, {"DX one", "DX two"}},
                      EndCase{"pair split over two reads", {"DX one\r", "\nDX two\r", "\n"}, {"DX one", "DX two"}},
                      EndCase{"empty line kept", {"A\r\n\r\nB\n\n"}, {"A", "", "B", ""}},
                      EndCase{"no end yet", {"login: "}, {}},
                      EndCase{"controls dropped, telnet NUL after CR", {std::string("A\x01\tB\r\0C\r", 8)}, {"AB", "C"}}),
    [](const auto& info) {
        std::string n = info.param.name;
        for (char& c : n)
            if (!std::isalnum(static_cast<unsigned char>(c)))
                c = '_';
        return n;
    });

TEST(TerminalLines, PromptWithoutLineEndIsShownAtOnce)
{
    TTerminal term;
    term.t.Fill(3);
    auto change = term.t.Receive("login: ");
    EXPECT_EQ(term.Shown(), (Lines{"", "", "login: "}));
    EXPECT_FALSE(change.Counted()) << "only the last line is repainted";
    change = term.t.Receive("K1ABC\r\n");
    EXPECT_EQ(term.Shown(), (Lines{"", "", "login: K1ABC", ""}));
    EXPECT_EQ(change.added, 1);
    EXPECT_EQ(term.spotLines, (Lines{"login: K1ABC"}));
}

struct BsCase {
    const char* name;
    const char* input;
    Lines shown;
    Lines spotLines;
};

class Backspaces : public ::testing::TestWithParam<BsCase> {};

TEST_P(Backspaces, EraseOneCharacterOfTheCurrentLineOnly)
{
    TTerminal term(10);
    term.t.Receive(GetParam().input);
    EXPECT_EQ(term.Shown(), GetParam().shown) << GetParam().name;
    EXPECT_EQ(term.spotLines, GetParam().spotLines) << GetParam().name;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Backspaces,
    ::testing::Values(
        BsCase{"TNC's BS blank BS", "ABC\b \bD\r", {"ABD", ""}, {"ABD"}},
        BsCase{"a lone BS spares what follows", "ABC\bDE\r", {"ABDE", ""}, {"ABDE"}},
        BsCase{"BS at a line start is ignored", "Q\r\b\bZ\r", {"Q", "Z", ""}, {"Q", "Z"}},
        BsCase{"BS into a continuation line", "HELLO WORLD\b\b\b\b\b\bX\r", {"HELLOX", ""}, {"HELLOX"}},
        BsCase{"BS split from its blank", "AB\b", {"A"}, {}}));

TEST(TerminalLines, UnendedLineIsBoundedForTheSpotListButShownWhole)
{
    TTerminal term(100);
    term.t.Receive(std::string(5000, 'x'));
    EXPECT_EQ(term.t.Pending().size(), TTerminalLines::MaxPendingLine);
    EXPECT_EQ(term.t.Count(), 50);
    term.t.Receive("\r");
    ASSERT_EQ(term.spotLines.size(), 1u);
    EXPECT_EQ(term.spotLines[0], std::string(TTerminalLines::MaxPendingLine, 'x'));
    EXPECT_TRUE(term.t.Pending().empty());
}

TEST(TerminalLines, LongLinesWrapAfterBreakCharactersAndRewrapWithTheWidth)
{
    TTerminal term(10);
    term.t.Receive("HELLO WORLD, THIS IS A TEST\rABCDEFGHIJKLMNO\r");
    EXPECT_EQ(term.Shown(), (Lines{"HELLO ", "WORLD, ", "THIS IS A ", "TEST", "ABCDEFGHIJ", "KLMNO", ""}));
    const auto& l = term.t.Lines();
    EXPECT_EQ(l[0].flags, 0);
    EXPECT_EQ(l[1].flags, TTerminalLines::lfContinuation);
    EXPECT_EQ(l[4].flags, 0);
    EXPECT_EQ(term.spotLines, (Lines{"HELLO WORLD, THIS IS A TEST", "ABCDEFGHIJKLMNO"}));
    EXPECT_EQ(term.t.WholeLine(2), "HELLO WORLD, THIS IS A TEST");

    term.t.Select(1, true);
    term.t.SetWrapWidth(40);
    EXPECT_EQ(term.Shown(), (Lines{"HELLO WORLD, THIS IS A TEST", "ABCDEFGHIJKLMNO", ""}));
    EXPECT_TRUE(term.t.Selected(0)) << "a selected part selects the rewrapped line";
}

TEST(TerminalLines, OldestLineGoesWithItsContinuationLinesAndTheCurrentLineStays)
{
    TTerminal term(10);
    term.t.SetMaxLines(5);
    term.t.Receive("0123456789ABCDEFGHIJKL\rX\r");
    EXPECT_EQ(term.t.Count(), 5);
    auto change = term.t.Receive("Y\r");
    EXPECT_EQ(change.removed, 3);
    EXPECT_EQ(term.Shown(), (Lines{"X", "Y", ""}));
    EXPECT_EQ(term.t.Lines()[0].flags, 0);

    // A line in progress longer than the whole list is not cut off.
    term.t.Receive(std::string(80, 'z'));
    EXPECT_EQ(term.t.Count(), 8);
    EXPECT_EQ(term.t.Lines()[0].text, std::string(10, 'z'));
}

TEST(TerminalLines, SelectedLinesAreCopiedWholeAndCut)
{
    TTerminal term(10);
    term.t.Receive("FIRST LINE OF TEXT\rSECOND\r" + std::string(300, 'w') + "\r");
    term.t.Select(1, true); // a continuation part
    term.t.Select(4, true);
    EXPECT_EQ(term.t.SelectedText(), "FIRST LINE OF TEXT\r\n" + std::string(252, 'w'));
    term.t.SelectAll(false);
    EXPECT_EQ(term.t.SelectedText(), "");
}

TEST(TerminalLines, BellOnlyWhenAskedFor)
{
    TTerminal term;
    int bells = 0;
    term.t.OnBell = [&] { ++bells; };
    term.t.Receive("\aA\a");
    EXPECT_EQ(bells, 0);
    term.t.SetUseBell(true);
    term.t.Receive("\a");
    EXPECT_EQ(bells, 1);
    EXPECT_EQ(term.t.Lines().back().text, "A");
}

} // namespace
