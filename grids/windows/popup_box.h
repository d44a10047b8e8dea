#pragma once
// The choice box: a single-line edit with a drop button and a drop-down list window.
// TCustomPopupBox / TPopupBox carry the edit and the list; TWheelx adds the 1-based Selection
// (with an optional blank first item) that the program stores for most of its choices.
// Texts are 8-bit program strings (Windows-1252), converted only for painting.
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>
#include <string>

#include "grids/choice_list.h"

class QPainter;

namespace korval {

class TCustomPopupBox;

enum TPrxSpeedButtonStyle { prxSpBComboBox, prxSpBDown, prxSpBLeft, prxSpBRight, prxSpBUp, prxSpBEllipsis };
// Scoped: the list's TPopupBoxDoOn has a doGoAway of its own.
enum class TPrxEditAlignDoOnReturnKey { doDefault, doGoAway, doNewLine };
enum TPrxEditAlignShowBtn { ShowBtnNo, ShowBtnYes, ShowBtnFocus };
enum TPopupBoxAt { pbaAbove, pbaBelow };
enum TPrxEditAlignDropDownOn : unsigned { DropOnGetFocus = 1, DropOnAltArrowKey = 2 };

// The drop button: paints its glyph up or pressed; a click toggles the box's list.
class TPrxSpeedButton : public QWidget {
    Q_OBJECT
public:
    explicit TPrxSpeedButton(TCustomPopupBox* box);
    bool Down() const { return down_; }
    void SetDown(bool value);
    TPrxSpeedButtonStyle Style = prxSpBComboBox;

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent*) override;

private:
    TCustomPopupBox* box_;
    bool down_ = false;
};

// The drop-down list window: owner-drawn lines, the line under the mouse follows it.
class TPopupBoxLB : public QWidget {
    Q_OBJECT
public:
    explicit TPopupBoxLB(TCustomPopupBox* box);
    int TopIndex() const { return topIndex_; }
    void SetTopIndex(int index);
    int ItemHeight() const;
    int VisibleLines() const;
    int LineAt(int y) const;
    // Keeps the selected line on the page.
    void ShowSelection();

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent*) override;
    void mouseMoveEvent(QMouseEvent*) override;
    void mouseReleaseEvent(QMouseEvent*) override;
    void wheelEvent(QWheelEvent*) override;

private:
    void TrackTo(int y);
    TCustomPopupBox* box_;
    int topIndex_ = 0;
    bool pressed_ = false;
    int lastY_ = 0;
    QTimer autoScroll_;
};

// The list's settings (the box's List property).
struct TPopupListValues {
    Qt::Alignment Alignment = Qt::AlignLeft;
    bool AutoPos = true;
    bool Border = true;
    QColor Color{192, 220, 192};
    QColor ColorSel{0, 0, 128};
    QColor ColorSelBG{166, 202, 240};
    TPopupBoxDoOn DoOnClick = doGoAway;
    TPopupBoxDoOn DoOnReturnKey = doGoAway;
    int Height = 100;
    int ItemHeight = 0; // 0: from the font
    int Left = 0, Top = 0;
    TPopupBoxAt PopupAt = pbaBelow;
    bool Sel3D = true;
    int Width = 0;      // 0: the box's width
    bool IntegralHeight = true;
};

class TCustomPopupBox : public QWidget {
    Q_OBJECT
public:
    explicit TCustomPopupBox(QWidget* parent = nullptr);
    ~TCustomPopupBox() override;
    // Room for the widest item and the drop button, one line of the font high.
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

    // ---- the interface the forms use ----
    TPopupItems& GetItems() { return model_->Items; }
    int GetItemIndex() const { return model_->ItemIndex(); }
    void SetItemIndex(int index);
    std::string GetText() const { return model_->Text(); }
    void SetText(const std::string& value);

    TChoiceModel& Model() { return *model_; }
    TPopupListValues List;

    TPopupBoxStyle Style() const { return model_->Style; }
    void SetStyle(TPopupBoxStyle value);
    bool ReadOnly() const { return model_->ReadOnly; }
    void SetReadOnly(bool value) { model_->ReadOnly = value; }
    bool IgnoreArrowKeys() const { return model_->IgnoreArrowKeys; }
    void SetIgnoreArrowKeys(bool value) { model_->IgnoreArrowKeys = value; }
    bool Sorted() const { return model_->Items.Sorted(); }
    void SetSorted(bool value) { model_->Items.SetSorted(value); }

    Qt::Alignment Alignment = Qt::AlignLeft;
    bool AutoSelect = true;
    bool CaretAtEnd = false;
    TPrxEditAlignDoOnReturnKey DoOnReturnKey = TPrxEditAlignDoOnReturnKey::doDefault;
    unsigned DropDownOn = DropOnGetFocus | DropOnAltArrowKey;
    TPrxEditAlignShowBtn ShowButton() const { return showButton_; }
    void SetShowButton(TPrxEditAlignShowBtn value);
    int ShowButtonWidth = 0; // 0: the scroll-bar width
    bool TrimText = true;
    QColor ColorFocus{128, 128, 128};
    int MaxLength = 0;

    bool Dropped() const { return model_->Dropped; }
    void Popup();
    void Shutup();
    void TogglePopup();
    TPopupBoxLB* ListWindow() const { return list_; }
    TPrxSpeedButton* Button() const { return button_; }

    // ---- events ----
    std::function<void(TCustomPopupBox*)> OnChange;
    std::function<void(TCustomPopupBox*)> OnPopup;
    std::function<void(TCustomPopupBox*)> OnShutup;
    std::function<void(TCustomPopupBox*)> OnListClick;
    std::function<void(TCustomPopupBox*, int line)> OnListMouseMove;
    std::function<void(TCustomPopupBox*, QPainter& painter, int index, const QRect& rect, bool selected)> OnDrawListItem;
    std::function<void(TCustomPopupBox*, int index, std::string& value, bool& allowed)> OnSetFieldValue;
    std::function<void(TCustomPopupBox*)> OnEnter;
    std::function<void(TCustomPopupBox*)> OnExit;

    // After Enter or a click in the list: take the value, then close or move on.
    void ApplyListAction(TPopupBoxDoOn action);
    // The selected part of the edit text (characters).
    int SelStart() const { return selStart_; }
    int SelLength() const { return selLength_; }
    int CaretPos() const { return caret_; }

protected:
    explicit TCustomPopupBox(std::unique_ptr<TChoiceModel> model, QWidget* parent);
    // The list opens: its place, then the line that matches the text.
    virtual void DoPopup();

    void paintEvent(QPaintEvent*) override;
    void resizeEvent(QResizeEvent*) override;
    void keyPressEvent(QKeyEvent*) override;
    void mousePressEvent(QMouseEvent*) override;
    void focusInEvent(QFocusEvent*) override;
    void focusOutEvent(QFocusEvent*) override;
    void hideEvent(QHideEvent*) override;

private:
    friend class TPopupBoxLB;
    friend class TPrxSpeedButton;
    void Init();
    void LayoutButton();
    void PlaceList();
    void GoToNextControl(bool backwards);
    void EditKey(QKeyEvent* e);
    int ButtonWidth() const;

    std::unique_ptr<TChoiceModel> model_;
    // The list window lives on the form; either may go first.
    QPointer<TPopupBoxLB> list_;
    TPrxSpeedButton* button_ = nullptr;
    TPrxEditAlignShowBtn showButton_ = ShowBtnYes;
    int caret_ = 0;
    int selStart_ = 0;
    int selLength_ = 0;
};

class TPopupBox : public TCustomPopupBox {
    Q_OBJECT
public:
    explicit TPopupBox(QWidget* parent = nullptr) : TCustomPopupBox(parent) {}

protected:
    using TCustomPopupBox::TCustomPopupBox;
};

class TWheelx : public TPopupBox {
    Q_OBJECT
public:
    explicit TWheelx(QWidget* parent = nullptr);

    // 1 = the first item; with AllowDefault on, 0 = the blank first item.
    int GetSelection() const { return Wheel().GetSelection(); }
    void SetSelection(int value);
    bool AllowDefault() const { return Wheel().AllowDefault(); }
    void SetAllowDefault(bool value);
    // Set when the operator changed the choice after the last SetSelection; the program may
    // read, set and clear it.
    uint8_t& Changed() { return Wheel().Changed; }
    // What a form does once its items are filled: the first line is selected when none is.
    // Runs by itself when the box is first shown.
    void Loaded();

protected:
    void DoPopup() override;
    void showEvent(QShowEvent*) override;

private:
    TWheelxModel& Wheel() { return static_cast<TWheelxModel&>(Model()); }
    const TWheelxModel& Wheel() const { return static_cast<const TWheelxModel&>(const_cast<TWheelx*>(this)->Model()); }
    bool loaded_ = false;
};

// Sets AllowDefault on every TWheelx among owner's children.
void SetWheelxAllowDefault(QObject* owner, bool value);

} // namespace korval
