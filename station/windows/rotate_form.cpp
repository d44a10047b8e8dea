#include "station/windows/rotate_form.h"

#include "entry/windows/ovc_controller.h"
#include "entry/windows/ovc_numeric_field.h"
#include "grids/windows/popup_box.h"
#include "logbook/bands_modes.h"
#include "logbook/windows/form_fonts.h"
#include "logbook/windows/form_placement.h"
#include "platform/message_dlg.h"
#include "platform/windows/win1252.h"
#include "station/windows/radio_fields.h"

#include <QApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

#include <algorithm>
#include <cstring>

namespace korval {

namespace {

const char* const RuleNames[] = {"Disabled", "Normal", "With Offset", "Reverse"};

TOvcNumericField* DegreesField(QWidget* parent, const char* name, const char* lo, const char* hi)
{
    return NumberField(parent, name, nftLongInt, "####", lo, hi);
}

} // namespace

// ---- TRotatorControl ----

TRotatorControl::TRotatorControl() : rotator_(settings_, *this) {}

TRotatorControl::~TRotatorControl()
{
    delete form_.data();  // it works on this control
}

TRotatorControl& RotatorControl()
{
    static TRotatorControl control;
    return control;
}

void TRotatorControl::ReadSettings()
{
    settings_.type = Config.RotatorKind();
    settings_.comPort = Config.RotatorPort();
    settings_.extraOffset = Config.RotatorOffset();
    settings_.correction = Config.RotatorCorrection();
    for (int band = 0; band <= 15; ++band)
        settings_.rules[static_cast<std::size_t>(band)] = Config.RotatorRule(band);
}

void TRotatorControl::OpenRotator()
{
    if (rotator_.IsOpen())
        rotator_.CloseRotator();
    ReadSettings();
    rotator_.OpenRotator();
}

void TRotatorControl::CloseRotator() { rotator_.CloseRotator(); }

void TRotatorControl::SetRotatorAzimuth(std::int32_t azimuth)
{
    if (form_)
        form_->F_Heading->SetAsInteger(azimuth);
    ReadSettings();
    rotator_.TurnRotator(azimuth);
}

void TRotatorControl::StopRotator() { rotator_.StopRotator(); }

TRotateForm* TRotatorControl::ShowRotateForm(QWidget* parent)
{
    if (!form_) {
        form_ = new TRotateForm(*this, parent);
        form_->setAttribute(Qt::WA_DeleteOnClose);
    }
    form_->show();
    form_->raise();
    form_->activateWindow();
    return form_;
}

int TRotatorControl::SelectedBand() const { return BandSource ? BandSource() : 0; }

void TRotatorControl::ReportRotator(const std::string& text)
{
    status_ = text;
    if (!text.empty() && text[0] == '!')
        QApplication::beep();
    if (form_)
        form_->setWindowTitle(FromWin1252(text));
}

void TRotatorControl::OpenFailed() { MessageDlg(RotatorOpenFailedText, TMsgDlgType::mtWarning, mbOK); }

// ---- TRotateForm ----

TRotateForm::TRotateForm(TRotatorControl& control, QWidget* parent) : QDialog(parent), control_(control)
{
    setObjectName("RotateForm");
    setWindowTitle("Rotator Control");
    controller_ = new TOvcController(this);
    std::memcpy(saved_.data(), Config.Bytes() + TConfigRecord::RotatorBlockOffset, saved_.size());

    F_Heading = DegreesField(this, "F_Heading", "0", "360");
    F_Corr = DegreesField(this, "F_Corr", "-30", "30");
    F_offset = DegreesField(this, "F_offset", "-360", "360");
    F_Band = new TWheelx(this);
    F_Band->setObjectName("F_Band");
    for (int band = 1; band <= BandCount; ++band)
        F_Band->GetItems().Add(BandName(band));
    F_Status = new TWheelx(this);
    F_Status->setObjectName("F_Status");
    for (const char* rule : RuleNames)
        F_Status->GetItems().Add(rule);
    auto button = [this](const char* name, const char* text) {
        auto* b = new QPushButton(text, this);
        b->setObjectName(name);
        b->setAutoDefault(false);
        return b;
    };
    Btn_rotate = button("Btn_rotate", "Rotate");
    Btn_Stop = button("Btn_Stop", "Stop");
    Button1 = button("Button1", "OK");
    Button2 = button("Button2", "Cancel");

    auto* g = new QGridLayout;
    int row = 0;
    auto add = [&](const char* label, QWidget* w) {
        g->addWidget(new QLabel(label, this), row, 0);
        g->addWidget(w, row++, 1);
    };
    add("Heading", F_Heading);
    g->addWidget(Btn_rotate, 0, 2);
    g->addWidget(Btn_Stop, 1, 2);
    add("Correc.", F_Corr);
    add("Offset", F_offset);
    add("Band", F_Band);
    add("Status", F_Status);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(Button1);
    buttons->addWidget(Button2);
    auto* lay = new QVBoxLayout(this);
    lay->addLayout(g);
    lay->addLayout(buttons);

    F_Corr->SetAsInteger(Config.RotatorCorrection());
    F_offset->SetAsInteger(Config.RotatorOffset());
    ShowBand(1);
    F_Band->OnChange = [this](TCustomPopupBox*) {
        if (showing_)
            return;
        StoreRule();
        ShowBand(F_Band->GetSelection());
    };
    F_Status->OnChange = [this](TCustomPopupBox*) {
        if (!showing_)
            StoreRule();
    };
    connect(Btn_rotate, &QPushButton::clicked, this, [this] {
        StoreOffsets();
        control_.SetRotatorAzimuth(F_Heading->GetAsInteger());
    });
    connect(Btn_Stop, &QPushButton::clicked, this, [this] {
        StoreOffsets();
        control_.StopRotator();
    });
    connect(Button1, &QPushButton::clicked, this, [this] {
        StoreOffsets();
        accept();
    });
    connect(Button2, &QPushButton::clicked, this, [this] { reject(); });
    connect(this, &QDialog::rejected, this, [this] {
        std::memcpy(Config.Bytes() + TConfigRecord::RotatorBlockOffset, saved_.data(), saved_.size());
    });
}

TRotateForm::~TRotateForm() = default;

void TRotateForm::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    SetFormFont(this);
    KeepFormOnScreen(this);
}

void TRotateForm::ShowBand(int band)
{
    band_ = std::clamp(band, 1, BandCount);
    showing_ = true;
    F_Band->SetSelection(band_);
    const std::uint8_t rule = Config.RotatorRule(band_);
    F_Status->SetSelection(rule < 4 ? rule + 1 : 1);
    showing_ = false;
}

void TRotateForm::StoreRule()
{
    const int selection = F_Status->GetSelection();
    Config.SetRotatorRule(band_, static_cast<std::uint8_t>(selection >= 1 && selection <= 4 ? selection - 1 : 0));
}

void TRotateForm::StoreOffsets()
{
    Config.SetRotatorCorrection(std::clamp<std::int32_t>(F_Corr->GetAsInteger(), -30, 30));
    Config.SetRotatorOffset(std::clamp<std::int32_t>(F_offset->GetAsInteger(), -360, 360));
}

} // namespace korval
