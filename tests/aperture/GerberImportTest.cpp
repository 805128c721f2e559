// The import of an RS-274X file's own aperture definitions into the list.

#include "aperture/ColmoImport.h"
#include "aperture/GerberImport.h"

#include "support/FakePlatform.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace mutaplot {
namespace {

using testing::FakePlatform;
using testing::TempDir;

ApertureTable FullTable() {
    ApertureTable table;
    for (int d = kFirstDCode; d <= kLastDCode; ++d)
        table.entries.push_back({"L" + std::to_string(d), "9", "9", "0.5", kShapeThermalAxes});
    table.loaded = true;
    return table;
}

const ApertureEntry& Entry(const ApertureTable& t, int d) { return *t.ForDCode(d); }

// Inch data, CR LF, a macro split over lines as CAD systems write them.
constexpr const char* kBoard =
    "G04 test*\r\n%FSLAX24Y24*%\r\n%MOIN*%\r\n"
    "%ADD10C,0.0100*%\r\n%ADD11R,0.0600X0.0400*%\r\n%ADD12O,0.0800X0.0400*%\r\n"
    "%ADD13P,0.1000X6*%\r\n%ADD14C,0.0600X0.0300*%\r\n"
    "%AMBOX*\r\n21,1,$1,$2,0.5,0,0*\r\n1,0,0.02,0,0*%\r\n%ADD15BOX,0.2X0.1*%\r\n"
    "%ADD16NOPE,1*%\r\n%ADD501C,0.01*%\r\n"
    "%AMROT*\r\n$3=$1x2*\r\n20,1,$3,0,0,1,0,90*%\r\n%ADD17ROT,0.05*%\r\n"
    "D10*\r\nX0Y0D03*\r\nM02*\r\n";

TEST(GerberImport, EachDefinitionBecomesItsEntryAndEveryApproximationIsToldOnce) {
    TempDir dir;
    const auto path = dir.Write("board.gtl", kBoard);
    ApertureTable table = FullTable();
    FakePlatform ui;
    EXPECT_TRUE(ImportCadReport(kRs274xFormat, path, table, ui, ui));

    auto expect = [&](int d, const char* x, const char* y, const char* shape,
                      const char* connect = "0") {
        const ApertureEntry& e = Entry(table, d);
        EXPECT_EQ(e.label, "L" + std::to_string(d)) << d;  // labels stay
        EXPECT_EQ(e.sizeX, x) << d;
        EXPECT_EQ(e.sizeY, y) << d;
        EXPECT_EQ(e.connectWidth, connect) << d;
        EXPECT_EQ(e.shape, shape) << d;
    };
    expect(10, "0.01", "0.01", kShapeRound);
    expect(11, "0.06", "0.04", kShapeRectangle);
    expect(12, "0.08", "0.04", kShapeRectangle);  // the obround's box
    expect(13, "0.1", "0.1", kShapeRound);        // the polygon's outer circle
    expect(14, "0.06", "0.06", kShapeRound);      // hole dropped
    // BOX(0.2, 0.1): a 0.2 × 0.1 rectangle centred at (0.5, 0), from x 0.4
    // to 0.6; centred on the flash point that is 2 × 0.6 by 2 × 0.05. The
    // clear circle adds nothing.
    expect(15, "1.2", "0.1", kShapeRectangle);
    // ROT(0.05): $3 = 0.1 wide line from (0, 0) to (1, 0) turned by 90° to
    // (0, 1): 2 × 0.05 by 2 × 1.05.
    expect(17, "0.1", "2.1", kShapeRectangle);
    // Undefined macro: the entry stays as it was; D501 has no entry.
    expect(16, "9", "9", kShapeThermalAxes, "0.5");
    EXPECT_EQ(table.entries.size(), kApertureCount);
    expect(18, "9", "9", kShapeThermalAxes, "0.5");

    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text,
              "RS-274Xのアパーチャ定義から7件取り込みました。\n"
              "寸法はファイルの単位（インチ）のまま書き込みました。\n"
              "長円（O）は外接する矩形（□）として取り込みました：D12\n"
              "多角形（P）は外接円（○）として取り込みました：D13\n"
              "マクロは全体を囲む矩形（□、大きめの概算）として取り込みました：D15, D17\n"
              "穴はアパーチャ・リストに入らないため省きました：D14\n"
              "D10～D500の範囲外のため取り込みませんでした：D501\n"
              "定義されていないマクロのため取り込みませんでした：D16");
}

TEST(GerberImport, AnExactMillimetreFileIsImportedSilentlyAndAFileWithoutDefinitionsChangesNothing) {
    TempDir dir;
    ApertureTable table = FullTable();
    FakePlatform ui;
    // "*" at line ends only in the middle of a definition; later wins.
    const auto exact = dir.Write("a.gbr", "%MOMM*%\n%ADD10C,0.5*%\n%ADD10R,1X2*%\n%ADD500C,3*%\nM02*\n");
    EXPECT_EQ(ImportGerberApertures(exact, table, ui, ui), GerberImportOutcome::Imported);
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(Entry(table, 10).sizeY, "2");
    EXPECT_EQ(Entry(table, 10).shape, kShapeRectangle);
    EXPECT_EQ(Entry(table, 500).sizeX, "3");

    const ApertureTable before = FullTable();
    table = before;
    const auto plain = dir.Write("d.gbr", "G54D10*\nX100Y100D03*\nM02*\n");
    EXPECT_EQ(ImportGerberApertures(plain, table, ui, ui), GerberImportOutcome::NoDefinitions);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, kNoApertureDefinitionsMessage);
    EXPECT_EQ(Entry(table, 10).sizeX, "9");
    EXPECT_EQ(ImportGerberApertures(dir / "missing.gbr", table, ui, ui),
              GerberImportOutcome::CannotOpen);
}

TEST(GerberImport, MacroExtentBoundsEveryPrimitiveKind) {
    auto macro = [](const char* text) {
        return *gerber::ParseParameterBlock(text).macro;
    };
    // Circle d 1 at (2, 0) turned by 90° to (0, 2): 0.5 by 2.5.
    auto e = MacroExtent(macro("AMA*1,1,1,2,0,90*"), {});
    ASSERT_TRUE(e);
    EXPECT_NEAR(e->x, 0.5, 1e-12);
    EXPECT_NEAR(e->y, 2.5, 1e-12);
    // Outline of three segments back to the start, (0, 0) (3, 0) (3, -1)
    // (0, 0): 3 by 1.
    e = MacroExtent(macro("AMB*4,1,3,0,0,3,0,3,-1,0,0,0*"), {});
    ASSERT_TRUE(e);
    EXPECT_NEAR(e->x, 3, 1e-12);
    EXPECT_NEAR(e->y, 1, 1e-12);
    // Polygon d 2 at the origin, thermal od 3, moiré od 1 with 4 long cross hair.
    e = MacroExtent(macro("AMC*5,1,8,0,0,$1,0*7,0,0,3,2,0.2,0*6,0,0,1,0.1,0.1,2,0.1,4,0*"), {2});
    ASSERT_TRUE(e);
    EXPECT_NEAR(e->x, std::hypot(2.0, 0.05), 1e-12);
    EXPECT_NEAR(e->y, std::hypot(2.0, 0.05), 1e-12);
    // Lower-left line 2 × 1 at (1, 1): up to (3, 2).
    e = MacroExtent(macro("AMD*22,1,2,1,1,1,0*"), {});
    ASSERT_TRUE(e);
    EXPECT_NEAR(e->x, 3, 1e-12);
    EXPECT_NEAR(e->y, 2, 1e-12);
    // Only clear primitives or comments: no extent.
    EXPECT_FALSE(MacroExtent(macro("AME*0 note*1,0,1,0,0*"), {}));
}

}  // namespace
}  // namespace mutaplot
