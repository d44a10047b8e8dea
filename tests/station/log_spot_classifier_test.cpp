// The award part of a spot's reason, against a small log over the logbook's fake lookup: the
// country is the call's first letter (D = 4, K = 11), the zone the call's length.
#include <gtest/gtest.h>

#include "logbook/config_record.h"
#include "logbook/fake_lookup.h"
#include "logbook/qso_data.h"
#include "station/log_spot_classifier.h"

using namespace korval;

namespace {

constexpr int kCw = 4, kSsb = 14;
constexpr int k20m = 5, k40m = 3;

TSpotRecord Spot(const char* call, int band, int mode)
{
    TSpotRecord s;
    s.call = call;
    s.band = static_cast<std::uint8_t>(band);
    s.mode = static_cast<std::uint8_t>(mode);
    s.date = 40100;
    return s;
}

class LogSpotClassifierTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        savedConfig_ = Config;
        Config = TConfigRecord();
        auto log = std::make_unique<TQsoData>();
        log_ = log.get();
        SetCurrentLog(std::move(log));
        add("DL1AA", k20m, kCw, false); // Germany worked on 20 m CW, not confirmed
        add("KA1XX", k20m, kCw, true);  // the USA confirmed on 20 m CW
        add("KA1XX", k20m, kSsb, true);
    }
    void TearDown() override
    {
        FreeCurrentLog();
        Config = savedConfig_;
    }
    void add(const char* call, int band, int mode, bool confirmed)
    {
        TQsoRecord* r = test::NewQso(call, 40000, 0, static_cast<std::uint8_t>(band), static_cast<std::uint8_t>(mode));
        r->Flags = static_cast<std::uint8_t>(qfValidForAwards | (confirmed ? qfQslReceived : 0));
        lookup_.LookupCall(*r);
        DeriveWpxPrefix(*r);
        log_->InsertQso(r);
        log_->MarkAwardStatusNotBuilt();
    }
    char Reason(TSpotRecord s)
    {
        s.country = static_cast<std::uint16_t>(classifier.Country(s.call, s.date));
        return classifier.AwardReason(s);
    }

    test::FakeLookup lookup_;
    TConfigRecord savedConfig_;
    TQsoData* log_ = nullptr;
    TLogSpotClassifier classifier;
};

struct ReasonCase {
    const char* what;
    const char* call;
    int band, mode;
    int warning; // the new band/mode warning setting
    char reason;
};

class SpotReasons : public LogSpotClassifierTest, public ::testing::WithParamInterface<ReasonCase> {};

TEST_P(SpotReasons, FollowTheLogsAwardStatus)
{
    const ReasonCase& c = GetParam();
    Config.SetNewBandModeWarning(static_cast<std::uint8_t>(c.warning));
    EXPECT_EQ(Reason(Spot(c.call, c.band, c.mode)), c.reason) << c.what;
}

INSTANTIATE_TEST_SUITE_P(Dxcc, SpotReasons, ::testing::Values(
    ReasonCase{"a country never worked", "F5ABC", k20m, kCw, 1, '1'},
    ReasonCase{"Germany, but never in phone", "DL2BB", k20m, kSsb, 1, '2'},
    ReasonCase{"Germany on a new band in CW", "DL2BB", k40m, kCw, 3, '3'},
    ReasonCase{"the worked call again on its band and mode group", "DL1AA", k20m, kCw, 1, '6'},
    ReasonCase{"another German on 20 m CW: worked, not confirmed", "DL2BB", k20m, kCw, 3, '4'},
    ReasonCase{"another American on 20 m CW: confirmed", "KB2YY", k20m, kCw, 3, '5'},
    ReasonCase{"an American on 40 m: the band counts separately", "KB2YY", k40m, kCw, 1, '3'}));

TEST_F(LogSpotClassifierTest, InvalidBandsModesAndNoLogAreOutsideTheAward)
{
    TAwardSettings dxcc = Config.AwardSettings(0);
    dxcc.SetBandValid(k40m, false);
    Config.SetAwardSettings(0, dxcc);
    EXPECT_EQ(Reason(Spot("F5ABC", k40m, kCw)), '6');
    FreeCurrentLog();
    EXPECT_EQ(Reason(Spot("F5ABC", k20m, kCw)), '5');
}

TEST_F(LogSpotClassifierTest, WazColoursByTheCallsZone)
{
    classifier.SetColourGroup(cgWaz);
    EXPECT_EQ(Reason(Spot("DL9ZZ", k20m, kCw)), '5');  // zone 5, confirmed on 20 m CW through KA1XX
    EXPECT_EQ(Reason(Spot("DL9ZZZ", k20m, kCw)), '1'); // zone 6: nobody worked
    EXPECT_STREQ(SpotColourGroupName(cgWaz), "WAZ");
}

} // namespace
