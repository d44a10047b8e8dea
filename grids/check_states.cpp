#include "grids/check_states.h"

#include <cstddef>

namespace korval {

TCheckBoxState NextCheckState(TCheckBoxState state, bool threeState)
{
    switch (state) {
    case cbUnchecked:
        return threeState ? cbGrayed : cbChecked;
    case cbChecked:
        return cbUnchecked;
    case cbGrayed:
        return cbChecked;
    }
    return cbUnchecked;
}

TCheckBoxState TCheckStateList::Get(int index) const
{
    if (index < 0 || index >= Count())
        return cbUnchecked;
    return states_[static_cast<std::size_t>(index)];
}

void TCheckStateList::Set(int index, TCheckBoxState state)
{
    if (index < 0)
        return;
    if (index >= Count())
        states_.resize(static_cast<std::size_t>(index) + 1, cbUnchecked);
    states_[static_cast<std::size_t>(index)] = state;
}

void TCheckStateList::Inserted(int index)
{
    if (index < 0)
        return;
    if (index > Count())
        states_.resize(static_cast<std::size_t>(index), cbUnchecked);
    states_.insert(states_.begin() + index, cbUnchecked);
}

void TCheckStateList::Deleted(int index)
{
    if (index >= 0 && index < Count())
        states_.erase(states_.begin() + index);
}

} // namespace korval
