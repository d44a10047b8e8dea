// The QSO window on screen (offscreen): typing a call and leaving it, posting with Enter,
// search mode with the blank choice items, and the validation messages.
#include <QAction>
#include <QApplication>
#include <QTest>
#include <gtest/gtest.h>

#include "qso_form_fixture.h"
#include "entry/windows/ovc_base_field.h"
#include "grids/windows/popup_box.h"
#include "logbook/bands_modes.h"
#include "logbook/call_lookup.h"
#include "logbook/config_record.h"
#include "logbook/qso_data.h"
#include "logbook/windows/qso_form.h"
#include "logbook/qso_lookup.h"
#include "platform/message_dlg.h"

namespace korval {
namespace {

using test::Day;

TEST_F(QsoFormTest, TypedCallFillsCountryAndPostsWithEnter)
{
    EXPECT_EQ(form_->EntryMode(), emIdle);
    EXPECT_EQ(F(fCall)->GetAsString(), "W6XYZ") << "the last QSO is shown";
    EXPECT_TRUE(form_->Action(TQSOForm::cmLogbook)->isEnabled()) << "the log list opens over a log";

    form_->Action(TQSOForm::cmAddOffline)->trigger();
    Settle();
    ASSERT_EQ(form_->EntryMode(), emOffline);
    TypeInto(fCall, "W6XYZ");
    Key(Qt::Key_Tab);
    EXPECT_EQ(form_->CountryDisplay()->GetAsString(), "United States");
    EXPECT_EQ(F(fPrefix)->GetAsString(), "K");
    EXPECT_EQ(F(fZone)->GetAsString(), "3");
    EXPECT_EQ(F(fGrid)->GetAsString(), "CM87");
    EXPECT_EQ(F(fState)->GetAsString(), "CA");

    TypeInto(fNote, "first");
    Key(Qt::Key_Return);
    ASSERT_EQ(log_->Count(), 2);
    EXPECT_EQ(form_->EntryMode(), emOffline);
    EXPECT_TRUE(F(fCall)->GetAsString().empty()) << "the next entry is blank";
    const TQsoRecord* posted = log_->At(1);
    EXPECT_EQ(posted->Call, "W6XYZ");
    EXPECT_EQ(posted->Zone, 3);
    EXPECT_EQ(NoteText(posted->Note), "first");

    Key(Qt::Key_Escape);
    EXPECT_EQ(form_->EntryMode(), emIdle);
    EXPECT_EQ(F(fCall)->GetAsString(), "W6XYZ");
    EXPECT_EQ(F(fNote)->GetAsString(), "first") << "the window shows the posted QSO";
}

TEST_F(QsoFormTest, SearchModeShowsBlankItemsAndEnterBrowses)
{
    auto* extra = new TQsoRecord;
    extra->Call.assign("DL1ABC");
    extra->Date = Day(2019, 6, 1);
    extra->Mode = mdSSB;
    extra->Band = 3;
    log_->InsertQso(extra);

    form_->Action(TQSOForm::cmSearch)->trigger();
    Settle();
    ASSERT_EQ(form_->EntryMode(), emSearch);
    TWheelx* mode = form_->Wheel(fMode);
    EXPECT_TRUE(mode->AllowDefault());
    EXPECT_EQ(mode->GetSelection(), 0);
    EXPECT_EQ(mode->GetItems().Count(), ModeCount + 1);
    EXPECT_EQ(form_->Wheel(fAwDxccMixed)->GetSelection(), 0);

    TypeInto(fCall, "W6*");
    Key(Qt::Key_Return);
    EXPECT_EQ(form_->EntryMode(), emBrowse);
    EXPECT_FALSE(mode->AllowDefault());
    EXPECT_EQ(F(fCall)->GetAsString(), "W6XYZ");
    EXPECT_EQ(form_->Entry().CountSelected(), 1);

    Key(Qt::Key_Escape);
    EXPECT_EQ(form_->EntryMode(), emIdle);
}

TEST_F(QsoFormTest, ValidationMessagesGoThroughTheMessageBox)
{
    ScopedMessageRecorder rec;
    form_->Action(TQSOForm::cmAddOffline)->trigger();
    Settle();
    TypeInto(fCall, "D/");
    Key(Qt::Key_Return);
    TypeInto(fCall, "DL1ABC");
    form_->Wheel(fMode)->SetSelection(mdSSB);
    F(fRsts)->SetAsString("599");
    F(fRsts)->SetModified(true);
    F(fCall)->setFocus();
    Settle();
    Key(Qt::Key_Return);
    EXPECT_EQ(rec.texts(), (std::vector<std::string>{"Bad Callsign", "Invalid Combination of Mode and RST"}));
    EXPECT_EQ(log_->Count(), 1);

    TypeInto(fZone, "41");
    Key(Qt::Key_Tab);
    ASSERT_GE(rec.texts().size(), 3u);
    EXPECT_EQ(rec.texts()[2], "Valid range is 0..40");
}

} // namespace
} // namespace korval
