#include "entry/ovc_support.h"
#include "entry/ovc_simple_engine.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "entry/ovc_command_processor.h"
#include "entry/ovc_exceptions.h"
#include "entry/ovc_strings.h"
#include "logbook/base/decimal_text.h"
#include "logbook/base/string_utils.h"

namespace korval {

namespace {


TOvcNumberBase BaseOfMask(char m)
{
    switch (m) {
    case 'K': return TOvcNumberBase::Hex;
    case 'O': return TOvcNumberBase::Octal;
    case 'b': return TOvcNumberBase::Binary;
    default: return TOvcNumberBase::Decimal;
    }
}

bool IsWordChar(char c) { return c != ' '; }

} // namespace

std::string FormatRealForField(long double v, int decimals, int maxLength, bool exponentMask)
{
    std::string s;
    if (!exponentMask) {
        s = FormatFixed(v, std::clamp(decimals, 0, 30));
        if (s.find('.') != std::string::npos) {
            while (s.back() == '0')
                s.pop_back();
            if (s.back() == '.')
                s.pop_back();
        }
        if (static_cast<int>(s.size()) <= maxLength)
            return s;
    }
    const int width = (decimals != 0 && decimals + 9 < maxLength) ? decimals + 9 : maxLength;
    // sign, digit, point, digits, "E", sign and the exponent take about eight places.
    const int digits = std::clamp(width - 8, 1, 18);
    s = FormatScientific(v, digits);
    const auto e = s.find('E');
    std::string mant = s.substr(0, e), exp = s.substr(e + 1);
    if (mant.find('.') != std::string::npos) {
        while (mant.back() == '0')
            mant.pop_back();
        if (mant.back() == '.')
            mant.pop_back();
    }
    const char sign = exp[0];
    std::string expDigits = exp.substr(1);
    while (expDigits.size() > 1 && expDigits[0] == '0')
        expDigits.erase(0, 1);
    if (expDigits == "0")
        return mant.substr(0, maxLength);
    return (mant + "E" + (sign == '-' ? "-" : "+") + expDigits).substr(0, maxLength);
}

TOvcSimpleFieldEngine::TOvcSimpleFieldEngine(TOvcFieldHost* host) : TOvcFieldEngine(host, fcSimple)
{
    SetDataTypeCode(fsubString);
    maxLength_ = 15;
}

void TOvcSimpleFieldEngine::SetDataType(int value)
{
    if (value < 0 || value > sftComp)
        throw EOvcException(GetLibraryString(SCInvalidParamValue));
    static const struct { int len; char mask; } kDefaults[] = {
        {15, 'X'}, {1, 'X'}, {1, 'B'}, {1, 'Y'}, {11, 'i'}, {5, '9'}, {6, 'i'},
        {3, '9'}, {4, 'i'}, {14, '#'}, {14, '#'}, {14, '#'}, {14, '#'}, {14, 'i'}};
    SetDataTypeCode(value);
    maxLength_ = kDefaults[value].len;
    mask_ = kDefaults[value].mask;
    buf_.clear();
    caret_ = selStart_ = selEnd_ = 0;
    if (!Loading)
        efAdjustOptions();
    Repaint();
}

void TOvcSimpleFieldEngine::SetPictureMask(char value)
{
    static const char kAllowed[] = "!#123456789ABEKLOXYabilx";
    if (value == 0 || std::strchr(kAllowed, value) == nullptr)
        throw EInvalidPictureMask(std::string(1, value));
    if (Loading) {
        mask_ = value;
        return;
    }
    // The value is kept across the change: read with the old mask, written with the new one.
    uint8_t data[260] = {};
    const bool haveValue = DataType() == fsubString || efValidateField() == 0;
    if (haveValue)
        efTransfer(data, 1);
    mask_ = value;
    if (haveValue)
        PutValueQuietly(data);
    Repaint();
}

void TOvcSimpleFieldEngine::efAdjustOptions()
{
    TOvcFieldEngine::efAdjustOptions();
}

bool TOvcSimpleFieldEngine::AcceptChar(char m, char& ch, int pos) const
{
    if (IsNumberType(DataType())) {
        if (ch == Intl().DecimalChar)
            ch = '.';
        else if (ch == '.' && Intl().DecimalChar != '.')
            return false;
    }
    if (static_cast<unsigned char>(ch) < 32) {
        if (!ctrlCharArmed_ || ch == 0)
            return false;
        return true;
    }
    const char prev = pos > 0 && pos - 1 < static_cast<int>(buf_.size()) ? buf_[pos - 1] : ' ';
    if (!IsValidChar(m, ch, true, prev, Intl()))
        return false;
    if (ch == '.' && IsNumberType(DataType()))
        ch = Intl().DecimalChar;
    return true;
}

void TOvcSimpleFieldEngine::DeleteSelection()
{
    const int a = SelStart(), b = SelEnd();
    buf_.erase(a, b - a);
    caret_ = selStart_ = selEnd_ = a;
}

bool TOvcSimpleFieldEngine::InsertTyped(char ch, bool quiet)
{
    if (!AcceptChar(mask_, ch, caret_)) {
        if (!quiet)
            Beep();
        return false;
    }
    if (HasSelection())
        DeleteSelection();
    const int len = static_cast<int>(buf_.size());
    if (!insertMode_) {
        if (caret_ >= maxLength_) {
            if (!quiet && Env().AutoAdvanceChar)
                Advance(true);
            else if (!quiet)
                Beep();
            return false;
        }
        if (caret_ < len)
            buf_[caret_] = ch;
        else
            buf_ += ch;
    } else {
        if (len >= maxLength_ && caret_ < len && Env().InsertPushes)
            buf_.pop_back();
        if (static_cast<int>(buf_.size()) >= maxLength_) {
            if (!quiet && Env().AutoAdvanceChar)
                Advance(true);
            else if (!quiet)
                Beep();
            return false;
        }
        buf_.insert(buf_.begin() + caret_, ch);
    }
    ++caret_;
    if (!quiet && caret_ >= maxLength_ && Env().AutoAdvanceChar)
        Advance(true);
    return true;
}

void TOvcSimpleFieldEngine::efEdit(uint16_t cmd, const TOvcEditMsg& msg)
{
    if (IsOneCharType())
        OneCharEdit(cmd, msg, 0);
    else
        TextEdit(cmd, msg);
}

bool TOvcSimpleFieldEngine::OneCharAccept(char& ch, int pos) const
{
    return AcceptChar(mask_, ch, pos);
}

void TOvcSimpleFieldEngine::OneCharStore(char ch, int)
{
    buf_ = std::string(1, ch);
}

void TOvcSimpleFieldEngine::OneCharErase()
{
    buf_.clear();
}

void TOvcSimpleFieldEngine::TextEdit(uint16_t cmd, const TOvcEditMsg& msg)
{
    const std::string before = buf_;
    const int len = static_cast<int>(buf_.size());
    bool keepSel = false;
    if (cmd != ccCtrlChar && cmd != ccChar)
        ctrlCharArmed_ = false;
    auto wordLeft = [&](int p) {
        while (p > 0 && !IsWordChar(buf_[p - 1]))
            --p;
        while (p > 0 && IsWordChar(buf_[p - 1]))
            --p;
        return p;
    };
    auto wordRight = [&](int p) {
        while (p < len && IsWordChar(buf_[p]))
            ++p;
        while (p < len && !IsWordChar(buf_[p]))
            ++p;
        return p;
    };
    auto extendTo = [&](int p) {
        if (!HasSelection())
            selStart_ = caret_;
        caret_ = std::clamp(p, 0, len);
        selEnd_ = caret_;
        keepSel = true;
    };
    switch (cmd) {
    case ccBack:
        if (HasSelection())
            DeleteSelection();
        else if (caret_ > 0)
            buf_.erase(--caret_, 1);
        break;
    case ccDel:
        if (HasSelection())
            DeleteSelection();
        else if (caret_ < len)
            buf_.erase(caret_, 1);
        break;
    case ccDelBol: buf_.erase(0, caret_); caret_ = 0; break;
    case ccDelEol: buf_.resize(std::min(caret_, len)); break;
    case ccDelLine: buf_.clear(); caret_ = 0; break;
    case ccDelWord:
        if (HasSelection())
            DeleteSelection();
        else
            buf_.erase(caret_, wordRight(caret_) - caret_);
        break;
    case ccLeft:
        if (caret_ > 0)
            --caret_;
        else if (Env().AutoAdvanceLeftRight)
            Advance(false);
        break;
    case ccRight:
        if (caret_ < len)
            ++caret_;
        else if (Env().AutoAdvanceLeftRight)
            Advance(true);
        break;
    case ccWordLeft:
        if (caret_ > 0)
            caret_ = wordLeft(caret_);
        else if (Env().AutoAdvanceLeftRight)
            Advance(false);
        break;
    case ccWordRight:
        if (caret_ < len)
            caret_ = wordRight(caret_);
        else if (Env().AutoAdvanceLeftRight)
            Advance(true);
        break;
    case ccUp: case ccDown:
        if (Env().AutoAdvanceUpDown)
            Advance(cmd == ccDown);
        else if (options_.Contains(efoArrowIncDec) && !efIsReadOnly())
            efIncDecValue(true, cmd == ccUp ? 1 : -1);
        else
            TextEdit(cmd == ccUp ? ccLeft : ccRight, msg);
        return;
    case ccInc: efIncDecValue(true, 1); break;
    case ccDec: efIncDecValue(true, -1); break;
    case ccHome: caret_ = 0; break;
    case ccEnd: caret_ = len; break;
    case ccExtendLeft: if (caret_ > 0) extendTo(caret_ - 1); else keepSel = true; break;
    case ccExtendRight: if (caret_ < len) extendTo(caret_ + 1); else keepSel = true; break;
    case ccExtendHome: if (caret_ > 0) extendTo(0); else keepSel = true; break;
    case ccExtendEnd: if (caret_ < len) extendTo(len); else keepSel = true; break;
    case ccExtWordLeft: if (caret_ > 0) extendTo(wordLeft(caret_)); else keepSel = true; break;
    case ccExtWordRight: if (caret_ < len) extendTo(wordRight(caret_)); else keepSel = true; break;
    case ccIns: insertMode_ = !insertMode_; break;
    case ccCut:
        if (HasSelection())
            DeleteSelection();
        keepSel = true;
        break;
    case ccCopy: keepSel = true; break;
    case ccPaste: {
        const std::string text = host_ ? host_->ClipboardText() : std::string();
        if (HasSelection())
            DeleteSelection();
        const bool oldMode = insertMode_;
        insertMode_ = true;
        for (char ch : text)
            if (static_cast<int>(buf_.size()) < maxLength_)
                InsertTyped(ch, true);
        insertMode_ = oldMode;
        keepSel = true;
        break;
    }
    case ccRestore: Restore(); return;
    case ccCtrlChar: ctrlCharArmed_ = true; return;
    case ccChar:
        InsertTyped(msg.Ch, false);
        ctrlCharArmed_ = false;
        break;
    case ccMouse: {
        const int p = std::clamp(msg.Pos, 0, len);
        if (msg.Shift)
            extendTo(p);
        else
            caret_ = selStart_ = selEnd_ = p;
        keepSel = true;
        break;
    }
    case ccMouseMove: extendTo(std::clamp(msg.Pos, 0, len)); break;
    case ccDblClk: {
        int p = std::clamp(msg.Pos, 0, len);
        int a = p, b = p;
        while (a > 0 && IsWordChar(buf_[a - 1]))
            --a;
        while (b < len && IsWordChar(buf_[b]))
            ++b;
        selStart_ = a;
        selEnd_ = caret_ = b;
        keepSel = true;
        break;
    }
    default: return;
    }
    EndEdit(before, std::clamp(caret_, 0, static_cast<int>(buf_.size())), keepSel);
}

std::string TOvcSimpleFieldEngine::efGetDisplayString() const
{
    std::string s = TOvcFieldEngine::efGetDisplayString();
    if (uninitialized_ && !Focused())
        return std::string(s.size(), ' ');
    if (options_.Contains(efoPasswordMode))
        for (char& c : s)
            c = PasswordChar;
    if (PadChar != ' ' && static_cast<int>(s.size()) < maxLength_)
        s.append(maxLength_ - s.size(), PadChar);
    return s;
}

int TOvcSimpleFieldEngine::efTransfer(void* data, int direction)
{
    const int t = DataType();
    if (direction == 0 || data == nullptr)
        return TOvcFieldEngine::efTransfer(data, 0);
    auto* p = static_cast<uint8_t*>(data);
    if (direction == 1) {
        switch (t) {
        case fsubString: WriteShort(data, buf_, 255); break;
        case fsubChar: p[0] = buf_.empty() ? ' ' : static_cast<uint8_t>(buf_[0]); break;
        case fsubBoolean: p[0] = !buf_.empty() && FieldCharUpper(buf_[0]) == Intl().TrueChar; break;
        case fsubYesNo: p[0] = !buf_.empty() && FieldCharUpper(buf_[0]) == Intl().YesChar; break;
        default:
            NumberTextToData(buf_, BaseOfMask(mask_), data);
            break;
        }
    } else {
        switch (t) {
        case fsubString: {
            std::string s = ReadShort(data).substr(0, maxLength_);
            for (char& c : s)
                c = ConvertCaseFor(mask_, c, ' ', Intl(), false);
            buf_ = s;
            break;
        }
        case fsubChar: buf_ = std::string(1, static_cast<char>(p[0])); break;
        case fsubBoolean: buf_ = std::string(1, p[0] ? Intl().TrueChar : Intl().FalseChar); break;
        case fsubYesNo: buf_ = std::string(1, p[0] ? Intl().YesChar : Intl().NoChar); break;
        default:
            if (IsIntegerType(t)) {
                TOvcRangeSlot s{};
                std::memcpy(s.data(), data, DataTypeSize(t, 0));
                buf_ = IntegerToText(SlotToInt(t, s), t, BaseOfMask(mask_)).substr(0, maxLength_);
            } else if (IsRealType(t)) {
                TOvcRangeSlot s{};
                std::memcpy(s.data(), data, DataTypeSize(t, 0));
                std::string txt = FormatRealForField(SlotToFloat(t, s), decimalPlaces_, maxLength_, mask_ == 'E');
                std::replace(txt.begin(), txt.end(), '.', Intl().DecimalChar);
                buf_ = txt.substr(0, maxLength_);
            }
            break;
        }
        caret_ = std::min(caret_, static_cast<int>(buf_.size()));
        selStart_ = selEnd_ = caret_;
    }
    return TOvcFieldEngine::efTransfer(data, direction);
}

uint16_t TOvcSimpleFieldEngine::efValidateField()
{
    const int t = DataType();
    uint16_t code = 0;
    if (t == fsubString) {
        if (options_.Contains(efoTrimBlanks) && Focused() && !readingValue_) {
            const std::string trimmed = TrimSpaces(buf_);
            if (trimmed.size() != buf_.size()) {
                buf_ = trimmed;
                caret_ = std::min(caret_, static_cast<int>(buf_.size()));
                selStart_ = selEnd_ = caret_;
                Repaint();
            }
        }
    } else if (t == fsubChar) {
        const int64_t lo = SlotToInt(t, rangeLo_), hi = SlotToInt(t, rangeHi_);
        const int c = buf_.empty() ? ' ' : static_cast<uint8_t>(buf_[0]);
        if (lo != hi && (c < lo || c > hi))
            code = oeRangeError;
    } else if (t == fsubBoolean || t == fsubYesNo) {
        const char c = buf_.empty() ? ' ' : FieldCharUpper(buf_[0]);
        const bool ok = t == fsubBoolean ? (c == Intl().TrueChar || c == Intl().FalseChar)
                                         : (c == Intl().YesChar || c == Intl().NoChar);
        if (!ok)
            code = oeRangeError;
    } else if (IsIntegerType(t)) {
        int64_t v = 0;
        if (!TextToIntegerBase(buf_, t, BaseOfMask(mask_), v))
            code = oeInvalidNumber;
        else if (!InRangeInt(v))
            code = oeRangeError;
    } else if (IsRealType(t)) {
        std::string txt = buf_;
        std::replace(txt.begin(), txt.end(), Intl().DecimalChar, '.');
        long double v = 0;
        if (!TextToReal(txt, t, v))
            code = oeInvalidNumber;
        else if (!InRange(v))
            code = oeRangeError;
    }
    return RunUserValidation(code);
}

namespace {

// The next value of a number stepped by delta within lo..hi: nothing at a range end, or with
// wrap the other end.
template <typename T> bool StepInRange(T& v, T delta, T lo, T hi, bool wrap)
{
    const T next = v + delta;
    if (next > hi || next < lo) {
        if (!wrap)
            return false;
        v = delta > 0 ? lo : hi;
        return true;
    }
    v = std::clamp(next, lo, hi);
    return true;
}

} // namespace

void TOvcSimpleFieldEngine::efIncDecValue(bool wrap, double delta)
{
    const int t = DataType();
    uint8_t data[260] = {};
    if (t == fsubString)
        return;
    const std::string before = buf_;
    if (t == fsubChar) {
        int lo = static_cast<int>(SlotToInt(t, rangeLo_)), hi = static_cast<int>(SlotToInt(t, rangeHi_));
        if (lo == hi) {
            lo = 1;
            hi = 255;
        }
        int c = buf_.empty() ? lo : static_cast<uint8_t>(buf_[0]);
        const int step = delta >= 0 ? 1 : -1;
        for (int tries = 0; tries < 256; ++tries) {
            c += step;
            if (c > hi || c < lo) {
                if (!wrap)
                    return;
                c = step > 0 ? lo : hi;
            }
            char ch = static_cast<char>(c);
            if (IsValidChar(mask_, ch, false, ' ', Intl()) && static_cast<uint8_t>(ch) == c)
                break;
        }
        buf_ = std::string(1, static_cast<char>(c));
    } else if (t == fsubBoolean || t == fsubYesNo) {
        efTransfer(data, 1);
        data[0] = !data[0];
        efTransfer(data, 2);
    } else if (IsIntegerType(t)) {
        efTransfer(data, 1);
        TOvcRangeSlot s{};
        std::memcpy(s.data(), data, DataTypeSize(t, 0));
        int64_t v = SlotToInt(t, s);
        if (!StepInRange<int64_t>(v, static_cast<int64_t>(delta), SlotToInt(t, rangeLo_), SlotToInt(t, rangeHi_), wrap))
            return;
        IntToSlot(t, v, s);
        efTransfer(s.data(), 2);
    } else if (IsRealType(t)) {
        efTransfer(data, 1);
        TOvcRangeSlot s{};
        std::memcpy(s.data(), data, DataTypeSize(t, 0));
        long double v = SlotToFloat(t, s);
        if (!StepInRange<long double>(v, delta, SlotToFloat(t, rangeLo_), SlotToFloat(t, rangeHi_), wrap))
            return;
        FloatToSlot(t, v, s);
        efTransfer(s.data(), 2);
    }
    if (buf_ != before)
        Changed();
    Repaint();
}

} // namespace korval
