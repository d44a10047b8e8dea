#pragma once
// Reading printed PDF files back: a page rendered by pdftoppm, the text by pdftotext (both of
// poppler-utils), the number of pages.
#include <QImage>
#include <QProcess>
#include <QString>

#include <string>
#include <utility>

#include "reporting/rp_device.h"
#include "reporting/windows/qt_printer_system.h"

namespace korval::test {

inline QImage RenderPdfPage(const std::string& pdf, const std::string& dir, int page, int dpi = 100)
{
    const QString prefix = QString::fromStdString(dir + "/page" + std::to_string(page));
    QProcess::execute("pdftoppm", {"-r", QString::number(dpi), "-png", "-singlefile", "-f", QString::number(page),
                                   "-l", QString::number(page), QString::fromStdString(pdf), prefix});
    return QImage(prefix + ".png");
}

inline std::string PdfText(const std::string& pdf, const char* layout = "-layout")
{
    QProcess p;
    p.start("pdftotext", {layout, QString::fromStdString(pdf), "-"});
    p.waitForFinished(30000);
    // A font with ligatures prints "fi" and its kin as one glyph, which comes back as one letter.
    QString text = QString::fromUtf8(p.readAllStandardOutput());
    const std::pair<char16_t, const char*> ligatures[] = {
        {u'\uFB00', "ff"}, {u'\uFB01', "fi"}, {u'\uFB02', "fl"}, {u'\uFB03', "ffi"}, {u'\uFB04', "ffl"}};
    for (const auto& [glyph, letters] : ligatures)
        text.replace(QChar(glyph), QLatin1String(letters));
    return text.toStdString();
}

// The program's report device printing through Qt onto the PDF printer, Letter paper, for the
// life of the object.
class ScopedPdfPrinter {
public:
    ScopedPdfPrinter()
    {
        SetReportPrinterSystem(std::make_unique<TQtPrinterSystem>());
        ReportDevice().SelectPrinter(std::string(kPdfPrinter) + " on " + kPdfPort, true);
        ReportDevice().SetPaperSize(1, 0, 0);
    }
    ~ScopedPdfPrinter() { SetReportPrinterSystem(nullptr); }
};

} // namespace korval::test
