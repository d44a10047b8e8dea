#pragma once
// The QSO window's view of the log and its place in it: the sort order the operator chose, the
// index shown, and the moves over the view that skip QSOs outside the selection or the search.
#include <functional>

#include "logbook/qso_record.h"
#include "logbook/sort_orders.h"

namespace korval {

class TQsoData;
class TQsoEntryHost;
class TQsoIndex;

// What a view index holds.
enum TRecordState : int { rsShown = 0, rsNoRecord = 1, rsHidden = 2 };

// The scroll-bar codes the main window's log scroll bar sends.
enum TScrollCode : int {
    SB_LINEUP = 0, SB_LINEDOWN = 1, SB_PAGEUP = 2, SB_PAGEDOWN = 3, SB_THUMBPOSITION = 4, SB_THUMBTRACK = 5,
    SB_TOP = 6, SB_BOTTOM = 7
};

class TQsoNavigator {
public:
    // log and host must outlive the navigator.
    TQsoNavigator(TQsoData* log, TQsoEntryHost* host) : log_(log), host_(host) {}
    ~TQsoNavigator();
    TQsoNavigator(const TQsoNavigator&) = delete;
    TQsoNavigator& operator=(const TQsoNavigator&) = delete;

    // A QSO inside the selection that the search hides all the same.
    void SetSearchHides(std::function<bool(const TQsoRecord&)> hides) { searchHides_ = std::move(hides); }

    int Count() const;
    TQsoRecord* At(int i) const;
    int SortOrder() const { return sortOrder_; }
    // Another order (a TQsoSortOrder); the QSO shown stays the current one.
    void SetSortOrder(int order);
    TRecordState RecordState(int index) const;

    int Current() const { return current_; }
    void SetCurrent(int index) { current_ = index; }
    // The index before the last move, where a move that runs off the view returns to.
    int PreviousIndex() const { return previous_; }
    void Remember() { previous_ = current_; }
    void Reset() { current_ = previous_ = 0; }
    void SetCurrentFromRecord(const TQsoRecord* rec);

    // From the current index over hidden QSOs; false (with a beep, the remembered index
    // restored) when the move ran off the view.
    bool Step(bool forward);
    // The moves: true when they landed on a QSO to show.
    bool MoveFirst();
    bool MoveLast();
    bool MoveBy(int delta);
    // The next (previous) shown QSO whose sort key differs from the current one's; a beep and
    // false when there is none.
    bool MoveToNextKey(bool forward);
    // The distance a scroll code moves (position: the thumb's, for SB_THUMBTRACK); false for
    // codes that do not move.
    bool ScrollDelta(int code, int position, int& delta) const;
    // Moves delta QSOs: freely when nothing is hidden, otherwise over shown QSOs only, stopping
    // at the last shown one at either end.
    void Scroll(int delta, bool nothingHidden);

private:
    TQsoData* log_;
    TQsoEntryHost* host_;
    std::function<bool(const TQsoRecord&)> searchHides_;
    int current_ = 0;
    int previous_ = 0;
    int sortOrder_ = soDate;
    TQsoIndex* view_ = nullptr;   // null: the log in date order
};

} // namespace korval
