#include "grids/windows/ovc_spinner.h"

#include <QCoreApplication>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPolygon>

#include <algorithm>

#include "entry/windows/ovc_base_field.h"
#include "entry/ovc_intl.h"
#include "entry/windows/ovc_qt_timer_driver.h"

namespace korval {

namespace {

QPolygon ToPolygon(const TSpinPolygon& pts)
{
    QPolygon poly;
    for (const TSpinPoint& pt : pts)
        poly << QPoint(pt.X, pt.Y);
    return poly;
}

} // namespace

TOvcSpinner::TOvcSpinner(QWidget* parent, TOvcTickSource* clock, TOvcTimerDriver* timer)
    : TOvcCustomControl(parent),
      ownClock_(clock ? nullptr : std::make_unique<TOvcSteadyTickSource>()),
      ownTimer_(timer ? nullptr : CreateQtTimerDriver()),
      timer_(timer ? timer : ownTimer_.get()),
      engine_(clock ? *clock : *ownClock_)
{
    // Not a tab stop: the spinner takes the focus only to pass it on to its field.
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    resize(16, 25);
    regions_.Build(stNormalVertical, width(), height());
}

TOvcSpinner::~TOvcSpinner()
{
    timer_->Stop();
}

void TOvcSpinner::SetShowArrows(bool value)
{
    if (value != showArrows_) {
        showArrows_ = value;
        update();
    }
}

void TOvcSpinner::SetStyle(TOvcSpinnerStyle value)
{
    if (value != regions_.Style()) {
        regions_.Build(value, width(), height());
        update();
    }
}

TOvcBaseEntryField* TOvcSpinner::entryField() const
{
    return qobject_cast<TOvcBaseEntryField*>(focusedControl_.data());
}

QLineEdit* TOvcSpinner::textEdit() const
{
    return qobject_cast<QLineEdit*>(focusedControl_.data());
}

bool TOvcSpinner::hasTarget() const
{
    return OnClick || entryField() || textEdit();
}

void TOvcSpinner::DoOnClick(TOvcSpinState state)
{
    if (OnClick)
        OnClick(this, state, engine_.Delta, engine_.WrapMode);
}

void TOvcSpinner::step()
{
    if (!hasTarget() || !engine_.StepDue())
        return;
    const TOvcSpinState state = engine_.State();
    QPointer<TOvcSpinner> self(this);
    if (TOvcBaseEntryField* field = entryField()) {
        switch (state) {
        case ssUpBtn: field->IncreaseValue(engine_.WrapMode, engine_.Delta); break;
        case ssDownBtn: field->DecreaseValue(engine_.WrapMode, engine_.Delta); break;
        case ssLeftBtn: field->MoveCaret(-1); break;
        case ssRightBtn: field->MoveCaret(1); break;
        default: break;
        }
    } else if (QLineEdit* edit = textEdit()) {
        if (state == ssUpBtn || state == ssDownBtn) {
            std::string text = edit->text().toStdString();
            // Text that is no number is left as it stands.
            if (StepNumberText(text, state == ssUpBtn ? engine_.Delta : -engine_.Delta, OvcIntlSup().DecimalChar()))
                edit->setText(QString::fromStdString(text));
        }
    }
    if (!self)
        return;
    DoOnClick(state);
    if (self)
        engine_.Stepped();
}

void TOvcSpinner::repeatPass()
{
    if (!engine_.Holding()) {
        stopRepeat();
        return;
    }
    step();
}

void TOvcSpinner::stopRepeat()
{
    timer_->Stop();
}

void TOvcSpinner::MouseDown(QPoint pos)
{
    engine_.Press(StateAt(pos));
    update();
    QPointer<TOvcSpinner> self(this);
    step();
    if (self && engine_.Holding())
        timer_->Start(TOvcSpinEngine::PollPeriod, [this] { repeatPass(); });
}

void TOvcSpinner::MouseUp()
{
    stopRepeat();
    engine_.Release();
    update();
}

void TOvcSpinner::mousePressEvent(QMouseEvent* e)
{
    QWidget::mousePressEvent(e);
    if (e->button() != Qt::LeftButton || tracking_)
        return;
    e->accept();
    QPointer<TOvcSpinner> self(this);
    QWidget* target = focusedControl_;
    if (target && !target->hasFocus()) {
        // Taking the focus first lets the field that has it validate; a field that refuses to
        // let go takes it back while the pending events run, and then the press is void.
        setFocus(Qt::MouseFocusReason);
        QCoreApplication::processEvents();
        if (!self || !hasFocus())
            return;
        target = focusedControl_;
        if (target && !target->hasFocus() && target->isEnabled() && target->isVisible()
            && target->focusPolicy() != Qt::NoFocus)
            target->setFocus(Qt::MouseFocusReason);
    }
    tracking_ = true;
    MouseDown(e->position().toPoint());
}

void TOvcSpinner::mouseMoveEvent(QMouseEvent* e)
{
    if (tracking_ && engine_.Move(StateAt(e->position().toPoint())))
        update();
    QWidget::mouseMoveEvent(e);
}

void TOvcSpinner::mouseReleaseEvent(QMouseEvent* e)
{
    QWidget::mouseReleaseEvent(e);
    if (e->button() == Qt::LeftButton)
        endHold();
}

void TOvcSpinner::endHold()
{
    if (tracking_) {
        tracking_ = false;
        MouseUp();
    }
}

void TOvcSpinner::hideEvent(QHideEvent* e)
{
    // A spinner hidden while held would otherwise go on stepping.
    endHold();
    TOvcCustomControl::hideEvent(e);
}

void TOvcSpinner::changeEvent(QEvent* e)
{
    if (e->type() == QEvent::EnabledChange && !isEnabled())
        endHold();
    TOvcCustomControl::changeEvent(e);
}

void TOvcSpinner::resizeEvent(QResizeEvent* e)
{
    regions_.Build(regions_.Style(), width(), height());
    TOvcCustomControl::resizeEvent(e);
}

TOvcSpinner::TSpinColors TOvcSpinner::Colors() const
{
    const QPalette& pal = palette();
    return {pal.color(QPalette::Button), pal.color(QPalette::ButtonText), pal.color(QPalette::Light),
            pal.color(QPalette::Dark), pal.color(QPalette::Shadow)};
}

void TOvcSpinner::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    PaintParts(p);
}

void TOvcSpinner::PaintParts(QPainter& p)
{
    const TSpinColors c = Colors();
    p.fillRect(rect(), c.Face);
    // The pressed part last: its sunken edges are shared with its neighbours and must show.
    const TOvcSpinState pressed = engine_.Armed() ? engine_.State() : ssNormal;
    for (TOvcSpinState part : {ssUpBtn, ssDownBtn, ssLeftBtn, ssRightBtn, ssCenterBtn})
        if (regions_.Has(part) && part != pressed)
            paintPart(p, part, c);
    if (regions_.Has(pressed))
        paintPart(p, pressed, c);
    // The window frame round the whole control.
    p.setPen(c.Frame);
    p.setBrush(Qt::NoBrush);
    p.drawRect(rect().adjusted(0, 0, -1, -1));
}

void TOvcSpinner::paintPart(QPainter& p, TOvcSpinState part, const TSpinColors& c)
{
    // The rectangles of the plain styles end one past their last pixel; the polygons of the
    // other styles run through their last pixels already.
    TSpinPolygon pts = regions_.Region(part);
    const bool plain = regions_.Style() == stNormalVertical || regions_.Style() == stNormalHorizontal;
    if (plain) {
        // (left, top), (right, top), (right, bottom), (left, bottom)
        pts[1].X -= 1;
        pts[2].X -= 1;
        pts[2].Y -= 1;
        pts[3].Y -= 1;
    }
    const QPolygon poly = ToPolygon(pts);
    const bool pressed = engine_.Armed() && engine_.State() == part;
    p.setPen(Qt::NoPen);
    p.setBrush(c.Face);
    p.drawPolygon(poly);

    // Each edge is light when it faces up or left on a raised part, dark otherwise; pressed
    // parts swap the two. The sign of the area tells which side of an edge is outside.
    long area2 = 0;
    for (int i = 0, n = poly.size(); i < n; ++i) {
        const QPoint a = poly[i], b = poly[(i + 1) % n];
        area2 += long(a.x()) * b.y() - long(b.x()) * a.y();
    }
    for (int i = 0, n = poly.size(); i < n; ++i) {
        const QPoint a = poly[i], b = poly[(i + 1) % n];
        // Outward normal of edge a->b: (dy, -dx) for a clockwise polygon on a y-down screen.
        int nx = b.y() - a.y(), ny = a.x() - b.x();
        if (area2 < 0) {
            nx = -nx;
            ny = -ny;
        }
        const bool facesUpLeft = nx + ny < 0;
        p.setPen(facesUpLeft != pressed ? c.Highlight : c.Shadow);
        p.drawLine(a, b);
    }
    if (!showArrows_ || part == ssCenterBtn)
        return;

    // The arrow: a filled triangle the size of half the part's shorter side, odd, at the
    // part's centre of mass; a pressed part's arrow moves down and right a pixel.
    const QRect box = poly.boundingRect();
    int size = std::min(box.width(), box.height()) / 2;
    if (size % 2 == 0)
        --size;
    if (size < 1)
        return;
    long sx = 0, sy = 0;
    for (const QPoint& pt : poly) {
        sx += pt.x();
        sy += pt.y();
    }
    QPoint centre(int(sx / poly.size()), int(sy / poly.size()));
    if (plain)
        centre = box.center();
    if (pressed)
        centre += QPoint(1, 1);
    const int half = size / 2, depth = (size + 1) / 2;
    QPolygon arrow;
    const int cx = centre.x(), cy = centre.y() - depth / 2;
    const int lx = centre.x() - depth / 2, ly = centre.y();
    switch (part) {
    case ssUpBtn: arrow << QPoint(cx - half, cy + depth - 1) << QPoint(cx + half, cy + depth - 1) << QPoint(cx, cy); break;
    case ssDownBtn: arrow << QPoint(cx - half, cy) << QPoint(cx + half, cy) << QPoint(cx, cy + depth - 1); break;
    case ssLeftBtn: arrow << QPoint(lx + depth - 1, ly - half) << QPoint(lx + depth - 1, ly + half) << QPoint(lx, ly); break;
    case ssRightBtn: arrow << QPoint(lx, ly - half) << QPoint(lx, ly + half) << QPoint(lx + depth - 1, ly); break;
    default: return;
    }
    p.setPen(c.Arrow);
    p.setBrush(c.Arrow);
    p.drawPolygon(arrow);
}

} // namespace korval
