// ADIF reading: the tag scanner, the header skipper and the record reader with its tag table.
#include "exchange/adif_reader.h"

#include "exchange/adif_kept_values.h"
#include "exchange/adif_modes.h"
#include "exchange/utf8_text.h"
#include "exchange/import_common.h"

#include "logbook/bands_modes.h"
#include "logbook/country_db.h"
#include "logbook/call_lookup.h"
#include "logbook/base/day_number.h"
#include "logbook/position.h"
#include "logbook/base/string_utils.h"

#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace korval {

namespace {

constexpr std::size_t kMaxValue = 255;

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
        // A year before 1900 would be taken as a two-digit year ("0095" as 1995).
        ok = y >= 1900 && TryEncodeDayNumber(y, m, dd, d) && d != 0;
    }
    if (!ok) {
        ctx.ReportImportError(field, value);
        return true;
    }
    day = d;
    return false;
}

// A report that does not read as RS(T) ("-10", "+05", "59+20dB") is no error: the numeric field
// gets the mode's default as for a report not given, and the text is kept for the export.
bool keepableReport(std::string_view value)
{
    return !value.empty() && value.size() <= 32 && value.find('|') == std::string_view::npos;
}

void ParseImportRst(int field, std::string_view value, std::uint16_t& report, TImportContext& ctx)
{
    if (value.size() == 3 && value[0] == '5' && value[1] == 'N' && value[2] == 'N') {
        report = 599;
        return;
    }
    int r = 0;
    if (!StrToRst(value, r)) {
        if (!keepableReport(value))
            ctx.ReportSimpleError(field, value);
        report = 65535;
        return;
    }
    report = static_cast<std::uint16_t>(r);
}

// raw is the report as the file has it; it becomes the text to keep when the record cannot hold
// the report (else it is emptied).
void CheckImportRst(int field, std::uint16_t& report, int mode, std::string& raw, TImportContext& ctx)
{
    std::uint16_t def = ModeReportKind(mode) == 1 ? 599 : 59;
    if (report == 65535) {
        report = def;
        if (!keepableReport(raw))
            raw.clear();
    } else if (report != 0 && !IsValidRst(mode, report)) {
        if (!keepableReport(raw))
            ctx.ReportSimpleError(field, RstToStr(report));
        report = def;
    } else {
        raw.clear();
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

// A county name as other programs spell it: case, blanks and punctuation aside, "SAINT" for
// "St.", and a trailing "CITY", "COUNTY" or "PARISH" ("PRINCE GEORGES", "DE KALB", "SAINT CLAIR",
// "VIRGINIA BEACH CITY" for Prince George's, DeKalb, St. Clair, Virginia Beach).
std::string countyKey(std::string_view name, bool dropKind)
{
    std::string k;
    for (char c : name)
        if (std::isalnum(static_cast<unsigned char>(c)))
            k += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (k.rfind("SAINTE", 0) == 0)
        k.replace(0, 6, "STE");
    else if (k.rfind("SAINT", 0) == 0)
        k.replace(0, 5, "ST");
    if (dropKind)
        for (const char* kind : {"COUNTY", "PARISH", "CITY", "BOROUGH"}) {
            std::size_t n = std::strlen(kind);
            if (k.size() > n && k.compare(k.size() - n, n, kind) == 0) {
                k.resize(k.size() - n);
                break;
            }
        }
    return k;
}

std::uint16_t findCounty(std::string_view state, std::string_view name)
{
    std::uint16_t n = CountyNumber(state, name);
    if (n != 0 || !CountryDb.Counties || state.size() != 2)
        return n;
    for (bool dropKind : {false, true}) {
        const std::string want = countyKey(name, dropKind);
        const TTwoIndex& ct = *CountryDb.Counties;
        for (std::int32_t i = 0; i < ct.Count(); ++i) {
            TCountyRecord r = TCountyRecord::FromBytes(ct.Record(i));
            if (r.Key.size() == 5 && r.Key.compare(0, 2, state) == 0 && countyKey(r.Name, dropKind) == want)
                return static_cast<std::uint16_t>(DigitsValue(std::string_view(r.Key).substr(2)));
        }
    }
    return 0;
}

void importCounty(std::string_view value, TImportContext& ctx)
{
    // Some programs write the county alone, without "SS,": it is a county of the QSO's state.
    if ((value.size() < 3 || value[2] != ',') && ctx.ImpState != 0) {
        ctx.Qso.County = findCounty(stateAbbrev(ctx.ImpState), value);
        if (ctx.Qso.County == 0)
            ctx.ReportSimpleError(fiCounty, value);
        return;
    }
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
        ctx.Qso.County = findCounty(stateAbbrev(ctx.ImpState), name);
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
    int band = 0;              // from BAND
    const char* adifBand = "";  // BAND as an ADIF band that the band table lacks
    const char* bandName = "";  // BAND as an ADIF band
    std::string badBand;       // a BAND value no rule accepts
    bool haveBadBand = false;
    std::string freq;          // the last non-empty FREQ
    bool satellite = false;    // PROP_MODE SAT
    std::string mode, submode, ownMode;
    bool haveMode = false;
    std::string rstSent, rstRcvd;  // the reports as written
};

// Free text of other programs: UTF-8 becomes this program's character set where it can, line by
// line; a line with characters it lacks keeps its bytes, and the record says so. The item names
// where the text went (NAME, QTH and NOTES all go to the callsign note), so that the export of
// the note imports to the same item again.
// The converted text goes to scratch.
std::string_view localText(const char* where, std::string_view value, std::string& scratch, TImportContext& ctx)
{
    bool plain = true;
    for (char c : value)
        plain = plain && static_cast<unsigned char>(c) < 0x80;
    if (plain)
        return value;
    std::string converted;
    if (Utf8LinesToWin1252(value, converted))
        ctx.AddToNote(std::string(where) + " kept in UTF-8");
    scratch.swap(converted);
    return scratch;
}
constexpr const char* kCallNote = "Callsign note";
constexpr const char* kQsoNote = "QSO note";

// A plain decimal with its point moved places to the left ("14070000", 6 gives "14.070000");
// "" for any other text.
std::string shiftedDecimal(std::string_view text, int places)
{
    text = Trim(text);
    std::string digits;
    std::size_t point = std::string_view::npos;
    for (char c : text) {
        if (c == '.' && point == std::string_view::npos)
            point = digits.size();
        else if (c >= '0' && c <= '9')
            digits += c;
        else
            return {};
    }
    if (digits.empty())
        return {};
    if (point == std::string_view::npos)
        point = digits.size();
    const std::size_t n = static_cast<std::size_t>(places);
    if (point < n + 1) {
        digits.insert(0, n + 1 - point, '0');
        point = n + 1;
    }
    point -= n;
    std::size_t lead = 0;  // no zeros before the units digit
    while (lead + 1 < point && digits[lead] == '0')
        ++lead;
    std::string r = digits.substr(lead, point - lead);
    if (point < digits.size())
        r += '.' + digits.substr(point);
    return r;
}

// FREQ is in MHz, but some programs write Hz (Cloudlog: 14070000) or kHz (14200). A value that
// lies in Hz or kHz on the record's BAND, where in MHz it does not (or lies on no band at all
// when the record has no BAND), is that frequency, and mhz becomes it; 472000 Hz of 630 m is not
// a frequency of ADIF's submillimetre band. Any other value stays as it is. adif and adifBand
// become the ADIF band of the frequency taken and its band number.
std::string frequencyInMHz(const std::string& text, double& mhz, const char* band, const char*& adif, int& adifBand)
{
    adif = AdifBandOfFrequency(mhz, &adifBand);
    if (band[0] ? std::strcmp(adif, band) == 0 : adif[0] || BandFromFrequency(mhz * 1000.0) != 0)
        return text;
    for (int places : {6, 3}) {
        std::string t = shiftedDecimal(text, places);
        double v = 0;
        if (t.empty() || !ReadReal(t, v))
            continue;
        int onBand = 0;
        const char* on = AdifBandOfFrequency(v, &onBand);
        if (on[0] && (!band[0] || std::strcmp(on, band) == 0)) {
            mhz = v;
            adif = on;
            adifBand = onBand;
            return t;
        }
    }
    return text;
}

// True when the note text holds the line.
bool hasLine(std::string_view text, std::string_view line)
{
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find('|', start);
        if (end == std::string_view::npos)
            end = text.size();
        if (text.substr(start, end - start) == line)
            return true;
        start = end + 1;
    }
    return false;
}

// Tag names are compared by length first: most comparisons of a record end there.
template <std::size_t N>
bool isName(std::string_view name, const char (&s)[N])
{
    return name.size() == N - 1 && std::memcmp(name.data(), s, N - 1) == 0;
}

// Bit 7 of each byte of w that equals b; exact up to the first such byte, which is all that the
// tag scanner looks at.
inline std::uint64_t ByteIs(std::uint64_t w, char b)
{
    constexpr std::uint64_t ones = 0x0101010101010101ull, highs = 0x8080808080808080ull;
    const std::uint64_t x = w ^ (ones * static_cast<unsigned char>(b));
    return (x - ones) & ~x & highs;
}

// The eight characters of w with 'a'..'z' upper-cased and every other byte as it was.
inline std::uint64_t UpperAscii8(std::uint64_t w)
{
    constexpr std::uint64_t ones = 0x0101010101010101ull, highs = 0x8080808080808080ull;
    const std::uint64_t low7 = w & ~highs;
    const std::uint64_t atLeastA = low7 + ones * (0x80 - 'a');
    const std::uint64_t aboveZ = low7 + ones * (0x80 - 'z' - 1);
    const std::uint64_t lower = atLeastA & ~aboveZ & ~w & highs;
    return w ^ (lower >> 2);
}

} // namespace

void ReadADIFTag(TImportContext& ctx, TADIFTag& tag)
{
    tag.name = {};
    tag.value = {};
    const char* d = ctx.Data.data();
    const std::size_t n = ctx.Data.size();
    std::size_t p = ctx.Pos;
    if (p >= n)
        return;
    // The next tag mostly follows its value at once or after a line break.
    if (d[p] == '<' || (p + 1 < n && d[p + 1] == '<')) {
        p += d[p] == '<' ? 1 : 2;
    } else {
        const void* lt = std::memchr(d + p, '<', n - p);
        if (!lt) {
            ctx.Pos = n;
            return;
        }
        p = static_cast<std::size_t>(static_cast<const char*>(lt) - d) + 1;
    }
    char c = 0;
    bool closed = false;
    char* upper = tag.nameText;  // no tag name is longer; a stray '<' must not collect the file
    std::size_t k = 0;
    // Eight characters at a time up to the first ':', '>' or line break, which the loop below
    // then takes one by one.
    while (p + 8 <= n && k + 8 <= sizeof tag.nameText) {
        std::uint64_t w;
        std::memcpy(&w, d + p, 8);
        // ':' and '>' differ in bit 2 only, '\r' and '\n' in the low three bits: two tests
        // find all four. The other control characters they also stop at go one by one below.
        constexpr std::uint64_t bit2 = 0x0404040404040404ull, low3 = 0x0707070707070707ull;
        const std::uint64_t stop = ByteIs(w | bit2, '>') | ByteIs(w | low3, 0x0F);
        const std::uint64_t up = UpperAscii8(w);
        std::memcpy(upper + k, &up, 8);
        if (stop) {
            const unsigned shift = static_cast<unsigned>(__builtin_ctzll(stop)) & ~7u;
            k += shift / 8;
            p += shift / 8;
            // Mostly the ':' or '>' that ends the name, taken from the word read.
            const char ch = static_cast<char>(w >> shift);
            if ((ch | 4) == '>') {
                c = ch;
                closed = true;
                ++p;
            }
            break;
        }
        k += 8;
        p += 8;
    }
    while (!closed && p < n) {
        char ch = d[p++];
        if (ch == ':' || ch == '>') {
            c = ch;
            closed = true;
            break;
        }
        if (ch == '\r' || ch == '\n' || k == sizeof tag.nameText)
            continue;
        upper[k++] = (ch >= 'a' && ch <= 'z') ? static_cast<char>(ch - 32) : ch;
    }
    tag.name = std::string_view(upper, k);
    std::size_t len = 0;
    // The length is mostly one or two digits closed by '>'.
    if (closed && c == ':' && p + 3 <= n && d[p] >= '0' && d[p] <= '9') {
        if (d[p + 1] == '>') {
            len = static_cast<std::size_t>(d[p] - '0');
            p += 2;
            c = '>';
        } else if (d[p + 1] >= '0' && d[p + 1] <= '9' && d[p + 2] == '>') {
            len = static_cast<std::size_t>(d[p] - '0') * 10 + static_cast<std::size_t>(d[p + 1] - '0');
            p += 3;
            c = '>';
        }
    }
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
        std::size_t plain = 0;  // the bytes before the first line break
        while (plain < take) {
            if (p + plain + 8 <= n) {
                std::uint64_t w;
                std::memcpy(&w, v + plain, 8);
                const std::uint64_t lineBreak = ByteIs(w, '\n') | ByteIs(w, '\r');
                if (lineBreak) {
                    plain += static_cast<std::size_t>(__builtin_ctzll(lineBreak)) / 8;
                    break;
                }
                plain += 8;
            } else {
                if (v[plain] == '\n' || v[plain] == '\r')
                    break;
                ++plain;
            }
        }
        if (plain > take)
            plain = take;
        if (plain == take) {
            // The common case: the value as it stands in the file.
            tag.value = std::string_view(v, take < kMaxValue ? take : kMaxValue);
        } else {
            std::string& text = tag.text;
            text.clear();
            for (std::size_t i = 0; i < take && text.size() < kMaxValue; ++i) {
                char ch = v[i];
                if (ch == '\r')
                    continue;
                text += ch == '\n' ? '|' : ch;
            }
            tag.value = text;
        }
        p = end;
    }
    ctx.Pos = p;
}

bool SkipADIFHeader(TImportContext& ctx)
{
    TADIFTag tag;
    for (;;) {
        ReadADIFTag(ctx, tag);
        const std::string_view name = tag.name;
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
    TADIFTag tag;
    std::string converted;  // a value in this program's character set
    bool sawEor = false;
    bool sawAnything = false;
    for (;;) {
        ReadADIFTag(ctx, tag);
        const std::string_view name = tag.name, value = tag.value;
        if (name.empty()) {
            if (ctx.AtEnd())
                break;
            continue;
        }
        sawAnything = true;
        // A zero-length value is a field the record does not have; only an empty report is
        // read (as "no report").
        if (value.empty() && name != "EOR" && name != "RST_SENT" && name != "RST_RCVD")
            continue;
        switch (name[0]) {
        case 'A':
            if (isName(name, "ARRL_SECT")) {
                std::uint8_t s = sectionState(value);
                if (s > 0 && ctx.ImpState == 0)
                    ctx.ImpState = s;
            } else if (isName(name, "ADDRESS")) {
                std::string_view t = Trim(localText(kCallNote, value, converted, ctx));
                if (!t.empty())
                    appendNote(ctx.Note[0], t);
            } else if (isName(name, "APP_KORVAL_MODE")) {
                bm.ownMode = value;
            }
            break;
        case 'B':
            if (isName(name, "BAND")) {
                const char* adif = AdifBandCanonical(value, &bm.band);
                bm.bandName = adif;
                bm.adifBand = bm.band == 0 ? adif : "";
                if (adif[0]) {
                    bm.haveBadBand = false;
                    break;
                }
                // "20M", "70cm": the unit letters go with the blanks.
                const std::string_view v = TrimRight(value, " CMcm");
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
                appendNote(ctx.Note[1], localText(kQsoNote, value, converted, ctx));
            } else if (isName(name, "CNTY")) {
                importCounty(localText("CNTY", value, converted, ctx), ctx);
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
            if (isName(name, "FREQ"))
                bm.freq = value;
            break;
        case 'G':
            if (isName(name, "GRIDSQUARE")) {
                // An 8- or 10-character locator is stored to the field's 6 characters.
                std::string g = FormatGridLocator(value.substr(0, 6));
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
                std::string_view t = Trim(localText(kCallNote, value, converted, ctx));
                if (!t.empty())
                    appendNote(ctx.Note[0], t);
            } else if (isName(name, "NOTES")) {
                appendNote(ctx.Note[0], localText(kCallNote, value, converted, ctx));
            }
            break;
        case 'P':
            if (isName(name, "PROP_MODE")) {
                std::string_view t = Trim(value);
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
                std::string_view t = Trim(localText(kCallNote, value, converted, ctx));
                if (!t.empty())
                    appendNote(ctx.Note[0], t);
            } else if (isName(name, "QSL_VIA")) {
                std::string_view t = Trim(localText(kCallNote, value, converted, ctx));
                if (!t.empty())
                    appendNote(ctx.Note[0], "QSLVIA " + std::string(t));
            }
            break;
        case 'R':
            if (isName(name, "RST_SENT")) {
                ParseImportRst(fiRstS, value, q.RstSent, ctx);
                bm.rstSent = value;
            } else if (isName(name, "RST_RCVD")) {
                ParseImportRst(fiRstR, value, q.RstRcvd, ctx);
                bm.rstRcvd = value;
            }
            break;
        case 'S':
            if (isName(name, "SRX")) {
                q.Exchange = localText("SRX", value, converted, ctx);
            } else if (isName(name, "STATE")) {
                // Not a US state: a province or region of another country (VE's ON, LU's Se)
                // is no error; the driver decides once the QSO's country is known.
                ctx.ImpState = StateNumber(value);
                ctx.ImpStateText = ctx.ImpState == 0 ? std::string(value) : std::string();
            } else if (isName(name, "SUBMODE")) {
                bm.submode = value;
            } else if (isName(name, "STX")) {
                if (!ctx.Filter.FilterFreq && !value.empty())
                    appendNote(ctx.Note[1], "SerNr=" + std::string(value));
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

    TAdifKeptValues kept;
    // FREQ: a line of the QSO note (first, unless the comment brought the same line), and the band
    // of the frequency. A frequency of an ADIF band that the band table lacks files the QSO under
    // band 0 with that band kept; one outside ADIF's bands takes the table's widened edges.
    int freqBand = 0;
    bool freqKnown = false, badFreq = false;
    const char* freqAdifBand = "";
    if (!bm.freq.empty()) {
        double mhz = 0;
        const bool readable = ReadReal(bm.freq, mhz);
        // The frequency in MHz, as ADIF has it: a FREQ in Hz or kHz becomes its MHz text.
        const char* adif = "";
        int adifBand = 0;
        std::string freq = readable ? frequencyInMHz(bm.freq, mhz, bm.bandName, adif, adifBand) : bm.freq;
        if (!ctx.Filter.FilterFreq) {
            std::string line = "Freq=" + freq;
            if (!hasLine(ctx.Note[1], line)) {
                line += '|';
                ctx.Note[1].insert(0, line);
                if (ctx.Note[1].size() > kMaxValue)
                    ctx.Note[1].resize(kMaxValue);
            }
        }
        bm.freq.swap(freq);
        if (readable) {
            freqBand = adifBand;
            if (!adif[0])
                freqBand = BandFromFrequency(mhz * 1000.0);
            freqKnown = freqBand != 0 || adif[0];
            if (freqBand == 0 && adif[0])
                freqAdifBand = adif;
        }
        badFreq = !freqKnown;
    }
    // Band: the satellite propagation mode, else a readable FREQ, else BAND.
    int band = 0;
    const char* keptBand = "";
    if (bm.satellite) {
        band = SatBand;
        // A satellite QSO is on the satellite band; its ADIF band goes with it.
        if (!freqKnown)
            kept.Band = bm.bandName;
    } else if (freqKnown) {
        band = freqBand;
        keptBand = freqAdifBand;
    } else if (bm.band != 0) {
        band = bm.band;
    } else if (bm.adifBand[0]) {
        keptBand = bm.adifBand;
    }
    if (band == 0 && !keptBand[0] && (bm.haveBadBand || badFreq)) {
        if (bm.haveBadBand)
            ctx.ReportImportError(fiBand, bm.badBand);
        if (badFreq)
            ctx.ReportImportError(fiBand, bm.freq);
        band = ctx.Settings.DefaultBand;
    }
    q.Band = static_cast<std::uint8_t>(band);
    if (keptBand[0]) {
        // Never filed on a band it was not on: no band, and ADIF's band for the export.
        kept.Band = keptBand;
        if (ctx.Filter.FilterFreq)
            kept.Freq = bm.freq;
    }
    // Mode: MODE with SUBMODE, or this program's own mode where ADIF has none of its own. A mode
    // the table cannot tell (FT8, PSK63, USB) is filed under its group's table mode and kept.
    const int direct = bm.haveMode && bm.submode.empty() && bm.ownMode.empty() ? DirectAdifMode(bm.mode) : 0;
    if (direct != 0) {
        q.Mode = static_cast<std::uint8_t>(direct);
    } else if (bm.haveMode) {
        const TAdifModeName n = NormalizeAdifMode(bm.mode, bm.submode);
        int mode = AdifModeToMode(n);
        bool own = !bm.ownMode.empty() && ModeFromName(bm.ownMode) != 0;
        if (own)
            mode = ModeFromName(bm.ownMode);
        if (mode == 0) {
            ctx.ReportImportError(fiMode, bm.submode.empty() ? bm.mode : bm.mode + "/" + bm.submode);
            mode = ctx.Settings.DefaultMode;
        } else if (!own) {
            TAdifMode back = ModeToAdif(mode);
            if (n.Known && (n.Mode != back.Mode || n.Submode != back.Submode)) {
                kept.Mode = n.Mode;
                kept.Submode = n.Submode;
            }
        }
        q.Mode = static_cast<std::uint8_t>(mode);
    }

    ctx.ReportEmptyField(fiCallsign, q.Call.empty());
    if (ctx.ReportEmptyField(fiBand, q.Band == 0 && kept.Band.empty()))
        q.Band = ctx.Settings.DefaultBand;
    if (ctx.ReportEmptyField(fiMode, q.Mode == 0))
        q.Mode = ctx.Settings.DefaultMode;
    if (ctx.ReportEmptyField(fiDate, q.Date == 0))
        q.Date = UtcToday();
    if (ctx.ReportEmptyField(fiTime, q.Time == -1))
        q.Time = 0;
    if (q.Group == 0)
        q.Group = ctx.Settings.DefaultGroup;
    CheckImportRst(fiRstS, q.RstSent, q.Mode, bm.rstSent, ctx);
    CheckImportRst(fiRstR, q.RstRcvd, q.Mode, bm.rstRcvd, ctx);
    kept.RstSent = bm.rstSent;
    kept.RstRcvd = bm.rstRcvd;
    ctx.KeptItem = kept.NoteItem();
    return false;
}

} // namespace korval
