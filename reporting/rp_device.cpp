#include "reporting/rp_device.h"

#include <algorithm>

#include "reporting/report_strings.h"
#include "logbook/base/string_utils.h"

namespace korval {

namespace {

// Splits at commas, dropping the blanks that lead each token.
std::vector<std::string> splitList(const std::string& text)
{
    std::vector<std::string> out;
    size_t start = 0;
    while (true) {
        size_t comma = text.find(',', start);
        const std::string_view token =
            std::string_view(text).substr(start, comma == std::string::npos ? std::string::npos : comma - start);
        out.emplace_back(TrimLeft(token));
        if (comma == std::string::npos)
            return out;
        start = comma + 1;
    }
}

constexpr const char* kNotPrinting = "Invalid method call.  Device is not printing.";
constexpr const char* kAlreadyPrinting = "Invalid method call.  Device already printing.";

} // namespace

std::string FormatReportText(const std::string& text, const std::vector<std::string>& args)
{
    std::string out = text;
    for (size_t i = 0; i < args.size(); ++i) {
        std::string token(1, '%');
        token += std::to_string(i);
        token += ":s";
        for (size_t at = out.find(token); at != std::string::npos; at = out.find(token, at + args[i].size()))
            out.replace(at, token.size(), args[i]);
    }
    return out;
}

TDrawingContext* TRPCanvas::Handle()
{
    return device_.GetDC();
}

TRPDevice::TRPDevice(std::unique_ptr<TPrinterSystem> system) : system_(std::move(system)), canvas_(*this) {}

TRPDevice::~TRPDevice()
{
    context_.reset();
    state_ = dsNone;
}

const std::vector<std::string>& TRPDevice::GetPrinters()
{
    if (listBuilt_ || !system_)
        return printers_;
    listBuilt_ = true;
    for (const auto& [device, value] : system_->Devices()) {
        if (device == "Rendering Subsystem")
            continue;
        const std::vector<std::string> tokens = splitList(value);
        for (size_t i = 1; i < tokens.size(); ++i) {
            items_.push_back({device, tokens[0], tokens[i]});
            printers_.push_back(device + " on " + tokens[i]);
        }
    }
    return printers_;
}

const TRPDeviceItem& TRPDevice::GetPrinterItem(int index)
{
    return items_.at(size_t(index));
}

int TRPDevice::GetPrinterIndex()
{
    if (index_ == -2)
        SetPrinterIndex(-1);
    return index_;
}

void TRPDevice::SetPrinterIndex(int index)
{
    refuseWhilePrinting();
    const int count = int(GetPrinters().size());
    if (index == index_ && index >= 0)
        return;
    if (index >= count)
        return;
    if (index < 0) {
        index = count - 1;
        const std::vector<std::string> def = splitList(system_ ? system_->DefaultDevice() : std::string());
        if (def.size() >= 3 && !def[0].empty()) {
            for (int i = 0; i < count; ++i)
                if (items_[size_t(i)].Device == def[0] && items_[size_t(i)].Port == def[2]) {
                    index = i;
                    break;
                }
        }
        if (index == index_ && index >= 0)
            return;
    }
    if (index >= 0)
        loadPrinter(index);
}

void TRPDevice::releasePrinter()
{
    SetDeviceState(dsNone);
    if (!keepDevMode_) {
        devMode_.reset();
        devModeChanged_ = false;
    }
    bins_.reset();
    papers_.reset();
    item_ = {};
    index_ = -2;
}

void TRPDevice::loadPrinter(int index)
{
    releasePrinter();
    item_ = items_[size_t(index)];
    index_ = index;
    if (!keepDevMode_) {
        TDevMode devMode;
        if (system_->DocumentProperties(item_, devMode)) {
            devMode_ = devMode;
            devModeChanged_ = false;
        } else {
            releasePrinter();
        }
    }
    keepDevMode_ = false;
}

bool TRPDevice::SelectPrinter(const std::string& name, bool exact)
{
    refuseWhilePrinting();
    const std::string wanted = exact ? name : UpperCase(name);
    const bool withPort = name.find(" on ") != std::string::npos;
    for (size_t i = 0; i < GetPrinters().size(); ++i) {
        const TRPDeviceItem& item = items_[i];
        const std::string joined = item.Device + " on " + item.Port;
        const bool match = exact ? (withPort ? joined == name : item.Device == name)
                                 : UpperCase(joined).find(wanted) != std::string::npos;
        if (match) {
            SetPrinterIndex(int(i));
            return true;
        }
    }
    return false;
}

TDrawingContext* TRPDevice::GetDC()
{
    if (state_ == dsNone)
        SetDeviceState(dsIC);
    return context_.get();
}

void TRPDevice::raiseInvalidPrinter()
{
    RaiseReportError(FormatReportText(ReportText("Invalid Printer - %0:s on %1:s (%2:s)"),
                                      {item_.Device, item_.Port, item_.Driver}));
}

void TRPDevice::SetDeviceState(TDeviceState state)
{
    if (state == dsIC && state_ == dsDC)
        return;
    if (state == state_)
        return;
    context_.reset();
    state_ = dsNone;
    if (state != dsNone && HasPrinters()) {
        GetPrinterIndex();
        if (index_ < 0)
            return;
        context_ = system_->CreateContext(item_, devMode_ ? *devMode_ : TDevMode{}, state == dsDC);
        if (!context_)
            raiseInvalidPrinter();
    }
    state_ = state;
}

void TRPDevice::ApplyDevMode(bool force)
{
    if (!(force || (state_ == dsIC && devModeChanged_)))
        return;
    devModeChanged_ = false;
    if (context_ && devMode_)
        context_->ResetDC(*devMode_);
}

void TRPDevice::requirePrinting() const
{
    if (!printing_)
        RaiseReportText(kNotPrinting);
}

void TRPDevice::refuseWhilePrinting() const
{
    if (printing_)
        RaiseReportText(kAlreadyPrinting);
}

void TRPDevice::BeginDoc()
{
    refuseWhilePrinting();
    ApplyDevMode(false);
    SetDeviceState(dsDC);
    if (!context_)
        raiseInvalidPrinter();
    if (devModeChanged_)
        ApplyDevMode(true);
    printing_ = true;
    aborted_ = false;
    pageOpen_ = false;
    const TStartDoc started = context_->StartDoc(title_, outputFile_, [this] {
        ProcessReportMessages();
        return !aborted_;
    });
    if (started == TStartDoc::Started)
        return;
    // The job never started: nothing is open on the device, and the caller is told.
    printing_ = false;
    SetDeviceState(dsNone);
    if (started == TStartDoc::Failed)
        raiseInvalidPrinter();
    aborted_ = true;
}

void TRPDevice::NewPage(bool startNext)
{
    requirePrinting();
    if (pageOpen_)
        context_->EndPage();
    if (devModeChanged_)
        ApplyDevMode(true);
    pageOpen_ = false;
    if (startNext) {
        if (!context_->StartPage()) {
            AbortDoc();
            raiseInvalidPrinter();
        }
        pageOpen_ = true;
    }
}

void TRPDevice::EndDoc()
{
    requirePrinting();
    if (pageOpen_)
        context_->EndPage();
    pageOpen_ = false;
    if (!aborted_)
        context_->EndDoc();
    printing_ = false;
    SetDeviceState(dsNone);
    aborted_ = false;
}

void TRPDevice::AbortDoc()
{
    requirePrinting();
    context_->AbortDoc();
    aborted_ = true;
    pageOpen_ = false;
    EndDoc();
}

bool TRPDevice::PrinterSetupDialog()
{
    if (!HasPrinters())
        return false;
    SetDeviceState(dsIC);
    GetPrinterIndex();
    TDevMode devMode = devMode_ ? *devMode_ : TDevMode{};
    std::string device, port;
    bool ok = false;
    if (system_->SetupDialog(item_, devMode, device, port)) {
        devMode_ = devMode;
        keepDevMode_ = true;
        SelectPrinter(device + " on " + port, true);
        // The settings belong to the printer chosen with them, not to one selected later.
        keepDevMode_ = false;
        ok = true;
    }
    devModeChanged_ = true;
    return ok;
}

bool TRPDevice::devModeSettable()
{
    GetPrinterIndex();
    return devMode_.has_value();
}

void TRPDevice::changed(std::uint32_t field)
{
    devMode_->dmFields |= field;
    devModeChanged_ = true;
}

int TRPDevice::GetOrientation()
{
    return devModeSettable() ? devMode_->dmOrientation - 1 : 0;
}

void TRPDevice::SetOrientation(TOrientation orientation)
{
    if (!devModeSettable() || orientation == poDefault || devMode_->dmOrientation == orientation + 1)
        return;
    devMode_->dmOrientation = std::int16_t(orientation + 1);
    changed(DM_ORIENTATION);
}

int TRPDevice::GetMaxCopies()
{
    if (!HasPrinters() || GetPrinterIndex() < 0)
        return 1;
    return system_->MaxCopies(item_);
}

void TRPDevice::SetCopies(int copies)
{
    refuseWhilePrinting();
    if (!devModeSettable() || copies <= 0 || copies >= GetMaxCopies() || devMode_->dmCopies == copies)
        return;
    devMode_->dmCopies = std::int16_t(copies);
    changed(DM_COPIES);
}

int TRPDevice::GetDuplex()
{
    if (!devModeSettable())
        return 0;
    const int d = devMode_->dmDuplex;
    return d >= 1 && d <= 3 ? d - 1 : 0;
}

bool TRPDevice::CanDuplex()
{
    return devModeSettable() && (devMode_->dmFields & DM_DUPLEX);
}

void TRPDevice::SetDuplex(int duplex)
{
    refuseWhilePrinting();
    if (!CanDuplex() || GetDuplex() == duplex)
        return;
    devMode_->dmDuplex = std::int16_t(duplex + 1);
    changed(DM_DUPLEX);
}

bool TRPDevice::GetCollate()
{
    return devModeSettable() && devMode_->dmCollate == 1;
}

bool TRPDevice::CanCollate()
{
    return devModeSettable() && (devMode_->dmFields & DM_COLLATE);
}

void TRPDevice::SetCollate(bool collate)
{
    refuseWhilePrinting();
    if (!CanCollate() || GetCollate() == collate)
        return;
    devMode_->dmCollate = collate ? 1 : 0;
    changed(DM_COLLATE);
}

const TNamedCodes& TRPDevice::GetBins()
{
    if (!bins_) {
        bins_.emplace();
        if (HasPrinters() && GetPrinterIndex() >= 0)
            *bins_ = system_->Bins(item_);
    }
    return *bins_;
}

bool TRPDevice::SelectBin(const std::string& name, bool exact)
{
    if (!devModeSettable())
        return false;
    const std::string wanted = UpperCase(name);
    for (const auto& [binName, code] : GetBins()) {
        if (exact ? binName == name : UpperCase(binName).find(wanted) != std::string::npos) {
            if (devMode_->dmDefaultSource != code) {
                devMode_->dmDefaultSource = std::int16_t(code);
                changed(DM_DEFAULTSOURCE);
            }
            return true;
        }
    }
    return false;
}

const TNamedCodes& TRPDevice::GetPapers()
{
    if (!papers_) {
        papers_.emplace();
        if (HasPrinters() && GetPrinterIndex() >= 0)
            *papers_ = system_->Papers(item_);
    }
    return *papers_;
}

bool TRPDevice::HasPaper(int code)
{
    if (!devModeSettable() || !(devMode_->dmFields & DM_PAPERSIZE))
        return false;
    const TNamedCodes& papers = GetPapers();
    return std::any_of(papers.begin(), papers.end(), [code](const auto& p) { return p.second == code; });
}

void TRPDevice::GetPaperExtents(TPixelSize& min, TPixelSize& max)
{
    if (!HasPrinters() || GetPrinterIndex() < 0 || !system_->PaperExtents(item_, min, max)) {
        min = {1, 1};
        max = {32767, 32767};
    }
    if (min.cy == 0)
        min.cy = min.cx;
    if (max.cy == 0)
        max.cy = max.cx;
}

bool TRPDevice::SetPaperSize(int paper, int width, int length)
{
    refuseWhilePrinting();
    if (!devModeSettable())
        return false;
    TDevMode& dm = *devMode_;
    if (width == 0 || length == 0) {
        if (!HasPaper(paper) || (dm.dmPaperSize == paper && dm.dmPaperWidth == 0 && dm.dmPaperLength == 0))
            return false;
        dm.dmPaperSize = std::int16_t(paper);
        dm.dmPaperWidth = 0;
        dm.dmPaperLength = 0;
    } else {
        if (!HasPaper(DMPAPER_USER))
            return false;
        if (dm.dmPaperSize == DMPAPER_USER && dm.dmPaperWidth == width && dm.dmPaperLength == length)
            return false;
        TPixelSize min, max;
        GetPaperExtents(min, max);
        if (width < min.cx || width > max.cx || length < min.cy || length > max.cy)
            return false;
        dm.dmPaperSize = DMPAPER_USER;
        dm.dmPaperWidth = std::int16_t(width);
        dm.dmPaperLength = std::int16_t(length);
    }
    changed(DM_PAPERSIZE | DM_PAPERLENGTH | DM_PAPERWIDTH);
    return true;
}

int TRPDevice::GetHorzRes()
{
    TDrawingContext* dc = GetDC();
    ApplyDevMode(false);
    return dc ? dc->GetDeviceCaps(HORZRES) : 0;
}

int TRPDevice::GetVertRes()
{
    TDrawingContext* dc = GetDC();
    ApplyDevMode(false);
    return dc ? dc->GetDeviceCaps(VERTRES) : 0;
}

namespace {

std::unique_ptr<TPrinterSystem>& pendingSystem()
{
    static std::unique_ptr<TPrinterSystem> system;
    return system;
}

std::unique_ptr<TRPDevice>& theDevice()
{
    static std::unique_ptr<TRPDevice> device;
    return device;
}

} // namespace

TRPDevice& ReportDevice()
{
    if (!theDevice())
        theDevice() = std::make_unique<TRPDevice>(std::move(pendingSystem()));
    return *theDevice();
}

void SetReportPrinterSystem(std::unique_ptr<TPrinterSystem> system)
{
    theDevice().reset();
    pendingSystem() = std::move(system);
}

} // namespace korval
