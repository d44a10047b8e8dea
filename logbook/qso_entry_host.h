#pragma once
// What the QSO-entry engine tells or asks the windows around it. Every default does nothing.
#include <string>
#include <vector>

#include "logbook/base/day_number.h"

namespace korval {

class TTwoIndex;

class TQsoEntryHost {
public:
    virtual ~TQsoEntryHost() = default;
    virtual bool IgnoreModeInRealTime() const { return false; }
    virtual void PollRadioNow() {}
    // The date-range dialog: shows start and end and leaves them as the operator left them.
    virtual void AskDateRange(TDayNumber& start, TDayNumber& end) { (void)start; (void)end; }
    // Pick list over the records of list from first (in key order) on; the chosen record's
    // index in key order, -1 when cancelled.
    virtual int ShowPicklist(const std::string& caption, const TTwoIndex& list, int first)
    {
        (void)caption; (void)list; (void)first;
        return -1;
    }
    // slot: a TChildWindow.
    virtual void MarkChildDirty(int slot) { (void)slot; }
    // code: a TMainFormCode.
    virtual void PostToMainForm(int code) { (void)code; }
    virtual void Beep() {}
    virtual void ShowSerialNumber(bool visible, unsigned number) { (void)visible; (void)number; }
    // The log changed: a full refresh of the log list, or just one QSO added or updated.
    virtual void LogListChanged(bool full) { (void)full; }
    virtual void FocusField(int field) { (void)field; }
    virtual bool FieldHasFocus(int field) const { (void)field; return false; }
    // The commands that only exist outside add modes (Delete, Update, Confirm ...).
    virtual void EnableEditCommands(bool on) { (void)on; }
    virtual void ShowLogScrollBar(bool visible, int max, int position) { (void)visible; (void)max; (void)position; }
};

} // namespace korval
