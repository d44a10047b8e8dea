// The events calendar and master callsign windows offscreen.
#include <gtest/gtest.h>

#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <filesystem>
#include <fstream>

#include "entry/windows/ovc_picture_field.h"
#include "grids/windows/ovc_list_box.h"
#include "grids/windows/ovc_notebook.h"
#include "grids/windows/popup_box.h"
#include "logbook/base/day_number.h"
#include "logbook/config_record.h"
#include "platform/message_dlg.h"
#include "reference/windows/calendar_window.h"
#include "reference/windows/master_lookup.h"
#include "test_support.h"
#include "window_fit.h"

namespace korval {
namespace {

constexpr std::int64_t kNoon = 1737806400; // 2025-01-25 12:00 UTC

class CalendarWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        saved_ = Config;
        SetUtcClockSource([] { return kNoon; });
        today_ = UtcToday();
    }
    void TearDown() override
    {
        SetUtcClockSource({});
        Config = saved_;
    }
    void SetDates(TFCalendar& w, int startOffset, int endOffset)
    {
        w.F_start->SetAsStDate(DayNumberToStDate(static_cast<TDayNumber>(today_ + startOffset)));
        w.F_end->SetAsStDate(DayNumberToStDate(static_cast<TDayNumber>(today_ + endOffset)));
    }
    std::vector<std::string> TodayNotes(TFCalendar& w)
    {
        std::vector<std::string> out;
        for (int i = 0; i < w.LB->Items().Count(); ++i)
            out.push_back(w.LB->Items().Strings(i));
        return out;
    }

    test::TempDir dir;
    TConfigRecord saved_;
    TDayNumber today_ = 0;
};

TEST_F(CalendarWindow, AddsEventsInKeyOrderShowsTodaysAndSavesThem)
{
    const std::string file = dir.file("SAVE/KORVAL.CAL");
    auto* w = new TFCalendar(file);
    w->show();
    test::ExpectControlsFit(w, "events calendar");
    EXPECT_EQ(w->windowTitle(), QStringLiteral("Events calendar"));

    SetDates(*w, -1, 1);
    w->F_Note->SetText("CQ WW 160");
    w->AddNewClick();
    SetDates(*w, -10, -5);
    w->F_Note->SetText("Old contest");
    w->AddNewClick();
    ASSERT_EQ(w->Events().Count(), 2u);
    EXPECT_EQ(w->Events().At(0).Note, "Old contest"); // ordered by start date
    EXPECT_EQ(w->F_Note->GetItemIndex(), 0);           // the new one is selected
    EXPECT_EQ(TodayNotes(*w), std::vector<std::string>{"CQ WW 160"});

    // Ctrl+Up on the day moves it on and the list follows.
    QTest::keyClick(w->F_today, Qt::Key_Up, Qt::ControlModifier);
    QTest::keyClick(w->F_today, Qt::Key_Up, Qt::ControlModifier);
    EXPECT_TRUE(TodayNotes(*w).empty());

    ScopedMessageRecorder rec;
    SetDates(*w, 3, 2);
    w->AddNewClick();
    ASSERT_EQ(rec.texts().size(), 1u);
    EXPECT_EQ(rec.texts()[0], "Please check your dates");
    EXPECT_EQ(w->Events().Count(), 2u);

    w->CleanupClick(); // the old contest ended before today
    ASSERT_EQ(w->Events().Count(), 1u);
    QPointer<TFCalendar> gone(w);
    w->SaveClick();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(gone.isNull()); // saving closes and frees the window
    EXPECT_TRUE(CalendarHasEventToday(file, today_));
}

TEST_F(CalendarWindow, StartPastTheEndMovesTheEndAndDeletingAllRemovesTheFile)
{
    const std::string file = dir.file("KORVAL.CAL");
    TCalCollection one;
    one.InsertRecord({static_cast<TDayNumber>(today_), static_cast<TDayNumber>(today_), "Today only"});
    SaveCalendar(file, one);
    TFCalendar w(file);
    w.setAttribute(Qt::WA_DeleteOnClose, false);
    w.show();
    ASSERT_EQ(w.Events().Count(), 1u);
    EXPECT_EQ(w.F_Note->GetText(), "Today only");
    QTest::keyClick(w.F_start, Qt::Key_Up, Qt::ControlModifier);
    EXPECT_EQ(w.F_end->GetAsStDate(), w.F_start->GetAsStDate());
    w.DeleteClick();
    EXPECT_TRUE(w.Events().Empty());
    w.SaveClick();
    EXPECT_FALSE(std::filesystem::exists(file));
}

TEST(MasterLookupWindow, ConvertsLoadsAndListsMatches)
{
    test::TempDir dir;
    const std::string mas = dir.file("KORVAL.MAS");
    ScopedMessageRecorder rec;
    TMasterLookup w(mas);
    w.AskSourceFile = [] { return std::string(KORVAL_TEST_DATA "/master.dta"); };
    w.show();
    ASSERT_EQ(rec.texts().size(), 1u);
    EXPECT_EQ(rec.texts()[0], "Master file:\r" + mas + "\rnot found, no calls loaded");
    w.Convert1Click();
    ASSERT_EQ(rec.texts().size(), 2u);
    EXPECT_EQ(rec.texts()[1].rfind("Conversion finished\r", 0), 0u);
    ASSERT_TRUE(w.Engine().Loaded());
    w.Search("DL1");
    ASSERT_EQ(w.LB->count(), 1);
    EXPECT_EQ(w.LB->item(0)->text(), QStringLiteral("DL1ABC"));
    w.Search("?1A"); // a leading "?" searches inside the calls
    EXPECT_EQ(w.LB->count(), 5); // 9A1A, DL1ABC, K1ABC/P, K1ABCDEFGHIJ, W1AW
    w.Search("X");  // one character lists nothing
    EXPECT_EQ(w.LB->count(), 0);

    // A foreign file is refused with its message.
    { std::ofstream(mas, std::ios::binary | std::ios::trunc) << "NOTAMASTERFILE"; }
    w.LoadFile();
    EXPECT_EQ(rec.texts().back(), "Not a KORVAL master file");
    EXPECT_FALSE(w.Engine().Loaded());
}

} // namespace
} // namespace korval
