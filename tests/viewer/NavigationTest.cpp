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
    // Zoom 1, offsets 0, surface 200 wide: a band from data X 10 to 50 gives
    // zoom 200 / 40 = 5 and oX −10, whichever corner comes first.
    const auto forward = AreaZoom({10, 20}, {50, 60}, 0, 200);
    ASSERT_TRUE(forward);
    EXPECT_EQ(forward->zoom, 5.0f);
    EXPECT_EQ(forward->offsetX, -10.0);
    EXPECT_EQ(forward->offsetY, -20.0);
    const auto backward = AreaZoom({50, 60}, {10, 20}, 0, 200);
    ASSERT_TRUE(backward);
    EXPECT_EQ(backward->zoom, 5.0f);
    EXPECT_EQ(backward->offsetX, -10.0);
    EXPECT_EQ(backward->offsetY, -20.0);
    // The zoom is kept to two decimals: 200 / 146 = 1.3698… → 1.37.
    const auto odd = AreaZoom({0, 0}, {146, 10}, 0, 200);
    ASSERT_TRUE(odd);
    EXPECT_EQ(ZoomFactorText(odd->zoom), "1.37");
    // No width, or a zoom that rounds to 0: nothing.
    EXPECT_FALSE(AreaZoom({30, 0}, {30, 10}, 0, 200));
    // The same readout X with an anchor a hair below it is no band either
    // (not a zoom of 10^16).
    EXPECT_FALSE(AreaZoom({29.999999999999996, 0}, {30, 10}, 0, 200));
    EXPECT_FALSE(AreaZoom({0, 0}, {100000, 10}, 0, 200));  // 0.002 → 0.00
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
