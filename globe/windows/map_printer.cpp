#include "globe/windows/map_printer.h"

#include <QPainter>
#include <QPrinter>

#include <stdexcept>

#include "platform/message_dlg.h"
#include "reporting/rp_device.h"
#include "reporting/windows/qt_printer_system.h"

namespace korval {

namespace {

bool IsPdf(const TRPDeviceItem& item) { return item.Device == kPdfPrinter && item.Port == kPdfPort; }

} // namespace

void PrintMapOnReportPrinter(const std::function<void(QPainter& painter, const QRect& page, int resolution)>& draw,
                             const std::function<std::string()>& askPdfFile)
{
    TRPDevice& device = ReportDevice();
    const int index = device.HasPrinters() ? device.GetPrinterIndex() : -1;
    if (index < 0) {
        MessageDlg("No printer is installed: the map cannot be printed", TMsgDlgType::mtError, mbOK);
        return;
    }
    const std::string oldOutput = device.OutputFile();
    if (IsPdf(device.GetPrinterItem(index))) {
        bool anyPrinter = false;
        for (int i = 0; i < int(device.GetPrinters().size()); ++i)
            anyPrinter = anyPrinter || !IsPdf(device.GetPrinterItem(i));
        // Chosen in Print Setup it needs no question; as the only entry it is offered.
        if (!anyPrinter && MessageDlg("No printer is installed.\rWrite the map to a PDF file instead?",
                                      TMsgDlgType::mtWarning, mbYes | mbNo) != mrYes)
            return;
        const std::string file = askPdfFile ? askPdfFile() : std::string();
        if (file.empty())
            return;
        device.SetOutputFile(file);
    }
    try {
        device.SetTitle("TGlobe3 Print");
        device.BeginDoc();
        if (device.Printing()) {
            // One page: the map is painted on the job's printer directly.
            auto* context = dynamic_cast<TQtPrinterContext*>(device.GetDC());
            if (!context)
                throw std::runtime_error("The printer cannot draw the map");
            QPrinter& printer = context->Printer();
            QPainter painter;
            if (!painter.begin(&printer))
                throw std::runtime_error("The printer cannot be opened");
            const QRect page = printer.pageLayout().paintRectPixels(printer.resolution());
            draw(painter, QRect(0, 0, page.width(), page.height()), printer.resolution());
            painter.end();
            device.EndDoc();
        }
    } catch (const std::exception& e) {
        if (device.Printing())
            device.AbortDoc();
        MessageDlg(std::string("The map could not be printed:\r") + e.what(), TMsgDlgType::mtError, mbOK);
    }
    device.SetOutputFile(oldOutput);
}

} // namespace korval
