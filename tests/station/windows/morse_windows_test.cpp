// The CW keyboard and CW parameters windows offscreen over a sender on a hand-run clock and a
// recording key line: speed keys, typed and function-key text, the marquee, settings cancelled
// byte for byte, the check boxes that force each other, Tune and the speed measurement.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "entry/windows/ovc_numeric_field.h"
#include "logbook/config_record.h"
#include "platform/key_line.h"
#include "platform/message_dlg.h"
#include "platform/precise_clock.h"
#include "station/morse_sender.h"
#include "station/windows/button_frame.h"
#include "station/windows/morse_dialog.h"
#include "station/windows/morse_kb.h"

namespace korval {
namespace {

class MorseWindowsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        saved_ = Config;
        Config.SetCwKeyingInterface(2);
        Config.SetCwPttDelay(0);
        Config.SetCwImmediate(true);
        Config.SetCwEcho(true);
        line = std::make_shared<TRecordingKeyLine>([this] { return clock.NowNs(); });
        sender = std::make_unique<TMorseSender>(
            clock, [this](const TMorseSettings&, bool) { return line; }, nullptr, MorseSettingsFromConfig());
        SetMorseSender(sender.get());
    }
    void TearDown() override
    {
        TMorseKb::CloseWindow();
        QApplication::processEvents();
        sender.reset();
        SetMorseSender(nullptr);
        Config = saved_;
    }
    TMorseKb* OpenKb()
    {
        TMorseKb* kb = TMorseKb::Open(nullptr);
        EXPECT_TRUE(QTest::qWaitForWindowExposed(kb));
        return kb;
    }
    // Runs `body` on the CW parameters window once it is up (it runs modally).
    void OnDialog(std::function<void(TMorseDialog&)> body)
    {
        QTimer::singleShot(0, [body] {
            auto* d = qobject_cast<TMorseDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(d, nullptr);
            body(*d);
        });
    }

    TConfigRecord saved_;
    TManualClock clock;
    std::shared_ptr<TRecordingKeyLine> line;
    std::unique_ptr<TMorseSender> sender;
};

struct SpeedCase {
    int before, after;
    char key;
};
TEST_F(MorseWindowsTest, PlusAndMinusStepBothSpeedsWithinTheirLimits)
{
    TMorseKb* kb = OpenKb();
    for (const SpeedCase& c : {SpeedCase{58, 60, '+'}, SpeedCase{59, 59, '+'}, SpeedCase{7, 5, '-'},
                               SpeedCase{6, 6, '-'}, SpeedCase{20, 22, '+'}}) {
        Config.SetCwCharWpm(c.before);
        Config.SetCwSpacingWpm(c.before);
        QTest::keyClick(kb, c.key);
        EXPECT_EQ(Config.CwCharWpm(), c.after) << c.before << " " << c.key;
        EXPECT_EQ(Config.CwSpacingWpm(), c.after) << c.before << " " << c.key;
    }
    EXPECT_EQ(kb->windowTitle(), QStringLiteral("CW Keyboard 21 WPM")) << "the effective speed of 22/22";
    EXPECT_EQ(sender->Timing().Dot, 56);
}

TEST_F(MorseWindowsTest, TypedCharactersAreQueuedUpperCasedOthersIgnored)
{
    TMorseKb* kb = OpenKb();
    QTest::keyClicks(kb, "cq de dl1abc?#");
    QTest::keyClick(kb, Qt::Key_Backspace);
    QKeyEvent umlaut(QEvent::KeyPress, Qt::Key_Adiaeresis, Qt::NoModifier, QString::fromUtf8("ä"));
    QApplication::sendEvent(kb, &umlaut);
    EXPECT_EQ(sender->BufferText(), "CQ DE DL1ABC\xC4");
    QTest::qWait(250);
    EXPECT_EQ(kb->KbInp->text(), QString::fromUtf8("CQ DE DL1ABCÄ")) << "the marquee shows the text to send";
}

TEST_F(MorseWindowsTest, FunctionKeysSendTheirMacroAndReportWhatDoesNotFit)
{
    Config.SetCwKey(0, "CQ|cq test");
    Config.SetCwKey(8, "TU|tu");
    TMorseKb* kb = OpenKb();
    QTest::keyRelease(kb, Qt::Key_F1);
    EXPECT_EQ(sender->BufferText(), "CQ TEST ");
    QTest::keyRelease(kb, Qt::Key_F1, Qt::ControlModifier);
    EXPECT_EQ(sender->BufferText(), "CQ TEST TU ");
    EXPECT_EQ(kb->ButtonFrame->SectionNumber(1), QStringLiteral("1"));
    EXPECT_EQ(kb->ButtonFrame->SectionLabel(1), QStringLiteral("CQ"));

    sender->ClearBuffer();
    sender->Step();
    sender->QueueText(std::string(250, 'E'));
    ScopedMessageRecorder messages;
    kb->SendFunctionKey(1);
    EXPECT_EQ(sender->BufferText().size(), TMorseSender::BufferCapacity);
    ASSERT_EQ(messages.texts().size(), 1u);
    EXPECT_EQ(messages.texts()[0], "The send buffer is full: the last 3 characters were not queued");
}

TEST_F(MorseWindowsTest, CancelledSettingsRestoreTheCwBlockByteForByte)
{
    TMorseKb* kb = OpenKb();
    const std::uint8_t* block = Config.Bytes() + TConfigRecord::CwCharWpmOffset;
    const std::vector<std::uint8_t> before(block, block + TConfigRecord::CwBlockSize);
    OnDialog([](TMorseDialog& d) {
        d.F_speed->SetAsInteger(12);
        d.F_speedChange();
        d.F_weight->SetAsInteger(150);
        d.F_weightChange();
        QTest::mouseClick(d.F_Marquee, Qt::LeftButton);
        QTest::mouseClick(d.F_ShowFunc, Qt::LeftButton);
        EXPECT_EQ(Config.CwCharWpm(), 12);
        EXPECT_EQ(Config.CwSpacingWpm(), 12) << "the spacing follows a lower character speed";
        QTest::mouseClick(d.CancelBtn, Qt::LeftButton);
    });
    kb->Settings1Click();
    EXPECT_EQ(std::vector<std::uint8_t>(block, block + TConfigRecord::CwBlockSize), before);
    EXPECT_EQ(sender->Timing().Dot, 61) << "the sender's timing is back too";

    OnDialog([](TMorseDialog& d) {
        d.F_speed->SetAsInteger(30);
        d.F_speedChange();
        QTest::mouseClick(d.OkBtn, Qt::LeftButton);
    });
    kb->Settings1Click();
    EXPECT_EQ(Config.CwCharWpm(), 30);
    EXPECT_EQ(Config.CwSpacingWpm(), 20);
}

TEST_F(MorseWindowsTest, MarqueeAndImmediateForceEachOther)
{
    TMorseDialog d;
    d.show();
    ASSERT_TRUE(d.F_Marquee->isChecked() && d.F_Immediate->isChecked());
    QTest::mouseClick(d.F_Immediate, Qt::LeftButton);
    EXPECT_FALSE(Config.CwImmediate());
    EXPECT_TRUE(Config.CwEcho());
    QTest::mouseClick(d.F_Marquee, Qt::LeftButton);
    EXPECT_FALSE(Config.CwEcho());
    EXPECT_TRUE(d.F_Immediate->isChecked()) << "marquee off turns immediate on";
    EXPECT_TRUE(Config.CwImmediate());
    QTest::mouseClick(d.F_Immediate, Qt::LeftButton);
    EXPECT_TRUE(d.F_Marquee->isChecked()) << "immediate off turns the marquee on";
    EXPECT_TRUE(Config.CwEcho());
    d.reject();
}

TEST_F(MorseWindowsTest, SpeedOutsideItsRangeIsNotStored)
{
    TMorseDialog d;
    d.show();
    d.F_speed->SetAsInteger(0);
    d.F_speedChange();
    EXPECT_EQ(Config.CwCharWpm(), 20);
    d.F_Tone->SetAsInteger(0);
    d.F_ToneChange();
    EXPECT_EQ(Config.CwSideToneHz(), 850);
    d.reject();
}

TEST_F(MorseWindowsTest, TuneKeysUntilStoppedClosedOrTimedOut)
{
    Config.SetCwKeyingInterface(1);
    {
        TMorseDialog d;
        d.show();
        EXPECT_FALSE(d.TuneBtn->isEnabled()) << "nothing to key without an interface";
        d.reject();
    }
    Config.SetCwKeyingInterface(2);
    TMorseDialog d;
    d.show();
    ASSERT_TRUE(d.TuneBtn->isEnabled());
    QTest::mouseClick(d.TuneBtn, Qt::LeftButton);
    EXPECT_TRUE(line->Last().key);
    EXPECT_EQ(d.TuneBtn->text(), QStringLiteral("&Stop"));
    QTest::mouseClick(d.TuneBtn, Qt::LeftButton);
    EXPECT_FALSE(line->Last().key);

    QTest::mouseClick(d.TuneBtn, Qt::LeftButton);
    d.reject(); // closing while tuning releases the key
    EXPECT_FALSE(line->Last().key);

    d.SetTuneLimitMs(50);
    d.show();
    QTest::mouseClick(d.TuneBtn, Qt::LeftButton);
    EXPECT_TRUE(line->Last().key);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !line->Last().key; }, 2000)) << "a forgotten carrier ends by itself";
    EXPECT_FALSE(d.Tuning());
    d.reject();
}

TEST_F(MorseWindowsTest, MeasureShowsTheSpeedAndHoldsTheWindowOpenMeanwhile)
{
    TMorseDialog d;
    d.show();
    QTest::mouseClick(d.CalibrateBtn, Qt::LeftButton);
    EXPECT_FALSE(d.CalibrateBtn->isEnabled());
    d.reject();
    EXPECT_TRUE(d.isVisible()) << "the window stays while measuring";
    sender->Start(); // the hand-run clock makes the two words take no real time
    ASSERT_TRUE(QTest::qWaitFor([&] { return d.CalibrateBtn->isEnabled(); }, 5000));
    EXPECT_NEAR(d.F_measured->GetAsFloat(), 19.7, 0.05);
    EXPECT_EQ(d.F_measured->GetDisplayString(), "19.7");
    d.reject();
    EXPECT_FALSE(d.isVisible());
}

} // namespace
} // namespace korval
