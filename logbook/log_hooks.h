#pragma once
// What the logbook asks of the main window and the QSO window. The main window installs an
// implementation; until then every call does nothing, so the engines run without windows.
#include <string>

namespace korval {

class TLogWindowHooks {
public:
    virtual ~TLogWindowHooks() = default;
    // The log became modified: show "Modified" in the disk panel.
    virtual void ShowModified() {}
    // Any change: restart the auto-save countdown.
    virtual void RestartAutoSave() {}
    virtual void StopAutoSave() {}
    // Status text of the disk panel while saving; an empty text clears it.
    virtual void SetDiskPanel(const std::string& /*text*/) {}
    // A log was opened (new or loaded): create and show the QSO window.
    virtual void ShowQsoWindow() {}
    // QSOs were merged into the open log: refresh the QSO window's view.
    virtual void RefreshQsoWindow() {}
    // The cluster spot list suspends its rechecks while a log loads.
    virtual void LogLoading(bool /*loading*/) {}
};

// The installed hooks; never null.
TLogWindowHooks& LogHooks();
// Installs hooks (null restores the silent ones); returns the previous ones.
TLogWindowHooks* SetLogHooks(TLogWindowHooks* hooks);

} // namespace korval
