// The port selection window: what it lists, and OK on an empty list.
#include "comms/apd_com_port.h"
#include "comms/windows/com_select_form.h"
#include "tests/comms/comms_fixture.h"

#include <QComboBox>
#include <QPushButton>
#include <gtest/gtest.h>

using namespace korval;
using namespace korval::test;

namespace {

class ComSelectFormTest : public PtyFixture {
protected:
    // Every number points at a missing device except those given.
    void Map(const std::string& extra)
    {
        std::string text = "[Ports]\n";
        for (int n = 1; n <= 50; ++n)
            text += "COM" + std::to_string(n) + "=" + home.file("none") + "\n";
        WriteAll(home.file(kComPortMapName), text + extra);
    }
    TempDir dev;
};

TEST_F(ComSelectFormTest, NoPortsLeavesTheListEmptyAndOkDisabled)
{
    Map("");
    TComSelectForm form(nullptr, dev.path());
    EXPECT_EQ(form.windowTitle(), "Select Port");
    EXPECT_EQ(form.PortsComboBox->count(), 0);
    EXPECT_FALSE(form.OkBtn->isEnabled());
    EXPECT_EQ(form.ChosenNumber(), 0);
}

TEST_F(ComSelectFormTest, PortsInUseAndNewUsbDevicesAreListed)
{
    Map("COM3=" + slavePath + "\n");
    TApdComPort busy;
    busy.SetComNumber(3);
    busy.SetOpen(true);
    WriteAll(dev.file("ttyUSB0"), "");
    TComSelectForm form(nullptr, dev.path());
    ASSERT_EQ(form.PortsComboBox->count(), 2);
    EXPECT_EQ(form.PortsComboBox->itemText(0), "COM3");
    EXPECT_EQ(form.PortsComboBox->itemText(1), QString::fromStdString("COM51 (" + dev.file("ttyUSB0") + ")"));
    EXPECT_TRUE(form.OkBtn->isEnabled());
    EXPECT_EQ(form.ChosenNumber(), 3);
    // Choosing the USB device gives it its number in the port map for good.
    form.PortsComboBox->setCurrentIndex(1);
    EXPECT_EQ(form.ChosenNumber(), 51);
    EXPECT_EQ(TComPortMap::DevicePath(51), dev.file("ttyUSB0"));
    EXPECT_EQ(TComPortMap::DevicePath(3), slavePath);
}

} // namespace
