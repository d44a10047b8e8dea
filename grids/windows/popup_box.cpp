#include "grids/windows/popup_box.h"

#include <algorithm>

#include <QApplication>
#include <QElapsedTimer>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QPainter>
#include <QStyle>

#include "logbook/base/string_utils.h"
#include "platform/windows/win1252.h"

namespace korval {

// ---- TPrxSpeedButton ----

TPrxSpeedButton::TPrxSpeedButton(TCustomPopupBox* box) : QWidget(box), box_(box)
{
    setFocusPolicy(Qt::NoFocus);
    setCursor(Qt::ArrowCursor);
}

void TPrxSpeedButton::SetDown(bool value)
{
    if (value != down_) {
        down_ = value;
        update();
    }
}

void TPrxSpeedButton::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const QPalette& pal = palette();
    const QRect r = rect();
    p.fillRect(r, pal.color(QPalette::Button));
    // Raised when up, sunken when down.
    p.setPen(down_ ? pal.color(QPalette::Dark) : pal.color(QPalette::Light));
    p.drawLine(r.topLeft(), r.topRight());
    p.drawLine(r.topLeft(), r.bottomLeft());
    p.setPen(down_ ? pal.color(QPalette::Light) : pal.color(QPalette::Shadow));
    p.drawLine(r.bottomLeft(), r.bottomRight());
    p.drawLine(r.topRight(), r.bottomRight());
    const QPoint c = r.center() + (down_ ? QPoint(1, 1) : QPoint(0, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(isEnabled() ? pal.color(QPalette::ButtonText) : pal.color(QPalette::Dark));
    const int a = std::max(2, std::min(r.width(), r.height()) / 5);
    QPolygon tri;
    switch (Style) {
    case prxSpBComboBox:
    case prxSpBDown:
        tri << QPoint(c.x() - a, c.y() - a / 2) << QPoint(c.x() + a, c.y() - a / 2) << QPoint(c.x(), c.y() + a / 2 + 1);
        break;
    case prxSpBUp:
        tri << QPoint(c.x() - a, c.y() + a / 2) << QPoint(c.x() + a, c.y() + a / 2) << QPoint(c.x(), c.y() - a / 2 - 1);
        break;
    case prxSpBLeft:
        tri << QPoint(c.x() + a / 2, c.y() - a) << QPoint(c.x() + a / 2, c.y() + a) << QPoint(c.x() - a / 2 - 1, c.y());
        break;
    case prxSpBRight:
        tri << QPoint(c.x() - a / 2, c.y() - a) << QPoint(c.x() - a / 2, c.y() + a) << QPoint(c.x() + a / 2 + 1, c.y());
        break;
    case prxSpBEllipsis:
        for (int k = -1; k <= 1; ++k)
            p.drawRect(c.x() + k * 3 - 1, c.y() + 1, 2, 2);
        return;
    }
    p.drawPolygon(tri);
}

void TPrxSpeedButton::mousePressEvent(QMouseEvent* e)
{
    if (e->button() != Qt::LeftButton)
        return;
    const bool wasDropped = box_->Dropped();
    if (!box_->hasFocus())
        box_->setFocus(Qt::MouseFocusReason);
    // Taking the focus may already have opened the list.
    if (box_->Dropped() == wasDropped)
        box_->TogglePopup();
}

// ---- TPopupBoxLB ----

TPopupBoxLB::TPopupBoxLB(TCustomPopupBox* box) : QWidget(nullptr), box_(box)
{
    setFocusPolicy(Qt::NoFocus);
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    hide();
    autoScroll_.setInterval(20);
    QObject::connect(&autoScroll_, &QTimer::timeout, this, [this] {
        // Above or below the window the selection walks one line per tick.
        TChoiceModel& m = box_->Model();
        if (lastY_ < 0 && m.ItemIndex() > 0)
            m.SetListIndex(m.ItemIndex() - 1);
        else if (lastY_ >= height() && m.ItemIndex() < m.Items.Count() - 1)
            m.SetListIndex(m.ItemIndex() + 1);
        ShowSelection();
        update();
    });
}

int TPopupBoxLB::ItemHeight() const
{
    return box_->List.ItemHeight > 0 ? box_->List.ItemHeight : QFontMetrics(font()).height() + 2;
}

int TPopupBoxLB::VisibleLines() const
{
    const int border = box_->List.Border ? 2 : 0;
    return std::max(1, (height() - border) / ItemHeight());
}

int TPopupBoxLB::LineAt(int y) const
{
    const int border = box_->List.Border ? 1 : 0;
    if (y < border)
        return -1;
    const int line = topIndex_ + (y - border) / ItemHeight();
    return line < box_->Model().Items.Count() ? line : -1;
}

void TPopupBoxLB::SetTopIndex(int index)
{
    index = std::clamp(index, 0, std::max(0, box_->Model().Items.Count() - VisibleLines()));
    if (index != topIndex_) {
        topIndex_ = index;
        update();
    }
}

void TPopupBoxLB::ShowSelection()
{
    const int i = box_->Model().ItemIndex();
    if (i < 0)
        return;
    if (i < topIndex_)
        SetTopIndex(i);
    else if (i >= topIndex_ + VisibleLines())
        SetTopIndex(i - VisibleLines() + 1);
}

void TPopupBoxLB::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const TPopupListValues& v = box_->List;
    const TChoiceModel& m = box_->Model();
    p.fillRect(rect(), v.Color);
    const int border = v.Border ? 1 : 0;
    const int ih = ItemHeight();
    p.setFont(font());
    for (int i = topIndex_, y = border; i < m.Items.Count() && y < height() - border; ++i, y += ih) {
        const QRect r(border, y, width() - 2 * border, ih);
        const bool selected = i == m.ItemIndex();
        if (box_->OnDrawListItem) {
            box_->OnDrawListItem(box_, p, i, r, selected);
            continue;
        }
        if (selected) {
            p.fillRect(r, v.ColorSelBG);
            if (v.Sel3D) {
                // Raised: grey top-left, white bottom-right, inside a one-pixel inset.
                const QRect f = r.adjusted(1, 1, -2, -2);
                p.setPen(QColor(128, 128, 128));
                p.drawLine(f.topLeft(), f.topRight());
                p.drawLine(f.topLeft(), f.bottomLeft());
                p.setPen(Qt::white);
                p.drawLine(f.bottomLeft(), f.bottomRight());
                p.drawLine(f.topRight(), f.bottomRight());
            }
        }
        p.setPen(selected ? v.ColorSel : palette().color(QPalette::Text));
        const int inset = v.Sel3D ? 1 : 2;
        QRect tr = r.adjusted(inset + 1, 0, -2, 0);
        p.drawText(tr, static_cast<int>(v.Alignment | Qt::AlignVCenter), FromWin1252(m.Items[i]));
    }
    if (v.Border) {
        p.setPen(Qt::black);
        p.setBrush(Qt::NoBrush);
        p.drawRect(rect().adjusted(0, 0, -1, -1));
    }
}

void TPopupBoxLB::TrackTo(int y)
{
    lastY_ = y;
    const int line = LineAt(std::clamp(y, 1, height() - 2));
    if (line >= 0 && line != box_->Model().ItemIndex()) {
        box_->Model().SetListIndex(line);
        update();
        if (box_->OnListMouseMove)
            box_->OnListMouseMove(box_, line);
    }
    if (pressed_ && (y < 0 || y >= height())) {
        if (!autoScroll_.isActive())
            autoScroll_.start();
    } else {
        autoScroll_.stop();
    }
}

void TPopupBoxLB::mousePressEvent(QMouseEvent* e)
{
    if (e->button() != Qt::LeftButton)
        return;
    pressed_ = true;
    TrackTo(static_cast<int>(e->position().y()));
}

void TPopupBoxLB::mouseMoveEvent(QMouseEvent* e)
{
    TrackTo(static_cast<int>(e->position().y()));
}

void TPopupBoxLB::mouseReleaseEvent(QMouseEvent* e)
{
    if (e->button() != Qt::LeftButton || !pressed_)
        return;
    pressed_ = false;
    autoScroll_.stop();
    if (box_->OnListClick)
        box_->OnListClick(box_);
    box_->ApplyListAction(box_->List.DoOnClick);
}

void TPopupBoxLB::wheelEvent(QWheelEvent* e)
{
    SetTopIndex(topIndex_ + (e->angleDelta().y() < 0 ? 3 : -3));
}

// ---- TCustomPopupBox ----

TCustomPopupBox::TCustomPopupBox(QWidget* parent) : TCustomPopupBox(std::make_unique<TChoiceModel>(), parent) {}

TCustomPopupBox::TCustomPopupBox(std::unique_ptr<TChoiceModel> model, QWidget* parent)
    : QWidget(parent), model_(std::move(model))
{
    Init();
}

TCustomPopupBox::~TCustomPopupBox()
{
    delete list_;
}

void TCustomPopupBox::Init()
{
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_InputMethodEnabled);
    setCursor(Qt::IBeamCursor);
    list_ = new TPopupBoxLB(this);
    button_ = new TPrxSpeedButton(this);
    model_->OnChange = [this] {
        caret_ = static_cast<int>(model_->Text().size());
        selStart_ = 0;
        selLength_ = hasFocus() && AutoSelect ? caret_ : 0;
        if (!hasFocus() || !AutoSelect)
            caret_ = CaretAtEnd ? caret_ : 0;
        update();
        if (OnChange)
            OnChange(this);
    };
    model_->OnSelChange = [this] {
        if (list_->isVisible()) {
            list_->ShowSelection();
            list_->update();
        }
    };
    model_->OnSetFieldValue = [this](int index, std::string& value, bool& allowed) {
        if (OnSetFieldValue)
            OnSetFieldValue(this, index, value, allowed);
    };
    resize(121, 31);
    LayoutButton();
}

QSize TCustomPopupBox::sizeHint() const
{
    const QFontMetrics fm(font());
    int widest = 0;
    for (int i = 0; i < model_->Items.Count(); ++i)
        widest = std::max(widest, fm.horizontalAdvance(FromWin1252(model_->Items[i])));
    return QSize(std::max(60, widest + ButtonWidth() + 12), fm.height() + 8);
}

int TCustomPopupBox::ButtonWidth() const
{
    return ShowButtonWidth > 0 ? ShowButtonWidth : style()->pixelMetric(QStyle::PM_ScrollBarExtent);
}

void TCustomPopupBox::LayoutButton()
{
    const bool show = showButton_ == ShowBtnYes || (showButton_ == ShowBtnFocus && hasFocus());
    button_->Style = prxSpBComboBox;
    button_->setGeometry(width() - 2 - ButtonWidth(), 2, ButtonWidth(), height() - 4);
    button_->setVisible(show);
    button_->SetDown(Dropped());
}

void TCustomPopupBox::SetShowButton(TPrxEditAlignShowBtn value)
{
    showButton_ = value;
    LayoutButton();
}

void TCustomPopupBox::SetStyle(TPopupBoxStyle value)
{
    model_->Style = value;
    update();
}

void TCustomPopupBox::SetItemIndex(int index)
{
    model_->SetItemIndex(index);
}

void TCustomPopupBox::SetText(const std::string& value)
{
    model_->SetText(value);
}

void TCustomPopupBox::DoPopup()
{
    PlaceList();
    model_->MatchText();
    list_->ShowSelection();
}

void TCustomPopupBox::PlaceList()
{
    QWidget* form = window();
    if (list_->parentWidget() != form) {
        list_->setParent(form);
        list_->setFocusPolicy(Qt::NoFocus);
    }
    list_->setFont(font());
    int w = List.Width > 0 ? List.Width : width();
    int h = List.Height;
    const int ih = list_->ItemHeight();
    const int border = List.Border ? 2 : 0;
    const int count = model_->Items.Count();
    if (List.AutoPos) {
        // Short lists shrink to their items; an empty list keeps one line.
        const int needed = std::max(1, count) * ih + border;
        h = std::min(h, needed);
        const QPoint topLeft = mapTo(form, QPoint(0, 0));
        const int roomBelow = form->height() - (topLeft.y() + height()) - 2;
        const int roomAbove = topLeft.y();
        h = std::min(h, std::max(roomBelow, roomAbove));
        TPopupBoxAt at = List.PopupAt;
        if (at == pbaBelow && roomBelow < h)
            at = pbaAbove;
        else if (at == pbaAbove && roomAbove < h)
            at = pbaBelow;
        if (List.IntegralHeight && h > border + ih)
            h = (h - border) / ih * ih + border;
        const int x = topLeft.x();
        const int y = at == pbaBelow ? topLeft.y() + height() : topLeft.y() - h;
        list_->setGeometry(x, y, w, std::max(h, 1));
    } else {
        list_->setGeometry(List.Left, List.Top, w, h);
    }
}

void TCustomPopupBox::Popup()
{
    if (Dropped())
        return;
    model_->Dropped = true;
    DoPopup();
    list_->show();
    list_->raise();
    LayoutButton();
    if (OnPopup)
        OnPopup(this);
}

void TCustomPopupBox::Shutup()
{
    if (!Dropped())
        return;
    model_->Dropped = false;
    list_->hide();
    LayoutButton();
    if (OnShutup)
        OnShutup(this);
}

void TCustomPopupBox::TogglePopup()
{
    if (Dropped())
        Shutup();
    else
        Popup();
}

void TCustomPopupBox::ApplyListAction(TPopupBoxDoOn action)
{
    if (model_->Style == pbsDropDownList) {
        if (!model_->TakeTextFromSelection() && model_->ItemIndex() >= 0)
            return;
    } else if (model_->ItemIndex() >= 0) {
        model_->TakeTextFromSelection();
    }
    if (action == doShutup) {
        Shutup();
    } else if (action == doGoAway) {
        Shutup();
        GoToNextControl(false);
    }
}

void TCustomPopupBox::GoToNextControl(bool backwards)
{
    focusNextPrevChild(!backwards);
}

void TCustomPopupBox::resizeEvent(QResizeEvent*)
{
    LayoutButton();
}

void TCustomPopupBox::hideEvent(QHideEvent*)
{
    Shutup();
}

void TCustomPopupBox::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const QPalette& pal = palette();
    const QRect r = rect();
    p.fillRect(r, isEnabled() ? pal.color(QPalette::Base) : pal.color(QPalette::Window));
    // Single sunken border.
    p.setPen(pal.color(QPalette::Dark));
    p.drawLine(r.topLeft(), r.topRight());
    p.drawLine(r.topLeft(), r.bottomLeft());
    p.setPen(pal.color(QPalette::Light));
    p.drawLine(r.bottomLeft(), r.bottomRight());
    p.drawLine(r.topRight(), r.bottomRight());
    const int right = button_->isVisible() ? button_->x() - 1 : r.right() - 2;
    const QRect textRect(4, 2, right - 4, r.height() - 4);
    const QString text = FromWin1252(model_->Text());
    QFontMetrics fm(font());
    int x = textRect.left();
    const int textWidth = fm.horizontalAdvance(text);
    if (Alignment & Qt::AlignRight)
        x = textRect.right() - textWidth;
    else if (Alignment & Qt::AlignHCenter)
        x = textRect.left() + (textRect.width() - textWidth) / 2;
    const int baseline = textRect.top() + (textRect.height() - fm.height()) / 2 + fm.ascent();
    p.save();
    p.setClipRect(textRect);
    if (hasFocus() && selLength_ > 0) {
        const int a = fm.horizontalAdvance(text.left(selStart_));
        const int b = fm.horizontalAdvance(text.left(selStart_ + selLength_));
        p.fillRect(QRect(x + a, baseline - fm.ascent(), b - a, fm.height()), pal.color(QPalette::Highlight));
        p.setPen(pal.color(QPalette::Text));
        p.drawText(x, baseline, text.left(selStart_));
        p.setPen(pal.color(QPalette::HighlightedText));
        p.drawText(x + a, baseline, text.mid(selStart_, selLength_));
        p.setPen(pal.color(QPalette::Text));
        p.drawText(x + b, baseline, text.mid(selStart_ + selLength_));
    } else {
        p.setPen(isEnabled() ? pal.color(QPalette::Text) : pal.color(QPalette::Dark));
        p.drawText(x, baseline, text);
    }
    if (hasFocus() && model_->Style == pbsDropDown && selLength_ == 0) {
        const int cx = x + fm.horizontalAdvance(text.left(caret_));
        p.setPen(pal.color(QPalette::Text));
        p.drawLine(cx, baseline - fm.ascent(), cx, baseline + fm.descent());
    }
    p.restore();
    if (model_->Style == pbsDropDownList) {
        // The focus frame: ColorFocus when focused, the background colour otherwise.
        p.setPen(hasFocus() ? ColorFocus : pal.color(QPalette::Base));
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRect(2, 2, right - 2, r.height() - 5));
    }
}

void TCustomPopupBox::focusInEvent(QFocusEvent* e)
{
    QWidget::focusInEvent(e);
    LayoutButton();
    const int len = static_cast<int>(model_->Text().size());
    if (AutoSelect) {
        selStart_ = 0;
        selLength_ = len;
        caret_ = len;
    } else if (CaretAtEnd) {
        caret_ = len;
    }
    if (OnEnter)
        OnEnter(this);
    if (DropDownOn & DropOnGetFocus)
        Popup();
    update();
}

void TCustomPopupBox::focusOutEvent(QFocusEvent* e)
{
    QWidget::focusOutEvent(e);
    if (TrimText) {
        const std::string t = TrimSpaces(model_->Text());
        if (t != model_->Text())
            model_->SetText(t);
    }
    Shutup();
    LayoutButton();
    if (CaretAtEnd)
        caret_ = 0;
    selLength_ = 0;
    if (OnExit)
        OnExit(this);
    update();
}

void TCustomPopupBox::mousePressEvent(QMouseEvent* e)
{
    if (e->button() != Qt::LeftButton)
        return;
    if (model_->Style == pbsDropDownList) {
        if (hasFocus())
            TogglePopup();
        else
            setFocus(Qt::MouseFocusReason);
        return;
    }
    setFocus(Qt::MouseFocusReason);
    // Free text: the caret goes where the click was.
    const QString text = FromWin1252(model_->Text());
    QFontMetrics fm(font());
    const int x = static_cast<int>(e->position().x()) - 4;
    int pos = 0;
    while (pos < text.size() && fm.horizontalAdvance(text.left(pos + 1)) - fm.horizontalAdvance(text.at(pos)) / 2 < x)
        ++pos;
    caret_ = pos;
    selLength_ = 0;
    update();
}

void TCustomPopupBox::EditKey(QKeyEvent* e)
{
    std::string t = model_->Text();
    const int len = static_cast<int>(t.size());
    caret_ = std::clamp(caret_, 0, len);
    auto eraseSelection = [&] {
        if (selLength_ > 0) {
            t.erase(static_cast<size_t>(selStart_), static_cast<size_t>(selLength_));
            caret_ = selStart_;
            selLength_ = 0;
            return true;
        }
        return false;
    };
    switch (e->key()) {
    case Qt::Key_Left:
        caret_ = std::max(0, caret_ - 1);
        selLength_ = 0;
        update();
        return;
    case Qt::Key_Right:
        caret_ = std::min(len, caret_ + 1);
        selLength_ = 0;
        update();
        return;
    case Qt::Key_Home:
        caret_ = 0;
        selLength_ = 0;
        update();
        return;
    case Qt::Key_End:
        caret_ = len;
        selLength_ = 0;
        update();
        return;
    case Qt::Key_Backspace:
        if (!eraseSelection() && caret_ > 0)
            t.erase(static_cast<size_t>(--caret_), 1);
        break;
    case Qt::Key_Delete:
        if (!eraseSelection() && caret_ < len)
            t.erase(static_cast<size_t>(caret_), 1);
        break;
    default: {
        const QString typed = e->text();
        if (typed.isEmpty() || typed[0].unicode() < 32) {
            e->ignore();
            return;
        }
        eraseSelection();
        const std::string bytes = ToWin1252(typed);
        if (MaxLength > 0 && static_cast<int>(t.size() + bytes.size()) > MaxLength)
            return;
        t.insert(static_cast<size_t>(caret_), bytes);
        caret_ += static_cast<int>(bytes.size());
        break;
    }
    }
    if (model_->ReadOnly)
        return;
    const int keep = caret_;
    model_->EditText(t);
    caret_ = keep;
    selLength_ = 0;
    update();
}

void TCustomPopupBox::keyPressEvent(QKeyEvent* e)
{
    const auto mods = e->modifiers();
    const int key = e->key();
    // The edit part: Alt+arrows, Enter, Escape.
    if ((DropDownOn & DropOnAltArrowKey) && (mods & Qt::AltModifier) && (key == Qt::Key_Up || key == Qt::Key_Down)) {
        TogglePopup();
        return;
    }
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        if (Dropped() && !(mods & Qt::ControlModifier)) {
            ApplyListAction(List.DoOnReturnKey);
            return;
        }
        switch (DoOnReturnKey) {
        case TPrxEditAlignDoOnReturnKey::doDefault:
            e->ignore(); // the form's default button acts
            return;
        case TPrxEditAlignDoOnReturnKey::doGoAway:
            GoToNextControl(mods & Qt::ShiftModifier);
            return;
        case TPrxEditAlignDoOnReturnKey::doNewLine:
            return;
        }
    }
    if (key == Qt::Key_Escape) {
        if (Dropped()) {
            Shutup();
            return;
        }
        e->ignore();
        return;
    }
    // The box: list keys.
    TChoiceKey ck;
    bool nav = true;
    switch (key) {
    case Qt::Key_PageUp: ck = TChoiceKey::PgUp; break;
    case Qt::Key_PageDown: ck = TChoiceKey::PgDn; break;
    case Qt::Key_End: ck = TChoiceKey::End; break;
    case Qt::Key_Home: ck = TChoiceKey::Home; break;
    case Qt::Key_Left: ck = TChoiceKey::Left; break;
    case Qt::Key_Up: ck = TChoiceKey::Up; break;
    case Qt::Key_Right: ck = TChoiceKey::Right; break;
    case Qt::Key_Down: ck = TChoiceKey::Down; break;
    default: nav = false; ck = TChoiceKey::Up; break;
    }
    if (nav && !(mods & (Qt::AltModifier | Qt::ControlModifier))) {
        model_->PageLines = list_->VisibleLines();
        if (model_->KeyDown(ck)) {
            list_->ShowSelection();
            list_->update();
            return;
        }
        if (model_->Style == pbsDropDown) {
            EditKey(e);
            return;
        }
        e->ignore();
        return;
    }
    if (model_->Style == pbsDropDownList) {
        const QString typed = e->text();
        if (typed.size() == 1 && typed[0].unicode() >= 32 && !(mods & (Qt::AltModifier | Qt::ControlModifier))) {
            const std::string bytes = ToWin1252(typed);
            // The pause between keys is measured on the events' own clock where they carry one, so a
            // busy program does not split what the operator typed in one go.
            static QElapsedTimer clock;
            if (!clock.isValid())
                clock.start();
            const std::int64_t nowMs = e->timestamp() != 0 ? std::int64_t(e->timestamp()) : clock.elapsed();
            model_->KeyChar(bytes.empty() ? '?' : bytes[0], nowMs);
            list_->ShowSelection();
            list_->update();
            return;
        }
        e->ignore();
        return;
    }
    EditKey(e);
}

// ---- TWheelx ----

TWheelx::TWheelx(QWidget* parent) : TPopupBox(std::make_unique<TWheelxModel>(), parent)
{
    resize(width(), 27);
    DropDownOn = DropOnAltArrowKey;
    List.DoOnClick = doShutup;
    List.PopupAt = pbaBelow;
    // What the box is after its form has been read.
    SetShowButton(ShowBtnFocus);
    SetStyle(pbsDropDownList);
}

void TWheelx::SetSelection(int value)
{
    Wheel().SetSelection(value);
}

void TWheelx::SetAllowDefault(bool value)
{
    Wheel().SetAllowDefault(value);
    update();
}

void TWheelx::Loaded()
{
    loaded_ = true;
    if (GetItemIndex() < 0 && GetItems().Count() > 0) {
        SetItemIndex(0);
        Wheel().Changed = 0;
    }
}

void TWheelx::showEvent(QShowEvent* e)
{
    TPopupBox::showEvent(e);
    if (!loaded_)
        Loaded();
}

void TWheelx::DoPopup()
{
    // The list takes the box's width and font and opens with the current line at its top.
    List.Width = width();
    ListWindow()->setFont(font());
    TCustomPopupBox::DoPopup();
    if (GetItemIndex() >= 0)
        ListWindow()->SetTopIndex(GetItemIndex());
}

void SetWheelxAllowDefault(QObject* owner, bool value)
{
    if (!owner)
        return;
    for (TWheelx* w : owner->findChildren<TWheelx*>())
        w->SetAllowDefault(value);
}

} // namespace korval
