// The splitter as a window, offscreen: Position's limits before and after the window exists
// and while it resizes, the sections, dragging the bar and nesting.
#include <QApplication>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>

#include "entry/windows/ovc_controller.h"
#include "grids/windows/ovc_splitter.h"

namespace korval {
namespace {

void Settle()
{
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents();
}

class SplitForm : public ::testing::Test {
protected:
    void SetUp() override
    {
        form = std::make_unique<QWidget>();
        form->setObjectName("PskForm");
        new TOvcController(form.get());
        splitter = new TOvcSplitter(form.get());
        splitter->OnResize = [this](QObject*) { ++resizes; };
        form->resize(420, 220);
    }

    void Show()
    {
        form->show();
        form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
        Settle();
    }

    std::unique_ptr<QWidget> form;
    TOvcSplitter* splitter = nullptr;
    int resizes = 0;
};

TEST_F(SplitForm, DefaultsAndNamedSections)
{
    EXPECT_EQ(splitter->size(), QSize(200, 100));
    EXPECT_EQ(splitter->Position(), 100);
    EXPECT_EQ(splitter->SplitterSize(), 3);
    EXPECT_EQ(splitter->Orientation(), soVertical);
    ASSERT_NE(splitter->Section(0), nullptr);
    ASSERT_NE(splitter->Section(1), nullptr);
    EXPECT_EQ(splitter->Section(2), nullptr);
    EXPECT_EQ(splitter->Section(-1), nullptr);
    EXPECT_EQ(splitter->Section(0)->objectName(), "SPL1");
    splitter->SetName("Split");
    EXPECT_EQ(splitter->Section(0)->objectName(), "SPL1SplitPskForm");
    EXPECT_EQ(splitter->Section(1)->objectName(), "SPL2SplitPskForm");
    splitter->SetColorRight(QColor(10, 20, 30));
    EXPECT_EQ(splitter->Section(1)->Color(), QColor(10, 20, 30));
}

TEST_F(SplitForm, PositionZeroBecomesOneAndTooFarIsCut)
{
    Show();
    splitter->SetPosition(0);
    EXPECT_EQ(splitter->Position(), 1);
    EXPECT_EQ(resizes, 1);
    splitter->SetPosition(500);
    EXPECT_EQ(splitter->Position(), 200 - 3 - 2);
    splitter->SetOrientation(soHorizontal);
    EXPECT_EQ(splitter->Position(), 100 - 3 - 2) << "the new direction's limit";
}

TEST_F(SplitForm, BeforeTheWindowIsShownPositionIsOnlyStored)
{
    // A layout restored before the form is sized must not be cut to the default size.
    splitter->SetPosition(300);
    EXPECT_EQ(splitter->Position(), 300);
    splitter->SetPosition(-5);
    EXPECT_EQ(splitter->Position(), 1);
    splitter->SetPosition(300);
    splitter->resize(400, 200);
    Show();
    EXPECT_EQ(splitter->Position(), 300);
    EXPECT_EQ(splitter->Section(0)->geometry(), QRect(2, 2, 297, 197));
}

TEST_F(SplitForm, AutoScaleFollowsTheWidthAndLimitsHoldOnResize)
{
    Show();
    splitter->SetPosition(75);
    resizes = 0;
    splitter->resize(400, 100);
    EXPECT_EQ(splitter->Position(), 150);
    EXPECT_EQ(resizes, 1);
    splitter->resize(300, 100);  // 112.5, to even
    EXPECT_EQ(splitter->Position(), 112);
    // A height change alone leaves a vertical bar where it is.
    splitter->resize(300, 180);
    EXPECT_EQ(splitter->Position(), 112);

    splitter->SetAutoScale(false);
    splitter->resize(600, 180);
    EXPECT_EQ(splitter->Position(), 112);
    splitter->resize(60, 180);
    EXPECT_EQ(splitter->Position(), 55);
    EXPECT_EQ(splitter->Section(1)->geometry(), QRect(60, 2, 0, 177));
}

TEST_F(SplitForm, SectionsLieEitherSideOfTheBar)
{
    Show();
    splitter->SetPosition(60);
    EXPECT_EQ(splitter->Section(0)->geometry(), QRect(2, 2, 57, 97));
    EXPECT_EQ(splitter->Section(1)->geometry(), QRect(65, 2, 134, 97));
    splitter->SetCtl3D(false);
    EXPECT_EQ(splitter->Section(0)->geometry(), QRect(0, 0, 60, 100));
    EXPECT_EQ(splitter->Section(1)->geometry(), QRect(63, 0, 137, 100));
    splitter->SetOrientation(soHorizontal);
    splitter->SetPosition(40);
    EXPECT_EQ(splitter->Section(0)->geometry(), QRect(0, 0, 200, 40));
    EXPECT_EQ(splitter->Section(1)->geometry(), QRect(0, 43, 200, 57));
}

TEST_F(SplitForm, DraggingTheBarMovesItOnRelease)
{
    Show();
    resizes = 0;
    QTest::mouseMove(splitter, QPoint(101, 50));
    EXPECT_TRUE(splitter->OverBar());
    EXPECT_EQ(splitter->cursor().shape(), Qt::SplitHCursor);
    QTest::mousePress(splitter, Qt::LeftButton, {}, QPoint(101, 50));
    ASSERT_TRUE(splitter->Dragging());
    QTest::mouseMove(splitter, QPoint(140, 50));
    EXPECT_EQ(splitter->Position(), 140);
    // Without AutoUpdate the sections wait for the button to come up.
    EXPECT_EQ(splitter->Section(0)->width(), 97);
    QTest::mouseMove(splitter, QPoint(199, 50));
    EXPECT_EQ(splitter->Position(), 195) << "cut to the limit";
    QTest::mouseRelease(splitter, Qt::LeftButton, {}, QPoint(199, 50));
    EXPECT_FALSE(splitter->Dragging());
    EXPECT_EQ(splitter->Section(0)->width(), 192);
    EXPECT_EQ(resizes, 1);
}

TEST_F(SplitForm, AutoUpdateMovesTheSectionsWhileDragging)
{
    splitter->SetAutoUpdate(true);
    Show();
    // Grabbed a pixel inside the left section: the section passes the mouse on.
    QWidget* left = splitter->Section(0);
    QTest::mouseMove(left, QPoint(96, 40));
    QTest::mousePress(left, Qt::LeftButton, {}, QPoint(96, 40));
    ASSERT_TRUE(splitter->Dragging());
    QTest::mouseMove(left, QPoint(48, 40));
    EXPECT_EQ(splitter->Position(), 50);
    EXPECT_EQ(left->width(), 47);
    QTest::mouseRelease(left, Qt::LeftButton, {}, QPoint(48, 40));
    EXPECT_EQ(splitter->Position(), 50);
}

TEST_F(SplitForm, WithoutAllowResizeTheBarStays)
{
    splitter->SetAllowResize(false);
    Show();
    QTest::mouseMove(splitter, QPoint(101, 50));
    EXPECT_FALSE(splitter->OverBar());
    EXPECT_NE(splitter->cursor().shape(), Qt::SplitHCursor);
    QTest::mousePress(splitter, Qt::LeftButton, {}, QPoint(101, 50));
    QTest::mouseMove(splitter, QPoint(150, 50));
    QTest::mouseRelease(splitter, Qt::LeftButton, {}, QPoint(150, 50));
    EXPECT_EQ(splitter->Position(), 100);
    EXPECT_EQ(resizes, 0);
}

TEST_F(SplitForm, ANestedSplitterGetsNoSecondFrame)
{
    splitter->resize(400, 200);
    splitter->SetPosition(150);
    Show();
    auto* inner = new TOvcSplitter(splitter->Section(1));
    inner->SetOrientation(soHorizontal);
    inner->SetAlignClient(true);
    inner->show();
    Settle();
    EXPECT_EQ(splitter->Section(1)->geometry(), QRect(153, 0, 247, 200));
    EXPECT_EQ(inner->geometry(), QRect(0, 0, 247, 200));
    EXPECT_EQ(splitter->Section(0)->geometry(), QRect(2, 2, 147, 197));
    // The outer bar moves: the nested one fills its section still.
    splitter->SetPosition(200);
    Settle();
    EXPECT_EQ(inner->geometry(), QRect(0, 0, 197, 200));
    delete inner;
    Settle();
    EXPECT_EQ(splitter->Section(1)->geometry(), QRect(205, 2, 194, 197));
}

} // namespace
} // namespace korval

namespace korval {
namespace {

// The PSK window's case: nested splitters whose layout is restored before the form is shown.
TEST_F(SplitForm, NestedLayoutRestoredBeforeShowIsKept)
{
    splitter->setGeometry(10, 10, 400, 200);
    splitter->SetPosition(150);
    auto* inner = new TOvcSplitter(splitter->Section(1));
    inner->SetOrientation(soHorizontal);
    inner->SetAlignClient(true);
    inner->SetPosition(80);
    Show();
    EXPECT_EQ(splitter->Position(), 150);
    EXPECT_EQ(inner->Position(), 80);
    EXPECT_EQ(inner->geometry(), QRect(0, 0, 247, 200));
}

} // namespace
} // namespace korval
