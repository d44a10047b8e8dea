// The terminal's typing area: the sent mark, what goes out for a line, control characters and
// immediate mode.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "station/terminal_typing.h"

using namespace korval;

namespace {

struct TTyping {
    TTerminalTyping t;
    std::vector<std::string> sent;
    int beeps = 0;
    TTyping()
    {
        t.OnSend = [this](const std::string& s) { sent.push_back(s); };
        t.OnBeep = [this] { ++beeps; };
    }
    void Type(const std::string& text, bool byProgram = false)
    {
        for (char c : text)
            t.KeyPress(c, byProgram);
    }
};

using Sent = std::vector<std::string>;

TEST(TerminalTyping, EnterSendsTheLineAndTheSentTextCannotBeChanged)
{
    TTyping k;
    k.Type("SH/DX");
    EXPECT_TRUE(k.sent.empty());
    k.Type("\r");
    EXPECT_EQ(k.sent, (Sent{"SH/DX", "\r"}));
    EXPECT_EQ(k.t.Text(), "SH/DX\n");
    EXPECT_EQ(k.t.SentMark(), k.t.Text().size());

    k.Type("\b");
    EXPECT_EQ(k.beeps, 1) << "BS at the sent mark";
    k.t.SetCaret(2);
    k.Type("X");
    EXPECT_EQ(k.beeps, 2) << "typing into sent text";
    EXPECT_FALSE(k.t.DeleteAllowed());
    EXPECT_FALSE(k.t.EraseRange(1, 8));
    EXPECT_EQ(k.t.Text(), "SH/DX\n");

    k.t.SetCaret(k.t.Text().size());
    k.Type("AB\bC\r");
    EXPECT_EQ(k.sent, (Sent{"SH/DX", "\r", "AC", "\r"}));
}

TEST(TerminalTyping, ControlKeysSendFirstAndSwitchToImmediateModeUnlessTypedByProgram)
{
    TTyping k;
    k.Type("BYE\x03", true);
    EXPECT_EQ(k.sent, (Sent{"BYE", "\x03"}));
    EXPECT_FALSE(k.t.Immediate());
    k.Type("\x1a");
    EXPECT_TRUE(k.t.Immediate());
    k.sent.clear();
    k.Type("ab\x1b\r");
    EXPECT_EQ(k.sent, (Sent{"a", "b", "\x1b", "\r"}));
    EXPECT_FALSE(k.t.Immediate()) << "Enter ends the toggled immediate mode";
    EXPECT_EQ(k.t.Text(), std::string("BYEab\xA9\n"));

    k.t.SetAlwaysImmediate(true);
    k.Type("x\r");
    EXPECT_TRUE(k.t.Immediate()) << "the setting keeps it";
}

TEST(TerminalTyping, EscIsShownAs169AndLongLinesGoInPieces)
{
    TTyping k;
    k.Type("A\x1b" "B");
    EXPECT_EQ(k.t.Text(), "A\xA9" "B");
    k.Type(std::string(600, 'x') + "\r");
    ASSERT_EQ(k.sent.size(), 4u);
    EXPECT_EQ(k.sent[0], "A\x1b" "B" + std::string(252, 'x'));
    EXPECT_EQ(k.sent[1].size(), 255u);
    EXPECT_EQ(k.sent[2].size(), 603u - 510u);
    EXPECT_EQ(k.sent[3], "\r");
}

TEST(TerminalTyping, MemoKeepsItsLastFourteenLines)
{
    TTyping k;
    for (int i = 1; i <= 20; ++i)
        k.Type("L" + std::to_string(i) + "\r");
    std::string expected;
    for (int i = 8; i <= 20; ++i)
        expected += "L" + std::to_string(i) + "\n";
    EXPECT_EQ(k.t.Text(), expected);
    EXPECT_EQ(k.t.SentMark(), expected.size());
    k.Type("\b");
    EXPECT_EQ(k.beeps, 1);
}

} // namespace
