// Print and DXF of the list-mode walk on inch and trailing-zero data.

#include "export/DxfExport.h"
#include "export/PrintWalk.h"
#include "viewer/TracingSurface.h"

#include "support/FakePlatform.h"
#include "support/RecordingSurface.h"
#include "viewer/ViewerFixture.h"

#include <gtest/gtest.h>

namespace mutaplot {
namespace {

using testing::FakePlatform;
using testing::MakeBlocks;
using testing::MakeTable;
using testing::RecordingSurface;
using testing::ViewerRecords;

TEST(PrintTrace, TheSurfaceLineOfInchDataGivesThePageInInches) {
    // A 200 × 100 mm page: 7.8740157480315 × 3.93700787401575 inches (15
    // significant digits), the unit of every call that follows.
    ViewerRecords r;
    PlotRecords records = r.Bind();
    FakePlatform ui;
    RecordingSurface page{200, 100, 15};
    std::string trace;
    TracingSurface traced(page, [&trace](std::string_view t) { trace += t; });
    const ApertureTable table = MakeTable({{10, "0.05", "0.05", "0", "○"}});
    const InputBlockList blocks = MakeBlocks({"D10", "X10000Y10000D03"});
    RunPrint(blocks, table, records, ViewControls(), 8, 0.0f, PrintSetting(), traced, ui, ui);
    traced.Flush();
    EXPECT_EQ(trace.substr(0, trace.find('\n')), "surface 7.8740157480315 3.93700787401575 15");
    // The flash: 1 inch right, 1 inch up from the bottom, radius 0.025 inch.
    EXPECT_NE(trace.find("fillcircle 1 2.93700787401575 0.025 1"), std::string::npos) << trace;
}

TEST(PrintTrace, InchStrokesArePrintedWithPixelsPerInch) {
    // 2.4 twips per pixel: 23.625 pixels per mm, 600.075 per inch; a 0.01
    // inch pen is 6.00075 → 6 pixels (it was 0.23625 → 1).
    ViewerRecords r;
    PlotRecords records = r.Bind();
    FakePlatform ui;
    RecordingSurface page{210, 297, 2.4};
    const ApertureTable table = MakeTable({{10, "0.01", "0.01", "0", "○"}});
    const InputBlockList blocks = MakeBlocks({"D10", "X0Y0D02", "X10000Y0D01"});
    RunPrint(blocks, table, records, ViewControls(), 8, 0.0f, PrintSetting(), page, ui, ui);
    const auto drawn = page.Drawn();
    ASSERT_FALSE(drawn.empty());
    EXPECT_EQ(drawn.back().kind, "line");
    EXPECT_EQ(drawn.back().pen, 6);
}

TEST(DxfOfFileFormat, TrailingZeroDataExportsAsItsLeadingZeroTwin) {
    // The same drawing written with trailing and with leading zeros omitted
    // gives the same DXF text.
    const ApertureTable table = MakeTable({{10, "0.05", "0.05", "0", "○"}});
    const std::vector<std::string> head{"0", "SECTION"};
    auto dxf = [&](std::initializer_list<const char*> texts, ZeroMode zeros) {
        ViewerRecords r;
        PlotRecords records = r.Bind();
        FakePlatform ui;
        FileFormat format(8);
        format.zeros = zeros;
        const InputBlockList blocks = MakeBlocks(texts);
        return BuildDxfText(head, blocks, table, records, ViewControls(), format, DxfOptions{}, ui);
    };
    const std::string trailing =
        dxf({"D10", "X0025Y-00125D03", "X0Y0D02", "X01D01", "G03X02Y0I005J0D01"},
            ZeroMode::TrailingOmitted);
    const std::string leading =
        dxf({"D10", "X2500Y-1250D03", "X0Y0D02", "X10000D01", "G03X20000Y0I5000J0D01"},
            ZeroMode::LeadingOmitted);
    EXPECT_EQ(trailing, leading);
    EXPECT_NE(trailing.find("ARC"), std::string::npos);
}

}  // namespace
}  // namespace mutaplot
