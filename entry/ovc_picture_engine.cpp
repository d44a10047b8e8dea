#include "entry/ovc_support.h"
#include "entry/ovc_picture_engine.h"

#include <algorithm>
#include <cstring>

#include "entry/ovc_command_processor.h"
#include "entry/ovc_exceptions.h"
#include "entry/ovc_intl.h"
#include "entry/ovc_simple_engine.h"
#include "entry/ovc_strings.h"
#include "logbook/base/decimal_text.h"
#include "logbook/base/string_utils.h"

namespace korval {

namespace {


} // namespace

// ===================================================================== picture base

TOvcPictureBaseEngine::TOvcPictureBaseEngine(TOvcFieldHost* host, uint8_t fieldClass)
    : TOvcFieldEngine(host, fieldClass)
{
    SyncMask();
}

void TOvcPictureBaseEngine::SyncMask()
{
    pm_.RealType = IsRealType(DataType());
    pm_.NumericClass = IsNumericPicture();
    pm_.RightJustify = options_.Contains(efoRightJustify);
    pm_.SetMask(maskText_, maxLength_);
    if (!pm_.NoLiterals()) {
        options_.Exclude(efoTrimBlanks);
        options_.Exclude(efoRightJustify);
        pm_.RightJustify = false;
    }
    if (static_cast<int>(buf_.size()) != maxLength_)
        buf_.resize(maxLength_, ' ');
}

void TOvcPictureBaseEngine::MaxLengthChanged()
{
    // Positions past the mask's end repeat its last character; literal ones show it.
    SyncMask();
    for (int i = 0; i < maxLength_; ++i)
        if (pm_.IsLiteralPosition(i))
            buf_[i] = pm_.MaskCharAt(i);
}

void TOvcPictureBaseEngine::BuildPositionFlags()
{
    SyncMask();
}

void TOvcPictureBaseEngine::ChangeMask(const std::string& mask, bool setMaxLength)
{
    uint8_t data[260] = {};
    const bool haveValue = !Loading && ReadValueQuietly(data);
    maskText_ = mask;
    if (setMaxLength)
        maxLength_ = std::clamp(static_cast<int>(mask.size()), 1, 255);
    buf_.assign(maxLength_, ' ');
    SyncMask();
    buf_ = pm_.MergeValueIntoMask("");
    if (haveValue)
        PutValueQuietly(data);
    caret_ = std::min(caret_, maxLength_);
    selStart_ = selEnd_ = caret_;
    Repaint();
}

bool TOvcPictureBaseEngine::ReadValueQuietly(void* data)
{
    const uint32_t saved = state_;
    state_ |= sefNoUpdates;
    readingValue_ = true;
    const uint16_t code = efValidateField();
    readingValue_ = false;
    state_ = saved;
    if (code != 0)
        return false;
    efTransfer(data, 1);
    return true;
}

void TOvcPictureBaseEngine::SetEditText(const std::string& s)
{
    buf_ = pm_.MergeValueIntoMask(s);
}

void TOvcPictureBaseEngine::efCaretToEnd()
{
    const int last = pm_.LastEditablePosition();
    int p = 0;
    for (int i = last; i >= 0; --i)
        if (pm_.Flag(i) != pflagLiteral && i < static_cast<int>(buf_.size()) && buf_[i] != ' ') {
            p = i + 1;
            break;
        }
    while (p < last && pm_.IsLiteralPosition(p))
        ++p;
    if (p == 0)
        p = efFirstEditablePos();
    caret_ = p;
}

void TOvcPictureBaseEngine::efCaretToStart()
{
    caret_ = efFirstEditablePos();
    firstVisible_ = 0;
}

bool TOvcPictureBaseEngine::efFieldIsEmpty() const
{
    for (int i = 0; i < static_cast<int>(buf_.size()) && i < maxLength_; ++i)
        if (pm_.Flag(i) != pflagLiteral && buf_[i] != ' ')
            return false;
    return true;
}

std::string TOvcPictureBaseEngine::efGetDisplayString() const
{
    std::string s = TOvcFieldEngine::efGetDisplayString();
    if (uninitialized_ && !Focused())
        return std::string(maxLength_, ' ');
    if (!options_.Contains(efoPasswordMode) && PadChar == ' ')
        return s;
    return pm_.DisplayString(s, IsNumericPicture(), PadChar, options_.Contains(efoPasswordMode), PasswordChar);
}

void TOvcPictureBaseEngine::efAdjustOptions()
{
    if (Loading)
        return;
    TOvcFieldEngine::efAdjustOptions();
    if (FieldClass() == fcPicture && DataType() == fsubString && !pm_.NoLiterals()) {
        options_.Exclude(efoRightJustify);
        options_.Exclude(efoTrimBlanks);
    }
    pm_.RightJustify = options_.Contains(efoRightJustify);
}

void TOvcPictureBaseEngine::efSetCaretPos(int pos)
{
    if (!Focused())
        return;
    const int first = efFirstEditablePos(), last = pm_.LastEditablePosition();
    if (pos < first)
        pos = first;
    else if (pos <= last) {
        while (pos > first && pm_.IsLiteralPosition(pos))
            --pos;
    } else
        pos = last + 1;
    caret_ = pos;
}

bool TOvcPictureBaseEngine::efCanClose(bool doValidation)
{
    if (FieldClass() == fcPicture && GetModified() && Focused() && pm_.HasMaskChar('.'))
        AlignAroundDecimalPoint(true, true);
    return TOvcFieldEngine::efCanClose(doValidation);
}

void TOvcPictureBaseEngine::FocusGained(bool keptError)
{
    const std::string keep = buf_;
    SyncMask();
    buf_ = keep.size() == static_cast<size_t>(maxLength_) ? keep : buf_;
    TOvcFieldEngine::FocusGained(keptError);
}

void TOvcPictureBaseEngine::FocusLost(bool outsideForm)
{
    if (FieldClass() == fcPicture && GetModified() && pm_.HasMaskChar('.'))
        AlignAroundDecimalPoint(true, true);
    TOvcFieldEngine::FocusLost(outsideForm);
    if (!outsideForm)
        ShowSemiLiterals();
}

void TOvcPictureBaseEngine::HideSemiLiterals()
{
    if (pm_.HideSemiLiterals(buf_))
        Repaint();
}

void TOvcPictureBaseEngine::ShowSemiLiterals()
{
    if (pm_.ShowSemiLiterals(buf_))
        Repaint();
}

void TOvcPictureBaseEngine::AlignAroundDecimalPoint(bool alignLeft, bool alignRight)
{
    const int saved = caret_;
    pm_.AlignAroundDecimalPoint(buf_, pm_.DecimalPos(), efFirstEditablePos() - pm_.SemiLiteralCount(),
                                alignLeft, alignRight, pm_.LastEditablePosition());
    caret_ = saved;
}

// ===================================================================== picture field

TOvcPictureFieldEngine::TOvcPictureFieldEngine(TOvcFieldHost* host) : TOvcPictureBaseEngine(host, fcPicture)
{
    SetDataTypeCode(fsubString);
    maskText_ = "XXXXXXXXXXXXXXX";
    maxLength_ = 15;
    SyncMask();
    buf_ = pm_.MergeValueIntoMask("");
}

void TOvcPictureFieldEngine::SetDataType(int value)
{
    if (value < 0 || value > pftTime)
        throw EOvcException(GetLibraryString(SCInvalidParamValue));
    if (value == DataType() && !(value == pftString && maskText_.empty()))
        return;
    SetDataTypeCode(value);
    options_.Include(efoCaretToEnd);
    static const char* const kMasks[] = {"XXXXXXXXXXXXXXX", "X", "B", "Y", "iiiiiiiiiii", "99999", "iiiiii", "999",
                                         "iiii", "##########", "##########", "##########", "##########", "iiiiiiiiii"};
    std::string mask;
    if (value == pftDate) {
        const std::string shortDate = OvcIntlSup().Settings().sShortDate;
        mask = OvcIntlSup().DateMask(shortDate.find("yyyy") != std::string::npos);
    } else if (value == pftTime) {
        mask = OvcIntlSup().TimeMask(true);
    } else {
        mask = kMasks[value];
    }
    maskText_ = mask;
    maxLength_ = static_cast<int>(mask.size());
    decimalPlaces_ = 0;
    SyncMask();
    buf_ = pm_.MergeValueIntoMask("");
    caret_ = selStart_ = selEnd_ = 0;
    if (!Loading)
        efAdjustOptions();
    Repaint();
}

void TOvcPictureFieldEngine::SetPictureMask(const std::string& value)
{
    if (value.empty() || value == maskText_)
        return;
    if (Loading) {
        maskText_ = value;
        SyncMask();
        return;
    }
    ChangeMask(value.substr(0, 255), true);
    efAdjustOptions();
}

void TOvcPictureFieldEngine::SetInitDateTime(bool value)
{
    initDateTime_ = value;
    if (Loading)
        return;
    if (DataType() == fsubDate)
        SetAsStDate(value && host_ ? host_->Today() : (value ? CurrentDate() : BadDate));
    else if (DataType() == fsubTime)
        SetAsStTime(value && host_ ? host_->TimeNow() : (value ? CurrentTime() : BadTime));
}

void TOvcPictureFieldEngine::efSetFromString(const std::string& s)
{
    if (state_ & sefNoUpdates)
        return;
    if (DataType() == fsubDate) {
        int32_t d = static_cast<int>(s.size()) == static_cast<int>(maskText_.size())
                        ? OvcIntlSup().ParseDate(maskText_, s, DateEpoch())
                        : BadDate;
        SetValue(&d);
        return;
    }
    if (DataType() == fsubTime) {
        int32_t t = static_cast<int>(s.size()) == static_cast<int>(maskText_.size()) ? OvcIntlSup().ParseTime(maskText_, s)
                                                                                    : BadTime;
        SetValue(&t);
        return;
    }
    TOvcFieldEngine::efSetFromString(s);
}

// ---- value transfer

int TOvcPictureFieldEngine::efTransfer(void* data, int direction)
{
    const int t = DataType();
    if (direction == 0 || data == nullptr) {
        if (t == fsubString && options_.Contains(efoStripLiterals)) {
            int n = 0;
            for (int i = 0; i < maxLength_; ++i)
                n += pm_.Flag(i) != pflagLiteral;
            return n + 1;
        }
        return TOvcFieldEngine::efTransfer(data, 0);
    }
    auto* p = static_cast<uint8_t*>(data);
    const TOvcFieldIntl& in = Intl();
    if (direction == 1) {
        const std::string stripped = GetStrippedText();
        switch (t) {
        case fsubString: {
            std::string s;
            if (!(options_.Contains(efoTrimBlanks) && efFieldIsEmpty())) {
                s = options_.Contains(efoStripLiterals) ? stripped : buf_;
                if (options_.Contains(efoTrimBlanks))
                    s = TrimSpaces(s);
            }
            WriteShort(data, s, 255);
            break;
        }
        case fsubChar: {
            const int pos = std::min(efFirstEditablePos(), maxLength_ - 1);
            p[0] = pos >= 0 && pos < static_cast<int>(buf_.size()) ? static_cast<uint8_t>(buf_[pos]) : ' ';
            break;
        }
        case fsubBoolean: case fsubYesNo: {
            const std::string s = TrimSpaces(stripped);
            const char want = t == fsubBoolean ? in.TrueChar : in.YesChar;
            p[0] = !s.empty() && FieldCharUpper(s[0]) == want;
            break;
        }
        case fsubDate: {
            const int32_t d = OvcIntlSup().ParseDate(maskText_, buf_.substr(0, maskText_.size()), DateEpoch());
            std::memcpy(data, &d, 4);
            break;
        }
        case fsubTime: {
            const int32_t v = OvcIntlSup().ParseTime(maskText_, buf_.substr(0, maskText_.size()));
            std::memcpy(data, &v, 4);
            break;
        }
        default:
            NumberTextToData(stripped, pm_.Base(), data);
            break;
        }
        return TOvcFieldEngine::efTransfer(data, 1);
    }

    // Put.
    pm_.SemiLiteralsHidden = false;
    switch (t) {
    case fsubString: {
        const std::string v = ReadShort(data);
        const std::string merged = pm_.MergeValueIntoMask(v.substr(0, maxLength_));
        // A value of the full length is taken to hold the literals already; copy it as it
        // stands only when its literals really are the mask's, otherwise merge it.
        bool literalsMatch = static_cast<int>(v.size()) == maxLength_ && !options_.Contains(efoStripLiterals);
        for (int i = 0; literalsMatch && i < maxLength_; ++i)
            if (pm_.Flag(i) == pflagLiteral && v[i] != merged[i])
                literalsMatch = false;
        if (literalsMatch) {
            buf_ = v;
            for (int i = 0; i < maxLength_; ++i)
                if (pm_.Flag(i) != pflagLiteral)
                    buf_[i] = ConvertCaseFor(pm_.MaskCharAt(i), buf_[i], ' ', in, false);
        } else {
            buf_ = merged;
        }
        break;
    }
    case fsubChar: buf_ = pm_.MergeValueIntoMask(std::string(1, static_cast<char>(p[0]))); break;
    case fsubBoolean: buf_ = pm_.MergeValueIntoMask(std::string(1, p[0] ? in.TrueChar : in.FalseChar)); break;
    case fsubYesNo: buf_ = pm_.MergeValueIntoMask(std::string(1, p[0] ? in.YesChar : in.NoChar)); break;
    case fsubDate: {
        int32_t d = 0;
        std::memcpy(&d, data, 4);
        buf_ = OvcIntlSup().FormatDate(maskText_, d, false);
        buf_.resize(maxLength_, ' ');
        break;
    }
    case fsubTime: {
        int32_t v = 0;
        std::memcpy(&v, data, 4);
        buf_ = OvcIntlSup().FormatTime(maskText_, v, false);
        buf_.resize(maxLength_, ' ');
        break;
    }
    default:
        if (IsIntegerType(t)) {
            TOvcRangeSlot s{};
            std::memcpy(s.data(), data, DataTypeSize(t, 0));
            buf_ = pm_.MergeValueIntoMask(IntegerToText(SlotToInt(t, s), t, pm_.Base()));
        } else if (IsRealType(t)) {
            TOvcRangeSlot s{};
            std::memcpy(s.data(), data, DataTypeSize(t, 0));
            // The decimals are the editable places after the mask's point (DecimalPlaces without one).
            int decimals = decimalPlaces_;
            const int dp = pm_.DecimalPos();
            if (dp >= 0) {
                decimals = 0;
                for (int i = dp + 1; i < maxLength_ && pm_.Flag(i) == pflagEditable; ++i)
                    ++decimals;
            }
            std::string txt = FormatFixed(SlotToFloat(t, s), std::clamp(decimals, 0, 30));
            if (decimalPlaces_ != 0 && txt.find('.') != std::string::npos) {
                while (txt.back() == '0')
                    txt.pop_back();
                if (txt.back() == '.')
                    txt.pop_back();
            }
            buf_ = pm_.MergeValueIntoMask(TrimSpaces(txt));
        }
        break;
    }
    caret_ = std::min(caret_, maxLength_);
    selStart_ = selEnd_ = caret_;
    return TOvcFieldEngine::efTransfer(data, 2);
}

// ---- validation

uint16_t TOvcPictureFieldEngine::efValidateField()
{
    const int t = DataType();
    uint16_t code = 0;
    const bool normalise = Focused() && !readingValue_;
    auto writeBack = [&](void* data) {
        if (!normalise)
            return;
        const int caret = caret_;
        PutValueQuietly(data);
        caret_ = std::min(caret, maxLength_);
        selStart_ = selEnd_ = caret_;
        Repaint();
    };
    switch (t) {
    case fsubString:
        if (normalise && options_.Contains(efoTrimBlanks)) {
            const std::string before = buf_;
            buf_ = pm_.MergeValueIntoMask(TrimSpaces(GetStrippedText()));
            if (TrimSpaces(before).size() != TrimSpaces(buf_).size())
                Repaint();
        }
        break;
    case fsubChar: {
        const int64_t lo = SlotToInt(t, rangeLo_), hi = SlotToInt(t, rangeHi_);
        const int pos = std::min(efFirstEditablePos(), maxLength_ - 1);
        const int c = pos >= 0 && pos < static_cast<int>(buf_.size()) ? static_cast<uint8_t>(buf_[pos]) : ' ';
        if (lo != hi && (c < lo || c > hi))
            code = oeRangeError;
        break;
    }
    case fsubBoolean: case fsubYesNo: {
        const std::string s = TrimSpaces(GetStrippedText());
        const char c = s.empty() ? ' ' : FieldCharUpper(s[0]);
        const bool ok = t == fsubBoolean ? (c == Intl().TrueChar || c == Intl().FalseChar)
                                         : (c == Intl().YesChar || c == Intl().NoChar);
        if (!ok)
            code = oeRangeError;
        break;
    }
    case fsubDate:
        if (!efFieldIsEmpty()) {
            int32_t d = OvcIntlSup().ParseDate(maskText_, buf_.substr(0, maskText_.size()), DateEpoch());
            if (d == BadDate)
                code = oeInvalidDate;
            else if (SlotToInt(t, rangeHi_) != 0 && !InRangeInt(d))
                code = oeRangeError;
            else
                writeBack(&d);
        }
        break;
    case fsubTime:
        if (!efFieldIsEmpty()) {
            int32_t v = OvcIntlSup().ParseTime(maskText_, buf_.substr(0, maskText_.size()));
            if (v == BadTime)
                code = oeInvalidTime;
            else if (SlotToInt(t, rangeHi_) != 0 && !InRangeInt(v))
                code = oeRangeError;
            else
                writeBack(&v);
        }
        break;
    default:
        if (IsIntegerType(t)) {
            int64_t v = 0;
            if (!TextToIntegerBase(GetStrippedText(), t, pm_.Base(), v))
                code = oeInvalidNumber;
            else if (!InRangeInt(v))
                code = oeRangeError;
            else {
                TOvcRangeSlot s{};
                IntToSlot(t, v, s);
                writeBack(s.data());
            }
        } else if (IsRealType(t)) {
            std::string txt = GetStrippedText();
            std::replace(txt.begin(), txt.end(), Intl().DecimalChar, '.');
            long double v = 0;
            if (!TextToReal(txt, t, v))
                code = oeInvalidNumber;
            else if (!InRange(v))
                code = oeRangeError;
            else {
                TOvcRangeSlot s{};
                FloatToSlot(t, v, s);
                writeBack(s.data());
            }
        }
        break;
    }
    return RunUserValidation(code);
}

// ---- editing helpers

int TOvcPictureFieldEngine::GroupStart(int pos) const
{
    while (pos > 0 && IsEditable(pos - 1))
        --pos;
    return pos;
}

int TOvcPictureFieldEngine::GroupEnd(int pos) const
{
    while (pos + 1 < maxLength_ && IsEditable(pos + 1))
        ++pos;
    return pos;
}

int TOvcPictureFieldEngine::NextEditable(int pos) const
{
    for (int i = std::max(pos, 0); i < maxLength_; ++i)
        if (IsEditable(i))
            return i;
    return -1;
}

int TOvcPictureFieldEngine::PrevEditable(int pos) const
{
    for (int i = std::min(pos, maxLength_ - 1); i >= 0; --i)
        if (IsEditable(i))
            return i;
    return -1;
}

void TOvcPictureFieldEngine::DeleteAt(int pos)
{
    if (!IsEditable(pos))
        return;
    const int ge = GroupEnd(pos);
    for (int i = pos; i < ge; ++i)
        buf_[i] = buf_[i + 1];
    buf_[ge] = ' ';
}

void TOvcPictureFieldEngine::DeleteSelection()
{
    const int a = SelStart(), b = std::min(SelEnd(), maxLength_);
    for (int i = b - 1; i >= a; --i)
        DeleteAt(i);
    const int n = NextEditable(a);
    caret_ = n < 0 ? a : n;
    selStart_ = selEnd_ = caret_;
}

bool TOvcPictureFieldEngine::InsertAt(int pos, char ch, bool quiet)
{
    const int ge = GroupEnd(pos);
    if (pos == ge) {  // a position followed by a literal is overwritten
        buf_[pos] = ch;
        return true;
    }
    if (buf_[ge] != ' ' && !Env().InsertPushes) {
        if (!quiet)
            Beep();
        return false;
    }
    for (int i = ge; i > pos; --i)
        buf_[i] = buf_[i - 1];
    buf_[pos] = ch;
    return true;
}

bool TOvcPictureFieldEngine::AcceptChar(char& ch, int pos) const
{
    const bool number = IsNumberType(DataType());
    if (number) {
        if (ch == Intl().DecimalChar)
            ch = '.';
        else if (ch == '.' && Intl().DecimalChar != '.')
            return false;
    }
    if (static_cast<unsigned char>(ch) < 32)
        return ctrlCharArmed_ && ch != 0;
    char m = pm_.MaskCharAt(pos);
    if (pm_.IsSemiLiteralPosition(pos) || m == '$' || m == ',')
        m = pm_.MaskCharAt(pm_.LastEditablePosition());
    const char prev = (pos > 0 && IsEditable(pos - 1)) ? buf_[pos - 1] : ' ';
    if (!IsValidChar(m, ch, true, prev, Intl()))
        return false;
    if (ch == '.' && number)
        ch = Intl().DecimalChar;
    return true;
}

// Types one character at the caret. Returns true when it was stored.
bool TOvcPictureFieldEngine::TypeChar(char ch, bool quiet)
{
    const int last = pm_.LastEditablePosition();
    const int dp = pm_.DecimalPos();
    const bool number = IsNumberType(DataType());
    if (number && dp >= 0 && (ch == Intl().DecimalChar || (ch == '.' && Intl().DecimalChar == '.'))) {
        AlignAroundDecimalPoint(true, false);
        caret_ = dp + 1;
        return true;
    }
    if (number && quiet && ch == ' ')
        return false;
    if (caret_ > last) {
        if (!quiet) {
            if (Env().AutoAdvanceChar)
                Advance(true);
            else
                Beep();
        }
        return false;
    }
    if (!IsEditable(caret_)) {
        const int n = NextEditable(caret_);
        if (n < 0)
            return false;
        caret_ = n;
    }
    char c = ch;
    if (!AcceptChar(c, caret_)) {
        if (!quiet) {
            // The system's separator or the picture's own literal between the parts.
            const int gs = GroupStart(caret_), ge = GroupEnd(caret_);
            const bool literalSep = (gs > 0 && pm_.IsLiteralPosition(gs - 1) && buf_[gs - 1] == ch) ||
                                    (ge + 1 < std::min(maxLength_, static_cast<int>(buf_.size())) && pm_.IsLiteralPosition(ge + 1) &&
                                     buf_[ge + 1] == ch);
            const bool dateSep = DataType() == fsubDate && (ch == Intl().DateSeparator || literalSep);
            const bool timeSep = DataType() == fsubTime && (ch == Intl().TimeSeparator || literalSep);
            if (dateSep || timeSep) {
                // Right after a part the caret has moved on already: the separator only
                // confirms it. Within a part it moves to the next one.
                if (caret_ == gs && gs > 0 && pm_.IsLiteralPosition(gs - 1))
                    return false;
                if (caret_ > gs) {
                    const int n = NextEditable(ge + 1);
                    if (n >= 0)
                        caret_ = n;
                    return false;
                }
            }
            Beep();
        }
        return false;
    }
    if (insertMode_) {
        if (!InsertAt(caret_, c, quiet))
            return false;
    } else {
        buf_[caret_] = c;
    }
    const int n = NextEditable(caret_ + 1);
    caret_ = n < 0 ? last + 1 : n;
    if (!quiet && caret_ > last && Env().AutoAdvanceChar)
        Advance(true);
    return true;
}

char TOvcPictureFieldEngine::ComponentAtCaret() const
{
    int p = caret_;
    if (!IsEditable(p))
        p = PrevEditable(p);
    if (p < 0)
        p = NextEditable(0);
    return p < 0 ? 0 : pm_.MaskCharAt(p);
}

void TOvcPictureFieldEngine::CompleteDateTime(bool date)
{
    const std::string full = date ? OvcIntlSup().FormatDate(maskText_, host_ ? host_->Today() : CurrentDate(), false)
                                  : OvcIntlSup().FormatTime(maskText_, host_ ? host_->TimeNow() : CurrentTime(), false);
    const bool whole = SelStart() <= efFirstEditablePos() && SelEnd() >= pm_.LastEditablePosition() + 1;
    if (whole) {
        buf_ = full;
        buf_.resize(maxLength_, ' ');
        caret_ = pm_.LastEditablePosition() + 1;
        return;
    }
    int p = IsEditable(caret_) ? caret_ : PrevEditable(caret_);
    if (p < 0)
        return;
    const int gs = GroupStart(p), ge = GroupEnd(p);
    for (int i = gs; i <= ge && i < static_cast<int>(full.size()); ++i)
        buf_[i] = full[i];
    const int n = NextEditable(ge + 1);
    caret_ = n < 0 ? pm_.LastEditablePosition() + 1 : n;
}

// ---- the keystroke editors

void TOvcPictureFieldEngine::efEdit(uint16_t cmd, const TOvcEditMsg& msg)
{
    if (IsOneCharType())
        OneCharEdit(cmd, msg, std::min(efFirstEditablePos(), maxLength_ - 1));
    else
        MaskEdit(cmd, msg);
}

bool TOvcPictureFieldEngine::OneCharAccept(char& ch, int pos) const
{
    return AcceptChar(ch, pos);
}

void TOvcPictureFieldEngine::MaskEdit(uint16_t cmd, const TOvcEditMsg& msg)
{
    if (cmd == ccCtrlChar) {
        ctrlCharArmed_ = true;
        return;
    }
    const bool armed = ctrlCharArmed_;
    ctrlCharArmed_ = false;
    if (cmd != ccNotCommand)
        HideSemiLiterals();
    const std::string before = buf_;
    const int first = efFirstEditablePos();
    const int last = pm_.LastEditablePosition();
    const int eoi = pm_.EndOfInput(buf_);
    const int dp = pm_.DecimalPos();
    const bool hasPoint = dp > first && dp < last;
    const int oldCaret = caret_;
    bool keepSel = false;
    auto wordLeft = [&](int p) {
        int q = p - 1;
        while (q > first && (!IsEditable(q) || buf_[q] == ' '))
            --q;
        while (q > first && IsEditable(q - 1) && buf_[q - 1] != ' ')
            --q;
        return std::max(q, first);
    };
    auto wordRight = [&](int p) {
        int q = p;
        while (q <= last && IsEditable(q) && buf_[q] != ' ')
            ++q;
        while (q <= last && (!IsEditable(q) || buf_[q] == ' '))
            ++q;
        return std::min(q, last + 1);
    };
    auto extendTo = [&](int p) {
        if (!HasSelection())
            selStart_ = caret_;
        caret_ = std::clamp(p, 0, last + 1);
        selEnd_ = caret_;
        keepSel = true;
    };
    auto left = [&]() {
        if (caret_ > first) {
            int p = caret_ - 1;
            while (p > first && !IsEditable(p))
                --p;
            caret_ = p;
        } else if (Env().AutoAdvanceLeftRight) {
            Advance(false);
        }
    };
    auto right = [&]() {
        if (caret_ <= last) {
            const int n = NextEditable(caret_ + 1);
            caret_ = n < 0 ? last + 1 : n;
        } else if (Env().AutoAdvanceLeftRight) {
            Advance(true);
        }
    };
    switch (cmd) {
    case ccBack:
        if (HasSelection())
            DeleteSelection();
        else if (caret_ > first) {
            int p = caret_ - 1;
            while (p > first && !IsEditable(p))
                --p;
            caret_ = p;
            if (caret_ < eoi)
                DeleteAt(caret_);
        }
        break;
    case ccDel:
        if (HasSelection())
            DeleteSelection();
        else if (caret_ < eoi)
            DeleteAt(caret_);
        break;
    case ccDelWord:
        if (HasSelection())
            DeleteSelection();
        else if (IsEditable(caret_)) {
            const int ge = GroupEnd(caret_);
            int n = 0;
            while (caret_ + n <= ge && buf_[caret_ + n] != ' ')
                ++n;
            while (caret_ + n <= ge && buf_[caret_ + n] == ' ')
                ++n;
            for (int i = 0; i < n; ++i)
                DeleteAt(caret_);
        }
        break;
    case ccDelBol: {
        const int at = IsEditable(caret_) ? caret_ : caret_ - 1;
        if (IsEditable(at)) {
            const int gs = GroupStart(at);
            for (int i = gs; i < caret_; ++i)
                DeleteAt(gs);
            caret_ = gs;
        }
        break;
    }
    case ccDelEol:
        if (IsEditable(caret_))
            for (int i = caret_; i <= GroupEnd(caret_); ++i)
                buf_[i] = ' ';
        break;
    case ccDelLine:
        efCaretToStart();
        for (int i = 0; i < maxLength_; ++i)
            if (IsEditable(i))
                buf_[i] = ' ';
        break;
    case ccLeft: left(); break;
    case ccRight: right(); break;
    case ccUp: case ccDown:
        if (Env().AutoAdvanceUpDown)
            Advance(cmd == ccDown);
        else if (options_.Contains(efoArrowIncDec) && !efIsReadOnly())
            efIncDecValue(true, cmd == ccUp ? 1 : -1);
        else if (cmd == ccUp)
            left();
        else
            right();
        break;
    case ccInc: efIncDecValue(true, 1); keepSel = HasSelection(); break;
    case ccDec: efIncDecValue(true, -1); keepSel = HasSelection(); break;
    case ccHome: caret_ = first; break;
    case ccEnd: efCaretToEnd(); break;
    case ccWordLeft:
        if (caret_ > first)
            caret_ = wordLeft(caret_);
        else if (Env().AutoAdvanceLeftRight)
            Advance(false);
        break;
    case ccWordRight:
        if (caret_ <= last)
            caret_ = wordRight(caret_);
        else if (Env().AutoAdvanceLeftRight)
            Advance(true);
        break;
    case ccExtendLeft: if (caret_ > first) extendTo(PrevEditable(caret_ - 1) < first ? first : caret_ - 1); else keepSel = true; break;
    case ccExtendRight: if (caret_ <= last) extendTo(caret_ + 1); else keepSel = true; break;
    case ccExtendHome: if (caret_ > first) extendTo(first); else keepSel = true; break;
    case ccExtendEnd: if (caret_ <= last) extendTo(last + 1); else keepSel = true; break;
    case ccExtWordLeft: if (caret_ > first) extendTo(wordLeft(caret_)); else keepSel = true; break;
    case ccExtWordRight: if (caret_ <= last) extendTo(wordRight(caret_)); else keepSel = true; break;
    case ccIns: insertMode_ = !insertMode_; break;
    case ccCut:
        if (HasSelection())
            DeleteSelection();
        keepSel = true;
        break;
    case ccCopy: keepSel = true; break;
    case ccPaste: {
        std::string text = host_ ? host_->ClipboardText() : std::string();
        if (HasSelection())
            DeleteSelection();
        const bool oldMode = insertMode_;
        insertMode_ = true;
        size_t k = 0;
        // Pasted characters that equal the literals at the caret are passed over.
        for (int p = caret_; k < text.size() && p < maxLength_ && !IsEditable(p); ++p)
            if (text[k] == buf_[p])
                ++k;
        for (; k < text.size() && caret_ <= last; ++k) {
            const char ch = text[k];
            if (caret_ > 0 && !IsEditable(caret_ - 1) && caret_ - 1 >= first && ch == buf_[caret_ - 1] &&
                !IsEditable(caret_ - 1))
                continue;
            TypeChar(ch, true);
        }
        insertMode_ = oldMode;
        keepSel = true;
        break;
    }
    case ccRestore:
        Restore();
        pm_.SemiLiteralsHidden = false;
        return;
    case ccCompleteDate:
        if (DataType() == fsubDate)
            CompleteDateTime(true);
        break;
    case ccCompleteTime:
        if (DataType() == fsubTime)
            CompleteDateTime(false);
        break;
    case ccChar: {
        char ch = msg.Ch;
        ctrlCharArmed_ = armed;
        if (HasSelection()) {
            char probe = ch;
            const int at = NextEditable(SelStart()) < 0 ? SelStart() : NextEditable(SelStart());
            if (AcceptChar(probe, at)) {
                DeleteSelection();
                caret_ = at;
            }
        }
        TypeChar(ch, false);
        ctrlCharArmed_ = false;
        break;
    }
    case ccMouse: {
        int p = std::clamp(msg.Pos, first, last + 1);
        if (p <= last && !IsEditable(p))
            p = PrevEditable(p) < first ? first : p;
        p = std::min(p, std::max(eoi, first));
        if (msg.Shift)
            extendTo(p);
        else
            caret_ = selStart_ = selEnd_ = p;
        keepSel = true;
        break;
    }
    case ccMouseMove: extendTo(std::clamp(msg.Pos, 0, last + 1)); break;
    case ccDblClk:
        if (IsRealType(DataType())) {
            SelectAll();
        } else {
            const int p = IsEditable(msg.Pos) ? msg.Pos : PrevEditable(msg.Pos);
            if (p >= 0) {
                int a = p, b = p;
                while (a > 0 && IsEditable(a - 1) && buf_[a - 1] != ' ')
                    --a;
                while (b < maxLength_ && IsEditable(b) && buf_[b] != ' ')
                    ++b;
                selStart_ = a;
                selEnd_ = caret_ = b;
            }
        }
        keepSel = true;
        break;
    default:
        return;
    }
    caret_ = std::clamp(caret_, 0, maxLength_);
    if (!keepSel)
        selStart_ = selEnd_ = caret_;
    if (hasPoint && IsNumberType(DataType())) {
        if (oldCaret <= dp && caret_ > dp)
            AlignAroundDecimalPoint(true, false);
        else if (oldCaret > dp && caret_ <= dp)
            AlignAroundDecimalPoint(false, true);
    }
    if (buf_ != before)
        Changed();
    Repaint();
}

// ---- stepping

void TOvcPictureFieldEngine::StepDate(bool wrap, int delta)
{
    int32_t d = OvcIntlSup().ParseDate(maskText_, buf_.substr(0, maskText_.size()), DateEpoch());
    if (d == BadDate)
        d = host_ ? host_->Today() : CurrentDate();
    const char c = ComponentAtCaret();
    int32_t next = d;
    switch (c) {
    case 'm': case 'M': case 'n': case 'N': next = AddMonthsTrunc(d, delta, 0); break;
    case 'y': next = AddMonthsTrunc(d, 0, delta); break;
    default: next = d + delta; break;
    }
    int64_t lo = SlotToInt(fsubDate, rangeLo_), hi = SlotToInt(fsubDate, rangeHi_);
    if (hi == 0) {
        lo = 0;
        hi = MaxDate;
    }
    if (next == BadDate || next < lo || next > hi) {
        if (!wrap)
            return;
        next = static_cast<int32_t>(delta > 0 ? lo : hi);
    }
    buf_ = OvcIntlSup().FormatDate(maskText_, next, false);
    buf_.resize(maxLength_, ' ');
}

void TOvcPictureFieldEngine::StepTime(bool wrap, int delta)
{
    int32_t v = OvcIntlSup().ParseTime(maskText_, buf_.substr(0, maskText_.size()));
    if (v == BadTime)
        v = 0;
    int unit = 1;
    switch (ComponentAtCaret()) {
    case 'h': case 'H': unit = 3600; break;
    case 'm': case 'M': unit = 60; break;
    case 't': unit = 12 * 3600; break;
    default: unit = 1; break;
    }
    const int64_t next = ((static_cast<int64_t>(v) + static_cast<int64_t>(delta) * unit) % 86400 + 86400) % 86400;
    int64_t lo = SlotToInt(fsubTime, rangeLo_), hi = SlotToInt(fsubTime, rangeHi_);
    if (hi == 0) {
        lo = 0;
        hi = 86399;
    }
    int64_t result = next;
    if (result < lo || result > hi) {
        if (!wrap)
            return;
        result = delta > 0 ? lo : hi;
    }
    buf_ = OvcIntlSup().FormatTime(maskText_, static_cast<TStTime>(result), false);
    buf_.resize(maxLength_, ' ');
}

void TOvcPictureFieldEngine::efIncDecValue(bool wrap, double delta)
{
    const int t = DataType();
    const std::string before = buf_;
    if (t == fsubString)
        return;
    if (t == fsubDate || t == fsubTime) {
        const int caret = caret_;
        if (t == fsubDate)
            StepDate(wrap, static_cast<int>(delta));
        else
            StepTime(wrap, static_cast<int>(delta));
        caret_ = caret;
        if (buf_ != before) {
            selStart_ = 0;
            selEnd_ = maxLength_;
        }
    } else {
        // Char, Boolean, YesNo and the numbers step as a simple field of the same type does.
        uint8_t data[16] = {};
        if (t == fsubChar) {
            int lo = static_cast<int>(SlotToInt(t, rangeLo_)), hi = static_cast<int>(SlotToInt(t, rangeHi_));
            if (lo == hi) {
                lo = 1;
                hi = 255;
            }
            efTransfer(data, 1);
            int c = data[0];
            const int step = delta >= 0 ? 1 : -1;
            const char m = pm_.MaskCharAt(efFirstEditablePos());
            for (int tries = 0; tries < 256; ++tries) {
                c += step;
                if (c > hi || c < lo) {
                    if (!wrap)
                        return;
                    c = step > 0 ? lo : hi;
                }
                char ch = static_cast<char>(c);
                if (IsValidChar(m, ch, false, ' ', Intl()))
                    break;
            }
            data[0] = static_cast<uint8_t>(c);
            efTransfer(data, 2);
        } else if (t == fsubBoolean || t == fsubYesNo) {
            efTransfer(data, 1);
            data[0] = !data[0];
            efTransfer(data, 2);
        } else if (IsIntegerType(t) || IsRealType(t)) {
            efTransfer(data, 1);
            TOvcRangeSlot s{};
            std::memcpy(s.data(), data, DataTypeSize(t, 0));
            const long double lo = SlotToFloat(t, rangeLo_), hi = SlotToFloat(t, rangeHi_);
            long double v = SlotToFloat(t, s) + delta;
            if (v > hi || v < lo) {
                if (!wrap)
                    return;
                v = delta > 0 ? lo : hi;
            }
            v = std::clamp(v, lo, hi);
            FloatToSlot(t, v, s);
            efTransfer(s.data(), 2);
        }
    }
    if (IsNumberType(t))
        pm_.SemiLiteralsHidden = false;
    HideSemiLiterals();
    if (buf_ != before)
        Changed();
    Repaint();
}

} // namespace korval
