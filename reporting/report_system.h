#pragma once
// TReportSystem: the one component the program prints through. The caller assigns the drawing
// events and calls Execute; the runner asks for the destination, shows progress, generates a
// report stream whenever one is needed, and then prints (directly, or by playing the stream
// once per copy) or previews. Its forms are reached through TReportForms, which the windows
// install; the same run works without them (no questions, no progress, no preview window).
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "reporting/file_preview.h"
#include "reporting/printer_report.h"
#include "reporting/report_filer.h"

namespace korval {

class TReportSystem;

enum TOverrideMode : std::uint8_t { omCreate = 0, omShow = 1, omWait = 2, omFree = 3 };
enum TFormState : std::uint8_t { fsNormal, fsMinimized, fsMaximized };

// A form a step of the run made (setup, status or preview).
class TReportStepForm {
public:
    virtual ~TReportStepForm() = default;
};
using TReportSystemEvent =
    std::function<void(TReportSystem& system, TOverrideMode mode, std::unique_ptr<TReportStepForm>& form)>;

// The built-in forms of the three steps.
class TReportForms {
public:
    virtual ~TReportForms() = default;
    virtual void Setup(TReportSystem& system, TOverrideMode mode, std::unique_ptr<TReportStepForm>& form) = 0;
    virtual void Status(TReportSystem& system, TOverrideMode mode, std::unique_ptr<TReportStepForm>& form) = 0;
    virtual void Preview(TReportSystem& system, TOverrideMode mode, std::unique_ptr<TReportStepForm>& form) = 0;
};
// Installs the forms every runner uses (nullptr: none). Returns the previous ones.
std::shared_ptr<TReportForms> SetReportForms(std::shared_ptr<TReportForms> forms);

struct TSystemPrinter {
    int Copies = 1;
    int FirstPage = 1;
    int LastPage = 9999;
    TLineHeightMethod LineHeightMethod = lhmFont;
    int LinesPerInch = 6;
    double MarginLeft = 0, MarginRight = 0, MarginTop = 0, MarginBottom = 0;
    TOrientation Orientation = poPortrait;
    double ScaleX = 100, ScaleY = 100;
    std::string StatusFormat = "Printing page %p";
    std::vector<std::string> StatusText;
    TBKMode TextBKMode = bkTransparent;
    std::string Title = "Report";
    bool Collate = false;
    int Duplex = -1;  // -1: the device's current duplex

    int TabShade() const { return tabShade_; }
    void SetTabShade(int shade);
    TPrintUnits Units() const { return units_.Units; }
    void SetUnits(TPrintUnits units) { units_.SetUnits(units); }
    double UnitsFactor() const { return units_.Factor; }
    void SetUnitsFactor(double factor) { units_.SetFactor(factor); }
    // Onto the surface that runs (collation and duplex onto its device).
    void AssignTo(TBaseReport& report) const;

private:
    int tabShade_ = 0;
    TUnitsScale units_;
};

struct TSystemFiler {
    TAccuracyMethod AccuracyMethod = amPositioning;
    std::string FileName;
    std::string StatusFormat = "Generating page %p";
    std::vector<std::string> StatusText;
    TStreamMode StreamMode = smMemory;
    // The stream of a run (the runner's memory stream with smMemory).
    std::iostream* Stream = nullptr;
};

struct TSystemPreview {
    int FormWidth = 615, FormHeight = 450;
    TFormState FormState = fsNormal;
    double GridHoriz = 0, GridVert = 0;
    TPenData GridPen{clSilver, psSolid, 1, pmCopy};
    TMarginMethod MarginMethod = mmFixed;
    double MarginPercent = 0;
    int PagesWide = 1, PagesHigh = 1;
    int PageInc = 1;
    TRulerType RulerType = rtNone;
    int ZoomInc = 10;

    double ZoomFactor() const { return zoomFactor_; }
    void SetZoomFactor(double zoom);
    bool Monochrome() const { return monochrome_; }
    void SetMonochrome(bool on);
    int ShadowDepth() const { return shadowDepth_; }
    void SetShadowDepth(int depth);
    void AssignTo(TFilePreview& preview) const;

private:
    double zoomFactor_ = 100;
    bool monochrome_ = false;
    int shadowDepth_ = 0;
};

// What the operator chose in the setup form.
struct TSetupChoice {
    TReportDest Destination = rdPreview;
    std::string FileName;
    enum TRange { rgAll, rgSelection, rgPages } Range = rgAll;
    std::string Selection, From, To;
    std::string Copies;
    bool Collate = false;
    bool Duplex = false;
};

inline constexpr TSystemSetups kAllSystemSetups = 0x1FF;

class TReportSystem : public TRPComponent {
public:
    explicit TReportSystem(TRPDevice& device = ReportDevice());
    ~TReportSystem() override;

    std::string TitleSetup = "Report Setup";
    std::string TitleStatus = "Report Status";
    std::string TitlePreview = "Report Preview";
    TSystemSetups SystemSetups = kAllSystemSetups;
    TSystemOptions SystemOptions = (1u << soShowStatus) | (1u << soAllowPrintFromPreview) | (1u << soPreviewModal);
    TReportDest DefaultDest = rdPreview;
    TSystemFiler SystemFiler;
    TSystemPreview SystemPreview;
    TSystemPrinter SystemPrinter;

    TNotifyEvent OnPrint, OnBeforePrint, OnAfterPrint, OnNewPage, OnNewColumn, OnPrintHeader, OnPrintFooter,
        OnEndOfSection;
    TPrintPageEvent OnPrintPage;
    TDecodeImageEvent OnDecodeImage;
    std::function<void(TReportSystem&, TFilePreview&)> OnPreviewSetup;
    std::function<void(TReportSystem&)> OnPreviewShow;
    TReportSystemEvent OverrideSetup, OverrideStatus, OverridePreview;
    // Measures a stream generated without a printer (the owner form's canvas).
    TReportCanvas* OwnerCanvas = nullptr;

    bool Has(TSystemSetup s) const { return SystemSetups & (1u << s); }
    bool Has(TSystemOption o) const { return SystemOptions & (1u << o); }

    void Execute();

    // Run-time state, for the forms.
    bool Aborted() const { return aborted_; }
    void SetAborted(bool aborted) { aborted_ = aborted; }
    TReportDest Destination() const { return destination_; }
    void SetDestination(TReportDest dest) { destination_ = dest; }
    const std::string& OutputFileName() const { return outputFile_; }
    void SetOutputFileName(const std::string& name) { outputFile_ = name; }
    // The surface that runs now (generating or printing); nullptr between steps.
    TBaseReport* ReportSurface() const { return surface_; }
    TRPDevice& Device() { return device_; }
    // The setup form's choice. With a player (printing from the preview) the range goes to it.
    void ApplySetup(const TSetupChoice& choice, TFilePrinter* player);
    // A player (or the preview) on the run's stream, with the stream settings.
    void AssignStream(TFilePrinter& player);
    // Prints the stream on the player, once per copy when the printer cannot make copies itself.
    void PrintStream(TFilePrinter& player);

protected:
    virtual void SetupHandler(TReportSystem& system, TOverrideMode mode, std::unique_ptr<TReportStepForm>& form);
    virtual void StatusHandler(TReportSystem& system, TOverrideMode mode, std::unique_ptr<TReportStepForm>& form);
    virtual void PreviewHandler(TReportSystem& system, TOverrideMode mode, std::unique_ptr<TReportStepForm>& form);

private:
    void assignEvents(TBaseReport& report) const;
    void status(TOverrideMode mode);
    void generate();
    void print();
    void preview();

    TRPDevice& device_;
    TReportDest destination_ = rdPreview;
    std::string outputFile_;
    bool aborted_ = false;
    bool copiesThroughStream_ = false;
    TBaseReport* surface_ = nullptr;
    std::unique_ptr<TReportStepForm> statusForm_;
    std::unique_ptr<std::stringstream> memory_;
};

} // namespace korval
