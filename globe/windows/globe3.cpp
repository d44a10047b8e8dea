#include "globe/windows/globe3.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QScrollBar>
#include <QStyleOptionFocusRect>

#include <cmath>

namespace korval {

TGlobe3::TGlobe3(QWidget* parent) : QAbstractScrollArea(parent)
{
    InstallGlobePictureLoader();
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    viewport()->setMouseTracking(false);
    core_.Surface = &canvas_;
    core_.OnInvalidate = [this]() { viewport()->update(); };
    core_.SetSize(150, 150, 96);
    canvas_.SetSize(150, 150);
    connect(horizontalScrollBar(), &QScrollBar::actionTriggered, this, [this](int a) { ScrollAction(true, a); });
    connect(verticalScrollBar(), &QScrollBar::actionTriggered, this, [this](int a) { ScrollAction(false, a); });
    resize(150, 150);
}

TGlobe3::~TGlobe3()
{
    core_.OnInvalidate = nullptr;
    core_.Surface = nullptr;
}

void TGlobe3::SetProfileName(const QString& name) { core_.SetProfileName(name.toStdString()); }

void TGlobe3::RenderIfNeeded()
{
    if (!(core_.ReRender || core_.ScaleChanged))
        return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    canvas_.Begin();
    core_.Surface = &canvas_;
    core_.Render();
    canvas_.End();
    QApplication::restoreOverrideCursor();
}

const QImage& TGlobe3::RenderedImage()
{
    RenderIfNeeded();
    return canvas_.Image();
}

void TGlobe3::paintEvent(QPaintEvent*)
{
    RenderIfNeeded();
    QPainter p(viewport());
    p.drawImage(0, 0, canvas_.Image());
    if (zooming_) {
        QStyleOptionFocusRect opt;
        opt.initFrom(viewport());
        opt.rect = QRect(zoomStart_, zoomEnd_).normalized();
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &opt, &p, viewport());
    }
    // Animated layers go straight onto the control, over the copied image.
    canvas_.BeginOn(&p, viewport()->width(), viewport()->height());
    core_.RenderAnimated();
    if (OnPaint)
        OnPaint();
    canvas_.End();
    UpdateScrollBars();
}

void TGlobe3::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    const QSize s = viewport()->size();
    if (s.width() <= 0 || s.height() <= 0)
        return;
    canvas_.SetSize(s.width(), s.height());
    core_.SetSize(s.width(), s.height(), 96);
    UpdateScrollBars();
}

void TGlobe3::UpdateScrollBars()
{
    if (updatingBars_)
        return;
    updatingBars_ = true;
    for (bool horizontal : {true, false}) {
        std::int32_t min, max, page, pos;
        core_.ScrollInfo(horizontal, min, max, page, pos);
        QScrollBar* bar = horizontal ? horizontalScrollBar() : verticalScrollBar();
        bar->setRange(min, std::max(min, max - page));
        bar->setPageStep(std::max(1, page));
        bar->setSingleStep(std::max(1, page / 20));
        bar->setValue(pos);
        bar->setEnabled(page > 0 && max - min > page);
    }
    updatingBars_ = false;
}

void TGlobe3::ScrollAction(bool horizontal, int action)
{
    std::int32_t min, max, page, pos;
    core_.ScrollInfo(horizontal, min, max, page, pos);
    QScrollBar* bar = horizontal ? horizontalScrollBar() : verticalScrollBar();
    std::int32_t d = 0;
    switch (action) {
    case QAbstractSlider::SliderSingleStepSub: d = -(page / 20); break;
    case QAbstractSlider::SliderSingleStepAdd: d = page / 20; break;
    case QAbstractSlider::SliderPageStepSub: d = -(page / 2); break;
    case QAbstractSlider::SliderPageStepAdd: d = page / 2; break;
    case QAbstractSlider::SliderMove: d = bar->sliderPosition() - pos; break;
    default: return;
    }
    if (horizontal)
        core_.ScrollBy(d, 0);
    else
        core_.ScrollBy(0, d);
    QMetaObject::invokeMethod(this, [this]() { UpdateScrollBars(); }, Qt::QueuedConnection);
}

bool TGlobe3::Is(TGlobeMouseButton b, Qt::MouseButton m)
{
    return (b == mzbLeft && m == Qt::LeftButton) || (b == mzbRight && m == Qt::RightButton) ||
           (b == mzbMiddle && m == Qt::MiddleButton);
}

void TGlobe3::mousePressEvent(QMouseEvent* e)
{
    zooming_ = false;
    const QPoint pos = e->position().toPoint();
    const Qt::KeyboardModifiers mods = e->modifiers();
    if (MultiSelect && (mods & Qt::ControlModifier) && Is(MouseSelectButton, e->button())) {
        if (TGlobeObject* o = core_.ObjectAtXY(pos.x(), pos.y()))
            core_.SetObjectSelected(o, !o->Selected());
        return;
    }
    if (mods & (Qt::ShiftModifier | Qt::AltModifier | Qt::ControlModifier))
        return;
    if (Is(MouseZoomButton, e->button())) {
        zooming_ = true;
        zoomStart_ = zoomEnd_ = pos;
    }
    if (Is(MouseSelectButton, e->button()))
        core_.SetSelectedObject(core_.ObjectAtXY(pos.x(), pos.y()));
    if (Is(MouseRotateButton, e->button()) && core_.ScreenToGlobe(pos.x(), pos.y(), grabbed_))
        rotating_ = true;
}

void TGlobe3::mouseMoveEvent(QMouseEvent* e)
{
    const QPoint pos = e->position().toPoint();
    if (zooming_) {
        zoomEnd_ = pos;
        viewport()->update();
    }
    TGlobePoint now;
    if (rotating_ && core_.ScreenToGlobe(pos.x(), pos.y(), now)) {
        TPrjModel& m = core_.Model();
        m.SetIntegerProperty(ppXRotation, static_cast<std::int32_t>(std::int64_t(m.XRotation()) + grabbed_.iLatY - now.iLatY));
        m.SetIntegerProperty(ppYRotation, NormalizeLongitude(std::int64_t(m.YRotation()) +
                                                             NormalizeLongitude(std::int64_t(grabbed_.iLongX) - now.iLongX)));
        core_.ScaleChanged = true;
        core_.RedrawGlobe();
    }
}

void TGlobe3::mouseReleaseEvent(QMouseEvent*)
{
    rotating_ = false;
    if (!zooming_)
        return;
    zooming_ = false;
    const QRect r = QRect(zoomStart_, zoomEnd_).normalized();
    const double s = core_.Scale();
    if (r.width() >= 10 && r.height() >= 10 && s > 0)
        core_.ViewRect({RoundGU(r.left() / s), RoundGU(r.top() / s), RoundGU(r.width() / s), RoundGU(r.height() / s)});
    viewport()->update();
}

bool TGlobe3::PrintGlobe()
{
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (info.isNull())
        return false;
    QPrinter printer(info, QPrinter::HighResolution);
    printer.setDocName("TGlobe3 Print");
    PrintGlobeTo(printer);
    return true;
}

void TGlobe3::PrintGlobeTo(QPrinter& printer)
{
    const QRect page = printer.pageLayout().paintRectPixels(printer.resolution());
    RenderToPrinter(printer, QRect(0, 0, page.width(), page.height()));
}

void TGlobe3::PrintGlobeRectTo(QPrinter& printer, const QRect& rect) { RenderToPrinter(printer, rect); }

void TGlobe3::RenderToPrinter(QPrinter& printer, const QRect& rect)
{
    if (printer.docName().isEmpty())
        printer.setDocName("TGlobe3 Print");
    QPainter painter;
    if (!painter.begin(&printer))
        return;
    PrintGlobeOn(painter, rect, printer.resolution());
    painter.end();
}

void TGlobe3::PrintGlobeOn(QPainter& painter, const QRect& rect, int resolution)
{
    if (rect.width() <= 0 || rect.height() <= 0 || resolution <= 0)
        return;
    // The map goes to paper as one picture of at most PrintDotsPerInch: shading set pixel by
    // pixel (day and night, textures) would otherwise become millions of single dots in the job.
    const int dpi = std::min(resolution, PrintDotsPerInch);
    const int width = std::max(1, int(std::int64_t(rect.width()) * dpi / resolution));
    const int height = std::max(1, int(std::int64_t(rect.height()) * dpi / resolution));
    // Resizing for the page rescales the view; keep it so the screen shows the same map after.
    const TGlobeView view = core_.SaveView();
    const int screenW = core_.CanvasWidth(), screenH = core_.CanvasHeight();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    TGlobeCanvas paper;
    paper.SetSize(width, height);
    paper.Fill(0xFFFFFF); // the paper stays white where nothing is drawn
    core_.SetSize(width, height, dpi);
    // The paper shows what the screen shows: the same centre, all of its width and height.
    if (view.scale > 0 && screenW > 0 && screenH > 0) {
        const double fit = std::min(double(width) / screenW, double(height) / screenH);
        core_.SetScale(view.scale * fit);
        core_.SetViewCentre({width / 2 + static_cast<std::int32_t>(std::lround((view.xOrigin - screenW / 2) * fit)),
                             height / 2 + static_cast<std::int32_t>(std::lround((view.yOrigin - screenH / 2) * fit))});
    }
    paper.Begin();
    core_.Surface = &paper;
    core_.Printing = true;
    core_.PrintAborted = false;
    core_.Render(true);
    if (!core_.PrintAborted) {
        core_.RenderAnimated();
        if (OnPaint)
            OnPaint();
    }
    core_.Printing = false;
    paper.End();
    core_.Surface = &canvas_;
    painter.drawImage(rect, paper.Image());
    core_.SetSize(screenW, screenH, 96);
    core_.RestoreView(view);
    core_.ScaleChanged = true;
    QApplication::restoreOverrideCursor();
    core_.RedrawGlobe();
}

} // namespace korval
