#include "grids/windows/ovc_base_table_cell.h"

#include <QApplication>
#include <QPainter>
#include <QPalette>

#include "entry/windows/ovc_key_map.h"
#include "grids/windows/ovc_table.h"
#include "platform/windows/win1252.h"

namespace korval {

QColor ScreenQColor(TColor color)
{
    if (color & 0x80000000u) {
        const QPalette pal = QApplication::palette();
        switch (color & 0xFF) {
        case 0x05: return pal.color(QPalette::Base);
        case 0x08: return pal.color(QPalette::Text);
        case 0x0D: return pal.color(QPalette::Highlight);
        case 0x0E: return pal.color(QPalette::HighlightedText);
        case 0x0F: return pal.color(QPalette::Button);
        case 0x10: return pal.color(QPalette::Mid);
        case 0x14: return pal.color(QPalette::Light);
        default: return pal.color(QPalette::Window);
        }
    }
    return QColor(int(color & 0xFF), int((color >> 8) & 0xFF), int((color >> 16) & 0xFF));
}

TOvcBaseTableCell::TOvcBaseTableCell(QObject* owner) : QObject(owner) {}

TOvcBaseTableCell::~TOvcBaseTableCell()
{
    TOvcTableCellAncestor::SetTable(nullptr);
}

TOvcTable* TOvcBaseTableCell::OwnerTable() const
{
    return dynamic_cast<TOvcTable*>(Table());
}

void TOvcBaseTableCell::SetTable(TOvcTableModel* table)
{
    TOvcTableCellAncestor::SetTable(table);
    Changed();
}

void TOvcBaseTableCell::SetAccess(TOvcTblAccess v)
{
    if (v != access_) {
        access_ = v;
        Changed();
    }
}

void TOvcBaseTableCell::SetAdjust(TOvcTblAdjust v)
{
    if (v != adjust_) {
        adjust_ = v;
        Changed();
    }
}

TColor TOvcBaseTableCell::Color() const
{
    if (tableColor_)
        if (const TOvcTable* t = OwnerTable())
            return t->Color();
    return color_;
}

void TOvcBaseTableCell::SetColor(TColor v)
{
    color_ = v;
    tableColor_ = false;
    Changed();
}

void TOvcBaseTableCell::SetTableColor(bool v)
{
    if (v == tableColor_)
        return;
    tableColor_ = v;
    Changed();
}

QFont TOvcBaseTableCell::Font() const
{
    if (tableFont_)
        if (const TOvcTable* t = OwnerTable())
            return t->font();
    return font_;
}

void TOvcBaseTableCell::SetFont(const QFont& f)
{
    font_ = f;
    tableFont_ = false;
    Changed();
}

void TOvcBaseTableCell::SetTableFont(bool v)
{
    if (v == tableFont_)
        return;
    tableFont_ = v;
    Changed();
}

void TOvcBaseTableCell::SetMargin(int v)
{
    if (v < 0 || v == margin_)
        return;
    margin_ = v;
    Changed();
}

void TOvcBaseTableCell::SetTextHiColor(TColor v)
{
    textHiColor_ = v;
    Changed();
}

void TOvcBaseTableCell::SetTextStyle(TOvcTextStyle v)
{
    textStyle_ = v;
    Changed();
}

void TOvcBaseTableCell::TableLookChanged()
{
    Changed();
}

void TOvcBaseTableCell::tcPaint(QPainter& p, const QRect& cellRect, int, int, const TOvcCellAttributes& cellAttr,
                                const TOvcCellData&)
{
    p.fillRect(cellRect, ScreenQColor(cellAttr.Color));
}

int TOvcBaseTableCell::FilterTableKey(const QKeyEvent* e) const
{
    const TOvcTable* t = OwnerTable();
    if (!t)
        return 0;
    const TOvcKey k = OvcKeyFromEvent(e);
    return t->GetKeyNeeds(k.Key, k.Shift);
}

void TOvcBaseTableCell::StartEditing(int, int, const QRect& cellRect, const TOvcCellAttributes&, TOvcTblEditorStyle,
                                     const TOvcCellData&)
{
    editRect_ = cellRect;
}

bool TOvcBaseTableCell::DoOwnerDraw(QPainter& p, const QRect& cellRect, int rowNum, int colNum,
                                    const TOvcCellAttributes& cellAttr, const TOvcCellData& data)
{
    bool done = false;
    if (OnOwnerDraw)
        OnOwnerDraw(p, cellRect, rowNum, colNum, cellAttr, data, done);
    return done;
}

void TOvcBaseTableCell::Paint(QPainter& p, const QRect& cellRect, int rowNum, int colNum,
                              const TOvcCellAttributes& cellAttr, const TOvcCellData& data)
{
    if (!DoOwnerDraw(p, cellRect, rowNum, colNum, cellAttr, data))
        tcPaint(p, cellRect, rowNum, colNum, cellAttr, data);
}

void TOvcBaseTableCell::ResolveAttributes(int rowNum, int colNum, TOvcCellAttributes& a)
{
    a.Access = access_;
    a.Adjust = adjust_;
    a.Color = Color();
    a.Font = Font();
    a.TextColor = clWindowText;
    a.TextHiColor = textHiColor_;
    a.TextStyle = textStyle_;
    if (TOvcTable* t = OwnerTable())
        t->ResolveCellAttributes(rowNum, colNum, a);
    if (a.Access == otxDefault)
        a.Access = otxNormal;
    if (a.Adjust == otaDefault)
        a.Adjust = otaCenterLeft;
    if (a.Color == clNoColor)
        a.Color = clBtnFace;
}

void TOvcBaseTableCell::PostKeyToTable(int qtKey, Qt::KeyboardModifiers modifiers) const
{
    if (TOvcTable* t = OwnerTable())
        t->PostKey(qtKey, modifiers);
}

// ---- string painter

std::string TOvcTCBaseString::TextOf(int, int, const TOvcCellData& data) const
{
    const std::string* s = data.AsString();
    return s ? *s : std::string();
}

void TOvcTCBaseString::tcPaint(QPainter& p, const QRect& cellRect, int rowNum, int colNum,
                               const TOvcCellAttributes& a, const TOvcCellData& data)
{
    p.fillRect(cellRect, ScreenQColor(a.Color));
    if (a.Access == otxInvisible)
        return;
    std::string text;
    if (data.IsNil()) {
        const TOvcTable* t = OwnerTable();
        if (t && t->Designing())
            text = std::to_string(rowNum) + ":" + std::to_string(colNum);
    } else {
        text = TextOf(rowNum, colNum, data);
    }
    PaintString(p, cellRect, a, text);
}

QRect TOvcTCBaseString::PaintString(QPainter& p, const QRect& cellRect, const TOvcCellAttributes& a,
                                    const std::string& s) const
{
    if (s.empty())
        return {};
    const QString text = FromWin1252(s);
    const int m = Margin() / 2;
    const QRect r = cellRect.adjusted(m, m, -m, -m);
    if (p.font() != a.Font)
        p.setFont(a.Font);
    int h = 0, v = 0;  // -1 left or top, 0 centre, 1 right or bottom
    switch (a.Adjust) {
    case otaTopLeft: h = -1; v = -1; break;
    case otaTopCenter: v = -1; break;
    case otaTopRight: h = 1; v = -1; break;
    case otaCenter: break;
    case otaCenterRight: h = 1; break;
    case otaBottomLeft: h = -1; v = 1; break;
    case otaBottomCenter: v = 1; break;
    case otaBottomRight: h = 1; v = 1; break;
    default: h = -1; break;
    }
    auto draw = [&](const QPoint& shift, TColor colour) -> QRect {
        const QPen pen(ScreenQColor(colour));
        if (p.pen() != pen)
            p.setPen(pen);
        if (UseWordWrap()) {
            const int flags = (h < 0 ? Qt::AlignLeft : h > 0 ? Qt::AlignRight : Qt::AlignHCenter) | Qt::AlignTop |
                              Qt::TextWordWrap;
            QRect used;
            p.drawText(r.translated(shift), flags, text, &used);
            return used;
        }
        // One line, placed by hand: the common case of every table paint.
        const QFontMetrics fm(a.Font);
        int hh = h;
        int width = 0;
        if (hh >= 0) {
            width = fm.horizontalAdvance(text);
            // A text wider than the cell starts at the left edge rather than being cut on both sides.
            if (width > r.width())
                hh = -1;
        }
        const int x = hh < 0 ? r.left() : hh > 0 ? r.right() + 1 - width : r.left() + (r.width() - width) / 2;
        const int top = v < 0 ? r.top() : v > 0 ? r.bottom() + 1 - fm.height() : r.top() + (r.height() - fm.height()) / 2;
        p.drawText(QPoint(x, top + fm.ascent()) + shift, text);
        return QRect(x, top, width, fm.height());
    };
    if (a.TextStyle == tsRaised) {
        draw(QPoint(-1, -1), a.TextHiColor);
    } else if (a.TextStyle == tsLowered) {
        draw(QPoint(1, 1), a.TextHiColor);
    }
    return draw(QPoint(), a.TextColor);
}

} // namespace korval
