// The transmitter's controls, and the modem running in its own thread over WAV files and a
// sound card that is not there.
#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <map>
#include <mutex>
#include <thread>

#include "psk_test_support.h"
#include "station/psk31/alsa_sound_card.h"
#include "station/psk31/psk_modem.h"
#include "station/psk31/wav_file.h"
#include "station/psk31/wav_sound_card.h"
#include "test_support.h"

using namespace korval;
using namespace korval::psktest;

namespace {

// Renders until the transmitter goes quiet (at most a minute).
std::vector<float> RenderAll(TPskTransmitter& tx)
{
    std::vector<float> out;
    float block[256];
    while (tx.Active() && out.size() < 60u * PskSampleRate) {
        const int n = tx.Render(block, 256);
        out.insert(out.end(), block, block + n);
    }
    return out;
}

std::string Decode(const std::vector<float>& sound, double hz)
{
    TPskReceiver rx;
    rx.Channel(0).SetFrequency(hz);
    return Receive(rx, sound).text[0];
}

// Morse read back from the keyed tone: key-down runs of one unit are dots, of three dashes.
std::string ReadMorse(const std::vector<float>& x, std::size_t from, int& dotSamples)
{
    static const std::map<std::string, char> letters = {
        {".-", 'A'}, {"-...", 'B'}, {"-.-.", 'C'}, {"-..", 'D'}, {".-..", 'L'}, {".----", '1'}, {"-..-.", '/'}};
    std::vector<bool> key;
    double env = 0;
    for (std::size_t i = from; i < x.size(); ++i) {
        env += 0.02 * (std::fabs(x[i]) - env);
        key.push_back(env > 0.1);
    }
    std::vector<std::pair<bool, int>> runs;
    for (bool k : key)
        if (!runs.empty() && runs.back().first == k)
            ++runs.back().second;
        else
            runs.push_back({k, 1});
    int shortest = 1 << 30;
    for (const auto& [k, n] : runs)
        if (k)
            shortest = std::min(shortest, n);
    dotSamples = shortest;
    std::string text, letter;
    for (const auto& [k, n] : runs) {
        if (k) {
            letter += n > 2 * shortest ? '-' : '.';
        } else if (n > 2 * shortest && !letter.empty()) {
            text += letters.count(letter) ? letters.at(letter) : '?';
            letter.clear();
        }
    }
    if (!letter.empty())
        text += letters.count(letter) ? letters.at(letter) : '?';
    return text;
}

// Collects the modem's notifications; they come from its thread.
struct Collector : TPskCoreEvents {
    std::mutex m;
    std::condition_variable changed;
    std::string text[2];
    std::vector<int> status;
    int displays = 0, lastFrequency = 0;
    std::thread::id thread;

    void Note()
    {
        thread = std::this_thread::get_id();
        changed.notify_all();
    }
    void DisplayData(int f, int) override { std::lock_guard g(m); ++displays, lastFrequency = f; Note(); }
    void RxChar(int c, int ch) override { std::lock_guard g(m); text[ch] += static_cast<char>(c); Note(); }
    void TxStatus(int s) override { std::lock_guard g(m); status.push_back(s); Note(); }
    void Imd(int, int) override {}
    void ClockError(int, int) override {}

    template <class P>
    bool WaitFor(P done, int seconds = 30)
    {
        std::unique_lock g(m);
        return changed.wait_for(g, std::chrono::seconds(seconds), done);
    }
};

} // namespace

TEST(PskTransmitter, AbortEndsWithinTwoSymbolsAndClearForgetsTheWaitingText)
{
    TPskTransmitter tx;
    tx.SetFrequency(1000);
    tx.Start();
    for (char c : std::string(50, 'x'))
        tx.Send(c, false);
    std::vector<float> sound(PskSampleRate);
    tx.Render(sound.data(), PskSampleRate);
    EXPECT_GT(tx.Remaining(), 30);
    tx.Abort();
    const std::vector<float> tail = RenderAll(tx);
    EXPECT_LE(tail.size(), 512u);
    EXPECT_LT(std::fabs(tail.back()), 0.01f);  // faded, no click
    EXPECT_GT(tx.Remaining(), 30);
    tx.Clear();
    EXPECT_EQ(tx.Remaining(), 0);
}

TEST(PskTransmitter, ControlCodeOneEndsTheTransmissionWhereItStands)
{
    TPskTransmitter tx;
    tx.SetFrequency(1000);
    tx.Start();
    for (char c : std::string("ab"))
        tx.Send(c, false);
    tx.Send(1, true);
    tx.Send('c', false);
    const std::vector<float> sound = RenderAll(tx);
    EXPECT_FALSE(tx.Active());
    EXPECT_EQ(tx.Remaining(), 1);
    EXPECT_EQ(Decode(sound, 1000), "ab");
}

TEST(PskTransmitter, ControlCodeTwoKeysTheCwIdentificationAndTextAfterItGoesOn)
{
    TPskTransmitter tx;
    tx.SetFrequency(1200);
    tx.SetCwId("DL1ABC");
    tx.SetCwIdSpeed(1);
    tx.Start();
    for (char c : std::string("tnx 73"))
        tx.Send(c, false);
    tx.Send(2, true);
    const std::vector<float> sound = RenderAll(tx);
    EXPECT_EQ(Decode(sound, 1200), "tnx 73");
    // The identification follows the PSK31 part: a second of steady carrier and its fade end
    // 32 + 1 symbols after the last character.
    const std::size_t pskEnd = Transmit("tnx 73", 1200, 0, 0).size();
    int dot = 0;
    EXPECT_EQ(ReadMorse(sound, pskEnd, dot), "DL1ABC");
    EXPECT_NEAR(dot, 0.060 * PskSampleRate, 40);  // 20 words a minute

    tx.Start();
    for (char c : std::string("de"))
        tx.Send(c, false);
    tx.Send(2, true);
    tx.Send('k', false);
    EXPECT_EQ(Decode(RenderAll(tx), 1200), "dek");
}

TEST(PskModem, ReceivesBothChannelsOfAWavFileInItsOwnThread)
{
    test::TempDir dir;
    std::vector<float> a = Transmit("alpha one", 1000), b = Transmit("bravo two", 1600);
    a.resize(std::max(a.size(), b.size()));
    for (std::size_t i = 0; i < b.size(); ++i)
        a[i] += b[i];
    test::WriteAll(dir.file("in.wav"), WavBytes(a, PskSampleRate));

    TPskModem modem([&] { return std::make_unique<TWavSoundCard>(dir.file("in.wav"), "", false); });
    modem.fnSetRXFrequency(1000, 0, 0);
    modem.fnSetRXFrequency(1600, 0, 1);
    Collector events;
    ASSERT_EQ(modem.fnStartSoundCard(&events, 0, 2), 0);
    EXPECT_TRUE(events.WaitFor([&] { return events.text[0] == "alpha one" && events.text[1] == "bravo two"; }))
        << events.text[0] << " / " << events.text[1];
    modem.fnRewindInput();
    EXPECT_TRUE(events.WaitFor([&] { return events.text[0] == "alpha onealpha one"; })) << events.text[0];
    modem.fnStopSoundCard();
    EXPECT_NE(events.thread, std::this_thread::get_id());
    EXPECT_GT(events.displays, 0);
    EXPECT_EQ(events.lastFrequency, 1000);
    EXPECT_EQ(modem.fnGetRXFrequency(1), 1600);
}

TEST(PskModem, TransmitsIntoAWavFileAndReportsTheTransmissionsStartAndEnd)
{
    test::TempDir dir;
    test::WriteAll(dir.file("quiet.wav"), WavBytes(std::vector<float>(60 * PskSampleRate, 0.0f), PskSampleRate));
    TPskModem modem(
        [&] { return std::make_unique<TWavSoundCard>(dir.file("quiet.wav"), dir.file("out.wav"), false); });
    Collector events;
    ASSERT_EQ(modem.fnStartSoundCard(&events, 0, 2), 0);
    modem.fnSetTXFrequency(1300);
    modem.fnStartTX(0);
    for (char c : std::string("hello world"))
        modem.fnSendTXCharacter(c, 0);
    modem.fnStopTX();
    EXPECT_TRUE(events.WaitFor([&] { return events.status.size() >= 2; }));
    modem.fnStopSoundCard();
    EXPECT_EQ(events.status, (std::vector<int> {tsTransmitting, tsEnded}));
    EXPECT_EQ(modem.fnGetTXCharsRemaining(), 0);
    EXPECT_EQ(Decode(ReadWavFile(dir.file("out.wav")).samples, 1300), "hello world");
}

TEST(PskModem, AStartThatFailsSaysWhyInFiftyCharactersAtMost)
{
    struct Case {
        std::function<std::unique_ptr<TPskSoundCard>()> card;
        const char* starts;
    };
    const Case cases[] = {
        {[] { return std::make_unique<TWavSoundCard>("/nonexistent/in.wav", ""); }, "Cannot open /nonexistent/in.wav"},
        {[] { return std::make_unique<TAlsaSoundCard>("hw:97"); }, "hw:97 input: "},
    };
    for (const Case& c : cases) {
        TPskModem modem(c.card);
        Collector events;
        EXPECT_NE(modem.fnStartSoundCard(&events, 0, 2), 0) << c.starts;
        EXPECT_FALSE(modem.Running());
        const std::string error = modem.fnGetErrorString();
        EXPECT_LE(error.size(), 50u);
        EXPECT_EQ(error.rfind(c.starts, 0), 0u) << error;
    }
}
