#pragma once
// Deterministic generator of realistic photoplotter (Gerber RS-274-D) text for
// benchmarks and large-file tests: aperture selects (G54D10), moves and draws
// (X…Y…D02 / D01, sometimes one coordinate left out), clockwise and
// counter-clockwise arcs with I/J (G02 / G03), comments (G04), an optional
// format statement and unit at the start, M02 at the end. The same options
// always give the same bytes.
//
// With `rs274x` the file defines its own apertures: a header of %FS, %MO,
// two aperture macros and %AD definitions of D10 … D30 (circles, rectangles,
// obrounds, polygons, a round hole, the macros), G75, and a body that also
// flashes pads (D03) and fills small regions (G36 … G37).

#include "input/Charcode.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace mutaplot::bench {

enum class LineEnd { None, Lf, Cr, CrLf };

struct GerberOptions {
    std::size_t blocks = 1000;       // blocks in the file, header and M02 included
    std::uint64_t seed = 1;
    bool endOfBlockStar = true;      // each block ends with "*"
    LineEnd lineEnd = LineEnd::CrLf; // after each block
    bool formatHeader = true;        // "*%FSLAX24Y24*%" and "*%MOIN*%" first
    std::int64_t maxCoordinate = 900000;  // coordinates stay in 0 … maxCoordinate counts
    bool rs274x = false;             // the file's own apertures, flashes and regions
};

// The parameter blocks of an RS-274X file's header (inch, 2.4): D10 … D30.
inline std::vector<std::string> Rs274xHeader() {
    std::vector<std::string> h = {"%FSLAX24Y24*%", "%MOIN*%",
                                  "%AMTHERMAL*7,0,0,$1,$2,$3,45*%",
                                  "%AMPADHOLE*$2=$1x0.5*1,1,$1,0,0*21,1,$1,$2,0,0,30*1,0,$2,0,0*%"};
    static const char* const kShapes[] = {"C,0.010", "C,0.008",  "R,0.060X0.060", "O,0.080X0.050",
                                          "P,0.070X6", "C,0.050X0.020", "THERMAL,0.080X0.050X0.012",
                                          "PADHOLE,0.06", "R,0.030X0.090", "C,0.025"};
    for (int d = 10; d <= 30; ++d)
        h.push_back("%ADD" + std::to_string(d) + kShapes[(d - 10) % std::size(kShapes)] + "*%");
    h.push_back("G75");
    return h;
}

// A small, fast, fixed pseudo-random sequence (splitmix64).
class GeneratorRandom {
public:
    explicit GeneratorRandom(std::uint64_t seed) : state_(seed) {}
    std::uint64_t Next() {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // 0 … n − 1
    std::int64_t Below(std::int64_t n) { return static_cast<std::int64_t>(Next() % static_cast<std::uint64_t>(n)); }

private:
    std::uint64_t state_;
};

// The block texts, without "*" and line ends.
inline std::vector<std::string> GenerateGerberBlocks(const GerberOptions& o) {
    std::vector<std::string> blocks;
    blocks.reserve(o.blocks);
    GeneratorRandom rnd(o.seed);
    std::int64_t x = o.maxCoordinate / 2, y = o.maxCoordinate / 2;
    auto coordinate = [&](std::int64_t& v, std::int64_t step) {
        v += rnd.Below(2 * step + 1) - step;
        if (v < 0) v = -v;
        if (v > o.maxCoordinate) v = 2 * o.maxCoordinate - v;
        return std::to_string(v);
    };
    if (o.rs274x) {
        for (std::string& b : Rs274xHeader()) blocks.push_back(std::move(b));
    } else if (o.formatHeader && o.blocks >= 3) {
        blocks.push_back("*%FSLAX24Y24*%");
        blocks.push_back("*%MOIN*%");
    }
    bool circular = false;
    const std::size_t body = o.blocks > blocks.size() + 1 ? o.blocks - blocks.size() - 1 : 0;
    for (std::size_t i = 0; i < body; ++i) {
        const std::int64_t kind = rnd.Below(100);
        std::string b;
        if (o.rs274x && kind >= 8 && circular) {
            b += "G01";  // the arcs left the circular mode on
            circular = false;
        }
        if (o.rs274x && kind >= 20 && kind < 21 && i + 6 < body) {
            // A small region: a quadrilateral around the current point.
            blocks.push_back("G36");
            blocks.push_back("X" + coordinate(x, 4000) + "Y" + coordinate(y, 4000) + "D02");
            blocks.push_back("X" + coordinate(x, 4000) + "D01");
            blocks.push_back("Y" + coordinate(y, 4000) + "D01");
            blocks.push_back("X" + coordinate(x, 4000) + "Y" + coordinate(y, 4000) + "D01");
            blocks.push_back("G37");
            i += 5;
            continue;
        }
        // Built by appending (no "literal" + string temporaries).
        if (i == 0 || kind < 2) {
            b += "G54D";
            b += std::to_string(10 + rnd.Below(21));
        } else if (kind < 3) {
            b += "G04 NET-";
            b += std::to_string(rnd.Below(100000));
            b += " TRACE";
        } else if (kind < 8) {
            const std::int64_t r = 100 + rnd.Below(2000);
            b += kind < 5 ? "G02X" : "G03X";
            circular = true;
            b += coordinate(x, 3000);
            b += 'Y';
            b += coordinate(y, 3000);
            b += 'I';
            b += std::to_string(r);
            b += 'J';
            b += std::to_string(rnd.Below(r + 1));
            b += "D01";
        } else if (kind < 14) {
            b += 'X';  // Y left out: unchanged
            b += coordinate(x, 5000);
            b += "D01";
        } else if (kind < 20) {
            b += 'Y';
            b += coordinate(y, 5000);
            b += "D01";
        } else {
            b += 'X';
            b += coordinate(x, 20000);
            b += 'Y';
            b += coordinate(y, 20000);
            b += kind < 45 ? "D02" : (o.rs274x && kind >= 80) ? "D03" : "D01";
        }
        blocks.push_back(std::move(b));
    }
    if (o.blocks > 0) blocks.push_back("M02");
    blocks.resize(o.blocks);
    return blocks;
}

// The whole file as ASCII text.
inline std::string GenerateGerber(const GerberOptions& o) {
    const char* end = o.lineEnd == LineEnd::CrLf ? "\r\n"
                      : o.lineEnd == LineEnd::Cr ? "\r"
                      : o.lineEnd == LineEnd::Lf ? "\n"
                                                 : "";
    std::string text;
    text.reserve(o.blocks * 22);
    for (const std::string& b : GenerateGerberBlocks(o)) {
        text += b;
        // Format statements carry their own "*" inside the "%" pair.
        if (o.endOfBlockStar && (b.empty() || b.back() != '%')) text += '*';
        else if (o.rs274x && !b.empty() && b.back() != '%') text += '*';
        text += end;
    }
    return text;
}

// Translates ASCII text to EBCDIC bytes in place.
inline void ToEbcdic(std::string& text) {
    const auto table = BuildAsciiToEbcdic();
    for (char& c : text) c = static_cast<char>(table[static_cast<unsigned char>(c)]);
}

}  // namespace mutaplot::bench
