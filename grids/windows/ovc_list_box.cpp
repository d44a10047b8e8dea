#include "grids/windows/ovc_list_box.h"

#include <QFontMetrics>
#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>

#include "grids/tab_stops.h"
#include "platform/windows/win1252.h"

namespace korval {

namespace {
// The horizontal dialog base unit of the system font.
int DialogBaseUnitX(const QFont& font)
{
    QFontMetrics fm(font);
    return std::max(1, (fm.horizontalAdvance(QString::fromLatin1(kAverageWidthLetters)) / 26 + 1) / 2);
}
} // namespace

TOvcCustomListBox::TOvcCustomListBox(QWidget* parent) : QAbstractScrollArea(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    itemHeight_ = QFontMetrics(font()).height() + 2;
    items_.OnChange = [this](TPopupItems::TChange change, int index) { ItemsChanged(change, index); };
    resize(120, 150);
}

void TOvcCustomListBox::ItemsChanged(TPopupItems::TChange change, int index)
{
    if (change == TPopupItems::TChange::Deleted) {
        if (itemIndex_ == index)
            itemIndex_ = -1;
        else if (itemIndex_ > index)
            --itemIndex_;
    } else if (change == TPopupItems::TChange::Inserted) {
        if (itemIndex_ >= index)
            ++itemIndex_;
    } else if (itemIndex_ >= items_.Count()) {
        itemIndex_ = -1;
    }
    topIndex_ = std::clamp(topIndex_, 0, std::max(0, items_.Count() - VisibleRows()));
    ResetHorizontalExtent();
    SyncScrollBars();
    viewport()->update();
}

int TOvcCustomListBox::VisibleRows() const
{
    return std::max(1, viewport()->height() / std::max(1, itemHeight_));
}

void TOvcCustomListBox::SetItemIndex(int index)
{
    if (index < -1 || index >= items_.Count())
        index = -1;
    if (index == itemIndex_)
        return;
    itemIndex_ = index;
    if (index >= 0) {
        if (index < topIndex_)
            SetTopIndex(index);
        else if (index >= topIndex_ + VisibleRows())
            SetTopIndex(index - VisibleRows() + 1);
    }
    viewport()->update();
}

void TOvcCustomListBox::SetTopIndex(int index)
{
    index = std::clamp(index, 0, std::max(0, items_.Count() - VisibleRows()));
    if (index == topIndex_)
        return;
    topIndex_ = index;
    SyncScrollBars();
    viewport()->update();
}

void TOvcCustomListBox::SetItemHeight(int value)
{
    if (value > 0 && value != itemHeight_) {
        itemHeight_ = value;
        SyncScrollBars();
        viewport()->update();
    }
}

QRect TOvcCustomListBox::ItemRect(int index) const
{
    if (index < topIndex_ || index >= items_.Count())
        return {};
    const int y = (index - topIndex_) * itemHeight_;
    if (y >= viewport()->height())
        return {};
    const int x = horizontalScroll_ ? -horizontalScrollBar()->value() : 0;
    return QRect(x, y, std::max(viewport()->width(), horizontalExtent_) - x, itemHeight_);
}

int TOvcCustomListBox::ItemAt(const QPoint& pt) const
{
    if (pt.y() < 0)
        return -1;
    const int index = topIndex_ + pt.y() / itemHeight_;
    return index < items_.Count() ? index : -1;
}

int TOvcCustomListBox::AverageCharWidth() const
{
    return QFontMetrics(font()).horizontalAdvance(QString::fromLatin1(kAverageWidthLetters)) / 52;
}

void TOvcCustomListBox::SetTabStops(const std::vector<std::string>& entries)
{
    std::vector<int> values = ParseTabStops(entries); // throws before anything changes
    tabStopText_ = entries;
    tabStopValues_ = std::move(values);
    RecalcTabStops();
    viewport()->update();
    if (OnTabStopsChange)
        OnTabStopsChange(this);
}

void TOvcCustomListBox::RecalcTabStops()
{
    TTabStopSet set = ComputeTabStops(tabStopValues_, AverageCharWidth(), DialogBaseUnitX(font()));
    tabPixels_ = std::move(set.pixels);
    tabDialogUnits_ = std::move(set.dialogUnits);
    ResetHorizontalExtent();
}

int TOvcCustomListBox::TextExtent(const std::string& text) const
{
    QFontMetrics fm(font());
    if (tabPixels_.empty())
        return fm.horizontalAdvance(FromWin1252(text));
    int x = 0;
    size_t start = 0;
    for (size_t i = 0; i <= text.size(); ++i) {
        if (i == text.size() || text[i] == '\t') {
            x += fm.horizontalAdvance(FromWin1252(std::string_view(text).substr(start, i - start)));
            if (i < text.size()) {
                int next = -1;
                for (int t : tabPixels_)
                    if (t > x) {
                        next = t;
                        break;
                    }
                // Past the last stop, tabs fall on multiples of the last one.
                if (next < 0) {
                    int step = std::max(1, tabPixels_.back());
                    next = (x / step + 1) * step;
                }
                x = next;
            }
            start = i + 1;
        }
    }
    return x;
}

void TOvcCustomListBox::DrawTabbedText(QPainter& p, const QRect& r, const std::string& text) const
{
    QFontMetrics fm(p.font());
    int x = 0;
    size_t start = 0;
    for (size_t i = 0; i <= text.size(); ++i) {
        if (i == text.size() || text[i] == '\t') {
            const QString run = FromWin1252(std::string_view(text).substr(start, i - start));
            p.drawText(QRect(r.left() + x, r.top(), 32767, r.height()), Qt::AlignLeft | Qt::AlignVCenter, run);
            x = TextExtent(text.substr(0, i + (i < text.size() ? 1 : 0)));
            start = i + 1;
        }
    }
}

void TOvcCustomListBox::SetHorizontalScroll(bool value)
{
    if (value == horizontalScroll_)
        return;
    horizontalScroll_ = value;
    setHorizontalScrollBarPolicy(value ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
    ResetHorizontalExtent();
}

void TOvcCustomListBox::ResetHorizontalExtent()
{
    if (!horizontalScroll_) {
        horizontalExtent_ = 0;
        return;
    }
    int widest = 0;
    for (int i = 0; i < items_.Count(); ++i)
        widest = std::max(widest, TextExtent(items_[i]));
    horizontalExtent_ = widest + 5 + ExtentAllowance();
    SyncScrollBars();
}

void TOvcCustomListBox::SyncScrollBars()
{
    syncing_ = true;
    QScrollBar* v = verticalScrollBar();
    v->setRange(0, std::max(0, items_.Count() - VisibleRows()));
    v->setPageStep(VisibleRows());
    v->setValue(topIndex_);
    if (horizontalScroll_) {
        QScrollBar* h = horizontalScrollBar();
        h->setRange(0, std::max(0, horizontalExtent_ - viewport()->width()));
        h->setPageStep(viewport()->width());
    }
    syncing_ = false;
}

void TOvcCustomListBox::scrollContentsBy(int, int)
{
    if (syncing_)
        return;
    topIndex_ = verticalScrollBar()->value();
    viewport()->update();
}

void TOvcCustomListBox::resizeEvent(QResizeEvent* e)
{
    QAbstractScrollArea::resizeEvent(e);
    SyncScrollBars();
}

void TOvcCustomListBox::changeEvent(QEvent* e)
{
    QAbstractScrollArea::changeEvent(e);
    if (e->type() == QEvent::FontChange) {
        RecalcTabStops();
        viewport()->update();
    }
}

void TOvcCustomListBox::DrawItem(QPainter& p, int index, const QRect& rect, bool selected, bool focused)
{
    const QPalette& pal = palette();
    p.fillRect(rect, selected ? pal.color(QPalette::Highlight) : pal.color(QPalette::Base));
    p.setPen(selected ? pal.color(QPalette::HighlightedText) : pal.color(QPalette::Text));
    DrawTabbedText(p, rect.adjusted(2, 0, 0, 0), items_[index]);
    if (focused) {
        p.setPen(QPen(pal.color(QPalette::Text), 1, Qt::DotLine));
        p.drawRect(rect.adjusted(0, 0, -1, -1));
    }
}

void TOvcCustomListBox::paintEvent(QPaintEvent*)
{
    QPainter p(viewport());
    p.setFont(font());
    p.fillRect(viewport()->rect(), palette().color(QPalette::Base));
    for (int i = topIndex_; i < items_.Count(); ++i) {
        QRect r = ItemRect(i);
        if (r.isEmpty())
            break;
        p.save();
        p.setClipRect(r);
        DrawItem(p, i, r, i == itemIndex_, i == itemIndex_ && hasFocus());
        p.restore();
    }
}

void TOvcCustomListBox::PressItem(int index)
{
    setFocus(Qt::MouseFocusReason);
    if (index >= 0)
        SetItemIndex(index);
}

void TOvcCustomListBox::keyPressEvent(QKeyEvent* e)
{
    int target = itemIndex_;
    switch (e->key()) {
    case Qt::Key_Up:
        target = std::max(0, itemIndex_ - 1);
        break;
    case Qt::Key_Down:
        target = std::min(items_.Count() - 1, itemIndex_ + 1);
        break;
    case Qt::Key_PageUp:
        target = std::max(0, itemIndex_ - (VisibleRows() - 1));
        break;
    case Qt::Key_PageDown:
        target = std::min(items_.Count() - 1, itemIndex_ + VisibleRows() - 1);
        break;
    case Qt::Key_Home:
        target = 0;
        break;
    case Qt::Key_End:
        target = items_.Count() - 1;
        break;
    default:
        QAbstractScrollArea::keyPressEvent(e);
        return;
    }
    if (items_.Count() > 0 && target != itemIndex_) {
        SetItemIndex(target);
        if (OnClick)
            OnClick(this);
    }
}

void TOvcCustomListBox::mousePressEvent(QMouseEvent* e)
{
    if (e->button() == Qt::LeftButton)
        PressItem(ItemAt(e->position().toPoint()));
}

void TOvcCustomListBox::mouseReleaseEvent(QMouseEvent* e)
{
    if (e->button() == Qt::LeftButton && OnClick)
        OnClick(this);
}

void TOvcCustomListBox::mouseDoubleClickEvent(QMouseEvent* e)
{
    if (e->button() == Qt::LeftButton && OnDblClick)
        OnDblClick(this);
}

} // namespace korval
