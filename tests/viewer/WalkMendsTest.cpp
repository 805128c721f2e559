// The list-mode walk on real files: inch pens, the input zero mode, single-
// quadrant arcs. Expected values are worked out by hand below each case.

#include "aperture/AptFile.h"
#include "input/BlockReader.h"
#include "viewer/FileFormat.h"
#include "viewer/PlotWalk.h"
#include "viewer/QImageSurface.h"
#include "viewer/Rendering.h"

#include "support/FakePlatform.h"
#include "support/RecordingSurface.h"
#include "viewer/ViewerFixture.h"

#include <gtest/gtest.h>

#include <cmath>

namespace mutaplot {
namespace {

using testing::FakePlatform;
using testing::MakeBlocks;
using testing::MakeTable;
using testing::Primitive;
using testing::RecordingSurface;
using testing::ViewerRecords;

FileFormat Format(int code, ZeroMode zeros) {
    FileFormat f(code);
    f.zeros = zeros;
    return f;
}

TEST(InchPenWidth, StrokesUsePixelsPerInchForInchPictures) {
    ViewTransform t;
    t.pixelsPerMm = 3.78;
    CurrentAperture a;
    a.sizeX = a.sizeY = 0.05;  // inches on an inch picture
    t.pictureUnit = SurfaceUnit::Inch;
    // 0.05 × 3.78 × 25.4 = 4.8006 → 5; at zoom 2 9.6012 → 10.
    EXPECT_EQ(AperturePenWidth(a, t), 5);
    t.zoom = 2;
    EXPECT_EQ(AperturePenWidth(a, t), 10);
    // Thermal ring width (0.09 − 0.05) / 2 = 0.02 inch: 1.92024 → 2.
    t.zoom = 1;
    a.sizeX = 0.05;
    a.sizeY = 0.09;
    a.shape = ApertureShape::ThermalAxes;
    EXPECT_EQ(AperturePenWidth(a, t), 2);
    // Millimetre pictures as written: 0.5 mm × 3.78 = 1.89 → 2.
    t.pictureUnit = SurfaceUnit::Millimetre;
    a = {};
    a.sizeX = 0.5;
    EXPECT_EQ(AperturePenWidth(a, t), 2);
}

TEST(InchPenWidth, AnInchStrokeIsAsWideAsTheFlashOfItsAperture) {
    // 96 dpi: 15 twips per pixel, pixelsPerMm 3.78; inch(2.4), top-left
    // origin, so picture inches × 96 are pixels. D10 is 0.05 inch round.
    ViewerRecords r;
    PlotRecords records = r.Bind();
    FakePlatform ui;
    const ApertureTable table = MakeTable({{10, "0.05", "0.05", "0", "○"}});
    const InputBlockList blocks =
        MakeBlocks({"D10", "X2500Y2500D02", "X10000Y2500D01", "X15000Y2500D03"});
    QImageSurface picture(200, 100, 96);
    RunDisplayPass(blocks, table, records, ViewControls(), 8, 1.0f, picture, ui, ui);
    const QImage& img = picture.Image();
    auto darkRowsInColumn = [&img](int x) {
        int n = 0;
        for (int y = 0; y < img.height(); ++y) n += qGray(img.pixel(x, y)) < 128;
        return n;
    };
    // The stroke runs along y = 0.25 inch = 24 px with a pen of 5 pixels:
    // pixel centres 21.5 … 25.5 lie in [21.5, 26.5): 5 rows (it was 1).
    EXPECT_EQ(darkRowsInColumn(60), 5);
    for (int y = 21; y <= 25; ++y) EXPECT_LT(qGray(img.pixel(60, y)), 128) << y;
    // The flash at x = 1.5 inch = 144 px: a disc of radius 0.025 inch =
    // 2.4 px with its one-pixel outline, 2.9 px; column 143 (centre 0.5 px
    // from the middle) holds sqrt(2.9² − 0.5²) = 2.857 px either side of
    // y = 24: centres 21.5 … 26.5, 6 rows.
    EXPECT_EQ(darkRowsInColumn(143), 6);
}

TEST(FileZeroMode, TrailingZerosAreRestoredAsTheConverterRestoresThem) {
    // inch(2.4): six digits. "25" → 250000, "0025" → 2500, "-00125" → -1250.
    CountReader reader(Format(8, ZeroMode::TrailingOmitted));
    EXPECT_EQ(reader.Read("25"), 250000.0);
    EXPECT_EQ(reader.Read("0025"), 2500.0);
    EXPECT_EQ(reader.Read("-00125"), -1250.0);
    EXPECT_EQ(reader.Read("123456"), 123456.0);
    EXPECT_EQ(reader.Read("0025D01"), 2500.0);  // what follows the number is ignored
    EXPECT_EQ(reader.Read("1.5"), 1.5);         // a decimal point: read as written
    EXPECT_FALSE(reader.Read("D01"));
    // Leading zeros omitted and none omitted read the digits as they stand.
    EXPECT_EQ(CountReader(Format(8, ZeroMode::LeadingOmitted)).Read("25"), 25.0);
    EXPECT_EQ(CountReader(Format(8, ZeroMode::NoneOmitted)).Read("002500"), 2500.0);
    // Beyond the double range: unreadable, never 0 or infinite.
    EXPECT_FALSE(CountReader(Format(8, ZeroMode::LeadingOmitted)).Read(std::string(400, '9')));
    EXPECT_FALSE(CountReader(Format(8, ZeroMode::TrailingOmitted)).Read(std::string(400, '9')));
}

TEST(FileZeroMode, AStatementAfterDataChangesOnlyHowNumbersAreRead) {
    // The view counts in inch(2.4); numbers read as mm(4.3) (25.4 mm = 1
    // inch = 10000 counts) or as inch(2.5) trailing ("25" → 2500000 of
    // 10^-5 inch = 250000 view counts).
    CountReader reader(Format(8, ZeroMode::LeadingOmitted));
    reader.SetReading(Format(1, ZeroMode::LeadingOmitted));
    EXPECT_NEAR(*reader.Read("25400"), 10000.0, 1e-9);
    reader.SetReading(Format(9, ZeroMode::TrailingOmitted));
    EXPECT_NEAR(*reader.Read("25"), 250000.0, 1e-9);
}

class WalkEvents final : public PlotSink {
public:
    explicit WalkEvents(const PlotRecords& r) : r_(r) {}
    void Block(std::string_view d) override {
        if (d == "D03" || d == "D01") points.push_back({*r_.plot.xText, *r_.plot.yText});
    }
    void Arc(std::string_view) override {
        arcs.push_back({r_.arc.centreX, r_.arc.centreY, r_.arc.radius, r_.arc.startAngle,
                        r_.arc.endAngle});
    }
    void SetPenWidth(int) override {}
    std::vector<std::array<double, 2>> points;
    std::vector<std::array<double, 5>> arcs;

private:
    const PlotRecords& r_;
};

class WalkMendsTest : public ::testing::Test {
protected:
    void Walk(std::initializer_list<const char*> texts, const FileFormat& format = FileFormat(8)) {
        blocks = MakeBlocks(texts);
        PrepareWalk(ViewControls(), format, records);
        WalkBlocks(blocks, table, records, kDxfWalkRules, events, ui);
    }
    ViewerRecords r;
    PlotRecords records = r.Bind();
    ApertureTable table = MakeTable({});
    InputBlockList blocks;
    FakePlatform ui;
    WalkEvents events{records};
};

TEST_F(WalkMendsTest, TrailingZeroDataIsPlacedWhereTheConverterPutsIt) {
    // inch(2.4) trailing, six digits: X0025 = 2500 (0.25 inch), Y-00125 =
    // -1250; the half circle from (0, 0) ends at X001 = 1000 around I0005 =
    // 500, J0 = 0: centre (500, 0), radius 500, from 180° to 0°. Read as
    // plain numbers it would flash at (25, -125) and end at X1 around I5.
    Walk({"D10", "X0025Y-00125D03", "X0Y0D02", "G03X001Y0I0005J0D01"},
         Format(8, ZeroMode::TrailingOmitted));
    ASSERT_EQ(events.points.size(), 1u);
    EXPECT_EQ(events.points[0], (std::array<double, 2>{2500, -1250}));
    ASSERT_EQ(events.arcs.size(), 1u);
    EXPECT_EQ(events.arcs[0], (std::array<double, 5>{500, 0, 500, 180, 0}));
}

TEST_F(WalkMendsTest, UnsignedQuarterArcsAreReadTheSingleQuadrantWay) {
    // The inch sample's corner: from (20000, 14000) counter-clockwise to
    // (19000, 15000) with I1000 J0. Signed, the centre (21000, 14000) lies
    // 1000 from the start and 2236 from the end; of the centres
    // (20000 ± 1000, 14000) the one at 19000 is 1000 from both: a quarter
    // from 0° to 90°.
    Walk({"X20000Y14000D02", "G03X19000Y15000I1000J0D01"});
    ASSERT_EQ(events.arcs.size(), 1u);
    EXPECT_EQ(events.arcs[0], (std::array<double, 5>{19000, 14000, 1000, 0, 90}));
}

TEST_F(WalkMendsTest, G75KeepsTheSignedReadingAndG74RestoresTheQuadrantOne) {
    Walk({"G75", "X20000Y14000D02", "G03X19000Y15000I1000J0D01", "G74", "X20000Y14000D02",
          "G03X19000Y15000I1000J0D01"});
    ASSERT_EQ(events.arcs.size(), 2u);
    EXPECT_EQ(events.arcs[0][0], 21000);  // as written under G75
    EXPECT_EQ(events.arcs[0][2], 1000);
    EXPECT_EQ(events.arcs[1][0], 19000);  // single quadrant again
}

TEST_F(WalkMendsTest, ConsistentSignedArcsStayAsWrittenUnderG74) {
    // From (0, 0) clockwise to (100, 0) with I50 J100: centre (50, 100) is
    // 111.8 from both ends, so the long way round is kept as written.
    Walk({"X0Y0D02", "G02X100Y0I50J100D01"});
    ASSERT_EQ(events.arcs.size(), 1u);
    EXPECT_EQ(events.arcs[0][0], 50);
    EXPECT_EQ(events.arcs[0][1], 100);
    // Within 1 %: end radius 100.5 against 100 stays as written.
    PlotState plot;
    plot.xText = 200.5;
    plot.yText = 0;
    ArcGeometry arc{100, 0, 100, 0, 100, 0, 0};
    EXPECT_FALSE(ReadSingleQuadrantArc("G03", plot, arc));
    EXPECT_EQ(arc.centreX, 100);
}

TEST_F(WalkMendsTest, SingleQuadrantTieTakesTheShortSweep) {
    // From (0, 0) clockwise to (100, 0) with I-50 J100: signed, the centre
    // (-50, 100) is 111.8 from the start but 180.3 from the end. Centres
    // (50, 100) and (50, -100) are both 111.8 from the end: clockwise the
    // first sweeps 306.9°, the second 53.1° — the second is taken.
    PlotState plot;
    plot.xText = 100;
    plot.yText = 0;
    ArcGeometry arc{-50, 100, -50, 100, std::hypot(50.0, 100.0), 0, 0};
    EXPECT_TRUE(ReadSingleQuadrantArc("G02", plot, arc));
    EXPECT_EQ(arc.offsetI, 50);
    EXPECT_EQ(arc.offsetJ, -100);
    EXPECT_EQ(arc.centreX, 50);
    EXPECT_EQ(arc.centreY, -100);
    // Counter-clockwise the same ends make (50, 100) the short one (53.1°).
    arc = ArcGeometry{-50, 100, -50, 100, std::hypot(50.0, 100.0), 0, 0};
    EXPECT_TRUE(ReadSingleQuadrantArc("G03", plot, arc));
    EXPECT_EQ(arc.centreY, 100);
}

ConversionSettings SettingsOf(int inputFormat, ZeroMode zeros,
                              InputSeparator separator = InputSeparator::Lf) {
    ConversionSettings s;
    s.inputFormat = static_cast<std::uint8_t>(inputFormat);
    s.inputUnit = UnitForFormat(inputFormat);
    s.inputZeroMode = StoredCode(zeros);
    s.inputSeparator = StoredCode(separator);
    return s;
}

TEST(ScanFileFormat, TheFirstStatementsBeforeTheFirstCoordinateDecide) {
    const ConversionSettings mm43 = SettingsOf(1, ZeroMode::LeadingOmitted);
    // No statement: the settings' own format.
    EXPECT_EQ(ScanFileFormat(MakeBlocks({"D10", "X1Y1D03"}), mm43), FileFormat(1));
    // %FS 2.4 names inch(2.4): four decimals, inch, trailing zeros.
    FileFormat f = ScanFileFormat(MakeBlocks({"G04 x*", "%FSTAX24Y24*%", "D10", "X25Y1D03"}), mm43);
    EXPECT_EQ(f.decimalDigits, 4);
    EXPECT_EQ(f.integerDigits, 2);
    EXPECT_EQ(f.unit, Unit::Inch);
    EXPECT_EQ(f.zeros, ZeroMode::TrailingOmitted);
    // %MOMM before or after the %FS wins the unit; 4.6 digits.
    for (auto texts : {std::initializer_list<const char*>{"%MOMM*%", "%FSLAX24Y24*%", "X1D03"},
                       std::initializer_list<const char*>{"%FSLAX24Y24*%", "%MOMM*%", "X1D03"}}) {
        f = ScanFileFormat(MakeBlocks(texts), mm43);
        EXPECT_EQ(f.unit, Unit::Millimetre);
        EXPECT_EQ(f.decimalDigits, 4);
    }
    // Our own header line in CR mode, and a statement cut at "*" in "*" mode.
    EXPECT_EQ(ScanFileFormat(MakeBlocks({"*%FSLAX23Y23*%", "*%MOIN*%", "X1D03"}), mm43), [] {
        FileFormat g(7);
        g.unitStated = true;
        return g;
    }());
    f = ScanFileFormat(MakeBlocks({"%FSLAX46Y46", "%", "%MOMM", "%", "X1D03"}),
                       SettingsOf(8, ZeroMode::LeadingOmitted, InputSeparator::Star));
    EXPECT_EQ(f.decimalDigits, 6);
    EXPECT_EQ(f.unit, Unit::Millimetre);
    // Statements after the first coordinate block, and a second %FS, do not
    // change the view.
    EXPECT_EQ(ScanFileFormat(MakeBlocks({"X1D03", "%FSLAX24Y24*%"}), mm43), FileFormat(1));
    f = ScanFileFormat(MakeBlocks({"%FSLAX25Y25*%", "%FSLAX46Y46*%", "X1D03"}), mm43);
    EXPECT_EQ(f.decimalDigits, 5);
}

TEST(ScanFileFormat, TheViewTakesTheFilesDecimalsAndUnit) {
    // Settings mm(4.3); the file says inch(2.4): 10^4 counts per inch, an
    // inch picture. X25000 = 2.5 inch; offset box "1" = 10000 counts.
    ViewerRecords r;
    PlotRecords records = r.Bind();
    FakePlatform ui;
    const ApertureTable table = MakeTable({{10, "0.05", "0.05", "0", "○"}});
    const InputBlockList blocks = MakeBlocks({"%FSLAX24Y24*%", "%MOIN*%", "D10", "X25000Y10000D03"});
    RecordingSurface surface{254, 127};  // 10 × 5 inches
    ViewControls controls;
    controls.offsetXText = "1";
    RunDisplayPass(blocks, table, records, controls,
                   ScanFileFormat(blocks, SettingsOf(1, ZeroMode::LeadingOmitted)), 0.0f, surface,
                   ui, ui);
    EXPECT_EQ(surface.Unit(), SurfaceUnit::Inch);
    EXPECT_EQ(r.transform.countsPerUnit, 10000);
    EXPECT_EQ(r.transform.offsetX, 10000);
    const auto drawn = surface.Drawn();
    ASSERT_EQ(drawn.size(), 1u);
    EXPECT_EQ(drawn[0].kind, "fillcircle");
    EXPECT_NEAR(drawn[0].args[0], 3.5, 1e-12);  // (25000 + 10000) / 10000
    EXPECT_NEAR(drawn[0].args[1], 4.0, 1e-12);  // 5 − 1
    EXPECT_NEAR(drawn[0].args[2], 0.025, 1e-12);
}

TEST_F(WalkMendsTest, AFormatStatementAfterDataChangesOnlyTheReading) {
    // The view is inch(2.4) (settings); after the first flash the file says
    // 2.5 digits, trailing zeros: X01 = 0100000 of 10^-5 inch = 10000 view
    // counts, one inch.
    blocks = MakeBlocks({"D10", "X10000Y0D03", "%FSTAX25Y25*%", "X01Y0D03"});
    ConversionSettings settings = SettingsOf(8, ZeroMode::LeadingOmitted);
    PrepareWalk(ViewControls(), ScanFileFormat(blocks, settings), records);
    WalkBlocks(blocks, table, records, kDxfWalkRules, events, ui);
    EXPECT_EQ(r.transform.countsPerUnit, 10000);
    ASSERT_EQ(events.points.size(), 2u);
    EXPECT_EQ(events.points[0][0], 10000);
    EXPECT_NEAR(events.points[1][0], 10000, 1e-9);
}

TEST(ShippedInchSample, ItsArcsAreConsistentAndItsInchListIsComplete) {
    // Every corner arc of the inch sample is a quarter whose centre lies as
    // far from its end as from its start (the signed reading, unchanged by
    // the single-quadrant rule); the list that draws it true to size has all
    // 491 entries, D10 0.01 inch.
    const std::string samples = std::string(MUTAPLOT_BIN_DIR) + "/samples/";
    ConversionSettings settings = SettingsOf(8, ZeroMode::LeadingOmitted, InputSeparator::Cr);
    settings.inputCode = StoredCode(CharCode::Ascii);
    FakePlatform ui;
    InputBlockList blocks;
    ASSERT_EQ(ReadBlockFile(samples + "sample-board.gbr", settings, blocks, ReaderEntry::Viewer, ui,
                            ui, nullptr),
              ReadOutcome::Read);
    ApertureTable table;
    ASSERT_EQ(LoadAptFile(samples + "sample-board-inch.apt", table), AptFileOutcome::Ok);
    EXPECT_EQ(table.entries.size(), kApertureCount);
    EXPECT_EQ(table.ForDCode(10)->sizeX, "0.01");

    ViewerRecords r;
    PlotRecords records = r.Bind();
    class ArcCheck final : public PlotSink {
    public:
        explicit ArcCheck(const PlotRecords& rec) : r_(rec) {}
        void Block(std::string_view) override {}
        void SetPenWidth(int) override {}
        void Arc(std::string_view) override {
            ++arcs;
            const double start = std::hypot(r_.plot.currentX - r_.arc.centreX,
                                            r_.plot.currentY - r_.arc.centreY);
            const double end = std::hypot(*r_.plot.xText - r_.arc.centreX,
                                          *r_.plot.yText - r_.arc.centreY);
            EXPECT_EQ(start, end) << arcs;
            // Each corner is a quarter: from start to end is 90° around the centre.
            EXPECT_NEAR(std::fmod(r_.arc.endAngle - r_.arc.startAngle + 360, 360), 90, 1e-3) << arcs;
        }
        int arcs = 0;

    private:
        const PlotRecords& r_;
    } check(records);
    // Read as signed offsets (G75 in front): the file itself must be right.
    InputBlockList signedBlocks;
    signedBlocks.Append("G75");
    for (std::size_t k = 0; k < blocks.blockCount(); ++k) signedBlocks.Append(blocks[k]);
    PrepareWalk(ViewControls(), ScanFileFormat(blocks, settings), records);
    WalkBlocks(signedBlocks, table, records, kDxfWalkRules, check, ui);
    EXPECT_EQ(check.arcs, 6);
}

}  // namespace
}  // namespace mutaplot
