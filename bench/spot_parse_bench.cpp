// Cluster lines per second through the default spot templates: a mix of announcements,
// skimmer spots, listing lines and talk that fits no template.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "station/spot_parser.h"

namespace {

const std::vector<std::string>& Lines() {
    static const std::vector<std::string> lines = {
        "DX de CT3FW:     21004.8  HC2AO        599 TKS(CW)QSL READ,QRZ.COM    2132Z",
        "DX de W3LPL-#:   14010.6  SM5DYC       CW 14 dB 22 WPM CQ             1208Z",
        "DX de OK1TEH:   144000.0  C0NTEST      -> www.darkside.cz/qrv.php     1328Z JO70",
        "DX de DJ5LA:     24891.0  VP2VI        QSX 24892.30  CW                FK78 1442Z JO44",
        "  14195.0 HC2AO       25-Jan-2025 2132Z 599 TKS QSL READ  <CT3FW>",
        "To ALL de IK8CNT: UA4WHX pse beaming south",
        "WWV de VE7CC <09>:   SFI=113, A=18, K=2, Minor w/G1 -> No Storms",
        "DX de UA3ZBK:    14170.0  UR8EW/QRP    POWER 2-GU81+SPYDER            1211Z",
    };
    return lines;
}

void BM_ParseMixedLines(benchmark::State& state) {
    korval::TSpotParser parser;
    korval::TSpotRecord spot;
    const auto& lines = Lines();
    std::size_t i = 0;
    for (auto _ : state) {
        for (int n = 0; n < 100000; ++n) {
            benchmark::DoNotOptimize(parser.ParseLine(lines[i], spot));
            if (++i == lines.size()) i = 0;
        }
    }
    state.SetItemsProcessed(state.iterations() * 100000);
}
BENCHMARK(BM_ParseMixedLines)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
