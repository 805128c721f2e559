// Files drawn with their own aperture definitions, checked pixel by pixel
// against pictures worked out by hand. The surfaces hold 10 pixels per mm
// (or 100 per inch) and use the top-left origin, so that a point (X, Y) of
// the data lies at pixel coordinates (10 X, 10 Y).

#include "input/BlockReader.h"
#include "viewer/QImageSurface.h"
#include "viewer/Rendering.h"

#include "support/FakePlatform.h"
#include "viewer/ViewerFixture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <utility>

namespace mutaplot {
namespace {

using testing::FakePlatform;
using testing::MakeBlocks;
using testing::MakeTable;
using testing::ViewerRecords;

constexpr float kTopLeft = 1.0f;
constexpr int kMmFormat = 1;    // mm(4.3)
constexpr int kInchFormat = 8;  // inch(2.4)
// A millimetre is 56.7 twips on these surfaces: 10 pixels per mm.
constexpr double kTenPerMm = 1440.0 * 10 / 56.7;

class ImageRenderingTest : public ::testing::Test {
protected:
    // Draws the blocks on a picture of w × h pixels at `pixelsPerInch`.
    void Draw(std::initializer_list<const char*> texts, int inputFormat = kMmFormat, int w = 60,
              int h = 60, double pixelsPerInch = kTenPerMm) {
        blocks = MakeBlocks(texts);
        surface.emplace(w, h, pixelsPerInch);
        RunDisplayPass(blocks, table, records, controls, inputFormat, kTopLeft, *surface, ui, ui);
    }
    bool Inked(int i, int j) const { return surface->Image().pixel(i, j) != 0xFFFFFFFFu; }
    // Inked columns of one row, as text ("10-14,25-29").
    std::string Row(int j) const {
        std::string out;
        const int w = surface->Image().width();
        for (int i = 0; i < w; ++i) {
            if (!Inked(i, j) || (i > 0 && Inked(i - 1, j))) continue;
            int last = i;
            while (last + 1 < w && Inked(last + 1, j)) ++last;
            if (!out.empty()) out += ',';
            out += std::to_string(i);
            if (last > i) out += '-' + std::to_string(last);
        }
        return out;
    }
    int Count() const {
        int n = 0;
        for (int j = 0; j < surface->Image().height(); ++j)
            for (int i = 0; i < surface->Image().width(); ++i) n += Inked(i, j);
        return n;
    }

    ViewerRecords r;
    PlotRecords records = r.Bind();
    ViewControls controls;
    ApertureTable table = MakeTable({});
    InputBlockList blocks;
    std::optional<QImageSurface> surface;
    FakePlatform ui;
};

TEST_F(ImageRenderingTest, RegionWithAnArcIsFilled) {
    // The square (1, 1)–(3, 3) mm and, on its right, the half disc of radius
    // 1 mm around (3, 2): pixels [10, 30)² and (x − 30)² + (y − 20)² < 100.
    Draw({"%FSLAX33Y33*%", "%MOMM*%", "%ADD10C,0.1*%", "G75*", "G36*", "X1000Y1000D02*",
          "X3000Y1000D01*", "G03X3000Y3000I0J1000D01*", "G01X1000Y3000D01*", "X1000Y1000D01*",
          "G37*", "M02*"});
    EXPECT_EQ(Row(9), "");
    // Row 10: the disc reaches x = 30 + √(100 − 9.5²) = 33.1.
    EXPECT_EQ(Row(10), "10-32");
    // Row 20: 30 + √(100 − 0.25) = 39.99.
    EXPECT_EQ(Row(20), "10-39");
    EXPECT_EQ(Row(29), "10-32");
    EXPECT_EQ(Row(30), "");
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(ImageRenderingTest, ClearPolarityCutsAHoleIntoADarkPad) {
    // A 2 mm square pad at (2, 2), then a 1 mm round flash in clear polarity:
    // the disc of radius 5 px around (20, 20) is white again.
    Draw({"%FSLAX33Y33*%", "%MOMM*%", "%ADD10R,2X2*%", "%ADD11C,1*%", "%LPD*%", "D10*",
          "X2000Y2000D03*", "%LPC*%", "D11*", "X2000Y2000D03*", "M02*"});
    EXPECT_EQ(Row(12), "10-29");
    // Row 20: the hole spans 20 ± √(25 − 0.25) = [15.03, 24.97).
    EXPECT_EQ(Row(20), "10-14,25-29");
    EXPECT_EQ(Row(14), "10-29");  // 5.5 px from the centre: outside the hole
    EXPECT_EQ(Row(15), "10-17,22-29");  // √(25 − 4.5²) = 2.18
}

TEST_F(ImageRenderingTest, StepAndRepeatDrawsTwoByThreeCopies) {
    // A 1 mm square at (1, 1), repeated 2 × 3 times 3 mm and 2 mm apart.
    Draw({"%FSLAX33Y33*%", "%MOMM*%", "%ADD10R,1X1*%", "%SRX2Y3I3.0J2.0*%", "D10*",
          "X1000Y1000D03*", "%SR*%", "M02*"});
    EXPECT_EQ(Count(), 6 * 100);
    for (int j : {5, 14, 25, 34, 45, 54}) EXPECT_EQ(Row(j), "5-14,35-44") << j;
    for (int j : {4, 15, 24, 35, 44, 55}) EXPECT_EQ(Row(j), "") << j;
}

TEST_F(ImageRenderingTest, MacroWithAVariableAndAnExposureOffHole) {
    // BOX: $3 = $1 × 2 wide, $2 high, with a hole of 0.5 mm in its middle.
    // BOX,1X1.6 at (2, 2): [10, 30) × [12, 28) less the disc of radius
    // 2.5 px around (20, 20).
    Draw({"%FSLAX33Y33*%", "%MOMM*%", "%AMBOX*", "$3=$1x2*", "21,1,$3,$2,0,0,0*",
          "1,0,0.5,0,0*%", "%ADD10BOX,1X1.6*%", "D10*", "X2000Y2000D03*", "M02*"});
    EXPECT_EQ(Row(11), "");
    EXPECT_EQ(Row(12), "10-29");
    EXPECT_EQ(Row(27), "10-29");
    EXPECT_EQ(Row(28), "");
    // Row 20: the hole spans 20 ± √(6.25 − 0.25) = [17.55, 22.45).
    EXPECT_EQ(Row(20), "10-17,22-29");
}

TEST_F(ImageRenderingTest, TrailingZeroDataIsReadByTheFilesFormat) {
    // "X01Y01" with trailing zeros omitted in 2.4 is 01.0000 inch: the
    // 0.1 inch flash lies around (100, 100) at 100 pixels per inch.
    Draw({"%FSTAX24Y24*%", "%MOIN*%", "%ADD10C,0.1*%", "D10*", "X01Y01D03*", "M02*"}, kInchFormat,
         200, 200, 100.0);
    // Radius 5 px: row 100 spans 100 ± √(25 − 0.25) = [95.03, 104.97).
    EXPECT_EQ(Row(100), "95-104");
    EXPECT_EQ(Row(94), "");
    EXPECT_EQ(Row(105), "");
}

TEST_F(ImageRenderingTest, InchStrokeIsAsWideAsTheFlashOfItsAperture) {
    // D10 is 0.1 inch round: 10 px at 100 pixels per inch, for the stroke
    // (0.5, 0.5)–(1.5, 0.5) inch and the flash at (0.5, 1.5).
    Draw({"%FSLAX24Y24*%", "%MOIN*%", "%ADD10C,0.1*%", "D10*", "X5000Y5000D02*",
          "X15000Y5000D01*", "X5000Y15000D03*", "M02*"},
         kInchFormat, 200, 200, 100.0);
    EXPECT_EQ(Row(44), "");
    EXPECT_EQ(Row(45), "48-151");  // caps: 50 ± √(25 − 4.5²) = ±2.18
    EXPECT_EQ(Row(50), "45-154");
    EXPECT_EQ(Row(54), "48-151");
    EXPECT_EQ(Row(55), "");
    EXPECT_EQ(Row(145), "48-51");
    EXPECT_EQ(Row(150), "45-54");
    EXPECT_EQ(Row(154), "48-51");
    EXPECT_EQ(Row(155), "");
}

TEST_F(ImageRenderingTest, SingleQuadrantArcTakesTheCentreOfAQuarterTurn) {
    // G74 with unsigned offsets: from (3, 1) to (1, 3) mm with I2 J0 turns
    // counter-clockwise around (1, 1) (radius 2 at both ends), not around
    // (5, 1). The 0.2 mm track passes (1 + √2, 1 + √2) = pixel (24, 24).
    Draw({"%FSLAX33Y33*%", "%MOMM*%", "%ADD10C,0.2*%", "G74*", "D10*", "X3000Y1000D02*",
          "G03X1000Y3000I2000J0D01*", "M02*"});
    EXPECT_TRUE(Inked(24, 24));
    EXPECT_TRUE(Inked(29, 10));  // the start
    EXPECT_TRUE(Inked(10, 29));  // the end
    EXPECT_FALSE(Inked(31, 31));
    EXPECT_FALSE(Inked(15, 15));
}

TEST_F(ImageRenderingTest, TheApertureListIsUsedWhenAskedForOrWhenTheFileDefinesNone) {
    // The list's D10 is 0.1 mm round; the file's is a 2 mm square.
    const std::initializer_list<const char*> file = {"%FSLAX33Y33*%", "%MOMM*%", "%ADD10R,2X2*%",
                                                     "G54D10*", "X2000Y2000D03*", "M02*"};
    Draw(file);
    EXPECT_EQ(Row(20), "10-29");
    controls.apertureSource = ApertureSource::List;
    Draw({"G54D10", "X2000Y2000D03"});
    EXPECT_LT(Count(), 10);
    controls.apertureSource = ApertureSource::FileWhereDefined;
    Draw({"G54D10", "X2000Y2000D03"});
    EXPECT_LT(Count(), 10);
}

TEST_F(ImageRenderingTest, NegativeImageInvertsThePolarities) {
    // %IPNEG: the whole picture dark, the pad's flash clear.
    Draw({"%FSLAX33Y33*%", "%MOMM*%", "%IPNEG*%", "%ADD10R,2X2*%", "D10*", "X2000Y2000D03*",
          "M02*"});
    EXPECT_EQ(Row(5), "0-59");
    EXPECT_EQ(Row(20), "0-9,30-59");
}

TEST_F(ImageRenderingTest, QuadrantModeAndArcInOneBlock) {
    // "G75G03…" in one block: multi-quadrant, then counter-clockwise. From
    // (1, 3) back to (1, 3) around (3, 3): the full circle of radius 2 mm
    // (20 px around pixel (30, 30)), the 0.2 mm track 2 px wide. Read as
    // single-quadrant it would be an arc of no length.
    Draw({"%FSLAX33Y33*%", "%MOMM*%", "%ADD10C,0.2*%", "D10*", "X1000Y3000D02*",
          "G75G03I2000J0X1000Y3000D01*G01*", "M02*"});
    for (auto [i, j] : {std::pair{50, 30}, {30, 10}, {30, 49}, {10, 30}}) EXPECT_TRUE(Inked(i, j)) << i << ',' << j;
    EXPECT_FALSE(Inked(30, 30));
    // Row 30 crosses the track twice: x = 30 ± 20, 2 px wide.
    EXPECT_EQ(Row(30), "9-10,49-50");
}

TEST_F(ImageRenderingTest, ArcOfASquareApertureCoversWhatTheSquareSweeps) {
    // A full circle of radius 2 mm (20 px around pixel (30, 30)) drawn with a
    // 0.4 mm square: the pixels whose centres lie within Chebyshev distance
    // 2 px of some point of the circle. The square follows straight pieces
    // that stray from the circle by a quarter pixel at most, so only centres
    // nearer than that to the swept area's edge may go either way.
    Draw({"%FSLAX33Y33*%", "%MOMM*%", "%ADD10R,0.4X0.4*%", "G75*", "D10*", "X1000Y3000D02*",
          "G03I2000J0X1000Y3000D01*", "M02*"});
    for (int j = 0; j < 60; ++j)
        for (int i = 0; i < 60; ++i) {
            double nearest = HUGE_VAL;  // Chebyshev distance to the circle
            for (int k = 0; k < 1800; ++k) {
                const double a = k * 2 * 3.141592653589793 / 1800;
                const double dx = std::abs(i + 0.5 - (30 + 20 * std::cos(a)));
                const double dy = std::abs(j + 0.5 - (30 + 20 * std::sin(a)));
                nearest = std::min(nearest, std::max(dx, dy));
            }
            if (nearest < 2 - 0.3) {
                EXPECT_TRUE(Inked(i, j)) << i << ',' << j;
            }
            if (nearest > 2 + 0.3) {
                EXPECT_FALSE(Inked(i, j)) << i << ',' << j;
            }
        }
}

TEST_F(ImageRenderingTest, TracksNarrowerThanAPixelStayVisible) {
    // A 0.05 mm track is half a pixel wide. Along y = 2 mm its band
    // [19.75, 20.25) holds no pixel centre and would vanish; it is drawn one
    // pixel wide from x = 10 to 50 (each end on a pixel border, so either
    // pixel beside it), in one of the rows 19 and 20.
    Draw({"%FSLAX33Y33*%", "%MOMM*%", "%ADD10C,0.05*%", "D10*", "X1000Y2000D02*", "X5000Y2000D01*",
          "M02*"});
    const std::string row = Row(19).empty() ? Row(20) : Row(19);
    int first = -1, last = -1;
    ASSERT_EQ(std::sscanf(row.c_str(), "%d-%d", &first, &last), 2) << row;
    EXPECT_TRUE(first == 9 || first == 10) << row;
    EXPECT_TRUE(last == 49 || last == 50) << row;
    EXPECT_EQ(Count(), last - first + 1);
    // An arc of it: the circle of radius 20 px around (30, 30), every inked
    // pixel's centre within a pixel of it, and about 2π × 20 = 126 of them.
    Draw({"%FSLAX33Y33*%", "%MOMM*%", "%ADD10C,0.05*%", "G75*", "D10*", "X1000Y3000D02*",
          "G03I2000J0X1000Y3000D01*", "M02*"});
    int inked = 0;
    for (int j = 0; j < 60; ++j)
        for (int i = 0; i < 60; ++i) {
            if (!Inked(i, j)) continue;
            ++inked;
            EXPECT_NEAR(std::hypot(i + 0.5 - 30, j + 0.5 - 30), 20, 1.0) << i << ',' << j;
        }
    EXPECT_GT(inked, 110);
    EXPECT_LT(inked, 180);
    // Pads of it: at (2.03, 1.07) mm, pixel (20.3, 10.7) whose centre lies
    // 0.36 px away, more than the pad's radius of 0.25 px; and one with a
    // hole. Each is the one pixel of its point.
    Draw({"%FSLAX33Y33*%", "%MOMM*%", "%ADD10C,0.05*%", "%ADD11C,0.05X0.02*%", "D10*", "X2030Y1070D03*",
          "D11*", "X4000Y4000D03*", "M02*"});
    EXPECT_EQ(Count(), 2);
    EXPECT_TRUE(Inked(20, 10));
    EXPECT_TRUE(Inked(40, 40) || Inked(39, 39) || Inked(39, 40) || Inked(40, 39));
    // An aperture of size 0 draws nothing.
    Draw({"%FSLAX33Y33*%", "%MOMM*%", "%ADD10C,0*%", "D10*", "X1000Y2000D02*", "X5000Y2000D01*",
          "M02*"});
    EXPECT_EQ(Count(), 0);
    Draw({"%FSLAX33Y33*%", "%MOMM*%", "%ADD10C,0*%", "D10*", "X1000Y2000D03*", "M02*"});
    EXPECT_EQ(Count(), 0);
}

TEST_F(ImageRenderingTest, HairlineArcsRunFromEndToEnd) {
    // A quarter of the circle of radius 2 mm around (3, 3) mm with a 0.05 mm
    // track, from (5, 3) to (3, 5): pixels from (50, 30) to (30, 50) along
    // the circle of radius 20 px around (30, 30). Every inked pixel's centre
    // lies within a pixel of that quarter, each end has an inked pixel
    // touching it, and the quarter is 2π × 20 / 4 ≈ 31 px long.
    const auto distanceToQuarter = [](double x, double y) {
        if (x >= 30 && y >= 30) return std::abs(std::hypot(x - 30, y - 30) - 20);
        return std::min(std::hypot(x - 50, y - 30), std::hypot(x - 30, y - 50));
    };
    Draw({"%FSLAX33Y33*%", "%MOMM*%", "%ADD10C,0.05*%", "G75*", "D10*", "X5000Y3000D02*",
          "G03X3000Y5000I-2000J0D01*", "M02*"});
    int inked = 0;
    bool startTouched = false, endTouched = false;
    for (int j = 0; j < 60; ++j)
        for (int i = 0; i < 60; ++i) {
            if (!Inked(i, j)) continue;
            ++inked;
            EXPECT_LE(distanceToQuarter(i + 0.5, j + 0.5), 1.0) << i << ',' << j;
            startTouched = startTouched || ((i == 49 || i == 50) && (j == 29 || j == 30));
            endTouched = endTouched || ((i == 29 || i == 30) && (j == 49 || j == 50));
        }
    EXPECT_TRUE(startTouched);
    EXPECT_TRUE(endTouched);
    EXPECT_GE(inked, 28);
    EXPECT_LE(inked, 45);
    // Three quarters of a circle of radius 25 mm on a picture of 600 × 600
    // px (about 590 pieces): the pixels at the quarter points (300 ± 250,
    // 300) and (300, 550) are reached without drift, and nothing is drawn
    // in the quarter left open (x > 300, y < 300).
    Draw({"%FSLAX33Y33*%", "%MOMM*%", "%ADD10C,0.05*%", "G75*", "D10*", "X55000Y30000D02*",
          "G03X30000Y5000I-25000J0D01*", "M02*"},
         kMmFormat, 600, 600);
    const auto inkedNear = [this](int i, int j) {
        for (int dj = -1; dj <= 0; ++dj)
            for (int di = -1; di <= 0; ++di)
                if (Inked(i + di, j + dj)) return true;
        return false;
    };
    EXPECT_TRUE(inkedNear(550, 300));
    EXPECT_TRUE(inkedNear(300, 550));
    EXPECT_TRUE(inkedNear(50, 300));
    EXPECT_TRUE(inkedNear(300, 50));
    for (int j = 0; j < 600; ++j)
        for (int i = 0; i < 600; ++i)
            if (Inked(i, j)) {
                EXPECT_LE(std::abs(std::hypot(i + 0.5 - 300, j + 0.5 - 300) - 250), 1.0) << i << ',' << j;
                EXPECT_FALSE(i > 301 && j < 299) << i << ',' << j;
            }
}

TEST_F(ImageRenderingTest, CoordinatesWithAPointOrManyDigits) {
    // A 2 mm square flashed at (3, 3) covers pixels [20, 40)². The same
    // point written with decimal points, with 19 digits (leading zeros of
    // 3000 counts) and with a sign: every form lands on the same pixels.
    for (const char* flash : {"X3000Y3000D03*", "X3.0Y3.000D03*", "X0000000000000003000Y+0000000000000003000D03*",
                              "X+3000Y3.D03*"}) {
        Draw({"%FSLAX33Y33*%", "%MOMM*%", "%ADD10R,2X2*%", "D10*", flash, "M02*"});
        EXPECT_EQ(Row(19), "") << flash;
        EXPECT_EQ(Row(20), "20-39") << flash;
        EXPECT_EQ(Row(39), "20-39") << flash;
        EXPECT_EQ(Count(), 400) << flash;
    }
    // Trailing zeros omitted (format 3.3): the digits are the leading ones,
    // "003" is 003.000 mm and "3" would be 300.000 mm. With 18 digits,
    // "003000000000000000" is 003.000000000000000 mm: the first three are
    // the integer part, whatever follows are decimals. So is "0030…0" of
    // 22 digits, beyond what a 64-bit count holds.
    for (const char* flash : {"X003Y003D03*", "X003000000000000000Y003000000000000000D03*",
                              "X0030000000000000000000Y0030000000000000000000D03*"}) {
        Draw({"%FSTAX33Y33*%", "%MOMM*%", "%ADD10R,2X2*%", "D10*", flash, "M02*"});
        EXPECT_EQ(Row(20), "20-39") << flash;
        EXPECT_EQ(Count(), 400) << flash;
    }
    Draw({"%FSTAX33Y33*%", "%MOMM*%", "%ADD10R,2X2*%", "D10*", "X3Y3D03*", "M02*"});
    EXPECT_EQ(Count(), 0);
}

TEST_F(ImageRenderingTest, CommentsAndSeveralCommandsInOneBlock) {
    // One block of a comment naming D11 and X5000, the selection of D10 and
    // its flash at (2, 2): only the 2 mm square [10, 30)² is drawn; a
    // comment ends at its "*", and "D03" directly followed by "*" and by the
    // next command flashes once more at (4, 4): [30, 50)².
    Draw({"%FSLAX33Y33*%", "%MOMM*%", "%ADD10R,2X2*%", "%ADD11C,4*%",
          "G04 D11 X5000Y5000D03 not drawn*D10*X2000Y2000D03*X4000Y4000D03*", "M02*"});
    EXPECT_EQ(Row(10), "10-29");
    EXPECT_EQ(Row(30), "30-49");
    EXPECT_EQ(Count(), 800);
}

TEST_F(ImageRenderingTest, OneLineMacroReadsInEverySeparatorMode) {
    // BOX: a centre line 2 × 1 mm; flashed at (3, 3) it covers pixels
    // [20, 40) × [25, 35). The file is cut as the reader cuts it: with LF
    // separators its stars are dropped ("%AMBOX21,1,2,1,0,0,0%").
    const std::string lf =
        "%FSLAX33Y33*%\n%MOMM*%\n%AMBOX*21,1,2,1,0,0,0*%\n%ADD10BOX*%\nD10*\nX3000Y3000D03*\nM02*\n";
    std::string crlf;
    for (char c : lf) {
        if (c == '\n') crlf.push_back('\r');
        crlf.push_back(c);
    }
    for (auto [text, separator] : {std::pair{lf, InputSeparator::Lf}, {crlf, InputSeparator::Cr},
                                   {lf, InputSeparator::Star}}) {
        ConversionSettings settings;
        settings.inputCode = 1;
        settings.inputSeparator = static_cast<std::uint8_t>(separator);
        blocks = InputBlockList();
        ASSERT_EQ(CutBlocks(text, settings, ReaderEntry::Viewer, blocks), CutResult::Ok);
        controls.inputSeparator = separator;
        surface.emplace(60, 60, kTenPerMm);
        RunDisplayPass(blocks, table, records, controls, kMmFormat, kTopLeft, *surface, ui, ui);
        const int mode = static_cast<int>(separator);
        EXPECT_EQ(Row(24), "") << mode;
        EXPECT_EQ(Row(25), "20-39") << mode;
        EXPECT_EQ(Row(34), "20-39") << mode;
        EXPECT_EQ(Row(35), "") << mode;
        EXPECT_EQ(Count(), 200) << mode;
    }
}

}  // namespace
}  // namespace mutaplot
