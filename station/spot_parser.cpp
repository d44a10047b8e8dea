#include "station/spot_parser.h"


#include "logbook/base/decimal_text.h"
#include "logbook/call_syntax.h"

namespace korval {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsUpper(char c) { return c >= 'A' && c <= 'Z'; }
bool IsCallChar(char c) { return c == '/' || IsDigit(c) || IsUpper(c); }
// Characters of a whole word when the remarks are matched from the right.
bool IsTokenChar(char c) { return c == '-' || c == '/' || c == '@' || IsDigit(c) || IsUpper(c); }
// What may follow a spotter's call: cluster suffixes such as -2, -@ and the skimmer mark -#.
bool IsSpotterSuffixChar(char c) { return IsTokenChar(c) || c == '#'; }

// A run of exactly n digits read as a number; -1 when any is no digit.
int ReadDigits(std::string_view s, std::size_t at, std::size_t n) {
    if (at + n > s.size()) return -1;
    int v = 0;
    for (std::size_t i = 0; i < n; ++i) {
        if (!IsDigit(s[at + i])) return -1;
        v = v * 10 + (s[at + i] - '0');
    }
    return v;
}

constexpr const char* kMonths[12] = {"JAN", "FEB", "MAR", "APR", "MAY", "JUN",
                                     "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"};

int MonthAt(std::string_view s, std::size_t at) {
    if (at + 3 > s.size()) return 0;
    for (int m = 0; m < 12; ++m)
        if (s.substr(at, 3) == kMonths[m]) return m + 1;
    return 0;
}

struct QsxKeyword { const char* word; int direction; };
constexpr QsxKeyword kQsxKeywords[] = {{"QSX", 0}, {"WKD", 0}, {"UP", 1}, {"DN", 2}, {"DWN", 2}, {"DOWN", 2}};

} // namespace

const std::array<std::string, 4>& TSpotParser::DefaultTemplates() {
    static const std::array<std::string, 4> t = {"DX|DE|r:|f|c|q|tZ", "f|c|d|tZ|q|<r>", "r|f|c|q|<t|d>", "DX|c|f|q"};
    return t;
}

TSpotParser::TSpotParser() : TSpotParser(DefaultTemplates()) {}

TSpotParser::TSpotParser(const std::array<std::string, 4>& templates) : templates_(templates) {
    for (auto& t : templates_)
        if (t.size() > MaxTemplate) t.resize(MaxTemplate);
}

int TSpotParser::ParseFrequency(std::string_view text, std::size_t& pos, double& value) {
    std::size_t start = pos;
    int dots = 0;
    while (pos < text.size() && (IsDigit(text[pos]) || text[pos] == '.')) {
        if (text[pos] == '.') ++dots;
        ++pos;
    }
    int len = static_cast<int>(pos - start);
    value = 0;
    if (dots <= 1 && len > dots) ParseDecimal(text.substr(start, static_cast<std::size_t>(len)), value);
    return len;
}

bool TSpotParser::ParseLine(std::string_view line, TSpotRecord& spot) {
    if (line.size() < 9) return false;
    // Longer lines are cut: nothing a spot needs lies past the first 255 characters.
    line_.assign(line.substr(0, MaxLine));
    for (char& c : line_)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    bool matched = false;
    for (const auto& t : templates_) {
        if (t.empty()) continue;
        rec_ = TSpotRecord{};
        qsxDirection_ = 0;
        if (MatchTemplate(t)) {
            matched = true;
            break;
        }
    }
    if (!matched) return false;
    if (rec_.qsxFrequency != 0 && rec_.qsxFrequency <= 350) {
        if (qsxDirection_ == 1) rec_.qsxFrequency = rec_.frequency + rec_.qsxFrequency;
        else if (qsxDirection_ == 2) rec_.qsxFrequency = rec_.frequency - rec_.qsxFrequency;
    }
    spot = rec_;
    return true;
}

bool TSpotParser::MatchTemplate(std::string_view tmpl) {
    const std::size_t len = line_.size();
    pos_ = 0;
    while (pos_ < len && line_[pos_] == ' ') ++pos_;
    if (pos_ >= len) return false;
    for (std::size_t i = 0; i < tmpl.size(); ++i) {
        char e = tmpl[i];
        if (e == '*') return true;
        bool ok = true;
        switch (e) {
        case '|':
            for (int n = 0; n < 255 && pos_ < len && line_[pos_] == ' '; ++n) ++pos_;
            break;
        case '#':
            ok = pos_ < len && IsDigit(line_[pos_]);
            if (ok) ++pos_;
            break;
        case '&':
            ok = pos_ < len && (line_[pos_] == '-' || IsCallChar(line_[pos_]));
            if (ok) ++pos_;
            break;
        case 'f': {
            double v = 0;
            int n = ParseFrequency(line_, pos_, v);
            ok = n >= 4 && v != 0;
            rec_.frequency = v;
            break;
        }
        case 'c': ok = ParseCall(rec_.call, true); break;
        case 'r': ok = ParseCall(rec_.spotter, false); break;
        case 'd': ok = ParseSpotDate(rec_.date); break;
        case 't': ok = ParseSpotTime(rec_.time); break;
        case 'q': ParseRemarks(tmpl, i); break;
        default:
            ok = pos_ < len && line_[pos_] == e;
            if (ok) ++pos_;
            break;
        }
        if (!ok) return false;
        if (pos_ >= len) {
            if (i + 1 >= tmpl.size()) return true;
            char next = tmpl[i + 1];
            if (next != '|' && next != 'q') return false;
        }
    }
    return true;
}

bool TSpotParser::ParseCall(std::string& dest, bool isCall) {
    std::size_t start = pos_;
    while (pos_ < line_.size() && IsCallChar(line_[pos_])) ++pos_;
    std::size_t n = pos_ - start;
    dest = line_.substr(start, n < 12 ? n : 12);
    if (n > 12) return false;
    bool valid = IsValidCall(dest);
    if (!isCall) {
        while (pos_ < line_.size() && dest.size() < 12 && IsSpotterSuffixChar(line_[pos_])) dest += line_[pos_++];
    }
    return valid;
}

bool TSpotParser::ParseSpotDate(TDayNumber& day) {
    std::string_view rest = std::string_view(line_).substr(pos_);
    if (rest.size() < 5) return false;
    // The month name is taken only where the date itself holds it: first (JAN 25 2025), or
    // after the day and its separator (25-JAN-2025); never from remarks further on.
    std::size_t dayAt = 0, yearAt = 5;  // 0-based
    bool named = false;
    int month = MonthAt(rest, 0);
    if (month != 0) {
        named = true;
        dayAt = 4;
        yearAt = 6;
    } else {
        std::size_t sep = (rest.size() > 1 && IsDigit(rest[1])) ? 2 : 1;
        if (sep < rest.size() && (rest[sep] == ' ' || rest[sep] == '-' || rest[sep] == '/')) month = MonthAt(rest, sep + 1);
        if (month != 0) {
            named = true;
            yearAt = 6;
        }
    }
    if (dayAt >= rest.size()) return false;
    std::size_t dayLen = 2;
    if (dayAt + 1 < rest.size() && (rest[dayAt + 1] == ' ' || rest[dayAt + 1] == '-' || rest[dayAt + 1] == '/')) dayLen = 1;
    else ++yearAt;
    int d = ReadDigits(rest, dayAt, dayLen);
    if (d < 0) return false;
    if (!named) {
        month = ReadDigits(rest, dayAt + dayLen + 1, 2);
        if (month < 0) return false;
    }
    std::size_t yearLen = 0;
    while (yearLen < 4 && yearAt + yearLen < rest.size() && IsDigit(rest[yearAt + yearLen])) ++yearLen;
    int year;
    // "25-JAN 1234Z": four digits and a Z are the time that follows, not a year.
    if (yearLen == 4 && yearAt + 4 < rest.size() && rest[yearAt + 4] == 'Z') yearLen = 0;
    if (yearLen > 0) {
        year = ExpandYear(ReadDigits(rest, yearAt, yearLen));
        pos_ += yearAt + yearLen;
    } else {
        int m, dd;
        DecodeDayNumber(UtcToday(), year, m, dd);
        pos_ += yearAt - 1;
    }
    // 99/99 and 31 Feb are no dates.
    TDayNumber n = 0;
    if (!TryEncodeDayNumber(year, month, d, n)) return false;
    day = n;
    return true;
}

bool TSpotParser::ParseSpotTime(std::uint16_t& minutes) {
    int n = ReadDigits(line_, pos_, 4);
    if (n < 0 || n / 100 > 23 || n % 100 > 59) return false;
    minutes = static_cast<std::uint16_t>((n / 100) * 60 + n % 100);
    pos_ += 4;
    return true;
}

void TSpotParser::ParseRemarks(std::string_view tmpl, std::size_t qIndex) {
    const std::size_t len = line_.size();
    rec_.remarks.clear();
    rec_.qsxFrequency = 0;
    if (pos_ >= len) {
        if (pos_ > 0) --pos_;
        return;
    }
    // Find where the elements after the remarks begin, working from the right of the line.
    std::size_t l = len - 1;
    auto skip = [&](auto pred) {
        while (l > pos_ && pred(line_[l])) --l;
    };
    for (std::size_t t = tmpl.size() - 1; t > qIndex && l > pos_; --t) {
        char e = tmpl[t];
        if (e == '*') break;
        if (e == '#') {
            skip([](char c) { return !IsDigit(c); });
            skip([](char c) { return IsDigit(c); });
        } else if (e == '|') {
            skip([](char c) { return c != ' '; });
            skip([](char c) { return c == ' '; });
        } else if (e == '&' || (e >= 'a' && e <= 'z')) {
            skip([](char c) { return !IsTokenChar(c); });
            skip([](char c) { return IsTokenChar(c); });
        } else {
            skip([e](char c) { return c != e; });
            if (l > pos_) --l;
        }
    }
    if (l <= pos_) {
        // No remarks: step back so that a blank the remarks would have ended on is there for a "|".
        if (pos_ > 0) --pos_;
        return;
    }
    std::size_t end = l;
    while (end > pos_ && line_[end] == ' ') --end;
    std::string remarks = line_.substr(pos_, end - pos_ + 1);
    pos_ = l + 1;
    for (const auto& k : kQsxKeywords) {
        std::size_t at = remarks.find(k.word);
        if (at == std::string::npos) continue;
        qsxDirection_ = k.direction;
        std::size_t p = at + std::string_view(k.word).size();
        if (p < remarks.size() && remarks[p] == ' ') ++p;
        double v = 0;
        ParseFrequency(remarks, p, v);
        rec_.qsxFrequency = v;
        break;
    }
    if (remarks.size() > 33) remarks.resize(33);
    rec_.remarks = remarks;
}

} // namespace korval
