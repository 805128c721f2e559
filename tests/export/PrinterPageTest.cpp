// The printer page: the painter surface's inside-solid style and raster
// modes, and the PDF page's file handling.

#include "export/PrintPage.h"
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
