#include "viewer/QImageSurface.h"

#include <gtest/gtest.h>

#include <QColor>

namespace mutaplot {
namespace {

// At 96 dpi a pixel is 15 twips: 3.78 pixels per millimetre.
QRgb PixelAtMm(QImageSurface& s, double x, double y) {
    return s.Image().pixel(static_cast<int>(x * 3.78), static_cast<int>(y * 3.78));
}

TEST(QImageSurfaceTest, ScaleAndUnits) {
    QImageSurface s(378, 189, 96);
    EXPECT_DOUBLE_EQ(s.TwipsPerPixelX(), 15.0);
    EXPECT_NEAR(s.ScaleWidth(), 100.0, 1e-9);
    EXPECT_NEAR(s.ScaleHeight(), 50.0, 1e-9);
    s.SetUnit(SurfaceUnit::Inch);
    EXPECT_NEAR(s.ScaleWidth(), 378 / 96.0, 1e-9);
}

TEST(QImageSurfaceTest, FillsColoursAndDrawModes) {
    QImageSurface s(378, 378, 96);
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

TEST(QImageSurfaceTest, ExclusiveOrTwiceRestoresThePixels) {
    QImageSurface s(200, 200, 96);
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

TEST(QImageSurfaceTest, ArcsRunCounterClockwiseOnTheSurface) {
    QImageSurface s(400, 400, 96);
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

}  // namespace
}  // namespace mutaplot
