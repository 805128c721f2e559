// The display pass of a 1,000,000-block list onto a 1920 × 1080 picture, in
// both drawing modes. Aim: under 1 s in high quality, under 0.4 s in fast.
//
// The RS-274X pair: a 1,000,000-block file that defines its own apertures
// (inch 2.4, flashes, regions, macros) drawn with its own definitions and,
// in the same run, from the aperture list. Aim: the first at most 1.5 × the
// second.

#include "GerberGenerator.h"
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

// The file cut into blocks at "*" as the reader cuts it in "*" mode (line
// ends dropped), which keeps one-line macros whole.
InputBlockList Rs274xBlocks(std::size_t count) {
    bench::GerberOptions o;
    o.blocks = count;
    o.rs274x = true;
    o.lineEnd = bench::LineEnd::None;
    o.maxCoordinate = 110000;  // 11 inches: the picture's height
    const std::string text = bench::GenerateGerber(o);
    InputBlockList blocks;
    blocks.Reserve(count * 2, text.size());
    std::size_t start = 0;
    for (std::size_t k = 0; k <= text.size(); ++k) {
        if (k < text.size() && text[k] != '*') continue;
        if (k > start) blocks.Append(std::string_view(text).substr(start, k - start));
        start = k + 1;
    }
    return blocks;
}

void Rs274xPass(benchmark::State& state, ApertureSource source) {
    static const InputBlockList blocks = Rs274xBlocks(1'000'000);
    // An inch list of the file's sizes, for the list's run.
    ApertureTable table;
    for (int d = kFirstDCode; d <= kLastDCode; ++d) {
        switch (d % 4) {
        case 0: table.entries.push_back({"D", "0.010", "0.010", "0", kShapeRound}); break;
        case 1: table.entries.push_back({"D", "0.060", "0.060", "0", kShapeRectangle}); break;
        case 2: table.entries.push_back({"D", "0.050", "0.080", "0.012", kShapeThermalAxes}); break;
        default: table.entries.push_back({"D", "0.025", "0.025", "0", kShapeRound}); break;
        }
    }
    table.loaded = true;
    ViewTransform transform;
    PlotState plot;
    std::string gCode;
    ArcGeometry arc;
    CurrentAperture aperture;
    ViewState view;
    PlotRecords records{transform, plot, gCode, arc, aperture, view};
    ViewControls controls;
    controls.apertureSource = source;
    controls.inputSeparator = InputSeparator::Star;
    bench::NoPlatform platform;
    QImageSurface surface(1920, 1080, 96);
    constexpr int kInch24 = 8;
    for (auto _ : state) {
        RunDisplayPass(blocks, table, records, controls, kInch24, 0.0f, surface, platform, platform);
        benchmark::DoNotOptimize(surface.Image().constBits());
    }
    state.counters["blocks"] = static_cast<double>(blocks.blockCount());
}

void BM_DisplayPassRs274xFileApertures(benchmark::State& state) {
    Rs274xPass(state, ApertureSource::FileWhereDefined);
}
void BM_DisplayPassRs274xList(benchmark::State& state) { Rs274xPass(state, ApertureSource::List); }

BENCHMARK(BM_DisplayPassRs274xFileApertures)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_DisplayPassRs274xList)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_DisplayPassHighQuality(benchmark::State& state) { DisplayPass(state, kQualityHighText); }
void BM_DisplayPassFast(benchmark::State& state) { DisplayPass(state, kQualityFastText); }

BENCHMARK(BM_DisplayPassHighQuality)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_DisplayPassFast)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
}  // namespace mutaplot

BENCHMARK_MAIN();
