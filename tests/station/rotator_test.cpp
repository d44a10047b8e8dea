// The rotator: command bytes of the four kinds, the band rules, and a real port.
#include "station/rotator.h"

#include "logbook/bands_modes.h"
#include "tests/comms/comms_fixture.h"

#include <gtest/gtest.h>

using namespace korval;

namespace {

class TTestRotatorHost : public TRotatorHost {
public:
    int SelectedBand() const override { return band; }
    void ReportRotator(const std::string& text) override { reports.push_back(text); }
    void OpenFailed() override { ++openFailures; }
    int band = 5;
    std::vector<std::string> reports;
    int openFailures = 0;
};

struct RotatorRig {
    RotatorRig(int kind)
    {
        settings.type = static_cast<std::uint8_t>(kind + 1);
        settings.rules.fill(rrNormal);
        rotator.SetSender([this](const std::string& b) { sent += b; });
        rotator.OpenRotator();
    }
    TRotatorSettings settings;
    TTestRotatorHost host;
    TRotator rotator {settings, host};
    std::string sent;
};

} // namespace

TEST(Rotator, TurnBytesPerKind)
{
    struct Case {
        int kind;
        std::int32_t azimuth, correction;
        std::string bytes;
    } cases[] = {
        {2, 350, 20, "AP1010;AM1;"},
        {2, 350, -360, "AP1350;AM1;"},
        {2, 360, 0, "AP1359;AM1;"},
        {3, 360, 0, "A\r360\r"},
        {4, 360, 0, "360\r"},
        {4, -10, 0, "350\r"},
        {1, 0, 0, std::string("P\x80", 2)},    // 127.5 rounds to the even 128
        {1, 180, 0, std::string("P\xFE", 2)},  // 360 is limited to 358
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bytes);
        RotatorRig rig(c.kind);
        rig.settings.correction = c.correction;
        rig.rotator.TurnRotator(c.azimuth);
        EXPECT_EQ(rig.sent, c.bytes);
        ASSERT_FALSE(rig.host.reports.empty());
        EXPECT_EQ(rig.host.reports.back().rfind("Turning to ", 0), 0u);
    }
    EXPECT_EQ(TRotator::StopCommand(1), std::string("P\0", 2));
    EXPECT_EQ(TRotator::StopCommand(2), "AS1;");
    EXPECT_EQ(TRotator::StopCommand(3), "S\r");
    EXPECT_EQ(TRotator::StopCommand(4), "\r");
}

TEST(Rotator, BandRulesAndRefusals)
{
    RotatorRig rig(2);
    rig.settings.extraOffset = 45;
    rig.settings.rules[5] = rrWithOffset;
    rig.rotator.TurnRotator(100);
    EXPECT_EQ(rig.sent, "AP1145;AM1;");
    rig.settings.rules[5] = rrReverse;
    rig.sent.clear();
    rig.rotator.TurnRotator(270);
    EXPECT_EQ(rig.sent, "AP1090;AM1;");

    rig.sent.clear();
    rig.settings.rules[5] = rrDisabled;
    rig.rotator.TurnRotator(10);
    EXPECT_EQ(rig.host.reports.back(), "!Not turning on " + BandName(5));
    rig.host.band = 0;
    rig.rotator.TurnRotator(10);
    EXPECT_EQ(rig.host.reports.back(), "!No band specified");
    EXPECT_EQ(rig.sent, "");

    // Closed: nothing sent, and it says so rather than "Turning to".
    rig.host.band = 5;
    rig.settings.rules[5] = rrNormal;
    rig.rotator.CloseRotator();
    rig.rotator.TurnRotator(10);
    EXPECT_EQ(rig.host.reports.back(), RotatorNotConnectedText);
    rig.rotator.StopRotator();
    EXPECT_EQ(rig.host.reports.back(), "Rotator Stopped");
    EXPECT_EQ(rig.sent, "");
}

class RotatorPortTest : public korval::test::PtyFixture {};

TEST_F(RotatorPortTest, SendsOverTheSerialPort)
{
    TRotatorSettings settings;
    settings.type = 3;  // kind 2
    settings.comPort = 3;
    settings.rules.fill(rrNormal);
    TTestRotatorHost host;
    TRotator rotator(settings, host);
    rotator.OpenRotator();
    ASSERT_TRUE(rotator.IsOpen());
    rotator.TurnRotator(123);
    rotator.StopRotator();
    EXPECT_EQ(ReadMaster(15), "AP1123;AM1;AS1;");

    settings.comPort = 7;  // mapped to a device that is not there
    TRotator absent(settings, host);
    absent.OpenRotator();
    EXPECT_FALSE(absent.IsOpen());
    EXPECT_EQ(host.openFailures, 1);
}
