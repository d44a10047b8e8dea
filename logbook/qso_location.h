#pragma once
// Where the station of the entry is: the country fields shown for a country, and the heading and
// distance from home to the grid, IOTA island or country the fields name.
#include <cstdint>
#include <string_view>

#include "logbook/qso_fields.h"

namespace korval {

class TQsoEntryHost;

// The heading the heading display shows ("FN31: 123\xB0 5,432Km" gives 123): the digits between
// the blank before the degree sign and the degree sign; 0 without text or without a degree sign.
int HeadingOfDirDist(std::string_view text);

class TQsoLocation {
public:
    // fields and host must outlive this object.
    TQsoLocation(TQsoFields& fields, TQsoEntryHost& host) : fields_(fields), host_(host) {}

    // Prefix, country name and the state as the country has states; country 0 (or unknown)
    // clears prefix, name, state and zone.
    void ShowCountry(std::uint16_t country);
    // The heading display from the grid, else the IOTA island, else the prefix's country.
    void ShowHeading();
    double Longitude() const { return lon_; }
    double Latitude() const { return lat_; }

private:
    TQsoFields& fields_;
    TQsoEntryHost& host_;
    double lon_ = 0, lat_ = 0;
};

} // namespace korval
