// The DXF export of the display benchmark's 1,000,000-block list, as the
// viewer's command runs it: template, entities streamed to a temporary file
// beside the target, rename. Both forms. Aim: under 1 s, peak memory under
// 4 × the Gerber file.

#include "ViewerBenchInput.h"

#include "export/DxfExport.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>

#include <sys/resource.h>
#include <unistd.h>

namespace mutaplot {
namespace {

void Export(benchmark::State& state, bool ac1009, bool lineWidth) {
    const InputBlockList blocks = bench::BenchBlocks(1'000'000);
    const ApertureTable table = bench::BenchApertureTable();
    const auto folder = std::filesystem::temp_directory_path() /
                        ("mutaplot-bench-dxf-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    for (const char* name : {kDxfTemplateAc1003, kDxfTemplateAc1009})
        std::ofstream(folder / name, std::ios::binary) << "  0\r\nSECTION\r\n  2\r\nENTITIES\r\n  0\r\n";
    const auto target = folder / "out.dxf";

    ViewTransform transform;
    PlotState plot;
    std::string gCode;
    ArcGeometry arc;
    CurrentAperture aperture;
    ViewState view;
    PlotRecords records{transform, plot, gCode, arc, aperture, view};
    ViewControls controls;
    ConversionSettings settings;
    settings.inputFormat = 1;
    settings.dxfFormat = ac1009 ? 1 : 0;
    settings.dxfLineWidth = lineWidth ? 1 : 0;
    bench::NoPlatform platform;
    platform.saveTarget = target.string();
    std::vector<std::string> templateBuffer;
    for (auto _ : state) {
        const DxfExportResult result = RunDxfExport(blocks, table, records, controls, settings, folder,
                                                    templateBuffer, platform, platform);
        if (result != DxfExportResult::Written) state.SkipWithError("export failed");
    }
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    state.counters["fileMB"] = static_cast<double>(blocks.textSize() + blocks.blockCount() * 2) / 1e6;
    state.counters["dxfMB"] = static_cast<double>(std::filesystem::file_size(target)) / 1e6;
    state.counters["peakRssMB"] = static_cast<double>(usage.ru_maxrss) / 1e3;
    std::filesystem::remove_all(folder);
}

void BM_DxfAc1003(benchmark::State& state) { Export(state, false, false); }
void BM_DxfAc1009WithWidth(benchmark::State& state) { Export(state, true, true); }

BENCHMARK(BM_DxfAc1003)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_DxfAc1009WithWidth)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
}  // namespace mutaplot

BENCHMARK_MAIN();
