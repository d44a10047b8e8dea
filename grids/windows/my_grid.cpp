#include "grids/windows/my_grid.h"

#include <QFontMetrics>
#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>

#include "platform/windows/win1252.h"

namespace korval {

TMyGrid::TMyGrid(QWidget* parent) : QAbstractScrollArea(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    viewport()->setMouseTracking(true);
    DefaultRowHeight = QFontMetrics(font()).height();
    SetClientSize(viewport()->width(), viewport()->height());
}

void TMyGrid::ApplyHeader()
{
    BeginUpdate();
    ApplyColumns(QFontMetrics(font()).horizontalAdvance(QLatin1Char('W')));
    if (RowCount < 2) {
        FixedRows = 0;
        Row = 0;
    } else {
        FixedRows = 1;
    }
    // The text height of "Xj": the font's full line height.
    DefaultRowHeight = QFontMetrics(font()).height();
    EndUpdate();
}

void TMyGrid::FontChanged()
{
    if (!Header.empty())
        ApplyHeader();
}

void TMyGrid::Clear()
{
    TMyGridModel::Clear();
    Changed();
}

void TMyGrid::SetRows(int count, int current, int top)
{
    SetClientSize(viewport()->width(), viewport()->height());
    TMyGridModel::SetRows(count, current, top);
    Changed();
}

void TMyGrid::BeginUpdate()
{
    if (TMyGridModel::BeginUpdate())
        viewport()->setUpdatesEnabled(false);
}

void TMyGrid::EndUpdate()
{
    if (TMyGridModel::EndUpdate()) {
        viewport()->setUpdatesEnabled(true);
        Changed();
    }
}

int TMyGrid::ColWidth(int col) const
{
    return col >= 0 && col < ColCount ? ColWidths[static_cast<size_t>(col)] : 0;
}

void TMyGrid::SetColWidth(int col, int width)
{
    if (col < 0 || col >= ColCount || width < 0)
        return;
    ColWidths[static_cast<size_t>(col)] = width;
    Changed();
}

void TMyGrid::SetTopRow(int top)
{
    TMyGridModel::SetTopRow(top);
    Changed();
}

void TMyGrid::SelectRow(int row)
{
    if (row == Row)
        return;
    MoveTo(row);
    Changed();
    if (OnSelectCell)
        OnSelectCell(this, Col, Row);
}

void TMyGrid::Changed()
{
    SyncScrollBars();
    if (UpdateCount == 0)
        viewport()->update();
}

void TMyGrid::SyncScrollBars()
{
    syncing_ = true;
    QScrollBar* v = verticalScrollBar();
    v->setRange(FixedRows, MaxTopRow());
    v->setPageStep(VisibleDataRows());
    v->setValue(TopRow);
    QScrollBar* h = horizontalScrollBar();
    int lastLeft = 0, room = 0;
    for (int c = ColCount - 1; c >= 0; --c) {
        room += ColWidths[static_cast<size_t>(c)] + GridLineWidth;
        if (room > viewport()->width())
            break;
        lastLeft = c;
    }
    h->setRange(0, lastLeft);
    h->setPageStep(1);
    h->setValue(LeftCol);
    syncing_ = false;
}

void TMyGrid::scrollContentsBy(int, int)
{
    if (syncing_)
        return;
    TMyGridModel::SetTopRow(verticalScrollBar()->value());
    LeftCol = std::clamp(horizontalScrollBar()->value(), 0, std::max(0, ColCount - 1));
    viewport()->update();
}

void TMyGrid::resizeEvent(QResizeEvent* e)
{
    QAbstractScrollArea::resizeEvent(e);
    SetClientSize(viewport()->width(), viewport()->height());
    ScrollToRow();
    SyncScrollBars();
}

void TMyGrid::changeEvent(QEvent* e)
{
    QAbstractScrollArea::changeEvent(e);
    if (e->type() == QEvent::FontChange)
        FontChanged();
}

std::string TMyGrid::CellText(int col, int row)
{
    if (row == 0)
        return col < static_cast<int>(Header.size()) ? Header[static_cast<size_t>(col)].caption : std::string();
    if (!OnGetCell)
        {
        std::string text = "(";
        return text.append(std::to_string(row)).append(",").append(std::to_string(col)).append(")");
    }
    std::string value;
    ++cellRequests_;
    OnGetCell(this, col, row, value);
    return value;
}

void TMyGrid::paintEvent(QPaintEvent*)
{
    if (UpdateCount > 0)
        return;
    QPainter p(viewport());
    const QPalette& pal = palette();
    const QColor windowText = pal.color(QPalette::WindowText);
    const QColor lineColor = pal.color(QPalette::Mid);
    p.fillRect(viewport()->rect(), pal.color(QPalette::Base));
    SetClientSize(viewport()->width(), viewport()->height());
    const int pitch = DefaultRowHeight + GridLineWidth;
    const int lastRow = LastVisibleRow();
    const int lastCol = LastVisibleCol();
    auto paintRow = [&](int row) {
        const int y = RowTop(row);
        if (y < 0)
            return;
        int x = 0;
        for (int col = LeftCol; col <= lastCol; ++col) {
            const int w = ColWidths[static_cast<size_t>(col)];
            const QRect cell(x, y, w, DefaultRowHeight);
            const int object = col < static_cast<int>(Header.size()) ? Header[static_cast<size_t>(col)].object : 0;
            const int align = AlignmentOf(object);
            const std::string text = CellText(col, row);
            QColor fg = windowText, bg = pal.color(QPalette::Base);
            if (row < FixedRows || row == 0) {
                bg = pal.color(QPalette::Button);
                fg = pal.color(QPalette::ButtonText);
            } else if (OnGetColor) {
                OnGetColor(this, col, row, fg, bg);
            }
            p.fillRect(cell, bg);
            p.setPen(fg);
            p.save();
            p.setClipRect(cell);
            QRect tr = cell;
            int flags = Qt::AlignTop;
            if (align == gaRight) {
                tr.setRight(cell.right() - 6);
                flags |= Qt::AlignRight;
            } else if (align == gaCenter) {
                flags |= Qt::AlignHCenter;
            } else {
                tr.setLeft(cell.left() + 2);
                flags |= Qt::AlignLeft;
            }
            p.drawText(tr, flags, FromWin1252(text));
            p.restore();
            if (row == Row && row >= FixedRows) {
                QPen pen(windowText, 2);
                p.setPen(pen);
                if (RowSelect) {
                    p.drawLine(cell.left(), cell.top() + 1, cell.right() + 1, cell.top() + 1);
                    p.drawLine(cell.left(), cell.bottom(), cell.right() + 1, cell.bottom());
                } else if (CellFrame && col == Col) {
                    p.drawRect(cell.adjusted(1, 1, -1, -1));
                }
            }
            // Grid lines right and below.
            p.setPen(lineColor);
            p.drawLine(cell.right() + 1, y, cell.right() + 1, y + pitch - 1);
            p.drawLine(x, y + DefaultRowHeight, x + w, y + DefaultRowHeight);
            x += w + GridLineWidth;
        }
    };
    for (int r = 0; r < FixedRows; ++r)
        paintRow(r);
    if (FixedRows == 0 && RowCount >= 1)
        paintRow(0);
    for (int r = std::max(TopRow, FixedRows == 0 ? 1 : FixedRows); r <= lastRow; ++r)
        paintRow(r);
}

void TMyGrid::keyPressEvent(QKeyEvent* e)
{
    int target = Row;
    switch (e->key()) {
    case Qt::Key_Up:
        target = Row - 1;
        break;
    case Qt::Key_Down:
        target = Row + 1;
        break;
    case Qt::Key_PageUp:
        target = Row - VisibleDataRows();
        break;
    case Qt::Key_PageDown:
        target = Row + VisibleDataRows();
        break;
    case Qt::Key_Home:
        if (e->modifiers() & Qt::ControlModifier)
            target = FixedRows;
        break;
    case Qt::Key_End:
        if (e->modifiers() & Qt::ControlModifier)
            target = RowCount - 1;
        break;
    case Qt::Key_Left:
        if (Col > 0) {
            --Col;
            LeftCol = std::min(LeftCol, Col);
            Changed();
        }
        return;
    case Qt::Key_Right:
        if (Col < ColCount - 1) {
            ++Col;
            Changed();
        }
        return;
    default:
        QAbstractScrollArea::keyPressEvent(e);
        return;
    }
    if (RowCount > FixedRows && FixedRows > 0)
        SelectRow(std::clamp(target, FixedRows, RowCount - 1));
}

int TMyGrid::SizingColumnAt(const QPoint& pt) const
{
    if (pt.y() < 0 || pt.y() >= DefaultRowHeight + GridLineWidth)
        return -1;
    for (int c = LeftCol; c < ColCount; ++c) {
        const int left = ColLeft(c);
        if (left < 0)
            break;
        const int edge = left + ColWidths[static_cast<size_t>(c)];
        if (std::abs(pt.x() - edge) <= 2)
            return c;
    }
    return -1;
}

void TMyGrid::mouseMoveEvent(QMouseEvent* e)
{
    const QPoint pt = e->position().toPoint();
    if (sizingCol_ >= 0 && (e->buttons() & Qt::LeftButton)) {
        // Column sizing by dragging the edge in the header row.
        SetColWidth(sizingCol_, std::max(1, pt.x() - ColLeft(sizingCol_)));
        return;
    }
    if (SizingColumnAt(pt) >= 0)
        viewport()->setCursor(Qt::SplitHCursor);
    else
        viewport()->unsetCursor();
}

void TMyGrid::mousePressEvent(QMouseEvent* e)
{
    setFocus(Qt::MouseFocusReason);
    if (e->button() != Qt::LeftButton)
        return;
    const QPoint pt = e->position().toPoint();
    sizingCol_ = SizingColumnAt(pt);
    if (sizingCol_ >= 0)
        return;
    const int row = RowAt(pt.y());
    const int col = ColAt(pt.x());
    if (col >= 0 && col != Col) {
        Col = col;
        viewport()->update();
    }
    if (row >= FixedRows && row > 0)
        SelectRow(row);
}

void TMyGrid::mouseReleaseEvent(QMouseEvent* e)
{
    if (sizingCol_ >= 0) {
        sizingCol_ = -1;
        return;
    }
    if (e->button() == Qt::LeftButton && OnClick)
        OnClick(this);
}

void TMyGrid::mouseDoubleClickEvent(QMouseEvent* e)
{
    if (e->button() == Qt::LeftButton && OnDblClick)
        OnDblClick(this);
}

} // namespace korval
