// Digests of everything a log load, the call lookup and an ADIF import produce, to show that a
// change to their speed changed none of their results: run it on two builds and compare the
// lines. Each line is a section, its item count and a 64-bit hash of every field of every item
// (every QSO with its note and derived prefix, both orders, the callsign notes, the bytes of the
// written file, the lookups, the import summaries). With a folder argument every section is also
// written there as text, so that two runs can be compared line by line with diff.
//
//   build-bench/bench/log_digest [dump-folder]
#include "bench/adif_field.h"
#include "exchange/import_driver.h"
#include "logbook/call_lookup.h"
#include "logbook/config_record.h"
#include "logbook/country_db.h"
#include "logbook/log_file.h"
#include "logbook/qso_data.h"
#include "logbook/qso_lookup.h"
#include "logbook/base/record_bytes.h"
#include "platform/message_dlg.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <random>
#include <string>
#include <vector>

using namespace korval;
namespace fs = std::filesystem;

namespace {

std::string g_dumpDir;

// One section: a running FNV-1a hash of its text, the text itself when dumping.
class TSection {
public:
    explicit TSection(std::string name) : name_(std::move(name))
    {
        if (!g_dumpDir.empty())
            out_.open(g_dumpDir + "/" + name_ + ".txt", std::ios::binary);
    }
    ~TSection()
    {
        std::printf("%-28s %10llu  %016llx\n", name_.c_str(), static_cast<unsigned long long>(items_),
                    static_cast<unsigned long long>(hash_));
        std::fflush(stdout);
    }
    void Line(const std::string& s)
    {
        for (unsigned char c : s)
            hash_ = (hash_ ^ c) * 0x100000001b3ull;
        hash_ = (hash_ ^ '\n') * 0x100000001b3ull;
        ++items_;
        if (out_)
            out_ << s << '\n';
    }

private:
    std::string name_;
    std::uint64_t hash_ = 0xcbf29ce484222325ull;
    std::uint64_t items_ = 0;
    std::ofstream out_;
};

std::string Hex(std::string_view s)
{
    static const char* digits = "0123456789abcdef";
    std::string r;
    for (unsigned char c : s) {
        if (c >= 0x20 && c < 0x7f && c != '%') {
            r += static_cast<char>(c);
        } else {
            r += '%';
            r += digits[c >> 4];
            r += digits[c & 15];
        }
    }
    return r;
}

std::string QsoLine(const TQsoRecord& q)
{
    std::string s;
    auto add = [&s](const std::string& v) {
        s += v;
        s += '|';
    };
    auto num = [&add](long long v) { add(std::to_string(v)); };
    add(Hex(q.Call.view()));
    num(q.Time);
    num(q.Date);
    num(q.Band);
    num(q.Mode);
    num(q.AwardFlags);
    num(q.RstRcvd);
    num(q.RstSent);
    num(q.State);
    add(Hex(q.Iota.view()));
    num(q.County);
    add(Hex(q.Grid.view()));
    num(q.QslSentDate);
    num(q.QslRoute);
    num(q.SatMode);
    num(q.Group);
    num(q.SeqPrtNr);
    add(Hex(q.Exchange.view()));
    num(q.Country);
    num(q.Zone);
    num(q.Flags);
    add(Hex(q.CustAwdId.view()));
    add(Hex(q.CustAwdVal.view()));
    add(Hex(q.WpxPrefix.view()));
    add(q.Note ? Hex(NoteText(q.Note)) : std::string("-"));
    return s;
}

void DigestLog(const std::string& name, const TQsoData& log)
{
    {
        TSection s(name + ".qsos");
        for (const TQsoRecord* q : log.Qsos())
            s.Line(QsoLine(*q));
    }
    {
        // Records that compare equal in every key may stand in either order: the keys only.
        TSection s(name + ".by-call");
        for (const TQsoRecord* q : log.ByCall().Items())
            s.Line(Hex(q->Call.view()) + " " + std::to_string(q->Date) + " " + std::to_string(q->Time) + " " +
                   std::to_string(q->Band) + " " + std::to_string(q->Mode));
    }
    {
        TSection s(name + ".call-notes");
        for (int i = 0; i < log.Notes.Count(); ++i)
            s.Line(Hex(log.Notes.CallAt(i)) + " " + Hex(log.Notes.TextAt(i)));
    }
    {
        TSection s(name + ".header");
        s.Line(std::to_string(log.Header) + " " + std::to_string(log.MaxSeqPrtNr) + " " +
               std::to_string(log.Count()) + " " + std::to_string(log.Swl().size()) + " " +
               std::to_string(log.GroupNames.size()) + " " + std::to_string(log.Selections.size()));
    }
}

void DigestFile(const std::string& name, const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    TSection s(name);
    // In lines of 4096 bytes, so that a dump shows where two files part.
    for (std::size_t i = 0; i < bytes.size(); i += 4096)
        s.Line(Hex(std::string_view(bytes).substr(i, 4096)));
}

// ---- the log ----

// Calls of every kind the lookup tells apart: prefixes of the database with digits and
// suffixes, exception calls, portable and foreign forms, lower case, nonsense.
std::vector<std::string> g_prefixes, g_exceptions;

void CollectCountryKeys()
{
    for (std::int32_t i = 0; i < CountryDb.Prefixes->Count(); ++i)
        g_prefixes.push_back(GetShortStr(CountryDb.Prefixes->Record(i), 0, 4));
    for (std::int32_t i = 0; i < CountryDb.ExceptionCalls->Count(); ++i)
        g_exceptions.push_back(GetShortStr(CountryDb.ExceptionCalls->Record(i), 0, 12));
}

std::string AnyCall(std::mt19937& rng)
{
    auto letters = [&rng](int n) {
        std::string s;
        for (int i = 0; i < n; ++i)
            s += static_cast<char>('A' + rng() % 26);
        return s;
    };
    const unsigned kind = rng() % 100;
    if (kind < 6)
        return g_exceptions[rng() % g_exceptions.size()];
    if (kind < 8)  // nonsense and edge forms
        return std::vector<std::string>{"", "/", "//", "0", "Q", "1A", "A1", "/P", "DL/", "/DL1ABC", "DL1ABC/",
                                        "DL1ABC/P/M", "EA8/DL1ABC/P", "K1ABC/KH6", "KH6/K1ABC/7", "VP2E/W1AW",
                                        "3D2/R", "dl1abc", "W1AW/QRP", "DL1ABC/MM", "F/DL1ABC/AM",
                                        "1234567890AB"}[rng() % 22];
    std::string call = g_prefixes[rng() % g_prefixes.size()];
    if (call.empty() || call.back() < '0' || call.back() > '9')
        call += static_cast<char>('0' + rng() % 10);
    call += letters(1 + static_cast<int>(rng() % 3));
    if (kind < 18)
        call += "/P";
    else if (kind < 20)
        call += "/M";
    else if (kind < 22)
        call += "/QRP";
    else if (kind < 27)
        call.append(1, '/').append(1, static_cast<char>('0' + rng() % 10));
    else if (kind < 32)
        call.insert(0, g_prefixes[rng() % g_prefixes.size()] + "/");
    else if (kind < 33)
        call += "/" + g_prefixes[rng() % g_prefixes.size()];
    return call.substr(0, 12);
}

// A log of n QSOs over eighty years (the database's dated mappings and exceptions), US states
// on some, notes, callsign notes, groups.
std::unique_ptr<TQsoData> GenerateLog(const std::string& fileName, int n, unsigned seed)
{
    std::mt19937 rng(seed);
    auto log = std::make_unique<TQsoData>(fileName);
    log->Header = 12345;
    log->GroupNames = {"Contest", "Holiday"};
    log->BeginBulk(false, static_cast<std::size_t>(n));
    static const std::uint8_t modes[] = {14, 14, 14, 4, 4, 13, 10, 5, 1, 15};
    for (int i = 0; i < n; ++i) {
        auto* q = new TQsoRecord();
        q->Call.assign(AnyCall(rng));
        q->Date = static_cast<std::uint16_t>(16000 + rng() % 30000);
        q->Time = static_cast<std::int32_t>(rng() % 86400);
        q->Band = static_cast<std::uint8_t>(1 + rng() % 15);
        q->Mode = modes[rng() % std::size(modes)];
        q->RstRcvd = q->RstSent = q->Mode == 14 ? 59 : 599;
        q->State = rng() % 4 == 0 ? static_cast<std::uint8_t>(rng() % 52) : 0;
        q->County = q->State ? static_cast<std::uint16_t>(rng() % 200) : 0;
        q->SatMode = static_cast<std::uint8_t>(rng() % 3);
        q->Group = static_cast<std::uint8_t>(rng() % 3);
        q->SeqPrtNr = static_cast<std::uint16_t>(rng() % 50);
        q->AwardFlags = rng() % 7 == 0 ? static_cast<std::uint32_t>(rng()) & 0x7FFFFFFFu : 0;
        q->Flags = static_cast<std::uint8_t>(rng() % 64);
        if (rng() % 9 == 0)
            q->Iota.assign("EU" + std::to_string(100 + rng() % 800));
        if (rng() % 5 == 0)
            q->Grid.assign(std::string("JO") + static_cast<char>('0' + rng() % 10) + static_cast<char>('0' + rng() % 10));
        if (rng() % 11 == 0)
            q->Exchange.assign(std::to_string(rng() % 1000));
        if (rng() % 5 == 0)
            SetQsoNote(*q, "Name " + std::string(1, static_cast<char>('A' + rng() % 26)) + "ob, rig " +
                               std::to_string(rng() % 1000) + " W\xe9");
        log->BulkAdd(q);
    }
    log->EndBulk(false);
    for (int i = 0; i < n / 50; ++i)
        log->Notes.Append(AnyCall(rng), "note " + std::to_string(i));
    log->Notes.EndBulk();
    return log;
}

void LogSections(const std::string& dir)
{
    const std::string file = dir + "/SAVE/DIGEST.KVL";
    {
        auto log = GenerateLog(file, 1000000, 4711);
        if (!WriteLogFile(*log, true)) {
            std::fprintf(stderr, "cannot write %s\n", file.c_str());
            std::exit(1);
        }
    }
    DigestFile("log.written-file", file);
    auto log = std::make_unique<TQsoData>();
    if (!LoadLogFileInto(*log, file, true, dpAbort)) {
        std::fprintf(stderr, "cannot load %s\n", file.c_str());
        std::exit(1);
    }
    DigestLog("log.loaded", *log);
    // Written again from the loaded log, with the lookups' results in it.
    const std::string again = dir + "/SAVE/DIGEST2.KVL";
    log->FileName = again;
    WriteLogFile(*log, true);
    DigestFile("log.rewritten-file", again);
    // Merged into it: a log of its own first QSOs (duplicates, skipped) and one of new QSOs.
    for (unsigned seed : {4711u, 815u}) {
        const std::string partFile = dir + "/SAVE/PART" + std::to_string(seed) + ".KVL";
        auto part = GenerateLog(partFile, 2000, seed);
        WriteLogFile(*part, true);
        if (!LoadLogFileInto(*log, partFile, false, dpSkip))
            std::printf("merge reported failure\n");
    }
    DigestLog("log.merged", *log);
}

// ---- lookups ----

void LookupSections(const std::string& name)
{
    std::mt19937 rng(20240323);
    TSection s(name);
    for (int i = 0; i < 1000000; ++i) {
        std::string call = AnyCall(rng);
        if (rng() % 50 == 0)
            for (char& c : call)
                if (c >= 'A' && c <= 'Z')
                    c = static_cast<char>(c + 32);
        const TDayNumber date = static_cast<TDayNumber>(rng() % 8 == 0 ? rng() % 65536 : 16000 + rng() % 30000);
        std::uint8_t state = rng() % 3 == 0 ? static_cast<std::uint8_t>(rng() % 60) : 0;
        const std::uint8_t stateIn = state;
        std::uint16_t country = 0;
        std::uint8_t zone = 0;
        LookupCall(call, date, state, country, zone);
        s.Line(Hex(call) + " " + std::to_string(date) + " " + std::to_string(stateIn) + " -> " +
               std::to_string(country) + " " + std::to_string(zone) + " " + std::to_string(state) + " " +
               Hex(CalcWPXPrefix(call)));
    }
}

// ---- ADIF ----


// Counties as other programs spell them: exactly, in upper case, with "County", "Saint" for
// "St.", without blanks and punctuation, and names no state has.
std::vector<std::pair<std::string, std::string>> CountySpellings()
{
    std::vector<std::pair<std::string, std::string>> out;
    const TTwoIndex& ct = *CountryDb.Counties;
    for (std::int32_t i = 0; i < ct.Count(); i += 7) {
        TCountyRecord r = TCountyRecord::FromBytes(ct.Record(i));
        if (r.Key.size() != 5)
            continue;
        const std::string st = r.Key.substr(0, 2);
        out.emplace_back(st, r.Name);
        std::string up = r.Name;
        for (char& c : up)
            c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        out.emplace_back(st, up + " COUNTY");
        std::string bare;
        for (char c : r.Name)
            if (std::isalnum(static_cast<unsigned char>(c)))
                bare += c;
        out.emplace_back(st, bare);
        if (r.Name.rfind("St. ", 0) == 0)
            out.emplace_back(st, "Saint " + r.Name.substr(4));
        out.emplace_back(st, r.Name + "x");
    }
    return out;
}

std::string GenerateAdif(int n, unsigned seed)
{
    std::mt19937 rng(seed);
    const auto counties = CountySpellings();
    const char* bands[][2] = {{"20m", "14.025"}, {"40M", "7010"}, {"80m", "3550000"}, {"15m", "21.200"},
                              {"10m", "28.4"}, {"160m", "1.830"}, {"17m", "18.100"}, {"2m", "144.300"},
                              {"70cm", "432.1"}, {"60m", "5.3515"}, {"4m", "70.2"}, {"", "14.07"},
                              {"30m", ""}, {"xx", "abc"}, {"6m", "50.313"}, {"13cm", "2400.1"}};
    const char* modes[][2] = {{"CW", ""}, {"SSB", ""}, {"SSB", "USB"}, {"FT8", ""}, {"MFSK", "FT4"},
                              {"RTTY", ""}, {"FM", ""}, {"PSK", "PSK31"}, {"PSK", "PSK63"}, {"USB", ""},
                              {"AM", ""}, {"JT65", ""}, {"OLIVIA", ""}, {"BOGUS", ""}, {"DIGITALVOICE", ""}};
    const char* reports[] = {"59", "599", "5NN", "-10", "+05", "57", "339", "", "59+20dB", "1"};
    const char* states[] = {"MA", "CA", "TX", "ON", "HI", "AK", "NY", "XX", "Se", "FL"};
    std::string f = "Generated for the digest <adif_ver:5>3.1.4 <programid:6>digest <eoh>\n";
    char buf[32];
    for (int i = 0; i < n; ++i) {
        std::string call = AnyCall(rng);
        if (rng() % 20 == 0)
            for (char& c : call)
                if (c >= 'A' && c <= 'Z')
                    c = static_cast<char>(c + 32);
        if (rng() % 200 == 0)
            call = " " + call + "-P";
        if (rng() % 1000 != 0)
            bench::AdifField(f, rng() % 2 ? "call" : "CALL", call);
        const int day = static_cast<int>(rng() % 12000);
        std::snprintf(buf, sizeof buf, "%04d%02d%02d", 1990 + day / 336, 1 + (day / 28) % 12, 1 + day % 28);
        bench::AdifField(f, "qso_date", rng() % 500 == 0 ? std::string("19991332") : std::string(buf));
        const int second = static_cast<int>(rng() % 86400);
        std::snprintf(buf, sizeof buf, "%02d%02d%02d", second / 3600, (second / 60) % 60, second % 60);
        bench::AdifField(f, "time_on", rng() % 3 ? std::string(buf) : std::string(buf, 4));
        const auto& b = bands[rng() % std::size(bands)];
        if (b[0][0])
            bench::AdifField(f, "band", b[0]);
        if (b[1][0])
            bench::AdifField(f, "freq", b[1]);
        const auto& m = modes[rng() % std::size(modes)];
        bench::AdifField(f, "mode", m[0]);
        if (m[1][0])
            bench::AdifField(f, "submode", m[1]);
        bench::AdifField(f, "rst_sent", reports[rng() % std::size(reports)]);
        bench::AdifField(f, "rst_rcvd", reports[rng() % std::size(reports)]);
        const unsigned extra = rng();
        if (extra % 4 == 0)
            bench::AdifField(f, "name", extra % 3 ? "Name" + std::to_string(i % 1000) : std::string("J\xc3\xb6rg \xe2\x82\xac"));
        if (extra % 7 == 0)
            bench::AdifField(f, "qth", "Town " + std::to_string(i % 333));
        if (extra % 9 == 0)
            bench::AdifField(f, "comment", "Nice QSO\r\nsecond line " + std::to_string(i % 50));
        if (extra % 11 == 0)
            bench::AdifField(f, "gridsquare", extra % 2 ? "JO62qm" : "FN42ab12");
        if (extra % 13 == 0)
            bench::AdifField(f, "iota", extra % 2 ? "EU-005" : "NA-1");
        if (extra % 5 == 0) {
            const auto& c = counties[rng() % counties.size()];
            if (extra % 3 == 0) {
                bench::AdifField(f, "state", c.first);
                bench::AdifField(f, "cnty", c.second);
            } else {
                bench::AdifField(f, "cnty", c.first + "," + c.second);
            }
        } else if (extra % 17 == 0) {
            bench::AdifField(f, "state", states[rng() % std::size(states)]);
        }
        if (extra % 19 == 0)
            bench::AdifField(f, "dxcc", std::to_string(rng() % 300));
        if (extra % 23 == 0)
            bench::AdifField(f, "cqz", std::to_string(rng() % 45));
        if (extra % 6 == 0)
            bench::AdifField(f, "qsl_rcvd", "Y");
        if (extra % 29 == 0)
            bench::AdifField(f, "qslsdate", "20010203");
        if (extra % 31 == 0)
            bench::AdifField(f, "srx", std::to_string(rng() % 2000));
        if (extra % 37 == 0)
            bench::AdifField(f, "stx", std::to_string(rng() % 2000));
        if (extra % 41 == 0)
            bench::AdifField(f, "prop_mode", "SAT");
        if (extra % 43 == 0)
            bench::AdifField(f, "ten_ten", std::to_string(rng() % 90000));
        if (extra % 47 == 0)
            bench::AdifField(f, "arrl_sect", "EMA");
        if (extra % 53 == 0)
            bench::AdifField(f, "notes", "line one\nline two");
        if (extra % 59 == 0)
            bench::AdifField(f, "app_korval_mode", "CW");
        if (extra % 61 == 0)
            bench::AdifField(f, "qsl_via", "W1AW");
        if (extra % 67 == 0)
            f += "<unknown_tag:3>abc <bad tag> ";
        f += rng() % 2 ? "<eor>\n" : "<EOR>\r\n";
    }
    return f;
}

// The records of an ADIF file (after its header) in another order: a log exported by call.
std::string Shuffled(const std::string& adif, unsigned seed)
{
    std::size_t eoh = adif.find("<eoh>");
    std::size_t start = eoh + 5;
    std::vector<std::string> records;
    while (start < adif.size()) {
        std::size_t a = adif.find("<eor>", start), b = adif.find("<EOR>", start);
        std::size_t end = std::min(a, b);
        if (end == std::string::npos)
            break;
        records.push_back(adif.substr(start, end + 5 - start));
        start = end + 5;
    }
    std::shuffle(records.begin(), records.end(), std::mt19937(seed));
    std::string out = adif.substr(0, eoh + 5);
    for (const auto& r : records)
        out += r;
    return out;
}

TFilterRecord AdifFilter(bool filterFreq)
{
    TFilterRecord r;
    r.Id = "ADIF";
    r.FilterFreq = filterFreq;
    return r;
}

void ImportSection(const std::string& name, TQsoData& log, const std::string& bytes, bool filterFreq)
{
    TImportResult r = ImportData(log, bytes, name + ".adi", AdifFilter(filterFreq), true,
                                 TImportSettings::FromConfig());
    {
        TSection s(name + ".summary");
        s.Line(Hex(r.Summary));
        s.Line(std::to_string(r.Cancelled) + " " + std::to_string(r.HeaderMissing) + " " +
               std::to_string(r.Stopped) + " " + std::to_string(r.Count.Added) + " " +
               std::to_string(r.Count.ErrorItems) + " " + std::to_string(r.Count.Kept) + " " +
               std::to_string(CountryDb.ExceptionCalls->Count()));
    }
    DigestLog(name, log);
}

void AdifSections()
{
    Config.SetImportConflictAction(1);
    const std::string adif = GenerateAdif(1000000, 99);
    {
        TQsoData log;
        ImportSection("adif.generated", log, adif, false);
    }
    {
        TQsoData log;
        ImportSection("adif.shuffled", log, Shuffled(adif, 7), true);
    }
    // The logs of other programs, each on its own and then all again into the same log
    // (every QSO a duplicate, ignored).
    // The shared data folder lies beside the project (or where KORVAL_SHARED_DATA names it); a
    // machine without it digests the generated files only.
    std::vector<fs::path> files;
    const char* shared = std::getenv("KORVAL_SHARED_DATA");
    std::error_code ec;
    for (fs::directory_iterator it(fs::path(shared ? shared : "../shared/data") / "adif", ec), end; !ec && it != end;
         it.increment(ec))
        if (it->path().extension() == ".adi")
            files.push_back(it->path());
    std::sort(files.begin(), files.end());
    TQsoData all;
    for (const auto& p : files) {
        std::ifstream in(p, std::ios::binary);
        std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        TQsoData log;
        ImportSection("adif." + p.stem().string(), log, bytes, false);
        ImportData(all, bytes, p.filename().string(), AdifFilter(false), true, TImportSettings::FromConfig());
    }
    for (const auto& p : files) {
        std::ifstream in(p, std::ios::binary);
        std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        ImportSection("adif.again-" + p.stem().string(), all, bytes, false);
    }
    // The imported country and zone taken over: exception calls are added as the import runs,
    // and the later lookups must see them.
    Config.SetImportConflictAction(2);
    {
        TQsoData log;
        ImportSection("adif.take-imported", log, GenerateAdif(200000, 5), false);
    }
    Config.SetImportConflictAction(1);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc > 1) {
        g_dumpDir = argv[1];
        fs::create_directories(g_dumpDir);
    }
    char tmpl[] = "/tmp/korval-digest-XXXXXX";
    const std::string home = mkdtemp(tmpl);
    setenv("KORVAL_HOME", home.c_str(), 1);
    fs::create_directories(home + "/SAVE");
    SetMessageHandler([](const TMessageRequest&) { return int(mrOk); });
    std::string reason;
    if (!LoadCountryFileFrom(std::string(KORVAL_SOURCE_DIR) + "/data/SAVE/KORVAL.CTY", true, &reason)) {
        std::fprintf(stderr, "country database: %s\n", reason.c_str());
        return 1;
    }
    InstallCountryLookup();
    CollectCountryKeys();
    LookupSections("lookup.calls");
    LogSections(home);
    AdifSections();
    LookupSections("lookup.after-import");  // with the exception calls the last import added
    fs::remove_all(home);
    return 0;
}
