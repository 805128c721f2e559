#include "viewer/PlotWalk.h"

#include "support/FakePlatform.h"
#include "viewer/ViewerFixture.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace mutaplot {
namespace {

using testing::FakePlatform;
using testing::MakeBlocks;
using testing::MakeTable;
using testing::ViewerRecords;

// Writes every event as text: "D01 (x0,y0)-(x1,y1)", "arc G02 c(cx,cy) r s e",
// "pen N".
class EventLog final : public PlotSink {
public:
    explicit EventLog(const PlotRecords& r) : r_(r) {}
    void Block(std::string_view d) override {
        std::ostringstream s;
        s << d << " (" << r_.plot.currentX << "," << r_.plot.currentY << ")-("
          << (r_.plot.xText ? *r_.plot.xText : -999) << "," << (r_.plot.yText ? *r_.plot.yText : -999)
          << ")";
        events.push_back(s.str());
    }
    void Arc(std::string_view g) override {
        std::ostringstream s;
        s << "arc " << g << " (" << r_.plot.currentX << "," << r_.plot.currentY << ")-("
          << *r_.plot.xText << "," << *r_.plot.yText << ") c(" << r_.arc.centreX << ","
          << r_.arc.centreY << ") r" << r_.arc.radius << " " << r_.arc.startAngle << " "
          << r_.arc.endAngle;
        events.push_back(s.str());
    }
    void SetPenWidth(int p) override { events.push_back("pen " + std::to_string(p)); }
    std::vector<std::string> events;

private:
    const PlotRecords& r_;
};

class PlotWalkTest : public ::testing::Test {
protected:
    WalkEnd Walk(std::initializer_list<const char*> texts, const WalkRules& rules = kDisplayWalkRules) {
        blocks = MakeBlocks(texts);
        r.plot.currentX = r.plot.currentY = 0;
        r.plot.modalDCode.clear();
        return WalkBlocks(blocks, table, records, rules, log, ui);
    }
    ViewerRecords r;
    PlotRecords records = r.Bind();
    ApertureTable table = MakeTable({{10, "0.5", "0.5", "0", "○"}, {11, "1.0", "1.0", "0", "□"}});
    InputBlockList blocks;
    FakePlatform ui;
    EventLog log{records};
    using Events = std::vector<std::string>;
};

TEST_F(PlotWalkTest, ModalDCodeApertureSelectionAndG54) {
    r.transform.pixelsPerMm = 3.78;
    EXPECT_EQ(Walk({"G54D10", "X100Y200", "X100Y200D01", "X300Y200", "D02", "X400", "Y50D01",
                    "G54", "D11", "D03", "G04 comment", "%FSLAX24Y24*%", ""}),
              WalkEnd::Completed);
    // D10 makes "10" the modal D code: X100Y200 only moves. "X300Y200" is
    // drawn with the modal D01; D02 makes the next block a move; a bare D03
    // flashes at the last end point.
    EXPECT_EQ(log.events, (Events{"pen 2", "10 (0,0)-(100,200)", "D01 (100,200)-(100,200)",
                                  "D01 (100,200)-(300,200)", "D02 (300,200)-(400,200)",
                                  "D01 (400,200)-(400,50)", "pen 4", "D03 (400,50)-(400,50)"}));
    EXPECT_EQ(r.plot.modalDCode, "D03");
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(r.currentGCode, "");
}

TEST_F(PlotWalkTest, ParameterBlocksAreRemovedAsTheConverterRemovesThem) {
    r.transform.pixelsPerMm = 3.78;
    Walk({"%ADD11C,0.1", "%G54D11", "X100Y0D01",              // "*" mode: selects D11
          "%AMOC8", "X5Y5D03", "21,0,0.0780,0.0200,0,0,135*%",  // a macro's lines draw nothing
          "G74*%FSLAN2X34Y34*%", "G02", "%LPD*%", "X200Y0I50J0D01",
          "X300Y0D01%LPC*%", "%", "X9Y9D03"});                   // never closed
    EXPECT_EQ(log.events, (Events{"pen 4", "D01 (0,0)-(100,0)",
                                  "arc G02 (100,0)-(200,0) c(150,0) r50 180 0",
                                  "D01 (200,0)-(300,0)"}));
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(PlotWalkTest, G01BlocksSetTheGCodeOnlyWhenTheyDraw) {
    Walk({"D01", "G01", "G1X100D01", "G01X100D01", "G01Y-50", "G01X7Y8D02"});
    EXPECT_EQ(log.events, (Events{"D01 (0,0)-(100,0)", "D01 (100,0)-(100,-50)", "D02 (100,-50)-(7,8)"}));
    EXPECT_EQ(r.currentGCode, "G01");
}

TEST_F(PlotWalkTest, ArcsByBareGCodeByGCodeBlockAndByModalGCode) {
    r.currentGCode = "G01";
    Walk({"X0Y100D02", "G02", "X100Y0I0J-100D01", "X0Y-100I0J-100D01",  // modal G02 from here
          "G03X100Y0I0J100D01", "Y500I20J0D01"});
    EXPECT_EQ(log.events,
              (Events{"D02 (0,0)-(0,100)",
                      "arc G02 (0,100)-(100,0) c(0,0) r100 90 0",
                      "arc G02 (100,0)-(0,-100) c(100,-100) r100 90 180",
                      "arc G03 (0,-100)-(100,0) c(0,0) r100 270 0",
                      // a block starting with Y is a line even in an arc mode
                      "D01 (100,0)-(100,500)"}));
    EXPECT_EQ(r.currentGCode, "G03");
}

TEST_F(PlotWalkTest, ArcWithoutDWordAfterApertureSelectionKeepsItsOffsets) {
    // After D10 the modal code is the bare "10"; appended to the arc block it
    // must not lengthen J-100 into J-10010. Radius 100 around (0, 0).
    r.currentGCode = "G02";
    Walk({"X0Y100D02", "D10", "X100Y0I0J-100"});
    ASSERT_EQ(log.events.size(), 3u);
    EXPECT_EQ(log.events[2], "arc G02 (0,100)-(100,0) c(0,0) r100 90 0");
    EXPECT_EQ(r.plot.modalDCode, "10");
}

TEST_F(PlotWalkTest, ArcAngleTableWithItsPiOf314159) {
    // Start angle: the vector from the centre to the start point, (−I, −J).
    struct Case {
        double i, j, angle;
    };
    const Case cases[] = {
        {-100, 0, 0},   {0, 100, 270},  {100, 0, 180},  {0, -100, 90},
        {-1, -1, 45.000038009906035},              // atan(1) × 180 / 3.14159
        {4, -3, 143.1301472312715},   // (−4, 3): 90 + atan(4/3) × 180 / 3.14159
        {3, 4, 233.1301472312715},    // (−3, −4): 180 + atan(4/3) × 180 / 3.14159
        {-3, 4, 306.86992878854056},  // (3, −4): 270 + atan(3/4) × 180 / 3.14159
    };
    for (const Case& c : cases) {
        ArcGeometry arc;
        arc.offsetI = c.i;
        arc.offsetJ = c.j;
        ArcStartAngle(arc);
        EXPECT_NEAR(arc.startAngle, c.angle, 1e-9) << c.i << "," << c.j;
    }
    // A zero vector keeps the previous angle, for start and end alike.
    ArcGeometry arc;
    arc.startAngle = 33;
    arc.endAngle = 44;
    ArcStartAngle(arc);
    ArcEndAngle(arc, 0, 0);
    EXPECT_EQ(arc.startAngle, 33);
    EXPECT_EQ(arc.endAngle, 44);
}

TEST_F(PlotWalkTest, ParseArcBlockWordBoundaries) {
    PlotState plot;
    ArcGeometry arc;
    plot.currentX = 10;
    plot.currentY = 20;
    plot.xText = 10;
    plot.yText = 20;
    ASSERT_TRUE(ParseArcBlock("Y-80J-50D01", plot, arc));  // X keeps its value; I absent → 0
    EXPECT_EQ(*plot.xText, 10);
    EXPECT_EQ(*plot.yText, -80);
    EXPECT_EQ(arc.offsetI, 0);
    EXPECT_EQ(arc.offsetJ, -50);
    EXPECT_EQ(arc.centreY, -30);
    EXPECT_EQ(arc.radius, 50);
    ASSERT_TRUE(ParseArcBlock("X40I30", plot, arc));  // no D: runs to the end
    EXPECT_EQ(*plot.xText, 40);
    EXPECT_EQ(arc.offsetI, 30);
    EXPECT_EQ(arc.offsetJ, 0);
    EXPECT_EQ(arc.centreX, 40);
    // Neither I nor J, words out of order, no number: refused, nothing changed.
    EXPECT_FALSE(ParseArcBlock("X1Y2D01", plot, arc));
    EXPECT_FALSE(ParseArcBlock("X1I5Y2J3D01", plot, arc));
    EXPECT_FALSE(ParseArcBlock("XzzY2I1D01", plot, arc));
    EXPECT_FALSE(ParseArcBlock("X1Y2IqD01", plot, arc));
    EXPECT_EQ(*plot.xText, 40);
    EXPECT_EQ(arc.offsetI, 30);
}

TEST_F(PlotWalkTest, RelativeDataStopsDisplayAndPrintButNotDxf) {
    EXPECT_EQ(Walk({"X1Y1D01", "G91", "X2Y2D01"}), WalkEnd::Relative);
    EXPECT_EQ(log.events.size(), 1u);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, kRelativeDataMessage);
    EXPECT_EQ(Walk({"X1Y1D01", "G91", "X2Y2D01"}, kPrintWalkRules), WalkEnd::Relative);
    EXPECT_EQ(ui.messages.size(), 2u);
    log.events.clear();
    EXPECT_EQ(Walk({"X1Y1D01", "G91", "X2Y2D01"}, kDxfWalkRules), WalkEnd::Completed);
    EXPECT_EQ(log.events.size(), 2u);
    EXPECT_EQ(ui.messages.size(), 2u);
}

TEST_F(PlotWalkTest, LowDCodesEndTheDisplayButGoToTheApertureElsewhere) {
    EXPECT_EQ(Walk({"X1Y1D01", "D5", "X2Y2D01"}), WalkEnd::Completed);
    EXPECT_EQ(log.events.size(), 1u);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, kSeparatorMismatchMessage);
    // A D block whose number is not a number gets the same message.
    EXPECT_EQ(Walk({"DAB", "X2Y2D01"}), WalkEnd::Completed);
    ASSERT_EQ(ui.messages.size(), 2u);
    EXPECT_EQ(ui.messages[1].text, kSeparatorMismatchMessage);
    // The DXF walk sends D5 to the aperture table and goes on.
    log.events.clear();
    EXPECT_EQ(Walk({"D5", "D01", "X2Y2"}, kDxfWalkRules), WalkEnd::Completed);
    ASSERT_EQ(ui.messages.size(), 3u);
    EXPECT_EQ(ui.messages[2].text, kDCodeErrorMessage);
    EXPECT_EQ(log.events, (Events{"D01 (0,0)-(2,2)"}));
}

TEST_F(PlotWalkTest, BareArcCodeAsLastBlockEndsTheWalkWithoutAnArc) {
    r.currentGCode = "G01";
    EXPECT_EQ(Walk({"X5Y5D01", "G03"}), WalkEnd::Completed);
    EXPECT_EQ(log.events, (Events{"D01 (0,0)-(5,5)"}));
    EXPECT_EQ(r.currentGCode, "G01");
}

TEST_F(PlotWalkTest, LinearBlocksCarryingIAndJAreLinesToTheirXAndY) {
    r.currentGCode = "G01";
    Walk({"X100Y200I5J5D01", "X300I7D01"});
    EXPECT_EQ(log.events, (Events{"D01 (0,0)-(100,200)", "D01 (100,200)-(300,200)"}));
}

TEST_F(PlotWalkTest, BlocksWithoutWordBoundariesAreSkipped) {
    r.currentGCode = "G02";
    Walk({"X100D01Y200",      // Y after D
          "XabcY5D01",        // no number at the start of X
          "G02X1Y2D01",       // arc with neither I nor J
          "G01Y5X3D01",       // X after Y
          "X7Y8D01"});
    EXPECT_EQ(log.events, (Events{"D01 (0,0)-(7,8)"}));
    EXPECT_EQ(r.currentGCode, "G02");
    // An empty word stands for the current point's coordinate.
    log.events.clear();
    Walk({"X5Y6D02", "XY9D01"});
    EXPECT_EQ(log.events, (Events{"D02 (0,0)-(5,6)", "D01 (5,6)-(5,9)"}));
}

TEST_F(PlotWalkTest, FlashBeforeTheFirstCoordinateUsesThePreviousWalksEndPoint) {
    Walk({"D03"});
    EXPECT_EQ(log.events, (Events{"D03 (0,0)-(0,0)"}));  // program start: the current point
    Walk({"X30Y40D02"});
    log.events.clear();
    Walk({"D03"});
    EXPECT_EQ(log.events, (Events{"D03 (0,0)-(30,40)"}));
}

}  // namespace
}  // namespace mutaplot
