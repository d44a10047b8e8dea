#include "entry/windows/ovc_base.h"

#include "entry/windows/ovc_controller.h"
#include "entry/ovc_exceptions.h"
#include "entry/windows/ovc_key_map.h"
#include "entry/ovc_strings.h"
#include "platform/message_dlg.h"
#include "platform/windows/win1252.h"

#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMetaObject>
#include <QWheelEvent>

#include <algorithm>
#include <cctype>

namespace korval {

namespace {

void deliver(QObject* target, const TOvcMessage& msg)
{
    if (auto* t = dynamic_cast<TOvcMessageTarget*>(target))
        t->OvcMessage(msg);
}

bool isIdentifier(const std::string& s)
{
    if (s.empty() || !(std::isalpha(uint8_t(s[0])) || s[0] == '_'))
        return false;
    return std::all_of(s.begin(), s.end(), [](char c) { return std::isalnum(uint8_t(c)) || c == '_'; });
}

// The collection a collectible control being made by TOvcCollection::Add belongs to.
TOvcCollection* g_adding = nullptr;

TOvcCollectionStreamer* streamerOf(QObject* owner, bool create)
{
    if (auto* c = dynamic_cast<TOvcComponent*>(owner))
        return c->CollectionStreamer(create);
    if (auto* c = dynamic_cast<TOvcCustomControl*>(owner))
        return c->CollectionStreamer(create);
    return nullptr;
}

bool isCollectionOwner(QObject* owner)
{
    return dynamic_cast<TOvcComponent*>(owner) || dynamic_cast<TOvcCustomControl*>(owner);
}

} // namespace

void PostOvcMessage(QObject* target, const TOvcMessage& msg)
{
    if (!target)
        return;
    // The target is the context: a target destroyed before delivery drops the call.
    QMetaObject::invokeMethod(target, [target, msg] { deliver(target, msg); }, Qt::QueuedConnection);
}

void SendOvcMessage(QObject* target, const TOvcMessage& msg)
{
    if (target)
        deliver(target, msg);
}

QWidget* GetImmediateParentForm(const QWidget* control)
{
    if (!control)
        return nullptr;
    for (QWidget* p = control->parentWidget(); p; p = p->parentWidget())
        if (p->isWindow() || FindController(p))
            return p;
    return nullptr;
}

TOvcController* FindController(const QObject* form)
{
    if (!form)
        return nullptr;
    for (QObject* child : form->children())
        if (auto* c = qobject_cast<TOvcController*>(child))
            return c;
    return nullptr;
}

void ResolveController(const QObject* form, TOvcController*& controller)
{
    if (!controller)
        controller = FindController(form);
}

std::string GenerateComponentName(const QObject* owner, const std::string& baseName)
{
    if (!isIdentifier(baseName))
        throw EOvcException("'" + baseName + "' is not a valid component name");
    for (int n = 1;; ++n) {
        std::string name = baseName + std::to_string(n);
        if (!owner || !owner->findChild<QObject*>(QString::fromStdString(name)))
            return name;
    }
}

void FocusNextControl(QWidget* from, bool previous)
{
    if (!from)
        return;
    QWidget* w = from;
    for (int guard = 0; guard < 10000; ++guard) {
        w = previous ? w->previousInFocusChain() : w->nextInFocusChain();
        if (!w || w == from)
            return;
        if (w->window() == from->window() && w->isVisible() && w->isEnabled() &&
            (w->focusPolicy() & Qt::TabFocus)) {
            w->setFocus(previous ? Qt::BacktabFocusReason : Qt::TabFocusReason);
            return;
        }
    }
}

void HandleControlException(const std::exception& e)
{
    MessageDlg(std::string("An exception occured!\r") + e.what(), TMsgDlgType::mtError, mbOK);
}

// ---- TOvcCollectionStreamer

void TOvcCollectionStreamer::Register(TOvcCollection* c)
{
    if (std::find(collections_.begin(), collections_.end(), c) == collections_.end())
        collections_.push_back(c);
}

void TOvcCollectionStreamer::Unregister(TOvcCollection* c)
{
    collections_.erase(std::remove(collections_.begin(), collections_.end(), c), collections_.end());
}

TOvcCollection* TOvcCollectionStreamer::CollectionFor(const std::string& itemClassName) const
{
    for (TOvcCollection* c : collections_)
        if (c->ItemClassName() == itemClassName)
            return c;
    throw EOvcException(GetLibraryString(SCCantFindCollection));
}

// ---- TOvcComponent, TOvcGraphicControl

TOvcComponent::TOvcComponent(QObject* owner) : QObject(owner) {}

TOvcComponent::~TOvcComponent()
{
    destroying_ = true;
}

TOvcCollectionStreamer* TOvcComponent::CollectionStreamer(bool create)
{
    if (!streamer_ && create)
        streamer_ = std::make_unique<TOvcCollectionStreamer>();
    return streamer_.get();
}

TOvcGraphicControl::TOvcGraphicControl(QWidget* parent) : QWidget(parent)
{
    setFocusPolicy(Qt::NoFocus);
}

// ---- TOvcLabelInfo

void TOvcLabelInfo::SetOffsets(int x, int y)
{
    if (x == x_ && y == y_)
        return;
    x_ = x;
    y_ = y;
    if (changed_)
        changed_();
}

void TOvcLabelInfo::SetVisible(bool v)
{
    if (v == visible_)
        return;
    visible_ = v;
    if (OnVisibleChange)
        OnVisibleChange();
}

// ---- TOvcCustomControl

TOvcCustomControl::TOvcCustomControl(QWidget* parent)
    : QWidget(parent), labelInfo_([this] { PositionLabel(); })
{
    setFocusPolicy(Qt::StrongFocus);
    labelInfo_.OnVisibleChange = [this] { labelVisibilityChanged(); };
}

TOvcCustomControl::~TOvcCustomControl()
{
    destroying_ = true;
    // The label goes with its control.
    delete label_.data();
}

TOvcAttachedLabel* TOvcCustomControl::AttachedLabel() const
{
    if (!label_)
        throw EOvcException(GetLibraryString(SCLabelNotAttached));
    return label_.data();
}

void TOvcCustomControl::PositionLabel()
{
    if (label_)
        label_->Place();
}

void TOvcCustomControl::labelVisibilityChanged()
{
    delete label_.data();
    if (!labelInfo_.Visible())
        return;
    QWidget* form = GetImmediateParentForm(this);
    std::string base = objectName().toStdString() + "Label";
    std::string name = base;
    if (form && form->findChild<QObject*>(QString::fromStdString(name)))
        name = GenerateComponentName(form, base);
    label_ = new TOvcAttachedLabel(parentWidget(), this);
    label_->setObjectName(QString::fromStdString(name));
    label_->setText(FromWin1252(name));
    label_->adjustSize();
    labelInfo_.StoreOffsets(0, 0);
    label_->Place();
    label_->setVisible(isVisibleTo(parentWidget() ? parentWidget() : this) || !parentWidget());
    label_->raise();
}

void TOvcCustomControl::labelMovedByHand()
{
    if (label_)
        labelInfo_.StoreOffsets(label_->x() - x(), label_->y() + label_->height() - y());
}

TOvcCollectionStreamer* TOvcCustomControl::CollectionStreamer(bool create)
{
    if (!streamer_ && create)
        streamer_ = std::make_unique<TOvcCollectionStreamer>();
    return streamer_.get();
}

void TOvcCustomControl::OvcMessage(const TOvcMessage& msg)
{
    switch (msg.Msg) {
    case om_AfterEnter: DoAfterEnter(); break;
    case om_AfterExit: DoAfterExit(); break;
    case om_PositionLabel: PositionLabel(); break;
    default: break;
    }
}

void TOvcCustomControl::DoAfterEnter()
{
    if (auto ev = AfterEnter)
        ev(this);
}

void TOvcCustomControl::DoAfterExit()
{
    if (auto ev = AfterExit)
        ev(this);
}

void TOvcCustomControl::DoOnMouseWheel(uint8_t shift, int delta, int x, int y)
{
    if (auto ev = OnMouseWheel)
        ev(this, shift, delta, x, y);
}

bool TOvcCustomControl::event(QEvent* e)
{
    if (label_ && (e->type() == QEvent::ShowToParent || e->type() == QEvent::HideToParent))
        label_->setVisible(e->type() == QEvent::ShowToParent);
    return QWidget::event(e);
}

void TOvcCustomControl::focusInEvent(QFocusEvent* e)
{
    PostOvcMessage(this, {om_AfterEnter, 0, this, nullptr});
    QWidget::focusInEvent(e);
}

void TOvcCustomControl::focusOutEvent(QFocusEvent* e)
{
    PostOvcMessage(this, {om_AfterExit, 0, this, nullptr});
    QWidget::focusOutEvent(e);
}

void TOvcCustomControl::moveEvent(QMoveEvent* e)
{
    if (label_)
        PostOvcMessage(this, {om_PositionLabel, 0, this, nullptr});
    QWidget::moveEvent(e);
}

void TOvcCustomControl::resizeEvent(QResizeEvent* e)
{
    if (label_)
        PostOvcMessage(this, {om_PositionLabel, 0, this, nullptr});
    QWidget::resizeEvent(e);
}

void TOvcCustomControl::wheelEvent(QWheelEvent* e)
{
    QPoint p = e->position().toPoint();
    DoOnMouseWheel(ShiftFlagsFromQt(e->modifiers()), e->angleDelta().y(), p.x(), p.y());
    QWidget::wheelEvent(e);
}

// ---- TOvcCustomControlEx

TOvcCustomControlEx::TOvcCustomControlEx(QWidget* parent) : TOvcCustomControl(parent)
{
    setAttribute(Qt::WA_InputMethodEnabled);
}

void TOvcCustomControlEx::SetController(TOvcController* c)
{
    controller_ = c;
}

TOvcController* TOvcCustomControlEx::EnsureController()
{
    if (!controller_)
        controller_ = FindController(GetImmediateParentForm(this));
    if (!controller_)
        throw ENoControllerAssigned();
    return controller_;
}

void TOvcCustomControlEx::CreateWnd()
{
    EnsureController();
}

uint16_t TOvcCustomControlEx::PeekCommand(uint8_t key, uint8_t shift) const
{
    TOvcController* c = controller_ ? controller_.data() : FindController(GetImmediateParentForm(this));
    return c ? c->EntryCommands().Peek(key, shift) : uint16_t(ccNotCommand);
}

uint16_t TOvcCustomControlEx::TranslateKey(const TOvcKeyMessage& msg)
{
    return EnsureController()->EntryCommands().Translate(msg.Key, msg.Shift);
}

void TOvcCustomControlEx::OvcKeyDown(TOvcKeyMessage&) {}

bool TOvcCustomControlEx::OvcKeyChar(char)
{
    return false;
}

bool TOvcCustomControlEx::wantsShortcut(const QKeyEvent* e) const
{
    TOvcKey k = OvcKeyFromEvent(e);
    if (k.Key == 0)
        return false;
    TOvcController* c = controller_ ? controller_.data() : FindController(GetImmediateParentForm(this));
    if (c && c->EntryCommands().State() != 0)
        return true;  // the key completes a sequence or is taken literally
    uint16_t r = PeekCommand(k.Key, k.Shift);
    return r != ccNotCommand && r != ccNoPartial;
}

bool TOvcCustomControlEx::event(QEvent* e)
{
    try {
        switch (e->type()) {
        case QEvent::Polish:
        case QEvent::Show:
            if (!created_) {
                created_ = true;
                CreateWnd();
            }
            break;
        case QEvent::ShortcutOverride:
            // Keys our tables bind are ours, even when a menu or action has the same shortcut.
            if (wantsShortcut(static_cast<QKeyEvent*>(e))) {
                e->accept();
                return true;
            }
            break;
        case QEvent::KeyPress: {
            auto* ke = static_cast<QKeyEvent*>(e);
            if ((ke->key() == Qt::Key_Tab || ke->key() == Qt::Key_Backtab) && WantsTabKey()) {
                keyPressEvent(ke);
                return true;
            }
            break;
        }
        default:
            break;
        }
        return TOvcCustomControl::event(e);
    } catch (const std::exception& ex) {
        HandleControlException(ex);
        return true;
    }
}

void TOvcCustomControlEx::focusInEvent(QFocusEvent* e)
{
    // A pending two-key sequence never crosses from one control to another.
    if (controller_)
        controller_->EntryCommands().ResetCommandProcessor();
    TOvcCustomControl::focusInEvent(e);
}

void TOvcCustomControlEx::keyPressEvent(QKeyEvent* e)
{
    TOvcKey k = OvcKeyFromEvent(e);
    TOvcKeyMessage msg;
    msg.Key = k.Key;
    msg.Shift = k.Shift;
    msg.Text = ToWin1252(e->text());
    msg.AutoRepeat = e->isAutoRepeat();
    OvcKeyDown(msg);
    bool used = msg.Handled;
    if (!used)
        for (char ch : msg.Text)
            used = OvcKeyChar(ch) || used;
    if (used)
        e->accept();
    else
        e->ignore();
}

void TOvcCustomControlEx::inputMethodEvent(QInputMethodEvent* e)
{
    // Text from an input method is typed text.
    for (char ch : ToWin1252(e->commitString()))
        OvcKeyChar(ch);
    e->accept();
}

QVariant TOvcCustomControlEx::inputMethodQuery(Qt::InputMethodQuery query) const
{
    if (query == Qt::ImEnabled)
        return true;
    return TOvcCustomControl::inputMethodQuery(query);
}

// ---- TOvcCollectibleControl

TOvcCollectibleControl::TOvcCollectibleControl(QObject* owner)
    : TOvcCustomControl(qobject_cast<QWidget*>(owner))
{
    if (!isCollectionOwner(owner))
        throw EOvcException(GetLibraryString(SCNotOvcDescendant));
    TOvcCollectionStreamer* s = streamerOf(owner, false);
    if (g_adding && g_adding->Owner() == owner)
        collection_ = g_adding;
    else if (s && !s->Collections().empty())
        collection_ = s->Collections().front();
    if (!collection_)
        throw EOvcException(GetLibraryString(SCNoCollection));
    collection_->items_.push_back(this);
    if (collection_ != g_adding)
        collection_->changed();
}

TOvcCollectibleControl::~TOvcCollectibleControl()
{
    if (collection_)
        collection_->itemRemoved(this);
}

std::string TOvcCollectibleControl::GetBaseName() const
{
    std::string name = metaObject()->className();
    auto p = name.rfind("::");
    return p == std::string::npos ? name : name.substr(p + 2);
}

void TOvcCollectibleControl::SetName(const std::string& name)
{
    if (objectName().toStdString() == name)
        return;
    setObjectName(QString::fromStdString(name));
    if (collection_ && collection_->OnChanged)
        collection_->OnChanged(collection_);
}

// ---- TOvcCollection

TOvcCollection::TOvcCollection(QObject* owner, std::string itemClassName, TItemFactory itemClass)
    : owner_(owner), itemClassName_(std::move(itemClassName)), itemClass_(std::move(itemClass))
{
    if (!isCollectionOwner(owner))
        throw EOvcException(GetLibraryString(SCNotOvcDescendant));
    streamerOf(owner, true)->Register(this);
}

TOvcCollection::~TOvcCollection()
{
    if (owner_)
        if (TOvcCollectionStreamer* s = streamerOf(owner_, false))
            s->Unregister(this);
    std::vector<TOvcCollectibleControl*> items;
    items.swap(items_);
    for (auto* item : items) {
        item->collection_ = nullptr;
        delete item;
    }
}

TOvcCollectibleControl* TOvcCollection::Add()
{
    if (!itemClass_)
        throw EOvcException(GetLibraryString(SCItemClassNotSet));
    TOvcCollection* previous = g_adding;
    g_adding = this;
    TOvcCollectibleControl* item = nullptr;
    try {
        item = itemClass_(owner_);
    } catch (...) {
        g_adding = previous;
        throw;
    }
    g_adding = previous;
    if (item && item->collection_ != this) {
        // A factory that made its item elsewhere: take it here.
        if (item->collection_)
            item->collection_->itemRemoved(item);
        item->collection_ = this;
        items_.push_back(item);
    }
    itemAdded(item);
    return item;
}

void TOvcCollection::itemAdded(TOvcCollectibleControl*)
{
    changed();
}

void TOvcCollection::changed()
{
    if (!ownerDestroying())
        SendOvcMessage(owner_, {om_ItemAdded, 0, owner_, nullptr});
    if (OnChanged)
        OnChanged(this);
}

void TOvcCollection::itemRemoved(TOvcCollectibleControl* item)
{
    items_.erase(std::remove(items_.begin(), items_.end(), item), items_.end());
    item->collection_ = nullptr;
    if (!clearing_ && !ownerDestroying() && OnChanged)
        OnChanged(this);
}

bool TOvcCollection::ownerDestroying() const
{
    if (!owner_)
        return true;
    if (auto* c = dynamic_cast<TOvcComponent*>(owner_.data()))
        return c->Destroying();
    if (auto* c = dynamic_cast<TOvcCustomControl*>(owner_.data()))
        return c->Destroying();
    return false;
}

void TOvcCollection::Clear()
{
    clearing_ = true;
    std::vector<TOvcCollectibleControl*> items;
    items.swap(items_);
    for (auto* item : items) {
        item->collection_ = nullptr;
        delete item;
    }
    clearing_ = false;
    changed();
}

TOvcCollectibleControl* TOvcCollection::GetItem(int index) const
{
    return index >= 0 && index < GetCount() ? items_[size_t(index)] : nullptr;
}

TOvcCollectibleControl* TOvcCollection::ItemByName(const std::string& name) const
{
    for (auto* item : items_)
        if (item->objectName().toStdString() == name)
            return item;
    return nullptr;
}

int TOvcCollection::IndexOf(const TOvcCollectibleControl* item) const
{
    auto it = std::find(items_.begin(), items_.end(), item);
    return it == items_.end() ? -1 : int(it - items_.begin());
}

// ---- TOvcAttachedLabel

TOvcAttachedLabel::TOvcAttachedLabel(QWidget* parent, TOvcCustomControl* control)
    : QLabel(parent), control_(control)
{
    setAutoFillBackground(true);  // not transparent
    setBuddy(control);
}

void TOvcAttachedLabel::Place()
{
    if (!control_)
        return;
    placing_ = true;
    adjustSize();
    move(control_->x() + control_->LabelInfo().OffsetX(),
         control_->y() + control_->LabelInfo().OffsetY() - height());
    placing_ = false;
}

void TOvcAttachedLabel::moveEvent(QMoveEvent* e)
{
    if (!placing_ && control_)
        control_->labelMovedByHand();
    QLabel::moveEvent(e);
}

} // namespace korval
