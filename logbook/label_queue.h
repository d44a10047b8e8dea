#pragma once
// The label queue: what a label run prints and how it tells what it printed.
//
// Three kinds of run (TLabelKind):
//   lkLabelFlag (0)  the QSOs of the log's selection whose flag byte has qfLabelToPrint, in log order;
//   lkSequence  (1)  the QSOs of the selection with a print sequence number (SeqPrtNr != 0), in
//                    the order of their numbers;
//   lkSwl       (2)  every SWL record of the log, in its order (call, date, time, band, mode).
// A label printer takes the QSOs from LabelQueue (re-sorting or filtering them by route as it
// likes) and calls MarkLabelPrinted / MarkSwlPrinted for each one it really printed. Before
// the run the QSO window clears every printed mark; afterwards it offers the follow-up (QSL
// dates set and queue marks cleared, or printed SWL records deleted) for the marked ones only.
//
// A QSO's printed mark lives in memory only (TQsoRecord::LabelPrinted): the flag byte's bit 1
// is the stored five-band mark and is never touched by a label run. An SWL record's printed
// mark is its stored byte 22.
#include <cstdint>
#include <vector>

namespace korval {

class TQsoData;
struct TQsoRecord;
struct TSwlRecord;

enum TLabelKind : int { lkLabelFlag = 0, lkSequence = 1, lkSwl = 2 };

// The queued QSOs of a run of kind 0 or 1 (empty for any other kind).
std::vector<TQsoRecord*> LabelQueue(const TQsoData& log, int kind);
// True when q is queued for a run of kind 0 or 1 (the selection aside).
bool InLabelQueue(const TQsoRecord& q, int kind);

inline constexpr std::uint8_t kSwlPrinted = 1;
void MarkLabelPrinted(TQsoRecord& q);
void MarkSwlPrinted(TSwlRecord& r);

} // namespace korval
