#include "viewer/Navigation.h"

#include <gtest/gtest.h>

#include <string>

namespace mutaplot {
namespace {

TEST(NavigationTest, StepDivisorRoundsHalvesToEven) {
    // k = 2 × round(z + 1): 1.25 → 1, 1.5 → 2, 2 → 2, 3 → 3, 5 → 5, 6 → 6.
    EXPECT_EQ(StepDivisor(0.25f), 2.0);
    EXPECT_EQ(StepDivisor(0.5f), 4.0);
    EXPECT_EQ(StepDivisor(1.0f), 4.0);
    EXPECT_EQ(StepDivisor(2.0f), 6.0);
    EXPECT_EQ(StepDivisor(4.0f), 10.0);
    EXPECT_EQ(StepDivisor(5.0f), 12.0);
    // 2.5 + 1 = 3.5 → 4.
    EXPECT_EQ(StepDivisor(2.5f), 8.0);
}

TEST(NavigationTest, CentreZoomOnA200By150Surface) {
    // Zoom 1, offsets 0: in → zoom 2, oX = round(−50) = −50,
    // oY = round(−37.5) = −38 (halves to even).
    const ViewPlace in = ZoomInAboutCentre({1.0f, 0, 0}, 200, 150);
    EXPECT_EQ(in.zoom, 2.0f);
    EXPECT_EQ(in.offsetX, -50.0);
    EXPECT_EQ(in.offsetY, -38.0);
    // Out again → zoom 1, oX = round(−50 + 50) = 0, oY = round(−0.5) = 0,
    // written "0" (no minus sign).
    const ViewPlace out = ZoomOutAboutCentre(in, 200, 150);
    EXPECT_EQ(out.zoom, 1.0f);
    EXPECT_EQ(out.offsetX, 0.0);
    EXPECT_EQ(out.offsetY, 0.0);
    EXPECT_EQ(OffsetText(out.offsetY), "0");
    EXPECT_EQ(ZoomFactorText(in.zoom), "2");
    // No limit either way.
    ViewPlace v{1.0f, 0, 0};
    for (int i = 0; i < 3; ++i) v = ZoomOutAboutCentre(v, 200, 150);
    EXPECT_EQ(ZoomFactorText(v.zoom), "0.125");
}

TEST(NavigationTest, MovesUseTheStepDivisor) {
    // Zoom 1 on 200 × 150: k = 4, steps of 50 and 37.5.
    const ViewPlace start{1.0f, 0, 0};
    EXPECT_EQ(MoveView(start, MoveDirection::Right, 200, 150).offsetX, 50.0);
    EXPECT_EQ(MoveView(start, MoveDirection::Left, 200, 150).offsetX, -50.0);
    EXPECT_EQ(MoveView(start, MoveDirection::Up, 200, 150).offsetY, 38.0);    // 37.5 → 38
    EXPECT_EQ(MoveView(start, MoveDirection::Down, 200, 150).offsetY, -38.0);
    // A move leaves the other offset alone; zoom 0.25: k = 2, step 100.
    const ViewPlace quarter = MoveView({0.25f, 3, 7}, MoveDirection::Right, 200, 150);
    EXPECT_EQ(quarter.offsetX, 103.0);
    EXPECT_EQ(quarter.offsetY, 7.0);
    // Offsets far beyond the 16-bit range keep working.
    EXPECT_EQ(MoveView({1.0f, 99950, -40000}, MoveDirection::Right, 200, 150).offsetX, 100000.0);
    EXPECT_EQ(OffsetText(100000), "100000");
}

TEST(NavigationTest, ReadoutAndPickInBothOriginCorners) {
    // Zoom 2, oX −10, mouse at x = 30 mm: X = 30 / 2 + 10 = 25.
    const ViewPlace view{2.0f, -10, 0};
    EXPECT_EQ(RoundedReadout(30, 0, view, 150, OriginCorner::TopLeft).x, 25.0);
    // Bottom-left on a 150 mm surface: y = 50 → (150 − 50) / 2 = 50.
    EXPECT_EQ(RoundedReadout(30, 50, view, 150, OriginCorner::BottomLeft).y, 50.0);
    EXPECT_EQ(RoundedReadout(30, 50, view, 150, OriginCorner::TopLeft).y, 25.0);
    // Unrounded and rounded halves to even: x 5 at zoom 2 → 2.5 + 10 = 12.5 → 12.
    EXPECT_EQ(ReadoutPoint(5, 0, view, 150, OriginCorner::TopLeft).x, 12.5);
    EXPECT_EQ(RoundedReadout(5, 0, view, 150, OriginCorner::TopLeft).x, 12.0);

    // Zoom 2, surface 150 mm high, press at (40, 50): pickX 20, pickY 50.
    const PickPoint p = PickAt(40, 50, 2.0f, 150, OriginCorner::BottomLeft);
    EXPECT_EQ(p.x, 20.0f);
    EXPECT_EQ(p.y, 50.0f);
    EXPECT_EQ(PickAt(40, 50, 2.0f, 150, OriginCorner::TopLeft).y, 25.0f);
    // The origin pick writes plain decimals: 2.5 − 10 = −7.5, 0 − 20 = −20.
    EXPECT_EQ(DecimalOffsetText(2.5 - 10), "-7.5");
    EXPECT_EQ(DecimalOffsetText(0 - 20), "-20");
}

TEST(NavigationTest, AreaZoomFromTheWidthEitherWay) {
    // Zoom 1, offsets 0, surface 200 × 150: a band from data (10, 20) to
    // (50, 30) gives zoom 200 / 40 = 5 (the height would allow 15) and oX
    // −10, oY −20, whichever corner comes first.
    const auto forward = AreaZoom({10, 20}, {50, 30}, 0, 0, 200, 150);
    ASSERT_TRUE(forward);
    EXPECT_EQ(forward->zoom, 5.0f);
    EXPECT_EQ(forward->offsetX, -10.0);
    EXPECT_EQ(forward->offsetY, -20.0);
    const auto backward = AreaZoom({50, 30}, {10, 20}, 0, 0, 200, 150);
    ASSERT_TRUE(backward);
    EXPECT_EQ(backward->zoom, 5.0f);
    EXPECT_EQ(backward->offsetX, -10.0);
    EXPECT_EQ(backward->offsetY, -20.0);
    // Two decimals, rounded down so the band stays whole: 200 / 146 =
    // 1.3698… → 1.36.
    const auto odd = AreaZoom({0, 0}, {146, 10}, 0, 0, 200, 150);
    ASSERT_TRUE(odd);
    EXPECT_EQ(ZoomFactorText(odd->zoom), "1.36");
    // No size at all, or a zoom that rounds to 0: nothing.
    EXPECT_FALSE(AreaZoom({30, 10}, {30, 10}, 0, 0, 200, 150));
    // The same readout with an anchor a hair below it is no band either
    // (not a zoom of 10^16).
    EXPECT_FALSE(AreaZoom({29.999999999999996, 10}, {30, 10}, 0, 0, 200, 150));
    EXPECT_FALSE(AreaZoom({0, 0}, {100000, 10}, 0, 0, 200, 150));  // 0.002 → 0.00
}

TEST(NavigationTest, AreaZoomShowsTheWholeBandWhenTheHeightDecides) {
    // Zoom 1, offsets 0, surface 200 × 150 mm: the band (10, 20) – (50, 60)
    // is 40 × 40; the width allows 5, the height 150 / 40 = 3.75, which wins.
    const auto square = AreaZoom({10, 20}, {50, 60}, 0, 0, 200, 150);
    ASSERT_TRUE(square);
    EXPECT_EQ(square->zoom, 3.75f);
    EXPECT_EQ(square->offsetX, -10.0);
    EXPECT_EQ(square->offsetY, -20.0);
    // A band of no width zooms by its height: 150 / 10 = 15.
    const auto tall = AreaZoom({30, 10}, {30, 20}, 0, 0, 200, 150);
    ASSERT_TRUE(tall);
    EXPECT_EQ(tall->zoom, 15.0f);

    // Inch data at 0.0001 inch, surface 7.875 × 5.90625 inch (756 × 567
    // pixels at 96 per inch): the band 0.42 – 0.94 inch both ways is
    // 0.52 square; width 15.14…, height 11.358… → 11.35; the view starts at
    // 0.42 inch (whole inches would start it at 0).
    const auto inch = AreaZoom({0.42, 0.42}, {0.94, 0.94}, 0, 0, 7.875, 5.90625, 0.0001);
    ASSERT_TRUE(inch);
    EXPECT_EQ(ZoomFactorText(inch->zoom), "11.35");
    EXPECT_EQ(OffsetText(inch->offsetX), "-0.42");
    EXPECT_EQ(OffsetText(inch->offsetY), "-0.42");
    // The band's top, 0.94 inch, lies inside the surface: (0.94 − 0.42) ×
    // 11.35 = 5.902 ≤ 5.90625.
    EXPECT_LE((0.94 + inch->offsetY) * inch->zoom, 5.90625);
}

TEST(NavigationTest, ReadoutAndMovesToTheDataResolution) {
    // mm keeps whole millimetres; inch(2.4) works to 0.0001 inch.
    EXPECT_EQ(ReadoutStep(1), 1.0);
    EXPECT_EQ(ReadoutStep(6), 1.0);
    EXPECT_EQ(ReadoutStep(8), 0.0001);
    EXPECT_EQ(DataResolution(1), 0.001);
    EXPECT_EQ(DataResolution(9), 0.00001);
    EXPECT_EQ(RoundToStep(0.42004999, 0.0001), 0.42);
    EXPECT_EQ(RoundToStep(-37.5, 1), -38.0);
    EXPECT_EQ(OffsetText(RoundToStep(-0.00004, 0.0001)), "0");
    // Zoom 4, offsets 0, bottom-left, surface 5 inch high: the pointer at
    // (1.7, 3.3) inch reads 1.7 / 4 = 0.425, (5 − 3.3) / 4 = 0.425.
    const DataPoint p = RoundedReadout(1.7, 3.3, {4.0f, 0, 0}, 5, OriginCorner::BottomLeft, 0.0001);
    EXPECT_EQ(OffsetText(p.x), "0.425");
    EXPECT_EQ(OffsetText(p.y), "0.425");
    // 中心拡大 on an 8 × 6 inch surface: oY = −6 / 2 / 2 = −1.5 stays −1.5.
    const ViewPlace in = ZoomInAboutCentre({1.0f, 0, 0}, 8, 6, 0.0001);
    EXPECT_EQ(in.offsetY, -1.5);
}

TEST(NavigationTest, WheelZoomKeepsThePointUnderThePointer) {
    // Zoom 1, oX −100, oY −50, bottom-left, surface height 150: the pointer
    // at (40, 100) shows data (140, 100). Zoom 2 about it: oX = 40 / 2 − 140
    // = −120, oY = (150 − 100) / 2 − 100 = −75; the point stays under it.
    const ViewPlace v = ZoomAboutPoint({1.0f, -100, -50}, 2.0, 40, 100, 150, OriginCorner::BottomLeft, 0.001);
    EXPECT_EQ(v.zoom, 2.0f);
    EXPECT_EQ(v.offsetX, -120.0);
    EXPECT_EQ(v.offsetY, -75.0);
    const DataPoint under = ReadoutPoint(40, 100, v, 150, OriginCorner::BottomLeft);
    EXPECT_DOUBLE_EQ(under.x, 140.0);
    EXPECT_DOUBLE_EQ(under.y, 100.0);
    // Top-left: the pointer at y 100 shows 100 + 50 = 150; zoom 2: oY = 50 − 150.
    const ViewPlace t = ZoomAboutPoint({1.0f, -100, -50}, 2.0, 40, 100, 150, OriginCorner::TopLeft, 0.001);
    EXPECT_EQ(t.offsetY, -100.0);
}

TEST(NavigationTest, PanFollowsThePointer) {
    // Zoom 2: a drag of 10 right and 6 down moves the data 5 right and, with
    // the bottom-left origin, 3 down (Y upwards); with the top-left, 3 up.
    const ViewPlace b = PanView({2.0f, -10, -20}, 10, 6, OriginCorner::BottomLeft, 0.001);
    EXPECT_EQ(b.offsetX, -5.0);
    EXPECT_EQ(b.offsetY, -23.0);
    const ViewPlace t = PanView({2.0f, -10, -20}, 10, 6, OriginCorner::TopLeft, 0.001);
    EXPECT_EQ(t.offsetY, -17.0);
}

TEST(NavigationTest, FitExtentCentresTheDataWithAMargin) {
    // Extent X 159 … 241 (82), Y 159 … 201 (42) mm on 200 × 150 mm, margin
    // 5 % a side: min(200 / 90.2, 150 / 46.2) = 2.2172… → 2.21.
    // oX = 200 / 4.42 − 200 = −154.7511 → −154.751;
    // oY = 150 / 4.42 − 180 = −146.0633 → −146.063.
    const auto v = FitExtent({159, 159, 241, 201}, 200, 150, 0.001);
    ASSERT_TRUE(v);
    EXPECT_EQ(ZoomFactorText(v->zoom), "2.21");
    EXPECT_EQ(OffsetText(v->offsetX), "-154.751");
    EXPECT_EQ(OffsetText(v->offsetY), "-146.063");
    // A far-away inch board: X 10.1 … 10.9, Y 3 … 3.2 on 8 × 6 inch:
    // min(8 / 0.88, 6 / 0.22) = 9.0909… → 9.09; oX = 4 / 9.09 − 10.5 =
    // −10.05995… → −10.06.
    const auto inch = FitExtent({10.1, 3, 10.9, 3.2}, 8, 6, 0.0001);
    ASSERT_TRUE(inch);
    EXPECT_EQ(ZoomFactorText(inch->zoom), "9.09");
    EXPECT_EQ(OffsetText(inch->offsetX), "-10.06");
    // A single point is centred at zoom 1; a broken extent gives nothing.
    const auto point = FitExtent({5, 5, 5, 5}, 200, 150, 0.001);
    ASSERT_TRUE(point);
    EXPECT_EQ(point->zoom, 1.0f);
    EXPECT_EQ(point->offsetX, 95.0);
    EXPECT_FALSE(FitExtent({1, 1, 0, 0}, 200, 150, 0.001));
}

TEST(NavigationTest, DistanceReadout) {
    // From (1, 2) to (4, 6) mm: 3, 4, 5; inch to 0.0001: 0.52, 0.3 → 0.6003.
    EXPECT_EQ(DistanceText({1, 2}, {4, 6}, 0.001, SurfaceUnit::Millimetre), "ΔX=3 ΔY=4 距離=5 mm");
    EXPECT_EQ(DistanceText({0.42, 0.64}, {0.94, 0.34}, 0.0001, SurfaceUnit::Inch),
              "ΔX=0.52 ΔY=-0.3 距離=0.6003 inch");
}

TEST(NavigationTest, FromPictureUndoesToPicture) {
    ViewTransform t;
    ComputeViewScale("２００％", 2, "10", "-2.5", t);  // d = 4, zoom 2
    for (float origin : {0.0f, 1.0f}) {
        const PicturePoint p = ToPicture(12500, 30000, 100, origin, t);
        const RawPoint raw = FromPicture(p.x, p.y, 100, origin, t);
        EXPECT_NEAR(raw.x, 12500, 1e-6);
        // The bottom-left Y is kept to hundredths on screen: 0.01 mm × 5000.
        EXPECT_NEAR(raw.y, 30000, origin == 0.0f ? 50 : 1e-6);
    }
}

TEST(NavigationTest, ZoomTextsArePlainDecimals) {
    EXPECT_EQ(ZoomFactorText(0.5f), "0.5");
    EXPECT_EQ(ZoomFactorText(16.0f), "16");
    // Sixteen halvings: no exponent, and the text reads back as the factor.
    const std::string tiny = ZoomFactorText(1.0f / 65536);
    EXPECT_EQ(tiny.find_first_of("eE"), std::string::npos);
    EXPECT_EQ(tiny.substr(0, 6), "0.0000");
    EXPECT_EQ(std::stof(tiny), 1.0f / 65536);
    EXPECT_EQ(OffsetBoxValue("12abc"), 12.0);
    EXPECT_EQ(OffsetBoxValue("abc"), 0.0);
}

}  // namespace
}  // namespace mutaplot
