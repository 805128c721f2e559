// Shapes of the file's apertures, checked by the areas and points worked
// out by hand. Curves are polylines within the tolerance, so areas of round
// shapes match to about the tolerance times their circumference.

#include "gerber/ApertureShapes.h"
#include "gerber/GraphicsState.h"
#include "gerber/Region.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace mutaplot::gerber {
namespace {

constexpr double kPi = std::numbers::pi;
constexpr double kTolerance = 1e-5;

double ContourArea(const FilledFigure& f, std::size_t contour) {
    const std::size_t begin = contour == 0 ? 0 : f.contourEnds[contour - 1];
    const std::size_t end = f.contourEnds[contour];
    double twice = 0;
    for (std::size_t k = begin; k < end; ++k) {
        const SurfacePoint a = f.points[k], b = f.points[k + 1 < end ? k + 1 : begin];
        twice += a.x * b.y - b.x * a.y;
    }
    return twice / 2;
}

// Sum of the signed areas of each part's contours, cuts subtracted: the
// covered area when no two primitives overlap and every cut lies inside.
double Area(const FilledFigure& f) {
    double area = 0;
    std::size_t contour = 0;
    for (const FilledFigure::Part& part : f.parts) {
        double partArea = 0;
        for (; contour < part.contourEnd; ++contour) partArea += ContourArea(f, contour);
        area += part.cuts ? -partArea : partArea;
    }
    return area;
}

FlashShape Build(const char* name, std::vector<double> modifiers, const MacroTable& macros = {}) {
    FlashShape shape;
    EXPECT_TRUE(BuildFlashShape(ApertureDefinition{10, name, std::move(modifiers)}, macros, kTolerance, shape));
    return shape;
}

MacroPrimitive Primitive(int code, std::initializer_list<const char*> modifiers) {
    MacroPrimitive p{code, {}, {}};
    for (const char* m : modifiers) p.modifiers.push_back(*Expression::Parse(m));
    return p;
}

TEST(ApertureShapesTest, StandardAperturesWithAndWithoutHoles) {
    EXPECT_NEAR(Area(Build("C", {2.0}).figure), kPi, 1e-3);
    const FlashShape c = Build("C", {2.0, 1.0});
    EXPECT_TRUE(c.round);
    EXPECT_DOUBLE_EQ(c.diameter, 2.0);
    ASSERT_EQ(c.figure.parts.size(), 2u);
    EXPECT_TRUE(c.figure.parts[1].cuts);
    EXPECT_NEAR(Area(c.figure), kPi - kPi / 4, 1e-3);

    const FlashShape r = Build("R", {2.0, 1.0, 0.5});
    EXPECT_NEAR(Area(r.figure), 2.0 - kPi / 16, 1e-3);
    EXPECT_FALSE(r.round);
    ASSERT_EQ(r.hull.size(), 4u);  // the hole is no part of the outline

    // Obround 3 × 1: a 2 × 1 box and two half discs of radius 0.5.
    EXPECT_NEAR(Area(Build("O", {3.0, 1.0}).figure), 2.0 + kPi / 4, 1e-3);
    EXPECT_NEAR(Area(Build("O", {1.0, 3.0}).figure), 2.0 + kPi / 4, 1e-3);

    // Hexagon of outer diameter 2 turned by 90°: area 3√3/2, first vertex at (0, 1).
    const FlashShape p = Build("P", {2.0, 6, 90});
    EXPECT_NEAR(Area(p.figure), 3 * std::sqrt(3.0) / 2, 1e-9);
    EXPECT_NEAR(p.figure.points[0].x, 0, 1e-12);
    EXPECT_NEAR(p.figure.points[0].y, 1, 1e-12);

    FlashShape none;
    EXPECT_FALSE(BuildFlashShape({10, "P", {1.0, 2}}, {}, kTolerance, none));  // two vertices
    EXPECT_FALSE(BuildFlashShape({10, "NOSUCH", {}}, {}, kTolerance, none));
    EXPECT_FALSE(none.valid);
}

TEST(ApertureShapesTest, MacroPrimitivesVariablesAndRotation) {
    MacroTable macros;
    // $3 = $1 × 2; a centre line $3 × $2 turned by 90°, a lower-left line
    // 1 × 0.5 at (5, 5), a vector line of width 0.2 from (0, 10) to (3, 14)
    // (length 5), an outline triangle and a polygon.
    macros["M"] = {"M",
                   {MacroVariable{3, *Expression::Parse("$1x2")}, Primitive(21, {"1", "$3", "$2", "0", "0", "90"}),
                    Primitive(22, {"1", "1", "0.5", "5", "5", "0"}),
                    Primitive(20, {"1", "0.2", "0", "10", "3", "14", "0"}),
                    Primitive(4, {"1", "3", "20", "0", "24", "0", "20", "3", "20", "0", "0"}),
                    Primitive(5, {"1", "4", "-20", "0", "2", "0"})}};
    const FlashShape m = Build("M", {1.5, 1.0}, macros);
    // 3 × 1 + 0.5 + 1 + 6 + 2 (square of diagonal 2).
    EXPECT_NEAR(Area(m.figure), 3.0 + 0.5 + 1.0 + 6.0 + 2.0, 1e-9);
    // The centre line 3 wide and 1 high turned by 90° reaches y = ±1.5.
    double top = -HUGE_VAL;
    for (std::size_t k = 0; k < 4; ++k) top = std::max(top, m.figure.points[k].y);
    EXPECT_NEAR(top, 1.5, 1e-12);

    // Thermal: outer 2, inner 1, gap 0.2: the ring less four bars 0.2 wide,
    // each 0.5 long (inside the ring), and their overlap … worked out as
    // ring − 4 × 0.2 × (ring's width along the bar) exactly only for thin
    // gaps; here checked against the exact area of one quarter:
    // ∫ over the quarter ring with x, y ≥ 0.1.
    macros["T"] = {"T", {Primitive(7, {"0", "0", "2", "1", "0.2", "0"})}};
    const FlashShape t = Build("T", {}, macros);
    // Quarter area = A(1) − A(0.5) where A(r) = area of {x, y ≥ 0.1, x² + y² < r²}
    // = (r²/2)(π/2 − 2 asin(0.1/r)) − 0.1 √(r² − 0.01) + 0.01.
    auto a = [](double r) {
        return r * r / 2 * (kPi / 2 - 2 * std::asin(0.1 / r)) - 0.1 * std::sqrt(r * r - 0.01) + 0.01;
    };
    EXPECT_NEAR(Area(t.figure), 4 * (a(1.0) - a(0.5)), 1e-3);

    // Exposure off cuts what is before it only; a variable beyond the given
    // modifiers reads 0.
    macros["H"] = {"H", {Primitive(21, {"1", "4", "4", "0", "0", "0"}), Primitive(21, {"0", "2", "2", "0", "0", "0"}),
                         Primitive(1, {"1", "$1", "$9", "0"})}};
    const FlashShape h = Build("H", {1.0}, macros);
    ASSERT_EQ(h.figure.parts.size(), 3u);
    EXPECT_TRUE(h.figure.parts[1].cuts);
    EXPECT_FALSE(h.figure.parts[2].cuts);
    EXPECT_NEAR(Area(h.figure), 16 - 4 + kPi / 4, 1e-3);
}

TEST(ApertureShapesTest, OutlineWhoseLastPointIsNotItsFirst) {
    // Three vertices after the start point (0, 0): (0, 0.5), (0.5, 0.5) and
    // (0.5, 0), which should have repeated the start point. Every point given
    // is a corner: the square 0.5 × 0.5 (area 0.25), not the triangle of the
    // first three (0.125).
    MacroTable macros;
    macros["Q"] = {"Q", {Primitive(4, {"1", "3", "0", "0", "0", "0.5", "0.5", "0.5", "0.5", "0", "0"})}};
    EXPECT_NEAR(Area(Build("Q", {}, macros).figure), 0.25, 1e-12);
    // Turned by −25° the area stays; the corner (0.5, 0) goes to
    // (0.5 cos 25°, −0.5 sin 25°).
    macros["Q25"] = {"Q25", {Primitive(4, {"1", "3", "0", "0", "0", "0.5", "0.5", "0.5", "0.5", "0", "-25"})}};
    const FlashShape r = Build("Q25", {}, macros);
    EXPECT_NEAR(Area(r.figure), 0.25, 1e-12);
    double lowest = HUGE_VAL;
    for (const SurfacePoint& p : r.figure.points) lowest = std::min(lowest, p.y);
    EXPECT_NEAR(lowest, -0.5 * std::sin(25 * kPi / 180), 1e-12);
    // Written the right way (the last point repeats the first) it is the same square.
    macros["S"] = {"S", {Primitive(4, {"1", "4", "0", "0", "0", "0.5", "0.5", "0.5", "0.5", "0", "0", "0", "0"})}};
    EXPECT_NEAR(Area(Build("S", {}, macros).figure), 0.25, 1e-12);
}

TEST(ApertureShapesTest, SweptOutlineOfARectangleAlongADiagonal) {
    // A 2 × 2 square moved from (0, 0) to (3, 4): the hexagon of area
    // 4 + 2 × (3 + 4) (the square plus the band it sweeps).
    FilledFigure f;
    AddSweptHull(f, ConvexHull({{-1, -1}, {1, -1}, {1, 1}, {-1, 1}}), {0, 0}, {3, 4});
    f.EndPart(FillRule::NonZero, false);
    EXPECT_EQ(f.points.size(), 6u);
    EXPECT_NEAR(Area(f), 4 + 2 * 3 + 2 * 4, 1e-12);
    // A stroke of no length is the flash.
    FilledFigure g;
    AddSweptHull(g, ConvexHull({{-1, -1}, {1, -1}, {1, 1}, {-1, 1}}), {5, 5}, {5, 5});
    g.EndPart(FillRule::NonZero, false);
    EXPECT_NEAR(Area(g), 4, 1e-12);
}

TEST(ApertureShapesTest, SweptOutlinesOfManyVertices) {
    // The 2 × 2 square of the test above with k points on each side
    // (corners included once): moved from (0, 0) to (3, 4) it still sweeps
    // 4 + 2 × (3 + 4) = 18, and the two corners where the outline turns from
    // the start to the end are taken twice. Outlines of up to and of more
    // than 64 vertices.
    for (const int k : {3, 10, 16, 17, 40}) {
        std::vector<SurfacePoint> square;
        const SurfacePoint corners[] = {{-1, -1}, {1, -1}, {1, 1}, {-1, 1}};
        for (int side = 0; side < 4; ++side) {
            const SurfacePoint a = corners[side], b = corners[(side + 1) % 4];
            for (int i = 0; i < k; ++i)
                square.push_back({a.x + (b.x - a.x) * i / k, a.y + (b.y - a.y) * i / k});
        }
        FilledFigure f;
        AddSweptHull(f, square, {0, 0}, {3, 4});
        f.EndPart(FillRule::NonZero, false);
        EXPECT_EQ(f.points.size(), square.size() + 2) << k;
        EXPECT_NEAR(Area(f), 18, 1e-12) << k;
    }
}

TEST(GraphicsStateTest, CoordinatesByZeroOmission) {
    // Leading zeros omitted (and none omitted): the digits are counts.
    EXPECT_DOUBLE_EQ(*DecodeCoordinate("25", ZeroOmission::Leading, 2, 4), 0.0025);
    EXPECT_DOUBLE_EQ(*DecodeCoordinate("-012500", ZeroOmission::None, 2, 4), -1.25);
    // Trailing zeros omitted: "25" in 2.4 is 25.0000, "0125" is 01.25.
    EXPECT_DOUBLE_EQ(*DecodeCoordinate("25", ZeroOmission::Trailing, 2, 4), 25.0);
    EXPECT_DOUBLE_EQ(*DecodeCoordinate("+0125", ZeroOmission::Trailing, 2, 4), 1.25);
    // A decimal point is read as it stands.
    EXPECT_DOUBLE_EQ(*DecodeCoordinate("1.5", ZeroOmission::Trailing, 2, 4), 1.5);
    EXPECT_FALSE(DecodeCoordinate("-", ZeroOmission::Leading, 2, 4));
}

TEST(GraphicsStateTest, CoordinatesAreTheNearestNumbersToTheirDecimals) {
    // Six decimals: the counts divided by 10^6 give the double nearest to
    // the decimal number (0.123456 and 1.0 as written).
    EXPECT_EQ(*DecodeCoordinate("123456", ZeroOmission::Leading, 2, 6), 0.123456);
    EXPECT_EQ(*DecodeCoordinate("-1000000", ZeroOmission::Leading, 2, 6), -1.0);
    // Trailing zeros omitted in 2.6: "123" is 12.300000.
    EXPECT_EQ(*DecodeCoordinate("123", ZeroOmission::Trailing, 2, 6), 12.3);
    // Six integer digits, two decimals, trailing zeros omitted: "3" is
    // 300000.00; the digit is multiplied up, not divided down.
    EXPECT_EQ(*DecodeCoordinate("3", ZeroOmission::Trailing, 6, 2), 300000.0);
    // Shifts of any size: "1" as the first of 60 integer digits is 10^59.
    EXPECT_DOUBLE_EQ(*DecodeCoordinate("1", ZeroOmission::Trailing, 60, 0), 1e59);
    EXPECT_DOUBLE_EQ(*DecodeCoordinate("1", ZeroOmission::Leading, 2, 50), 1e-50);
}

TEST(GraphicsStateTest, OlderImageStatementsMoveMirrorAndTurn) {
    GraphicsState s;
    s.offsetA = 1;
    s.mirrorA = true;
    s.UpdateTransform();
    const SurfacePoint p = s.transform.Apply({2, 3});
    EXPECT_DOUBLE_EQ(p.x, -1);  // −2 + 1
    EXPECT_DOUBLE_EQ(p.y, 3);
    EXPECT_TRUE(s.transform.Mirrors());
    GraphicsState turned;
    turned.rotation = 90;
    turned.UpdateTransform();
    const SurfacePoint q = turned.transform.Apply({2, 3});
    EXPECT_DOUBLE_EQ(q.x, -3);
    EXPECT_DOUBLE_EQ(q.y, 2);
    GraphicsState swapped;
    swapped.axesSwapped = true;
    swapped.UpdateTransform();
    EXPECT_DOUBLE_EQ(swapped.transform.Apply({2, 3}).x, 3);
}

TEST(RegionTest, SingleQuadrantCentresAndArcPaths) {
    // From (3, 1) to (1, 3) counter-clockwise with |I| = 2, |J| = 0: around
    // (1, 1), not (5, 1).
    const SurfacePoint c = SingleQuadrantCentre({3, 1}, {1, 3}, 2, 0, false);
    EXPECT_DOUBLE_EQ(c.x, 1);
    EXPECT_DOUBLE_EQ(c.y, 1);
    // Clockwise from (0, 1) to (1, 0) with I 0 J 1 unsigned: around (0, 0).
    const SurfacePoint d = SingleQuadrantCentre({0, 1}, {1, 0}, 0, 1, true);
    EXPECT_DOUBLE_EQ(d.x, 0);
    EXPECT_DOUBLE_EQ(d.y, 0);
    // A full circle when start and end meet in multi-quadrant mode only.
    EXPECT_NEAR(ArcSweep({1, 0}, {1, 0}, {0, 0}, false, true), 2 * kPi, 1e-12);
    EXPECT_EQ(ArcSweep({1, 0}, {1, 0}, {0, 0}, false, false), 0);
    EXPECT_NEAR(ArcSweep({1, 0}, {0, 1}, {0, 0}, true, true), -1.5 * kPi, 1e-12);

    // A region of two contours: the unit square and a square 2 … 3; each
    // counter-clockwise whatever its direction in the file.
    RegionContours r;
    r.MoveTo({0, 0});
    r.LineTo({0, 1});
    r.LineTo({1, 1});
    r.LineTo({1, 0});
    r.LineTo({0, 0});
    r.MoveTo({2, 2});
    r.LineTo({3, 2});
    r.LineTo({3, 3});
    r.LineTo({2, 3});
    FilledFigure f;
    ASSERT_TRUE(r.Fill(f));
    EXPECT_EQ(f.contourEnds.size(), 2u);
    EXPECT_GT(ContourArea(f, 0), 0);
    EXPECT_NEAR(Area(f), 2, 1e-12);
    // A half disc closed by its diameter.
    RegionContours half;
    half.MoveTo({1, 0});
    half.ArcTo({-1, 0}, {0, 0}, false, true, kTolerance);
    half.LineTo({1, 0});
    FilledFigure h;
    ASSERT_TRUE(half.Fill(h));
    EXPECT_NEAR(Area(h), kPi / 2, 1e-4);
}

}  // namespace
}  // namespace mutaplot::gerber
