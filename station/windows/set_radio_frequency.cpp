#include "station/windows/set_radio_frequency.h"

#include "entry/windows/ovc_controller.h"
#include "entry/windows/ovc_numeric_field.h"
#include "grids/windows/popup_box.h"
#include "logbook/bands_modes.h"
#include "logbook/config_record.h"
#include "logbook/windows/form_fonts.h"
#include "logbook/windows/form_placement.h"
#include "station/frequency_step.h"
#include "station/windows/radio_fields.h"
#include "station/windows/radio_control.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

namespace korval {

namespace {

constexpr std::uint8_t ModeSSB = 14;
constexpr int BusyRetryMs = 50;

// A value counts as changed when it moved by more than the fields can show.
bool Differs(double a, double b) { return a - b > 0.0005 || b - a > 0.0005; }

} // namespace

TSetRadioFrequency::TSetRadioFrequency(QWidget* parent) : QWidget(parent, Qt::Window)
{
    setObjectName("SetRadioFrequency");
    setWindowTitle("Radio Frequency control");
    setAttribute(Qt::WA_DeleteOnClose);
    controller_ = new TOvcController(this);
    F_AVFO = FrequencyField(this, "F_AVFO");
    F_BVFO = FrequencyField(this, "F_BVFO");
    Radio_Mode = new TWheelx(this);
    Radio_Mode->setObjectName("Radio_Mode");
    if (TRadio* radio = Radio())
        for (int m = 1; m <= ModeCount; ++m)
            if (radio->CanWriteMode(static_cast<std::uint8_t>(m)))
                Radio_Mode->GetItems().Add(ModeName(m), m);
    Radio_Mode->Loaded();
    F_Split = new QCheckBox("Split", this);
    F_Split->setObjectName("F_Split");
    Button1 = new QPushButton("Read", this);
    Button1->setObjectName("Button1");

    auto* g = new QGridLayout(this);
    auto* mainLabel = new QLabel("Main &Frequency", this);
    mainLabel->setBuddy(F_AVFO);
    auto* modeLabel = new QLabel("&Mode", this);
    modeLabel->setBuddy(Radio_Mode);
    auto* qsxLabel = new QLabel("&QSX Frequency", this);
    qsxLabel->setBuddy(F_BVFO);
    g->addWidget(mainLabel, 0, 0);
    g->addWidget(F_AVFO, 0, 1);
    g->addWidget(modeLabel, 1, 0);
    g->addWidget(Radio_Mode, 1, 1);
    g->addWidget(qsxLabel, 2, 0);
    g->addWidget(F_BVFO, 2, 1);
    g->addWidget(F_Split, 3, 0);
    g->addWidget(Button1, 3, 1);
    // Room for the caption and the frame's buttons.
    setMinimumWidth(fontMetrics().horizontalAdvance(windowTitle()) + 120);

    for (TOvcNumericField* f : {F_AVFO, F_BVFO}) {
        f->installEventFilter(this);
        f->AfterExit = [this, f](QObject*) { FieldLeft(f); };
    }
    Radio_Mode->OnChange = [this](TCustomPopupBox*) {
        if (updating_ == 0)
            ModeChosen();
    };
    connect(F_Split, &QCheckBox::clicked, this, [this] { SplitClicked(); });
    connect(Button1, &QPushButton::clicked, this, [this] { ReadRadio(); });
}

TSetRadioFrequency::~TSetRadioFrequency() = default;

void TSetRadioFrequency::showEvent(QShowEvent* e)
{
    QWidget::showEvent(e);
    if (shown_)
        return;
    shown_ = true;
    SetFormFont(this);
    RestoreFormPlacement(this, psShfre);
    ReadRadio();
}

void TSetRadioFrequency::closeEvent(QCloseEvent* e)
{
    SaveFormPlacement(this, psShfre);
    QWidget::closeEvent(e);
}

void TSetRadioFrequency::keyPressEvent(QKeyEvent* e)
{
    if (e->key() == Qt::Key_Escape) {
        close();
        return;
    }
    QWidget::keyPressEvent(e);
}

void TSetRadioFrequency::ReadRadio()
{
    TCatRadio& radio = RadioProxy();
    if (radio.Busy()) {
        // The running exchange ends first; then this window reads.
        QTimer::singleShot(BusyRetryMs, this, [this] { ReadRadio(); });
        return;
    }
    double rx = 0, tx = 0;
    std::uint8_t mode = 0;
    bool split = false;
    radio.ReadFrequencyAndMode(rx, tx, mode, split);
    UpdateFromRadio();
}

void TSetRadioFrequency::UpdateFromRadio()
{
    TRadio* radio = Radio();
    if (!radio) {
        close();
        return;
    }
    ++updating_;
    if (Differs(radio->RxFreq(), main_)) {
        main_ = radio->RxFreq();
        F_AVFO->SetAsFloat(main_);
    }
    if (radio->TxFreq() != 0 && Differs(radio->TxFreq(), qsx_)) {
        qsx_ = radio->TxFreq();
        F_BVFO->SetAsFloat(qsx_);
    }
    F_Split->setChecked(radio->Split());
    mode_ = radio->Mode();
    int selection = 1;
    for (int i = 0; i < Radio_Mode->GetItems().Count(); ++i)
        if (Radio_Mode->GetItems().Objects(i) == mode_)
            selection = i + 1;
    if (Radio_Mode->GetSelection() != selection)
        Radio_Mode->SetSelection(selection);
    --updating_;
}

void TSetRadioFrequency::ApplyToRadio()
{
    if (sending_)
        return;
    sending_ = true;
    main_ = F_AVFO->GetAsFloat();
    qsx_ = F_BVFO->GetAsFloat();
    RadioProxy().SetFrequencyAndMode(mode_, F_Split->isChecked(), main_, qsx_);
    sending_ = false;
}

void TSetRadioFrequency::ModeChosen()
{
    const int selection = Radio_Mode->GetSelection();
    mode_ = selection >= 1 && selection <= Radio_Mode->GetItems().Count()
                ? static_cast<std::uint8_t>(Radio_Mode->GetItems().Objects(selection - 1))
                : ModeSSB;
    ApplyToRadio();
}

void TSetRadioFrequency::FieldLeft(TOvcNumericField* field)
{
    if (updating_ != 0)
        return;
    (field == F_AVFO ? main_ : qsx_) = field->GetAsFloat();
    ApplyToRadio();
}

void TSetRadioFrequency::SplitClicked()
{
    if (F_Split->isChecked())
        F_BVFO->SetAsFloat(qsx_);
    if (updating_ == 0)
        (F_Split->isChecked() ? F_BVFO : F_AVFO)->setFocus();
    ApplyToRadio();
}

bool TSetRadioFrequency::eventFilter(QObject* watched, QEvent* e)
{
    if (e->type() == QEvent::KeyPress && (watched == F_AVFO || watched == F_BVFO))
        return FrequencyKey(static_cast<TOvcNumericField*>(watched), static_cast<QKeyEvent*>(e));
    return QWidget::eventFilter(watched, e);
}

bool TSetRadioFrequency::FrequencyKey(TOvcNumericField* field, QKeyEvent* e)
{
    int unit = 0;
    switch (e->key()) {
    case Qt::Key_Up: unit = 1; break;
    case Qt::Key_Down: unit = -1; break;
    case Qt::Key_Return:
    case Qt::Key_Enter: unit = 0; break;
    default: return false;  // typing goes to the field
    }
    const bool shift = e->modifiers() & Qt::ShiftModifier;
    const bool ctrl = e->modifiers() & Qt::ControlModifier;
    if (ctrl && shift && unit != 0) {
        // The CW/phone cut-off of the main frequency's band.
        main_ = SteppedFrequency(F_AVFO->GetAsFloat(), unit, mode_, true, true, Config);
        F_AVFO->SetAsFloat(main_);
    } else {
        field->SetAsFloat(SteppedFrequency(field->GetAsFloat(), unit, mode_, shift, ctrl, Config));
    }
    field->update();
    ApplyToRadio();
    return true;
}

} // namespace korval
