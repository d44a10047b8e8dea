#pragma once
// TOvcCustomListBox: a string list box with tab stops given in average character widths and an
// optional horizontal scroll bar sized to the widest item. The check list derives from it.
#include <QAbstractScrollArea>
#include <functional>
#include <string>
#include <vector>

#include "grids/choice_list.h"
#include "grids/windows/grid_keys.h"

namespace korval {

class TOvcCustomListBox : public QAbstractScrollArea {
    Q_OBJECT
public:
    explicit TOvcCustomListBox(QWidget* parent = nullptr);

    // The lines (8-bit texts with objects).
    TPopupItems& Items() { return items_; }
    const TPopupItems& Items() const { return items_; }
    int ItemIndex() const { return itemIndex_; }
    void SetItemIndex(int index);
    int TopIndex() const { return topIndex_; }
    void SetTopIndex(int index);
    int ItemHeight() const { return itemHeight_; }
    void SetItemHeight(int value);
    // Client rectangle of a line (empty when it is not on screen).
    QRect ItemRect(int index) const;
    int ItemAt(const QPoint& pt) const;

    // Each entry a decimal integer: a tab position in average character widths. A non-numeric
    // entry throws EConvertError and changes nothing.
    const std::vector<std::string>& TabStops() const { return tabStopText_; }
    void SetTabStops(const std::vector<std::string>& entries);
    const std::vector<int>& TabStopPixels() const { return tabPixels_; }
    const std::vector<int>& TabStopDialogUnits() const { return tabDialogUnits_; }
    int AverageCharWidth() const;

    bool HorizontalScroll() const { return horizontalScroll_; }
    void SetHorizontalScroll(bool value);
    // The horizontal range: the widest item + 5 pixels (plus what a line carries besides its text).
    int HorizontalExtent() const { return horizontalExtent_; }
    virtual void ResetHorizontalExtent();
    // Width of a line's text with the tab stops.
    int TextExtent(const std::string& text) const;

    QString About() const { return QStringLiteral("v3.06"); }
    // The form's controller unless one is set.
    TOvcController* Controller() const { return keys_.Controller(); }
    void SetController(TOvcController* controller) { keys_.SetController(controller); }

    std::function<void(TOvcCustomListBox*)> OnTabStopsChange;
    std::function<void(TOvcCustomListBox*)> OnClick;
    std::function<void(TOvcCustomListBox*)> OnDblClick;
    std::function<void(TOvcCustomListBox*, char& key)> OnKeyPress;

protected:
    // Extra width beside the text that every line takes (a check box column).
    virtual int ExtentAllowance() const { return 0; }
    // A line is drawn here; the default draws its text with the tab stops.
    virtual void DrawItem(QPainter& p, int index, const QRect& rect, bool selected, bool focused);
    virtual void ItemsChanged(TPopupItems::TChange change, int index);
    // The press handling of the list box: selection and focus.
    void PressItem(int index);
    void DrawTabbedText(QPainter& p, const QRect& r, const std::string& text) const;
    int VisibleRows() const;

    void paintEvent(QPaintEvent*) override;
    void resizeEvent(QResizeEvent*) override;
    void changeEvent(QEvent*) override;
    void keyPressEvent(QKeyEvent*) override;
    void mousePressEvent(QMouseEvent*) override;
    void mouseReleaseEvent(QMouseEvent*) override;
    void mouseDoubleClickEvent(QMouseEvent*) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    void RecalcTabStops();
    void SyncScrollBars();
    TGridKeyTranslator keys_{this};
    TPopupItems items_;
    int itemIndex_ = -1;
    int topIndex_ = 0;
    int itemHeight_ = 16;
    std::vector<std::string> tabStopText_;
    std::vector<int> tabStopValues_;
    std::vector<int> tabPixels_;
    std::vector<int> tabDialogUnits_;
    bool horizontalScroll_ = false;
    int horizontalExtent_ = 0;
    bool syncing_ = false;
};

} // namespace korval
