#pragma once
// The per-field checks of the QSO window and the pick lists that answer a refused value.
#include "logbook/qso_fields.h"

namespace korval {

class TQsoData;
class TQsoEntryHost;
class TQsoLocation;

class TQsoValidators {
public:
    // Everything given must outlive the validators.
    TQsoValidators(TQsoFields& fields, TQsoEntryHost& host, const TQsoData& log, TQsoLocation& location)
        : fields_(fields), host_(host), log_(log), location_(location)
    {
    }

    // The user validation of a field: 0, oeRangeError or oeUnknownValue. Nothing is checked in
    // search mode except the prefix rule.
    int ValidateField(int field, bool search) const;
    // The error handler: the message, or the pick list that answers the refused value.
    void FieldError(int field, bool search);
    void ShowCountries(bool search);
    void ShowStates();
    void ShowCounties();
    void ShowIotaListing();
    void ShowGroupNames();
    void GridExit(bool search);
    void ZoneExit();
    void IotaExit();

private:
    TQsoFields& fields_;
    TQsoEntryHost& host_;
    const TQsoData& log_;
    TQsoLocation& location_;
};

} // namespace korval
