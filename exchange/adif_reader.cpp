// ADIF reading: the tag scanner, the header skipper and the record reader with its tag table.
#include "exchange/adif_modes.h"
#include "exchange/import_context.h"

#include "logbook/bands_modes.h"
#include "logbook/country_db.h"
#include "logbook/call_lookup.h"
#include "logbook/day_number.h"
#include "logbook/position.h"
#include "logbook/string_utils.h"

#include <cstdlib>
#include <cstring>

namespace korval {

namespace {

constexpr std::size_t kMaxValue = 255;

std::string_view trimBlanks(std::string_view s)
{
    while (!s.empty() && s.front() == ' ')
        s.remove_prefix(1);
    while (!s.empty() && s.back() == ' ')
        s.remove_suffix(1);
    return s;
}

void appendNote(std::string& note, std::string_view text)
{
    note.append(text);
    note += '|';
    if (note.size() > kMaxValue)
        note.resize(kMaxValue);
}

// True on failure (the day is then 0 and the error item given).
bool ParseADIFDate(int field, std::string_view value, std::uint16_t& day, TImportContext& ctx)
{
    day = 0;
    bool ok = value.size() == 8;
    for (std::size_t i = 0; ok && i < 8; ++i)
        ok = value[i] >= '0' && value[i] <= '9';
    TDayNumber d = 0;
    if (ok) {
        int y = DigitsValue(value.substr(0, 4)), m = DigitsValue(value.substr(4, 2)), dd = DigitsValue(value.substr(6, 2));
        ok = TryEncodeDayNumber(y, m, dd, d) && d != 0;
        if (ok) {
            int yy, mm, ddd;
            DecodeDayNumber(d, yy, mm, ddd);
            ok = yy == y && mm == m && ddd == dd;
        }
    }
    if (!ok) {
        ctx.ReportImportError(field, value);
        return true;
    }
    day = d;
    return false;
}

void ParseImportRst(int field, std::string_view value, std::uint16_t& report, TImportContext& ctx)
{
    if (value == "5NN") {
        report = 599;
        return;
    }
    int r = 0;
    if (!StrToRst(value, r)) {
        ctx.ReportSimpleError(field, value);
        report = 65535;
        return;
    }
    report = static_cast<std::uint16_t>(r);
}

void CheckImportRst(int field, std::uint16_t& report, int mode, TImportContext& ctx)
{
    std::uint16_t def = ModeReportKind(mode) == 1 ? 599 : 59;
    if (report == 65535) {
        report = def;
    } else if (report != 0 && !IsValidRst(mode, report)) {
        ctx.ReportSimpleError(field, RstToStr(report));
        report = def;
    }
}

std::string stateAbbrev(std::uint8_t state)
{
    TUsStateRecord s;
    return GetState(state, s) ? s.Abbrev : std::string();
}

std::uint8_t sectionState(std::string_view section)
{
    if (!CountryDb.StateCodes || section.empty())
        return 0;
    TShortStrKey key = MakeShortStrKey(section.substr(0, 3));
    std::int32_t index = 0;
    if (section.size() > 3 || !CountryDb.StateCodes->Search(key.data(), index))
        return 0;
    return TStateCodeRecord::FromBytes(CountryDb.StateCodes->Record(index)).State;
}

void importCounty(std::string_view value, TImportContext& ctx)
{
    std::string_view abbrev = value.substr(0, 2);
    if (ctx.ImpState == 0) {
        ctx.ImpState = StateNumber(abbrev);
        if (ctx.ImpState == 0)
            ctx.ReportSimpleError(fiCounty, value);
    } else if (StateNumber(abbrev) != ctx.ImpState) {
        ctx.ReportSimpleError(fiCounty, std::string(value) + "(" + stateAbbrev(ctx.ImpState) + ")");
    }
    if (ctx.ImpState != 0) {
        std::string_view name = value.size() > 3 ? value.substr(3) : std::string_view();
        ctx.Qso.County = CountyNumber(stateAbbrev(ctx.ImpState), name);
        if (ctx.Qso.County == 0)
            ctx.ReportSimpleError(fiCounty, name);
    }
}

bool isSatelliteName(std::string_view v)
{
    static const char* names[] = {"AO27", "FO20", "AO13", "RS12", "FO29", "RS15", "AO10"};
    for (const char* n : names)
        if (v == n)
            return true;
    return false;
}

// What a record says about band and mode; settled when the record is complete, so that the
// order of BAND, FREQ, MODE and SUBMODE in the file does not matter.
struct TBandModeTags {
    int band = 0;            // from BAND
    std::string badBand;     // a BAND value no rule accepts
    bool haveBadBand = false;
    int freqBand = 0;        // from FREQ
    std::string badFreq;     // a FREQ that does not read or lies outside every band
    bool haveBadFreq = false;
    bool satellite = false;  // PROP_MODE SAT
    std::string mode, submode, ownMode;
    bool haveMode = false;
};

bool isName(const std::string& name, const char* s) { return name == s; }

} // namespace

void ReadADIFTag(TImportContext& ctx, std::string& value, std::string& name)
{
    value.clear();
    name.clear();
    const char* d = ctx.Data.data();
    const std::size_t n = ctx.Data.size();
    std::size_t p = ctx.Pos;
    if (p >= n)
        return;
    const void* lt = std::memchr(d + p, '<', n - p);
    if (!lt) {
        ctx.Pos = n;
        return;
    }
    p = static_cast<std::size_t>(static_cast<const char*>(lt) - d) + 1;
    char c = 0;
    bool closed = false;
    while (p < n) {
        char ch = d[p++];
        if (ch == '\r' || ch == '\n')
            continue;
        if (ch == ':' || ch == '>') {
            c = ch;
            closed = true;
            break;
        }
        if (name.size() < 64)  // no tag name is longer; a stray '<' must not collect the file
            name += (ch >= 'a' && ch <= 'z') ? static_cast<char>(ch - 32) : ch;
    }
    std::size_t len = 0;
    if (closed && c == ':') {
        closed = false;
        while (p < n) {
            char ch = d[p++];
            if (ch == ':' || ch == '>') {
                c = ch;
                closed = true;
                break;
            }
            if (ch >= '0' && ch <= '9' && len < 100000000)
                len = len * 10 + static_cast<std::size_t>(ch - '0');
        }
        if (closed && c == ':') {
            closed = false;
            if (p < n)
                ++p;  // the type letter, not looked at
            if (p < n) {
                c = d[p++];
                closed = true;
            }
        }
    }
    if (closed && c == '>' && len >= 1) {
        std::size_t end = len < n - p ? p + len : n;
        std::size_t take = end - p;
        const char* v = d + p;
        if (!std::memchr(v, '\n', take) && !std::memchr(v, '\r', take)) {
            value.assign(v, take < kMaxValue ? take : kMaxValue);
        } else {
            for (std::size_t i = 0; i < take && value.size() < kMaxValue; ++i) {
                char ch = v[i];
                if (ch == '\r')
                    continue;
                value += ch == '\n' ? '|' : ch;
            }
        }
        p = end;
    }
    ctx.Pos = p;
}

bool SkipADIFHeader(TImportContext& ctx)
{
    std::string value, name;
    for (;;) {
        ReadADIFTag(ctx, value, name);
        if (name == "EOH")
            return true;
        if (name.empty() && ctx.AtEnd())
            return false;
    }
}

bool ImportADIFRecord(TImportContext& ctx)
{
    TQsoRecord& q = ctx.Qso;
    q.RstSent = 65535;
    q.RstRcvd = 65535;
    q.Mode = 0;
    TBandModeTags bm;
    std::string value, name;
    bool sawEor = false;
    bool sawAnything = false;
    for (;;) {
        ReadADIFTag(ctx, value, name);
        if (name.empty()) {
            if (ctx.AtEnd())
                break;
            continue;
        }
        sawAnything = true;
        switch (name[0]) {
        case 'A':
            if (isName(name, "ARRL_SECT")) {
                std::uint8_t s = sectionState(value);
                if (s > 0 && ctx.ImpState == 0)
                    ctx.ImpState = s;
            } else if (isName(name, "ADDRESS")) {
                std::string_view t = trimBlanks(value);
                if (!t.empty())
                    appendNote(ctx.Note[0], t);
            } else if (isName(name, "APP_KORVAL_MODE")) {
                bm.ownMode = value;
            }
            break;
        case 'B':
            if (isName(name, "BAND")) {
                std::string_view v = value;
                while (!v.empty() && (v.back() == ' ' || v.back() == 'C' || v.back() == 'M' || v.back() == 'c' ||
                                      v.back() == 'm'))
                    v.remove_suffix(1);
                int b = v.empty() ? 0 : BandFromKey(v);
                if (b == 0 && isSatelliteName(value))
                    b = SatBand;
                if (b == 0) {
                    bm.haveBadBand = true;
                    bm.badBand = value;
                }
                bm.band = b;
            }
            break;
        case 'C':
            if (isName(name, "CALL")) {
                NormalizeImportCall(value, ctx);
            } else if (isName(name, "CQZ")) {
                int z = DigitsValue(value);
                if (z > 40) {
                    ctx.ReportSimpleError(fiZone, value);
                    z = 0;
                }
                ctx.ImpZone = static_cast<std::uint8_t>(z);
            } else if (isName(name, "COMMENT")) {
                if (!value.empty())
                    appendNote(ctx.Note[1], value);
            } else if (isName(name, "CNTY")) {
                importCounty(value, ctx);
            }
            break;
        case 'D':
            if (isName(name, "DXCC") && !value.empty())
                ImportPrefix(value, ctx);
            break;
        case 'E':
            if (isName(name, "EOR"))
                sawEor = true;
            break;
        case 'F':
            if (isName(name, "FREQ") && !value.empty()) {
                if (!ctx.Filter.FilterFreq) {
                    std::string item = "Freq=" + value;
                    appendNote(ctx.Note[1], item);
                }
                double mhz = 0;
                int b = ReadReal(value, mhz) ? BandFromFrequency(mhz * 1000.0) : 0;
                if (b == 0) {
                    bm.haveBadFreq = true;
                    bm.badFreq = value;
                    bm.freqBand = 0;
                } else {
                    bm.freqBand = b;
                    bm.haveBadFreq = false;
                }
            }
            break;
        case 'G':
            if (isName(name, "GRIDSQUARE")) {
                std::string g = FormatGridLocator(value);
                if (IsValidGrid(g))
                    q.Grid = g;
                else
                    ctx.ReportSimpleError(fiGrid, value);
            }
            break;
        case 'I':
            if (isName(name, "IOTA"))
                NormalizeImportIota(value, q.Iota, ctx);
            break;
        case 'M':
            if (isName(name, "MODE") && !value.empty()) {
                bm.mode = value;
                bm.haveMode = true;
            }
            break;
        case 'N':
            if (isName(name, "NAME")) {
                std::string_view t = trimBlanks(value);
                if (!t.empty())
                    appendNote(ctx.Note[0], t);
            } else if (isName(name, "NOTES")) {
                if (!value.empty())
                    appendNote(ctx.Note[0], value);
            }
            break;
        case 'P':
            if (isName(name, "PROP_MODE")) {
                std::string_view t = trimBlanks(value);
                bm.satellite = t.size() == 3 && (t[0] | 32) == 's' && (t[1] | 32) == 'a' && (t[2] | 32) == 't';
            }
            break;
        case 'Q':
            if (isName(name, "QSO_DATE")) {
                ParseADIFDate(fiDate, value, q.Date, ctx);
            } else if (isName(name, "QSL_RCVD")) {
                if (!value.empty() && (value[0] == 'Y' || value[0] == 'y'))
                    q.Flags |= qfQslReceived;
            } else if (isName(name, "QSL_SENT")) {
                // "R" is a card requested, not one sent: only "Y" dates the card.
                if (q.QslSentDate == 0 && !value.empty() && (value[0] == 'Y' || value[0] == 'y'))
                    q.QslSentDate = UtcToday();
            } else if (isName(name, "QSLSDATE")) {
                ParseADIFDate(fiQslDate, value, q.QslSentDate, ctx);
            } else if (isName(name, "QTH")) {
                std::string_view t = trimBlanks(value);
                if (!t.empty())
                    appendNote(ctx.Note[0], t);
            } else if (isName(name, "QSL_VIA")) {
                std::string_view t = trimBlanks(value);
                if (!t.empty())
                    appendNote(ctx.Note[0], "QSLVIA " + std::string(t));
            }
            break;
        case 'R':
            if (isName(name, "RST_SENT"))
                ParseImportRst(fiRstS, value, q.RstSent, ctx);
            else if (isName(name, "RST_RCVD"))
                ParseImportRst(fiRstR, value, q.RstRcvd, ctx);
            break;
        case 'S':
            if (isName(name, "SRX")) {
                q.Exchange = value;
            } else if (isName(name, "STATE")) {
                ctx.ImpState = StateNumber(value);
                if (ctx.ImpState == 0)
                    ctx.ReportSimpleError(fiState, value);
            } else if (isName(name, "SUBMODE")) {
                bm.submode = value;
            } else if (isName(name, "STX")) {
                if (!ctx.Filter.FilterFreq && !value.empty())
                    appendNote(ctx.Note[1], "SerNr=" + value);
            }
            break;
        case 'T':
            if (isName(name, "TIME_ON")) {
                if (ParseImportTime(value, q.Time, ctx))
                    ctx.ReportImportError(fiTime, value);
            } else if (isName(name, "TIME_OFF")) {
                if (q.Time == -1 && ParseImportTime(value, q.Time, ctx))
                    ctx.ReportImportError(fiTime, value);
            } else if (isName(name, "TEN_TEN")) {
                q.CustAwdId = "1010";
                q.CustAwdVal = value;
            }
            break;
        default:
            break;
        }
        if (sawEor)
            break;
    }
    (void)sawAnything;
    if (!sawEor)
        return true;

    // Band: the satellite propagation mode, else a readable FREQ, else BAND.
    int band = bm.satellite ? SatBand : bm.freqBand ? bm.freqBand : bm.band;
    if (band == 0 && (bm.haveBadBand || bm.haveBadFreq)) {
        if (bm.haveBadBand)
            ctx.ReportImportError(fiBand, bm.badBand);
        if (bm.haveBadFreq)
            ctx.ReportImportError(fiBand, bm.badFreq);
        band = ctx.Settings.DefaultBand;
    }
    q.Band = static_cast<std::uint8_t>(band);
    // Mode: MODE with SUBMODE, or this program's own mode where ADIF has none of its own.
    if (bm.haveMode) {
        int mode = AdifModeToMode(bm.mode, bm.submode);
        if (!bm.ownMode.empty() && ModeFromName(bm.ownMode) != 0)
            mode = ModeFromName(bm.ownMode);
        if (mode == 0) {
            ctx.ReportImportError(fiMode, bm.submode.empty() ? bm.mode : bm.mode + "/" + bm.submode);
            mode = ctx.Settings.DefaultMode;
        }
        q.Mode = static_cast<std::uint8_t>(mode);
    }

    ctx.ReportEmptyField(fiCallsign, q.Call.empty());
    if (ctx.ReportEmptyField(fiBand, q.Band == 0))
        q.Band = ctx.Settings.DefaultBand;
    if (ctx.ReportEmptyField(fiMode, q.Mode == 0))
        q.Mode = ctx.Settings.DefaultMode;
    if (ctx.ReportEmptyField(fiDate, q.Date == 0))
        q.Date = UtcToday();
    if (ctx.ReportEmptyField(fiTime, q.Time == -1))
        q.Time = 0;
    if (q.Group == 0)
        q.Group = ctx.Settings.DefaultGroup;
    CheckImportRst(fiRstS, q.RstSent, q.Mode, ctx);
    CheckImportRst(fiRstR, q.RstRcvd, q.Mode, ctx);
    return false;
}

} // namespace korval
