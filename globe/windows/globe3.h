#pragma once
// TGlobe3: the globe control. It owns the globe core and its off-screen canvas, paints the
// rendered image, turns mouse drags into zooming, selection and rotation, scrolls with its bars
// and prints the map.
#include <QAbstractScrollArea>
#include <QPoint>
#include <QRect>

#include <functional>

#include "globe/globe_core.h"
#include "globe/windows/globe_canvas.h"

class QPainter;
class QPrinter;

namespace korval {

enum TGlobeMouseButton { mzbLeft, mzbRight, mzbMiddle, mzbNone };

class TGlobe3 : public QAbstractScrollArea {
    Q_OBJECT
public:
    explicit TGlobe3(QWidget* parent = nullptr);
    ~TGlobe3() override;

    TGlobeCore& Core() { return core_; }
    const TGlobeCanvas& Canvas() const { return canvas_; }
    // Renders now when a render is pending (what the next paint would do) and returns the image.
    const QImage& RenderedImage();

    void SetProfileName(const QString& name);
    void SetProjection(TGlobeProjection p) { core_.SetProjection(p); }
    void RedrawGlobe() { core_.RedrawGlobe(); }

    TGlobeMouseButton MouseZoomButton = mzbRight, MouseSelectButton = mzbLeft, MouseRotateButton = mzbLeft;
    bool MultiSelect = false;
    // Fires after every paint (and print) with the surface on the control: what is drawn here
    // goes over the map and is gone at the next paint.
    std::function<void()> OnPaint;

    // The map on the default printer ("TGlobe3 Print"); false when there is none.
    bool PrintGlobe();
    // The map on an open printer (a PDF file in tests), on the whole page or a rectangle of it in
    // device pixels. The on-screen view is kept and brought back afterwards.
    void PrintGlobeTo(QPrinter& printer);
    void PrintGlobeRectTo(QPrinter& printer, const QRect& rect);
    // The map through a painter already open on a print device of the given resolution, into
    // rect (device pixels), as a picture of at most PrintDotsPerInch.
    void PrintGlobeOn(QPainter& painter, const QRect& rect, int resolution);
    static constexpr int PrintDotsPerInch = 200;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void scrollContentsBy(int, int) override {}

private:
    void RenderIfNeeded();
    void UpdateScrollBars();
    void ScrollAction(bool horizontal, int action);
    void RenderToPrinter(QPrinter& printer, const QRect& rect);
    static bool Is(TGlobeMouseButton b, Qt::MouseButton m);

    TGlobeCore core_;
    TGlobeCanvas canvas_;
    bool zooming_ = false, rotating_ = false;
    QPoint zoomStart_, zoomEnd_;
    TGlobePoint grabbed_;
    bool updatingBars_ = false;
};

} // namespace korval
