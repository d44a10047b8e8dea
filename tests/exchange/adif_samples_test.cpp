// Real ADIF files of other programs (data/adif/, sources and licences in its README) imported
// into the shipped country database, checked field by field against the file, exported, and
// imported again; and a WSJT-X-style file that must come back exactly.
#include "exchange_fixture.h"

#include "exchange/adif_modes.h"
#include "exchange/export_driver.h"
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
// The ADIF band a record is on: its frequency's, else its BAND's.
std::string bandOf(const TRecord& r)
{
    double mhz = 0;
    if (ReadReal(get(r, "FREQ"), mhz) && AdifBandOfFrequency(mhz)[0])
        return AdifBandOfFrequency(mhz);
    return AdifBandCanonical(get(r, "BAND"));
}
bool validFreq(const TRecord& r)
{
    double mhz = 0;
    return ReadReal(get(r, "FREQ"), mhz) && AdifBandOfFrequency(mhz)[0];
}
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
            EXPECT_EQ(get(e, "FREQ"), get(rec, "FREQ"));
        }
        for (const char* tag : {"RST_SENT", "RST_RCVD"})
            if (!get(rec, tag).empty()) {
                EXPECT_EQ(get(e, tag), get(rec, tag) == "5NN" ? "599" : get(rec, tag)) << tag;
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
