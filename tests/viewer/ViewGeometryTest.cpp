#include "viewer/ViewGeometry.h"

#include "support/FakePlatform.h"
#include "viewer/ViewerFixture.h"

#include <gtest/gtest.h>

namespace mutaplot {
namespace {

using testing::FakePlatform;
using testing::MakeTable;
using testing::ViewerRecords;

TEST(ViewTransformTest, ZoomOffsetAndUnitFromTheControls) {
    ViewTransform t;
    // mm(4.4): d = 4; zoom 2; offset box "10" → 100000 counts.
    ComputeViewScale("２００％", 2, "10", "-2.5", t);
    EXPECT_EQ(t.zoom, 2.0f);
    EXPECT_EQ(t.pictureUnit, SurfaceUnit::Millimetre);
    EXPECT_DOUBLE_EQ(t.offsetX, 100000.0);
    EXPECT_DOUBLE_EQ(t.offsetY, -25000.0);
    EXPECT_DOUBLE_EQ(t.countsPerUnit, 5000.0);
    // Raw X 12500 (1.25 mm) lands at (12500 + 100000) / 5000 = 22.5 mm.
    EXPECT_DOUBLE_EQ(ToPicture(12500, 0, 100, 1.0f, t).x, 22.5);

    // A bare factor written by the zoom commands leaves the zoom as it is;
    // inch(2.5) gives inches and 10^5 counts per inch.
    ComputeViewScale("2", 9, "0", "0", t);
    EXPECT_EQ(t.zoom, 2.0f);
    EXPECT_EQ(t.pictureUnit, SurfaceUnit::Inch);
    EXPECT_DOUBLE_EQ(t.countsPerUnit, 50000.0);

    // An offset text is read up to its first non-number character; one with
    // no number keeps the previous offset. A format outside 1..9 changes
    // nothing but the zoom.
    ComputeViewScale("５０％", 1, "1.5mm", "abc", t);
    EXPECT_EQ(t.zoom, 0.5f);
    EXPECT_DOUBLE_EQ(t.offsetX, 1500.0);
    EXPECT_DOUBLE_EQ(t.offsetY, 0.0);
    EXPECT_DOUBLE_EQ(t.countsPerUnit, 2000.0);
    ComputeViewScale("１００％", 0, "7", "7", t);
    EXPECT_EQ(t.zoom, 1.0f);
    EXPECT_DOUBLE_EQ(t.countsPerUnit, 2000.0);
    EXPECT_DOUBLE_EQ(t.offsetX, 1500.0);
}

TEST(ViewTransformTest, BothOriginCornersAndTheTwoDecimalY) {
    ViewTransform t;
    ComputeViewScale("１００％", 1, "0", "0", t);
    // Bottom-left: raw Y 0 lies on the bottom edge of a 100 mm surface.
    EXPECT_DOUBLE_EQ(ToPicture(0, 0, 100, 0.0f, t).y, 100.0);
    EXPECT_DOUBLE_EQ(ToPicture(0, 0, 100, 1.0f, t).y, 0.0);
    // 100 − 0.875 = 99.125 is kept to two decimals, the half going to the
    // even 99.12; with the top-left origin Y is exact. X is never rounded.
    EXPECT_DOUBLE_EQ(ToPicture(1, 875, 100, 0.0f, t).y, 99.12);
    EXPECT_DOUBLE_EQ(ToPicture(1, 875, 100, 1.0f, t).y, 0.875);
    EXPECT_DOUBLE_EQ(ToPicture(1, 875, 100, 0.0f, t).x, 0.001);
    EXPECT_DOUBLE_EQ(ToPicture(0, 1, 100, 0.0f, t).y, 100.0);  // 99.999 → 100.00
}

TEST(ViewTransformTest, FormatUnitsAndAStoredOriginOutsideTheTwoCodes) {
    // Formats 1..6 are millimetre formats, 7..9 inch formats, the decimals
    // 3, 4, 5 in turn; 10 mm(4.6) and 11 inch(2.6) have six; 0 and 12 are
    // no format.
    for (int f = 1; f <= 9; ++f) {
        EXPECT_EQ(PictureUnitOfFormat(f), f <= 6 ? SurfaceUnit::Millimetre : SurfaceUnit::Inch) << f;
        EXPECT_EQ(FormatDecimals(f), 3 + (f - 1) % 3) << f;
    }
    EXPECT_EQ(PictureUnitOfFormat(10), SurfaceUnit::Millimetre);
    EXPECT_EQ(PictureUnitOfFormat(11), SurfaceUnit::Inch);
    EXPECT_EQ(FormatDecimals(10), 6);
    EXPECT_EQ(FormatDecimals(11), 6);
    EXPECT_FALSE(PictureUnitOfFormat(0));
    EXPECT_FALSE(PictureUnitOfFormat(12));
    EXPECT_FALSE(FormatDecimals(12));
    // A settings file may hold any number as the origin: only 1 is the
    // top-left corner, 0.5 and 2 draw from the bottom-left like 0.
    ViewTransform t;
    for (float stored : {0.5f, 2.0f, -1.0f})
        EXPECT_DOUBLE_EQ(ToPicture(0, 1000, 100, stored, t).y, 99.0) << stored;
}

TEST(ViewStateTest, QualityListTexts) {
    ViewState v;
    ReadDrawQuality("高速（低品位）", v);
    EXPECT_EQ(v.drawQuality, 1.0f);
    ReadDrawQuality("何か", v);
    EXPECT_EQ(v.drawQuality, 1.0f);
    ReadDrawQuality("低速（高品位）", v);
    EXPECT_EQ(v.drawQuality, 0.0f);
}

TEST(AperturePenWidthTest, WidthTimesDensityTimesZoomAtLeastOne) {
    ViewTransform t;
    t.pixelsPerMm = 3.78;
    CurrentAperture round{0.2, 0.2, 0, ApertureShape::Round};
    EXPECT_EQ(AperturePenWidth(round, t), 1);  // 0.756
    t.zoom = 2;
    EXPECT_EQ(AperturePenWidth(round, t), 2);  // 1.512
    t.zoom = 5;
    round.sizeX = 0.25;
    EXPECT_EQ(AperturePenWidth(round, t), 5);  // 4.725
    t.zoom = 1;
    round.sizeX = 0.5;
    EXPECT_EQ(AperturePenWidth(round, t), 2);  // 1.89
    // Halves go to the even width.
    t.pixelsPerMm = 5;
    EXPECT_EQ(AperturePenWidth(CurrentAperture{0.5, 0, 0, ApertureShape::Square}, t), 2);  // 2.5
    EXPECT_EQ(AperturePenWidth(CurrentAperture{0.7, 0, 0, ApertureShape::Round}, t), 4);   // 3.5
    // Thermals use the ring width (outer − inner) / 2: (2.0 − 1.0) / 2 × 5 = 2.5 → 2.
    EXPECT_EQ(AperturePenWidth(CurrentAperture{1.0, 2.0, 0.3, ApertureShape::ThermalAxes}, t), 2);
    EXPECT_EQ(AperturePenWidth(CurrentAperture{2.0, 1.0, 0.3, ApertureShape::ThermalDiagonal}, t), 1);
}

TEST(SelectApertureTest, RowsLimitsAndMessages) {
    ViewerRecords r;
    r.transform.pixelsPerMm = 3.78;
    FakePlatform ui;
    const ApertureTable table = MakeTable({{10, "2.0", "2.0", "0", "○"},
                                           {11, "1.0", "0.5", "0", "□"},
                                           {12, "1.0", "1.6", "0.3", "＋"},
                                           {500, "0.5", "1.5", "0.2", "×"},
                                           {13, "0.3", "bad", "0", "□"},
                                           {14, "0.4", "0.4", "0", "?"}});
    auto records = r.Bind();

    EXPECT_EQ(SelectAperture("10", table, records, ui), 8);  // 2.0 × 3.78 = 7.56
    EXPECT_EQ(r.aperture.shape, ApertureShape::Round);
    EXPECT_EQ(SelectAperture("12", table, records, ui), 1);  // ring 0.3 × 3.78 = 1.134
    EXPECT_EQ(r.aperture.shape, ApertureShape::ThermalAxes);
    EXPECT_DOUBLE_EQ(r.aperture.connectWidth, 0.3);
    // D500 reads the last row; the D code in column 0 is not compared.
    EXPECT_EQ(SelectAperture("500", table, records, ui), 2);  // ring 0.5 × 3.78 = 1.89
    EXPECT_EQ(r.aperture.shape, ApertureShape::ThermalDiagonal);
    EXPECT_TRUE(ui.messages.empty());

    // An unknown shape text keeps the previous shape.
    SelectAperture("14", table, records, ui);
    EXPECT_DOUBLE_EQ(r.aperture.sizeX, 0.4);
    EXPECT_EQ(r.aperture.shape, ApertureShape::ThermalDiagonal);

    // D501 finds no row; D502 is over the limit and changes nothing; D9 is
    // the heading row; a cell that is no number fails after the cells
    // before it were taken.
    r.aperture = CurrentAperture{1, 1, 0, ApertureShape::Square};
    EXPECT_EQ(SelectAperture("501", table, records, ui), std::nullopt);
    EXPECT_EQ(SelectAperture("502", table, records, ui), std::nullopt);
    EXPECT_EQ(SelectAperture("9", table, records, ui), std::nullopt);
    EXPECT_EQ(SelectAperture("1x", table, records, ui), std::nullopt);
    EXPECT_EQ(SelectAperture("13", table, records, ui), std::nullopt);
    ASSERT_EQ(ui.messages.size(), 5u);
    EXPECT_EQ(ui.messages[0].text, kDCodeErrorMessage);
    EXPECT_EQ(ui.messages[1].text, kDCodeLimitMessage);
    EXPECT_EQ(ui.messages[2].text, kDCodeErrorMessage);
    EXPECT_EQ(ui.messages[3].text, kDCodeErrorMessage);
    EXPECT_EQ(ui.messages[4].text, kDCodeErrorMessage);
    for (const auto& m : ui.messages) EXPECT_EQ(m.title, "確認");
    EXPECT_DOUBLE_EQ(r.aperture.sizeX, 0.3);
    EXPECT_DOUBLE_EQ(r.aperture.sizeY, 1.0);
    EXPECT_EQ(r.aperture.shape, ApertureShape::Square);

    // Fast quality loads the aperture but sets no pen width.
    r.view.drawQuality = 1;
    EXPECT_EQ(SelectAperture("11", table, records, ui), std::nullopt);
    EXPECT_DOUBLE_EQ(r.aperture.sizeY, 0.5);
    EXPECT_EQ(ui.messages.size(), 5u);
}

}  // namespace
}  // namespace mutaplot
