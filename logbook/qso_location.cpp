#include "logbook/qso_location.h"

#include <string>

#include "logbook/call_lookup.h"
#include "logbook/child_window.h"
#include "logbook/config_record.h"
#include "logbook/country_db.h"
#include "logbook/was_state.h"
#include "logbook/main_form_code.h"
#include "logbook/position.h"
#include "logbook/qso_entry_host.h"
#include "logbook/base/string_utils.h"

namespace korval {

namespace {

std::string ThousandsSep(long v)
{
    std::string s = std::to_string(v < 0 ? -v : v), out;
    int n = 0;
    for (auto it = s.rbegin(); it != s.rend(); ++it) {
        if (n && n % 3 == 0)
            out.insert(out.begin(), ',');
        out.insert(out.begin(), *it);
        ++n;
    }
    return v < 0 ? "-" + out : out;
}

} // namespace

int HeadingOfDirDist(std::string_view text)
{
    const std::size_t degree = text.find('\xB0');
    if (degree == std::string_view::npos)
        return 0;
    const std::size_t blank = text.substr(0, degree).rfind(' ');
    const std::size_t from = blank == std::string_view::npos ? 0 : blank + 1;
    int heading = 0;
    for (char c : text.substr(from, degree - from))
        if (c >= '0' && c <= '9' && heading < 100000)  // a display is no place for more digits
            heading = heading * 10 + (c - '0');
    return heading;
}

void TQsoLocation::ShowCountry(std::uint16_t country)
{
    auto& T = fields_.Text;
    TCountryRecord c;
    if (country != 0 && GetCountry(country, c)) {
        T[fPrefix] = c.Prefix;
        fields_.CountryText = c.Name;
        const std::string st = TrimSpaces(T[fState]);
        T[fState] = WasStateFor(c.StatesKind, st, StateNumber(st) != 0).substr(0, 2);
        host_.MarkChildDirty(cwStateSummary);
    } else {
        fields_.CountryText.clear();
        T[fPrefix].clear();
        T[fState].clear();
        T[fZone].clear();
    }
    for (int slot : {cwCountrySummary, cwCountryInfo, cwZoneSummary})
        host_.MarkChildDirty(slot);
}

void TQsoLocation::ShowHeading()
{
    const auto& T = fields_.Text;
    double lon = 0, lat = 0;
    std::string label;
    const std::string grid = TrimSpaces(T[fGrid]);
    const std::string iota = UpperAscii(TrimSpaces(T[fIota]));
    const std::string prefix = UpperAscii(TrimSpaces(T[fPrefix]));
    if (!grid.empty() && GridToPosition(grid, lon, lat)) {
        label = grid;
    } else if (!iota.empty() && CountryDb.Iota) {
        auto key = MakeShortStrKey(iota);
        std::int32_t i = CountryDb.Iota->IndexOfKey(key.data());
        if (i >= 0) {
            TIotaRecord rec = TIotaRecord::FromBytes(CountryDb.Iota->Record(i));
            if (rec.Longitude != 0 || rec.Latitude != 0) {
                lon = rec.Longitude;
                lat = rec.Latitude;
                label = iota;
            }
        }
    }
    // State records carry no position, so a state never gives one.
    if (label.empty() && !prefix.empty()) {
        std::int32_t c = CountryNumberOfPrefix(prefix);
        TCountryRecord rec;
        if (c > 0 && GetCountry(static_cast<std::uint16_t>(c), rec)) {
            lon = rec.Longitude;
            lat = rec.Latitude;
            label = prefix;
        }
    }
    double homeLat = 0, homeLon = 0;
    if (label.empty() || !HomePosition(homeLat, homeLon)) {
        fields_.DirDist.clear();
        return;
    }
    int heading = 0, km = 0;
    CalcBearingDistance(true, heading, km, lat, lon);
    const bool miles = Config.DistanceUnit() == kDistanceInMiles;
    long dist = km;
    if (miles)
        dist = static_cast<long>(km * 0.62137 + 0.5);
    std::string text = label + ": " + std::to_string(heading) + "\xB0 " + ThousandsSep(dist) + (miles ? "Mi" : "Km");
    fields_.DirDist = text.substr(0, 20);
    lon_ = lon;
    lat_ = lat;
    host_.PostToMainForm(mfWorkedStatusChanged);
}

} // namespace korval
