// Writing a 1,000-page QSO listing into a report stream in memory: each page a header, a boxed
// column header and 55 tabbed rows with box lines, and a footer with the page number. Texts are
// measured on the screen as a stream written without a printer is. Reports pages per second.
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <cstdlib>
#include <string>

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
