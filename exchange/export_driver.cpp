#include "exchange/export_driver.h"

#include "exchange/adif_kept_values.h"
#include "exchange/adif_modes.h"
#include "exchange/translation_table.h"
#include "exchange/utf8_text.h"
#include "logbook/bands_modes.h"
#include "logbook/call_lookup.h"
#include "logbook/config_record.h"
#include "logbook/country_db.h"
#include "logbook/base/day_number.h"
#include "logbook/base/decimal_text.h"
#include "logbook/progress.h"
#include "logbook/qso_data.h"
#include "logbook/base/string_utils.h"
#include "platform/atomic_file.h"
#include "platform/message_dlg.h"

#include <filesystem>
#include <unordered_map>

namespace korval {

namespace {

constexpr std::size_t kLineLimit = 80;

class TAdifLine {
public:
    explicit TAdifLine(std::string& out) : out_(out) {}
    // Starts an item of the given width: a new line when it would not fit below 80 characters.
    void Place(std::size_t width)
    {
        std::size_t needed = lineLen_ + (hasItem_ ? 1 : 0) + width;
        if (hasItem_ && needed >= kLineLimit) {
            out_ += "\r\n";
            lineLen_ = 0;
            hasItem_ = false;
        }
        if (hasItem_) {
            out_ += ' ';
            ++lineLen_;
        }
        lineLen_ += width;
        hasItem_ = true;
    }
    void String(std::string_view tag, std::string_view value)
    {
        std::string len = std::to_string(value.size());
        Place(tag.size() + len.size() + value.size() + 3);
        out_ += '<';
        out_.append(tag);
        out_ += ':';
        out_ += len;
        out_ += '>';
        out_.append(value);
    }
    // Free text: UTF-8 in the file, its length in bytes.
    void Text(std::string_view tag, std::string_view value)
    {
        for (char c : value)
            if (static_cast<unsigned char>(c) >= 0x80) {
                String(tag, Win1252ToUtf8(value));
                return;
            }
        String(tag, value);
    }
    void Date(std::string_view tag, std::uint16_t day)
    {
        int y, m, d;
        DecodeDayNumber(day, y, m, d);
        char buf[8];
        digits(buf, y, 4);
        digits(buf + 4, m, 2);
        digits(buf + 6, d, 2);
        Place(tag.size() + 14);
        out_ += '<';
        out_.append(tag);
        out_ += ":8:d>";
        out_.append(buf, 8);
    }
    static void digits(char* p, int v, int n)
    {
        for (int i = n - 1; i >= 0; --i) {
            p[i] = static_cast<char>('0' + v % 10);
            v /= 10;
        }
    }
    void Flag(std::string_view tag, bool flag)
    {
        Place(tag.size() + 5);
        out_ += '<';
        out_.append(tag);
        out_ += ":1>";
        out_ += flag ? 'Y' : 'N';
    }
    void End()
    {
        // "<eor>" follows the last item without a blank, on a new line only when it must.
        if (hasItem_ && lineLen_ + 5 >= kLineLimit)
            out_ += "\r\n";
        out_ += "<eor>\r\n";
    }

private:
    std::string& out_;
    std::size_t lineLen_ = 0;
    bool hasItem_ = false;
};

std::string stateAbbrev(std::uint8_t state)
{
    TUsStateRecord s;
    return GetState(state, s) ? s.Abbrev : std::string();
}

std::string hhmmss(std::int32_t seconds)
{
    if (seconds < 0)
        seconds = 0;
    const int parts[3] = {(seconds / 3600) % 100, (seconds / 60) % 60, seconds % 60};
    std::string s(6, '0');
    for (int i = 0; i < 3; ++i) {
        s[static_cast<std::size_t>(2 * i)] = static_cast<char>('0' + parts[i] / 10);
        s[static_cast<std::size_t>(2 * i + 1)] = static_cast<char>('0' + parts[i] % 10);
    }
    return s;
}

TExportViewProvider viewProvider;

} // namespace

std::string ADIFHeader() { return "ADIF export from Korval <adif_ver:5>3.1.4 <programid:6>Korval <eoh>\r\n"; }

void ExportADIFRecord(const TQsoRecord& q, std::string_view callNote, const TTwoIndex* table, std::string& out)
{
    TAdifLine line(out);
    line.Date("qso_date", q.Date);
    line.String("time_on", hhmmss(q.Time));
    line.String("call", q.Call.view());
    if (table && q.Country > 0) {
        std::string code;
        if (TranslatePrefixToCode(*table, CountryPrefix(q.Country), code))
            line.String("dxcc", code);
    }
    TAdifNoteParts note;
    if (q.Note)
        note = SplitAdifNote(NoteText(q.Note));
    const TAdifKeptValues& kept = note.Kept;
    // The kept ADIF mode while the QSO is still in the table mode it was filed under.
    if (!kept.Mode.empty() && AdifModeToMode(kept.Mode, kept.Submode) == q.Mode) {
        line.String("mode", kept.Mode);
        if (!kept.Submode.empty())
            line.String("submode", kept.Submode);
    } else {
        TAdifMode mode = ModeToAdif(q.Mode);
        if (mode.Mode[0])
            line.String("mode", mode.Mode);
        if (mode.Submode[0])
            line.String("submode", mode.Submode);
        if (mode.NeedsOwnName)
            line.String("app_korval_mode", ModeName(q.Mode));
    }
    // The frequency the QSO keeps, while it lies on the QSO's band.
    std::string freq = !note.Freq.empty() ? note.Freq : kept.Freq;
    std::string freqBand;
    if (!freq.empty()) {
        double mhz = 0;
        freqBand = ReadReal(freq, mhz) ? AdifBandOfFrequency(mhz) : "";
        int table = BandOfAdifBand(freqBand);
        if (freqBand.empty() || (q.Band != SatBand && table != q.Band)) {
            freq.clear();
            freqBand.clear();
        }
    }
    // Never an empty or made-up band: a QSO without one of the table's bands gives the ADIF band
    // it keeps or that of its frequency, or no band at all.
    const char* band = AdifBandName(q.Band);
    if (q.Band == SatBand)
        line.String("prop_mode", "SAT");
    if (band[0])
        line.String("band", band);
    else if (!kept.Band.empty() && (q.Band == SatBand || (q.Band == 0 && BandOfAdifBand(kept.Band) == 0)))
        line.String("band", kept.Band);
    else if (!freqBand.empty())
        line.String("band", freqBand);
    if (!freq.empty())
        line.String("freq", freq);
    // A report the record could not hold, while the QSO still has the default it got for it.
    const int defaultReport = ModeReportKind(q.Mode) == 1 ? 599 : 59;
    line.String("rst_sent", !kept.RstSent.empty() && q.RstSent == defaultReport ? kept.RstSent : RstToStr(q.RstSent));
    line.String("rst_rcvd", !kept.RstRcvd.empty() && q.RstRcvd == defaultReport ? kept.RstRcvd : RstToStr(q.RstRcvd));
    if (!q.Exchange.empty())
        line.Text("SRX", q.Exchange.view());
    line.String("cqz", std::to_string(q.Zone));
    if (q.State > 0)
        line.String("state", stateAbbrev(q.State));
    if (q.State > 0 && q.County > 0)
        line.Text("cnty", stateAbbrev(q.State) + "," + CountyName(q.State, q.County));
    if (!q.Grid.empty())
        line.String("gridsquare", q.Grid.view());
    if (!q.Iota.empty()) {
        std::string_view r = q.Iota.view();
        line.String("iota", std::string(r.substr(0, 2)) + "-" + std::string(r.substr(2)));
    }
    line.Flag("qsl_rcvd", q.HasFlag(qfQslReceived));
    if (q.QslSentDate != 0) {
        line.Flag("qsl_sent", true);
        line.Date("qslsdate", q.QslSentDate);
    }
    if (q.CustAwdId.view() == "1010" && !q.CustAwdVal.empty())
        line.String("ten_ten", q.CustAwdVal.view());
    if (!note.Comment.empty())
        line.Text("comment", note.Comment);
    if (!callNote.empty())
        line.Text("notes", callNote);
    line.End();
}

namespace {

class TFixedOut {
public:
    explicit TFixedOut(const TFilterRecord& f) : f_(f), line_(255, ' ') {}
    bool Present(int field) const { return f_.Field(field).Pos != 0; }
    void Put(int field, std::string_view text)
    {
        const TFieldEntry& e = f_.Field(field);
        if (e.Pos == 0 || text.empty())
            return;
        std::size_t pos = e.Pos - 1u;
        std::size_t n = std::min<std::size_t>(text.size(), e.Len == 0 ? 1 : e.Len);
        for (std::size_t i = 0; i < n && pos + i < line_.size(); ++i)
            line_[pos + i] = text[i];
    }
    void PutChar(int field, char c) { Put(field, std::string_view(&c, 1)); }
    int Fmt(int field) const { return f_.Field(field).Fmt; }
    int Len(int field) const { return f_.Field(field).Len; }
    std::string Line() const
    {
        std::string l = line_;
        if (f_.RecLen == 0) {
            l = TrimRightShort(l);
        } else {
            l.resize(f_.RecLen, ' ');
        }
        return l;
    }

private:
    const TFilterRecord& f_;
    std::string line_;
};

std::string fixedDate(std::uint16_t day, int format, char sep)
{
    int y, m, d;
    DecodeDayNumber(day, y, m, d);
    const TDateLayout& lay = DateLayout(format);
    std::string year = lay.YearLen == 2 ? ZeroPadNumber(static_cast<std::uint32_t>(y % 100), 2)
                                        : ZeroPadNumber(static_cast<std::uint32_t>(y), 4);
    std::string month = lay.MonthLen == 3 ? std::string(ShortMonthName(m)) : ZeroPadNumber(static_cast<std::uint32_t>(m), 2);
    std::string dd = ZeroPadNumber(static_cast<std::uint32_t>(d), 2);
    // Every part at the column the reader takes it from; the separators between.
    std::string text(static_cast<std::size_t>(lay.Length), sep);
    if (format == 13)  // "YY\MM\DD"
        text.assign(static_cast<std::size_t>(lay.Length), '\\');
    if (format == 16)  // "YYYY-MM-DD"
        text.assign(static_cast<std::size_t>(lay.Length), '-');
    text.replace(static_cast<std::size_t>(lay.YearPos - 1), year.size(), year);
    text.replace(static_cast<std::size_t>(lay.MonthPos - 1), month.size(), month);
    text.replace(static_cast<std::size_t>(lay.DayPos - 1), dd.size(), dd);
    return text;
}

char yesNo(int fmt, bool yes) { return fmt == 1 ? (yes ? '1' : '0') : (yes ? 'Y' : 'N'); }

double exportKHz(const TQsoRecord& q)
{
    const TBandInfo& b = BandInfo(q.Band);
    double cut = Config.BandCutoff(q.Band);
    if (ModeGroup(q.Mode) == mgPhone && cut >= b.LowKHz && cut + 25 < b.HighKHz)
        return cut + 25;
    return b.LowKHz + 10;
}

} // namespace

void ExportFixedRecord(const TQsoRecord& q, const TFilterRecord& filter, const TTwoIndex* table, std::string& out)
{
    TFixedOut o(filter);
    o.Put(fiCallsign, q.Call.view());
    if (o.Fmt(fiPrefix) == 1 && q.Country > 0) {
        std::string prefix = CountryPrefix(q.Country), code;
        if (table && TranslatePrefixToCode(*table, prefix, code))
            prefix = code;
        o.Put(fiPrefix, prefix);
    }
    if (o.Present(fiDate))
        o.Put(fiDate, fixedDate(q.Date, o.Fmt(fiDate), filter.DateChar ? filter.DateChar : '/'));
    {
        std::string t = SecondsToHHMM(q.Time);
        int fmt = o.Fmt(fiTime);
        if (fmt == tfHHMM)
            t = t.substr(0, 2) + t.substr(3, 2);
        else if (fmt == tfHHMMSS)
            t = t.substr(0, 2) + t.substr(3, 2) + ZeroPadNumber(static_cast<std::uint32_t>(q.Time % 60), 2);
        o.Put(fiTime, t);
    }
    // A band outside the table (a damaged log) leaves the field blank.
    if (o.Present(fiBand) && q.Band <= BandCount) {
        std::string key = BandInfo(q.Band).Key;
        switch (o.Fmt(fiBand)) {
        case bfKey3: o.Put(fiBand, PadLeft(key, 3)); break;
        case bfKey2: o.Put(fiBand, key == "160" ? std::string("16") : PadLeft(key, 2)); break;
        case bfFreqMHz: case bfFreqKHz: {
            const double khz = exportKHz(q);
            const std::string text = o.Fmt(fiBand) == bfFreqMHz ? FormatFixed(khz / 1000.0, 3) : FormatFixed(khz, 0);
            o.Put(fiBand, PadLeft(text, o.Len(fiBand)));
            break;
        }
        case bfKeyM: o.Put(fiBand, PadRight(key + "M", 4)); break;
        case bfKeyLeft: o.Put(fiBand, PadRight(key, 3)); break;
        case bf1to3: {
            static const char* keys[] = {"10", "15", "20", "40", "80", "160"};
            char c = '0';
            for (int i = 0; i < 6; ++i)
                if (key == keys[i])
                    c = static_cast<char>('1' + i);
            o.PutChar(fiBand, c);
            break;
        }
        case bf1to6: {
            static const char* keys[] = {"2", "6", "10", "12", "15", "17", "20", "30", "40", "80", "160", "1.2", "70", "", "23"};
            for (int i = 0; i < 15; ++i)
                if (keys[i][0] && key == keys[i])
                    o.Put(fiBand, PadLeft(std::to_string(i), 2));
            break;
        }
        case bf1to160: {
            static const char* keys[] = {"160", "80", "40", "20", "17", "15", "12", "10", "6", "2"};
            for (int i = 0; i < 10; ++i)
                if (key == keys[i])
                    o.Put(fiBand, PadLeft(std::to_string(i + 1), 2));
            break;
        }
        default: break;
        }
    }
    if (o.Present(fiZone))
        o.Put(fiZone, PadLeft(std::to_string(q.Zone), 2));
    if (o.Present(fiMode)) {
        int group = ModeGroup(q.Mode);
        std::string name = ModeGroupName(group);
        auto code = [&](char phone, char cw, char digital) {
            o.PutChar(fiMode, group == mgPhone ? phone : group == mgCW ? cw : digital);
        };
        switch (o.Fmt(fiMode)) {
        case mfGroup: case mfGroupSsb: o.Put(fiMode, name.substr(0, 3)); break;
        case mfGroupRight: o.Put(fiMode, PadLeft(name.substr(0, 3), 3)); break;
        case mf123: code('3', '1', '2'); break;
        case mf012: code('1', '0', '2'); break;
        case mfCPR: code('P', 'C', 'R'); break;
        case mfCSR: code('S', 'C', 'R'); break;
        case mfUsbLsbCw: code('0', '2', '5'); break;
        case mfName: o.Put(fiMode, ModeName(q.Mode)); break;
        default: break;
        }
    }
    o.Put(fiRstR, RstToStr(q.RstRcvd));
    o.Put(fiRstS, RstToStr(q.RstSent));
    o.Put(fiRecvd, q.Exchange.view());
    if (o.Present(fiConfrm))
        o.PutChar(fiConfrm, yesNo(o.Fmt(fiConfrm), q.HasFlag(qfQslReceived)));
    if (o.Fmt(fiNote1) == nfWithQso && q.Note)
        o.Put(fiNote1, NoteText(q.Note));
    if (q.State > 0) {
        o.Put(fiState, stateAbbrev(q.State));
        if (q.County > 0)
            o.Put(fiCounty, CountyName(q.State, q.County));
    }
    o.Put(fiIota, q.Iota.view());
    o.Put(fiGrid, q.Grid.view());
    if (o.Present(fiQslDate)) {
        if (o.Fmt(fiQslDate) == QslDateFlagFormat)
            o.PutChar(fiQslDate, q.QslSentDate != 0 ? 'Y' : 'N');
        else if (q.QslSentDate != 0)
            o.Put(fiQslDate, fixedDate(q.QslSentDate, o.Fmt(fiQslDate), filter.DateChar ? filter.DateChar : '/'));
    }
    if (o.Present(fiQslMethod)) {
        const char* letters = o.Fmt(fiQslMethod) == 1 ? "XBMD$OX" : "XBSD$OI";
        o.PutChar(fiQslMethod, q.QslRoute <= 6 ? letters[q.QslRoute] : 'X');
    }
    if (o.Present(fiLabel))
        o.PutChar(fiLabel, yesNo(o.Fmt(fiLabel), q.HasFlag(qfLabelToPrint)));
    if (o.Present(fiQrp))
        o.PutChar(fiQrp, yesNo(o.Fmt(fiQrp), q.HasFlag(qfQRP)));
    if (o.Present(fiSatellite)) {
        static const char* letters = "NBJLSAKTO";
        o.PutChar(fiSatellite, q.SatMode >= 1 && q.SatMode <= 9 ? letters[q.SatMode - 1] : 'N');
    }
    if (o.Present(fiYLop))
        o.PutChar(fiYLop, yesNo(o.Fmt(fiYLop), q.HasFlag(qfYL)));
    static const std::pair<int, std::uint32_t> awards[] = {
        {fiDxccMixed, afDxccMixed}, {fiDxccMode, afDxccMode}, {fiDxccBand, afDxccBand}, {fiWasMixed, afWasMixed},
        {fiWasMode, afWasMode},     {fiWasBand, afWasBand},   {fiWazMixed, afWazMixed}, {fiWazMode, afWazMode},
        {fiWazBand, afWazBand},     {fiIotaAward, afIota},    {fiCountyAward, afCounty}, {fiWpxBand, afWpxBand},
        {fiWpxMixed, afWpxMixed},   {fiWpxMode, afWpxMode},   {fiAwdXAward, afCustAwd}, {fiVucc, afVucc},
    };
    for (const auto& [field, mask] : awards) {
        if (!o.Present(field))
            continue;
        int fmt = o.Fmt(field);
        bool credited = (q.AwardFlags & (mask * 2)) != 0;
        char c;
        if (q.AwardFlags & mask)
            c = fmt == 2 ? '1' : '*';
        else if (fmt == 0)
            c = credited ? 'Y' : 'N';
        else if (fmt == 1)
            c = credited ? '1' : '0';
        else
            c = credited ? '2' : '0';
        o.PutChar(field, c);
    }
    if (o.Present(fiDxccValid))
        o.PutChar(fiDxccValid, yesNo(o.Fmt(fiDxccValid), q.HasFlag(qfValidForAwards)));
    if (o.Present(fiGroup))
        o.Put(fiGroup, PadLeft(std::to_string(q.Group), std::max(1, o.Len(fiGroup))));
    if (!q.CustAwdId.empty()) {
        o.Put(fiAwdGroup, q.CustAwdId.view());
        o.Put(fiAwdValue, q.CustAwdVal.view());
    }
    out += o.Line();
    out += "\r\n";
    if (filter.Field(fiNote1).Fmt == nfFollows) {
        out.append(NoteText(q.Note));
        out += "\r\n";
    }
}

TExportResult ExportQsos(const std::string& fileName, const TFilterRecord& filter, bool isAdif,
                         const std::vector<const TQsoRecord*>& qsos, TNotes& notes)
{
    TExportResult result;
    TProgressSink& progress = Progress();
    progress.Start("Writing QSOs " + std::filesystem::path(fileName).filename().string(),
                   static_cast<int>(qsos.size()));
    notes.ClearMarks();
    std::unique_ptr<TTwoIndex> table = LoadTwoColumnFile(filter.Id);
    std::string out;
    out.reserve(qsos.size() * (isAdif ? 200 : 100) + 256);
    // The callsign notes by call, looked up once per QSO without a search of the sorted list.
    std::unordered_map<std::string_view, int> noteIndex;
    if (isAdif) {
        out += ADIFHeader();
        noteIndex.reserve(static_cast<std::size_t>(notes.Count()));
        for (int i = 0; i < notes.Count(); ++i)
            noteIndex.emplace(notes.CallAt(i), i);
    }
    for (const TQsoRecord* q : qsos) {
        progress.Step();
        if (isAdif) {
            auto it = noteIndex.find(q->Call.view());
            ExportADIFRecord(*q, it != noteIndex.end() ? notes.TextAt(it->second) : std::string_view(), table.get(), out);
        } else {
            ExportFixedRecord(*q, filter, table.get(), out);
            notes.Mark(q->Call.view());
        }
        ++result.Qsos;
    }
    if (isAdif)
        out += "\r\n";
    progress.Finish();
    try {
        WriteFileAtomically(fileName, out);
    } catch (const std::exception& e) {
        result.Error = e.what();
        return result;
    }
    result.Written = true;
    if (!isAdif && !filter.NoteExt.empty()) {
        std::filesystem::path p(fileName);
        p.replace_extension("." + filter.NoteExt);
        progress.Start("Writing notes " + p.filename().string(), notes.Count());
        std::string text;
        for (int i = 0; i < notes.Count(); ++i) {
            progress.Step();
            if (!notes.MarkedAt(i))
                continue;
            text.append(notes.CallAt(i));
            text += ',';
            text.append(notes.TextAt(i));
            text += "\r\n";
            ++result.Notes;
        }
        progress.Finish();
        try {
            WriteFileAtomically(p.string(), text);
        } catch (const std::exception& e) {
            result.Written = false;
            result.Error = e.what();
        }
    }
    return result;
}

void SetExportViewProvider(TExportViewProvider provider) { viewProvider = std::move(provider); }

bool ExportFile(const std::string& fileName, const TFilterRecord& filter, bool isAdif)
{
    TQsoData* log = CurrentLog();
    if (!log)
        return false;
    std::vector<const TQsoRecord*> qsos;
    if (viewProvider) {
        if (!viewProvider(*log, qsos))
            return false;
    } else {
        for (const TQsoRecord* q : log->Qsos())
            if (log->InSelection(*q))
                qsos.push_back(q);
    }
    TExportResult r = ExportQsos(fileName, filter, isAdif, qsos, log->Notes);
    if (!r.Written) {
        MessageDlg("Error writing " + fileName + "\r" + r.Error + "\rNothing was exported", TMsgDlgType::mtError, mbOK);
        return false;
    }
    std::string text = CountText(r.Qsos, "QSO") + "exported to " + std::filesystem::path(fileName).filename().string();
    if (!isAdif && !filter.NoteExt.empty())
        text += "\r" + CountText(r.Notes, "note") + "written";
    MessageDlg(text, TMsgDlgType::mtInformation, mbOK);
    return true;
}

} // namespace korval
