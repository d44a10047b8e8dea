#include "exchange/small_report.h"

#include <algorithm>

#include "logbook/bands_modes.h"
#include "logbook/base/sorted_collection.h"
#include "logbook/base/string_utils.h"
#include "logbook/call_lookup.h"
#include "logbook/config_record.h"
#include "logbook/country_db.h"
#include "logbook/log_settings.h"
#include "logbook/qso_data.h"
#include "logbook/qso_entry.h"
#include "platform/message_dlg.h"

namespace korval {

namespace {

const char* const kTitleWords[8] = {"Listing",      "Full listing", "Band Summary", "Mode Summary",
                                    "Submission",   "Band Listing", "Mode Listing", "Needed Listing"};
const char* const kUnknown = "** UNKNOWN **\t";

// Keys compare ignoring the case of ASCII letters, as the entity list finds them.
bool KeyLess(const std::string& a, const std::string& b)
{
    const std::string ua = UpperAscii(a), ub = UpperAscii(b);
    return ua != ub ? ua < ub : a < b;
}

} // namespace

TSmallReport::TSmallReport(TQsoData* log, std::uint32_t mask, int kind) : TReport(log), mask_(mask), kind_(kind)
{
    for (int b = 0; b <= BandCount; ++b)
        bandOn_[b] = IsStationBand(b);
    for (int g = 0; g <= 3; ++g)
        groupOn_[g] = StationModeGroupUsed(g);
}

std::uint8_t TSmallReport::QsoStatus(const TQsoRecord& q) const
{
    if (q.RstRcvd == 0)
        return asNone;
    if (q.HasFlag(qfQslReceived)) {
        if (q.AwardFlags & mask_)
            return asSubmitted;
        return (q.AwardFlags & (mask_ << 1)) ? asCredited : asConfirmed;
    }
    return q.QslSentDate != 0 ? asQslSent : asWorked;
}

void TSmallReport::CollectFullSet(std::vector<std::string>&) const {}

std::string TSmallReport::GetQSOLine(const std::string&) const { return {}; }

void TSmallReport::Gather()
{
    entries_.clear();
    index_.clear();
    for (TQsoRecord* q : log_->Qsos()) {
        const int group = LogModeGroup(q->Mode);
        if (q->Band > BandCount || !bandOn_[q->Band] || !groupOn_[group] || !log_->InSelection(*q))
            continue;
        std::string key = GetEntry(*q);
        if (key.empty())
            continue;
        auto [it, added] = index_.try_emplace(UpperAscii(key), entries_.size());
        if (added) {
            entries_.emplace_back();
            entries_.back().Key = std::move(key);
        }
        TSmallEntry& e = entries_[it->second];
        const std::uint8_t s = QsoStatus(*q);
        if (s > e.ModeStatus[0]) {
            e.Qso = q;
            e.Call = q->Call.str();
            e.Date = q->Date;
            e.Time = q->Time;
            e.Band = q->Band;
            e.ModeStatus[0] = s;
        }
        if (group != 0)
            e.ModeStatus[group] = std::max(e.ModeStatus[group], s);
        e.BandStatus[q->Band] = std::max(e.BandStatus[q->Band], s);
    }
}

void TSmallReport::AddReferenceList()
{
    std::vector<std::string> keys;
    CollectFullSet(keys);
    for (std::string& key : keys) {
        if (key.empty() || !index_.try_emplace(UpperAscii(key), entries_.size()).second)
            continue;
        entries_.emplace_back();
        entries_.back().Key = std::move(key);
    }
}

void TSmallReport::MakeReport()
{
    Gather();
    auto keep = [this](auto pred) {
        entries_.erase(std::remove_if(entries_.begin(), entries_.end(), [&](const TSmallEntry& e) { return !pred(e); }),
                       entries_.end());
    };
    if (kind_ == srFullListing || kind_ == srNeededListing)
        AddReferenceList();
    index_.clear();
    std::sort(entries_.begin(), entries_.end(), [](const TSmallEntry& a, const TSmallEntry& b) { return KeyLess(a.Key, b.Key); });
    switch (kind_) {
    case srListing:
        keep([](const TSmallEntry& e) { return e.ModeStatus[0] != asNone; });
        ListLines();
        break;
    case srFullListing:
        ListLines();
        break;
    case srSubmission:
        keep([](const TSmallEntry& e) { return e.ModeStatus[0] == asConfirmed || e.ModeStatus[0] == asSubmitted; });
        ListLines();
        for (const TSmallEntry& e : entries_)
            if (e.Qso && !(e.Qso->AwardFlags & mask_)) {
                e.Qso->AwardFlags |= mask_;
                changedFlags_ = true;
            }
        if (changedFlags_)
            log_->SetModified();
        break;
    case srNeededListing:
        keep([](const TSmallEntry& e) { return e.ModeStatus[0] <= asQslSent; });
        ListLines();
        break;
    case srBandListing:
        StatusListing(true);
        FreeEntries();
        break;
    case srModeListing:
        StatusListing(false);
        break;
    case srBandSummary:
        Summary(true);
        FreeEntries();
        break;
    default:
        Summary(false);
        FreeEntries();
        break;
    }
}

void TSmallReport::FreeEntries()
{
    entries_.clear();
    entries_.shrink_to_fit();
    hasEntries_ = false;
}

void TSmallReport::ListLines()
{
    Heading.Title = ReportTitle() + " " + kTitleWords[kind_];
    Heading.Columns.clear();
    Heading.AddColumn("Nr", 5, faRight);
    for (const auto& [title, width] : FixedColumns())
        Heading.AddColumn(title, width, faLeft);
    Heading.AddColumn("Callsign", 12, faLeft);
    Heading.AddColumn("Date", 11, faLeft);
    Heading.AddColumn("Band", BandNameWidth(), faRight);
    const bool status = kind_ != srSubmission;
    if (status)
        Heading.AddColumn("Status", 3, faCenter);
    int n = 0;
    for (const TSmallEntry& e : entries_) {
        Line = std::to_string(++n);
        AddCell(e.Key);
        Line += '\t';
        Line += GetQSOLine(e.Key);
        if (e.Qso) {
            Line += e.Call;
            AddCell(FormatDateDMY(e.Date));
            AddCell(BandName(e.Band));
            if (status)
                AddCell(std::string(1, StatusChar(e.ModeStatus[0])));
        }
        NewLine();
    }
}

void TSmallReport::StatusListing(bool bands)
{
    Heading.Title = ReportTitle() + " " + kTitleWords[kind_];
    Heading.Columns.clear();
    const auto fixed = FixedColumns();
    Heading.AddColumn(fixed.front().first, fixed.front().second, faLeft);
    if (bands) {
        for (int b = 1; b <= BandCount; ++b)
            if (bandOn_[b])
                Heading.AddColumn(BandName(b), 4, faCenter);
    } else {
        for (int g = 0; g <= 3; ++g)
            if (groupOn_[g])
                Heading.AddColumn(ModeGroupName(g), 3, faCenter);
    }
    for (const TSmallEntry& e : entries_) {
        Line = e.Key;
        if (bands) {
            for (int b = 1; b <= BandCount; ++b)
                if (bandOn_[b])
                    AddCell(std::string(1, StatusChar(e.BandStatus[b])));
        } else {
            for (int g = 0; g <= 3; ++g)
                if (groupOn_[g])
                    AddCell(std::string(1, StatusChar(e.ModeStatus[g])));
        }
        NewLine();
    }
}

void TSmallReport::Summary(bool bands)
{
    Heading.Title = ReportTitle() + " " + kTitleWords[kind_];
    Heading.Columns.clear();
    if (bands)
        Heading.AddColumn("Band", std::max(5, BandNameWidth()), faRight);
    else
        Heading.AddColumn("Mode", 5, faRight);
    for (const char* c : {"Worked", "QSL sent", "Confirmed", "Submitted", "Checked", "Total"})
        Heading.AddColumn(c, 0, faRight);
    long rows[16][6] = {};
    long total[6] = {};
    for (const TSmallEntry& e : entries_) {
        int best = 0;
        for (int i = bands ? 1 : 0; i <= (bands ? BandCount : 3); ++i) {
            if (!(bands ? bandOn_[i] : groupOn_[i]))
                continue;
            const int s = std::min<int>(bands ? e.BandStatus[i] : e.ModeStatus[i], asCredited);
            ++rows[i][s];
            best = std::max(best, s);
        }
        ++total[best];
    }
    for (int i = bands ? 1 : 0; i <= (bands ? BandCount : 3); ++i)
        if (bands ? bandOn_[i] : groupOn_[i])
            CountLine(bands ? BandName(i) : ModeGroupName(i), rows[i]);
    CountLine("Total", total);
}

bool TSmallReport::Browse(int, int row, TQsoEntry& entry)
{
    if (!hasEntries_) {
        MessageDlg("Cannot select QSO(s) from this report", TMsgDlgType::mtInformation, mbOK);
        return false;
    }
    if (row < 1 || row > static_cast<int>(entries_.size()))
        return false;
    const TSmallEntry& e = entries_[static_cast<std::size_t>(row - 1)];
    if (!e.Qso) {
        MessageDlg("QSO does not exist", TMsgDlgType::mtInformation, mbOK);
        return false;
    }
    entry.BeginSearch(true);
    if (entry.EntryMode() != emSearch)
        return false;
    entry.Fields.Edit(fCall, e.Call);
    entry.Fields.Date = DayNumberToStDate(e.Date);
    entry.Fields.Time = e.Time;
    entry.SearchFor(WpxCondition, ModeGroup);
    return true;
}

// ---- IOTA ----

TIOTAReport::TIOTAReport(TQsoData* log, int kind) : TSmallReport(log, afIota, kind) { bandOn_[SatBand] = false; }

void TIOTAReport::CollectFullSet(std::vector<std::string>& keys) const
{
    if (!CountryDb.Iota)
        return;
    for (std::int32_t i = 0; i < CountryDb.Iota->Count(); ++i)
        keys.push_back(TIotaRecord::FromBytes(CountryDb.Iota->Record(i)).Reference);
}

std::string TIOTAReport::GetEntry(const TQsoRecord& q) const { return q.Iota.str(); }

std::string TIOTAReport::GetQSOLine(const std::string& key) const
{
    if (!CountryDb.Iota)
        return kUnknown;
    const TShortStrKey k = MakeShortStrKey(key);
    const std::int32_t i = CountryDb.Iota->IndexOfKey(k.data());
    return i < 0 ? kUnknown : TIotaRecord::FromBytes(CountryDb.Iota->Record(i)).Name + "\t";
}

std::vector<std::pair<std::string, int>> TIOTAReport::FixedColumns() const { return {{"IOTA", 5}, {"Name", 38}}; }

// ---- US counties ----

TCountyReport::TCountyReport(TQsoData* log, int kind) : TSmallReport(log, afCounty, kind) { bandOn_[SatBand] = false; }

void TCountyReport::CollectFullSet(std::vector<std::string>& keys) const
{
    if (!CountryDb.Counties)
        return;
    for (std::int32_t i = 0; i < CountryDb.Counties->Count(); ++i) {
        const TCountyRecord c = TCountyRecord::FromBytes(CountryDb.Counties->Record(i));
        if (!c.Key.empty())
            keys.push_back(c.Key.substr(0, 2) + " " + c.Name);
    }
}

std::string TCountyReport::GetEntry(const TQsoRecord& q) const
{
    if (q.State == 0 || q.County == 0)
        return {};
    const std::string name = CountyName(q.State, q.County);
    return name.empty() ? std::string() : StateAbbrev(q.State) + " " + name;
}

std::vector<std::pair<std::string, int>> TCountyReport::FixedColumns() const { return {{"County", 21}}; }

// ---- VUCC grid squares ----

TVUCCReport::TVUCCReport(TQsoData* log, int kind)
    : TSmallReport(log, afVucc, kind), gridLength_(Config.GridSquareLength() > 4 ? 6 : 4)
{
    for (int b = 0; b <= BandCount; ++b)
        bandOn_[b] = b >= FirstVuccBand && Config.VuccBand(b);
}

std::string TVUCCReport::GetEntry(const TQsoRecord& q) const
{
    // Only a whole square counts: a shorter locator (a field, "JN") names no square.
    if (!IsVuccBand(q.Band) || q.Grid.view().size() < gridLength_)
        return {};
    return FormatGridLocator(q.Grid.view().substr(0, gridLength_));
}

std::vector<std::pair<std::string, int>> TVUCCReport::FixedColumns() const
{
    return {{"Grid", static_cast<int>(gridLength_)}};
}

// ---- custom award ----

TCustomReport::TCustomReport(TQsoData* log, int kind, const TCustAward& award)
    : TSmallReport(log, afCustAwd, kind), award_(award)
{
    for (int b = 0; b <= BandCount; ++b)
        bandOn_[b] = bandOn_[b] && award_.Bands[static_cast<std::size_t>(b)] != 0;
    for (int g = 0; g <= 3; ++g)
        groupOn_[g] = groupOn_[g] && award_.Modes[static_cast<std::size_t>(g)] != 0;
}

void TCustomReport::CollectFullSet(std::vector<std::string>& keys) const
{
    for (const auto& v : award_.Values())
        keys.push_back(v.first);
}

std::string TCustomReport::GetEntry(const TQsoRecord& q) const
{
    return UpperAscii(q.CustAwdId.str()) == UpperAscii(award_.ID) ? q.CustAwdVal.str() : std::string();
}

std::string TCustomReport::GetQSOLine(const std::string& key) const
{
    if (!award_.HasValueTable())
        return {};
    const std::string text = award_.LongValue(key);
    return text.empty() ? kUnknown : text + "\t";
}

std::string TCustomReport::ReportTitle() const { return award_.LongName; }

std::vector<std::pair<std::string, int>> TCustomReport::FixedColumns() const
{
    if (award_.HasValueTable())
        return {{"AwdVal", 8}, {"AwdStr", 12}};
    return {{"AwdVal", 8}};
}

} // namespace korval
