#include "grids/windows/ovc_notebook.h"

#include <QApplication>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QPainter>
#include <QPolygon>
#include <algorithm>

#include "entry/ovc_command_processor.h"
#include "entry/ovc_exceptions.h"
#include "grids/windows/grid_keys.h"
#include "platform/windows/win1252.h"

namespace korval {


namespace {

QString TabText(const std::string& caption)
{
    // '&' marks the accelerator and is not drawn; "&&" draws one '&'.
    QString s = FromWin1252(caption);
    QString out;
    for (int i = 0; i < s.size(); ++i) {
        if (s[i] == QLatin1Char('&') && i + 1 < s.size()) {
            out += s[++i];
            continue;
        }
        out += s[i];
    }
    return out;
}

QRect ToQRect(const TTabRect& r)
{
    return QRect(r.left, r.top, r.right - r.left, r.bottom - r.top);
}

bool IsScalable(const QFont& font)
{
    QFontInfo info(font);
    return QFontDatabase::isScalable(info.family(), info.styleName());
}

} // namespace

// ---- TOvcTabPage ----

TOvcTabPage::TOvcTabPage(TOvcNotebook* notebook) : TOvcCollectibleControl(notebook), notebook_(notebook)
{
    tabColor_ = notebook->Color();
    textColor_ = palette().color(QPalette::ButtonText);
    setAutoFillBackground(false);
    setFocusPolicy(Qt::NoFocus);
    notebook->PageAdded(this);
}

TOvcTabPage::~TOvcTabPage()
{
    notebook_->PageGone(this);
}

void TOvcTabPage::SetCaption(const std::string& caption)
{
    caption_ = caption;
    notebook_->PagesChanged();
}

void TOvcTabPage::SetEnabled(bool value)
{
    enabled_ = value;
    QWidget::setEnabled(value);
    notebook_->PagesChanged();
}

void TOvcTabPage::SetPageVisible(bool value)
{
    pageVisible_ = value;
    notebook_->PagesChanged();
}

void TOvcTabPage::SetTabColor(const QColor& value)
{
    tabColor_ = value;
    notebook_->update(ToQRect(tabRect_).adjusted(-2, -2, 2, 7));
}

void TOvcTabPage::SetTextColor(const QColor& value)
{
    textColor_ = value;
    notebook_->update(ToQRect(tabRect_).adjusted(-2, -2, 2, 7));
}

// ---- TOvcNotebook ----

TOvcNotebook::TOvcNotebook(QWidget* parent) : TOvcCustomControl(parent)
{
    collection_ = std::make_unique<TOvcCollection>(this, "TOvcTabPage",
                                                   [this](QObject*) { return new TOvcTabPage(this); });
    collection_->OnChanged = [this](TOvcCollection*) {
        if (!destroying_)
            PagesChanged();
    };
    const QPalette& pal = palette();
    color_ = pal.color(QPalette::Button);
    HighlightColor = pal.color(QPalette::Light);
    ShadowColor = pal.color(QPalette::Dark);
    TextShadowColor = ShadowColor;
    activeTabFont_ = font();
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    resize(220, 185);
    pager_.ShowPage = [this](int i) {
        TOvcTabPage* p = pages_[static_cast<size_t>(i)];
        p->raise();
        p->show();
        p->QWidget::setEnabled(true);
    };
    pager_.HidePage = [this](int i) { pages_[static_cast<size_t>(i)]->hide(); };
    pager_.OnPageChange = [this](int i, bool& allow) {
        if (OnPageChange)
            OnPageChange(this, i, allow);
    };
    pager_.OnPageChanged = [this](int i) {
        if (OnPageChanged)
            OnPageChanged(this, i);
    };
}

TOvcNotebook::~TOvcNotebook()
{
    destroying_ = true;
    collection_.reset();
}

TOvcTabPage* TOvcNotebook::AddPage(const std::string& caption)
{
    auto* page = static_cast<TOvcTabPage*>(collection_->Add());
    page->SetCaption(caption);
    return page;
}

void TOvcNotebook::PageAdded(TOvcTabPage* page)
{
    pages_.push_back(page);
    SyncPagerStates();
    if (pager_.PageIndex() < 0) {
        pager_.ResetPageIndex(0);
        page->show();
    } else {
        page->hide();
    }
}

void TOvcNotebook::PageGone(TOvcTabPage* page)
{
    if (destroying_)
        return;
    auto it = std::find(pages_.begin(), pages_.end(), page);
    if (it == pages_.end())
        return;
    const int index = static_cast<int>(it - pages_.begin());
    pages_.erase(it);
    SyncPagerStates();
    int cur = pager_.PageIndex();
    if (cur == index || cur >= GetPageCount()) {
        int next = NextPage(index - 1 < 0 ? GetPageCount() - 1 : index - 1);
        if (IsPageSelectable(index < GetPageCount() ? index : 0))
            next = index < GetPageCount() ? index : 0;
        pager_.ResetPageIndex(next);
        for (int i = 0; i < GetPageCount(); ++i)
            pages_[static_cast<size_t>(i)]->setVisible(i == next);
    } else if (cur > index) {
        pager_.ResetPageIndex(cur - 1);
    }
    PagesChanged();
}

void TOvcNotebook::DeletePage(int index)
{
    if (TOvcTabPage* page = GetPageAt(index))
        delete page;
}

TOvcTabPage* TOvcNotebook::GetPageAt(int index) const
{
    return index >= 0 && index < GetPageCount() ? pages_[static_cast<size_t>(index)] : nullptr;
}

void TOvcNotebook::SyncPagerStates()
{
    pager_.Pages.resize(pages_.size());
    for (size_t i = 0; i < pages_.size(); ++i) {
        pager_.Pages[i].caption = pages_[i]->caption_;
        pager_.Pages[i].enabled = pages_[i]->enabled_;
        pager_.Pages[i].pageVisible = pages_[i]->pageVisible_;
    }
}

void TOvcNotebook::PagesChanged()
{
    SyncPagerStates();
    Relayout();
    update();
}

void TOvcNotebook::SetPageIndex(int value)
{
    SyncPagerStates();
    const int before = pager_.PageIndex();
    // A focused control on the page that goes loses the focus to the notebook.
    QWidget* focus = QApplication::focusWidget();
    const bool focusInside = focus && focus != this && isAncestorOf(focus);
    pager_.SetPageIndex(value);
    if (pager_.PageIndex() != before) {
        if (focusInside)
            setFocus();
        TOvcTabPage* page = GetPageAt(pager_.PageIndex());
        setToolTip(page ? page->toolTip() : QString());
        Relayout();
        update();
    }
}

void TOvcNotebook::Loaded()
{
    SyncPagerStates();
    for (int i = 0; i < GetPageCount(); ++i)
        pages_[static_cast<size_t>(i)]->setVisible(i == DefaultPageIndex);
    if (GetPageCount() > 0) {
        pager_.ResetPageIndex(-1);
        SetPageIndex(DefaultPageIndex);
    }
    Relayout();
}

bool TOvcNotebook::IsPageSelectable(int index) const
{
    return korval::IsPageSelectable(pager_.Pages, index);
}

int TOvcNotebook::NextPage(int index) const
{
    return korval::NextPage(pager_.Pages, index);
}

int TOvcNotebook::PrevPage(int index) const
{
    return korval::PrevPage(pager_.Pages, index);
}

void TOvcNotebook::CheckTabFonts(TOvcTabOrientation orientation)
{
    if (orientation == toTop || orientation == toBottom)
        return;
    bool ok = IsScalable(font()) && (!UseActiveTabFont || IsScalable(activeTabFont_));
    for (auto* p : pages_)
        ok = ok && IsScalable(p->font());
    if (!ok)
        throw EInvalidTabFont();
}

void TOvcNotebook::SetTabOrientation(TOvcTabOrientation value)
{
    if (value == orientation_)
        return;
    CheckTabFonts(value);
    orientation_ = value;
    Relayout();
    update();
}

void TOvcNotebook::SetTabRowCount(int value)
{
    if (value < 0 || value > GetPageCount())
        return;
    tabRowCount_ = value;
    Relayout();
    update();
}

void TOvcNotebook::SetTabHeight(int value)
{
    if (value < 0)
        return;
    tabHeight_ = value;
    tabAutoHeight_ = false;
    Relayout();
    update();
}

void TOvcNotebook::SetTabAutoHeight(bool value)
{
    tabAutoHeight_ = value;
    Relayout();
    update();
}

void TOvcNotebook::SetOldStyle(bool value)
{
    oldStyle_ = value;
    Relayout();
    update();
}

void TOvcNotebook::SetActiveTabFont(const QFont& value)
{
    activeTabFont_ = value;
    Relayout();
    update();
}

void TOvcNotebook::SetTabUseDefaultColor(bool value)
{
    tabUseDefaultColor_ = value;
    if (value)
        for (auto* p : pages_)
            p->tabColor_ = color_;
    update();
}

void TOvcNotebook::SetColor(const QColor& value)
{
    // A colour chosen for the notebook itself ends taking the active tab's colour.
    color_ = value;
    PageUsesTabColor = false;
    if (tabUseDefaultColor_)
        for (auto* p : pages_)
            p->tabColor_ = value;
    update();
}

void TOvcNotebook::Relayout()
{
    if (tabAutoHeight_) {
        int h = 0;
        auto consider = [&](const QFont& f) { h = std::max(h, QFontMetrics(f).height() + 4); };
        if (UseActiveTabFont)
            consider(activeTabFont_);
        consider(font());
        for (auto* p : pages_)
            consider(p->font());
        tabHeight_ = h;
    }
    TTabLayoutInput in;
    in.width = width();
    in.height = height();
    in.tabHeight = tabHeight_;
    in.tabRowCount = tabRowCount_;
    in.orientation = orientation_;
    in.oldStyle = oldStyle_;
    in.current = pager_.PageIndex();
    for (auto* p : pages_) {
        const QString text = TabText(p->caption_);
        int w = QFontMetrics(p->font()).horizontalAdvance(text);
        if (UseActiveTabFont)
            w = std::max(w, QFontMetrics(activeTabFont_).horizontalAdvance(text));
        in.captionWidths.push_back(w);
        in.pageVisible.push_back(p->pageVisible_);
    }
    layout_ = LayoutTabs(in);
    const QRect pageRect = ToQRect(layout_.pageRect);
    for (size_t i = 0; i < pages_.size(); ++i) {
        TOvcTabPage* p = pages_[i];
        p->tabRect_ = layout_.tabRect.empty() ? TTabRect{} : layout_.tabRect[i];
        p->tabRow_ = layout_.tabRow.empty() ? 0 : layout_.tabRow[i];
        p->tabWidth_ = layout_.tabWidth.empty() ? 0 : layout_.tabWidth[i];
        if (p->geometry() != pageRect)
            p->setGeometry(pageRect);
    }
}

QRect TOvcNotebook::TabTextRect(int index) const
{
    if (!GetPageAt(index))
        return {};
    return ToQRect(korval::TabTextRect(pages_[static_cast<size_t>(index)]->tabRect_, orientation_, tabHeight_));
}

int TOvcNotebook::TabAt(const QPoint& pt) const
{
    for (size_t i = 0; i < pages_.size(); ++i)
        if (pages_[i]->tabWidth_ > 0 && pages_[i]->tabRect_.Contains(pt.x(), pt.y()))
            return static_cast<int>(i);
    return -1;
}

void TOvcNotebook::resizeEvent(QResizeEvent* e)
{
    TOvcCustomControl::resizeEvent(e);
    Relayout();
}

void TOvcNotebook::showEvent(QShowEvent*)
{
    // Alt+letter reaches the notebook through its window.
    QWidget* w = window();
    if (w != filteredWindow_) {
        if (filteredWindow_)
            filteredWindow_->removeEventFilter(this);
        if (w && w != this)
            w->installEventFilter(this);
        filteredWindow_ = w == this ? nullptr : w;
    }
    Relayout();
}

bool TOvcNotebook::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == filteredWindow_ && event->type() == QEvent::ShortcutOverride) {
        auto* ke = static_cast<QKeyEvent*>(event);
        if ((ke->modifiers() & Qt::AltModifier) && !ke->text().isEmpty()) {
            std::string bytes = ToWin1252(ke->text());
            if (!bytes.empty() && DialogChar(bytes[0])) {
                ke->accept();
                return true;
            }
        }
    }
    return TOvcCustomControl::eventFilter(watched, event);
}

void TOvcNotebook::changeEvent(QEvent* e)
{
    TOvcCustomControl::changeEvent(e);
    if (e->type() == QEvent::FontChange) {
        if (orientation_ == toLeft || orientation_ == toRight) {
            if (!IsScalable(font())) {
                QFont f = font();
                f.setFamily(QStringLiteral("Arial"));
                setFont(f);
                // Raised inside an event: shown the way the program shows a control's exception.
                HandleControlException(EInvalidTabFont());
            }
        }
        Relayout();
        update();
    }
}

bool TOvcNotebook::DialogChar(char ch)
{
    if (!isEnabled() || !isVisible() || pages_.empty())
        return false;
    SyncPagerStates();
    const int page = FindAcceleratorPage(pager_.Pages, pager_.PageIndex(), ch);
    if (page < 0 || !IsPageSelectable(page))
        return false;
    if (page == PageIndex()) {
        setFocus(Qt::ShortcutFocusReason);
        return true;
    }
    SetPageIndex(page);
    if (PageIndex() == page) {
        FocusFirstControl(page);
        if (OnTabClick)
            OnTabClick(this, page);
    }
    return true;
}

void TOvcNotebook::FocusFirstControl(int index)
{
    TOvcTabPage* page = GetPageAt(index);
    QWidget* first = nullptr;
    if (page) {
        for (QWidget* w = page->nextInFocusChain(); w && w != page; w = w->nextInFocusChain()) {
            if (!page->isAncestorOf(w))
                break;
            if (w->isVisibleTo(page) && w->isEnabled() && (w->focusPolicy() & Qt::TabFocus)) {
                first = w;
                break;
            }
        }
    }
    if (first)
        first->setFocus(Qt::TabFocusReason);
    else
        setFocus(Qt::OtherFocusReason);
}

void TOvcNotebook::ClickTab(int index)
{
    if (index == PageIndex()) {
        setFocus(Qt::MouseFocusReason);
        if (OnTabClick)
            OnTabClick(this, index);
        return;
    }
    if (!IsPageSelectable(index)) {
        if (OnTabClick)
            OnTabClick(this, index);
        return;
    }
    SetPageIndex(index);
    if (PageIndex() != index)
        return; // refused
    FocusFirstControl(index);
    if (OnTabClick)
        OnTabClick(this, index);
}

void TOvcNotebook::mousePressEvent(QMouseEvent* e)
{
    if (e->button() != Qt::LeftButton) {
        TOvcCustomControl::mousePressEvent(e);
        return;
    }
    const QPoint pt = e->position().toPoint();
    // Tabs of non-selectable pages report their click and the walk goes on.
    for (int i = 0; i < GetPageCount(); ++i) {
        const TOvcTabPage* p = pages_[static_cast<size_t>(i)];
        if (p->tabWidth_ == 0 || !p->tabRect_.Contains(pt.x(), pt.y()))
            continue;
        if (i != PageIndex() && !IsPageSelectable(i)) {
            if (OnTabClick)
                OnTabClick(this, i);
            continue;
        }
        ClickTab(i);
        return;
    }
    TOvcCustomControl::mousePressEvent(e);
}

void TOvcNotebook::mouseMoveEvent(QMouseEvent* e)
{
    const int tab = TabAt(e->position().toPoint());
    if (tab >= 0 && OnMouseOverTab)
        OnMouseOverTab(this, tab);
    TOvcCustomControl::mouseMoveEvent(e);
}

void TOvcNotebook::DoCommand(int command)
{
    if (command >= ccUser0) {
        if (OnUserCommand)
            OnUserCommand(this, command);
        return;
    }
    SyncPagerStates();
    const TTabNav nav = TabCommand(orientation_, command, layout_.rows);
    int target = -1;
    switch (nav) {
    case TTabNav::None:
        return;
    case TTabNav::Previous:
        target = PrevPage(PageIndex());
        break;
    case TTabNav::Next:
        target = NextPage(PageIndex());
        break;
    case TTabNav::First:
        target = NextPage(GetPageCount() - 1);
        break;
    case TTabNav::Last:
        target = PrevPage(0);
        break;
    case TTabNav::OtherRow: {
        // A press half a tab outwards from the middle of the active tab.
        const TOvcTabPage* cur = GetPageAt(PageIndex());
        if (!cur)
            return;
        const TTabRect t = cur->tabRect_;
        QPoint pt;
        switch (orientation_) {
        case toTop:
            pt = QPoint(t.left + t.Width() / 2, t.top - tabHeight_ / 2);
            break;
        case toBottom:
            pt = QPoint(t.left + t.Width() / 2, t.bottom + tabHeight_ / 2);
            break;
        case toRight:
            pt = QPoint(t.right + tabHeight_ / 2, t.top + t.Height() / 2);
            break;
        case toLeft:
            pt = QPoint(t.left - tabHeight_ / 2, t.top + t.Height() / 2);
            break;
        }
        const int hit = TabAt(pt);
        if (hit >= 0 && IsPageSelectable(hit))
            target = hit;
        break;
    }
    }
    if (target >= 0 && target != PageIndex())
        SetPageIndex(target);
    setFocus(Qt::OtherFocusReason);
}

void TOvcNotebook::keyPressEvent(QKeyEvent* e)
{
    const uint16_t command = keys_.Translate(e);
    if (command == ccPartial)
        return;
    if (command == ccNotCommand || command == ccNoPartial || command == ccNone) {
        TOvcCustomControl::keyPressEvent(e);
        return;
    }
    DoCommand(command);
}

void TOvcNotebook::focusInEvent(QFocusEvent* e)
{
    TOvcCustomControl::focusInEvent(e);
    keys_.Reset();
    update();
}

void TOvcNotebook::focusOutEvent(QFocusEvent* e)
{
    TOvcCustomControl::focusOutEvent(e);
    update();
}

void TOvcNotebook::PaintTab(QPainter& p, int index, bool active)
{
    TOvcTabPage* page = pages_[static_cast<size_t>(index)];
    TTabRect tr = page->tabRect_;
    if (active)
        tr = {tr.left - 2, tr.top - 2, tr.right + 2, tr.bottom + 2};
    const int L = tr.left, T = tr.top, R = tr.right, B = tr.bottom;
    const QColor tabColor = page->tabColor_;
    QPolygon fill;
    switch (orientation_) {
    case toTop:
        fill << QPoint(L, B) << QPoint(L, T + 2) << QPoint(L + 2, T) << QPoint(R - 4, T) << QPoint(R - 2, T + 2)
             << QPoint(R - 2, B);
        break;
    case toBottom:
        fill << QPoint(L + 1, T) << QPoint(L + 1, B - 2) << QPoint(L + 3, B - 1) << QPoint(R - 3, B - 1)
             << QPoint(R - 1, B - 3) << QPoint(R - 1, T);
        break;
    case toRight:
        fill << QPoint(L + 1, T) << QPoint(R - 2, T) << QPoint(R - 1, T + 2) << QPoint(R - 1, B - 3)
             << QPoint(R - 2, B - 1) << QPoint(L + 1, B - 1);
        break;
    case toLeft:
        fill << QPoint(L + 2, T + 1) << QPoint(R, T + 1) << QPoint(R, B - 1) << QPoint(L + 2, B - 1)
             << QPoint(L, B - 2) << QPoint(L, T + 2);
        break;
    }
    p.setPen(tabColor);
    p.setBrush(tabColor);
    p.drawPolygon(fill);
    p.setBrush(Qt::NoBrush);
    // Edges facing up or left are lit; edges facing down or right are black with a shadow inside.
    switch (orientation_) {
    case toTop:
        p.setPen(HighlightColor);
        p.drawPolyline(QPolygon() << QPoint(L, B - 1) << QPoint(L, T + 2) << QPoint(L + 2, T) << QPoint(R - 2, T));
        p.setPen(Qt::black);
        p.drawPolyline(QPolygon() << QPoint(R - 2, T + 1) << QPoint(R - 1, T + 2) << QPoint(R - 1, B));
        p.setPen(ShadowColor);
        p.drawLine(R - 2, T + 2, R - 2, B);
        break;
    case toBottom:
        p.setPen(HighlightColor);
        p.drawLine(L, T, L, B - 2);
        p.setPen(Qt::black);
        p.drawPolyline(QPolygon() << QPoint(R - 1, T) << QPoint(R - 1, B - 2) << QPoint(R - 3, B) << QPoint(L + 2, B)
                                  << QPoint(L, B - 2));
        p.setPen(ShadowColor);
        p.drawLine(R - 2, T, R - 2, B - 2);
        p.drawLine(L + 2, B - 1, R - 3, B - 1);
        break;
    case toRight:
        p.setPen(HighlightColor);
        p.drawLine(L, T, R - 2, T);
        p.setPen(Qt::black);
        p.drawPolyline(QPolygon() << QPoint(R - 1, T + 2) << QPoint(R - 1, B - 3) << QPoint(R - 2, B - 1)
                                  << QPoint(L, B - 1));
        p.setPen(ShadowColor);
        p.drawLine(R - 2, T + 2, R - 2, B - 3);
        p.drawLine(L, B - 2, R - 3, B - 2);
        break;
    case toLeft:
        p.setPen(HighlightColor);
        p.drawPolyline(QPolygon() << QPoint(L, B - 3) << QPoint(L, T + 2) << QPoint(L + 2, T) << QPoint(R, T));
        p.setPen(Qt::black);
        p.drawPolyline(QPolygon() << QPoint(L, B - 2) << QPoint(L + 2, B) << QPoint(R, B));
        p.setPen(ShadowColor);
        p.drawLine(L + 2, B - 1, R, B - 1);
        break;
    }
    // Text.
    QRect text = TabTextRect(index);
    if (active)
        text.adjust(-2, -2, 2, 2);
    if (text.right() > width() - 2)
        text.setRight(width() - 14);
    const bool enabled = page->enabled_;
    if (OnDrawTab) {
        OnDrawTab(this, index, page->caption_, text, enabled, active, p);
        return;
    }
    const QFont f = active && UseActiveTabFont ? activeTabFont_ : page->font();
    p.setFont(f);
    const QString caption = TabText(page->caption_.substr(0, 255));
    auto draw = [&](const QRect& r, const QColor& c) {
        p.setPen(c);
        if (orientation_ == toTop || orientation_ == toBottom) {
            p.drawText(r, Qt::AlignCenter | Qt::TextSingleLine, caption);
            return;
        }
        p.save();
        p.translate(r.center());
        p.rotate(orientation_ == toRight ? -90 : 90);
        const QRect rr(-r.height() / 2, -r.width() / 2, r.height(), r.width());
        p.drawText(rr, Qt::AlignCenter | Qt::TextSingleLine, caption);
        p.restore();
    };
    if (!enabled) {
        draw(text, HighlightColor);
        draw(text.translated(-2, -1), ShadowColor);
    } else if (ShadowedText) {
        draw(text, TextShadowColor);
        draw(text.translated(-2, -1), page->textColor_);
    } else {
        draw(text, page->textColor_);
    }
    if (active && hasFocus() && IsPageSelectable(index)) {
        QRect fr = text;
        switch (orientation_) {
        case toTop:
            fr.adjust(-4, -2, 4, -2);
            break;
        case toRight:
            fr.adjust(1, -4, 2, 4);
            break;
        case toBottom:
            fr.adjust(-4, 2, 4, -3);
            break;
        case toLeft:
            fr.adjust(4, -4, -1, 4);
            break;
        }
        p.setPen(QPen(page->textColor_, 1, Qt::DotLine));
        p.drawRect(fr.adjusted(0, 0, -1, -1));
    }
}

void TOvcNotebook::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    if (pages_.empty()) {
        p.fillRect(rect(), color_);
        return;
    }
    Relayout();
    TOvcTabPage* current = GetPageAt(PageIndex());
    QColor pageColor = color_;
    if (PageUsesTabColor && current)
        pageColor = current->tabColor_;
    p.fillRect(rect(), pageColor);
    if (tabHeight_ <= 0)
        return;
    // The strip behind the tabs takes the parent's colour.
    const QColor parentColor = parentWidget() ? parentWidget()->palette().color(QPalette::Window) : color_;
    const int strip = layout_.rows * tabHeight_ + 2;
    const int W = width(), H = height();
    QRect stripRect, frame;
    switch (orientation_) {
    case toTop:
        stripRect = QRect(0, 0, W, strip);
        frame = QRect(0, strip, W, H - strip);
        break;
    case toBottom:
        stripRect = QRect(0, H - strip, W, strip);
        frame = QRect(0, 0, W, H - strip);
        break;
    case toLeft:
        stripRect = QRect(0, 0, strip, H);
        frame = QRect(strip, 0, W - strip, H);
        break;
    case toRight:
        stripRect = QRect(W - strip, 0, strip, H);
        frame = QRect(0, 0, W - strip, H);
        break;
    }
    p.fillRect(stripRect, parentColor);
    // Page frame, lit from the top left.
    p.setPen(HighlightColor);
    p.drawLine(frame.left(), frame.top(), frame.right() - 1, frame.top());
    p.drawLine(frame.left(), frame.top(), frame.left(), frame.bottom() - 1);
    p.setPen(Qt::black);
    p.drawLine(frame.left(), frame.bottom(), frame.right(), frame.bottom());
    p.drawLine(frame.right(), frame.top(), frame.right(), frame.bottom());
    p.setPen(ShadowColor);
    p.drawLine(frame.left() + 1, frame.bottom() - 1, frame.right() - 1, frame.bottom() - 1);
    p.drawLine(frame.right() - 1, frame.top() + 1, frame.right() - 1, frame.bottom() - 1);
    // Rows from the far side in; the current row last, and the active tab over everything.
    for (int row : layout_.paintOrder)
        for (int i = 0; i < GetPageCount(); ++i)
            if (i != PageIndex() && pages_[static_cast<size_t>(i)]->tabWidth_ > 0 && layout_.tabRow[static_cast<size_t>(i)] == row)
                PaintTab(p, i, false);
    if (current && current->tabWidth_ > 0) {
        PaintTab(p, PageIndex(), true);
        // The active tab opens into the page.
        const TTabRect t = current->tabRect_;
        p.setPen(current->tabColor_);
        switch (orientation_) {
        case toTop:
            p.drawLine(t.left - 1, frame.top(), t.right - 1, frame.top());
            break;
        case toBottom:
            p.drawLine(t.left - 1, frame.bottom(), t.right - 1, frame.bottom());
            p.drawLine(t.left - 1, frame.bottom() - 1, t.right - 1, frame.bottom() - 1);
            break;
        case toLeft:
            p.drawLine(frame.left(), t.top - 1, frame.left(), t.bottom - 1);
            break;
        case toRight:
            p.drawLine(frame.right(), t.top - 1, frame.right(), t.bottom - 1);
            p.drawLine(frame.right() - 1, t.top - 1, frame.right() - 1, t.bottom - 1);
            break;
        }
    }
}

} // namespace korval
