#pragma once
// A printer for the engine tests: a recording device context at 300 DPI on Letter paper with
// unprintable strips of 1/4 inch left, right and top and 1/2 inch at the bottom, fonts measured
// with fixed metrics, and a printer system with one laser printer that tests reshape.
#include <cstdlib>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "reporting/rp_device.h"

namespace korval::test {

// What every context of one printer system did, in order.
struct TRecording {
    std::vector<std::string> Calls;
    std::vector<TLogFont> Realised;  // fonts whose metrics were asked for
    std::vector<TDevMode> ContextModes;
    int Contexts = 0;
    int Jobs = 0;  // print jobs started (the calls are those of the last job's context)

    int Count(const std::string& prefix) const
    {
        int n = 0;
        for (const auto& c : Calls)
            n += c.rfind(prefix, 0) == 0;
        return n;
    }
};

struct TFakeCaps {
    int DpiX = 300, DpiY = 300;
    int PhysicalWidth = 2550, PhysicalHeight = 3300;
    int OffsetX = 75, OffsetY = 75;
    int HorzRes = 2400, VertRes = 3075;
    int NumColors = 256;
};

// Metrics of a font of h pixels: ascent 4/5 h, descent the rest, internal leading h/5, every
// character h/2 wide.
class TRecordingContext : public TDrawingContext {
public:
    TRecordingContext(std::shared_ptr<TRecording> recording, TFakeCaps caps, bool forOutput)
        : rec_(std::move(recording)), caps_(caps), forOutput_(forOutput)
    {
    }

    int GetDeviceCaps(TDeviceCap cap) const override
    {
        switch (cap) {
        case LOGPIXELSX: return caps_.DpiX;
        case LOGPIXELSY: return caps_.DpiY;
        case HORZRES: return caps_.HorzRes;
        case VERTRES: return caps_.VertRes;
        case PHYSICALWIDTH: return caps_.PhysicalWidth;
        case PHYSICALHEIGHT: return caps_.PhysicalHeight;
        case PHYSICALOFFSETX: return caps_.OffsetX;
        case PHYSICALOFFSETY: return caps_.OffsetY;
        case NUMCOLORS: return caps_.NumColors;
        }
        return 0;
    }
    std::vector<std::uint8_t> FaceCharsets(const std::string& face) override
    {
        if (face == "Symbol")
            return {2};
        return {0, 0};
    }
    void SelectFont(const TLogFont& font) override { font_ = font; }
    TTextMetric GetTextMetrics() override
    {
        rec_->Realised.push_back(font_);
        const int h = std::abs(font_.Height);
        return {h, h * 4 / 5, h - h * 4 / 5, h / 5};
    }
    TPixelSize GetTextExtent(std::string_view text) override
    {
        const int h = std::abs(font_.Height);
        return {int(text.size()) * std::max(1, h / 2), h};
    }
    void SetTextColor(TColor color) override { textColor_ = color; }
    void SetBkMode(int) override {}
    void SetBkColor(TColor) override {}
    void SetTextAlign(unsigned) override {}
    void TextOut(int x, int y, std::string_view text) override
    {
        log("TextOut " + std::to_string(x) + " " + std::to_string(y) + " " + std::string(text));
    }
    void ExtTextOut(int x, int y, unsigned, const TPixelRect&, std::string_view text) override
    {
        log("ExtTextOut " + std::to_string(x) + " " + std::to_string(y) + " " + std::string(text));
    }
    void SelectPen(const TPenData& pen) override { pen_ = pen; }
    void SelectBrush(const TBrushData& brush) override { brush_ = brush; }
    void MoveTo(int x, int y) override { log("MoveTo " + xy(x, y)); }
    void LineTo(int x, int y) override { log("LineTo " + xy(x, y) + " pen " + std::to_string(pen_.Width)); }
    void Rectangle(int x1, int y1, int x2, int y2) override
    {
        std::ostringstream s;
        s << "Rectangle " << xy(x1, y1) << " " << xy(x2, y2) << " brush " << std::hex << brush_.Color
          << " pen style " << std::dec << int(pen_.Style);
        log(s.str());
    }
    void Ellipse(int x1, int y1, int x2, int y2) override { log("Ellipse " + xy(x1, y1) + " " + xy(x2, y2)); }
    void RoundRect(int x1, int y1, int x2, int y2, int, int) override
    {
        log("RoundRect " + xy(x1, y1) + " " + xy(x2, y2));
    }
    void Arc(int, int, int, int, int, int, int, int) override { log("Arc"); }
    void Chord(int, int, int, int, int, int, int, int) override { log("Chord"); }
    void Pie(int, int, int, int, int, int, int, int) override { log("Pie"); }
    void Polygon(const std::vector<TPixelPoint>&) override { log("Polygon"); }
    void Polyline(const std::vector<TPixelPoint>&) override { log("Polyline"); }
    void FillRect(const TPixelRect&) override { log("FillRect"); }
    void FrameRect(const TPixelRect&) override { log("FrameRect"); }
    void DrawFocusRect(const TPixelRect&) override { log("DrawFocusRect"); }
    void FloodFill(int, int, TColor, TFillStyle) override { log("FloodFill"); }
    void StretchGraphic(const TPixelRect&, const TReportGraphic&) override { log("StretchGraphic"); }
    void PassThrough(std::string_view bytes) override { log("PassThrough " + std::to_string(bytes.size())); }

    TStartDoc StartDoc(const std::string& title, const std::string& outputFile, std::function<bool()>) override
    {
        log("StartDoc " + title + (outputFile.empty() ? "" : " -> " + outputFile));
        ++rec_->Jobs;
        return TStartDoc::Started;
    }
    bool StartPage() override
    {
        log("StartPage");
        return true;
    }
    void EndPage() override { log("EndPage"); }
    void EndDoc() override { log("EndDoc"); }
    void AbortDoc() override { log("AbortDoc"); }
    void ResetDC(const TDevMode& devMode) override
    {
        log("ResetDC orientation " + std::to_string(devMode.dmOrientation));
        if (devMode.dmOrientation == 2)
            swapOrientation(true);
        else
            swapOrientation(false);
    }

    TColor TextColor() const { return textColor_; }

private:
    static std::string xy(int x, int y) { return std::to_string(x) + "," + std::to_string(y); }
    void log(const std::string& call)
    {
        if (forOutput_)
            rec_->Calls.push_back(call);
    }
    void swapOrientation(bool landscape)
    {
        const bool now = caps_.PhysicalWidth > caps_.PhysicalHeight;
        if (now == landscape)
            return;
        std::swap(caps_.PhysicalWidth, caps_.PhysicalHeight);
        std::swap(caps_.HorzRes, caps_.VertRes);
        std::swap(caps_.OffsetX, caps_.OffsetY);
    }

    std::shared_ptr<TRecording> rec_;
    TFakeCaps caps_;
    bool forOutput_;
    TLogFont font_;
    TPenData pen_;
    TBrushData brush_;
    TColor textColor_ = 0;
};

class TFakePrinterSystem : public TPrinterSystem {
public:
    TFakePrinterSystem()
    {
        DevMode.dmFields = DM_ORIENTATION | DM_PAPERSIZE | DM_COPIES | DM_DEFAULTSOURCE | DM_DUPLEX | DM_COLLATE;
        DevMode.dmOrientation = 1;
        DevMode.dmPaperSize = 1;
        DevMode.dmCopies = 1;
        DevMode.dmDefaultSource = 7;
        DevMode.dmDuplex = 1;
        DevMode.dmCollate = 0;
    }

    std::vector<std::pair<std::string, std::string>> Entries{{"Laser", "LASERDRV,LPT1:"}};
    std::string Default = "Laser,LASERDRV,LPT1:";
    TDevMode DevMode;
    int Copies = 5;
    TNamedCodes BinList{{"Upper tray", 1}, {"Manual feed", 4}};
    TNamedCodes PaperList{{"Letter", 1}, {"Legal", 5}, {"User defined", 256}};
    bool FailContext = false;
    bool FailProperties = false;
    bool SetupAnswer = false;
    std::string SetupDevice, SetupPort;
    TDevMode SetupMode;
    TFakeCaps Caps;
    std::shared_ptr<TRecording> Rec = std::make_shared<TRecording>();

    std::vector<std::pair<std::string, std::string>> Devices() override { return Entries; }
    std::string DefaultDevice() override { return Default; }
    bool DocumentProperties(const TRPDeviceItem&, TDevMode& devMode) override
    {
        if (FailProperties)
            return false;
        devMode = DevMode;
        return true;
    }
    int MaxCopies(const TRPDeviceItem&) override { return Copies; }
    TNamedCodes Bins(const TRPDeviceItem&) override { return BinList; }
    TNamedCodes Papers(const TRPDeviceItem&) override { return PaperList; }
    bool PaperExtents(const TRPDeviceItem&, TPixelSize& min, TPixelSize& max) override
    {
        min = {100, 100};
        max = {3000, 4000};
        return true;
    }
    std::unique_ptr<TDrawingContext> CreateContext(const TRPDeviceItem&, const TDevMode& devMode,
                                                   bool forOutput) override
    {
        if (FailContext)
            return nullptr;
        ++Rec->Contexts;
        Rec->ContextModes.push_back(devMode);
        auto dc = std::make_unique<TRecordingContext>(Rec, Caps, forOutput);
        dc->ResetDC(devMode);
        if (forOutput)
            Rec->Calls.clear();
        return dc;
    }
    bool SetupDialog(const TRPDeviceItem&, TDevMode& devMode, std::string& device, std::string& port) override
    {
        if (!SetupAnswer)
            return false;
        devMode = SetupMode;
        device = SetupDevice;
        port = SetupPort;
        return true;
    }
};

// The message of the EReportError f raises, "no error" when it raises none.
inline std::string ErrorOf(const std::function<void()>& f)
{
    try {
        f();
    } catch (const EReportError& e) {
        return e.what();
    }
    return "no error";
}

// A device over a fresh fake printer system; the system stays reachable for the test.
struct TFakePrinter {
    TFakePrinterSystem* System;
    std::unique_ptr<TRPDevice> Device;

    TFakePrinter()
    {
        auto system = std::make_unique<TFakePrinterSystem>();
        System = system.get();
        Device = std::make_unique<TRPDevice>(std::move(system));
    }
};

// A context for measuring only (a screen at 96 DPI), like the owner form's canvas.
inline std::unique_ptr<TRecordingContext> ScreenContext()
{
    TFakeCaps caps;
    caps.DpiX = caps.DpiY = 96;
    return std::make_unique<TRecordingContext>(std::make_shared<TRecording>(), caps, false);
}

} // namespace korval::test
