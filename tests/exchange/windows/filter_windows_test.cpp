// The filter list window and the filter editor, offscreen.
#include "exchange_fixture.h"

#include "entry/windows/ovc_simple_field.h"
#include "exchange/filter_editor.h"
#include "exchange/windows/filter_windows.h"
#include "exchange/windows/import_dialogs.h"
#include "exchange/windows/report_setup.h"
#include "grids/windows/my_grid.h"
#include "grids/windows/popup_box.h"
#include "logbook/bands_modes.h"
#include "platform/shipped_defaults.h"
#include "pdf_pages.h"

#include <QAction>
#include <QMenu>
#include <filesystem>

using namespace korval;
using namespace korval::test;

class FilterWindowTest : public ExchangeTest {
protected:
    void SetUp() override
    {
        ExchangeTest::SetUp();
        Config.SetUserLevel(3);
        TFilterRecord adif = AdifFilter();
        adif.Description = "ADIF";
        TFilterRecord fixed;
        fixed.Id = "DXB";
        fixed.Usage = fuImport;
        SaveFilterFile(FilterFileName(), {adif, fixed});
    }
};

TEST_F(FilterWindowTest, ListsFiltersAndDeletingAllIsSaved)
{
    {
        TPickIEFilter w;
        ASSERT_EQ(w.Filters().Count(), 2);
        std::string cell;
        w.DG->OnGetCell(w.DG, 1, 1, cell);
        EXPECT_EQ(cell, "I/E");
        EXPECT_FALSE(w.Import1->isEnabled());  // no log open
        w.SetCurrentIndex(0);
        w.DeleteFilter();
        w.DeleteFilter();
        EXPECT_EQ(w.Filters().Count(), 0);
        EXPECT_FALSE(w.Edit2->isEnabled());
        w.accept();
    }
    EXPECT_TRUE(std::filesystem::exists(FilterFileName()));
    EXPECT_TRUE(LoadFilterFile(FilterFileName()).empty());
}

TEST_F(FilterWindowTest, MenuStateFollowsLogUserLevelAndUsage)
{
    auto log = std::make_unique<TQsoData>();
    auto* q = new TQsoRecord;
    q->Call = "K1AB";
    log->InsertQso(q);
    SetCurrentLog(std::move(log));
    TPickIEFilter w;
    w.SetCurrentIndex(w.Filters().IndexOf("ADIF"));
    EXPECT_TRUE(w.Export1->isEnabled());
    EXPECT_TRUE(w.Import1->isEnabled());
    w.SetCurrentIndex(w.Filters().IndexOf("DXB"));
    EXPECT_FALSE(w.Export1->isEnabled());  // an import-only filter
    Config.SetUserLevel(1);
    w.UpdateMenus();
    EXPECT_FALSE(w.FilterMenu->isEnabled());
    FreeCurrentLog();
}

TEST_F(FilterWindowTest, CopyNewAndEditRefusingATakenId)
{
    TPickIEFilter w;
    w.SetCurrentIndex(w.Filters().IndexOf("ADIF"));
    w.CopyFilter();
    EXPECT_GE(w.Filters().IndexOf("ADIF&"), 0);
    w.NewFilter();
    w.NewFilter();
    EXPECT_EQ(w.Filters().Count(), 4);
    w.SetCurrentIndex(w.Filters().IndexOf("DXB"));
    bool saved = true;
    w.RunEditor = [&](TIEDialog2& d) {
        d.F_IE_id->SetAsString("ADIF");
        d.SaveChangesAndExit();
        saved = d.result() == QDialog::Accepted;
        return saved;
    };
    w.EditFilter();
    EXPECT_FALSE(saved);
    ASSERT_FALSE(messages.texts().empty());
    EXPECT_EQ(messages.texts().back(), "A filter with the ID ADIF exists already");
    w.RunEditor = [&](TIEDialog2& d) {
        d.F_IE_id->SetAsString("DXBASE");
        d.F_IE_description->SetAsString("DXbase text");
        d.SaveChangesAndExit();
        return d.result() == QDialog::Accepted;
    };
    w.EditFilter();
    int i = w.Filters().IndexOf("DXBASE");
    ASSERT_GE(i, 0);
    EXPECT_EQ(w.Filters().At(i).Description, "DXbase text");
    EXPECT_EQ(w.Filters().At(i).DateChar, '/');
    EXPECT_EQ(w.Filters().IndexOf("DXB"), -1);
}

TEST_F(FilterWindowTest, EditorFieldFormatsLengthsAndAllocation)
{
    TFilterRecord r;
    r.Id = "X";
    TIEDialog2 d(r, nullptr, -1);
    d.ShowField(fiBand);
    d.F_FldPos->SetAsString("10");
    d.F_FldTyp->SetSelection(bfFreqMHz + 1);
    d.FormatChanged();
    EXPECT_TRUE(d.F_FldLen->isEnabled());
    d.F_FldTyp->SetSelection(bfKeyM + 1);
    d.FormatChanged();
    EXPECT_FALSE(d.F_FldLen->isEnabled());
    EXPECT_EQ(d.Record().Field(fiBand).Len, 4);
    EXPECT_EQ(d.Record().Field(fiBand).Pos, 10);
    d.ShowField(fiQslDate);
    EXPECT_EQ(d.F_FldTyp->GetItems().Count(), 18);

    TFilterRecord two;
    two.Field(fiCallsign) = {1, 0, 12};
    two.Field(fiGrid) = {10, 0, 6};
    std::vector<std::string> lines = AllocationLines(two);
    EXPECT_EQ(lines[0], "  1 Callsign");
    EXPECT_EQ(lines[10], " 11 Callsign Also Grid");
    EXPECT_EQ(lines[14], " 15 Grid");
    EXPECT_EQ(lines[15], " 16 ");
}

TEST_F(FilterWindowTest, PrintFilterPrintsTheSettingsAndFieldsAsAListing)
{
    TFilterRecord r;
    r.Id = "X";
    r.Description = "Contest export";
    r.Field(fiCallsign) = {1, 0, 12};
    TIEDialog2 d(r, nullptr, -1);
    ScopedPdfPrinter printer;
    TempDir dir;
    const std::string pdf = dir.file("filter.pdf");
    const TReportSetupAnswer previous = SetReportSetupAnswer(AnswerToFile(pdf));
    d.PrintFilter();
    SetReportSetupAnswer(previous);
    const std::string text = PdfText(pdf);
    for (const char* s : {"I/E Filter for Contest export", "Fieldname", "Value", "Length", "Description", "Callsign"})
        EXPECT_NE(text.find(s), std::string::npos) << s;
}

TEST_F(FilterWindowTest, AskDupesImportOffersThreePolicies)
{
    TAskDupesImport d;
    EXPECT_EQ(d.windowTitle(), "Options for duplicate QSOs");
    EXPECT_EQ(d.RG->GetItems().Count(), 3);
    EXPECT_EQ(d.RG->GetSelection(), 1);
    TQsoRecord q;
    q.Call = "DL1X";
    q.Country = 1;
    q.Zone = 14;
    TConfirmPZC c(q, 6, 15);
    EXPECT_EQ(c.F_PDX->GetAsString(), "DL");
    EXPECT_EQ(c.F_PImp->GetAsString(), "OE");
    EXPECT_EQ(c.F_ZImp->GetAsString(), "15");
}

// A fresh install: the shipped defaults copied into an empty home, the built-in configuration
// (user level 1, no filter menu). The shipped "ADIF" filter imports and exports through the
// filter list window, and a record without band and mode gets valid defaults, exported as such.
TEST_F(ExchangeTest, FreshHomeImportsAndExportsAdifThroughTheShippedFilter)
{
    Config = TConfigRecord();
    CopyShippedDefaults(std::string(KORVAL_SOURCE_DIR) + "/data", dir.path());
    WriteAll(dir.file("in.adi"), "<eoh><call:4>K1AB<qso_date:8>20240102<time_on:4>1200<eor>"
                                 "<call:4>W1AW<qso_date:8>20240102<time_on:4>1300<band:3>60m<mode:3>FT8<eor>");
    SetCurrentLog(std::make_unique<TQsoData>());
    SetExchangeFileChooser([&](bool save, const std::string& filter, const std::string& ext) {
        EXPECT_EQ(filter, "ADIF|*.ADI");
        EXPECT_EQ(ext, "ADI");
        return dir.file(save ? "out.adi" : "in.adi");
    });
    {
        TPickIEFilter w;
        ASSERT_GE(w.Filters().IndexOf("ADIF"), 0);
        w.SetCurrentIndex(w.Filters().IndexOf("ADIF"));
        EXPECT_FALSE(w.FilterMenu->isEnabled());
        ASSERT_TRUE(w.Import1->isEnabled());
        w.Import();
        ASSERT_EQ(CurrentLog()->Count(), 2);
        EXPECT_EQ(CurrentLog()->At(0)->Band, 5);
        EXPECT_EQ(CurrentLog()->At(0)->Mode, mdSSB);
        EXPECT_EQ(CurrentLog()->At(1)->Band, 0);  // 60 m: no band of the table
        ASSERT_TRUE(w.Export1->isEnabled());
        w.Export();
    }
    const std::string out = ReadAll(dir.file("out.adi"));
    EXPECT_NE(out.find("<mode:3>SSB <band:3>20m"), std::string::npos) << out;
    EXPECT_NE(out.find("<mode:3>FT8 <band:3>60m"), std::string::npos) << out;
    EXPECT_EQ(out.find("<mode:0>"), std::string::npos);
    EXPECT_EQ(out.find("<band:0>"), std::string::npos);
    EXPECT_EQ(out.find("xxx"), std::string::npos);
    SetExchangeFileChooser({});
    FreeCurrentLog();
}
