// Writes a large deterministic photoplotter file for benchmarks.
//
//   generate_gerber OUTPUT BLOCKS [--crlf|--lf|--cr|--none] [--no-star]
//                   [--no-header] [--ebcdic] [--seed N] [--rs274x] [--max N]
//
// --max N keeps coordinates in 0 … N counts (default 900000).
// --rs274x writes a file that defines its own apertures (%AD, %AM), with
// flashes and regions.

#include "GerberGenerator.h"

#include <charconv>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

bool ParseCount(const char* text, std::uint64_t& out) {
    const char* end = text + std::strlen(text);
    auto [ptr, ec] = std::from_chars(text, end, out);
    return ec == std::errc() && ptr == end;
}

int Usage() {
    std::fprintf(stderr,
                 "usage: generate_gerber OUTPUT BLOCKS [--crlf|--lf|--cr|--none] [--no-star]\n"
                 "                       [--no-header] [--ebcdic] [--seed N] [--rs274x] [--max N]\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    using namespace mutaplot::bench;
    if (argc < 3) return Usage();
    GerberOptions options;
    std::uint64_t count = 0;
    if (!ParseCount(argv[2], count)) return Usage();
    options.blocks = static_cast<std::size_t>(count);
    bool ebcdic = false;
    for (int i = 3; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--crlf") options.lineEnd = LineEnd::CrLf;
        else if (arg == "--lf") options.lineEnd = LineEnd::Lf;
        else if (arg == "--cr") options.lineEnd = LineEnd::Cr;
        else if (arg == "--none") options.lineEnd = LineEnd::None;
        else if (arg == "--no-star") options.endOfBlockStar = false;
        else if (arg == "--no-header") options.formatHeader = false;
        else if (arg == "--ebcdic") ebcdic = true;
        else if (arg == "--rs274x") options.rs274x = true;
        else if (arg == "--max" && i + 1 < argc) {
            std::uint64_t m = 0;
            if (!ParseCount(argv[++i], m) || m == 0 || m > 1'000'000'000) return Usage();
            options.maxCoordinate = static_cast<std::int64_t>(m);
        }
        else if (arg == "--seed" && i + 1 < argc) {
            if (!ParseCount(argv[++i], options.seed)) return Usage();
        } else {
            return Usage();
        }
    }
    std::string text = GenerateGerber(options);
    if (ebcdic) ToEbcdic(text);
    FILE* f = std::fopen(argv[1], "wb");
    if (!f) {
        std::perror(argv[1]);
        return 1;
    }
    const bool ok = std::fwrite(text.data(), 1, text.size(), f) == text.size();
    if (std::fclose(f) != 0 || !ok) {
        std::perror(argv[1]);
        return 1;
    }
    std::printf("%s: %zu blocks, %zu bytes\n", argv[1], options.blocks, text.size());
    return 0;
}
