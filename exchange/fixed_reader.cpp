// Reading one QSO from a fixed-field line laid out by a filter's field table.
#include "exchange/fixed_reader.h"

#include "exchange/adif_modes.h"
#include "exchange/import_common.h"
#include "exchange/translation_table.h"

#include "logbook/bands_modes.h"
#include "logbook/call_lookup.h"
#include "logbook/country_db.h"
#include "logbook/custom_award.h"
#include "logbook/base/day_number.h"
#include "logbook/position.h"
#include "logbook/base/string_utils.h"

#include <cctype>
#include <cstring>

namespace korval {

namespace {

constexpr std::size_t kLineLen = 255;
const char* const yesConfirm = "1FJRSXYfjrsxy";
const char* const yesFlag = "1XYxy";
const char* const satLetters = "NBJLSAKTO";
const char* const qslKorval = "XBSD$OI";
const char* const qslDxbase = "XBMD$OX";


bool blankLine(std::string_view line)
{
    for (char c : line)
        if (c != ' ' && c != '\t')
            return false;
    return true;
}

// The next line (without its line break); false at the end of the data.
bool nextLine(TImportContext& ctx, std::string_view& line)
{
    if (ctx.AtEnd())
        return false;
    std::size_t end = ctx.Data.find('\n', ctx.Pos);
    std::size_t next = end == std::string_view::npos ? ctx.Data.size() : end + 1;
    if (end == std::string_view::npos)
        end = ctx.Data.size();
    line = ctx.Data.substr(ctx.Pos, end - ctx.Pos);
    if (!line.empty() && line.back() == '\r')
        line.remove_suffix(1);
    ctx.Pos = next;
    return true;
}

class TFixedLine {
public:
    TFixedLine(std::string_view line, const TFilterRecord& f) : filter_(f)
    {
        line_.assign(line.substr(0, kLineLen));
        line_.resize(kLineLen, ' ');
    }
    bool Present(int field) const { return filter_.Field(field).Pos != 0; }
    // The field's text for a length (the entry's own when len < 0); column 1 for a field read
    // in any case.
    std::string_view Value(int field, int len = -1) const
    {
        const TFieldEntry& e = filter_.Field(field);
        std::size_t pos = e.Pos == 0 ? 1 : e.Pos;
        std::size_t n = len < 0 ? e.Len : static_cast<std::size_t>(len);
        if (pos > kLineLen)
            return {};
        return std::string_view(line_).substr(pos - 1, n);
    }
    char Char(int field) const
    {
        std::string_view v = Value(field, 1);
        return v.empty() ? ' ' : v[0];
    }

private:
    std::string line_;
    const TFilterRecord& filter_;
};

int monthOfName(std::string_view name)
{
    static const char* months = "JAN.FEB.MAR.APR.MAY.JUN.JUL.AUG.SEP.OCT.NOV.DEC.";
    if (name.size() != 3)
        return 0;
    char up[4] = {};
    for (int i = 0; i < 3; ++i)
        up[i] = static_cast<char>(std::toupper(static_cast<unsigned char>(name[static_cast<std::size_t>(i)])));
    const char* p = std::strstr(months, up);
    return p ? static_cast<int>(p - months + 4) / 4 : 0;
}

std::uint16_t ParseFixedDate(const TFixedLine& line, int field, TImportContext& ctx)
{
    if (!line.Present(field))
        return 0;
    const TDateLayout& lay = DateLayout(ctx.Filter.Field(field).Fmt);
    std::string_view text = TrimRight(line.Value(field, lay.Length)).substr(0, 12);
    if (text.empty())
        return 0;
    auto part = [&](int pos, int len) {
        return static_cast<std::size_t>(pos - 1) < text.size() ? text.substr(static_cast<std::size_t>(pos - 1),
                                                                               static_cast<std::size_t>(len))
                                                               : std::string_view();
    };
    int year = DigitsValue(part(lay.YearPos, lay.YearLen));
    int month = lay.MonthLen == 3 ? monthOfName(part(lay.MonthPos, 3)) : DigitsValue(part(lay.MonthPos, 2));
    int day = DigitsValue(part(lay.DayPos, lay.DayLen));
    TDayNumber d = 0;
    bool ok = month != 0 && day != 0;
    if (ok) {
        int fullYear = lay.YearLen == 2 ? ExpandYear(year % 100) : year;
        ok = TryEncodeDayNumber(fullYear, month, day, d) && d != 0;
        if (ok) {
            int y, m, dd;
            DecodeDayNumber(d, y, m, dd);
            ok = (lay.YearLen == 2 ? y % 100 == year % 100 : y == year) && m == month && dd == day;
        }
    }
    if (!ok) {
        ctx.ReportImportError(field, text);
        return 0;
    }
    return d;
}

std::uint16_t ParseFixedRst(const TFixedLine& line, int field, TImportContext& ctx)
{
    std::uint16_t def = ModeReportKind(ctx.Qso.Mode) == 1 ? 599 : 59;
    if (!line.Present(field))
        return def;
    std::string_view text = Trim(line.Value(field)).substr(0, 4);
    if (!text.empty() && text.back() == '+')
        text.remove_suffix(1);
    if (text == "0")
        return 0;
    if (text.empty())
        return def;
    int r = 0;
    if (!StrToRst(text, r) || !IsValidRst(ctx.Qso.Mode, r)) {
        ctx.ReportSimpleError(field, text);
        return def;
    }
    return static_cast<std::uint16_t>(r);
}

void ImportYesFlag(const TFixedLine& line, int field, std::uint8_t mask, TImportContext& ctx)
{
    if (line.Present(field) && std::strchr(yesFlag, line.Char(field)) && line.Char(field) != '\0')
        ctx.Qso.Flags |= mask;
}

void SetImportedAwardFlag(std::uint32_t mask, TImportContext& ctx)
{
    ctx.Qso.AwardFlags |= mask;
    ctx.Qso.Flags |= qfQslReceived;
}

void ImportAwardFlag(const TFixedLine& line, int field, std::uint32_t mask, TImportContext& ctx)
{
    if (!line.Present(field))
        return;
    char c = line.Char(field);
    switch (ctx.Filter.Field(field).Fmt) {
    case 0:
        if (c == '*')
            SetImportedAwardFlag(mask, ctx);
        else if (c == 'Y' || c == 'y')
            SetImportedAwardFlag(mask * 2, ctx);
        break;
    case 1:
        if (c == '*')
            SetImportedAwardFlag(mask, ctx);
        else if (c == '1')
            SetImportedAwardFlag(mask * 2, ctx);
        break;
    case 2:
        if (c == '1')
            SetImportedAwardFlag(mask, ctx);
        else if (c == '2')
            SetImportedAwardFlag(mask * 2, ctx);
        break;
    default:
        if (c == '2')
            SetImportedAwardFlag(mask * 2, ctx);
        break;
    }
}

int readBand(const TFixedLine& line, TImportContext& ctx, std::string& text)
{
    int fmt = ctx.Filter.Field(fiBand).Fmt;
    auto lead = [](std::string_view s) {
        while (s.size() > 1 && s.front() == ' ')
            s.remove_prefix(1);
        return s;
    };
    switch (fmt) {
    case bfKey3:
        text = lead(line.Value(fiBand, 3));
        return BandFromKey(TrimRight(text));
    case bfKey2: {
        text = lead(line.Value(fiBand, 2));
        std::string key(TrimRight(text));
        if (key == "16")
            key = "160";
        return BandFromKey(key);
    }
    case bfKeyM: {
        text = lead(line.Value(fiBand, 4));
        return BandFromKey(TrimRight(text, " Mm"));
    }
    case bfKeyLeft:
        text = lead(line.Value(fiBand, 3));
        return BandFromKey(TrimRight(text));
    case bf1to3: {
        text = lead(line.Value(fiBand, 1));
        static const char* keys[] = {"10", "15", "20", "40", "80", "160"};
        char c = text.empty() ? ' ' : text[0];
        if (c >= '1' && c <= '6')
            return BandFromKey(keys[c - '1']);
        return BandFromKey(TrimRight(text));
    }
    case bf1to6: {
        text = lead(line.Value(fiBand, 2));
        static const char* keys[] = {"2", "6", "10", "12", "15", "17", "20", "30", "40", "80", "160", "1.2", "70", "", "23"};
        std::string_view t = Trim(text);
        bool digits = !t.empty();
        for (char c : t)
            digits = digits && c >= '0' && c <= '9';
        int n = digits ? DigitsValue(t) : -1;
        return n >= 0 && n <= 14 && keys[n][0] ? BandFromKey(keys[n]) : 0;
    }
    case bf1to160: {
        text = lead(line.Value(fiBand, 2));
        static const char* keys[] = {"160", "80", "40", "20", "17", "15", "12", "10", "6", "2"};
        std::string_view t = Trim(text);
        bool digits = !t.empty();
        for (char c : t)
            digits = digits && c >= '0' && c <= '9';
        int n = digits ? DigitsValue(t) : 0;
        return n >= 1 && n <= 10 ? BandFromKey(keys[n - 1]) : 0;
    }
    default: {  // frequencies
        text = lead(TrimRight(line.Value(fiBand)));
        std::string_view t = Trim(text);
        if (t.size() == 3 && std::toupper(static_cast<unsigned char>(t[0])) == 'S' &&
            std::toupper(static_cast<unsigned char>(t[1])) == 'A' && std::toupper(static_cast<unsigned char>(t[2])) == 'T')
            return SatBand;
        std::string s(t);
        if (!s.empty() && s.back() == '.')
            s.pop_back();
        double v = 0;
        if (!ReadReal(s, v))
            v = 0;
        if (fmt == bfFreqMHz)
            v *= 1000.0;
        int b = BandFromFrequency(v);
        if (b == 0)
            b = BandFromFrequency(v / 1000.0);
        return b;
    }
    }
}

int readMode(const TFixedLine& line, TImportContext& ctx, std::string& text)
{
    int fmt = ctx.Filter.Field(fiMode).Fmt;
    switch (fmt) {
    case mfGroup: case mfGroupSsb: case mfGroupRight:
        text = line.Value(fiMode, 3);
        return ModeFromName(text);
    case mfName:
        text = line.Value(fiMode, 4);
        return ModeFromName(text);
    default: {
        text = line.Value(fiMode, 1);
        char c = text.empty() ? ' ' : text[0];
        switch (fmt) {
        case mf123: return c == '1' ? mdCW : c == '3' ? mdSSB : c == '2' ? mdRTTY : 0;
        case mf012: return c == '0' ? mdCW : c == '1' ? mdSSB : c == '2' ? mdRTTY : 0;
        case mfCPR: return c == 'C' ? mdCW : c == 'P' ? mdSSB : c == 'R' ? mdRTTY : 0;
        case mfCSR: return c == 'C' ? mdCW : c == 'S' ? mdSSB : c == 'R' ? mdRTTY : 0;
        case mfUsbLsbCw:
            return (c == '0' || c == '1' || c == '3' || c == '4') ? mdSSB : c == '2' ? mdCW
                   : (c == '5' || c == '6')                       ? mdRTTY
                                                                  : 0;
        default: return 0;
        }
    }
    }
}

} // namespace

bool ImportFixedRecord(TImportContext& ctx)
{
    std::string_view raw;
    do {
        if (!nextLine(ctx, raw))
            return false;  // only blank lines were left: no record
    } while (blankLine(raw));
    const TFilterRecord& f = ctx.Filter;
    TFixedLine line(raw, f);
    for (int n = 0; n < 3; ++n) {
        if (f.Field(fiNote1 + n).Fmt == nfFollows) {
            std::string_view note;
            if (nextLine(ctx, note))
                ctx.Note[n] = std::string(TrimRight(note)).substr(0, 255);
        }
    }
    TQsoRecord& q = ctx.Qso;

    NormalizeImportCall(TrimRight(line.Value(fiCallsign)), ctx);
    q.Date = ParseFixedDate(line, fiDate, ctx);
    if (line.Present(fiDxccValid)) {
        char c = line.Char(fiDxccValid);
        if (c == '0' || c == 'N' || c == 'n')
            q.Flags &= static_cast<std::uint8_t>(~qfValidForAwards);
    }
    if (line.Present(fiPrefix)) {
        std::string_view v = Trim(line.Value(fiPrefix));
        if (!v.empty())
            ImportPrefix(v, ctx);
    }
    {
        int fmt = f.Field(fiTime).Fmt;
        std::string text;
        if (fmt == tfHHcMM) {
            std::string_view v = line.Value(fiTime, 5);
            text = std::string(v.substr(0, 2)) + std::string(v.substr(3, 2));
        } else {
            text = line.Value(fiTime, fmt == tfHHMM ? 4 : 6);
        }
        if (ParseImportTime(text, q.Time, ctx))
            ctx.ReportImportError(fiTime, line.Value(fiTime, fmt == tfHHcMM ? 5 : static_cast<int>(text.size())));
    }
    {
        std::string text;
        int band = readBand(line, ctx, text);
        if (band == 0) {
            ctx.ReportImportError(fiBand, text);
            band = ctx.Settings.DefaultBand;
        }
        q.Band = static_cast<std::uint8_t>(band);
    }
    {
        std::string text;
        int mode = readMode(line, ctx, text);
        if (mode == 0) {
            ctx.ReportImportError(fiMode, text);
            mode = ctx.Settings.DefaultMode;
        }
        q.Mode = static_cast<std::uint8_t>(mode);
    }
    q.RstRcvd = ParseFixedRst(line, fiRstR, ctx);
    q.RstSent = ParseFixedRst(line, fiRstS, ctx);
    if (line.Present(fiRecvd)) {
        std::string v(TrimRight(line.Value(fiRecvd)));
        for (char& c : v)
            c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        q.Exchange = v;
    }
    if (line.Present(fiConfrm) && line.Char(fiConfrm) != ' ' && std::strchr(yesConfirm, line.Char(fiConfrm)))
        q.Flags |= qfQslReceived;
    for (int n = 0; n < 3; ++n) {
        const TFieldEntry& e = f.Field(fiNote1 + n);
        if (e.Pos != 0 && e.Fmt != nfFollows)
            ctx.Note[n] = TrimRight(line.Value(fiNote1 + n));
    }
    if (line.Present(fiState)) {
        std::uint16_t country = static_cast<std::uint16_t>(ctx.ImpCountry);
        if (country == 0)
            country = CountryOfCall(q.Call.view(), q.Date);
        TCountryRecord c;
        bool noState = GetCountry(country, c) && c.StatesKind == skNoState;
        if (!noState) {
            int fmt = f.Field(fiState).Fmt;
            std::string_view text;
            std::uint8_t state = 0;
            if (fmt == 0) {
                text = TrimRight(line.Value(fiState, 2));
                state = text.empty() ? 0 : StateNumber(text);
            } else if (fmt == 1) {
                text = TrimRight(line.Value(fiState, 3));
                if (!text.empty() && CountryDb.StateCodes) {
                    TShortStrKey key = MakeShortStrKey(text);
                    std::int32_t index = 0;
                    if (CountryDb.StateCodes->Search(key.data(), index))
                        state = TStateCodeRecord::FromBytes(CountryDb.StateCodes->Record(index)).State;
                }
            } else {
                text = TrimRight(line.Value(fiState));
                if (text.size() >= 2)
                    state = StateNumber(text.substr(text.size() - 2));
            }
            if (!text.empty() && state == 0)
                ctx.ReportSimpleError(fiState, text);
            ctx.ImpState = state;
        }
    }
    if (line.Present(fiCounty) && ctx.ImpState != 0) {
        std::string_view text = TrimRight(line.Value(fiCounty));
        if (!text.empty()) {
            TUsStateRecord s;
            std::string abbrev = GetState(ctx.ImpState, s) ? s.Abbrev : std::string();
            q.County = CountyNumber(abbrev, text);
            if (q.County == 0)
                ctx.ReportSimpleError(fiCounty, text);
        }
    }
    if (line.Present(fiIota)) {
        std::string_view text = TrimRight(line.Value(fiIota));
        if (!text.empty() && text != "-----")
            NormalizeImportIota(text, q.Iota, ctx);
    }
    if (line.Present(fiGrid)) {
        std::string_view text = TrimRight(line.Value(fiGrid));
        if (!text.empty() && text.substr(0, 2) != "--") {
            std::string g = FormatGridLocator(text);
            if (IsValidGrid(g))
                q.Grid = g;
            else
                ctx.ReportSimpleError(fiGrid, text);
        }
    }
    if (line.Present(fiQslDate)) {
        if (f.Field(fiQslDate).Fmt == QslDateFlagFormat) {
            char c = line.Char(fiQslDate);
            if (c != ' ' && std::strchr(yesConfirm, c))
                q.QslSentDate = q.Date;
        } else {
            q.QslSentDate = ParseFixedDate(line, fiQslDate, ctx);
        }
    }
    if (line.Present(fiQslMethod)) {
        char c = static_cast<char>(std::toupper(static_cast<unsigned char>(line.Char(fiQslMethod))));
        const char* letters = f.Field(fiQslMethod).Fmt == 1 ? qslDxbase : qslKorval;
        const char* p = c != ' ' ? std::strchr(letters, c) : nullptr;
        if (p && c != '\0')
            q.QslRoute = static_cast<std::uint8_t>(p - letters);
    }
    ImportYesFlag(line, fiLabel, qfLabelToPrint, ctx);
    ImportYesFlag(line, fiQrp, qfQRP, ctx);
    if (!line.Present(fiSatellite)) {
        q.SatMode = 1;
    } else {
        char c = line.Char(fiSatellite);
        if (c == ' ')
            c = 'N';  // a blank column is no satellite
        const char* p = c != ' ' && c != '\0' ? std::strchr(satLetters, c) : nullptr;
        if (p) {
            q.SatMode = static_cast<std::uint8_t>(p - satLetters + 1);
            if (q.SatMode > 1)
                q.Band = SatBand;
        } else if (c == 'Y' || c == 'y') {
            q.Band = SatBand;
            q.SatMode = 9;
        } else {
            ctx.ReportSimpleError(fiSatellite, std::string(1, c));
            q.SatMode = 1;
        }
    }
    ImportYesFlag(line, fiYLop, qfYL, ctx);
    static const std::pair<int, std::uint32_t> awards[] = {
        {fiDxccMixed, afDxccMixed}, {fiDxccMode, afDxccMode}, {fiDxccBand, afDxccBand}, {fiWasMixed, afWasMixed},
        {fiWasMode, afWasMode},     {fiWasBand, afWasBand},   {fiWazMixed, afWazMixed}, {fiWazMode, afWazMode},
        {fiWazBand, afWazBand},     {fiIotaAward, afIota},    {fiCountyAward, afCounty}, {fiWpxBand, afWpxBand},
        {fiWpxMixed, afWpxMixed},   {fiWpxMode, afWpxMode},   {fiAwdXAward, afCustAwd}, {fiVucc, afVucc},
    };
    for (const auto& a : awards)
        ImportAwardFlag(line, a.first, a.second, ctx);
    if (line.Present(fiZone)) {
        std::string_view text = line.Value(fiZone, 2);
        int z = DigitsValue(text);
        if (z > 40) {
            ctx.ReportSimpleError(fiZone, text);
            z = 0;
        }
        ctx.ImpZone = static_cast<std::uint8_t>(z);
    }
    if (!line.Present(fiGroup)) {
        q.Group = ctx.Settings.DefaultGroup;
    } else {
        int g = DigitsValue(line.Value(fiGroup));
        q.Group = static_cast<std::uint8_t>(g > 253 ? 253 : g);
    }
    if (line.Present(fiTenTen) && q.CustAwdId.empty()) {
        std::string_view v = TrimRight(line.Value(fiTenTen, 8));
        if (!v.empty()) {
            q.CustAwdId = "1010";
            q.CustAwdVal = v;
        }
    }
    if (line.Present(fiAwdGroup)) {
        std::string_view text = Trim(line.Value(fiAwdGroup));
        if (!text.empty()) {
            if (const TCustAward* a = CustAwardList().Find(text))
                q.CustAwdId = a->ID;
            else
                ctx.ReportImportError(fiAwdGroup, text);
        }
    }
    if (line.Present(fiAwdValue)) {
        std::string_view text = Trim(line.Value(fiAwdValue));
        if (!text.empty()) {
            const TCustAward* a = CustAwardList().Find(q.CustAwdId.view());
            if (!a || (a->HasValueTable() && a->LongValue(text).empty()))
                ctx.ReportImportError(fiAwdValue, text);
            else
                q.CustAwdVal = text;
        }
    }
    // A QSO needs a time and a date: a field that did not read has its error item already.
    if (q.Time == -1)
        q.Time = 0;
    if (q.Date == 0) {
        ctx.ReportImportError(fiDate, "Empty");
        q.Date = UtcToday();
    }
    return true;
}

} // namespace korval
