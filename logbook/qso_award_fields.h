#pragma once
// The custom-award controls of the QSO window: the award box (a blank item in search mode, "---",
// then the awards that fit the entry's prefix, band and mode) and the value control the chosen
// award needs (a list of its values, or a free text).
#include <string>
#include <vector>

#include "logbook/qso_fields.h"
#include "logbook/qso_record.h"

namespace korval {

class TQsoAwardFields {
public:
    // fields must outlive this object.
    explicit TQsoAwardFields(TQsoFields& fields) : fields_(fields) {}

    // Fills the award box and selects id with value; in search mode every award is listed and
    // nothing is selected.
    void Fill(const std::string& id, const std::string& value, bool search);
    // Fills the box again for the entry's band and mode, keeping the choice and the edit marks.
    void Refresh(bool search);
    void ShowValue(const std::string& value, bool search);
    // The chosen award and value into rec (both cleared when no award is chosen).
    void Take(TQsoRecord& rec) const;
    std::string SelectedId() const;
    // The box's items after the blank one (item 1 "---", then award names).
    const std::vector<std::string>& Items() const { return names_; }

private:
    TQsoFields& fields_;
    std::vector<std::string> ids_;    // parallel to names_
    std::vector<std::string> names_;
};

} // namespace korval
