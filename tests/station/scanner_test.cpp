// The scanner on a fake clock and a fake radio; the frequency keys.
#include "station/scanner.h"

#include "logbook/bands_modes.h"
#include "station/frequency_step.h"

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
    bool SetFrequency(double) override { return false; }
    bool ReadSMeter(std::uint8_t&) override { return false; }
    bool Busy() const override { return busy; }

    struct Tuning {
        std::uint8_t mode;
        bool split;
        double rx, tx;
    };
    std::vector<Tuning> tunes;
    bool busy = false;
    double rxKHz = 14250.0, txKHz = 14255.0;
    std::uint8_t mode = 14;
    bool split = true;
};

// A clock that only moves when the test says so; the trigger fires when its time comes.
class TFakeClockHost : public TScannerHost {
public:
    void StartTrigger(int ms) override { due = now + ms; }
    void StopTrigger() override { due = -1; }
    void ShowStatus(const std::string& text) override { status = text; }
    void Advance(TScannerEngine& engine, long ms)
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
