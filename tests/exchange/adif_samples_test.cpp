// Real ADIF files of other programs (data/adif/, sources and licences in its README) imported
// into the shipped country database, checked field by field against the file, exported, and
// imported again; and a WSJT-X-style file that must come back exactly.
#include "exchange_fixture.h"

#include "exchange/adif_modes.h"
#include "exchange/export_driver.h"
#include "exchange/utf8_text.h"
#include "logbook/bands_modes.h"
#include "logbook/position.h"
#include "logbook/base/string_utils.h"

#include <algorithm>
#include <cctype>
#include <map>

using namespace korval;
using namespace korval::test;

namespace {

// An independent reading of an ADIF file: the records after <EOH>, tag names in upper case.
using TRecord = std::map<std::string, std::string>;
std::vector<TRecord> parseAdif(const std::string& text)
{
    std::vector<TRecord> records;
    TRecord cur;
    bool body = false;
    std::size_t p = 0;
    while ((p = text.find('<', p)) != std::string::npos) {
        std::size_t close = text.find('>', p);
        if (close == std::string::npos)
            break;
        std::string field = text.substr(p + 1, close - p - 1);
        std::string name = field.substr(0, field.find(':'));
        std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return std::toupper(c); });
        std::size_t len = 0;
        if (field.find(':') != std::string::npos)
            len = std::stoul(field.substr(field.find(':') + 1));
        std::string value = text.substr(close + 1, len);
        p = close + 1 + len;
        if (name == "EOH") {
            body = true;
        } else if (!body) {
            continue;
        } else if (name == "EOR") {
            records.push_back(cur);
            cur.clear();
        } else if (!value.empty()) {
            cur[name] = value;
        }
    }
    return records;
}

std::string upper(std::string s)
{
    for (char& c : s)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}
std::string get(const TRecord& r, const char* tag)
{
    auto it = r.find(tag);
    return it == r.end() ? std::string() : it->second;
}
// A record's frequency in MHz, 0 when it has none on a band. Some programs write Hz or kHz
// (Cloudlog's 14070000, a 14200 of QLog's field list): read as such where MHz gives no band and
// the other unit gives the record's BAND.
double freqOf(const TRecord& r)
{
    double v = 0;
    if (!ReadReal(get(r, "FREQ"), v))
        return 0;
    const std::string band = AdifBandCanonical(get(r, "BAND"));
    if (AdifBandOfFrequency(v)[0] && (band.empty() || band == AdifBandOfFrequency(v)))
        return v;
    for (double unit : {1e6, 1e3})
        if (AdifBandOfFrequency(v / unit)[0] && (band.empty() ? !AdifBandOfFrequency(v)[0] : band == AdifBandOfFrequency(v / unit)))
            return v / unit;
    return AdifBandOfFrequency(v)[0] ? v : 0;
}
// The ADIF band a record is on: its frequency's, else its BAND's.
std::string bandOf(const TRecord& r)
{
    if (freqOf(r) != 0)
        return AdifBandOfFrequency(freqOf(r));
    return AdifBandCanonical(get(r, "BAND"));
}
bool validFreq(const TRecord& r) { return freqOf(r) != 0; }
std::string modeOf(const TRecord& r)
{
    TAdifModeName n = NormalizeAdifMode(get(r, "MODE"), get(r, "SUBMODE"));
    return n.Mode + "/" + n.Submode;
}
std::string keyOf(const TRecord& r)
{
    std::string call = upper(get(r, "CALL"));
    while (!call.empty() && call.back() == ' ')
        call.pop_back();
    return call + " " + get(r, "QSO_DATE") + " " + get(r, "TIME_ON").substr(0, 4);
}
std::string keyOf(const TQsoRecord& q)
{
    int y, m, d;
    DecodeDayNumber(q.Date, y, m, d);
    char buf[32];
    std::snprintf(buf, sizeof buf, " %04d%02d%02d %02d%02d", y, m, d, q.Time / 3600, q.Time / 60 % 60);
    return q.Call.str() + buf;
}

class AdifSamples : public ExchangeTest, public ::testing::WithParamInterface<const char*> {
protected:
    void SetUp() override
    {
        ExchangeTest::SetUp();
        std::string reason;
        ASSERT_TRUE(LoadCountryFileFrom(std::string(KORVAL_SOURCE_DIR) + "/data/SAVE/KORVAL.CTY", false, &reason))
            << reason;
        Config.SetImportConflictAction(1);  // the file's prefix and zone are not what is checked here
    }
    void TearDown() override
    {
        FreeCountryData(false);
        ExchangeTest::TearDown();
    }
};

// The error items a note holds ("Error:a, b|..." gives a and b).
std::vector<std::string> errorItems(std::string_view note)
{
    std::vector<std::string> items;
    std::size_t p = note.find("Error:");
    if (p == std::string_view::npos)
        return items;
    std::string_view list = note.substr(p + 6);
    list = list.substr(0, list.find('|'));
    std::size_t start = 0;
    while (start < list.size()) {
        std::size_t end = list.find(", ", start);
        if (end == std::string_view::npos)
            end = list.size();
        items.emplace_back(list.substr(start, end - start));
        start = end + 2;
    }
    return items;
}

} // namespace

TEST_P(AdifSamples, ImportKeepsEveryQsoAndFieldAndExportGivesTheSameLogBack)
{
    const std::string text = ReadAll(std::string(KORVAL_TEST_DATA) + "/adif/" + GetParam());
    std::vector<TRecord> records = parseAdif(text);
    std::erase_if(records, [](const TRecord& r) { return get(r, "CALL").empty(); });
    ASSERT_FALSE(records.empty());

    TQsoData log;
    TImportResult r = Import(log, text);
    ASSERT_EQ(log.Count(), static_cast<int>(records.size())) << r.Summary;

    std::multimap<std::string, const TQsoRecord*> byKey;
    for (const TQsoRecord* q : log.Qsos())
        byKey.emplace(keyOf(*q), q);
    std::map<std::string, int> errors;
    for (const TRecord& rec : records) {
        auto it = byKey.find(keyOf(rec));
        ASSERT_NE(it, byKey.end()) << keyOf(rec);
        // Two QSOs of a call in one minute: the one of the file's seconds and band.
        for (auto [a, b] = byKey.equal_range(keyOf(rec)); a != b; ++a)
            if ((get(rec, "TIME_ON").size() != 6 ||
                 a->second->Time % 60 == std::min(58, std::stoi(get(rec, "TIME_ON").substr(4)))) &&
                (bandOf(rec).empty() || a->second->Band == BandOfAdifBand(bandOf(rec)))) {
                it = a;  // the first: QSOs of one minute without seconds keep the file's order
                break;
            }
        const TQsoRecord& q = *it->second;
        byKey.erase(it);
        SCOPED_TRACE(keyOf(rec));
        const std::string time = get(rec, "TIME_ON");
        if (time.size() == 6) {
            EXPECT_EQ(q.Time, std::stoi(time.substr(0, 2)) * 3600 + std::stoi(time.substr(2, 2)) * 60 +
                                  std::min(58, std::stoi(time.substr(4, 2))));
        }
        if (upper(get(rec, "PROP_MODE")) == "SAT") {
            EXPECT_EQ(q.Band, SatBand);
        } else if (!bandOf(rec).empty()) {
            EXPECT_EQ(q.Band, BandOfAdifBand(bandOf(rec)));
        }
        const int mode = AdifModeToMode(get(rec, "MODE"), get(rec, "SUBMODE"));
        if (mode != 0) {
            EXPECT_EQ(q.Mode, mode);
        }
        for (const char* tag : {"RST_SENT", "RST_RCVD"}) {
            int report = 0;
            const std::string v = get(rec, tag);
            if (StrToRst(v, report) && IsValidRst(q.Mode, report)) {
                EXPECT_EQ(tag[4] == 'S' ? q.RstSent : q.RstRcvd, report) << tag;
            }
        }
        const std::string grid = get(rec, "GRIDSQUARE").substr(0, 6);
        if (IsValidGrid(FormatGridLocator(grid))) {
            EXPECT_EQ(upper(q.Grid.str()), upper(grid));
        }
        for (const std::string& e : errorItems(NoteText(q.Note)))
            ++errors[e];
    }
    // No error item on a valid value: what remains are values that are wrong in the file.
    std::string report;
    for (const auto& [item, n] : errors)
        report += item + " x" + std::to_string(n) + "\n";
    RecordProperty("errors", report);

    // Export: the file's own values come back.
    const std::string file = dir.file("out.adi");
    ASSERT_TRUE(ExportQsos(file, AdifFilter(), true, {log.Qsos().begin(), log.Qsos().end()}, log.Notes).Written);
    const std::string out = ReadAll(file);
    std::multimap<std::string, TRecord> exported;
    for (const TRecord& e : parseAdif(out))
        exported.emplace(keyOf(e), e);
    for (const TRecord& rec : records) {
        auto it = exported.find(keyOf(rec));
        ASSERT_NE(it, exported.end()) << keyOf(rec);
        for (auto [a, b] = exported.equal_range(keyOf(rec)); a != b; ++a)
            if (get(a->second, "TIME_ON").substr(0, get(rec, "TIME_ON").size()) == get(rec, "TIME_ON") &&
                upper(get(a->second, "BAND")) == upper(bandOf(rec))) {
                it = a;
                break;
            }
        const TRecord& e = it->second;
        SCOPED_TRACE(keyOf(rec));
        if (AdifModeToMode(get(rec, "MODE"), get(rec, "SUBMODE")) != 0) {
            EXPECT_EQ(modeOf(e), modeOf(rec));
        }
        if (!bandOf(rec).empty()) {
            EXPECT_EQ(upper(get(e, "BAND")), upper(bandOf(rec)));
        }
        if (validFreq(rec) && upper(get(rec, "PROP_MODE")) != "SAT") {
            double mhz = 0;
            if (std::stod(get(rec, "FREQ")) == freqOf(rec)) {
                EXPECT_EQ(get(e, "FREQ"), get(rec, "FREQ"));  // MHz as written
            } else {
                EXPECT_TRUE(ReadReal(get(e, "FREQ"), mhz)) << get(e, "FREQ");
                EXPECT_NEAR(mhz, freqOf(rec), 1e-9) << get(rec, "FREQ") << " as " << get(e, "FREQ");
            }
        }
        for (const char* tag : {"RST_SENT", "RST_RCVD"})
            if (!get(rec, tag).empty()) {
                EXPECT_EQ(get(e, tag), get(rec, tag) == "5NN" ? "599" : get(rec, tag)) << tag;
            }
        // Names and QTHs go out in the callsign note as the file wrote them (UTF-8 included).
        for (const char* tag : {"NAME", "QTH"}) {
            std::string v = get(rec, tag);
            v.erase(0, v.find_first_not_of(' '));
            v.erase(v.find_last_not_of(' ') + 1);
            if (!v.empty()) {
                EXPECT_NE(get(e, "NOTES").find(v), std::string::npos) << tag << " " << v << " in " << get(e, "NOTES");
            }
        }
        exported.erase(it);
    }

    // And the export imports to the same log.
    TQsoData back;
    TImportResult in = Import(back, out);
    ASSERT_EQ(back.Count(), log.Count()) << in.Summary;
    for (int i = 0; i < log.Count(); ++i) {
        const TQsoRecord& a = *log.At(i);
        const TQsoRecord& b = *back.At(i);
        SCOPED_TRACE(keyOf(a));
        ExpectSameContact(b, a);
        EXPECT_EQ(b.CustAwdVal, a.CustAwdVal);
    }
    for (int i = 0; i < log.Notes.Count(); ++i) {
        EXPECT_EQ(back.GetCallNote(log.Notes.CallAt(i)), log.Notes.TextAt(i)) << log.Notes.CallAt(i);
    }
}

INSTANTIATE_TEST_SUITE_P(OtherPrograms, AdifSamples,
                         ::testing::Values("log4om-2.22.adi", "skcclogger-3.00.adi", "n3fjp-aclog-7.0.adi",
                                           "cloudlog-0.1-backup.adi", "qlog-0.34-lu7hf.adi", "qlog-all-fields.adi",
                                           "csn-sat-5.668.adi", "minos-2.2.1-vhf-contest.adi", "fle-sota.adi"),
                         [](const auto& info) {
                             std::string n = info.param;
                             for (char& c : n)
                                 if (!std::isalnum(static_cast<unsigned char>(c)))
                                     c = '_';
                             return n;
                         });

// A file as WSJT-X writes it: FT8 and FT4 (MFSK) with dB reports, 60 m QSOs, 6-character grids,
// 6-digit times. Export writes every one of these values back as it was.
TEST_F(AdifSamples, WsjtxStyleFileRoundTripsExactly)
{
    std::string file = "WSJT-X ADIF Export<eoh>\n";
    auto field = [&](const char* n, const std::string& v) {
        file += "<" + std::string(n) + ":" + std::to_string(v.size()) + ">" + v + " ";
    };
    struct Q {
        const char *call, *time, *band, *freq, *mode, *sub, *sent, *rcvd, *grid;
    };
    const Q qsos[] = {
        {"K1JT", "120015", "20m", "14.075123", "FT8", "", "-10", "+05", "FN20qi"},
        {"DL1ABC", "120130", "60m", "5.357000", "FT8", "", "-03", "-17", "JO62qm"},
        {"JA1XYZ", "120245", "40m", "7.047500", "MFSK", "FT4", "+00", "-21", "PM95vq"},
        {"VK2ABC", "120400", "60m", "5.358500", "MFSK", "FT4", "-08", "-12", "QF56od"},
        {"W1AW", "120501", "6m", "50.313000", "FT8", "", "599", "-09", "FN31pr"},
    };
    for (const Q& q : qsos) {
        field("call", q.call);
        field("gridsquare", q.grid);
        field("mode", q.mode);
        if (q.sub[0])
            field("submode", q.sub);
        field("rst_sent", q.sent);
        field("rst_rcvd", q.rcvd);
        field("qso_date", "20240315");
        field("time_on", q.time);
        field("qso_date_off", "20240315");
        field("time_off", q.time);
        field("band", q.band);
        field("freq", q.freq);
        field("station_callsign", "DL0XX");
        field("my_gridsquare", "JO40");
        file += "<eor>\n";
    }
    TQsoData log;
    TImportResult r = Import(log, file);
    ASSERT_EQ(log.Count(), 5) << r.Summary;
    EXPECT_EQ(r.Count.Kept, 5);
    EXPECT_EQ(r.Count.ErrorItems, 0) << r.Summary;
    EXPECT_EQ(log.At(1)->Band, 0);  // 60 m
    EXPECT_EQ(ModeGroup(log.At(0)->Mode), mgDigital);

    const std::string out = dir.file("wsjtx.adi");
    ASSERT_TRUE(ExportQsos(out, AdifFilter(), true, {log.Qsos().begin(), log.Qsos().end()}, log.Notes).Written);
    std::vector<TRecord> back = parseAdif(ReadAll(out));
    ASSERT_EQ(back.size(), 5u);
    for (std::size_t i = 0; i < 5; ++i) {
        const Q& q = qsos[i];
        const TRecord& e = back[i];
        SCOPED_TRACE(q.call);
        EXPECT_EQ(get(e, "CALL"), q.call);
        EXPECT_EQ(get(e, "QSO_DATE"), "20240315");
        EXPECT_EQ(get(e, "TIME_ON"), q.time);
        EXPECT_EQ(get(e, "BAND"), q.band);
        EXPECT_EQ(get(e, "FREQ"), q.freq);
        EXPECT_EQ(get(e, "MODE"), q.mode);
        EXPECT_EQ(get(e, "SUBMODE"), q.sub);
        EXPECT_EQ(get(e, "RST_SENT"), q.sent);
        EXPECT_EQ(get(e, "RST_RCVD"), q.rcvd);
        EXPECT_EQ(upper(get(e, "GRIDSQUARE")), upper(q.grid));
    }
}

// Text leaves as UTF-8, as other programs write and read it today, its length in bytes: the
// program's 8-bit characters converted (also those an older 8-bit file brought), the UTF-8 an
// import kept because the 8-bit set lacks its characters written as it came; the export imports
// to the same log.
TEST_F(AdifSamples, TextIsExportedAsUtf8AndComesBackTheSame)
{
    const std::string file = "<eoh>\n"
                             "<call:6>DL1ABC<qso_date:8>20240315<time_on:4>1200<band:3>20m<mode:2>CW"
                             "<name:7>J\xC3\xBCrgen<qth:12>\xD0\x9C\xD0\xBE\xD1\x81\xD0\xBA\xD0\xB2\xD0\xB0"
                             "<comment:5>Gr\xFC\xDF" "e<eor>\n"
                             "<call:5>K5XYZ<qso_date:8>20240315<time_on:4>1300<band:3>40m<mode:3>SSB"
                             "<state:2>NM<cnty:12>NM,Do\xC3\xB1" "a Ana<comment:8>\xE2\x82\xAC" "5 QSL<eor>\n";
    TQsoData log;
    TImportResult r = Import(log, file);
    ASSERT_EQ(log.Count(), 2) << r.Summary;
    EXPECT_EQ(log.GetCallNote("DL1ABC"), "J\xFCrgen|\xD0\x9C\xD0\xBE\xD1\x81\xD0\xBA\xD0\xB2\xD0\xB0");
    const TQsoRecord* k5 = log.At(0)->Call.view() == "K5XYZ" ? log.At(0) : log.At(1);
    const TQsoRecord* dl = k5 == log.At(0) ? log.At(1) : log.At(0);
    EXPECT_EQ(NoteText(dl->Note), "Error:Callsign note kept in UTF-8|Gr\xFC\xDF" "e");
    EXPECT_NE(NoteText(k5->Note).find("\x80" "5 QSL"), std::string_view::npos) << NoteText(k5->Note);
    ASSERT_NE(k5->County, 0);
    EXPECT_EQ(CountyName(k5->State, k5->County), "Do\xF1" "a Ana");

    const std::string out = dir.file("utf8.adi");
    ASSERT_TRUE(ExportQsos(out, AdifFilter(), true, {log.Qsos().begin(), log.Qsos().end()}, log.Notes).Written);
    const std::string text = ReadAll(out);
    std::string ignored;
    EXPECT_NE(Utf8ToWin1252(text, ignored), TUtf8Result::NotUtf8);  // the whole file is UTF-8
    for (const char* item : {"<notes:20>J\xC3\xBCrgen|\xD0\x9C\xD0\xBE\xD1\x81\xD0\xBA\xD0\xB2\xD0\xB0",
                             "Gr\xC3\xBC\xC3\x9F" "e", "<cnty:12>NM,Do\xC3\xB1" "a Ana", "\xE2\x82\xAC" "5 QSL"})
        EXPECT_NE(text.find(item), std::string::npos) << item << "\n" << text;

    TQsoData back;
    TImportResult in = Import(back, text);
    ASSERT_EQ(back.Count(), 2) << in.Summary;
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(NoteText(back.At(i)->Note), NoteText(log.At(i)->Note));
        EXPECT_EQ(back.At(i)->County, log.At(i)->County);
    }
    EXPECT_EQ(back.GetCallNote("DL1ABC"), log.GetCallNote("DL1ABC"));
}

// Desktops with a decimal comma (de_DE, ru_RU): real files of other programs imported and written
// back as ADIF and as a fixed-field file with the frequency in MHz give the bytes they give in the
// C locale.
TEST_F(AdifSamples, ImportAndExportGiveTheSameBytesInEveryDesktopLocale)
{
    TFilterRecord fixed;
    fixed.Id = "FREQ";
    fixed.Ext = "TXT";
    fixed.Usage = fuImpExp;
    fixed.Field(fiCallsign) = {1, 1, 12};
    fixed.Field(fiDate) = {14, 1, 8};
    fixed.Field(fiBand) = {23, bfFreqMHz, 10};
    std::map<std::string, std::string> first;
    for (const char* locale : kDesktopLocales) {
        ScopedLocale scoped(locale);
        ASSERT_TRUE(scoped.Ok()) << locale << " is not installed (scripts/deps.sh generates it)";
        for (const char* name : {"log4om-2.22.adi", "csn-sat-5.668.adi", "fle-sota.adi"}) {
            SCOPED_TRACE(std::string(locale) + " " + name);
            TQsoData log;
            Import(log, ReadAll(std::string(KORVAL_TEST_DATA) + "/adif/" + name));
            ASSERT_GT(log.Count(), 0);
            const std::vector<const TQsoRecord*> all(log.Qsos().begin(), log.Qsos().end());
            std::string bytes;
            for (const TFilterRecord& f : {AdifFilter(), fixed}) {
                ASSERT_TRUE(ExportQsos(dir.file("out"), f, false, all, log.Notes).Written);
                bytes += ReadAll(dir.file("out"));
            }
            auto [it, added] = first.emplace(name, bytes);
            if (!added) {
                EXPECT_EQ(bytes, it->second);
            }
        }
    }
    // The fixed-field file's frequencies (its band's, where phone starts), in MHz with a point.
    EXPECT_NE(first["log4om-2.22.adi"].find("WB8ERJ       20210225      7.175\r\n"), std::string::npos);
}
