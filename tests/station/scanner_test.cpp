// The scanner and the panorama on a fake clock and a fake radio; the frequency keys.
#include "station/scanner.h"

#include "logbook/bands_modes.h"
#include "station/frequency_step.h"
#include "station/panorama.h"

#include <gtest/gtest.h>

using namespace korval;

namespace {

class TFakeRadio : public TCatRadio {
public:
    bool ReadFrequencyAndMode(double& rx, double& tx, std::uint8_t& mode, bool& split) override
    {
        if (busy)
            return true;
        rx = rxKHz;
        tx = txKHz;
        mode = this->mode;
        split = this->split;
        return false;
    }
    bool SetFrequencyAndMode(std::uint8_t m, bool s, double rx, double tx) override
    {
        if (busy)
            return true;
        tunes.push_back({m, s, rx, tx});
        return false;
    }
    bool SetFrequency(double kHz) override
    {
        freqs.push_back(kHz);
        return false;
    }
    bool ReadSMeter(std::uint8_t& s) override
    {
        s = smeter;
        return false;
    }
    bool Busy() const override { return busy; }

    struct Tuning {
        std::uint8_t mode;
        bool split;
        double rx, tx;
    };
    std::vector<Tuning> tunes;
    std::vector<double> freqs;
    std::uint8_t smeter = 11;
    bool busy = false;
    double rxKHz = 14250.0, txKHz = 14255.0;
    std::uint8_t mode = 14;
    bool split = true;
};

// A clock that only moves when the test says so; the trigger fires when its time comes.
class TFakeClockHost : public TScannerHost, public TPanoramaHost {
public:
    void StartTrigger(int ms) override { due = now + ms; }
    void StopTrigger() override { due = -1; }
    void ShowStatus(const std::string& text) override { status = text; }
    void DrawBar(int x, std::uint8_t s) override { bars.push_back({x, s}); }
    template <class TEngine>
    void Advance(TEngine& engine, long ms)
    {
        const long until = now + ms;
        while (due >= 0 && due <= until) {
            now = due;
            due = -1;
            engine.Tick();
        }
        now = until;
    }
    long now = 0, due = -1;
    std::string status;
    std::vector<std::pair<int, int>> bars;
};

struct ScannerRig {
    ScannerRig()
    {
        config.SetScanDelay(5);
        for (int ch : {2, 5}) {
            TScannerChannel c;
            c.Active = true;
            c.Mode = 4;
            c.FrequencyKHz = 7000.0 + ch;
            c.QsxKHz = ch == 5 ? 7010.0 : 7000.0 + ch;  // channel 2: QSX equal, no split
            config.SetScannerChannel(ch, c);
        }
    }
    std::vector<double> Tuned() const
    {
        std::vector<double> out;
        for (const auto& t : radio.tunes)
            out.push_back(t.rx);
        return out;
    }
    TConfigRecord config;
    TFakeRadio radio;
    TFakeClockHost host;
    TScannerEngine engine {config, &radio, host};
};

} // namespace

TEST(Scanner, StepsThroughActiveChannelsOnTheClock)
{
    ScannerRig rig;
    rig.engine.ScanNext();
    EXPECT_EQ(rig.host.status, "Scanning");
    rig.host.Advance(rig.engine, 4999);
    EXPECT_EQ(rig.Tuned(), (std::vector<double> {7002.0}));
    rig.host.Advance(rig.engine, 1);
    rig.host.Advance(rig.engine, 5000);
    EXPECT_EQ(rig.Tuned(), (std::vector<double> {7002.0, 7005.0, 7002.0}));
    EXPECT_FALSE(rig.radio.tunes[0].split) << "QSX equal to the frequency";
    EXPECT_TRUE(rig.radio.tunes[1].split);
    EXPECT_EQ(rig.radio.tunes[1].tx, 7010.0);

    // Closing (Stop) mid-sweep: no further step, however long the clock runs.
    rig.engine.Stop();
    rig.host.Advance(rig.engine, 60000);
    EXPECT_EQ(rig.radio.tunes.size(), 3u);
    EXPECT_EQ(rig.host.status, "Idle");
}

TEST(Scanner, OneOrNoActiveChannel)
{
    ScannerRig rig;
    rig.config.SetScannerChannel(5, TScannerChannel {});
    rig.engine.ScanNext();
    rig.host.Advance(rig.engine, 10000);
    EXPECT_EQ(rig.Tuned(), (std::vector<double> {7002.0, 7002.0, 7002.0}));

    rig.engine.SetCurrentChannel(2);
    rig.engine.ClearCurrentChannel();
    EXPECT_FALSE(rig.config.ScannerChannel(2).Active);
    rig.engine.ScanNext();
    EXPECT_EQ(rig.host.status, "Idle");
    EXPECT_EQ(rig.host.due, -1);
}

TEST(Scanner, BusyRadioSkipsTheStepAndRetries)
{
    ScannerRig rig;
    rig.engine.ScanNext();
    rig.radio.busy = true;
    rig.host.Advance(rig.engine, 5000);
    EXPECT_EQ(rig.engine.CurrentChannel(), 2) << "the channel stays while the radio is busy";
    rig.radio.busy = false;
    rig.host.Advance(rig.engine, TScannerEngine::BusyRetryMs);
    EXPECT_EQ(rig.Tuned(), (std::vector<double> {7002.0, 7005.0}));
}

TEST(Scanner, StoreRadioFrequencyPollsUntilStopped)
{
    ScannerRig rig;
    rig.engine.SetCurrentChannel(9);
    rig.engine.StoreRadioFrequency();
    EXPECT_EQ(rig.host.status, "Read Freq");
    TScannerChannel c = rig.config.ScannerChannel(9);
    EXPECT_TRUE(c.Active);
    EXPECT_EQ(c.FrequencyKHz, 14250.0);
    EXPECT_EQ(c.QsxKHz, 14255.0);
    rig.radio.rxKHz = 21300.0;
    rig.radio.split = false;
    rig.host.Advance(rig.engine, TScannerEngine::ReadFreqPollMs);
    c = rig.config.ScannerChannel(9);
    EXPECT_EQ(c.FrequencyKHz, 21300.0);
    EXPECT_EQ(c.QsxKHz, 0.0);
    rig.engine.Stop();
    rig.radio.rxKHz = 1.0;
    rig.host.Advance(rig.engine, 10000);
    EXPECT_EQ(rig.config.ScannerChannel(9).FrequencyKHz, 21300.0);
}

TEST(FrequencyKeys, StepPerModeAndModifiers)
{
    TConfigRecord config;
    const std::uint8_t cw = 4, ssb = 14;
    struct Case {
        std::uint8_t mode;
        int unit;
        bool shift, ctrl;
        double want;
    } cases[] = {
        {cw, 1, false, false, 14000.1},  {cw, 1, true, false, 14001.0}, {cw, 1, false, true, 14000.01},
        {ssb, 1, false, false, 14000.5}, {ssb, 1, true, false, 14005.0}, {ssb, -1, false, false, 13999.5},
        {ssb, 0, false, false, 14000.0},
    };
    for (const Case& c : cases)
        EXPECT_NEAR(SteppedFrequency(14000.0, c.unit, c.mode, c.shift, c.ctrl, config), c.want, 1e-9);
    config.SetBandCutoff(BandFromFrequency(14000.0), 14100.0);
    EXPECT_EQ(SteppedFrequency(14000.0, 1, cw, true, true, config), 14100.0);
}

TEST(Panorama, SweepsOneKilohertzAStepAndStops)
{
    TFakeRadio radio;
    TFakeClockHost host;
    TPanoramaEngine panorama(&radio, host, 60);  // 10 steps of 6 pixels
    panorama.ReadCenterFromRadio();
    EXPECT_EQ(panorama.Center(), 14250.0);
    panorama.StartScan();
    host.Advance(panorama, 11 * TPanoramaEngine::StepMs);
    ASSERT_GE(radio.freqs.size(), 11u);
    EXPECT_EQ(radio.freqs[0], 14245.0);
    EXPECT_EQ(radio.freqs[9], 14254.0);
    EXPECT_EQ(radio.freqs[10], 14245.0) << "the next sweep starts again at the left";
    EXPECT_EQ(host.bars[9], (std::pair<int, int> {54, 11}));
    EXPECT_EQ(TPanoramaEngine::TextRows(11), 9);
    EXPECT_EQ(TPanoramaEngine::RedRows(11), 2);

    // Cancel mid-sweep: back to the centre, and no further step however long the clock runs.
    panorama.Cancel();
    const std::size_t tuned = radio.freqs.size();
    host.Advance(panorama, 60000);
    EXPECT_EQ(radio.freqs.size(), tuned);
    EXPECT_EQ(radio.freqs.back(), 14250.0);

    EXPECT_EQ(panorama.FrequencyAt(0), 14245.0);
    EXPECT_EQ(panorama.FrequencyAt(4), 14246.0);
    panorama.RightClick(10);
    ASSERT_FALSE(radio.tunes.empty());
    EXPECT_EQ(radio.tunes.back().rx, 14247.0);
    EXPECT_FALSE(radio.tunes.back().split);
}

TEST(Panorama, FollowsTheRadioUntilStopped)
{
    TFakeRadio radio;
    TFakeClockHost host;
    TPanoramaEngine panorama(&radio, host, 60);
    panorama.FollowRadio();
    radio.rxKHz = 7030.0;
    host.Advance(panorama, TPanoramaEngine::FollowPollMs);
    EXPECT_EQ(panorama.Center(), 7030.0);
    panorama.Cancel();
    radio.rxKHz = 1.0;
    host.Advance(panorama, 10000);
    EXPECT_EQ(panorama.Center(), 7030.0);
}
