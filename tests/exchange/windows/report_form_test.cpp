// The report window offscreen: every report of the Reports menu opened from its entry point on a
// sample log, double-clicks browsing the QSOs behind a cell through the QSO window's search, the
// report file read back by a CSV reader, and the two choice dialogs.
#include <QAction>
#include <QApplication>
#include <QTest>

#include "exchange/small_report.h"
#include "exchange/windows/get_cust_awd_form.h"
#include "exchange/windows/get_report_mode.h"
#include "exchange/windows/report_form.h"
#include "exchange/windows/report_setup.h"
#include "pdf_pages.h"
#include "grids/windows/my_grid.h"
#include "grids/windows/ovc_check_list.h"
#include "grids/windows/popup_box.h"
#include "logbook/base/string_utils.h"
#include "logbook/custom_award.h"
#include "logbook/qso_entry.h"
#include "logbook/windows/qso_form.h"
#include "report_fixture.h"
#include "test_support.h"

using namespace korval;
using namespace korval::test;

namespace {

class TScriptedReportQuestions : public TReportQuestions {
public:
    int mode = 0, band = 0, award = 0;
    bool answer = true;
    int asked = 0;
    bool AskModeBand(QWidget*, int& m, int& b) override
    {
        ++asked;
        m = mode;
        b = band;
        return answer;
    }
    bool AskCustomAward(QWidget*, int& index) override
    {
        ++asked;
        index = award;
        return answer;
    }
};

// A minimal RFC 4180 reader: quoted fields with doubled quotes, CR LF between records.
std::vector<std::vector<std::string>> ReadCsv(const std::string& text)
{
    std::vector<std::vector<std::string>> rows(1, std::vector<std::string>(1));
    bool quoted = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        std::string& field = rows.back().back();
        if (quoted) {
            if (c == '"' && i + 1 < text.size() && text[i + 1] == '"')
                field += text[++i];
            else if (c == '"')
                quoted = false;
            else
                field += c;
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            rows.back().emplace_back();
        } else if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            ++i;
            rows.emplace_back(1);
        } else {
            field += c;
        }
    }
    rows.pop_back();  // after the last line end
    return rows;
}

std::vector<std::string> Fields(const std::string& tabLine)
{
    std::vector<std::string> f;
    std::size_t start = 0;
    for (;;) {
        const std::size_t tab = tabLine.find('\t', start);
        f.push_back(tabLine.substr(start, tab == std::string::npos ? std::string::npos : tab - start));
        if (tab == std::string::npos)
            return f;
        start = tab + 1;
    }
}

} // namespace

class ReportFormTest : public ReportTest {
protected:
    void SetUp() override
    {
        ReportTest::SetUp();
        Config.SetWarnUnsavedQso(false);
        Config.SetCallSearchMethod(2);
        Config.SetDateSearchMethod(1);
        Config.SetContestStartDate(Day(2020, 1, 1));
        dl1 = Add({"DL1AA", Day(2020, 1, 1), 3600, 5, mdCW, true});
        dl2 = Add({"DL2BB", Day(2020, 1, 2), 3600, 3, mdSSB});
        dl3 = Add({"DL3CC", Day(2020, 1, 3), 3600, 5, mdCW, true});
        f5 = Add({"F5XX", Day(2020, 1, 3), 7200, 5, mdSSB}, [](TQsoRecord& q) { q.QslSentDate = Day(2020, 2, 1); });
        g3 = Add({"G3AAA", Day(2020, 1, 4), 0, 5, mdCW, true}, [](TQsoRecord& q) {
            q.Iota = "EU005";
            q.CustAwdId = "TST";
            q.CustAwdVal = "A";
        });
        Add({"W6ABC", Day(2020, 1, 5), 0, 5, mdCW, true}, [](TQsoRecord& q) {
            q.State = StateNumber("CA");
            q.County = 37;
            q.Grid = "CM87";
        });
        auto awards = TCustAwardList::LoadFromText("[TST]\nawdname=Test, \"quoted\" award\nA=Alpha, \"the first\"\n", "T");
        SetCustAwardList(std::move(awards));
        previous_ = SetReportQuestions(&questions);
        form = std::make_unique<TQSOForm>(log.get());
        form->show();
        QApplication::processEvents();
    }
    void TearDown() override
    {
        form.reset();
        SetReportQuestions(previous_);
        SetCustAwardList(std::make_unique<TCustAwardList>());
        ReportTest::TearDown();
    }
    // The QSOs the QSO window's search now browses.
    std::vector<std::string> Browsed()
    {
        std::vector<std::string> calls;
        if (form->EntryMode() != emBrowse)
            return calls;
        for (const TQsoRecord* q : log->Qsos())
            if (form->Entry().MatchesSearch(*q))
                calls.push_back(q->Call.str());
        return calls;
    }
    // Column of a title in the report's heading.
    static int Column(TReportForm* w, const std::string& title)
    {
        for (int i = 0; i < w->Report().Heading.ColumnCount(); ++i)
            if (w->Report().Heading.Columns[static_cast<std::size_t>(i)].Title == title)
                return i;
        return -1;
    }
    static int Row(TReportForm* w, const std::string& key, int field = 0)
    {
        for (int r = 1; r <= w->Report().RowCount(); ++r)
            if (w->Report().Cell(field, r) == key)
                return r;
        return -1;
    }

    TScriptedReportQuestions questions;
    std::unique_ptr<TQSOForm> form;
    TQsoRecord *dl1 = nullptr, *dl2 = nullptr, *dl3 = nullptr, *f5 = nullptr, *g3 = nullptr;

private:
    TReportQuestions* previous_ = nullptr;
};

struct MenuEntry {
    const char* name;
    int argument;
};

TEST_F(ReportFormTest, EveryMenuEntryOpensItsReportShowingTheComputedLines)
{
    const MenuEntry entries[] = {
        {"TCountryListing", 0}, {"TCountryListing", 1}, {"TCountryNeededListing", 0}, {"TCountrySummaryReport", 0},
        {"TCountrySummaryReport", 1}, {"TDXCCReport", 0}, {"TDXCCReport", 1}, {"TStateListing", 0},
        {"TStateSummaryReport", 0}, {"TWASReport", 0}, {"TWASReport", 1}, {"TZoneListing", 0},
        {"TZoneSummaryReport", 0}, {"TWAZReport", 0}, {"TWAZReport", 1}, {"TWPXListing", 0},
        {"TWPXSummaryReport", 1}, {"TWPXSummaryReport", 0}, {"TWPXSubmission", 0}, {"TRateReport", 0},
    };
    std::vector<MenuEntry> all(std::begin(entries), std::end(entries));
    for (const char* small : {"TIOTAReport", "TCountyReport", "TVUCCReport", "TCustomReport"})
        for (int kind = 0; kind <= 7; ++kind)
            all.push_back({small, kind});
    for (const MenuEntry& e : all) {
        SCOPED_TRACE(std::string(e.name) + " " + std::to_string(e.argument));
        TReportClass cls;
        ASSERT_TRUE(ReportClassOfName(e.name, cls));
        const int asked = questions.asked;
        TReportForm* w = OpenReport(cls, e.argument, form.get());
        ASSERT_NE(w, nullptr);
        EXPECT_EQ(questions.asked - asked, ReportAsksModeBand(cls) || cls == TReportClass::CustomReport ? 1 : 0);
        EXPECT_TRUE(w->isVisible());
        EXPECT_EQ(w->parentWidget(), form.get());
        EXPECT_EQ(w->windowTitle().toStdString(), w->Report().Heading.Title);
        EXPECT_FALSE(w->windowTitle().isEmpty());
        ASSERT_EQ(w->DG->RowCount, std::max(1, w->Report().RowCount() + 1));
        EXPECT_EQ(w->DG->ColCount, w->Report().Heading.ColumnCount());
        for (int r = 1; r <= w->Report().RowCount(); ++r) {
            const std::vector<std::string> want = Fields(w->Report().Lines[static_cast<std::size_t>(r - 1)]);
            for (int c = 0; c < static_cast<int>(want.size()); ++c) {
                std::string cell;
                w->DG->OnGetCell(w->DG, c, r, cell);
                ASSERT_EQ(cell, want[static_cast<std::size_t>(c)]) << "row " << r << " col " << c;
            }
        }
        EXPECT_TRUE(w->Print1->isEnabled());
        EXPECT_TRUE(w->WritetoFile1->isEnabled());
        EXPECT_EQ(w->DG->RowSelect, cls >= TReportClass::IOTAReport && cls <= TReportClass::CustomReport);
        w->close();
        QApplication::processEvents();
    }
}

TEST_F(ReportFormTest, PrintSendsTheShownLinesThroughTheListingPrinter)
{
    TempDir dir;
    ScopedPdfPrinter pdfPrinter;
    TReportForm* w = OpenReport(TReportClass::CountryListing, 0, form.get());
    ASSERT_NE(w, nullptr);
    ASSERT_GT(w->Report().RowCount(), 0);
    const std::string pdf = dir.file("listing.pdf");
    int asked = 0;
    const auto previous = SetReportSetupAnswer(AnswerToFile(pdf, &asked));
    w->Print1->trigger();
    SetReportSetupAnswer(previous);
    EXPECT_EQ(asked, 1);
    const std::string text = PdfText(pdf, "-raw");
    EXPECT_NE(text.find(w->Report().Heading.Title.substr(0, 20)), std::string::npos);
    EXPECT_NE(text.find(w->Report().Heading.Columns[0].Title), std::string::npos);
    EXPECT_NE(text.find(w->Report().Cell(0, 1)), std::string::npos);
    w->close();
    QApplication::processEvents();
}

TEST_F(ReportFormTest, ListingShowsTheStatusOfEachCellAndCancelOpensNothing)
{
    TReportForm* w = OpenReport(TReportClass::CountryListing, 0, form.get());
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->windowTitle(), "Countries listing (ALL modes, ALL bands)");
    EXPECT_EQ(w->DG->toolTip(), "Double-click to find QSOs (popup)");
    const int dl = Row(w, "DL");
    std::string cell;
    w->DG->OnGetCell(w->DG, Column(w, "20"), dl, cell);
    EXPECT_EQ(cell, "C");
    w->DG->OnGetCell(w->DG, Column(w, "40"), dl, cell);
    EXPECT_EQ(cell, "W");
    w->close();
    questions.answer = false;
    EXPECT_EQ(OpenReport(TReportClass::ZoneListing, 0, form.get()), nullptr);
}

TEST_F(ReportFormTest, DoubleClickOnAStatusCellBrowsesExactlyTheQsosBehindIt)
{
    TReportForm* w = OpenReport(TReportClass::CountryListing, 0, form.get());
    ASSERT_NE(w, nullptr);
    const int dl = Row(w, "DL");
    struct {
        const char* column;
        int row;
        std::vector<std::string> calls;
    } cases[] = {
        {"20", dl, {"DL1AA", "DL3CC"}},
        {"40", dl, {"DL2BB"}},
        {"MIX", dl, {"DL1AA", "DL3CC"}},
        {"PHO", dl, {"DL2BB"}},
        {"CW", dl, {"DL1AA", "DL3CC"}},
        {"20", Row(w, "F"), {"F5XX"}},
    };
    for (const auto& c : cases) {
        w->DGDblClick(Column(w, c.column), c.row);
        EXPECT_EQ(Browsed(), c.calls) << c.column << " row " << c.row;
        EXPECT_EQ(form->Entry().ViewAt(form->Entry().CurrentIndex())->Call.str(), c.calls.front());
    }
    EXPECT_TRUE(messages.texts().empty());

    w->DGDblClick(Column(w, "RTTY"), dl);
    w->DGDblClick(Column(w, "Country"), dl);
    EXPECT_EQ(messages.texts(), (std::vector<std::string>{"Cannot select a QSO that never occured",
                                                          "Please select a mode or a band"}));
    w->close();
}

TEST_F(ReportFormTest, ASubmittedCellBrowsesTheQsosCarryingItsBit)
{
    dl3->AwardFlags = afDxccBand;
    TReportForm* w = OpenReport(TReportClass::CountryListing, 0, form.get());
    ASSERT_NE(w, nullptr);
    std::string cell;
    w->DG->OnGetCell(w->DG, Column(w, "20"), Row(w, "DL"), cell);
    EXPECT_EQ(cell, "S");
    w->DGDblClick(Column(w, "20"), Row(w, "DL"));
    EXPECT_EQ(Browsed(), std::vector<std::string>{"DL3CC"});
    w->close();
}

TEST_F(ReportFormTest, MouseDoubleClickOnAnEntityLineBrowsesItsQso)
{
    TReportForm* w = OpenReport(TReportClass::IOTAReport, srListing, form.get());
    ASSERT_NE(w, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(w));
    EXPECT_EQ(w->DG->toolTip(), "(popup)");
    const QPoint at(w->DG->ColLeft(1) + 3, w->DG->RowTop(1) + 3);
    QTest::mouseDClick(w->DG->viewport(), Qt::LeftButton, Qt::NoModifier, at);
    EXPECT_EQ(Browsed(), std::vector<std::string>{"G3AAA"});
    w->close();

    TReportForm* summary = OpenReport(TReportClass::IOTAReport, srBandSummary, form.get());
    summary->DGDblClick(1, 1);
    EXPECT_EQ(messages.texts(), std::vector<std::string>{"Cannot select QSO(s) from this report"});
    summary->close();
}

TEST_F(ReportFormTest, TheReportFileReadsBackFieldForField)
{
    TReportForm* w = OpenReport(TReportClass::CustomReport, srFullListing, form.get());
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->windowTitle(), "Test, \"quoted\" award Full listing");
    TempDir dir;
    const std::string name = dir.path() + "/out/custom.csv";
    ASSERT_TRUE(w->WriteToFile(name));
    const auto rows = ReadCsv(ReadAll(name));
    ASSERT_EQ(rows.size(), w->Report().Lines.size() + 1);
    EXPECT_EQ(rows[0], Fields(w->Report().Heading.HeadingLine()));
    for (std::size_t i = 0; i < w->Report().Lines.size(); ++i)
        EXPECT_EQ(rows[i + 1], Fields(w->Report().Lines[i]));
    EXPECT_EQ(rows[1][2], "Alpha, \"the first\"");
    w->close();
}

TEST_F(ReportFormTest, ANarrowReportShrinksItsWindowToTheGrid)
{
    TReportForm* narrow = OpenReport(TReportClass::ZoneSummaryReport, 0, form.get());
    ASSERT_NE(narrow, nullptr);
    EXPECT_EQ(narrow->width(), narrow->DG->GridWith() + 30);
    TReportForm* wide = OpenReport(TReportClass::CountryListing, 0, form.get());
    EXPECT_EQ(wide->width(), 640) << "a wider grid keeps the window's size";
    narrow->close();
    wide->close();
}

TEST(ReportChoiceDialogs, ChoosingABandPutsTheModeBackToAllAndTheOtherWayRound)
{
    TGetReportMode d;
    EXPECT_EQ(d.CL_station_bands->Items()[5], "  20m");
    EXPECT_EQ(d.CL_station_modes->GetStates(0), cbChecked);
    d.Choose(d.CL_station_modes, 2);
    EXPECT_EQ(d.ModeGroup(), 2);
    d.Choose(d.CL_station_bands, 5);
    EXPECT_EQ(d.Band(), 5);
    EXPECT_EQ(d.ModeGroup(), 0);
    EXPECT_EQ(d.CL_station_modes->GetStates(0), cbChecked);
    EXPECT_EQ(d.CL_station_modes->GetStates(2), cbUnchecked);
    d.Choose(d.CL_station_modes, 1);
    EXPECT_EQ(d.Band(), 0);
    EXPECT_EQ(d.CL_station_bands->GetStates(5), cbUnchecked);
    d.CL_station_modes->SetStates(1, cbUnchecked);
    EXPECT_EQ(d.CL_station_modes->GetStates(1), cbChecked) << "one item stays checked";
    EXPECT_EQ(d.ModeGroup(), 1);
}

TEST(ReportChoiceDialogs, AwardsAreListedByNameAndAnswerWithTheirIndex)
{
    auto list = TCustAwardList::LoadFromText("[AAA]\nawdname=Zulu award\n[BBB]\nawdname=Alpha award\n", "T");
    TGetCustAwdForm d(*list);
    ASSERT_EQ(d.CBAwds->GetItems().Count(), 2);
    EXPECT_EQ(d.CBAwds->GetItems()[0], "Alpha award");
    EXPECT_EQ(d.AwardIndex(), 1);
    d.CBAwds->SetSelection(2);
    EXPECT_EQ(d.AwardIndex(), 0);
}
