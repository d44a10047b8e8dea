// The PSK31 terminal and its settings dialog offscreen over a scripted modem that records every
// call: the start-up order, a failing sound card, where received text goes, tuning, transmit and
// the settings sent to the channels. One test runs the real modem over a WAV file.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QSplitter>
#include <QTest>

#include <fcntl.h>
#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "comms/com_port_map.h"
#include "logbook/config_record.h"
#include "platform/message_dlg.h"
#include "platform/windows/window_message.h"
#include "station/psk31/psk_key_port.h"
#include "station/psk31/psk_modem.h"
#include "station/psk31/psk_transmitter.h"
#include "station/psk31/wav_file.h"
#include "station/psk31/wav_sound_card.h"
#include "station/windows/psk31_window.h"
#include "station/windows/psk_dialog.h"

namespace korval {
namespace {

std::string Call(const char* name, std::initializer_list<int> args = {})
{
    std::string s = name;
    s += '(';
    bool first = true;
    for (int a : args) {
        s += (first ? "" : ",") + std::to_string(a);
        first = false;
    }
    return s + ')';
}

class TScriptedCore : public TPskCore {
public:
    std::vector<std::string> calls;
    int startResult = 0;
    int charsRemaining = 0;
    int rx1 = 1600;
    TPskCoreEvents* events = nullptr;

    int fnStartSoundCard(TPskCoreEvents* e, int card, int channels) override
    {
        events = e;
        calls.push_back(Call("fnStartSoundCard", {card, channels}));
        return startResult;
    }
    void fnStopSoundCard() override { calls.push_back(Call("fnStopSoundCard")); }
    std::string fnGetErrorString() override { return "no device here"; }
    void fnSetFFTMode(int a, int b, int c) override { calls.push_back(Call("fnSetFFTMode", {a, b, c})); }
    void fnSetRXPSKMode(int a, int b) override { calls.push_back(Call("fnSetRXPSKMode", {a, b})); }
    void fnSetAFCLimit(int a, int b) override { calls.push_back(Call("fnSetAFCLimit", {a, b})); }
    void fnSetSquelchThreshold(int a, int b, int c) override { calls.push_back(Call("fnSetSquelchThreshold", {a, b, c})); }
    void fnSetRXFrequency(int a, int b, int c) override
    {
        if (c == 1)
            rx1 = a;
        calls.push_back(Call("fnSetRXFrequency", {a, b, c}));
    }
    int fnGetRXFrequency(int ch) override { return ch == 1 ? rx1 : 0; }
    int fnGetFFTData(int*, int, int) override { return 0; }
    void fnGetVectorData(int*, int) override {}
    void fnSetTXFrequency(int a) override { calls.push_back(Call("fnSetTXFrequency", {a})); }
    void fnStartTX(int a) override { calls.push_back(Call("fnStartTX", {a})); }
    void fnStopTX() override { calls.push_back(Call("fnStopTX")); }
    void fnAbortTX() override { calls.push_back(Call("fnAbortTX")); }
    void fnClearTXBuffer() override { calls.push_back(Call("fnClearTXBuffer")); }
    int fnGetTXCharsRemaining() override { return charsRemaining; }
    void fnSendTXCharacter(int a, int b) override { calls.push_back(Call("fnSendTXCharacter", {a, b})); }
    void fnSetCWIDString(const std::string& s) override { calls.push_back("fnSetCWIDString(" + s + ")"); }
    void fnSetCWIDSpeed(int a) override { calls.push_back(Call("fnSetCWIDSpeed", {a})); }
    int fnGetClosestPeak(int, int) override { return 0; }
    void fnRewindInput() override { calls.push_back(Call("fnRewindInput")); }

    // The calls since the last Take.
    std::vector<std::string> Take()
    {
        std::vector<std::string> c;
        c.swap(calls);
        return c;
    }
};

class Psk31WindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Config = TConfigRecord();
        Config.SetOwnCall("DL1ABC");
    }
    void TearDown() override { window.reset(); }

    TPSK31Window& Open(int startResult = 0)
    {
        auto c = std::make_unique<TScriptedCore>();
        c->startResult = startResult;
        core = c.get();
        window = std::make_unique<TPSK31Window>(nullptr, std::move(c));
        window->show();
        return *window;
    }

    ScopedMessageRecorder messages;
    TScriptedCore* core = nullptr;
    std::unique_ptr<TPSK31Window> window;
};

TEST_F(Psk31WindowTest, StartsTheModemInItsOrderWithTheSettings)
{
    Config.SetPskBaseline(0);  // sent as 1
    Config.SetPskAfc(true);
    Config.SetPskAfcRange(80);
    Config.SetPskSquelch(40);
    Config.SetPskRxFreq(1200);
    Config.SetPskSecondFreq(1700);
    TPSK31Window& w = Open();
    const std::vector<std::string> expected = {
        "fnSetSquelchThreshold(40,1,0)", "fnSetSquelchThreshold(40,1,1)", "fnStartSoundCard(0,2)",
        "fnSetFFTMode(3,100,1)",         "fnSetRXPSKMode(0,0)",           "fnSetRXPSKMode(0,1)",
        "fnSetAFCLimit(80,0)",           "fnSetAFCLimit(80,1)",           "fnSetSquelchThreshold(40,1,0)",
        "fnSetSquelchThreshold(40,1,1)", "fnSetRXFrequency(1200,0,0)",    "fnSetRXFrequency(1700,0,1)",
    };
    EXPECT_EQ(core->Take(), expected);
    EXPECT_TRUE(w.Running());
    EXPECT_EQ(w.StatusBar[0]->text(), "Rx: 1200");
    EXPECT_EQ(w.windowTitle(), "PSK31 Window");
    EXPECT_TRUE(messages.texts().empty());
    // The main window's answer to the opening restores the splitters.
    Config.SetPskSplitter(0, 50);
    SendWindowMessage(&w, WM_USER + 3, 2);
    EXPECT_NEAR(w.OvcSplitter1->sizes()[0] * 100.0 / (w.OvcSplitter1->sizes()[0] + w.OvcSplitter1->sizes()[1]), 50, 2);

    // Going stores the frequencies and stops the sound card.
    w.DisplayData(1234, 50);
    core->rx1 = 1750;
    core->Take();
    w.close();
    EXPECT_EQ(core->Take(), std::vector<std::string>({"fnStopSoundCard()"}));
    EXPECT_EQ(Config.PskRxFreq(), 1234);
    EXPECT_EQ(Config.PskSecondFreq(), 1750);
}

TEST_F(Psk31WindowTest, AFailingSoundCardIsShownAndNothingElseStarts)
{
    TPSK31Window& w = Open(1);
    EXPECT_EQ(messages.texts(), std::vector<std::string>({"Error starting the soundcard: no device here"}));
    EXPECT_EQ(core->Take().back(), "fnStartSoundCard(0,2)");
    EXPECT_FALSE(w.Running());
    EXPECT_TRUE(w.isVisible());
    w.RxChar('A', 0);
    w.SetTransmit(true);
    EXPECT_TRUE(w.Terminal->toPlainText().isEmpty());
    EXPECT_TRUE(core->Take().empty());
}

TEST_F(Psk31WindowTest, ReceivedTextGoesToItsChannelAndTheHeldText)
{
    TPSK31Window& w = Open();
    for (int ch : {int('C'), int('Q'), 7, 13, int('D'), int('X'), int('Y'), 8})
        w.RxChar(ch, 0);
    EXPECT_EQ(w.Terminal->toPlainText(), "CQ\nDX");
    w.RxChar('Z', 1);  // second channel off: dropped
    EXPECT_TRUE(w.Channel2->toPlainText().isEmpty());
    w.SetSecondChannel(true);
    w.RxChar('Z', 1);
    EXPECT_EQ(w.Channel2->toPlainText(), "Z");

    w.SetHolding(true);
    EXPECT_EQ(w.windowTitle(), "PSK31 Window [HOLDING]");
    for (int ch : {int(' '), int('D'), int('E')})
        w.RxChar(ch, 0);
    EXPECT_EQ(w.Terminal->toPlainText(), "CQ\nDX");
    w.SetHolding(false);
    EXPECT_EQ(w.Terminal->toPlainText(), "CQ\nDX DE");
    EXPECT_EQ(w.windowTitle(), "PSK31 Window");
}

TEST_F(Psk31WindowTest, ReportsWaitForTheWindowsThreadAndAreDroppedWhenNotRunning)
{
    TPSK31Window& w = Open();
    core->events->RxChar('K', 0);
    core->events->Imd(-24, 0);
    EXPECT_TRUE(w.Terminal->toPlainText().isEmpty());  // queued, not run on the caller's side
    QApplication::processEvents();
    EXPECT_EQ(w.Terminal->toPlainText(), "K");
    EXPECT_EQ(w.StatusBar[3]->text(), "IMD: -24dB");
    w.ClockError(2500, 0);
    EXPECT_EQ(w.StatusBar[4]->text(), "Clk Err: 2500ppm");
    w.ClockError(100, 0);
    EXPECT_TRUE(w.StatusBar[4]->text().isEmpty());
    w.Imd(-10, 1);  // channel 1 is not shown
    EXPECT_EQ(w.StatusBar[3]->text(), "IMD: -24dB");
}

TEST_F(Psk31WindowTest, ClicksFortyHertzAwayKeepTheLineFiftyStartANewOne)
{
    TPSK31Window& w = Open();
    w.SetZoom(1);  // 100..3200 Hz over 3100 pixels: one pixel a hertz
    w.RxChar('A', 0);
    core->Take();
    w.TuneClick(1500 - 100 + 40, 3100, false);
    EXPECT_EQ(core->Take(), std::vector<std::string>({"fnSetRXFrequency(1540,15,0)"}));
    EXPECT_EQ(w.Terminal->toPlainText(), "A");
    w.TuneClick(1540 - 100 + 50, 3100, false);
    EXPECT_EQ(w.Terminal->toPlainText(), "A\n");
    EXPECT_EQ(w.StatusBar[0]->text(), "Rx: 1590");
    // Ctrl opens the second channel instead of tuning.
    w.TuneClick(10, 3100, true);
    EXPECT_TRUE(core->Take().size() == 1);
    EXPECT_FALSE(w.Channel2->isHidden());
}

TEST_F(Psk31WindowTest, DisplaySpansAndPalette)
{
    struct Case {
        int zoom, rx, low, high;
    } cases[] = {{1, 1500, 100, 3200}, {2, 1504, 501, 2499}, {4, 1500, 1001, 1999}, {4, 300, 100, 1098}, {2, 3100, 1202, 3200}};
    for (const Case& c : cases) {
        const TPskSpan s = PskDisplaySpan(c.zoom, c.rx);
        EXPECT_EQ(s.lowHz, c.low) << c.zoom << " " << c.rx;
        EXPECT_EQ(s.highHz, c.high) << c.zoom << " " << c.rx;
        EXPECT_EQ(s.firstBin, static_cast<int>(std::lround(c.low / 3.90625)));
    }
    const auto p = PskWaterfallPalette(false);
    EXPECT_EQ(p[0], qRgb(0, 0, 0));
    EXPECT_EQ(p[63], qRgb(0, 0, 255));  // 252 is written as 255
    EXPECT_EQ(p[64], qRgb(0, 0, 255));
    EXPECT_EQ(p[128], qRgb(0, 255, 255));
    EXPECT_EQ(p[192], qRgb(255, 255, 0));
    EXPECT_EQ(p[255], qRgb(255, 255, 255));
    const auto a = PskWaterfallPalette(true);
    EXPECT_EQ(a[127], qRgb(255, 255, 248));  // 32 steps: the last is 31 * 8
    EXPECT_EQ(a[128], qRgb(0, 0, 0));
    EXPECT_EQ(a[64], p[128]);
}

TEST_F(Psk31WindowTest, TransmitKeysAndReleasingWithTextWaitingAbortsIt)
{
    Config.SetPskNet(false);
    TPSK31Window& w = Open();
    w.SetTxFrequency(1800);
    core->Take();
    QTest::mouseClick(w.TxBtn, Qt::LeftButton);
    EXPECT_EQ(core->Take(), std::vector<std::string>({"fnSetTXFrequency(1800)", "fnStartTX(0)"}));
    EXPECT_TRUE(w.TxBtn->isChecked());
    QTest::keyClicks(w.TxBuf, "cq");
    QTest::keyClick(w.TxBuf, Qt::Key_Escape);
    QTest::keyClick(w.TxBuf, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(core->Take(), std::vector<std::string>({"fnSendTXCharacter(99,0)", "fnSendTXCharacter(113,0)",
                                                      "fnSendTXCharacter(1,1)", "fnSetCWIDString(DL1ABC)",
                                                      "fnSetCWIDSpeed(1)", "fnSendTXCharacter(2,1)"}));
    EXPECT_EQ(w.TxBuf->toPlainText(), "cq");
    core->charsRemaining = 5;
    QTest::mouseClick(w.TxBtn, Qt::LeftButton);
    EXPECT_EQ(core->Take(), std::vector<std::string>({"fnAbortTX()", "fnClearTXBuffer()"}));
    // With nothing waiting the transmission ends normally; Ctrl+X starts it again.
    core->charsRemaining = 0;
    QTest::keyClick(w.TxBuf, Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(core->Take().back(), "fnStartTX(0)");
    QTest::mouseClick(w.TxBtn, Qt::LeftButton);
    EXPECT_EQ(core->Take(), std::vector<std::string>({"fnStopTX()"}));
    w.SetTransmit(true);
    w.TxStatus(tsTransmitting);
    EXPECT_NE(w.TxBtn->styleSheet(), QString());
    w.TxStatus(tsEnded);
    EXPECT_FALSE(w.TxBtn->isChecked());
    w.TxStatus(tsCpuBusy);
    EXPECT_EQ(w.StatusBar[4]->text(), "CPU busy");
}

TEST_F(Psk31WindowTest, MarkersMeterAndFunctionKeys)
{
    Config.SetPskKey(0, "CQ|CQ CQ de %m");
    TPSK31Window& w = Open();
    w.SetMarker(1);
    EXPECT_EQ(w.MarkerHz(1), 1500);
    EXPECT_EQ(w.MarkerLabel(1), "1");
    w.SetMarker(1);  // the same frequency again clears it
    EXPECT_EQ(w.MarkerHz(1), 0);
    w.SetMarker(2);
    w.TuneClick(100, 3100, false);
    core->Take();
    w.GotoMarker(2);
    EXPECT_EQ(core->Take(), std::vector<std::string>({"fnSetRXFrequency(1500,0,0)"}));
    w.GotoMarker(1);  // unset: nothing
    EXPECT_TRUE(core->Take().empty());

    w.MeterClick(25, 100);
    EXPECT_EQ(core->Take(), std::vector<std::string>({"fnSetSquelchThreshold(75,1,0)", "fnSetSquelchThreshold(75,1,1)"}));
    EXPECT_EQ(Config.PskSquelch(), 75);

    QTest::keyClick(w.TxBuf, Qt::Key_F1);
    EXPECT_TRUE(w.TxBuf->toPlainText().startsWith("CQ CQ de"));
    EXPECT_EQ(core->Take().front(), "fnSendTXCharacter(67,0)");
}

TEST_F(Psk31WindowTest, SettingsGoToTheChannelsTheyBelongTo)
{
    Config.SetPskAfc(false);
    Config.SetPskAfcRange(100);
    TPSK31Window& w = Open();
    w.Settings1Click();
    TPskDialog* d = w.Dialog();
    ASSERT_NE(d, nullptr);
    w.Settings1Click();
    EXPECT_EQ(w.Dialog(), d);  // one dialog
    EXPECT_FALSE(d->TxFreq->isEnabled());  // Net on
    EXPECT_TRUE(d->RxFreq->isEnabled());   // AFC off
    core->Take();

    d->AFCRnge->setValue(60);
    EXPECT_EQ(core->Take(), std::vector<std::string>({"fnSetAFCLimit(0,0)", "fnSetAFCLimit(0,1)"}));
    d->AFC->setChecked(true);
    EXPECT_EQ(core->Take(), std::vector<std::string>({"fnSetAFCLimit(60,0)", "fnSetAFCLimit(60,1)"}));
    EXPECT_FALSE(d->RxFreq->isEnabled());
    d->BaseLine->setValue(0);
    EXPECT_EQ(core->Take(), std::vector<std::string>({"fnSetFFTMode(3,100,1)"}));
    d->RxFreq->setValue(1111);
    EXPECT_EQ(core->Take(), std::vector<std::string>({"fnSetRXFrequency(1111,0,0)"}));
    d->SquelchMode->setChecked(false);
    EXPECT_EQ(core->Take(), std::vector<std::string>({"fnSetSquelchThreshold(50,0,0)", "fnSetSquelchThreshold(50,0,1)"}));
    d->Net->setChecked(false);
    d->TxFreq->setValue(1900);
    EXPECT_EQ(w.StatusBar[2]->text(), "Tx: 1900");
    d->CenterFreq->setValue(1000);
    d->AlternateColors->setChecked(true);
    EXPECT_TRUE(core->Take().empty());
    EXPECT_EQ(Config.PskCenterFreq(), 1000);
    EXPECT_TRUE(Config.PskAltColours());
    d->Keying->setCurrentIndex(0);
    EXPECT_EQ(Config.PskKeying(), 1);
}

TEST_F(Psk31WindowTest, AKeyingChangeDropsTheLinesAndClosesThePort)
{
    // A pseudo-terminal stands in for COM9 through the port map.
    const std::string folder = ::testing::TempDir() + "psk_keyport";
    std::filesystem::create_directories(folder);
    int master = posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_GE(master, 0);
    grantpt(master);
    unlockpt(master);
    std::ofstream(folder + "/COMPORTS.INI") << "COM9=" << ptsname(master) << "\n";
    const std::string oldFolder = TComPortMap::Folder();
    TComPortMap::SetFolder(folder);
    Config.SetPskKeying(11);  // COM9
    TPSK31Window& w = Open();
    w.SetTransmit(true);
    EXPECT_TRUE(PskKeyPort().IsOpen());
    w.Settings1Click();
    w.Dialog()->F_Other->setChecked(true);
    EXPECT_TRUE(PskKeyPort().IsOpen());
    w.Dialog()->Keying->setCurrentIndex(0);
    EXPECT_FALSE(PskKeyPort().IsOpen());
    TComPortMap::SetFolder(oldFolder);
    close(master);
}

// The real modem over a WAV file our transmitter made: the terminal shows the text.
TEST_F(Psk31WindowTest, ReceivesAWavFileThroughTheRealModem)
{
    TPskTransmitter tx;
    tx.SetFrequency(1500);
    tx.Start();
    for (char c : std::string("CQ CQ de DL1ABC pse k\r"))
        tx.Send(c, false);
    std::vector<float> sound(8 * PskSampleRate);
    tx.Render(sound.data(), static_cast<int>(sound.size()));
    const std::string path = ::testing::TempDir() + "psk_window_in.wav";
    std::ofstream(path, std::ios::binary) << WavBytes(sound, PskSampleRate);

    Config.SetPskRxFreq(1500);
    window = std::make_unique<TPSK31Window>(
        nullptr, std::make_unique<TPskModem>([path] { return std::make_unique<TWavSoundCard>(path, "", false); }));
    window->show();
    ASSERT_TRUE(window->Running());
    QTRY_VERIFY_WITH_TIMEOUT(window->Terminal->toPlainText().contains("DL1ABC pse k"), 20000);
}

} // namespace
} // namespace korval
