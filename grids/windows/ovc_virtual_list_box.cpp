#include "grids/windows/ovc_virtual_list_box.h"

#include <QFontMetrics>
#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTimer>

#include "grids/windows/grid_keys.h"
#include "grids/tab_stops.h"
#include "platform/windows/win1252.h"

namespace korval {

TOvcVirtualListBox::TOvcVirtualListBox(QWidget* parent) : QAbstractScrollArea(parent)
{
    SetView(this);
    // Tab focus only: a click takes the focus in the press handler, where a pending entry
    // error can still refuse it.
    setFocusPolicy(Qt::TabFocus);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    const QPalette& pal = palette();
    HeaderColor = {pal.color(QPalette::Button), pal.color(QPalette::ButtonText)};
    SelectColor = {pal.color(QPalette::Highlight), pal.color(QPalette::HighlightedText)};
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    resize(100, 150);
    CalcRows();
}

void TOvcVirtualListBox::CalcRows()
{
    QFontMetrics fm(font());
    int rh = RowHeight();
    if (autoRowHeight_)
        rh = fm.height(); // the text height of "Wy"
    DialogUnitWidth = (fm.horizontalAdvance(QString::fromLatin1(kAverageWidthLetters)) / 52) / 4;
    ClientWidth = viewport()->width();
    Resized(viewport()->height(), rh);
}

void TOvcVirtualListBox::SetAutoRowHeight(bool value)
{
    autoRowHeight_ = value;
    CalcRows();
    viewport()->update();
}

void TOvcVirtualListBox::SetRowHeight(int value)
{
    if (value <= 0 || value == RowHeight())
        return;
    autoRowHeight_ = false;
    Resized(viewport()->height(), value);
    viewport()->update();
}

void TOvcVirtualListBox::SetHeader(const std::string& value)
{
    header_ = value;
    viewport()->update();
}

void TOvcVirtualListBox::SetShowHeader(bool value)
{
    ShowHeader = value;
    CalcRows();
    viewport()->update();
}

void TOvcVirtualListBox::SetScrollBars(TScrollStyle value)
{
    scrollBars_ = value;
    HasHBar = value == ssHorizontal || value == ssBoth;
    HasVBar = value == ssVertical || value == ssBoth;
    ScrollBarsChanged();
}

void TOvcVirtualListBox::ScrollBarsChanged()
{
    syncing_ = true;
    QScrollBar* v = verticalScrollBar();
    // Changing a policy lays the area out again: only when it really changes.
    const auto vPolicy = VScrollVisible() ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff;
    if (verticalScrollBarPolicy() != vPolicy)
        setVerticalScrollBarPolicy(vPolicy);
    v->setRange(0, VScrollMax());
    v->setPageStep(Rows());
    v->setSingleStep(1);
    v->setValue(TopIndex());
    QScrollBar* h = horizontalScrollBar();
    const auto hPolicy = HasHBar ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff;
    if (horizontalScrollBarPolicy() != hPolicy)
        setHorizontalScrollBarPolicy(hPolicy);
    h->setRange(0, Columns);
    h->setSingleStep(1);
    h->setPageStep(10);
    h->setValue(HOffset());
    syncing_ = false;
}

void TOvcVirtualListBox::scrollContentsBy(int, int)
{
    if (syncing_)
        return;
    if (verticalScrollBar()->value() != TopIndex())
        ThumbTo(verticalScrollBar()->value());
    if (HasHBar && horizontalScrollBar()->value() != HOffset())
        SetHOffset(horizontalScrollBar()->value());
}

void TOvcVirtualListBox::InvalidateRow(int clientRow)
{
    viewport()->update(0, clientRow * RowHeight(), viewport()->width(), RowHeight());
}

void TOvcVirtualListBox::TopMoved(int delta)
{
    const int header = ShowHeader ? RowHeight() : 0;
    QRect items(0, header, viewport()->width(), Rows() * RowHeight());
    if (std::abs(delta) >= Rows() || UpdateCount() > 0) {
        viewport()->update();
        return;
    }
    // Existing rows move; only the uncovered band is painted again.
    viewport()->scroll(0, -delta * RowHeight(), items);
    viewport()->update(QRect(0, items.bottom() + 1, viewport()->width(), viewport()->height()));
}

void TOvcVirtualListBox::resizeEvent(QResizeEvent* e)
{
    QAbstractScrollArea::resizeEvent(e);
    CalcRows();
}

void TOvcVirtualListBox::changeEvent(QEvent* e)
{
    QAbstractScrollArea::changeEvent(e);
    if (e->type() == QEvent::FontChange) {
        CalcRows();
        viewport()->update();
    }
}

void TOvcVirtualListBox::DrawTabbed(QPainter& p, const QRect& r, const std::string& text, const QColor& fg)
{
    QFontMetrics fm(p.font());
    const int defaultTab = std::max(1, 8 * fm.horizontalAdvance(QLatin1Char('x')));
    auto next = [&](int x) {
        for (int t : TabStops())
            if (t > x)
                return t;
        return (x / defaultTab + 1) * defaultTab;
    };
    // The tab origin moves left by the tabbed extent of the hidden leading characters.
    int x = 0;
    std::vector<std::pair<int, QString>> runs;
    size_t start = 0;
    for (size_t i = 0; i <= text.size(); ++i) {
        if (i == text.size() || text[i] == '\t') {
            QString run = FromWin1252(std::string_view(text).substr(start, i - start));
            runs.push_back({x, run});
            x += fm.horizontalAdvance(run);
            if (i < text.size())
                x = next(x);
            start = i + 1;
        }
    }
    int hidden = 0;
    {
        int hx = 0;
        size_t s = 0;
        const size_t hiddenChars = std::min<size_t>(static_cast<size_t>(HOffset()), text.size());
        for (size_t i = 0; i <= hiddenChars; ++i) {
            if (i == hiddenChars || text[i] == '\t') {
                hx += fm.horizontalAdvance(FromWin1252(std::string_view(text).substr(s, i - s)));
                if (i < hiddenChars)
                    hx = next(hx);
                s = i + 1;
            }
        }
        hidden = hx;
    }
    p.setPen(fg);
    p.save();
    p.setClipRect(r);
    for (const auto& [rx, run] : runs)
        p.drawText(QRect(r.left() + 2 + rx - hidden, r.top(), 32767, r.height()), Qt::AlignLeft | Qt::AlignTop, run);
    p.restore();
}

void TOvcVirtualListBox::DrawRow(QPainter& p, int index, const QRect& rowRect)
{
    const QPalette& pal = palette();
    QColor fg, bg;
    const bool exists = index <= LastIndex();
    if (exists && DoOnGetItemStatus(index)) {
        bg = ProtectColor.BackColor;
        fg = ProtectColor.TextColor;
    } else if (exists && DoOnIsSelected(index)) {
        bg = SelectColor.BackColor;
        fg = SelectColor.TextColor;
    } else {
        bg = pal.color(QPalette::Base);
        fg = pal.color(QPalette::Text);
        if (exists && OnGetItemColor)
            OnGetItemColor(index, fg, bg);
    }
    p.fillRect(rowRect, bg);
    if (!exists)
        return;
    const std::string text = DoOnGetItem(index);
    if (static_cast<int>(text.size()) <= HOffset())
        return;
    if (OwnerDraw && OnDrawItem) {
        OnDrawItem(p, index, rowRect, text.substr(static_cast<size_t>(HOffset())));
    } else if (UseTabStops) {
        DrawTabbed(p, rowRect, text, fg);
    } else {
        p.setPen(fg);
        p.save();
        p.setClipRect(rowRect);
        p.drawText(rowRect.adjusted(2, 0, 0, 0), Qt::AlignLeft | Qt::AlignTop,
                   FromWin1252(std::string_view(text).substr(static_cast<size_t>(HOffset()))));
        p.restore();
    }
}

void TOvcVirtualListBox::paintEvent(QPaintEvent* e)
{
    if (UpdateCount() > 0)
        return;
    QPainter p(viewport());
    p.setFont(font());
    const int w = viewport()->width();
    const int rh = RowHeight();
    const QRect clip = e->rect();
    int y = 0;
    if (ShowHeader) {
        QRect band(0, 0, w, rh);
        if (clip.intersects(band)) {
            p.fillRect(band, HeaderColor.BackColor);
            if (UseTabStops) {
                DrawTabbed(p, band, header_, HeaderColor.TextColor);
            } else if (static_cast<int>(header_.size()) > HOffset()) {
                p.setPen(HeaderColor.TextColor);
                p.drawText(band.adjusted(2, 0, 0, 0), Qt::AlignLeft | Qt::AlignTop,
                           FromWin1252(std::string_view(header_).substr(static_cast<size_t>(HOffset()))));
            }
            p.setPen(Qt::black);
            p.drawLine(0, rh - 1, w - 1, rh - 1);
            p.setPen(palette().color(QPalette::Light));
            p.drawLine(0, 0, 0, rh - 2);
            p.drawLine(0, 0, w - 1, 0);
        }
        y = rh;
    }
    const long long shown = std::min<long long>(Rows(), NumItems());
    for (long long i = 0; i < shown; ++i) {
        QRect row(0, y, w, rh);
        if (clip.intersects(row))
            DrawRow(p, static_cast<int>(TopIndex() + i), row);
        y += rh;
    }
    if (y < viewport()->height())
        p.fillRect(QRect(0, y, w, viewport()->height() - y), palette().color(QPalette::Base));
    const int focus = FocusIndex();
    if (focus >= 0 && hasFocus() && focus >= TopIndex() && focus < static_cast<long long>(TopIndex()) + Rows()) {
        const int fy = (focus - TopIndex() + (ShowHeader ? 1 : 0)) * rh;
        QPen pen(palette().color(QPalette::Text), 1, Qt::DotLine);
        p.setPen(pen);
        p.setBrush(Qt::NoBrush);
        p.drawRect(0, fy, w - 1, rh - 1);
    }
}

void TOvcVirtualListBox::keyPressEvent(QKeyEvent* e)
{
    const uint16_t command = keys_.Translate(e);
    if (command == ccPartial)
        return; // waiting for the second key of a sequence
    if (command != ccNotCommand && command != ccNoPartial && command != ccNone) {
        DoCommand(command);
        return;
    }
    const QString text = e->text();
    if (text.size() == 1 && text[0].unicode() >= 32) {
        std::string bytes = ToWin1252(text);
        char ch = bytes.empty() ? '?' : bytes[0];
        if (OnKeyPress)
            OnKeyPress(ch);
        if (ch)
            DoChar(ch);
        return;
    }
    QAbstractScrollArea::keyPressEvent(e);
}

void TOvcVirtualListBox::mousePressEvent(QMouseEvent* e)
{
    if (e->button() != Qt::LeftButton) {
        QAbstractScrollArea::mousePressEvent(e);
        return;
    }
    // While an entry field holds an unreported error the list does not take the click.
    if (!hasFocus() && keys_.ErrorPending())
        return;
    setFocus(Qt::MouseFocusReason);
    const QPoint pt = e->position().toPoint();
    if (OnHeader(pt.y())) {
        if (OnClickHeader)
            OnClickHeader(pt);
        return;
    }
    pressed_ = true;
    MouseDown(pt.y(), e->modifiers() & Qt::ControlModifier, e->modifiers() & Qt::ShiftModifier);
}

void TOvcVirtualListBox::mouseMoveEvent(QMouseEvent* e)
{
    if (pressed_ && (e->buttons() & Qt::LeftButton))
        MouseTrack(static_cast<int>(e->position().y()));
}

void TOvcVirtualListBox::mouseReleaseEvent(QMouseEvent* e)
{
    if (e->button() != Qt::LeftButton || !pressed_)
        return;
    pressed_ = false;
    MouseUp();
}

void TOvcVirtualListBox::mouseDoubleClickEvent(QMouseEvent* e)
{
    if (ShowHeader && e->position().y() <= RowHeight())
        return; // swallowed on the header band
    if (e->button() == Qt::LeftButton && OnDblClick)
        OnDblClick();
}

void TOvcVirtualListBox::wheelEvent(QWheelEvent* e)
{
    Wheel(e->angleDelta().y());
    e->accept();
}

void TOvcVirtualListBox::focusInEvent(QFocusEvent* e)
{
    QAbstractScrollArea::focusInEvent(e);
    keys_.Reset();
    InvalidateItem(FocusIndex());
    QTimer::singleShot(0, this, [this] {
        if (AfterEnter)
            AfterEnter(this);
    });
}

void TOvcVirtualListBox::focusOutEvent(QFocusEvent* e)
{
    QAbstractScrollArea::focusOutEvent(e);
    InvalidateItem(FocusIndex());
    QTimer::singleShot(0, this, [this] {
        if (AfterExit)
            AfterExit(this);
    });
}

} // namespace korval
