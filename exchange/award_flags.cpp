#include "exchange/award_flags.h"

#include "logbook/qso_data.h"

namespace korval {

const char* const AwardFlagActionNames[4] = {"Clear Submitted", "Clear Checked", "Clear Subm && Checked",
                                             "Submitted -> Checked"};

long ChangeAwardFlags(TQsoData& log, std::uint32_t mask, int action)
{
    const std::uint32_t checked = mask << 1;
    long n = 0;
    for (TQsoRecord* q : log.Qsos()) {
        if (!log.InSelection(*q))
            continue;
        std::uint32_t f = q->AwardFlags;
        switch (action) {
        case faClearSubmitted:
            f &= ~mask;
            break;
        case faClearChecked:
            f &= ~checked;
            break;
        case faClearBoth:
            f &= ~(mask | checked);
            break;
        case faSubmittedToChecked:
            if (f & mask)
                f = (f & ~mask) | checked;
            break;
        default:
            break;
        }
        if (f != q->AwardFlags) {
            q->AwardFlags = f;
            ++n;
        }
    }
    return n;
}

} // namespace korval
