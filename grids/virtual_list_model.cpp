#include "grids/virtual_list_model.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>

#include "entry/ovc_command_processor.h"
#include "entry/ovc_exceptions.h"

namespace korval {


namespace {
constexpr int kMaxTabStops = 128;
} // namespace

// ---- geometry ----

void TVirtualListModel::SetGeometry(int clientHeight, int rowHeight)
{
    clientHeight_ = std::max(0, clientHeight);
    if (rowHeight > 0)
        rowHeight_ = rowHeight;
    rows_ = clientHeight_ / rowHeight_ - (ShowHeader ? 1 : 0);
    rows_ = std::max(rows_, 1);
    if (view_)
        view_->ScrollBarsChanged();
}

void TVirtualListModel::Resized(int clientHeight, int rowHeight)
{
    SetGeometry(clientHeight, rowHeight);
    if (static_cast<long long>(topIndex_) + rows_ - 1 >= numItems_)
        SetTopIndex(std::max(numItems_ - rows_, 0));
}

void TVirtualListModel::SetHOffset(int offset)
{
    offset = std::clamp(offset, 0, Columns);
    if (offset == hOffset_)
        return;
    hOffset_ = offset;
    if (view_)
        view_->ScrollBarsChanged();
    Invalidate();
}

// ---- scrolling ----

int TVirtualListModel::VScrollMax() const
{
    // The bar runs in items without any scaling, so its end is the true last page.
    if (numItems_ <= rows_)
        return 0;
    return numItems_ - rows_;
}

bool TVirtualListModel::VScrollVisible() const
{
    return HasVBar && numItems_ > rows_;
}

void TVirtualListModel::InternalSetTopIndex(int index)
{
    const int last = LastIndex();
    if (index < 0 || index > last)
        return;
    long long top = index;
    if (top + rows_ - 1 > last)
        top = static_cast<long long>(last) - rows_ + 1;
    int newTop = static_cast<int>(std::max(0LL, top));
    if (newTop == topIndex_)
        return;
    long long delta = static_cast<long long>(topIndex_) - newTop;
    topIndex_ = newTop;
    focusIndex_ = itemIndex_;
    if (view_) {
        view_->ScrollBarsChanged();
        view_->TopMoved(static_cast<int>(std::clamp<long long>(-delta, -rows_ - 1, rows_ + 1)));
    }
    if (OnTopIndexChanged)
        OnTopIndexChanged(newTop);
    Update();
}

void TVirtualListModel::SetTopIndex(int index)
{
    if (index != topIndex_)
        InternalSetTopIndex(index);
}

void TVirtualListModel::ThumbTo(int position)
{
    if (position <= 0)
        InternalSetTopIndex(0);
    else
        InternalSetTopIndex(std::min(position, VScrollMax()));
}

void TVirtualListModel::LineScroll(int delta)
{
    Scroll(0, delta < 0 ? -1 : 1);
}

void TVirtualListModel::PageScroll(int pages)
{
    int step = std::max(1, rows_ - 1);
    Scroll(0, pages < 0 ? -step : step);
}

void TVirtualListModel::Wheel(int delta)
{
    if (delta == 0)
        return;
    for (int i = 0; i < 3; ++i)
        LineScroll(delta < 0 ? 1 : -1);
}

void TVirtualListModel::Scroll(int hDelta, int vDelta)
{
    if (hDelta != 0)
        SetHOffset(static_cast<int>(std::clamp<long long>(static_cast<long long>(hOffset_) + hDelta, 0, Columns)));
    if (vDelta != 0) {
        const long long last = LastIndex();
        long long top = static_cast<long long>(topIndex_) + vDelta;
        if (top < 0)
            top = 0;
        if (top > last - (rows_ - 1))
            top = (rows_ - 1 < last) ? last - (rows_ - 1) : 0;
        SetTopIndex(static_cast<int>(top));
    }
}

// ---- count and current item ----

void TVirtualListModel::SetNumItems(int value)
{
    if (value < 0)
        value = kDefaultNumItems;
    if (value == numItems_)
        return;
    const int old = numItems_;
    numItems_ = value;
    hOffset_ = 0;
    if (itemIndex_ >= numItems_)
        SetItemIndex(-1);
    if (numItems_ == 0) {
        topIndex_ = 0;
    } else if (static_cast<long long>(topIndex_) + rows_ <= numItems_) {
        InternalSetTopIndex(topIndex_);
    } else {
        InternalSetTopIndex(numItems_ - 1);
    }
    if (anchor_ > LastIndex())
        anchor_ = std::max(0, LastIndex());
    if (rows_ >= numItems_ || rows_ >= old)
        Invalidate();
    if (view_)
        view_->ScrollBarsChanged();
}

void TVirtualListModel::ScrollIntoView(int index)
{
    if (index < topIndex_)
        InternalSetTopIndex(index);
    else if (static_cast<long long>(index) > static_cast<long long>(topIndex_) + rows_ - 1)
        InternalSetTopIndex(std::max(0, index - (rows_ - 1)));
}

void TVirtualListModel::SetItemIndex(int index)
{
    if (index > LastIndex())
        index = numItems_ > 0 ? LastIndex() : -1;
    if (index < -1)
        index = -1;
    if (index != itemIndex_) {
        const int old = itemIndex_;
        InvalidateItem(old);
        DoOnSelect(old, false);
        itemIndex_ = index;
        focusIndex_ = -1;
        Update();
    }
    if (index > -1) {
        ScrollIntoView(index);
        DoOnSelect(index, true);
    }
    if (focusIndex_ != index)
        InvalidateItem(focusIndex_);
    focusIndex_ = index;
    RepaintItem(index);
    bool capture = tracking_ || (view_ && view_->HasCapture());
    if (!capture && OnClick)
        OnClick();
}

// ---- owner data ----

std::string TVirtualListModel::DoOnGetItem(int index) const
{
    std::string text;
    if (OnGetItem) {
        OnGetItem(index, text);
        return text;
    }
    char buf[80];
    std::snprintf(buf, sizeof buf, "%d. *** Warning *** OnGetItem not assigned!", index);
    return buf;
}

bool TVirtualListModel::DoOnGetItemStatus(int index) const
{
    bool protect = false;
    if (OnGetItemStatus)
        OnGetItemStatus(index, protect);
    return protect;
}

bool TVirtualListModel::DoOnIsSelected(int index) const
{
    bool selected = index == itemIndex_;
    if (MultiSelect) {
        if (!OnIsSelected)
            throw EOnIsSelectedNotAssigned();
        OnIsSelected(index, selected);
    }
    return selected;
}

void TVirtualListModel::DoOnSelect(int index, bool selected)
{
    if (!MultiSelect)
        return;
    if (!OnSelect)
        throw EOnSelectNotAssigned();
    if (selected && index >= 0 && DoOnGetItemStatus(index))
        return;
    OnSelect(index, selected);
}

// ---- selection ----

void TVirtualListModel::SelectAll(bool select)
{
    const long long end = std::min<long long>(static_cast<long long>(topIndex_) + rows_, numItems_);
    for (long long i = topIndex_; i < end; ++i)
        if (DoOnIsSelected(static_cast<int>(i)) != select)
            InvalidateItem(static_cast<int>(i));
    DoOnSelect(-1, select);
}

void TVirtualListModel::SelectRange(int first, int last, bool select)
{
    const int step = last < first ? -1 : 1;
    for (long long i = first;; i += step) {
        DoOnSelect(static_cast<int>(i), select);
        InvalidateItem(static_cast<int>(i));
        if (i == last)
            break;
    }
}

void TVirtualListModel::ExtendSelection(int index)
{
    if (numItems_ <= 0)
        return;
    index = std::clamp(index, 0, LastIndex());
    SelectAll(false);
    SelectRange(anchor_, index, true);
    itemIndex_ = index;
    focusIndex_ = index;
    Update();
}

void TVirtualListModel::ToggleItem(int index)
{
    if (index < 0 || index > LastIndex())
        return;
    DoOnSelect(index, !DoOnIsSelected(index));
    InvalidateItem(focusIndex_);
    InvalidateItem(itemIndex_);
    focusIndex_ = index;
    RepaintItem(index);
    itemIndex_ = index;
    anchor_ = index;
}

void TVirtualListModel::DragExtend(int index)
{
    if (numItems_ <= 0)
        return;
    index = std::clamp(index, 0, LastIndex());
    SetItemIndex(index);
    const int lo = std::min(anchor_, index), hi = std::max(anchor_, index);
    const long long end = std::min<long long>(static_cast<long long>(topIndex_) + rows_, numItems_);
    for (long long i = topIndex_; i < end; ++i)
        if ((i < lo || i > hi) && DoOnIsSelected(static_cast<int>(i)))
            InvalidateItem(static_cast<int>(i));
    DoOnSelect(-1, false);
    SelectRange(anchor_, index, true);
    focusIndex_ = index;
    Update();
}

// ---- keyboard ----

void TVirtualListModel::MoveTo(int target)
{
    SelectAll(false);
    SetItemIndex(target);
    anchor_ = itemIndex_;
}

void TVirtualListModel::ExtendTo(int target)
{
    if (numItems_ <= 0)
        return;
    target = std::clamp(target, 0, LastIndex());
    SetItemIndex(target);
    ExtendSelection(target);
}

void TVirtualListModel::DoCommand(int command)
{
    const int last = LastIndex();
    const int cur = itemIndex_;
    const int pageStep = rows_ > 1 ? rows_ - 1 : 1;
    switch (command) {
    case ccDown:
        if (cur < last)
            MoveTo(cur + 1);
        break;
    case ccUp:
        if (cur > 0)
            MoveTo(cur - 1);
        break;
    case ccHome:
        if (numItems_ > 0 && cur != 0)
            MoveTo(0);
        break;
    case ccEnd:
        if (numItems_ > 0 && cur != last)
            MoveTo(last);
        break;
    case ccNextPage:
        if (numItems_ > 0) {
            int target = (static_cast<long long>(last) - (rows_ - 1) < cur) ? last : std::max(0, cur + pageStep);
            if (target != cur)
                MoveTo(target);
        }
        break;
    case ccPrevPage:
        if (numItems_ > 0) {
            int target = std::max(0, cur - pageStep);
            if (target != cur)
                MoveTo(target);
        }
        break;
    case ccLeft:
        if (HasHBar) {
            if (hOffset_ > 0)
                SetHOffset(hOffset_ - 1);
        } else {
            DoCommand(ccUp);
        }
        break;
    case ccRight:
        if (HasHBar) {
            if (hOffset_ < Columns)
                SetHOffset(hOffset_ + 1);
        } else {
            DoCommand(ccDown);
        }
        break;
    case ccExtendDown:
        if (MultiSelect && cur < last)
            ExtendTo(cur + 1);
        break;
    case ccExtendUp:
        if (MultiSelect && cur > 0)
            ExtendTo(cur - 1);
        break;
    case ccExtendEnd:
        if (MultiSelect && numItems_ > 0 && cur != last)
            ExtendTo(last);
        break;
    case ccExtendHome:
        if (MultiSelect && numItems_ > 0 && cur != 0)
            ExtendTo(0);
        break;
    case ccExtendPgDn:
        if (MultiSelect && numItems_ > 0)
            ExtendTo(static_cast<int>(std::min<long long>(static_cast<long long>(cur) + (rows_ - 1), last)));
        break;
    case ccExtendPgUp:
        if (MultiSelect && numItems_ > 0)
            ExtendTo(std::max(0, cur - (rows_ - 1)));
        break;
    default:
        if (command >= ccUser0 && OnUserCommand)
            OnUserCommand(command);
        break;
    }
}

void TVirtualListModel::DoChar(char ch)
{
    int index = itemIndex_;
    if (OnCharToItem)
        OnCharToItem(ch, index);
    if (index >= 0 && index <= LastIndex() && index != itemIndex_)
        SetItemIndex(index);
}

// ---- mouse ----

int TVirtualListModel::ItemAtCursor(int y) const
{
    const int header = ShowHeader ? rowHeight_ : 0;
    long long index;
    if (y >= header && y < clientHeight_) {
        index = static_cast<long long>(y / rowHeight_) + topIndex_ - (ShowHeader ? 1 : 0);
        index = std::min<long long>(index, static_cast<long long>(topIndex_) + rows_ - 1);
    } else if (y >= clientHeight_) {
        index = static_cast<long long>(y / rowHeight_) + topIndex_;
    } else {
        index = static_cast<long long>(y / rowHeight_) + topIndex_ - 1;
        index = std::max<long long>(index, 0);
    }
    return static_cast<int>(std::clamp<long long>(index, 0, std::max(0, LastIndex())));
}

void TVirtualListModel::MouseDown(int y, bool ctrl, bool shift)
{
    if (OnHeader(y) || numItems_ <= 0)
        return;
    const int item = ItemAtCursor(y);
    if (MultiSelect && ctrl) {
        ToggleItem(item);
        return;
    }
    if (MultiSelect && shift) {
        ExtendTo(item);
        return;
    }
    SelectAll(false);
    if (itemIndex_ >= 0)
        DoOnSelect(itemIndex_, true);
    tracking_ = true;
    firstTrack_ = true;
    MouseTrack(y);
}

void TVirtualListModel::MouseTrack(int y)
{
    if (!tracking_ || numItems_ <= 0)
        return;
    const int item = ItemAtCursor(y);
    if (firstTrack_ || !MultiSelect) {
        firstTrack_ = false;
        if (item != itemIndex_ || focusIndex_ != item)
            SetItemIndex(item);
        anchor_ = item;
    } else if (item != itemIndex_) {
        DragExtend(item);
    }
}

void TVirtualListModel::MouseUp()
{
    // The click of a press on the items comes with the release, whichever way it selected.
    tracking_ = false;
    if (OnClick)
        OnClick();
}

// ---- invalidation ----

void TVirtualListModel::InvalidateItem(int index)
{
    if (!view_ || index < topIndex_ || static_cast<long long>(index) >= static_cast<long long>(topIndex_) + rows_)
        return;
    view_->InvalidateRow(index - topIndex_ + (ShowHeader ? 1 : 0));
}

void TVirtualListModel::RepaintItem(int index)
{
    InvalidateItem(index);
    Update();
}

void TVirtualListModel::EndUpdate()
{
    --updateCount_;
    if (updateCount_ < 0) {
        updateCount_ = 0;
        throw EVirtualListBoxError("Mismatched BeginUpdate/EndUpdate");
    }
    if (updateCount_ == 0)
        Invalidate();
}

int TVirtualListModel::SetTabStops(int count, const int* dialogUnits)
{
    int result = 1;
    if (count > kMaxTabStops) {
        count = kMaxTabStops;
        result = 0;
    }
    tabStops_.clear();
    for (int i = 0; i < count && dialogUnits; ++i)
        tabStops_.push_back(dialogUnits[i] * DialogUnitWidth);
    Invalidate();
    return result;
}

// ---- list-box messages ----

intptr_t TVirtualListModel::Perform(TListBoxMessage message, uintptr_t wParam, intptr_t lParam)
{
    const int last = LastIndex();
    const auto w = static_cast<long long>(static_cast<intptr_t>(wParam));
    switch (message) {
    case LB_GETCARETINDEX:
        return focusIndex_;
    case LB_GETCOUNT:
        return numItems_;
    case LB_GETCURSEL:
        return itemIndex_;
    case LB_GETITEMHEIGHT:
        return rowHeight_;
    case LB_GETITEMRECT: {
        auto* r = reinterpret_cast<TListRect*>(lParam);
        if (!r)
            return LB_ERR;
        long long top = (w - topIndex_) * rowHeight_;
        r->left = 0;
        r->top = static_cast<int>(std::clamp<long long>(top, INT32_MIN, INT32_MAX));
        r->right = ClientWidth;
        r->bottom = static_cast<int>(std::clamp<long long>(top + rowHeight_, INT32_MIN, INT32_MAX));
        return 0;
    }
    case LB_GETSEL:
        if (w < 0 || w > last)
            return LB_ERR;
        return DoOnIsSelected(static_cast<int>(w)) ? 1 : 0;
    case LB_GETTOPINDEX:
        return topIndex_;
    case LB_RESETCONTENT:
        SetNumItems(0);
        return 0;
    case LB_SELITEMRANGE: {
        const int low = static_cast<int>(lParam & 0xFFFF), high = static_cast<int>((lParam >> 16) & 0xFFFF);
        if (!MultiSelect || low > last || high > last)
            return LB_ERR;
        SelectRange(low, high, w >= 1);
        return 0;
    }
    case LB_SETCURSEL:
        if (MultiSelect || w < -1 || w > last)
            return LB_ERR;
        SetItemIndex(static_cast<int>(w));
        return w == 65535 ? LB_ERR : 0;
    case LB_SETSEL:
        if (!MultiSelect || lParam < -1 || lParam > last)
            return LB_ERR;
        if (lParam == -1) {
            SelectAll(w > 0);
        } else {
            DoOnSelect(static_cast<int>(lParam), w > 0);
            InvalidateItem(static_cast<int>(lParam));
        }
        return 0;
    case LB_SETTABSTOPS:
        return SetTabStops(static_cast<int>(wParam & 0xFF), reinterpret_cast<const int*>(lParam));
    case LB_SETTOPINDEX:
        if (w < 0 || w > last)
            return LB_ERR;
        SetTopIndex(static_cast<int>(w));
        return 0;
    }
    return LB_ERR;
}

} // namespace korval
