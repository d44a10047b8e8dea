#include "app/startup.h"

#include <QApplication>
#include <filesystem>

#include "app/main_form.h"
#include "logbook/paths.h"
#include "logbook/progress.h"
#include "logbook/windows/progress_bar.h"
#include "app/splash_screen.h"
#include "platform/korval_home.h"
#include "platform/message_dlg.h"
#include "platform/shipped_defaults.h"
#include "platform/windows/single_instance.h"
#include "platform/windows/win1252.h"

namespace korval {

namespace {

// The progress window as the log engines see it.
class TProgressWindowSink : public TProgressSink {
public:
    explicit TProgressWindowSink(TProgressbar& w) : w_(w) {}
    void Start(const std::string& caption, int maximum) override { w_.SetUp(FromWin1252(caption), maximum); }
    void Step() override { w_.ShowProgress(); }
    void Finish() override { w_.Finished(); }

private:
    TProgressbar& w_;
};

void RemoveQuietly(const std::string& path)
{
    std::error_code ec;
    std::filesystem::remove(path, ec);
}

} // namespace

int RunKorval(const TStartupOptions& options)
{
    const std::string home = KorvalHome();
    TSingleInstance guard(QString::fromStdString(home));
    if (!guard.TryAcquire() && guard.lockUsable()) {
        // Another Korval runs on this home: bring it to the front and end without a window.
        guard.SignalFirst();
        return 0;
    }

    try {
        CopyShippedDefaults(options.shippedDataDir, home);
    } catch (const std::exception& e) {
        MessageDlg(e.what(), TMsgDlgType::mtError, mbOK);
    }

    if (options.showSplash)
        ShowStartupSplash();

    int rc = 1;
    {
        TMainForm form(
            TMainFormEnv{options.params, nullptr, nullptr, options.helpFile});
        if (!form.startupOk()) {
            FreeStartupSplash();
            return 1;
        }
        TProgressbar progress(&form);
        SetProgressWindow(&progress);
        TProgressWindowSink sink(progress);
        TProgressSink* previousSink = SetProgressSink(&sink);
        QObject::connect(&guard, &TSingleInstance::activateRequested, &form, &TMainForm::BringToFront);
        // Closing the main window ends the program, even when a window of its own is still open.
        QObject::connect(&form, &TMainForm::closed, qApp, &QCoreApplication::quit, Qt::QueuedConnection);

        form.show();
        rc = QApplication::exec();
        guard.setTerminating(true);
        SetProgressSink(previousSink);
        SetProgressWindow(nullptr);
    } // the main window's destroy handler saves the configuration

    // A normal end: the crash backups are not needed any more.
    RemoveQuietly(GetProgramDirFileName(pfLogBackup));
    RemoveQuietly(GetProgramDirFileName(pfCountryBackup));
    return rc;
}

} // namespace korval
