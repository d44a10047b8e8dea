#include "logbook/windows/progress_bar.h"
#include "logbook/windows/prog_status.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

using namespace korval;

TEST(ProgressWindow, StepsTheMeterByTheUpdateMaskAndHidesWhenFinished)
{
    TProgressbar w;
    w.SetUp(QStringLiteral("Reading QSOs"), 300);
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Reading QSOs"));
    EXPECT_EQ(w.bar()->Percent(), 0);
    std::vector<int> seen;
    for (int i = 0; i < 300; ++i) {
        w.ShowProgress();
        if (seen.empty() || seen.back() != w.bar()->Percent())
            seen.push_back(w.bar()->Percent());
    }
    EXPECT_EQ(seen, (std::vector<int>{0, 42, 85}));
    EXPECT_EQ(w.meterUpdates(), 2);
    w.Finished();
    EXPECT_EQ(w.bar()->Percent(), 100);
    EXPECT_FALSE(w.isVisible());

    // A new run starts again at 0 with the large mask.
    w.SetUp(QStringLiteral("Writing"), 100000);
    EXPECT_EQ(w.bar()->Percent(), 0);
    for (int i = 0; i < 100000; ++i)
        w.ShowProgress();
    EXPECT_EQ(w.meterUpdates(), 97); // once per 1024 steps, each a new percentage
    w.Finished();
}

TEST(ProgStatus, ShowsTheLogCountsOrThatNoLogIsOpen)
{
    TProgStatus none(TLogStatusInfo{});
    EXPECT_EQ(none.windowTitle(), QStringLiteral("Current Status"));
    EXPECT_EQ(none.F_fpn->text(), QStringLiteral("No logfile open"));
    EXPECT_EQ(none.F_nrq->text(), QString());
    TProgStatus open(TLogStatusInfo{true, "/home/op/SAVE/KORVAL.KVL", 1234, 5, 6});
    EXPECT_EQ(open.F_fpn->text(), QStringLiteral("/home/op/SAVE/KORVAL.KVL"));
    EXPECT_EQ(open.F_nrq->text(), QStringLiteral("1234"));
    EXPECT_EQ(open.F_nrNotes->text(), QStringLiteral("5"));
    EXPECT_EQ(open.F_NrSWL->text(), QStringLiteral("6"));
}
