#include "viewer/PixelRaster.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <string>
#include <vector>

namespace mutaplot {
namespace {

constexpr std::uint32_t kPaper = 0xFFFFFFFF;
constexpr std::uint32_t kInk = 0xFF000000;
constexpr std::uint32_t kGuard = 0xFF123456;
constexpr double kQuarter = 1.5707963267948966;

// A picture with a guard column on the right of every row (the stride is
// one wider than the picture), so that writes past the edge show.
struct Canvas {
    Canvas(int w, int h) : width(w), height(h), pixels(static_cast<std::size_t>((w + 1) * h), kPaper) {
        for (int j = 0; j < h; ++j) pixels[static_cast<std::size_t>(j * (w + 1) + w)] = kGuard;
    }
    PixelRaster Raster() { return PixelRaster(pixels.data(), width, height, width + 1); }
    std::uint32_t At(int i, int j) const { return pixels[static_cast<std::size_t>(j * (width + 1) + i)]; }
    bool Inked(int i, int j) const { return At(i, j) != kPaper; }
    int Count() const {
        int n = 0;
        for (int j = 0; j < height; ++j)
            for (int i = 0; i < width; ++i) n += Inked(i, j);
        return n;
    }
    // Inked columns of one row, as text ("9-19" or "5,13").
    std::string Row(int j) const {
        std::string out;
        for (int i = 0; i < width; ++i) {
            if (!Inked(i, j) || (i > 0 && Inked(i - 1, j))) continue;
            int last = i;
            while (last + 1 < width && Inked(last + 1, j)) ++last;
            if (!out.empty()) out += ',';
            out += std::to_string(i);
            if (last > i) {
                out += '-';
                out += std::to_string(last);
            }
        }
        return out;
    }
    bool GuardsIntact() const {
        for (int j = 0; j < height; ++j)
            if (pixels[static_cast<std::size_t>(j * (width + 1) + width)] != kGuard) return false;
        return true;
    }
    int width;
    int height;
    std::vector<std::uint32_t> pixels;
};

const PixelInk kCopy{kInk, PixelOp::Copy};

TEST(PixelRasterTest, RectanglesCoverTheirPenOnBothSides) {
    // Corners 10 and 20 with a one-pixel pen: the band [9.5, 20.5) holds the
    // centres of pixels 9 … 19.
    Canvas filled(32, 32);
    filled.Raster().FilledRectangle(20, 20, 10, 10, 1, kCopy);
    EXPECT_EQ(filled.Count(), 11 * 11);
    EXPECT_EQ(filled.Row(9), "9-19");
    EXPECT_EQ(filled.Row(19), "9-19");
    EXPECT_EQ(filled.Row(20), "");

    Canvas outline(32, 32);
    outline.Raster().Rectangle(10, 10, 20, 20, 1, kCopy);
    EXPECT_EQ(outline.Row(9), "9-19");
    EXPECT_EQ(outline.Row(14), "9,19");
    EXPECT_EQ(outline.Count(), 2 * 11 + 2 * 9);

    // A pen of 3 on the same corners: bands [8.5, 11.5) and [18.5, 21.5).
    Canvas wide(32, 32);
    wide.Raster().Rectangle(10, 10, 20, 20, 3, kCopy);
    EXPECT_EQ(wide.Row(8), "8-20");
    EXPECT_EQ(wide.Row(14), "8-10,18-20");
}

TEST(PixelRasterTest, SpansOfEveryShortLengthInkExactlyTheirPixels) {
    // Short spans are written in overlapping blocks of four pixels: every
    // length up to past 16, at every start, inks its own pixels and no other.
    for (int length = 1; length <= 19; ++length) {
        for (int start = 0; start + length <= 24; start += 1) {
            Canvas c(24, 1);
            // A band of width `length` (no pen): centres start + ½ … start + length − ½.
            c.Raster().FilledRectangle(start + 0.5, 0.25, start + length - 0.5, 0.75, 1, kCopy);
            const std::string expected =
                length == 1 ? std::to_string(start) : std::to_string(start) + "-" + std::to_string(start + length - 1);
            ASSERT_EQ(c.Row(0), expected) << "length " << length << " start " << start;
            ASSERT_TRUE(c.GuardsIntact());
        }
    }
}

TEST(PixelRasterTest, LinesInkOnePixelAcrossOrTheirPenWidthWithRoundEnds) {
    Canvas c(32, 32);
    // On the border y = 5 the thin line takes the row above, as the band
    // [4.5, 5.5) of a rectangle edge at 5 does.
    c.Raster().Line(10, 5, 20, 5, 1, kCopy);
    EXPECT_EQ(c.Row(4), "9-19");
    EXPECT_EQ(c.Count(), 11);

    // A diagonal inks one pixel per column, both ends included.
    Canvas d(8, 8);
    d.Raster().Line(0.5, 0.5, 4.5, 4.5, 1, kCopy);
    EXPECT_EQ(d.Count(), 5);
    for (int k = 0; k <= 4; ++k) EXPECT_TRUE(d.Inked(k, k)) << k;
    // Steep: one pixel per row, from row 1 to row 6.
    Canvas s(8, 8);
    s.Raster().Line(2.5, 1.5, 3.5, 6.5, 1, kCopy);
    EXPECT_EQ(s.Count(), 6);
    // A line of no length leaves its dot.
    Canvas p(8, 8);
    p.Raster().Line(3.2, 4.7, 3.2, 4.7, 1, kCopy);
    EXPECT_EQ(p.Count(), 1);
    EXPECT_TRUE(p.Inked(3, 4));

    // Pen 2 along y = 5: rows 4 and 5 (centres 4.5, 5.5); each row reaches
    // 0.866 beyond the ends (√(1 − 0.5²)), so columns 9 … 20.
    Canvas w2(32, 32);
    w2.Raster().Line(10, 5, 20, 5, 2, kCopy);
    EXPECT_EQ(w2.Row(3), "");
    EXPECT_EQ(w2.Row(4), "9-20");
    EXPECT_EQ(w2.Row(5), "9-20");
    EXPECT_EQ(w2.Row(6), "");
    // Pen 3: exactly three rows, however the line sits between them.
    for (double y : {5.0, 5.25, 5.5}) {
        Canvas w3(32, 32);
        w3.Raster().Line(10, y, 20, y, 3, kCopy);
        int rows = 0;
        for (int j = 0; j < 32; ++j) rows += !w3.Row(j).empty();
        EXPECT_EQ(rows, 3) << y;
    }
    // A wide line of no length is a disc.
    Canvas dot(16, 16);
    dot.Raster().Line(8, 8, 8, 8, 4, kCopy);
    EXPECT_EQ(dot.Row(7), "6-9");
    EXPECT_EQ(dot.Row(6), "7-8");  // dy −1.5: √(4 − 2.25) = 1.32 either side of 8
    EXPECT_EQ(dot.Row(5), "");
}

TEST(PixelRasterTest, FilledCircleSplitsIntoOutlineAndInside) {
    // Centre (10, 10), radius 4, pen 1: outline ring [3.5, 4.5), inside < 3.5.
    // Row 9 (dy −0.5): the ring reaches √20 = 4.47 and its hole √12 = 3.46
    // either side of 10, so the centres 6.5 and 13.5 are outline and 7.5 …
    // 12.5 inside.
    Canvas c(21, 21);
    const PixelInk outline{0xFFFF0000, PixelOp::Copy};
    const PixelInk inside{0xFF0000FF, PixelOp::Copy};
    c.Raster().FilledCircle(10, 10, 4, 1, outline, inside);
    EXPECT_EQ(c.At(6, 9), outline.argb);
    EXPECT_EQ(c.At(13, 9), outline.argb);
    for (int i = 7; i <= 12; ++i) EXPECT_EQ(c.At(i, 9), inside.argb) << i;
    EXPECT_EQ(c.At(5, 9), kPaper);
    EXPECT_EQ(c.At(14, 9), kPaper);
    // The circle outline alone is the same ring.
    Canvas ring(21, 21);
    ring.Raster().Circle(10, 10, -4, 1, kCopy);  // the sign of the radius does not matter
    EXPECT_EQ(ring.Row(9), "6,13");
}

TEST(PixelRasterTest, ArcsKeepToTheirSectorWithRoundEnds) {
    // A quarter from 0 to π/2 counter-clockwise on the picture: the upper
    // right quarter (y downwards). The pixel centres (64.5, 36.5),
    // (35.5, 36.5), (35.5, 63.5) and (64.5, 63.5) lie 19.81 from the centre,
    // inside the one-pixel ring [19.5, 20.5), one in each quarter.
    Canvas c(100, 100);
    c.Raster().Arc(50, 50, 20, 0, kQuarter, 1, kCopy);
    EXPECT_TRUE(c.Inked(64, 36));
    EXPECT_FALSE(c.Inked(35, 36));
    EXPECT_FALSE(c.Inked(35, 63));
    EXPECT_FALSE(c.Inked(64, 63));
    // Its ends (70, 50) and (50, 30): the last pixels on either side.
    EXPECT_TRUE(c.Inked(69, 49));
    EXPECT_TRUE(c.Inked(50, 30));
    EXPECT_FALSE(c.Inked(49, 30));
    EXPECT_FALSE(c.Inked(69, 52));

    // Three quarters from π/2 through π and 3π/2 to 2π: all but the upper right.
    Canvas w(100, 100);
    w.Raster().Arc(50, 50, 20, kQuarter, 3 * kQuarter, 1, kCopy);
    EXPECT_FALSE(w.Inked(64, 36));
    EXPECT_TRUE(w.Inked(35, 36));
    EXPECT_TRUE(w.Inked(35, 63));
    EXPECT_TRUE(w.Inked(64, 63));

    // A pen of 6 rounds the ends: the cap at (70, 50) reaches 3 below it.
    Canvas r(100, 100);
    r.Raster().Arc(50, 50, 20, 0, kQuarter, 6, kCopy);
    EXPECT_TRUE(r.Inked(69, 51));
    EXPECT_TRUE(r.Inked(70, 52));
    EXPECT_FALSE(r.Inked(69, 54));
}

// Drawing in exclusive-or inks every pixel of a figure exactly once: white
// on white gives black on precisely the pixels the copy mode inks, and a
// second drawing restores the picture.
TEST(PixelRasterTest, ExclusiveOrInksEachPixelOnceForEveryFigure) {
    const std::vector<std::pair<const char*, std::function<void(PixelRaster&, PixelInk)>>> figures = {
        {"thin line", [](PixelRaster& r, PixelInk k) { r.Line(3.3, 40.7, 57.1, 9.2, 1, k); }},
        {"steep line", [](PixelRaster& r, PixelInk k) { r.Line(30.2, 2.1, 33.9, 58.4, 1, k); }},
        {"wide line", [](PixelRaster& r, PixelInk k) { r.Line(5.5, 50.2, 50.1, 12.8, 7, k); }},
        {"rectangle", [](PixelRaster& r, PixelInk k) { r.Rectangle(4.2, 6.9, 40.3, 30.1, 3, k); }},
        {"filled rectangle", [](PixelRaster& r, PixelInk k) { r.FilledRectangle(4.2, 6.9, 40.3, 30.1, 1, k); }},
        {"circle", [](PixelRaster& r, PixelInk k) { r.Circle(30.3, 29.6, 17.2, 1, k); }},
        {"filled circle", [](PixelRaster& r, PixelInk k) { r.FilledCircle(30.3, 29.6, 17.2, 1, k, k); }},
        // Ends whose caps overlap the ring and each other.
        {"wide arc", [](PixelRaster& r, PixelInk k) { r.Arc(30.5, 30.5, 12.3, 0.3, 5.9, 9, k); }},
        {"thin arc", [](PixelRaster& r, PixelInk k) { r.Arc(30.5, 30.5, 22.3, 2.0, 1.1, 1, k); }},
        {"full arc", [](PixelRaster& r, PixelInk k) { r.Arc(30.5, 30.5, 12.3, 1.0, 6.283185307179586, 3, k); }},
        // Across the edges.
        {"edge disc", [](PixelRaster& r, PixelInk k) { r.FilledCircle(-3.0, 58.0, 9.0, 1, k, k); }},
        {"edge arc", [](PixelRaster& r, PixelInk k) { r.Arc(60.0, 0.0, 25.0, 2.5, 2.0, 5, k); }},
    };
    for (const auto& [name, draw] : figures) {
        Canvas copy(60, 60), xored(60, 60);
        PixelRaster cr = copy.Raster(), xr = xored.Raster();
        draw(cr, kCopy);
        draw(xr, {0xFFFFFFFF, PixelOp::Xor});
        EXPECT_GT(copy.Count(), 0) << name;
        EXPECT_EQ(xored.pixels, copy.pixels) << name;
        draw(xr, {0xFFFFFFFF, PixelOp::Xor});
        EXPECT_EQ(xored.Count(), 0) << name;
        EXPECT_TRUE(copy.GuardsIntact()) << name;
        EXPECT_TRUE(xored.GuardsIntact()) << name;
    }
}

TEST(PixelRasterTest, FarAwayAndUndefinedFiguresLeaveThePictureAlone) {
    Canvas c(40, 40);
    PixelRaster r = c.Raster();
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    r.Line(nan, 1, 5, 5, 1, kCopy);
    r.Line(1, 1, inf, 5, 3, kCopy);
    r.FilledCircle(20, 20, nan, 1, kCopy, kCopy);
    r.Arc(20, 20, 5, nan, 1, 1, kCopy);
    r.Rectangle(-1e300, -1e300, -1e299, -1e299, 1, kCopy);
    r.Circle(1e300, 1e300, 5, 1, kCopy);
    EXPECT_EQ(c.Count(), 0);
    // Huge figures crossing the picture are clipped to it.
    r.Line(-1e12, 10.5, 1e12, 10.5, 1, kCopy);
    EXPECT_EQ(c.Row(10), "0-39");
    r.FilledRectangle(-1e15, 30, 1e15, 1e15, 1, kCopy);
    EXPECT_EQ(c.Row(39), "0-39");
    EXPECT_TRUE(c.GuardsIntact());
}

}  // namespace
}  // namespace mutaplot

namespace mutaplot {
namespace {

// A figure of rectangles given as (left, top, right, bottom), one contour
// each, in parts of the given rule and cut flag.
struct Box {
    double l, t, r, b;
};
void AddBoxPart(FilledFigure& f, std::initializer_list<Box> boxes, FillRule rule, bool cuts,
                bool reverseSecond = false) {
    int n = 0;
    for (const Box& b : boxes) {
        if (reverseSecond && n == 1) f.points.insert(f.points.end(), {{b.l, b.t}, {b.l, b.b}, {b.r, b.b}, {b.r, b.t}});
        else f.points.insert(f.points.end(), {{b.l, b.t}, {b.r, b.t}, {b.r, b.b}, {b.l, b.b}});
        f.EndContour();
        ++n;
    }
    f.EndPart(rule, cuts);
}

TEST(PixelRasterFigureTest, PixelsWhoseCentreLiesInsideAreInkedTopAndLeftEdgesIncluded) {
    Canvas c(8, 6);
    FilledFigure f;
    // Centres x + 0.5 in [1, 4) and y + 0.5 in [1, 3): columns 1-3, rows 1-2;
    // a box whose edges pass through centres keeps its top and left ones.
    AddBoxPart(f, {{1, 1, 4, 3}}, FillRule::NonZero, false);
    AddBoxPart(f, {{5.5, 0.5, 7.5, 1.5}}, FillRule::NonZero, false);
    c.Raster().FillFigure(f, 1.0, kCopy);
    EXPECT_EQ(c.Count(), 6 + 2);
    EXPECT_EQ(c.Row(0), "5-6");
    EXPECT_EQ(c.Row(1), "1-3");
    EXPECT_EQ(c.Row(2), "1-3");
    // The triangle (0, 0) (6, 0) (0, 6) after scaling by 2: row j's centre
    // line meets the slanted edge at x = 5.5 − j, so it holds the columns
    // whose centre i + 0.5 lies before that: 0 … 4 − j.
    Canvas t(8, 6);
    FilledFigure tri;
    tri.points = {{0, 0}, {3, 0}, {0, 3}};
    tri.EndContour();
    tri.EndPart(FillRule::EvenOdd, false);
    t.Raster().FillFigure(tri, 2.0, kCopy);
    EXPECT_EQ(t.Row(0), "0-4");
    EXPECT_EQ(t.Row(3), "0-1");
    EXPECT_EQ(t.Row(4), "0");
    EXPECT_EQ(t.Row(5), "");
    EXPECT_TRUE(t.GuardsIntact());
}

TEST(PixelRasterFigureTest, PlacedFiguresArePlacedThenScaled) {
    // A box of view counts x 300 … 700, y 400 … 900 placed by x' = (x + 200) / 100
    // and y' = 12 − (y − 100) / 100 (y turned over) lies over x' 5 … 9 and
    // y' 4 … 9; scaled by 1.5 it covers x 7.5 … 13.5 and y 6 … 13.5: the
    // columns whose centres lie in [7.5, 13.5), 7-12, on rows 6-12. The same
    // box with an empty part after it goes to the general fill, with the
    // same pixels; a triangle with its corner at view counts (300, 400) is
    // cut along the diagonal of the box.
    const PointPlacement placement{200, -100, 100, 12, -1};
    FilledFigure box;
    box.points = {{300, 400}, {700, 400}, {700, 900}, {300, 900}};
    box.EndContour();
    box.EndPart(FillRule::NonZero, false);
    FilledFigure general = box;
    general.EndPart(FillRule::NonZero, false);
    for (const FilledFigure* f : {&box, &general}) {
        Canvas c(16, 15);
        c.Raster().FillFigure(*f, placement, 1.5, kCopy);
        EXPECT_EQ(c.Count(), 6 * 7);
        EXPECT_EQ(c.Row(5), "");
        EXPECT_EQ(c.Row(6), "7-12");
        EXPECT_EQ(c.Row(12), "7-12");
        EXPECT_EQ(c.Row(13), "");
        EXPECT_TRUE(c.GuardsIntact());
    }
    // (300, 400) (700, 400) (700, 900) → pixels (7.5, 13.5) (13.5, 13.5)
    // (13.5, 6): row j's centre line meets the slant at x = 13.5 − 0.8 ×
    // (j + 0.5 − 6), and the row holds the centres from there to 13.5.
    Canvas t(16, 15);
    FilledFigure tri;
    tri.points = {{300, 400}, {700, 400}, {700, 900}};
    tri.EndContour();
    tri.EndPart(FillRule::NonZero, false);
    t.Raster().FillFigure(tri, placement, 1.5, kCopy);
    EXPECT_EQ(t.Row(6), "");       // slant at 13.1: no centre before 13.5
    EXPECT_EQ(t.Row(7), "12");     // slant at 12.3
    EXPECT_EQ(t.Row(12), "8-12");  // slant at 8.3
    EXPECT_EQ(t.Row(13), "");
}

TEST(PixelRasterFigureTest, RulesAndCutsDecideOverlapsAndHoles) {
    // Two overlapping squares running the same way: non-zero fills the
    // overlap, even-odd leaves it empty.
    Canvas nonZero(10, 10), evenOdd(10, 10), opposite(10, 10);
    FilledFigure a, b, o;
    AddBoxPart(a, {{0, 0, 6, 6}, {3, 3, 9, 9}}, FillRule::NonZero, false);
    AddBoxPart(b, {{0, 0, 6, 6}, {3, 3, 9, 9}}, FillRule::EvenOdd, false);
    AddBoxPart(o, {{0, 0, 6, 6}, {3, 3, 9, 9}}, FillRule::NonZero, false, true);
    nonZero.Raster().FillFigure(a, 1.0, kCopy);
    evenOdd.Raster().FillFigure(b, 1.0, kCopy);
    opposite.Raster().FillFigure(o, 1.0, kCopy);
    EXPECT_EQ(nonZero.Count(), 36 + 36 - 9);
    EXPECT_EQ(evenOdd.Count(), 36 + 36 - 18);
    EXPECT_EQ(opposite.Count(), 36 + 36 - 18);  // windings +1 and −1 cancel
    EXPECT_EQ(nonZero.Row(4), "0-8");
    EXPECT_EQ(evenOdd.Row(4), "0-2,6-8");

    // A pad with a hole cut by a later part, then a dot added inside the hole.
    Canvas pad(10, 10);
    FilledFigure p;
    AddBoxPart(p, {{1, 1, 9, 9}}, FillRule::NonZero, false);
    AddBoxPart(p, {{3, 3, 7, 7}}, FillRule::NonZero, true);
    AddBoxPart(p, {{4, 4, 6, 6}}, FillRule::NonZero, false);
    pad.Raster().FillFigure(p, 1.0, kCopy);
    EXPECT_EQ(pad.Count(), 64 - 16 + 4);
    EXPECT_EQ(pad.Row(3), "1-2,7-8");
    EXPECT_EQ(pad.Row(4), "1-2,4-5,7-8");
}

TEST(PixelRasterFigureTest, OverlappingPartsAreInkedOnceSoExclusiveOrStaysExact) {
    Canvas c(12, 12);
    std::vector<std::uint32_t> before = c.pixels;
    FilledFigure f;
    AddBoxPart(f, {{0, 0, 8, 8}, {2, 2, 10, 10}}, FillRule::NonZero, false);
    AddBoxPart(f, {{1, 1, 11, 3}}, FillRule::NonZero, false);
    const PixelInk xorInk{0xFF00FF00, PixelOp::Xor};
    c.Raster().FillFigure(f, 1.0, xorInk);
    // Once: every covered pixel holds paper ^ ink exactly (none twice).
    for (int j = 0; j < 12; ++j)
        for (int i = 0; i < 12; ++i)
            EXPECT_TRUE(c.At(i, j) == kPaper || c.At(i, j) == (kPaper ^ 0x0000FF00u)) << i << "," << j;
    // The two squares unite to 64 + 64 − 36; the band adds columns 8 … 10
    // of row 1 and column 10 of row 2.
    EXPECT_EQ(c.Count(), 64 + 64 - 36 + 3 + 1);
    c.Raster().FillFigure(f, 1.0, xorInk);
    EXPECT_EQ(c.pixels, before);
}

TEST(PixelRasterFigureTest, FarAwayHugeAndUndefinedFiguresStayInThePicture) {
    Canvas c(9, 7);
    FilledFigure huge;
    AddBoxPart(huge, {{-1e300, -1e300, 1e300, 1e300}}, FillRule::EvenOdd, false);
    c.Raster().FillFigure(huge, 1.0, kCopy);
    EXPECT_EQ(c.Count(), 63);
    EXPECT_TRUE(c.GuardsIntact());
    Canvas d(9, 7);
    FilledFigure bad;
    bad.points = {{0, 0}, {std::numeric_limits<double>::quiet_NaN(), 3}, {5, 5}};
    bad.EndContour();
    bad.EndPart(FillRule::NonZero, false);
    d.Raster().FillFigure(bad, 1.0, kCopy);
    // Contour ends and parts that point past the points are ignored.
    FilledFigure broken;
    broken.points = {{0, 0}, {5, 0}, {5, 5}};
    broken.contourEnds = {7};
    broken.parts = {{3, FillRule::NonZero, false}};
    d.Raster().FillFigure(broken, 1.0, kCopy);
    // The triangle (0, 0) (5, 0) (5, 5): row j holds columns j … 4.
    EXPECT_EQ(d.Count(), 5 + 4 + 3 + 2 + 1);
    EXPECT_TRUE(d.GuardsIntact());
}

}  // namespace
}  // namespace mutaplot

#include "gerber/ApertureShapes.h"

#include <algorithm>
#include <numbers>

namespace mutaplot {
namespace {

// The pixels of a figure found one centre at a time: on each row's centre
// line the crossings of every edge left of or at the centre give each
// part's winding, and the parts are united or cut in order.
std::vector<bool> CentresInside(const FilledFigure& f, double scale, int width, int height) {
    std::vector<bool> inside(static_cast<std::size_t>(width * height), false);
    for (int j = 0; j < height; ++j) {
        const double yc = j + 0.5;
        for (int i = 0; i < width; ++i) {
            const double xc = i + 0.5;
            bool in = false;
            std::size_t contour = 0, start = 0;
            for (const FilledFigure::Part& part : f.parts) {
                int winding = 0;
                for (; contour < part.contourEnd; ++contour) {
                    const std::size_t end = f.contourEnds[contour];
                    for (std::size_t k = start; k < end; ++k) {
                        const SurfacePoint a = f.points[k], b = f.points[k + 1 < end ? k + 1 : start];
                        const double ax = a.x * scale, ay = a.y * scale, bx = b.x * scale, by = b.y * scale;
                        if (ay == by || yc < std::min(ay, by) || yc >= std::max(ay, by)) continue;
                        const double x = ax + (yc - ay) * ((bx - ax) / (by - ay));
                        if (x <= xc) winding += part.rule == FillRule::EvenOdd ? 1 : (by > ay ? 1 : -1);
                    }
                    start = end;
                }
                const bool partIn = part.rule == FillRule::EvenOdd ? (winding & 1) != 0 : winding != 0;
                in = part.cuts ? in && !partIn : in || partIn;
            }
            inside[static_cast<std::size_t>(j * width + i)] = in;
        }
    }
    return inside;
}

std::vector<bool> InkedPixels(const Canvas& c) {
    std::vector<bool> inked;
    for (int j = 0; j < c.height; ++j)
        for (int i = 0; i < c.width; ++i) inked.push_back(c.Inked(i, j));
    return inked;
}

// The figure moved by (dx, dy).
FilledFigure Moved(const FilledFigure& f, double dx, double dy) {
    FilledFigure m = f;
    for (SurfacePoint& p : m.points) p = {p.x + dx, p.y + dy};
    return m;
}

// The same figure with an empty part after it: drawn by the general fill,
// never by the shortcuts for one contour or a union of convex ones.
FilledFigure General(const FilledFigure& f) {
    FilledFigure g = f;
    g.EndPart(FillRule::NonZero, false);
    return g;
}

// Flashes of the standard shapes, a stroke and an arc track of a square and
// of a round aperture: figures of the kinds a file's own apertures give.
std::vector<FilledFigure> ApertureFigures() {
    std::vector<FilledFigure> figures;
    const gerber::MacroTable noMacros;
    const std::vector<gerber::ApertureDefinition> definitions = {
        {10, "C", {0.8}}, {11, "C", {1.0, 0.4}}, {12, "R", {1.2, 0.7}}, {13, "O", {1.6, 0.6}}, {14, "P", {1.0, 6, 15}}};
    for (const gerber::ApertureDefinition& d : definitions) {
        gerber::FlashShape shape;
        EXPECT_TRUE(gerber::BuildFlashShape(d, noMacros, 0.01, shape));
        figures.push_back(shape.figure);
    }
    // A stroke and an arc track of the square 0.5 and of the circle 0.8.
    gerber::FlashShape square, round;
    gerber::BuildFlashShape({20, "R", {0.5, 0.5}}, noMacros, 0.01, square);
    gerber::BuildFlashShape({21, "C", {0.8}}, noMacros, 0.01, round);
    for (const gerber::FlashShape* s : {&square, &round}) {
        FilledFigure stroke;
        gerber::AddSweptHull(stroke, s->hull, {-1.5, -0.7}, {2.1, 1.3});
        stroke.EndPart(FillRule::NonZero, false);
        figures.push_back(stroke);
        FilledFigure arc;
        SurfacePoint last{2, 0};
        for (int k = 1; k <= 12; ++k) {
            const double a = std::numbers::pi * k / 12;
            const SurfacePoint next{2 * std::cos(a), 2 * std::sin(a)};
            gerber::AddSweptHull(arc, s->hull, last, next);
            last = next;
        }
        arc.EndPart(FillRule::NonZero, false);
        figures.push_back(arc);
    }
    // Round tracks along a quarter and along a half circle of radius 2: the
    // band between radii 1.6 and 2.4 with a disc at each end. Every row
    // crosses the quarter's band twice, the half's up to four times.
    for (const double sweep : {std::numbers::pi / 2, std::numbers::pi}) {
        FilledFigure track;
        std::vector<SurfacePoint> band;
        for (int k = 0; k <= 16; ++k) band.push_back({2.4 * std::cos(sweep * k / 16), 2.4 * std::sin(sweep * k / 16)});
        for (int k = 16; k >= 0; --k) band.push_back({1.6 * std::cos(sweep * k / 16), 1.6 * std::sin(sweep * k / 16)});
        gerber::AddCounterClockwise(track, band);
        gerber::AddCircle(track, 2, 0, 0.4, 0.01);
        gerber::AddCircle(track, 2 * std::cos(sweep), 2 * std::sin(sweep), 0.4, 0.01);
        track.EndPart(FillRule::NonZero, false);
        figures.push_back(track);
    }
    // A pad of a disc and a bar crossing it, with a round hole cut off
    // centre that reaches past the disc into the bar.
    FilledFigure pad;
    gerber::AddCircle(pad, 0, 0, 0.6, 0.01);
    gerber::AddCounterClockwise(pad, {{-1.1, -0.25}, {1.1, -0.25}, {1.1, 0.25}, {-1.1, 0.25}});
    pad.EndPart(FillRule::NonZero, false);
    gerber::AddCircle(pad, 0.45, 0.05, 0.3, 0.01);
    pad.EndPart(FillRule::NonZero, true);
    figures.push_back(pad);
    // Single contours that are not convex: a notch from the side (each row
    // still crosses it twice) and one from below, whose legs the rows cross
    // four times, with a flat foot; then the same shape turned the other
    // way round.
    for (const bool below : {false, true}) {
        FilledFigure notched;
        if (below)
            notched.points = {{-1.2, -1}, {1.2, -1}, {1.2, 1}, {0.4, 1}, {0.1, -0.3}, {-0.3, 1}, {-1.2, 1}};
        else
            notched.points = {{-1.2, -1}, {1.2, -1}, {0.2, 0.1}, {1.2, 1}, {-1.2, 1}};
        notched.EndContour();
        notched.EndPart(FillRule::NonZero, false);
        figures.push_back(notched);
        std::reverse(notched.points.begin(), notched.points.end());
        figures.push_back(notched);
    }
    return figures;
}

TEST(PixelRasterPathsTest, ShortcutsAndTheGeneralFillInkTheCentresInside) {
    // Each figure at positions of every fraction of a pixel, partly over
    // the picture's borders, at three scales: the fill (in copy mode, the
    // shortcuts), the general fill of the same figure (exclusive-or) and
    // the centres found one by one agree pixel for pixel.
    const std::vector<FilledFigure> figures = ApertureFigures();
    const PixelInk xorInk{0xFF00FF00, PixelOp::Xor};
    int compared = 0;
    for (std::size_t n = 0; n < figures.size(); ++n) {
        for (const double scale : {4.0, 7.3, 11.0}) {
            for (const SurfacePoint at : {SurfacePoint{3.0, 2.5}, SurfacePoint{0.1, 1.37}, SurfacePoint{2.93, 0.05},
                                          SurfacePoint{3.126, 3.3}, SurfacePoint{-0.2, 2.0}}) {
                const FilledFigure f = Moved(figures[n], at.x, at.y);
                Canvas fast(31, 23), general(31, 23);
                fast.Raster().FillFigure(f, scale, kCopy);
                general.Raster().FillFigure(General(f), scale, xorInk);
                const std::vector<bool> expected = CentresInside(f, scale, 31, 23);
                const std::string where = std::to_string(n) + " at " + std::to_string(at.x) + "," +
                                          std::to_string(at.y) + " × " + std::to_string(scale);
                EXPECT_EQ(InkedPixels(fast), expected) << where;
                EXPECT_EQ(InkedPixels(general), expected) << where;
                // Exclusive-or inks each pixel once: paper ^ ink, never twice.
                for (int j = 0; j < 23; ++j)
                    for (int i = 0; i < 31; ++i)
                        ASSERT_TRUE(general.At(i, j) == kPaper || general.At(i, j) == (kPaper ^ 0x0000FF00u)) << where;
                EXPECT_TRUE(fast.GuardsIntact() && general.GuardsIntact()) << where;
                compared += fast.Count() > 0;
            }
        }
    }
    EXPECT_GT(compared, 100);  // most placements show something
}

TEST(PixelRasterPathsTest, ClearInkErasesExactlyTheFigureAndExclusiveOrRestores) {
    const std::vector<FilledFigure> figures = ApertureFigures();
    for (std::size_t n = 0; n < figures.size(); ++n) {
        const FilledFigure f = Moved(figures[n], 2.2, 1.9);
        // A dark field, the figure drawn over it in the paper's colour (a
        // clear figure on screen): the centres inside become paper again.
        Canvas c(24, 18);
        c.Raster().Fill(kInk);
        c.Raster().FillFigure(f, 5.0, {kPaper, PixelOp::Copy});
        const std::vector<bool> expected = CentresInside(f, 5.0, 24, 18);
        for (int j = 0; j < 18; ++j)
            for (int i = 0; i < 24; ++i)
                EXPECT_EQ(c.At(i, j), expected[static_cast<std::size_t>(j * 24 + i)] ? kPaper : kInk) << n;
        // Twice in exclusive-or leaves the picture as it was.
        Canvas x(24, 18);
        const std::vector<std::uint32_t> before = x.pixels;
        // Once, it changes exactly the centres inside (each pixel inked once).
        x.Raster().FillFigure(f, 5.0, {0xFF0000FF, PixelOp::Xor});
        EXPECT_EQ(InkedPixels(x), expected) << n;
        x.Raster().FillFigure(f, 5.0, {0xFF0000FF, PixelOp::Xor});
        EXPECT_EQ(x.pixels, before) << n;
    }
}

TEST(PixelRasterPathsTest, UnionsThatAreNotOfConvexContoursTurningOneWayKeepTheirHoles) {
    // Two squares, the second running the other way: their windings cancel
    // where they overlap, so a non-zero fill leaves the overlap empty
    // (drawn contour by contour it would be filled).
    Canvas c(10, 10);
    FilledFigure f;
    AddBoxPart(f, {{0, 0, 6, 6}, {3, 3, 9, 9}}, FillRule::NonZero, false, true);
    c.Raster().FillFigure(f, 1.0, kCopy);
    EXPECT_EQ(c.Row(4), "0-2,6-8");
    // A concave contour (an L) beside a square: the L's notch stays empty.
    Canvas l(10, 10);
    FilledFigure g;
    g.points = {{0, 0}, {4, 0}, {4, 2}, {2, 2}, {2, 6}, {0, 6}};
    g.EndContour();
    g.points.insert(g.points.end(), {{6, 6}, {9, 6}, {9, 9}, {6, 9}});
    g.EndContour();
    g.EndPart(FillRule::NonZero, false);
    l.Raster().FillFigure(g, 1.0, kCopy);
    EXPECT_EQ(l.Row(1), "0-3");
    EXPECT_EQ(l.Row(3), "0-1");
    EXPECT_EQ(l.Row(7), "6-8");
    EXPECT_EQ(l.Count(), 8 + 8 + 9);
}

}  // namespace
}  // namespace mutaplot
