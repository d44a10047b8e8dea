#pragma once
// TOvcBaseEntryField: the window of every single-line entry field. It owns a field engine,
// translates keys through the form's controller into edit commands, paints the text, caret and
// selection itself, and runs the exit validation with its error reporting when the focus leaves.
#include <QColor>
#include <functional>
#include <memory>
#include <string>

#include "entry/windows/ovc_caret.h"
#include "entry/windows/ovc_controller.h"
#include "entry/ovc_field_engine.h"

class QMenu;

namespace korval {

class TOvcController;

using TNotifyEvent = std::function<void(QObject* sender)>;
using TValidationErrorEvent = std::function<void(QObject* sender, uint16_t errorCode, const std::string& errorMsg)>;
using TUserCommandEvent = std::function<void(QObject* sender, uint16_t command)>;
using TUserValidationEvent = std::function<void(QObject* sender, uint16_t& errorCode)>;

// Fills the fields' character rules from the international settings and the user-data object.
void SyncFieldIntl();

class TOvcBaseEntryField : public TOvcCustomControlEx, protected TOvcFieldHost {
    Q_OBJECT
public:
    ~TOvcBaseEntryField() override;

    TOvcFieldEngine& Engine() { return *engine_; }
    const TOvcFieldEngine& Engine() const { return *engine_; }

    // ---- typed values
    std::string GetAsString() { return engine_->GetAsString(); }
    void SetAsString(const std::string& s) { engine_->efSetFromString(s); }
    int32_t GetAsInteger() { return engine_->GetAsInteger(); }
    void SetAsInteger(int32_t v) { engine_->SetAsInteger(v); }
    double GetAsFloat() { return engine_->GetAsFloat(); }
    void SetAsFloat(double v) { engine_->SetAsFloat(v); }
    TStDate GetAsStDate() { return engine_->GetAsStDate(); }
    void SetAsStDate(TStDate v) { engine_->SetAsStDate(v); }
    TStTime GetAsStTime() { return engine_->GetAsStTime(); }
    void SetAsStTime(TStTime v) { engine_->SetAsStTime(v); }
    uint16_t GetValue(void* data) { return engine_->GetValue(data); }
    void SetValue(const void* data) { engine_->SetValue(data); }
    void efSetFromString(const std::string& s) { engine_->efSetFromString(s); }
    int GetDataSize() { return engine_->GetDataSize(); }
    uint16_t LastError() const { return engine_->LastError(); }

    bool GetModified() const { return engine_->GetModified(); }
    void SetModified(bool v) { engine_->SetModified(v); }
    bool GetEverModified() const { return engine_->GetEverModified(); }
    void SetEverModified(bool v) { engine_->SetEverModified(v); }
    std::string GetDisplayString() const { return engine_->GetDisplayString(); }
    std::string GetEditString() const { return engine_->GetEditString(); }

    // ---- properties
    std::string GetRangeHi() const { return engine_->GetRangeHi(); }
    std::string GetRangeLo() const { return engine_->GetRangeLo(); }
    void SetRangeHi(const std::string& s) { engine_->SetRangeHi(s); }
    void SetRangeLo(const std::string& s) { engine_->SetRangeLo(s); }
    int MaxLength() const { return engine_->MaxLength(); }
    void SetMaxLength(int v);
    TOvcEntryFieldOptions Options() const { return engine_->Options(); }
    void SetOptions(TOvcEntryFieldOptions v) { engine_->SetOptions(v); }
    int DecimalPlaces() const { return engine_->DecimalPlaces(); }
    char PadChar() const { return engine_->PadChar; }
    void SetPadChar(char c);
    char PasswordChar() const { return engine_->PasswordChar; }
    void SetPasswordChar(char c);
    bool Uninitialized() const { return engine_->Uninitialized(); }
    void SetUninitialized(bool v) { engine_->SetUninitialized(v); }
    TZeroDisplay ZeroDisplay() const { return engine_->ZeroDisplay; }
    void SetZeroDisplay(TZeroDisplay z);
    double ZeroDisplayValue() const { return engine_->ZeroDisplayValue; }
    void SetZeroDisplayValue(double v);
    int TextMargin() const { return textMargin_; }
    void SetTextMargin(int v);
    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool v);
    QColor ControlCharColor = QColor(255, 0, 0);
    // Colours of a disabled field, of a field in error (soft validation) and of the selection.
    TOvcEfColors EFColors;
    // Sides drawn by the field; with none enabled the field has its ordinary frame.
    TOvcBorders Borders;
    // The caret shapes in insert and overwrite mode.
    std::shared_ptr<TOvcCaret> CaretIns() const { return caret_->CaretIns(); }
    std::shared_ptr<TOvcCaret> CaretOvr() const { return caret_->CaretOvr(); }
    void SetCaretIns(std::shared_ptr<TOvcCaret> c) { caret_->SetCaretIns(std::move(c)); }
    void SetCaretOvr(std::shared_ptr<TOvcCaret> c) { caret_->SetCaretOvr(std::move(c)); }
    const TOvcCaretPair& CaretPair() const { return *caret_; }
    bool ReadOnly() const { return engine_->efIsReadOnly(); }

    // ---- operations
    void SelectAll() { engine_->SelectAll(); }
    void SetInsertionPoint(int pos) { engine_->SetInsertionPoint(pos); }
    void MoveCaret(int delta) { engine_->MoveCaret(delta); }
    void ProcessCommand(uint16_t cmd, char charCode) { engine_->ProcessCommand(cmd, charCode); update(); }
    void IncreaseValue(bool wrap, double delta) { engine_->IncreaseValue(wrap, delta); }
    void DecreaseValue(bool wrap, double delta) { engine_->DecreaseValue(wrap, delta); }
    uint16_t ValidateContents(bool reportError) { return engine_->ValidateContents(reportError); }
    bool IsValid() { return engine_->IsValid(); }
    void CopyToClipboard() { engine_->CopyToClipboard(); }
    void CutToClipboard() { engine_->ExecuteCommand(8 /* ccCut */); }
    void PasteFromClipboard() { engine_->PasteFromClipboard(); }
    void ClearSelection() { engine_->ClearSelection(); }
    // Standard edit messages.
    void GetSel(int& start, int& end) const { start = engine_->SelStart(); end = engine_->SelEnd(); }
    void SetSel(int start, int end) { engine_->SetSelection(start, end); }

    // ---- events
    TNotifyEvent OnChange;
    TValidationErrorEvent OnError;
    TUserCommandEvent OnUserCommand;
    TUserValidationEvent OnUserValidation;

    // The character index under a point of the field (mouse commands).
    int PositionAt(int x) const;
    QSize sizeHint() const override;

protected:
    TOvcBaseEntryField(std::unique_ptr<TOvcFieldEngine> engine, QWidget* parent);

    // TOvcFieldHost
    TOvcEditEnv EditEnv() const override;
    bool ControllerInsertMode() const override;
    void SetControllerInsertMode(bool mode) override;
    int ControllerEpoch() const override;
    bool ControllerErrorPending() const override;
    void SetControllerErrorPending(bool pending) override;
    void RequestRefocus() override;
    void PostErrorReport(uint16_t code) override;
    void Beep() override;
    void AdvanceFocus(bool forward) override;
    std::string ClipboardText() const override;
    void SetClipboardText(const std::string& s) override;
    void FieldChanged() override;
    void UserValidation(uint16_t& code) override;
    void UserCommand(uint16_t cmd) override;
    void FieldRepaint() override;
    bool FieldVisible() const override { return isVisible(); }
    bool FieldEnabled() const override { return isEnabled(); }

    // TOvcCustomControlEx
    void OvcKeyDown(TOvcKeyMessage& msg) override;
    bool OvcKeyChar(char ch) override;
    // Only the commands a field acts on are its own: the page and first/last keys of the
    // tables stay with the window's shortcuts.
    uint16_t PeekCommand(uint8_t key, uint8_t shift) const override;
    void OvcMessage(const TOvcMessage& msg) override;

    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void contextMenuEvent(QContextMenuEvent* e) override;
    void changeEvent(QEvent* e) override;

    void CreateWnd() override;
    // Copies the settings the forms publish from another field of the same kind.
    void AssignBase(const TOvcBaseEntryField& other);

    TOvcController* ActiveController() const;
    // Report the error code now (the posted error message arrives here).
    void ReportError(uint16_t code);
    void UpdateHeight();

    std::unique_ptr<TOvcFieldEngine> engine_;

private:
    struct TextLayout {
        QString disp;
        int first = 0;
        int left = 0;
        int top = 0;
        int lineHeight = 0;
    };
    TextLayout Layout() const;
    int TextLeft(int textWidth) const;
    void RunCommand(uint16_t cmd, const TOvcEditMsg& msg = {});
    void PlaceCaret();

    std::unique_ptr<TOvcCaretPair> caret_;
    int textMargin_ = 2;
    bool autoSize_ = true;
};

} // namespace korval
