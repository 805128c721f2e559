// A redraw of the viewer window by a zoom change: the 1,000,000-block list
// drawn into a 1920 × 1080 surface after a pick in the zoom list, next to the
// bare display pass onto a surface of the same size in the same run. Aim:
// the window's redraw at most 1.2 × the bare pass; peak memory at most
// 3 × the file.

#include "ViewerBenchInput.h"

#include "aperture/APTsettei.h"
#include "ui/AppState.h"
#include "viewer/DataView.h"
#include "viewer/PictureBox.h"
#include "viewer/QImageSurface.h"
#include "viewer/Rendering.h"

#include <QApplication>
#include <QComboBox>

#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <memory>

namespace mutaplot {
namespace {

// One list and one table for both benchmarks, built once.
struct Input {
    InputBlockList blocks = bench::BenchBlocks(1'000'000);
    ApertureTable table = bench::BenchApertureTable();
};
Input& SharedInput() {
    static Input input;
    return input;
}

// Peak resident memory of the process with Qt started and nothing else.
double gQtBaselineMB = 0;

double PeakRssMB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1e3;
}

void Counters(benchmark::State& state, const InputBlockList& blocks) {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const double fileMB = static_cast<double>(blocks.textSize() + blocks.blockCount() * 2) / 1e6;
    state.counters["fileMB"] = fileMB;
    state.counters["peakRssMB"] = static_cast<double>(usage.ru_maxrss) / 1e3;
    state.counters["rssPerFile"] = static_cast<double>(usage.ru_maxrss) / 1e3 / fileMB;
    // What the list, the pictures and the window add to a running Qt.
    state.counters["overQtPerFile"] = (static_cast<double>(usage.ru_maxrss) / 1e3 - gQtBaselineMB) / fileMB;
}

void BM_DisplayPassAlone(benchmark::State& state) {
    Input& in = SharedInput();
    ViewTransform transform;
    PlotState plot;
    std::string gCode;
    ArcGeometry arc;
    CurrentAperture aperture;
    ViewState view;
    PlotRecords records{transform, plot, gCode, arc, aperture, view};
    ViewControls controls;
    bench::NoPlatform platform;
    QImageSurface surface(1920, 1080, 96);
    int pick = 0;
    for (auto _ : state) {
        controls.zoomText = pick++ % 2 ? "１００％" : "２００％";
        RunDisplayPass(in.blocks, in.table, records, controls, 1, 0.0f, surface, platform, platform);
        benchmark::DoNotOptimize(surface.Image().constBits());
    }
    Counters(state, in.blocks);
}

void BM_WindowRedrawByZoomPick(benchmark::State& state) {
    Input& in = SharedInput();
    auto app = std::make_unique<AppState>();
    app->inputBlockList = std::move(in.blocks);
    app->apertureTable = in.table;
    app->settings.inputFormat = 1;
    bench::NoPlatform platform;
    QWidget owner;
    QPointer<APTsettei> editor;
    auto* window = new DataView(*app, platform, platform, ViewerLinks{nullptr, &editor, &owner});
    // A window of 1919 × 1129 pixels has a 1920 × 1080 surface.
    window->resize(1919, 1129);
    window->show();
    QApplication::processEvents();
    window->ViewRunView_Click();  // a completed pass: view changes redraw
    state.counters["surfaceW"] = window->pictureBox()->width();
    state.counters["surfaceH"] = window->pictureBox()->height();
    int pick = 0;
    for (auto _ : state) {
        window->Combo1->setCurrentIndex(pick++ % 2 ? 2 : 3);  // １００％ / ２００％
        window->Combo1_Click();
        benchmark::DoNotOptimize(window->pictureBox()->image().constBits());
    }
    Counters(state, app->inputBlockList);
    in.blocks = std::move(app->inputBlockList);
    delete window;
    delete editor.data();
}

// The window first, so that its peak memory is its own.
BENCHMARK(BM_WindowRedrawByZoomPick)->Unit(benchmark::kMillisecond)->Iterations(4);
BENCHMARK(BM_DisplayPassAlone)->Unit(benchmark::kMillisecond)->Iterations(4);

}  // namespace
}  // namespace mutaplot

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    {
        // Qt's own memory with a window shown, before any data.
        QWidget probe;
        probe.resize(100, 100);
        probe.show();
        QApplication::processEvents();
    }
    mutaplot::gQtBaselineMB = mutaplot::PeakRssMB();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
