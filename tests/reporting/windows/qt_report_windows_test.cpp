// Reports printed through Qt: a boxed, shaded tab table in a PDF file checked on its rendered
// pixels and its text, the preview window on a played stream, and the setup form sending a
// report to a PDF file.
#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QProcess>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <filesystem>
#include <sstream>

#include "reporting/report_system.h"
#include "reporting/windows/preview_form.h"
#include "reporting/windows/qt_printer_system.h"
#include "reporting/windows/report_forms.h"
#include "reporting/windows/setup_form.h"
#include "test_support.h"
#include "tests/reporting/recording_device.h"

using namespace korval;
using namespace korval::test;

namespace {

// The first page of a PDF rendered at 100 pixels per inch (pdftoppm of poppler-utils).
QImage renderPdf(const std::string& pdf, const std::string& dir)
{
    const QString prefix = QString::fromStdString(dir + "/page");
    QProcess::execute("pdftoppm", {"-r", "100", "-png", "-singlefile", "-f", "1", "-l", "1",
                                   QString::fromStdString(pdf), prefix});
    return QImage(prefix + ".png");
}

std::string pdfText(const std::string& pdf)
{
    QProcess p;
    p.start("pdftotext", {QString::fromStdString(pdf), "-"});
    p.waitForFinished(30000);
    return p.readAllStandardOutput().toStdString();
}

// A device on Qt's printing with the PDF printer on Letter paper.
std::unique_ptr<TRPDevice> pdfDevice()
{
    auto device = std::make_unique<TRPDevice>(std::make_unique<TQtPrinterSystem>());
    EXPECT_TRUE(device->SelectPrinter("PDF on FILE:", true));
    device->SetPaperSize(1, 0, 0);
    return device;
}

// Two rows of two boxed cells from 1 inch: the first cell 50 % shaded.
void tabTable(TBaseReport& r)
{
    r.SetMarginTop(1.0);
    r.SetTab(1.0, pjLeft, 2.0, 5, BOXLINEALL, 50);
    r.SetTab(3.0, pjLeft, 2.0, 5, BOXLINEALL, 0);
    r.GotoFirstLine();
    for (const char* call : {"W1AW", "K1ABC"}) {
        r.Tab(24, 24, 24, 24);  // 24 pixels at 1200 DPI: 2 pixels at 100
        r.Print(call);
        r.Tab(24, 24, 24, 24);
        r.Print("14.070 MHz");
        r.NewLine();
    }
}

} // namespace

TEST(QtReports, BoxedShadedTableLandsWhereTheGeometrySays)
{
    TempDir dir;
    const std::unique_ptr<TRPDevice> device = pdfDevice();
    TPrinterReport report(*device);
    report.LineHeightMethod = lhmLinesPerInch;  // 6 lines per inch: rows 1/6 inch high
    report.SetOutputFile(dir.file("table.pdf"));
    report.Title = "Table";
    report.OnPrint = [](TBaseReport& r) { tabTable(r); };
    report.Execute();
    const QImage page = renderPdf(dir.file("table.pdf"), dir.path());
    ASSERT_FALSE(page.isNull());
    ASSERT_EQ(page.width(), 850);
    ASSERT_EQ(page.height(), 1100);

    auto dark = [&](int x, int y) { return qGray(page.pixel(x, y)) < 100; };
    // Dark within one pixel of the expected place, in either direction.
    auto lineNear = [&](int x, int y, bool vertical) {
        for (int d = -1; d <= 1; ++d)
            if (vertical ? dark(x + d, y) : dark(x, y + d))
                return true;
        return false;
    };
    // Rows from 1 inch down, 16.67 pixels each; cells at 100, 300 and 500 pixels.
    for (int x : {100, 300, 500})
        for (int y : {108, 125})
            EXPECT_TRUE(lineNear(x, y, true)) << "vertical line at x " << x << ", y " << y;
    for (int y : {100, 117, 133})
        for (int x : {150, 250, 350, 450})
            EXPECT_TRUE(lineNear(x, y, false)) << "horizontal line at y " << y << ", x " << x;
    // Nothing on either side of a line beyond its width.
    EXPECT_FALSE(dark(97, 108));
    EXPECT_FALSE(dark(100, 96));
    // Inside the shaded cell (away from its text): a mid grey; the plain cell stays white.
    const int shaded = qGray(page.pixel(280, 104));
    EXPECT_GT(shaded, 90);
    EXPECT_LT(shaded, 170);
    EXPECT_GT(qGray(page.pixel(480, 104)), 240);
    EXPECT_GT(qGray(page.pixel(600, 108)), 240);

    const std::string text = pdfText(dir.file("table.pdf"));
    for (const char* word : {"W1AW", "K1ABC", "14.070 MHz"})
        EXPECT_NE(text.find(word), std::string::npos) << word;
}

TEST(QtReports, PreviewFormPagesAndZooms)
{
    TFakePrinter printer;
    std::stringstream stream;
    {
        TReportFiler filer(*printer.Device);
        filer.StreamMode = smUser;
        filer.Stream = &stream;
        filer.BeginDoc();
        for (int page = 1; page <= 3; ++page) {
            if (page > 1)
                filer.NewPage();
            filer.SetFont("Arial", 24);
            filer.PrintLeftInch("Page " + std::to_string(page), 1.0);
        }
        filer.EndDoc();
    }
    TReportSystem runner(*printer.Device);
    TRPPreviewForm form(&runner);
    form.FilePreview1.StreamMode = smUser;
    form.FilePreview1.Stream = &stream;
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    EXPECT_EQ(form.PageLabel->text(), "Page 1 of 3");
    EXPECT_EQ(form.ZoomEdit->text(), "100.0");
    const QSize at100 = form.Host().Image().size();
    EXPECT_GT(at100.width(), 800);

    QTest::mouseClick(form.SBNextPage, Qt::LeftButton);
    QTest::mouseClick(form.SBNextPage, Qt::LeftButton);
    QTest::mouseClick(form.SBNextPage, Qt::LeftButton);  // on the last page: stays
    EXPECT_EQ(form.PageLabel->text(), "Page 3 of 3");
    QTest::mouseClick(form.SBPrevPage, Qt::LeftButton);
    EXPECT_EQ(form.PageEdit->text(), "2");

    QTest::mouseClick(form.SBZoomIn, Qt::LeftButton);
    EXPECT_EQ(form.ZoomEdit->text(), "110.0");
    EXPECT_GT(form.Host().Image().width(), at100.width());
    QTest::mouseClick(form.SBZoomPage, Qt::LeftButton);
    EXPECT_LT(form.Host().Image().height(), form.ScrollBox1->height());

    // Text that is no page number changes nothing.
    form.PageEdit->setText("abc");
    emit form.PageEdit->editingFinished();
    EXPECT_EQ(form.PageLabel->text(), "Page 2 of 3");
    form.PageEdit->setText("1");
    emit form.PageEdit->editingFinished();
    EXPECT_EQ(form.PageLabel->text(), "Page 1 of 3");

    // Ink of "Page 1" on the page image.
    const QImage& image = form.Host().Image();
    bool ink = false;
    for (int y = 0; y < image.height() && !ink; ++y)
        for (int x = 0; x < image.width() && !ink; ++x)
            ink = qGray(image.pixel(x, y)) < 80;
    EXPECT_TRUE(ink);
    QTest::mouseClick(form.SBDone, Qt::LeftButton);
    EXPECT_TRUE(form.Done());
}

TEST(QtReports, SetupFormSendsTheReportToAPdfFile)
{
    TempDir dir;
    const std::unique_ptr<TRPDevice> device = pdfDevice();
    const auto previous = SetReportForms(std::make_shared<TQtReportForms>());
    TReportSystem runner(*device);
    runner.DefaultDest = rdPrinter;
    runner.OnPrint = [](TBaseReport& r) { tabTable(r); };
    const std::string pdf = dir.file("setup.pdf");
    bool answered = false;
    QTimer::singleShot(0, [&] {
        auto* form = qobject_cast<TRPSetupForm*>(QApplication::activeModalWidget());
        ASSERT_NE(form, nullptr);
        EXPECT_TRUE(form->DestinationGB->isVisible());
        EXPECT_FALSE(form->RangeGB->isVisible());
        EXPECT_TRUE(form->PrinterRB->isChecked());
        EXPECT_EQ(form->PrinterLabel->text(), "PDF on FILE:");
        QTest::mouseClick(form->FileRB, Qt::LeftButton);
        EXPECT_TRUE(form->FileNameED->isEnabled());
        form->FileNameED->setText(QString::fromStdString(pdf));
        QTest::mouseClick(form->OKBB, Qt::LeftButton);
        answered = true;
    });
    runner.Execute();
    SetReportForms(previous);
    EXPECT_TRUE(answered);
    EXPECT_FALSE(runner.Aborted());
    EXPECT_EQ(runner.Destination(), rdFile);
    ASSERT_TRUE(std::filesystem::exists(pdf));
    EXPECT_NE(pdfText(pdf).find("K1ABC"), std::string::npos);
}
