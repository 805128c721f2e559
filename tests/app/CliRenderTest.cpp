// Runs `mutaplot-cli render` end to end and looks at the pixels of the PNG.

#include "support/TempDir.h"
#include "support/TestInputs.h"

#include <gtest/gtest.h>

#include <QColor>
#include <QImage>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <sys/wait.h>

namespace mutaplot {
namespace {

using testing::ReadFileBytes;
using testing::MmSettingsText;
using testing::Quote;
using testing::TempDir;


struct RenderRun {
    int exitCode = -1;
    std::string err;
};

RenderRun RunRender(const TempDir& dir, const std::string& arguments) {
    const auto errPath = dir / "stderr.txt";
    const std::string command = Quote(std::string(MUTAPLOT_BIN_DIR) + "/mutaplot-cli") +
                                " render " + arguments + " 2>" + Quote(errPath.string()) +
                                " >/dev/null";
    const int status = std::system(command.c_str());
    RenderRun r;
    r.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    r.err = ReadFileBytes(errPath);
    return r;
}


// D10: round, 2 mm (CP932 "○").
constexpr const char* kApertures = "\"D10\",\"2\",\"2\",\"0\",\"\x81\x9B\"\r\n";

// A stroke from (2, 8) to (18, 8) mm and a flash at (5, 3) mm, both with D10.
constexpr const char* kInput = "G54D10\r\nX2000Y8000D02\r\nX18000Y8000D01\r\nX5000Y3000D03\r\n";

bool IsInk(const QImage& image, int x, int y) {
    return (image.pixel(x, y) & 0xFFFFFFu) == 0x000000u;
}
bool IsBackground(const QImage& image, int x, int y) {
    return (image.pixel(x, y) & 0xFFFFFFu) == 0xFFFFFFu;
}

class CliRender : public ::testing::Test {
protected:
    void SetUp() override {
        dir.Write("s.ini", MmSettingsText());
        dir.Write("ap.apt", kApertures);
        dir.Write("in.gbr", kInput);
    }
    // A 20 x 10 mm surface at 254 dpi: 56.7 twips a millimetre over
    // 1440/254 twips a pixel is 10.001 px a millimetre, so 200 x 100 pixels.
    std::string Args(const std::string& extra, const std::filesystem::path& output) const {
        return "--settings " + Quote((dir / "s.ini").string()) + " --apertures " +
               Quote((dir / "ap.apt").string()) + " --size 20,10 --dpi 254 " + extra + " " +
               Quote((dir / "in.gbr").string()) + " " + Quote(output.string());
    }
    TempDir dir;
};

TEST_F(CliRender, FlashAndStrokeLandWhereTheTransformPutsThem) {
    const auto out = dir / "out.png";
    RenderRun r = RunRender(dir, Args("", out));
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.err, "");
    QImage image;
    ASSERT_TRUE(image.load(QString::fromStdString(out.string()), "PNG"));
    ASSERT_EQ(image.width(), 200);
    ASSERT_EQ(image.height(), 100);

    // Bottom-left origin: picture y = 10 - y. The flash at (5, 3) mm is a
    // disc of radius 10 px around pixel (50, 70).
    for (auto [x, y] : {std::pair{50, 70}, {44, 70}, {56, 70}, {50, 64}, {50, 76}})
        EXPECT_TRUE(IsInk(image, x, y)) << x << "," << y;
    for (auto [x, y] : {std::pair{50, 83}, {50, 57}, {37, 70}, {63, 70}})
        EXPECT_TRUE(IsBackground(image, x, y)) << x << "," << y;

    // The stroke at y = 8 mm is row 20, from column 20 to 180, drawn with a
    // pen as wide as the aperture (20 px) and round ends.
    for (auto [x, y] : {std::pair{100, 20}, {100, 13}, {100, 27}, {25, 20}, {175, 20}, {12, 20},
                        {188, 20}})
        EXPECT_TRUE(IsInk(image, x, y)) << x << "," << y;
    for (auto [x, y] : {std::pair{100, 33}, {100, 6}, {6, 20}, {194, 20}})
        EXPECT_TRUE(IsBackground(image, x, y)) << x << "," << y;

    // Nothing was drawn elsewhere.
    for (auto [x, y] : {std::pair{0, 0}, {199, 0}, {0, 99}, {199, 99}, {150, 70}, {100, 50}})
        EXPECT_TRUE(IsBackground(image, x, y)) << x << "," << y;

    // Top-left origin: no flip, the flash is at row 30 and the stroke at row
    // 80 (its band rows 70 to 90); the gap between them and the stroke's old
    // row stay empty.
    r = RunRender(dir, Args("--set drawOrigin=1", out));
    ASSERT_EQ(r.exitCode, 0) << r.err;
    ASSERT_TRUE(image.load(QString::fromStdString(out.string()), "PNG"));
    for (auto [x, y] : {std::pair{50, 30}, {44, 30}, {50, 36}, {100, 80}, {100, 74}})
        EXPECT_TRUE(IsInk(image, x, y)) << x << "," << y;
    for (auto [x, y] : {std::pair{50, 56}, {100, 20}, {50, 43}, {100, 93}, {150, 30}})
        EXPECT_TRUE(IsBackground(image, x, y)) << x << "," << y;

    // Zoom 2 with offset (1, 0): (x + 1) * 2 mm, so the flash centre goes to
    // x = 12 mm (column 120), y = 10 - 6 = 4 mm (row 40), radius 20 px.
    r = RunRender(dir, Args("--zoom 2 --offset 1,0", out));
    ASSERT_EQ(r.exitCode, 0) << r.err;
    ASSERT_TRUE(image.load(QString::fromStdString(out.string()), "PNG"));
    for (auto [x, y] : {std::pair{120, 40}, {105, 40}, {135, 40}, {120, 55}})
        EXPECT_TRUE(IsInk(image, x, y)) << x << "," << y;
    for (auto [x, y] : {std::pair{95, 40}, {145, 40}, {120, 65}, {50, 70}})
        EXPECT_TRUE(IsBackground(image, x, y)) << x << "," << y;
}

TEST_F(CliRender, TraceListsTheDrawingCallsInOrder) {
    const auto out = dir / "out.png";
    const auto trace = dir / "trace.txt";
    RenderRun r = RunRender(dir, Args("--trace " + Quote(trace.string()), out));
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(std::filesystem::exists(out));
    // 200 x 100 pixels at 1440/254 twips a pixel: 10.00125 px a millimetre,
    // so 19.99750031… x 9.99875015… mm. The picture's y of the stroke,
    // 9.99875 − 8, is kept to hundredths: 2; the flash's is 7. D10 is 2 mm:
    // a 20.0025-pixel pen for the stroke, the disc drawn with a one-pixel pen.
    EXPECT_EQ(ReadFileBytes(trace),
              "surface 19.9975003124609 9.99875015623047 5.66929133858268\n"
              "clear\n"
              "line 2 2 18 2 20\n"
              "fillcircle 5 7 1 1\n");

    // No data: neither picture nor trace.
    dir.Write("empty.gbr", "");
    const auto none = dir / "none.txt";
    r = RunRender(dir, "--settings " + Quote((dir / "s.ini").string()) + " --trace " +
                           Quote(none.string()) + " " + Quote((dir / "empty.gbr").string()) + " " +
                           Quote((dir / "none.png").string()));
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_FALSE(std::filesystem::exists(none));
}

TEST_F(CliRender, BadSizesAreUsageErrorsAndWriteNothing) {
    const auto out = dir / "out.png";
    const std::string common = "--settings " + Quote((dir / "s.ini").string()) + " --apertures " +
                               Quote((dir / "ap.apt").string()) + " ";
    std::string files = " ";
    files.append(Quote((dir / "in.gbr").string())).append(" ").append(Quote(out.string()));
    for (const char* size : {"0,5", "20", "20,-1", "abc,5"}) {
        std::string arguments = common;
        arguments.append("--size ").append(size).append(files);
        const RenderRun r = RunRender(dir, arguments);
        EXPECT_EQ(r.exitCode, 2) << size;
    }
    // 4000 mm at about 10 px a millimetre is over 16384 pixels.
    RenderRun r = RunRender(dir, common + "--size 4000,10 --dpi 254" + files);
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_FALSE(std::filesystem::exists(out));

    r = RunRender(dir, common + "--size 20,10" + " " + Quote((dir / "in.gbr").string()) + " " +
                           Quote((dir / "no" / "such.png").string()));
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err.rfind("確認: ", 0), 0u) << r.err;
}

}  // namespace
}  // namespace mutaplot
