// The log list's Print: its report's columns with the title, date, page numbers and footer, one
// row per QSO of the view in its order, to a PDF file read back.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>

#include <filesystem>
#include <regex>

#include "exchange/listing_print.h"
#include "exchange/windows/report_setup.h"
#include "logbook/report_definitions.h"
#include "logbook/sort_orders.h"
#include "logbook/windows/logbook.h"
#include "logbook/windows/qso_form_fixture.h"
#include "pdf_pages.h"
#include "test_support.h"

using namespace korval;
using namespace korval::test;

namespace {

class LogListPrintTest : public QsoFormTest {
protected:
    void SetUp() override
    {
        QsoFormTest::SetUp();
        auto defs = std::make_unique<TReportDefinitions>();
        defs->SetItem(0, TReportDefinition{"Station log", soCallsign, 20, {rpfNumber, rpfCallsign, rpfDate, rpfBand, rpfMode}});
        SetReportDefinitions(std::move(defs));
        InstallLogListPrinting();
    }
    void TearDown() override
    {
        TLogbook::PrintCommand = nullptr;
        SetReportDefinitions(nullptr);
        QsoFormTest::TearDown();
    }
};

} // namespace

TEST_F(LogListPrintTest, PrintsTheColumnsOfItsReportOnNumberedPages)
{
    for (int i = 0; i < 79; ++i)
        AddQso(("K" + std::to_string(i) + "ZZ").c_str(), Day(2020, 1, 1 + i % 28));
    Reopen();
    TempDir dir;
    ScopedPdfPrinter pdfPrinter;
    auto* list = new TLogbook(form_.get());
    ASSERT_TRUE(list->Print1->isEnabled());
    ASSERT_EQ(list->View().Count(), 80);
    const std::string pdf = dir.file("log.pdf");
    const auto previous = SetReportSetupAnswer(AnswerToFile(pdf));
    list->Print1->trigger();
    SetReportSetupAnswer(previous);

    const std::string text = PdfText(pdf);
    const std::size_t pages = static_cast<std::size_t>(std::count(text.begin(), text.end(), '\f'));
    ASSERT_GE(pages, 2u);
    for (std::size_t p = 1; p <= pages; ++p)
        EXPECT_NE(text.find("Page " + std::to_string(p)), std::string::npos) << p;
    EXPECT_NE(text.find("Station log"), std::string::npos);
    EXPECT_NE(text.find(LongDateText(std::time(nullptr))), std::string::npos);
    EXPECT_NE(text.find(ListingFooterText()), std::string::npos);
    EXPECT_TRUE(std::regex_search(text, std::regex("Number +Callsign +Date +Band +Mode")));
    // Rows in the view's order (by call), numbered, with their cells in the report's columns.
    std::string cell;
    const std::size_t first = text.find("K0ZZ"), second = text.find("K10ZZ"), last = text.find("W6XYZ");
    EXPECT_LT(first, second);
    EXPECT_LT(second, last);
    EXPECT_NE(last, std::string::npos);
    EXPECT_TRUE(std::regex_search(text, std::regex("\\b1 +K0ZZ +\\S+ +20m +CW")));
    list->close();
    QApplication::processEvents();
}
