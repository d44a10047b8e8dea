#include "logbook/qso_lookup.h"

namespace korval {

namespace {
class TUnknownLookup : public TQsoLookup {
public:
    void LookupCall(TQsoRecord& rec) override
    {
        rec.Country = 0;
        rec.Zone = 0;
    }
    void CalcWPXPrefix(std::string_view, TShortStr<7>& prefix) override { prefix.clear(); }
};
TUnknownLookup unknownLookup;
TQsoLookup* current = &unknownLookup;
} // namespace

TQsoLookup& QsoLookup() { return *current; }

TQsoLookup* SetQsoLookup(TQsoLookup* lookup)
{
    TQsoLookup* old = current == &unknownLookup ? nullptr : current;
    current = lookup ? lookup : &unknownLookup;
    return old;
}

void DeriveWpxPrefix(TQsoRecord& rec) { current->CalcWPXPrefix(rec.Call.view(), rec.WpxPrefix); }

} // namespace korval
