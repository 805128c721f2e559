#include "viewer/PaintDeviceSurface.h"
#include "viewer/QImageSurface.h"

#include <gtest/gtest.h>

#include <QColor>

namespace mutaplot {
namespace {

// The painter surface on an image of its own, as a printer page would be
// drawn, so that both surfaces answer the same checks.
struct ImageHolder {
    QImage image;
};
class PainterPicture : private ImageHolder, public PaintDeviceSurface {
public:
    PainterPicture(int width, int height, double dpi)
        : ImageHolder{QImage(width, height, QImage::Format_RGB32)},
          PaintDeviceSurface(image, width, height, dpi) {
        image.fill(Qt::white);
    }
    const QImage& Image() {
        Flush();
        return image;
    }
};

template <typename Picture>
class SurfaceTest : public ::testing::Test {};
using Pictures = ::testing::Types<QImageSurface, PainterPicture>;
TYPED_TEST_SUITE(SurfaceTest, Pictures);

// At 96 dpi a pixel is 15 twips: 3.78 pixels per millimetre.
template <typename Picture>
QRgb PixelAtMm(Picture& s, double x, double y) {
    return s.Image().pixel(static_cast<int>(x * 3.78), static_cast<int>(y * 3.78));
}

TYPED_TEST(SurfaceTest, ScaleAndUnits) {
    TypeParam s(378, 189, 96);
    EXPECT_DOUBLE_EQ(s.TwipsPerPixelX(), 15.0);
    EXPECT_NEAR(s.ScaleWidth(), 100.0, 1e-9);
    EXPECT_NEAR(s.ScaleHeight(), 50.0, 1e-9);
    s.SetUnit(SurfaceUnit::Inch);
    EXPECT_NEAR(s.ScaleWidth(), 378 / 96.0, 1e-9);
}

TYPED_TEST(SurfaceTest, FillsColoursAndDrawModes) {
    TypeParam s(378, 378, 96);
    s.SetBackColour(0x00FF00);  // green background
    s.Clear();
    EXPECT_EQ(PixelAtMm(s, 50, 50), qRgb(0, 255, 0));
    s.SetDrawColour(0x0000FF);  // red, 0x00BBGGRR
    s.FilledRectangle(10, 10, 20, 20);
    EXPECT_EQ(PixelAtMm(s, 15, 15), qRgb(255, 0, 0));
    EXPECT_EQ(PixelAtMm(s, 25, 15), qRgb(0, 255, 0));
    s.SetFillColour(0xFF0000);  // blue interior
    s.FilledCircle(50, 50, 10);
    EXPECT_EQ(PixelAtMm(s, 50, 50), qRgb(0, 0, 255));
    EXPECT_EQ(PixelAtMm(s, 50, 59.9), qRgb(255, 0, 0));  // one-pixel outline in the drawing colour
    // Blackness inks black whatever the colour.
    s.SetDrawMode(DrawMode::Blackness);
    s.FilledRectangle(70, 70, 80, 80);
    EXPECT_EQ(PixelAtMm(s, 75, 75), qRgb(0, 0, 0));
}

TYPED_TEST(SurfaceTest, ExclusiveOrTwiceRestoresThePixels) {
    TypeParam s(200, 200, 96);
    s.Clear();
    s.SetDrawColour(0x000000);
    s.SetPenWidth(3);
    s.Line(5, 5, 40, 30);
    const QImage before = s.Image().copy();
    s.SetDrawMode(DrawMode::Xor);
    s.SetDrawColour(kWhite);
    s.SetPenWidth(1);
    s.Rectangle(2, 3, 30, 40);
    EXPECT_NE(s.Image(), before);
    s.Rectangle(2, 3, 30, 40);
    EXPECT_EQ(s.Image(), before);
}

TYPED_TEST(SurfaceTest, ArcsRunCounterClockwiseOnTheSurface) {
    TypeParam s(400, 400, 96);
    s.Clear();
    s.SetPenWidth(3);
    // A quarter from 0 to π/2 around (50, 50) mm, radius 30: the upper right
    // quarter as seen on the surface (y grows downwards).
    s.Arc(50, 50, 30, 0, 1.5707963267948966);
    EXPECT_EQ(PixelAtMm(s, 50 + 21.21, 50 - 21.21), qRgb(0, 0, 0));
    EXPECT_EQ(PixelAtMm(s, 50 + 21.21, 50 + 21.21), qRgb(255, 255, 255));
    // Equal angles: the whole circle.
    s.Arc(50, 50, 20, 1, 1);
    EXPECT_EQ(PixelAtMm(s, 50 - 14.14, 50 + 14.14), qRgb(0, 0, 0));
}

// Arcs of the same radius and angles repeat at each centre; another radius
// or other angles give their own curve. Inches at 96 dpi: 96 pixels a unit.
TYPED_TEST(SurfaceTest, RepeatedArcsKeepTheirOwnShapeAndPlace) {
    TypeParam s(300, 300, 96);
    s.SetUnit(SurfaceUnit::Inch);
    s.Clear();
    s.SetPenWidth(3);
    const double px = 1.0 / 96, quarter = 1.5707963267948966;
    auto ink = [&s](double x, double y) {
        return s.Image().pixel(static_cast<int>(x), static_cast<int>(y)) == qRgb(0, 0, 0);
    };
    // Quarter arcs 0..π/2 of radius 20 at (50, 50) and (150, 50): the point at
    // 45° lies 14.14 pixels right of and above each centre.
    s.Arc(50 * px, 50 * px, 20 * px, 0, quarter);
    s.Arc(150 * px, 50 * px, 20 * px, 0, quarter);
    EXPECT_TRUE(ink(50 + 14.14, 50 - 14.14));
    EXPECT_TRUE(ink(150 + 14.14, 50 - 14.14));
    EXPECT_FALSE(ink(150 - 14.14, 50 + 14.14));
    // Radius 30 with the same angles at (250, 50): nothing on the radius 20 circle.
    s.Arc(250 * px, 50 * px, 30 * px, 0, quarter);
    EXPECT_TRUE(ink(250 + 21.21, 50 - 21.21));
    EXPECT_FALSE(ink(250 + 14.14, 50 - 14.14));
    // Radius 20 from π to 3π/2 at (50, 150): lower left only.
    s.Arc(50 * px, 150 * px, 20 * px, 2 * quarter, 3 * quarter);
    EXPECT_TRUE(ink(50 - 14.14, 150 + 14.14));
    EXPECT_FALSE(ink(50 + 14.14, 150 - 14.14));
    // More shapes than are kept at once, then the first again at (150, 250).
    for (int i = 1; i <= 10; ++i) s.Arc(150 * px, 150 * px, (20 + i) * px, 0, quarter);
    s.Arc(150 * px, 250 * px, 20 * px, 0, quarter);
    EXPECT_TRUE(ink(150 + 14.14, 250 - 14.14));
    EXPECT_FALSE(ink(150 - 14.14, 250 + 14.14));
}

// Figures beyond the picture are skipped; those reaching into it from outside
// still leave their visible part, in copy and in exclusive-or mode. In inches
// at 96 dpi one picture unit is 96 pixels.
TYPED_TEST(SurfaceTest, FiguresAcrossAndBeyondTheEdges) {
    TypeParam s(96, 96, 96);
    s.SetUnit(SurfaceUnit::Inch);
    s.Clear();
    const QImage white = s.Image().copy();
    const double px = 1.0 / 96;
    // Wholly outside on each side, wide pens included.
    s.SetPenWidth(5);
    s.FilledCircle(-20 * px, 48 * px, 10 * px);
    s.Circle(48 * px, 120 * px, 10 * px);
    s.Line(-50 * px, -10 * px, 150 * px, -10 * px);
    s.Rectangle(110 * px, 10 * px, 130 * px, 20 * px);
    s.FilledRectangle(10 * px, -40 * px, 20 * px, -20 * px);
    s.Arc(200 * px, 200 * px, 50 * px, 0, 3.0);
    EXPECT_EQ(s.Image(), white);

    // A disc of radius 10 centred 5 pixels left of the picture covers columns
    // 0 to 4 on its middle row; a line from outside to the middle inks (20, 30).
    s.SetPenWidth(1);
    s.FilledCircle(-5 * px, 48.5 * px, 10 * px);
    EXPECT_EQ(s.Image().pixel(2, 48), qRgb(0, 0, 0));
    EXPECT_EQ(s.Image().pixel(8, 48), qRgb(255, 255, 255));
    s.Line(-30 * px, 30.5 * px, 48.5 * px, 30.5 * px);
    EXPECT_EQ(s.Image().pixel(20, 30), qRgb(0, 0, 0));
    // A thick line just above the top edge still reaches row 0.
    s.SetPenWidth(7);
    s.Line(60 * px, -1 * px, 90 * px, -1 * px);
    EXPECT_EQ(s.Image().pixel(75, 0), qRgb(0, 0, 0));

    // Exclusive-or: a rectangle half outside shows, and twice restores.
    const QImage before = s.Image().copy();
    s.SetPenWidth(1);
    s.SetDrawMode(DrawMode::Xor);
    s.SetDrawColour(kWhite);
    s.FilledRectangle(80 * px, 80 * px, 120 * px, 120 * px);
    EXPECT_EQ(s.Image().pixel(90, 90), qRgb(0, 0, 0));
    s.FilledRectangle(80 * px, 80 * px, 120 * px, 120 * px);
    EXPECT_EQ(s.Image(), before);
}

}  // namespace
}  // namespace mutaplot
