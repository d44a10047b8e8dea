// The CW sender on a hand-run clock and a recording key line: the timing of signs and gaps,
// speaker-only text, the buffer's limits, PTT, calibration, and key and PTT released whenever
// sending stops.
#include <gtest/gtest.h>

#include "platform/key_line.h"
#include "platform/precise_clock.h"
#include "platform/sound.h"
#include "station/morse_sender.h"

namespace korval {
namespace {

constexpr std::int64_t Ms = 1'000'000;

struct TimingCase {
    int charWpm, spacingWpm, weight;
    TMorseTiming timing;
};
class MorseTimingTable : public ::testing::TestWithParam<TimingCase> {};
TEST_P(MorseTimingTable, SignsAndGapsFromTheSpeeds)
{
    const TimingCase& c = GetParam();
    TMorseTiming t{1, 2, 3, 4, 5};
    ASSERT_TRUE(ComputeMorseTiming(c.charWpm, c.spacingWpm, c.weight, t));
    EXPECT_EQ(t, c.timing) << c.charWpm << "/" << c.spacingWpm << "/" << c.weight;
}
INSTANTIATE_TEST_SUITE_P(Speeds, MorseTimingTable, ::testing::Values(
    TimingCase{20, 20, 100, {61, 183, 122, 244, 20}},
    TimingCase{25, 25, 100, {49, 147, 98, 196, 24}},
    TimingCase{20, 10, 100, {61, 183, 305, 427, 14}},   // wide spacing
    TimingCase{20, 30, 100, {61, 183, 122, 244, 20}},   // spacing never above the character speed
    TimingCase{20, 20, 150, {61, 274, 122, 244, 18}},   // heavier dashes
    TimingCase{60, 60, 100, {20, 60, 40, 80, 60}}),
    [](const ::testing::TestParamInfo<TimingCase>& i) {
        return std::to_string(i.param.charWpm) + "_" + std::to_string(i.param.spacingWpm) + "_" +
               std::to_string(i.param.weight);
    });

TEST(MorseTiming, RefusesSpeedsAndWeightsThatWouldDivideByZero)
{
    for (auto [c, s, w] : {std::tuple{0, 20, 100}, std::tuple{20, 0, 100}, std::tuple{20, 20, 0},
                           std::tuple{-5, 20, 100}, std::tuple{5000, 5000, 100}}) {
        TMorseTiming t{1, 2, 3, 4, 5};
        EXPECT_FALSE(ComputeMorseTiming(c, s, w, t)) << c << "/" << s << "/" << w;
        EXPECT_EQ(t, (TMorseTiming{1, 2, 3, 4, 5}));
    }
}

TEST(MorseTable, SignsOfCharacters)
{
    EXPECT_EQ(MorsePattern('A'), ".-");
    EXPECT_EQ(MorsePattern('Q'), "--.-");
    EXPECT_EQ(MorsePattern('0'), "-----");
    EXPECT_EQ(MorsePattern('9'), "----.");
    EXPECT_EQ(MorsePattern('/'), "-..-.");
    EXPECT_EQ(MorsePattern('='), "-...-");
    EXPECT_EQ(MorsePattern(196), ".-.-");
    EXPECT_EQ(MorsePattern(214), "---.");
    for (unsigned char c : {'a', '#', '-', '\0'})
        EXPECT_EQ(MorsePattern(c), "..--..") << int(c);
}

class MorseSenderTest : public ::testing::Test {
protected:
    MorseSenderTest() { settings.keyingInterface = 2; }

    void Make()
    {
        line = std::make_shared<TRecordingKeyLine>([this] {
            if (onWrite)
                onWrite();
            return clock.NowNs();
        }, hasPtt);
        tone = std::make_shared<TRecordingSideTone>();
        sender = std::make_unique<TMorseSender>(
            clock, [this](const TMorseSettings&, bool) { return line; }, tone, settings);
    }
    // Runs the loop until the buffer is empty (each round sends one character).
    void SendAll()
    {
        for (int i = 0; i < 600 && !sender->BufferText().empty(); ++i)
            sender->Step();
    }
    // Key-down periods as [start, end) in ms from the first key-down.
    std::vector<std::pair<std::int64_t, std::int64_t>> Marks() const
    {
        std::vector<std::pair<std::int64_t, std::int64_t>> marks;
        std::int64_t start = -1, origin = -1;
        for (const TKeyLineEvent& e : line->Events()) {
            if (e.key && start < 0) {
                start = e.ns;
                if (origin < 0)
                    origin = e.ns;
            } else if (!e.key && start >= 0) {
                marks.push_back({(start - origin) / Ms, (e.ns - origin) / Ms});
                start = -1;
            }
        }
        return marks;
    }

    TMorseSettings settings;
    bool hasPtt = true;
    TManualClock clock;
    std::function<void()> onWrite;
    std::shared_ptr<TRecordingKeyLine> line;
    std::shared_ptr<TRecordingSideTone> tone;
    std::unique_ptr<TMorseSender> sender;
};

TEST_F(MorseSenderTest, LettersAreThreeUnitsApartAndWordsSeven)
{
    Make();
    clock.Advance(1000 * Ms);
    sender->QueueText("EI E");
    SendAll();
    // E: one dot; I: two dots one unit apart; after a letter 3 units, after a word 7.
    using M = std::pair<std::int64_t, std::int64_t>;
    EXPECT_EQ(Marks(), (std::vector<M>{{0, 61}, {244, 305}, {366, 427}, {854, 915}}));
}

TEST_F(MorseSenderTest, DashesAndUnknownCharacters)
{
    Make();
    sender->QueueText("a");
    SendAll();
    using M = std::pair<std::int64_t, std::int64_t>;
    EXPECT_EQ(Marks(), (std::vector<M>{{0, 61}, {122, 183}, {244, 427}, {488, 671}, {732, 793}, {854, 915}}))
        << "a lower-case letter goes out as ..--..";
}

TEST_F(MorseSenderTest, BracketedTextSoundsOnTheSideToneButNeverKeys)
{
    Make();
    sender->QueueText("<EE>E");
    SendAll();
    EXPECT_EQ(Marks().size(), 1u) << "only the E after '>' keys";
    EXPECT_EQ(tone->Events(), (std::vector<int>{850, 0, 850, 0, 850, 0}));
}

TEST_F(MorseSenderTest, SideToneOffOrAtZeroHertzStaysSilent)
{
    settings.sideTone = false;
    Make();
    sender->QueueText("E");
    SendAll();
    EXPECT_TRUE(tone->Events().empty());
    settings.sideTone = true;
    settings.toneHz = 0;
    sender->SetTiming(settings);
    sender->QueueText("<E>");
    SendAll();
    EXPECT_TRUE(tone->Events().empty()) << "a 0 Hz tone is refused";
}

TEST_F(MorseSenderTest, RefusedSpeedKeepsTheTimingBefore)
{
    Make();
    TMorseSettings bad = settings;
    bad.charWpm = 0;
    sender->SetTiming(bad);
    EXPECT_EQ(sender->Timing(), (TMorseTiming{61, 183, 122, 244, 20}));
    EXPECT_EQ(sender->Settings().charWpm, 20);
}

TEST_F(MorseSenderTest, FullBufferKeeps255AndReportsTheRest)
{
    Make();
    EXPECT_EQ(sender->QueueText(std::string(300, 'E')), 45u);
    EXPECT_EQ(sender->BufferText().size(), 255u);
    EXPECT_EQ(sender->QueueText("T"), 1u);
    EXPECT_EQ(sender->QueueText("\r"), 0u) << "Enter takes no room";
}

TEST_F(MorseSenderTest, CutNeverLeavesKeyingOff)
{
    Make();
    sender->QueueText(std::string(250, 'E'));
    const std::size_t dropped = sender->QueueText("<20M CW DL1ABC> ");
    const std::string text = sender->BufferText();
    ASSERT_EQ(text.size(), 255u);
    EXPECT_EQ(text.substr(250), "<20M>");
    EXPECT_EQ(dropped, 12u);
    sender->QueueText("X"); // no room: nothing changes
    EXPECT_EQ(sender->BufferText(), text);
}

TEST_F(MorseSenderTest, DeleteLastCharNeverTakesTheCharacterBeingSent)
{
    Make();
    sender->QueueText("E");
    bool once = false;
    onWrite = [&] {
        if (once)
            return;
        once = true;
        // Backspace while the E is going out, then a new letter.
        sender->DeleteLastChar();
        sender->QueueText("T");
    };
    sender->Step();
    EXPECT_EQ(sender->BufferText(), "T");
    onWrite = nullptr;
    sender->DeleteLastChar();
    EXPECT_EQ(sender->BufferText(), "");
}

TEST_F(MorseSenderTest, ClearingStopsAfterTheCurrentCharacterAndKeysAgain)
{
    Make();
    sender->QueueText("<EEE");
    sender->Step();
    sender->Step();
    sender->ClearBuffer();
    sender->Step();
    EXPECT_EQ(sender->BufferText(), "");
    sender->QueueText("E");
    SendAll();
    EXPECT_EQ(Marks().size(), 1u) << "keying is on again after the clear";
}

TEST_F(MorseSenderTest, HeldTextWaitsForEnterUnlessImmediate)
{
    settings.immediate = false;
    Make();
    sender->QueueText("E");
    EXPECT_TRUE(sender->IsIdle());
    sender->Step();
    EXPECT_EQ(sender->BufferText(), "E");
    sender->QueueText("\r");
    EXPECT_FALSE(sender->IsIdle());
    SendAll();
    EXPECT_EQ(Marks().size(), 1u);
}

TEST_F(MorseSenderTest, PttLeadsByItsDelayAndDropsWhenIdle)
{
    settings.pttDelayMs = 30;
    Make();
    clock.Advance(500 * Ms);
    sender->QueueText("E");
    SendAll();
    sender->Step(); // the buffer ran empty
    const std::vector<TKeyLineEvent> expected{
        {500 * Ms, false, true}, {530 * Ms, true, true}, {591 * Ms, false, true}, {774 * Ms, false, false}};
    EXPECT_EQ(line->Events(), expected);
}

TEST_F(MorseSenderTest, StopReleasesKeyAndPttWhateverHeldThem)
{
    settings.pttDelayMs = 10;
    Make();
    sender->SetKey(true); // Tune
    EXPECT_EQ(line->Last(), (TKeyLineEvent{clock.NowNs(), true, true}));
    sender->Step(); // an idle round does not cut the tuning carrier
    EXPECT_TRUE(line->Last().key);
    sender->Stop();
    EXPECT_FALSE(line->Last().key);
    EXPECT_FALSE(line->Last().ptt);

    sender->SetPtt(true);
    EXPECT_TRUE(line->Last().ptt);
    sender.reset(); // shut-down
    EXPECT_FALSE(line->Last().key);
    EXPECT_FALSE(line->Last().ptt);
}

TEST_F(MorseSenderTest, SerialLineKeysOnTheKeyAlone)
{
    hasPtt = false;
    settings.keyingInterface = 5;
    settings.pttDelayMs = 30;
    Make();
    sender->QueueText("E");
    SendAll();
    EXPECT_EQ(line->Events(), (std::vector<TKeyLineEvent>{{0, true, false}, {61 * Ms, false, false}}));
}

TEST_F(MorseSenderTest, CalibrationSendsTwoWordsOnTheSpeakerAndMeasuresThem)
{
    Make();
    sender->Calibrate();
    EXPECT_TRUE(sender->Calibrating());
    for (int i = 0; i < 100 && sender->Calibrating(); ++i)
        sender->Step();
    EXPECT_FALSE(sender->Calibrating());
    EXPECT_EQ(sender->MeasuredMs(), 6100);
    EXPECT_NEAR(120000.0 / sender->MeasuredMs(), 19.7, 0.05);
    EXPECT_TRUE(Marks().empty()) << "the measurement never keys the transmitter";
    EXPECT_FALSE(tone->Events().empty());
}

TEST_F(MorseSenderTest, ThreadSendsAndStopsWithinAnElement)
{
    Make();
    sender->Start();
    sender->QueueText("PARIS");
    for (int i = 0; i < 2000 && !sender->IsIdle(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    EXPECT_EQ(Marks().size(), 14u);
    sender->Stop();
    EXPECT_FALSE(sender->Running());
}

} // namespace
} // namespace korval
