// Block reader benchmarks: a 1,000,000-block file (about 20 MB) read into the
// list, ASCII CR LF in each separator mode and EBCDIC.
//
//   bench_reader                         Google Benchmark runs (files generated in a temp folder)
//   bench_reader --measure FILE CODE SEP one read of FILE with inputCode CODE and
//                                        inputSeparator SEP: wall time and peak memory

#include "GerberGenerator.h"

#include "input/BlockReader.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/resource.h>
#include <unistd.h>

namespace {

using namespace mutaplot;

constexpr std::size_t kBlocks = 1000000;

class QuietPlatform final : public Dialogs, public Pointer {
public:
    MessageAnswer ShowMessage(const std::string& text, const std::string&, MessageButtons) override {
        std::fprintf(stderr, "message: %s\n", text.c_str());
        ++messages;
        return MessageAnswer::Ok;
    }
    std::string OpenFileName(const std::string&, FileDialogFlags) override { return {}; }
    std::string SaveFileName(const std::string&, FileDialogFlags) override { return {}; }
    std::optional<std::uint32_t> ChooseColour(std::uint32_t) override { return std::nullopt; }
    bool PrinterSetup() override { return false; }
    void ShowHelp(const std::string&) override {}
    void SetPointer(PointerShape) override {}
    void ProcessPendingEvents() override {}
    int messages = 0;
};

ConversionSettings Settings(int code, int separator) {
    ConversionSettings s;
    s.inputCode = static_cast<std::uint8_t>(code);
    s.inputSeparator = static_cast<std::uint8_t>(separator);
    return s;
}

// The benchmark files, written once per process into a temporary folder.
struct BenchFiles {
    std::filesystem::path folder;
    std::filesystem::path asciiCrLf, asciiLf, ebcdicCrLf;

    BenchFiles() {
        folder = std::filesystem::temp_directory_path() /
                 ("mutaplot-bench-" + std::to_string(::getpid()));
        std::filesystem::create_directories(folder);
        bench::GerberOptions o;
        o.blocks = kBlocks;
        std::string text = bench::GenerateGerber(o);
        asciiCrLf = Write("ascii-crlf.gbr", text);
        bench::ToEbcdic(text);
        ebcdicCrLf = Write("ebcdic-crlf.gbr", text);
        o.lineEnd = bench::LineEnd::Lf;
        asciiLf = Write("ascii-lf.gbr", bench::GenerateGerber(o));
    }
    ~BenchFiles() {
        std::error_code ec;
        std::filesystem::remove_all(folder, ec);
    }
    std::filesystem::path Write(const char* name, const std::string& bytes) {
        const auto p = folder / name;
        std::ofstream(p, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        return p;
    }
};

BenchFiles& Files() {
    static BenchFiles files;
    return files;
}

void RunRead(benchmark::State& state, const std::filesystem::path& path, int code, int separator) {
    QuietPlatform platform;
    const auto settings = Settings(code, separator);
    const auto size = std::filesystem::file_size(path);
    for (auto _ : state) {
        InputBlockList blocks;
        if (ReadBlockFile(path, settings, blocks, ReaderEntry::MainWindow, platform, platform,
                          nullptr) != ReadOutcome::Read) {
            state.SkipWithError("read failed");
            break;
        }
        benchmark::DoNotOptimize(blocks.blockCount());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * size));
}

void BM_ReadAsciiCrLfCrMode(benchmark::State& s) { RunRead(s, Files().asciiCrLf, 1, 1); }
void BM_ReadAsciiLfLfMode(benchmark::State& s) { RunRead(s, Files().asciiLf, 1, 2); }
void BM_ReadAsciiCrLfStarMode(benchmark::State& s) { RunRead(s, Files().asciiCrLf, 1, 3); }
void BM_ReadEbcdicCrLfCrMode(benchmark::State& s) { RunRead(s, Files().ebcdicCrLf, 2, 1); }
void BM_ReadEbcdicCrLfStarMode(benchmark::State& s) { RunRead(s, Files().ebcdicCrLf, 2, 3); }

BENCHMARK(BM_ReadAsciiCrLfCrMode)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadAsciiLfLfMode)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadAsciiCrLfStarMode)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadEbcdicCrLfCrMode)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadEbcdicCrLfStarMode)->Unit(benchmark::kMillisecond);

long PeakRssKb() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

int Measure(const char* file, int code, int separator) {
    QuietPlatform platform;
    InputBlockList blocks;
    const long before = PeakRssKb();
    const auto start = std::chrono::steady_clock::now();
    const ReadOutcome outcome = ReadBlockFile(file, Settings(code, separator), blocks,
                                              ReaderEntry::MainWindow, platform, platform, nullptr);
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const long peak = PeakRssKb();
    const double size = static_cast<double>(std::filesystem::file_size(file));
    // ru_maxrss is in KiB; sizes are printed in MB (10^6 bytes).
    std::printf("%s: %s, %zu blocks, %.3f s, peak RSS %.1f MB (%.1f MB before), "
                "file %.1f MB, peak/file %.2f\n",
                file, outcome == ReadOutcome::Read ? "read" : "FAILED", blocks.blockCount(),
                seconds, peak * 1024.0 / 1e6, before * 1024.0 / 1e6, size / 1e6,
                peak * 1024.0 / size);
    return outcome == ReadOutcome::Read ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 5 && std::string(argv[1]) == "--measure")
        return Measure(argv[2], std::atoi(argv[3]), std::atoi(argv[4]));
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
