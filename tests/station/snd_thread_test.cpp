// Spot announcements into a recording sound sink: the queue's limit, the exact token and pause
// sequence, a missing token file, cancelling mid-call, beeps and Morse, and the shipped token
// files covering everything an announcement can say.
#include <gtest/gtest.h>

#include <filesystem>

#include "logbook/bands_modes.h"
#include "logbook/config_record.h"
#include "platform/korval_home.h"
#include "platform/sound.h"
#include "platform/wav_file.h"
#include "station/snd_thread.h"
#include "test_support.h"

namespace korval {
namespace {

struct RecordingHost : TAnnounceHost {
    int beeps = 0;
    bool blocked = false;
    std::vector<std::string> morse;
    void Beep() override { ++beeps; }
    void SendMorse(const std::string& text) override { morse.push_back(text); }
    bool SpeakingBlocked() override { return blocked; }
};

TSpotRecord Spot(const std::string& call, char reason = '5', int band = 5, int mode = mdCW)
{
    TSpotRecord s;
    s.call = call;
    s.reason = reason;
    s.band = static_cast<std::uint8_t>(band);
    s.mode = static_cast<std::uint8_t>(mode);
    return s;
}

class SndThreadTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        saved_ = Config;
        Config.SetAnnounceContent(5);
        Config.SetCallAlertList("");
        Config.SetBandNamesAsFrequency(false);
        // Token files as an operator may have them: names in any case.
        std::filesystem::create_directories(dir.file("sounds"));
        TWavData w{1, 8000, 8, std::string(16, '\x80')};
        for (const char* name : {"country.wav", "Callsign.WAV", "20.WAV", "CW.WAV", "D.WAV", "L.WAV", "stroke.WAV",
                                 "K.WAV", "1.WAV", "A.WAV"})
            test::WriteAll(dir.file(std::string("sounds/") + name), MakeWav(w));
        snd = std::make_unique<Tsndthread>(host, sound, dir.file("sounds"));
    }
    void TearDown() override
    {
        snd.reset();
        Config = saved_;
    }

    test::TempDir dir;
    TConfigRecord saved_;
    RecordingHost host;
    TRecordingSound sound;
    std::unique_ptr<Tsndthread> snd;
};

TEST_F(SndThreadTest, EleventhSpotDropsTheOldest)
{
    for (int i = 0; i <= 10; ++i)
        snd->Add(Spot("C" + std::to_string(i)));
    const std::vector<TSpotRecord> queued = snd->Queued();
    ASSERT_EQ(queued.size(), 10u);
    EXPECT_EQ(queued.front().call, "C1");
    EXPECT_EQ(queued.back().call, "C10");
}

TEST_F(SndThreadTest, SpeaksReasonBandModeThenTheCallLetterByLetter)
{
    snd->Add(Spot("DL/K1A", '1', 5, mdCW));
    ASSERT_TRUE(snd->AnnounceNext());
    EXPECT_EQ(sound.Events(), (std::vector<std::string>{"play country.wav", "pause 250", "play 20.WAV", "pause 250",
                                                        "play CW.WAV", "pause 250", "play D.WAV", "play L.WAV",
                                                        "play stroke.WAV", "play K.WAV", "play 1.WAV", "play A.WAV"}));
    EXPECT_FALSE(snd->AnnounceNext()) << "the queue is empty";
}

struct ContentCase {
    int content;
    char reason;
    const char* alertList;
    std::vector<std::string> events;
};
class SndContentTable : public SndThreadTest, public ::testing::WithParamInterface<ContentCase> {};
TEST_P(SndContentTable, WhatEachContentSays)
{
    Config.SetAnnounceContent(GetParam().content);
    Config.SetCallAlertList(GetParam().alertList);
    snd->Add(Spot("K1A", GetParam().reason, 5, mdCW));
    ASSERT_TRUE(snd->AnnounceNext());
    EXPECT_EQ(sound.Events(), GetParam().events) << "content " << GetParam().content;
}
INSTANTIATE_TEST_SUITE_P(Contents, SndContentTable, ::testing::Values(
    ContentCase{2, '5', "", {"play K.WAV", "play 1.WAV", "play A.WAV"}},
    ContentCase{2, '2', "", {"pause 250", "play K.WAV", "play 1.WAV", "play A.WAV"}},  // no mode.WAV: a gap
    ContentCase{3, '5', "", {"play 20.WAV", "pause 250", "play K.WAV", "play 1.WAV", "play A.WAV"}},
    ContentCase{4, '5', "", {"play CW.WAV", "pause 250", "play K.WAV", "play 1.WAV", "play A.WAV"}},
    ContentCase{2, '5', "W1AW,K1A", {"play Callsign.WAV", "pause 250", "play K.WAV", "play 1.WAV", "play A.WAV"}}),
    [](const ::testing::TestParamInfo<ContentCase>& i) { return "case" + std::to_string(i.index); });

TEST_F(SndThreadTest, MissingLetterFileLeavesAGapInTheCall)
{
    std::filesystem::remove(dir.file("sounds/L.WAV"));
    Config.SetAnnounceContent(2);
    snd->Add(Spot("DL1A", '5'));
    snd->AnnounceNext();
    EXPECT_EQ(sound.Events(), (std::vector<std::string>{"play D.WAV", "play 1.WAV", "play A.WAV"}));
}

TEST_F(SndThreadTest, CancelStopsTheCallAtTheNextCharacterAndEmptiesTheQueue)
{
    Config.SetAnnounceContent(2);
    snd->Add(Spot("DL1A", '5'));
    snd->Add(Spot("K1A", '5'));
    sound.OnPlay = [this](const std::string& name) {
        if (name == "L.WAV")
            snd->Clear();
    };
    snd->AnnounceNext();
    EXPECT_EQ(sound.Events(), (std::vector<std::string>{"play D.WAV", "play L.WAV"}));
    EXPECT_TRUE(snd->Queued().empty());
    // Once the thread found the queue empty, announcements are heard again.
    EXPECT_FALSE(snd->AnnounceNext());
    sound.OnPlay = nullptr;
    snd->Add(Spot("K1A", '5'));
    snd->AnnounceNext();
    EXPECT_EQ(sound.Events().back(), "play A.WAV");
}

TEST_F(SndThreadTest, BeepContentBeepsAtOnceAndQueuesNothing)
{
    Config.SetAnnounceContent(0);
    snd->Add(Spot("K1A"));
    snd->Add(Spot("K2A"));
    EXPECT_EQ(host.beeps, 2);
    EXPECT_TRUE(snd->Queued().empty());
}

TEST_F(SndThreadTest, MorseContentGoesToTheSenderOnTheSideToneOnly)
{
    Config.SetAnnounceContent(1);
    snd->Add(Spot("dl1abc", '5', 5, mdCW));
    snd->AnnounceNext();
    EXPECT_EQ(host.morse, std::vector<std::string>{"<20M CW DL1ABC> "});
    EXPECT_TRUE(sound.Events().empty());
}

TEST_F(SndThreadTest, SpeechNotWantedNowDiscardsTheQueue)
{
    host.blocked = true;
    snd->Add(Spot("K1A"));
    snd->Add(Spot("K2A"));
    EXPECT_FALSE(snd->AnnounceNext());
    EXPECT_TRUE(snd->Queued().empty());
    EXPECT_TRUE(sound.Events().empty());
}

TEST_F(SndThreadTest, ThreadAnnouncesQueuedSpotsAndStops)
{
    Config.SetAnnounceContent(2);
    snd->Start();
    snd->Add(Spot("K1A"));
    for (int i = 0; i < 2000 && sound.Events().size() < 3; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    snd->Stop();
    EXPECT_EQ(sound.Events(), (std::vector<std::string>{"play K.WAV", "play 1.WAV", "play A.WAV"}));
}

TEST(ShippedSounds, EveryTokenHasAPlayableFile)
{
    const std::string folder = std::string(KORVAL_SOURCE_DIR) + "/data/sounds";
    for (const std::string& token : Tsndthread::AllTokens()) {
        const std::string path = FindFileNoCase(folder, Tsndthread::TokenFileName(token));
        TWavData wav;
        std::string error;
        ASSERT_TRUE(std::filesystem::exists(path)) << token;
        EXPECT_TRUE(ParseWav(test::ReadAll(path), wav, error)) << token << ": " << error;
        EXPECT_GT(wav.Frames(), static_cast<std::size_t>(wav.sampleRate / 20)) << token << " is nearly silent";
    }
}

TEST(SoundTokens, FileNamesOfTokens)
{
    EXPECT_EQ(Tsndthread::TokenFileName("/"), "stroke.WAV");
    EXPECT_EQ(Tsndthread::TokenFileName("1.2"), "1_2.WAV");
    EXPECT_EQ(Tsndthread::TokenFileName("Country"), "Country.WAV");
}

} // namespace
} // namespace korval
