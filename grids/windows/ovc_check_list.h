#pragma once
// TOvcCheckList: a list box with a check box (and optionally a glyph) before every item and a
// check state per item. Forms move whole sets of flags in and out with SetStates/GetStates.
#include <QPixmap>
#include <vector>

#include "grids/check_states.h"
#include "grids/windows/ovc_list_box.h"

namespace korval {

enum TOvcCheckStyle { csCheck, csX };

class TOvcCheckList : public TOvcCustomListBox {
    Q_OBJECT
public:
    explicit TOvcCheckList(QWidget* parent = nullptr);

    // Ignored outside the items; raises OnStateChange even when the state stays the same.
    void SetStates(int index, TCheckBoxState state);
    // cbUnchecked outside the kept states.
    TCheckBoxState GetStates(int index) const { return states_.Get(index); }
    void SetAllStates(TCheckBoxState state);

    bool BoxClickOnly = true;
    QColor BoxColor = Qt::white;
    int BoxMargin() const { return boxMargin_; }
    // Values below 1, or leaving no box inside the item height, are ignored.
    void SetBoxMargin(int value);
    QColor CheckColor;
    TOvcCheckStyle CheckStyle = csCheck;
    bool ShowGlyphs = false;
    std::vector<QPixmap> Glyphs;
    // The glyph of an item (-1: none).
    void SetGlyphIndex(int item, int glyph);
    int GlyphIndex(int item) const;
    bool ThreeState = false;
    bool WantDblClicks = true;

    std::function<void(TOvcCheckList*, int index, TCheckBoxState oldState, TCheckBoxState newState)> OnStateChange;

    // The x where the box column ends for an item rectangle.
    int BoxColumnEnd(const QRect& item) const { return item.left() + ItemHeight() - boxMargin_ / 2; }

protected:
    int ExtentAllowance() const override;
    void DrawItem(QPainter& p, int index, const QRect& rect, bool selected, bool focused) override;
    void ItemsChanged(TPopupItems::TChange change, int index) override;
    void mousePressEvent(QMouseEvent*) override;
    void mouseDoubleClickEvent(QMouseEvent*) override;
    void keyPressEvent(QKeyEvent*) override;

private:
    void Advance(int index);
    TCheckStateList states_;
    std::vector<int> glyphs_;
    int boxMargin_ = 1;
    bool drawn_ = false;
};

} // namespace korval
