// The CAT engine against simulated radios on pseudo-terminals, driven by the shipped
// definitions of the three command families.
#include "station/radio.h"

#include "station/radio_feed.h"
#include "station/radio_list.h"
#include "tests/station/radio_sim.h"

#include <gtest/gtest.h>

using namespace korval;
using namespace korval::test;

namespace {

class TTestRadioHost : public TRadioHost {
public:
    explicit TTestRadioHost(TTestQueue& queue) : queue_(queue) {}
    void ProcessRadioMessages() override
    {
        queue_.PumpFor(1);
        if (duringWait)
            duringWait();
    }
    std::int64_t TickCount() override
    {
        return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
            .count();
    }
    bool Monitoring() const override { return true; }
    void Monitor(const std::string& line) override { lines.push_back(line); }
    void NotifyRadioChanged() override { ++changes; }
    void RadioDisabled(const std::string& text) override { disabled.push_back(text); }

    std::function<void()> duringWait;
    std::vector<std::string> lines;
    std::vector<std::string> disabled;
    int changes = 0;

private:
    TTestQueue& queue_;
};

TRadioDefinition Shipped(const std::string& name)
{
    TRadioList list(false);
    TRadioDefinition d;
    list.LoadItem(std::string(KORVAL_SOURCE_DIR) + "/data/RADIOS/" + name + ".rig", d);
    return d;
}

class RadioTest : public PtyFixture {
protected:
    template <class Sim>
    Sim& StartSim()
    {
        auto sim = std::make_unique<Sim>(master);
        Sim& ref = *sim;
        sim_ = std::move(sim);
        sim_->Start();
        return ref;
    }
    TRadio& Open(const TRadioDefinition& d, int retries = 3)
    {
        settings.comPort = 3;
        settings.retries = retries;
        settings.address = 0x94;
        radio.reset();  // one port user at a time
        radio = std::make_unique<TRadio>(d, settings, host);
        return *radio;
    }
    void TearDown() override
    {
        radio.reset();
        if (sim_)
            sim_->Stop();
        PtyFixture::TearDown();
    }
    struct Reading {
        double rx = 0, tx = 0;
        std::uint8_t mode = 0;
        bool split = false;
        bool failed = true;
    };
    Reading Read()
    {
        Reading r;
        r.failed = radio->ReadFrequencyAndMode(r.rx, r.tx, r.mode, r.split);
        return r;
    }

    TTestRadioHost host {queue};
    TRadioSettings settings;
    std::unique_ptr<TSimRadio> sim_;
    std::unique_ptr<TRadio> radio;
};

constexpr std::uint8_t CW = 4, SSB = 14, FM = 5;

} // namespace

TEST_F(RadioTest, EachFamilyReadsFrequencyAndMode)
{
    struct Case {
        const char* file;
        int modeCode;
        std::uint8_t mode;
    } cases[] = {{"Icom IC-7300", 3, CW}, {"Yaesu FT-817", 8, FM}, {"Kenwood TS-590S", 2, SSB}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        TSimRadio* sim = nullptr;
        const std::string file = c.file;
        if (file[0] == 'I')
            sim = &StartSim<TIcomSim>();
        else if (file[0] == 'Y')
            sim = &StartSim<TYaesuSim>();
        else
            sim = &StartSim<TKenwoodSim>();
        sim->modeCode = c.modeCode;
        Open(Shipped(file));
        EXPECT_FALSE(radio->Initialize());
        const Reading r = Read();
        EXPECT_FALSE(r.failed);
        EXPECT_EQ(r.rx, 14250.0);
        EXPECT_EQ(r.mode, c.mode);
        EXPECT_FALSE(r.split);
        EXPECT_TRUE(host.disabled.empty());

        // And back: set 7074.5 kHz in CW and read it again.
        EXPECT_FALSE(radio->SetFrequencyAndMode(CW, false, 7074.5, 7074.5));
        const Reading back = Read();
        EXPECT_EQ(back.rx, 7074.5);
        EXPECT_EQ(back.mode, CW);
        radio.reset();
        sim_->Stop();
    }
}

TEST_F(RadioTest, IcomExchangeCarriesAddressAndSkipsTheEcho)
{
    TIcomSim& sim = StartSim<TIcomSim>();
    sim.address = 0x70;
    settings.address = 0x70;
    settings.comPort = 3;
    settings.retries = 1;
    radio = std::make_unique<TRadio>(Shipped("Icom IC-7300"), settings, host);
    const Reading r = Read();
    EXPECT_FALSE(r.failed);
    EXPECT_EQ(r.rx, 14250.0);
    // Mode, frequency and split: each command with the configured address in place of 94h.
    EXPECT_EQ(sim.Received(), std::string("\xFE\xFE\x70\xE0\x04\xFD\xFE\xFE\x70\xE0\x03\xFD"
                                          "\xFE\xFE\x70\xE0\x0F\xFD", 18));
    const auto echo = std::find(host.lines.begin(), host.lines.end(), "Echo: ");
    ASSERT_NE(echo, host.lines.end());
    EXPECT_EQ(*(echo + 1), "  FE FE 70 E0 04 FD ");
    EXPECT_EQ(*(echo + 3), "  FE FE E0 70 04 01 01 FD ") << "the reply after the echo";
}

TEST_F(RadioTest, SplitSequencesAreByteExact)
{
    TKenwoodSim& sim = StartSim<TKenwoodSim>();
    TRadioDefinition withAToB = Shipped("Kenwood TS-590S");
    TRadioDefinition noAToB = withAToB;
    noAToB.Commands[rcVfoAToB].command.clear();
    struct Case {
        const char* name;
        const TRadioDefinition* def;
        bool split, vfoB;
        const char* bytes;
    } cases[] = {
        {"not split", &withAToB, false, false, "RC;FT0;MD2;FA00014250000;"},
        {"split with A->B", &withAToB, true, false, "RC;FR0;MD2;FA00014255000;VV;MD2;FA00014250000;FT1;"},
        {"split, VFO B current", &noAToB, true, true, "RC;IF;MD2;FB00014255000;FR0;MD2;FA00014250000;FT1;"},
        {"split, VFO A current", &noAToB, true, false, "RC;IF;MD2;FA00014250000;FR1;MD2;FB00014255000;FR0;FT1;"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        sim.vfoB = c.vfoB;
        Open(*c.def);
        sim.ClearReceived();
        EXPECT_FALSE(radio->SetFrequencyAndMode(SSB, c.split, 14250.0, 14255.0));
        ASSERT_TRUE(queue.PumpUntil([&] { return sim.Received().size() >= std::string(c.bytes).size(); }, 2000));
        EXPECT_EQ(sim.Received(), c.bytes);
        radio.reset();
    }
    // Without "Set Split off", split off goes through the split sequence with both VFOs alike.
    noAToB.Commands[rcSetSplitOff].command.clear();
    sim.vfoB = false;
    Open(noAToB);
    sim.ClearReceived();
    EXPECT_FALSE(radio->SetFrequencyAndMode(SSB, false, 7050.0, 7060.0));
    const std::string want = "RC;IF;MD1;FA00007050000;FR1;MD1;FB00007050000;FR0;FT1;";
    ASSERT_TRUE(queue.PumpUntil([&] { return sim.Received().size() >= want.size(); }, 2000));
    EXPECT_EQ(sim.Received(), want);
}

TEST_F(RadioTest, ClarifierRitAndXit)
{
    TKenwoodSim& sim = StartSim<TKenwoodSim>();
    TRadioDefinition d = Shipped("Kenwood TS-590S");
    Open(d);
    sim.ritHz = -1500;
    sim.rit = true;
    Reading r = Read();
    EXPECT_FALSE(r.failed);
    EXPECT_EQ(radio->ClarifierKHz(), -1.5);
    EXPECT_TRUE(radio->RitOn());
    EXPECT_FALSE(radio->XitOn());
    EXPECT_EQ(r.tx, 14248.5);
    EXPECT_TRUE(r.split) << "RIT 1.5 kHz away counts as split";

    sim.rit = false;
    sim.xit = true;
    sim.ritHz = 300;
    r = Read();
    EXPECT_TRUE(radio->XitOn());
    EXPECT_EQ(r.tx, 14250.3);
    EXPECT_FALSE(r.split) << "less than 1 kHz apart";

    // VFO B current with the split flag: the other frequency is VFO A.
    sim.xit = false;
    sim.ritHz = 0;
    sim.vfoB = true;
    sim.split = true;
    sim.freqBHz = 14195000;
    r = Read();
    EXPECT_EQ(r.rx, 14195.0);
    EXPECT_EQ(r.tx, 14250.0);
    EXPECT_TRUE(r.split);
}

TEST_F(RadioTest, DroppedCommandIsRecoveredByRetry)
{
    TKenwoodSim& sim = StartSim<TKenwoodSim>();
    Open(Shipped("Kenwood TS-590S"), 2);
    radio->SetTimeoutMs(300);
    sim.dropCommands = 1;
    const Reading r = Read();
    EXPECT_FALSE(r.failed);
    EXPECT_EQ(r.rx, 14250.0);
    EXPECT_TRUE(host.disabled.empty());
}

TEST_F(RadioTest, SilentRadioTimesOutAndIsDisabled)
{
    TKenwoodSim& sim = StartSim<TKenwoodSim>();
    sim.silent = true;
    Open(Shipped("Kenwood TS-590S"), 0);
    Reading r = Read();
    EXPECT_TRUE(r.failed);
    EXPECT_EQ(r.rx, 14175.0) << "the stored frequency";
    ASSERT_EQ(host.disabled.size(), 1u);
    EXPECT_EQ(host.disabled[0], "Radio timed out\rRadio interface has been disabled");
    // Disabled: later calls fail at once and report nothing more.
    EXPECT_TRUE(radio->SetFrequency(7000.0));
    EXPECT_EQ(host.disabled.size(), 1u);
    EXPECT_TRUE(sim.Received().empty());

    // With retries the same after every try has waited its time.
    Open(Shipped("Kenwood TS-590S"), 2);
    radio->SetTimeoutMs(100);
    r = Read();
    EXPECT_TRUE(r.failed);
    ASSERT_EQ(host.disabled.size(), 2u);
    EXPECT_EQ(host.disabled[1], "Radio timed out\rRadio interface has been disabled");
}

TEST_F(RadioTest, GarbledReplyIsRetriedThenRefused)
{
    TKenwoodSim& sim = StartSim<TKenwoodSim>();
    Open(Shipped("Kenwood TS-590S"), 2);
    sim.garbled = true;
    Reading r = Read();
    EXPECT_FALSE(r.failed) << "the second try gets a good reply";
    EXPECT_EQ(r.rx, 14250.0);

    Open(Shipped("Kenwood TS-590S"), 1);
    sim.garbled = true;
    r = Read();
    EXPECT_TRUE(r.failed);
    ASSERT_EQ(host.disabled.size(), 1u);
    EXPECT_EQ(host.disabled[0], "Bad reply from radio\rRadio interface has been disabled");
}

TEST_F(RadioTest, ReentrantPollFailsSoftly)
{
    TKenwoodSim& sim = StartSim<TKenwoodSim>();
    sim.replyDelayMs = 30;
    Open(Shipped("Kenwood TS-590S"));
    int inner = 0;
    bool innerFailed = false;
    host.duringWait = [&] {
        if (inner++ == 0) {
            double rx, tx;
            std::uint8_t mode;
            bool split;
            innerFailed = radio->ReadFrequencyAndMode(rx, tx, mode, split);
            EXPECT_TRUE(radio->Busy());
        }
    };
    const Reading r = Read();
    host.duringWait = nullptr;
    EXPECT_TRUE(innerFailed);
    EXPECT_FALSE(r.failed) << "the running exchange goes on";
    EXPECT_EQ(r.rx, 14250.0);
    EXPECT_TRUE(host.disabled.empty());
    EXPECT_FALSE(radio->Busy());
    EXPECT_FALSE(Read().failed) << "the next step works";
}

TEST_F(RadioTest, FieldOutsideReplyIsAnError)
{
    StartSim<TKenwoodSim>();
    TRadioDefinition d = Shipped("Kenwood TS-590S");
    d.Fields[rfVfoA].position = 10;  // 10 + 11 passes the 14-byte reply
    Open(d);
    const Reading r = Read();
    EXPECT_TRUE(r.failed);
    EXPECT_EQ(radio->Error(), reFieldOutsideReply);
    EXPECT_EQ(r.rx, 14175.0);

    d = Shipped("Kenwood TS-590S");
    d.Fields[rfWriteVfoA].position = 45;  // past the command and its 50-byte buffer
    Open(d);
    EXPECT_TRUE(radio->SetFrequency(7000.0));
    EXPECT_EQ(radio->Error(), reFieldOutsideCommand);
}

TEST_F(RadioTest, BcdByteOrderAndModeCodes)
{
    StartSim<TIcomSim>();
    TRadioDefinition d = Shipped("Icom IC-7300");
    d.Fields[rfVfoA].format = ffBCD;  // the same five bytes read most significant first
    d.Modes[CW] = {3, 7, 3, 12, true};
    d.Modes[FM] = {5, 5, 255, 255, false};
    d.Modes[SSB].write2 = 255;
    Open(d);
    EXPECT_EQ(Read().rx, 251.4);
    EXPECT_EQ(radio->ModeWriteCode(CW, 7000), 12) << "preferred second code";
    EXPECT_EQ(radio->ModeWriteCode(FM, 7000), 0) << "no code: SSB's first";
    EXPECT_EQ(radio->ModeWriteCode(SSB, 14000), 0) << "SSB without a second code keeps the first";
    EXPECT_EQ(radio->ModeFromCode(7), CW);
    EXPECT_EQ(radio->ModeFromCode(99), SSB);
    EXPECT_TRUE(radio->CanWriteMode(CW));
    EXPECT_FALSE(radio->CanWriteMode(FM));

    radio.reset();
    d = Shipped("Icom IC-7300");
    Open(d);
    EXPECT_EQ(radio->ModeWriteCode(SSB, 10000.0), 0) << "LSB at or below 10 MHz";
    EXPECT_EQ(radio->ModeWriteCode(SSB, 10000.1), 1);
    std::string text;
    radio->FormatFrequency(text);
    EXPECT_EQ(text, "14,250KHz");
}

TEST_F(RadioTest, FeedServesQsoWindowAndSpotTuner)
{
    TKenwoodSim& sim = StartSim<TKenwoodSim>();
    Open(Shipped("Kenwood TS-590S"));
    TRadioFeed feed(radio.get());
    TQsoRadio& qso = feed;
    TSpotRadio& spots = feed;
    EXPECT_TRUE(qso.Attached());
    EXPECT_EQ(qso.FrequencyText(), "14,250KHz");
    EXPECT_EQ(spots.HighKHz(), 60000.0);
    spots.Set(CW, 7010.0, 7010.0, false);
    double rx = 0, tx = 0;
    int mode = 0;
    bool split = false;
    spots.Read(rx, tx, mode, split);
    EXPECT_EQ(rx, 7010.0);
    EXPECT_EQ(mode, CW);
    sim.silent = true;
    radio->SetTimeoutMs(50);
    EXPECT_EQ(qso.FrequencyText(), "");
    EXPECT_FALSE(qso.Attached()) << "disabled after the time-out";
}

TEST(RadioDisplay, MonitorRendering)
{
    EXPECT_EQ(TRadio::DisplayStr(0, std::string("\xFE\xFE\x94\xE0\x03\xFD\x01\x02\x03", 9)),
              "\r  FE FE 94 E0 03 FD 01 02 \r  03 ");
    EXPECT_EQ(TRadio::DisplayStr(1, "FA;\r"), "\r  \"FA;|\"");
}
