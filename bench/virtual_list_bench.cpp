// The owner-data list with the largest item count: scrolling, the thumb, page keys and the
// work of one page repaint must not depend on the count.
#include <benchmark/benchmark.h>

#include <string>

#include "entry/ovc_command_processor.h"
#include "grids/my_grid_model.h"
#include "grids/virtual_list_model.h"

using namespace korval;

namespace {

TVirtualListModel MakeList(int count)
{
    TVirtualListModel m;
    m.SetGeometry(30 * 17, 17);
    m.SetNumItems(count);
    m.OnGetItem = [](int i, std::string& s) { s = std::to_string(i); };
    return m;
}

void BM_ThumbAcrossTheList(benchmark::State& state)
{
    TVirtualListModel m = MakeList(static_cast<int>(state.range(0)));
    const int max = m.VScrollMax();
    int pos = 0;
    for (auto _ : state) {
        pos = (pos + 7919) % (max + 1);
        m.ThumbTo(pos);
        benchmark::DoNotOptimize(m.TopIndex());
    }
}
BENCHMARK(BM_ThumbAcrossTheList)->Arg(1000)->Arg(2147483647);

void BM_PageKeysAndEnd(benchmark::State& state)
{
    TVirtualListModel m = MakeList(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        m.DoCommand(ccEnd);
        m.DoCommand(ccPrevPage);
        m.DoCommand(ccHome);
        m.DoCommand(ccNextPage);
        benchmark::DoNotOptimize(m.ItemIndex());
    }
}
BENCHMARK(BM_PageKeysAndEnd)->Arg(1000)->Arg(2147483647);

// What a repaint asks of the owner: the text of each visible row.
void BM_OnePageOfTexts(benchmark::State& state)
{
    TVirtualListModel m = MakeList(static_cast<int>(state.range(0)));
    m.Scroll(0, 2147483647);
    for (auto _ : state) {
        size_t n = 0;
        for (int i = 0; i < m.Rows(); ++i)
            n += m.DoOnGetItem(m.TopIndex() + i).size();
        benchmark::DoNotOptimize(n);
    }
}
BENCHMARK(BM_OnePageOfTexts)->Arg(1000)->Arg(2147483647);

void BM_GridSetRowsMillion(benchmark::State& state)
{
    TMyGridModel g;
    g.SetClientSize(600, 400);
    int current = 1;
    for (auto _ : state) {
        current = (current * 31 + 7) % 1000000;
        g.SetRows(1000000, current);
        benchmark::DoNotOptimize(g.TopRow);
    }
}
BENCHMARK(BM_GridSetRowsMillion);

} // namespace

BENCHMARK_MAIN();
