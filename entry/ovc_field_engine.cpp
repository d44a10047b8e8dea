#include "entry/ovc_support.h"
#include "entry/ovc_field_engine.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "entry/ovc_command_processor.h"
#include "entry/ovc_exceptions.h"
#include "entry/ovc_intl.h"
#include "entry/ovc_strings.h"
#include "logbook/base/decimal_text.h"
#include "logbook/base/string_utils.h"

namespace korval {

namespace {


bool ChangesText(uint16_t cmd)
{
    switch (cmd) {
    case ccBack: case ccCtrlChar: case ccCut: case ccDec: case ccDel: case ccDelBol: case ccDelEol:
    case ccDelLine: case ccDelWord: case ccInc: case ccPaste: case ccRestore: case ccChar:
        return true;
    default:
        return false;
    }
}

} // namespace

TOvcFieldEngine::TOvcFieldEngine(TOvcFieldHost* host, uint8_t fieldClass) : host_(host), type_(fieldClass)
{
}

void TOvcFieldEngine::SetHost(TOvcFieldHost* host)
{
    host_ = host;
}

void TOvcFieldEngine::SetDataTypeCode(int dataType)
{
    type_ = uint8_t(FieldClass() | (dataType & 0x3F));
    DefaultRange(dataType, rangeLo_, rangeHi_);
}

void TOvcFieldEngine::CheckDataType(int lo, int hi) const
{
    if (DataType() < lo || DataType() > hi)
        throw EInvalidDataType();
}

void TOvcFieldEngine::Beep() const
{
    if (host_ && Env().BeepOnError)
        host_->Beep();
}

bool TOvcFieldEngine::ArrowMovesFocus(uint16_t cmd)
{
    const bool upDown = cmd == ccUp || cmd == ccDown;
    if (upDown && Env().AutoAdvanceUpDown) {
        Advance(cmd == ccDown);
        return true;
    }
    if (upDown && options_.Contains(efoArrowIncDec) && !efIsReadOnly())
        return false;
    if (Env().AutoAdvanceLeftRight)
        Advance(cmd == ccRight || cmd == ccWordRight || cmd == ccDown);
    return true;
}

void TOvcFieldEngine::Changed()
{
    state_ |= sefModified | sefEverModified;
    if (!(state_ & sefUpdating) && host_)
        host_->FieldChanged();
}

void TOvcFieldEngine::SetStateBits(uint32_t bits, bool on)
{
    if (on)
        state_ |= bits;
    else
        state_ &= ~bits;
}

// ---- properties

void TOvcFieldEngine::SetMaxLength(int value)
{
    if (Loading) {
        maxLength_ = value;
        return;
    }
    if (value < 1 || value > 255 || value < efMinLength())
        return;
    maxLength_ = value;
    if (static_cast<int>(buf_.size()) > value)
        buf_.resize(value);
    caret_ = std::min(caret_, value);
    selStart_ = std::min(selStart_, value);
    selEnd_ = std::min(selEnd_, value);
    MaxLengthChanged();
    Repaint();
}

void TOvcFieldEngine::SetOptions(TOvcEntryFieldOptions value)
{
    if (value.Contains(efoForceInsert))
        value.Exclude(efoForceOvertype);
    if (value.Contains(efoRightJustify) && DataType() == fsubString)
        value.Include(efoTrimBlanks);
    options_ = value;
    if (!Loading)
        efAdjustOptions();
    Repaint();
}

void TOvcFieldEngine::SetDecimalPlaces(int value)
{
    decimalPlaces_ = std::clamp(value, 0, 255);
    Repaint();
}

void TOvcFieldEngine::SetUninitialized(bool value)
{
    uninitialized_ = value;
    Repaint();
}

void TOvcFieldEngine::efAdjustOptions()
{
    const int t = DataType();
    auto drop = [&](std::initializer_list<TOvcEntryFieldOption> list) {
        for (auto o : list)
            options_.Exclude(o);
    };
    const bool oneChar = IsOneCharType();
    switch (FieldClass()) {
    case fcNumeric:
        drop({efoCaretToEnd, efoForceInsert, efoTrimBlanks, efoRightJustify, efoStripLiterals, efoRightAlign});
        break;
    case fcPicture:
        if (IsNumberType(t))
            drop({efoTrimBlanks, efoStripLiterals});
        else if (t == fsubDate || t == fsubTime)
            drop({efoTrimBlanks, efoRightJustify, efoStripLiterals});
        else if (oneChar)
            drop({efoCaretToEnd, efoForceInsert, efoTrimBlanks, efoRightJustify, efoStripLiterals});
        break;
    default:
        if (t == fsubString)
            drop({efoRightJustify, efoStripLiterals});
        else if (IsNumberType(t))
            drop({efoTrimBlanks, efoRightJustify, efoStripLiterals});
        else if (oneChar)
            drop({efoCaretToEnd, efoForceInsert, efoTrimBlanks, efoRightJustify, efoStripLiterals});
        break;
    }
}

// ---- modified marks

void TOvcFieldEngine::SetModified(bool value)
{
    if (value)
        state_ |= sefModified | sefEverModified;
    else
        state_ &= ~sefModified;
}

void TOvcFieldEngine::SetEverModified(bool value)
{
    if (value)
        state_ |= sefEverModified;
    else
        state_ &= ~(sefEverModified | sefModified);
}

// ---- buffer, caret, selection

std::string TOvcFieldEngine::GetDisplayString() const
{
    return efGetDisplayString().substr(0, 255);
}

void TOvcFieldEngine::SelectAll()
{
    selStart_ = 0;
    selEnd_ = static_cast<int>(buf_.size());
    caret_ = selEnd_;
    Repaint();
}

void TOvcFieldEngine::SetSelection(int start, int end)
{
    const int len = static_cast<int>(buf_.size());
    if (start == -1) {
        selStart_ = selEnd_ = 0;
    } else if (start == 0 && end == -1) {
        selStart_ = 0;
        selEnd_ = len;
    } else if (start <= end) {
        selStart_ = std::clamp(start, 0, len);
        selEnd_ = std::clamp(end, 0, len);
    } else {
        return;
    }
    caret_ = selEnd_;
    Repaint();
}

void TOvcFieldEngine::SetInsertionPoint(int pos)
{
    const int p = std::clamp(pos, 0, static_cast<int>(buf_.size()));
    caret_ = selStart_ = selEnd_ = p;
    Repaint();
}

void TOvcFieldEngine::MoveCaret(int delta)
{
    if (!Focused())
        return;
    for (int i = 0; i < std::abs(delta); ++i)
        efEdit(delta > 0 ? ccRight : ccLeft, {});
}

void TOvcFieldEngine::efCaretToEnd()
{
    caret_ = static_cast<int>(buf_.size());
}

void TOvcFieldEngine::efCaretToStart()
{
    caret_ = 0;
    firstVisible_ = 0;
}

bool TOvcFieldEngine::efFieldIsEmpty() const
{
    return buf_.find_first_not_of(' ') == std::string::npos;
}

bool TOvcFieldEngine::ValueIsZeroDisplay() const
{
    if (!IsNumberType(DataType()))
        return false;
    std::string num;
    for (char c : buf_) {
        if ((c >= '0' && c <= '9') || c == '-')
            num += c;
        else if (c == Intl().DecimalChar)
            num += '.';
    }
    if (num.empty())
        return ZeroDisplayValue == 0;
    double v = 0;
    return ParseDecimal(num, v) && v == ZeroDisplayValue;
}

std::string TOvcFieldEngine::efGetDisplayString() const
{
    std::string s = buf_;
    for (char& c : s)
        if (c > 0 && c < 32)
            c = static_cast<char>(c + 64);
    if (!Focused() && ZeroDisplay != zdShow && ValueIsZeroDisplay()) {
        if (ZeroDisplay == zdHide || !GetEverModified())
            s.assign(s.size(), ' ');
    }
    return s;
}

void TOvcFieldEngine::efSetInitialCaret()
{
    if (options_.Contains(efoCaretToEnd))
        efCaretToEnd();
    else
        efCaretToStart();
    selStart_ = selEnd_ = caret_;
}

int TOvcFieldEngine::efTransfer(void*, int direction)
{
    if (direction == 2 && Focused()) {
        efSetInitialCaret();
        selStart_ = 0;
        selEnd_ = static_cast<int>(buf_.size());
    }
    return DataTypeSize(DataType(), maxLength_);
}

void TOvcFieldEngine::efSetCaretPos(int pos)
{
    if (!Focused())
        return;
    caret_ = std::clamp(pos, 0, static_cast<int>(buf_.size()));
}

std::string TOvcFieldEngine::ReadShort(const void* data)
{
    const auto* p = static_cast<const uint8_t*>(data);
    return std::string(reinterpret_cast<const char*>(p + 1), p[0]);
}

void TOvcFieldEngine::WriteShort(void* data, const std::string& s, int capacity)
{
    auto* p = static_cast<uint8_t*>(data);
    const size_t n = std::min<size_t>(s.size(), static_cast<size_t>(std::clamp(capacity, 0, 255)));
    p[0] = static_cast<uint8_t>(n);
    std::memcpy(p + 1, s.data(), n);
}

void TOvcFieldEngine::efSetFromString(const std::string& s)
{
    if (state_ & sefNoUpdates)
        return;
    const int t = DataType();
    uint8_t data[260] = {};
    if (t == fsubString) {
        WriteShort(data, s, 255);
    } else if (t == fsubBoolean || t == fsubYesNo) {
        const char want = t == fsubBoolean ? Intl().TrueChar : Intl().YesChar;
        data[0] = !s.empty() && FieldCharUpper(s[0]) == want;
    } else {
        TOvcRangeSlot slot{};
        if (!RangeTextToValue(s, slot))
            throw EEntryFieldError(GetLibraryString(SCInvalidNumber));
        std::memcpy(data, slot.data(), slot.size());
    }
    SetValue(data);
}

// ---- typed values

uint16_t TOvcFieldEngine::GetValue(void* data)
{
    if (DataType() > fsubTime)
        throw EOvcException(GetLibraryString(SCInvalidParamValue));
    state_ |= sefValidating;
    readingValue_ = true;
    uint16_t code = efValidateField();
    readingValue_ = false;
    state_ &= ~sefValidating;
    if (code == 0)
        efTransfer(data, 1);
    lastError_ = code;
    return code;
}

void TOvcFieldEngine::SetValue(const void* data)
{
    if (state_ & sefNoUpdates)
        return;
    if (DataType() > fsubTime)
        throw EOvcException(GetLibraryString(SCInvalidParamValue));
    PutValueQuietly(const_cast<void*>(data));
    Repaint();
}

void TOvcFieldEngine::PutValueQuietly(void* data)
{
    const uint32_t was = state_ & sefUpdating;
    state_ |= sefUpdating;
    efTransfer(data, 2);
    state_ = (state_ & ~sefUpdating) | was;
}

void TOvcFieldEngine::NumberTextToData(const std::string& text, TOvcNumberBase base, void* data) const
{
    const int t = DataType();
    TOvcRangeSlot s{};
    if (IsIntegerType(t)) {
        int64_t v = 0;
        if (!TextToIntegerBase(text, t, base, v))
            v = 0;
        IntToSlot(t, v, s);
    } else if (IsRealType(t)) {
        std::string txt = text;
        std::replace(txt.begin(), txt.end(), Intl().DecimalChar, '.');
        long double v = 0;
        if (!TextToReal(txt, t, v))
            v = 0;
        FloatToSlot(t, v, s);
    } else {
        return;
    }
    std::memcpy(data, s.data(), DataTypeSize(t, 0));
}

bool TOvcFieldEngine::IsOneCharType() const
{
    const int t = DataType();
    return t == fsubChar || t == fsubBoolean || t == fsubYesNo;
}

void TOvcFieldEngine::OneCharEdit(uint16_t cmd, const TOvcEditMsg& msg, int pos)
{
    const std::string before = buf_;
    bool keepSel = false;
    switch (cmd) {
    case ccLeft: case ccWordLeft: case ccRight: case ccWordRight: case ccUp: case ccDown:
        if (!ArrowMovesFocus(cmd))
            efIncDecValue(true, cmd == ccUp ? 1 : -1);
        break;
    case ccInc: efIncDecValue(true, 1); break;
    case ccDec: efIncDecValue(true, -1); break;
    case ccIns: insertMode_ = !insertMode_; break;
    case ccRestore: Restore(); return;
    case ccCtrlChar: ctrlCharArmed_ = true; return;
    case ccPaste: {
        const std::string text = host_ ? host_->ClipboardText() : std::string();
        if (!text.empty()) {
            char ch = text[0];
            if (OneCharAccept(ch, pos))
                OneCharStore(ch, pos);
        }
        keepSel = true;
        break;
    }
    case ccCut: case ccDel: case ccBack:
        OneCharErase();
        break;
    case ccChar: {
        char ch = msg.Ch;
        if (OneCharAccept(ch, pos)) {
            OneCharStore(ch, pos);
            if (Env().AutoAdvanceChar)
                Advance(true);
        } else {
            Beep();
        }
        break;
    }
    case ccDblClk: SelectAll(); keepSel = true; break;
    case ccMouse: case ccMouseMove: keepSel = true; break;
    default: break;
    }
    ctrlCharArmed_ = false;
    EndEdit(before, pos, keepSel);
}

void TOvcFieldEngine::EndEdit(const std::string& before, int caret, bool keepSel)
{
    caret_ = caret;
    if (!keepSel)
        selStart_ = selEnd_ = caret_;
    if (buf_ != before)
        Changed();
    Repaint();
}

int TOvcFieldEngine::GetDataSize()
{
    return efTransfer(nullptr, 0);
}

std::string TOvcFieldEngine::GetAsString()
{
    CheckDataType(fsubString, fsubTime);
    if (DataType() == fsubString) {
        uint8_t data[260] = {};
        if (GetValue(data) != 0)
            return {};
        return ReadShort(data);
    }
    lastError_ = 0;
    return options_.Contains(efoTrimBlanks) ? TrimSpaces(buf_) : buf_;
}

int32_t TOvcFieldEngine::GetAsInteger()
{
    CheckDataType(fsubLongInt, fsubShortInt);
    TOvcRangeSlot v{};
    return GetValue(v.data()) == 0 ? static_cast<int32_t>(SlotToInt(DataType(), v)) : 0;
}

void TOvcFieldEngine::SetAsInteger(int32_t value)
{
    CheckDataType(fsubLongInt, fsubShortInt);
    TOvcRangeSlot v{};
    IntToSlot(DataType(), value, v);
    SetValue(v.data());
}

double TOvcFieldEngine::GetAsFloat()
{
    CheckDataType(fsubLongInt, fsubComp);
    TOvcRangeSlot v{};
    return GetValue(v.data()) == 0 ? static_cast<double>(SlotToFloat(DataType(), v)) : 0;
}

void TOvcFieldEngine::SetAsFloat(double value)
{
    CheckDataType(fsubReal, fsubComp);
    TOvcRangeSlot v{};
    FloatToSlot(DataType(), value, v);
    SetValue(v.data());
}

TStDate TOvcFieldEngine::GetAsStDate()
{
    CheckDataType(fsubDate, fsubDate);
    int32_t d = BadDate;
    return GetValue(&d) == 0 ? d : BadDate;
}

void TOvcFieldEngine::SetAsStDate(TStDate value)
{
    CheckDataType(fsubDate, fsubDate);
    SetValue(&value);
}

TStTime TOvcFieldEngine::GetAsStTime()
{
    CheckDataType(fsubTime, fsubTime);
    int32_t t = BadTime;
    return GetValue(&t) == 0 ? t : BadTime;
}

void TOvcFieldEngine::SetAsStTime(TStTime value)
{
    CheckDataType(fsubTime, fsubTime);
    SetValue(&value);
}

// ---- ranges

bool TOvcFieldEngine::RangeTextToValue(const std::string& text, TOvcRangeSlot& slot) const
{
    const std::string s = TrimSpaces(text);
    const int t = DataType();
    slot.fill(0);
    if (t == fsubDate || t == fsubTime) {
        // A text that does not fill the mask stands for no date or time.
        int32_t v = -1;
        if (t == fsubDate) {
            const std::string mask = OvcIntlSup().DateMask(true);
            if (s.size() == mask.size())
                v = OvcIntlSup().ParseDate(mask, s, Epoch());
        } else {
            const std::string mask = OvcIntlSup().TimeMask(false);
            if (s.size() == mask.size())
                v = OvcIntlSup().ParseTime(mask, s);
        }
        IntToSlot(t, v, slot);
        return true;
    }
    if (s.empty())
        return true;
    if (t == fsubChar) {
        if (s.size() == 1) {
            IntToSlot(t, static_cast<uint8_t>(s[0]), slot);
            return true;
        }
        int64_t code = 0;
        if (s[0] == '#' && TextToInteger(s.substr(1), fsubByte, code)) {
            IntToSlot(t, code, slot);
            return true;
        }
        return false;
    }
    if (IsIntegerType(t)) {
        int64_t v = 0;
        if (!TextToInteger(s, t, v))
            return false;
        IntToSlot(t, v, slot);
        return true;
    }
    if (IsRealType(t)) {
        long double v = 0;
        if (!TextToReal(s, t, v))
            return false;
        FloatToSlot(t, v, slot);
        return true;
    }
    return true;
}

std::string TOvcFieldEngine::RangeToText(const TOvcRangeSlot& slot) const
{
    const int t = DataType();
    if (t == fsubChar) {
        const auto c = static_cast<uint8_t>(SlotToInt(t, slot));
        if (c >= 33)
            return std::string(1, static_cast<char>(c));
        std::string text = "#";
        return text.append(std::to_string(c));
    }
    if (IsIntegerType(t))
        return std::to_string(SlotToInt(t, slot));
    if (t == fsubComp)
        return std::to_string(SlotToInt(t, slot));
    if (IsRealType(t))
        return RealToText(SlotToFloat(t, slot));
    if (t == fsubDate) {
        const auto d = static_cast<TStDate>(SlotToInt(t, slot));
        return d == BadDate ? std::string() : OvcIntlSup().FormatDate(OvcIntlSup().DateMask(true), d, false);
    }
    if (t == fsubTime) {
        const auto v = static_cast<TStTime>(SlotToInt(t, slot));
        return v == BadTime ? std::string() : OvcIntlSup().FormatTime(OvcIntlSup().TimeMask(false), v, false);
    }
    return {};
}

void TOvcFieldEngine::SetRangeHi(const std::string& s)
{
    TOvcRangeSlot slot{};
    if (!RangeTextToValue(s, slot) && !Loading)
        throw EInvalidRangeValue(DataType());
    rangeHi_ = slot;
}

void TOvcFieldEngine::SetRangeLo(const std::string& s)
{
    TOvcRangeSlot slot{};
    if (!RangeTextToValue(s, slot) && !Loading)
        throw EInvalidRangeValue(DataType());
    rangeLo_ = slot;
}

void TOvcFieldEngine::SetRangeSlots(const TOvcRangeSlot& lo, const TOvcRangeSlot& hi)
{
    rangeLo_ = lo;
    rangeHi_ = hi;
}

void TOvcFieldEngine::DefaultRangeIfEqual()
{
    if (rangeLo_ == rangeHi_)
        DefaultRange(DataType(), rangeLo_, rangeHi_);
}

bool TOvcFieldEngine::InRange(long double v) const
{
    const int t = DataType();
    return v >= SlotToFloat(t, rangeLo_) && v <= SlotToFloat(t, rangeHi_);
}

bool TOvcFieldEngine::InRangeInt(int64_t v) const
{
    const int t = DataType();
    return v >= SlotToInt(t, rangeLo_) && v <= SlotToInt(t, rangeHi_);
}

uint16_t TOvcFieldEngine::RunUserValidation(uint16_t code)
{
    if (state_ & sefNoUpdates)
        return code;
    state_ |= sefNoUpdates;
    if (host_)
        host_->UserValidation(code);
    state_ &= ~sefNoUpdates;
    return code;
}

// ---- commands

void TOvcFieldEngine::ExecuteCommand(uint16_t cmd, const TOvcEditMsg& msg)
{
    if (cmd == ccUndo)
        cmd = ccRestore;
    if (cmd == ccNone)
        return;
    if (cmd == ccIns && (options_.Contains(efoForceInsert) || options_.Contains(efoForceOvertype)))
        return;
    if (cmd >= ccUserFirst) {
        if (host_)
            host_->UserCommand(cmd);
        efEdit(ccNoPartial, msg);
        return;
    }
    if (efIsReadOnly() && ChangesText(cmd)) {
        Beep();
        return;
    }
    if (cmd == ccCopy) {
        CopyToClipboard();
        return;
    }
    if (cmd == ccCut) {
        CutToClipboard();
        return;
    }
    efEdit(cmd, msg);
}

void TOvcFieldEngine::CopyToClipboard()
{
    if (!HasSelection() || !host_)
        return;
    const std::string src = options_.Contains(efoPasswordMode) ? efGetDisplayString() : buf_;
    // A selection may reach past the text where the mask is longer than the text held.
    const std::size_t start = std::min<std::size_t>(SelStart(), src.size());
    const std::size_t end = std::min<std::size_t>(SelEnd(), src.size());
    host_->SetClipboardText(src.substr(start, end - start));
}

void TOvcFieldEngine::CutToClipboard()
{
    if (!HasSelection())
        return;
    CopyToClipboard();
    efEdit(ccCut, {});
}

void TOvcFieldEngine::ClearSelection()
{
    if (HasSelection() && !efIsReadOnly())
        efEdit(ccDel, {});
}

void TOvcFieldEngine::IncreaseValue(bool wrap, double delta)
{
    efIncDecValue(wrap, delta);
    selStart_ = selEnd_ = 0;
    Repaint();
}

void TOvcFieldEngine::DecreaseValue(bool wrap, double delta)
{
    efIncDecValue(wrap, -delta);
    selStart_ = selEnd_ = 0;
    Repaint();
}

void TOvcFieldEngine::Restore()
{
    buf_ = saved_;
    efCaretToStart();
    selStart_ = 0;
    selEnd_ = static_cast<int>(buf_.size());
    state_ &= ~sefModified;
    Repaint();
    if (host_ && !(state_ & sefUpdating))
        host_->FieldChanged();
}

// ---- validation and focus

uint16_t TOvcFieldEngine::ValidateContents(bool reportError)
{
    if (host_ && !host_->FieldEnabled())
        return 0;
    const uint32_t wasInvalid = state_ & sefInvalid;
    lastError_ = 0;
    if (options_.Contains(efoInputRequired) && !efIsReadOnly() &&
        (efFieldIsEmpty() || (uninitialized_ && !(state_ & sefModified)))) {
        lastError_ = oeRequiredField;
    } else {
        state_ |= sefValidating;
        lastError_ = efValidateField();
        state_ &= ~sefValidating;
    }
    if (reportError && lastError_ != 0 && host_)
        host_->PostErrorReport(lastError_);
    if (lastError_ == 0)
        state_ &= ~sefInvalid;
    else if (options_.Contains(efoSoftValidation))
        state_ |= sefInvalid;
    if ((state_ & sefInvalid) != wasInvalid)
        Repaint();
    return lastError_;
}

bool TOvcFieldEngine::efCanClose(bool doValidation)
{
    if (host_ && (!host_->FieldVisible() || !host_->FieldEnabled()))
        return true;
    lastError_ = 0;
    if (options_.Contains(efoInputRequired) && !efIsReadOnly() &&
        (efFieldIsEmpty() || (uninitialized_ && !(state_ & sefModified)))) {
        lastError_ = oeRequiredField;
    } else {
        state_ |= sefValidating;
        lastError_ = efValidateField();
        state_ &= ~sefValidating;
    }
    if (caret_ > static_cast<int>(buf_.size()))
        caret_ = static_cast<int>(buf_.size());
    if (lastError_ == 0) {
        if (state_ & sefInvalid) {
            state_ &= ~sefInvalid;
            Repaint();
        }
        return true;
    }
    if (options_.Contains(efoSoftValidation) && doValidation) {
        state_ |= sefInvalid;
        Repaint();
        return true;
    }
    state_ |= sefErrorPending;
    if (host_) {
        host_->RequestRefocus();
        if (!host_->ControllerErrorPending())
            host_->PostErrorReport(lastError_);
        host_->SetControllerErrorPending(true);
    }
    return false;
}

void TOvcFieldEngine::FocusGained(bool keptError)
{
    state_ |= sefHaveFocus;
    if (!keptError) {
        efSetInitialCaret();
        if (Env().AutoSelect) {
            selStart_ = 0;
            selEnd_ = static_cast<int>(buf_.size());
        }
        saved_ = buf_;
    }
    state_ &= ~sefErrorPending;
    if (options_.Contains(efoForceInsert))
        insertMode_ = true;
    else if (options_.Contains(efoForceOvertype))
        insertMode_ = false;
    else
        insertMode_ = host_ ? host_->ControllerInsertMode() : true;
    Repaint();
}

void TOvcFieldEngine::FocusLost(bool)
{
    state_ &= ~sefHaveFocus;
    if (!options_.Contains(efoForceInsert) && !options_.Contains(efoForceOvertype) && host_)
        host_->SetControllerInsertMode(insertMode_);
    Repaint();
}

std::string TOvcFieldEngine::ErrorText(uint16_t code, const std::string& formText)
{
    if (code >= oeRangeError && code <= oePartialEntry)
        return GetLibraryString(SCRangeError + (code - oeRangeError));
    if (code < oeCustomError)
        return GetLibraryString(SCDefaultEntryErrorText);
    return formText;
}

} // namespace korval
