// Wave files as the announcements read them, and the sound card missing: a clear message once,
// never a crash or a hang.
#include <gtest/gtest.h>

#include <chrono>
#include <future>

#include "platform/alsa_sound.h"
#include "platform/wav_file.h"
#include "test_support.h"

namespace korval {
namespace {

std::string Samples(std::size_t n)
{
    std::string s;
    for (std::size_t i = 0; i < n; ++i)
        s.push_back(static_cast<char>(i & 0x7F));
    return s;
}

std::string Wav16Mono(std::size_t bytes)
{
    TWavData w;
    w.channels = 1;
    w.sampleRate = 22050;
    w.bitsPerSample = 16;
    w.samples = Samples(bytes);
    return MakeWav(w);
}

TEST(WavFile, ReadsFormatAndSamples)
{
    TWavData w;
    std::string error;
    ASSERT_TRUE(ParseWav(Wav16Mono(100), w, error)) << error;
    EXPECT_EQ(w.channels, 1);
    EXPECT_EQ(w.sampleRate, 22050);
    EXPECT_EQ(w.bitsPerSample, 16);
    EXPECT_EQ(w.samples, Samples(100));
    EXPECT_EQ(w.Frames(), 50u);
}

TEST(WavFile, SkipsOtherChunksWithTheirPadding)
{
    // An odd-sized LIST chunk before the data carries one pad byte.
    std::string wav = Wav16Mono(8);
    const std::string list = std::string("LIST\x03\0\0\0abc\0", 12);
    wav.insert(36, list);
    wav[4] = static_cast<char>(wav[4] + 12);
    TWavData w;
    std::string error;
    ASSERT_TRUE(ParseWav(wav, w, error)) << error;
    EXPECT_EQ(w.samples, Samples(8));
}

TEST(WavFile, FileCutShortGivesTheWholeFramesPresent)
{
    std::string wav = Wav16Mono(100);
    wav.resize(wav.size() - 51); // 49 bytes of samples left: 24 frames
    TWavData w;
    std::string error;
    ASSERT_TRUE(ParseWav(wav, w, error)) << error;
    EXPECT_EQ(w.samples.size(), 48u);
}

struct BadWav {
    const char* name;
    std::string bytes;
};

TEST(WavFile, RefusesWhatIsNotPcmWave)
{
    std::string compressed = Wav16Mono(10);
    compressed[20] = 2; // ADPCM
    std::string noData = Wav16Mono(0).substr(0, 36);
    std::string dataFirst = "RIFF\x10\0\0\0WAVEdata\x02\0\0\0ab";
    std::string shortFormat = Wav16Mono(4);
    shortFormat[16] = 8;
    std::string badBits = Wav16Mono(4);
    badBits[34] = 12;
    std::string hugeFormat = Wav16Mono(4);
    hugeFormat[19] = 0x7F; // a format chunk larger than the file
    for (const BadWav& c : {BadWav{"empty", ""}, BadWav{"text", "hello world, not a sound"},
                            BadWav{"compressed", compressed}, BadWav{"no data", noData},
                            BadWav{"data before format", dataFirst}, BadWav{"short format", shortFormat},
                            BadWav{"12-bit", badBits}, BadWav{"format past the end", hugeFormat}}) {
        TWavData w;
        std::string error;
        EXPECT_FALSE(ParseWav(c.bytes, w, error)) << c.name;
        EXPECT_FALSE(error.empty()) << c.name;
    }
}

constexpr const char* NoDevice = "korval_no_such_device";

TEST(AlsaSound, MissingDeviceIsReportedOnceAndPlaysNothing)
{
    test::TempDir dir;
    test::WriteAll(dir.file("A.WAV"), Wav16Mono(200));
    std::vector<std::string> errors;
    TAlsaSound sound(NoDevice, [&errors](const std::string& text) { errors.push_back(text); });
    EXPECT_FALSE(sound.PlayWav(dir.file("A.WAV")));
    EXPECT_FALSE(sound.PlayWav(dir.file("A.WAV")));
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0].rfind(std::string("No sound device: ") + NoDevice + " (", 0), 0u) << errors[0];
    EXPECT_FALSE(sound.PlayWav(dir.file("missing.WAV")));
    EXPECT_EQ(errors.size(), 1u);
}

TEST(AlsaSideTone, MissingDeviceIsReportedAndTheToneStaysSilent)
{
    std::promise<std::string> error;
    auto reported = error.get_future();
    TAlsaSideTone tone(NoDevice, [&error](const std::string& text) { error.set_value(text); });
    tone.On(0); // refused: no device is even tried
    ASSERT_EQ(reported.wait_for(std::chrono::milliseconds(200)), std::future_status::timeout);
    tone.On(850);
    ASSERT_EQ(reported.wait_for(std::chrono::seconds(10)), std::future_status::ready);
    EXPECT_NE(reported.get().find(NoDevice), std::string::npos);
    tone.On(850); // after the failure: nothing, and no second report
    tone.Off();
}

} // namespace
} // namespace korval
