#include "reporting/windows/print_setup_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>
#include <algorithm>

#include "platform/windows/win1252.h"

namespace korval {

TPrintSetupDialog::TPrintSetupDialog(TPrintSetupPrinters printers, int current, const TDevMode& devMode, QWidget* parent)
    : QDialog(parent), printers_(std::move(printers)), devMode_(devMode)
{
    setObjectName(QStringLiteral("PrintSetupDialog"));
    setWindowTitle(QStringLiteral("Print Setup"));
    PrinterCB = new QComboBox(this);
    PrinterCB->setObjectName(QStringLiteral("PrinterCB"));
    for (const std::string& name : printers_.Names)
        PrinterCB->addItem(FromWin1252(name));
    PaperCB = new QComboBox(this);
    PaperCB->setObjectName(QStringLiteral("PaperCB"));
    auto* orientation = new QGroupBox(QStringLiteral("Orientation"), this);
    PortraitRB = new QRadioButton(QStringLiteral("P&ortrait"), orientation);
    LandscapeRB = new QRadioButton(QStringLiteral("&Landscape"), orientation);
    auto* orientationLay = new QHBoxLayout(orientation);
    orientationLay->addWidget(PortraitRB);
    orientationLay->addWidget(LandscapeRB);
    CopiesED = new QSpinBox(this);
    CopiesED->setObjectName(QStringLiteral("CopiesED"));
    DuplexCK = new QCheckBox(QStringLiteral("Print on &both sides"), this);
    DuplexCK->setObjectName(QStringLiteral("DuplexCK"));

    auto* form = new QFormLayout;
    // Each label names its field's key (Alt plus the underlined letter).
    auto row = [&](const char* text, QWidget* field) {
        auto* label = new QLabel(QString::fromLatin1(text), this);
        label->setBuddy(field);
        form->addRow(label, field);
    };
    row("&Printer", PrinterCB);
    row("P&aper", PaperCB);
    form->addRow(orientation);
    row("&Copies", CopiesED);
    form->addRow(DuplexCK);

    OKBB = new QPushButton(QStringLiteral("OK"), this);
    OKBB->setDefault(true);
    CancelBB = new QPushButton(QStringLiteral("Cancel"), this);
    connect(OKBB, &QPushButton::clicked, this, &TPrintSetupDialog::accept);
    connect(CancelBB, &QPushButton::clicked, this, &TPrintSetupDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(OKBB);
    buttons->addWidget(CancelBB);
    auto* lay = new QVBoxLayout(this);
    lay->addLayout(form);
    lay->addLayout(buttons);

    printer_ = std::clamp(current, 0, std::max(0, static_cast<int>(printers_.Names.size()) - 1));
    PrinterCB->setCurrentIndex(printer_);
    showPrinter(printer_);
    // Another printer shows its own papers and settings.
    connect(PrinterCB, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (index < 0)
            return;
        TDevMode own = devMode_;
        if (printers_.Settings && printers_.Settings(index, own))
            devMode_ = own;
        printer_ = index;
        showPrinter(index);
    });
}

void TPrintSetupDialog::showPrinter(int index)
{
    papers_ = printers_.Papers ? printers_.Papers(index) : TNamedCodes{};
    PaperCB->clear();
    int chosen = -1;
    for (std::size_t i = 0; i < papers_.size(); ++i) {
        PaperCB->addItem(FromWin1252(papers_[i].first));
        if (papers_[i].second == devMode_.dmPaperSize)
            chosen = static_cast<int>(i);
    }
    PaperCB->setCurrentIndex(chosen >= 0 ? chosen : 0);
    PaperCB->setEnabled(!papers_.empty());
    (devMode_.dmOrientation == 2 ? LandscapeRB : PortraitRB)->setChecked(true);
    const int maxCopies = printers_.MaxCopies ? std::max(1, printers_.MaxCopies(index)) : 1;
    CopiesED->setRange(1, maxCopies);
    CopiesED->setValue(std::clamp<int>(devMode_.dmCopies, 1, maxCopies));
    CopiesED->setEnabled(maxCopies > 1);
    const bool duplex = printers_.CanDuplex && printers_.CanDuplex(index);
    DuplexCK->setEnabled(duplex);
    DuplexCK->setChecked(duplex && devMode_.dmDuplex > 1);
}

void TPrintSetupDialog::accept()
{
    printer_ = PrinterCB->currentIndex();
    const int paper = PaperCB->currentIndex();
    if (paper >= 0 && paper < static_cast<int>(papers_.size())) {
        devMode_.dmPaperSize = static_cast<std::int16_t>(papers_[static_cast<std::size_t>(paper)].second);
        devMode_.dmFields |= DM_PAPERSIZE;
    }
    devMode_.dmOrientation = LandscapeRB->isChecked() ? 2 : 1;
    devMode_.dmCopies = static_cast<std::int16_t>(CopiesED->value());
    devMode_.dmFields |= DM_ORIENTATION | DM_COPIES;
    if (DuplexCK->isEnabled()) {
        devMode_.dmDuplex = DuplexCK->isChecked() ? 2 : 1;
        devMode_.dmFields |= DM_DUPLEX;
    }
    QDialog::accept();
}

} // namespace korval
