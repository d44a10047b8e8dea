#include "grids/windows/ovc_table.h"

#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPaintEvent>
#include <QPixmap>
#include <QScrollBar>
#include <QWheelEvent>

#include "entry/windows/ovc_base.h"
#include "entry/ovc_command_processor.h"
#include "entry/windows/ovc_controller.h"
#include "entry/windows/ovc_key_map.h"
#include "entry/ovc_strings.h"
#include "entry/ovc_vkeys.h"
#include "grids/windows/ovc_tc_headings.h"

namespace korval {

namespace {

bool IsTableMove(uint16_t cmd)
{
    switch (cmd) {
    case ccBotOfPage: case ccBotRightCell: case ccDown: case ccEnd: case ccFirstPage: case ccHome:
    case ccLastPage: case ccLeft: case ccNextPage: case ccPageLeft: case ccPageRight: case ccPrevPage:
    case ccRight: case ccTopLeftCell: case ccTopOfPage: case ccUp: case ccWordLeft: case ccWordRight:
        return true;
    default:
        return false;
    }
}

uint16_t ExtendedMove(uint16_t cmd)
{
    switch (cmd) {
    case ccExtendDown: return ccDown;
    case ccExtendEnd: return ccEnd;
    case ccExtendHome: return ccHome;
    case ccExtendLeft: return ccLeft;
    case ccExtendPgDn: return ccNextPage;
    case ccExtendPgUp: return ccPrevPage;
    case ccExtendRight: return ccRight;
    case ccExtendUp: return ccUp;
    case ccExtBotOfPage: return ccBotOfPage;
    case ccExtFirstPage: return ccFirstPage;
    case ccExtLastPage: return ccLastPage;
    case ccExtTopOfPage: return ccTopOfPage;
    case ccExtWordLeft: return ccWordLeft;
    case ccExtWordRight: return ccWordRight;
    default: return ccNone;
    }
}

Qt::PenStyle QtPenStyle(TPenStyle s)
{
    switch (s) {
    case psDash: return Qt::DashLine;
    case psDot: return Qt::DotLine;
    case psDashDot: return Qt::DashDotLine;
    case psDashDotDot: return Qt::DashDotDotLine;
    case psClear: return Qt::NoPen;
    default: return Qt::SolidLine;
    }
}

// The command table the table's keys go through.
const std::vector<std::string>& GridTables()
{
    static const std::vector<std::string> names{GetLibraryString(SCGridTableName)};
    return names;
}

} // namespace

TOvcTable::TOvcTable(QWidget* parent) : QAbstractScrollArea(parent)
{
    // Clicks take the focus by hand, so that a click never pulls it from an editor whose value
    // is refused before the table has asked the editor.
    setFocusPolicy(Qt::TabFocus);
    setAttribute(Qt::WA_KeyCompression, false);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    viewport()->setMouseTracking(true);
    setFrameShape(QFrame::StyledPanel);
    verticalScrollBar()->setTracking(false);
    horizontalScrollBar()->setTracking(false);
    resize(300, 100);
}

TOvcTable::~TOvcTable()
{
    destroying_ = true;
}

TOvcController* TOvcTable::Controller() const
{
    if (controller_)
        return controller_;
    return FindController(GetImmediateParentForm(this));
}

TOvcCommandProcessor& TOvcTable::Processor() const
{
    if (TOvcController* c = Controller())
        return c->EntryCommands();
    if (!ownProcessor_)
        ownProcessor_ = std::make_unique<TOvcCommandProcessor>();
    return *ownProcessor_;
}

void TOvcTable::SetScrollBars(TOvcScrollBars value)
{
    scrollBars_ = value;
    ScrollBarsChanged();
}

TOvcBaseTableCell* TOvcTable::GetCell(int rowNum, int colNum) const
{
    return dynamic_cast<TOvcBaseTableCell*>(GetCellObject(rowNum, colNum));
}

QWidget* TOvcTable::Editor() const
{
    return editingCell_ ? editingCell_->CellEditor() : nullptr;
}

QRect TOvcTable::CellRectOf(int rowNum, int colNum) const
{
    int x = 0, y = 0, w = 0, h = 0;
    if (!CellRect(rowNum, colNum, x, y, w, h))
        return {};
    return QRect(x, y, w, h);
}

QRect TOvcTable::EditorRectOf(int rowNum, int colNum) const
{
    const QRect r = CellRectOf(rowNum, colNum);
    return r.isEmpty() ? r : r.adjusted(0, 0, -1, -1);
}

void TOvcTable::CreateWnd()
{
    if (created_)
        return;
    created_ = true;
    SyncClientSize();
    WindowCreated();
}

void TOvcTable::SyncClientSize()
{
    SetClientSize(viewport()->width(), viewport()->height());
}

// ---- attributes and keys for the cells

void TOvcTable::ResolveCellAttributes(int rowNum, int colNum, TOvcCellAttributes& a)
{
    ResolveCellAttr(rowNum, colNum, a);
    if (a.CellFont) {
        if (!a.CellFont->Name.empty())
            a.Font.setFamily(QString::fromStdString(a.CellFont->Name));
        if (a.CellFont->Size > 0)
            a.Font.setPointSize(a.CellFont->Size);
        a.Font.setBold(a.CellFont->Bold);
        a.Font.setItalic(a.CellFont->Italic);
    }
    if (!destroying_ && OnGetCellAttributes)
        OnGetCellAttributes(rowNum, colNum, a);
}

int TOvcTable::GetKeyNeeds(uint8_t key, uint8_t shift) const
{
    const uint16_t cmd = Processor().PeekUsing(GridTables(), key, shift);
    if (IsTableMove(cmd))
        return 1;
    if (cmd == ccTableEdit || key == VK_ESCAPE || (key == VK_TAB && Options().Contains(otoTabToArrow)) ||
        (key == VK_RETURN && Options().Contains(otoEnterToArrow)))
        return 2;
    return 0;
}

void TOvcTable::PostKey(int qtKey, Qt::KeyboardModifiers modifiers, const QString& text)
{
    QPointer<TOvcTable> self(this);
    QMetaObject::invokeMethod(
        this,
        [self, qtKey, modifiers, text] {
            if (!self)
                return;
            QKeyEvent ev(QEvent::KeyPress, qtKey, modifiers, text);
            self->TableKeyDown(&ev);
        },
        Qt::QueuedConnection);
}

// ---- editing

void TOvcTable::DoSizeCellEditor(int rowNum, int colNum, QRect& cellRect, TOvcTblEditorStyle& cellStyle)
{
    if (OnSizeCellEditor)
        OnSizeCellEditor(rowNum, colNum, cellRect, cellStyle);
}

bool TOvcTable::StartEditingState()
{
    if (InEditingState())
        return true;
    bool allow = true;
    DoBeginEdit(ActiveRow(), ActiveCol(), allow);
    if (!allow)
        return false;
    bool started = false;
    SetAllowRedraw(false);
    try {
        MakeActiveCellVisible();
        TOvcBaseTableCell* cell = GetCell(ActiveRow(), ActiveCol());
        if (cell) {
            TOvcCellAttributes a;
            a.Font = font();
            cell->ResolveAttributes(ActiveRow(), ActiveCol(), a);
            if (a.Access == otxNormal) {
                a.Color = Colors().Editing;
                a.TextColor = Colors().EditingText;
                QRect r = EditorRectOf(ActiveRow(), ActiveCol());
                TOvcTblEditorStyle style = tesNormal;
                DoSizeCellEditor(ActiveRow(), ActiveCol(), r, style);
                DoEnteringColumn(ActiveCol());
                DoEnteringRow(ActiveRow());
                TOvcCellData data;
                DoGetCellData(ActiveRow(), ActiveCol(), data, cdpForEdit);
                cell->StartEditing(ActiveRow(), ActiveCol(), r, a, style, data);
                if (QWidget* ed = cell->CellEditor()) {
                    editingCell_ = cell;
                    SetEditing(true);
                    SetFocused(true);
                    ed->setFocus(Qt::OtherFocusReason);
                    started = true;
                }
            }
        }
    } catch (const std::exception& ex) {
        SetAllowRedraw(true);
        HandleControlException(ex);
        return false;
    }
    SetAllowRedraw(true);
    return started;
}

bool TOvcTable::StopEditingState(bool saveValue)
{
    if (!InEditingState() || !editingCell_)
        return true;
    TOvcBaseTableCell* cell = editingCell_;
    if (!cell->CanSaveEditedData(saveValue))
        return false;
    bool allow = true;
    DoEndEdit(cell, ActiveRow(), ActiveCol(), allow);
    if (!allow)
        return false;
    QWidget* ed = cell->CellEditor();
    const bool hadFocus = ed && ed->hasFocus();
    DoEnteringColumn(ActiveCol());
    DoEnteringRow(ActiveRow());
    TOvcCellData data;
    DoGetCellData(ActiveRow(), ActiveCol(), data, cdpForSave);
    if (ed)
        viewport()->update(ed->geometry());
    // The editor is hidden before the focus moves, so that it does not validate again.
    cell->StopEditing(saveValue, data);
    editingCell_ = nullptr;
    SetEditing(false);
    DoDoneEdit(ActiveRow(), ActiveCol());
    if (!Options().Contains(otoAlwaysEditing))
        InvalidateCell(ActiveRow(), ActiveCol());
    if (hadFocus)
        setFocus(Qt::OtherFocusReason);
    else if (!hasFocus())
        SetFocused(false);
    return true;
}

void TOvcTable::PostStartEditing()
{
    QPointer<TOvcTable> self(this);
    QMetaObject::invokeMethod(
        this,
        [self] {
            if (self && !self->StartEditingState())
                self->InvalidateCell(self->ActiveRow(), self->ActiveCol());
        },
        Qt::QueuedConnection);
}

void TOvcTable::HideEditorForLock()
{
    QWidget* ed = Editor();
    if (!ed)
        return;
    viewport()->update(ed->geometry());
    editorHadFocus_ = ed->hasFocus();
    editingCell_->EditHide();
    SetEditing(true, true);
    if (editorHadFocus_)
        setFocus(Qt::OtherFocusReason);
}

void TOvcTable::ShowEditorAfterLock()
{
    if (!editingCell_)
        return;
    QRect r = EditorRectOf(ActiveRow(), ActiveCol());
    TOvcTblEditorStyle style = tesNormal;
    DoSizeCellEditor(ActiveRow(), ActiveCol(), r, style);
    SetEditing(true);
    if (r.isEmpty())
        return;  // scrolled away: the editor stays hidden until its cell is back
    editingCell_->EditMove(r);
    if (editorHadFocus_ || hasFocus())
        if (QWidget* ed = Editor())
            ed->setFocus(Qt::OtherFocusReason);
}

void TOvcTable::EditorCellMoved()
{
    if (!editingCell_ || EditorHidden())
        return;
    const QRect r = EditorRectOf(ActiveRow(), ActiveCol());
    if (r.isEmpty())
        editingCell_->EditHide();
    else
        editingCell_->EditMove(r);
}

void TOvcTable::CellGone(TOvcTableCellAncestor* cell)
{
    // The cell being edited went away: its editor went with it.
    if (cell && cell == editingCell_) {
        editingCell_ = nullptr;
        SetEditing(false);
        InvalidateCell(ActiveRow(), ActiveCol());
    }
}

void TOvcTable::PassKeyToEditor(const QKeyEvent* e)
{
    if (QWidget* ed = Editor()) {
        QKeyEvent copy(e->type(), e->key(), e->modifiers(), e->text(), e->isAutoRepeat(), e->count());
        QApplication::sendEvent(ed, &copy);
    }
}

void TOvcTable::PassClickToEditor(const QMouseEvent* e)
{
    QWidget* ed = Editor();
    if (!ed)
        return;
    ed->setFocus(Qt::MouseFocusReason);
    const QPointF local = ed->mapFrom(viewport(), e->position().toPoint());
    QMouseEvent copy(QEvent::MouseButtonPress, local, e->globalPosition(), e->button(), e->buttons(),
                     e->modifiers());
    QApplication::sendEvent(ed, &copy);
}

void TOvcTable::DoColumnsChanged(int c1, int c2, TOvcTblActions action)
{
    for (TOvcTableCellAncestor* c : AttachedCells())
        if (auto* head = dynamic_cast<TOvcTCColHead*>(c))
            head->ColumnsChanged(c1, c2, action);
    TOvcTableModel::DoColumnsChanged(c1, c2, action);
}

// ---- keys

bool TOvcTable::event(QEvent* e)
{
    // Tab moves between cells when the options say so, not between the form's controls.
    if (e->type() == QEvent::KeyPress && Options().Contains(otoTabToArrow)) {
        auto* ke = static_cast<QKeyEvent*>(e);
        if (ke->key() == Qt::Key_Tab || ke->key() == Qt::Key_Backtab) {
            keyPressEvent(ke);
            return true;
        }
    }
    return QAbstractScrollArea::event(e);
}

void TOvcTable::keyPressEvent(QKeyEvent* e)
{
    try {
        TableKeyDown(e);
    } catch (const std::exception& ex) {
        HandleControlException(ex);
    }
    e->accept();
}

void TOvcTable::TableKeyDown(QKeyEvent* e)
{
    const TOvcKey k = OvcKeyFromEvent(e);
    if (k.Key == 0 || k.Key == VK_SHIFT || k.Key == VK_CONTROL || k.Key == VK_MENU)
        return;
    uint16_t cmd = ccNotCommand;
    if (k.Key == VK_TAB && Options().Contains(otoTabToArrow)) {
        cmd = k.Shift == 0 ? ccRight : k.Shift == ss_Shift ? ccLeft : ccNone;
    } else if (k.Key == VK_RETURN && Options().Contains(otoEnterToArrow)) {
        cmd = k.Shift == 0 ? ccRight : ccNone;
    } else {
        cmd = Processor().TranslateUsing(GridTables(), k.Key, k.Shift);
    }
    if (!InEditingState()) {
        if (cmd == ccTableEdit) {
            if (!StartEditingState())
                InvalidateCell(ActiveRow(), ActiveCol());
            return;
        }
        if (cmd == ccNotCommand) {
            const bool typing = k.Key == VK_SPACE || (k.Key >= 48 && k.Key <= 111) || k.Key >= 186;
            if (typing && (k.Shift & ss_Ctrl) == 0 && StartEditingState())
                PassKeyToEditor(e);
            return;
        }
    } else if (!Options().Contains(otoAlwaysEditing)) {
        if (cmd == ccTableEdit || k.Key == VK_ESCAPE) {
            StopEditingState(k.Key != VK_ESCAPE);
            return;
        }
    }
    ExtendingByKeys = false;
    if (IsTableMove(cmd)) {
        ProcessCommand(cmd);
    } else if (cmd == ccCopy) {
        if (OnClipboardCopy)
            OnClipboardCopy();
    } else if (cmd == ccCut) {
        if (OnClipboardCut)
            OnClipboardCut();
    } else if (cmd == ccPaste) {
        if (OnClipboardPaste)
            OnClipboardPaste();
    } else if (uint16_t move = ExtendedMove(cmd); move != ccNone) {
        ExtendingByKeys = true;
        ProcessCommand(move);
    } else if (cmd >= ccUserFirst) {
        DoUserCommand(cmd);
    }
}

// ---- focus

void TOvcTable::focusInEvent(QFocusEvent* e)
{
    QAbstractScrollArea::focusInEvent(e);
    Processor().ResetCommandProcessor();
    if (!created_)
        CreateWnd();
    SetFocused(true);
    if (InEditingState()) {
        QWidget* ed = Editor();
        if (ed && ed->isVisible()) {
            // Shift+Tab out of the editor leaves the table for the control before it.
            if (e->reason() == Qt::BacktabFocusReason)
                focusNextPrevChild(false);
            else
                ed->setFocus(Qt::OtherFocusReason);
        }
        return;
    }
    InvalidateCell(ActiveRow(), ActiveCol());
    if (Options().Contains(otoBrowseRow))
        InvalidateRow(ActiveRow());
}

void TOvcTable::focusOutEvent(QFocusEvent* e)
{
    QAbstractScrollArea::focusOutEvent(e);
    if (InEditingState()) {
        QWidget* ed = Editor();
        if (ed && QApplication::focusWidget() == ed)
            return;
    }
    SetFocused(false);
    InvalidateCell(ActiveRow(), ActiveCol());
    if (Options().Contains(otoBrowseRow))
        InvalidateRow(ActiveRow());
}

// ---- mouse

bool TOvcTable::viewportEvent(QEvent* e)
{
    if (e->type() == QEvent::MouseMove) {
        // The split cursors over the resize spots.
        auto* me = static_cast<QMouseEvent*>(e);
        if (!(me->buttons() & Qt::LeftButton) && !InEditingState()) {
            const QPoint pt = me->position().toPoint();
            if (!Options().Contains(otoNoColResizing) && ColResizeSpot(pt.x(), pt.y()) >= 0)
                viewport()->setCursor(Qt::SplitHCursor);
            else if (!Options().Contains(otoNoRowResizing) && RowResizeSpot(pt.x(), pt.y()) >= 0)
                viewport()->setCursor(Qt::SplitVCursor);
            else
                viewport()->unsetCursor();
        }
    }
    return QAbstractScrollArea::viewportEvent(e);
}

void TOvcTable::mousePressEvent(QMouseEvent* e)
{
    if (e->button() != Qt::LeftButton) {
        QAbstractScrollArea::mousePressEvent(e);
        return;
    }
    QWidget* ed = Editor();
    const bool hadFocus = hasFocus() || (ed && ed->hasFocus());
    if (!hadFocus && !InEditingState())
        setFocus(Qt::MouseFocusReason);
    const int x = int(e->position().x()), y = int(e->position().y());
    if (!InEditingState()) {
        const int col = Options().Contains(otoNoColResizing) ? -1 : ColResizeSpot(x, y);
        const int row = col >= 0 || Options().Contains(otoNoRowResizing) ? -1 : RowResizeSpot(x, y);
        if (col >= 0 || row >= 0) {
            resizeCol_ = col;
            resizeRow_ = row;
            sizingPos_ = col >= 0 ? x : y;
            viewport()->update();
            return;
        }
    }
    int r = 0, c = 0;
    const TOvcTblRegion region = HitTest(x, y, r, c);
    const bool shift = e->modifiers() & Qt::ShiftModifier;
    const bool ctrl = e->modifiers() & Qt::ControlModifier;
    if (region == otrInLocked) {
        if (InEditingState() && !StopEditingState(true))
            return;
        const bool rowHead = c < LockedCols() && r >= LockedRows();
        const bool colHead = r < LockedRows() && c >= LockedCols();
        if (((colHead && Options().Contains(otoAllowColMoves)) || (rowHead && Options().Contains(otoAllowRowMoves))) &&
            StartMove(colHead ? -1 : r, colHead ? c : -1, QPoint(x, y)))
            return;
        if (Options().Contains(otoRowSelection) && Options().Contains(otoColSelection) && !rowHead && !colHead)
            SelectAll();
        else if (Options().Contains(otoRowSelection) && rowHead)
            SelectRow(r);
        else if (Options().Contains(otoColSelection) && colHead)
            SelectCol(c);
        DoLockedCellClick(r, c);
        return;
    }
    if (region != otrInMain)
        return;
    bool editNow = false;
    SetAllowRedraw(false);
    int tr = r, tc = c;
    DoActiveCellMoving(ccMouseClick, tr, tc);
    const bool refused = (tr != r || tc != c) && tr == ActiveRow() && tc == ActiveCol() && InEditingState();
    if (!refused) {
        if (!Options().Contains(otoNoSelection)) {
            if (shift) {
                DragSelecting = !ctrl;
                ExtendSelection(tr, tc, ctrl);
            } else {
                CollapseSelection(tr, tc, ctrl);
            }
        }
        editNow = !ctrl && !shift && tr == ActiveRow() && tc == ActiveCol() && hadFocus && !InEditingState();
        MoveToCell(tr, tc);
    }
    SetAllowRedraw(true);
    if (refused)
        return;
    if (editNow && StartEditingState()) {
        PassClickToEditor(e);
    } else if (Options().Contains(otoAlwaysEditing)) {
        if (StartEditingState())
            PassClickToEditor(e);
    } else if (Options().Contains(otoMouseDragSelect) && !InEditingState()) {
        DragSelecting = true;
    } else if (shift) {
        DragSelecting = false;
    }
}

void TOvcTable::mouseMoveEvent(QMouseEvent* e)
{
    const int x = int(e->position().x()), y = int(e->position().y());
    if (resizeCol_ >= 0 || resizeRow_ >= 0) {
        sizingPos_ = resizeCol_ >= 0 ? x : y;
        viewport()->update();
        return;
    }
    if (drag_) {
        drag_->DragMove(QPoint(x, y));
        int r = 0, c = 0;
        HitTest(std::clamp(x, 0, viewport()->width() - 1), std::clamp(y, 0, viewport()->height() - 1), r, c);
        dropAt_ = moveCol_ >= 0 ? (c >= LockedCols() ? c : -1) : (r >= LockedRows() ? r : -1);
        viewport()->update();
        return;
    }
    if (!DragSelecting || !(e->buttons() & Qt::LeftButton))
        return;
    if (y < 0)
        ScrollRows(-1);
    else if (y >= viewport()->height())
        ScrollRows(1);
    int r = 0, c = 0;
    HitTest(std::clamp(x, 0, viewport()->width() - 1), std::clamp(y, 0, viewport()->height() - 1), r, c);
    if (r >= LockedRows() && c >= LockedCols() && (r != ActiveRow() || c != ActiveCol())) {
        SetAllowRedraw(false);
        ExtendSelection(r, c, false);
        MoveToCell(r, c);
        SetAllowRedraw(true);
    }
}

void TOvcTable::mouseReleaseEvent(QMouseEvent* e)
{
    if (drag_) {
        FinishMove();
        return;
    }
    if (resizeCol_ >= 0) {
        const int w = sizingPos_ - GetColOffset(resizeCol_);
        if (w > 0)
            Columns()[resizeCol_]->SetWidth(w);
    } else if (resizeRow_ >= 0) {
        const int h = sizingPos_ - GetRowOffset(resizeRow_);
        if (h > 0)
            Rows().SetHeight(resizeRow_, h);
    }
    if (resizeCol_ >= 0 || resizeRow_ >= 0)
        viewport()->update();
    resizeCol_ = resizeRow_ = -1;
    DragSelecting = false;
    QAbstractScrollArea::mouseReleaseEvent(e);
}

void TOvcTable::mouseDoubleClickEvent(QMouseEvent* e)
{
    int r = 0, c = 0;
    if (e->button() == Qt::LeftButton &&
        HitTest(int(e->position().x()), int(e->position().y()), r, c) == otrInMain && !Designing()) {
        if (StartEditingState())
            PassClickToEditor(e);
    }
}

void TOvcTable::wheelEvent(QWheelEvent* e)
{
    const int delta = e->angleDelta().y();
    if (e->modifiers() & Qt::ControlModifier)
        ProcessCommand(delta <= 0 ? ccNextPage : ccPrevPage);
    else
        ProcessCommand(delta >= 0 ? ccUp : ccDown);
    e->accept();
}

// ---- scroll bars

void TOvcTable::ScrollBarsChanged()
{
    syncingBars_ = true;
    const bool v = scrollBars_ == ssVertical || scrollBars_ == ssBoth;
    const bool h = scrollBars_ == ssHorizontal || scrollBars_ == ssBoth;
    setVerticalScrollBarPolicy(v ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    setHorizontalScrollBarPolicy(h ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    QScrollBar* vb = verticalScrollBar();
    vb->setRange(VScrollMin(), VScrollMax());
    vb->setPageStep(std::max(1, static_cast<int>(VisibleRows().size()) - LockedRows() - 1));
    vb->setValue(VScrollPos());
    vb->setTracking(Options().Contains(otoThumbTrack));
    QScrollBar* hb = horizontalScrollBar();
    hb->setRange(0, HScrollMax());
    hb->setPageStep(std::max(1, static_cast<int>(VisibleCols().size()) - LockedCols() - 1));
    hb->setValue(HScrollPos());
    hb->setTracking(Options().Contains(otoThumbTrack));
    syncingBars_ = false;
    // The bars may take or give room.
    if (viewport()->width() != ClientWidth() || viewport()->height() != ClientHeight())
        QMetaObject::invokeMethod(this, [this] { SyncClientSize(); }, Qt::QueuedConnection);
}

void TOvcTable::scrollContentsBy(int, int)
{
    if (syncingBars_ || !created_)
        return;
    // An editor holding a value it cannot give up keeps the table where it is.
    if (InEditingState() && editingCell_ && !editingCell_->CanSaveEditedData(true)) {
        ScrollBarsChanged();
        return;
    }
    if (InEditingState() && !StopEditingState(true)) {
        ScrollBarsChanged();
        return;
    }
    if (verticalScrollBar()->value() != TopRow())
        ThumbToRow(verticalScrollBar()->value());
    if (horizontalScrollBar()->value() != HScrollPos())
        ThumbToCol(horizontalScrollBar()->value());
    ScrollBarsChanged();
}

// ---- window

void TOvcTable::showEvent(QShowEvent* e)
{
    QAbstractScrollArea::showEvent(e);
    CreateWnd();
}

void TOvcTable::resizeEvent(QResizeEvent* e)
{
    QAbstractScrollArea::resizeEvent(e);
    if (created_)
        SyncClientSize();
}

void TOvcTable::PaintInvalidCells(const TOvcCellArray& cells)
{
    if (cells.Everything()) {
        viewport()->update();
        return;
    }
    for (const TOvcCellPos& p : cells.Cells()) {
        const QRect r = CellRectOf(p.Row, p.Col);
        if (!r.isEmpty())
            viewport()->update(r);
    }
}

void TOvcTable::paintEvent(QPaintEvent* e)
{
    QPainter p(viewport());
    const QRect clip = e->rect();
    const auto& rows = VisibleRows();
    const auto& cols = VisibleCols();
    for (size_t ri = 0; ri < rows.size(); ++ri) {
        const int top = rows[ri].Offset;
        const int bottom = ri + 1 < rows.size() ? rows[ri + 1].Offset : RowMapEnd();
        if (bottom <= clip.top() || top > clip.bottom())
            continue;
        for (size_t ci = 0; ci < cols.size(); ++ci) {
            const int left = cols[ci].Offset;
            const int right = ci + 1 < cols.size() ? cols[ci + 1].Offset : ColMapEnd();
            if (right <= clip.left() || left > clip.right())
                continue;
            PaintCell(p, rows[ri].Num, cols[ci].Num, QRect(left, top, right - left, bottom - top));
        }
    }
    // The unused area right of the last column and below the last row.
    if (OnPaintUnusedArea) {
        OnPaintUnusedArea();
    } else {
        const QColor unused = ScreenQColor(ColorUnused());
        if (ColMapEnd() < viewport()->width())
            p.fillRect(QRect(ColMapEnd(), 0, viewport()->width() - ColMapEnd(), viewport()->height()), unused);
        if (RowMapEnd() < viewport()->height())
            p.fillRect(QRect(0, RowMapEnd(), ColMapEnd(), viewport()->height() - RowMapEnd()), unused);
    }
    PaintActiveFrame(p);
    if (drag_) {
        PaintDropLine(p);
        drag_->Paint(p);
    }
    if (resizeCol_ >= 0 || resizeRow_ >= 0) {
        p.setPen(QPen(Qt::black, 1, Qt::DotLine));
        if (resizeCol_ >= 0)
            p.drawLine(sizingPos_, 0, sizingPos_, viewport()->height());
        else
            p.drawLine(0, sizingPos_, viewport()->width(), sizingPos_);
    }
}

bool TOvcTable::StartMove(int rowNum, int colNum, const QPoint& at)
{
    QRect from;
    if (colNum >= 0) {
        const QRect head = CellRectOf(0, colNum).isEmpty() ? CellRectOf(VisibleRows().front().Num, colNum)
                                                           : CellRectOf(0, colNum);
        from = QRect(head.left(), 0, head.width(), RowMapEnd());
    } else {
        const QRect head = CellRectOf(rowNum, VisibleCols().front().Num);
        from = QRect(0, head.top(), ColMapEnd(), head.height());
    }
    if (from.isEmpty())
        return false;
    // The image of the moved row or column over the button face.
    QPixmap image(from.size());
    image.fill(ScreenQColor(clBtnFace));
    viewport()->render(&image, QPoint(), QRegion(from));
    drag_ = std::make_unique<TOvcDragShow>(image, from, at);
    moveRow_ = rowNum;
    moveCol_ = colNum;
    dropAt_ = colNum >= 0 ? colNum : rowNum;
    viewport()->setCursor(colNum >= 0 ? Qt::SizeHorCursor : Qt::SizeVerCursor);
    return true;
}

void TOvcTable::FinishMove()
{
    const int from = moveCol_ >= 0 ? moveCol_ : moveRow_;
    const int to = dropAt_;
    const bool col = moveCol_ >= 0;
    drag_.reset();
    moveRow_ = moveCol_ = dropAt_ = -1;
    viewport()->unsetCursor();
    // Successive exchanges of neighbours carry the row or column to its new place.
    if (to >= 0 && to != from) {
        SetAllowRedraw(false);
        const int step = to > from ? 1 : -1;
        for (int i = from; i != to; i += step) {
            if (col)
                Columns().Exchange(i, i + step);
            else
                Rows().Exchange(i, i + step);
        }
        SetAllowRedraw(true);
    }
    viewport()->update();
}

void TOvcTable::PaintDropLine(QPainter& p)
{
    if (dropAt_ < 0)
        return;
    p.save();
    p.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    p.setPen(QPen(Qt::white, 3));
    if (moveCol_ >= 0) {
        const int left = GetColOffset(dropAt_);
        if (left >= 0) {
            const int x = dropAt_ > moveCol_ ? left + ColWidth(dropAt_) - 1 : left;
            p.drawLine(x, 0, x, RowMapEnd());
        }
    } else {
        const int top = GetRowOffset(dropAt_);
        if (top >= 0) {
            const int y = dropAt_ > moveRow_ ? top + RowHeight(dropAt_) - 1 : top;
            p.drawLine(0, y, ColMapEnd(), y);
        }
    }
    p.restore();
}

void TOvcTable::PaintCell(QPainter& p, int rowNum, int colNum, const QRect& r)
{
    const bool locked = rowNum < LockedRows() || colNum < LockedCols();
    const bool edited = InEditingState() && rowNum == ActiveRow() && colNum == ActiveCol() && !EditorHidden();
    if (edited) {
        // The editor covers the cell; only its grid lines are the table's.
        PaintGridLines(p, r, locked);
        return;
    }
    TOvcBaseTableCell* cell = GetCell(rowNum, colNum);
    if (cell) {
        TOvcCellAttributes a;
        a.Font = font();
        cell->ResolveAttributes(rowNum, colNum, a);
        TOvcCellData data;
        DoGetCellData(rowNum, colNum, data, cdpForPaint);
        // Each cell paints inside its own rectangle.
        p.setClipRect(r);
        cell->Paint(p, r, rowNum, colNum, a, data);
        p.setClipping(false);
    } else {
        p.fillRect(r, ScreenQColor(Color()));
    }
    PaintGridLines(p, r, locked);
}

void TOvcTable::PaintGridLines(QPainter& p, const QRect& r, bool locked)
{
    const TOvcGridPen& pen = locked ? GridPenSet().LockedGrid() : GridPenSet().NormalGrid();
    if (pen.Effect == geNone || pen.Style == psClear)
        return;
    const QBrush back(ScreenQColor(Color()));
    if (p.background() != back) {
        p.setBackground(back);
        p.setBackgroundMode(Qt::OpaqueMode);
    }
    const int l = r.left(), t = r.top(), rt = r.right(), b = r.bottom();
    auto line = [&](TColor colour, int x1, int y1, int x2, int y2) {
        const QPen qpen(ScreenQColor(colour), 1, QtPenStyle(pen.Style));
        if (p.pen() != qpen)
            p.setPen(qpen);
        p.drawLine(x1, y1, x2, y2);
    };
    switch (pen.Effect) {
    case geVertical: line(pen.NormalColor, rt, t, rt, b); break;
    case geHorizontal: line(pen.NormalColor, l, b, rt, b); break;
    case geBoth:
        line(pen.NormalColor, rt, t, rt, b);
        line(pen.NormalColor, l, b, rt, b);
        break;
    case ge3D:
        line(pen.SecondColor, l, t, rt, t);
        line(pen.SecondColor, l, t, l, b);
        line(pen.NormalColor, rt, t, rt, b);
        line(pen.NormalColor, l, b, rt, b);
        break;
    default: break;
    }
}

void TOvcTable::PaintActiveFrame(QPainter& p)
{
    if (InEditingState())
        return;
    const QRect cell = CellRectOf(ActiveRow(), ActiveCol());
    if (cell.isEmpty())
        return;
    const bool focused = hasFocus();
    const TOvcGridPen& pen = focused ? GridPenSet().CellWhenFocused() : GridPenSet().CellWhenUnfocused();
    if (pen.Effect == geNone || pen.Style == psClear)
        return;
    // One pixel inside the grid lines.
    const QRect r = cell.adjusted(1, 1, -2, -2);
    p.save();
    p.setBackground(ScreenQColor(focused ? Colors().ActiveFocused : Colors().ActiveUnfocused));
    p.setBackgroundMode(Qt::OpaqueMode);
    auto line = [&](TColor colour, int x1, int y1, int x2, int y2) {
        p.setPen(QPen(ScreenQColor(colour), 1, QtPenStyle(pen.Style)));
        p.drawLine(x1, y1, x2, y2);
    };
    const int l = r.left(), t = r.top(), rt = r.right(), b = r.bottom();
    const bool vertical = pen.Effect == geVertical || pen.Effect == geBoth || pen.Effect == ge3D;
    const bool horizontal = pen.Effect == geHorizontal || pen.Effect == geBoth || pen.Effect == ge3D;
    const TColor first = pen.Effect == ge3D ? pen.SecondColor : pen.NormalColor;
    if (horizontal) {
        line(first, l, t, rt, t);
        line(pen.NormalColor, l, b, rt, b);
    }
    if (vertical) {
        line(first, l, t, l, b);
        line(pen.NormalColor, rt, t, rt, b);
    }
    p.restore();
}

} // namespace korval
