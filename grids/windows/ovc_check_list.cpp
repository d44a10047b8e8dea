#include "grids/windows/ovc_check_list.h"

#include <QKeyEvent>
#include <QPainter>

#include "platform/windows/win1252.h"

namespace korval {

TOvcCheckList::TOvcCheckList(QWidget* parent) : TOvcCustomListBox(parent)
{
    CheckColor = palette().color(QPalette::WindowText);
    resize(width(), 150);
}

void TOvcCheckList::SetStates(int index, TCheckBoxState state)
{
    if (index < 0 || index >= Items().Count())
        return;
    const TCheckBoxState old = states_.Get(index);
    states_.Set(index, state);
    viewport()->update(ItemRect(index));
    if (OnStateChange)
        OnStateChange(this, index, old, state);
}

void TOvcCheckList::SetAllStates(TCheckBoxState state)
{
    for (int i = 0; i < Items().Count(); ++i)
        SetStates(i, state);
}

void TOvcCheckList::SetBoxMargin(int value)
{
    if (value < 1 || ItemHeight() - 2 * value <= 0 || value == boxMargin_)
        return;
    boxMargin_ = value;
    viewport()->update();
}

void TOvcCheckList::SetGlyphIndex(int item, int glyph)
{
    if (item < 0)
        return;
    if (item >= static_cast<int>(glyphs_.size()))
        glyphs_.resize(static_cast<size_t>(item) + 1, -1);
    glyphs_[static_cast<size_t>(item)] = glyph;
    viewport()->update();
}

int TOvcCheckList::GlyphIndex(int item) const
{
    return item >= 0 && item < static_cast<int>(glyphs_.size()) ? glyphs_[static_cast<size_t>(item)] : -1;
}

void TOvcCheckList::ItemsChanged(TPopupItems::TChange change, int index)
{
    // States and glyphs move with their items.
    if (change == TPopupItems::TChange::Inserted) {
        states_.Inserted(index);
        if (index < static_cast<int>(glyphs_.size()))
            glyphs_.insert(glyphs_.begin() + index, -1);
    } else if (change == TPopupItems::TChange::Deleted) {
        states_.Deleted(index);
        if (index < static_cast<int>(glyphs_.size()))
            glyphs_.erase(glyphs_.begin() + index);
    } else if (Items().Count() == 0) {
        states_.Clear();
        glyphs_.clear();
    }
    TOvcCustomListBox::ItemsChanged(change, index);
}

int TOvcCheckList::ExtentAllowance() const
{
    // Room for the box column, or for the first glyph before any item has been drawn.
    if (ShowGlyphs && !Glyphs.empty() && !drawn_)
        return Glyphs.front().width();
    return 16;
}

void TOvcCheckList::DrawItem(QPainter& p, int index, const QRect& rect, bool selected, bool focused)
{
    drawn_ = true;
    const QPalette& pal = palette();
    p.fillRect(rect, pal.color(QPalette::Base));
    const int m = boxMargin_;
    int s = rect.height() - 2 * m;
    if (s % 2 == 0)
        --s;
    const int x = rect.left() + m, y = rect.top() + m;
    const TCheckBoxState state = states_.Get(index);
    if (s > 2) {
        // Box: dithered grey for a grayed item, with a light frame and a sunken edge inside.
        if (state == cbGrayed)
            p.fillRect(QRect(x, y, s, s), QBrush(QColor(128, 128, 128), Qt::Dense4Pattern));
        else
            p.fillRect(QRect(x, y, s, s), BoxColor);
        p.setPen(QColor(192, 204, 216));
        p.drawRect(x, y, s - 1, s - 1);
        p.setPen(QColor(80, 100, 128));
        p.drawLine(x, y + s - 2, x, y);
        p.drawLine(x, y, x + s - 1, y);
        p.setPen(Qt::black);
        p.drawLine(x + 1, y + s - 3, x + 1, y + 1);
        p.drawLine(x + 1, y + 1, x + s - 2, y + 1);
        p.setPen(QColor(128, 152, 176));
        p.drawLine(x + 1, y + s - 2, x + s - 2, y + s - 2);
        p.drawLine(x + s - 2, y + s - 2, x + s - 2, y);
        if (state != cbUnchecked && s > 7) {
            const QRect in(x + 3, y + 3, s - 6, s - 6);
            p.setPen(CheckColor);
            if (CheckStyle == csCheck) {
                // Three parallel one-pixel strokes: short down-right, long up-right.
                const int short_ = std::max(1, in.width() / 3);
                for (int k = 0; k < 3; ++k) {
                    const QPoint a(in.left(), in.top() + in.height() / 2 - 1 + k);
                    const QPoint b(in.left() + short_, a.y() + short_);
                    const QPoint c(in.right(), b.y() - (in.right() - b.x()));
                    p.drawLine(a, b);
                    p.drawLine(b, c);
                }
            } else {
                for (int k = -1; k <= 1; ++k) {
                    p.drawLine(in.left() + std::max(0, k), in.top() + std::max(0, -k), in.right() - std::max(0, -k),
                               in.bottom() - std::max(0, k));
                    p.drawLine(in.left() + std::max(0, k), in.bottom() - std::max(0, -k),
                               in.right() - std::max(0, -k), in.top() + std::max(0, k));
                }
            }
        }
    }
    int textX = rect.left() + 2 * m + s;
    const int glyph = GlyphIndex(index);
    if (ShowGlyphs && glyph >= 0 && glyph < static_cast<int>(Glyphs.size())) {
        const QPixmap& img = Glyphs[static_cast<size_t>(glyph)];
        p.drawPixmap(textX, rect.top() + (rect.height() - img.height()) / 2, img);
        textX += m + img.width();
    }
    const QRect textArea(textX, rect.top(), rect.right() + 1 - textX, rect.height());
    if (selected)
        p.fillRect(textArea, pal.color(QPalette::Highlight));
    p.setPen(selected ? pal.color(QPalette::HighlightedText) : pal.color(QPalette::Text));
    DrawTabbedText(p, textArea, Items()[index]);
    if (focused) {
        p.setPen(QPen(pal.color(QPalette::Text), 1, Qt::DotLine));
        p.drawRect(textArea.adjusted(0, 0, -1, -1));
    }
}

void TOvcCheckList::Advance(int index)
{
    SetStates(index, NextCheckState(states_.Get(index), ThreeState));
}

void TOvcCheckList::mousePressEvent(QMouseEvent* e)
{
    if (e->button() != Qt::LeftButton) {
        TOvcCustomListBox::mousePressEvent(e);
        return;
    }
    const QPoint pt = e->position().toPoint();
    const int index = ItemAt(pt);
    if (index < 0) {
        PressItem(-1);
        return;
    }
    const QRect r = ItemRect(index);
    const bool onBox = pt.x() < BoxColumnEnd(r);
    if (onBox)
        viewport()->update(r);
    else
        PressItem(index);
    if (onBox || !BoxClickOnly)
        Advance(index);
}

void TOvcCheckList::mouseDoubleClickEvent(QMouseEvent* e)
{
    if (WantDblClicks) {
        TOvcCustomListBox::mouseDoubleClickEvent(e);
        return;
    }
    mousePressEvent(e); // without double clicks the second press is a press like the first
}

void TOvcCheckList::keyPressEvent(QKeyEvent* e)
{
    const QString text = e->text();
    if (text.size() == 1 && text[0].unicode() >= 32) {
        std::string bytes = ToWin1252(text);
        char ch = bytes.empty() ? '?' : bytes[0];
        if (OnKeyPress)
            OnKeyPress(this, ch);
        if (ch && ItemIndex() >= 0) {
            Advance(ItemIndex());
            if (OnClick)
                OnClick(this);
        }
        return;
    }
    TOvcCustomListBox::keyPressEvent(e);
}

} // namespace korval
