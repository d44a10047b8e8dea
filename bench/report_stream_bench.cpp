// Writing a 1,000-page QSO listing into a report stream in memory: each page a header, a boxed
// column header and 55 tabbed rows with box lines, and a footer with the page number. Texts are
// measured on the screen as a stream written without a printer is. Then playing that stream
// back onto a printer. Reports pages per second.
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <cstdlib>
#include <string>

#include <sstream>

#include "reporting/file_printer.h"
#include "reporting/report_filer.h"
#include "reporting/windows/qt_printer_system.h"

using namespace korval;

namespace {

constexpr int kPages = 1000;
constexpr int kRows = 55;

const char* const kCalls[] = {"W1AW", "DL1ABC", "JA1XYZ", "VK2DEF", "G3GHI", "ZS6JKL", "PY2MNO", "UA3PQR"};
const char* const kModes[] = {"CW", "SSB", "FT8", "RTTY"};

std::string cell(const char* before, int number, const char* after)
{
    std::string text = before;
    text += std::to_string(number);
    text += after;
    return text;
}

void listing(TReportFiler& filer, std::int64_t& bytes)
{
    filer.SetMarginLeft(0.5);
    filer.SetMarginRight(0.5);
    filer.SetMarginTop(0.5);
    filer.SetMarginBottom(0.5);
    filer.ClearTabs();
    filer.SetTab(0.5, pjLeft, 1.5, 5, BOXLINEALL, 0);
    filer.SetTab(-1, pjCenter, 1.2, 5, BOXLINEALL, 0);
    filer.SetTab(-1, pjCenter, 0.8, 5, BOXLINEALL, 0);
    filer.SetTab(-1, pjRight, 1.0, 5, BOXLINEALL, 0);
    filer.SetTab(-1, pjCenter, 0.8, 5, BOXLINEALL, 0);
    int qso = 0;
    filer.OnPrintPage = [&](TBaseReport& r, int& page) {
        r.SetFont("Arial", 12);
        r.PrintHeaderLine("Log of W1AW - QSO listing", pjCenter);
        r.SetFont("Arial", 9);
        r.SetLine(3);
        r.SetBold(true);
        r.PrintLn("\tCall\tDate\tUTC\tkHz\tMode");
        r.SetBold(false);
        for (int row = 0; row < kRows; ++row, ++qso) {
            r.Print("\t");
            r.Print(kCalls[qso % 8]);
            r.Print(cell("\t2024-03-", 10 + qso % 20, ""));
            r.Print(cell("\t", 1000 + qso % 1300, ""));
            r.Print(cell("\t", 14000 + qso % 350, ".0"));
            r.Print("\t");
            r.PrintLn(kModes[qso % 4]);
        }
        r.PrintFooterLine(cell("Page ", page, ""), pjRight);
        return page < kPages;
    };
    filer.Execute();
    bytes = std::int64_t(filer.MemoryData().size());
}

void StreamListing(benchmark::State& state)
{
    TRPDevice none;
    const std::unique_ptr<TDrawingContext> screen = MakeScreenContext();
    TReportCanvas canvas(screen.get());
    std::int64_t bytes = 0;
    for (auto _ : state) {
        TReportFiler filer(none);
        filer.OwnerCanvas = &canvas;
        filer.AccuracyMethod = TAccuracyMethod(state.range(0));
        listing(filer, bytes);
        benchmark::DoNotOptimize(bytes);
    }
    state.counters["pages/s"] = benchmark::Counter(double(kPages), benchmark::Counter::kIsIterationInvariantRate);
    state.counters["stream MB"] = double(bytes) / 1e6;
}
BENCHMARK(StreamListing)->Arg(amAppearance)->Arg(amPositioning)->Unit(benchmark::kMillisecond);

// A printer that measures with fixed metrics and draws nothing: what is timed is the player.
class TNullContext : public TDrawingContext {
public:
    int GetDeviceCaps(TDeviceCap cap) const override
    {
        switch (cap) {
        case LOGPIXELSX:
        case LOGPIXELSY: return 600;
        case HORZRES: return 4800;
        case VERTRES: return 6300;
        case PHYSICALWIDTH: return 5100;
        case PHYSICALHEIGHT: return 6600;
        case PHYSICALOFFSETX:
        case PHYSICALOFFSETY: return 150;
        case NUMCOLORS: return -1;
        }
        return 0;
    }
    std::vector<std::uint8_t> FaceCharsets(const std::string&) override { return {0}; }
    void SelectFont(const TLogFont& font) override { height_ = std::abs(font.Height); }
    TTextMetric GetTextMetrics() override { return {height_, height_ * 4 / 5, height_ / 5, height_ / 5}; }
    TPixelSize GetTextExtent(std::string_view text) override { return {int(text.size()) * height_ / 2, height_}; }
    void SetTextColor(TColor) override {}
    void SetBkMode(int) override {}
    void SetBkColor(TColor) override {}
    void SetTextAlign(unsigned) override {}
    void TextOut(int, int, std::string_view) override { ++Drawn; }
    void ExtTextOut(int, int, unsigned, const TPixelRect&, std::string_view) override { ++Drawn; }
    void SelectPen(const TPenData&) override {}
    void SelectBrush(const TBrushData&) override {}
    void MoveTo(int, int) override {}
    void LineTo(int, int) override { ++Drawn; }
    void Rectangle(int, int, int, int) override { ++Drawn; }
    void Ellipse(int, int, int, int) override {}
    void RoundRect(int, int, int, int, int, int) override {}
    void Arc(int, int, int, int, int, int, int, int) override {}
    void Chord(int, int, int, int, int, int, int, int) override {}
    void Pie(int, int, int, int, int, int, int, int) override {}
    void Polygon(const std::vector<TPixelPoint>&) override {}
    void Polyline(const std::vector<TPixelPoint>&) override {}
    void FillRect(const TPixelRect&) override {}
    void FrameRect(const TPixelRect&) override {}
    void DrawFocusRect(const TPixelRect&) override {}
    void FloodFill(int, int, TColor, TFillStyle) override {}
    void StretchGraphic(const TPixelRect&, const TReportGraphic&) override {}
    void PassThrough(std::string_view) override {}
    TStartDoc StartDoc(const std::string&, const std::string&, std::function<bool()>) override
    {
        return TStartDoc::Started;
    }
    bool StartPage() override { return true; }
    void EndPage() override {}
    void EndDoc() override {}
    void AbortDoc() override {}
    void ResetDC(const TDevMode&) override {}

    static inline std::int64_t Drawn = 0;

private:
    int height_ = 1;
};

class TNullPrinterSystem : public TPrinterSystem {
public:
    std::vector<std::pair<std::string, std::string>> Devices() override { return {{"Null", "NULL,NUL:"}}; }
    std::string DefaultDevice() override { return "Null,NULL,NUL:"; }
    bool DocumentProperties(const TRPDeviceItem&, TDevMode& devMode) override
    {
        devMode.dmFields = DM_ORIENTATION | DM_PAPERSIZE | DM_COPIES;
        return true;
    }
    int MaxCopies(const TRPDeviceItem&) override { return 99; }
    TNamedCodes Bins(const TRPDeviceItem&) override { return {}; }
    TNamedCodes Papers(const TRPDeviceItem&) override { return {{"Letter", 1}}; }
    bool PaperExtents(const TRPDeviceItem&, TPixelSize&, TPixelSize&) override { return false; }
    std::unique_ptr<TDrawingContext> CreateContext(const TRPDeviceItem&, const TDevMode&, bool) override
    {
        return std::make_unique<TNullContext>();
    }
    bool SetupDialog(const TRPDeviceItem&, TDevMode&, std::string&, std::string&) override { return false; }
};

// Playing the 1,000-page listing back onto a printer, all pages in order.
void PlayListing(benchmark::State& state)
{
    TRPDevice none;
    const std::unique_ptr<TDrawingContext> screen = MakeScreenContext();
    TReportCanvas canvas(screen.get());
    TReportFiler filer(none);
    filer.OwnerCanvas = &canvas;
    filer.AccuracyMethod = TAccuracyMethod(state.range(0));
    std::int64_t bytes = 0;
    listing(filer, bytes);
    const std::string stream = filer.MemoryData();
    TRPDevice printer(std::make_unique<TNullPrinterSystem>());
    for (auto _ : state) {
        std::istringstream in(stream);
        TFilePrinter player(printer);
        player.StreamMode = smUser;
        player.Stream = &in;
        player.Execute();
    }
    benchmark::DoNotOptimize(TNullContext::Drawn);
    state.counters["pages/s"] = benchmark::Counter(double(kPages), benchmark::Counter::kIsIterationInvariantRate);
    state.counters["stream MB"] = double(bytes) / 1e6;
}
BENCHMARK(PlayListing)->Arg(amAppearance)->Arg(amPositioning)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
