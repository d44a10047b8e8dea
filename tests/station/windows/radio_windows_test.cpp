// The scanner, panorama and set-frequency windows offscreen, tuning a simulated ASCII radio on a
// pseudo-terminal through the program's radio.
#include "entry/windows/ovc_numeric_field.h"
#include "grids/windows/ovc_base_table_cell.h"
#include "grids/windows/ovc_table.h"
#include "grids/windows/popup_box.h"
#include "station/windows/panorama_window.h"
#include "station/windows/scanner_window.h"
#include "station/windows/set_radio_frequency.h"
#include "tests/station/windows/radio_window_fixture.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

using namespace korval;
using namespace korval::test;

namespace {

constexpr int KenwoodCW = 3, KenwoodLSB = 1;

class RadioWindows : public RadioWindowFixture {
protected:
    TKenwoodSim& Start()
    {
        TKenwoodSim& s = StartSim<TKenwoodSim>("Kenwood TS-590S");
        EXPECT_TRUE(CreateRadio());
        return s;
    }
};

// ---- set frequency ----

struct StepCase {
    int modeCode;
    int key;
    Qt::KeyboardModifiers modifiers;
    long expectHz;
};

class SetFrequencyKeys : public RadioWindows, public ::testing::WithParamInterface<StepCase> {};

TEST_P(SetFrequencyKeys, StepTheMainFrequencyByTheModesStep)
{
    const StepCase& c = GetParam();
    TKenwoodSim& radio = Start();
    radio.modeCode = c.modeCode;
    TSetRadioFrequency w;
    w.show();
    ASSERT_DOUBLE_EQ(w.F_AVFO->GetAsFloat(), 14250.0);
    QTest::keyClick(w.F_AVFO, static_cast<Qt::Key>(c.key), c.modifiers);
    EXPECT_TRUE(SpinUntil([&] { return radio.freqHz == c.expectHz; })) << radio.freqHz;
}

INSTANTIATE_TEST_SUITE_P(
    CwAndPhone, SetFrequencyKeys,
    ::testing::Values(StepCase {KenwoodCW, Qt::Key_Up, Qt::NoModifier, 14250100},
                      StepCase {KenwoodCW, Qt::Key_Up, Qt::ShiftModifier, 14251000},
                      StepCase {KenwoodCW, Qt::Key_Up, Qt::ControlModifier, 14250010},
                      StepCase {KenwoodLSB, Qt::Key_Up, Qt::NoModifier, 14250500},
                      StepCase {KenwoodLSB, Qt::Key_Up, Qt::ShiftModifier, 14255000},
                      StepCase {KenwoodLSB, Qt::Key_Down, Qt::NoModifier, 14249500},
                      StepCase {KenwoodLSB, Qt::Key_Up, Qt::ControlModifier | Qt::ShiftModifier, 14150000}));

TEST_F(RadioWindows, SetFrequencyFollowsTheRadioAndClosesWhenItStops)
{
    TKenwoodSim& radio = Start();
    QPointer<TSetRadioFrequency> w = new TSetRadioFrequency;
    w->show();
    EXPECT_EQ(w->Radio_Mode->GetText(), "SSB");
    radio.freqHz = 7010000;
    radio.modeCode = KenwoodCW;
    w->Button1->click();
    EXPECT_DOUBLE_EQ(w->F_AVFO->GetAsFloat(), 7010.0);
    EXPECT_EQ(w->Radio_Mode->GetText(), "CW");

    // Choosing a mode sends it with the shown frequency.
    w->Radio_Mode->SetSelection(w->Radio_Mode->GetItems().IndexOf("RTTY") + 1);
    EXPECT_TRUE(SpinUntil([&] { return radio.modeCode == 6; }));

    FreeRadio(false);
    w->UpdateFromRadio();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(w.isNull());
}

// Deletes its victim later when it gets an event (from deeper in the event loop than its sender).
struct TLaterDeleter : QObject {
    QPointer<QObject> victim;
    bool event(QEvent*) override
    {
        if (victim)
            victim->deleteLater();
        return true;
    }
};

TEST_F(RadioWindows, AnExchangeWaitsOnlyForPortDataAndRunsNoOtherPendingWork)
{
    TKenwoodSim& radio = Start();
    radio.replyDelayMs = 30;
    TLaterDeleter deleter;
    deleter.victim = new QObject;
    QObject context;
    bool posted = false, keptDuringRead = false, postedDuringRead = true;
    QTimer::singleShot(0, &context, [&] {
        QEvent poke(QEvent::User);
        QCoreApplication::sendEvent(&deleter, &poke);
        QMetaObject::invokeMethod(&context, [&] { posted = true; }, Qt::QueuedConnection);
        double rx = 0, tx = 0;
        std::uint8_t mode = 0;
        bool split = false;
        EXPECT_FALSE(Radio()->ReadFrequencyAndMode(rx, tx, mode, split));
        keptDuringRead = !deleter.victim.isNull();
        postedDuringRead = posted;
    });
    EXPECT_TRUE(SpinUntil([&] { return posted && deleter.victim.isNull(); }));
    EXPECT_TRUE(keptDuringRead);
    EXPECT_FALSE(postedDuringRead);
}

// ---- scanner ----

TEST_F(RadioWindows, ScannerTunesTheDoubleClickedChannelAndStoresTheRadiosFrequency)
{
    TKenwoodSim& radio = Start();
    Config.SetScannerChannel(2, {true, 4 /* CW */, "Net", 7030.0, 0});
    TScanner w;
    w.show();
    EXPECT_EQ(w.CellText(2, 2), "Net");
    EXPECT_EQ(w.CellText(2, 3), "CW");
    const QRect cell = w.ScanTable->CellRectOf(2, 2);
    QTest::mouseDClick(w.ScanTable->viewport(), Qt::LeftButton, {}, cell.center());
    EXPECT_TRUE(SpinUntil([&] { return radio.freqHz == 7030000 && radio.modeCode == KenwoodCW; })) << radio.freqHz;

    radio.freqHz = 21074000;
    radio.modeCode = 2;  // USB
    w.ScanTable->SetActiveRow(3);
    w.NewFreqButton->click();
    EXPECT_EQ(w.FScanStatus->text().toStdString(), "Read Freq");
    EXPECT_TRUE(SpinUntil([&] { return Config.ScannerChannel(3).FrequencyKHz == 21074.0; }));
    w.StopButton->click();
    EXPECT_EQ(w.FScanStatus->text().toStdString(), "Idle");
    const TScannerChannel stored = Config.ScannerChannel(3);
    EXPECT_TRUE(stored.Active);
    EXPECT_EQ(stored.Mode, 14);
    EXPECT_EQ(stored.QsxKHz, 0.0);
    EXPECT_EQ(w.CellText(3, 4), "21074.000");
}

TEST_F(RadioWindows, ScannerChannelsAreEditedInTheTable)
{
    Start();
    TScanner w;
    w.show();
    w.ScanTable->setFocus();
    auto type = [&](int col, const char* text) {
        w.ScanTable->SetActiveCell(4, col);
        QTest::keyClick(w.ScanTable, Qt::Key_F2);
        QWidget* editor = w.ScanTable->EditingCell() ? w.ScanTable->EditingCell()->CellEditor() : nullptr;
        ASSERT_NE(editor, nullptr) << col;
        QTest::keyClicks(editor, text);
        QTest::keyClick(editor, Qt::Key_F2);  // F2 starts and ends a cell's edit
        Spin(20);
    };
    type(1, "Y");
    type(2, "40m net");
    type(3, "CW");
    type(4, "7040");
    const TScannerChannel c = Config.ScannerChannel(4);
    EXPECT_TRUE(c.Active);
    EXPECT_EQ(c.Description, "40m net");
    EXPECT_EQ(c.Mode, 4);
    EXPECT_DOUBLE_EQ(c.FrequencyKHz, 7040.0);
}

TEST_F(RadioWindows, ClosingTheScannerWhileItScansStopsTheSweep)
{
    TKenwoodSim& radio = Start();
    Config.SetScanDelay(4);
    Config.SetScannerChannel(2, {true, 4, "A", 7030.0, 0});
    Config.SetScannerChannel(5, {true, 4, "B", 10110.0, 0});
    {
        TScanner w;
        w.show();
        w.ScanButton->click();
        EXPECT_EQ(w.FScanStatus->text().toStdString(), "Scanning");
        EXPECT_TRUE(w.ScanTimer->isActive());
        EXPECT_TRUE(SpinUntil([&] { return radio.freqHz == 7030000; }));
        w.ExitButton->click();
        EXPECT_FALSE(w.ScanTimer->isActive());
    }
    Spin(50);
    EXPECT_EQ(radio.freqHz, 7030000);
}

// ---- panorama ----

TEST_F(RadioWindows, PanoramaSweepDrawsEachReadingAsABar)
{
    TKenwoodSim& radio = Start();
    radio.sMeter = 19;  // x 0.6 = S 11: nine rows in the text colour, two in red
    TPanorama w;
    w.show();
    EXPECT_DOUBLE_EQ(w.F_Center->GetAsFloat(), 14250.0);
    w.ScanButton->click();
    const QImage& image = w.IMReadings->Picture();
    const int h = w.RowHeight(), base = w.Baseline();
    const QColor text = w.palette().color(QPalette::WindowText);
    EXPECT_TRUE(SpinUntil([&] { return QColor(image.pixel(1 + 6 * 3, base - 1)) == text; }));
    EXPECT_EQ(QColor(image.pixel(1, base - 9 * h + 1)), text);
    EXPECT_EQ(QColor(image.pixel(1, base - 9 * h - 1)), QColor(Qt::red));
    EXPECT_EQ(QColor(image.pixel(1, base - 11 * h - 1)), w.palette().color(QPalette::Base));

    // Cancel ends the sweep and tunes back to the centre.
    w.BtnCancel->click();
    EXPECT_FALSE(w.StepTimer->isActive());
    EXPECT_TRUE(SpinUntil([&] { return radio.freqHz == 14250000; }));
}

TEST_F(RadioWindows, PanoramaRightClickTunesToTheFrequencyUnderTheMouse)
{
    TKenwoodSim& radio = Start();
    TPanorama w;
    w.show();
    // 100 steps across: x = 60 is step 10, 40 kHz below the centre.
    QTest::mousePress(w.IMReadings, Qt::RightButton, {}, QPoint(60, 100));
    EXPECT_DOUBLE_EQ(w.F_Center->GetAsFloat(), 14210.0);
    EXPECT_TRUE(SpinUntil([&] { return radio.freqHz == 14210000; })) << radio.freqHz;
    QTest::mouseRelease(w.IMReadings, Qt::RightButton, {}, QPoint(60, 100));
    EXPECT_DOUBLE_EQ(w.F_Center->GetAsFloat(), 14250.0);
}

} // namespace
