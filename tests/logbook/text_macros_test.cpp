// Expansion of the function-key texts.
#include <gtest/gtest.h>

#include <filesystem>

#include "logbook/config_record.h"
#include "logbook/text_macros.h"
#include "platform/message_dlg.h"
#include "test_support.h"

namespace korval {
namespace {

struct Window : TMacroContext {
    bool HasQsoWindow() const override { return true; }
    std::string CallField() const override { return "DL1ABC"; }
    std::string ExchangeText() const override { return "14"; }
    bool SerialNumber(unsigned& n) const override
    {
        n = 7;
        return true;
    }
    bool RealTimeEntry() const override { return true; }
    void LogWithExchange() override { ++logged; }
    int logged = 0;
};

class MacroTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        saved_ = Config;
        Config.SetOwnCall("W1AW");
        std::filesystem::create_directories(dir_.path() + "/SAVE");
    }
    void TearDown() override { Config = saved_; }
    std::string Expand(int key, bool lower = false) { return ExpandMacros(key, keys_, lower, window_); }

    TConfigRecord saved_;
    test::TempDir dir_;
    test::ScopedHome home_{dir_.path()};
    TFunctionKeys keys_{};
    Window window_;
};

TEST_F(MacroTest, EscapesAndKeyReferences)
{
    keys_[0] = "CQ|CQ CQ CQ DE %~ %~";
    keys_[1] = "%@ %& nr %#%M%b%%%q%";
    keys_[2] = "ur %1";
    keys_[3] = "%19";
    keys_[15] = "end";
    keys_[4] = "x %18";
    EXPECT_EQ(Expand(1), "CQ CQ CQ DE W1AW W1AW");
    EXPECT_EQ(Expand(1, true), "CQ CQ CQ DE w1aw w1aw");
    EXPECT_EQ(Expand(2), "DL1ABC 14 nr 007\r %");
    EXPECT_EQ(Expand(3), "ur CQ CQ CQ DE W1AW W1AW");
    EXPECT_EQ(Expand(4), "CQ CQ CQ DE W1AW W1AW9");
    EXPECT_EQ(Expand(5), "x end");
}

TEST_F(MacroTest, RecursionIsRefused)
{
    ScopedMessageRecorder rec;
    keys_[0] = "a %2 b";
    keys_[1] = "c %1 d";
    EXPECT_EQ(Expand(1), "a c ");
    ASSERT_EQ(rec.texts().size(), 1u);
    EXPECT_EQ(rec.texts()[0], "Recursion for register 1");
    EXPECT_EQ(rec.messages()[0].kind, TMsgDlgType::mtWarning);
}

TEST_F(MacroTest, FilesMissingSelfIncludingAndOutsideTheFolder)
{
    ScopedMessageRecorder rec;
    test::WriteAll(dir_.path() + "/SAVE/brag.txt", "line1\r\nline2 %~\n");
    test::WriteAll(dir_.path() + "/SAVE/LOOP.TXT", "again %fLOOP.TXT% tail");
    test::WriteAll(dir_.path() + "/secret.txt", "secret");
    keys_[0] = "Brag|%fbrag%|";
    keys_[1] = "%fnone% rest";
    keys_[2] = "%fLOOP.TXT%";
    keys_[3] = "%f../secret.txt%x";
    keys_[4] = "%fbrag% %fbrag%";
    EXPECT_EQ(Expand(1), "line1\rline2 W1AW|");
    EXPECT_EQ(Expand(2), " rest");
    EXPECT_EQ(rec.texts().back(), "File to send not found:\r" + dir_.path() + "/SAVE/none.txt");
    EXPECT_EQ(Expand(3), "again ");
    EXPECT_EQ(rec.texts().back(), "Recursion for file LOOP.TXT");
    EXPECT_EQ(Expand(4), "x");
    EXPECT_EQ(rec.texts().back().rfind("File to send not found:\r", 0), 0u);
    EXPECT_EQ(Expand(5), "line1\rline2 W1AW line1\rline2 W1AW") << "a file may be used twice side by side";
}

TEST_F(MacroTest, AFinishedFileMayBeSentAgain)
{
    ScopedMessageRecorder rec;
    test::WriteAll(dir_.path() + "/SAVE/c.txt", "call");
    keys_[0] = "%fc% and %fc%";
    EXPECT_EQ(Expand(1), "call and call");
    EXPECT_TRUE(rec.texts().empty()) << rec.texts().front();
}

// Three 2 KB files that include each other 511 times over would expand to 533 MB.
TEST_F(MacroTest, FileExpansionStopsAtTheBound)
{
    ScopedMessageRecorder rec;
    std::string a, b;
    for (int i = 0; i < 511; ++i) {
        a += "%fb%";
        b += "%fc%";
    }
    test::WriteAll(dir_.path() + "/SAVE/a.txt", a);
    test::WriteAll(dir_.path() + "/SAVE/b.txt", b);
    test::WriteAll(dir_.path() + "/SAVE/c.txt", std::string(2040, 'X') + "%b");
    keys_[0] = "%fa%";
    const std::string text = Expand(1);
    EXPECT_LE(text.size(), MaxExpandedMacroSize);
    EXPECT_GT(text.size(), MaxExpandedMacroSize / 2) << "what was built before the bound is kept";
    ASSERT_EQ(rec.texts().size(), 1u);
    EXPECT_EQ(rec.texts()[0], MacroTooLongMessage);
    EXPECT_EQ(rec.messages()[0].kind, TMsgDlgType::mtWarning);
}

// The file fits, but a key inserted after it brings the text past the bound at its very end.
TEST_F(MacroTest, TextAfterTheLastEscapeKeepsTheBound)
{
    ScopedMessageRecorder rec;
    test::WriteAll(dir_.path() + "/SAVE/a.txt", std::string(MaxExpandedMacroSize - 6, 'X'));
    keys_[0] = "%fa%%2";
    keys_[1] = std::string(75, 'Y');
    const std::string text = Expand(1);
    EXPECT_EQ(text.size(), MaxExpandedMacroSize);
    EXPECT_EQ(text.substr(text.size() - 7), "XYYYYYY");
    ASSERT_EQ(rec.texts().size(), 1u);
    EXPECT_EQ(rec.texts()[0], MacroTooLongMessage);
}

TEST_F(MacroTest, LogEscapeLogsInRealTime)
{
    keys_[0] = "tu %l";
    EXPECT_EQ(Expand(1), "tu ");
    EXPECT_EQ(window_.logged, 1);
}

} // namespace
} // namespace korval
