#include "reporting/windows/qt_printer_system.h"

#include <QApplication>
#include <QFileDialog>
#include <QGuiApplication>
#include <QImage>
#include <QPageLayout>
#include <QScreen>
#include <QWidget>
#include <algorithm>

#include "platform/message_dlg.h"
#include "platform/windows/win1252.h"
#include "reporting/windows/print_setup_dialog.h"
#include "reporting/windows/report_forms.h"

namespace korval {

namespace {

struct TPaperCode {
    int code;
    QPageSize::PageSizeId id;
};
// The paper codes of the printer settings for the common sizes.
constexpr TPaperCode kPapers[] = {
    {1, QPageSize::Letter},      {3, QPageSize::Tabloid},    {4, QPageSize::Ledger},
    {5, QPageSize::Legal},       {7, QPageSize::Executive},  {8, QPageSize::A3},
    {9, QPageSize::A4},          {11, QPageSize::A5},        {12, QPageSize::B4},
    {13, QPageSize::B5},         {20, QPageSize::Comm10E},   {27, QPageSize::DLE},
    {28, QPageSize::C5E},        {37, QPageSize::EnvelopeMonarch},
    {70, QPageSize::A6},
};
// Sizes without a standard code get one above the user-defined code.
constexpr int kOtherPapers = DMPAPER_USER + 1;

int tenthsOfMm(double mm)
{
    return int(std::lround(mm * 10));
}

} // namespace

int PaperCodeOf(QPageSize::PageSizeId id)
{
    for (const TPaperCode& p : kPapers)
        if (p.id == id)
            return p.code;
    return id == QPageSize::Custom ? DMPAPER_USER : kOtherPapers + int(id);
}

QPageSize::PageSizeId PageSizeOfCode(int code)
{
    for (const TPaperCode& p : kPapers)
        if (p.code == code)
            return p.id;
    if (code > kOtherPapers && code - kOtherPapers <= int(QPageSize::LastPageSize))
        return QPageSize::PageSizeId(code - kOtherPapers);
    return QPageSize::Custom;
}

void ReadDevMode(const QPrinter& printer, TDevMode& devMode)
{
    const QPageLayout layout = printer.pageLayout();
    devMode.dmFields = DM_ORIENTATION | DM_PAPERSIZE | DM_PAPERLENGTH | DM_PAPERWIDTH | DM_COPIES |
                       DM_DEFAULTSOURCE | DM_COLLATE;
    devMode.dmOrientation = layout.orientation() == QPageLayout::Landscape ? 2 : 1;
    devMode.dmPaperSize = std::int16_t(PaperCodeOf(layout.pageSize().id()));
    const QSizeF mm = layout.pageSize().size(QPageSize::Millimeter);
    devMode.dmPaperWidth = std::int16_t(tenthsOfMm(mm.width()));
    devMode.dmPaperLength = std::int16_t(tenthsOfMm(mm.height()));
    devMode.dmCopies = std::int16_t(std::max(1, printer.copyCount()));
    devMode.dmDefaultSource = 7;  // automatic
    devMode.dmCollate = printer.collateCopies() ? 1 : 0;
    switch (printer.duplex()) {
    case QPrinter::DuplexLongSide: devMode.dmDuplex = 2; break;
    case QPrinter::DuplexShortSide: devMode.dmDuplex = 3; break;
    default: devMode.dmDuplex = 1; break;
    }
    const QPrinterInfo info(printer);
    if (!info.isNull() && info.supportedDuplexModes().size() > 1)
        devMode.dmFields |= DM_DUPLEX;
}

void ApplyDevMode(QPrinter& printer, const TDevMode& devMode)
{
    if (devMode.dmFields & DM_PAPERSIZE) {
        QPageSize size(PageSizeOfCode(devMode.dmPaperSize));
        if (devMode.dmPaperSize == DMPAPER_USER && devMode.dmPaperWidth > 0 && devMode.dmPaperLength > 0)
            size = QPageSize(QSizeF(devMode.dmPaperWidth / 10.0, devMode.dmPaperLength / 10.0), QPageSize::Millimeter);
        if (size.isValid())
            printer.setPageSize(size);
    }
    if (devMode.dmFields & DM_ORIENTATION)
        printer.setPageOrientation(devMode.dmOrientation == 2 ? QPageLayout::Landscape : QPageLayout::Portrait);
    if (devMode.dmFields & DM_COPIES)
        printer.setCopyCount(std::max<int>(1, devMode.dmCopies));
    if (devMode.dmFields & DM_COLLATE)
        printer.setCollateCopies(devMode.dmCollate == 1);
    if (devMode.dmFields & DM_DUPLEX)
        printer.setDuplex(devMode.dmDuplex == 2   ? QPrinter::DuplexLongSide
                          : devMode.dmDuplex == 3 ? QPrinter::DuplexShortSide
                                                  : QPrinter::DuplexNone);
}

// ---- the printer's context

TQtPrinterContext::TQtPrinterContext(std::unique_ptr<QPrinter> printer, bool pdf)
    : TQtPaintContext(printer.get()), printer_(std::move(printer)), pdf_(pdf)
{
}

TQtPrinterContext::~TQtPrinterContext()
{
    EndPainting();
}

int TQtPrinterContext::GetDeviceCaps(TDeviceCap cap) const
{
    const QRect paper = printer_->paperRect(QPrinter::DevicePixel).toRect();
    const QRect page = printer_->pageRect(QPrinter::DevicePixel).toRect();
    switch (cap) {
    case LOGPIXELSX:
    case LOGPIXELSY: return printer_->resolution();
    case HORZRES: return page.width();
    case VERTRES: return page.height();
    case PHYSICALWIDTH: return paper.width();
    case PHYSICALHEIGHT: return paper.height();
    case PHYSICALOFFSETX: return page.left() - paper.left();
    case PHYSICALOFFSETY: return page.top() - paper.top();
    case NUMCOLORS: return printer_->colorMode() == QPrinter::GrayScale ? 2 : -1;
    }
    return 0;
}

TStartDoc TQtPrinterContext::StartDoc(const std::string& title, const std::string& outputFile,
                                      std::function<bool()> abortProc)
{
    printer_->setDocName(FromWin1252(title));
    QString file = FromWin1252(outputFile);
    if (file.isEmpty() && pdf_) {
        // The file port asks where the pages go.
        if (!qobject_cast<QApplication*>(QCoreApplication::instance()))
            return TStartDoc::Failed;
        file = QFileDialog::getSaveFileName(QApplication::activeWindow(), QString(), FromWin1252(title) + ".pdf",
                                            "PDF (*.pdf)");
        if (file.isEmpty())
            return TStartDoc::Cancelled;
    }
    if (!file.isEmpty())
        printer_->setOutputFileName(file);
    abortProc_ = std::move(abortProc);
    pageStarted_ = false;
    return TStartDoc::Started;
}

bool TQtPrinterContext::StartPage()
{
    if (abortProc_ && !abortProc_())
        return false;
    if (!pageStarted_) {
        pageStarted_ = true;
        return BeginPainting();
    }
    return printer_->newPage();
}

void TQtPrinterContext::EndPage() {}

void TQtPrinterContext::EndDoc()
{
    EndPainting();
}

void TQtPrinterContext::AbortDoc()
{
    if (Painter().isActive())
        printer_->abort();
    EndPainting();
}

void TQtPrinterContext::ResetDC(const TDevMode& devMode)
{
    korval::ApplyDevMode(*printer_, devMode);
}

// ---- the printer system

std::vector<std::pair<std::string, std::string>> TQtPrinterSystem::Devices()
{
    std::vector<std::pair<std::string, std::string>> out;
    queues_.clear();
    for (const QPrinterInfo& info : QPrinterInfo::availablePrinters()) {
        std::string name = ToWin1252(info.printerName());
        std::replace(name.begin(), name.end(), ',', ' ');  // commas separate the entry's fields
        std::string driver = ToWin1252(info.makeAndModel());
        std::replace(driver.begin(), driver.end(), ',', ' ');
        queues_[name] = info.printerName();
        out.emplace_back(name, (driver.empty() ? std::string("CUPS") : driver) + ",CUPS");
    }
    out.emplace_back(kPdfPrinter, std::string(kPdfDriver) + "," + kPdfPort);
    return out;
}

std::string TQtPrinterSystem::DefaultDevice()
{
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (info.isNull())
        return {};
    for (const auto& [name, queue] : queues_)
        if (queue == info.printerName())
            return name + ",," + "CUPS";
    return {};
}

QPrinterInfo TQtPrinterSystem::info(const TRPDeviceItem& item)
{
    const auto it = queues_.find(item.Device);
    return it == queues_.end() ? QPrinterInfo() : QPrinterInfo::printerInfo(it->second);
}

std::unique_ptr<QPrinter> TQtPrinterSystem::makePrinter(const TRPDeviceItem& item)
{
    if (item.Device == kPdfPrinter && item.Port == kPdfPort) {
        auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
        printer->setOutputFormat(QPrinter::PdfFormat);
        return printer;
    }
    const QPrinterInfo printerInfo = info(item);
    if (printerInfo.isNull())
        return nullptr;
    return std::make_unique<QPrinter>(printerInfo, QPrinter::HighResolution);
}

bool TQtPrinterSystem::DocumentProperties(const TRPDeviceItem& item, TDevMode& devMode)
{
    const std::unique_ptr<QPrinter> printer = makePrinter(item);
    if (!printer)
        return false;
    ReadDevMode(*printer, devMode);
    return true;
}

int TQtPrinterSystem::MaxCopies(const TRPDeviceItem& item)
{
    const std::unique_ptr<QPrinter> printer = makePrinter(item);
    return printer && printer->supportsMultipleCopies() ? 999 : 1;
}

TNamedCodes TQtPrinterSystem::Bins(const TRPDeviceItem&)
{
    return {{"Automatically Select", 7}};
}

TNamedCodes TQtPrinterSystem::Papers(const TRPDeviceItem& item)
{
    TNamedCodes papers;
    QList<QPageSize> sizes;
    bool custom = false;
    if (item.Device == kPdfPrinter) {
        for (int id = 0; id <= int(QPageSize::LastPageSize); ++id)
            sizes << QPageSize(QPageSize::PageSizeId(id));
        custom = true;
    } else {
        const QPrinterInfo printerInfo = info(item);
        sizes = printerInfo.supportedPageSizes();
        custom = printerInfo.supportsCustomPageSizes();
    }
    for (const QPageSize& size : sizes)
        if (size.id() != QPageSize::Custom)
            papers.emplace_back(ToWin1252(size.name()), PaperCodeOf(size.id()));
    if (custom)
        papers.emplace_back("User defined", DMPAPER_USER);
    return papers;
}

bool TQtPrinterSystem::PaperExtents(const TRPDeviceItem& item, TPixelSize& min, TPixelSize& max)
{
    if (item.Device == kPdfPrinter)
        return false;
    const QPrinterInfo printerInfo = info(item);
    if (printerInfo.isNull())
        return false;
    const QSizeF lo = printerInfo.minimumPhysicalPageSize().size(QPageSize::Millimeter);
    const QSizeF hi = printerInfo.maximumPhysicalPageSize().size(QPageSize::Millimeter);
    if (hi.isEmpty())
        return false;
    min = {tenthsOfMm(lo.width()), tenthsOfMm(lo.height())};
    max = {tenthsOfMm(hi.width()), tenthsOfMm(hi.height())};
    return true;
}

std::unique_ptr<TDrawingContext> TQtPrinterSystem::CreateContext(const TRPDeviceItem& item, const TDevMode& devMode,
                                                                 bool)
{
    std::unique_ptr<QPrinter> printer = makePrinter(item);
    if (!printer || !printer->isValid())
        return nullptr;
    korval::ApplyDevMode(*printer, devMode);
    return std::make_unique<TQtPrinterContext>(std::move(printer), item.Device == kPdfPrinter);
}

bool TQtPrinterSystem::SetupDialog(const TRPDeviceItem& current, TDevMode& devMode, std::string& device,
                                   std::string& port)
{
    // The printers as the report engine lists them ("<printer> on <port>"), the PDF printer
    // among them: the dialog of the print system knows only its own queues.
    std::vector<TRPDeviceItem> items;
    TPrintSetupPrinters printers;
    for (const auto& [name, value] : Devices()) {
        const std::size_t comma = value.find(',');
        const std::string driver = value.substr(0, comma);
        const std::string ports = comma == std::string::npos ? std::string() : value.substr(comma + 1);
        items.push_back({name, driver, ports});
        printers.Names.push_back(name + " on " + ports);
    }
    int currentIndex = 0;
    for (std::size_t i = 0; i < items.size(); ++i)
        if (items[i].Device == current.Device && items[i].Port == current.Port)
            currentIndex = static_cast<int>(i);
    printers.Papers = [this, &items](int i) { return Papers(items.at(static_cast<std::size_t>(i))); };
    printers.MaxCopies = [this, &items](int i) { return MaxCopies(items.at(static_cast<std::size_t>(i))); };
    printers.CanDuplex = [this, &items](int i) {
        const QPrinterInfo printerInfo = info(items.at(static_cast<std::size_t>(i)));
        return !printerInfo.isNull() && printerInfo.supportedDuplexModes().size() > 1;
    };
    printers.Settings = [this, &items](int i, TDevMode& mode) {
        return DocumentProperties(items.at(static_cast<std::size_t>(i)), mode);
    };
    TPrintSetupDialog dialog(std::move(printers), currentIndex, devMode, QApplication::activeWindow());
    // Centred across the screen, a third of the free height from the top.
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        const QSize size = dialog.sizeHint();
        dialog.move(area.left() + (area.width() - size.width()) / 2,
                    area.top() + (area.height() - size.height()) / 3);
    }
    if (dialog.exec() != QDialog::Accepted || items.empty())
        return false;
    const TRPDeviceItem& chosen = items.at(static_cast<std::size_t>(dialog.Printer()));
    devMode = dialog.Settings();
    device = chosen.Device;
    port = chosen.Port;
    return true;
}

// ---- the screen and the engine's hooks

namespace {

// Measures on an image at the screen's resolution.
class TQtScreenContext : public TQtPaintContext {
public:
    explicit TQtScreenContext(std::unique_ptr<QImage> image) : TQtPaintContext(image.get()), image_(std::move(image)) {}

private:
    std::unique_ptr<QImage> image_;
};

} // namespace

std::unique_ptr<TDrawingContext> MakeScreenContext()
{
    auto image = std::make_unique<QImage>(1, 1, QImage::Format_RGB32);
    double dpi = 96;
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        dpi = screen->logicalDotsPerInch();
    const int dotsPerMeter = int(std::lround(dpi / 0.0254));
    image->setDotsPerMeterX(dotsPerMeter);
    image->setDotsPerMeterY(dotsPerMeter);
    return std::make_unique<TQtScreenContext>(std::move(image));
}

void InstallReportPrinting()
{
    SetReportPrinterSystem(std::make_unique<TQtPrinterSystem>());
    // The device's printers go while the application still exists.
    qAddPostRoutine([] {
        SetReportPrinterSystem(nullptr);
        SetReportForms(nullptr);
    });
    SetReportForms(std::make_shared<TQtReportForms>());
    SetReportMessageHandler([](const std::string& text) { MessageDlg(text, TMsgDlgType::mtError, mbOK); });
    SetProcessMessagesHook([] { QCoreApplication::processEvents(); });
}

} // namespace korval
