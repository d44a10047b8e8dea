#pragma once
// Shared set-up of the import/export tests: a Korval home in a temp folder, the small hand-built
// country database of the logbook tests, the built-in configuration, a fixed clock, a message
// recorder and scripted answers to the import questions.
#include <gtest/gtest.h>

#include <deque>
#include <string>

#include "exchange/import_driver.h"
#include "logbook/bands_modes.h"
#include "logbook/call_lookup.h"
#include "logbook/config_record.h"
#include "logbook/country_db.h"
#include "logbook/country_fixture.h"
#include "logbook/base/day_number.h"
#include "logbook/qso_data.h"
#include "platform/message_dlg.h"
#include "test_support.h"

namespace korval::test {

class TScriptedQuestions : public TImportQuestions {
public:
    std::deque<int> policies;  // -1 = cancel
    std::deque<int> answers;   // prefix/zone answers, 1 when none left
    int policyQuestions = 0;
    int conflictQuestions = 0;
    bool AskDupesImportPolicy(int& policy) override
    {
        ++policyQuestions;
        int p = policies.empty() ? 2 : policies.front();
        if (!policies.empty())
            policies.pop_front();
        if (p < 0)
            return false;
        policy = p;
        return true;
    }
    int ConfirmPrefixZoneChange(const TQsoRecord&, std::uint16_t, std::uint8_t) override
    {
        ++conflictQuestions;
        int a = answers.empty() ? 1 : answers.front();
        if (!answers.empty())
            answers.pop_front();
        return a;
    }
};

// A new QSO valid for awards, the usual reports sent (599 or 59 by the mode) and the given ones
// received, looked up.
inline TQsoRecord* MakeQso(const char* call, TDayNumber date, int time, int band, int mode, int rcvdCw = 579,
                           int rcvdPhone = 57, std::uint8_t satMode = 0)
{
    auto* q = new TQsoRecord;
    q->Call = call;
    q->Date = date;
    q->Time = time;
    q->Band = static_cast<std::uint8_t>(band);
    q->Mode = static_cast<std::uint8_t>(mode);
    q->Flags = qfValidForAwards;
    q->RstSent = ModeReportKind(mode) == 1 ? 599 : 59;
    q->RstRcvd = ModeReportKind(mode) == 1 ? rcvdCw : rcvdPhone;
    q->SatMode = satMode;
    LookupCall(*q);
    return q;
}

// The fields every exchange format carries, the same after a round trip (b read back from a).
inline void ExpectSameContact(const TQsoRecord& b, const TQsoRecord& a)
{
    EXPECT_EQ(b.Call, a.Call);
    EXPECT_EQ(b.Date, a.Date);
    EXPECT_EQ(b.Time, a.Time);
    EXPECT_EQ(b.Band, a.Band);
    EXPECT_EQ(b.Mode, a.Mode);
    EXPECT_EQ(b.RstSent, a.RstSent);
    EXPECT_EQ(b.RstRcvd, a.RstRcvd);
    EXPECT_EQ(b.Exchange, a.Exchange);
    EXPECT_EQ(b.State, a.State);
    EXPECT_EQ(b.County, a.County);
    EXPECT_EQ(b.Grid, a.Grid);
    EXPECT_EQ(b.Iota, a.Iota);
    EXPECT_EQ(NoteText(b.Note), NoteText(a.Note));
}

class ExchangeTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Config = TConfigRecord();
        Config.SetDefaultBand(5);
        Config.SetDefaultMode(14);
        Config.SetImportDiagnostics(true);
        Config.SetImportPrefixDiffs(true);
        Config.SetImportZoneDiffs(true);
        Config.SetImportConflictAction(0);
        CountryDb = MakeFixtureDb();
        SetUtcClockSource([] { return std::int64_t(1717200000); });  // 2024-06-01 00:00 UTC
        previous_ = SetImportQuestions(&questions);
    }
    void TearDown() override
    {
        SetImportQuestions(previous_);
        SetUtcClockSource({});
    }
    static TFilterRecord AdifFilter()
    {
        TFilterRecord f;
        f.Id = "ADIF";
        f.Ext = "ADI";
        f.Usage = fuImpExp;
        return f;
    }
    TImportResult Import(TQsoData& log, const std::string& bytes, const TFilterRecord& f = AdifFilter())
    {
        return ImportData(log, bytes, "test.adi", f, f.IsAdif(), TImportSettings::FromConfig());
    }
    static std::string Note(const TQsoRecord* q) { return std::string(NoteText(q->Note)); }

    TempDir dir;
    ScopedHome home{dir.path()};
    ScopedMessageRecorder messages;
    TScriptedQuestions questions;

private:
    TImportQuestions* previous_ = nullptr;
};

} // namespace korval::test
