// ADIF export: line layout, the round trip through the importer, and a large file written by
// another program's conventions.
#include "exchange_fixture.h"

#include "exchange/adif_modes.h"
#include "exchange/export_driver.h"
#include "exchange/utf8_text.h"
#include "logbook/bands_modes.h"

#include <filesystem>
#include <set>
#include <sstream>

using namespace korval;
using namespace korval::test;

namespace {

// Every mode on its own QSO, every band, and the optional fields spread over them.
void fillVariedLog(TQsoData& log)
{
    const char* calls[] = {"K1AB", "DL1XYZ", "F5ABC", "OE1ABC", "W1AW", "KH6XX", "N2YY"};
    for (int i = 0; i < 30; ++i) {
        int mode = 1 + i % 15;
        int band = 1 + i % 15;
        TQsoRecord* q = MakeQso(calls[i % 7], static_cast<TDayNumber>(Day(2024, 1, 1) + i), 3600 * (i % 24) + 61 * i % 3600,
                                band, mode);
        if (i % 3 == 0)
            q->Exchange = "0" + std::to_string(i);
        if (i % 4 == 0)
            q->Grid = "FN31pr";
        if (i % 5 == 0)
            q->Iota = "EU005";
        if (i % 2 == 0)
            q->Flags |= qfQslReceived;
        if (i % 6 == 1)
            q->QslSentDate = static_cast<TDayNumber>(Day(2024, 3, 1) + i);
        if (i % 7 == 6) {  // N2YY: a state and a county
            q->State = 2;
            q->County = 37;
            LookupCall(*q);  // a Californian station is in zone 3
        }
        if (i % 3 == 1)
            SetQsoNote(*q, "note " + std::to_string(i) + " with a bar|and more text, long enough for a line of its own: " + std::string(40, '-'));
        if (i == 29)
            q->RstRcvd = 0;
        log.InsertQso(q);
    }
    log.SetCallNote("K1AB", "John, Boston");
    log.SetCallNote("W1AW", "Hiram|Newington");
}

std::vector<const TQsoRecord*> all(const TQsoData& log) { return {log.Qsos().begin(), log.Qsos().end()}; }

} // namespace

TEST_F(ExchangeTest, AdifRecordItemsAndLayout)
{
    TQsoRecord q;
    q.Call = "K1AB";
    q.Date = Day(2024, 1, 2);
    q.Time = 14 * 3600 + 5 * 60 + 7;
    q.Band = 12;
    q.Mode = mdPSK3;
    q.RstSent = 599;
    q.RstRcvd = 579;
    q.Zone = 5;
    q.Iota = "EU005";
    std::string out;
    ExportADIFRecord(q, "", nullptr, out);
    EXPECT_EQ(out.rfind("<qso_date:8:d>20240102 <time_on:6>140507 <call:4>K1AB <mode:3>PSK\r\n<submode:5>PSK31", 0), 0u)
        << out;
    EXPECT_NE(out.find("<band:5>1.25m"), std::string::npos);
    EXPECT_NE(out.find("<iota:6>EU-005"), std::string::npos);
    EXPECT_NE(out.find("<qsl_rcvd:1>N"), std::string::npos);
    EXPECT_EQ(out.find("qsl_sent"), std::string::npos);
    EXPECT_EQ(out.find("dxcc"), std::string::npos);
    EXPECT_EQ(out.substr(out.size() - 8), "N<eor>\r\n") << out;

    q.Band = SatBand;
    out.clear();
    ExportADIFRecord(q, "", nullptr, out);
    EXPECT_NE(out.find("<prop_mode:3>SAT"), std::string::npos);
    EXPECT_EQ(out.find("<band:"), std::string::npos);
}

TEST_F(ExchangeTest, EveryAdifModeAndBandWrittenIsOneAdifDefines)
{
    const std::set<std::string> adifModes = {"AM", "ATV", "CLO", "CW", "FM", "PKT", "PSK", "PAC", "RTTY", "SSB", "SSTV", "TOR"};
    const std::set<std::string> adifBands = {"160m", "80m", "40m", "30m", "20m", "17m", "15m",
                                             "12m", "10m", "6m", "2m", "1.25m", "70cm", "23cm"};
    for (int m = 1; m <= ModeCount; ++m) {
        TAdifMode a = ModeToAdif(m);
        EXPECT_TRUE(adifModes.count(a.Mode)) << m;
        EXPECT_EQ(AdifModeToMode(a.Mode, a.Submode) == m || a.NeedsOwnName, true) << m;
    }
    for (int b = 1; b < SatBand; ++b)
        EXPECT_TRUE(adifBands.count(AdifBandName(b))) << b;
}

TEST_F(ExchangeTest, ExportThenImportRoundTripsEveryExportedField)
{
    TQsoData source;
    fillVariedLog(source);
    const std::string file = dir.file("out.adi");
    TExportResult r = ExportQsos(file, AdifFilter(), true, all(source), source.Notes);
    ASSERT_TRUE(r.Written) << r.Error;
    EXPECT_EQ(r.Qsos, 30);

    const std::string text = ReadAll(file);
    std::istringstream lines(text);
    std::string line;
    std::getline(lines, line);
    ASSERT_GE(line.size(), 6u);
    EXPECT_EQ(line.substr(line.size() - 6), "<eoh>\r");
    int longLines = 0;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.size() >= 80) {
            // Only a single item may make a line that long.
            EXPECT_EQ(line.find("> <"), std::string::npos) << line;
            ++longLines;
        }
    }
    EXPECT_GT(longLines, 0);  // the long notes did make some

    TQsoData back;
    TImportResult in = Import(back, text);
    ASSERT_EQ(back.Count(), 30) << in.Summary;
    EXPECT_EQ(in.Count.ErrorItems, 0) << in.Summary;
    for (int i = 0; i < 30; ++i) {
        const TQsoRecord& a = *source.At(i);
        const TQsoRecord& b = *back.At(i);
        SCOPED_TRACE(a.Call.str() + " " + std::to_string(i));
        ExpectSameContact(b, a);
        EXPECT_EQ(b.Zone, a.Zone);
        EXPECT_EQ(b.Country, a.Country);
        EXPECT_EQ(b.QslSentDate, a.QslSentDate);
        EXPECT_EQ(b.HasFlag(qfQslReceived), a.HasFlag(qfQslReceived));
    }
    EXPECT_EQ(back.GetCallNote("K1AB"), "John, Boston");
    EXPECT_EQ(back.GetCallNote("W1AW"), "Hiram|Newington");
}

TEST_F(ExchangeTest, TranslationTableWritesAndReadsDxccCodes)
{
    std::filesystem::create_directories(dir.file("IMPORT"));
    WriteAll(dir.file("IMPORT/ADIF.PMP"), "K,291\r\nDL,230 \r\nF,227\r\nF,999\r\nno comma\r\n");
    TQsoData source;
    source.InsertQso(MakeQso("K1AB", Day(2024, 1, 2), 3600, 5, mdCW));
    TExportResult r = ExportQsos(dir.file("t.adi"), AdifFilter(), true, all(source), source.Notes);
    ASSERT_TRUE(r.Written);
    EXPECT_NE(ReadAll(dir.file("t.adi")).find("<dxcc:3>291"), std::string::npos);

    TQsoData back;
    TImportResult in = Import(back, "<eoh><call:4>K1AB<qso_date:8>20240102<band:3>20m<mode:2>CW<dxcc:3>230<eor>"
                                    "<call:4>K1AC<qso_date:8>20240102<band:3>20m<mode:2>CW<dxcc:3>291<eor>");
    ASSERT_EQ(back.Count(), 2);
    EXPECT_EQ(in.Count.CountryExceptions, 1);  // the file said DL for K1AB
    EXPECT_EQ(NoteText(back.At(0)->Note), "Error:OtherPFX=DL");
    EXPECT_EQ(NoteText(back.At(1)->Note), "");
}

TEST_F(ExchangeTest, WriteFailureIsReportedAlone)
{
    TQsoData log;
    fillVariedLog(log);
    SetCurrentLog(nullptr);
    auto owned = std::make_unique<TQsoData>();
    owned->InsertQso(MakeQso("K1AB", Day(2024, 1, 2), 3600, 5, mdCW));
    SetCurrentLog(std::move(owned));
    EXPECT_FALSE(ExportFile(dir.file("missing-folder/x.adi"), AdifFilter(), true));
    ASSERT_EQ(messages.texts().size(), 1u);
    EXPECT_EQ(messages.texts()[0].rfind("Error writing", 0), 0u);
    EXPECT_TRUE(ExportFile(dir.file("x.adi"), AdifFilter(), true));
    EXPECT_EQ(messages.texts().size(), 2u);
    FreeCurrentLog();
}

// 100,000 QSOs as another logging program writes them: upper-case tags, one field a line,
// application-defined fields, UTF-8 names, submodes.
TEST_F(ExchangeTest, LargeFileOfAnotherProgramImportsWithoutSpuriousErrors)
{
    const char* calls[] = {"K1", "W1", "N1", "DL", "F", "OE"};
    const char* modes[][2] = {{"SSB", "USB"}, {"CW", ""}, {"RTTY", ""}, {"PSK", "PSK31"}, {"FM", ""}, {"SSB", "LSB"}};
    const char* bands[][2] = {{"20M", "14.2"}, {"40M", "7.04"}, {"80M", "3.55"}, {"10M", "28.4"}, {"2M", "144.3"}, {"160M", "1.84"}};
    std::string f = "Generated by OtherLog 5.2\r\n<ADIF_VER:5>3.1.4\r\n<PROGRAMID:8>OtherLog\r\n<EOH>\r\n";
    auto field = [&](const std::string& n, const std::string& v) {
        f += "<" + n + ":" + std::to_string(v.size()) + ">" + v + "\r\n";
    };
    const int n = 100000;
    for (int i = 0; i < n; ++i) {
        std::string call = std::string(calls[i % 6]) + std::to_string(i % 10) + char('A' + i % 26) +
                           char('A' + (i / 26) % 26) + char('A' + (i / 676) % 26);
        field("CALL", call);
        char date[16];
        std::snprintf(date, sizeof date, "%04d%02d%02d", 2000 + i % 24, 1 + i % 12, 1 + i % 28);
        field("QSO_DATE", date);
        char time[16];
        std::snprintf(time, sizeof time, "%02d%02d%02d", i % 24, i % 60, (i / 7) % 60);
        field("TIME_ON", time);
        field("TIME_OFF", time);
        field("BAND", bands[i % 6][0]);
        field("FREQ", bands[i % 6][1]);
        field("MODE", modes[(i / 6) % 6][0]);
        if (modes[(i / 6) % 6][1][0])
            field("SUBMODE", modes[(i / 6) % 6][1]);
        bool rs = std::string(modes[(i / 6) % 6][0]) == "SSB" || std::string(modes[(i / 6) % 6][0]) == "FM";
        field("RST_SENT", rs ? "59" : "599");
        field("RST_RCVD", rs ? "57" : "579");
        field("NAME", i % 3 ? "J\xC3\xBCrgen" : "Fran\xC3\xA7ois");
        field("QTH", "M\xC3\xBCnchen");
        field("APP_OTHERLOG_ID", std::to_string(i));
        field("STATION_CALLSIGN", "DL0ABC");
        field("MY_GRIDSQUARE", "JN48");
        field("TX_PWR", "100");
        field("QSL_SENT", "N");
        field("QSL_RCVD", i % 5 ? "N" : "Y");
        field("GRIDSQUARE", "JN58td");
        f += "<EOR>\r\n\r\n";
    }
    TQsoData log;
    TImportResult r = Import(log, f);
    ASSERT_EQ(log.Count(), n) << r.Summary;
    EXPECT_EQ(r.Count.ErrorItems, 0);
    EXPECT_EQ(r.Count.SimpleErrors, 0);
    int withNote = 0;
    for (const TQsoRecord* q : log.Qsos())
        withNote += q->Note != nullptr && NoteText(q->Note).rfind("Error:", 0) == 0;
    EXPECT_EQ(withNote, 0);
    EXPECT_EQ(log.GetCallNote("K10AAA"), "Fran\xE7ois|M\xFCnchen");  // UTF-8 into the program's character set
}

// Every 8-bit character goes out as UTF-8 and comes back as the byte it was (the five bytes
// Windows-1252 leaves without a character too); UTF-8 kept in a text passes through unchanged.
TEST(Utf8Text, EveryByteRoundTripsAndKeptUtf8PassesThrough)
{
    for (int b = 0x80; b <= 0xFF; ++b) {
        const std::string byte(1, static_cast<char>(b));
        const std::string utf8 = Win1252ToUtf8(byte);
        std::string back;
        ASSERT_EQ(Utf8ToWin1252(utf8, back), TUtf8Result::Converted) << b;
        EXPECT_EQ(back, byte) << b;
    }
    EXPECT_EQ(Win1252ToUtf8("\x80 \xE9t\xE9"), "\xE2\x82\xAC \xC3\xA9t\xC3\xA9");
    EXPECT_EQ(Win1252ToUtf8("M\xFCller \xD0\x9C\xD0\xB8\xD1\x80"), "M\xC3\xBCller \xD0\x9C\xD0\xB8\xD1\x80");
    EXPECT_EQ(Win1252ToUtf8("plain"), "plain");
    std::string lines;
    EXPECT_TRUE(Utf8LinesToWin1252("M\xC3\xBCller|\xD0\x9C\xD0\xB8\xD1\x80|caf\xE9", lines));
    EXPECT_EQ(lines, "M\xFCller|\xD0\x9C\xD0\xB8\xD1\x80|caf\xE9");
    EXPECT_FALSE(Utf8LinesToWin1252("M\xC3\xBCller|", lines));
    EXPECT_EQ(lines, "M\xFCller|");
}
