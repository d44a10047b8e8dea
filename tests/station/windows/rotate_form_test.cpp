// The rotator window and the program's rotator offscreen: the band rules it keeps in the
// configuration, the bytes a turn sends, and Cancel giving back what was there.
#include "station/windows/rotate_form.h"

#include "entry/windows/ovc_numeric_field.h"
#include "grids/windows/popup_box.h"
#include "logbook/base/record_bytes.h"
#include "platform/message_dlg.h"

#include <QPushButton>

#include <gtest/gtest.h>

using namespace korval;

namespace {

class RotateFormTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Config = TConfigRecord();
        Config.SetRotatorKind(3);  // kind 2: "AP1%.3d;AM1;"
        control.BandSource = [this] { return band; };
        control.SetSender([this](const std::string& bytes) { sent += bytes; });
        control.OpenRotator();
    }
    void TearDown() override
    {
        control.CloseRotator();
        Config = saved;
    }
    TConfigRecord saved = Config;
    ScopedMessageRecorder messages;
    TRotatorControl control;
    int band = 5;
    std::string sent;
};

TEST_F(RotateFormTest, BandRulesAndOffsetsDecideTheBearingSent)
{
    TRotateForm* w = control.ShowRotateForm(nullptr);
    w->F_Band->SetSelection(5);
    w->F_Status->SetSelection(4);  // "Reverse"
    w->F_Band->SetSelection(7);    // moving on keeps the rule of band 5
    w->F_Status->SetSelection(3);  // "With Offset"
    EXPECT_EQ(Config.Bytes()[7248 + 5], 3);
    EXPECT_EQ(Config.RotatorRule(7), 2);
    w->F_Corr->SetAsInteger(20);
    w->F_offset->SetAsInteger(-45);

    w->F_Heading->SetAsInteger(350);
    w->Btn_rotate->click();  // band 5 reversed: 350 + 20 + 180 = 550 -> 190
    EXPECT_EQ(sent, "AP1190;AM1;");
    EXPECT_EQ(w->windowTitle().toStdString(), "Turning to 190");
    EXPECT_EQ(GetI32(Config.Bytes(), 7244), 20);

    sent.clear();
    band = 7;  // with offset: 350 + 20 - 45 = 325
    control.SetRotatorAzimuth(350);
    EXPECT_EQ(sent, "AP1325;AM1;");
    EXPECT_EQ(w->F_Heading->GetAsInteger(), 350);

    sent.clear();
    band = 0;
    w->Btn_rotate->click();
    EXPECT_EQ(sent, "");
    EXPECT_EQ(w->windowTitle().toStdString(), "!No band specified");
    w->Btn_Stop->click();
    EXPECT_EQ(sent, "AS1;");
    EXPECT_EQ(w->windowTitle().toStdString(), "Rotator Stopped");
    w->close();
}

TEST_F(RotateFormTest, CancelGivesTheRotatorSettingsBack)
{
    Config.SetRotatorRule(3, 1);
    Config.SetRotatorCorrection(5);
    const TConfigRecord before = Config;
    TRotateForm* w = control.ShowRotateForm(nullptr);
    EXPECT_EQ(control.ShowRotateForm(nullptr), w);  // one window, brought up again
    w->F_Band->SetSelection(3);
    w->F_Status->SetSelection(1);  // "Disabled", stored at once
    w->F_Corr->SetAsInteger(-30);
    w->Btn_Stop->click();
    EXPECT_EQ(Config.RotatorRule(3), 0);
    EXPECT_EQ(Config.RotatorCorrection(), -30);
    w->Button2->click();
    EXPECT_TRUE(Config == before);
}

TEST_F(RotateFormTest, MenuStateFollowsTheRotatorAndAFailedPortIsReported)
{
    std::vector<bool> menu;
    QObject listener;
    QObject::connect(&control, &TRotatorControl::rotatorMenuEnabled, &listener, [&](bool on) { menu.push_back(on); });
    Config.SetRotatorRule(band, rrNormal);
    control.CloseRotator();
    control.SetRotatorAzimuth(10);
    EXPECT_EQ(control.Status(), "!Rotator is not connected");
    EXPECT_EQ(sent, "");

    TRotatorControl real;  // no sender: the serial port of a COM number that does not open
    Config.SetRotatorPort(99);
    real.OpenRotator();
    EXPECT_FALSE(real.IsOpen());
    EXPECT_EQ(messages.texts(), std::vector<std::string> {"Rotator COM port failed to open"});
    EXPECT_EQ(menu, (std::vector<bool> {false}));
}

} // namespace
