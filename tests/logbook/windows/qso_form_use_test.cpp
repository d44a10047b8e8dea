// The QSO window as a new operator meets it: browsing keys from any field, the menu bar,
// mouse resizes, display widths and the empty home position.
#include <QAction>
#include <QFontMetrics>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <gtest/gtest.h>

#include "grids/windows/popup_box.h"
#include "logbook/country_db.h"
#include "logbook/base/day_number.h"
#include "platform/message_dlg.h"
#include "qso_form_fixture.h"
#include "logbook/configured_formats.h"

namespace korval {
namespace {

class QsoFormUseTest : public QsoFormTest {
protected:
    void SetUp() override
    {
        QsoFormTest::SetUp();
        AddQso("DL1ABC", Day(2019, 2, 1));
        AddQso("G3XYZ", Day(2019, 3, 1));
        Reopen();
    }
    std::string ShownCall() { return F(fCall)->GetAsString(); }
};

TEST_F(QsoFormUseTest, PageKeysAndCtrlHomeBrowseFromEveryKindOfField)
{
    ASSERT_EQ(form_->EntryMode(), emIdle);
    ASSERT_EQ(ShownCall(), "G3XYZ");
    // A simple field, a picture field and a choice box each leave the window its keys.
    KeyIn(fCall, Qt::Key_PageUp);
    EXPECT_EQ(ShownCall(), "DL1ABC") << "Page Up from the call field";
    KeyIn(fDate, Qt::Key_PageUp);
    EXPECT_EQ(ShownCall(), "W6XYZ") << "Page Up from the date field";
    KeyIn(fNote, Qt::Key_PageDown);
    EXPECT_EQ(ShownCall(), "DL1ABC") << "Page Down from the note field";
    KeyIn(fMode, Qt::Key_PageDown);
    EXPECT_EQ(ShownCall(), "G3XYZ") << "Page Down from the mode box";
    KeyIn(fTime, Qt::Key_Home, Qt::ControlModifier);
    EXPECT_EQ(ShownCall(), "W6XYZ") << "Ctrl+Home from the time field";
    KeyIn(fCall, Qt::Key_End, Qt::ControlModifier);
    EXPECT_EQ(ShownCall(), "G3XYZ") << "Ctrl+End from the call field";
    // Keys the field does use stay in it.
    KeyIn(fCall, Qt::Key_Home);
    EXPECT_EQ(ShownCall(), "G3XYZ");
}

TEST_F(QsoFormUseTest, TypingIntoTheModeAndBandBoxesPicksWhatWasTyped)
{
    form_->Action(TQSOForm::cmAddOffline)->trigger();
    Settle();
    struct {
        int field;
        const char* typed;
        std::string shown;
    } const rows[] = {{fMode, "SSB", "SSB"}, {fMode, "CW", "CW"}, {fBand, "15", BandName(7)}, {fBand, "160", BandName(1)}};
    for (const auto& r : rows) {
        QWidget* w = form_->Control(r.field);
        w->setFocus(Qt::TabFocusReason);
        Settle();
        QTest::keyClicks(w, r.typed);
        Settle();
        EXPECT_EQ(form_->Wheel(r.field)->GetText(), r.shown) << "typed " << r.typed;
    }
    EXPECT_EQ(form_->Entry().Fields.Sel[fMode], mdCW);
}

// The menu item of that caption in the window's menu bar, searched through every menu.
QAction* MenuItem(QMenuBar* bar, const QString& caption)
{
    for (QAction* top : bar->actions())
        if (QMenu* m = top->menu())
            for (QAction* a : m->actions())
                if (a->text() == caption)
                    return a;
    return nullptr;
}

TEST_F(QsoFormUseTest, MenuBarOffersTheCommandsWithTheirShortcuts)
{
    QMenuBar* bar = form_->MenuBar();
    ASSERT_NE(bar, nullptr);
    EXPECT_TRUE(bar->isVisible());
    struct {
        const char* caption;
        QKeySequence key;
    } const rows[] = {{"Add Real-time", QKeySequence(Qt::CTRL | Qt::Key_R)}, {"Delete QSO", QKeySequence()},
                      {"Update QSO", QKeySequence(Qt::CTRL | Qt::Key_U)}, {"Search", QKeySequence(Qt::Key_F8)},
                      {"Next Window Size", QKeySequence(Qt::Key_F5)}, {"Previous", QKeySequence(Qt::Key_PageUp)},
                      {"Call", QKeySequence()}, {"SeqPrtNr", QKeySequence()}, {"Zone", QKeySequence()}};
    for (const auto& r : rows) {
        QAction* a = MenuItem(bar, QString::fromLatin1(r.caption));
        ASSERT_NE(a, nullptr) << r.caption;
        EXPECT_EQ(a->shortcut(), r.key) << r.caption;
    }
    // Delete QSO through the menu removes the shown QSO after the question.
    ScopedMessageRecorder rec(mrYes);
    MenuItem(bar, "Delete QSO")->trigger();
    Settle();
    EXPECT_EQ(log_->Count(), 2);
    ASSERT_FALSE(rec.texts().empty());
    EXPECT_EQ(rec.texts().front(), "Delete current QSO?");
    // A sort order from the menu shows in the caption and is checked; the log's path stays as it
    // is (names differ by case here).
    log_->FileName = "/home/ham/Logs/field day.kvl";
    MenuItem(bar, "Call")->trigger();
    Settle();
    EXPECT_EQ(form_->windowTitle().toStdString(), "/home/ham/Logs/field day.kvl sorted by Callsign");
    EXPECT_TRUE(MenuItem(bar, "Call")->isChecked());
    // The controls lie below the menu bar.
    EXPECT_GE(form_->Control(fCall)->geometry().top(), bar->geometry().bottom());
}

TEST_F(QsoFormUseTest, MouseResizeSnapsToAWindowSizeAndEnablesExactlyTheShownFields)
{
    const int widthBefore = form_->width();
    for (int wanted : {120, 200, 260, 330, 2000}) {
        form_->resize(widthBefore, wanted);
        Settle();
        const int h = form_->height();
        for (int f = 0; f < kQsoFieldCount; ++f) {
            QWidget* w = form_->Control(f);
            if (!w->isVisible())
                continue;
            const bool shown = w->geometry().top() < h;
            EXPECT_EQ(w->isEnabled(), shown) << QsoFieldName(f) << " at a height of " << h << " after a resize to " << wanted;
            if (shown) {
                EXPECT_LT(w->geometry().bottom(), h) << QsoFieldName(f) << " is cut by the window's edge";
            }
        }
        QWidget* focus = QApplication::focusWidget();
        ASSERT_NE(focus, nullptr);
        EXPECT_TRUE(focus->isEnabled()) << "focus in a disabled field at " << h;
    }
    // A click on a shown field puts what is typed there.
    form_->resize(widthBefore, 2000);
    Settle();
    form_->Action(TQSOForm::cmAddOffline)->trigger();
    Settle();
    QWidget* note = form_->Control(fNote);
    ASSERT_TRUE(note->isEnabled());
    QTest::mouseClick(note, Qt::LeftButton, {}, QPoint(5, 5));
    Settle();
    QTest::keyClicks(QApplication::focusWidget(), "hello");
    Settle();
    EXPECT_EQ(F(fNote)->GetEditString(), "hello");
}

// True when the display shows text whole: nothing cut by its length or by its width.
void ExpectShownWhole(TOvcBaseEntryField* display, const std::string& text)
{
    display->SetAsString(text);
    EXPECT_EQ(display->GetAsString(), text);
    const int room = display->width() - 2 * display->TextMargin();
    EXPECT_LE(QFontMetrics(display->font()).horizontalAdvance(QString::fromLatin1(text.c_str())), room) << text;
}

TEST_F(QsoFormUseTest, HeadingWaitsForAHomePositionAndDisplaysShowTheirWholeText)
{
    Config.SetOwnLatitude(0);
    Config.SetOwnLongitude(0);
    Config.SetOwnGrid("");
    Config.SetDistanceUnit(0);
    form_->Action(TQSOForm::cmAddOffline)->trigger();
    Settle();
    TypeInto(fGrid, "JO62");
    Key(Qt::Key_Tab);
    EXPECT_EQ(form_->HeadingDisplay()->GetAsString(), "") << "nothing is measured from 0 N 0 E";

    Config.SetOwnGrid("FN31");  // a home locator alone is a home position
    TypeInto(fGrid, "JO62");
    Key(Qt::Key_Tab);
    const std::string heading = form_->HeadingDisplay()->GetAsString();
    EXPECT_EQ(heading.substr(0, 6), "JO62: ");
    EXPECT_EQ(heading.substr(heading.size() - 2), "Km") << heading;
    EXPECT_GT(heading.size(), 15u);

    ExpectShownWhole(form_->HeadingDisplay(), "JO62QM: 359\xB0 20,037K");
    for (std::int32_t n = 0; n <= CountryCount(); ++n)
        ExpectShownWhole(form_->CountryDisplay(), CountryName(static_cast<std::uint16_t>(n)));
    ExpectShownWhole(form_->CountryDisplay(), "Fed. Rep. of Germany");
}

TEST_F(QsoFormUseTest, DateTypedWithItsSeparatorsIsTakenAsTyped)
{
    form_->Action(TQSOForm::cmAddOffline)->trigger();
    Settle();
    ASSERT_FALSE(F(fDate)->GetEditString().empty()) << "an off-line entry starts with today's date";
    ASSERT_EQ(DateFormatString(), "mm/dd/yyyy");
    const std::pair<const char*, TDayNumber> rows[] = {{"06/02/2024", Day(2024, 6, 2)}, {"12/31/2019", Day(2019, 12, 31)}};
    for (const auto& [typed, day] : rows) {
        // Clicked into at its start, the field keeps the date it shows and the typing overwrites it.
        QWidget* date = form_->Control(fDate);
        QTest::mouseClick(date, Qt::LeftButton, {}, QPoint(3, date->height() / 2));
        Settle();
        F(fDate)->SetInsertionPoint(0);
        QTest::keyClicks(date, typed);
        Settle();
        EXPECT_EQ(F(fDate)->GetEditString(), typed);
        Key(Qt::Key_Tab);
        EXPECT_EQ(StDateToDayNumber(F(fDate)->GetAsStDate()), day) << typed;
    }
}

TEST_F(QsoFormUseTest, InvalidDateOnExitShowsTheFieldsMessageAndKeepsTheText)
{
    form_->Action(TQSOForm::cmAddOffline)->trigger();
    Settle();
    TypeInto(fCall, "K1ABC");
    for (const char* typed : {"02/30/2024", "13/01/2024"}) {
        ScopedMessageRecorder messages;
        QWidget* date = form_->Control(fDate);
        date->setFocus(Qt::TabFocusReason);
        Settle();
        F(fDate)->SetInsertionPoint(0);
        QTest::keyClicks(date, typed);
        Settle();
        Key(Qt::Key_Tab);
        EXPECT_EQ(messages.texts(), std::vector<std::string>{"Value is not a valid date"}) << typed;
        EXPECT_EQ(F(fDate)->GetEditString(), typed) << "what the operator typed stays";
        EXPECT_EQ(QApplication::focusWidget(), date) << typed;
    }
    // Enter does not log the QSO with a date the window cannot read.
    {
        ScopedMessageRecorder messages;
        const auto count = log_->Count();
        QWidget* date = form_->Control(fDate);
        date->setFocus(Qt::TabFocusReason);
        Settle();
        Key(Qt::Key_Return);
        EXPECT_EQ(log_->Count(), count);
        EXPECT_EQ(messages.texts(), std::vector<std::string>{"Value is not a valid date"});
        EXPECT_EQ(F(fDate)->GetEditString(), "13/01/2024");
        EXPECT_EQ(QApplication::focusWidget(), date);
    }
    // Mended, the date is taken and the focus moves on.
    ScopedMessageRecorder messages;
    F(fDate)->SetInsertionPoint(0);
    QTest::keyClicks(form_->Control(fDate), "02/29/2024");
    Key(Qt::Key_Tab);
    EXPECT_TRUE(messages.texts().empty());
    EXPECT_EQ(StDateToDayNumber(F(fDate)->GetAsStDate()), Day(2024, 2, 29));
    EXPECT_NE(QApplication::focusWidget(), form_->Control(fDate));
}

TEST_F(QsoFormUseTest, ModeChosenInItsBoxBringsItsDefaultReports)
{
    form_->Action(TQSOForm::cmAddOffline)->trigger();
    Settle();
    ASSERT_EQ(F(fRsts)->GetAsString(), "599") << "the fixture's default mode is CW";
    TypeInto(fCall, "DL1ABC");
    TypeInto(fMode, "SSB");
    ASSERT_EQ(form_->Wheel(fMode)->GetSelection(), mdSSB);
    EXPECT_EQ(F(fRsts)->GetAsString(), "59");
    EXPECT_EQ(F(fRstr)->GetAsString(), "59");
    // A report the operator typed stays.
    F(fRstr)->SetAsString("57");
    F(fRstr)->SetModified(true);
    TypeInto(fMode, "CW");
    EXPECT_EQ(F(fRsts)->GetAsString(), "599");
    EXPECT_EQ(F(fRstr)->GetAsString(), "57");
    ScopedMessageRecorder messages;
    TypeInto(fMode, "SSB");
    Key(Qt::Key_Return);
    EXPECT_TRUE(messages.texts().empty());
    EXPECT_EQ(log_->Count(), 4) << "logged with the reports of the chosen mode";
}

} // namespace
} // namespace korval
