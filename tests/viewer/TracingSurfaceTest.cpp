// The drawing trace: one line per drawing call, the calls passed on unchanged.

#include "viewer/TracingSurface.h"

#include "support/RecordingSurface.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace mutaplot {
namespace {

using testing::RecordingSurface;

TEST(TracingSurface, WritesOneLinePerCallAndPassesItOn) {
    // 200 x 100 mm at 1440/254 twips a pixel (254 dpi).
    RecordingSurface inner(200.0, 100.0, 1440.0 / 254);
    std::string text;
    TracingSurface trace(inner, [&text](std::string_view piece) { text += piece; });

    trace.SetUnit(SurfaceUnit::Inch);  // 200 / 25.4 = 7.874015748031496… inches
    trace.SetDrawMode(DrawMode::Copy);  // no change: no line
    trace.Clear();
    trace.SetPenWidth(3);
    trace.Line(0.1 + 0.2, -0.25, 1e6, 2.0 / 3);
    trace.SetDrawMode(DrawMode::Xor);
    trace.Rectangle(1, 2, 3, 4);
    trace.SetDrawMode(DrawMode::Xor);
    trace.FilledRectangle(-1, -2, -3, -4);
    trace.SetDrawMode(DrawMode::Blackness);
    trace.Circle(5, 6, 0.5);
    trace.SetPenWidth(1);
    trace.SetDrawMode(DrawMode::Whiteness);
    trace.FilledCircle(7, 8, 1.5);
    trace.SetDrawMode(DrawMode::Copy);
    trace.Arc(1, 1, 2, 3.141592653 / 2, 0);
    EXPECT_EQ(text, "") << "held until Flush";
    trace.Flush();

    EXPECT_EQ(text,
              "surface 7.8740157480315 3.93700787401575 5.66929133858268\n"
              "clear\n"
              "line 0.3 -0.25 1000000 0.666666666666667 3\n"
              "mode xor\n"
              "rect 1 2 3 4 3\n"
              "fillrect -1 -2 -3 -4 3\n"
              "mode blackness\n"
              "circle 5 6 0.5 3\n"
              "mode whiteness\n"
              "fillcircle 7 8 1.5 1\n"
              "mode copy\n"
              "arc 1 1 2 1.5707963265 0 1\n");

    // Every call reached the surface below, with its pen and mode.
    ASSERT_EQ(inner.primitives.size(), 7u);
    EXPECT_EQ(inner.primitives[1].kind, "line");
    EXPECT_EQ(inner.primitives[1].pen, 3);
    EXPECT_EQ(inner.primitives[6].args, (std::vector<double>{1, 1, 2, 3.141592653 / 2, 0}));
    EXPECT_EQ(inner.mode, DrawMode::Copy);
    EXPECT_EQ(inner.Unit(), SurfaceUnit::Inch);
}

TEST(TracingSurface, LongDrawingsAreHandedOnInWholeLines) {
    RecordingSurface inner;
    std::vector<std::string> pieces;
    TracingSurface trace(inner, [&pieces](std::string_view piece) { pieces.emplace_back(piece); });
    for (int i = 0; i < 100000; ++i) trace.Line(i, 1.5, i + 0.125, 2);
    trace.Flush();
    ASSERT_GE(pieces.size(), 2u);
    std::size_t lines = 0;
    for (const auto& p : pieces) {
        EXPECT_EQ(p.back(), '\n');
        for (char c : p) lines += c == '\n';
    }
    EXPECT_EQ(lines, 100001u);  // the surface line and one per call
    EXPECT_EQ(pieces.back().substr(pieces.back().rfind("line")), "line 99999 1.5 99999.125 2 1\n");
}

}  // namespace
}  // namespace mutaplot

namespace mutaplot {
namespace {

TEST(TracingSurface, PolarityAndFilledFigures) {
    testing::RecordingSurface inner(200.0, 100.0, 15.0);
    std::string text;
    TracingSurface trace(inner, [&text](std::string_view piece) { text += piece; });
    trace.SetPolarity(InkPolarity::Dark);  // no change: no line
    trace.SetPolarity(InkPolarity::Clear);
    // A square with a triangle cut out of it.
    FilledFigure f;
    f.points = {{0, 0}, {2, 0}, {2, 2}, {0, 2}, {0.5, 0.5}, {1.5, 0.5}, {1, 1.5}};
    f.contourEnds = {4, 7};
    f.parts = {{1, FillRule::NonZero, false}, {2, FillRule::EvenOdd, true}};
    trace.FilledPolygon(f);
    trace.Flush();
    EXPECT_EQ(text,
              "surface 200 100 15\n"
              "polarity clear\n"
              "polygon nonzero+ 1 4 0 0 2 0 2 2 0 2 evenodd- 1 3 0.5 0.5 1.5 0.5 1 1.5\n");
    EXPECT_EQ(inner.polarity, InkPolarity::Clear);
    ASSERT_EQ(inner.figures.size(), 1u);
    EXPECT_EQ(inner.figures[0].parts.size(), 2u);
}

}  // namespace
}  // namespace mutaplot
