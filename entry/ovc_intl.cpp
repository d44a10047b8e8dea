#include "entry/ovc_intl.h"

#include "entry/ovc_strings.h"
#include "logbook/base/string_utils.h"

#include <algorithm>
#include <cctype>

namespace korval {

namespace {

char lowerOf(char c) { return char(std::tolower(uint8_t(c))); }
char upperOf(char c) { return char(std::toupper(uint8_t(c))); }
bool isUpper(char c) { return c >= 'A' && c <= 'Z'; }

std::string upperStr(std::string s)
{
    for (char& c : s)
        c = upperOf(c);
    return s;
}

// A run of picture characters that name the same component (case may differ inside a run).
struct Run {
    size_t pos;
    size_t len;
    char kind;      // lower-case letter
    bool blankPad;  // the run's first character is upper case
};

std::vector<Run> runsOf(const std::string& mask, const std::string& kinds)
{
    std::vector<Run> runs;
    size_t i = 0;
    while (i < mask.size()) {
        char k = lowerOf(mask[i]);
        if (kinds.find(k) == std::string::npos || (k == 'y' && mask[i] == 'Y')) {
            ++i;
            continue;
        }
        size_t j = i + 1;
        while (j < mask.size() && lowerOf(mask[j]) == k)
            ++j;
        runs.push_back({i, j - i, k, isUpper(mask[i])});
        i = j;
    }
    return runs;
}

// Right-aligned number in a run, cut to its low digits when too long.
std::string numberRun(int value, size_t width, bool blankPad)
{
    std::string digits = std::to_string(value < 0 ? -value : value);
    if (digits.size() > width)
        digits = digits.substr(digits.size() - width);
    return std::string(width - digits.size(), blankPad ? ' ' : '0') + digits;
}

std::string nameRun(const std::string& name, size_t width, bool upper)
{
    std::string s = name.substr(0, width);
    if (upper)
        s = upperStr(s);
    return s + std::string(width - s.size(), ' ');
}

bool parseNumber(const std::string& text, int& value)
{
    std::string t = TrimSpaces(text);
    if (t.empty() || t.size() > 9)
        return false;
    value = 0;
    for (char c : t) {
        if (c < '0' || c > '9')
            return false;
        value = value * 10 + (c - '0');
    }
    return true;
}

// Windows date format letters to picture runs: "d" -> "DD", "dd" -> "dd", "M" -> "MM",
// "MM" -> "mm", "y"/"yy" -> "yy", longer years -> "yyyy"; in the long form a run of three or
// more "d" is the weekday name and of "M" the month name.
std::string convertDateFormat(const std::string& fmt, bool longForm, bool forceCentury)
{
    std::string out;
    size_t i = 0;
    while (i < fmt.size()) {
        char c = fmt[i];
        size_t j = i + 1;
        while (j < fmt.size() && fmt[j] == c)
            ++j;
        size_t n = j - i;
        if (c == 'd') {
            out += n >= 3 && longForm ? std::string(9, 'w') : n == 1 ? "DD" : "dd";
        } else if (c == 'M') {
            out += n >= 3 && longForm ? std::string(9, 'n') : n == 1 ? "MM" : "mm";
        } else if (c == 'y') {
            out += forceCentury ? "yyyy" : "yy";
        } else {
            out += fmt.substr(i, n);
        }
        i = j;
    }
    return out;
}

} // namespace

TOvcIntlSup::TOvcIntlSup(const TOvcIntlSettings& settings)
{
    Apply(settings);
}

void TOvcIntlSup::Apply(const TOvcIntlSettings& s)
{
    settings_ = s;
    decimalChar_ = s.sDecimal.empty() ? '.' : s.sDecimal[0];
    commaChar_ = s.sThousand.empty() ? ',' : s.sThousand[0];
    if (decimalChar_ == commaChar_) {
        decimalChar_ = '.';
        commaChar_ = ',';
    }
    listChar_ = s.sList.empty() ? ',' : s.sList[0];
    slashChar_ = s.sDate.empty() ? '/' : s.sDate[0];
    colonChar_ = s.sTime.empty() ? ':' : s.sTime[0];
    trueChar_ = GetLibraryString(SCTrue)[0];
    falseChar_ = GetLibraryString(SCFalse)[0];
    yesChar_ = GetLibraryString(SCYes)[0];
    noChar_ = GetLibraryString(SCNo)[0];

    std::string cur = s.sCurrency.substr(0, 5);
    currencyLeft_.clear();
    currencyRight_.clear();
    switch (s.iCurrency) {
    case 1: currencyRight_ = cur; break;
    case 2: currencyLeft_ = (cur + " ").substr(0, 5); break;
    case 3: currencyRight_ = (" " + cur).substr(0, 5); break;
    default: currencyLeft_ = cur; break;
    }
    settings_.s1159 = s.s1159.substr(0, 5);
    settings_.s2359 = s.s2359.substr(0, 5);

    shortMask_ = s.sShortDate.substr(0, 29);
    for (char& c : shortMask_)
        if (c == slashChar_)
            c = '/';

    // Long date: quoted texts go to three slots, then the picture runs.
    std::string fmt = s.sLongDate.substr(0, 39), noQuotes;
    slots_ = {};
    int slot = 0;
    for (size_t i = 0; i < fmt.size(); ++i) {
        if (fmt[i] == '\'') {
            size_t end = fmt.find('\'', i + 1);
            if (end == std::string::npos)
                end = fmt.size();
            if (slot < 3) {
                slots_[size_t(slot)] = fmt.substr(i + 1, std::min<size_t>(end - i - 1, 6));
                noQuotes.push_back(char('f' + slot));
                ++slot;
            }
            i = end;
        } else {
            noQuotes.push_back(fmt[i]);
        }
    }
    std::string conv = convertDateFormat(noQuotes, true, true);
    longMask_.clear();
    for (size_t i = 0; i < conv.size(); ++i) {
        longMask_.push_back(conv[i]);
        if ((conv[i] == ',' || conv[i] == '.') && (i + 1 >= conv.size() || conv[i + 1] != ' '))
            longMask_.push_back(' ');
    }
}

std::string TOvcIntlSup::MonthName(int month) const
{
    return month >= 1 && month <= 12 ? settings_.monthNames[size_t(month - 1)] : std::string();
}

std::string TOvcIntlSup::DayName(int dow) const
{
    return dow >= 0 && dow <= 6 ? settings_.dayNames[size_t(dow)] : std::string();
}

std::string TOvcIntlSup::DateMask(bool forceCentury) const
{
    return convertDateFormat(shortMask_, false, forceCentury);
}

std::string TOvcIntlSup::TimeMask(bool showSeconds) const
{
    std::string mask = showSeconds ? "hh:mm:ss" : "hh:mm";
    if (settings_.iTLZero == 0)
        mask[0] = 'H';
    if (settings_.twelveHourClock) {
        size_t n = std::max(settings_.s1159.size(), settings_.s2359.size());
        if (n > 0) {
            mask += ' ';
            mask.append(n, 't');
        }
    }
    return mask;
}

bool TOvcIntlSup::ParseDateString(const std::string& mask, const std::string& s, int& day,
                                  int& month, int& year, int epoch) const
{
    day = month = year = 0;
    if (s.size() != mask.size())
        return false;
    bool haveDay = false, haveMonth = false, haveYear = false;
    for (const Run& r : runsOf(mask, "mdyn")) {
        std::string part = s.substr(r.pos, r.len);
        int v = 0;
        if (r.kind == 'n') {
            std::string want = upperStr(TrimSpaces(part));
            for (int mo = 1; mo <= 12 && !haveMonth; ++mo)
                if (!want.empty() && upperStr(TrimSpaces(MonthName(mo).substr(0, r.len))) == want) {
                    month = mo;
                    haveMonth = true;
                }
            if (!haveMonth)
                return false;
            continue;
        }
        if (!parseNumber(part, v))
            return false;
        if (r.kind == 'm') {
            if (!haveMonth) {
                month = v;
                haveMonth = true;
            }
        } else if (r.kind == 'd') {
            day = v;
            haveDay = true;
        } else {
            year = v;
            haveYear = true;
        }
    }
    if (!haveDay)
        day = 1;
    if (!haveMonth)
        month = StartMonth();
    if (!haveYear)
        year = StartYear();
    year = ResolveEpoch(year, epoch);
    return ValidDate(day, month, year, epoch);
}

TStDate TOvcIntlSup::ParseDate(const std::string& mask, const std::string& s, int epoch) const
{
    int d, m, y;
    if (!ParseDateString(mask, s, d, m, y, epoch))
        return BadDate;
    return DMYToDate(d, m, y, epoch);
}

std::string TOvcIntlSup::FormatDate(const std::string& mask, TStDate julian, bool pack) const
{
    int d = 0, m = 0, y = 0;
    DateToDMY(julian, d, m, y);
    bool bad = y == 0;
    std::string out;
    size_t i = 0;
    auto runs = runsOf(mask, "mdynw");
    size_t ri = 0;
    while (i < mask.size()) {
        if (ri < runs.size() && runs[ri].pos == i) {
            const Run& r = runs[ri++];
            std::string text;
            if (bad) {
                text = std::string(r.len, ' ');
            } else {
                switch (r.kind) {
                case 'm': text = numberRun(m, r.len, r.blankPad); break;
                case 'd': text = numberRun(d, r.len, r.blankPad); break;
                case 'y': text = numberRun(y, r.len, false); break;
                case 'n': text = nameRun(MonthName(m), r.len, r.blankPad); break;
                default: text = nameRun(DayName(DayOfWeek(julian)), r.len, r.blankPad); break;
                }
            }
            bool packable = r.blankPad || r.kind == 'n' || r.kind == 'w';
            if (pack && packable)
                text.erase(std::remove(text.begin(), text.end(), ' '), text.end());
            out += text;
            i += r.len;
            continue;
        }
        char c = mask[i++];
        if (c == '/')
            out.push_back(slashChar_);
        else if (c >= 'f' && c <= 'h')
            out += slots_[size_t(c - 'f')];
        else
            out.push_back(c);
    }
    return out;
}

bool TOvcIntlSup::ParseTimeString(const std::string& mask, const std::string& s, int& h, int& m,
                                  int& sec) const
{
    h = m = sec = 0;
    if (s.size() != mask.size())
        return false;
    int half = 0;  // 1 morning, 2 evening
    for (const Run& r : runsOf(mask, "hmst")) {
        std::string part = s.substr(r.pos, r.len);
        if (r.kind == 't') {
            std::string t = upperStr(TrimSpaces(part));
            if (t.empty())
                continue;
            if (t == upperStr(TrimSpaces(AMString().substr(0, r.len))))
                half = 1;
            else if (t == upperStr(TrimSpaces(PMString().substr(0, r.len))))
                half = 2;
            else
                return false;
            continue;
        }
        int v = 0;
        if (!parseNumber(part, v))
            return false;
        (r.kind == 'h' ? h : r.kind == 'm' ? m : sec) = v;
    }
    if (half != 0) {
        if (h < 1 || h > 12)
            return false;
        if (half == 1 && h == 12)
            h = 0;
        else if (half == 2 && h < 12)
            h += 12;
    }
    return ValidTime(h, m, sec);
}

TStTime TOvcIntlSup::ParseTime(const std::string& mask, const std::string& s) const
{
    int h, m, sec;
    if (!ParseTimeString(mask, s, h, m, sec))
        return BadTime;
    return HMSToTime(h, m, sec);
}

std::string TOvcIntlSup::FormatTime(const std::string& mask, TStTime t, bool pack) const
{
    bool bad = t < 0 || t >= 86400;
    int h = 0, m = 0, sec = 0;
    TimeToHMS(t, h, m, sec);
    auto runs = runsOf(mask, "hmst");
    bool twelve = std::any_of(runs.begin(), runs.end(), [](const Run& r) { return r.kind == 't'; });
    int shownHour = twelve ? (h % 12 == 0 ? 12 : h % 12) : h;
    std::string out;
    size_t i = 0, ri = 0;
    while (i < mask.size()) {
        if (ri < runs.size() && runs[ri].pos == i) {
            const Run& r = runs[ri++];
            std::string text;
            if (bad)
                text = std::string(r.len, ' ');
            else if (r.kind == 't')
                text = nameRun(h < 12 ? AMString() : PMString(), r.len, false);
            else
                text = numberRun(r.kind == 'h' ? shownHour : r.kind == 'm' ? m : sec, r.len, r.blankPad);
            if (pack && r.kind == 't' && TrimSpaces(text).empty()) {
                if (!out.empty() && out.back() == ' ' && r.pos > 0 && mask[r.pos - 1] == ' ')
                    out.pop_back();
                text.clear();
            } else if (pack && r.blankPad && r.kind != 't') {
                text.erase(std::remove(text.begin(), text.end(), ' '), text.end());
            }
            out += text;
            i += r.len;
            continue;
        }
        char c = mask[i++];
        out.push_back(c == ':' ? colonChar_ : c);
    }
    return out;
}

TOvcIntlSup& OvcIntlSup()
{
    static TOvcIntlSup intl;
    return intl;
}

} // namespace korval
