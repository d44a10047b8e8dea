#pragma once
// The work of the selection editor: a working copy of the log's saved selections, the one shown
// and its edited copy. The first saved selection ("All QSOs") can be neither changed nor
// deleted. Accepting hands the working list to the log when anything changed, and makes the
// shown selection the current one.
#include <string>
#include <vector>

#include "logbook/base/day_number.h"
#include "logbook/swl_record.h"

namespace korval {

class TQsoData;

class TSelectionEditor {
public:
    static constexpr int kNameLength = 25;
    static constexpr const char* kNewName = "Replace this name";
    // The last date of a selection without an end.
    static constexpr TDayNumber kOpenEnd = 65535;

    // Works on a copy of log's saved selections, showing its current one.
    explicit TSelectionEditor(const TQsoData& log);

    int Count() const { return static_cast<int>(work_.size()); }
    std::string Name(int i) const { return work_[static_cast<std::size_t>(i)].Name.str(); }
    int Shown() const { return shown_; }
    // The selection as edited so far.
    const TQsoSelection& Edited() const { return edited_; }
    bool Modified() const { return modified_; }
    // The filter controls and the Delete and Update buttons may be used.
    bool Editable() const { return Count() > 0 && shown_ > 0; }

    // Shows entry i (outside the list: entry 0's place with the default selection).
    void Show(int i);
    // Group n in or out of the edited selection (a double click on its row).
    void ToggleGroup(int group);
    // "x" when the group is in the edited selection, else a blank; then its number as three
    // digits and its name (group n is the log's name n - 1).
    std::string GroupRow(int group, const std::string& name) const;

    void Add();
    void Delete();
    // Takes the controls into the edited selection and stores it; false (with the warning
    // "Please check your dates") when the first date lies after the last one, and nothing is
    // stored. Empty dates come as 0; an empty last date stands for an open end.
    bool Update(bool dateFilter, bool groupFilter, TDayNumber first, TDayNumber last, const std::string& name,
                bool qrp, bool yl);

    // What accepting did.
    enum TAcceptResult { arCancelled, arSwitched, arReplaced };
    TAcceptResult Accept(TQsoData& log);

private:
    std::vector<TQsoSelection> work_;
    int shown_ = 0;
    TQsoSelection edited_;
    bool modified_ = false;
};

} // namespace korval
