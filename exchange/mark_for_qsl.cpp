#include "exchange/mark_for_qsl.h"

#include <algorithm>
#include <string>

#include "logbook/award_status.h"
#include "logbook/bands_modes.h"
#include "logbook/call_lookup.h"
#include "logbook/config_record.h"
#include "logbook/country_db.h"
#include "logbook/progress.h"
#include "logbook/qso_data.h"
#include "logbook/qso_lookup.h"
#include "logbook/sort_orders.h"

namespace korval {

namespace {

constexpr std::uint8_t kRouteIgnore = 6;

class TMarker {
public:
    TMarker(TQsoData& log, const TMarkForQslRequest& r) : log_(log), r_(r) {}

    long Run();

private:
    // A card sent on d is still on its way for a re-send period of p days when d + p lies after
    // today.
    bool RecentlySent(const TQsoRecord& q, int days) const
    {
        return q.QslSentDate != 0 && static_cast<long>(q.QslSentDate) + days > static_cast<long>(r_.Today);
    }
    bool Open(const TQsoRecord& q) const
    {
        return !q.HasFlag(qfQslReceived) && !q.HasFlag(qfLabelToPrint) && q.QslRoute != kRouteIgnore &&
               (r_.After == 0 || q.Date >= r_.After);
    }
    void Mark(TQsoRecord& q, int route)
    {
        q.Flags |= qfLabelToPrint;
        q.QslRoute = static_cast<std::uint8_t>(route);
        ++marked_;
    }
    void Step()
    {
        progress_.Step();
    }
    const TAwardStatusBlock* Block(const TQsoRecord& q, int kind) const;
    void MarkAward(int kind);
    void MarkRuns(bool county);
    void MarkDx(bool perModeGroup);

    TQsoData& log_;
    const TMarkForQslRequest& r_;
    TProgressSink& progress_ = Progress();
    long marked_ = 0;
};

const TAwardStatusBlock* TMarker::Block(const TQsoRecord& q, int kind) const
{
    switch (kind) {
    case akDxcc:
        return q.HasFlag(qfValidForAwards) ? QsoLookup().CountryStatusBlock(q.Country) : nullptr;
    case akWaz:
        return q.Zone > 0 && q.Zone < TQsoData::kZoneBlocks ? &log_.ZoneStatus(q.Zone) : nullptr;
    case akWas:
        return q.State > 0 && q.State < TQsoData::kStateBlocks ? &log_.StateStatus(q.State) : nullptr;
    default:
        return q.WpxPrefix.empty() ? nullptr : QsoLookup().WpxStatusBlock(q.WpxPrefix.view(), false);
    }
}

void TMarker::MarkAward(int kind)
{
    log_.EnsureAwardStatus();
    const TAwardSettings s = Config.AwardSettings(kind);
    int days[3];
    int common = 0;
    for (int row = 0; row < 3; ++row) {
        days[row] = r_.Weeks[row] * 7;
        if (r_.Route[row] > 0 && days[row] > 0 && (common == 0 || days[row] < common))
            common = days[row];
    }
    const auto& qsos = log_.Qsos();
    for (auto it = qsos.rbegin(); it != qsos.rend(); ++it) {
        Step();
        TQsoRecord& q = **it;
        if (!log_.InSelection(q) || !Open(q) || RecentlySent(q, common) || q.Country == 0 || q.RstRcvd == 0)
            continue;
        const TAwardStatusBlock* b = Block(q, kind);
        if (!b)
            continue;
        for (int row = 0; row < 3; ++row) {
            if (r_.Route[row] == 0 || RecentlySent(q, days[row]))
                continue;
            bool applies = false;
            if (row == mrMixed)
                applies = AwardStatus(*b) < asConfirmed && AwardModeValid(s, q.Mode) && AwardBandValid(s, q.Band);
            else if (row == mrBand)
                applies = AwardBandStatus(*b, q.Band) < asConfirmed && AwardBandSeparate(s, q.Band);
            else
                applies = AwardModeStatus(*b, ModeGroup(q.Mode)) < asConfirmed && AwardModeValid(s, q.Mode);
            if (applies) {
                Mark(q, r_.Route[row]);
                break;
            }
        }
    }
}

void TMarker::MarkRuns(bool county)
{
    const int route = r_.Route[mrMixed];
    const int days = r_.Weeks[mrMixed] * 7;
    if (route == 0)
        return;
    auto keyOf = [county](const TQsoRecord& q) {
        if (!county)
            return q.Iota.str();
        if (q.State == 0 || q.County == 0)
            return std::string();
        return StateAbbrev(q.State) + std::to_string(q.County);
    };
    // The QSOs of one county or island stand together in its order.
    TQsoIndex* order = log_.AddIndex(county ? CompareQsoByCounty : CompareQsoByIota);
    std::vector<TQsoRecord*> run;
    std::string runKey;
    bool spoiled = false;
    auto finish = [&]() {
        if (!run.empty() && !spoiled) {
            std::uint16_t bands = 0;  // bit b: band b has its card
            for (auto it = run.rbegin(); it != run.rend(); ++it) {
                TQsoRecord& q = **it;
                const int band = q.Band <= 15 ? q.Band : 0;
                if (RecentlySent(q, days) || (bands >> band & 1u))
                    continue;
                bands = static_cast<std::uint16_t>(bands | 1u << band);
                Mark(q, route);
            }
        }
        run.clear();
        spoiled = false;
    };
    for (int i = 0; i < order->Count(); ++i) {
        Step();
        TQsoRecord& q = *order->At(i);
        if (!log_.InSelection(q))
            continue;
        std::string key = keyOf(q);
        if (run.empty() || key != runKey) {
            finish();
            runKey = key;
        }
        run.push_back(&q);
        if (key.empty() || !Open(q) || RecentlySent(q, days) || q.Country == 0)
            spoiled = true;
    }
    finish();
    log_.RemoveIndex(order);
}

void TMarker::MarkDx(bool perModeGroup)
{
    const int route = r_.Route[mrMixed];
    if (route == 0)
        return;
    const std::uint16_t home = CountryOfCall(Config.OwnCall(), r_.Today);
    const TQsoIndex& byCall = log_.ByCall();
    auto bandGroup = [](const TQsoRecord& q) { return q.Band * 4 + ModeGroup(q.Mode); };
    for (int first = 0; first < byCall.Count();) {
        int end = first + 1;
        while (end < byCall.Count() && byCall.At(end)->Call == byCall.At(first)->Call)
            ++end;
        std::uint32_t bands = 0;       // bit b: band b has a card
        std::uint64_t bandGroups = 0;  // bit 4b + g: band b with mode group g has a card
        for (int i = first; i < end; ++i) {
            const TQsoRecord& q = *byCall.At(i);
            if (q.Band > 15 || !log_.InSelection(q))
                continue;
            if (q.HasFlag(qfLabelToPrint) || q.QslSentDate != 0 || q.HasFlag(qfQslReceived)) {
                bands |= 1u << q.Band;
                bandGroups |= std::uint64_t(1) << bandGroup(q);
            }
        }
        for (int i = first; i < end; ++i) {
            Step();
            TQsoRecord& q = *byCall.At(i);
            if (q.Band > 15 || !log_.InSelection(q) || !Open(q) || q.QslSentDate != 0)
                continue;
            if (q.Country == 0 || q.Country == home || !IsStationBand(q.Band) ||
                !StationModeGroupUsed(ModeGroup(q.Mode)))
                continue;
            if (perModeGroup ? (bandGroups >> bandGroup(q) & 1u) : (bands >> q.Band & 1u))
                continue;
            Mark(q, route);
            bands |= 1u << q.Band;
            bandGroups |= std::uint64_t(1) << bandGroup(q);
        }
        first = end;
    }
}

long TMarker::Run()
{
    progress_.Start("Scanning QSOs", log_.Count());
    switch (r_.Award) {
    case maDxcc:
    case maWaz:
    case maWas:
    case maWpx:
        MarkAward(r_.Award - maDxcc);
        break;
    case maCounty:
        MarkRuns(true);
        break;
    case maIota:
        MarkRuns(false);
        break;
    case maDxSingleBand:
        MarkDx(false);
        break;
    case maDxAllBandMode:
        MarkDx(true);
        break;
    default:
        break;
    }
    progress_.Finish();
    return marked_;
}

} // namespace

long MarkForQsl(TQsoData& log, const TMarkForQslRequest& request) { return TMarker(log, request).Run(); }

} // namespace korval
