#include "viewer/Rendering.h"

#include "support/FakePlatform.h"
#include "support/RecordingSurface.h"
#include "viewer/ViewerFixture.h"

#include <gtest/gtest.h>

namespace mutaplot {
namespace {

using testing::FakePlatform;
using testing::MakeBlocks;
using testing::MakeTable;
using testing::Primitive;
using testing::RecordingSurface;
using testing::SameDrawing;
using testing::ViewerRecords;

constexpr double kDeg = 3.141592653 / 180;  // the screen's degrees → radians

class RenderingTest : public ::testing::Test {
protected:
    DisplayPassResult Pass(std::initializer_list<const char*> texts, float drawOrigin = 0.0f) {
        blocks = MakeBlocks(texts);
        return RunDisplayPass(blocks, table, records, controls, 1, drawOrigin, surface, ui, ui);
    }
    ViewerRecords r;
    PlotRecords records = r.Bind();
    ViewControls controls;
    ApertureTable table = MakeTable({{10, "2.0", "2.0", "0", "○"},
                                     {11, "1.0", "1.0", "0", "□"},
                                     {12, "1.0", "0.5", "0", "□"},
                                     {13, "1.0", "1.6", "0.3", "＋"},
                                     {14, "1.0", "1.6", "0.3", "×"},
                                     {15, "0.5", "0.5", "0", "○"}});
    InputBlockList blocks;
    RecordingSurface surface{200, 100};  // 15 twips per pixel: 3.78 pixels per mm
    FakePlatform ui;
};

TEST_F(RenderingTest, WorkedExampleInHighQuality) {
    EXPECT_EQ(Pass({"G54D10", "X10000Y10000D02", "X50000Y10000D01", "G54D11", "X50000Y30000D03"}),
              DisplayPassResult::Completed);
    // D10: 2.0 × 3.78 = 7.56 → pen 8; D11: 3.78 → pen 4. The square flash is
    // filled with a one-pixel pen and the pen is given back afterwards.
    EXPECT_TRUE(SameDrawing(surface.primitives, {{"clear", {}, 1},
                                                 {"line", {10, 90, 50, 90}, 8},
                                                 {"fillrect", {49.5, 69.5, 50.5, 70.5}, 1}}));
    EXPECT_EQ(surface.pen, 4);
    EXPECT_EQ(r.view.viewDrawn, 1.0f);
    EXPECT_EQ(ui.pointer, PointerShape::Default);
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(RenderingTest, WorkedExampleInFastQualityWithTopLeftOrigin) {
    controls.qualityText = kQualityFastText;
    Pass({"G54D10", "X10000Y10000D02", "X50000Y10000D01", "G54D11", "X50000Y30000D03",
          "D10", "D03"},
         1.0f);
    EXPECT_TRUE(SameDrawing(surface.Drawn(), {{"line", {10, 10, 50, 10}, 1},
                                              {"rect", {49.5, 29.5, 50.5, 30.5}, 1},
                                              {"circle", {50, 30, 1}, 1}}));
    EXPECT_EQ(surface.fillStyle, FillStyle::Transparent);
}

TEST_F(RenderingTest, SquareStrokeCornersFollowTheDirectionOnTheSurface) {
    // 1 × 0.5 mm square, bottom-left origin on a 100 mm surface.
    Pass({"D12", "X0Y0D02", "X10000Y0D01", "X0Y0D01", "X0Y0D01", "X0Y10000D01", "X10000Y0D01"});
    EXPECT_TRUE(SameDrawing(surface.Drawn(),
                            {{"fillrect", {-0.5, 100.25, 10.5, 99.75}, 1},
                             {"fillrect", {-0.5, 100.25, 10.5, 99.75}, 1},
                             // zero length: nothing; up the screen from (0,100) to (0,90):
                             {"fillrect", {-0.5, 100.25, 0.5, 89.75}, 1},
                             // down the screen from (0,90) to (10,100): the corners'
                             // rectangle, not the swept figure
                             {"fillrect", {9.5, 100.25, 0.5, 89.75}, 1}}));
    EXPECT_EQ(surface.pen, 4);  // 1.0 × 3.78 restored after each fill
}

TEST_F(RenderingTest, ThermalSegmentsOfBothShapes) {
    // Inner 1.0, outer 1.6, spokes 0.3: gap (1.2 + 1.2) × 1.1 = 2.64 on a
    // circumference of 0.65 × 2π; arc 31.8227…°, half gap 29.0886…°.
    const double arc = 31.82274694502515, half = 29.088626527487428;
    auto plus = ComputeThermalSegments({1.0, 1.6, 0.3, ApertureShape::ThermalAxes}, 1.1, 3.141592653);
    ASSERT_TRUE(plus);
    for (int k = 0; k < 4; ++k) {
        EXPECT_NEAR((*plus)[k].start, half + 90 * k, 1e-9);
        EXPECT_NEAR((*plus)[k].end, half + arc + 90 * k, 1e-9);
    }
    auto cross = ComputeThermalSegments({1.0, 1.6, 0.3, ApertureShape::ThermalDiagonal}, 1.1, 3.141592653);
    ASSERT_TRUE(cross);
    EXPECT_NEAR((*cross)[0].start, 344.0886265274874, 1e-9);
    EXPECT_NEAR((*cross)[0].end, 15.911373472512574, 1e-9);
    EXPECT_NEAR((*cross)[1].start, 74.08862652748743, 1e-9);
    EXPECT_NEAR((*cross)[3].end, 285.9113734725126, 1e-9);
    // No ring: sizes adding up to 0, gaps longer than the ring, not a thermal.
    EXPECT_FALSE(ComputeThermalSegments({0, 0, 0, ApertureShape::ThermalAxes}, 1.1, 3.14));
    EXPECT_FALSE(ComputeThermalSegments({1.0, 1.6, 2.0, ApertureShape::ThermalAxes}, 1.1, 3.14));
    EXPECT_FALSE(ComputeThermalSegments({1.0, 1.6, 0.3, ApertureShape::Round}, 1.1, 3.14));
}

TEST_F(RenderingTest, ThermalFlashDrawsFourArcsWithTheRingPen) {
    Pass({"D13", "X10000Y10000D03", "D11", "X20000Y10000D01"});
    const double arc = 31.82274694502515, half = 29.088626527487428;
    std::vector<Primitive> expected;
    for (int k = 0; k < 4; ++k)  // ring 0.3 × 3.78 = 1.134 → pen 1; mean radius 0.65
        expected.push_back({"arc", {10, 90, 0.65, (half + 90 * k) * kDeg, (half + arc + 90 * k) * kDeg}, 1});
    // A thermal cannot stroke: the D01 with D13 draws nothing, so only the
    // square stroke that follows appears.
    expected.push_back({"fillrect", {9.5, 90.5, 20.5, 89.5}, 1});
    EXPECT_TRUE(SameDrawing(surface.Drawn(), expected, 1e-12));
    // The last segment's angles stay in the arc record.
    EXPECT_NEAR(r.arc.startAngle, half + 270, 1e-9);
    EXPECT_NEAR(r.arc.endAngle, half + arc + 270, 1e-9);
}

TEST_F(RenderingTest, ArcWithoutStartVectorAfterAThermalStartsAtItsLastSegment) {
    // I0J0: the arc's start vector is zero, so its start angle is what the
    // record held: the start of the thermal's last ring segment (270° +
    // the half gap); the end lies at 0° from the centre (10, 10) mm.
    Pass({"D13", "X10000Y10000D03", "D15", "G03X20000Y10000I0J0D01"});
    const double half = 29.088626527487428;
    const std::vector<Primitive> drawn = surface.Drawn();
    ASSERT_EQ(drawn.size(), 5u);
    EXPECT_TRUE(SameDrawing({drawn.back()}, {{"arc", {10, 90, 0, (half + 270) * kDeg, 0}, 2}}, 1e-12));
}

TEST_F(RenderingTest, ArcsInBothOriginCorners) {
    // A G02 arc from (0, 100) to (100, 0) mm around the origin. Bottom-left:
    // counter-clockwise on screen from 0° to 90°; top-left: from 270° to 360°.
    RecordingSurface tall{200, 150};
    blocks = MakeBlocks({"D15", "X0Y100000D02", "G02X100000Y0I0J-100000D01"});
    RunDisplayPass(blocks, table, records, controls, 1, 0.0f, tall, ui, ui);
    RunDisplayPass(blocks, table, records, controls, 1, 1.0f, tall, ui, ui);
    controls.qualityText = kQualityFastText;
    blocks = MakeBlocks({"X0Y100000D02", "G03X-100000Y0I0J-100000D01"});
    RunDisplayPass(blocks, table, records, controls, 1, 0.0f, tall, ui, ui);
    RunDisplayPass(blocks, table, records, controls, 1, 1.0f, tall, ui, ui);
    EXPECT_TRUE(SameDrawing(tall.Drawn(), {{"arc", {0, 150, 100, 0, 90 * kDeg}, 2},
                                           {"arc", {0, 0, 100, 270 * kDeg, 360 * kDeg}, 2},
                                           // fast quality: the D02 event before the
                                           // arc has set the pen to one pixel
                                           {"arc", {0, 150, 100, 90 * kDeg, 180 * kDeg}, 1},
                                           {"arc", {0, 0, 100, 180 * kDeg, 270 * kDeg}, 1}},
                            1e-12));
}

TEST_F(RenderingTest, PassOutcomes) {
    EXPECT_EQ(Pass({}), DisplayPassResult::NoData);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, kNoDisplayFileMessage);
    EXPECT_EQ(r.view.viewDrawn, 0.0f);
    EXPECT_EQ(Pass({"D15", "X1000Y1000D01", "G91", "X0Y0D01"}), DisplayPassResult::Stopped);
    EXPECT_EQ(r.view.viewDrawn, 0.0f);
    EXPECT_EQ(surface.Drawn().size(), 1u);
    EXPECT_EQ(ui.pointer, PointerShape::Default);
    // Zoom 200 % with offsets: (1 mm + 10) × 2 = 22 mm from the left edge.
    controls.zoomText = "２００％";
    controls.offsetXText = "10";
    surface.primitives.clear();
    EXPECT_EQ(Pass({"D15", "X1000Y1000D03"}), DisplayPassResult::Completed);
    EXPECT_TRUE(SameDrawing(surface.Drawn(), {{"fillcircle", {22, 98, 0.5}, 1}}));
    EXPECT_EQ(surface.pen, 4);  // 0.5 × 3.78 × 2 = 3.78
}

}  // namespace
}  // namespace mutaplot
