#pragma once
// TOvcVirtualListBox: an owner-data list box. It knows only how many items there are and asks
// its owner for the text, colours, protection and (multi-select) selection of the visible rows.
// The engine (TVirtualListModel) is its public face: NumItems, ItemIndex, TopIndex, Scroll,
// BeginUpdate/EndUpdate, Perform and the On... events work on the control directly.
#include <QAbstractScrollArea>
#include <QColor>
#include <functional>
#include <string>

#include "grids/windows/grid_keys.h"
#include "grids/windows/grid_types.h"
#include "grids/virtual_list_model.h"

namespace korval {

class TOvcVirtualListBox : public QAbstractScrollArea, public TVirtualListModel, private TVirtualListView {
    Q_OBJECT
public:
    explicit TOvcVirtualListBox(QWidget* parent = nullptr);

    // Colours of one row; the owner may change them.
    std::function<void(int index, QColor& fg, QColor& bg)> OnGetItemColor;
    // With OwnerDraw the owner paints each row's text.
    std::function<void(QPainter& painter, int index, const QRect& rect, const std::string& text)> OnDrawItem;
    std::function<void(const QPoint& point)> OnClickHeader;
    std::function<void()> OnDblClick;
    // A typed character; the owner may clear it (set 0) to swallow it.
    std::function<void(char& key)> OnKeyPress;
    // Fired after the focus arrived or left, once the focus change is complete.
    std::function<void(QObject* sender)> AfterEnter;
    std::function<void(QObject* sender)> AfterExit;

    bool AutoRowHeight() const { return autoRowHeight_; }
    void SetAutoRowHeight(bool value);
    void SetRowHeight(int value);
    const std::string& Header() const { return header_; }
    void SetHeader(const std::string& value);
    void SetShowHeader(bool value);
    bool OwnerDraw = false;
    bool UseTabStops = false;
    bool SmoothScroll = true;
    TOvcColorPair HeaderColor;
    TOvcColorPair ProtectColor{QColor(Qt::red), QColor(Qt::white)};
    TOvcColorPair SelectColor;
    enum TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };
    TScrollStyle ScrollBars() const { return scrollBars_; }
    void SetScrollBars(TScrollStyle value);
    // The property writer ignores run-time changes; this sets the mode when the form is built.
    void SetMultiSelect(bool value) { MultiSelect = value; viewport()->update(); }

    // Keys become commands through this controller's tables (the form's when unset).
    TOvcController* Controller() const { return keys_.Controller(); }
    void SetController(TOvcController* controller) { keys_.SetController(controller); }

    // The tab stops in pixels after LB_SETTABSTOPS.
    using TVirtualListModel::TabStops;

protected:
    void paintEvent(QPaintEvent*) override;
    void resizeEvent(QResizeEvent*) override;
    void changeEvent(QEvent*) override;
    void keyPressEvent(QKeyEvent*) override;
    void mousePressEvent(QMouseEvent*) override;
    void mouseMoveEvent(QMouseEvent*) override;
    void mouseReleaseEvent(QMouseEvent*) override;
    void mouseDoubleClickEvent(QMouseEvent*) override;
    void wheelEvent(QWheelEvent*) override;
    void focusInEvent(QFocusEvent*) override;
    void focusOutEvent(QFocusEvent*) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    // TVirtualListView
    void InvalidateRow(int clientRow) override;
    void InvalidateAll() override { viewport()->update(); }
    void TopMoved(int delta) override;
    void ScrollBarsChanged() override;
    bool HasFocus() const override { return hasFocus(); }
    bool HasCapture() const override { return pressed_; }

    void CalcRows();
    void DrawRow(QPainter& p, int index, const QRect& rowRect);
    void DrawTabbed(QPainter& p, const QRect& r, const std::string& text, const QColor& fg);

    TGridKeyTranslator keys_{this};
    bool autoRowHeight_ = true;
    std::string header_;
    TScrollStyle scrollBars_ = ssVertical;
    bool pressed_ = false;
    bool syncing_ = false;
};

} // namespace korval
