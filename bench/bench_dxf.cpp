// The DXF export of a 1,000,000-block list in both forms. Aim: under 1 s.

#include "ViewerBenchInput.h"

#include "export/DxfExport.h"

#include <benchmark/benchmark.h>

#include <sys/resource.h>

namespace mutaplot {
namespace {

void Export(benchmark::State& state, DxfOptions options) {
    const InputBlockList blocks = bench::BenchBlocks(1'000'000);
    const ApertureTable table = bench::BenchApertureTable();
    ViewTransform transform;
    PlotState plot;
    std::string gCode;
    ArcGeometry arc;
    CurrentAperture aperture;
    ViewState view;
    PlotRecords records{transform, plot, gCode, arc, aperture, view};
    ViewControls controls;
    bench::NoPlatform dialogs;
    const std::vector<std::string> head = {"  0", "SECTION", "  2", "ENTITIES", "  0"};
    std::size_t bytes = 0;
    for (auto _ : state) {
        const std::string text =
            BuildDxfText(head, blocks, table, records, controls, 1, options, dialogs);
        bytes = text.size();
        benchmark::DoNotOptimize(text.data());
    }
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    state.counters["fileMB"] = static_cast<double>(blocks.textSize() + blocks.blockCount() * 2) / 1e6;
    state.counters["dxfMB"] = static_cast<double>(bytes) / 1e6;
    state.counters["peakRssMB"] = static_cast<double>(usage.ru_maxrss) / 1e3;
}

void BM_DxfAc1003(benchmark::State& state) { Export(state, DxfOptions{false, false}); }
void BM_DxfAc1009WithWidth(benchmark::State& state) { Export(state, DxfOptions{true, true}); }

BENCHMARK(BM_DxfAc1003)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_DxfAc1009WithWidth)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
}  // namespace mutaplot

BENCHMARK_MAIN();
