#include "export/DxfExport.h"
#include "export/DxfWriter.h"

#include "settings/NumberText.h"
#include "support/FakePlatform.h"
#include "viewer/ViewerFixture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

namespace mutaplot {
namespace {

using testing::FakePlatform;
using testing::MakeBlocks;
using testing::MakeTable;
using testing::ViewerRecords;
using Lines = std::vector<std::string>;

std::string Join(const Lines& lines) {
    std::string out;
    for (const auto& l : lines) out += l + "\r\n";
    return out;
}

Lines Line1003(const char* x, const char* y, const char* x2, const char* y2) {
    return {"LINE", "  8", "1", " 62", "7", "  6", "CONTINUOUS", " 10", x, " 20", y, " 11", x2, " 21", y2, " 0"};
}
Lines Circle1003(const char* x, const char* y, const char* r) {
    return {"CIRCLE", "  8", "1", " 62", "7", "  6", "CONTINUOUS", " 10", x, " 20", y, " 40", r, " 0"};
}
Lines Arc1003(const char* x, const char* y, const char* r, const char* a1, const char* a2) {
    return {"ARC", "  8", "1", " 62", "7", "  6", "CONTINUOUS", " 10", x, " 20", y, " 40", r, " 50", a1, " 51", a2, " 0"};
}
// Stands for the AC1009 handle line; Expected() numbers them 2B, 2C, ... in
// file order.
constexpr const char* kHandle = "<handle>";

Lines Line1009(const char* x, const char* y, const char* x2, const char* y2) {
    return {"LINE", "  5", kHandle, "  8", "0", " 10", x, " 20", y, " 30", "0.0", " 11", x2, " 21", y2, " 31", "0.0", " 0"};
}
Lines Circle1009(const char* x, const char* y, const char* r) {
    return {"CIRCLE", "  5", kHandle, "  8", "0", "  10", x, " 20", y, " 40", r, " 0"};
}
Lines Arc1009(const char* x, const char* y, const char* r, const char* a1, const char* a2) {
    return {"ARC", "  5", kHandle, "  8", "0", " 10", x, " 20", y, " 30", "0", " 40", r, " 50", a1, " 51", a2, " 0"};
}
Lines Cat(std::initializer_list<Lines> parts) {
    Lines out;
    for (const auto& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
}

const Lines kTemplate = {"  0", "SECTION", "  2", "ENTITIES", "  0"};
const Lines kTrailer = {"ENDSEC", " 0", "EOF"};

class DxfTest : public ::testing::Test {
protected:
    std::string Export(std::initializer_list<const char*> texts, bool ac1009, bool lineWidth) {
        blocks = MakeBlocks(texts);
        return BuildDxfText(kTemplate, blocks, table, records, controls, 1, DxfOptions{ac1009, lineWidth}, ui);
    }
    std::string Expected(std::initializer_list<Lines> entities) {
        Lines all = kTemplate;
        for (const auto& e : entities) all.insert(all.end(), e.begin(), e.end());
        const char* hex = "0123456789ABCDEF";
        unsigned next = 0x2B;
        for (auto& line : all) {
            if (line != kHandle) continue;
            line.clear();
            for (unsigned v = next++; v != 0; v /= 16) line.insert(line.begin(), hex[v % 16]);
        }
        all.insert(all.end(), kTrailer.begin(), kTrailer.end());
        return Join(all);
    }
    ViewerRecords r;
    PlotRecords records = r.Bind();
    ViewControls controls;
    ApertureTable table = MakeTable({{10, "2.0", "2.0", "0", "○"},
                                     {11, "1.0", "1.0", "0", "□"},
                                     {12, "2.0", "2.0", "0", "□"},
                                     {13, "1.0", "2.0", "1.0", "＋"},
                                     {14, "1.0", "2.0", "1.0", "×"},
                                     {15, "1.0", "2.0", "2.5", "＋"}});
    InputBlockList blocks;
    FakePlatform ui;
};

const std::initializer_list<const char*> kWorkedExample = {
    "G54D10", "X10000Y10000D02", "X50000Y10000D01", "G54D11", "X50000Y30000D03"};

Lines FlashSquare1003() {
    return Cat({Line1003("49.5", "29.5", "49.5", "30.5"), Line1003("49.5", "29.5", "50.5", "29.5"),
                Line1003("50.5", "29.5", "50.5", "30.5"), Line1003("49.5", "30.5", "50.5", "30.5")});
}
Lines FlashSquare1009() {
    return Cat({Line1009("49.5", "29.5", "49.5", "30.5"), Line1009("49.5", "29.5", "50.5", "29.5"),
                Line1009("50.5", "29.5", "50.5", "30.5"), Line1009("49.5", "30.5", "50.5", "30.5")});
}

TEST_F(DxfTest, WorkedExampleAc1003WithoutWidth) {
    EXPECT_EQ(Export(kWorkedExample, false, false),
              Expected({Line1003("10", "10", "50", "10"), FlashSquare1003()}));
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(DxfTest, WorkedExampleAc1003WithWidth) {
    EXPECT_EQ(Export(kWorkedExample, false, true),
              Expected({Circle1003("10", "10", "1"), Circle1003("50", "10", "1"),
                        Line1003("10", "9", "50", "9"), Line1003("10", "11", "50", "11"),
                        FlashSquare1003()}));
}

TEST_F(DxfTest, WorkedExampleAc1009WithoutWidth) {
    EXPECT_EQ(Export(kWorkedExample, true, false),
              Expected({Line1009("10", "10", "50", "10"), FlashSquare1009()}));
}

TEST_F(DxfTest, WorkedExampleAc1009WithWidth) {
    EXPECT_EQ(Export(kWorkedExample, true, true),
              Expected({Circle1009("10", "10", "1"), Circle1009("50", "10", "1"),
                        Line1009("10", "9", "50", "9"), Line1009("10", "11", "50", "11"),
                        FlashSquare1009()}));
}

TEST_F(DxfTest, StrokesOfLengthZeroSlantedSquaresAndThermalStrokes) {
    // Round, no width: one LINE with equal ends; with width: two circles only.
    EXPECT_EQ(Export({"D10", "X1000Y1000D02", "X1000Y1000D01"}, false, false),
              Expected({Line1003("1", "1", "1", "1")}));
    EXPECT_EQ(Export({"D10", "X1000Y1000D02", "X1000Y1000D01"}, false, true),
              Expected({Circle1003("1", "1", "1"), Circle1003("1", "1", "1")}));
    // Square 2 × 2 (hx = hy = 1) from (0, 0) to (10, 10): A (1, −1), B (9, 11).
    EXPECT_EQ(Export({"D12", "X0Y0D02", "X10000Y10000D01", "X10000Y10000D01"}, false, true),
              Expected({Line1003("1", "-1", "1", "11"), Line1003("1", "-1", "9", "-1"),
                        Line1003("9", "-1", "9", "11"), Line1003("1", "11", "9", "11")}));
    // Downward from (10, 10) to (0, 0): A (9, 11), B (1, −1).
    EXPECT_EQ(Export({"D12", "X10000Y10000D02", "X0Y0D01"}, false, false),
              Expected({Line1003("9", "11", "9", "-1"), Line1003("9", "11", "1", "11"),
                        Line1003("1", "11", "1", "-1"), Line1003("9", "-1", "1", "-1")}));
    // A thermal cannot stroke.
    EXPECT_EQ(Export({"D13", "X0Y0D02", "X5000Y0D01"}, false, true), Expected({}));
}

TEST_F(DxfTest, DiagonalRoundTrackOutline) {
    // Radius 1 along (0,0)-(3,4): d = 5, k = 0.2, offsets (dy·k, −dx·k) = (0.8, −0.6).
    EXPECT_EQ(Export({"D10", "X0Y0D02", "X3000Y4000D01"}, true, true),
              Expected({Circle1009("0", "0", "1"), Circle1009("3", "4", "1"),
                        Line1009("0.8", "-0.6", "3.8", "3.4"), Line1009("-0.8", "0.6", "2.2", "4.6")}));
}

// Entities read back from a DXF text: kind and the number after each code.
struct Entity {
    std::string kind;
    std::vector<double> values;
};
std::vector<Entity> ParseEntities(const std::string& text) {
    Lines lines;
    for (std::size_t start = 0, end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(text.substr(start, end - start));
    std::vector<Entity> out;
    for (std::size_t i = kTemplate.size(); i < lines.size(); ++i) {
        const std::string& l = lines[i];
        if (l == "LINE" || l == "CIRCLE" || l == "ARC") {
            out.push_back({l, {}});
        } else if (!out.empty() && (l == " 10" || l == "  10" || l == " 20" || l == " 11" ||
                                    l == " 21" || l == " 40" || l == " 50" || l == " 51")) {
            out.back().values.push_back(std::stod(lines[++i]));
        }
    }
    return out;
}

TEST_F(DxfTest, ThermalFlashesWriteEightSpokeEdgesAndEightArcs) {
    // Inner 1, outer 2, spokes 1 at (10, 20): θo = asin(1/2) = 30°, θi = asin(1) = 90°;
    // Ro = 1, Ri = 0.5, w = 0.5, co = cos 30° = 0.8660…, ci = 0.
    const double co = std::sqrt(3.0) / 2;
    auto plus = ParseEntities(Export({"D13", "X10000Y20000D03"}, false, false));
    ASSERT_EQ(plus.size(), 16u);
    const std::vector<std::vector<double>> lines = {
        {10 + co, 20.5, 10, 20.5}, {10.5, 20 + co, 10.5, 20}, {9.5, 20 + co, 9.5, 20}, {10 - co, 20.5, 10, 20.5},
        {10 - co, 19.5, 10, 19.5}, {9.5, 20 - co, 9.5, 20}, {10.5, 20 - co, 10.5, 20}, {10 + co, 19.5, 10, 19.5}};
    const std::vector<std::vector<double>> arcs = {
        {10, 20, 1, 30, 60}, {10, 20, 0.5, 90, 0}, {10, 20, 1, 120, 150}, {10, 20, 0.5, 180, 90},
        {10, 20, 1, 210, 240}, {10, 20, 0.5, 270, 180}, {10, 20, 1, 300, 330}, {10, 20, 0.5, 360, 270}};
    for (std::size_t k = 0; k < 16; ++k) {
        const auto& want = k < 8 ? lines[k] : arcs[k - 8];
        EXPECT_EQ(plus[k].kind, k < 8 ? "LINE" : "ARC");
        ASSERT_EQ(plus[k].values.size(), want.size());
        for (std::size_t v = 0; v < want.size(); ++v) EXPECT_NEAR(plus[k].values[v], want[v], 1e-9) << k;
    }
    // "×": the same turned by 45°: bo = 75°, bi = 135°; first spoke edge from
    // (cos 75°, sin 75°) to 0.5 · (cos 135°, sin 135°); arcs 75–105 and 135–45.
    auto cross = ParseEntities(Export({"D14", "X0Y0D03"}, false, false));
    ASSERT_EQ(cross.size(), 16u);
    const double pi = std::acos(-1.0);
    EXPECT_NEAR(cross[0].values[0], std::cos(75 * pi / 180), 1e-9);
    EXPECT_NEAR(cross[0].values[1], std::sin(75 * pi / 180), 1e-9);
    EXPECT_NEAR(cross[0].values[2], 0.5 * std::cos(135 * pi / 180), 1e-9);
    EXPECT_NEAR(cross[8].values[3], 75, 1e-9);
    EXPECT_NEAR(cross[8].values[4], 105, 1e-9);
    EXPECT_NEAR(cross[9].values[3], 135, 1e-9);
    EXPECT_NEAR(cross[9].values[4], 45, 1e-9);
    EXPECT_NEAR(cross[14].values[3], 345, 1e-9);  // 270 + bo, through 0° to 90 − bo
    EXPECT_NEAR(cross[14].values[4], 15, 1e-9);
    // Spokes wider than the ring: the angles cannot be computed, nothing is written.
    EXPECT_EQ(Export({"D15", "X0Y0D03", "D10", "X0Y0D03"}, false, false),
              Expected({Circle1003("0", "0", "1")}));
}

TEST_F(DxfTest, ArcsKeepTheirPathCounterClockwise) {
    // G02 from (0, 100) to (100, 0) around the origin: start 90°, end 0°,
    // written 0 → 90; the same path as G03 the other way gives the same pair.
    EXPECT_EQ(Export({"D10", "X0Y100000D02", "G02X100000Y0I0J-100000D01"}, false, false),
              Expected({Arc1003("0", "0", "100", "0", "90")}));
    EXPECT_EQ(Export({"D10", "X100000Y0D02", "G03X0Y100000I-100000J0D01"}, true, false),
              Expected({Arc1009("0", "0", "100", "0", "90")}));
    // Equal angles are a full circle; with width the ring is two more circles
    // and the ends get circles of the aperture's radius (1).
    EXPECT_EQ(Export({"D10", "X5000Y0D02", "G03X5000Y0I-5000J0D01"}, false, true),
              Expected({Circle1003("5", "0", "1"), Circle1003("5", "0", "1"),
                        Circle1003("0", "0", "4"), Circle1003("0", "0", "6")}));
    // With width and an aperture wider than the arc the inner radius is
    // written as computed.
    EXPECT_EQ(Export({"D10", "X0Y500D02", "G02X500Y0I0J-500D01"}, true, true),
              Expected({Circle1009("0", "0.5", "1"), Circle1009("0.5", "0", "1"),
                        Arc1009("0", "0", "-0.5", "0", "90"), Arc1009("0", "0", "1.5", "0", "90")}));
}

TEST_F(DxfTest, Ac1009HandlesAreUniqueAndRestartWithEachExport) {
    // A thermal flash and a round flash: 17 entities, handles 2B … 3B in
    // file order whatever their kind; the next export starts at 2B again.
    for (int pass = 0; pass < 2; ++pass) {
        const std::string text = Export({"D13", "X0Y0D03", "D10", "X0Y0D03"}, true, false);
        Lines handles;
        for (std::size_t at = 0; (at = text.find("\r\n  5\r\n", at)) != std::string::npos;) {
            at += 7;
            handles.push_back(text.substr(at, text.find("\r\n", at) - at));
        }
        ASSERT_EQ(handles.size(), 17u);
        EXPECT_EQ(handles.front(), "2B");
        EXPECT_EQ(handles[4], "2F");
        EXPECT_EQ(handles[5], "30");
        EXPECT_EQ(handles[15], "3A");
        EXPECT_EQ(handles.back(), "3B");
    }
}

TEST_F(DxfTest, ZoomAndOffsetsScaleAndShiftEverything) {
    controls.zoomText = "５０％";
    controls.offsetXText = "2";
    controls.offsetYText = "-1";
    // (10 + 2) × 0.5 = 6, (10 − 1) × 0.5 = 4.5; radius 2.0 × 0.5 / 2 = 0.5.
    EXPECT_EQ(Export({"D10", "X10000Y10000D03"}, false, false),
              Expected({Circle1003("6", "4.5", "0.5")}));
}

TEST_F(DxfTest, EmptyListWritesTemplateAndTrailerAfterTheMessage) {
    EXPECT_EQ(Export({}, false, false), Expected({}));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, kNoDisplayFileMessage);
}

TEST(DxfTemplateTest, LinesEndAtCrOrCrLfNotAtALoneLf) {
    EXPECT_EQ(SplitTemplateLines("a\r\nb\rc\nd\r\n"), (Lines{"a", "b", "c\nd"}));
    EXPECT_EQ(SplitTemplateLines("  0\r\nlast"), (Lines{"  0", "last"}));
    EXPECT_EQ(SplitTemplateLines("\r\n\r\n"), (Lines{"", ""}));
    EXPECT_EQ(SplitTemplateLines(""), Lines{});
}

}  // namespace
}  // namespace mutaplot

namespace mutaplot {
namespace {

TEST(DxfNumberTest, NumberLinesAreTheSystemsDecimalText) {
    const double fixed[] = {10, 49.5, -3.25, 0.5, -0.5, 0.1 + 0.2, 100000, 1e-7, -0.0, 0,
                            1.0 / 3, 2.0 / 3 * 1e6, 123456789012345678.0, 45.000038009906035,
                            0.30000000000000004, 9.999999999999999, 1e15, 1e16 + 2, 5e-324,
                            // at the edges of nine decimals below a million
                            999999.999999999, 999999.9999999999, 1e6, 1e-9, -3e-9, 1.5e-10,
                            123456.123456789, -0.000123456, 0.1, 70.71067811865476};
    for (double v : fixed) {
        std::string s;
        AppendDxfNumber(s, v);
        EXPECT_EQ(s, FormatDecimal(v)) << v;
    }
    EXPECT_EQ([] { std::string s; AppendDxfNumber(s, 0.3 + 0.9); return s; }(), "1.2");
    EXPECT_EQ([] { std::string s; AppendDxfNumber(s, -12.5); return s; }(), "-12.5");
    // Coordinates of every kind the writer meets: counts over powers of ten,
    // zoomed and offset, thermal trigonometry.
    std::uint64_t state = 7;
    for (int i = 0; i < 200000; ++i) {
        state = state * 6364136223846793005ULL + 1442695040888963407ULL;
        const double raw = static_cast<double>(static_cast<std::int64_t>(state >> 40) - (1 << 23));
        const double v = i % 3 == 0 ? raw / 1000 : i % 3 == 1 ? (raw + 2500) / (10000 / 0.25f)
                                                              : std::sin(raw) * raw / 7;
        std::string s;
        AppendDxfNumber(s, v);
        ASSERT_EQ(s, FormatDecimal(v)) << v;
    }
}

}  // namespace
}  // namespace mutaplot

namespace mutaplot {
namespace {

TEST(DxfImageTest, FlashesAndRegionsAreClosedOutlinesStrokesTheirCentreLines) {
    ViewTransform t;  // 1000 counts a millimetre
    DxfHandles handles;
    std::string out;
    FilledFigure square;
    square.points = {{0, 0}, {1000, 0}, {1000, 2000}};
    square.EndContour();
    square.EndPart(FillRule::NonZero, false);
    gerber::ImageObject flash;
    WriteDxfImageObject(flash, square, t, DxfOptions{true, false}, handles, out);
    EXPECT_EQ(out,
              "POLYLINE\r\n  5\r\n2B\r\n  8\r\n0\r\n 66\r\n1\r\n 10\r\n0.0\r\n 20\r\n0.0\r\n 30\r\n0.0\r\n"
              " 70\r\n1\r\n 0\r\n"
              "VERTEX\r\n  5\r\n2C\r\n  8\r\n0\r\n 10\r\n0\r\n 20\r\n0\r\n 30\r\n0.0\r\n 0\r\n"
              "VERTEX\r\n  5\r\n2D\r\n  8\r\n0\r\n 10\r\n1\r\n 20\r\n0\r\n 30\r\n0.0\r\n 0\r\n"
              "VERTEX\r\n  5\r\n2E\r\n  8\r\n0\r\n 10\r\n1\r\n 20\r\n2\r\n 30\r\n0.0\r\n 0\r\n"
              "SEQEND\r\n  5\r\n2F\r\n  8\r\n0\r\n 0\r\n");
    // The AC1003 form has no polyline: the three edges as LINEs.
    std::string old;
    WriteDxfImageObject(flash, square, t, DxfOptions{false, false}, handles, old);
    EXPECT_EQ(old.find("POLYLINE"), std::string::npos);
    std::size_t lines = 0;
    for (std::size_t at = old.find("LINE\r\n"); at != std::string::npos; at = old.find("LINE\r\n", at + 1)) ++lines;
    EXPECT_EQ(lines, 3u);
    // A stroke without line width is its centre line.
    gerber::ImageObject stroke;
    stroke.kind = gerber::ObjectKind::Stroke;
    stroke.from = {1000, 1000};
    stroke.to = {5000, 1000};
    std::string centre;
    WriteDxfImageObject(stroke, square, t, DxfOptions{false, false}, handles, centre);
    EXPECT_EQ(centre, "LINE\r\n  8\r\n1\r\n 62\r\n7\r\n  6\r\nCONTINUOUS\r\n 10\r\n1\r\n 20\r\n1\r\n 11\r\n5\r\n 21\r\n1\r\n 0\r\n");
}

}  // namespace
}  // namespace mutaplot
