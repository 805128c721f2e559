// Runs `mutaplot-cli print` end to end and reads the PDF page back as pixels
// (poppler's pdftoppm at 254 dpi: ten pixels a millimetre, an A4 page of
// 2100 x 2970 pixels, the whole page printable).

#include "support/TempDir.h"
#include "support/TestInputs.h"

#include <gtest/gtest.h>

#include <QImage>

#include <cstdlib>
#include <filesystem>
#include <iomanip>
#include <sstream>
#include <string>
#include <sys/wait.h>

namespace mutaplot {
namespace {

using testing::ReadFileBytes;
using testing::MmSettingsText;
using testing::Quote;
using testing::TempDir;



// Records in D-code order from D10: D10 round 1.0, D11 unused, D12 thermal
// "＋" 1.0 / 1.6 / 0.3, D13 square 1.5 x 1.0 (CP932 "○", "＋", "□"); D14
// round 0.04 for inch data.
constexpr const char* kApertures =
    "\"D10\",\"1.0\",\"1.0\",\"0\",\"\x81\x9B\"\r\n"
    "\"D11\",\"1.0\",\"1.0\",\"0\",\"\x81\x9B\"\r\n"
    "\"D12\",\"1.0\",\"1.6\",\"0.3\",\"\x81\x7B\"\r\n"
    "\"D13\",\"1.5\",\"1.0\",\"0\",\"\x81\xA0\"\r\n"
    "\"D14\",\"0.04\",\"0.04\",\"0\",\"\x81\x9B\"\r\n";

constexpr const char* kFlash = "G54D10\r\nX10000Y10000D03\r\n";

class CliPrint : public ::testing::Test {
protected:
    void SetUp() override {
        if (std::system("command -v pdftoppm >/dev/null 2>&1") != 0)
            GTEST_SKIP() << "pdftoppm is not installed";
        dir.Write("s.ini", MmSettingsText());
        dir.Write("ap.apt", kApertures);
    }

    // Prints `input` with the options and loads the page; the exit code and
    // standard error are kept.
    bool Print(const std::string& input, const std::string& options) {
        dir.Write("in.gbr", input);
        const auto out = dir / "out.pdf";
        std::filesystem::remove(out);
        const std::string command =
            Quote(std::string(MUTAPLOT_BIN_DIR) + "/mutaplot-cli") + " print --settings " +
            Quote((dir / "s.ini").string()) + " --apertures " + Quote((dir / "ap.apt").string()) +
            " " + options + " " + Quote((dir / "in.gbr").string()) + " " + Quote(out.string()) +
            " 2>" + Quote((dir / "err.txt").string()) + " >/dev/null";
        const int status = std::system(command.c_str());
        exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        err = ReadFileBytes(dir / "err.txt");
        if (!std::filesystem::exists(out)) return false;
        const std::string render = "pdftoppm -r 254 -gray -png -singlefile " + Quote(out.string()) +
                                   " " + Quote((dir / "page").string());
        if (std::system(render.c_str()) != 0) return false;
        return page.load(QString::fromStdString((dir / "page.png").string()), "PNG");
    }

    bool Ink(int x, int y) const { return qGray(page.pixel(x, y)) < 128; }
    void ExpectInk(std::initializer_list<std::pair<int, int>> points) const {
        for (auto [x, y] : points) EXPECT_TRUE(Ink(x, y)) << "no ink at " << x << "," << y;
    }
    void ExpectPaper(std::initializer_list<std::pair<int, int>> points) const {
        for (auto [x, y] : points) EXPECT_FALSE(Ink(x, y)) << "ink at " << x << "," << y;
    }
    bool InkIn(int x1, int y1, int x2, int y2) const {
        for (int y = y1; y <= y2; ++y)
            for (int x = x1; x <= x2; ++x)
                if (Ink(x, y)) return true;
        return false;
    }

    TempDir dir;
    QImage page;
    int exitCode = -1;
    std::string err;
};

TEST_F(CliPrint, FlashAtTrueSizeFromEitherOriginCornerAndDoubledByTheZoom) {
    ASSERT_TRUE(Print(kFlash, "")) << err;
    EXPECT_EQ(exitCode, 0) << err;
    // Page sizes are whole points in the file, rounded up to pixels again.
    ASSERT_NEAR(page.width(), 2100, 1);
    ASSERT_NEAR(page.height(), 2970, 1);
    // 10 mm from the left, 10 mm above the bottom: centre (100, 2870), radius 5.
    ExpectInk({{100, 2870}, {97, 2870}, {103, 2870}, {100, 2867}, {100, 2873}});
    ExpectPaper({{93, 2870}, {107, 2870}, {100, 2863}, {100, 2877}, {100, 100}});

    ASSERT_TRUE(Print(kFlash, "--set drawOrigin=1")) << err;
    ExpectInk({{100, 100}, {97, 100}, {103, 100}, {100, 97}, {100, 103}});
    ExpectPaper({{93, 100}, {107, 100}, {100, 93}, {100, 107}, {100, 2870}});

    // "２００％": centre 20 mm from the left and from the bottom, radius 1 mm.
    ASSERT_TRUE(Print(kFlash, "--zoom 2")) << err;
    ExpectInk({{200, 2770}, {192, 2770}, {208, 2770}, {200, 2762}, {200, 2778}});
    ExpectPaper({{188, 2770}, {212, 2770}, {200, 2758}, {200, 2782}, {100, 2870}});
}

TEST_F(CliPrint, NegativeFieldIsInsetThreeMillimetresForMmAndInchData) {
    ASSERT_TRUE(Print(kFlash, "--negative")) << err;
    EXPECT_EQ(exitCode, 0) << err;
    // The field runs from (30, 30) to (2070, 2940) pixels.
    ExpectPaper({{27, 1000}, {1000, 27}, {2073, 1000}, {1000, 2943}});
    ExpectInk({{33, 1000}, {1000, 33}, {2067, 1000}, {1000, 2937}, {93, 2870}, {107, 2870}});
    // The flash is white on it.
    ExpectPaper({{100, 2870}, {97, 2870}, {103, 2870}});

    // inch(2.4): X10000 is one inch (254 pixels); the margin stays 3 mm.
    ASSERT_TRUE(Print("G54D14\r\nX10000Y10000D03\r\n", "--set inputFormat=8 --negative")) << err;
    ExpectPaper({{27, 1000}, {1000, 27}, {2073, 1000}, {1000, 2943}});
    ExpectInk({{33, 1000}, {1000, 33}, {2067, 1000}, {1000, 2937}, {246, 2716}, {262, 2716}});
    ExpectPaper({{254, 2716}, {251, 2716}, {257, 2716}, {254, 2713}});
}

TEST_F(CliPrint, SlantedSquareStrokeIsOneRectangleAndThermalStrokePrintsNothing) {
    // The 1.5 x 1 square from (20, 20) to (40, 30) mm; on the page (y down)
    // y0 = 277 > y1 = 267, so the corners are (19.25, 277.5) and
    // (40.75, 266.5) mm. A thermal stroke from (60, 10) to (80, 10) follows.
    ASSERT_TRUE(Print("G54D13\r\nX20000Y20000D02\r\nX40000Y30000D01\r\n"
                      "G54D12\r\nX60000Y10000D02\r\nX80000Y10000D01\r\n",
                      ""))
        << err;
    EXPECT_EQ(exitCode, 0) << err;
    // All four corners of the rectangle are inked; the swept hexagon would
    // leave (40, 20) and (20, 30) mm blank.
    ExpectInk({{195, 2668}, {405, 2668}, {195, 2772}, {405, 2772}, {300, 2720}});
    ExpectPaper({{189, 2720}, {411, 2720}, {300, 2662}, {300, 2778}});
    EXPECT_FALSE(InkIn(580, 2840, 820, 2900));
}

TEST_F(CliPrint, RelativeDataKeepTheBlocksBeforeIt) {
    ASSERT_TRUE(Print("G54D10\r\nX10000Y10000D03\r\nG91\r\nX20000Y10000D03\r\n", "")) << err;
    // As in the viewer, the page is printed and the message is a warning.
    EXPECT_EQ(exitCode, 0);
    EXPECT_NE(err.find("このデータは相対座標で作成されてあります。"), std::string::npos) << err;
    ExpectInk({{100, 2870}});
    EXPECT_FALSE(InkIn(190, 2860, 210, 2880));
}

TEST_F(CliPrint, TraceListsThePageCallsInOrder) {
    const auto trace = dir / "trace.txt";
    ASSERT_TRUE(Print(kFlash, "--trace " + Quote(trace.string()))) << err;
    EXPECT_EQ(exitCode, 0) << err;
    const std::string text = ReadFileBytes(trace);
    // First the page: A4 in millimetres at 1200 dpi (1440 / 1200 twips a
    // pixel); the PDF page is whole points, so W and H are read back.
    std::istringstream lines(text);
    std::string surface, w, h, t;
    lines >> surface >> w >> h >> t;
    ASSERT_EQ(surface, "surface") << text;
    EXPECT_NEAR(std::stod(w), 210.0, 0.5);
    EXPECT_NEAR(std::stod(h), 297.0, 0.5);
    EXPECT_EQ(t, "1.2");
    // Positive print: raster mode blackness, then the 1 mm round flash at
    // (10, H - 10) as a disc of radius 0.5 with a one-pixel pen.
    const std::string rest = text.substr(text.find('\n') + 1);
    std::ostringstream y;
    y << std::setprecision(15) << std::stod(h) - 10.0;
    EXPECT_EQ(rest, "mode blackness\nfillcircle 10 " + y.str() + " 0.5 1\n");
}

TEST_F(CliPrint, PaperAndOrientation) {
    ASSERT_TRUE(Print(kFlash, "--paper Letter --landscape")) << err;
    // 11 x 8.5 inches at 254 dpi; the flash 10 mm above the new bottom.
    EXPECT_NEAR(page.width(), 2794, 1);
    EXPECT_NEAR(page.height(), 2159, 1);
    ExpectInk({{100, 2059}});
    ASSERT_TRUE(Print(kFlash, "--paper A3")) << err;
    EXPECT_NEAR(page.width(), 2970, 1);
    EXPECT_NEAR(page.height(), 4200, 2);
    ExpectInk({{100, 4100}});

    EXPECT_FALSE(Print(kFlash, "--paper B5"));
    EXPECT_EQ(exitCode, 2);
}

}  // namespace
}  // namespace mutaplot
