#pragma once
// Changes to many QSOs at once from the QSO window: the QSOs its commands select are those of
// the logbook's selection that, while the window searches or browses a search, also match the
// search. Each command names how many QSOs it may touch, asks, acts with progress, reports the
// number changed and marks the log changed. Questions go through MessageDlg.
#include <cstdint>
#include <functional>

namespace korval {

class TQsoEntry;
struct TQsoRecord;

// What a mode change over the selection did.
struct TModeChange {
    long Changed = 0;
    // QSOs left with their old mode because a report they carry has no meaning in the new one
    // (a three-digit RST on a phone mode, say).
    long Refused = 0;
};

class TQsoBulkEdits {
public:
    // entry must outlive this object.
    explicit TQsoBulkEdits(TQsoEntry& entry) : entry_(entry) {}

    // How many QSOs the commands would touch (compiles a search being filled in).
    long CountSelected();
    // Whether a QSO is one the commands touch (after CountSelected).
    bool Selected(const TQsoRecord& q) const;

    // The commands of the "Multiple QSOs operations" menu; each asks first.
    void DeleteQsos();
    void SetConfirmed();
    void SetQslDate();
    // Fills the state and county of US QSOs without a state from the newest earlier QSO of the
    // same call that has one; every QSO of the log, without a question.
    void SetUsaStates();
    // The group and mode dialogs' work once the operator chose: the selected QSOs whose group or
    // mode differs get the new one. No question and no report: the dialogs give those.
    long SetGroup(std::uint8_t group);
    TModeChange SetMode(int mode);

private:
    // Runs change over every selected QSO with progress; returns how many it changed.
    long ForSelected(const char* caption, const std::function<bool(TQsoRecord&)>& change);

    TQsoEntry& entry_;
};

} // namespace korval
