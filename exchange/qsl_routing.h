#pragma once
// The QSL routes of the QSOs queued for labels: a count per QSL class (no bureau, no manager,
// US manager, other manager) and route, and the four reworks of the routing window.
#include <cstdint>
#include <functional>

namespace korval {

class TQsoData;
struct TQsoRecord;

class TQslRouting {
public:
    static constexpr int kClasses = 4;
    static constexpr int kRoutes = 7;  // 0 none, 1 "Buro" .. 6 "Ignore"

    // log must outlive this object.
    explicit TQslRouting(TQsoData& log) : log_(log) {}

    // The percentage of a pass over the log, each time it changes.
    std::function<void(int percent)> OnProgress;

    // "No buro", "No manager", "USA manager", "Other mgr".
    static const char* ClassName(int cls);
    // The QSO's QSL class, its QSL manager taken into account.
    static int ClassOf(const TQsoRecord& q);
    static bool Queued(const TQsoRecord& q);

    // Counts the queued QSOs of the selection by class and route.
    void Count();
    std::uint32_t Cell(int cls, int route) const { return cells_[cls][route]; }
    // The queued QSOs of the log's selection behind a cell.
    static bool InCell(const TQsoData& log, const TQsoRecord& q, int cls, int route);

    // The reworks; each returns how many changes it made (a QSO changed twice counts twice).
    long MarkSameStationOrManager();
    long RemoveDuplicates();
    long BuroToDirect();
    long DirectToService();

private:
    // The range of the by-call order that holds q's call.
    void CallRange(const TQsoRecord& q, int& first, int& end) const;
    // A QSO of q's call on q's band and mode is confirmed or queued (q itself included).
    bool Covered(const TQsoRecord& q) const;
    void Queue(TQsoRecord& q, int route);
    // One pass over the log in its order with the meter.
    void Pass(const std::function<void(TQsoRecord&)>& fn);

    TQsoData& log_;
    std::uint32_t cells_[kClasses][kRoutes] = {};
};

} // namespace korval
