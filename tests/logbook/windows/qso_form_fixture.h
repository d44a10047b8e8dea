#pragma once
// A QSO window over a one-QSO log with the fixture country database, shown offscreen.
#include <QApplication>
#include <QTest>
#include <gtest/gtest.h>

#include "logbook/country_fixture.h"
#include "entry/windows/ovc_base_field.h"
#include "logbook/bands_modes.h"
#include "logbook/call_lookup.h"
#include "logbook/config_record.h"
#include "logbook/qso_data.h"
#include "logbook/windows/qso_form.h"
#include "logbook/qso_lookup.h"

namespace korval {

using test::Day;

class QsoFormTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        saved_ = Config;
        CountryDb = test::MakeFixtureDb();
        InstallCountryLookup();
        Config.SetDefaultMode(mdCW);
        Config.SetDefaultBand(5);
        Config.SetWarnUnsavedQso(false);
        Config.SetLookupWhileTyping(false);
        Config.SetContestMode(false);
        Config.SetContestExchange("");
        Config.SetCallSearchMethod(2);
        Config.SetDateSearchMethod(1);
        Config.SetQsoWindowSize(5);
        const std::int64_t unix = (static_cast<std::int64_t>(Day(2020, 5, 1)) - Day(1970, 1, 1)) * 86400 + 43200;
        SetUtcClockSource([unix] { return unix; });
        log_ = std::make_unique<TQsoData>("TEST.KVL");
        TQsoRecord* old = AddQso("W6XYZ", Day(2019, 1, 1));
        old->Grid.assign("CM87");
        old->State = StateNumber("CA");
        Reopen();
    }
    // A QSO straight into the log (the window shows it once reopened).
    TQsoRecord* AddQso(const char* call, TDayNumber date)
    {
        auto* q = new TQsoRecord;
        q->Call.assign(call);
        q->Date = date;
        q->Mode = mdCW;
        q->Band = 5;
        LookupCall(*q);
        DeriveWpxPrefix(*q);
        log_->InsertQso(q);
        return q;
    }
    void Reopen()
    {
        form_.reset();
        form_ = std::make_unique<TQSOForm>(log_.get());
        form_->show();
        form_->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form_.get()));
        Settle();
    }
    void TearDown() override
    {
        form_.reset();
        log_.reset();
        SetUtcClockSource(nullptr);
        SetQsoLookup(nullptr);
        CountryDb = TCountryData::Empty();
        Config = saved_;
    }
    static void Settle()
    {
        for (int i = 0; i < 8; ++i)
            QCoreApplication::processEvents();
    }
    TOvcBaseEntryField* F(int field) { return form_->Field(field); }
    void TypeInto(int field, const char* text)
    {
        QWidget* w = form_->Control(field);
        w->setFocus(Qt::TabFocusReason);
        Settle();
        QTest::keyClicks(w, text);
        Settle();
    }
    // Focuses the field, then one key (with modifiers).
    void KeyIn(int field, int key, Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        QWidget* w = form_->Control(field);
        w->setFocus(Qt::TabFocusReason);
        Settle();
        QTest::keyClick(w, static_cast<Qt::Key>(key), mods);
        Settle();
    }
    void Key(int key)
    {
        QWidget* w = QApplication::focusWidget();
        ASSERT_NE(w, nullptr);
        QTest::keyClick(w, static_cast<Qt::Key>(key));
        Settle();
    }

    TConfigRecord saved_;
    std::unique_ptr<TQsoData> log_;
    std::unique_ptr<TQSOForm> form_;
};

} // namespace korval
