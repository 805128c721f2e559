// Format and unit statements of a file, and the format codes they name.

#include "gerber/FormatStatement.h"

#include <gtest/gtest.h>

namespace mutaplot::gerber {
namespace {

TEST(FormatStatement, ReadsEveryAllowedSpelling) {
    auto f = ParseFormatStatement("FSLAX46Y46*");
    ASSERT_TRUE(f);
    EXPECT_EQ(f->zeros, ZeroOmission::Leading);
    EXPECT_FALSE(f->incremental);
    EXPECT_EQ(f->xInteger, 4);
    EXPECT_EQ(f->xDecimal, 6);
    f = ParseFormatStatement("*FSTIN2G7X34Y25D1M2*");
    ASSERT_TRUE(f);
    EXPECT_EQ(f->zeros, ZeroOmission::Trailing);
    EXPECT_TRUE(f->incremental);
    EXPECT_EQ(f->xInteger * 10 + f->xDecimal, 34);
    EXPECT_EQ(f->yInteger * 10 + f->yDecimal, 25);
    f = ParseFormatStatement("FSDAX13Y13\r\n");
    ASSERT_TRUE(f);
    EXPECT_EQ(f->zeros, ZeroOmission::None);
    EXPECT_TRUE(ParseFormatStatement("FSAX24Y24*"));   // zero omission absent: leading
    EXPECT_TRUE(ParseFormatStatement("FSLAX66Y66"));
}

TEST(FormatStatement, RefusesOtherStatementsAndDigitCounts) {
    for (const char* bad : {"FSLAX02Y02*", "FSLAX72Y72*", "FSLAX22Y22*", "FSLAX27Y27*",
                            "FSLAX24*", "FSLAX24Y24*MOIN*", "FSLAX2Y2*", "FSLAXY*", "MOIN*",
                            "FSLAX24Y24Q*", ""})
        EXPECT_FALSE(ParseFormatStatement(bad)) << bad;
}

TEST(FormatStatement, ModeStatements) {
    EXPECT_EQ(ParseModeStatement("MOMM*"), Unit::Millimetre);
    EXPECT_EQ(ParseModeStatement("*MOIN*"), Unit::Inch);
    EXPECT_EQ(ParseModeStatement("MOIN"), Unit::Inch);
    EXPECT_FALSE(ParseModeStatement("MOCM*"));
    EXPECT_FALSE(ParseModeStatement("MOIN*FSLAX24Y24*"));
}

TEST(FormatStatement, CodesOfTheElevenFormats) {
    auto code = [](const char* text, Unit unit) {
        return FormatCodeFor(*ParseFormatStatement(text), unit);
    };
    EXPECT_EQ(code("FSLAX43Y43*", Unit::Millimetre), 1);
    EXPECT_EQ(code("FSLAX55Y55*", Unit::Millimetre), 6);
    EXPECT_EQ(code("FSLAX23Y23*", Unit::Inch), 7);
    EXPECT_EQ(code("FSLAX46Y46*", Unit::Millimetre), 10);
    EXPECT_EQ(code("FSLAX26Y26*", Unit::Inch), 11);
    EXPECT_EQ(code("FSLAX46Y46*", Unit::Inch), 0);     // unit must match
    EXPECT_EQ(code("FSLAX24Y25*", Unit::Inch), 0);     // axes differ
    EXPECT_EQ(code("FSLAX36Y36*", Unit::Millimetre), 0);
}

}  // namespace
}  // namespace mutaplot::gerber
