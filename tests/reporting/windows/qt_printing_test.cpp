// Printing through Qt: the printer list with its PDF printer, a job written into a PDF file,
// and text measured on the screen and on a page image.
#include <gtest/gtest.h>

#include <QImage>
#include <algorithm>

#include "reporting/report_filer.h"
#include "reporting/windows/qt_printer_system.h"
#include "test_support.h"

using namespace korval;
using namespace korval::test;

TEST(QtPrinting, PdfPrinterComesLastAndIsTheFallbackDefault)
{
    TRPDevice device(std::make_unique<TQtPrinterSystem>());
    const auto& printers = device.GetPrinters();
    ASSERT_FALSE(printers.empty());
    EXPECT_EQ(printers.back(), "PDF on FILE:");
    if (printers.size() == 1) {  // no print queue on this machine
        EXPECT_EQ(device.GetPrinterIndex(), 0);
        EXPECT_EQ(device.DriverName(), "Qt PDF");
    }
    ASSERT_TRUE(device.SelectPrinter("PDF on FILE:", true));
    ASSERT_NE(device.GetDevMode(), nullptr);
    EXPECT_TRUE(device.HasPaper(9));  // A4
    EXPECT_TRUE(device.SetPaperSize(1, 0, 0));
    device.SetOrientation(poLandScape);
    EXPECT_GT(device.GetHorzRes(), device.GetVertRes());
}

TEST(QtPrinting, JobWritesItsPagesIntoAPdfFile)
{
    TempDir dir;
    TRPDevice device(std::make_unique<TQtPrinterSystem>());
    ASSERT_TRUE(device.SelectPrinter("PDF on FILE:", true));
    device.SetPaperSize(1, 0, 0);  // Letter
    device.SetOutputFile(dir.file("log.pdf"));
    device.SetTitle("Log");
    TDrawingContext* ic = device.GetDC();
    ASSERT_NE(ic, nullptr);
    const int dpi = ic->GetDeviceCaps(LOGPIXELSX);
    EXPECT_GE(dpi, 300);
    EXPECT_NEAR(double(ic->GetDeviceCaps(PHYSICALWIDTH)) / dpi, 8.5, 0.01);
    EXPECT_LE(ic->GetDeviceCaps(HORZRES) + ic->GetDeviceCaps(PHYSICALOFFSETX), ic->GetDeviceCaps(PHYSICALWIDTH));

    device.BeginDoc();
    device.NewPage(false);  // a skipped page makes no page
    device.NewPage(true);
    TReportCanvas& canvas = device.GetCanvas();
    canvas.Rectangle(dpi, dpi, 2 * dpi, 2 * dpi);
    TDrawingContext* dc = device.GetDC();
    TLogFont font;
    font.FaceName = "Arial";
    font.Height = -dpi / 6;
    dc->SelectFont(font);
    dc->SetTextAlign(TA_LEFT | TA_BASELINE);
    dc->TextOut(dpi, 3 * dpi, "W1AW 14.070 MHz");
    device.NewPage(true);
    device.EndDoc();
    const std::string pdf = ReadAll(dir.file("log.pdf"));
    ASSERT_GT(pdf.size(), 100u);
    EXPECT_EQ(pdf.substr(0, 5), "%PDF-");
    EXPECT_NE(pdf.find("/Count 2"), std::string::npos);
}

TEST(QtPrinting, ScreenMeasuresForAStreamWithoutPrinter)
{
    TRPDevice none;
    const std::unique_ptr<TDrawingContext> screen = MakeScreenContext();
    TReportCanvas canvas(screen.get());
    TReportFiler filer(none);
    filer.OwnerCanvas = &canvas;
    filer.BeginDoc();
    EXPECT_EQ(filer.DpiX(), screen->GetDeviceCaps(LOGPIXELSX));
    const double narrow = filer.TextWidth("iii"), wide = filer.TextWidth("WWW");
    EXPECT_GT(narrow, 0);
    EXPECT_GT(wide, narrow);
    EXPECT_GT(filer.BaseFont().Ascent, filer.BaseFont().Descent);
    filer.EndDoc();
}

TEST(QtPrinting, PageImageShowsTextAtItsBaselineAndAlignment)
{
    QImage image(400, 200, QImage::Format_RGB32);
    image.fill(Qt::white);
    image.setDotsPerMeterX(3780);
    image.setDotsPerMeterY(3780);
    {
        TQtPaintContext dc(&image);
        TLogFont font;
        font.FaceName = "DejaVu Sans";
        font.Height = -40;
        dc.SelectFont(font);
        dc.SetBkMode(TRANSPARENT);
        dc.SetTextAlign(TA_RIGHT | TA_BASELINE);
        dc.TextOut(390, 100, "Right");
        dc.SelectPen({clBlack, psSolid, 1, pmCopy});
        dc.MoveTo(0, 150);
        dc.LineTo(400, 150);
    }
    auto inkIn = [&](int x1, int y1, int x2, int y2) {
        for (int y = y1; y < y2; ++y)
            for (int x = x1; x < x2; ++x)
                if (qGray(image.pixel(x, y)) < 128)
                    return true;
        return false;
    };
    EXPECT_TRUE(inkIn(300, 60, 390, 100));    // the text ends at x 390, above the baseline
    EXPECT_FALSE(inkIn(391, 0, 400, 140));
    EXPECT_FALSE(inkIn(0, 0, 200, 140));      // right-aligned: nothing on the left
    EXPECT_TRUE(inkIn(0, 150, 400, 151));
}
