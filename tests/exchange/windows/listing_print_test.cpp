// The listing printer to PDF files read back: the title, date and page number over the column
// headings on every page, the footer, every row in its column; a cancelled setup prints nothing;
// the report window's Print item.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QTest>
#include <QTimer>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>

#include <filesystem>
#include <regex>

#include "exchange/listing_print.h"
#include "exchange/windows/report_setup.h"
#include "reporting/report_system.h"
#include "reporting/windows/report_forms.h"
#include "pdf_pages.h"
#include "test_support.h"

using namespace korval;
using namespace korval::test;

namespace {

// A choice of the setup that sends the run to a PDF file.
TReportSetupAnswer ToFile(const std::string& file, int* asked = nullptr, bool* labelDefaults = nullptr)
{
    return [=](bool labels, TSetupChoice& c) {
        if (asked)
            ++*asked;
        if (labelDefaults)
            *labelDefaults = labels;
        c.Destination = rdFile;
        c.FileName = file;
        return true;
    };
}

std::vector<std::string> Pages(const std::string& text)
{
    std::vector<std::string> pages;
    std::size_t start = 0;
    for (std::size_t ff = text.find('\f'); ff != std::string::npos; ff = text.find('\f', start)) {
        pages.push_back(text.substr(start, ff - start));
        start = ff + 1;
    }
    if (start < text.size() && text.find_first_not_of(" \n", start) != std::string::npos)
        pages.push_back(text.substr(start));
    return pages;
}

} // namespace

TEST(ListingLines, RowsAreCompletedToOneCellPerColumn)
{
    TFprint f;
    f.SetHeading("T", {"A", "B", "C"}, {5, -5, 5});
    const std::vector<std::string> rows = {"", "x", "x\ty", "x\ty\tz", "a\tb\tc\td"};
    f.Rows = &rows;
    const std::vector<std::string> want = {"\t\t", "x\t\t", "x\ty\t", "x\ty\tz", "a\tb\tc\td"};
    std::string s;
    for (int i = 0; i < f.RowCount(); ++i) {
        f.GetLine(i, s);
        EXPECT_EQ(s, want[static_cast<std::size_t>(i)]) << i;
    }
    f.GetLine(9, s);  // past the end: an empty row
    EXPECT_EQ(s, "\t\t");
    EXPECT_EQ(f.Columns[1].Align, faRight);
}

TEST(ListingLines, LongDateNamesTheMonth)
{
    std::tm tm{};
    tm.tm_year = 2026 - 1900;
    tm.tm_mon = 0;
    tm.tm_mday = 5;
    tm.tm_hour = 12;
    EXPECT_EQ(LongDateText(std::mktime(&tm)), "January 5, 2026");
    tm.tm_mon = 11;
    tm.tm_mday = 31;
    EXPECT_EQ(LongDateText(std::mktime(&tm)), "December 31, 2026");
}

TEST(ListingPrinter, PagesCarryTitleDatePageNumberHeadingsAndFooter)
{
    TempDir dir;
    ScopedPdfPrinter pdfPrinter;
    const std::string pdf = dir.file("listing.pdf");
    int asked = 0;
    bool labelDefaults = true;
    const auto previous = SetReportSetupAnswer(ToFile(pdf, &asked, &labelDefaults));
    TFprint f;
    f.SetHeading("Countries worked", {"Call", "Country", "QSOs"}, {10, 20, -6});
    std::vector<std::string> rows;
    for (int i = 0; i < 130; ++i)
        rows.push_back("K" + std::to_string(i) + "ABC\tCountry " + std::to_string(i) + "\t" + std::to_string(i * 7));
    f.Rows = &rows;
    // With the program's own run forms: the status form shown while printing goes again with
    // the report window's class in the same program.
    const auto forms = SetReportForms(std::make_shared<TQtReportForms>());
    EXPECT_TRUE(PrintReport(f, nullptr, false));
    SetReportForms(forms);
    SetReportSetupAnswer(previous);
    EXPECT_EQ(asked, 1);
    EXPECT_FALSE(labelDefaults);
    ASSERT_TRUE(std::filesystem::exists(pdf));

    const std::vector<std::string> pages = Pages(PdfText(pdf));
    ASSERT_GE(pages.size(), 2u);
    const std::string today = LongDateText(std::time(nullptr));
    for (std::size_t p = 0; p < pages.size(); ++p) {
        const std::string& page = pages[p];
        SCOPED_TRACE("page " + std::to_string(p + 1));
        EXPECT_NE(page.find("Countries worked"), std::string::npos);
        EXPECT_NE(page.find(today), std::string::npos);
        EXPECT_NE(page.find("Page " + std::to_string(p + 1)), std::string::npos);
        EXPECT_TRUE(std::regex_search(page, std::regex("Call +Country +QSOs")));
        EXPECT_NE(page.find("Version 5.02"), std::string::npos);
        // The heading comes before the first row, the footer after the last.
        EXPECT_LT(page.find("QSOs"), page.find("ABC"));
        EXPECT_GT(page.find("Version 5.02"), page.rfind("ABC"));
    }
    // Every row once, its cells in their columns in that order.
    const std::string all = PdfText(pdf);
    for (int i : {0, 1, 64, 129}) {
        const std::regex row("K" + std::to_string(i) + "ABC +Country " + std::to_string(i) + " +" + std::to_string(i * 7) + "\\b");
        EXPECT_TRUE(std::regex_search(all, row)) << i;
    }
    EXPECT_EQ(std::count(all.begin(), all.end(), '\f') >= 2, true);
}

TEST(ListingPrinter, ACancelledSetupPrintsNothing)
{
    TempDir dir;
    ScopedPdfPrinter pdfPrinter;
    const auto previous = SetReportSetupAnswer([](bool, TSetupChoice&) { return false; });
    TFprint f;
    f.SetHeading("T", {"A"}, {5});
    EXPECT_FALSE(PrintReport(f, nullptr, false));
    SetReportSetupAnswer(previous);
    EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
}

TEST(ReportSetupWindow, DefaultsAndVisibleFieldsFollowTheChoices)
{
    ScopedPdfPrinter pdfPrinter;
    TReportSystem report;
    {
        TMyReportSetup w(report, false);
        w.show();
        EXPECT_EQ(w.F_Destination->currentText(), "Printer");
        EXPECT_EQ(w.F_Range->currentText(), "All");
        EXPECT_FALSE(w.F_FileName->isVisible());
        EXPECT_FALSE(w.F_From->isVisible());
        EXPECT_EQ(w.PrinterLabel->text(), "PDF on FILE:");
        w.F_Destination->setCurrentIndex(2);
        EXPECT_TRUE(w.F_FileName->isVisible());
        w.AskFileName = [] { return std::string("/tmp/x.pdf"); };
        QTest::mouseDClick(w.F_FileName, Qt::LeftButton);
        EXPECT_EQ(w.F_FileName->text(), "/tmp/x.pdf");
        const TSetupChoice c = w.Choice();
        EXPECT_EQ(c.Destination, rdFile);
        EXPECT_EQ(c.FileName, "/tmp/x.pdf");
        EXPECT_EQ(c.Range, TSetupChoice::rgAll);
    }
    {
        TMyReportSetup w(report, true);
        w.show();
        EXPECT_EQ(w.F_Destination->currentText(), "Preview");
        EXPECT_EQ(w.F_Range->currentText(), "Range");
        EXPECT_TRUE(w.F_From->isVisible());
        const TSetupChoice c = w.Choice();
        EXPECT_EQ(c.Range, TSetupChoice::rgPages);
        EXPECT_EQ(c.From, "1");
        EXPECT_EQ(c.To, "5");
    }
}
