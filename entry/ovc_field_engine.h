#pragma once
// The editing engine under every entry field: the edit buffer, caret and selection, insert and
// overwrite mode, the typed values (strings, integers, reals, dates, times) and their transfer,
// validation with error codes, and the modified marks. Plain C++: the field's window owns one
// and gives it the outside world through TOvcFieldHost; tests drive it without a display.
#include <cstdint>
#include <initializer_list>
#include <string>

#include "entry/ovc_char_rules.h"
#include "entry/ovc_date.h"

namespace korval {

enum TOvcEntryFieldOption : uint8_t {
    efoArrowIncDec, efoCaretToEnd, efoForceInsert, efoForceOvertype, efoInputRequired, efoPasswordMode,
    efoReadOnly, efoRightAlign, efoRightJustify, efoSoftValidation, efoStripLiterals, efoTrimBlanks
};

// A set of field options (bit n = option n).
class TOvcEntryFieldOptions {
public:
    constexpr TOvcEntryFieldOptions() = default;
    constexpr TOvcEntryFieldOptions(std::initializer_list<TOvcEntryFieldOption> list)
    {
        for (auto o : list)
            bits_ |= uint16_t(1u << o);
    }
    constexpr bool Contains(TOvcEntryFieldOption o) const { return bits_ & (1u << o); }
    constexpr void Include(TOvcEntryFieldOption o) { bits_ |= uint16_t(1u << o); }
    constexpr void Exclude(TOvcEntryFieldOption o) { bits_ &= uint16_t(~(1u << o)); }
    constexpr uint16_t Bits() const { return bits_; }
    constexpr bool operator==(const TOvcEntryFieldOptions&) const = default;

private:
    uint16_t bits_ = 0;
};

enum TZeroDisplay : uint8_t { zdShow, zdHide, zdHideUntilModified };

// Validation results.
enum : uint16_t {
    oeNone = 0,
    oeRangeError = 256,
    oeInvalidNumber = 257,
    oeRequiredField = 258,
    oeInvalidDate = 259,
    oeInvalidTime = 260,
    oeBlanksInField = 261,
    oePartialEntry = 262,
    oeCustomError = 32768,  // a form's own codes start here
};

// State bits of a field.
enum : uint32_t {
    sefRetainPos = 1u << 0,      // focus taken back after an error: keep the error state
    sefInvalid = 1u << 1,        // contents invalid under soft validation
    sefValidating = 1u << 4,
    sefModified = 1u << 5,
    sefEverModified = 1u << 6,
    sefHaveFocus = 1u << 14,
    sefErrorPending = 1u << 16,  // an error is being reported
    sefUpdating = 1u << 21,      // the program is storing a value
    sefNoUpdates = 1u << 23,     // value stores suppressed
};

// Entry options of the form's controller, as the editors need them.
struct TOvcEditEnv {
    bool AutoAdvanceChar = false;
    bool AutoAdvanceLeftRight = false;
    bool AutoAdvanceUpDown = false;
    bool AutoSelect = true;
    bool BeepOnError = true;
    bool InsertPushes = true;
};

// The field's outside world: its controller, clipboard, focus moves and events.
class TOvcFieldHost {
public:
    virtual ~TOvcFieldHost() = default;
    virtual TOvcEditEnv EditEnv() const { return {}; }
    virtual bool ControllerInsertMode() const { return true; }
    virtual void SetControllerInsertMode(bool) {}
    virtual int ControllerEpoch() const { return DefaultEpoch(); }
    virtual bool ControllerErrorPending() const { return false; }
    virtual void SetControllerErrorPending(bool) {}
    // Show the field again and give it the focus (after a failed exit validation).
    virtual void RequestRefocus() {}
    // Post the error report of a code to the field (shown later, once).
    virtual void PostErrorReport(uint16_t) {}
    virtual void Beep() {}
    // Leave the field forwards or backwards (auto-advance and the arrow keys).
    virtual void AdvanceFocus(bool /*forward*/) {}
    virtual std::string ClipboardText() const { return {}; }
    virtual void SetClipboardText(const std::string&) {}
    virtual void FieldChanged() {}                      // OnChange
    virtual void UserValidation(uint16_t& /*code*/) {}  // OnUserValidation
    virtual void UserCommand(uint16_t /*cmd*/) {}       // OnUserCommand
    virtual void FieldRepaint() {}
    virtual bool FieldVisible() const { return true; }
    virtual bool FieldEnabled() const { return true; }
    virtual TStDate Today() const { return CurrentDate(); }
    virtual TStTime TimeNow() const { return CurrentTime(); }
};

// What a mouse or keyboard command carries.
struct TOvcEditMsg {
    char Ch = 0;         // the typed character (command 249)
    int Pos = 0;         // the character position under the pointer (250, 251, 253)
    bool Shift = false;  // Shift held with a click
};

class TOvcFieldEngine {
public:
    explicit TOvcFieldEngine(TOvcFieldHost* host, uint8_t fieldClass);
    virtual ~TOvcFieldEngine() = default;
    TOvcFieldEngine(const TOvcFieldEngine&) = delete;
    TOvcFieldEngine& operator=(const TOvcFieldEngine&) = delete;

    TOvcFieldHost* Host() const { return host_; }
    void SetHost(TOvcFieldHost* host);
    const TOvcFieldIntl& Intl() const { return FieldIntl(); }

    // ---- properties
    int DataType() const { return type_ & 0x3F; }
    uint8_t FieldClass() const { return type_ & 0xC0; }
    int MaxLength() const { return maxLength_; }
    void SetMaxLength(int value);
    const TOvcEntryFieldOptions& Options() const { return options_; }
    void SetOptions(TOvcEntryFieldOptions value);
    int DecimalPlaces() const { return decimalPlaces_; }
    void SetDecimalPlaces(int value);
    char PadChar = ' ';
    char PasswordChar = '*';
    bool Uninitialized() const { return uninitialized_; }
    void SetUninitialized(bool value);
    TZeroDisplay ZeroDisplay = zdShow;
    double ZeroDisplayValue = 0;
    bool Loading = false;  // the form is being built: some setters store without checks

    // ---- modified marks
    bool GetModified() const { return state_ & sefModified; }
    void SetModified(bool value);
    bool GetEverModified() const { return state_ & (sefEverModified | sefModified); }
    void SetEverModified(bool value);
    uint32_t State() const { return state_; }
    void SetStateBits(uint32_t bits, bool on);

    // ---- buffer, caret, selection
    const std::string& GetEditString() const { return buf_; }
    std::string GetDisplayString() const;
    int CaretPos() const { return caret_; }
    int SelStart() const { return selStart_ < selEnd_ ? selStart_ : selEnd_; }
    int SelEnd() const { return selStart_ < selEnd_ ? selEnd_ : selStart_; }
    bool HasSelection() const { return selStart_ != selEnd_; }
    bool InsertMode() const { return insertMode_; }
    int FirstVisible() const { return firstVisible_; }
    bool Focused() const { return state_ & sefHaveFocus; }
    // ccCtrlChar was given: the next character is taken as it is, control characters too.
    bool CtrlCharArmed() const { return ctrlCharArmed_; }
    void SetFirstVisible(int pos) { firstVisible_ = pos < 0 ? 0 : pos; }
    void SelectAll();
    void SetSelection(int start, int end);  // EM_SETSEL rules
    void SetInsertionPoint(int pos);
    void MoveCaret(int delta);

    // ---- typed values
    std::string GetAsString();
    void SetAsString(const std::string& s) { efSetFromString(s); }
    int32_t GetAsInteger();
    void SetAsInteger(int32_t value);
    double GetAsFloat();
    void SetAsFloat(double value);
    TStDate GetAsStDate();
    void SetAsStDate(TStDate value);
    TStTime GetAsStTime();
    void SetAsStTime(TStTime value);
    uint16_t GetValue(void* data);
    void SetValue(const void* data);
    int GetDataSize();
    uint16_t LastError() const { return lastError_; }

    // ---- ranges (texts as the property editor shows them)
    std::string GetRangeHi() const { return RangeToText(rangeHi_); }
    std::string GetRangeLo() const { return RangeToText(rangeLo_); }
    void SetRangeHi(const std::string& s);
    void SetRangeLo(const std::string& s);
    const TOvcRangeSlot& RangeHiSlot() const { return rangeHi_; }
    const TOvcRangeSlot& RangeLoSlot() const { return rangeLo_; }
    void SetRangeSlots(const TOvcRangeSlot& lo, const TOvcRangeSlot& hi);
    // A range whose ends are equal gives way to the type's own (when the window is created).
    void DefaultRangeIfEqual();
    // Converts a range text to the field's type; false when it does not convert.
    bool RangeTextToValue(const std::string& text, TOvcRangeSlot& slot) const;
    std::string RangeToText(const TOvcRangeSlot& slot) const;

    // ---- commands, validation, focus
    // Runs one command as the command executor does: read-only refusal, user commands,
    // clipboard commands, then efEdit.
    void ExecuteCommand(uint16_t cmd, const TOvcEditMsg& msg = {});
    void ProcessCommand(uint16_t cmd, char charCode) { ExecuteCommand(cmd, TOvcEditMsg{charCode, 0, false}); }
    void IncreaseValue(bool wrap, double delta);
    void DecreaseValue(bool wrap, double delta);
    uint16_t ValidateContents(bool reportError);
    bool IsValid() { return ValidateContents(!options_.Contains(efoSoftValidation)) == 0; }
    virtual bool efCanClose(bool doValidation);
    // Focus gained; keptError when the field takes the focus back after an error.
    virtual void FocusGained(bool keptError);
    // outsideForm: the focus goes to a control outside the form's entry fields.
    virtual void FocusLost(bool outsideForm = false);
    void Restore();  // ccRestore
    void CopyToClipboard();
    void CutToClipboard();
    void PasteFromClipboard() { ExecuteCommand(51 /* ccPaste */); }
    void ClearSelection();

    // The texts of the error codes (256..262, other codes below 32768, a form's own codes).
    static std::string ErrorText(uint16_t code, const std::string& formText);

    // ---- operations of the field classes
    virtual void efCaretToEnd();
    virtual void efCaretToStart();
    virtual void efEdit(uint16_t cmd, const TOvcEditMsg& msg) = 0;
    virtual int efFirstEditablePos() const { return 0; }
    virtual bool efFieldIsEmpty() const;
    virtual std::string efGetDisplayString() const;
    virtual bool efIsReadOnly() const { return options_.Contains(efoReadOnly); }
    virtual void efAdjustOptions();
    virtual void efSetInitialCaret();
    // Direction 0 = size only, 1 = get into data, 2 = put from data; returns the data size.
    virtual int efTransfer(void* data, int direction);
    virtual uint16_t efValidateField() = 0;
    virtual void efSetCaretPos(int pos);
    virtual void efSetFromString(const std::string& s);
    virtual int efMinLength() const { return 1; }
    // MaxLength has changed (not while loading).
    virtual void MaxLengthChanged() {}
    // Steps the value (spinners, ccInc/ccDec); nothing in the base.
    virtual void efIncDecValue(bool /*wrap*/, double /*delta*/) {}

protected:
    void SetDataTypeCode(int dataType);  // sets the type and resets the range to the type's own
    void CheckDataType(int lo, int hi) const;
    int Epoch() const { return host_ ? host_->ControllerEpoch() : DefaultEpoch(); }
    void Beep() const;
    void Changed();  // marks modified, fires OnChange unless the program stores the value
    void Repaint() const { if (host_) host_->FieldRepaint(); }
    TOvcEditEnv Env() const { return host_ ? host_->EditEnv() : TOvcEditEnv{}; }
    void Advance(bool forward) { if (host_) host_->AdvanceFocus(forward); }
    // The arrow commands move to the neighbouring field when the environment asks. False for an
    // Up or Down that should step the value instead (arrow inc/dec on an editable field).
    bool ArrowMovesFocus(uint16_t cmd);
    uint16_t RunUserValidation(uint16_t code);
    // The Char, Boolean and YesNo types hold one character, edited in place.
    bool IsOneCharType() const;
    // The editor of the one-character types: a typed or pasted character replaces the one at
    // pos, the arrows and ccInc/ccDec step the value, the caret stays on pos.
    void OneCharEdit(uint16_t cmd, const TOvcEditMsg& msg, int pos);
    // Checks and converts a character for position pos of a one-character field.
    virtual bool OneCharAccept(char& /*ch*/, int /*pos*/) const { return false; }
    virtual void OneCharStore(char ch, int pos) { buf_[pos] = ch; }
    // Delete, Backspace and Cut on a one-character field; nothing in the base.
    virtual void OneCharErase() {}
    // The end of a keystroke: the caret placed, the selection collapsed onto it unless kept,
    // OnChange when the buffer differs from before, and a repaint.
    void EndEdit(const std::string& before, int caret, bool keepSel);
    // Puts a value into the field as the program does: no OnChange.
    void PutValueQuietly(void* data);
    bool InRange(long double v) const;
    bool InRangeInt(int64_t v) const;
    bool ValueIsZeroDisplay() const;
    // The value of a number type from its text (a bad text gives 0) into data.
    void NumberTextToData(const std::string& text, TOvcNumberBase base, void* data) const;
    // Short-string helpers for String values.
    static std::string ReadShort(const void* data);
    static void WriteShort(void* data, const std::string& s, int capacity);

    TOvcFieldHost* host_ = nullptr;
    uint8_t type_ = 0;
    int maxLength_ = 15;
    TOvcEntryFieldOptions options_{efoCaretToEnd, efoTrimBlanks};
    int decimalPlaces_ = 0;
    bool uninitialized_ = false;
    uint32_t state_ = 0;
    uint16_t lastError_ = 0;
    std::string buf_;
    std::string saved_;  // contents when editing began (ccRestore)
    int caret_ = 0;
    int selStart_ = 0;
    int selEnd_ = 0;
    int firstVisible_ = 0;
    bool insertMode_ = true;
    bool ctrlCharArmed_ = false;
    bool readingValue_ = false;  // GetValue runs: validation must not touch the buffer
    TOvcRangeSlot rangeLo_{};
    TOvcRangeSlot rangeHi_{};
};

} // namespace korval
