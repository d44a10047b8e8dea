#include "entry/ovc_picture_mask.h"
#include "logbook/base/string_utils.h"

#include <algorithm>
#include <cstring>

namespace korval {

bool IsEditableMaskChar(char m)
{
    return m != 0 && std::strchr("!#123456789ABDEHKLMNOSXYabdhilmnstxy", m) != nullptr;
}

TOvcPictureMask::TOvcPictureMask(const std::string& mask, int maxLength)
{
    SetMask(mask, maxLength);
}

void TOvcPictureMask::SetMask(const std::string& mask, int maxLength)
{
    mask_ = mask.empty() ? std::string("X") : mask.substr(0, 255);
    maxLength_ = maxLength > 0 ? std::min(maxLength, 255) : static_cast<int>(mask_.size());
    BuildPositionFlags();
}

void TOvcPictureMask::SetMaxLength(int maxLength)
{
    if (maxLength < 1 || maxLength > 255)
        return;
    maxLength_ = maxLength;
    BuildPositionFlags();
}

char TOvcPictureMask::MaskCharAt(int pos) const
{
    if (pos < 0)
        return mask_.front();
    if (pos >= static_cast<int>(mask_.size()))
        return mask_.back();
    return mask_[pos];
}

void TOvcPictureMask::BuildPositionFlags()
{
    semiCount_ = 0;
    noLiterals_ = true;
    flags_.assign(maxLength_, pflagEditable);
    for (int i = 0; i < maxLength_; ++i) {
        const char m = MaskCharAt(i);
        if (IsEditableMaskChar(m))
            continue;
        noLiterals_ = false;
        if (m == '$' || m == ',') {
            flags_[i] = pflagSemiLiteral;
            ++semiCount_;
        } else {
            flags_[i] = pflagLiteral;
        }
    }
    if (noLiterals_)
        std::fill(flags_.begin(), flags_.end(), pflagEditable);
}

uint8_t TOvcPictureMask::Flag(int pos) const
{
    if (pos < 0 || pos >= static_cast<int>(flags_.size()))
        return pflagLiteral;
    return flags_[pos];
}

TOvcNumberBase TOvcPictureMask::Base() const
{
    if (IsHex())
        return TOvcNumberBase::Hex;
    if (IsOctal())
        return TOvcNumberBase::Octal;
    if (IsBinary())
        return TOvcNumberBase::Binary;
    return TOvcNumberBase::Decimal;
}

int TOvcPictureMask::LastEditablePosition() const
{
    for (int i = maxLength_ - 1; i >= 0; --i)
        if (flags_[i] != pflagLiteral)
            return i;
    return 0;
}

int TOvcPictureMask::FirstEditablePos() const
{
    for (int i = 0; i < maxLength_; ++i)
        if (flags_[i] != pflagLiteral)
            return i + semiCount_;
    return 0;
}

int TOvcPictureMask::EndOfInput(const std::string& buf) const
{
    const int last = std::min(LastEditablePosition(), static_cast<int>(buf.size()) - 1);
    for (int i = last; i >= 0; --i)
        if (flags_[i] != pflagLiteral && buf[i] != ' ')
            return i + 1;
    return 0;
}

int TOvcPictureMask::DecimalPos() const
{
    if (noLiterals_)
        return -1;
    for (int i = 0; i < maxLength_; ++i)
        if (flags_[i] == pflagLiteral && MaskCharAt(i) == '.')
            return i;
    return -1;
}

bool TOvcPictureMask::MergesNumerically() const
{
    return semiCount_ > 0 || IsHex() || IsOctal() || IsBinary() || NumericClass || HasMaskChar('.') ||
           HasMaskChar('c') || HasMaskChar('C');
}

std::string TOvcPictureMask::CurrencyForRun() const
{
    const auto first = mask_.find('$');
    if (first == std::string::npos)
        return {};
    size_t run = 0;
    while (first + run < mask_.size() && mask_[first + run] == '$')
        ++run;
    return intl().CurrencyLeft.substr(0, run);
}

namespace {

// Drops trailing fraction zeros and a point left at the end.
std::string TrimFraction(std::string s)
{
    if (s.find('.') == std::string::npos)
        return s;
    while (!s.empty() && s.back() == '0')
        s.pop_back();
    if (!s.empty() && s.back() == '.')
        s.pop_back();
    return s;
}

} // namespace

std::string TOvcPictureMask::MergeValueIntoMask(const std::string& value) const
{
    const TOvcFieldIntl& in = intl();
    const int n = maxLength_;
    std::string dest(n, ' ');
    for (int i = 0; i < n; ++i)
        dest[i] = MaskCharAt(i);

    // Currency strings of "c" (right-aligned) and "C" (left-aligned) runs.
    if (!noLiterals_) {
        auto run = [&](char m, int& b, int& e) {
            b = -1;
            for (int i = 0; i < n; ++i)
                if (dest[i] == m && flags_[i] == pflagLiteral) {
                    b = i;
                    break;
                }
            e = b;
            while (b >= 0 && e + 1 < n && dest[e + 1] == m && flags_[e + 1] == pflagLiteral)
                ++e;
        };
        int b = 0, e = 0;
        run('c', b, e);
        if (b >= 0) {
            int k = static_cast<int>(in.CurrencyLeft.size());
            for (int i = e; i >= b; --i)
                dest[i] = k > 0 ? in.CurrencyLeft[--k] : ' ';
        }
        run('C', b, e);
        if (b >= 0) {
            size_t k = 0;
            for (int i = b; i <= e; ++i)
                dest[i] = k < in.CurrencyRight.size() ? in.CurrencyRight[k++] : ' ';
        }
    }

    auto literalAt = [&](int i) {
        const char sub = in.SubstituteChar(dest[i]);
        if (sub != 0)
            dest[i] = sub;
    };

    if (!MergesNumerically()) {
        std::string work = value;
        if (RealType && static_cast<int>(work.size()) > n && work.find('.') != std::string::npos)
            work = TrimSpaces(TrimFraction(TrimSpaces(work)));
        if (!RightJustify) {
            size_t k = 0;
            for (int i = 0; i < n; ++i) {
                if (!noLiterals_ && flags_[i] == pflagLiteral) {
                    literalAt(i);
                    continue;
                }
                const char prev = i > 0 ? dest[i - 1] : ' ';
                dest[i] = k < work.size() ? ConvertCaseFor(MaskCharAt(i), work[k++], prev, in, false) : ' ';
            }
        } else {
            int k = static_cast<int>(work.size());
            for (int i = n - 1; i >= 0; --i) {
                if (!noLiterals_ && flags_[i] == pflagLiteral) {
                    literalAt(i);
                    continue;
                }
                dest[i] = k > 0 ? ConvertCaseFor(MaskCharAt(i), work[--k], ' ', in, false) : ' ';
            }
        }
        if (RealType)
            std::replace(dest.begin(), dest.end(), '.', in.DecimalChar);
        return dest;
    }

    // Numeric merge: digits right-aligned against the point, fraction from the left.
    const std::string currency = CurrencyForRun();
    std::string work = TrimSpaces(value);
    const bool valueEmpty = work.empty();
    bool minus = false;
    if (!work.empty() && work[0] == '-') {
        minus = true;
        work.erase(0, 1);
    }
    std::string intPart = work, frac;
    if (const auto dot = work.find('.'); dot != std::string::npos) {
        intPart = work.substr(0, dot);
        frac = work.substr(dot + 1);
    }
    const int dp = DecimalPos();
    const int intEnd = dp >= 0 ? dp : n;  // positions [0, intEnd) hold the integer part
    const char fill = (IsHex() || IsOctal() || IsBinary()) ? '0' : ' ';

    if (dp >= 0) {
        dest[dp] = in.DecimalChar;
        size_t k = 0;
        for (int i = dp + 1; i < n; ++i) {
            if (flags_[i] == pflagEditable)
                dest[i] = k < frac.size() ? frac[k++] : '0';
            else if (flags_[i] == pflagLiteral)
                literalAt(i);
        }
    }
    int di = static_cast<int>(intPart.size());
    int ci = valueEmpty ? 0 : static_cast<int>(currency.size());
    std::vector<int> removed;
    auto fillAt = [&](int i) {
        if (ci > 0)
            dest[i] = currency[--ci];
        else if (minus) {
            dest[i] = '-';
            minus = false;
        } else
            dest[i] = fill;
    };
    for (int i = intEnd - 1; i >= 0; --i) {
        const char m = MaskCharAt(i);
        if (flags_[i] == pflagLiteral) {
            if (m == '.')
                dest[i] = in.DecimalChar;
            else
                literalAt(i);
        } else if (flags_[i] == pflagSemiLiteral && m == ',') {
            if (di > 0) {
                if (in.ThousandsChar == 0)
                    removed.push_back(i);
                else
                    dest[i] = in.ThousandsChar;
            } else
                fillAt(i);
        } else if (flags_[i] == pflagSemiLiteral) {
            fillAt(i);  // the "$" run
        } else if (di > 0) {
            dest[i] = intPart[--di];
        } else {
            fillAt(i);
        }
    }
    if (dp > 0 && dest[dp - 1] == ' ')
        dest[dp - 1] = '0';
    // A separator that is no character gives up its place; the buffer keeps its length by
    // taking a leading blank instead, so the digits stay where they are.
    for (int i : removed) {
        dest.erase(i, 1);
        dest.insert(dest.begin(), fill);
    }
    return dest;
}

std::string TOvcPictureMask::StripMaskLiterals(const std::string& buf) const
{
    if (static_cast<int>(buf.size()) != maxLength_)
        return buf;
    const TOvcFieldIntl& in = intl();
    const int dp = DecimalPos();
    std::string dest;
    for (int i = 0; i < maxLength_; ++i)
        if (flags_[i] != pflagLiteral || i == dp)
            dest += buf[i];
    if (HasMaskChar('$')) {
        const std::string cur = CurrencyForRun();
        if (!cur.empty())
            if (const auto p = dest.find(cur); p != std::string::npos)
                dest.erase(p, cur.size());
    }
    if (HasMaskChar(',') && in.ThousandsChar != 0)
        dest.erase(std::remove(dest.begin(), dest.end(), in.ThousandsChar), dest.end());
    if (HasMaskChar('.'))
        if (const auto p = dest.find(in.DecimalChar); p != std::string::npos)
            dest[p] = '.';
    return dest;
}

std::string TOvcPictureMask::DisplayString(const std::string& buf, bool numericPad, char padChar,
                                           bool password, char passwordChar) const
{
    std::string s = buf;
    if (!password && padChar == ' ')
        return s;
    int p = std::min(static_cast<int>(s.size()), maxLength_) - 1;
    while (p >= 0) {
        if (flags_[p] == pflagLiteral) {
            --p;
            continue;
        }
        const int e = p;
        int b = p;
        while (b > 0 && flags_[b - 1] != pflagLiteral)
            --b;
        if (!numericPad)
            for (int i = e; i >= b && s[i] == ' '; --i)
                s[i] = padChar;
        if (password)
            for (int i = b; i <= e; ++i)
                if (s[i] != ' ' && s[i] != padChar)
                    s[i] = passwordChar;
        if (numericPad)
            for (int i = b; i <= e && s[i] == ' '; ++i)
                s[i] = padChar;
        p = b - 1;
    }
    return s;
}

bool TOvcPictureMask::HideSemiLiterals(std::string& buf)
{
    if (semiCount_ == 0) {
        if (IsHex() || IsOctal() || IsBinary())
            SemiLiteralsHidden = true;
        return false;
    }
    if (SemiLiteralsHidden)
        return false;
    SemiLiteralsHidden = true;
    const std::string before = buf;
    int first = 0;
    while (first < maxLength_ && flags_[first] == pflagLiteral)
        ++first;
    if (HasMaskChar('$')) {
        const std::string cur = CurrencyForRun();
        if (!cur.empty())
            if (const auto p = buf.find(cur); p != std::string::npos) {
                buf.erase(p, cur.size());
                buf.insert(std::min<size_t>(first, buf.size()), cur.size(), ' ');
            }
    }
    const char sep = intl().ThousandsChar;
    if (HasMaskChar(',') && sep != 0) {
        const int last = std::min(LastEditablePosition(), static_cast<int>(buf.size()) - 1);
        for (int i = first; i <= last; ++i)
            if (buf[i] == sep && flags_[i] == pflagSemiLiteral) {
                buf.erase(i, 1);
                buf.insert(buf.begin() + first, ' ');
            }
    }
    return buf != before;
}

bool TOvcPictureMask::ShowSemiLiterals(std::string& buf)
{
    if (!SemiLiteralsHidden)
        return false;
    SemiLiteralsHidden = false;
    if (semiCount_ == 0)
        return false;
    std::string s = StripMaskLiterals(buf);
    if (const auto p = s.find(intl().DecimalChar); p != std::string::npos && HasMaskChar('.'))
        s[p] = '.';
    const std::string before = buf;
    buf = MergeValueIntoMask(s);
    return buf != before;
}

void TOvcPictureMask::AlignAroundDecimalPoint(std::string& buf, int decimalPos, int firstPos,
                                              bool alignLeft, bool alignRight, int lastPos) const
{
    const int n = std::min(static_cast<int>(buf.size()), maxLength_);
    lastPos = std::min(lastPos, n - 1);
    firstPos = std::max(firstPos, 0);
    auto editable = [&](int i) { return i >= firstPos && i <= lastPos && flags_[i] != pflagLiteral; };
    if (alignLeft) {
        const int re = decimalPos >= 0 ? decimalPos - 1 : lastPos;
        if (editable(re)) {
            int rs = re;
            while (editable(rs - 1))
                --rs;
            int i = rs;
            while (i <= re && buf[i] == ' ')
                ++i;
            for (; i <= re; ++i)
                if (buf[i] == ' ') {
                    buf.erase(i, 1);
                    buf.insert(buf.begin() + rs, ' ');
                }
            if (decimalPos > 0 && buf[decimalPos - 1] == ' ')
                buf[decimalPos - 1] = '0';
        }
    }
    if (alignRight && decimalPos >= 0) {
        const int rs = decimalPos + 1;
        if (editable(rs)) {
            int re = rs;
            while (editable(re + 1))
                ++re;
            for (int i = re; i >= rs && buf[i] == ' '; --i)
                buf[i] = '0';
            for (int i = rs, guard = 0; i <= re && guard <= 2 * (re - rs + 1); ++guard) {
                if (buf[i] == ' ') {
                    buf.erase(i, 1);
                    buf.insert(buf.begin() + re, '0');
                } else {
                    ++i;
                }
            }
        }
    }
}

} // namespace korval
