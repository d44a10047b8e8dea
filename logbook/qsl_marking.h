#pragma once
// The QSL work of the QSO window on its entry engine: confirming the shown QSO (QSL received,
// the label flag or a place in the print sequence, the offer to submit it for the awards it
// counts for), SWL reports against the shown QSO, the label flags and print sequence numbers
// over the selection, and what follows a label run. Questions go through MessageDlg; the
// listener's call and the label run itself come from the window through the two hooks.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "logbook/label_queue.h"

namespace korval {

class TQsoEntry;
struct TQsoRecord;

// One award class a QSO counts for: the award box of the QSO window that "Subm" goes into.
struct TAwardContribution {
    std::string Line;  // "DXCC Mixed", "WAZ Band" ...
    int Field;         // a TQsoFieldId of the award boxes
};

class TQslMarking {
public:
    // entry must outlive this object.
    explicit TQslMarking(TQsoEntry& entry) : entry_(entry) {}

    // Asks the operator for a text (caption, prompt, the text shown first and returned);
    // false when cancelled. Without it nothing is asked and nothing happens.
    std::function<bool(const std::string& caption, const std::string& prompt, std::string& value)> InputQuery;
    // Runs the label print of a TLabelKind. The printed QSOs and SWL records carry their printed
    // marks when it returns.
    std::function<void(int kind)> RunLabelPrint;

    // Confirm/Label on the shown QSO (modes 0 and 4); with advance the configured next step.
    void ConfirmQso(bool advance);
    // An SWL report of the listener's call for the shown QSO, or its removal when it is there.
    void ConfirmSwl(bool advance);
    // Sets (clear false) or clears the label flag over the QSOs the window selects.
    void SetLabelFlags(bool clear);
    void ClearSequencedPrint();
    void ClearSwlLabels();
    // A label run of a TLabelKind and its follow-up: QSL dates and cleared queue marks for what
    // was printed, or the printed SWL records deleted.
    void PrintLabels(int kind);
    // Shows a logged QSO (another window picked it) once the entry may be left; false when it
    // may not or the QSO is not in the view.
    bool GotoQso(const TQsoRecord* qso);

    // The awards and classes the QSO would count for once confirmed (not yet submitted or
    // checked there); the award status must be built.
    static std::vector<TAwardContribution> AwardContributions(const TQsoRecord& q);

private:
    // Where a QSO of the call queued now goes in the print sequence: behind the newest queued
    // QSO of the call in the selection when the operator agrees (behind > 0: the numbers above
    // it move up once the QSO is saved), else at the end. False when the sequence is full.
    bool PlaceInSequence(const TQsoRecord& self, std::uint16_t& number, std::uint16_t& behind);
    void Advance(bool advance);

    TQsoEntry& entry_;
};

} // namespace korval
