#include "entry/windows/ovc_caret.h"

#include <QApplication>
#include <QGuiApplication>
#include <QPainter>
#include <QPalette>
#include <QWidget>

namespace korval {

// ---- TOvcCaret

void TOvcCaret::changed()
{
    if (auto f = OnChange)
        f();
}

void TOvcCaret::SetShape(TOvcCaretShape v)
{
    shape_ = v;
    switch (v) {
    case csBlock: align_ = caLeft; break;
    case csHalfBlock: align_ = caBottom; break;
    case csVertLine: align_ = caLeft; width_ = 2; break;
    case csHorzLine: align_ = caBottom; height_ = 2; break;
    case csBitmap:
        width_ = bitmap_.width();
        height_ = bitmap_.height();
        break;
    case csCustom: break;
    }
    changed();
}

void TOvcCaret::SetAlign(TOvcCaretAlign v) { align_ = v; changed(); }
void TOvcCaret::SetBlinkTime(uint16_t v) { blinkTime_ = v; changed(); }
void TOvcCaret::SetCaretHeight(int v) { height_ = v; changed(); }
void TOvcCaret::SetCaretWidth(int v) { width_ = v; changed(); }
void TOvcCaret::SetIsGray(bool v) { gray_ = v; changed(); }

void TOvcCaret::SetBitmap(const QPixmap& v)
{
    bitmap_ = v;
    if (shape_ == csBitmap) {
        width_ = bitmap_.width();
        height_ = bitmap_.height();
    }
    changed();
}

void TOvcCaret::SetBitmapHotSpot(int x, int y)
{
    hotX_ = x;
    hotY_ = y;
    changed();
}

TOvcCaretLayout LayoutCaret(const TOvcCaret& c, int H, int W)
{
    TOvcCaretLayout l{c.CaretWidth(), c.CaretHeight(), 0, 0};
    switch (c.Shape()) {
    case csBlock: l.Height = H; l.Width = W; break;
    case csHalfBlock: l.Height = H / 2; l.Width = W; break;
    case csVertLine: l.Height = H; break;
    case csHorzLine: l.Width = W; break;
    default: break;
    }
    switch (c.Align()) {
    case caLeft: l.OffsetX = 0; l.OffsetY = (H - l.Height) / 2; break;
    case caTop: l.OffsetX = (W - l.Width) / 2; l.OffsetY = 0; break;
    case caRight: l.OffsetX = W - l.Width; l.OffsetY = (H - l.Height) / 2; break;
    case caBottom: l.OffsetX = (W - l.Width) / 2; l.OffsetY = H - l.Height; break;
    case caCenter: l.OffsetX = (W - l.Width) / 2; l.OffsetY = (H - l.Height) / 2; break;
    }
    if (c.Shape() == csBitmap) {
        l.OffsetX -= c.BitmapHotSpotX();
        l.OffsetY -= c.BitmapHotSpotY();
    }
    return l;
}

// ---- TOvcSingleCaret

TOvcSingleCaret::TOvcSingleCaret(QWidget* owner)
    : QObject(owner), owner_(owner), caret_(std::make_shared<TOvcCaret>())
{
    connect(&blink_, &QTimer::timeout, this, [this] {
        blinkOn_ = !blinkOn_;
        refresh();
    });
    attach();
    relayout();
}

TOvcSingleCaret::~TOvcSingleCaret()
{
    if (caret_)
        caret_->OnChange = nullptr;
}

void TOvcSingleCaret::attach()
{
    if (caret_)
        caret_->OnChange = [this] {
            // A changed description is shown anew: unlinked and linked again.
            bool wasLinked = linked_;
            if (wasLinked)
                SetLinked(false);
            relayout();
            if (wasLinked)
                SetLinked(true);
        };
}

void TOvcSingleCaret::SetCaret(std::shared_ptr<TOvcCaret> caret)
{
    if (!caret || caret == caret_)
        return;
    bool wasLinked = linked_;
    if (wasLinked)
        SetLinked(false);
    caret_->OnChange = nullptr;
    caret_ = std::move(caret);
    attach();
    relayout();
    if (wasLinked)
        SetLinked(true);
}

int TOvcSingleCaret::BlinkInterval() const
{
    if (caret_->BlinkTime() != 0)
        return caret_->BlinkTime();
    int flash = QApplication::cursorFlashTime();
    return flash > 0 ? flash / 2 : 0;
}

void TOvcSingleCaret::SetLinked(bool v)
{
    if (v == linked_)
        return;
    linked_ = v;
    blinkOn_ = true;
    blink_.stop();
    if (linked_ && BlinkInterval() > 0)
        blink_.start(BlinkInterval());
    refresh();
}

void TOvcSingleCaret::SetVisible(bool v)
{
    if (v == visible_)
        return;
    visible_ = v;
    blinkOn_ = true;
    refresh();
}

void TOvcSingleCaret::SetPosition(int x, int y)
{
    x_ = x < 0 ? Unknown : x;
    y_ = y < 0 ? Unknown : y;
    blinkOn_ = true;
    refresh();
}

void TOvcSingleCaret::SetCellHeight(int v)
{
    if (v < 1)
        return;
    cellH_ = v;
    relayout();
}

void TOvcSingleCaret::SetCellWidth(int v)
{
    if (v < 1)
        return;
    cellW_ = v;
    relayout();
}

void TOvcSingleCaret::relayout()
{
    layout_ = LayoutCaret(*caret_, cellH_, cellW_);
    refresh();
}

QRect TOvcSingleCaret::CaretRect() const
{
    if (x_ == Unknown || y_ == Unknown)
        return {};
    return QRect(x_ + layout_.OffsetX, y_ + layout_.OffsetY, layout_.Width, layout_.Height);
}

void TOvcSingleCaret::refresh()
{
    if (!owner_)
        return;
    QRect r = CaretRect();
    if (!lastRect_.isEmpty())
        owner_->update(lastRect_);
    if (!r.isEmpty())
        owner_->update(r);
    lastRect_ = r;
}

void TOvcSingleCaret::PaintCaret(QPainter& p) const
{
    QRect r = CaretRect();
    if (!Showing() || r.isEmpty())
        return;
    p.save();
    if (caret_->Shape() == csBitmap && !caret_->Bitmap().isNull()) {
        p.drawPixmap(r.topLeft(), caret_->Bitmap());
    } else {
        // Inverting keeps the character under a block caret readable.
        p.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
        p.fillRect(r, caret_->IsGray() ? QBrush(Qt::white, Qt::Dense4Pattern) : QBrush(Qt::white));
    }
    p.restore();
}

// ---- TOvcCaretPair

TOvcCaretPair::TOvcCaretPair(QWidget* owner)
    : TOvcSingleCaret(owner), ins_(std::make_shared<TOvcCaret>()), ovr_(std::make_shared<TOvcCaret>())
{
    ovr_->SetShape(csBlock);
    SetCaret(ins_);
}

void TOvcCaretPair::SetInsertMode(bool v)
{
    if (v == insertMode_)
        return;
    insertMode_ = v;
    SetCaret(insertMode_ ? ins_ : ovr_);
}

void TOvcCaretPair::SetCaretIns(std::shared_ptr<TOvcCaret> c)
{
    if (!c)
        return;
    ins_ = std::move(c);
    if (insertMode_)
        SetCaret(ins_);
}

void TOvcCaretPair::SetCaretOvr(std::shared_ptr<TOvcCaret> c)
{
    if (!c)
        return;
    ovr_ = std::move(c);
    if (!insertMode_)
        SetCaret(ovr_);
}

// ---- TOvcColors

TOvcColors::TOvcColors(QColor defaultText, QColor defaultBack)
    : defText_(defaultText), defBack_(defaultBack), text_(defaultText), back_(defaultBack)
{
}

void TOvcColors::changed()
{
    if (auto f = OnChange)
        f();
}

void TOvcColors::SetBackColor(QColor c)
{
    if (c == back_)
        return;
    back_ = c;
    if (c != defBack_)
        useDefault_ = false;
    changed();
}

void TOvcColors::SetTextColor(QColor c)
{
    if (c == text_)
        return;
    text_ = c;
    if (c != defText_)
        useDefault_ = false;
    changed();
}

void TOvcColors::SetUseDefault(bool v)
{
    useDefault_ = v;
    if (v) {
        text_ = defText_;
        back_ = defBack_;
    }
    changed();
}

void TOvcColors::Assign(const TOvcColors& o)
{
    back_ = o.back_;
    text_ = o.text_;
    changed();
}

TOvcEfColors::TOvcEfColors()
    : Disabled(QGuiApplication::palette().color(QPalette::Disabled, QPalette::Text),
               QGuiApplication::palette().color(QPalette::Active, QPalette::Base)),
      Error(Qt::black, Qt::red),
      Highlight(QGuiApplication::palette().color(QPalette::Active, QPalette::HighlightedText),
                QGuiApplication::palette().color(QPalette::Active, QPalette::Highlight))
{
}

void TOvcEfColors::Assign(const TOvcEfColors& o)
{
    Disabled.Assign(o.Disabled);
    Error.Assign(o.Error);
    Highlight.Assign(o.Highlight);
}

void TOvcEfColors::SetOnChange(const std::function<void()>& f)
{
    Disabled.OnChange = f;
    Error.OnChange = f;
    Highlight.OnChange = f;
}

// ---- TOvcBorder

void TOvcBorder::changed()
{
    if (auto f = OnChange)
        f();
}

void TOvcBorder::SetEnabled(bool v)
{
    if (v != enabled_) {
        enabled_ = v;
        changed();
    }
}

void TOvcBorder::SetPenColor(QColor v)
{
    if (v != color_) {
        color_ = v;
        changed();
    }
}

void TOvcBorder::SetPenStyle(Qt::PenStyle v)
{
    if (v != style_) {
        style_ = v;
        changed();
    }
}

void TOvcBorder::SetPenWidth(int v)
{
    if (v >= 1 && v != width_) {
        width_ = v;
        changed();
    }
}

void TOvcBorder::Assign(const TOvcBorder& o)
{
    enabled_ = o.enabled_;
    color_ = o.color_;
    style_ = o.style_;
    width_ = o.width_;
    changed();
}

void TOvcBorders::SetOnChange(const std::function<void()>& f)
{
    LeftBorder.OnChange = f;
    RightBorder.OnChange = f;
    TopBorder.OnChange = f;
    BottomBorder.OnChange = f;
}

bool TOvcBorders::AnyEnabled() const
{
    return LeftBorder.Enabled() || RightBorder.Enabled() || TopBorder.Enabled() || BottomBorder.Enabled();
}

} // namespace korval
