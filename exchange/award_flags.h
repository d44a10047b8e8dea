#pragma once
// The award-flag changes over the selection: the submitted and credited ("checked") bits of one
// award category cleared, or submitted turned into checked once the award office credited a
// submission.
#include <cstdint>

namespace korval {

class TQsoData;

enum TAwardFlagAction : int {
    faClearSubmitted = 0,
    faClearChecked = 1,
    faClearBoth = 2,
    faSubmittedToChecked = 3,
};
// "Clear Submitted", "Clear Checked", "Clear Subm && Checked", "Submitted -> Checked".
extern const char* const AwardFlagActionNames[4];

// Applies the action to the category whose submitted bit is mask over the QSOs of the log's
// selection; returns how many QSOs changed (each once).
long ChangeAwardFlags(TQsoData& log, std::uint32_t mask, int action);

} // namespace korval
