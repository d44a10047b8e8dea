#pragma once
// What a view over the logbook (the log list, the same-call window) is told when the logbook's
// QSOs change, so that it keeps its own order in step without rebuilding itself.
namespace korval {

struct TQsoRecord;

class TQsoObserver {
public:
    virtual ~TQsoObserver() = default;
    // The record is in the logbook and every index of it.
    virtual void QsoInserted(TQsoRecord* rec) = 0;
    // The record is about to leave the logbook; it is still whole. A replaced QSO comes as the
    // insertion of the new record followed by the deletion of the old one.
    virtual void QsoDeleting(TQsoRecord* rec) = 0;
    // Many QSOs changed at once (a bulk insertion): everything held may be out of date.
    virtual void QsosReset() = 0;
    // The logbook is being freed: forget it.
    virtual void LogGone() = 0;
};

} // namespace korval
