// Aperture list benchmarks: loading an .apt file of 100,000 records (the
// table takes them all), saving the 491 that count, and the editor: opening
// it over the table and scrolling through its 491 rows, and opening it over
// the 100,000 entries of the large file. The windows run offscreen unless a
// platform is set.

#include "ViewerBenchInput.h"

#include "aperture/APTsettei.h"
#include "aperture/AptFile.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QCoreApplication>
#include <QScrollBar>
#include <QTableView>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

namespace {

using namespace mutaplot;

constexpr std::size_t kLargeRecords = 100000;

// A folder with fast.apt (491 records) and large.apt (100,000 records,
// quoted and unquoted fields mixed, sizes with trailing zeros).
class AptFiles {
public:
    AptFiles() {
        folder_ = std::filesystem::temp_directory_path() / ("mutaplot-bench-apt-" + std::to_string(::getpid()));
        std::filesystem::create_directories(folder_);
        Write("fast.apt", Records(kApertureCount));
        Write("large.apt", Records(kLargeRecords));
    }
    ~AptFiles() {
        std::error_code ec;
        std::filesystem::remove_all(folder_, ec);
    }
    const std::filesystem::path& folder() const { return folder_; }

private:
    static std::string Records(std::size_t count) {
        std::string s;
        s.reserve(count * 40);
        for (std::size_t i = 0; i < count; ++i) {
            const std::string size = std::to_string(i % 997) + ".250";
            if (i % 2)
                s += "\"D" + std::to_string(i + 10) + "\",\"" + size + "\",\"" + size + "\",\"0\",\"\x81\x9B\"\r\n";
            else
                s += "\"D" + std::to_string(i + 10) + "\", " + size + " , " + size + ",0,\"\x81\xA0\"\r\n";
        }
        return s;
    }
    void Write(const char* name, const std::string& bytes) {
        std::ofstream(folder_ / name, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
    std::filesystem::path folder_;
};

AptFiles& Files() {
    static AptFiles files;
    return files;
}

void EnsureApplication() {
    if (QApplication::instance()) return;
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static int argc = 1;
    static char name[] = "bench_aperture";
    static char* argv[] = {name, nullptr};
    new QApplication(argc, argv);
}

void BM_LoadLargeAptFile(benchmark::State& state) {
    const auto path = Files().folder() / "large.apt";
    for (auto _ : state) {
        ApertureTable table;
        if (LoadAptFile(path, table) != AptFileOutcome::Ok || table.entries.size() != kLargeRecords)
            state.SkipWithError("large.apt did not load whole");
        benchmark::DoNotOptimize(table.entries.data());
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * kLargeRecords));
}
BENCHMARK(BM_LoadLargeAptFile)->Unit(benchmark::kMillisecond);

void BM_SaveAptFile(benchmark::State& state) {
    ApertureTable table;
    LoadAptFile(Files().folder() / "large.apt", table);
    const auto path = Files().folder() / "saved.apt";
    for (auto _ : state)
        if (SaveAptFile(path, table) != AptFileOutcome::Ok) state.SkipWithError("save failed");
}
BENCHMARK(BM_SaveAptFile)->Unit(benchmark::kMillisecond);

// Opening alone: load fast.apt, show, paint once.
void BM_OpenEditor(benchmark::State& state) {
    EnsureApplication();
    bench::NoPlatform platform;
    for (auto _ : state) {
        ApertureTable table;
        auto editor = std::make_unique<APTsettei>(table, Files().folder(), platform, platform);
        editor->show();
        editor->AlignTitleColumns();
        QCoreApplication::processEvents();
        editor->MSFlexGrid1->viewport()->repaint();
    }
}
BENCHMARK(BM_OpenEditor)->Unit(benchmark::kMillisecond);

// Opening: the editor loads fast.apt, is shown and painted once; then every
// one of its 491 rows is scrolled to the top and the grid repainted.
void BM_OpenEditorAndScroll491Rows(benchmark::State& state) {
    EnsureApplication();
    bench::NoPlatform platform;
    for (auto _ : state) {
        ApertureTable table;
        auto editor = std::make_unique<APTsettei>(table, Files().folder(), platform, platform);
        editor->show();
        editor->AlignTitleColumns();
        QCoreApplication::processEvents();
        QScrollBar* bar = editor->MSFlexGrid1->verticalScrollBar();
        for (int row = 0; row <= bar->maximum(); ++row) {
            bar->setValue(row);
            editor->MSFlexGrid1->viewport()->repaint();
        }
        if (table.entries.size() != kApertureCount) state.SkipWithError("fast.apt did not load");
    }
    // Rows per second: one scroll step and repaint per row.
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * kApertureCount));
}
BENCHMARK(BM_OpenEditorAndScroll491Rows)->Unit(benchmark::kMillisecond);

// The editor over a table of 100,000 entries: open, show, jump to the end.
void BM_OpenEditorOverLargeTable(benchmark::State& state) {
    EnsureApplication();
    bench::NoPlatform platform;
    ApertureTable table;
    LoadAptFile(Files().folder() / "large.apt", table);
    for (auto _ : state) {
        auto editor = std::make_unique<APTsettei>(table, Files().folder(), platform, platform);
        editor->show();
        QCoreApplication::processEvents();
        editor->SetCurrentRow(static_cast<int>(kLargeRecords));
        editor->MSFlexGrid1->scrollToBottom();
        editor->MSFlexGrid1->viewport()->repaint();
    }
}
BENCHMARK(BM_OpenEditorOverLargeTable)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
