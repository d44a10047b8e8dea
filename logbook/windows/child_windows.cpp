#include "logbook/windows/child_windows.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QWidget>

#include <stdexcept>

#include "logbook/config_record.h"
#include "logbook/windows/form_placement.h"

namespace korval {

namespace {

TChildWindows* g_slots = nullptr;

constexpr int kPlacementSlots[TChildWindows::Count] = {
    psCty, psZone, psState, psIota, psCall, psLogb, psExt, psSun, psGrid, psMastr, psWorld, psWpx, psPsk31};

} // namespace

TChildWindows::TChildWindows() { g_slots = this; }

TChildWindows::~TChildWindows()
{
    for (auto& s : slots_)
        if (s.window)
            s.window->removeEventFilter(this);
    if (g_slots == this)
        g_slots = nullptr;
}

int TChildWindows::Check(int index)
{
    if (index < 0 || index >= Count)
        throw std::out_of_range("child window " + std::to_string(index));
    return index;
}

int TChildWindows::PlacementSlot(int index) { return kPlacementSlots[Check(index)]; }

bool TChildWindows::IsSummary(int index)
{
    switch (index) {
    case cwCountrySummary: case cwZoneSummary: case cwStateSummary: case cwIotaSummary: case cwGridSummary:
    case cwWpxSummary:
        return true;
    default:
        return false;
    }
}

void TChildWindows::Plug(int index, TChildWindowKind kind) { kinds_[Check(index)] = std::move(kind); }

bool TChildWindows::Plugged(int index) const { return static_cast<bool>(kinds_[Check(index)].Create); }

bool TChildWindows::WasOpen(int index)
{
    return (Config.Placement(PlacementSlot(index)).Spare & 0xFF) != 0;
}

void TChildWindows::SetWasOpen(int index, bool open)
{
    TFormPlacement p = Config.Placement(PlacementSlot(index));
    p.Spare = (p.Spare & ~0xFF) | (open ? 1 : 0);
    Config.SetPlacement(PlacementSlot(index), p);
}

QWidget* TChildWindows::Create(int index, QWidget* owner)
{
    TSlot& s = slots_[Check(index)];
    if (s.window)
        return s.window;
    if (!Plugged(index))
        return nullptr;
    QWidget* w = kinds_[index].Create(owner);
    if (!w)
        return nullptr;
    // A window of its own beside the QSO window, freed when closed.
    w->setWindowFlag(Qt::Window, true);
    w->setAttribute(Qt::WA_DeleteOnClose, true);
    RestoreFormPlacement(w, PlacementSlot(index));
    w->installEventFilter(this);
    s.window = w;
    s.refresh = true;
    s.summary = false;
    SetWasOpen(index, true);
    w->show();
    return w;
}

void TChildWindows::MarkDirty(int index)
{
    slots_[Check(index)].refresh = true;
    if (index == cwCountrySummary || index == cwStateSummary || index == cwIotaSummary || index == cwGridSummary)
        RequestSummaryRefresh();
}

void TChildWindows::RequestSummaryRefresh()
{
    for (auto& s : slots_)
        s.summary = true;
}

void TChildWindows::RefreshMarked()
{
    for (int i = 0; i < Count; ++i) {
        TSlot& s = slots_[i];
        if (!s.window)
            continue;
        if (s.refresh) {
            s.refresh = s.summary = false;
            if (kinds_[i].Refresh)
                kinds_[i].Refresh(s.window);
        } else if (s.summary && IsSummary(i)) {
            s.summary = false;
            if (kinds_[i].UpdateSummary)
                kinds_[i].UpdateSummary(s.window);
        }
    }
}

void TChildWindows::SavePlacement(int index, bool open)
{
    if (QWidget* w = slots_[index].window)
        SaveFormPlacement(w, PlacementSlot(index));
    SetWasOpen(index, open);
}

void TChildWindows::Closed(int index)
{
    TSlot& s = slots_[Check(index)];
    if (!s.window)
        return;
    SavePlacement(index, false);
    s.window->removeEventFilter(this);
    s.window = nullptr;
    s.refresh = s.summary = false;
}

void TChildWindows::FreeAll()
{
    for (int i = 0; i < Count; ++i) {
        TSlot& s = slots_[i];
        if (!s.window)
            continue;
        SavePlacement(i, true);
        QWidget* w = s.window;
        w->removeEventFilter(this);
        s.window = nullptr;
        s.refresh = s.summary = false;
        delete w;
    }
}

int TChildWindows::IndexOf(const QObject* window) const
{
    for (int i = 0; i < Count; ++i)
        if (slots_[i].window == window)
            return i;
    return -1;
}

bool TChildWindows::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::Close)
        return QObject::eventFilter(watched, event);
    const int index = IndexOf(watched);
    if (index < 0)
        return QObject::eventFilter(watched, event);
    // The window decides first whether it closes; only a close it accepts empties the slot.
    static_cast<QWidget*>(watched)->removeEventFilter(this);
    QCoreApplication::sendEvent(watched, event);
    if (event->isAccepted())
        Closed(index);
    else
        watched->installEventFilter(this);
    return true;
}

TChildWindows* ChildWindowSlots() { return g_slots; }

void MarkChildWindowDirty(int index)
{
    if (g_slots)
        g_slots->MarkDirty(index);
}

void ChildWindowClosed(int index)
{
    if (g_slots)
        g_slots->Closed(index);
}

} // namespace korval
