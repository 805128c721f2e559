// The display pass of a 1,000,000-block list onto a 1920 × 1080 picture, in
// both drawing modes. Aim: under 1 s in high quality, under 0.4 s in fast.

#include "ViewerBenchInput.h"

#include "viewer/QImageSurface.h"
#include "viewer/Rendering.h"

#include <benchmark/benchmark.h>

#include <sys/resource.h>

namespace mutaplot {
namespace {

void DisplayPass(benchmark::State& state, const char* quality) {
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
    controls.qualityText = quality;
    bench::NoPlatform platform;
    QImageSurface surface(1920, 1080, 96);
    for (auto _ : state) {
        RunDisplayPass(blocks, table, records, controls, 1, 0.0f, surface, platform, platform);
        benchmark::DoNotOptimize(surface.Image().constBits());
    }
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    state.counters["blocks"] = static_cast<double>(blocks.blockCount());
    state.counters["fileMB"] = static_cast<double>(blocks.textSize() + blocks.blockCount() * 2) / 1e6;
    state.counters["peakRssMB"] = static_cast<double>(usage.ru_maxrss) / 1e3;
}

void BM_DisplayPassHighQuality(benchmark::State& state) { DisplayPass(state, kQualityHighText); }
void BM_DisplayPassFast(benchmark::State& state) { DisplayPass(state, kQualityFastText); }

BENCHMARK(BM_DisplayPassHighQuality)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_DisplayPassFast)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
}  // namespace mutaplot

BENCHMARK_MAIN();
