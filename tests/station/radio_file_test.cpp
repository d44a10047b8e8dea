// The CAT engine through the two file interfaces shared with another program.
#include "station/radio.h"

#include "tests/test_support.h"

#include <chrono>
#include <filesystem>
#include <gtest/gtest.h>
#include <thread>

using namespace korval;
using korval::test::ReadAll;
using korval::test::WriteAll;

namespace {

class TFileHost : public TRadioHost {
public:
    void ProcessRadioMessages() override { std::this_thread::sleep_for(std::chrono::milliseconds(1)); }
    std::int64_t TickCount() override
    {
        return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
            .count();
    }
    void RadioDisabled(const std::string& text) override { disabled.push_back(text); }
    std::vector<std::string> disabled;
};

constexpr std::uint8_t SSB = 14, CW = 4;

// Lock word, then at offset 2 the block the other program keeps: mode code, a spare byte and the
// frequency as 4 BCD bytes in 10 Hz units; the engine writes its block at offset 20.
TRadioDefinition HandshakeDefinition(const std::string& file)
{
    TRadioDefinition d;
    d.FileInterface = file;
    d.CommandFormat = 0;
    d.PositionBase = 1;
    d.ReadFreqMul = 10;
    d.WriteFreqMul = 0.1;
    d.Commands[rcFileRead] = {"00000000000000", 2, rlVfoAB};
    d.Commands[rcFileWrite] = {"0000000000", 20, rlOther};
    d.Fields[rfMode] = {rcFileRead, ffBinary, 1, 1};
    d.Fields[rfVfoA] = {rcFileRead, ffBCD, 3, 4};
    d.Fields[rfWriteVfoA] = {rcFileWrite, ffBCD, 1, 4};
    d.Fields[rfWriteMode] = {rcFileWrite, ffBinary, 5, 1};
    d.Modes[SSB] = {0, 1, 0, 1, false};
    d.Modes[CW] = {2, 2, 2, 2, false};
    return d;
}

// Reads the block of HandshakeDefinition, which holds 14250 kHz; gives the mode read.
std::uint8_t ReadRadio(TRadio& radio)
{
    radio.SetTimeoutMs(100);
    double rx = 0, tx = 0;
    std::uint8_t mode = 0;
    bool split = false;
    EXPECT_FALSE(radio.ReadFrequencyAndMode(rx, tx, mode, split));
    EXPECT_EQ(rx, 14250.0);
    return mode;
}

} // namespace

TEST(RadioFileInterface, HandshakeFileReadsWritesAndReportsLockTimeOut)
{
    test::TempDir dir;
    const std::string file = dir.file("cat0.bin");
    WriteAll(file, std::string("\0\0\x01\0\x01\x42\x50\x00", 8) + std::string(20, '\0'));
    TFileHost host;
    TRadioDefinition d = HandshakeDefinition(dir.file("cat#.bin"));
    TRadioSettings s;
    s.comPort = 0;  // '#' becomes the port's digit
    TRadio radio(d, s, host);
    EXPECT_EQ(ReadRadio(radio), SSB);

    EXPECT_FALSE(radio.SetFrequencyAndMode(CW, false, 7025.0, 7025.0));
    const std::string bytes = ReadAll(file);
    EXPECT_EQ(bytes.substr(0, 2), std::string("\0\0", 2)) << "unlocked again";
    EXPECT_EQ(bytes.substr(20, 5), std::string("\x00\x70\x25\x00\x02", 5));

    // The other program holds the lock: the write is not reported as done.
    WriteAll(file, std::string("\x01\0", 2) + bytes.substr(2));
    EXPECT_TRUE(radio.SetFrequencyAndMode(SSB, false, 14000.0, 14000.0));
    ASSERT_EQ(host.disabled.size(), 1u);
    EXPECT_EQ(host.disabled[0], "Radio timed out\rRadio interface has been disabled");
    EXPECT_EQ(ReadAll(file).substr(20, 5), std::string("\x00\x70\x25\x00\x02", 5));

    d.FileInterface = dir.file("absent.bin");
    EXPECT_THROW(TRadio(d, s, host), ERadioException);
}

// A clarifier reading of -2^31 with its sign flag set: the offset is negated without overflow
// and the reading stands, as large as the field can say.
TEST(RadioFileInterface, MostNegativeClarifierWithItsSignFlag)
{
    test::TempDir dir;
    const std::string file = dir.file("cat0.bin");
    WriteAll(file, std::string("\0\0\x01\0\x01\x42\x50\x00\x80\0\0\0\x03", 13) + std::string(20, '\0'));
    TFileHost host;
    TRadioDefinition d = HandshakeDefinition(file);
    d.Commands[rcFileRead] = {"0000000000000000000000", 2, rlVfoAB};
    d.Fields[rfClarifier] = {rcFileRead, ffBinary, 7, 4};
    d.Fields[rfSignClarifier] = {rcFileRead, ffFlag, 11, 1};
    d.Fields[rfRIT] = {rcFileRead, ffFlag, 11, 2};
    TRadio radio(d, TRadioSettings {}, host);
    EXPECT_EQ(ReadRadio(radio), SSB);
    EXPECT_TRUE(radio.RitOn());
    EXPECT_EQ(radio.ClarifierKHz(), 2147483.647);
}

// The other program reads and writes "14.25000" whatever the desktop's locale says.
class RadioDataDirectory : public ::testing::TestWithParam<const char*> {};

TEST_P(RadioDataDirectory, ReadsAndWritesTextWithAPointInEveryDesktopLocale)
{
    test::ScopedLocale locale(GetParam());
    ASSERT_TRUE(locale.Ok()) << GetParam() << " is not installed (scripts/deps.sh generates it)";
    test::TempDir dir;
    TFileHost host;
    TRadioDefinition d;
    d.FileInterface = dir.path();
    d.CommandFormat = 1;
    d.Commands[rcFileRead].command = "in.txt";
    d.Commands[rcFileWrite].command = "out.txt";
    TRadio radio(d, TRadioSettings {}, host);
    radio.SetTimeoutMs(50);

    double rx = 0, tx = 0;
    std::uint8_t mode = 0;
    bool split = false;
    EXPECT_TRUE(radio.ReadFrequencyAndMode(rx, tx, mode, split)) << "no file yet";
    EXPECT_EQ(radio.Error(), reDataFileRead);
    EXPECT_TRUE(host.disabled.empty());

    WriteAll(dir.file("in.txt"), "14.25000\r\nUSB\r\n14.25500\r\nCW\r\n");
    EXPECT_FALSE(radio.ReadFrequencyAndMode(rx, tx, mode, split));
    EXPECT_EQ(rx, 14250.0);
    EXPECT_EQ(tx, 14255.0);
    EXPECT_EQ(mode, CW);

    // SSB at exactly 10 MHz is "USB" in the file (over CAT it would take the lower code).
    EXPECT_FALSE(radio.SetFrequencyAndMode(SSB, false, 10000.0, 10000.0));
    EXPECT_EQ(ReadAll(dir.file("out.txt")), "10.00000\r\nUSB\r\n");
    EXPECT_FALSE(radio.SetFrequencyAndMode(SSB, true, 7050.0, 7150.0));
    EXPECT_EQ(ReadAll(dir.file("out.txt")), "7.05000\r\nLSB\r\n7.15000\r\nLSB\r\n");

    d.FileInterface = dir.file("nowhere");
    EXPECT_THROW(TRadio(d, TRadioSettings {}, host), ERadioException);
}

INSTANTIATE_TEST_SUITE_P(DesktopLocales, RadioDataDirectory, ::testing::ValuesIn(test::kDesktopLocales),
                         [](const auto& info) {
                             std::string n = info.param;
                             return n.substr(0, n.find('.'));
                         });

TEST(RadioFileInterface, BinaryFieldsAreSigned)
{
    test::TempDir dir;
    const std::string file = dir.file("cat.bin");
    WriteAll(file, std::string("\0\0\xFF\xFE", 4));
    TFileHost host;
    for (auto [format, hz] : {std::pair {ffBinary, -2}, std::pair {ffBinaryR, -257}}) {
        TRadioDefinition d;
        d.FileInterface = file;
        d.PositionBase = 1;
        d.Commands[rcFileRead] = {"0000", 2, rlVfoAB};
        d.Fields[rfVfoA] = {rcFileRead, format, 1, 2};
        d.Fields[rfMode] = {rcFileRead, ffByteM, 1, 1};  // every read takes the mode too
        TRadio radio(d, TRadioSettings {}, host);
        double rx = 0, tx = 0;
        std::uint8_t mode = 0;
        bool split = false;
        EXPECT_FALSE(radio.ReadFrequencyAndMode(rx, tx, mode, split));
        EXPECT_DOUBLE_EQ(rx, hz / 1000.0);
    }
}
