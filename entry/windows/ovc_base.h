#pragma once
// Base classes of the entry, grid, list and notebook controls, the deferred control messages,
// the attached caption label and the owned item collection (notebook pages, splitter sections).
#include <QLabel>
#include <QObject>
#include <QPointer>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class QInputMethodEvent;

namespace korval {

class TOvcController;
class TOvcCollection;
class TOvcCollectionStreamer;
class TOvcAttachedLabel;
class TOvcCustomControl;

// Messages the controls post to each other.
enum : uint16_t {
    om_ReportError = 0x7F00,    // to an entry field: report error code WParam
    om_SetFocus = 0x7F01,       // to the controller: show Control and focus it
    om_PreEdit = 0x7F06,        // to the controller: Other lost the focus to Control
    om_PostEdit = 0x7F07,       // to the controller: Control lost the focus to Other
    om_AfterEnter = 0x7F08,     // to a control: fire AfterEnter
    om_AfterExit = 0x7F09,      // to a control: fire AfterExit
    om_DelayNotify = 0x7F0A,    // to the controller: Control = sender, WParam = code
    om_PositionLabel = 0x7F0B,  // to a control: re-place the attached label
    om_ItemAdded = 0x7F10,      // to the owner of a collection: an item was added
};

struct TOvcMessage {
    uint16_t Msg = 0;
    intptr_t WParam = 0;
    QPointer<QObject> Control;  // the control the message is about (the "lParam" control)
    QPointer<QObject> Other;    // a second control (the "wParam" control), when any
};

// Anything that takes control messages.
class TOvcMessageTarget {
public:
    virtual ~TOvcMessageTarget() = default;
    virtual void OvcMessage(const TOvcMessage& msg) = 0;
};

// Delivers msg to target after the current event, in posting order; dropped when the target
// is gone by then.
void PostOvcMessage(QObject* target, const TOvcMessage& msg);
// Delivers msg at once.
void SendOvcMessage(QObject* target, const TOvcMessage& msg);

// The nearest ancestor that is a window, or a frame that carries its own controller.
QWidget* GetImmediateParentForm(const QWidget* control);
// The first controller among the form's own children, nullptr when none.
TOvcController* FindController(const QObject* form);
// Takes FindController(form) when controller is null.
void ResolveController(const QObject* form, TOvcController*& controller);

// baseName followed by the first number 1, 2, ... that names no object under owner. An
// invalid identifier raises EOvcException.
std::string GenerateComponentName(const QObject* owner, const std::string& baseName);

// Moves the focus to the next (or previous) control of the window that takes Tab focus.
void FocusNextControl(QWidget* from, bool previous = false);

// Shows an exception that reached an event handler, as the program's handler does.
void HandleControlException(const std::exception& e);

// Holds the collections of a component or control and finds one by its item class.
class TOvcCollectionStreamer {
public:
    void Register(TOvcCollection* c);
    void Unregister(TOvcCollection* c);
    // The collection whose items are of that class; EOvcException (30246) when none.
    TOvcCollection* CollectionFor(const std::string& itemClassName) const;
    const std::vector<TOvcCollection*>& Collections() const { return collections_; }

private:
    std::vector<TOvcCollection*> collections_;
};

// A non-visual component.
class TOvcComponent : public QObject, public TOvcMessageTarget {
    Q_OBJECT
public:
    explicit TOvcComponent(QObject* owner = nullptr);
    ~TOvcComponent() override;
    std::string About() const { return "v3.06"; }
    void SetAbout(const std::string&) {}
    TOvcCollectionStreamer* CollectionStreamer(bool create = false);
    void OvcMessage(const TOvcMessage&) override {}
    bool Destroying() const { return destroying_; }

private:
    std::unique_ptr<TOvcCollectionStreamer> streamer_;
    bool destroying_ = false;
};

// A control without focus of its own (meters and the like).
class TOvcGraphicControl : public QWidget {
    Q_OBJECT
public:
    explicit TOvcGraphicControl(QWidget* parent = nullptr);
    std::string About() const { return "v3.06"; }
    void SetAbout(const std::string&) {}
};

// Where the attached label sits: left = control left + OffsetX, bottom = control top + OffsetY.
class TOvcLabelInfo {
public:
    explicit TOvcLabelInfo(std::function<void()> changed = nullptr) : changed_(std::move(changed)) {}
    int OffsetX() const { return x_; }
    int OffsetY() const { return y_; }
    bool Visible() const { return visible_; }
    void SetOffsetX(int v) { SetOffsets(v, y_); }
    void SetOffsetY(int v) { SetOffsets(x_, v); }
    void SetOffsets(int x, int y);
    void SetVisible(bool v);
    // Stores offsets without asking for re-placement (the label was moved by hand).
    void StoreOffsets(int x, int y) { x_ = x; y_ = y; }
    std::function<void()> OnVisibleChange;

private:
    std::function<void()> changed_;
    int x_ = 0, y_ = 0;
    bool visible_ = false;
};

// A focusable control: attached label, AfterEnter/AfterExit, mouse wheel event.
class TOvcCustomControl : public QWidget, public TOvcMessageTarget {
    Q_OBJECT
public:
    explicit TOvcCustomControl(QWidget* parent = nullptr);
    ~TOvcCustomControl() override;

    std::string About() const { return "v3.06"; }
    void SetAbout(const std::string&) {}

    TOvcLabelInfo& LabelInfo() { return labelInfo_; }
    // The attached label; EOvcException "Label not attached" when none.
    TOvcAttachedLabel* AttachedLabel() const;
    bool HasAttachedLabel() const { return !label_.isNull(); }
    void PositionLabel();

    std::function<void(QObject* sender)> AfterEnter;
    std::function<void(QObject* sender)> AfterExit;
    // Sender, shift flags, wheel delta, position.
    std::function<void(QObject* sender, uint8_t shift, int delta, int x, int y)> OnMouseWheel;

    TOvcCollectionStreamer* CollectionStreamer(bool create = false);
    bool Destroying() const { return destroying_; }

    void OvcMessage(const TOvcMessage& msg) override;

protected:
    virtual void DoAfterEnter();
    virtual void DoAfterExit();
    virtual void DoOnMouseWheel(uint8_t shift, int delta, int x, int y);

    bool event(QEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;
    void moveEvent(QMoveEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void wheelEvent(QWheelEvent* e) override;

private:
    friend class TOvcAttachedLabel;
    void labelVisibilityChanged();
    void labelMovedByHand();

    TOvcLabelInfo labelInfo_;
    QPointer<TOvcAttachedLabel> label_;
    std::unique_ptr<TOvcCollectionStreamer> streamer_;
    bool destroying_ = false;
};

// A key press as the controls see it.
struct TOvcKeyMessage {
    uint8_t Key = 0;    // virtual key
    uint8_t Shift = 0;  // ss_Shift | ss_Ctrl | ss_Alt
    std::string Text;   // the typed characters, Windows-1252
    bool AutoRepeat = false;
    bool Handled = false;  // set when the key was used; its characters are then not typed
};

// A control that works with the form's controller: keys through its command processor.
class TOvcCustomControlEx : public TOvcCustomControl {
    Q_OBJECT
public:
    explicit TOvcCustomControlEx(QWidget* parent = nullptr);

    // The controller; nullptr until resolved.
    TOvcController* Controller() const { return controller_; }
    void SetController(TOvcController* c);
    // The controller, resolved from the parent form when unset; ENoControllerAssigned when none.
    TOvcController* EnsureController();

    // Resolves the controller (called before the control is first shown).
    virtual void CreateWnd();

    // Catch Tab and Shift+Tab instead of letting them move the focus.
    void SetWantTabs(bool v) { wantTabs_ = v; }
    bool WantTabs() const { return wantTabs_; }

protected:
    // What the command tables would make of a key, without changing their state. Controls that
    // translate through particular tables override it; the default asks the active tables.
    virtual uint16_t PeekCommand(uint8_t key, uint8_t shift) const;
    virtual bool WantsTabKey() const { return wantTabs_; }
    // A key went down (with Alt too). Set msg.Handled when it was used.
    virtual void OvcKeyDown(TOvcKeyMessage& msg);
    // A typed character (also from an input method); true when it was used.
    virtual bool OvcKeyChar(char ch);
    // Translates a key through the controller's active tables.
    uint16_t TranslateKey(const TOvcKeyMessage& msg);

    bool event(QEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void inputMethodEvent(QInputMethodEvent* e) override;
    QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;

private:
    bool wantsShortcut(const QKeyEvent* e) const;

    QPointer<TOvcController> controller_;
    bool wantTabs_ = false;
    bool created_ = false;
};

// A control that is an item of its owner's collection.
class TOvcCollectibleControl : public TOvcCustomControl {
    Q_OBJECT
public:
    // The owner must be a TOvcComponent or TOvcCustomControl with a collection (EOvcException
    // 30242 / 30241 otherwise). A control owner is also the parent.
    explicit TOvcCollectibleControl(QObject* owner);
    ~TOvcCollectibleControl() override;
    virtual std::string GetBaseName() const;
    // Renames the item and tells its collection.
    void SetName(const std::string& name);
    TOvcCollection* Collection() const { return collection_; }

private:
    friend class TOvcCollection;
    TOvcCollection* collection_ = nullptr;
};

// The owned items of a component or control.
class TOvcCollection {
public:
    using TItemFactory = std::function<TOvcCollectibleControl*(QObject* owner)>;
    // The owner must be a TOvcComponent or TOvcCustomControl (EOvcException 30242).
    TOvcCollection(QObject* owner, std::string itemClassName, TItemFactory itemClass);
    ~TOvcCollection();
    TOvcCollection(const TOvcCollection&) = delete;
    TOvcCollection& operator=(const TOvcCollection&) = delete;

    // A new item made by the item class (EOvcException 30245 when there is none).
    TOvcCollectibleControl* Add();
    void Clear();
    int GetCount() const { return int(items_.size()); }
    TOvcCollectibleControl* GetItem(int index) const;
    TOvcCollectibleControl* ItemByName(const std::string& name) const;
    int IndexOf(const TOvcCollectibleControl* item) const;
    QObject* Owner() const { return owner_; }
    const std::string& ItemClassName() const { return itemClassName_; }

    std::function<void(TOvcCollection* sender)> OnChanged;

private:
    friend class TOvcCollectibleControl;
    void itemAdded(TOvcCollectibleControl* item);
    void itemRemoved(TOvcCollectibleControl* item);
    void changed();
    bool ownerDestroying() const;

    QPointer<QObject> owner_;
    std::string itemClassName_;
    TItemFactory itemClass_;
    std::vector<TOvcCollectibleControl*> items_;
    bool clearing_ = false;
};

// The caption label that sits above a control.
class TOvcAttachedLabel : public QLabel {
    Q_OBJECT
public:
    TOvcAttachedLabel(QWidget* parent, TOvcCustomControl* control);
    TOvcCustomControl* Control() const { return control_; }
    // Moves the label to its place from the control's offsets.
    void Place();

protected:
    void moveEvent(QMoveEvent* e) override;

private:
    QPointer<TOvcCustomControl> control_;
    bool placing_ = false;
};

} // namespace korval
