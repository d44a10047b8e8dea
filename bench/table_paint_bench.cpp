// Painting a full 1600x1000 view of a 30-column table of text cells, with headings: each
// iteration is one frame, so items per second are frames per second (goal: over 60).
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <cstdlib>
#include <string>
#include <vector>

#include "grids/windows/ovc_table.h"
#include "grids/windows/ovc_tc_headings.h"
#include "grids/windows/ovc_tc_string.h"

using namespace korval;

namespace {

void BM_PaintFullView(benchmark::State& state)
{
    const int cols = 30;
    const int rows = 100000;
    std::vector<std::string> texts;
    for (int i = 0; i < 1000; ++i)
        texts.push_back("Text " + std::to_string(i * 7919 % 100000));
    TOvcTable table;
    TOvcTCColHead colHead;
    TOvcTCRowHead rowHead;
    TOvcTCString text;
    table.resize(1600, 1000);
    table.SetColCount(cols);
    table.SetRowLimit(rows);
    table.Rows().SetDefaultHeight(20);
    table.SetLockedRowsCell(&colHead);
    table.Columns()[0]->SetWidth(60);
    table.Columns()[0]->SetDefaultCell(&rowHead);
    for (int c = 1; c < cols; ++c) {
        table.Columns()[c]->SetWidth(52);
        table.Columns()[c]->SetDefaultCell(&text);
    }
    table.OnGetCellData = [&](int r, int c, TOvcCellData& data, TOvcCellDataPurpose) {
        data = TOvcCellData::String(texts[(r * 31 + c) % texts.size()]);
    };
    table.CreateWnd();
    table.SetTopRow(5000);
    QImage frame(table.viewport()->size(), QImage::Format_ARGB32_Premultiplied);
    int cells = 0;
    for (auto _ : state) {
        table.viewport()->render(&frame);
        cells = static_cast<int>(table.VisibleRows().size() * table.VisibleCols().size());
        benchmark::DoNotOptimize(frame.bits());
    }
    state.SetItemsProcessed(state.iterations());
    state.counters["cells"] = cells;
}
BENCHMARK(BM_PaintFullView)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
