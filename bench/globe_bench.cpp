// Rendering the shipped world map at 1600 x 1000 in each projection (frames per second; the goal
// is over 20 for interactive panning and zooming).
#include <benchmark/benchmark.h>

#include <QGuiApplication>

#include "globe/globe_core.h"
#include "globe/windows/globe_canvas.h"

using namespace korval;

namespace {

TGlobeCore& World()
{
    static TGlobeCore* globe = [] {
        auto* g = new TGlobeCore;
        g->SetProfileName(KORVAL_SOURCE_DIR "/data/maps/tglobe.prf");
        g->SetSize(1600, 1000, 96);
        return g;
    }();
    return *globe;
}

std::unique_ptr<TPrjModel> Model(TGlobeCore& g, int i)
{
    switch (i) {
    case 0: return std::make_unique<TSphericalPrj>(g);
    case 1: return std::make_unique<TCartesianPrj>(g);
    case 2: return std::make_unique<TMercatorPrj>(g);
    case 3: return std::make_unique<TCylEqualAreaPrj>(g);
    case 4: return std::make_unique<TAlbersEqualAreaConicPrj>(g);
    case 5: return std::make_unique<TSinusoidalPrj>(g);
    default: {
        auto q = std::make_unique<TQZEquidistantPrj>(g);
        q->SetCentre(-75 * GU_DEGREE, 40 * GU_DEGREE);
        return q;
    }
    }
}

const char* const kNames[] = {"Spherical", "Cartesian", "Mercator", "CylEqualArea", "Albers", "Sinusoidal", "Equidistant"};

void BM_RenderWorld(benchmark::State& state)
{
    TGlobeCore& g = World();
    TGlobeCanvas canvas;
    canvas.SetSize(1600, 1000);
    g.Surface = &canvas;
    g.SetProjectionModel(Model(g, int(state.range(0))));
    g.SetScale(0);
    for (auto _ : state) {
        g.ReRender = true;
        canvas.Begin();
        g.Render();
        canvas.End();
    }
    g.Surface = nullptr;
    state.SetLabel(kNames[state.range(0)]);
    state.counters["fps"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_RenderWorld)->DenseRange(0, 6)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? QByteArray("offscreen") : qgetenv("QT_QPA_PLATFORM"));
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
