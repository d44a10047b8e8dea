#include "exchange/windows/report_setup.h"

#include <QComboBox>
#include <QEvent>
#include <QFileDialog>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "exchange/listing_print.h"
#include "exchange/log_listing.h"
#include "logbook/config_record.h"
#include "logbook/windows/form_fonts.h"
#include "logbook/windows/logbook.h"
#include "platform/windows/win1252.h"
#include "reporting/report_system.h"
#include "reporting/windows/report_forms.h"

namespace korval {

namespace {

TReportSetupAnswer& setupAnswer()
{
    static TReportSetupAnswer answer;
    return answer;
}

} // namespace

TReportSetupAnswer SetReportSetupAnswer(TReportSetupAnswer answer)
{
    TReportSetupAnswer previous = std::move(setupAnswer());
    setupAnswer() = std::move(answer);
    return previous;
}

TReportSetupAnswer AnswerToFile(const std::string& fileName, int* asked)
{
    return [fileName, asked](bool, TSetupChoice& c) {
        if (asked)
            ++*asked;
        c.Destination = rdFile;
        c.FileName = fileName;
        return true;
    };
}

TMyReportSetup::TMyReportSetup(TReportSystem& report, bool labelDefaults, QWidget* parent)
    : QDialog(parent), report_(report)
{
    setWindowTitle("Report Setup");
    F_Destination = new QComboBox(this);
    F_Destination->setObjectName("F_Destination");
    F_Destination->addItems({"Printer", "Preview", "File"});
    F_Range = new QComboBox(this);
    F_Range->setObjectName("F_Range");
    F_Range->addItems({"All", "Range"});
    F_From = new QSpinBox(this);
    F_From->setObjectName("F_From");
    F_To = new QSpinBox(this);
    F_To->setObjectName("F_To");
    for (QSpinBox* s : {F_From, F_To})
        s->setRange(1, 9999);
    F_FileName = new QLineEdit(this);
    F_FileName->setObjectName("F_FileName");
    F_FileName->setPlaceholderText("Double-Click for File Dialog");
    F_FileName->setToolTip("Double-Click for File Dialog");
    F_FileName->installEventFilter(this);
    FromLabel = new QLabel("From", this);
    ToLabel = new QLabel("to", this);
    FileLabel = new QLabel("File", this);
    PrinterLabel = new QLabel(this);
    PrinterLabel->setObjectName("PrinterLabel");
    BtnOk = new QPushButton("OK", this);
    BtnCancel = new QPushButton("Cancel", this);
    BtnSetup = new QPushButton("Setup", this);
    BtnOk->setDefault(true);

    auto* form = new QFormLayout;
    form->addRow("Destination", F_Destination);
    form->addRow(FileLabel, F_FileName);
    form->addRow("Pages", F_Range);
    auto* range = new QHBoxLayout;
    range->addWidget(FromLabel);
    range->addWidget(F_From);
    range->addWidget(ToLabel);
    range->addWidget(F_To);
    range->addStretch();
    form->addRow(range);
    auto* printer = new QGroupBox("Selected Printer", this);
    auto* pl = new QHBoxLayout(printer);
    pl->addWidget(PrinterLabel, 1);
    pl->addWidget(BtnSetup);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(BtnOk);
    buttons->addWidget(BtnCancel);
    auto* top = new QVBoxLayout(this);
    top->addLayout(form);
    top->addWidget(printer);
    top->addLayout(buttons);

    if (labelDefaults) {
        F_Destination->setCurrentIndex(1);
        F_Range->setCurrentIndex(1);
        F_From->setValue(1);
        F_To->setValue(5);
    } else {
        F_Destination->setCurrentIndex(0);
        F_Range->setCurrentIndex(0);
        F_From->setValue(1);
        F_To->setValue(9999);
    }
    connect(F_Destination, &QComboBox::currentIndexChanged, this, [this] { updateVisibility(); });
    connect(F_Range, &QComboBox::currentIndexChanged, this, [this] { updateVisibility(); });
    connect(BtnOk, &QPushButton::clicked, this, &QDialog::accept);
    connect(BtnCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(BtnSetup, &QPushButton::clicked, this, [this] {
        PrinterSetupCommand();
        updatePrinterLabel();
    });
    AskFileName = [this] {
        return ToWin1252(QFileDialog::getSaveFileName(this, "Report file", F_FileName->text(), "PDF (*.pdf)"));
    };
    SetFormFont(this);
    FitComboBoxes(this);
    updatePrinterLabel();
    updateVisibility();
}

void TMyReportSetup::updatePrinterLabel()
{
    TRPDevice& device = report_.Device();
    if (!device.HasPrinters()) {
        PrinterLabel->setText("No printers installed!");
        return;
    }
    device.GetPrinterIndex();
    PrinterLabel->setText(QString("%1 on %2").arg(FromWin1252(device.DeviceName()), FromWin1252(device.PortName())));
}

void TMyReportSetup::updateVisibility()
{
    const bool file = F_Destination->currentIndex() == 2;
    FileLabel->setVisible(file);
    F_FileName->setVisible(file);
    const bool range = F_Range->currentIndex() == 1;
    for (QWidget* w : {static_cast<QWidget*>(FromLabel), static_cast<QWidget*>(F_From),
                       static_cast<QWidget*>(ToLabel), static_cast<QWidget*>(F_To)})
        w->setVisible(range);
}

bool TMyReportSetup::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == F_FileName && event->type() == QEvent::MouseButtonDblClick) {
        const std::string name = AskFileName ? AskFileName() : std::string();
        if (!name.empty())
            F_FileName->setText(FromWin1252(name));
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

TSetupChoice TMyReportSetup::Choice() const
{
    TSetupChoice c;
    const int d = F_Destination->currentIndex();
    c.Destination = d == 0 ? rdPrinter : d == 1 ? rdPreview : rdFile;
    c.FileName = ToWin1252(F_FileName->text().trimmed());
    if (F_Range->currentIndex() == 1) {
        c.Range = TSetupChoice::rgPages;
        c.From = std::to_string(F_From->value());
        c.To = std::to_string(F_To->value());
    } else {
        c.Range = TSetupChoice::rgAll;
    }
    return c;
}

void TMyReportSetup::accept()
{
    // A file destination needs a file: the dialog is offered instead of a run that asks later.
    if (F_Destination->currentIndex() == 2 && F_FileName->text().trimmed().isEmpty()) {
        const std::string name = AskFileName ? AskFileName() : std::string();
        if (name.empty())
            return;
        F_FileName->setText(FromWin1252(name));
    }
    QDialog::accept();
}

void ApplyReportSetup(TReportSystem& report, const TSetupChoice& choice)
{
    int first = 1, last = 9999;
    if (choice.Range == TSetupChoice::rgPages) {
        first = std::max(1, std::atoi(choice.From.c_str()));
        last = std::max(first, std::atoi(choice.To.c_str()));
    }
    report.SystemPrinter.FirstPage = first;
    report.SystemPrinter.LastPage = last;
    report.DefaultDest = choice.Destination;
    // The run asks nothing more: the choice is made when its setup step comes.
    report.SystemSetups |= 1u << ssAllowSetup;
    report.OverrideSetup = [choice](TReportSystem& s, TOverrideMode mode, std::unique_ptr<TReportStepForm>&) {
        if (mode == omShow)
            s.ApplySetup(choice, nullptr);
    };
}

bool RunReportSetup(bool labelDefaults, TReportSystem& report, QWidget* owner)
{
    TSetupChoice choice;
    if (setupAnswer()) {
        if (!setupAnswer()(labelDefaults, choice))
            return false;
    } else {
        TMyReportSetup dialog(report, labelDefaults, owner);
        if (dialog.exec() != QDialog::Accepted)
            return false;
        choice = dialog.Choice();
    }
    ApplyReportSetup(report, choice);
    return true;
}

bool PrintReport(const TFprint& fprint, QWidget* owner, bool multiColumn)
{
    TReportSystem report;
    report.SystemPrinter.Title = fprint.Title.empty() ? "Report" : fprint.Title;
    TListingOptions options;
    if (!Config.ReportFontName().empty())
        options.FontName = Config.ReportFontName();
    if (Config.ReportFontSize() > 0)
        options.FontSize = Config.ReportFontSize();
    options.MultiColumn = multiColumn;
    TFPrintDialog printer(fprint, options);
    printer.Attach(report);
    if (!RunReportSetup(false, report, owner))
        return false;
    report.Execute();
    return !report.Aborted();
}

void InstallLogListPrinting()
{
    TLogbook::PrintCommand = [](TLogbook& w) {
        TFPrintLog listing(w.View(), w.Definition());
        PrintReport(listing, &w, false);
    };
}

} // namespace korval
