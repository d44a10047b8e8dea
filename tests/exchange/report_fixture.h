#pragma once
// Shared set-up of the report tests: the hand-built country database of the logbook tests with
// a hundred more countries Z000 .. Z099 (so an award can reach its threshold) and a statistics
// block per country, the built-in configuration, an empty log, and QSOs made field by field.
//   Countries by number: 1 DL, 2 F, 3 K, 4 KH6, 5 KL7, 6 OE, 7 Y2 (ended 1990), 8..107 Z000..Z099.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include "logbook/bands_modes.h"
#include "logbook/base/record_bytes.h"
#include "logbook/base/string_utils.h"
#include "logbook/call_lookup.h"
#include "logbook/config_record.h"
#include "logbook/country_db.h"
#include "logbook/country_fixture.h"
#include "logbook/qso_data.h"
#include "logbook/qso_lookup.h"
#include "platform/message_dlg.h"

namespace korval::test {

inline constexpr int kZFirst = 8;  // country number of Z000

inline TCountryData MakeReportDb()
{
    TCountryData db = MakeFixtureDb();
    for (int i = 0; i < 100; ++i) {
        TCountryRecord c;
        c.Prefix = "Z" + std::string(i < 10 ? "00" : "0") + std::to_string(i);
        c.Name = "Country " + std::to_string(i);
        db.Countries->InsertRecord(c.ToBytes().data());
    }
    for (std::int32_t i = 0; i < db.Countries->Count(); ++i) {
        db.Statistics.push_back(std::make_unique<TAwardStatusBlock>());
        PutU32(db.Countries->Record(i), cty_off::Statistics, static_cast<std::uint32_t>(db.Statistics.size()));
    }
    return db;
}

// The status cells of a report line from field `first` on, the middle dot shown as '.'.
inline std::string Statuses(const std::string& line, int first)
{
    std::string s;
    for (int i = first;; ++i) {
        const std::string f = GetTabField(i, line);
        if (f.empty())
            break;
        s += f == "\xB7" ? '.' : f[0];
    }
    return s;
}

// A QSO valid for awards with the RST received of its mode; confirmed when qsl.
struct TQsoSpec {
    const char* call;
    TDayNumber date;
    int time;
    int band;
    int mode;
    bool qsl = false;
};

class ReportTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        saved_ = Config;
        Config = TConfigRecord();
        CountryDb = MakeReportDb();
        InstallCountryLookup();
        log = std::make_unique<TQsoData>("REPORT.KVL");
    }
    void TearDown() override
    {
        log.reset();
        SetQsoLookup(nullptr);
        CountryDb = TCountryData::Empty();
        Config = saved_;
    }
    // A QSO put straight into the log: country, zone and WPX prefix as the lookup gives them,
    // then whatever adjust changes before the QSO goes in.
    TQsoRecord* Add(const TQsoSpec& s, const std::function<void(TQsoRecord&)>& adjust = {})
    {
        auto* q = new TQsoRecord;
        q->Call = s.call;
        q->Date = s.date;
        q->Time = s.time;
        q->Band = static_cast<std::uint8_t>(s.band);
        q->Mode = static_cast<std::uint8_t>(s.mode);
        q->RstSent = q->RstRcvd = ModeReportKind(s.mode) == 1 ? 599 : 59;
        q->Flags = qfValidForAwards | (s.qsl ? qfQslReceived : 0);
        LookupCall(*q);
        DeriveWpxPrefix(*q);
        if (adjust)
            adjust(*q);
        log->InsertQso(q);
        return q;
    }
    // A confirmed CW QSO with country number n (a call of its own), on the band.
    TQsoRecord* AddCountry(int n, int band = 5, TDayNumber date = Day(2000, 1, 1))
    {
        return Add({"Z1AA", date, 3600, band, mdCW, true}, [n](TQsoRecord& q) {
            q.Call = "Z" + std::to_string(n) + "AA";
            q.Country = static_cast<std::uint16_t>(n);
        });
    }

    std::unique_ptr<TQsoData> log;
    ScopedMessageRecorder messages;

private:
    TConfigRecord saved_;
};

} // namespace korval::test
