#pragma once
// A report surface for the engine tests that prints on the device's job the way the printer
// surfaces do, but writes every output operation into a list in device pixels. Lines go
// through the line buffer as they do on a canvas.
#include <functional>
#include <string>
#include <vector>

#include "reporting/base_report.h"
#include "tests/reporting/recording_device.h"

namespace korval::test {

class TRecordingReport : public TBaseReport {
public:
    explicit TRecordingReport(TRPDevice& device) : TBaseReport(device) {}
    ~TRecordingReport() override
    {
        if (Printing())
            DetachFontChange();
    }

    // "Left|Center|Right|Block <text> x y" with x and y in pixels (y the baseline), then the
    // operations below by name.
    std::vector<std::string> Out;
    // Called inside PrintLeftInch (to look at the surface while a text is split).
    std::function<void(const std::string&)> OnLeftText;

    void BeginDoc() override
    {
        CheckNotPrinting();
        if (!device_.HasPrinters()) {
            ShowReportError("No printers are defined, aborting print job.");
            return;
        }
        const bool started = OpenDocument([this] {
            device_.SetTitle(Title);
            device_.BeginDoc();
            return device_.Printing();
        });
        if (started)
            BeginFirstPage();
    }
    void EndDoc() override
    {
        CheckPrinting();
        FinishLastPage();
        ReleaseDocument();
        if (Aborted())
            device_.AbortDoc();
        else
            device_.EndDoc();
        SetPrinting(false);
        DoAfterPrint();
    }

    void PrintCenterInch(const std::string& text, double x) override { textOut("Center", TA_CENTER, text, x); }
    void PrintLeftInch(const std::string& text, double x) override
    {
        if (OnLeftText)
            OnLeftText(text);
        textOut("Left", TA_LEFT, text, x);
    }
    void PrintRightInch(const std::string& text, double x) override { textOut("Right", TA_RIGHT, text, x); }
    void PrintBlockInch(const std::string& text, double x, double) override
    {
        if (draw())
            Out.push_back("Block " + text + " " + px(x, CursorYInch()));
    }
    void TabRectangle(double x1, double y1, double x2, double y2) override
    {
        if (draw())
            GetCanvas().Rectangle(UnitsToPixelsX(x1), UnitsToPixelsY(y1), UnitsToPixelsX(x2), UnitsToPixelsY(y2));
    }
    void MoveTo(double x, double y) override
    {
        if (!draw())
            return;
        LineBuffer().MoveTo(UnitsToInchesX(x) + OriginXInch(), UnitsToInchesY(y) + OriginYInch());
        GetCanvas().MoveTo(UnitsToPixelsX(x), UnitsToPixelsY(y));
    }
    void LineTo(double x, double y) override
    {
        if (!draw())
            return;
        const double fromX = LineBuffer().PenX(), fromY = LineBuffer().PenY();
        if (LineBuffer().LineTo(UnitsToInchesX(x) + OriginXInch(), UnitsToInchesY(y) + OriginYInch(),
                                GetCanvas().Pen()))
            return;
        GetCanvas().MoveTo(InchesToPixelsX(fromX - OriginXInch()), InchesToPixelsY(fromY - OriginYInch()));
        GetCanvas().LineTo(UnitsToPixelsX(x), UnitsToPixelsY(y));
    }
    void Rectangle(double x1, double y1, double x2, double y2) override
    {
        if (draw())
            GetCanvas().Rectangle(UnitsToPixelsX(x1), UnitsToPixelsY(y1), UnitsToPixelsX(x2), UnitsToPixelsY(y2));
    }
    void Arc(double, double, double, double, double, double, double, double) override { named("Arc"); }
    void BrushCopy(const TPixelRect&, const TReportGraphic&, const TPixelRect&, TColor) override { named("BrushCopy"); }
    void Chord(double, double, double, double, double, double, double, double) override { named("Chord"); }
    void CopyRect(const TPixelRect&, TReportCanvas&, const TPixelRect&) override { named("CopyRect"); }
    void Draw(double, double, const TReportGraphic&) override { named("Draw"); }
    void DrawFocusRect(const TPixelRect&) override { named("DrawFocusRect"); }
    void Ellipse(double, double, double, double) override { named("Ellipse"); }
    void FillRect(const TPixelRect&) override { named("FillRect"); }
    void FloodFill(double, double, TColor, TFillStyle) override { named("FloodFill"); }
    void FrameRect(const TPixelRect&) override { named("FrameRect"); }
    void Pie(double, double, double, double, double, double, double, double) override { named("Pie"); }
    void Polygon(const std::vector<TPixelPoint>&) override { named("Polygon"); }
    void Polyline(const std::vector<TPixelPoint>&) override { named("Polyline"); }
    void PrintBitmap(double, double, double, double, const TReportGraphic&) override { named("PrintBitmap"); }
    void PrintBitmapRect(double, double, double, double, const TReportGraphic&) override { named("PrintBitmapRect"); }
    void PrintImageRect(double, double, double, double, std::istream&, const std::string&) override
    {
        named("PrintImageRect");
    }
    void RoundRect(double, double, double, double, double, double) override { named("RoundRect"); }
    void StretchDraw(const TPixelRect&, const TReportGraphic&) override { named("StretchDraw"); }
    void TextRect(const TPixelRect&, double, double, const std::string&) override { named("TextRect"); }
    void PrintData(const std::string&) override { named("PrintData"); }
    void PrintDataStream(std::istream&, std::int64_t) override { named("PrintDataStream"); }

    using TBaseReport::CursorXInch;
    using TBaseReport::CursorYInch;

protected:
    void StartPageOutput() override
    {
        if (Printing() && device_.Printing())
            device_.NewPage(!SkipOutput());
    }

private:
    bool draw()
    {
        CheckPrinting();
        return !ShouldSkip();
    }
    std::string px(double x, double y) const
    {
        return std::to_string(InchesToPixelsX(x)) + " " + std::to_string(InchesToPixelsY(y));
    }
    void textOut(const char* kind, unsigned align, const std::string& text, double x)
    {
        if (!draw())
            return;
        Out.push_back(std::string(kind) + " " + text + " " + px(x, CursorYInch()));
        AdvanceCursor(align, x, text);
    }
    void named(const char* name)
    {
        if (draw())
            Out.push_back(name);
    }
};

} // namespace korval::test
