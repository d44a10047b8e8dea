#include "grids/ovc_table_colors.h"

namespace korval {

void TOvcTableColors::Assign(const TOvcTableColors& o)
{
    auto keep = std::move(OnColorsChanged);
    *this = o;
    OnColorsChanged = std::move(keep);
    if (OnColorsChanged)
        OnColorsChanged();
}

TOvcGridPenSet::TOvcGridPenSet()
{
    normal_.Style = psDot;
    locked_.Effect = ge3D;
    focused_.NormalColor = clBlack;
    unfocused_.NormalColor = clBlack;
    unfocused_.Style = psDash;
}

void TOvcGridPenSet::set(TOvcGridPen& pen, const TOvcGridPen& value)
{
    if (pen == value)
        return;
    pen = value;
    if (OnPenChanged)
        OnPenChanged();
}

void TOvcGridPenSet::Assign(const TOvcGridPenSet& o)
{
    normal_ = o.normal_;
    locked_ = o.locked_;
    focused_ = o.focused_;
    unfocused_ = o.unfocused_;
    if (OnPenChanged)
        OnPenChanged();
}

} // namespace korval
