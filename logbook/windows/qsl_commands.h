#pragma once
// The QSO window's QSL, label and bulk-edit commands, callable from its menus, its keys and the
// log list. Each runs on the window's entry between reading its controls and showing them
// again; the questions and reports are the engines' (TQslMarking, TQsoBulkEdits).
#include <functional>

namespace korval {

class TQSOForm;
struct TQsoRecord;

// ---- labels and confirmation ----
// Confirm/Label (F2): the shown QSO confirmed, queued for its label, offered for submission;
// then the configured next step.
void ConfirmLabel(TQSOForm& form);
// Confirm SWL: asks for the listener's call and records (or removes) the SWL report.
void ConfirmSwl(TQSOForm& form);
// Set label flags (clear false) / Clear print flags (clear true) over the selected QSOs.
void SetLabelFlags(TQSOForm& form, bool clear);
void ClearSequencedPrint(TQSOForm& form);
void ClearSwlLabels(TQSOForm& form);
// Print QSL labels (kind 0), labels in sequence (1), SWL labels (2): the label run is the
// runner's (the label printing); the follow-up questions are asked here.
void PrintLabels(TQSOForm& form, int kind, const std::function<void(int kind)>& runLabelPrint);
// The log list's Confirm label (swl false) and Confirm SWL: shows the QSO in the QSO window,
// when its entry may be left, and confirms it there without moving on. False when the QSO
// could not be shown.
bool ConfirmFromList(TQSOForm& form, const TQsoRecord* qso, bool swl);

// ---- "Multiple QSOs operations" ----
void DeleteSelectedQsos(TQSOForm& form);
void SetSelectedConfirmed(TQSOForm& form);
void SetSelectedQslDate(TQSOForm& form);
void SetUsaStates(TQSOForm& form);

} // namespace korval
