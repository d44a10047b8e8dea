#pragma once
// What the QSO window fills in from a call, a date, a prefix or a state the operator entered:
// the lookup's country, zone and QSL manager, the call's notes and what its last QSO knew
// (state, county, IOTA, grid, YL), and the child windows that show them marked for refresh.
#include <initializer_list>
#include <string>

#include "logbook/base/day_number.h"
#include "logbook/qso_fields.h"
#include "logbook/qso_record.h"

namespace korval {

class TQsoData;
class TQsoEntryHost;
class TQsoLocation;

class TQsoCallEntry {
public:
    // Everything given must outlive this object.
    TQsoCallEntry(TQsoFields& fields, TQsoEntryHost& host, const TQsoData& log, TQsoLocation& location)
        : fields_(fields), host_(host), log_(log), location_(location)
    {
    }

    // The fields of the entered call; true when the call is a valid one.
    bool Entered();
    // The exits of the date, prefix and state fields: nothing unless the field was modified.
    void DateExit();
    void PrefixExit();
    void StateExit();
    // The country and zone of a spotted call while the call field is still empty.
    void Preview(const std::string& call, TDayNumber date);

private:
    std::string EnteredCall() const;
    // The lookup of the entered call on the entered date.
    TQsoRecord LookUpEntered() const;
    void MarkDirty(std::initializer_list<int> slots);

    TQsoFields& fields_;
    TQsoEntryHost& host_;
    const TQsoData& log_;
    TQsoLocation& location_;
};

} // namespace korval
