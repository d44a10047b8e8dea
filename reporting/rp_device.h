#pragma once
// TRPDevice: the engine's one connection to the printers. It lists them, selects one, keeps its
// settings (orientation, copies, paper, bin, duplex, collation), opens an information or device
// context and runs the print job. What the platform offers comes through TPrinterSystem, so the
// same rules run over the real printing system and over a fake in the tests. The process-wide
// instance is ReportDevice().
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "reporting/drawing_context.h"
#include "reporting/report_canvas.h"

namespace korval {

struct TRPDeviceItem {
    std::string Device, Driver, Port;
};

using TNamedCodes = std::vector<std::pair<std::string, int>>;

// The platform's printing as the device uses it.
class TPrinterSystem {
public:
    virtual ~TPrinterSystem() = default;
    // The printers in the form of a "DEVICES" profile section: device name, "driver,port[,port...]".
    virtual std::vector<std::pair<std::string, std::string>> Devices() = 0;
    // The default printer as "device,driver,port"; empty when none is set.
    virtual std::string DefaultDevice() = 0;
    // The printer's own settings; false when it cannot be opened.
    virtual bool DocumentProperties(const TRPDeviceItem& printer, TDevMode& devMode) = 0;
    virtual int MaxCopies(const TRPDeviceItem& printer) = 0;
    virtual TNamedCodes Bins(const TRPDeviceItem& printer) = 0;
    virtual TNamedCodes Papers(const TRPDeviceItem& printer) = 0;
    // Smallest and largest paper in tenths of a millimetre; false when unknown.
    virtual bool PaperExtents(const TRPDeviceItem& printer, TPixelSize& min, TPixelSize& max) = 0;
    // An information context (forOutput false) or a device context; nullptr when it cannot be made.
    virtual std::unique_ptr<TDrawingContext> CreateContext(const TRPDeviceItem& printer,
                                                           const TDevMode& devMode, bool forOutput) = 0;
    // The printer-setup dialog over the current printer; on OK the chosen device, port and settings.
    virtual bool SetupDialog(const TRPDeviceItem& current, TDevMode& devMode, std::string& device,
                             std::string& port) = 0;
};

class TRPDevice;

// The canvas on the device's context: it asks the device for a context whenever it draws.
class TRPCanvas : public TReportCanvas {
public:
    explicit TRPCanvas(TRPDevice& device) : device_(device) {}
    TDrawingContext* Handle() override;

private:
    TRPDevice& device_;
};

enum TDeviceState : std::uint8_t { dsNone, dsIC, dsDC };

class TRPDevice {
public:
    // Without a system no printer is installed.
    explicit TRPDevice(std::unique_ptr<TPrinterSystem> system = nullptr);
    ~TRPDevice();
    TRPDevice(const TRPDevice&) = delete;
    TRPDevice& operator=(const TRPDevice&) = delete;

    // Display texts "device on port", in list order.
    const std::vector<std::string>& GetPrinters();
    const TRPDeviceItem& GetPrinterItem(int index);
    bool HasPrinters() { return !GetPrinters().empty(); }
    // The selected printer's index; the default printer is selected first when none is.
    int GetPrinterIndex();
    // A negative index selects the default printer.
    void SetPrinterIndex(int index);
    bool SelectPrinter(const std::string& name, bool exact);
    const std::string& DeviceName() const { return item_.Device; }
    const std::string& DriverName() const { return item_.Driver; }
    const std::string& PortName() const { return item_.Port; }

    // The context after switching to at least the information state (nullptr without printers).
    TDrawingContext* GetDC();
    TReportCanvas& GetCanvas() { return canvas_; }
    // nullptr when no printer is installed.
    TDevMode* GetDevMode() { return devMode_ ? &*devMode_ : nullptr; }
    // After the caller wrote into GetDevMode().
    void DevModeChanged() { devModeChanged_ = true; }

    TDeviceState DeviceState() const { return state_; }
    void SetDeviceState(TDeviceState state);
    void ApplyDevMode(bool force);
    bool Printing() const { return printing_; }
    bool Aborted() const { return aborted_; }
    bool PageOpen() const { return pageOpen_; }

    const std::string& Title() const { return title_; }
    void SetTitle(const std::string& title) { title_ = title; }
    const std::string& OutputFile() const { return outputFile_; }
    void SetOutputFile(const std::string& name) { outputFile_ = name; }
    void BeginDoc();
    void NewPage(bool startNext);
    void EndDoc();
    void AbortDoc();

    bool PrinterSetupDialog();

    int GetOrientation();
    void SetOrientation(TOrientation orientation);
    int GetMaxCopies();
    void SetCopies(int copies);
    int GetDuplex();
    bool CanDuplex();
    void SetDuplex(int duplex);
    bool GetCollate();
    bool CanCollate();
    void SetCollate(bool collate);
    const TNamedCodes& GetBins();
    bool SelectBin(const std::string& name, bool exact);
    const TNamedCodes& GetPapers();
    bool HasPaper(int code);
    bool SetPaperSize(int paper, int width, int length);
    void GetPaperExtents(TPixelSize& min, TPixelSize& max);
    int GetHorzRes();
    int GetVertRes();

private:
    void loadPrinter(int index);
    void releasePrinter();
    void requirePrinting() const;
    void refuseWhilePrinting() const;
    bool devModeSettable();
    void changed(std::uint32_t field);
    [[noreturn]] void raiseInvalidPrinter();

    std::unique_ptr<TPrinterSystem> system_;
    TRPDeviceItem item_;
    std::unique_ptr<TDrawingContext> context_;
    std::optional<TDevMode> devMode_;
    TDeviceState state_ = dsNone;
    bool printing_ = false;
    bool aborted_ = false;
    bool listBuilt_ = false;
    std::vector<std::string> printers_;
    std::vector<TRPDeviceItem> items_;
    std::optional<TNamedCodes> bins_, papers_;
    int index_ = -2;
    std::string title_;
    std::string outputFile_;
    TRPCanvas canvas_;
    bool devModeChanged_ = false;
    bool pageOpen_ = false;
    bool keepDevMode_ = false;
};

// The process-wide device, made on first use over the installed printer system.
TRPDevice& ReportDevice();
// Installs the platform's printing (the windows do at start-up); the device is made anew.
void SetReportPrinterSystem(std::unique_ptr<TPrinterSystem> system);

// "%0:s", "%1:s", ... of a message replaced by the arguments.
std::string FormatReportText(const std::string& text, const std::vector<std::string>& args);

} // namespace korval
