#include "app/splash_screen.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

#include "window_fit.h"

namespace korval {
namespace {

TEST(SplashScreen, CaptionVersionAndCreditsOnTheSecondDoubleClick)
{
    TSplashScreen s;
    s.show();
    EXPECT_EQ(s.windowTitle(), QStringLiteral("About KORVAL"));
    EXPECT_EQ(s.VersionLabel->text(), QStringLiteral("Version 5.02"));
    EXPECT_EQ(s.Label2->text(), QStringLiteral("QSOs, awards, ADIF import and export,"));
    EXPECT_EQ(s.Label3->text(), QStringLiteral("for the serious and the casual DXer"));
    EXPECT_EQ(s.OkBtn->text(), QStringLiteral("OK"));
    QTest::mouseDClick(s.Image1, Qt::LeftButton);
    EXPECT_TRUE(s.Image1->isVisible());
    EXPECT_FALSE(s.Label_1->isVisible());
    QTest::mouseDClick(s.Image1, Qt::LeftButton);
    EXPECT_FALSE(s.Image1->isVisible());
    for (QLabel* l : {s.Label_1, s.Label_2, s.Label_3, s.Label_4, s.Label_5})
        EXPECT_TRUE(l->isVisible());

    ShowStartupSplash();
    ASSERT_NE(StartupSplash(), nullptr);
    EXPECT_FALSE(StartupSplash()->OkBtn->isVisible());
    FreeStartupSplash();
    EXPECT_EQ(StartupSplash(), nullptr);
}

TEST(SplashScreen, ShowsAllItsControls)
{
    TSplashScreen s;
    test::ExpectControlsFit(&s, "about");
}

} // namespace
} // namespace korval
