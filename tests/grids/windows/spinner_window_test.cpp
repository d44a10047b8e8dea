// The spinners as windows, offscreen, on a hand-set clock and a hand-fired repeat timer: each
// part steps its direction on the attached field, a held button repeats faster, and the focus
// goes to the field first.
#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>

#include "entry/windows/ovc_controller.h"
#include "entry/ovc_date.h"
#include "entry/windows/ovc_numeric_field.h"
#include "entry/windows/ovc_picture_field.h"
#include "grids/windows/ovc_flat_spinner.h"
#include "grids/windows/ovc_spinner.h"
#include "platform/message_dlg.h"

namespace korval {
namespace {

void Settle()
{
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents();
}

// A dialog with a number field, a date field, a four-digit picture field, a plain text box and
// a spinner whose clock and repeat timer the test runs.
class SpinForm : public ::testing::Test {
protected:
    void SetUp() override
    {
        form = std::make_unique<QWidget>();
        new TOvcController(form.get());
        number = new TOvcNumericField(form.get());
        number->move(10, 10);
        date = new TOvcPictureField(form.get());
        date->SetDataType(pftDate);
        date->SetPictureMask("mm/dd/yyyy");
        date->move(10, 40);
        picture = new TOvcPictureField(form.get());
        picture->SetDataType(pftLongInt);
        picture->SetPictureMask("9999");
        picture->move(10, 70);
        edit = new QLineEdit(form.get());
        edit->move(10, 100);
        spinner = new TOvcSpinner(form.get(), &clock, &timer);
        spinner->move(200, 10);
        spinner->OnClick = [this](QObject* sender, TOvcSpinState state, double delta, bool wrap) {
            EXPECT_EQ(sender, spinner);
            clicks.push_back(state);
            lastDelta = delta;
            lastWrap = wrap;
        };
        form->resize(300, 140);
        form->show();
        form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    }

    // A point inside the given part of the spinner.
    QPoint At(TOvcSpinState part) const
    {
        const int w = spinner->width(), h = spinner->height();
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                if (spinner->StateAt({x, y}) == part && spinner->StateAt({x + 1, y}) == part
                    && spinner->StateAt({x, y + 1}) == part)
                    return {x + 1, y + 1};
        ADD_FAILURE() << "no part " << part;
        return {};
    }

    void Click(TOvcSpinState part)
    {
        QTest::mousePress(spinner, Qt::LeftButton, {}, At(part));
        QTest::mouseRelease(spinner, Qt::LeftButton, {}, At(part));
        Settle();
    }

    // Lets the held button run for ms milliseconds, one timer pass every 10 ms.
    void Hold(int ms)
    {
        for (int t = 0; t < ms; t += 10) {
            clock.Advance(10);
            timer.Fire();
        }
    }

    TOvcManualTickSource clock{5000};
    TOvcManualTimerDriver timer;
    std::unique_ptr<QWidget> form;
    TOvcNumericField* number = nullptr;
    TOvcPictureField* date = nullptr;
    TOvcPictureField* picture = nullptr;
    QLineEdit* edit = nullptr;
    TOvcSpinner* spinner = nullptr;
    std::vector<TOvcSpinState> clicks;
    double lastDelta = 0;
    bool lastWrap = false;
};

TEST_F(SpinForm, UpAndDownStepTheNumberFieldAndFocusIt)
{
    number->SetAsInteger(5);
    spinner->SetFocusedControl(number);
    spinner->SetDelta(2);
    Click(ssUpBtn);
    EXPECT_TRUE(number->hasFocus());
    EXPECT_EQ(number->GetAsInteger(), 7);
    Click(ssDownBtn);
    Click(ssDownBtn);
    EXPECT_EQ(number->GetAsInteger(), 3);
    EXPECT_EQ(clicks, (std::vector<TOvcSpinState>{ssUpBtn, ssDownBtn, ssDownBtn}));
    EXPECT_EQ(lastDelta, 2);
    EXPECT_TRUE(lastWrap);
    EXPECT_FALSE(timer.Running()) << "released: the repeat stops";
}

TEST_F(SpinForm, FourWayStepsTheDateComponentUnderTheCaretAndMovesTheCaret)
{
    date->SetAsStDate(DMYToDate(15, 3, 2024, 1950));
    spinner->SetStyle(stFourWay);
    spinner->resize(30, 30);
    spinner->SetFocusedControl(date);
    date->setFocus();
    Settle();
    date->SetInsertionPoint(3);  // in "dd"
    Click(ssUpBtn);
    EXPECT_EQ(date->GetAsStDate(), DMYToDate(16, 3, 2024, 1950));
    // Left three places puts the caret in "mm": the month steps now.
    Click(ssLeftBtn);
    Click(ssLeftBtn);
    Click(ssLeftBtn);
    Click(ssDownBtn);
    EXPECT_EQ(date->GetAsStDate(), DMYToDate(16, 2, 2024, 1950));
    Click(ssRightBtn);
    EXPECT_EQ(clicks.back(), ssRightBtn);
}

TEST_F(SpinForm, PictureFieldAndTextBoxStepToo)
{
    picture->SetAsInteger(41);
    spinner->SetFocusedControl(picture);
    Click(ssUpBtn);
    EXPECT_EQ(picture->GetAsInteger(), 42);

    edit->setText("2.5");
    spinner->SetFocusedControl(edit);
    spinner->SetDelta(0.25);
    Click(ssDownBtn);
    EXPECT_EQ(edit->text(), "2.25");
    EXPECT_TRUE(edit->hasFocus());
    // Text that is no number stays; the step is still reported.
    edit->setText("n/a");
    clicks.clear();
    Click(ssUpBtn);
    EXPECT_EQ(edit->text(), "n/a");
    EXPECT_EQ(clicks.size(), 1u);
}

TEST_F(SpinForm, HeldTheRepeatAccelerates)
{
    number->SetAsInteger(0);
    spinner->SetFocusedControl(number);
    QTest::mousePress(spinner, Qt::LeftButton, {}, At(ssUpBtn));
    EXPECT_EQ(number->GetAsInteger(), 1) << "the first step comes at once";
    ASSERT_TRUE(timer.Running());
    EXPECT_EQ(timer.Period(), TOvcSpinEngine::PollPeriod);
    // Steps due after 500, 450, 400 ... ms: within the first second only the second step.
    Hold(500);
    EXPECT_EQ(number->GetAsInteger(), 1);
    Hold(10);
    EXPECT_EQ(number->GetAsInteger(), 2);
    Hold(460);  // 450 after the second, polled every 10 ms
    EXPECT_EQ(number->GetAsInteger(), 3);
    // Far on, the delay is used up and every pass steps.
    Hold(3000);
    const int before = number->GetAsInteger();
    Hold(100);
    EXPECT_EQ(number->GetAsInteger(), before + 10);
    QTest::mouseRelease(spinner, Qt::LeftButton, {}, At(ssUpBtn));
    EXPECT_FALSE(timer.Running());
    Hold(1000);
    EXPECT_EQ(number->GetAsInteger(), before + 10);
}

TEST_F(SpinForm, WithoutAutoRepeatOnePressIsOneStep)
{
    number->SetAsInteger(0);
    spinner->SetFocusedControl(number);
    spinner->SetAutoRepeat(false);
    QTest::mousePress(spinner, Qt::LeftButton, {}, At(ssUpBtn));
    Hold(5000);
    timer.Fire();
    QTest::mouseRelease(spinner, Qt::LeftButton, {}, At(ssUpBtn));
    EXPECT_EQ(number->GetAsInteger(), 1);
    EXPECT_EQ(clicks.size(), 1u);
}

TEST_F(SpinForm, SlidingToTheOtherPartWhileHeldTurnsTheDirection)
{
    number->SetAsInteger(10);
    spinner->SetFocusedControl(number);
    spinner->SetAcceleration(0);
    QTest::mousePress(spinner, Qt::LeftButton, {}, At(ssUpBtn));
    Hold(510);
    EXPECT_EQ(number->GetAsInteger(), 12);
    QTest::mouseMove(spinner, At(ssDownBtn));
    EXPECT_EQ(spinner->State(), ssDownBtn);
    Hold(510);
    EXPECT_EQ(number->GetAsInteger(), 11);
    // Off the control nothing steps; back on, it goes on.
    QTest::mouseMove(spinner, QPoint(-20, 5));
    Hold(2000);
    EXPECT_EQ(number->GetAsInteger(), 11);
    QTest::mouseMove(spinner, At(ssDownBtn));
    timer.Fire();
    clock.Advance(10);
    timer.Fire();
    EXPECT_EQ(number->GetAsInteger(), 10);
    QTest::mouseRelease(spinner, Qt::LeftButton, {}, At(ssDownBtn));
    EXPECT_EQ(spinner->State(), ssNormal);
}

TEST_F(SpinForm, HidingOrDisablingAHeldSpinnerStopsTheRepeat)
{
    number->SetAsInteger(0);
    spinner->SetFocusedControl(number);
    QTest::mousePress(spinner, Qt::LeftButton, {}, At(ssUpBtn));
    spinner->hide();
    EXPECT_FALSE(timer.Running());
    EXPECT_EQ(spinner->State(), ssNormal);
    spinner->show();
    QTest::mousePress(spinner, Qt::LeftButton, {}, At(ssUpBtn));
    ASSERT_TRUE(timer.Running());
    spinner->setEnabled(false);
    EXPECT_FALSE(timer.Running());
    Hold(2000);
    EXPECT_EQ(number->GetAsInteger(), 2);
}

TEST_F(SpinForm, NothingToStepMeansNoStep)
{
    auto* button = new QPushButton("x", form.get());
    button->show();
    spinner->OnClick = nullptr;
    spinner->SetFocusedControl(button);
    QTest::mousePress(spinner, Qt::LeftButton, {}, At(ssUpBtn));
    EXPECT_EQ(spinner->Engine().Repeats(), 0);
    QTest::mouseRelease(spinner, Qt::LeftButton, {}, At(ssUpBtn));
    // A control that is freed is let go.
    spinner->SetFocusedControl(number);
    delete number;
    number = nullptr;
    EXPECT_EQ(spinner->FocusedControl(), nullptr);
}

TEST_F(SpinForm, AFieldThatKeepsTheFocusVoidsThePress)
{
    ScopedMessageRecorder recorder;
    number->SetAsInteger(5);
    spinner->SetFocusedControl(number);
    date->setFocus();
    Settle();
    QTest::keyClick(date, Qt::Key_Home);
    QTest::keyClicks(date, "02302024");
    Click(ssUpBtn);
    EXPECT_TRUE(date->hasFocus());
    EXPECT_EQ(number->GetAsInteger(), 5);
    EXPECT_TRUE(clicks.empty());
    EXPECT_EQ(recorder.texts(), std::vector<std::string>{"Value is not a valid date"});
}

TEST(FlatSpinner, PaintsInItsOwnColoursAndRepaintsWhenTheyChange)
{
    TOvcFlatSpinner spinner;
    EXPECT_EQ(spinner.FaceColor(), QColor(192, 192, 192));
    EXPECT_EQ(spinner.ArrowColor(), QColor(0, 0, 0));
    EXPECT_EQ(spinner.HighlightColor(), QColor(255, 255, 255));
    EXPECT_EQ(spinner.ShadowColor(), QColor(128, 128, 128));
    EXPECT_EQ(spinner.size(), QSize(16, 25));
    EXPECT_EQ(spinner.focusPolicy(), Qt::NoFocus);
    spinner.show();
    Settle();
    EXPECT_EQ(spinner.grab().toImage().pixelColor(3, 3), QColor(192, 192, 192));
    spinner.SetFaceColor(QColor(200, 0, 0));
    EXPECT_EQ(spinner.grab().toImage().pixelColor(3, 3), QColor(200, 0, 0));
    // The arrow of the up part sits in its middle.
    EXPECT_EQ(spinner.grab().toImage().pixelColor(7, 6), QColor(0, 0, 0));
}

} // namespace
} // namespace korval
