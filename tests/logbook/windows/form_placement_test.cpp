#include "logbook/windows/form_placement.h"

#include <QFont>
#include <QWidget>
#include <gtest/gtest.h>

using namespace korval;

namespace {
struct PlacementFixture : ::testing::Test {
    TConfigRecord saved = Config;
    TScreenMetrics savedScreen = ScreenMetrics();
    QWidget main;
    PlacementFixture()
    {
        SetScreenMetrics({96, 1024, 768});
        main.setGeometry(0, 0, 800, 80);
        SetPlacementMainWindow(&main);
    }
    ~PlacementFixture() override
    {
        SetPlacementMainWindow(nullptr);
        Config = saved;
        SetScreenMetrics(savedScreen);
    }
};
} // namespace

TEST_F(PlacementFixture, SaveAndRestoreThroughTheRecord)
{
    QWidget form;
    form.setGeometry(300, 200, 250, 150);
    SaveFormPlacement(&form, psLogb);
    EXPECT_EQ(Config.Placement(psLogb), (TFormPlacement{200, 300, 150, 250, 0}));

    QWidget other;
    other.resize(100, 100);
    EXPECT_TRUE(RestoreFormPlacement(&other, psLogb));
    EXPECT_EQ(other.geometry(), QRect(300, 200, 250, 150));
    EXPECT_EQ(other.property("Tag").toInt(), psLogb + 1);
}

TEST_F(PlacementFixture, EmptySlotPutsTheWindowBelowTheMainWindow)
{
    QWidget form;
    form.setGeometry(500, 10, 200, 100);
    EXPECT_FALSE(RestoreFormPlacement(&form, psQso));
    EXPECT_EQ(form.geometry(), QRect(0, 80, 200, 100));
}

TEST_F(PlacementFixture, WindowIsKeptOnTheScreen)
{
    QWidget form;
    form.setGeometry(900, 20, 300, 200);  // right of the strip, so only moved in from the edge
    KeepFormOnScreen(&form);
    EXPECT_EQ(form.geometry(), QRect(724, 20, 300, 200));
    form.setGeometry(10, 10, 2000, 100);
    KeepFormOnScreen(&form);
    EXPECT_EQ(form.geometry(), QRect(0, 80, 1024, 100));
}

TEST_F(PlacementFixture, ConfiguredFonts)
{
    QFont font;
    ApplyConfiguredFont(font, 1);
    EXPECT_EQ(font.family(), "Arial");
    EXPECT_EQ(font.pointSize(), 10);
    EXPECT_TRUE(font.bold());
    ApplyConfiguredFont(font, 2);
    EXPECT_EQ(font.family(), "Courier New");
    EXPECT_FALSE(font.bold());
    EXPECT_EQ(font.styleHint(), QFont::TypeWriter);
}
