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
    // A QSO was logged, changed or deleted by hand: the crash backup is written at the next idle
    // time, so that a program killed right after loses none of it.
    virtual void BackupSoon() {}
    // Many QSOs are being added (an import): no crash backup is taken until running is false
    // again, as one taken halfway would hold only part of them.
    virtual void BulkChange(bool /*running*/) {}
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

// Holds the crash backup back while it lives (see BulkChange).
class TBulkChangeScope {
public:
    TBulkChangeScope() : hooks_(LogHooks()) { hooks_.BulkChange(true); }
    ~TBulkChangeScope() { hooks_.BulkChange(false); }
    TBulkChangeScope(const TBulkChangeScope&) = delete;
    TBulkChangeScope& operator=(const TBulkChangeScope&) = delete;

private:
    TLogWindowHooks& hooks_;
};
// Installs hooks (null restores the silent ones); returns the previous ones.
TLogWindowHooks* SetLogHooks(TLogWindowHooks* hooks);

} // namespace korval
