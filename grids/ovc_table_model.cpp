#include "grids/ovc_table_model.h"

#include <algorithm>

#include "entry/ovc_command_processor.h"
#include "grids/ovc_table_cell_ancestor.h"

namespace korval {

TOvcTableModel::TOvcTableModel()
    : columns_(std::make_unique<TOvcTableColumns>(this, 10)), cells_(this), selection_(10, 10)
{
    rows_.OnRowChanged = [this](int r1, int r2, TOvcTblActions a) { RowsChanged(r1, r2, a); };
    columns_->SetOnColumnChanged([this](int c1, int c2, TOvcTblActions a) { ColsChanged(c1, c2, a); });
    cells_.OnCellChanged = [this] { InvalidateTable(); };
    colors_.OnColorsChanged = [this] { InvalidateTable(); };
    pens_.OnPenChanged = [this] { InvalidateTable(); };
    BuildMaps();
}

TOvcTableModel::~TOvcTableModel()
{
    destroying_ = true;
    rows_.OnRowChanged = nullptr;
    columns_->SetOnColumnChanged(nullptr);
    cells_.OnCellChanged = nullptr;
    // The cells forget the table before its columns drop their uses.
    for (TOvcTableCellAncestor* c : std::vector<TOvcTableCellAncestor*>(attached_))
        c->SetTable(nullptr);
    attached_.clear();
}

// ---- cells

void TOvcTableModel::CellAttached(TOvcTableCellAncestor* cell)
{
    if (std::find(attached_.begin(), attached_.end(), cell) == attached_.end())
        attached_.push_back(cell);
    cell->OnCellChanged = [this] {
        if (!destroying_ && HandleAllocated())
            InvalidateTable();
    };
}

void TOvcTableModel::CellDetached(TOvcTableCellAncestor* cell)
{
    std::erase(attached_, cell);
    if (!destroying_)
        CellGone(cell);
}

void TOvcTableModel::CellLeaving(TOvcTableCellAncestor* cell)
{
    std::erase(attached_, cell);
    if (destroying_)
        return;
    if (lockedRowsCell_ == cell)
        lockedRowsCell_ = nullptr;
    columns_->CellRemoved(cell);
    cells_.RemoveCell(cell);
    CellGone(cell);
    InvalidateTable();
}

void TOvcTableModel::SetLockedRowsCell(TOvcTableCellAncestor* cell)
{
    if (cell == lockedRowsCell_ || (cell && !cell->Accepts(this)))
        return;
    if (lockedRowsCell_)
        lockedRowsCell_->DecRefs();
    lockedRowsCell_ = cell;
    if (cell)
        cell->IncRefs(this);
    InvalidateTable();
}

TOvcTableCellAncestor* TOvcTableModel::GetCellObject(int rowNum, int colNum) const
{
    if (TOvcTableCellAncestor* c = cells_.GetCell(rowNum, colNum))
        return c;
    if (rowNum >= 0 && rowNum < lockedRows_ && lockedRowsCell_)
        return lockedRowsCell_;
    return columns_->DefaultCell(colNum);
}

// ---- dispatchers

void TOvcTableModel::DoActiveCellChanged(int r, int c)
{
    if (!destroying_ && OnActiveCellChanged)
        OnActiveCellChanged(r, c);
}

void TOvcTableModel::DoActiveCellMoving(uint16_t command, int& r, int& c)
{
    if (destroying_)
        return;
    if (OnActiveCellMoving)
        OnActiveCellMoving(command, r, c);
    if (InEditingState() && (r != activeRow_ || c != activeCol_) && !StopEditingState(true)) {
        r = activeRow_;
        c = activeCol_;
    }
}

void TOvcTableModel::DoBeginEdit(int r, int c, bool& allowIt)
{
    allowIt = !destroying_;
    if (allowIt && OnBeginEdit)
        OnBeginEdit(r, c, allowIt);
}

void TOvcTableModel::DoColumnsChanged(int c1, int c2, TOvcTblActions a)
{
    if (!destroying_ && OnColumnsChanged)
        OnColumnsChanged(c1, c2, a);
}

void TOvcTableModel::DoDoneEdit(int r, int c)
{
    if (!destroying_ && OnDoneEdit)
        OnDoneEdit(r, c);
}

void TOvcTableModel::DoEndEdit(TOvcTableCellAncestor* cell, int r, int c, bool& allowIt)
{
    allowIt = !destroying_;
    if (allowIt && OnEndEdit)
        OnEndEdit(cell, r, c, allowIt);
}

void TOvcTableModel::DoEnteringColumn(int c)
{
    if (c == lastEnteredCol_)
        return;
    lastEnteredCol_ = c;
    if (!destroying_ && OnEnteringColumn)
        OnEnteringColumn(c);
}

void TOvcTableModel::DoEnteringRow(int r)
{
    if (r == lastEnteredRow_)
        return;
    lastEnteredRow_ = r;
    if (!destroying_ && OnEnteringRow)
        OnEnteringRow(r);
}

void TOvcTableModel::DoGetCellData(int r, int c, TOvcCellData& data, TOvcCellDataPurpose purpose)
{
    data = TOvcCellData();
    if (!destroying_ && HandleAllocated() && OnGetCellData)
        OnGetCellData(r, c, data, purpose);
}

void TOvcTableModel::DoLeavingColumn(int c)
{
    if (!destroying_ && OnLeavingColumn)
        OnLeavingColumn(c);
}

void TOvcTableModel::DoLeavingRow(int r)
{
    if (!destroying_ && OnLeavingRow)
        OnLeavingRow(r);
}

void TOvcTableModel::DoLockedCellClick(int r, int c)
{
    if (!destroying_ && OnLockedCellClick)
        OnLockedCellClick(r, c);
}

void TOvcTableModel::DoRowsChanged(int r1, int r2, TOvcTblActions a)
{
    if (!destroying_ && OnRowsChanged)
        OnRowsChanged(r1, r2, a);
}

void TOvcTableModel::DoTopLeftCellChanged(int r, int c)
{
    if (!destroying_ && OnTopLeftCellChanged)
        OnTopLeftCellChanged(r, c);
}

void TOvcTableModel::DoTopLeftCellChanging(int& r, int& c)
{
    if (!destroying_ && OnTopLeftCellChanging)
        OnTopLeftCellChanging(r, c);
}

void TOvcTableModel::DoUserCommand(uint16_t command)
{
    if (!destroying_ && OnUserCommand)
        OnUserCommand(command);
}

bool TOvcTableModel::StopEditingState(bool)
{
    return true;
}

// ---- change notifications of the owned objects

void TOvcTableModel::RowsChanged(int r1, int r2, TOvcTblActions action)
{
    if (destroying_)
        return;
    if (action != taLimitChanged) {
        BuildMaps();
        CalcRanges();
        InvalidateTable();
    }
    DoRowsChanged(r1, r2, action);
}

void TOvcTableModel::ColsChanged(int c1, int c2, TOvcTblActions action)
{
    if (destroying_)
        return;
    BuildMaps();
    CalcRanges();
    InvalidateTable();
    DoColumnsChanged(c1, c2, action);
}

// ---- shape

void TOvcTableModel::SetRowLimit(int value)
{
    if (value == rows_.Limit() || value <= lockedRows_)
        return;
    rows_.SetLimit(value);
    selection_.SetRowCount(value);
    BuildMaps();
    CalcRanges();
    if (activeRow_ >= value)
        SetActiveCell(value - 1, activeCol_);
    if (topRow_ >= value)
        SetTopLeftCell(value - 1, leftCol_);
    if (anchorRow_ >= value)
        anchorRow_ = value - 1;
    InvalidateTable();
    UpdateScrollBars();
}

void TOvcTableModel::SetColCount(int value)
{
    if (value == ColCount() || value <= lockedCols_)
        return;
    selection_.SetColCount(value);
    columns_->SetCount(value);
    CalcRanges();
    if (activeCol_ >= value)
        SetActiveCell(activeRow_, value - 1);
    if (leftCol_ >= value)
        SetTopLeftCell(topRow_, value - 1);
    if (anchorCol_ >= value)
        anchorCol_ = value - 1;
    UpdateScrollBars();
}

void TOvcTableModel::Relayout()
{
    BuildMaps();
    CalcRanges();
    InvalidateTable();
    UpdateScrollBars();
}

void TOvcTableModel::SetLockedRows(int value)
{
    SetLocked(value, true);
}

void TOvcTableModel::SetLockedCols(int value)
{
    SetLocked(value, false);
}

void TOvcTableModel::SetLocked(int value, bool rows)
{
    int& locked = rows ? lockedRows_ : lockedCols_;
    if (!windowReady_) {
        locked = value;
        return;
    }
    if (value == locked || value < 0 || value >= (rows ? RowLimit() : ColCount()))
        return;
    locked = value;
    int& start = rows ? topRow_ : leftCol_;
    int& active = rows ? activeRow_ : activeCol_;
    if (start < value)
        start = rows ? AdjustRow(value, 0) : AdjustCol(value, 0);
    if (active < value)
        active = start;
    Relayout();
}

void TOvcTableModel::SetAccess(TOvcTblAccess value)
{
    if (value == otxDefault)
        value = otxNormal;
    if (value == access_)
        return;
    const bool repaint = value == otxInvisible || access_ == otxInvisible;
    access_ = value;
    if (repaint)
        InvalidateTable();
}

void TOvcTableModel::SetAdjust(TOvcTblAdjust value)
{
    if (value == otaDefault)
        value = otaCenterLeft;
    if (value == adjust_)
        return;
    adjust_ = value;
    InvalidateTable();
}

void TOvcTableModel::SetOptions(TOvcTblOptionSet value)
{
    options_ = value;
    if (selection_.HasSelection()) {
        DragSelecting = false;
        ExtendingByKeys = false;
        CollapseSelection(activeRow_, activeCol_, false);
    }
    const TOvcTblOptionSet selecting{otoMouseDragSelect, otoRowSelection, otoColSelection};
    if (options_.Contains(otoBrowseRow) || options_.Contains(otoAlwaysEditing))
        options_ = (options_ | TOvcTblOptionSet{otoNoRowResizing, otoNoColResizing, otoNoSelection}) - selecting;
    else if (options_.Contains(otoNoSelection))
        options_ = options_ - selecting;
    if (options_.Contains(otoRowSelection))
        options_.Exclude(otoAllowRowMoves);
    if (options_.Contains(otoColSelection))
        options_.Exclude(otoAllowColMoves);
    InvalidateTable();
}

void TOvcTableModel::SetColor(TColor value)
{
    if (value == color_)
        return;
    color_ = value;
    InvalidateTable();
}

void TOvcTableModel::SetColorUnused(TColor value)
{
    SetAllowRedraw(false);
    colorUnused_ = value;
    InvalidateTable();
    SetAllowRedraw(true);
}

// ---- hidden rows and columns

bool TOvcTableModel::RowHidden(int rowNum) const
{
    if (rowNum < 0 || rowNum >= RowLimit())
        return true;
    return rows_.GetHidden(rowNum);
}

bool TOvcTableModel::ColHidden(int colNum) const
{
    const TOvcTableColumn* c = columns_->Items(colNum);
    return !c || c->Hidden();
}

int TOvcTableModel::RowHeight(int rowNum) const
{
    return rows_.GetRow(rowNum).Height;
}

int TOvcTableModel::ColWidth(int colNum) const
{
    const TOvcTableColumn* c = columns_->Items(colNum);
    return c ? c->Width() : 0;
}

namespace {
// The walk of AdjustRow and AdjustCol over indexes locked..limit-1 that skips hidden ones.
template <typename Hidden>
int AdjustIndex(int n, int direction, int locked, int limit, Hidden hidden)
{
    if (n < locked || n >= limit)
        n = locked;
    auto next = [&](int from) {
        for (int i = from + 1; i < limit; ++i)
            if (!hidden(i))
                return i;
        return -1;
    };
    auto prev = [&](int from) {
        for (int i = from - 1; i >= locked; --i)
            if (!hidden(i))
                return i;
        return -1;
    };
    if (direction == 0) {
        if (!hidden(n))
            return n;
        if (int i = next(n); i >= 0)
            return i;
        if (int i = prev(n); i >= 0)
            return i;
        return n;
    }
    const int i = direction > 0 ? next(n) : prev(n);
    return i >= 0 ? i : n;
}
} // namespace

// A number outside the scrollable rows is first replaced by the first scrollable row. Direction
// 0: the row itself when visible, else the next visible one, else the nearest before it;
// 1: the next visible one after it, else itself; -1: the nearest visible one before it (not
// below the first scrollable row), else itself.
int TOvcTableModel::AdjustRow(int rowNum, int direction) const
{
    // Rows without a record are visible: the walks end at once in ordinary tables.
    return AdjustIndex(rowNum, direction, lockedRows_, RowLimit(), [this](int r) { return RowHidden(r); });
}

int TOvcTableModel::AdjustCol(int colNum, int direction) const
{
    return AdjustIndex(colNum, direction, lockedCols_, ColCount(), [this](int c) { return ColHidden(c); });
}

// ---- maps and ranges

namespace {

// The shown entries of one axis: the locked rows or columns from the first, then the scrolled
// ones from start, while they begin inside the window; end is where the last one ends.
template <class Hidden, class Extent>
std::vector<TOvcTableModel::TVisEntry> BuildAxisMap(int locked, int start, int count, int client, Hidden hidden,
                                                    Extent extent, int& end)
{
    std::vector<TOvcTableModel::TVisEntry> map;
    int at = 0;
    auto run = [&](int from, int to) {
        for (int n = from; n < to && at < client; ++n) {
            if (hidden(n))
                continue;
            map.push_back({n, at});
            at += extent(n);
        }
    };
    run(0, std::min(locked, count));
    run(std::max(start, locked), count);
    end = at;
    return map;
}

} // namespace

std::vector<TOvcTableModel::TVisEntry> TOvcTableModel::BuildRowMap(int top, int& end) const
{
    return BuildAxisMap(lockedRows_, top, RowLimit(), clientH_, [this](int r) { return RowHidden(r); },
                        [this](int r) { return RowHeight(r); }, end);
}

std::vector<TOvcTableModel::TVisEntry> TOvcTableModel::BuildColMap(int left, int& end) const
{
    return BuildAxisMap(lockedCols_, left, ColCount(), clientW_, [this](int c) { return ColHidden(c); },
                        [this](int c) { return ColWidth(c); }, end);
}

void TOvcTableModel::BuildMaps()
{
    vRows_ = BuildRowMap(topRow_, vRowsEnd_);
    vCols_ = BuildColMap(leftCol_, vColsEnd_);
}

void TOvcTableModel::CalcRanges()
{
    // Rows: the largest top row is the highest from which the rows to the end leave no room.
    if (RowLimit() <= lockedRows_) {
        maxTopRow_ = lockedRows_;
    } else {
        int cur = AdjustRow(RowLimit() - 1, 0);
        int end = 0;
        BuildRowMap(cur, end);
        if (clientH_ > end) {
            for (;;) {
                const int cand = AdjustRow(cur, -1);
                if (cand == cur)
                    break;
                BuildRowMap(cand, end);
                if (clientH_ <= end)
                    break;
                cur = cand;
            }
        }
        maxTopRow_ = cur;
    }
    if (ColCount() <= lockedCols_) {
        maxLeftCol_ = lockedCols_;
    } else {
        int cur = AdjustCol(ColCount() - 1, 0);
        int end = 0;
        BuildColMap(cur, end);
        if (clientW_ >= end) {
            for (;;) {
                const int cand = AdjustCol(cur, -1);
                if (cand == cur)
                    break;
                BuildColMap(cand, end);
                if (clientW_ <= end)
                    break;
                cur = cand;
            }
        }
        maxLeftCol_ = cur;
    }
    if (topRow_ > maxTopRow_) {
        topRow_ = maxTopRow_;
        BuildMaps();
    }
    if (leftCol_ > maxLeftCol_) {
        leftCol_ = maxLeftCol_;
        BuildMaps();
    }
}

void TOvcTableModel::SetClientSize(int width, int height)
{
    if (width == clientW_ && height == clientH_)
        return;
    clientW_ = std::max(width, 0);
    clientH_ = std::max(height, 0);
    Relayout();
}

int TOvcTableModel::RowOnScreen(int rowNum) const
{
    // Locked rows first, then ascending scrollable rows: the map is sorted by number.
    auto it = std::lower_bound(vRows_.begin(), vRows_.end(), rowNum,
                               [](const TVisEntry& e, int n) { return e.Num < n; });
    return it != vRows_.end() && it->Num == rowNum ? static_cast<int>(it - vRows_.begin()) : -1;
}

int TOvcTableModel::ColOnScreen(int colNum) const
{
    auto it = std::lower_bound(vCols_.begin(), vCols_.end(), colNum,
                               [](const TVisEntry& e, int n) { return e.Num < n; });
    return it != vCols_.end() && it->Num == colNum ? static_cast<int>(it - vCols_.begin()) : -1;
}

int TOvcTableModel::GetRowOffset(int rowNum) const
{
    const int i = RowOnScreen(rowNum);
    return i < 0 ? -1 : vRows_[i].Offset;
}

int TOvcTableModel::GetColOffset(int colNum) const
{
    const int i = ColOnScreen(colNum);
    return i < 0 ? -1 : vCols_[i].Offset;
}

bool TOvcTableModel::CellRect(int rowNum, int colNum, int& x, int& y, int& w, int& h) const
{
    const int ri = RowOnScreen(rowNum), ci = ColOnScreen(colNum);
    if (ri < 0 || ci < 0)
        return false;
    x = vCols_[ci].Offset;
    y = vRows_[ri].Offset;
    w = (ci + 1 < static_cast<int>(vCols_.size()) ? vCols_[ci + 1].Offset : vColsEnd_) - x;
    h = (ri + 1 < static_cast<int>(vRows_.size()) ? vRows_[ri + 1].Offset : vRowsEnd_) - y;
    return true;
}

TOvcTblRegion TOvcTableModel::HitTest(int x, int y, int& rowNum, int& colNum) const
{
    auto find = [](const std::vector<TVisEntry>& map, int end, int v) {
        if (v < 0)
            return -2;
        if (v >= end || map.empty())
            return -1;
        auto it = std::upper_bound(map.begin(), map.end(), v, [](int p, const TVisEntry& e) { return p < e.Offset; });
        return std::prev(it)->Num;
    };
    colNum = find(vCols_, vColsEnd_, x);
    rowNum = find(vRows_, vRowsEnd_, y);
    if (x < 0 || y < 0 || x >= clientW_ || y >= clientH_)
        return otrOutside;
    if (rowNum < 0 || colNum < 0)
        return otrInUnused;
    return rowNum < lockedRows_ || colNum < lockedCols_ ? otrInLocked : otrInMain;
}

// Sizing spots lie in the locked band of the other axis (the row headings for rows): an edge of
// a visible row (column) within two pixels of the point.
int TOvcTableModel::ResizeSpot(bool rows, int x, int y) const
{
    const std::vector<TVisEntry>& band = rows ? vCols_ : vRows_;
    const std::vector<TVisEntry>& edges = rows ? vRows_ : vCols_;
    const int locked = rows ? lockedCols_ : lockedRows_;
    const int inBand = rows ? x : y, along = rows ? y : x;
    auto bandSize = [&](int n) { return rows ? ColWidth(n) : RowHeight(n); };
    auto edgeSize = [&](int n) { return rows ? RowHeight(n) : ColWidth(n); };
    int bandEnd = 0;
    for (const TVisEntry& e : band)
        if (e.Num < locked)
            bandEnd = e.Offset + bandSize(e.Num);
    if (inBand < 0 || inBand >= bandEnd)
        return -1;
    for (const TVisEntry& e : edges) {
        const int edge = e.Offset + edgeSize(e.Num);
        if (along >= edge - 2 && along <= edge + 2)
            return e.Num;
    }
    return -1;
}

int TOvcTableModel::RowResizeSpot(int x, int y) const { return ResizeSpot(true, x, y); }
int TOvcTableModel::ColResizeSpot(int x, int y) const { return ResizeSpot(false, x, y); }

// ---- scroll bars

int TOvcTableModel::VScrollMax() const
{
    return std::max(maxTopRow_, lockedRows_);
}

int TOvcTableModel::HScrollMax() const
{
    int n = 0;
    for (int c = lockedCols_; c <= maxLeftCol_ && c < ColCount(); ++c)
        if (!ColHidden(c))
            ++n;
    return std::max(n - 1, 0);
}

int TOvcTableModel::HScrollPos() const
{
    int n = 0;
    for (int c = lockedCols_; c < leftCol_ && c < ColCount(); ++c)
        if (!ColHidden(c))
            ++n;
    return n;
}

void TOvcTableModel::ThumbToCol(int pos)
{
    int n = 0;
    for (int c = lockedCols_; c < ColCount(); ++c) {
        if (ColHidden(c))
            continue;
        if (n == pos) {
            SetTopLeftCell(topRow_, c);
            return;
        }
        ++n;
    }
}

void TOvcTableModel::UpdateScrollBars()
{
    if (!windowReady_)
        return;
    if (lock_ > 0) {
        scrollUpdatePending_ = true;
        return;
    }
    ScrollBarsChanged();
}

bool TOvcTableModel::ScrollRows(int delta)
{
    if (InEditingState() && !StopEditingState(true))
        return false;
    SetTopLeftCell(AdjustRow(topRow_, delta < 0 ? -1 : 1), leftCol_);
    return true;
}

bool TOvcTableModel::ScrollCols(int delta)
{
    if (InEditingState() && !StopEditingState(true))
        return false;
    SetTopLeftCell(topRow_, AdjustCol(leftCol_, delta < 0 ? -1 : 1));
    return true;
}

int TOvcTableModel::LastRowOnScreen() const
{
    // The last row that is wholly in the window, else the last one shown at all.
    int last = topRow_;
    for (const TVisEntry& e : vRows_) {
        if (e.Num < lockedRows_)
            continue;
        if (e.Offset + RowHeight(e.Num) <= clientH_ || e.Num == topRow_)
            last = e.Num;
    }
    return last;
}

int TOvcTableModel::LastColOnScreen() const
{
    int last = leftCol_;
    for (const TVisEntry& e : vCols_) {
        if (e.Num < lockedCols_)
            continue;
        if (e.Offset + ColWidth(e.Num) <= clientW_ || e.Num == leftCol_)
            last = e.Num;
    }
    return last;
}

int TOvcTableModel::PageDownTop() const
{
    const int last = LastRowOnScreen();
    return last == topRow_ ? AdjustRow(topRow_, 1) : last;
}

int TOvcTableModel::PageUpTop() const
{
    // The top row that puts the current top row at the bottom of the window.
    const int top = StartEndingWith(topRow_, true);
    return top == topRow_ ? AdjustRow(topRow_, -1) : top;
}

int TOvcTableModel::PageRightLeft() const
{
    const int last = LastColOnScreen();
    return last == leftCol_ ? AdjustCol(leftCol_, 1) : last;
}

int TOvcTableModel::PageLeftLeft() const
{
    const int left = StartEndingWith(leftCol_, false);
    return left == leftCol_ ? AdjustCol(leftCol_, -1) : left;
}

bool TOvcTableModel::ScrollPage(bool down)
{
    if (InEditingState() && !StopEditingState(true))
        return false;
    SetTopLeftCell(down ? PageDownTop() : PageUpTop(), leftCol_);
    return true;
}

bool TOvcTableModel::ScrollPageCols(bool right)
{
    if (InEditingState() && !StopEditingState(true))
        return false;
    SetTopLeftCell(topRow_, right ? PageRightLeft() : PageLeftLeft());
    return true;
}

// ---- top-left and active cell

void TOvcTableModel::SetTopLeftCell(int rowNum, int colNum)
{
    colNum = std::min(colNum, maxLeftCol_);
    rowNum = std::min(rowNum, maxTopRow_);
    rowNum = AdjustRow(rowNum, 0);
    colNum = AdjustCol(colNum, 0);
    DoTopLeftCellChanging(rowNum, colNum);
    if (!windowReady_) {
        topRow_ = rowNum;
        leftCol_ = colNum;
        BuildMaps();
        return;
    }
    if (rowNum == topRow_ && colNum == leftCol_)
        return;
    SetAllowRedraw(false);
    const bool rowsMoved = rowNum != topRow_;
    const bool colsMoved = colNum != leftCol_;
    topRow_ = rowNum;
    leftCol_ = colNum;
    BuildMaps();
    if (rowsMoved || colsMoved)
        InvalidateTable();
    if (InEditingState())
        EditorCellMoved();
    UpdateScrollBars();
    SetAllowRedraw(true);
    DoTopLeftCellChanged(topRow_, leftCol_);
}

std::optional<int> TOvcTableModel::IntoViewStart(int num, bool rows) const
{
    const int lockedCount = rows ? lockedRows_ : lockedCols_;
    const int start = rows ? topRow_ : leftCol_;
    const std::vector<TVisEntry>& visible = rows ? vRows_ : vCols_;
    if (num < lockedCount)
        return std::nullopt;
    if (num < start)
        return num;
    const int i = rows ? RowOnScreen(num) : ColOnScreen(num);
    if (i >= 0 && visible[i].Offset + (rows ? RowHeight(num) : ColWidth(num)) <= (rows ? clientH_ : clientW_))
        return std::nullopt;
    return StartEndingWith(num, rows);
}

int TOvcTableModel::StartEndingWith(int num, bool rows) const
{
    const int lockedCount = rows ? lockedRows_ : lockedCols_;
    const int client = rows ? clientH_ : clientW_;
    auto extent = [&](int n) { return rows ? RowHeight(n) : ColWidth(n); };
    int locked = 0;
    for (const TVisEntry& e : rows ? vRows_ : vCols_)
        if (e.Num < lockedCount)
            locked = e.Offset + extent(e.Num);
    int used = extent(num);
    int first = num;
    for (;;) {
        const int prev = rows ? AdjustRow(first, -1) : AdjustCol(first, -1);
        if (prev == first || locked + used + extent(prev) > client)
            break;
        used += extent(prev);
        first = prev;
    }
    return first;
}

void TOvcTableModel::RowIntoView(int rowNum)
{
    if (const std::optional<int> top = IntoViewStart(rowNum, true))
        SetTopLeftCell(*top, leftCol_);
}

void TOvcTableModel::ColIntoView(int colNum)
{
    if (const std::optional<int> left = IntoViewStart(colNum, false))
        SetTopLeftCell(topRow_, *left);
}

void TOvcTableModel::MakeActiveCellVisible()
{
    RowIntoView(activeRow_);
    ColIntoView(activeCol_);
}

void TOvcTableModel::SetActiveCell(int rowNum, int colNum)
{
    DoActiveCellMoving(0, rowNum, colNum);
    MoveToCell(rowNum, colNum);
}

void TOvcTableModel::MoveActiveCell(int rowNum, int colNum)
{
    rowNum = AdjustRow(rowNum, 0);
    colNum = AdjustCol(colNum, 0);
    if (!options_.Contains(otoNoSelection) && windowReady_) {
        if (DragSelecting || ExtendingByKeys)
            ExtendSelection(rowNum, colNum, false);
        else
            CollapseSelection(rowNum, colNum, false);
    }
    MoveToCell(rowNum, colNum);
}

void TOvcTableModel::MoveToCell(int rowNum, int colNum)
{
    rowNum = AdjustRow(rowNum, 0);
    colNum = AdjustCol(colNum, 0);
    if (rowNum == activeRow_ && colNum == activeCol_)
        return;
    if (!windowReady_ || vRows_.empty() || vCols_.empty()) {
        activeRow_ = rowNum;
        activeCol_ = colNum;
        return;
    }
    SetAllowRedraw(false);
    if (rowNum != activeRow_) {
        if (options_.Contains(otoBrowseRow))
            InvalidateRow(activeRow_);
        DoLeavingRow(activeRow_);
    }
    if (colNum != activeCol_)
        DoLeavingColumn(activeCol_);
    InvalidateCell(activeRow_, activeCol_);
    const bool rowChanged = rowNum != activeRow_;
    activeRow_ = rowNum;
    activeCol_ = colNum;
    if (rowChanged && options_.Contains(otoBrowseRow))
        InvalidateRow(activeRow_);
    RowIntoView(activeRow_);
    ColIntoView(activeCol_);
    if (options_.Contains(otoAlwaysEditing) && !Designing())
        PostStartEditing();
    else
        InvalidateCell(activeRow_, activeCol_);
    UpdateScrollBars();
    SetAllowRedraw(true);
    DoActiveCellChanged(activeRow_, activeCol_);
}

void TOvcTableModel::WindowCreated()
{
    windowReady_ = true;
    lock_ = 0;
    BuildMaps();
    CalcRanges();
    const int top = topRow_, left = leftCol_;
    topRow_ = -1;  // re-applied below so they are clamped and adjusted
    leftCol_ = -1;
    SetTopLeftCell(top, left);
    activeRow_ = AdjustRow(activeRow_, 0);
    activeCol_ = AdjustCol(activeCol_, 0);
    anchorRow_ = activeRow_;
    anchorCol_ = activeCol_;
    BuildMaps();
    InvalidateTable();
    ScrollBarsChanged();
    DoTopLeftCellChanged(topRow_, leftCol_);
    DoActiveCellChanged(activeRow_, activeCol_);
    if (options_.Contains(otoAlwaysEditing) && !Designing())
        PostStartEditing();
}

// ---- commands

int TOvcTableModel::ActiveScrolledIndex(bool rows) const
{
    const int lockedCount = rows ? lockedRows_ : lockedCols_;
    const int active = rows ? activeRow_ : activeCol_;
    int index = -1, k = 0;
    for (const TVisEntry& e : rows ? vRows_ : vCols_) {
        if (e.Num < lockedCount)
            continue;
        if (e.Num == active)
            index = k;
        ++k;
    }
    return index;
}

int TOvcTableModel::ShownAtScrolledIndex(int index, bool rows) const
{
    const int lockedCount = rows ? lockedRows_ : lockedCols_;
    const int start = rows ? topRow_ : leftCol_;
    const int client = rows ? clientH_ : clientW_;
    std::vector<int> shown;
    for (const TVisEntry& e : rows ? vRows_ : vCols_)
        if (e.Num >= lockedCount && (e.Offset + (rows ? RowHeight(e.Num) : ColWidth(e.Num)) <= client || e.Num == start))
            shown.push_back(e.Num);
    if (index < 0 || shown.empty())
        return start;
    return shown[std::min<size_t>(index, shown.size() - 1)];
}

void TOvcTableModel::PageRows(bool down)
{
    // The active row keeps its place on the screen where the new page allows it.
    const int index = ActiveScrolledIndex(true);
    const int newTop = down ? PageDownTop() : PageUpTop();
    int targetRow = activeRow_;
    if (newTop != topRow_) {
        SetTopLeftCell(newTop, leftCol_);
        targetRow = ShownAtScrolledIndex(index, true);
    } else {
        // At the end already: the last (first) row.
        targetRow = down ? AdjustRow(RowLimit() - 1, 0) : AdjustRow(lockedRows_, 0);
        if (!down)
            targetRow = topRow_;
    }
    int r = targetRow, c = activeCol_;
    DoActiveCellMoving(down ? ccNextPage : ccPrevPage, r, c);
    if (r != activeRow_ || c != activeCol_)
        MoveActiveCell(r, c);
}

void TOvcTableModel::PageCols(bool right)
{
    const int index = ActiveScrolledIndex(false);
    const int newLeft = right ? PageRightLeft() : PageLeftLeft();
    int targetCol = activeCol_;
    if (newLeft != leftCol_) {
        SetTopLeftCell(topRow_, newLeft);
        targetCol = ShownAtScrolledIndex(index, false);
    } else {
        targetCol = right ? AdjustCol(ColCount() - 1, 0) : leftCol_;
    }
    int r = activeRow_, c = targetCol;
    DoActiveCellMoving(right ? ccPageRight : ccPageLeft, r, c);
    if (r != activeRow_ || c != activeCol_)
        MoveActiveCell(r, c);
}

void TOvcTableModel::ProcessCommand(uint16_t command)
{
    if (options_.Contains(otoNoSelection))
        ExtendingByKeys = false;
    int r = activeRow_, c = activeCol_;
    const int lastRow = AdjustRow(RowLimit() - 1, 0);
    const int lastCol = AdjustCol(ColCount() - 1, 0);
    switch (command) {
    case ccUp: r = AdjustRow(activeRow_, -1); break;
    case ccDown: r = AdjustRow(activeRow_, 1); break;
    case ccLeft: c = AdjustCol(activeCol_, -1); break;
    case ccRight: c = AdjustCol(activeCol_, 1); break;
    case ccHome: c = AdjustCol(lockedCols_, 0); break;
    case ccEnd: c = lastCol; break;
    case ccTopOfPage: r = topRow_; break;
    case ccBotOfPage: r = LastRowOnScreen(); break;
    case ccFirstPage: r = AdjustRow(lockedRows_, 0); break;
    case ccLastPage: r = lastRow; break;
    case ccTopLeftCell:
        r = AdjustRow(lockedRows_, 0);
        c = AdjustCol(lockedCols_, 0);
        break;
    case ccBotRightCell:
        r = lastRow;
        c = lastCol;
        break;
    case ccNextPage: PageRows(true); return;
    case ccPrevPage: PageRows(false); return;
    case ccPageRight: PageCols(true); return;
    case ccPageLeft: PageCols(false); return;
    default: return;  // ccWordLeft and ccWordRight have no move in a table
    }
    DoActiveCellMoving(command, r, c);
    if (r != activeRow_ || c != activeCol_)
        MoveActiveCell(r, c);
}

// ---- selection

void TOvcTableModel::InvalidateSelectedOnScreen()
{
    for (const TVisEntry& re : vRows_)
        for (const TVisEntry& ce : vCols_)
            if (selection_.IsSelected(re.Num, ce.Num))
                InvalidateCell(re.Num, ce.Num);
}

void TOvcTableModel::InvalidateSelection()
{
    InvalidateSelectedOnScreen();
    selection_.Clear();
}

void TOvcTableModel::CollapseSelection(int rowNum, int colNum, bool add)
{
    SetAllowRedraw(false);
    if (!add)
        InvalidateSelection();
    anchorRow_ = std::clamp(rowNum, lockedRows_, std::max(RowLimit() - 1, lockedRows_));
    anchorCol_ = std::clamp(colNum, lockedCols_, std::max(ColCount() - 1, lockedCols_));
    selection_.Iterate([](int, int, int) { return true; });  // commits the old rectangle
    selection_.ClearPending();
    const bool select = add && !selection_.IsSelected(anchorRow_, anchorCol_);
    if (add)
        selection_.SetPending(anchorRow_, anchorCol_, select);
    InvalidateCell(anchorRow_, anchorCol_);
    SetAllowRedraw(true);
}

void TOvcTableModel::ExtendSelection(int rowNum, int colNum, bool add)
{
    SetAllowRedraw(false);
    InvalidateSelectedOnScreen();
    if (!add)
        selection_.Clear();
    int r1 = anchorRow_, c1 = anchorCol_, c2 = colNum;
    if (options_.Contains(otoBrowseRow)) {
        c1 = lockedCols_;
        c2 = ColCount() - 1;
    }
    selection_.ClearPending();
    selection_.SetPending(r1, c1, true);
    selection_.SetPending(rowNum, c2, DragSelecting || ExtendingByKeys || !add);
    InvalidateSelectedOnScreen();
    SetAllowRedraw(true);
}

void TOvcTableModel::SelectRow(int rowNum)
{
    if (ColCount() > lockedCols_)
        selection_.SelectRange(rowNum, lockedCols_, rowNum, ColCount() - 1);
    InvalidateRow(rowNum);
}

void TOvcTableModel::SelectCol(int colNum)
{
    if (RowLimit() > lockedRows_)
        selection_.SelectRange(lockedRows_, colNum, RowLimit() - 1, colNum);
    InvalidateCol(colNum);
}

void TOvcTableModel::SelectAll()
{
    selection_.SelectAll();
    InvalidateTable();
}

// ---- redraw lock and invalid cells

void TOvcTableModel::SetAllowRedraw(bool value)
{
    if (!value) {
        if (++lock_ == 1 && windowReady_) {
            if (options_.Contains(otoBrowseRow))
                InvalidateRow(activeRow_);
            if (editing_)
                HideEditorForLock();
            else if (!InEditingState())
                InvalidateCell(activeRow_, activeCol_);
        }
        return;
    }
    if (lock_ == 0)
        return;
    if (--lock_ > 0)
        return;
    if (scrollUpdatePending_) {
        scrollUpdatePending_ = false;
        ScrollBarsChanged();
    }
    if (!windowReady_)
        return;
    if (options_.Contains(otoBrowseRow))
        InvalidateRow(activeRow_);
    if (editingHidden_) {
        FlushInvalid();
        ShowEditorAfterLock();
    } else {
        InvalidateCell(activeRow_, activeCol_);
        FlushInvalid();
    }
}

void TOvcTableModel::FlushInvalid()
{
    if (lock_ > 0 || !windowReady_ || invalid_.IsEmpty())
        return;
    TOvcCellArray cells;
    std::swap(cells, invalid_);
    PaintInvalidCells(cells);
}

void TOvcTableModel::InvalidateCell(int rowNum, int colNum)
{
    if (RowOnScreen(rowNum) < 0 || ColOnScreen(colNum) < 0)
        return;
    invalid_.AddCell(rowNum, colNum);
    FlushInvalid();
}

void TOvcTableModel::InvalidateRow(int rowNum)
{
    if (RowOnScreen(rowNum) < 0)
        return;
    for (const TVisEntry& e : vCols_)
        invalid_.AddCell(rowNum, e.Num);
    FlushInvalid();
}

void TOvcTableModel::InvalidateCol(int colNum)
{
    if (ColOnScreen(colNum) < 0)
        return;
    for (const TVisEntry& e : vRows_)
        invalid_.AddCell(e.Num, colNum);
    FlushInvalid();
}

void TOvcTableModel::InvalidateTable()
{
    if (destroying_)
        return;
    invalid_.AddUnusedBit();
    FlushInvalid();
}

void TOvcTableModel::InvalidateCellsInRect(int x, int y, int w, int h)
{
    for (size_t ri = 0; ri < vRows_.size(); ++ri) {
        const int top = vRows_[ri].Offset;
        const int bottom = ri + 1 < vRows_.size() ? vRows_[ri + 1].Offset : vRowsEnd_;
        if (bottom <= y || top >= y + h)
            continue;
        for (size_t ci = 0; ci < vCols_.size(); ++ci) {
            const int left = vCols_[ci].Offset;
            const int right = ci + 1 < vCols_.size() ? vCols_[ci + 1].Offset : vColsEnd_;
            if (right <= x || left >= x + w)
                continue;
            invalid_.AddCell(vRows_[ri].Num, vCols_[ci].Num);
        }
    }
    FlushInvalid();
}

// ---- attributes

void TOvcTableModel::ResolveCellAttr(int rowNum, int colNum, TOvcCellAttr& attr) const
{
    const TOvcCellSettings s = cells_.GetSettings(rowNum, colNum);
    if (s.Access != otxDefault)
        attr.Access = s.Access;
    else if (attr.Access == otxDefault)
        attr.Access = access_;
    if (s.Adjust != otaDefault)
        attr.Adjust = s.Adjust;
    else if (attr.Adjust == otaDefault)
        attr.Adjust = adjust_;
    if (s.Font)
        attr.CellFont = s.Font;
    const bool locked = rowNum < lockedRows_ || colNum < lockedCols_;
    if (rowNum == activeRow_ && colNum == activeCol_ && !locked) {
        if (focused_) {
            if (InEditingState() || (options_.Contains(otoAlwaysEditing) && attr.Access == otxNormal)) {
                attr.Color = colors_.Editing;
                attr.TextColor = colors_.EditingText;
            } else {
                attr.Color = colors_.ActiveFocused;
                attr.TextColor = colors_.ActiveFocusedText;
            }
        } else {
            attr.Color = colors_.ActiveUnfocused;
            attr.TextColor = colors_.ActiveUnfocusedText;
        }
    } else if (rowNum == activeRow_ && !locked && options_.Contains(otoBrowseRow)) {
        attr.Color = focused_ ? colors_.ActiveFocused : colors_.ActiveUnfocused;
        attr.TextColor = focused_ ? colors_.ActiveFocusedText : colors_.ActiveUnfocusedText;
    } else if (!locked && selection_.IsSelected(rowNum, colNum)) {
        attr.Color = colors_.Selected;
        attr.TextColor = colors_.SelectedText;
    } else {
        if (s.Color != clNoColor)
            attr.Color = s.Color;
        else if (locked)
            attr.Color = colors_.Locked;
        if (s.Font)
            attr.TextColor = s.Font->Color;
        else if (locked)
            attr.TextColor = colors_.LockedText;
    }
}

} // namespace korval
