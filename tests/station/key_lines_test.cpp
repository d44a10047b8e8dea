// The keyer's line from the keying interface: the radio's COM port (a pseudo-terminal here)
// opened for DTR or RTS keying, chosen again without tripping over itself, and a port that is
// not there reported with the keyer's message.
#include <gtest/gtest.h>

#include <pty.h>
#include <unistd.h>

#include "comms/com_port_map.h"
#include "comms/serial_device.h"
#include "platform/message_dlg.h"
#include "platform/precise_clock.h"
#include "station/key_lines.h"
#include "station/morse_sender.h"
#include "test_support.h"

namespace korval {
namespace {

class KeyLinesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(openpty(&master, &slave, nullptr, nullptr, nullptr), 0);
        test::WriteAll(home.file("COMPORTS.INI"),
                       std::string("COM3=") + ttyname(slave) + "\nCOM4=" + home.file("absent") + "\n");
        TComPortMap::SetFolder(home.path());
    }
    void TearDown() override
    {
        TComPortMap::SetFolder("");
        ::close(master);
        ::close(slave);
    }
    test::TempDir home;
    int master = -1, slave = -1;
};

TEST_F(KeyLinesTest, RadioPortKeysAndIsChosenAgainWithoutConflict)
{
    TMorseSettings s;
    s.keyingInterface = 5;
    s.radioComPort = 3;
    TManualClock clock;
    TMorseSender sender(clock, &OpenKeyLine, nullptr, s);
    ASSERT_TRUE(sender.HasKeyLine());
    // The port is held for keying; choosing the line again must give it up first.
    sender.SelectKeyingPort();
    EXPECT_TRUE(sender.HasKeyLine());
    sender.QueueText("E");
    sender.Step();
    EXPECT_EQ(sender.BufferText(), "");
}

TEST_F(KeyLinesTest, RadioHoldingThePortLendsItToTheKeyerAndGetsItBack)
{
    TMorseSettings s;
    s.keyingInterface = 5;
    s.radioComPort = 3;
    ScopedMessageRecorder messages;
    TManualClock clock;
    TMorseSender sender(clock, &OpenKeyLine, nullptr, s);
    {
        // The radio starts on the port: the keyer gives it up, then keys through the radio's handle.
        sender.DropKeyLine();
        TSerialDevice radio;
        ASSERT_EQ(radio.Open(ttyname(slave)), 0);
        sender.SelectKeyingPort(true);
        EXPECT_TRUE(sender.HasKeyLine());
        EXPECT_TRUE(messages.texts().empty()) << "not \"Could not open CW driver\" while the radio runs";
        sender.SetKey(true);
        sender.SetKey(false);
        sender.SelectKeyingPort(true); // chosen again: the shared handle goes, the radio keeps the port
        TSerialDevice other;
        EXPECT_NE(other.Open(ttyname(slave)), 0) << "the radio still holds its port";
        sender.DropKeyLine();
        EXPECT_NE(other.Open(ttyname(slave)), 0) << "dropping the shared handle leaves the radio's lock";
    }
    // The radio stopped: the keyer opens the port itself, and lets a starting radio have it.
    sender.SelectKeyingPort(true);
    EXPECT_TRUE(sender.HasKeyLine());
    TSerialDevice radio;
    EXPECT_NE(radio.Open(ttyname(slave)), 0);
    sender.DropKeyLine();
    EXPECT_EQ(radio.Open(ttyname(slave)), 0);
    EXPECT_TRUE(messages.texts().empty());
}

TEST_F(KeyLinesTest, MissingPortIsReportedOnlyWhenAsked)
{
    TMorseSettings s;
    s.keyingInterface = 6;
    s.radioComPort = 4;
    ScopedMessageRecorder messages;
    EXPECT_EQ(OpenKeyLine(s, false), nullptr);
    EXPECT_TRUE(messages.texts().empty());
    EXPECT_EQ(OpenKeyLine(s, true), nullptr);
    EXPECT_EQ(messages.texts(), std::vector<std::string>{"Could not open CW driver"});
    s.keyingInterface = 1;
    EXPECT_EQ(OpenKeyLine(s, true), nullptr) << "no interface: nothing to open, nothing to say";
    EXPECT_EQ(messages.texts().size(), 1u);
}

} // namespace
} // namespace korval
