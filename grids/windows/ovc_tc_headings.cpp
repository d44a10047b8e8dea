#include "grids/windows/ovc_tc_headings.h"

#include <QPainter>
#include <QPolygon>
#include <algorithm>

#include "grids/windows/ovc_table.h"

namespace korval {

namespace {

// A small filled triangle beside the text: after the left margin, before the right one, or
// centred, by the alignment.
void PaintMarker(QPainter& p, const QRect& cell, const TOvcCellAttributes& a, int margin)
{
    const int size = std::max(std::min(cell.width(), cell.height()) / 3, 3);
    int x;
    switch (a.Adjust) {
    case otaTopRight: case otaCenterRight: case otaBottomRight:
        x = cell.left() + margin;
        break;
    case otaTopCenter: case otaCenter: case otaBottomCenter:
        x = cell.left() + (cell.width() - size) / 2;
        break;
    default:
        x = cell.right() - margin - size;
        break;
    }
    const int y = cell.top() + (cell.height() - size) / 2;
    QPolygon tri;
    tri << QPoint(x, y) << QPoint(x + size, y + size / 2) << QPoint(x, y + size);
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(ScreenQColor(a.TextColor));
    p.drawPolygon(tri);
    p.restore();
}

} // namespace

TOvcTCHeading::TOvcTCHeading(QObject* owner) : TOvcTCBaseString(owner)
{
    SetAccess(otxReadOnly);
}

void TOvcTCHeading::tcPaint(QPainter& p, const QRect& cellRect, int rowNum, int colNum,
                            const TOvcCellAttributes& a, const TOvcCellData& data)
{
    p.fillRect(cellRect, ScreenQColor(a.Color));
    if (a.Access == otxInvisible)
        return;
    PaintString(p, cellRect, a, TextOf(rowNum, colNum, data));
    const TOvcTable* t = OwnerTable();
    if (showActive_ && t && IsActiveHeading(*t, rowNum, colNum))
        PaintMarker(p, cellRect, a, Margin());
}

TOvcTCColHead::TOvcTCColHead(QObject* owner) : TOvcTCHeading(owner) {}

std::string TOvcTCColHead::TextOf(int, int colNum, const TOvcCellData& data) const
{
    if (showLetters_) {
        const TOvcTable* t = OwnerTable();
        const int locked = t ? t->LockedCols() : 0;
        return colNum >= locked ? ColumnLetters(colNum - locked + 1) : std::string();
    }
    if (const std::string* s = data.AsString())
        return *s;
    if (colNum >= 0 && colNum < static_cast<int>(Headings.size()))
        return Headings[colNum];
    return {};
}

bool TOvcTCColHead::IsActiveHeading(const TOvcTable& table, int, int colNum) const
{
    return colNum == table.ActiveCol();
}

void TOvcTCColHead::ColumnsChanged(int c1, int c2, TOvcTblActions action)
{
    const int count = static_cast<int>(Headings.size());
    switch (action) {
    case taInsert:
        if (c1 >= 0 && c1 <= count)
            Headings.insert(Headings.begin() + c1, std::string());
        break;
    case taDelete:
        if (c1 >= 0 && c1 < count)
            Headings.erase(Headings.begin() + c1);
        break;
    case taExchange:
        if (c1 < 0 || c2 < 0)
            break;
        if (std::max(c1, c2) >= count)
            Headings.resize(std::max(c1, c2) + 1);
        std::swap(Headings[c1], Headings[c2]);
        break;
    default:
        break;
    }
}

TOvcTCRowHead::TOvcTCRowHead(QObject* owner) : TOvcTCHeading(owner) {}

std::string TOvcTCRowHead::TextOf(int rowNum, int, const TOvcCellData& data) const
{
    if (showNumbers_) {
        const TOvcTable* t = OwnerTable();
        const int locked = t ? t->LockedRows() : 0;
        return rowNum >= locked ? std::to_string(rowNum - locked + 1) : std::string();
    }
    const std::string* s = data.AsString();
    return s ? *s : std::string();
}

bool TOvcTCRowHead::IsActiveHeading(const TOvcTable& table, int rowNum, int) const
{
    return rowNum == table.ActiveRow();
}

} // namespace korval
