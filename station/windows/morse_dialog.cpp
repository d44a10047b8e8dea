#include "station/windows/morse_dialog.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include <tuple>

#include "entry/windows/ovc_controller.h"
#include "entry/windows/ovc_numeric_field.h"
#include "grids/windows/ovc_spinner.h"
#include "logbook/config_record.h"
#include "logbook/windows/form_placement.h"
#include "station/morse_sender.h"

namespace korval {

namespace {

constexpr int MinWpm = 5, MaxWpm = 60;
constexpr int MinWeight = 25, MaxWeight = 200;
constexpr int MinToneHz = 100, MaxToneHz = 3000;

TOvcNumericField* NumberField(QWidget* parent, const char* name, const char* mask, int lo, int hi, bool readOnly)
{
    auto* f = new TOvcNumericField(parent);
    f->setObjectName(QString::fromLatin1(name));
    f->SetDataType(readOnly ? nftDouble : nftLongInt);
    f->SetPictureMask(mask);
    f->SetRangeLo(std::to_string(lo));
    f->SetRangeHi(std::to_string(hi));
    if (readOnly) {
        TOvcEntryFieldOptions options = f->Options();
        options.Include(efoReadOnly);
        f->SetOptions(options);
        f->setFocusPolicy(Qt::NoFocus);
    }
    return f;
}

// A value the field holds within its range, else -1 (a value outside is never stored).
int InRange(TOvcNumericField* f)
{
    const int v = f->GetAsInteger();
    return v >= std::stoi(f->GetRangeLo()) && v <= std::stoi(f->GetRangeHi()) ? v : -1;
}

void UpdateSender()
{
    if (TMorseSender* sender = MorseSender())
        sender->SetTiming();
}

} // namespace

TMorseDialog::TMorseDialog(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("MorseDialog"));
    setWindowTitle(QStringLiteral("CW Parameters"));
    controller_ = new TOvcController(this);
    auto* grid = new QGridLayout;
    F_speed = NumberField(this, "F_speed", "99", MinWpm, MaxWpm, false);
    F_wpm = NumberField(this, "F_wpm", "99", MinWpm, MaxWpm, false);
    F_weight = NumberField(this, "F_weight", "999", MinWeight, MaxWeight, false);
    F_Tone = NumberField(this, "F_Tone", "9999", MinToneHz, MaxToneHz, false);
    F_wpm_calc = NumberField(this, "F_wpm_calc", "99", 0, 999, true);
    F_measured = NumberField(this, "F_measured", "99.9", 0, 999, true);
    struct Row {
        const char* label;
        TOvcNumericField* field;
        void (TMorseDialog::*change)();
    };
    const Row rows[] = {{"Char WPM", F_speed, &TMorseDialog::F_speedChange},
                        {"Spacing WPM", F_wpm, &TMorseDialog::F_wpmChange},
                        {"Weight", F_weight, &TMorseDialog::F_weightChange},
                        {"Tone Hz", F_Tone, &TMorseDialog::F_ToneChange},
                        {"WPM", F_wpm_calc, nullptr},
                        {"Measured", F_measured, nullptr}};
    int r = 0;
    for (const Row& row : rows) {
        grid->addWidget(new QLabel(QString::fromLatin1(row.label), this), r, 0);
        grid->addWidget(row.field, r, 1);
        if (row.change) {
            auto* spin = new TOvcSpinner(this);
            spin->setObjectName(row.field->objectName() + QStringLiteral("Spin"));
            spin->SetFocusedControl(row.field);
            auto change = row.change;
            spin->OnClick = [this, change](QObject*, TOvcSpinState, double, bool) { (this->*change)(); };
            row.field->OnChange = [this, change](QObject*) { (this->*change)(); };
            grid->addWidget(spin, r, 2);
        }
        ++r;
    }
    F_SideTone = new QCheckBox(QStringLiteral("SideTone"), this);
    F_Marquee = new QCheckBox(QStringLiteral("Marquee"), this);
    F_Immediate = new QCheckBox(QStringLiteral("Immediate"), this);
    F_ShowFunc = new QCheckBox(QStringLiteral("Show function keys"), this);
    int c = 0;
    for (auto [box, name, click] : {std::tuple{F_SideTone, "F_SideTone", &TMorseDialog::F_SideToneClick},
                                    std::tuple{F_Marquee, "F_Marquee", &TMorseDialog::F_MarqueeClick},
                                    std::tuple{F_Immediate, "F_Immediate", &TMorseDialog::F_ImmediateClick},
                                    std::tuple{F_ShowFunc, "F_ShowFunc", &TMorseDialog::F_ShowFuncClick}}) {
        box->setObjectName(QString::fromLatin1(name));
        connect(box, &QCheckBox::clicked, this, [this, click] { (this->*click)(); });
        grid->addWidget(box, c++, 3);
    }
    CalibrateBtn = new QPushButton(QStringLiteral("&Measure"), this);
    TuneBtn = new QPushButton(QStringLiteral("&Tune"), this);
    OkBtn = new QPushButton(QStringLiteral("OK"), this);
    CancelBtn = new QPushButton(QStringLiteral("Cancel"), this);
    CalibrateBtn->setObjectName(QStringLiteral("CalibrateBtn"));
    TuneBtn->setObjectName(QStringLiteral("TuneBtn"));
    OkBtn->setObjectName(QStringLiteral("OkBtn"));
    CancelBtn->setObjectName(QStringLiteral("CancelBtn"));
    OkBtn->setDefault(true);
    for (QPushButton* b : {CalibrateBtn, TuneBtn, OkBtn, CancelBtn})
        b->setAutoDefault(false);
    connect(CalibrateBtn, &QPushButton::clicked, this, &TMorseDialog::CalibrateBtnClick);
    connect(TuneBtn, &QPushButton::clicked, this, &TMorseDialog::TuneBtnClick);
    connect(OkBtn, &QPushButton::clicked, this, &QDialog::accept);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : {CalibrateBtn, TuneBtn, OkBtn, CancelBtn})
        buttons->addWidget(b);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(buttons);

    tuneLimit_ = new QTimer(this);
    tuneLimit_->setSingleShot(true);
    tuneLimit_->setInterval(DefaultTuneLimitMs);
    connect(tuneLimit_, &QTimer::timeout, this, &TMorseDialog::StopTuning);
    measure_ = new QTimer(this);
    measure_->setInterval(100);
    connect(measure_, &QTimer::timeout, this, &TMorseDialog::CheckMeasurement);
}

TMorseDialog::~TMorseDialog()
{
    StopTuning();
}

void TMorseDialog::SetTuneLimitMs(int ms)
{
    tuneLimit_->setInterval(ms);
}

void TMorseDialog::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    QFont f = font();
    ApplyConfiguredFont(f, 1);
    setFont(f);
    FillFields();
}

void TMorseDialog::FillFields()
{
    filling_ = true;
    F_speed->SetRangeHi(std::to_string(MaxWpm));
    F_speed->SetAsInteger(Config.CwCharWpm());
    F_wpm->SetRangeHi(std::to_string(std::max(MinWpm, Config.CwCharWpm())));
    F_wpm->SetAsInteger(Config.CwSpacingWpm());
    F_weight->SetAsInteger(Config.CwWeight());
    F_Tone->SetAsInteger(Config.CwSideToneHz());
    F_measured->SetAsFloat(0);
    F_SideTone->setChecked(Config.CwSideTone());
    F_Marquee->setChecked(Config.CwEcho());
    F_Immediate->setChecked(Config.CwImmediate());
    F_ShowFunc->setChecked(Config.CwShowFunctionKeys() != 0);
    TuneBtn->setEnabled(Config.CwKeyingInterface() != 1);
    filling_ = false;
    RefreshSpeeds();
}

void TMorseDialog::RefreshSpeeds()
{
    filling_ = true;
    if (F_wpm->GetAsInteger() != Config.CwSpacingWpm())
        F_wpm->SetAsInteger(Config.CwSpacingWpm());
    UpdateSender();
    TMorseTiming t;
    if (const TMorseSender* sender = MorseSender())
        t = sender->Timing();
    else
        ComputeMorseTiming(Config.CwCharWpm(), Config.CwSpacingWpm(), Config.CwWeight(), t);
    F_wpm_calc->SetAsFloat(t.EffectiveWpm);
    filling_ = false;
}

void TMorseDialog::F_speedChange()
{
    const int v = InRange(F_speed);
    if (filling_ || v < 0 || v == Config.CwCharWpm())
        return;
    Config.SetCwCharWpm(v);
    F_wpm->SetRangeHi(std::to_string(v));
    if (v < Config.CwSpacingWpm())
        Config.SetCwSpacingWpm(v);
    RefreshSpeeds();
}

void TMorseDialog::F_wpmChange()
{
    const int v = InRange(F_wpm);
    if (filling_ || v < 0 || v == Config.CwSpacingWpm())
        return;
    Config.SetCwSpacingWpm(v);
    RefreshSpeeds();
}

void TMorseDialog::F_weightChange()
{
    const int v = InRange(F_weight);
    if (filling_ || v < 0 || v == Config.CwWeight())
        return;
    Config.SetCwWeight(v);
    RefreshSpeeds();
}

void TMorseDialog::F_ToneChange()
{
    const int v = InRange(F_Tone);
    if (filling_ || v < 0)
        return;
    Config.SetCwSideToneHz(v);
    UpdateSender();
}

void TMorseDialog::F_MarqueeClick()
{
    Config.SetCwEcho(F_Marquee->isChecked());
    if (!F_Marquee->isChecked()) {
        // Held text must be seen somewhere: without the marquee, typing goes out at once.
        F_Immediate->setChecked(true);
        Config.SetCwImmediate(true);
    }
    UpdateSender();
}

void TMorseDialog::F_ImmediateClick()
{
    Config.SetCwImmediate(F_Immediate->isChecked());
    if (!F_Immediate->isChecked()) {
        F_Marquee->setChecked(true);
        Config.SetCwEcho(true);
    }
    UpdateSender();
}

void TMorseDialog::F_SideToneClick()
{
    Config.SetCwSideTone(F_SideTone->isChecked());
    UpdateSender();
}

void TMorseDialog::F_ShowFuncClick()
{
    Config.SetCwShowFunctionKeys(F_ShowFunc->isChecked() ? 1 : 0);
}

bool TMorseDialog::Measuring() const
{
    return !CalibrateBtn->isEnabled();
}

void TMorseDialog::CalibrateBtnClick()
{
    TMorseSender* sender = MorseSender();
    if (!sender)
        return;
    CalibrateBtn->setEnabled(false);
    F_measured->SetAsFloat(0);
    sender->Calibrate();
    measure_->start();
}

void TMorseDialog::CheckMeasurement()
{
    const TMorseSender* sender = MorseSender();
    if (sender && sender->Calibrating())
        return;
    measure_->stop();
    const std::int32_t ms = sender ? sender->MeasuredMs() : 0;
    // A measurement of no time at all shows 0 rather than dividing by it.
    F_measured->SetAsFloat(ms > 0 ? 120000.0 / ms : 0.0);
    CalibrateBtn->setEnabled(true);
}

void TMorseDialog::TuneBtnClick()
{
    TMorseSender* sender = MorseSender();
    if (tuning_) {
        StopTuning();
        return;
    }
    if (!sender)
        return;
    tuning_ = true;
    TuneBtn->setText(QStringLiteral("&Stop"));
    sender->SetKey(true);
    tuneLimit_->start();
}

void TMorseDialog::StopTuning()
{
    if (!tuning_)
        return;
    tuning_ = false;
    tuneLimit_->stop();
    TuneBtn->setText(QStringLiteral("&Tune"));
    if (TMorseSender* sender = MorseSender())
        sender->SetKey(false);
}

void TMorseDialog::done(int result)
{
    if (Measuring())
        return; // the measurement must finish first
    StopTuning();
    QDialog::done(result);
}

void TMorseDialog::closeEvent(QCloseEvent* e)
{
    if (Measuring()) {
        e->ignore();
        return;
    }
    StopTuning();
    QDialog::closeEvent(e);
}

} // namespace korval
