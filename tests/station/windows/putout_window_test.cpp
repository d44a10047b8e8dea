// The DX spot window offscreen: lines in, rows and colours out, and the pop-up commands.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QMenu>
#include <fstream>
#include <iterator>

#include "grids/windows/my_grid.h"
#include "logbook/qso_fields.h"
#include "logbook/windows/qso_form_fixture.h"
#include "logbook/base/day_number.h"
#include "logbook/config_record.h"
#include "platform/message_dlg.h"
#include "station/windows/putout_window.h"
#include "test_support.h"
#include "window_fit.h"
#include "logbook/configured_formats.h"

using namespace korval;

namespace korval {
namespace {

constexpr std::int64_t kNoon = 1737763200 + 12 * 3600; // 2025-01-25 12:00 UTC

struct FakeRadio : TSpotRadio {
    double low = 1800, high = 30000;
    int sets = 0;
    double rx = 0, tx = 0;
    bool split = false;
    double LowKHz() const override { return low; }
    double HighKHz() const override { return high; }
    void Read(double& r, double& t, int& m, bool& s) override { r = 7000, t = 7000, m = 4, s = false; }
    void Set(int, double r, double t, bool s) override { ++sets, rx = r, tx = t, split = s; }
};

std::string ReadAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

QAction* Item(TPutoutW& w, const char* text)
{
    for (QAction* a : w.PopupMenu()->findChildren<QAction*>())
        if (a->text() == QString::fromLatin1(text))
            return a;
    for (QAction* a : w.PopupMenu()->actions())
        if (a->text() == QString::fromLatin1(text))
            return a;
    return nullptr;
}

class PutoutWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        saved_ = Config;
        Config = TConfigRecord();
        SetUtcClockSource([] { return kNoon; });
    }
    void TearDown() override
    {
        SetUtcClockSource({});
        Config = saved_;
    }
    std::unique_ptr<TPutoutW> Make(TSpotRadio* radio = nullptr)
    {
        TPutoutEnv env;
        env.spotFile = dir.file("KORVAL.PUT");
        env.radio = radio;
        env.askTextFile = [this] { return dir.file("spots.txt"); };
        auto w = std::make_unique<TPutoutW>(env);
        return w;
    }
    void Feed(TPutoutW& w, std::initializer_list<const char*> lines)
    {
        for (const char* l : lines)
            w.AddPendingLine(l);
        w.AppIdle();
    }
    std::string Cell(TPutoutW& w, int col, int row)
    {
        std::string v;
        w.Grid()->OnGetCell(w.Grid(), col, row, v);
        return v;
    }

    test::TempDir dir;
    TConfigRecord saved_;
};

TEST_F(PutoutWindowTest, LinesBeforeTheFirstShowAreDroppedThenTheGridFillsInTimeOrder)
{
    auto w = Make();
    Feed(*w, {"DX de CT3FW:      7004.8  ZS6ZZ        CW                             1100Z"});
    w->show();
    w->AppIdle();
    EXPECT_TRUE(w->List().spots().empty()); // paused until shown
    Feed(*w, {"DX de CT3FW:     21004.8  HC2AO        599 TKS(CW)QSL READ,QRZ.COM    1132Z",
              "DX de DL1ABC:    14025.0  VP8LP        CW up 2                        1140Z",
              "not a spot at all"});
    ASSERT_EQ(w->List().spots().size(), 2u);
    EXPECT_EQ(w->Grid()->RowCount, 3);
    EXPECT_EQ(Cell(*w, 0, 1), "21,004.8");
    EXPECT_EQ(Cell(*w, 1, 1), "HC2AO");
    EXPECT_EQ(Cell(*w, 2, 1), "11:32");
    EXPECT_EQ(Cell(*w, 1, 2), "VP8LP");
    EXPECT_EQ(Cell(*w, 6, 2), FormatDayNumber(EncodeDayNumber(2025, 1, 25)));
    EXPECT_EQ(w->Grid()->Row, 2); // not holding: the newest row
    EXPECT_EQ(w->windowTitle(), QStringLiteral("DX spots [DXCC] sorted by Time"));
    test::ExpectControlsFit(w.get(), "DX spots");
}

TEST_F(PutoutWindowTest, SortingKeepsTheSelectedSpotAndFrequencyOrderHolds)
{
    auto w = Make();
    w->show();
    Feed(*w, {"DX de DL1ABC:    14025.0  VP8LP        CW                             1140Z",
              "DX de DL1ABC:     7005.0  ZL1AA        CW                             1141Z"});
    w->Grid()->SelectRow(1); // VP8LP
    w->SetSortOrder(spFrequency);
    EXPECT_TRUE(w->holding());
    EXPECT_EQ(w->windowTitle(), QStringLiteral("DX spots [DXCC] sorted by Frequency (HOLDING)"));
    EXPECT_EQ(Cell(*w, 1, w->Grid()->Row), "VP8LP");
    w->GoToNearestSpot(7010);
    EXPECT_EQ(Cell(*w, 1, w->Grid()->Row), "ZL1AA");
    w->SetSortOrder(spCallsign);
    EXPECT_FALSE(w->holding());
    Item(*w, "Toggle holding")->trigger();
    EXPECT_TRUE(w->holding());
}

TEST_F(PutoutWindowTest, NewCountriesAndModesStandOutOnTheirColour)
{
    auto w = Make();
    w->show();
    Feed(*w, {"DX de DL1ABC:    14025.0  VP8LP        CW                             1140Z"});
    TSpotRecord& s = const_cast<TSpotRecord&>(w->List().spots()[0]);
    const QColor red = QColor(255, 0, 0), window = w->palette().color(QPalette::Base);
    QColor fg, bg;
    s.reason = '1';
    w->Grid()->OnGetColor(w->Grid(), 1, 1, fg, bg);
    EXPECT_EQ(bg, red);
    EXPECT_EQ(fg, window);
    s.reason = '3';
    w->Grid()->OnGetColor(w->Grid(), 1, 1, fg, bg);
    EXPECT_EQ(fg, red);
    EXPECT_EQ(bg, window);
}

TEST_F(PutoutWindowTest, TuningChecksTheRadiosRangeAndListenDoesNot)
{
    auto none = Make();
    EXPECT_FALSE(Item(*none, "Grab spot and set radio")->isEnabled());
    EXPECT_FALSE(Item(*none, "Listen")->isEnabled());

    FakeRadio radio;
    auto w = Make(&radio);
    ASSERT_TRUE(Item(*w, "Grab spot and set radio")->isEnabled());
    w->show();
    Feed(*w, {"DX de DL1ABC:    50110.0  VP8LP        CW QSX 50120                   1140Z"});
    ScopedMessageRecorder rec;
    w->GrabSpot(true);
    EXPECT_EQ(radio.sets, 0);
    ASSERT_EQ(rec.texts().size(), 1u);
    EXPECT_EQ(rec.texts()[0], "Bad frequency for radio");
    w->Listen();
    EXPECT_EQ(radio.sets, 1);
    EXPECT_DOUBLE_EQ(radio.rx, 50110.0);
    EXPECT_TRUE(w->holding());
    w->ReturnToLastFreq();
    EXPECT_DOUBLE_EQ(radio.rx, 7000.0);
}

TEST_F(PutoutWindowTest, MonitorTakesTheFirstFreeScannerChannel)
{
    auto w = Make();
    w->show();
    Feed(*w, {"DX de DL1ABC:    14025.0  VP8LP        CW a remark much longer than thirty 1140Z"});
    // The defaults name channels 1 and 2 ("DX freq", "Net"): they are not free.
    ASSERT_FALSE(Config.ScannerChannel(1).Description.empty());
    w->Monitor();
    const TScannerChannel ch = Config.ScannerChannel(3);
    EXPECT_TRUE(ch.Active);
    EXPECT_EQ(ch.Description.size(), 30u);
    EXPECT_EQ(ch.Description.rfind("VP8LP ", 0), 0u);
    EXPECT_DOUBLE_EQ(ch.FrequencyKHz, 14025.0);
    EXPECT_TRUE(w->holding());
    ScopedMessageRecorder rec;
    for (int i = 4; i <= ScannerChannelCount; ++i)
        w->Monitor();
    EXPECT_TRUE(rec.texts().empty());
    w->Monitor();
    ASSERT_EQ(rec.texts().size(), 1u);
    EXPECT_EQ(rec.texts()[0], "No free scanner channel available to monitor");
}

TEST_F(PutoutWindowTest, WritesTheSpotsAsTextAndKeepsItsStateWithItsOwner)
{
    auto w = Make();
    w->show();
    Feed(*w, {"DX de DL1ABC:    14025.0  VP8LP        CW                             1140Z",
              "DX de DL1ABC:     7005.0  ZL1AA        CW                             1141Z"});
    ScopedMessageRecorder rec;
    w->WriteSpotsToFile();
    ASSERT_EQ(rec.texts().size(), 1u);
    EXPECT_EQ(rec.texts()[0], "2 Spots  Written");
    EXPECT_EQ(ReadAll(dir.file("spots.txt")), w->List().SpotsAsText());

    QCloseEvent close;
    QApplication::sendEvent(w.get(), &close);
    EXPECT_FALSE(close.isAccepted()); // the operator cannot close it
    w->SetSortOrder(spSpotter);
    w->SaveState();
    EXPECT_EQ(Config.SpotSortOrder(), spSpotter);
    EXPECT_NE(Config.SpotColumnWidth(4), 0);
    EXPECT_EQ(ReadAll(dir.file("KORVAL.PUT")).substr(0, 6), std::string("\x05SPOTB"));

    // The next window reads the spots back, and the order and widths with them.
    auto again = Make();
    again->show();
    EXPECT_EQ(again->List().spots().size(), 2u);
    EXPECT_EQ(again->List().sortOrder(), spSpotter);
    EXPECT_EQ(again->Grid()->ColWidth(4), w->Grid()->ColWidth(4));
}

TEST_F(PutoutWindowTest, AWrongSpotFileIsReportedAndLeftUnread)
{
    { std::ofstream(dir.file("KORVAL.PUT"), std::ios::binary) << "\x05XXXXX and more"; }
    ScopedMessageRecorder rec;
    auto w = Make();
    w->show();
    ASSERT_EQ(rec.texts().size(), 1u);
    EXPECT_EQ(rec.texts()[0], "Incompatible DXSPOT file ignored");
    EXPECT_TRUE(w->List().spots().empty());
}

TEST_F(PutoutWindowTest, ClearingAndDeletingEmptyTheGrid)
{
    auto w = Make();
    w->show();
    Feed(*w, {"DX de DL1ABC:    14025.0  VP8LP        CW                             1140Z",
              "DX de DL1ABC:     7005.0  ZL1AA        CW                             1141Z"});
    w->Grid()->SelectRow(1);
    Item(*w, "Delete")->trigger();
    ASSERT_EQ(w->List().spots().size(), 1u);
    EXPECT_EQ(w->List().spots()[0].call, "ZL1AA");
    Item(*w, "Clear All Spots")->trigger();
    EXPECT_TRUE(w->List().spots().empty());
    EXPECT_EQ(w->Grid()->RowCount, 1);
    EXPECT_FALSE(w->holding());
}

// With a QSO window: a click shows the spot in the empty real-time entry, a grab starts the QSO.
class PutoutWithQsoWindow : public QsoFormTest {};

TEST_F(PutoutWithQsoWindow, ClickPreviewsAndGrabStartsTheQso)
{
    test::TempDir dir;
    TPutoutEnv env;
    env.spotFile = dir.file("KORVAL.PUT");
    env.qsoWindow = [this] { return form_.get(); };
    TPutoutW w(env);
    w.show();
    form_->Addrealtime1Click();
    w.AddPendingLine("DX de W1AW:      7025.0  DL7XX        CW                             1200Z");
    w.AppIdle();
    ASSERT_EQ(w.List().spots().size(), 1u);
    EXPECT_EQ(F(fPrefix)->GetAsString(), "DL"); // previewed: the call stays for the operator
    EXPECT_TRUE(F(fCall)->GetAsString().empty());
    Item(w, "Grab spot only")->trigger();
    EXPECT_EQ(F(fCall)->GetAsString(), "DL7XX");
    EXPECT_EQ(form_->Entry().Fields.Sel[fBand], 3); // 40 m
    EXPECT_EQ(form_->Entry().Fields.Sel[fMode], mdCW);
}

} // namespace
} // namespace korval
