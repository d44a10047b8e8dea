#include "exchange/award_submission.h"

#include <algorithm>

#include "logbook/bands_modes.h"
#include "logbook/call_lookup.h"
#include "logbook/country_db.h"
#include "logbook/log_settings.h"
#include "logbook/qso_data.h"
#include "platform/message_dlg.h"

namespace korval {

namespace {

struct TAwardDef {
    int kind;
    const char* title;
    std::vector<std::string> columns;
    std::vector<int> widths;
    int threshold;
    int fiveBandTotal;
    std::initializer_list<int> fiveBandSet;
    std::uint32_t mixed, mode, band;
    TCompareFunc compare;
};

const TAwardDef& Def(int award)
{
    static const TAwardDef defs[4] = {
        {bkDxcc, "DXCC Submission", {"Nr", "Call", "Date", "Band", "Mode", "Country"}, {-3, 12, 11, -4, 3, 28}, 100,
         500, {2, 3, 5, 7, 9}, afDxccMixed, afDxccMode, afDxccBand, CompareQsoBandModeCall},
        {bkWaz, "WAZ Submission", {"Nr", "Zone", "Call", "Date", "Band", "Mode", "Country"},
         {-3, -2, 12, 11, -4, 3, 28}, 40, 150, {2, 3, 5, 7, 9}, afWazMixed, afWazMode, afWazBand, CompareQsoByZone},
        {bkWas, "WAS Submission", {"Nr", "State", "Call", "Date", "Band", "Mode"}, {-3, 15, 12, 11, -4, 3}, 50, 250,
         {1, 2, 3, 5, 7, 9, 10, 11, 12, 13, 14, 15}, afWasMixed, afWasMode, afWasBand, CompareQsoByState},
        {bkWpx, "WPX Submission", {"Nr", "Call"}, {-4, 12}, 400, 9999, {}, afWpxMixed, afWpxMode, afWpxBand,
         CompareQsoByWpx},
    };
    return defs[award];
}

bool CarriesAnyBit(const TQsoRecord& q, std::uint32_t bits) { return (q.AwardFlags & bits) != 0; }
bool CarriesFlag(const TQsoRecord& q, std::uint32_t flag) { return (q.Flags & flag) != 0; }

// A QSO that may be submitted at all: in the selection, confirmed, with a report received.
bool Confirmed(const TQsoData& log, const TQsoRecord& q)
{
    return q.HasFlag(qfQslReceived) && q.RstRcvd != 0 && log.InSelection(q);
}

} // namespace

TAwardReport::TAwardReport(TQsoData* log, int award, bool fiveBand)
    : TBigReport(log, fiveBand ? -Def(award).kind : Def(award).kind, award, true), fiveBand_(fiveBand),
      threshold_(Def(award).threshold), fiveBandTotal_(Def(award).fiveBandTotal), mixedMask_(Def(award).mixed),
      modeMask_(Def(award).mode), bandMask_(Def(award).band), compare_(Def(award).compare)
{
    for (int b : Def(award).fiveBandSet)
        fiveBandSet_ = static_cast<std::uint16_t>(fiveBandSet_ | (1u << b));
    NumberEveryTenth = award == akWpx;
}

void TAwardReport::Build()
{
    const TAwardDef& d = Def(award_);
    Heading.SetHeading(fiveBand_ ? std::string("Five Band ") + d.title : std::string(d.title), d.columns, d.widths);
    entities_ = Entities(true);
    if (fiveBand_)
        ListFiveBand();
    else
        ListSubmission();
}

TAwardStatusBlock* TAwardReport::GetAwardPtr(const TQsoRecord& q)
{
    switch (award_) {
    case akDxcc:
        if (q.Country == 0)
            return nullptr;
        break;
    case akWaz:
        if (q.Zone == 0)
            return nullptr;
        break;
    case akWas:
        if (q.State == 0)
            return nullptr;
        break;
    default:
        if (LogModeGroup(q.Mode) == mgDigital)
            return nullptr;
        break;
    }
    return q.Date < cutoff_ ? nullptr : log_->CountedBlock(q, award_);
}

namespace {
void AddStatus(TAwardCounter& c, int status)
{
    if (status == asConfirmed)
        ++c.Confirmed;
    else if (status == asSubmitted)
        ++c.Submitted;
    else if (status == asCredited)
        ++c.Checked;
}
} // namespace

void TAwardReport::CountEntity(const TAwardStatusBlock& block)
{
    AddStatus(totals_[0], AwardStatus(block));
    for (int g = 1; g <= 3; ++g)
        AddStatus(totals_[g], AwardModeStatus(block, g));
    for (int b = 1; b <= BandCount; ++b)
        AddStatus(bandTotals_[b], AwardBandStatus(block, b));
}

void TAwardReport::MarkAwards()
{
    for (TAwardEntity& e : entities_) {
        if (fiveBand_)
            e.Block->ClearTaken();
        CountEntity(*e.Block);
    }
}

bool TAwardReport::Claimable(const TAwardCounter& c) const { return c.Confirmed > 0 && c.Sum() >= threshold_; }

void TAwardReport::Submit(TAwardStatusBlock& block, int cell, TQsoRecord& q, std::uint32_t mask)
{
    // Only cells at Confirmed are submitted, and a submitted cell is never Confirmed again in this
    // run, so this guards the marking rather than anything an operator can bring about.
    if (block.Status(cell) >= asSubmitted)
        MessageDlg("Logic Error: Double submission", TMsgDlgType::mtError, mbOK);
    if (!(q.AwardFlags & mask)) {
        q.AwardFlags |= mask;
        changedFlags_ = true;
    }
    block.Set(cell, asSubmitted, 1);
}

void TAwardReport::MarkSubmission()
{
    for (auto& t : totals_)
        t = {};
    for (auto& t : bandTotals_)
        t = {};
    MarkAwards();
    TAwardCounter* mixed = &totals_[0];
    mixed->Claimable = settings_.Mixed() && Claimable(*mixed);
    bool anyMode = false;
    for (int g = 1; g <= 3; ++g) {
        totals_[g].Claimable = AwardModeGroupValid(settings_, g) && settings_.ModeAward() && Claimable(totals_[g]);
        anyMode = anyMode || totals_[g].Claimable;
    }
    bool anyBand = false;
    for (int b = 1; b <= BandCount; ++b) {
        bandTotals_[b].Claimable = AwardBandSeparate(settings_, b) && settings_.BandAward() && Claimable(bandTotals_[b]);
        anyBand = anyBand || bandTotals_[b].Claimable;
    }

    // Each category on its own walk from the newest QSO back: the first QSO met that still finds
    // its entity's cell Confirmed is submitted, so every entity gives the newest qualifying QSO
    // of each category and nothing once its cell is Submitted.
    const TQsoPtrList& qsos = log_->Qsos();
    auto walk = [&](bool separateBand, auto submitFor) {
        for (auto it = qsos.rbegin(); it != qsos.rend(); ++it) {
            TQsoRecord& q = **it;
            if (!Confirmed(*log_, q) || !AwardModeValid(settings_, q.Mode))
                continue;
            const bool band = q.Band >= 1 && q.Band <= BandCount;
            if (separateBand ? !band || !AwardBandSeparate(settings_, q.Band) : band && !AwardBandValid(settings_, q.Band))
                continue;
            if (TAwardStatusBlock* block = GetAwardPtr(q))
                submitFor(*block, q);
        }
    };
    if (anyBand)
        walk(true, [&](TAwardStatusBlock& block, TQsoRecord& q) {
            const int group = LogModeGroup(q.Mode);
            if (group != 0 && bandTotals_[q.Band].Claimable && AwardBandStatus(block, q.Band) == asConfirmed)
                Submit(block, TAwardStatusBlock::CellOf(q.Band, group), q, bandMask_);
        });
    if (anyMode)
        walk(false, [&](TAwardStatusBlock& block, TQsoRecord& q) {
            const int group = LogModeGroup(q.Mode);
            if (group != 0 && totals_[group].Claimable && AwardModeStatus(block, group) == asConfirmed)
                Submit(block, group, q, modeMask_);
        });
    if (mixed->Claimable)
        walk(false, [&](TAwardStatusBlock& block, TQsoRecord& q) {
            if (AwardStatus(block) == asConfirmed)
                Submit(block, 0, q, mixedMask_);
        });
    if (changedFlags_)
        log_->SetModified();
}

void TAwardReport::ListQsos(bool (*carries)(const TQsoRecord&, std::uint32_t), std::uint32_t flags)
{
    std::vector<TQsoRecord*> listed;
    // Newest first, so that among QSOs the order calls equal the newer stays in front.
    const TQsoPtrList& qsos = log_->Qsos();
    for (auto it = qsos.rbegin(); it != qsos.rend(); ++it)
        if (carries(**it, flags) && log_->InSelection(**it))
            listed.push_back(*it);
    std::stable_sort(listed.begin(), listed.end(),
                     [this](const TQsoRecord* a, const TQsoRecord* b) { return compare_(a, b) < 0; });
    int n = 0;
    for (const TQsoRecord* q : listed) {
        ++n;
        if (!NumberEveryTenth || n == 1 || n % 10 == 0)
            Line = std::to_string(n);
        Line += QSOLine(*q);
        NewLine();
    }
}

void TAwardReport::ListSubmission()
{
    MarkSubmission();
    ListQsos(CarriesAnyBit, mixedMask_ | modeMask_ | bandMask_);
}

void TAwardReport::MarkFiveBand()
{
    for (auto& t : bandTotals_)
        t = {};
    MarkAwards();
    int qualifying = 0, sum = 0;
    bool qualifies[16] = {};
    for (int b = 1; b <= BandCount; ++b) {
        if (!(fiveBandSet_ & (1u << b)))
            continue;
        const int total = bandTotals_[b].Sum();
        qualifies[b] = total >= (award_ == akWaz ? 1 : threshold_);
        qualifying += qualifies[b] ? 1 : 0;
        sum += total;
    }
    if (award_ == akWaz ? sum < fiveBandTotal_ : qualifying < 5) {
        MessageDlg("You cannot submit for a five band award", TMsgDlgType::mtWarning, mbOK);
        return;
    }
    std::string already;
    for (int b = 1; b <= BandCount; ++b) {
        TAwardCounter& t = bandTotals_[b];
        t.Claimable = false;
        if (!(fiveBandSet_ & (1u << b)) || !AwardBandValid(settings_, b))
            continue;
        if (t.Submitted + t.Checked < threshold_) {
            t.Claimable = qualifies[b];
            t.Submitted = 0;  // from here: the entities taken on the band
        } else {
            already += (already.empty() ? "" : ", ") + BandName(b);
        }
    }
    if (!already.empty())
        MessageDlg("Band(s) not included because\rthey were submitted already\r" + already,
                   TMsgDlgType::mtInformation, mbOK);
    const TQsoPtrList& qsos = log_->Qsos();
    for (auto it = qsos.rbegin(); it != qsos.rend(); ++it) {
        TQsoRecord& q = **it;
        if (q.Band < 1 || q.Band > BandCount || !bandTotals_[q.Band].Claimable || !Confirmed(*log_, q) ||
            bandTotals_[q.Band].Submitted >= threshold_ + 5)
            continue;
        TAwardStatusBlock* block = GetAwardPtr(q);
        if (!block || block->Taken(q.Band))
            continue;
        q.Flags = static_cast<std::uint8_t>(q.Flags | qfFiveBand);
        block->SetTaken(q.Band, true);
        ++bandTotals_[q.Band].Submitted;
    }
}

void TAwardReport::ListFiveBand()
{
    for (TQsoRecord* q : log_->Qsos())
        q->Flags = static_cast<std::uint8_t>(q->Flags & ~qfFiveBand);
    MarkFiveBand();
    ListQsos(CarriesFlag, qfFiveBand);
}

std::string TAwardReport::QSOLine(const TQsoRecord& q) const
{
    std::string s;
    auto cell = [&s](const std::string& text) {
        s += '\t';
        s += text;
    };
    if (award_ == akWaz)
        cell(std::to_string(q.Zone));
    else if (award_ == akWas)
        cell(StateAbbrev(q.State));
    cell(q.Call.str());
    if (award_ == akWpx)
        return s;
    cell(FormatDateDMY(q.Date));
    cell(BandShortName(q.Band));
    cell(ModeName(q.Mode));
    if (award_ != akWas)
        cell(CountryName(q.Country));
    return s;
}

} // namespace korval
