// The QSO window as a new operator meets it: browsing keys from any field, the menu bar,
// mouse resizes, display widths and the empty home position.
#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <gtest/gtest.h>

#include "grids/popup_box.h"
#include "qso_form_fixture.h"

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
    void KeyIn(int field, int key, Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        QWidget* w = form_->Control(field);
        w->setFocus(Qt::TabFocusReason);
        Settle();
        QTest::keyClick(w, static_cast<Qt::Key>(key), mods);
        Settle();
    }
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

} // namespace
} // namespace korval
