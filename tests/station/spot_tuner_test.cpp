#include <gtest/gtest.h>

#include "station/spot_tuner.h"

using namespace korval;

namespace {

struct FakeRadio : TSpotRadio {
    double rx = 7010, tx = 7010;
    int mode = 4;
    bool split = false;
    double LowKHz() const override { return 1800; }
    double HighKHz() const override { return 30000; }
    void Read(double& r, double& t, int& m, bool& s) override { r = rx, t = tx, m = mode, s = split; }
    void Set(int m, double r, double t, bool s) override { mode = m, rx = r, tx = t, split = s; }
    bool running = true;
    bool Running() const override { return running; }
};

TEST(SpotTuner, TunesSplitRefusesOutOfRangeAndReturns) {
    FakeRadio radio;
    TSpotTuner tuner;
    TSpotRecord spot;
    spot.frequency = 14025.0;
    spot.qsxFrequency = 14027.0;
    spot.mode = 4;
    EXPECT_EQ(tuner.Tune(spot), TSpotTuner::TResult::NoRadio);
    tuner.SetRadio(&radio);
    EXPECT_FALSE(tuner.ReturnToLastFreq());  // nothing stored yet
    ASSERT_EQ(tuner.Tune(spot), TSpotTuner::TResult::Tuned);
    EXPECT_DOUBLE_EQ(radio.rx, 14025.0);
    EXPECT_DOUBLE_EQ(radio.tx, 14027.0);
    EXPECT_TRUE(radio.split);

    TSpotRecord six = spot;
    six.frequency = 50110.0;
    six.qsxFrequency = 0;
    EXPECT_EQ(tuner.Tune(six), TSpotTuner::TResult::BadFrequency);
    EXPECT_DOUBLE_EQ(radio.rx, 14025.0);
    spot.qsxFrequency = 50110.0;  // a QSX outside the radio's range
    EXPECT_EQ(tuner.Tune(spot), TSpotTuner::TResult::BadFrequency);

    EXPECT_EQ(tuner.Listen(six), TSpotTuner::TResult::Tuned);  // no range test
    EXPECT_DOUBLE_EQ(radio.rx, 50110.0);
    EXPECT_FALSE(radio.split);
    ASSERT_TRUE(tuner.ReturnToLastFreq());
    EXPECT_DOUBLE_EQ(radio.rx, 14025.0);
    EXPECT_TRUE(radio.split);

    // A stopped radio is left alone, and the spot menu's radio commands are off.
    radio.running = false;
    EXPECT_FALSE(tuner.hasRadio());
    EXPECT_EQ(tuner.Tune(six), TSpotTuner::TResult::NoRadio);
    EXPECT_EQ(tuner.Listen(six), TSpotTuner::TResult::NoRadio);
    EXPECT_FALSE(tuner.ReturnToLastFreq());
    EXPECT_DOUBLE_EQ(radio.rx, 14025.0);
}

} // namespace
