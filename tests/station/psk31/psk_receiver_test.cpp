// The modem's sound path without the sound card: our transmitter's sound, through a WAV file or
// with noise added, read by our receiver.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "psk_test_support.h"
#include "station/psk31/psk_core.h"
#include "station/psk31/wav_file.h"
#include "test_support.h"

using namespace korval;
using namespace korval::psktest;

namespace {

// seconds of idle (reversals only) on hz, put through y = x - c x^3 (an overdriven amplifier).
std::vector<float> DistortedIdle(double seconds, double hz, double c)
{
    TPskTransmitter tx;
    tx.SetFrequency(hz);
    tx.Start();
    std::vector<float> sound(static_cast<std::size_t>(seconds * PskSampleRate));
    tx.Render(sound.data(), static_cast<int>(sound.size()));
    for (float& v : sound)
        v = static_cast<float>(v - c * v * v * v);
    return sound;
}

int Median(std::vector<int> v)
{
    if (v.empty())
        return 9999;
    std::nth_element(v.begin(), v.begin() + static_cast<std::ptrdiff_t>(v.size() / 2), v.end());
    return v[v.size() / 2];
}

} // namespace

TEST(PskReceiver, AllPrintableAsciiThroughAWavFileComesBackExactly)
{
    test::TempDir dir;
    const std::string text = PrintableText(1000);
    const std::vector<float> sound = Transmit(text, 1500);
    const std::string path = dir.file("roundtrip.wav");
    {
        TWavWriter writer(path, PskSampleRate);
        writer.Write(sound.data(), static_cast<int>(sound.size()));
        writer.Close();
    }
    const TWavSound wav = ReadWavFile(path);
    ASSERT_EQ(wav.sampleRate, PskSampleRate);

    TPskReceiver rx;
    rx.Channel(0).SetFrequency(1500);
    EXPECT_EQ(Receive(rx, wav.samples).text[0], text);
}

TEST(PskReceiver, WhiteNoiseAtTenDecibelsInThreeKilohertzCostsUnderOnePercentOfCharacters)
{
    const std::string text = PrintableText(1000, 5);
    const double lead = 3;
    std::vector<float> sound = Transmit(text, 1200, lead, lead);
    const auto edge = static_cast<std::size_t>(lead * PskSampleRate);
    AddNoise(sound, MeanPower(sound, edge, sound.size() - edge), 10);

    TPskReceiver rx;
    rx.Channel(0).SetFrequency(1200);
    const std::string got = Receive(rx, sound).text[0];
    // Noise before and after the signal counts too: characters made up from it are errors.
    const double rate = static_cast<double>(EditDistance(got, text)) / static_cast<double>(text.size());
    EXPECT_LT(rate, 0.01) << "character error rate " << rate;
}

TEST(PskReceiver, SquelchKeepsNoiseOutAndOpenedLetsItIn)
{
    std::vector<float> noise(20 * PskSampleRate, 0.0f);
    AddNoise(noise, 0.01, 0, 3);
    TPskReceiver shut, open;
    open.Channel(0).SetSquelch(0, false);
    EXPECT_EQ(Receive(shut, noise).text[0], "");
    EXPECT_FALSE(Receive(open, noise).text[0].empty());
}

TEST(PskReceiver, TwoChannelsReadTwoSignalsAtOnce)
{
    const std::string a = "first station calling CQ", b = "second station answering";
    std::vector<float> sa = Transmit(a, 1000), sb = Transmit(b, 1600);
    sa.resize(std::max(sa.size(), sb.size()), 0.0f);
    for (std::size_t i = 0; i < sb.size(); ++i)
        sa[i] += sb[i];
    TPskReceiver rx;
    rx.Channel(0).SetFrequency(1000);
    rx.Channel(1).SetFrequency(1600);
    const TReceived got = Receive(rx, sa);
    EXPECT_EQ(got.text[0], a);
    EXPECT_EQ(got.text[1], b);
}

struct AfcCase {
    int limit;
    double settlesAt;
};
class PskAfc : public ::testing::TestWithParam<AfcCase> {};
TEST_P(PskAfc, PullsInASignalFiveHertzOffWithinTwoSecondsUpToItsLimit)
{
    const std::vector<float> sound = Transmit(std::string(200, 'e'), 1505, 0, 0);
    TPskReceiver rx;
    rx.Channel(0).SetFrequency(1500);
    rx.Channel(0).SetAfcLimit(GetParam().limit);
    std::vector<TPskEvent> events;
    rx.Process(sound.data(), 2 * PskSampleRate, events);
    EXPECT_NEAR(rx.Channel(0).Frequency(), GetParam().settlesAt, 0.5) << "limit " << GetParam().limit;
}
INSTANTIATE_TEST_SUITE_P(Limits, PskAfc,
                         ::testing::Values(AfcCase {100, 1505}, AfcCase {3, 1503}, AfcCase {0, 1500}));

struct ImdCase {
    double cubic;
    int low, high;
};
class PskImd : public ::testing::TestWithParam<ImdCase> {};
TEST_P(PskImd, MeasuresTheThirdOrderProductsOfAnIdleSignal)
{
    // Two tones of amplitude a through x - c x^3: third-order products of 3/4 c a^3 beside
    // fundamentals of a - 9/4 c a^3 (a = 0.25 here: -25.3 dB for c = 1, -12.3 dB for c = 3).
    TPskReceiver rx;
    rx.Channel(0).SetFrequency(1000);
    const TReceived got = Receive(rx, DistortedIdle(6, 1000, GetParam().cubic));
    ASSERT_FALSE(got.imd.empty());
    const int imd = Median(got.imd);
    EXPECT_GE(imd, GetParam().low) << "c = " << GetParam().cubic;
    EXPECT_LE(imd, GetParam().high) << "c = " << GetParam().cubic;
}
INSTANTIATE_TEST_SUITE_P(Distortion, PskImd,
                         ::testing::Values(ImdCase {0, -60, -40}, ImdCase {1, -26, -24}, ImdCase {3, -13, -11}));

TEST(PskSpectrum, FindsSignalCentresAndTheNextSignalInEitherDirection)
{
    std::vector<float> a = Transmit(std::string(60, ' '), 1500, 0, 0), b = Transmit("the quick brown fox", 1700, 0, 0);
    a.resize(std::min(a.size(), b.size()));
    for (std::size_t i = 0; i < a.size(); ++i)
        a[i] += b[i];
    AddNoise(a, 0.03, 10);
    TPskSpectrum s;
    s.Process(a.data(), static_cast<int>(a.size()));
    EXPECT_NEAR(s.FindSignal(1510, 15), 1500, 2.5);
    EXPECT_EQ(s.FindSignal(1300, 15), 0);
    // The search leaves the signal it starts on.
    EXPECT_NEAR(s.ClosestPeak(1505, 3200), 1700, 3);
    EXPECT_NEAR(s.ClosestPeak(1695, 100), 1500, 3);
    EXPECT_EQ(s.ClosestPeak(1495, 100), 0);
    EXPECT_EQ(s.ClosestPeak(1705, 3200), 0);

    int values[3];
    s.Values(values, 384, 386);  // 1500 Hz is bin 384
    int quiet[3];
    s.Values(quiet, 300, 302);
    EXPECT_GT(values[1], 50);
    EXPECT_LT(quiet[1], 25);

    // A recording that ends in digital silence clears the display instead of keeping the
    // signal's shape.
    std::vector<float> silence(10 * PskSampleRate, 0.0f);
    s.Process(silence.data(), static_cast<int>(silence.size()));
    s.Values(values, 384, 386);
    EXPECT_EQ(values[1], 0);
}

TEST(PskSpectrum, OverloadIsFlaggedWhileTheInputReachesFullScale)
{
    std::vector<float> loud(4096);
    for (std::size_t i = 0; i < loud.size(); ++i)
        loud[i] = static_cast<float>(std::sin(0.7 * static_cast<double>(i)));
    TPskSpectrum s;
    int v[1];
    s.Process(loud.data(), 4096);
    EXPECT_TRUE(s.Values(v, 0, 0));
    for (float& x : loud)
        x *= 0.5f;
    s.Process(loud.data(), 4096);
    EXPECT_FALSE(s.Values(v, 0, 0));
}
