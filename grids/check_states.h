#pragma once
// Per-item check states of the check list, kept beside its item list.
#include <vector>

namespace korval {

enum TCheckBoxState { cbUnchecked = 0, cbChecked = 1, cbGrayed = 2 };

// The state a click or a typed character moves an item to.
TCheckBoxState NextCheckState(TCheckBoxState state, bool threeState);

class TCheckStateList {
public:
    // cbUnchecked for an index outside the list.
    TCheckBoxState Get(int index) const;
    // Grows the list with cbUnchecked entries when index lies beyond its end; negative is ignored.
    void Set(int index, TCheckBoxState state);
    // An item was inserted at / deleted from index: the states after it move with their items.
    void Inserted(int index);
    void Deleted(int index);
    void Clear() { states_.clear(); }
    int Count() const { return static_cast<int>(states_.size()); }

private:
    std::vector<TCheckBoxState> states_;
};

} // namespace korval
