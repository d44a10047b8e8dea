#include "entry/ovc_support.h"
#include "entry/ovc_numeric_engine.h"

#include <algorithm>

#include "entry/ovc_command_processor.h"
#include "entry/ovc_exceptions.h"
#include "entry/ovc_strings.h"
#include "logbook/base/string_utils.h"

namespace korval {

namespace {


const char* const kNumericMasks[] = {"iiiiiiiiiii", "99999", "iiiiii", "999", "iiii",
                                     "##########", "##########", "##########", "##########", "iiiiiiiiii"};

} // namespace

TOvcNumericFieldEngine::TOvcNumericFieldEngine(TOvcFieldHost* host) : TOvcPictureFieldEngine(host)
{
    type_ = fcNumeric;
    SetDataTypeCode(fsubLongInt);
    options_ = TOvcEntryFieldOptions{};
    maskText_ = kNumericMasks[nftLongInt];
    maxLength_ = MaskMaxLength(maskText_);
    SyncMask();
    ComputeDigits();
    ShowWork();
}

int TOvcNumericFieldEngine::MaskMaxLength(const std::string& mask) const
{
    int n = static_cast<int>(mask.size());
    if (mask.find('p') != std::string::npos)
        --n;
    if (mask.find('g') != std::string::npos)
        --n;
    return std::clamp(n, 1, 255);
}

void TOvcNumericFieldEngine::SetNumericDataType(int value)
{
    if (value < 0 || value > nftComp)
        throw EOvcException(GetLibraryString(SCInvalidParamValue));
    decimalPlaces_ = 0;
    SetDataTypeCode(value + fsubLongInt);
    maskText_ = kNumericMasks[value];
    TakeMask();
    efAdjustOptions();
    Repaint();
}

void TOvcNumericFieldEngine::SetNumericPictureMask(const std::string& value)
{
    if (value.empty())
        return;
    uint8_t data[16] = {};
    const bool haveValue = !Loading && ReadValueQuietly(data);
    maskText_ = value.substr(0, 255);
    TakeMask();
    if (haveValue)
        PutValueQuietly(data);
    Repaint();
}

void TOvcNumericFieldEngine::TakeMask()
{
    maxLength_ = MaskMaxLength(maskText_);
    SyncMask();
    ComputeDigits();
    work_.clear();
    negative_ = false;
    ShowWork();
}

void TOvcNumericFieldEngine::ComputeDigits()
{
    int i = 0;
    while (i < maxLength_ && pm_.Flag(i) != pflagEditable)
        ++i;
    int run = 0;
    for (; i < maxLength_; ++i) {
        if (pm_.Flag(i) == pflagEditable)
            ++run;
        else if (pm_.MaskCharAt(i) != ',')
            break;
    }
    decimals_ = 0;
    const int dp = pm_.DecimalPos();
    if (dp >= 0)
        for (int j = dp + 1; j < maxLength_ && pm_.Flag(j) == pflagEditable; ++j)
            ++decimals_;
    totalDigits_ = run + (decimals_ > 0 ? decimals_ + 1 : 0);
    intDigits_ = totalDigits_ - decimals_ - (decimals_ > 0 ? 1 : 0);
}

void TOvcNumericFieldEngine::LoadWorkBuffer()
{
    std::string s = TrimSpaces(GetStrippedText());
    std::replace(s.begin(), s.end(), Intl().DecimalChar, '.');
    negative_ = false;
    if (!s.empty() && s[0] == '-') {
        negative_ = true;
        s.erase(0, 1);
    }
    // A zero value ("0", or "0.00" under a mask with decimals) is no digit typed yet: keeping
    // its text would leave no room for the operator's digits.
    if (!s.empty() && s.find_first_not_of("0.") == std::string::npos)
        s.clear();
    work_ = s;
}

void TOvcNumericFieldEngine::ShowWork()
{
    std::string t = work_.empty() ? "0" : work_;
    if (t[0] == '.')
        t = "0" + t;
    if (negative_)
        t = "-" + t;
    buf_ = pm_.MergeValueIntoMask(t);
    if (decimals_ > 0) {
        const auto dot = work_.find('.');
        int shift = dot == std::string::npos ? decimals_ + 1
                                             : decimals_ - static_cast<int>(work_.size() - dot - 1);
        shift = std::clamp(shift, 0, maxLength_);
        buf_ = std::string(shift, ' ') + buf_.substr(0, maxLength_ - shift);
    }
    caret_ = pm_.LastEditablePosition() + 1;
}

void TOvcNumericFieldEngine::ClearNumber()
{
    work_.clear();
    negative_ = false;
    selStart_ = selEnd_ = caret_;
}

bool TOvcNumericFieldEngine::AcceptIntoWork(char c)
{
    const int used = static_cast<int>(work_.size()) + (negative_ ? 1 : 0);
    const auto dot = work_.find('.');
    if (c == ' ')
        return false;
    if (c == '.') {
        if (decimals_ == 0 || dot != std::string::npos)
            return false;
        work_ += '.';
        return true;
    }
    if (c == '-') {
        if (negative_) {
            negative_ = false;
            return true;
        }
        const int intCount = static_cast<int>(dot == std::string::npos ? work_.size() : dot);
        if (intCount + 1 > intDigits_ || static_cast<int>(work_.size()) + 1 > totalDigits_)
            return false;
        negative_ = true;
        return true;
    }
    if (totalDigits_ == 1) {
        work_ = c == '0' ? std::string() : std::string(1, c);
        return true;
    }
    if (used >= totalDigits_)
        return false;
    if (c == '0' && work_.empty())
        return true;  // no leading zeros
    if (decimals_ > 0 && dot == std::string::npos && used >= intDigits_)
        return false;
    // The fraction takes no more digits than the mask has places for.
    if (dot != std::string::npos && static_cast<int>(work_.size() - dot - 1) >= decimals_)
        return false;
    work_ += c;
    return true;
}

void TOvcNumericFieldEngine::efCaretToEnd()
{
    caret_ = pm_.LastEditablePosition() + 1;
}

void TOvcNumericFieldEngine::efCaretToStart()
{
    caret_ = pm_.LastEditablePosition() + 1;
    firstVisible_ = 0;
}

void TOvcNumericFieldEngine::HideSemiLiterals()
{
    pm_.SemiLiteralsHidden = pm_.IsHex() || pm_.IsOctal() || pm_.IsBinary();
}

std::string TOvcNumericFieldEngine::efGetDisplayString() const
{
    std::string s = TOvcPictureBaseEngine::efGetDisplayString();
    const bool paren = maskText_.find('p') != std::string::npos;
    const bool trailing = maskText_.find('g') != std::string::npos;
    if (!paren && !trailing)
        return s;
    const auto minus = s.find('-');
    if (paren) {
        if (minus != std::string::npos) {
            s[minus] = '(';
            s += ')';
        } else {
            s += ' ';
        }
    } else {
        if (minus != std::string::npos) {
            s[minus] = ' ';
            s += '-';
        } else {
            s += ' ';
        }
    }
    return TrimSpaces(s);
}

int TOvcNumericFieldEngine::efTransfer(void* data, int direction)
{
    const int n = TOvcPictureFieldEngine::efTransfer(data, direction);
    if (direction == 2 && data != nullptr) {
        if (Focused())
            LoadWorkBuffer();
        caret_ = pm_.LastEditablePosition() + 1;
    }
    return n;
}

void TOvcNumericFieldEngine::FocusGained(bool keptError)
{
    TOvcPictureBaseEngine::FocusGained(keptError);
    LoadWorkBuffer();
    caret_ = pm_.LastEditablePosition() + 1;
}

void TOvcNumericFieldEngine::FocusLost(bool outsideForm)
{
    TOvcPictureBaseEngine::FocusLost(outsideForm);
    if (!outsideForm) {
        work_.clear();
        negative_ = false;
    }
}

void TOvcNumericFieldEngine::efEdit(uint16_t cmd, const TOvcEditMsg& msg)
{
    const std::string before = buf_;
    const std::string workBefore = work_;
    const bool negBefore = negative_;
    bool keepSel = false;
    bool reshow = false;
    switch (cmd) {
    case ccBack: case ccDel:
        if (HasSelection()) {
            ClearNumber();
        } else if (!work_.empty()) {
            work_.pop_back();
            if (work_ == "0")
                work_.clear();
        } else {
            negative_ = false;
        }
        break;
    case ccCut: case ccDelWord:
        if (HasSelection())
            ClearNumber();
        break;
    case ccDelLine: ClearNumber(); break;
    case ccLeft: case ccWordLeft: case ccRight: case ccWordRight: case ccUp: case ccDown:
        if (!ArrowMovesFocus(cmd)) {
            TOvcPictureFieldEngine::efIncDecValue(true, cmd == ccUp ? 1 : -1);
            LoadWorkBuffer();
        }
        break;
    case ccInc: case ccDec:
        TOvcPictureFieldEngine::efIncDecValue(true, cmd == ccInc ? 1 : -1);
        LoadWorkBuffer();
        break;
    case ccHome: case ccEnd: case ccCtrlChar: break;
    case ccExtendHome: case ccExtendLeft: case ccExtendRight: case ccExtendEnd: case ccExtWordLeft:
    case ccExtWordRight: case ccDblClk:
        SelectAll();
        keepSel = true;
        break;
    case ccIns: insertMode_ = !insertMode_; break;
    case ccCopy: keepSel = true; break;
    case ccPaste: {
        std::string text = host_ ? host_->ClipboardText() : std::string();
        if (HasSelection())
            ClearNumber();
        if (maskText_.find('p') != std::string::npos && text.find(')') != std::string::npos)
            std::replace(text.begin(), text.end(), '(', '-');
        bool minusSeen = false;
        const char m = pm_.MaskCharAt(std::max(0, pm_.FirstEditablePos() - pm_.SemiLiteralCount()));
        for (char ch : text) {
            if (ch == '-') {
                if (minusSeen)
                    continue;
                minusSeen = true;
            }
            if (ch == Intl().DecimalChar)
                ch = '.';
            else if (ch == '.')
                continue;
            char c = ch;
            if (IsValidChar(m, c, true, ' ', Intl()))
                AcceptIntoWork(c);
        }
        reshow = true;
        break;
    }
    case ccRestore:
        Restore();
        LoadWorkBuffer();
        return;
    case ccChar: {
        char ch = msg.Ch;
        if (HasSelection() && static_cast<unsigned char>(ch) >= 32)
            ClearNumber();
        const int used = static_cast<int>(work_.size()) + (negative_ ? 1 : 0);
        if (used > totalDigits_) {
            if (Env().AutoAdvanceChar)
                Advance(true);
            else
                Beep();
            break;
        }
        if (ch == Intl().DecimalChar)
            ch = '.';
        else if (ch == '.') {
            Beep();
            break;
        }
        int firstPos = 0;
        while (firstPos < maxLength_ && pm_.Flag(firstPos) != pflagEditable)
            ++firstPos;
        char c = ch;
        if (!IsValidChar(pm_.MaskCharAt(firstPos), c, true, ' ', Intl()) || !AcceptIntoWork(c)) {
            Beep();
            break;
        }
        reshow = true;
        const int nowUsed = static_cast<int>(work_.size()) + (negative_ ? 1 : 0);
        if (c != '-' && nowUsed >= totalDigits_ && Env().AutoAdvanceChar)
            Advance(true);
        break;
    }
    case ccMouse: selStart_ = selEnd_ = caret_; break;
    default: return;
    }
    if (reshow || work_ != workBefore || negative_ != negBefore)
        ShowWork();
    EndEdit(before, pm_.LastEditablePosition() + 1, keepSel);
}

} // namespace korval
