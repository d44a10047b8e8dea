#include "exchange/qsl_routing.h"

#include <cmath>
#include <map>
#include <string>
#include <vector>

#include "logbook/call_lookup.h"
#include "logbook/config_record.h"
#include "logbook/qso_data.h"

namespace korval {

namespace {

enum TQslClass : int { qcNoBuro = 0, qcNoManager = 1, qcUsaManager = 2, qcOtherManager = 3 };
enum TRoute : int { rtBuro = 1, rtService = 2, rtDirect = 3, rtPaid = 4, rtIgnore = 6 };

} // namespace

const char* TQslRouting::ClassName(int cls)
{
    static const char* const names[kClasses] = {"No buro", "No manager", "USA manager", "Other mgr"};
    return cls >= 0 && cls < kClasses ? names[cls] : "";
}

int TQslRouting::ClassOf(const TQsoRecord& q)
{
    return QslRouteClass(q.Call.view(), q.Date, q.QslRoute, q.Country, true);
}

bool TQslRouting::Queued(const TQsoRecord& q) { return q.HasFlag(qfLabelToPrint); }

void TQslRouting::Pass(const std::function<void(TQsoRecord&)>& fn)
{
    const auto& qsos = log_.Qsos();
    const double count = static_cast<double>(qsos.size());
    int shown = -1;
    for (std::size_t i = 0; i < qsos.size(); ++i) {
        fn(*qsos[i]);
        const int percent = static_cast<int>(std::lround((static_cast<double>(i) + 1) / count * 100));
        if (percent != shown && OnProgress) {
            shown = percent;
            OnProgress(percent);
        }
    }
}

void TQslRouting::Count()
{
    for (auto& row : cells_)
        for (auto& c : row)
            c = 0;
    Pass([this](TQsoRecord& q) {
        if (Queued(q) && log_.InSelection(q) && q.QslRoute < kRoutes)
            ++cells_[ClassOf(q)][q.QslRoute];
    });
}

bool TQslRouting::InCell(const TQsoData& log, const TQsoRecord& q, int cls, int route)
{
    return Queued(q) && q.QslRoute == route && log.InSelection(q) && ClassOf(q) == cls;
}

void TQslRouting::CallRange(const TQsoRecord& q, int& first, int& end) const
{
    const TQsoIndex& byCall = log_.ByCall();
    TQsoRecord key;
    key.Call = q.Call;
    key.Time = -0x7fffffff;
    byCall.Find(key, first);
    end = first;
    while (end < byCall.Count() && byCall.At(end)->Call == q.Call)
        ++end;
}

bool TQslRouting::Covered(const TQsoRecord& q) const
{
    int first = 0, end = 0;
    CallRange(q, first, end);
    for (int i = first; i < end; ++i) {
        const TQsoRecord& o = *log_.ByCall().At(i);
        if (o.Band == q.Band && o.Mode == q.Mode && (o.HasFlag(qfQslReceived) || Queued(o)))
            return true;
    }
    return false;
}

void TQslRouting::Queue(TQsoRecord& q, int route)
{
    q.QslRoute = static_cast<std::uint8_t>(route);
    q.Flags |= qfLabelToPrint;
}

long TQslRouting::MarkSameStationOrManager()
{
    long n = 0;
    const std::uint16_t sentLimit = Config.QslSentCutoff();
    // The unqueued QSOs of the selection by QSL manager, made once when a queued QSO has one.
    std::map<std::string, std::vector<TQsoRecord*>> byManager;
    bool managersKnown = false;
    for (int route : {rtPaid, rtDirect, rtService}) {
        Pass([&](TQsoRecord& q) {
            if (!Queued(q) || q.QslRoute != route || !log_.InSelection(q))
                return;
            int first = 0, end = 0;
            CallRange(q, first, end);
            for (int i = end - 1; i >= first; --i) {
                TQsoRecord& o = *log_.ByCall().At(i);
                // A QSO routed "Ignore" is the operator's word that it gets no card.
                if (&o == &q || !log_.InSelection(o) || o.QslRoute == rtIgnore || o.QslSentDate > sentLimit)
                    continue;
                if ((!Queued(o) || o.QslRoute >= route) && Covered(o))
                    continue;
                Queue(o, route);
                ++n;
            }
            const std::string manager = GetQslManager(q.Call.view(), q.Date);
            if (manager.empty())
                return;
            if (!managersKnown) {
                for (TQsoRecord* o : log_.Qsos())
                    if (!Queued(*o) && log_.InSelection(*o)) {
                        std::string m = GetQslManager(o->Call.view(), o->Date);
                        if (!m.empty())
                            byManager[m].push_back(o);
                    }
                managersKnown = true;
            }
            auto it = byManager.find(manager);
            if (it == byManager.end())
                return;
            for (TQsoRecord* o : it->second) {
                if (Queued(*o) || o->QslRoute == rtIgnore || Covered(*o))
                    continue;
                Queue(*o, route);
                ++n;
            }
        });
    }
    return n;
}

long TQslRouting::RemoveDuplicates()
{
    long n = 0;
    const TQsoIndex& byCall = log_.ByCall();
    for (int i = byCall.Count() - 1; i >= 0; --i) {
        TQsoRecord& q = *byCall.At(i);
        if (!Queued(q) || !log_.InSelection(q))
            continue;
        int first = 0, end = 0;
        CallRange(q, first, end);
        for (int k = first; k < end; ++k) {
            const TQsoRecord& o = *byCall.At(k);
            if (&o == &q || !log_.InSelection(o) || o.Band != q.Band || o.Mode != q.Mode)
                continue;
            if (o.HasFlag(qfQslReceived) || Queued(o) || o.QslSentDate != 0) {
                q.Flags = static_cast<std::uint8_t>(q.Flags & ~qfLabelToPrint);
                ++n;
                break;
            }
        }
    }
    return n;
}

long TQslRouting::BuroToDirect()
{
    long n = 0;
    Pass([&](TQsoRecord& q) {
        if (Queued(q) && q.QslRoute == rtBuro && log_.InSelection(q) && ClassOf(q) == qcNoBuro) {
            q.QslRoute = rtDirect;
            ++n;
        }
    });
    return n;
}

long TQslRouting::DirectToService()
{
    long n = 0;
    Pass([&](TQsoRecord& q) {
        if (!Queued(q) || q.QslRoute != rtDirect || !log_.InSelection(q))
            return;
        const int cls = ClassOf(q);
        if (cls == qcNoManager || cls == qcOtherManager) {
            q.QslRoute = rtService;
            ++n;
        }
    });
    return n;
}

} // namespace korval
