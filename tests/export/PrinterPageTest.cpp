// The printer page: the painter surface's inside-solid style and raster
// modes, and the PDF page's file handling.

#include "export/PrintPage.h"
#include "export/PrintWalk.h"
#include "viewer/PaintDeviceSurface.h"

#include "support/FakePlatform.h"
#include "support/TempDir.h"
#include "viewer/ViewerFixture.h"

#include <gtest/gtest.h>

#include <QImage>

namespace mutaplot {
namespace {

using testing::FakePlatform;
using testing::MakeBlocks;
using testing::MakeTable;
using testing::ReadFileBytes;
using testing::TempDir;
using testing::ViewerRecords;

// A 100 x 100 pixel page at 254 dpi: 10.0013 pixels a millimetre.
class ImagePage : public ::testing::Test {
protected:
    ImagePage() : image(100, 100, QImage::Format_RGB32) { image.fill(Qt::white); }
    QRgb At(PaintDeviceSurface& s, int x, int y) {
        s.Flush();
        return image.pixel(x, y) & 0xFFFFFFu;
    }
    QImage image;
};

constexpr QRgb kWhitePx = 0xFFFFFF;
constexpr QRgb kBlackPx = 0x000000;

TEST_F(ImagePage, InsideSolidKeepsTheOutlineWithinTheFigure) {
    PaintDeviceSurface s(image, 100, 100, 254);
    s.SetPenWidth(7);
    s.SetLineStyle(LineStyle::InsideSolid);
    s.FilledRectangle(2, 2, 8, 8);  // pixels 20 to 80
    EXPECT_EQ(At(s, 21, 50), kBlackPx);
    EXPECT_EQ(At(s, 79, 50), kBlackPx);
    EXPECT_EQ(At(s, 18, 50), kWhitePx);
    EXPECT_EQ(At(s, 82, 50), kWhitePx);
    EXPECT_EQ(At(s, 50, 18), kWhitePx);
    // The solid style centres the 7-pixel outline on the edge.
    s.SetLineStyle(LineStyle::Solid);
    s.FilledRectangle(2, 2, 8, 8);
    EXPECT_EQ(At(s, 18, 50), kBlackPx);
    EXPECT_EQ(At(s, 50, 82), kBlackPx);
}

TEST_F(ImagePage, InsideSolidCircleOutlineLiesInsideItsRadius) {
    PaintDeviceSurface s(image, 100, 100, 254);
    s.SetPenWidth(7);
    s.SetDrawColour(0x0000FF);  // red outline
    s.SetFillColour(0xFF0000);  // blue inside
    s.SetLineStyle(LineStyle::InsideSolid);
    s.FilledCircle(5, 5, 3);  // radius 30 pixels around (50, 50)
    EXPECT_EQ(At(s, 50, 50), 0x0000FFu);   // blue
    EXPECT_EQ(At(s, 78, 50), 0xFF0000u);   // the red ring, within 30 pixels
    EXPECT_EQ(At(s, 50, 22), 0xFF0000u);
    EXPECT_EQ(At(s, 82, 50), kWhitePx);
    s.SetLineStyle(LineStyle::Solid);
    s.FilledCircle(5, 5, 3);
    EXPECT_EQ(At(s, 82, 50), 0xFF0000u);  // outline centred on the radius
}

TEST_F(ImagePage, BlacknessAndWhitenessInkEveryPixelWhateverTheColours) {
    PaintDeviceSurface s(image, 100, 100, 254);
    s.SetDrawColour(0x0000FF);
    s.SetFillColour(0x00FF00);
    s.SetDrawMode(DrawMode::Blackness);
    s.SetPenWidth(5);
    s.FilledCircle(2, 2, 1);
    s.Line(1, 8, 9, 8);
    s.Arc(7, 3, 1.5, 0, 3.14159);
    EXPECT_EQ(At(s, 20, 20), kBlackPx);
    EXPECT_EQ(At(s, 50, 80), kBlackPx);
    EXPECT_EQ(At(s, 85, 30), kBlackPx);  // the arc's right end at (8.5, 3) mm

    s.SetDrawMode(DrawMode::Whiteness);
    s.FilledRectangle(0, 0, 10, 10);
    EXPECT_EQ(At(s, 50, 50), kWhitePx);
    s.SetDrawMode(DrawMode::Blackness);
    s.FilledRectangle(0, 0, 10, 10);
    s.SetDrawMode(DrawMode::Whiteness);
    s.SetDrawColour(kBlack);
    s.FilledCircle(5, 5, 2);
    s.Line(0, 1, 10, 1);
    EXPECT_EQ(At(s, 50, 50), kWhitePx);
    EXPECT_EQ(At(s, 50, 10), kWhitePx);
    EXPECT_EQ(At(s, 50, 90), kBlackPx);
}

// A file with its own definitions printed on a 200 × 200 pixel page at
// 254 dpi (10.0013 pixels a millimetre, top-left origin): pixel (i, j) has
// its centre at ((i + 0.5), (j + 0.5)) / 10.0013 mm. On it: the macro BOX
// ($3 = $1 × 2 wide, $2 high) 3 × 2 mm around (7.5, 7.5); the region
// (10.5, 5.5)–(14.5, 9.5); a clear hole of 1 mm around (12.5, 7.5) in the
// region; then dark again, a 0.6 mm flash at (12.5, 12.5).
class FileDefinitionsPage : public ::testing::Test {
protected:
    FileDefinitionsPage() : image(200, 200, QImage::Format_RGB32) { image.fill(Qt::white); }
    void Print() {
        blocks = MakeBlocks({"%FSLAX33Y33*%", "%MOMM*%", "%AMBOX*$3=$1x2*21,1,$3,$2,0,0,0*%",
                             "%ADD10BOX,1.5X2*%", "%ADD11C,1*%", "%ADD12C,0.6*%", "D10*", "X7500Y7500D03*",
                             "G36*", "X10500Y5500D02*", "X14500Y5500D01*", "Y9500D01*", "X10500D01*",
                             "Y5500D01*", "G37*", "%LPC*%", "D11*", "X12500Y7500D03*", "%LPD*%", "D12*",
                             "X12500Y12500D03*", "M02*"});
        PaintDeviceSurface page(image, 200, 200, 254);
        EXPECT_EQ(RunPrint(blocks, table, records, ViewControls(), 1, 1.0f, setting, page, ui, ui),
                  PrintResult::Printed);
        page.Flush();
    }
    bool Black(int i, int j) const { return (image.pixel(i, j) & 0xFFFFFFu) == 0; }
    bool White(int i, int j) const { return (image.pixel(i, j) & 0xFFFFFFu) == 0xFFFFFFu; }

    QImage image;
    ViewerRecords r;
    PlotRecords records = r.Bind();
    ApertureTable table = MakeTable({{10, "0.1", "0.1", "0", "○"}});
    InputBlockList blocks;
    PrintSetting setting;
    FakePlatform ui;
};

TEST_F(FileDefinitionsPage, PositivePrintInksDarkAndLeavesClearWhite) {
    Print();
    // The macro: x in [6, 9], y in [6.5, 8.5] mm.
    EXPECT_TRUE(Black(75, 75));
    EXPECT_TRUE(Black(62, 75));   // x 6.25
    EXPECT_TRUE(White(58, 75));   // x 5.85
    EXPECT_TRUE(White(75, 63));   // y 6.35
    EXPECT_TRUE(Black(75, 67));   // y 6.75
    // The region, not the list's 0.1 mm outline.
    EXPECT_TRUE(Black(110, 60));
    EXPECT_TRUE(Black(140, 90));
    EXPECT_TRUE(White(100, 75));  // x 10.05
    // The clear hole: white on paper within 0.5 mm of (12.5, 7.5).
    EXPECT_TRUE(White(125, 75));
    EXPECT_TRUE(White(129, 75));  // 0.45 mm away
    EXPECT_TRUE(Black(131, 75));  // 0.65 mm away
    EXPECT_TRUE(Black(125, 82));  // 0.75 mm away
    // Dark again after the clear hole: radius 0.3 mm.
    EXPECT_TRUE(Black(125, 125));
    EXPECT_TRUE(Black(125, 122));  // 0.25 mm away
    EXPECT_TRUE(White(125, 121));  // 0.35 mm away
    EXPECT_TRUE(White(20, 20));
    EXPECT_TRUE(White(50, 150));
}

TEST_F(FileDefinitionsPage, NegativePrintTurnsEveryPolarityOver) {
    // The black field within the 3 mm margin (pixels 30 … 170); dark figures
    // white, the clear hole black like the field around it.
    setting.printNegative = kPrintNegative;
    Print();
    EXPECT_TRUE(White(20, 20));   // in the margin
    EXPECT_TRUE(Black(50, 150));  // the field
    EXPECT_TRUE(White(75, 75));
    EXPECT_TRUE(White(62, 75));
    EXPECT_TRUE(Black(58, 75));
    EXPECT_TRUE(White(110, 60));
    EXPECT_TRUE(Black(100, 75));
    EXPECT_TRUE(Black(125, 75));  // the hole
    EXPECT_TRUE(Black(129, 75));
    EXPECT_TRUE(White(131, 75));
    EXPECT_TRUE(White(125, 125));
    EXPECT_TRUE(Black(125, 121));
}

class PdfPage : public ::testing::Test {
protected:
    PrintOutcome Print(std::initializer_list<const char*> texts, const std::filesystem::path& target) {
        blocks = MakeBlocks(texts);
        const PrintJob job{blocks, table, records, ViewControls(), 1, 0.0f, setting};
        return PrintToPdf(target, PdfPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait), job,
                          ui, ui);
    }
    TempDir dir;
    ViewerRecords r;
    PlotRecords records = r.Bind();
    ApertureTable table = MakeTable({{10, "1.0", "1.0", "0", "○"}});
    InputBlockList blocks;
    PrintSetting setting;
    FakePlatform ui;
};

TEST_F(PdfPage, PositivePrintOfNoDataMakesNoPageAndKeepsAnOldFile) {
    const auto target = dir.Write("old.pdf", "old");
    EXPECT_EQ(Print({}, target), PrintOutcome::NoData);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, kNoPrintFileMessage);
    EXPECT_EQ(ReadFileBytes(target), "old");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
    EXPECT_EQ(ui.pointer, PointerShape::Default);
}

TEST_F(PdfPage, NegativePrintOfNoDataStillMakesItsPage) {
    setting.printNegative = 1;
    const auto target = dir.Write("old.pdf", "old");
    EXPECT_EQ(Print({}, target), PrintOutcome::NoData);
    EXPECT_EQ(ReadFileBytes(target).substr(0, 5), "%PDF-");
}

TEST_F(PdfPage, RepeatedMessagesShowOnceAndAnUnwritableFileIsReported) {
    // D600 is past the list twice: one message.
    EXPECT_EQ(Print({"D600", "X1000Y1000D03", "D600", "X2000Y1000D03"}, dir / "a.pdf"),
              PrintOutcome::Printed);
    EXPECT_EQ(ui.messages.size(), 1u);
    EXPECT_TRUE(std::filesystem::exists(dir / "a.pdf"));

    ui.messages.clear();
    const auto target = dir / "missing-folder" / "out.pdf";
    EXPECT_EQ(Print({"D10", "X1000Y1000D03"}, target), PrintOutcome::Failed);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, kPdfWriteMessage);
    EXPECT_FALSE(std::filesystem::exists(target));
}

}  // namespace
}  // namespace mutaplot
