#pragma once
// A stand-in for the country database in the logbook tests: the country is the position of the
// call's first letter in the alphabet, the zone its length, the WPX prefix everything up to the
// last digit; statistics blocks for countries 0..26 and any WPX prefix.
#include <map>
#include <memory>
#include <string>

#include "logbook/qso_data.h"
#include "logbook/qso_lookup.h"

namespace korval::test {

class FakeLookup : public TQsoLookup {
public:
    FakeLookup() { previous_ = SetQsoLookup(this); }
    ~FakeLookup() override { SetQsoLookup(previous_); }

    void LookupCall(TQsoRecord& rec) override
    {
        std::string_view c = rec.Call.view();
        rec.Country = c.empty() ? 0 : static_cast<std::uint16_t>(c[0] - 'A' + 1);
        rec.Zone = static_cast<std::uint8_t>(c.size());
        ++lookups;
    }
    void CalcWPXPrefix(std::string_view call, TShortStr<7>& prefix) override
    {
        std::size_t last = call.find_last_of("0123456789");
        prefix.assign(last == std::string_view::npos ? call.substr(0, 2) : call.substr(0, last + 1));
    }
    TAwardStatusBlock* CountryStatusBlock(std::uint16_t country) override
    {
        return country < 27 ? &countries[country] : nullptr;
    }
    void ClearCountryStatus() override
    {
        for (auto& b : countries)
            b.Clear();
    }
    TAwardStatusBlock* WpxStatusBlock(std::string_view prefix, bool create) override
    {
        auto it = wpx.find(std::string(prefix));
        if (it != wpx.end())
            return it->second.get();
        if (!create)
            return nullptr;
        return (wpx[std::string(prefix)] = std::make_unique<TAwardStatusBlock>()).get();
    }
    void ClearWpxStatus() override { wpx.clear(); }

    TAwardStatusBlock countries[27];
    std::map<std::string, std::unique_ptr<TAwardStatusBlock>> wpx;
    int lookups = 0;

private:
    TQsoLookup* previous_;
};

// A QSO with the fields the tests vary; heap-allocated for the logbook to own.
inline TQsoRecord* NewQso(const char* call, std::uint16_t date, std::int32_t time, std::uint8_t band = 5,
                          std::uint8_t mode = 4)
{
    auto* r = new TQsoRecord();
    r->Call.assign(call);
    r->Date = date;
    r->Time = time;
    r->Band = band;
    r->Mode = mode;
    r->RstRcvd = 599;
    r->RstSent = 599;
    r->SatMode = 1;
    return r;
}

} // namespace korval::test
