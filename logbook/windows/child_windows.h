#pragma once
// The main window's thirteen child-window slots (TChildWindow): the small windows that follow
// the QSO being entered (summaries, same call, log list, callsign lookup, sunrise and sunset,
// master calls, world map, PSK31). Each slot holds its window or none, a refresh flag and a
// summary-update flag. The program plugs in, per slot, how its window is made and refreshed;
// the QSO window opens them, the QSO-entry engine marks them, the main window refreshes the
// marked ones at idle time.
//
// A slot also keeps its window's placement in the configuration record, with a was-open flag
// (the low byte of the placement's spare longint): the flag is set while the window is open,
// cleared when the operator closes it, and kept when the window goes with the QSO window, so
// showing the QSO window again brings back exactly the windows the operator left open.
#include <QObject>
#include <QPointer>

#include <array>
#include <functional>
#include <string>

#include "logbook/child_window.h"

class QWidget;

namespace korval {

// How the window of one slot is made and kept up to date. Only Create is required.
struct TChildWindowKind {
    // Makes the window with owner (the QSO window) as its parent; not shown yet.
    std::function<QWidget*(QWidget* owner)> Create;
    // The slot was marked: the window shows what the QSO window's entry now holds.
    std::function<void(QWidget*)> Refresh;
    // Worked-summary windows: a summary update asked for by the main window.
    std::function<void(QWidget*)> UpdateSummary;
    // Worked-summary windows: the setup or the window scale changed; the grid is built again.
    std::function<void(QWidget*)> Rebuild;
    // The callsign lookup window: looks the call up, as a QSL manager or as the QSO's call.
    std::function<void(QWidget*, const std::string& call, bool asManager)> LookupCall;
};

class TChildWindows : public QObject {
    Q_OBJECT
public:
    static constexpr int Count = kChildWindowCount;

    // The slots the free functions below reach (the main window's); the latest made wins.
    TChildWindows();
    ~TChildWindows() override;

    // The configuration placement slot (TPlacementSlot) of a child window.
    static int PlacementSlot(int index);
    static bool IsSummary(int index);

    void Plug(int index, TChildWindowKind kind);
    bool Plugged(int index) const;
    const TChildWindowKind& Kind(int index) const { return kinds_[Check(index)]; }
    QWidget* Window(int index) const { return slots_[Check(index)].window.data(); }
    bool RefreshPending(int index) const { return slots_[Check(index)].refresh; }
    bool SummaryPending(int index) const { return slots_[Check(index)].summary; }

    // Makes, places and shows the slot's window (refresh flag set, summary flag cleared) and
    // returns it; an existing window is returned as it is. Null when nothing is plugged.
    QWidget* Create(int index, QWidget* owner);

    void MarkDirty(int index);
    // The summary-update flag of every slot.
    void RequestSummaryRefresh();
    // Idle time: each marked window is refreshed (both flags cleared); otherwise a summary
    // window with its summary flag set is updated.
    void RefreshMarked();

    // A window closed: its placement is saved with the was-open flag cleared, the slot emptied.
    // The slot notices its windows' closing itself; calling this as well does no harm.
    void Closed(int index);
    // The QSO window goes: the open windows' placements are saved with their was-open flags set,
    // and the windows freed.
    void FreeAll();

    static bool WasOpen(int index);
    static void SetWasOpen(int index, bool open);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    static int Check(int index);
    int IndexOf(const QObject* window) const;
    void SavePlacement(int index, bool open);

    struct TSlot {
        QPointer<QWidget> window;
        bool refresh = false;
        bool summary = false;
    };
    std::array<TSlot, Count> slots_{};
    std::array<TChildWindowKind, Count> kinds_{};
};

// The main window's slots; null while there are none.
TChildWindows* ChildWindowSlots();
// Sets the slot's refresh flag; the country, state, IOTA and grid summaries also ask every
// summary window for an update.
void MarkChildWindowDirty(int index);
// A child window reports its closing.
void ChildWindowClosed(int index);

} // namespace korval
