#include "logbook/label_queue.h"

#include <algorithm>

#include "logbook/qsl_marking.h"
#include "logbook/qso_data.h"

namespace korval {

bool InLabelQueue(const TQsoRecord& q, int kind)
{
    if (kind == lkLabelFlag)
        return q.HasFlag(qfLabelToPrint);
    if (kind == lkSequence)
        return q.SeqPrtNr != 0;
    return false;
}

std::vector<TQsoRecord*> LabelQueue(const TQsoData& log, int kind)
{
    std::vector<TQsoRecord*> out;
    for (TQsoRecord* q : log.Qsos())
        if (InLabelQueue(*q, kind) && log.InSelection(*q))
            out.push_back(q);
    if (kind == lkSequence)
        std::stable_sort(out.begin(), out.end(),
                         [](const TQsoRecord* a, const TQsoRecord* b) { return a->SeqPrtNr < b->SeqPrtNr; });
    return out;
}

void MarkLabelPrinted(TQsoRecord& q) { q.LabelPrinted = true; }

void MarkSwlPrinted(TSwlRecord& r) { r.Printed = kSwlPrinted; }

} // namespace korval
