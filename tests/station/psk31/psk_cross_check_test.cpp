// Our modem against a second PSK31 encoder and decoder written here from the published
// description alone: the alphabet table, differential phase (a 0 bit reverses the phase, a 1
// keeps it) at 31.25 symbols a second, the amplitude moving between symbols along a cosine
// (cos^2 of the old value fading into sin^2 of the new one).
#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <map>
#include <numbers>
#include <sstream>

#include "psk_test_support.h"
#include "station/psk31/psk_core.h"
#include "station/psk31/wav_file.h"

using namespace korval;
using namespace korval::psktest;

namespace {

constexpr double kPi = std::numbers::pi;

// The printable part of the published alphabet, as "character code" pairs.
const char* const kTable =
    "  1 ! 111111111 \" 101011111 # 111110101 $ 111011011 % 1011010101 & 1010111011 ' 101111111 "
    "( 11111011 ) 11110111 * 101101111 + 111011111 , 1110101 - 110101 . 1010111 / 110101111 "
    "0 10110111 1 10111101 2 11101101 3 11111111 4 101110111 5 101011011 6 101101011 7 110101101 "
    "8 110101011 9 110110111 : 11110101 ; 110111101 < 111101101 = 1010101 > 111010111 ? 1010101111 "
    "@ 1010111101 A 1111101 B 11101011 C 10101101 D 10110101 E 1110111 F 11011011 G 11111101 "
    "H 101010101 I 1111111 J 111111101 K 101111101 L 11010111 M 10111011 N 11011101 O 10101011 "
    "P 11010101 Q 111011101 R 10101111 S 1101111 T 1101101 U 101010111 V 110110101 W 101011101 "
    "X 101110101 Y 101111011 Z 1010101101 [ 111110111 \\ 111101111 ] 111111011 ^ 1010111111 "
    "_ 101101101 ` 1011011111 a 1011 b 1011111 c 101111 d 101101 e 11 f 111101 g 1011011 h 101011 "
    "i 1101 j 111101011 k 10111111 l 11011 m 111011 n 1111 o 111 p 111111 q 110111111 r 10101 "
    "s 10111 t 101 u 110111 v 1111011 w 1101011 x 11011111 y 1011101 z 111010101 { 1010110111 "
    "| 110111011 } 1010110101 ~ 1011010111";

std::map<char, std::string> Codes()
{
    std::map<char, std::string> codes;
    codes[' '] = "1";
    std::istringstream in(kTable + 4);  // after the space's own entry
    char c;
    std::string code;
    while (in >> c >> code)
        codes[c] = code;
    return codes;
}

struct Framing {
    int preamble = 32, postamble = 32;
};

// The bits of a transmission: reversals, each character's code and two 0 bits, steady carrier.
std::string Bits(const std::string& text, Framing f = {})
{
    const auto codes = Codes();
    std::string bits(static_cast<std::size_t>(f.preamble), '0');
    for (char c : text)
        bits += codes.at(c) + "00";
    return bits + std::string(static_cast<std::size_t>(f.postamble), '1');
}

// The waveform, computed at each sample's time. The symbol values run 0 (silence), +-1 for the
// bits, 0; symbol k moves from value k-1 to value k during its period.
std::vector<float> Encode(const std::string& bits, double hz, double ppm = 0, double amplitude = 0.5)
{
    std::vector<double> values {0, 1};
    for (char b : bits)
        values.push_back(b == '1' ? values.back() : -values.back());
    values.push_back(0);
    const double period = (1.0 / 31.25) * (1 + ppm * 1e-6);
    const auto total = static_cast<std::size_t>(static_cast<double>(values.size() - 1) * period * PskSampleRate);
    std::vector<float> out(total);
    for (std::size_t n = 0; n < total; ++n) {
        const double t = static_cast<double>(n) / PskSampleRate;
        const auto k = static_cast<std::size_t>(t / period) + 1;
        if (k >= values.size())
            break;
        const double tau = t - static_cast<double>(k - 1) * period;
        const double c = std::cos(kPi * tau / (2 * period)), s = std::sin(kPi * tau / (2 * period));
        const double a = values[k - 1] * c * c + values[k] * s * s;
        out[n] = static_cast<float>(amplitude * a * std::cos(2 * kPi * hz * t));
    }
    return out;
}

// Reads text from sound of a known carrier and symbol rate: the carrier mixed out and averaged
// over a symbol, the symbol instants found as where that is strongest, a 0 bit for each
// reversal, characters between the gaps of two or more 0 bits after the first such gap.
std::string Decode(const std::vector<float>& x, double hz)
{
    const int sps = static_cast<int>(PskSampleRate / 31.25);
    std::vector<std::complex<double>> bb(x.size());
    std::complex<double> acc;
    for (std::size_t n = 0; n < x.size(); ++n) {
        acc += static_cast<double>(x[n]) * std::polar(1.0, -2 * kPi * hz * static_cast<double>(n) / PskSampleRate);
        if (n >= static_cast<std::size_t>(sps))
            acc -= static_cast<double>(x[n - sps]) *
                   std::polar(1.0, -2 * kPi * hz * static_cast<double>(n - sps) / PskSampleRate);
        bb[n] = acc;
    }
    int best = 0;
    double bestEnergy = -1;
    for (int o = 0; o < sps; o += 4) {
        double e = 0;
        for (std::size_t n = static_cast<std::size_t>(o); n < bb.size(); n += static_cast<std::size_t>(sps))
            e += std::abs(bb[n]);
        if (e > bestEnergy)
            bestEnergy = e, best = o;
    }
    double peak = 0;
    for (const auto& v : bb)
        peak = std::max(peak, std::abs(v));
    std::string bits;
    std::complex<double> prev;
    for (std::size_t n = static_cast<std::size_t>(best); n < bb.size(); n += static_cast<std::size_t>(sps)) {
        if (std::abs(bb[n]) > 0.1 * peak && std::abs(prev) > 0.1 * peak)
            bits += (bb[n] * std::conj(prev)).real() > 0 ? '1' : '0';
        prev = bb[n];
    }
    std::map<std::string, char> chars;
    for (const auto& [c, code] : Codes())
        chars[code] = c;
    std::string text;
    std::size_t pos = bits.find("00");
    while (pos != std::string::npos) {
        const std::size_t start = bits.find('1', pos);
        if (start == std::string::npos)
            break;
        const std::size_t end = bits.find("00", start);
        if (end == std::string::npos)
            break;
        if (auto it = chars.find(bits.substr(start, end - start)); it != chars.end())
            text += it->second;
        pos = end;
    }
    return text;
}

} // namespace

TEST(PskCrossCheck, OurTransmitterMakesThePublishedWaveformSampleForSample)
{
    const std::string text = "CQ CQ de DL1ABC pse k";
    const std::vector<float> ours = Transmit(text, 1000, 0, 0);
    const std::vector<float> theirs = Encode(Bits(text), 1000);
    ASSERT_EQ(ours.size(), theirs.size());
    float worst = 0;
    for (std::size_t i = 0; i < ours.size(); ++i)
        worst = std::max(worst, std::fabs(ours[i] - theirs[i]));
    EXPECT_LT(worst, 1e-3f);
}

TEST(PskCrossCheck, TheIndependentDecoderReadsOurWavFile)
{
    const std::string text = PrintableText(300, 11);
    const TWavSound wav = ReadWav(WavBytes(Transmit(text, 1800), PskSampleRate));
    EXPECT_EQ(Decode(wav.samples, 1800), text);
}

struct ClockCase {
    double ppm;
};
class PskClockCheck : public ::testing::TestWithParam<ClockCase> {};
TEST_P(PskClockCheck, OurReceiverReadsTheIndependentEncoderAndMeasuresItsClock)
{
    const std::string text = PrintableText(400, 13);
    const double ppm = GetParam().ppm;
    std::vector<float> sound = Encode(Bits(text), 1400, ppm);
    TPskReceiver rx;
    rx.Channel(0).SetFrequency(1400);
    const TReceived got = Receive(rx, sound);
    EXPECT_EQ(got.text[0], text) << ppm << " ppm";
    ASSERT_GE(got.clock.size(), 2u);
    // The first figure includes the settling; the later ones are the measurement.
    for (std::size_t i = 1; i < got.clock.size(); ++i)
        EXPECT_NEAR(got.clock[i], ppm, 300) << ppm << " ppm, figure " << i;
}
INSTANTIATE_TEST_SUITE_P(Offsets, PskClockCheck,
                         ::testing::Values(ClockCase {0}, ClockCase {3000}, ClockCase {-3000}));
