#include "reporting/windows/report_forms.h"

#include <QApplication>
#include <QEventLoop>
#include <QPushButton>

#include "platform/windows/win1252.h"
#include "reporting/windows/preview_form.h"
#include "reporting/windows/setup_form.h"
#include "reporting/windows/status_form.h"

namespace korval {

namespace {

// A Qt form handed between the modes of a step.
template <class Form>
struct TFormHolder : TReportStepForm {
    std::unique_ptr<Form> Dialog;
};

template <class Form>
Form* held(std::unique_ptr<TReportStepForm>& form)
{
    auto* holder = dynamic_cast<TFormHolder<Form>*>(form.get());
    return holder ? holder->Dialog.get() : nullptr;
}

template <class Form, class... Args>
Form* hold(std::unique_ptr<TReportStepForm>& form, Args&&... args)
{
    auto holder = std::make_unique<TFormHolder<Form>>();
    holder->Dialog = std::make_unique<Form>(std::forward<Args>(args)...);
    Form* dialog = holder->Dialog.get();
    form = std::move(holder);
    return dialog;
}

} // namespace

void TQtReportForms::Setup(TReportSystem& system, TOverrideMode mode, std::unique_ptr<TReportStepForm>& form)
{
    switch (mode) {
    case omCreate: hold<TRPSetupForm>(form, system, nullptr, QApplication::activeWindow()); break;
    case omShow:
        if (TRPSetupForm* setup = held<TRPSetupForm>(form); setup && setup->exec() != QDialog::Accepted)
            system.SetAborted(true);
        break;
    case omWait: break;
    case omFree: form.reset(); break;
    }
}

void TQtReportForms::Status(TReportSystem& system, TOverrideMode mode, std::unique_ptr<TReportStepForm>& form)
{
    switch (mode) {
    case omCreate: hold<TRPStatusForm>(form, system, QApplication::activeWindow()); break;
    case omShow:
        if (TRPStatusForm* status = held<TRPStatusForm>(form)) {
            if (TBaseReport* surface = system.ReportSurface())
                surface->StatusLabel = status->Label();
            status->CancelButton->setText("Cancel");
            status->show();
            QCoreApplication::processEvents();
        }
        break;
    case omWait:
        if (TRPStatusForm* status = held<TRPStatusForm>(form); status && system.Has(soWaitForOK))
            status->WaitForOK();
        break;
    case omFree: form.reset(); break;
    }
}

void TQtReportForms::Preview(TReportSystem& system, TOverrideMode mode, std::unique_ptr<TReportStepForm>& form)
{
    switch (mode) {
    case omCreate: {
        TRPPreviewForm* preview = hold<TRPPreviewForm>(form, &system, QApplication::activeWindow());
        preview->setWindowTitle(FromWin1252(ReportText(system.TitlePreview)));
        preview->resize(system.SystemPreview.FormWidth, system.SystemPreview.FormHeight);
        if (system.SystemPreview.FormState == fsMaximized)
            preview->setWindowState(Qt::WindowMaximized);
        else if (system.SystemPreview.FormState == fsMinimized)
            preview->setWindowState(Qt::WindowMinimized);
        break;
    }
    case omShow:
        if (TRPPreviewForm* preview = held<TRPPreviewForm>(form)) {
            system.AssignStream(preview->FilePreview1);
            system.AssignStream(preview->FilePrinter1);
            system.SystemPreview.AssignTo(preview->FilePreview1);
            if (system.OnPreviewSetup)
                system.OnPreviewSetup(system, preview->FilePreview1);
            if (system.Has(soPreviewModal))
                preview->exec();
            else
                preview->show();
        }
        break;
    case omWait:
        if (TRPPreviewForm* preview = held<TRPPreviewForm>(form))
            while (!preview->Done() && preview->isVisible())
                QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        break;
    case omFree: form.reset(); break;
    }
}

void PrinterSetupCommand()
{
    TRPDevice& device = ReportDevice();
    if (!device.HasPrinters()) {
        ShowReportError(ReportText(kNoPrinters));
        return;
    }
    try {
        device.PrinterSetupDialog();
    } catch (const EReportError& e) {
        ShowReportError(e.what());
    }
}

} // namespace korval
