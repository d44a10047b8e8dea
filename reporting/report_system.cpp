#include "reporting/report_system.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <stdexcept>

#include "reporting/report_strings.h"
#include "logbook/base/string_utils.h"

namespace korval {

namespace {

std::shared_ptr<TReportForms>& installedForms()
{
    static std::shared_ptr<TReportForms> forms;
    return forms;
}

// A whole decimal number, or the conversion error of the number parser.
int parseNumber(const std::string& text)
{
    const std::string t(Trim(text, kBlankAndControls));
    int value = 0;
    auto [ptr, ec] = std::from_chars(t.data(), t.data() + t.size(), value);
    if (t.empty() || ec != std::errc() || ptr != t.data() + t.size())
        throw std::invalid_argument("'" + text + "' is not a valid integer value");
    return value;
}

} // namespace

std::shared_ptr<TReportForms> SetReportForms(std::shared_ptr<TReportForms> forms)
{
    std::swap(installedForms(), forms);
    return forms;
}

// ---- settings

void TSystemPrinter::SetTabShade(int shade)
{
    tabShade_ = std::clamp(shade, 0, 100);
}

void TSystemPrinter::AssignTo(TBaseReport& report) const
{
    report.FirstPage = FirstPage;
    report.LastPage = LastPage;
    report.LineHeightMethod = LineHeightMethod;
    report.SetLinesPerInch(LinesPerInch);
    report.SetUnitsFactor(units_.Factor);
    report.SetUnits(units_.Units);
    report.SetMarginLeft(MarginLeft);
    report.SetMarginRight(MarginRight);
    report.SetMarginTop(MarginTop);
    report.SetMarginBottom(MarginBottom);
    report.SetOrientation(Orientation);
    report.SetScaleX(ScaleX);
    report.SetScaleY(ScaleY);
    report.StatusFormat = ReportText(StatusFormat);
    report.StatusText = StatusText;
    report.SetTabShade(tabShade_);
    report.SetTextBKMode(TextBKMode);
    report.Title = Title;
    if (!report.Printing())
        report.SetCopies(Copies);
    if (report.Device().HasPrinters()) {
        report.SetCollate(Collate);
        if (Duplex >= 0)
            report.SetDuplex(Duplex);
    }
}

void TSystemPreview::SetZoomFactor(double zoom)
{
    zoomFactor_ = std::clamp(zoom, 10.0, 200.0);
}

void TSystemPreview::SetMonochrome(bool on)
{
    if (on && shadowDepth_ > 0) {
        ShowReportError(ReportText("Monochrome not allowed while shadows are in effect.\rChange ShadowDepth to 0 first"));
        return;
    }
    monochrome_ = on;
}

void TSystemPreview::SetShadowDepth(int depth)
{
    if (depth > 0 && monochrome_) {
        ShowReportError(ReportText("Shadows not allowed while monochrome in effect.\rChange Monochrome to false first"));
        return;
    }
    shadowDepth_ = std::max(0, depth);
}

void TSystemPreview::AssignTo(TFilePreview& preview) const
{
    preview.GridHoriz = GridHoriz;
    preview.GridVert = GridVert;
    preview.GridPen = GridPen;
    preview.MarginMethod = MarginMethod;
    preview.MarginPercent = MarginPercent;
    preview.SetShadowDepth(0);
    preview.SetMonochrome(monochrome_);
    preview.SetShadowDepth(shadowDepth_);
    preview.PageInc = PageInc;
    preview.RulerType = RulerType;
    preview.ZoomInc = ZoomInc;
    preview.SetZoomFactor(zoomFactor_);
}

// ---- the runner

TReportSystem::TReportSystem(TRPDevice& device) : device_(device) {}

TReportSystem::~TReportSystem() = default;

void TReportSystem::SetupHandler(TReportSystem& system, TOverrideMode mode, std::unique_ptr<TReportStepForm>& form)
{
    if (const auto forms = installedForms())
        forms->Setup(system, mode, form);
}

void TReportSystem::StatusHandler(TReportSystem& system, TOverrideMode mode, std::unique_ptr<TReportStepForm>& form)
{
    if (!Has(soShowStatus))
        return;
    if (const auto forms = installedForms())
        forms->Status(system, mode, form);
}

void TReportSystem::PreviewHandler(TReportSystem& system, TOverrideMode mode, std::unique_ptr<TReportStepForm>& form)
{
    if (const auto forms = installedForms())
        forms->Preview(system, mode, form);
    else if (mode == omShow)
        ReportTrace("a report preview was asked for, but no preview window is installed");
}

void TReportSystem::status(TOverrideMode mode)
{
    if (OverrideStatus)
        OverrideStatus(*this, mode, statusForm_);
    else
        StatusHandler(*this, mode, statusForm_);
    if (mode == omFree)
        statusForm_.reset();
}

void TReportSystem::assignEvents(TBaseReport& report) const
{
    CopyPageEvents(*this, report);
    report.OnEndOfSection = OnEndOfSection;
    report.OnDecodeImage = OnDecodeImage;
}

void TReportSystem::AssignStream(TFilePrinter& player)
{
    player.FileName = SystemFiler.FileName;
    if (SystemFiler.StreamMode == smMemory && SystemFiler.Stream) {
        player.StreamMode = smUser;
        player.Stream = SystemFiler.Stream;
    } else {
        player.StreamMode = SystemFiler.StreamMode == smMemory ? smFile : SystemFiler.StreamMode;
        player.Stream = SystemFiler.Stream;
    }
    player.OnDecodeImage = OnDecodeImage;
}

void TReportSystem::Execute()
{
    destination_ = DefaultDest;
    outputFile_.clear();
    aborted_ = false;
    copiesThroughStream_ = false;

    // 1. Setup.
    if (Has(ssAllowSetup)) {
        std::unique_ptr<TReportStepForm> form;
        for (TOverrideMode mode : {omCreate, omShow, omWait, omFree}) {
            if (OverrideSetup)
                OverrideSetup(*this, mode, form);
            else
                SetupHandler(*this, mode, form);
        }
    }
    if (aborted_)
        return;
    if (destination_ != rdPreview && !device_.HasPrinters()) {
        // Nothing is printed; the report is shown instead, so nothing of it is lost.
        ShowReportError(ReportText(kNoPrinters));
        destination_ = rdPreview;
    }

    // 2., 3. Copies the printer cannot make go through a stream; so does every preview.
    copiesThroughStream_ = device_.GetMaxCopies() < 2 && SystemPrinter.Copies > 1;
    const bool streamNeeded = destination_ == rdPreview || Has(soUseFiler) || copiesThroughStream_;
    std::iostream* const callerStream = SystemFiler.Stream;
    if (streamNeeded && SystemFiler.StreamMode == smMemory) {
        memory_ = std::make_unique<std::stringstream>(std::ios::in | std::ios::out | std::ios::binary);
        SystemFiler.Stream = memory_.get();
    }
    try {
        // 4. Generate.
        if (streamNeeded && !Has(soNoGenerate))
            generate();
        // 5. Print or preview.
        if (!aborted_) {
            if (destination_ == rdPreview)
                preview();
            else
                print();
        }
    } catch (...) {
        surface_ = nullptr;
        if (statusForm_)
            status(omFree);
        SystemFiler.Stream = callerStream;
        memory_.reset();
        throw;
    }
    // 6. Clean up.
    if (statusForm_)
        status(omFree);
    SystemFiler.Stream = callerStream;
    memory_.reset();
    if (streamNeeded && SystemFiler.StreamMode == smTempFile && !SystemFiler.FileName.empty()) {
        std::remove(SystemFiler.FileName.c_str());
        SystemFiler.FileName.clear();
    }
}

void TReportSystem::generate()
{
    aborted_ = true;
    status(omCreate);
    TReportFiler filer(device_);
    filer.OwnerCanvas = OwnerCanvas;
    assignEvents(filer);
    SystemPrinter.AssignTo(filer);
    filer.AccuracyMethod = SystemFiler.AccuracyMethod;
    filer.FileName = SystemFiler.FileName;
    filer.StatusFormat = ReportText(SystemFiler.StatusFormat);
    filer.StatusText = SystemFiler.StatusText;
    filer.StreamMode = SystemFiler.StreamMode;
    if (SystemFiler.StreamMode == smMemory && SystemFiler.Stream) {
        filer.StreamMode = smUser;
        filer.Stream = SystemFiler.Stream;
    } else if (SystemFiler.StreamMode == smUser) {
        filer.Stream = SystemFiler.Stream;
    }
    if (destination_ == rdFile)
        filer.SetOutputFile(outputFile_);
    surface_ = &filer;
    status(omShow);
    try {
        filer.Execute();
    } catch (...) {
        surface_ = nullptr;
        throw;
    }
    surface_ = nullptr;
    aborted_ = filer.Aborted();
    if (!aborted_)
        SystemFiler.FileName = filer.FileName;
    if (destination_ == rdPreview)
        status(omFree);
}

void TReportSystem::print()
{
    std::unique_ptr<TCanvasReport> surface;
    int passes = 1;
    // A run that must not generate plays its kept stream even when it would print directly.
    if (!Has(soUseFiler) && !copiesThroughStream_ && !Has(soNoGenerate)) {
        status(omCreate);
        auto printer = std::make_unique<TPrinterReport>(device_);
        assignEvents(*printer);
        SystemPrinter.AssignTo(*printer);
        printer->SetOutputFile(destination_ == rdFile ? outputFile_ : std::string());
        surface = std::move(printer);
        surface_ = surface.get();
        status(omShow);
    } else {
        const bool replayOnly = Has(soNoGenerate);
        if (replayOnly)
            status(omCreate);
        auto player = std::make_unique<TFilePrinter>(device_);
        AssignStream(*player);
        player->KeepDeviceSettings = replayOnly;
        player->SetUnits(unInch);
        player->StatusFormat = ReportText(SystemPrinter.StatusFormat);
        player->StatusText = SystemPrinter.StatusText;
        player->SelectionText.clear();
        if (destination_ == rdFile)
            player->SetOutputFile(outputFile_);
        surface = std::move(player);
        surface_ = surface.get();
        if (replayOnly)
            status(omShow);
        if (copiesThroughStream_) {
            passes = SystemPrinter.Copies;
            surface->SetCopies(1);
        }
    }
    try {
        for (int copy = 1; copy <= passes && !surface->Aborted(); ++copy) {
            surface->CurrentCopy = copy;
            surface->TotalCopies = passes;
            surface->Execute();
        }
    } catch (...) {
        surface_ = nullptr;
        throw;
    }
    aborted_ = surface->Aborted();
    if (!aborted_)
        status(omWait);
    status(omFree);
    surface_ = nullptr;
}

void TReportSystem::preview()
{
    std::unique_ptr<TReportStepForm> form;
    for (TOverrideMode mode : {omCreate, omShow, omWait, omFree}) {
        if (mode == omWait && Has(soPreviewModal))
            continue;
        if (OverridePreview)
            OverridePreview(*this, mode, form);
        else
            PreviewHandler(*this, mode, form);
    }
}

void TReportSystem::PrintStream(TFilePrinter& player)
{
    const int copies = player.GetCopies();
    if (device_.GetMaxCopies() < 2 && copies > 1) {
        player.SetCopies(1);
        for (int copy = 1; copy <= copies && !player.Aborted(); ++copy) {
            player.CurrentCopy = copy;
            player.TotalCopies = copies;
            player.Execute();
        }
        player.SetCopies(copies);
    } else {
        player.CurrentCopy = player.TotalCopies = 1;
        player.Execute();
    }
}

void TReportSystem::ApplySetup(const TSetupChoice& choice, TFilePrinter* player)
{
    if (player) {
        player->FirstPage = 1;
        player->LastPage = 9999;
        player->SelectionText.clear();
        if (choice.Range == TSetupChoice::rgSelection) {
            player->SelectionText = choice.Selection;
        } else if (choice.Range == TSetupChoice::rgPages) {
            player->FirstPage = parseNumber(choice.From);
            player->LastPage = parseNumber(choice.To);
        }
    }
    if (Has(ssAllowCopies)) {
        try {
            const int copies = parseNumber(choice.Copies);
            if (copies > 0) {
                SystemPrinter.Copies = copies;
                if (player)
                    player->SetCopies(copies);
            }
        } catch (const std::invalid_argument&) {
            // An invalid number of copies leaves the copies as they were.
        }
    }
    if (Has(ssAllowCollate)) {
        SystemPrinter.Collate = choice.Collate;
        if (player && device_.HasPrinters())
            device_.SetCollate(choice.Collate);
    }
    if (Has(ssAllowDuplex)) {
        const int current = device_.GetDuplex();
        SystemPrinter.Duplex = !choice.Duplex ? 0 : current > 0 ? current : 1;
        if (player && device_.HasPrinters())
            device_.SetDuplex(SystemPrinter.Duplex);
    }
    if (!player) {
        destination_ = choice.Destination;
        outputFile_ = choice.Destination == rdFile ? choice.FileName : std::string();
    }
}

} // namespace korval
