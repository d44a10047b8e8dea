// The setup window offscreen: every page's controls reach the working copy, OK makes it live
// through fake services, Cancel leaves the live record alone, and the settings file round trip.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QTest>

#include <algorithm>
#include <cstring>
#include <filesystem>

#include "entry/windows/ovc_base_field.h"
#include "entry/windows/ovc_numeric_field.h"
#include "grids/windows/ovc_check_list.h"
#include "grids/windows/ovc_notebook.h"
#include "grids/windows/popup_box.h"
#include "platform/message_dlg.h"
#include "reference/setup_restart.h"
#include "reference/windows/setup_dialog.h"
#include "test_support.h"
#include "window_fit.h"

namespace korval {
namespace {

class TFakeServices : public TSetupServices {
public:
    std::vector<std::string> calls;
    bool radioRunning = false;
    bool RadioRunning() const override { return radioRunning; }
    bool TerminalOpen(int) const override { return false; }
    bool QsoWindowOpen() const override { return false; }
    bool SpotWindowOpen() const override { return false; }
    bool logOpen = false;
    bool LogOpen() const override { return logOpen; }
    void FreeRadio() override { calls.push_back("FreeRadio"); }
    void ProcessPendingMessages() override {}
    void FreeTerminal(int n) override { calls.push_back("FreeTerminal " + std::to_string(n)); }
    void CloseRotator() override { calls.push_back("CloseRotator"); }
    void UpdateRadioMenu() override { calls.push_back("UpdateRadioMenu"); }
    void CreateRadio() override { calls.push_back("CreateRadio"); }
    void SelectKeyingPort() override { calls.push_back("SelectKeyingPort"); }
    void CreateTerminal(int n) override { calls.push_back("CreateTerminal " + std::to_string(n)); }
    void DeleteNoInterestSpots() override { calls.push_back("DeleteNoInterestSpots"); }
    void ScaleAllForms(int n) override { calls.push_back("ScaleAllForms " + std::to_string(n)); }
    void MarkAwardSummaryStale() override { calls.push_back("MarkAwardSummaryStale"); }
    void PostToMainForm(int n) override { calls.push_back("PostToMainForm " + std::to_string(n)); }
    void OpenRotator() override { calls.push_back("OpenRotator"); }
    int SoundDeviceCount() override { return 1; }
    bool PlaySoundToken(const std::string&) override { return true; }
    void ApplyOwnCallsign() override { calls.push_back("ApplyOwnCallsign"); }
    void ApplyDateFormats() override { calls.push_back("ApplyDateFormats"); }
};

// The live record is the program's global: each test starts from a blank one and puts the old back.
class SetupDialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        saved_ = Config;
        Config = TConfigRecord();
        Config.SetUserLevel(3);
        Config.SetFormScale(100);
    }
    void TearDown() override { Config = saved_; }

    // Sets a control by its kind: text and numbers as typed, a choice by its 1-based selection,
    // a check box "1", a check list by "Y"/"N" per item.
    static void SetControl(TSetupDialog& dlg, const char* name, const std::string& value)
    {
        QWidget* w = dlg.Control(name);
        ASSERT_NE(w, nullptr) << name;
        dlg.SetupNoteBook->SetPageIndex(dlg.PageOf(w));
        if (auto* field = dynamic_cast<TOvcBaseEntryField*>(w))
            field->SetAsString(value);
        else if (auto* wheel = dynamic_cast<TWheelx*>(w))
            wheel->SetSelection(std::stoi(value));
        else if (auto* box = dynamic_cast<QCheckBox*>(w))
            box->setChecked(value == "1");
        else if (auto* list = dynamic_cast<TOvcCheckList*>(w))
            for (std::size_t i = 0; i < value.size(); ++i)
                list->SetStates(static_cast<int>(i), value[i] == 'Y' ? cbChecked : cbUnchecked);
        else
            FAIL() << name << " is of no known kind";
    }

    TConfigRecord saved_;
    TFakeServices services;
};

std::string ShortString(const TConfigRecord& r, std::size_t offset)
{
    const auto* b = r.Bytes() + offset;
    return std::string(reinterpret_cast<const char*>(b + 1), b[0]);
}

TEST_F(SetupDialogTest, EveryKindOfFieldOnEveryPageReachesItsOffset)
{
    const std::size_t pk = TConfigRecord::PacketPortOffset, rt = TConfigRecord::RttyPortOffset;
    const std::size_t waz = TConfigRecord::AwardSettingsOffset + TAwardSettings::Size * akWaz;
    // name, value set, offset, expected: a text or the bytes from the offset.
    const struct {
        const char* name;
        std::string value;
        std::size_t offset;
        std::string text;               // for a text field
        std::vector<std::uint8_t> bytes;  // otherwise
    } rows[] = {
        {"Personal_Callsign", "DL1ABC", TConfigRecord::OwnCallOffset, "DL1ABC", {}},
        {"Personal_UserLevel", "2", TConfigRecord::UserLevelOffset, "", {2}},
        {"Personal_Addr3", "Hauptstr. 1", TConfigRecord::AddressOffset + 82, "Hauptstr. 1", {}},
        {"Personal_grid", "JO62QM", TConfigRecord::OwnGridOffset, "JO62qm", {}},  // the picture lowers the square
        {"Personal_DateFormat", "3", TConfigRecord::DateFormatOffset, "", {3}},
        {"Personal_UnitFormat", "2", TConfigRecord::DistanceUnitOffset, "", {2}},
        {"CL_station_bands", "NNY", TConfigRecord::StationBandOffset + 1, "", {0, 0, 1}},
        {"Rotator_type", "4", TConfigRecord::RotatorKindOffset, "", {4}},
        {"Rotator_port", "3", TConfigRecord::RotatorPortOffset, "", {3}},
        {"F_Band_sel", "3", TConfigRecord::BandDecoderKindOffset, "", {3}},
        {"DefQSO_band", "5", TConfigRecord::DefaultBandOffset, "", {5}},
        {"DefQSO_Group", "200", TConfigRecord::MergeGroupOffset, "", {200}},
        {"DefQSO_BackupInterval", "300", TConfigRecord::AutoSaveIntervalOffset, "", {0x2C, 0x01}},
        {"DefQSO_ShowSecs", "1", TConfigRecord::TimeFormatOffset, "", {1}},
        {"DefQSO_DateSearch", "3", TConfigRecord::DateSearchMethodOffset, "", {3}},
        {"F_FormScale", "120", TConfigRecord::FormScaleOffset, "", {120}},
        {"imp_zone", "1", TConfigRecord::ImportZoneDiffsOffset, "", {1}},
        {"imp_action", "3", TConfigRecord::ImportConflictActionOffset, "", {2, 0, 0, 0}},
        {"Hardware_RadioCOMPort", "4", TConfigRecord::RadioComPortOffset, "", {4}},
        {"Hardware_RadioPollRate", "700", TConfigRecord::RadioPollIntervalOffset, "", {0xBC, 0x02}},
        {"Hardware_RadioMaxTries", "7", TConfigRecord::RadioRetriesOffset, "", {7}},
        {"hardware_cwport", "3", TConfigRecord::CwKeyingInterfaceOffset, "", {3}},
        {"hardware_PTTDelay", "33", TConfigRecord::CwPttDelayOffset, "", {33}},
        {"Hardware_RTSHigh", "1", TConfigRecord::RadioRtsOffset, "", {1}},
        {"TNC_Baudrate", "4", pk + TPortSettings::BaudIndexOffset, "", {4}},
        {"Packet_DXVoice", "3", TConfigRecord::AnnounceContentOffset, "", {2, 0, 0, 0}},
        {"Packet_OkPrefixes", "DL,F", TConfigRecord::SpotterFilterOffset, "DL,F", {}},
        {"Packet_max_putout", "500", TConfigRecord::SpotListCapacityOffset, "", {0xF4, 0x01}},
        {"Packet_pat3", "DX de", TConfigRecord::SpotTemplateOffset + 66, "DX de", {}},
        {"RTTY_Flow", "3", rt + TPortSettings::FlowControlOffset, "", {3}},
        {"rtty_alwaysimmed", "1", rt + TPortSettings::AlwaysImmediateOffset, "", {1}},
        {"F_ExtAddrType", "3", TConfigRecord::CallbookKindOffset, "", {2}},
        {"F_ExtAddrPath", "/srv/cd", TConfigRecord::CallbookPathOffset, "/srv/cd", {}},
        {"F_F2_NextQSO", "2", TConfigRecord::ConfirmNextActionOffset, "", {1, 0, 0, 0}},
        {"CL_WAZ_modes", "NY", waz + 33, "", {0, 1}},
        {"F_RepFontSize", "12", TConfigRecord::ReportFontSizeOffset, "", {12}},
        {"F_RepEmbellish", "3", TConfigRecord::ReportEmbellishmentOffset, "", {2}},
        {"F_LabGreeting2", "73 es tnx", TConfigRecord::LabelGreetingOffset + 41, "73 es tnx", {}},
    };
    ScopedMessageRecorder messages;
    TSetupDialog dlg(services);
    dlg.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dlg));
    for (const auto& r : rows)
        SetControl(dlg, r.name, r.value);
    dlg.Savechangesandexit1Click();
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    // The copy went live whole; only the callbook source, whose library is not installed here,
    // was given up again after the check said so.
    ASSERT_EQ(messages.texts().size(), 1u);
    EXPECT_NE(messages.texts()[0].find("could not be found"), std::string::npos);
    EXPECT_EQ(Config.CallbookKind(), 0);
    Config.SetCallbookKind(dlg.Copy.CallbookKind());
    EXPECT_EQ(std::memcmp(Config.Bytes(), dlg.Copy.Bytes(), TConfigRecord::Size), 0);
    for (const auto& r : rows) {
        if (r.bytes.empty()) {
            EXPECT_EQ(ShortString(Config, r.offset), r.text) << r.name;
        } else {
            const std::vector<std::uint8_t> got(Config.Bytes() + r.offset,
                                                Config.Bytes() + r.offset + r.bytes.size());
            EXPECT_EQ(got, r.bytes) << r.name;
        }
    }
}

// A new home's setup names no Windows drive as the callbook's data folder: empty stands for the
// EXTDATA folder of the Korval home, where the callbook libraries are.
TEST_F(SetupDialogTest, ANewSetupHasNoDriveLetterForTheCallbookData)
{
    TSetupDialog dlg(services);
    auto* path = dynamic_cast<TOvcBaseEntryField*>(dlg.Control("F_ExtAddrPath"));
    ASSERT_NE(path, nullptr);
    EXPECT_EQ(path->GetAsString(), "");
    EXPECT_NE(path->toolTip().indexOf(QStringLiteral("EXTDATA")), -1);
}

TEST_F(SetupDialogTest, CancelLeavesTheLiveRecordByteForByte)
{
    Config.SetAnnounceContent(0);
    Config.SetSoundConfirmed(true);  // the dialog forgets it only in its copy
    const TConfigRecord before = Config;
    TSetupDialog dlg(services);
    dlg.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dlg));
    SetControl(dlg, "Personal_Callsign", "W1AW");
    SetControl(dlg, "DefQSO_band", "7");
    SetControl(dlg, "Hardware_RadioCOMPort", "2");
    SetControl(dlg, "CL_DXCC_valid", "NNNN");
    dlg.SetupNoteBook->SetPageIndex(0);
    dlg.Cancelchangesandexit2Click();
    EXPECT_EQ(dlg.result(), QDialog::Rejected);
    EXPECT_EQ(std::memcmp(Config.Bytes(), before.Bytes(), TConfigRecord::Size), 0);
    EXPECT_TRUE(services.calls.empty());
}

TEST_F(SetupDialogTest, ExportThenMergeGivesTheSameCopy)
{
    Config.SetReportHeading("Log of DL1ABC, Berlin, 2026");  // commas in a Rep/Lab value
    Config.SetOwnCall("DL1ABC");
    const std::string file = (std::filesystem::path(::testing::TempDir()) / "korval-setup.ini").string();
    TSetupDialog dlg(services);
    dlg.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dlg));
    SetControl(dlg, "Packet_DXCallsign", "VP8,3Y0");
    SetControl(dlg, "Hardware_RadioPollRate", "900");
    SetControl(dlg, "CL_WPX_Valid", "YNY");
    dlg.SetupNoteBook->SetPageIndex(TSetupDialog::pgRepLab);
    dlg.WriteIniFile(file);
    const TConfigRecord exported = dlg.Copy;

    dlg.Copy = TConfigRecord();
    dlg.LoadPage(dlg.SetupNoteBook->PageIndex());
    dlg.MergeIniFile(file);
    dlg.StorePage(dlg.SetupNoteBook->PageIndex());
    for (std::size_t i = 0; i < TConfigRecord::Size; ++i)
        ASSERT_EQ(dlg.Copy.Bytes()[i], exported.Bytes()[i]) << "byte " << i;
    EXPECT_EQ(dlg.Copy.ReportHeading(), "Log of DL1ABC, Berlin, 2026");
    std::filesystem::remove(file);
}

TEST_F(SetupDialogTest, BadHomeLocatorIsRefusedAndTheCoordinatesStay)
{
    ScopedMessageRecorder messages;
    TSetupDialog dlg(services);
    dlg.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dlg));
    SetControl(dlg, "Personal_Longitude", "13.5");
    SetControl(dlg, "Personal_grid", "ZZ99zz");
    dlg.GridToPositionClick();
    EXPECT_EQ(messages.texts(), std::vector<std::string>{"Bad Grid locator"});
    EXPECT_DOUBLE_EQ(dlg.Personal_Longitude->GetAsFloat(), 13.5);
    SetControl(dlg, "Personal_grid", "");
    dlg.GridToPositionClick();  // an empty locator is passed over silently
    EXPECT_EQ(messages.texts().size(), 1u);
}

TEST_F(SetupDialogTest, KeyingOnARadioPortLineWithNoRadioIsSavedAsNone)
{
    TSetupDialog dlg(services);
    dlg.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dlg));
    SetControl(dlg, "hardware_cwport", "5");  // DTR on radio port
    dlg.Savechangesandexit1Click();
    EXPECT_EQ(Config.CwKeyingInterface(), 1);
    EXPECT_NE(std::find(services.calls.begin(), services.calls.end(), "SelectKeyingPort"), services.calls.end());
}

TEST_F(SetupDialogTest, SaveRestartsWhatChangedInItsFixedOrder)
{
    services.radioRunning = true;
    services.logOpen = true;
    Config.SetRadioModel("IC-7300");  // no longer installed: it loads as "None" and is saved so
    Config.SetRotatorPort(1);
    TSetupDialog dlg(services);
    dlg.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dlg));
    SetControl(dlg, "Hardware_RadioPollRate", "1234");  // the radio
    SetControl(dlg, "Rotator_port", "2");               // the rotator
    SetControl(dlg, "F_FormScale", "110");              // the fonts
    SetControl(dlg, "CL_DXCC_Awards", "NYN");           // the award summary
    dlg.Savechangesandexit1Click();
    EXPECT_EQ(Config.RadioModel(), "");
    const std::vector<std::string> expected{"FreeRadio",       "CloseRotator",          "UpdateRadioMenu",
                                            "ScaleAllForms 100", "MarkAwardSummaryStale", "PostToMainForm 9", "OpenRotator",
                                            "PostToMainForm 8"};
    EXPECT_EQ(services.calls, expected);
}

TEST(SetupDialog, Opens)
{
    TFakeServices services;
    TSetupDialog dlg(services);
    dlg.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dlg));
    for (int page = 0; page < TSetupDialog::PageCount; ++page) {
        dlg.SetupNoteBook->SetPageIndex(page);
        QCoreApplication::processEvents();
        test::ExpectControlsFit(&dlg, "page " + std::to_string(page), true);
        if (const char* dir = std::getenv("KORVAL_SHOTS"))
            dlg.grab().save(QString::fromLatin1(dir) + QStringLiteral("/setup-%1.png").arg(page, 2, 10, QChar('0')));
    }
}

} // namespace
} // namespace korval
