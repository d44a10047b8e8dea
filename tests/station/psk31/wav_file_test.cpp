// WAV files in the kinds recording programs write, the damaged ones refused or cut to what they
// hold, other sample rates brought to 8000 Hz, and the writer's output.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "logbook/base/record_bytes.h"
#include "psk_test_support.h"
#include "station/psk31/psk_core.h"
#include "station/psk31/wav_file.h"
#include "test_support.h"

using namespace korval;

namespace {

// A WAV file: format code, channels, rate, bits, the data bytes, and an optional extra chunk
// before the data.
std::string Wav(std::uint16_t format, std::uint16_t channels, std::uint32_t rate, std::uint16_t bits,
                const std::string& data, bool extensible = false, std::string extra = {})
{
    std::string fmt(extensible ? 40 : 16, '\0');
    auto* f = reinterpret_cast<std::uint8_t*>(fmt.data());
    PutU16(f, 0, extensible ? 0xFFFE : format);
    PutU16(f, 2, channels);
    PutU32(f, 4, rate);
    PutU32(f, 8, rate * channels * bits / 8);
    PutU16(f, 12, static_cast<std::uint16_t>(channels * bits / 8));
    PutU16(f, 14, bits);
    if (extensible) {
        PutU16(f, 16, 22);
        PutU16(f, 24, format);
    }
    auto chunk = [](const std::string& id, const std::string& body) {
        std::string h(8, '\0');
        std::memcpy(h.data(), id.data(), 4);
        PutU32(reinterpret_cast<std::uint8_t*>(h.data()), 4, static_cast<std::uint32_t>(body.size()));
        return h + body + (body.size() % 2 ? std::string(1, '\0') : std::string());
    };
    std::string body = "WAVE" + chunk("fmt ", fmt) + extra + chunk("data", data);
    std::string riff = "RIFF    " + body;
    PutU32(reinterpret_cast<std::uint8_t*>(riff.data()), 4, static_cast<std::uint32_t>(body.size()));
    return riff;
}

std::string Le(std::initializer_list<std::uint32_t> values, int width)
{
    std::string s;
    for (std::uint32_t v : values)
        for (int i = 0; i < width; ++i)
            s += static_cast<char>(v >> (8 * i));
    return s;
}

} // namespace

TEST(WavFile, ReadsTheCommonSampleFormatsAsOneChannel)
{
    struct Case {
        const char* name;
        std::string bytes;
        std::vector<float> expected;
    };
    const float f05 = 0.5f, fm025 = -0.25f;
    std::uint32_t b05, bm025;
    std::memcpy(&b05, &f05, 4);
    std::memcpy(&bm025, &fm025, 4);
    const Case cases[] = {
        {"8-bit", Wav(1, 1, 8000, 8, Le({192, 64}, 1)), {0.5f, -0.5f}},
        {"16-bit", Wav(1, 1, 8000, 16, Le({0x4000, 0xC000}, 2)), {0.5f, -0.5f}},
        {"24-bit", Wav(1, 1, 8000, 24, Le({0x400000, 0xE00000}, 3)), {0.5f, -0.25f}},
        {"32-bit", Wav(1, 1, 8000, 32, Le({0x40000000, 0xE0000000}, 4)), {0.5f, -0.25f}},
        {"float", Wav(3, 1, 8000, 32, Le({b05, bm025}, 4)), {0.5f, -0.25f}},
        {"stereo mixed", Wav(1, 2, 8000, 16, Le({0x4000, 0x0000, 0xC000, 0xC000}, 2)), {0.25f, -0.5f}},
        {"extensible", Wav(1, 1, 8000, 16, Le({0x4000}, 2), true), {0.5f}},
        {"list chunk first", Wav(1, 1, 8000, 16, Le({0x4000}, 2), false, std::string("LIST\3\0\0\0abc\0", 12)), {0.5f}},
    };
    for (const Case& c : cases) {
        const TWavSound s = ReadWav(c.bytes);
        EXPECT_EQ(s.sampleRate, 8000) << c.name;
        ASSERT_EQ(s.samples.size(), c.expected.size()) << c.name;
        for (std::size_t i = 0; i < c.expected.size(); ++i)
            EXPECT_NEAR(s.samples[i], c.expected[i], 1e-4) << c.name << " sample " << i;
    }
}

TEST(WavFile, ARecordingCutShortKeepsItsWholeSamples)
{
    std::string bytes = Wav(1, 1, 8000, 16, Le({0x4000, 0x2000, 0x1000}, 2));
    bytes.resize(bytes.size() - 3);  // one and a half samples lost
    EXPECT_EQ(ReadWav(bytes).samples.size(), 1u);
}

TEST(WavFile, RefusesWhatItCannotRead)
{
    const std::pair<std::string, const char*> cases[] = {
        {"", "WAV file: not a RIFF/WAVE file"},
        {"RIFF\4\0\0\0AVI ", "WAV file: not a RIFF/WAVE file"},
        {Wav(1, 1, 8000, 16, "").substr(0, 12), "WAV file: no sound format"},
        {Wav(1, 1, 8000, 16, "").substr(0, 24), "WAV file: damaged format chunk"},
        {Wav(1, 1, 8000, 16, "").substr(0, 36), "WAV file: no sound data"},
        {Wav(2, 1, 8000, 4, "abcd"), "WAV file: not PCM sound (format 2)"},
        {Wav(1, 1, 8000, 4, "abcd"), "WAV file: unsupported sound format"},
        {Wav(3, 1, 8000, 16, "abcd"), "WAV file: unsupported sound format"},
        {Wav(1, 0, 8000, 16, "abcd"), "WAV file: unsupported sound format"},
        {Wav(1, 1, 10, 16, "abcd"), "WAV file: unsupported sound format"},
    };
    for (const auto& [bytes, message] : cases) {
        try {
            ReadWav(bytes);
            ADD_FAILURE() << "accepted: " << message;
        } catch (const EWavError& e) {
            EXPECT_STREQ(e.what(), message);
        }
    }
    try {
        ReadWavFile("/nonexistent/x.wav");
        ADD_FAILURE();
    } catch (const EWavError& e) {
        EXPECT_NE(std::string(e.what()).find("/nonexistent/x.wav"), std::string::npos);
    }
}

TEST(WavFile, A48kHzRecordingIsBroughtTo8kHzAndDecodes)
{
    // The transmission made at 8000 Hz, taken to 48000 Hz and back.
    const std::string text = "cq cq de dl1abc dl1abc k";
    const std::vector<float> sound = psktest::Transmit(text, 1500);
    const std::vector<float> up = ResampleSound(sound, 8000, 48000);
    ASSERT_EQ(up.size(), sound.size() * 6);
    const TWavSound wav = ReadWav(WavBytes(up, 48000));
    const std::vector<float> back = ResampleSound(wav.samples, wav.sampleRate, PskSampleRate);
    TPskReceiver rx;
    rx.Channel(0).SetFrequency(1500);
    EXPECT_EQ(psktest::Receive(rx, back).text[0], text);

    // A tone above the new half rate does not fold back into the band.
    std::vector<float> high(48000);
    for (std::size_t i = 0; i < high.size(); ++i)
        high[i] = static_cast<float>(0.5 * std::sin(2 * 3.14159265 * 6500 * static_cast<double>(i) / 48000));
    const std::vector<float> low = ResampleSound(high, 48000, 8000);
    EXPECT_LT(psktest::MeanPower(low, 1000, 7000), 1e-5);
}

TEST(WavFile, TheWriterAppearsOnlyWhenClosed)
{
    test::TempDir dir;
    const std::string path = dir.file("tx.wav");
    test::WriteAll(path, "old");
    {
        TWavWriter w(path, 8000);
        const float x[3] = {0.5f, -0.5f, 1.5f};
        w.Write(x, 3);
        EXPECT_EQ(test::ReadAll(path), "old");
        w.Close();
    }
    const TWavSound s = ReadWavFile(path);
    ASSERT_EQ(s.samples.size(), 3u);
    EXPECT_FLOAT_EQ(s.samples[0], 0.5f);
    EXPECT_NEAR(s.samples[2], 1.0f, 1e-4);  // clipped, not wrapped round
    {
        TWavWriter abandoned(dir.file("gone.wav"), 8000);
    }
    EXPECT_FALSE(std::filesystem::exists(dir.file("gone.wav")));
}
