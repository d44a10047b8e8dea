#include "exchange/windows/x_summary.h"

#include <QSignalSpy>
#include <QTest>

#include "entry/windows/ovc_base_field.h"
#include "exchange_fixture.h"
#include "grids/windows/my_grid.h"
#include "grids/windows/popup_box.h"
#include "logbook/qso_lookup.h"
#include "logbook/windows/qso_form.h"

namespace korval {
namespace {

// A QSO window over a log with DL1AA confirmed on 20 m CW; every band and mode is the station's.
class XSummaryTest : public test::ExchangeTest {
protected:
    void SetUp() override
    {
        test::ExchangeTest::SetUp();
        InstallCountryLookup();
        TQsoRecord* q = test::MakeQso("DL1AA", test::Day(2020, 1, 1), 0, 5, mdCW);
        q->Flags |= qfQslReceived;
        DeriveWpxPrefix(*q);
        log_.InsertQso(q);
        form_ = std::make_unique<TQSOForm>(&log_);
    }
    void TearDown() override
    {
        form_.reset();
        SetQsoLookup(nullptr);
        test::ExchangeTest::TearDown();
    }
    static std::string Cell(TMyGrid* g, int col, int row)
    {
        std::string v;
        g->OnGetCell(g, col, row, v);
        return v;
    }
    TQsoData log_{"SUMMARY.KVL"};
    std::unique_ptr<TQSOForm> form_;
};

} // namespace

TEST_F(XSummaryTest, ShowsTheZoneOfTheEntryWithItsBandAndModeMarked)
{
    auto* w = new TXSummary(form_.get(), skwZone);
    w->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(w));
    form_->Field(fZone)->SetAsString("14");
    form_->Wheel(fBand)->SetSelection(5);
    form_->Wheel(fMode)->SetSelection(mdCW);
    w->RefreshChild();
    EXPECT_EQ(w->windowTitle(), "Zone = 14");
    ASSERT_EQ(w->DG->RowCount, 5) << "header, MIX, PHO, CW, RTTY";
    ASSERT_EQ(w->DG->ColCount, 16) << "the group names and 15 bands";
    EXPECT_EQ(Cell(w->DG, 0, 3), "CW");
    EXPECT_EQ(w->DG->Header[5].caption, "20m");
    EXPECT_EQ(Cell(w->DG, 5, 3), "C");
    EXPECT_EQ(Cell(w->DG, 5, 1), "C") << "all modes";
    EXPECT_EQ(Cell(w->DG, 5, 2), std::string(1, static_cast<char>(183)));
    EXPECT_TRUE(w->DG->CellFrame);
    EXPECT_EQ(w->DG->Col, 5);
    EXPECT_EQ(w->DG->Row, 3);

    // The window is as large as its grid.
    int width = 4;
    for (int c = 0; c < w->DG->ColCount; ++c)
        width += w->DG->ColWidth(c) + 1;
    EXPECT_EQ(w->width(), width);
    EXPECT_EQ(w->height(), 5 * (w->DG->DefaultRowHeight + 2));

    // Satellites are no longer the station's: the grid loses its column, and the entry's band
    // has no cell to mark.
    Config.SetStationBand(15, false);
    w->SetupGrid();
    form_->Field(fZone)->SetAsString("41");
    form_->Wheel(fBand)->SetSelection(15);
    w->RefreshChild();
    EXPECT_EQ(w->windowTitle(), "Zone");
    EXPECT_EQ(w->DG->ColCount, 15);
    EXPECT_EQ(Cell(w->DG, 5, 3), std::string(1, static_cast<char>(183)));
    EXPECT_FALSE(w->DG->CellFrame) << "no cell marked";

    QSignalSpy closed(w, &TChildForm::ChildWindowClosed);
    w->close();
    ASSERT_EQ(closed.count(), 1);
    EXPECT_EQ(closed.at(0).at(0).toInt(), skwZone);
    EXPECT_NE(Config.Placement(psZone).Width, 0);
}

TEST_F(XSummaryTest, WpxFollowsTheCallField)
{
    TXSummary w(form_.get(), skwWpx);
    form_->Field(fCall)->SetAsString("dl1aa");
    w.UpdateForQso();
    EXPECT_EQ(w.windowTitle(), "WPX = DL1");
    w.UpdateWPX("");
    EXPECT_EQ(w.windowTitle(), "WPX = <none>");
    EXPECT_EQ(SummaryPlacementSlot(skwWpx), psWpx);
    EXPECT_EQ(SummaryPlacementSlot(skwGrid), psGrid);
}

} // namespace korval
