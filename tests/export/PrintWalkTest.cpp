#include "export/PrintWalk.h"

#include "support/FakePlatform.h"
#include "support/RecordingSurface.h"
#include "viewer/ViewerFixture.h"

#include <gtest/gtest.h>

#include <numbers>

namespace mutaplot {
namespace {

using testing::FakePlatform;
using testing::MakeBlocks;
using testing::MakeTable;
using testing::Primitive;
using testing::RecordingSurface;
using testing::SameDrawing;
using testing::ViewerRecords;

constexpr double kDeg = std::numbers::pi / 180;

class PrintTest : public ::testing::Test {
protected:
    PrintResult Print(std::initializer_list<const char*> texts, int inputFormat = 1, float origin = 0.0f) {
        blocks = MakeBlocks(texts);
        return RunPrint(blocks, table, records, controls, inputFormat, origin, setting, page, ui, ui);
    }
    ViewerRecords r;
    PlotRecords records = r.Bind();
    ViewControls controls;
    PrintSetting setting;
    ApertureTable table = MakeTable({{10, "1.0", "1.0", "0", "○"},
                                     {11, "0.2", "0.2", "0", "○"},
                                     {12, "1.0", "1.6", "0.3", "＋"},
                                     {13, "1.5", "1.0", "0", "□"}});
    InputBlockList blocks;
    RecordingSurface page{210, 297, 2.4};  // A4 at 600 dpi: 23.625 pixels per mm
    FakePlatform ui;
};

TEST_F(PrintTest, ThermalLeavesTheArcRecordAlone) {
    // Unlike the screen, the page's thermal keeps the arc record: an arc
    // without start vector after it starts at the record's 0°.
    Print({"D12", "X10000Y10000D03", "D11", "G03X20000Y10000I0J0D01"});
    EXPECT_EQ(r.arc.startAngle, 0.0);
    ASSERT_FALSE(page.Drawn().empty());
    EXPECT_TRUE(SameDrawing({page.Drawn().back()}, {{"arc", {10, 287, 0, 0, 0}, 5}}, 1e-12));
}

TEST_F(PrintTest, PositiveFlashAtTrueSizeFromBothOriginCorners) {
    EXPECT_EQ(Print({"D10", "X10000Y10000D03"}), PrintResult::Printed);
    EXPECT_EQ(Print({"D10", "X10000Y10000D03"}, 1, 1.0f), PrintResult::Printed);
    // 10 mm right of the left edge and 10 mm above the bottom (287) or below the top.
    EXPECT_TRUE(SameDrawing(page.primitives, {{"fillcircle", {10, 287, 0.5}, 1},
                                              {"fillcircle", {10, 10, 0.5}, 1}}));
    EXPECT_EQ(page.mode, DrawMode::Blackness);
    EXPECT_EQ(page.fillColour, kBlack);
    EXPECT_EQ(page.pen, 24);  // 1.0 × 23.625 restored after the flash
    EXPECT_DOUBLE_EQ(r.transform.pixelsPerMm, 56.7 / 2.4);
    EXPECT_EQ(ui.pointer, PointerShape::Default);
}

TEST_F(PrintTest, ZoomDoublesDistancesSizesAndPens) {
    controls.zoomText = "２００％";
    Print({"D11", "X1000Y1000D02", "X2000Y1000D01", "D13", "X5000Y2000D01"});
    // Y is not rounded: 297 − 1 × 2 = 295. Pen 0.2 × 23.625 × 2 = 9.45 → 9.
    // The 1.5 × 1 square (3 × 2 at 200 %) stroke from (4, 295) to (10, 293)
    // goes up the page.
    EXPECT_TRUE(SameDrawing(page.primitives, {{"line", {2, 295, 4, 295}, 9},
                                              {"fillrect", {2.5, 296, 11.5, 292}, 1}}));
    EXPECT_EQ(page.pen, 71);  // 1.5 × 23.625 × 2 = 70.875, restored after the fill
}

TEST_F(PrintTest, NegativePrintBlackensInsideAThreeMillimetreMargin) {
    setting.printNegative = 1;
    Print({"D10", "X10000Y10000D03"});
    EXPECT_TRUE(SameDrawing(page.primitives, {{"fillrect", {3, 3, 207, 294}, 1},
                                              {"fillcircle", {10, 287, 0.5}, 1}}));
    EXPECT_EQ(page.mode, DrawMode::Whiteness);
    EXPECT_EQ(page.drawColour, kWhite);
    EXPECT_EQ(page.fillColour, kWhite);
    // Inch data: the page is in inches, the margin is still 3 mm.
    page.primitives.clear();
    Print({}, 8);
    EXPECT_TRUE(SameDrawing(page.primitives, {{"fillrect", {3 / 25.4, 3 / 25.4, 207 / 25.4, 294 / 25.4}, 24}},
                            1e-12));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, kNoPrintFileMessage);
}

TEST_F(PrintTest, ThermalRingWithoutTheScreensWideningAndArcsBothWays) {
    Print({"D12", "X10000Y10000D03", "X10000Y10000D01", "D11", "X0Y100000D02",
           "G02X100000Y0I0J-100000D01"});
    // Gap 2 × 0.6 + 4 × 0.3 = 2.4 on 2π × 0.65: arc 37.1116°, half gap 26.4442°.
    const double arc = 37.111588141770156, half = 26.444205929114922;
    std::vector<Primitive> expected;
    for (int k = 0; k < 4; ++k)  // ring pen 0.3 × 23.625 = 7.0875 → 7, mean radius 0.65
        expected.push_back({"arc", {10, 287, 0.65, (half + 90 * k) * kDeg, (half + arc + 90 * k) * kDeg}, 7});
    expected.push_back({"arc", {0, 297, 100, 0, 90 * kDeg}, 5});  // 0.2 × 23.625 = 4.725 → 5
    EXPECT_TRUE(SameDrawing(page.primitives, expected, 1e-12));
    EXPECT_EQ(page.lineStyle, LineStyle::Solid);
    page.primitives.clear();
    Print({"D11", "X0Y100000D02", "G02X100000Y0I0J-100000D01"}, 1, 1.0f);
    EXPECT_TRUE(SameDrawing(page.primitives, {{"arc", {0, 0, 100, 270 * kDeg, 360 * kDeg}, 5}}, 1e-12));
}

TEST_F(PrintTest, RelativeDataEndsThePageWithWhatCameBefore) {
    EXPECT_EQ(Print({"D10", "X10000Y10000D03", "G91", "X20000Y10000D03"}), PrintResult::Stopped);
    EXPECT_EQ(page.primitives.size(), 1u);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, kRelativeDataMessage);
    // The print walk does not check low D codes: D5 goes to the table.
    EXPECT_EQ(Print({"D5", "D10", "X10000Y10000D03"}), PrintResult::Printed);
    ASSERT_EQ(ui.messages.size(), 2u);
    EXPECT_EQ(ui.messages[1].text, kDCodeErrorMessage);
    EXPECT_EQ(page.primitives.size(), 2u);
}

}  // namespace
}  // namespace mutaplot
