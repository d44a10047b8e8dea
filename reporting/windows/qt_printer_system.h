#pragma once
// The printers of the print system (CUPS) through Qt PrintSupport, and a PDF printer that
// writes its pages into a file, behind the report engine's printer system.
#include <QPrinter>
#include <QPrinterInfo>
#include <map>
#include <memory>

#include "reporting/rp_device.h"
#include "reporting/windows/qt_paint_context.h"

namespace korval {

// The PDF printer's names in the printer list.
inline constexpr const char* kPdfPrinter = "PDF";
inline constexpr const char* kPdfDriver = "Qt PDF";
inline constexpr const char* kPdfPort = "FILE:";

// Paper codes of the printer settings and the page sizes they stand for.
int PaperCodeOf(QPageSize::PageSizeId id);
QPageSize::PageSizeId PageSizeOfCode(int code);

// Reads the printer's settings into a devMode, and sets a printer from one.
void ReadDevMode(const QPrinter& printer, TDevMode& devMode);
void ApplyDevMode(QPrinter& printer, const TDevMode& devMode);

// The context of a print job on a QPrinter: painting begins with the first page, so a job of
// skipped pages prints nothing.
class TQtPrinterContext : public TQtPaintContext {
public:
    explicit TQtPrinterContext(std::unique_ptr<QPrinter> printer, bool pdf);
    ~TQtPrinterContext() override;

    int GetDeviceCaps(TDeviceCap cap) const override;
    TStartDoc StartDoc(const std::string& title, const std::string& outputFile,
                       std::function<bool()> abortProc) override;
    bool StartPage() override;
    void EndPage() override;
    void EndDoc() override;
    void AbortDoc() override;
    void ResetDC(const TDevMode& devMode) override;

    QPrinter& Printer() { return *printer_; }

private:
    std::unique_ptr<QPrinter> printer_;
    bool pdf_;
    bool pageStarted_ = false;
    std::function<bool()> abortProc_;
};

class TQtPrinterSystem : public TPrinterSystem {
public:
    std::vector<std::pair<std::string, std::string>> Devices() override;
    std::string DefaultDevice() override;
    bool DocumentProperties(const TRPDeviceItem& printer, TDevMode& devMode) override;
    int MaxCopies(const TRPDeviceItem& printer) override;
    TNamedCodes Bins(const TRPDeviceItem& printer) override;
    TNamedCodes Papers(const TRPDeviceItem& printer) override;
    bool PaperExtents(const TRPDeviceItem& printer, TPixelSize& min, TPixelSize& max) override;
    std::unique_ptr<TDrawingContext> CreateContext(const TRPDeviceItem& printer, const TDevMode& devMode,
                                                   bool forOutput) override;
    bool SetupDialog(const TRPDeviceItem& current, TDevMode& devMode, std::string& device,
                     std::string& port) override;

private:
    // A printer set up for the item; nullptr when the print system no longer has it.
    std::unique_ptr<QPrinter> makePrinter(const TRPDeviceItem& item);
    QPrinterInfo info(const TRPDeviceItem& item);

    std::map<std::string, QString> queues_;  // listed name -> the print system's queue name
};

// A context that measures on the screen (the owner form's canvas of a stream written without
// a printer).
std::unique_ptr<TDrawingContext> MakeScreenContext();

// Makes the engine print through Qt: the printer system, message boxes for its errors and the
// event loop for its long work.
void InstallReportPrinting();

} // namespace korval
