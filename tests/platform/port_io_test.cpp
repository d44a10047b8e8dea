// The parallel ports of the keyer and the band decoder: opened once on need, a port that cannot
// be opened reported with the keyer's message, and the control bits of key and PTT.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>

#include "platform/message_dlg.h"
#include "platform/port_io.h"

namespace korval {
namespace {

class PortIoTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        old_ = PortIo().SetOpener([this](int lpt, std::string& error) -> std::unique_ptr<TLptDevice> {
            ++opens;
            if (lpt == 3) {
                error = "/dev/parport2: Permission denied";
                return nullptr;
            }
            auto port = std::make_unique<TRecordingLpt>();
            ports[lpt] = port.get();
            return port;
        });
    }
    void TearDown() override { PortIo().SetOpener(old_); }

    int opens = 0;
    std::map<int, TRecordingLpt*> ports;
    TPortIo::TOpener old_;
};

TEST_F(PortIoTest, PortsOpenOnceOnNeedAndCloseTogether)
{
    EXPECT_FALSE(PortIo().ActiveHW());
    EXPECT_EQ(PortIo().Lpt(0), nullptr);
    EXPECT_EQ(PortIo().Lpt(4), nullptr);
    EXPECT_EQ(opens, 0);
    TLptDevice* lpt1 = PortIo().Lpt(1);
    ASSERT_NE(lpt1, nullptr);
    EXPECT_EQ(PortIo().Lpt(1), lpt1);
    EXPECT_EQ(opens, 1);
    EXPECT_TRUE(PortIo().ActiveHW());
    PortIo().CloseDriver();
    EXPECT_FALSE(PortIo().ActiveHW());
}

TEST_F(PortIoTest, PortThatCannotOpenTellsTheOperatorOnlyWhenAsked)
{
    ScopedMessageRecorder messages;
    EXPECT_EQ(OpenCwDriver(3, false), nullptr);
    EXPECT_TRUE(messages.texts().empty());
    EXPECT_EQ(OpenCwDriver(3, true), nullptr);
    EXPECT_EQ(messages.texts(), std::vector<std::string>{"Could not open CW driver"});
    EXPECT_EQ(PortIo().LastError(), "/dev/parport2: Permission denied");
    EXPECT_EQ(opens, 2) << "a failed port is tried again";
}

TEST_F(PortIoTest, KeyOnBitZeroPttOnBitTwoOfTheControlRegister)
{
    TLptKeyLine line(*PortIo().Lpt(2));
    line.Set(false, true);
    line.Set(true, true);
    line.Set(true, false);
    line.Set(false, false);
    using W = TRecordingLpt::TWrite;
    EXPECT_EQ(ports[2]->Writes(), (std::vector<W>{{true, 4}, {true, 5}, {true, 1}, {true, 0}}));
}

TEST(PpdevLpt, DeviceThatIsNotThereGivesItsReason)
{
    EXPECT_EQ(ParallelPortPath(1), "/dev/parport0");
    std::string error;
    EXPECT_EQ(TPpdevLpt::Open("/nonexistent/parport9", error), nullptr);
    EXPECT_EQ(error, std::string("/nonexistent/parport9: ") + std::strerror(ENOENT));
}

} // namespace
} // namespace korval
