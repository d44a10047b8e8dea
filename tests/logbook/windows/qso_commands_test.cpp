// The QSO window's commands: the child-window slots (opened once, refreshed when marked, closed
// ones not reopened), the callsign lookup's call, the rotator's heading, the function keys kept
// for the CW and RTTY macros, Ctrl+Tab, Shift+F12, and the menus built from the command table.
#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <stdexcept>

#include "logbook/config_record.h"
#include "logbook/main_form_code.h"
#include "logbook/qso_location.h"
#include "logbook/windows/child_windows.h"
#include "logbook/windows/qso_commands.h"
#include "qso_form_fixture.h"

namespace korval {
namespace {

// A child window that counts what the slots asked of it.
struct FakeChild : QWidget {
    FakeChild(int i, QWidget* owner) : QWidget(owner), index(i) { resize(140, 90); }
    int index;
    int refreshes = 0, summaries = 0, rebuilds = 0;
    std::vector<std::pair<std::string, bool>> lookups;
};

struct FakeRadio : TQsoRadio {
    bool Attached() const override { return true; }
    std::string FrequencyText() const override { return "14025.00"; }
};

class QsoCommandsTest : public QsoFormTest {
protected:
    void PlugFakes()
    {
        for (int i = 0; i < kChildWindowCount; ++i) {
            TChildWindowKind k;
            k.Create = [this, i](QWidget* owner) -> QWidget* {
                ++made_[i];
                return new FakeChild(i, owner);
            };
            k.Refresh = [](QWidget* w) { ++static_cast<FakeChild*>(w)->refreshes; };
            k.UpdateSummary = [](QWidget* w) { ++static_cast<FakeChild*>(w)->summaries; };
            k.Rebuild = [](QWidget* w) { ++static_cast<FakeChild*>(w)->rebuilds; };
            k.LookupCall = [](QWidget* w, const std::string& call, bool asManager) {
                static_cast<FakeChild*>(w)->lookups.emplace_back(call, asManager);
            };
            children_.Plug(i, std::move(k));
        }
    }
    FakeChild* Child(int i) { return static_cast<FakeChild*>(children_.Window(i)); }
    static QKeySequence Keys(const char* text) { return QKeySequence(QString::fromLatin1(text), QKeySequence::PortableText); }

    TChildWindows children_;
    int made_[kChildWindowCount] = {};
};

TEST_F(QsoCommandsTest, ChildWindowsOpenOnceRefreshWhenMarkedAndClosedOnesStayClosed)
{
    PlugFakes();
    const int opened[] = {cwCountrySummary, cwSameCall, cwCountryInfo, cwMasterCalls};
    for (int round = 0; round < 2; ++round)
        for (int i : opened)
            form_->RunCommand(ChildWindowCommand(i));
    for (int i : opened) {
        ASSERT_NE(Child(i), nullptr) << i;
        EXPECT_EQ(made_[i], 1) << "a second open brings the window up, slot " << i;
        EXPECT_EQ(Child(i)->parentWidget(), form_.get());
        EXPECT_TRUE(Child(i)->isVisible());
        EXPECT_TRUE(TChildWindows::WasOpen(i));
    }
    int windows = 0;
    for (QWidget* w : form_->findChildren<QWidget*>())
        windows += dynamic_cast<FakeChild*>(w) != nullptr;
    EXPECT_EQ(windows, 4);

    // A new window refreshes once at idle time; then only when marked again.
    children_.RefreshMarked();
    children_.RefreshMarked();
    for (int i : opened)
        EXPECT_EQ(Child(i)->refreshes, 1) << i;
    // A call typed and left marks the same-call window; the state summary's mark asks every
    // open summary window for an update.
    form_->RunCommand(cmAddOffline);
    TypeInto(fCall, "DL1ABC");
    Key(Qt::Key_Tab);
    children_.RefreshMarked();
    EXPECT_EQ(Child(cwSameCall)->refreshes, 2);
    MarkChildWindowDirty(cwStateSummary);
    children_.RefreshMarked();
    EXPECT_EQ(Child(cwCountrySummary)->summaries + Child(cwCountrySummary)->refreshes, 3);
    EXPECT_EQ(Child(cwSameCall)->summaries, 0) << "only summary windows take summary updates";

    // The operator closes the same-call window: its placement is kept and its slot emptied.
    Child(cwSameCall)->close();
    Settle();
    EXPECT_EQ(children_.Window(cwSameCall), nullptr);
    EXPECT_GT(Config.Placement(psCall).Width, 0);
    EXPECT_FALSE(TChildWindows::WasOpen(cwSameCall));

    // Shown again, the window brings back nothing closed and makes nothing twice.
    FakeChild* country = Child(cwCountrySummary);
    form_->hide();
    form_->show();
    Settle();
    EXPECT_EQ(children_.Window(cwSameCall), nullptr);
    EXPECT_EQ(Child(cwCountrySummary), country);
    EXPECT_EQ(made_[cwCountrySummary], 1);

    // The next QSO window (the log opened again) reopens what was open when this one went.
    form_->RunCommand(cmLast);
    Reopen();
    for (int i : {cwCountrySummary, cwCountryInfo, cwMasterCalls}) {
        ASSERT_NE(Child(i), nullptr) << i;
        EXPECT_EQ(made_[i], 2) << i;
        EXPECT_EQ(Child(i)->parentWidget(), form_.get());
    }
    EXPECT_EQ(children_.Window(cwSameCall), nullptr);
    EXPECT_EQ(made_[cwSameCall], 1);
}

TEST_F(QsoCommandsTest, ExternalDataLookupNeedsACallAndTakesTheManagerFromItsField)
{
    PlugFakes();
    form_->RunCommand(cmAddOffline);
    ASSERT_TRUE(F(fCall)->GetAsString().empty());
    const int beeps = form_->BeepCount();
    form_->OpenChildWindow(cwExternalData);
    EXPECT_EQ(form_->BeepCount(), beeps + 1);
    EXPECT_EQ(made_[cwExternalData], 0) << "an empty call opens nothing";

    TypeInto(fCall, "dl1abc");
    form_->OpenChildWindow(cwExternalData);
    ASSERT_NE(Child(cwExternalData), nullptr);
    TypeInto(fQslMgr, "w1mgr");  // the focus stays in the manager field
    form_->OpenChildWindow(cwExternalData);
    EXPECT_EQ(made_[cwExternalData], 1);
    using Lookup = std::pair<std::string, bool>;
    EXPECT_EQ(Child(cwExternalData)->lookups, (std::vector<Lookup>{{"DL1ABC", false}, {"W1MGR", true}}));
    EXPECT_EQ(form_->BeepCount(), beeps + 1);

    // It asks outside programs, so a new QSO window does not reopen it by itself.
    Reopen();
    EXPECT_EQ(children_.Window(cwExternalData), nullptr);
    EXPECT_EQ(made_[cwExternalData], 1);
}

TEST_F(QsoCommandsTest, RotatorTurnsToTheDisplayedHeadingAndItsReverse)
{
    Config.SetOwnGrid("JO62");
    Reopen();  // W6XYZ in CM87 is shown with its heading
    std::vector<int> turns;
    int stops = 0;
    TQsoWindowServices s;
    s.TurnRotator = [&](int azimuth) { turns.push_back(azimuth); };
    s.StopRotator = [&] { ++stops; };
    form_->SetServices(s);
    for (TQsoCommand c : {cmShortPath, cmLongPath, cmStopRotator})
        EXPECT_FALSE(form_->Action(c)->isEnabled()) << "waits for the rotator to open";
    form_->EnableRotatorMenu(true);
    const int heading = HeadingOfDirDist(form_->Entry().Fields.DirDist);
    ASSERT_GT(heading, 99) << form_->Entry().Fields.DirDist;
    EXPECT_EQ(form_->RotatorHeading(), heading);
    for (TQsoCommand c : {cmShortPath, cmLongPath, cmStopRotator}) {
        ASSERT_TRUE(form_->Action(c)->isEnabled());
        form_->Action(c)->trigger();
    }
    EXPECT_EQ(turns, (std::vector<int>{heading, heading + 180}));
    EXPECT_EQ(stops, 1);
    form_->EnableRotatorMenu(false);
    EXPECT_FALSE(form_->Action(cmLongPath)->isEnabled());
}

TEST_F(QsoCommandsTest, SpecialKeysGiveF1ToF8ToTheMacrosAndMoveTheShortcuts)
{
    std::vector<int> sent;
    bool taken = true;
    TQsoWindowServices s;
    s.SendFunctionKey = [&](int key) {
        sent.push_back(key);
        return taken;
    };
    form_->SetServices(s);
    EXPECT_FALSE(form_->Action(cmSpecialKeys)->isEnabled()) << "only real-time entry sends macros";
    form_->RunCommand(cmAddRealTime);
    Settle();
    ASSERT_TRUE(form_->Action(cmSpecialKeys)->isEnabled());
    form_->Action(cmSpecialKeys)->trigger();
    ASSERT_TRUE(form_->SpecialKeys());
    EXPECT_TRUE(form_->Action(cmSpecialKeys)->isChecked());
    struct {
        TQsoCommand c;
        const char *normal, *special;
    } const moved[] = {{cmConfirmLabel, "F2", "Shift+F2"},
                       {cmLookupExtData, "F3", "Shift+F3"},
                       {cmNextWindowSize, "F5", "Shift+F5"},
                       {cmSearch, "F8", "Shift+F8"},
                       {cmSearchOldFilter, "Shift+F8", "Ctrl+F8"}};
    for (const auto& m : moved)
        EXPECT_EQ(form_->Action(m.c)->shortcut(), Keys(m.special)) << m.special;

    const int size = form_->WindowSize();
    KeyIn(fCall, Qt::Key_F5);
    KeyIn(fCall, Qt::Key_F8);
    EXPECT_EQ(sent, (std::vector<int>{5, 8}));
    EXPECT_EQ(form_->WindowSize(), size);
    EXPECT_EQ(form_->EntryMode(), emRealTime) << "F8 sent a macro, it did not search";

    // With neither the CW keyboard nor the RTTY terminal there, the keys are the window's again.
    taken = false;
    KeyIn(fCall, Qt::Key_F4);
    EXPECT_FALSE(form_->SpecialKeys());
    for (const auto& m : moved)
        EXPECT_EQ(form_->Action(m.c)->shortcut(), Keys(m.normal)) << m.normal;

    // Escape leaves real-time entry and takes the special keys with it.
    form_->Action(cmSpecialKeys)->trigger();
    ASSERT_TRUE(form_->SpecialKeys());
    KeyIn(fCall, Qt::Key_Escape);
    EXPECT_FALSE(form_->SpecialKeys());
    EXPECT_FALSE(form_->Action(cmSpecialKeys)->isEnabled());
}

TEST_F(QsoCommandsTest, CtrlTabCyclesThroughTheControlsThatCanTakeTheFocus)
{
    // The tab order is the field order: call, prefix, date, time, mode, band, ..., zone 10th.
    Config.SetFieldDisabled(fDate, true);  // no tab stop: Tab passes it, Ctrl+Tab does not
    Reopen();
    auto focused = [] { return QApplication::focusWidget() ? QApplication::focusWidget()->objectName().toStdString() : "none"; };
    KeyIn(fPrefix, Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), form_->Control(fTime)) << focused();
    KeyIn(fPrefix, Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(QApplication::focusWidget(), form_->Control(fDate)) << focused();

    // The smallest window reaches only its first two rows; the cycle wraps within them.
    while (form_->WindowSize() != 0)
        form_->Nextwindowsize1Click();
    KeyIn(fCall, Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(QApplication::focusWidget(), form_->Control(fZone)) << focused();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(QApplication::focusWidget(), form_->Control(fCall)) << focused();
}

TEST_F(QsoCommandsTest, ShiftF12AsksForTheSetFrequencyWindow)
{
    int asked = 0;
    TQsoWindowServices s;
    s.SetFrequency = [&] { ++asked; };
    form_->SetServices(s);
    KeyIn(fNote, Qt::Key_F12, Qt::ShiftModifier);
    KeyIn(fNote, Qt::Key_F12);
    EXPECT_EQ(asked, 1);
}

TEST_F(QsoCommandsTest, MenusHoldEveryCommandOnceWithItsCaptionAndShortcut)
{
    std::map<QString, std::vector<QAction*>> items;
    std::function<void(QMenu*)> walk = [&](QMenu* m) {
        for (QAction* a : m->actions())
            if (a->menu())
                walk(a->menu());
            else if (!a->isSeparator())
                items[a->objectName()].push_back(a);
    };
    for (QAction* top : form_->MenuBar()->actions())
        walk(top->menu());
    std::set<int> ids;
    for (const TQsoCommandDef& d : QsoCommands()) {
        EXPECT_TRUE(ids.insert(d.id).second) << d.name << " twice in the table";
        const auto& found = items[QString::fromLatin1(d.name)];
        ASSERT_EQ(found.size(), 1u) << d.name;
        EXPECT_EQ(found[0], form_->Action(d.id)) << d.name;
        EXPECT_EQ(found[0]->text(), QString::fromLatin1(d.caption));
        EXPECT_EQ(found[0]->shortcut(), Keys(d.key)) << d.name;
    }
    EXPECT_EQ(ids.size(), static_cast<std::size_t>(kQsoCommandCount));
    for (std::size_t i = 0; i < ReportEntries().size(); ++i)
        EXPECT_EQ(items[form_->ReportAction(static_cast<int>(i))->objectName()].size(), 1u) << ReportEntries()[i].caption;

    // No key does two things, with the function keys the window's or the macros'.
    for (bool special : {false, true}) {
        std::set<QString> keys;
        for (const TQsoCommandDef& d : QsoCommands()) {
            const char* key = special && d.specialKey ? d.specialKey : d.key;
            if (*key) {
                EXPECT_TRUE(keys.insert(QString::fromLatin1(key)).second) << key << (special ? " (special keys)" : "");
            }
        }
    }
}

TEST_F(QsoCommandsTest, CommandsWithoutTheirServiceRefuseLoudly)
{
    // A command the program left without its service refuses loudly instead of doing nothing.
    form_->SetServices({});
    EXPECT_THROW(form_->RunCommand(cmShortPath), std::logic_error);
    EXPECT_THROW(form_->RunCommand(cmCountryInformation), std::logic_error);
}

TEST_F(QsoCommandsTest, SetupAndRadioChangesReachTheMenusAndTheSummaries)
{
    PlugFakes();
    form_->OpenChildWindow(cwZoneSummary);
    form_->OpenChildWindow(cwSameCall);
    children_.RefreshMarked();
    form_->UpdateMenus(mfSetupChanged);
    EXPECT_EQ(Child(cwZoneSummary)->rebuilds, 1);
    EXPECT_TRUE(children_.RefreshPending(cwZoneSummary));
    EXPECT_EQ(Child(cwSameCall)->rebuilds, 0);
    EXPECT_FALSE(children_.RefreshPending(cwSameCall));

    // The radio stopped during real-time entry: band and mode are the operator's again.
    FakeRadio radio;
    form_->SetRadio(&radio);
    form_->RunCommand(cmAddRealTime);
    ASSERT_FALSE(form_->Control(fBand)->isEnabled());
    form_->UpdateMenus(mfRadioStopped);
    EXPECT_TRUE(form_->Control(fBand)->isEnabled());
    form_->SetRadio(nullptr);
}

} // namespace
} // namespace korval
