#pragma once
// TOvcSplitter: two child sections separated by a bar the user drags. Position is the bar's
// offset in pixels from the left (or top) edge; it scales with the control when AutoScale is on
// and always stays inside the client area once the control is shown.
#include <QColor>
#include <QPointer>
#include <functional>
#include <memory>
#include <string>

#include "entry/windows/ovc_base.h"
#include "entry/windows/ovc_controller.h"
#include "grids/windows/grid_types.h"
#include "grids/splitter_layout.h"

class QPainter;

namespace korval {

class TOvcSplitter;

// One of the two sections: a plain container for the controls of one side.
class TOvcSection : public TOvcCollectibleControl {
    Q_OBJECT
public:
    explicit TOvcSection(TOvcSplitter* splitter);
    QColor Color() const { return color_; }
    void SetColor(const QColor& value);
    TOvcSplitter* Splitter() const { return splitter_; }

protected:
    bool event(QEvent* e) override;

private:
    TOvcSplitter* splitter_;
    QColor color_;
};

class TOvcSplitter : public TOvcCustomControlEx {
    Q_OBJECT
public:
    explicit TOvcSplitter(QWidget* parent = nullptr);
    ~TOvcSplitter() override;

    bool AllowResize() const { return allowResize_; }
    void SetAllowResize(bool value) { allowResize_ = value; }
    bool AutoScale() const { return autoScale_; }
    void SetAutoScale(bool value) { autoScale_ = value; }
    bool AutoUpdate() const { return autoUpdate_; }
    void SetAutoUpdate(bool value) { autoUpdate_ = value; }
    TBorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TBorderStyle value);
    QColor Color() const { return color_; }
    void SetColor(const QColor& value);
    QColor ColorLeft() const;
    void SetColorLeft(const QColor& value);
    QColor ColorRight() const;
    void SetColorRight(const QColor& value);
    bool Ctl3D() const { return ctl3D_; }
    void SetCtl3D(bool value);
    TSplitterOrientation Orientation() const { return orientation_; }
    void SetOrientation(TSplitterOrientation value);
    int Position() const { return position_; }
    // Below 1 becomes 1; before the control is first shown the value is only stored, after
    // that it is kept inside the client area, the control repainted and OnResize raised.
    void SetPosition(int value);
    bool ShowHandle() const { return showHandle_; }
    void SetShowHandle(bool value);
    QColor SplitterColor() const { return splitterColor_; }
    void SetSplitterColor(const QColor& value);
    int SplitterSize() const { return splitterSize_; }
    void SetSplitterSize(int value);
    // The splitter fills its parent and follows its size (a splitter nested in a section).
    bool AlignClient() const { return alignClient_; }
    void SetAlignClient(bool value);
    // Names the splitter; its sections become "SPL1" / "SPL2" + name + the form's name.
    void SetName(const std::string& name);

    // Section 0 (left or top) or 1 (right or bottom); nullptr for other indexes.
    TOvcSection* Section(int index) const;
    TOvcCollection& Sections() { return *sections_; }
    // The inside of the border, where the sections and the bar are.
    QRect ClientRect() const;
    // The bar is being dragged.
    bool Dragging() const { return dragging_; }
    // The mouse is over the bar (the sizing cursor shows).
    bool OverBar() const { return overBar_; }

    // Replaces the painting.
    std::function<void(QObject* sender, QPainter& canvas)> OnOwnerDraw;
    // The bar was moved.
    std::function<void(QObject* sender)> OnResize;

    // Lays the sections out again (a section's contents changed).
    void LayoutSections();

protected:
    void CreateWnd() override;
    void DoOnResize();

    bool eventFilter(QObject* watched, QEvent* e) override;
    void paintEvent(QPaintEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void leaveEvent(QEvent* e) override;

private:
    int extent() const;
    int coordOf(QPoint widgetPos) const;
    int clamped(int value) const;
    bool plainSection(int index) const;
    void relayout();
    void updateCursor(QPoint widgetPos);
    void placeDragLine();
    QRect barArea() const;

    std::unique_ptr<TOvcCollection> sections_;
    QWidget* dragLine_ = nullptr;
    bool allowResize_ = true;
    bool autoScale_ = true;
    bool autoUpdate_ = false;
    TBorderStyle borderStyle_ = bsNone;
    QColor color_;
    QColor splitterColor_;
    bool ctl3D_ = true;
    TSplitterOrientation orientation_ = soVertical;
    int position_ = 100;
    bool showHandle_ = false;
    int splitterSize_ = 3;
    bool alignClient_ = false;
    bool created_ = false;
    int lastExtent_ = 0;
    bool overBar_ = false;
    bool dragging_ = false;
    bool destroying_ = false;
};

} // namespace korval
