// Conversion benchmarks: the pass alone over 1,000,000 blocks (about 20 MB),
// and `mutaplot-cli convert` end to end (read, convert, write) beside a plain
// `cp` of the same file, with the peak memory of the command.

#include "convert/ConversionPass.h"
#include "convert/OutputWriter.h"

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

extern char** environ;

namespace {

using namespace mutaplot;

constexpr std::size_t kBlocks = 1'000'000;

// A deterministic mix of the blocks a CAD system writes: draws, moves, single
// axis moves, arcs, aperture selections and comments; inch(2.4) leading zeros
// omitted.
class BlockGenerator {
public:
    std::string Next() {
        const std::uint32_t kind = Draw() % 100;
        std::string b;
        const auto word = [&](const char* letter) {
            b += letter;
            b += std::to_string(Draw() % 1000000);
        };
        if (kind < 55) word("X"), word("Y"), b += "D01";
        else if (kind < 70) word("X"), word("Y"), b += "D02";
        else if (kind < 80) word("X"), b += "D01";
        else if (kind < 88) word("Y"), b += "D01";
        else if (kind < 94) word("G03X"), word("Y"), word("I"), word("J-"), b += "D01";
        else if (kind < 97) b += "G54D", b += std::to_string(10 + Draw() % 40);
        else if (kind < 99) b += "D02";
        else word("G04 pad ");
        return b;
    }

private:
    std::uint32_t Draw() {
        state_ = state_ * 6364136223846793005ULL + 1442695040888963407ULL;
        return static_cast<std::uint32_t>(state_ >> 33);
    }
    std::uint64_t state_ = 12345;
};

ConversionSettings BenchSettings() {
    ConversionSettings s;
    s.inputFormat = 8;
    s.inputZeroMode = 1;
    s.inputUnit = 2;
    s.inputSeparator = 3;
    s.inputCode = 1;
    s.outputCode = 1;
    s.outputFormat = 1;
    s.outputZeroMode = 1;
    s.outputUnit = 1;
    s.omitSameCoordinates = 1;
    s.outputHeader = 1;
    s.lineBreak = 4;
    s.outputEob = 1;
    s.modal = 2;
    return s;
}

const BlockList& InputBlocks() {
    static const BlockList blocks = [] {
        BlockList list;
        BlockGenerator gen;
        list.Reserve(kBlocks + 1, kBlocks * 20);
        for (std::size_t k = 0; k < kBlocks; ++k) list.Append(gen.Next());
        return list;
    }();
    return blocks;
}

void BM_ConversionPass(benchmark::State& st) {
    const BlockList& input = InputBlocks();
    ConverterState state;
    std::string gcode;
    BlockList output;
    for (auto _ : st) {
        ConversionSettings s = BenchSettings();
        ConvertBlocks(input, s, state, gcode, output);
        benchmark::DoNotOptimize(output.textSize());
    }
    st.counters["blocks"] = static_cast<double>(input.blockCount());
    st.counters["MB_in"] = static_cast<double>(input.textSize()) / 1e6;
    st.SetItemsProcessed(static_cast<std::int64_t>(st.iterations() * input.blockCount()));
}
BENCHMARK(BM_ConversionPass)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// The same blocks behind an RS-274X header as CAD programs write it, cut in
// "*" mode: format and unit statements, two aperture macros, 40 aperture
// definitions; a polarity block every 1000 blocks.
const BlockList& Rs274xBlocks() {
    static const BlockList blocks = [] {
        BlockList list;
        const BlockList& body = InputBlocks();
        list.Reserve(body.blockCount() + 3000, body.textSize() + 40000);
        for (const char* b : {"%FSLAX24Y24", "%%MOIN", "%%AMOC8", "5,1,8,0,0,1.08239X$1,22.5",
                              "%%AMRoundRect", "0 Rectangle with rounded corners",
                              "4,1,4,$2,$3,$4,$5,$6,$7,$8,$9,$2,$3,0", "1,1,$1+$1,$2,$3",
                              "1,1,$1+$1,$4,$5", "20,1,$1+$1,$2,$3,$4,$5,0", "%"})
            list.Append(b);
        for (int d = 10; d < 50; ++d) {
            const std::string code = std::to_string(d);
            list.Append(d % 4 == 0   ? "%ADD" + code + "C,0.0" + code
                        : d % 4 == 1 ? "%ADD" + code + "R,0.0" + code + "X0.02"
                        : d % 4 == 2 ? "%ADD" + code + "OC8,0.0" + code
                                     : "%ADD" + code + "RoundRect,0.01X-0.02X0.03X0.04X0.05X0.06X0.07X0.08X0.09");
            list.Append("%");
        }
        for (std::size_t k = 0; k < body.blockCount(); ++k) {
            if (k % 1000 == 999) {
                list.Append(k % 2000 == 999 ? "%LPC" : "%LPD");
                list.Append("%");
            }
            list.Append(body[k]);
        }
        return list;
    }();
    return blocks;
}

// outputParameters 2 (dropped) and 1 (kept, lengths into mm).
void BM_ConversionPassRs274x(benchmark::State& st) {
    const BlockList& input = Rs274xBlocks();
    ConverterState state;
    std::string gcode;
    BlockList output;
    for (auto _ : st) {
        ConversionSettings s = BenchSettings();
        s.outputParameters = static_cast<std::uint8_t>(st.range(0));
        ConvertBlocks(input, s, state, gcode, output);
        benchmark::DoNotOptimize(output.textSize());
    }
    st.counters["blocks"] = static_cast<double>(input.blockCount());
    st.counters["out_blocks"] = static_cast<double>(output.blockCount());
    st.SetItemsProcessed(static_cast<std::int64_t>(st.iterations() * input.blockCount()));
}
BENCHMARK(BM_ConversionPassRs274x)->Arg(2)->Arg(1)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_JoinOutputText(benchmark::State& st) {
    ConversionSettings s = BenchSettings();
    ConverterState state;
    std::string gcode;
    BlockList output;
    ConvertBlocks(InputBlocks(), s, state, gcode, output);
    for (auto _ : st) benchmark::DoNotOptimize(ComposeOutputFile(output, s));
}
BENCHMARK(BM_JoinOutputText)->Unit(benchmark::kMillisecond);

std::filesystem::path ProgramFolder() {
    return std::filesystem::read_symlink("/proc/self/exe").parent_path();
}

struct ChildRun {
    double seconds = 0;
    long peakKiB = 0;
    int status = -1;
};

ChildRun Spawn(const std::vector<std::string>& args) {
    std::vector<char*> argv;
    for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    ChildRun run;
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    if (posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) return run;
    struct rusage usage {};
    int status = 0;
    wait4(pid, &status, 0, &usage);
    run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    run.peakKiB = usage.ru_maxrss;
    run.status = status;
    posix_spawn_file_actions_destroy(&actions);
    return run;
}

struct EndToEndFiles {
    std::filesystem::path folder, input, settings, output, copy;
    std::uintmax_t inputBytes = 0;
};

const EndToEndFiles& Files() {
    static const EndToEndFiles files = [] {
        EndToEndFiles f;
        f.folder = std::filesystem::temp_directory_path() / ("mutaplot-bench-" + std::to_string(getpid()));
        std::filesystem::create_directories(f.folder);
        f.input = f.folder / "in.gbr";
        f.settings = f.folder / "mutapl.ini";
        f.output = f.folder / "out.gbr";
        f.copy = f.folder / "copy.gbr";
        {
            std::ofstream out(f.input, std::ios::binary);
            const BlockList& blocks = InputBlocks();
            std::string text;
            text.reserve(blocks.textSize() + blocks.blockCount() * 3);
            for (std::size_t k = 0; k < blocks.blockCount(); ++k) {
                text += blocks[k];
                text += "*\r\n";
            }
            out << text;
        }
        // inch(2.4) leading, "*" separated, ASCII -> mm(4.3) leading, omission,
        // header, CR LF, EOB, modal.
        std::ofstream ini(f.settings, std::ios::binary);
        const char* lines[26] = {"", "8", "1", "2", "3", "1", "2", "", "1", "1", "1", "1", "1",
                                 "1", "4", "1", "2", "1", "", "0", "0", "0", "0", "16777215",
                                 "0", "0"};
        for (const char* line : lines) ini << line << "\r\n";
        f.inputBytes = std::filesystem::file_size(f.input);
        return f;
    }();
    return files;
}

void BM_EndToEndCli(benchmark::State& st) {
    const EndToEndFiles& f = Files();
    const std::string cli = (ProgramFolder() / "mutaplot-cli").string();
    ChildRun run;
    for (auto _ : st) {
        run = Spawn({cli, "convert", "--settings", f.settings.string(), f.input.string(),
                     f.output.string()});
        st.SetIterationTime(run.seconds);
    }
    if (run.status != 0) st.SkipWithError("mutaplot-cli convert failed");
    st.counters["MB_in"] = static_cast<double>(f.inputBytes) / 1e6;
    st.counters["peak_MB"] = static_cast<double>(run.peakKiB) / 1024.0;
    st.counters["peak_x_file"] = static_cast<double>(run.peakKiB) * 1024.0 / static_cast<double>(f.inputBytes);
}
BENCHMARK(BM_EndToEndCli)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_PlainCopy(benchmark::State& st) {
    const EndToEndFiles& f = Files();
    for (auto _ : st) {
        std::filesystem::remove(f.copy);
        const ChildRun run = Spawn({"cp", f.input.string(), f.copy.string()});
        st.SetIterationTime(run.seconds);
    }
    st.counters["MB_in"] = static_cast<double>(f.inputBytes) / 1e6;
}
BENCHMARK(BM_PlainCopy)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::error_code ec;
    std::filesystem::remove_all(std::filesystem::temp_directory_path() /
                                    ("mutaplot-bench-" + std::to_string(getpid())),
                                ec);
    return 0;
}
