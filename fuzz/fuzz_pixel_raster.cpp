// Fuzzes the screen's pixel raster: each 50-byte record is one figure with
// coordinates, radius, angles and pen from the bytes (small values, and now
// and then huge, tiny, infinite or undefined ones) on a 37 × 23 picture with
// guard pixels around it. Checks that nothing is written outside the picture
// and that a figure drawn twice in exclusive-or leaves the picture as it was.
// Filled figures (a triangle and a quadrilateral in one part or two, the
// second cutting or adding, by either fill rule) must also ink each pixel
// once: drawn once in exclusive-or, every pixel holds its old value or the
// old value combined with the ink exactly once. A union of several
// quadrilaterals in one non-zero part, drawn in copy mode (contour by
// contour where they are convex and turn one way), must ink exactly the
// pixels that the general fill inks in exclusive-or.

#include "viewer/PixelRaster.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <vector>

namespace {

constexpr int kWidth = 37;
constexpr int kHeight = 23;
constexpr int kStride = kWidth + 5;
constexpr std::uint32_t kGuard = 0xFFABCDEF;

double Value(const std::uint8_t* p) {
    std::int32_t raw;
    std::memcpy(&raw, p + 1, sizeof raw);
    switch (p[0] % 8) {
    case 0: return std::numeric_limits<double>::infinity();
    case 1: return std::nan("");
    case 2: return raw * 1e9;
    case 3: return raw * 1e-9;
    default: return raw / 65536.0 * (p[0] % 2 ? 1 : -1) / 1024.0 * 64;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace mutaplot;
    // Two guard rows above and below, guard columns to the right.
    std::vector<std::uint32_t> buffer(static_cast<std::size_t>(kStride * (kHeight + 4)), kGuard);
    std::uint32_t* picture = buffer.data() + 2 * kStride;
    for (int j = 0; j < kHeight; ++j)
        for (int i = 0; i < kWidth; ++i) picture[j * kStride + i] = 0xFF000000u | (i * 7 + j * 13);
    PixelRaster raster(picture, kWidth, kHeight, kStride);
    constexpr std::size_t kRecord = 50;
    for (std::size_t at = 0; at + kRecord <= size; at += kRecord) {
        const std::uint8_t* r = data + at;
        const double v[8] = {Value(r + 2),  Value(r + 7),  Value(r + 12), Value(r + 17),
                             Value(r + 22), Value(r + 27), Value(r + 32), Value(r + 37)};
        const double pen = r[1] % 16 == 15 ? Value(r + 42) : r[1] % 16;
        const std::vector<std::uint32_t> before = buffer;
        for (int pass = 0; pass < 2; ++pass) {
            const PixelInk ink{0xFF000000u | (r[47] << 16 | r[48] << 8 | r[49]), PixelOp::Xor};
            // Arcs (5) give way to the union of quadrilaterals now and then.
            switch (r[0] % 7 == 5 && r[45] % 3 == 0 ? 7 : r[0] % 7) {
            case 6: {
                FilledFigure f;
                f.points = {{v[0], v[1]}, {v[2], v[3]}, {v[4], v[5]}};
                f.EndContour();
                if (r[46] % 2) f.EndPart(r[46] % 4 < 2 ? FillRule::NonZero : FillRule::EvenOdd, false);
                if (r[45] % 4 == 3) {
                    // One contour alone (the two-chain fill): the quadrilateral.
                    f.Clear();
                    f.points = {{v[0], v[1]}, {v[6], v[7]}, {v[2], v[3]}, {v[4], v[5]}};
                    f.EndContour();
                    f.EndPart(FillRule::NonZero, false);
                } else {
                    f.points.insert(f.points.end(), {{v[6], v[7]}, {v[0], v[7]}, {v[6], v[1]}, {v[2], v[5]}});
                    f.EndContour();
                    f.EndPart(r[46] % 8 < 4 ? FillRule::NonZero : FillRule::EvenOdd, r[45] % 2 == 1);
                }
                const double scale = r[44] % 2 ? 1.0 : pen + 0.5;
                if (pass == 0) {
                    const std::vector<std::uint32_t> old = buffer;
                    raster.FillFigure(f, scale, ink);
                    const std::uint32_t bits = ink.argb & 0x00FFFFFFu;
                    for (std::size_t k = 0; k < buffer.size(); ++k)
                        if (buffer[k] != old[k] && buffer[k] != (old[k] ^ bits)) std::abort();
                } else {
                    raster.FillFigure(f, scale, ink);
                }
                break;
            }
            case 7: {
                // Quadrilaterals around (v[0], v[1]) at each of four offsets.
                FilledFigure f;
                for (int q = 0; q < 4; ++q) {
                    const double ox = v[2] * q / 4, oy = v[3] * q / 4, s = 1 + r[40 + q] % 8;
                    const bool turnBack = r[44] % 5 == q;  // now and then one runs the other way
                    const SurfacePoint corners[4] = {{v[0] + ox - s, v[1] + oy - s / 2},
                                                     {v[0] + ox + s / 2, v[1] + oy - s},
                                                     {v[0] + ox + s, v[1] + oy + s * (r[46] % 3) / 2},
                                                     {v[0] + ox - s / 3, v[1] + oy + s}};
                    for (int k = 0; k < 4; ++k) f.points.push_back(corners[turnBack ? 3 - k : k]);
                    f.EndContour();
                }
                f.EndPart(FillRule::NonZero, false);
                if (pass == 0) {
                    const std::vector<std::uint32_t> old = buffer;
                    raster.FillFigure(f, 1.0, {0xFFF0F0F0u, PixelOp::Copy});
                    std::vector<std::uint32_t> copied = buffer;
                    buffer = old;
                    FilledFigure general = f;
                    general.EndPart(FillRule::NonZero, false);  // an empty part: the general fill
                    raster.FillFigure(general, 1.0, ink);
                    const std::uint32_t bits = ink.argb & 0x00FFFFFFu;
                    for (std::size_t k = 0; k < buffer.size(); ++k) {
                        if (buffer[k] != old[k] && buffer[k] != (old[k] ^ bits)) std::abort();
                        if (bits != 0 && (copied[k] != old[k]) != (buffer[k] != old[k])) std::abort();
                    }
                } else {
                    FilledFigure general = f;
                    general.EndPart(FillRule::NonZero, false);
                    raster.FillFigure(general, 1.0, ink);
                }
                break;
            }
            case 0: raster.Line(v[0], v[1], v[2], v[3], pen, ink); break;
            case 1: raster.Rectangle(v[0], v[1], v[2], v[3], pen, ink); break;
            case 2: raster.FilledRectangle(v[0], v[1], v[2], v[3], pen, ink); break;
            case 3: raster.Circle(v[0], v[1], v[4], pen, ink); break;
            case 4: raster.FilledCircle(v[0], v[1], v[4], pen, ink, ink); break;
            default: {
                double sweep = std::fmod(std::abs(v[6]), 6.283185307179586);
                if (!(sweep > 0)) sweep = 6.283185307179586;
                raster.Arc(v[0], v[1], v[4], v[5], sweep, pen, ink);
            }
            }
        }
        if (buffer != before) std::abort();
        // One figure in copy mode, then every guard must still be there.
        raster.Arc(v[0], v[1], v[4], v[5], 1.0 + r[46] % 6, pen, {0xFF00FF00u, PixelOp::Copy});
        raster.Line(v[2], v[3], v[0], v[1], pen, {0xFF0000FFu, PixelOp::Copy});
        for (std::size_t k = 0; k < buffer.size(); ++k) {
            const std::ptrdiff_t offset = static_cast<std::ptrdiff_t>(k) - 2 * kStride;
            const bool inside = offset >= 0 && offset < kStride * kHeight && offset % kStride < kWidth;
            if (!inside && buffer[k] != kGuard) std::abort();
        }
    }
    return 0;
}
