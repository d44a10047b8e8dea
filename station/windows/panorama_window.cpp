#include "station/windows/panorama_window.h"

#include "entry/windows/ovc_controller.h"
#include "entry/windows/ovc_numeric_field.h"
#include "logbook/windows/form_fonts.h"
#include "logbook/windows/form_placement.h"
#include "station/windows/radio_control.h"
#include "station/windows/radio_fields.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include <cstdlib>

namespace korval {

TPanoramaImage::TPanoramaImage(int width, int height, QWidget* parent)
    : QWidget(parent), image_(width, height, QImage::Format_RGB32)
{
    image_.fill(palette().color(QPalette::Base));
    setFixedSize(width, height);
}

void TPanoramaImage::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.drawImage(0, 0, image_);
}

void TPanoramaImage::mousePressEvent(QMouseEvent* e) { emit pressed(int(e->position().x()), e->button()); }
void TPanoramaImage::mouseReleaseEvent(QMouseEvent*) { emit released(); }

TPanorama::TPanorama(QWidget* parent) : QDialog(parent)
{
    setObjectName("Panorama");
    setWindowTitle("Panorama Scan");
    controller_ = new TOvcController(this);
    IMScales = new TPanoramaImage(ScalesWidth, ImageHeight, this);
    IMScales->setObjectName("IMScales");
    IMReadings = new TPanoramaImage(ReadingsWidth, ImageHeight, this);
    IMReadings->setObjectName("IMReadings");
    FreqButton = new QPushButton("New center freq from radio", this);
    FreqButton->setObjectName("FreqButton");
    ScanButton = new QPushButton("Start scan", this);
    ScanButton->setObjectName("ScanButton");
    BtnCancel = new QPushButton("Cancel", this);
    BtnCancel->setObjectName("BtnCancel");
    for (QPushButton* b : {FreqButton, ScanButton, BtnCancel})
        b->setAutoDefault(false);
    F_Center = FrequencyField(this, "F_Center");
    TOvcEntryFieldOptions ro = F_Center->Options();
    ro.Include(efoReadOnly);
    F_Center->SetOptions(ro);
    StepTimer = new QTimer(this);
    StepTimer->setSingleShot(true);

    auto* pictures = new QHBoxLayout;
    pictures->setSpacing(0);
    pictures->addWidget(IMScales);
    pictures->addWidget(IMReadings);
    auto* controls = new QHBoxLayout;
    controls->addWidget(new QLabel("Center (kHz)", this));
    controls->addWidget(F_Center);
    controls->addStretch(1);
    controls->addWidget(FreqButton);
    controls->addWidget(ScanButton);
    controls->addWidget(BtnCancel);
    auto* lay = new QVBoxLayout(this);
    lay->addLayout(pictures);
    lay->addLayout(controls);

    engine_ = std::make_unique<TPanoramaEngine>(&RadioProxy(), static_cast<TPanoramaHost&>(*this), ReadingsWidth);
    connect(StepTimer, &QTimer::timeout, this, [this] { engine_->Tick(); });
    connect(ScanButton, &QPushButton::clicked, this, [this] { engine_->StartScan(); });
    connect(FreqButton, &QPushButton::clicked, this, [this] { engine_->FollowRadio(); });
    connect(BtnCancel, &QPushButton::clicked, this, [this] { reject(); });
    connect(IMReadings, &TPanoramaImage::pressed, this, [this](int x, Qt::MouseButton button) {
        F_Center->SetAsFloat(engine_->FrequencyAt(x));
        if (button == Qt::RightButton)
            engine_->RightClick(x);
    });
    connect(IMReadings, &TPanoramaImage::released, this, [this] { ShowCenter(engine_->Center()); });
}

TPanorama::~TPanorama() = default;

void TPanorama::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    if (shown_)
        return;
    shown_ = true;
    SetFormFont(this);
    KeepFormOnScreen(this);
    DrawScales();
    ShowCenter(engine_->Center());
    engine_->ReadCenterFromRadio();
}

void TPanorama::reject()
{
    engine_->Cancel();
    QDialog::reject();
}

void TPanorama::DrawScales()
{
    QImage& scales = IMScales->Picture();
    QImage& readings = IMReadings->Picture();
    const QColor window = palette().color(QPalette::Base);
    const QColor text = palette().color(QPalette::WindowText);
    scales.fill(palette().color(QPalette::Window));
    readings.fill(window);
    rowHeight_ = scales.height() / 12;
    const int fontHeight = rowHeight_ * 10 / 8;
    const int t = std::abs(fontHeight) * 2 / 3;
    int y = std::abs(fontHeight) / 4;
    QPainter sp(&scales);
    QFont font = sp.font();
    font.setPixelSize(std::max(1, fontHeight * 3 / 4));  // a cell height holds an em of about 3/4
    sp.setFont(font);
    sp.setPen(text);
    QPainter rp(&readings);
    rp.setPen(text);
    for (int i = 11; i >= 1; --i) {
        const QString label = i == 11 ? QStringLiteral("9*") : i == 10 ? QStringLiteral("9+") : QString::number(i);
        sp.drawText(scales.width() / 4, y + t / 2 + sp.fontMetrics().ascent() / 2, label);
        rp.drawLine(0, y + t, readings.width() - 1, y + t);
        baseline_ = y + t;
        y += rowHeight_;
    }
    for (int x = 0, tick = 0; x < readings.width(); x += TPanoramaEngine::StepPixels, ++tick) {
        const int length = tick % 10 == 0 ? 16 : tick % 5 == 0 ? 8 : 4;
        rp.drawLine(x, baseline_, x, baseline_ + length - 1);
    }
    IMScales->update();
    IMReadings->update();
}

void TPanorama::DrawBar(int x, std::uint8_t s)
{
    QImage& readings = IMReadings->Picture();
    QPainter p(&readings);
    const int width = TPanoramaEngine::StepPixels - 1;
    const int textTop = baseline_ - TPanoramaEngine::TextRows(s) * rowHeight_;
    const int redTop = textTop - TPanoramaEngine::RedRows(s) * rowHeight_;
    p.fillRect(QRect(x, 0, width, redTop), palette().color(QPalette::Base));
    p.fillRect(QRect(x, redTop, width, textTop - redTop), Qt::red);
    p.fillRect(QRect(x, textTop, width, baseline_ - textTop), palette().color(QPalette::WindowText));
    IMReadings->update(QRect(x, 0, width, baseline_));
}

void TPanorama::ShowCenter(double kHz) { F_Center->SetAsFloat(kHz); }
void TPanorama::StartTrigger(int ms) { StepTimer->start(ms); }
void TPanorama::StopTrigger() { StepTimer->stop(); }

} // namespace korval
