#pragma once
// The work of the group-name editor: a working copy of the log's group names (group n is name
// n - 1) with a selected row. Each name remembers the group number it had, so that accepting
// can move the QSOs, the saved selections and the merge group along with their names: inserting
// or deleting a name leaves every QSO with the name it had.
#include <string>
#include <vector>

namespace korval {

class TQsoData;

class TGroupNamesEditor {
public:
    // Group numbers are bytes 1..253 (0 is no group; 254 and 255 are the QRP and YL bits of a
    // selection's group set).
    static constexpr int kMaxNames = 253;
    static constexpr int kNameLength = 25;

    explicit TGroupNamesEditor(const TQsoData& log);

    int Count() const { return static_cast<int>(names_.size()); }
    // -1 when the list is empty.
    int Selected() const { return selected_; }
    std::string Name(int row) const { return names_[static_cast<std::size_t>(row)].name; }
    // The row as listed: its group number as three digits, a blank, the name.
    std::string Row(int row) const;
    // The selected name (empty without one).
    std::string SelectedName() const;

    void Select(int row);
    // Each returns false when it changed nothing (a full list refuses with a message).
    bool Add(const std::string& name);
    bool Change(const std::string& name);
    // Deleting a name that QSOs use asks first; those QSOs are left without a group.
    bool Delete();
    bool Insert(const std::string& name);

    // The log takes the names; QSOs, saved selections, the current selection and the merge
    // group of the configuration follow their names to the new numbers. Marks the log modified.
    void Apply(TQsoData& log) const;

private:
    struct TEntry {
        std::string name;
        int origin;  // the group number the name had, 0 for a new name
    };
    bool Room() const;

    std::vector<TEntry> names_;
    std::vector<long> uses_;  // QSOs per original group number
    int selected_ = -1;
};

} // namespace korval
