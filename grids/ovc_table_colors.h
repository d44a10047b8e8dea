#pragma once
// TOvcTableColors, TOvcGridPen and TOvcGridPenSet: the table's state colours and the pens of its
// grid lines and active-cell frame. Every change calls the notification, which repaints.
#include <functional>

#include "grids/ovc_table_types.h"

namespace korval {

class TOvcTableColors {
public:
    TColor Locked = clBtnFace;
    TColor LockedText = clWindowText;
    TColor ActiveFocused = clHighlight;
    TColor ActiveFocusedText = clHighlightText;
    TColor ActiveUnfocused = clHighlight;
    TColor ActiveUnfocusedText = clHighlightText;
    TColor Editing = clBtnFace;
    TColor EditingText = clWindowText;
    TColor Selected = clHighlight;
    TColor SelectedText = clHighlightText;

    // Stores a changed colour and notifies.
    void Set(TColor TOvcTableColors::*which, TColor value)
    {
        if (this->*which == value)
            return;
        this->*which = value;
        if (OnColorsChanged)
            OnColorsChanged();
    }
    void Assign(const TOvcTableColors& o);
    std::function<void()> OnColorsChanged;
};

enum TGridEffect : uint8_t { geNone, geVertical, geHorizontal, geBoth, ge3D };
enum TPenStyle : uint8_t { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear };

class TOvcGridPen {
public:
    TColor NormalColor = clBtnShadow;
    TColor SecondColor = clBtnHighlight;
    TPenStyle Style = psSolid;
    TGridEffect Effect = geBoth;
    bool operator==(const TOvcGridPen& o) const
    {
        return NormalColor == o.NormalColor && SecondColor == o.SecondColor && Style == o.Style && Effect == o.Effect;
    }
};

class TOvcGridPenSet {
public:
    TOvcGridPenSet();
    const TOvcGridPen& NormalGrid() const { return normal_; }
    const TOvcGridPen& LockedGrid() const { return locked_; }
    const TOvcGridPen& CellWhenFocused() const { return focused_; }
    const TOvcGridPen& CellWhenUnfocused() const { return unfocused_; }
    void SetNormalGrid(const TOvcGridPen& p) { set(normal_, p); }
    void SetLockedGrid(const TOvcGridPen& p) { set(locked_, p); }
    void SetCellWhenFocused(const TOvcGridPen& p) { set(focused_, p); }
    void SetCellWhenUnfocused(const TOvcGridPen& p) { set(unfocused_, p); }
    void Assign(const TOvcGridPenSet& o);
    std::function<void()> OnPenChanged;

private:
    void set(TOvcGridPen& pen, const TOvcGridPen& value);
    TOvcGridPen normal_, locked_, focused_, unfocused_;
};

} // namespace korval
