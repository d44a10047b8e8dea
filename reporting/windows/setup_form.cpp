#include "reporting/windows/setup_form.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>
#include <QVBoxLayout>
#include <stdexcept>

#include "platform/windows/win1252.h"
#include "reporting/report_system.h"

namespace korval {

TRPSetupForm::TRPSetupForm(TReportSystem& runner, TFilePrinter* player, QWidget* parent)
    : QDialog(parent), runner_(runner), player_(player)
{
    setObjectName("RPSetupForm");
    setWindowTitle(FromWin1252(ReportText(runner.TitleSetup)));
    auto* layout = new QVBoxLayout(this);

    DestinationGB = new QGroupBox("Report Destination", this);
    auto* dest = new QGridLayout(DestinationGB);
    PrinterRB = new QRadioButton("&Printer", DestinationGB);
    PreviewRB = new QRadioButton("Pre&view", DestinationGB);
    FileRB = new QRadioButton("&File", DestinationGB);
    FileNameED = new QLineEdit(DestinationGB);
    FileNameSB = new QToolButton(DestinationGB);
    FileNameSB->setText("...");
    dest->addWidget(PrinterRB, 0, 0);
    dest->addWidget(PreviewRB, 1, 0);
    dest->addWidget(FileRB, 2, 0);
    dest->addWidget(FileNameED, 2, 1);
    dest->addWidget(FileNameSB, 2, 2);
    layout->addWidget(DestinationGB);

    RangeGB = new QGroupBox("Print Range", this);
    auto* range = new QGridLayout(RangeGB);
    AllRB = new QRadioButton("All", RangeGB);
    SelectionRB = new QRadioButton("Selection", RangeGB);
    SelectionED = new QLineEdit(RangeGB);
    PagesRB = new QRadioButton("Pages", RangeGB);
    FromLabel = new QLabel("From", RangeGB);
    FromED = new QLineEdit(RangeGB);
    ToLabel = new QLabel("to", RangeGB);
    ToED = new QLineEdit(RangeGB);
    range->addWidget(AllRB, 0, 0);
    range->addWidget(SelectionRB, 1, 0);
    range->addWidget(SelectionED, 1, 1, 1, 3);
    range->addWidget(PagesRB, 2, 0);
    range->addWidget(FromLabel, 2, 1);
    range->addWidget(FromED, 2, 2);
    range->addWidget(ToLabel, 2, 3);
    range->addWidget(ToED, 2, 4);
    layout->addWidget(RangeGB);

    PrinterGB = new QGroupBox("Selected Printer", this);
    auto* printer = new QHBoxLayout(PrinterGB);
    PrinterLabel = new QLabel(PrinterGB);
    PrinterLabel->setObjectName("PrinterLabel");
    SetupBB = new QPushButton("&Setup", PrinterGB);
    printer->addWidget(PrinterLabel, 1);
    printer->addWidget(SetupBB);
    layout->addWidget(PrinterGB);

    OptionsGB = new QGroupBox("Options", this);
    auto* options = new QHBoxLayout(OptionsGB);
    options->addWidget(new QLabel("&Copies", OptionsGB));
    CopiesED = new QLineEdit(OptionsGB);
    CopiesED->setMaximumWidth(50);
    CollateCK = new QCheckBox("C&ollate", OptionsGB);
    DuplexCK = new QCheckBox("&Duplex", OptionsGB);
    options->addWidget(CopiesED);
    options->addWidget(CollateCK);
    options->addWidget(DuplexCK);
    layout->addWidget(OptionsGB);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    OKBB = new QPushButton("OK", this);
    OKBB->setDefault(true);
    CancelBB = new QPushButton("Cancel", this);
    buttons->addWidget(OKBB);
    buttons->addWidget(CancelBB);
    layout->addLayout(buttons);

    for (auto [widget, name] : std::initializer_list<std::pair<QWidget*, const char*>>{
             {PrinterRB, "PrinterRB"}, {PreviewRB, "PreviewRB"}, {FileRB, "FileRB"}, {FileNameED, "FileNameED"},
             {FileNameSB, "FileNameSB"}, {AllRB, "AllRB"}, {SelectionRB, "SelectionRB"}, {SelectionED, "SelectionED"},
             {PagesRB, "PagesRB"}, {FromED, "FromED"}, {ToED, "ToED"}, {CopiesED, "CopiesED"},
             {CollateCK, "CollateCK"}, {DuplexCK, "DuplexCK"}, {OKBB, "OKBB"}, {CancelBB, "CancelBB"},
             {SetupBB, "SetupBB"}})
        widget->setObjectName(name);

    // What the form starts with before its mode is chosen.
    DestinationGB->hide();
    RangeGB->hide();
    FromLabel->hide();
    FromED->hide();
    ToLabel->hide();
    ToED->hide();
    SelectionED->setEnabled(false);
    FileNameED->setEnabled(false);
    FileNameSB->setEnabled(false);

    TRPDevice& device = runner.Device();
    const bool printers = device.HasPrinters();
    if (player) {
        RangeGB->show();
        AllRB->setChecked(true);
        const QString count = QString::number(player->PageCount());
        FromED->setText("1");
        ToED->setText(count);
        SelectionED->setText("1-" + count);
    } else {
        DestinationGB->show();
        PrinterRB->setEnabled(printers && runner.Has(ssAllowDestPrinter));
        PreviewRB->setEnabled(runner.Has(ssAllowDestPreview));
        FileRB->setEnabled(printers && runner.Has(ssAllowDestFile));
        QRadioButton* checked = !printers                              ? PreviewRB
                                : runner.DefaultDest == rdPrinter ? PrinterRB
                                : runner.DefaultDest == rdFile    ? FileRB
                                                                  : PreviewRB;
        checked->setChecked(true);
    }
    CopiesED->setText(QString::number(runner.SystemPrinter.Copies));
    CopiesED->setEnabled(printers && runner.Has(ssAllowCopies));
    CollateCK->setChecked(runner.SystemPrinter.Collate);
    CollateCK->setEnabled(printers && runner.Has(ssAllowCollate));
    DuplexCK->setChecked(printers && device.GetDuplex() > 0);
    DuplexCK->setEnabled(printers && runner.Has(ssAllowDuplex));
    SetupBB->setEnabled(printers && runner.Has(ssAllowPrinterSetup));
    updatePrinterLabel();
    destinationChanged();

    connect(AllRB, &QRadioButton::toggled, this, &TRPSetupForm::rangeChanged);
    connect(SelectionRB, &QRadioButton::toggled, this, &TRPSetupForm::rangeChanged);
    connect(PagesRB, &QRadioButton::toggled, this, &TRPSetupForm::rangeChanged);
    connect(PrinterRB, &QRadioButton::toggled, this, &TRPSetupForm::destinationChanged);
    connect(PreviewRB, &QRadioButton::toggled, this, &TRPSetupForm::destinationChanged);
    connect(FileRB, &QRadioButton::toggled, this, &TRPSetupForm::destinationChanged);
    connect(FileNameSB, &QToolButton::clicked, this, [this] {
        const QString name = QFileDialog::getSaveFileName(this, QString(), FileNameED->text());
        if (!name.isEmpty())
            FileNameED->setText(name);
    });
    connect(SetupBB, &QPushButton::clicked, this, [this] {
        try {
            runner_.Device().PrinterSetupDialog();
        } catch (const EReportError& e) {
            ShowReportError(e.what());
        }
        updatePrinterLabel();
    });
    connect(OKBB, &QPushButton::clicked, this, &TRPSetupForm::accept);
    connect(CancelBB, &QPushButton::clicked, this, &TRPSetupForm::reject);
}

void TRPSetupForm::updatePrinterLabel()
{
    TRPDevice& device = runner_.Device();
    if (!device.HasPrinters()) {
        PrinterLabel->setText("No printers installed!");
        return;
    }
    device.GetPrinterIndex();
    PrinterLabel->setText(FromWin1252(device.DeviceName()) + " on " + FromWin1252(device.PortName()));
}

void TRPSetupForm::rangeChanged()
{
    const bool pages = PagesRB->isChecked(), selection = SelectionRB->isChecked();
    SelectionED->setVisible(!pages);
    SelectionED->setEnabled(selection);
    for (QWidget* w : {static_cast<QWidget*>(FromLabel), static_cast<QWidget*>(FromED),
                       static_cast<QWidget*>(ToLabel), static_cast<QWidget*>(ToED)}) {
        w->setVisible(pages);
        w->setEnabled(pages);
    }
}

void TRPSetupForm::destinationChanged()
{
    FileNameED->setEnabled(FileRB->isChecked());
    FileNameSB->setEnabled(FileRB->isChecked());
}

void TRPSetupForm::accept()
{
    TSetupChoice choice;
    choice.Destination = PrinterRB->isChecked() ? rdPrinter : FileRB->isChecked() ? rdFile : rdPreview;
    choice.FileName = ToWin1252(FileNameED->text());
    choice.Range = SelectionRB->isChecked() ? TSetupChoice::rgSelection
                   : PagesRB->isChecked()   ? TSetupChoice::rgPages
                                            : TSetupChoice::rgAll;
    choice.Selection = ToWin1252(SelectionED->text());
    choice.From = ToWin1252(FromED->text());
    choice.To = ToWin1252(ToED->text());
    choice.Copies = ToWin1252(CopiesED->text());
    choice.Collate = CollateCK->isChecked();
    choice.Duplex = DuplexCK->isChecked();
    try {
        runner_.ApplySetup(choice, player_);
    } catch (const std::invalid_argument& e) {
        ShowReportError(e.what());
        return;
    }
    QDialog::accept();
}

} // namespace korval
