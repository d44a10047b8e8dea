#pragma once
// A small hand-built country database for the lookup and file tests:
//   countries (by number): 0 "" Unknown, 1 DL Germany, 2 F France, 3 K United States (US states),
//   4 KH6 Hawaii (state HI), 5 KL7 Alaska (state AK), 6 OE Austria, 7 Y2 East Germany (ended
//   3 Oct 1990);
//   prefix Y2 maps to East Germany until 3 Oct 1990 and to Germany from that day; W6 has zone 3;
//   exception calls DL0XYZ (France from 2000, Austria from 2010) and Y21ABC (East Germany);
//   QSL manager of F5ABC: W3HNK from 2001, DL1AAA from June 2005;
//   states 0 none, AK, CA, HI, NY, TX; one state code, one IOTA reference, one county.
#include "logbook/country_db.h"
#include "logbook/base/record_bytes.h"

#include <string>

namespace korval::test {

// Day numbers counted from 1 March 1900.
inline TDayNumber Day(int y, int m, int d)
{
    y -= 1900;
    if (m < 3) {
        m += 9;
        y -= 1;
    } else {
        m -= 3;
    }
    return static_cast<TDayNumber>((153 * m + 2) / 5 + (y * 1461) / 4 + d - 1);
}

inline const TDayNumber Reunification = Day(1990, 10, 3);

inline TCountryData MakeFixtureDb()
{
    TCountryData db = TCountryData::Empty();
    auto country = [&](const char* prefix, const char* name, int cq, std::uint8_t kind, TDayNumber end = OpenEndDate) {
        TCountryRecord c;
        c.Prefix = prefix;
        c.Name = name;
        c.CqZone = static_cast<std::uint8_t>(cq);
        c.StatesKind = kind;
        c.EndDate = end;
        db.Countries->InsertRecord(c.ToBytes().data());
    };
    country("", "Unknown", 0, 0);
    country("DL", "Germany", 14, skNoState);
    country("F", "France", 14, skNoState);
    country("K", "United States", 5, skUsStates);
    country("KH6", "Hawaii", 31, skHawaii);
    country("KL7", "Alaska", 1, skAlaska);
    country("OE", "Austria", 15, skNoState);
    country("Y2", "East Germany", 14, skNoState, Reunification);

    auto map = [&](const char* prefix, int c, int zone, TDayNumber start = 0, TDayNumber end = OpenEndDate) {
        TPrefixMapRecord m{prefix, static_cast<std::uint16_t>(c), static_cast<std::uint8_t>(zone), start, end};
        db.Prefixes->InsertRecord(m.ToBytes().data());
    };
    map("DL", 1, 14);
    map("DA", 1, 14);
    map("F", 2, 14);
    map("K", 3, 5);
    map("W", 3, 5);
    map("N", 3, 5);
    map("W6", 3, 3);
    map("KH6", 4, 31);
    map("KL7", 5, 1);
    map("OE", 6, 15);
    map("Y2", 1, 14, Reunification); // inserted first: the file keeps them by date anyway
    map("Y2", 7, 14, 0, Reunification);

    auto call = [&](const char* c, int country, int zone, TDayNumber start) {
        TExceptionCallRecord e{c, static_cast<std::uint16_t>(country), static_cast<std::uint8_t>(zone), start};
        db.ExceptionCalls->InsertRecord(e.ToBytes().data());
    };
    call("DL0XYZ", 6, 15, Day(2010, 1, 1));
    call("DL0XYZ", 2, 14, Day(2000, 1, 1));
    call("Y21ABC", 7, 14, Day(1980, 1, 1));

    auto state = [&](const char* abbrev, int zone, const char* name) {
        TUsStateRecord s{abbrev, static_cast<std::uint8_t>(zone), name};
        db.States->InsertRecord(s.ToBytes().data());
    };
    state("", 0, "");
    state("TX", 4, "Texas");
    state("AK", 1, "Alaska");
    state("CA", 3, "California");
    state("HI", 31, "Hawaii");
    state("NY", 5, "New York");

    TStateCodeRecord code{"CAL", 2};
    db.StateCodes->InsertRecord(code.ToBytes().data());
    TIotaRecord iota{"EU005", -5.0, 50.0, "Great Britain"};
    db.Iota->InsertRecord(iota.ToBytes().data());

    TQslManagerRecord q1{"F5ABC", Day(2005, 6, 1), "DL1AAA"};
    TQslManagerRecord q2{"F5ABC", Day(2001, 1, 1), "W3HNK"};
    db.QslManagers->InsertRecord(q1.ToBytes().data());
    db.QslManagers->InsertRecord(q2.ToBytes().data());

    TCountyRecord county{"CA037", "Los Angeles"};
    db.Counties->InsertRecord(county.ToBytes().data());
    std::uint8_t key[ManagerAddressKeyLen] = {};
    PutShortStr(key, 0, CallCap, "W3HNK");
    db.ManagerAddresses->InsertLines(key, {"Joe", "Box 1"});
    return db;
}

} // namespace korval::test
