#pragma once
// The owner-data list box's engine: item count, top and current item, the page of visible
// rows, scrolling, keyboard commands, mouse selection and the list-box message answers.
// Nothing here grows with the item count: every operation is arithmetic on indexes plus work
// on the visible page. The selection of a multi-select list lives in the owner's data and is
// reached only through OnIsSelected / OnSelect.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace korval {

// What the engine asks of its window.
class TVirtualListView {
public:
    virtual ~TVirtualListView() = default;
    // Client row (0 = first row of the client area, the header when shown).
    virtual void InvalidateRow(int clientRow) = 0;
    virtual void InvalidateAll() = 0;
    // The top moved by delta items (positive: content moves up); the window may shift pixels.
    virtual void TopMoved(int delta) { (void)delta; InvalidateAll(); }
    virtual void ScrollBarsChanged() = 0;
    virtual void UpdateNow() {}
    virtual bool HasFocus() const { return false; }
    virtual bool HasCapture() const { return false; }
};

// List-box messages the control answers (Windows numbering).
enum TListBoxMessage : unsigned {
    LB_RESETCONTENT = 0x0184, LB_SETSEL = 0x0185, LB_SETCURSEL = 0x0186, LB_GETSEL = 0x0187,
    LB_GETCURSEL = 0x0188, LB_GETCOUNT = 0x018B, LB_GETTOPINDEX = 0x018E, LB_SETTABSTOPS = 0x0192,
    LB_SETTOPINDEX = 0x0197, LB_GETITEMRECT = 0x0198, LB_SELITEMRANGE = 0x019B, LB_GETCARETINDEX = 0x019F,
    LB_GETITEMHEIGHT = 0x01A1,
};
inline constexpr intptr_t LB_ERR = -1;

struct TListRect {
    int left = 0, top = 0, right = 0, bottom = 0;
};

class TVirtualListModel {
public:
    static constexpr int kDefaultNumItems = 2147483647;

    explicit TVirtualListModel(TVirtualListView* view = nullptr) : view_(view) {}
    void SetView(TVirtualListView* view) { view_ = view; }

    // ---- events (the owner's data) ----
    std::function<void(int index, std::string& text)> OnGetItem;
    std::function<void(int index, bool& protect)> OnGetItemStatus;
    std::function<void(int index, bool& selected)> OnIsSelected;
    std::function<void(int index, bool selected)> OnSelect;
    std::function<void(int newTopIndex)> OnTopIndexChanged;
    std::function<void(char ch, int& index)> OnCharToItem;
    std::function<void(int command)> OnUserCommand;
    std::function<void()> OnClick;

    // ---- properties ----
    int NumItems() const { return numItems_; }
    void SetNumItems(int value);
    int LastIndex() const { return numItems_ - 1; }
    int ItemIndex() const { return itemIndex_; }
    void SetItemIndex(int index);
    int TopIndex() const { return topIndex_; }
    void SetTopIndex(int index);
    void InternalSetTopIndex(int index);
    int Rows() const { return rows_; }
    int FocusIndex() const { return focusIndex_; }
    int AnchorIndex() const { return anchor_; }

    bool MultiSelect = false;
    bool ShowHeader = false;
    bool HasHBar = false;
    bool HasVBar = true;
    int Columns = 255; // widest horizontal offset, in characters
    int HOffset() const { return hOffset_; }
    void SetHOffset(int offset);

    // ---- geometry ----
    int RowHeight() const { return rowHeight_; }
    int ClientHeight() const { return clientHeight_; }
    int ClientWidth = 0;
    // Recomputes the visible rows (ClientHeight div RowHeight, less the header, at least 1).
    void SetGeometry(int clientHeight, int rowHeight);
    // After a resize: the page is kept full at the end of the list.
    void Resized(int clientHeight, int rowHeight);

    // ---- vertical scroll bar: positions are items, unscaled ----
    // Largest top a thumb can set (0 when everything fits); the page is the visible rows.
    int VScrollMax() const;
    bool VScrollVisible() const;
    void ThumbTo(int position);
    void LineScroll(int delta);   // ±1
    void PageScroll(int pages);   // ±1
    void Wheel(int delta);        // three lines per notch, whatever its size
    void Scroll(int hDelta, int vDelta);

    // ---- owner data ----
    std::string DoOnGetItem(int index) const;
    bool DoOnGetItemStatus(int index) const;
    bool DoOnIsSelected(int index) const;
    void DoOnSelect(int index, bool selected);

    // ---- selection ----
    void SelectAll(bool select);
    void SelectRange(int first, int last, bool select);
    void ExtendSelection(int index);
    void ToggleItem(int index);
    void DragExtend(int index);

    // ---- input ----
    // One editing command of the key tables (ccDown, ccExtendPgUp, user commands ...).
    void DoCommand(int command);
    void DoChar(char ch);
    // Index of the item under a client y (see the rules of dragging above and below the list).
    int ItemAtCursor(int y) const;
    // Header band: true when the press was on it (only the header click event follows).
    bool OnHeader(int y) const { return ShowHeader && y < rowHeight_; }
    void MouseDown(int y, bool ctrl, bool shift);
    void MouseTrack(int y); // with the button held
    void MouseUp();

    // ---- invalidation ----
    void InvalidateItem(int index);
    void RepaintItem(int index);

    // ---- update bracket ----
    void BeginUpdate() { ++updateCount_; }
    // Throws "Mismatched BeginUpdate/EndUpdate" when unbalanced.
    void EndUpdate();
    int UpdateCount() const { return updateCount_; }

    // ---- tab stops (pixels) ----
    int DialogUnitWidth = 1;
    const std::vector<int>& TabStops() const { return tabStops_; }
    // Stops in dialog units; answers 0 when more than 128 were given (128 kept), else 1.
    int SetTabStops(int count, const int* dialogUnits);

    // ---- list-box messages ----
    intptr_t Perform(TListBoxMessage message, uintptr_t wParam, intptr_t lParam);

private:
    void MoveTo(int target);
    void ExtendTo(int target);
    void ScrollIntoView(int index);
    void Invalidate()
    {
        if (view_)
            view_->InvalidateAll();
    }
    void Update()
    {
        if (view_)
            view_->UpdateNow();
    }

    TVirtualListView* view_;
    int numItems_ = kDefaultNumItems;
    int itemIndex_ = -1;
    int topIndex_ = 0;
    int rows_ = 1;
    int rowHeight_ = 17;
    int clientHeight_ = 0;
    int hOffset_ = 0;
    int anchor_ = 0;
    int focusIndex_ = -1;
    int updateCount_ = 0;
    bool tracking_ = false;
    bool firstTrack_ = false;
    std::vector<int> tabStops_;
};

} // namespace korval
