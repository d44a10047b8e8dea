#pragma once
// Common ground of the report engine: its exception and the one routine that raises it, the
// text hook every engine message passes through, the outside-world hooks (messages to the
// operator, traces, pending application messages), colours and the shade rule, and the
// enumerations the surfaces publish.
#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>

#include "logbook/base/colors.h"

namespace korval {

class EReportError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Every message of the engine passes through this hook before it is shown or raised; the default
// returns the text unchanged. Returns the previous hook; an empty one restores the default.
using TReportTextHook = std::function<std::string(const std::string&)>;
TReportTextHook SetReportTextHook(TReportTextHook hook);
std::string ReportText(const std::string& text);

// Raises EReportError with a message the caller has already passed through ReportText.
[[noreturn]] void RaiseReportError(const std::string& message);
// ReportText, then RaiseReportError.
[[noreturn]] void RaiseReportText(const std::string& text);

// An error shown to the operator with an OK button ("No printers are defined, ..."). The windows
// install a message box; the default prints the text on stderr.
using TReportMessageHandler = std::function<void(const std::string& text)>;
TReportMessageHandler SetReportMessageHandler(TReportMessageHandler handler);
void ShowReportError(const std::string& text);

// A note for whoever reads the program's trace (a text cut to fit the stream, ...). The default
// prints it on stderr.
using TReportTraceHandler = std::function<void(const std::string& text)>;
TReportTraceHandler SetReportTraceHandler(TReportTraceHandler handler);
void ReportTrace(const std::string& text);

// Lets the application handle its pending events during long work (status text, each drawing
// operation of the stream writer). Nothing by default; the windows install the event loop's.
using TProcessMessagesHook = std::function<void()>;
TProcessMessagesHook SetProcessMessagesHook(TProcessMessagesHook hook);
void ProcessReportMessages();

// The engine's fixed version text.
inline constexpr const char* kReportEngineVersion = "Korval 1.0";

// TComponent's place: an object with a published, read-only version text.
class TRPComponent {
public:
    TRPComponent() : version_(kReportEngineVersion) {}
    virtual ~TRPComponent() = default;
    const std::string& GetVersion() const { return version_; }
    // Kept for loaders that write every published property: the version stays the engine's.
    void SetVersion(const std::string&) {}

private:
    std::string version_;
};

class TRPBaseComponent : public TRPComponent {};

// One string, kept as the value of a named string in string lists.
class TRPStringObject {
public:
    explicit TRPStringObject(std::string value) : Value(std::move(value)) {}
    std::string Value;
};


// An RGB colour; system colours take the standard desktop scheme's values.
TColor ColorToRGB(TColor color);
// The colour mixed with white: 100 % gives the colour itself, 0 % white; percents are held to
// 0..100.
TColor ShadeToColor(TColor color, int percent);

enum TPrintUnits : std::uint8_t { unInch, unMM, unCM, unPoint, unUser };
// Print units and their factor (units per inch), kept in step: naming the units sets the
// factor (unUser keeps it), a factor names its units (unUser when it names none).
struct TUnitsScale {
    TPrintUnits Units = unInch;
    double Factor = 1.0;
    void SetUnits(TPrintUnits units);
    // A factor not above 0 is ignored.
    void SetFactor(double factor);
};
enum TLineHeightMethod : std::uint8_t { lhmLinesPerInch, lhmFont, lhmUser };
enum TBKMode : std::uint8_t { bkTransparent, bkOpaque };
enum TOrientation : std::uint8_t { poPortrait, poLandScape, poDefault };
enum TStreamMode : std::uint8_t { smMemory, smFile, smUser, smTempFile };
enum TReportDest : std::uint8_t { rdPreview, rdPrinter, rdFile };
enum TSystemSetup : std::uint8_t {
    ssAllowSetup, ssAllowCopies, ssAllowCollate, ssAllowDuplex, ssAllowDestPreview,
    ssAllowDestPrinter, ssAllowDestFile, ssAllowPrinterSetup, ssAllowPreviewSetup
};
using TSystemSetups = std::uint16_t;  // bit n = TSystemSetup n
enum TSystemOption : std::uint8_t {
    soUseFiler, soWaitForOK, soShowStatus, soAllowPrintFromPreview, soPreviewModal, soNoGenerate
};
using TSystemOptions = std::uint8_t;  // bit n = TSystemOption n
enum TAccuracyMethod : std::uint8_t { amPositioning, amAppearance };
enum TMarginMethod : std::uint8_t { mmScaled, mmFixed };
enum TRulerType : std::uint8_t { rtNone, rtHorizCm, rtVertCm, rtBothCm, rtHorizIn, rtVertIn, rtBothIn };
enum TTextJustify : std::uint8_t { pjCenter, pjLeft, pjRight, pjBlock };

} // namespace korval
