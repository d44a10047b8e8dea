#include "grids/windows/ovc_splitter.h"

#include <QEvent>
#include <QMouseEvent>
#include <QPainter>

namespace korval {

namespace {

QRect ToQRect(const TSplitRect& r)
{
    return QRect(r.Left, r.Top, r.Width, r.Height);
}

// The line that follows the mouse while the bar is dragged: it inverts what lies beneath, so
// it shows on any colour and leaves nothing behind.
class TSplitterDragLine : public QWidget {
public:
    explicit TSplitterDragLine(QWidget* parent) : QWidget(parent)
    {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        hide();
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.setCompositionMode(QPainter::RasterOp_NotDestination);
        p.fillRect(rect(), Qt::black);
    }
};

} // namespace

// ---- TOvcSection

TOvcSection::TOvcSection(TOvcSplitter* splitter) : TOvcCollectibleControl(splitter), splitter_(splitter)
{
    setFocusPolicy(Qt::NoFocus);
    setAutoFillBackground(true);
    SetColor(palette().color(QPalette::Button));
}

void TOvcSection::SetColor(const QColor& value)
{
    color_ = value;
    QPalette pal = palette();
    pal.setColor(QPalette::Window, value);
    setPalette(pal);
}

bool TOvcSection::event(QEvent* e)
{
    // A nested splitter arriving or leaving changes whether this section keeps a frame.
    if ((e->type() == QEvent::ChildPolished || e->type() == QEvent::ChildRemoved) && splitter_)
        QMetaObject::invokeMethod(splitter_, [s = QPointer<TOvcSplitter>(splitter_)] {
            if (s)
                s->LayoutSections();
        }, Qt::QueuedConnection);
    return TOvcCollectibleControl::event(e);
}

// ---- TOvcSplitter

TOvcSplitter::TOvcSplitter(QWidget* parent) : TOvcCustomControlEx(parent)
{
    const QPalette& pal = palette();
    color_ = pal.color(QPalette::Button);
    splitterColor_ = pal.color(QPalette::WindowText);
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    sections_ = std::make_unique<TOvcCollection>(this, "TOvcSection",
                                                 [this](QObject*) { return new TOvcSection(this); });
    sections_->Add()->SetName("SPL1");
    sections_->Add()->SetName("SPL2");
    dragLine_ = new TSplitterDragLine(this);
    resize(200, 100);
}

TOvcSplitter::~TOvcSplitter()
{
    destroying_ = true;
    sections_.reset();
}

TOvcSection* TOvcSplitter::Section(int index) const
{
    if (!sections_ || index < 0 || index >= sections_->GetCount())
        return nullptr;
    return static_cast<TOvcSection*>(sections_->GetItem(index));
}

QRect TOvcSplitter::ClientRect() const
{
    return borderStyle_ == bsSingle ? rect().adjusted(1, 1, -1, -1) : rect();
}

int TOvcSplitter::extent() const
{
    const QRect c = ClientRect();
    return SplitterExtent(orientation_, c.width(), c.height());
}

int TOvcSplitter::coordOf(QPoint widgetPos) const
{
    const QPoint p = widgetPos - ClientRect().topLeft();
    return orientation_ == soVertical ? p.x() : p.y();
}

int TOvcSplitter::clamped(int value) const
{
    const QRect c = ClientRect();
    if (c.isEmpty())
        return value;
    return ClampSplitterPosition(value, extent(), splitterSize_);
}

void TOvcSplitter::SetPosition(int value)
{
    if (value < 1)
        value = 1;
    if (!created_) {
        position_ = value;
        return;
    }
    position_ = clamped(value);
    LayoutSections();
    update();
    DoOnResize();
}

void TOvcSplitter::DoOnResize()
{
    if (OnResize)
        OnResize(this);
}

void TOvcSplitter::CreateWnd()
{
    // The splitter needs no keys: a form without a controller is no fault here.
    if (!Controller())
        if (TOvcController* c = FindController(GetImmediateParentForm(this)))
            SetController(c);
    // A nested splitter may be shown before its section's pending resize reaches it: take the
    // section's size now, or the first real resize would scale a restored Position away.
    if (alignClient_ && parentWidget())
        setGeometry(parentWidget()->rect());
    created_ = true;
    lastExtent_ = extent();
    relayout();
}

void TOvcSplitter::relayout()
{
    if (created_)
        position_ = clamped(position_);
    LayoutSections();
    update();
}

bool TOvcSplitter::plainSection(int index) const
{
    TOvcSection* s = Section(index);
    if (!s)
        return false;
    const QList<QWidget*> children = s->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly);
    if (children.size() != 1)
        return false;
    auto* nested = qobject_cast<TOvcSplitter*>(children.front());
    return nested && nested->AlignClient();
}

void TOvcSplitter::LayoutSections()
{
    if (destroying_ || !sections_)
        return;
    const QRect c = ClientRect();
    const auto r = SplitterSections(orientation_, c.width(), c.height(), position_, splitterSize_, ctl3D_,
                                    {plainSection(0), plainSection(1)});
    for (int i = 0; i < 2; ++i)
        if (TOvcSection* s = Section(i)) {
            const QRect g = ToQRect(r[size_t(i)]).translated(c.topLeft());
            if (s->geometry() != g)
                s->setGeometry(g);
        }
}

void TOvcSplitter::resizeEvent(QResizeEvent* e)
{
    TOvcCustomControlEx::resizeEvent(e);
    if (alignClient_ && parentWidget() && geometry() != parentWidget()->rect())
        setGeometry(parentWidget()->rect());
    if (!created_) {
        LayoutSections();
        return;
    }
    const int now = extent();
    if (autoScale_ && lastExtent_ > 0 && now > 0 && now != lastExtent_) {
        const int old = lastExtent_;
        lastExtent_ = now;
        SetPosition(ScaleSplitterPosition(position_, old, now));
        return;
    }
    lastExtent_ = now;
    if (clamped(position_) != position_)
        SetPosition(position_);
    else
        LayoutSections();
}

void TOvcSplitter::SetBorderStyle(TBorderStyle value)
{
    if (value != borderStyle_) {
        borderStyle_ = value;
        lastExtent_ = extent();
        relayout();
    }
}

void TOvcSplitter::SetColor(const QColor& value)
{
    color_ = value;
    update();
}

QColor TOvcSplitter::ColorLeft() const
{
    return Section(0) ? Section(0)->Color() : QColor();
}

void TOvcSplitter::SetColorLeft(const QColor& value)
{
    if (TOvcSection* s = Section(0))
        s->SetColor(value);
}

QColor TOvcSplitter::ColorRight() const
{
    return Section(1) ? Section(1)->Color() : QColor();
}

void TOvcSplitter::SetColorRight(const QColor& value)
{
    if (TOvcSection* s = Section(1))
        s->SetColor(value);
}

void TOvcSplitter::SetCtl3D(bool value)
{
    if (value != ctl3D_) {
        ctl3D_ = value;
        relayout();
    }
}

void TOvcSplitter::SetOrientation(TSplitterOrientation value)
{
    if (value != orientation_) {
        orientation_ = value;
        lastExtent_ = extent();
        relayout();
    }
}

void TOvcSplitter::SetShowHandle(bool value)
{
    if (value != showHandle_) {
        showHandle_ = value;
        update();
    }
}

void TOvcSplitter::SetSplitterColor(const QColor& value)
{
    splitterColor_ = value;
    update();
}

void TOvcSplitter::SetSplitterSize(int value)
{
    if (value >= 1 && value != splitterSize_) {
        splitterSize_ = value;
        relayout();
    }
}

void TOvcSplitter::SetAlignClient(bool value)
{
    if (value == alignClient_)
        return;
    alignClient_ = value;
    QWidget* p = parentWidget();
    if (!p)
        return;
    if (value) {
        p->installEventFilter(this);
        setGeometry(p->rect());
    } else {
        p->removeEventFilter(this);
    }
    if (auto* section = qobject_cast<TOvcSection*>(p))
        if (section->Splitter())
            section->Splitter()->LayoutSections();
}

bool TOvcSplitter::eventFilter(QObject* watched, QEvent* e)
{
    if (alignClient_ && watched == parentWidget() && e->type() == QEvent::Resize)
        setGeometry(parentWidget()->rect());
    return TOvcCustomControlEx::eventFilter(watched, e);
}

void TOvcSplitter::SetName(const std::string& name)
{
    setObjectName(QString::fromStdString(name));
    std::string owner;
    if (const QWidget* form = GetImmediateParentForm(this))
        owner = form->objectName().toStdString();
    if (TOvcSection* s = Section(0))
        s->SetName(name.empty() ? "SPL1" : "SPL1" + name + owner);
    if (TOvcSection* s = Section(1))
        s->SetName(name.empty() ? "SPL2" : "SPL2" + name + owner);
}

// ---- dragging

void TOvcSplitter::updateCursor(QPoint widgetPos)
{
    const bool over = allowResize_ && ClientRect().contains(widgetPos)
                      && NearSplitterBar(coordOf(widgetPos), position_, splitterSize_);
    if (over == overBar_)
        return;
    overBar_ = over;
    if (over)
        setCursor(orientation_ == soVertical ? Qt::SplitHCursor : Qt::SplitVCursor);
    else
        unsetCursor();
}

QRect TOvcSplitter::barArea() const
{
    const QRect c = ClientRect();
    QRect bar = ToQRect(SplitterBarRect(orientation_, c.width(), c.height(), position_, splitterSize_));
    bar = orientation_ == soVertical ? bar.adjusted(-2, 0, 2, 0) : bar.adjusted(0, -2, 0, 2);
    return bar.translated(c.topLeft());
}

void TOvcSplitter::placeDragLine()
{
    const QRect c = ClientRect();
    const int thick = std::max(1, splitterSize_ - 1);
    // Across the whole control, as the bar would go.
    const QRect line = orientation_ == soVertical ? QRect(c.left() + position_, 0, thick, height())
                                                  : QRect(0, c.top() + position_, width(), thick);
    dragLine_->setGeometry(line);
    dragLine_->raise();
    dragLine_->show();
}

void TOvcSplitter::mousePressEvent(QMouseEvent* e)
{
    const QPoint pos = e->position().toPoint();
    updateCursor(pos);
    if (e->button() == Qt::LeftButton && overBar_ && NearSplitterBar(coordOf(pos), position_, splitterSize_)) {
        dragging_ = true;
        e->accept();
        if (!autoUpdate_)
            placeDragLine();
        return;
    }
    TOvcCustomControlEx::mousePressEvent(e);
}

void TOvcSplitter::mouseMoveEvent(QMouseEvent* e)
{
    const QPoint pos = e->position().toPoint();
    if (!dragging_) {
        updateCursor(pos);
        TOvcCustomControlEx::mouseMoveEvent(e);
        return;
    }
    const int c = coordOf(pos);
    if (c < 0 || c > extent() || c == position_)
        return;
    const int next = clamped(std::max(1, c));
    if (autoUpdate_) {
        update(barArea());
        position_ = next;
        update(barArea());
        LayoutSections();
    } else {
        position_ = next;
        placeDragLine();
    }
}

void TOvcSplitter::mouseReleaseEvent(QMouseEvent* e)
{
    if (!dragging_ || e->button() != Qt::LeftButton) {
        TOvcCustomControlEx::mouseReleaseEvent(e);
        return;
    }
    dragging_ = false;
    overBar_ = false;
    unsetCursor();
    dragLine_->hide();
    LayoutSections();
    update();
    DoOnResize();
    updateCursor(e->position().toPoint());
}

void TOvcSplitter::leaveEvent(QEvent* e)
{
    if (!dragging_ && overBar_) {
        overBar_ = false;
        unsetCursor();
    }
    TOvcCustomControlEx::leaveEvent(e);
}

// ---- painting

void TOvcSplitter::paintEvent(QPaintEvent*)
{
    // The sections are not laid out here: while the bar is dragged without AutoUpdate they
    // stay where they are until the button comes up.
    QPainter p(this);
    if (OnOwnerDraw) {
        OnOwnerDraw(this, p);
        return;
    }
    const QRect c = ClientRect();
    const QPalette& pal = palette();
    p.fillRect(c, color_);
    const QRect bar = ToQRect(SplitterBarRect(orientation_, c.width(), c.height(), position_, splitterSize_))
                          .translated(c.topLeft());
    if (ctl3D_) {
        // A sunken frame round each framed section: shadow and highlight outside, black inside.
        for (int i = 0; i < 2; ++i) {
            TOvcSection* s = Section(i);
            if (!s || plainSection(i))
                continue;
            const QRect g = s->geometry();
            const QRect outer = g.adjusted(-2, -2, 1, 1);
            p.setPen(pal.color(QPalette::Dark));
            p.drawLine(outer.topLeft(), outer.topRight());
            p.drawLine(outer.topLeft(), outer.bottomLeft());
            p.setPen(pal.color(QPalette::Light));
            p.drawLine(outer.bottomLeft(), outer.bottomRight());
            p.drawLine(outer.topRight(), outer.bottomRight());
            p.setPen(Qt::black);
            p.drawLine(outer.left() + 1, outer.top() + 1, outer.right() - 1, outer.top() + 1);
            p.drawLine(outer.left() + 1, outer.top() + 1, outer.left() + 1, outer.bottom() - 1);
        }
    } else {
        p.fillRect(bar, splitterColor_);
    }
    if (showHandle_) {
        // A raised grip along the middle third of the bar, about 3 pixels across.
        QRect grip;
        if (orientation_ == soVertical) {
            const int w = std::min(3, bar.width());
            grip = QRect(bar.left() + (bar.width() - w) / 2, bar.top() + bar.height() / 3, w, bar.height() / 3);
        } else {
            const int h = std::min(3, bar.height());
            grip = QRect(bar.left() + bar.width() / 3, bar.top() + (bar.height() - h) / 2, bar.width() / 3, h);
        }
        p.setPen(Qt::white);
        p.drawLine(grip.topLeft(), grip.topRight());
        p.drawLine(grip.topLeft(), grip.bottomLeft());
        p.setPen(QColor(0x80, 0x80, 0x80));
        p.drawLine(grip.bottomLeft(), grip.bottomRight());
        p.drawLine(grip.topRight(), grip.bottomRight());
    }
    if (borderStyle_ == bsSingle) {
        p.setPen(pal.color(QPalette::WindowText));
        p.setBrush(Qt::NoBrush);
        p.drawRect(rect().adjusted(0, 0, -1, -1));
    }
}

} // namespace korval
