// Parameter blocks removed from a run of blocks, one case per rule: a block
// opening with "%" is dropped, a parameter block behind data is cut off with
// the "*" before it, the middle lines of a macro are inside, a closing "%" at
// the front of a block leaves the rest as data, "*" blocks are format lines.

#include "input/ParameterBlocks.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace mutaplot {
namespace {

// Each block as "<part>:<text>", the flag after it as a trailing "%" mark.
std::vector<std::string> Filter(const std::vector<std::string>& blocks) {
    ParameterBlockFilter filter;
    std::vector<std::string> out;
    for (const auto& b : blocks) {
        const BlockPart part = filter.Next(b);
        const char* name = part == BlockPart::Data         ? "data"
                           : part == BlockPart::FormatLine ? "format"
                           : part == BlockPart::Parameter  ? "param"
                           : part == BlockPart::Removed    ? "removed"
                                                           : "inside";
        out.push_back(std::string(name) + ":" + std::string(filter.text()) +
                      (filter.inside() ? " %" : ""));
    }
    return out;
}

TEST(ParameterBlocks, BlocksWithoutPercentAreDataUnchanged) {
    EXPECT_EQ(Filter({"G54D10", "", "X100Y200D01"}),
              (std::vector<std::string>{"data:G54D10", "data:", "data:X100Y200D01"}));
}

TEST(ParameterBlocks, ABlockOpeningWithPercentIsDroppedWhole) {
    // One-line statement (CR mode), then a macro over three lines.
    EXPECT_EQ(Filter({"%FSLAX24Y24*%", "%AMOC8*", "5,1,8,0,0,1.08239X$1,22.5*",
                      "21,0,0.0780,0.0200,0,0,135*%", "G54D10"}),
              (std::vector<std::string>{"param:", "param: %", "inside: %", "removed:",
                                        "data:G54D10"}));
    // What follows the closing "%" on the same line is handed back.
    EXPECT_EQ(Filter({"%LPD*%G54D10"}), (std::vector<std::string>{"param:G54D10"}));
}

TEST(ParameterBlocks, AParameterBlockBehindDataIsCutOffWithItsStar) {
    EXPECT_EQ(Filter({"G74*%FSLAN2X34Y34*%", "X1D01*%LPD*%Y2D01", "G04 a**%MOIN*%"}),
              (std::vector<std::string>{"data:G74", "data:X1D01Y2D01", "data:G04 a*"}));
    // Opened behind data and never closed on the line: the rest is inside.
    EXPECT_EQ(Filter({"M02*%AMX*", "1,1,0.1*", "%G54D11"}),
              (std::vector<std::string>{"data:M02 %", "inside: %", "data:G54D11"}));
}

TEST(ParameterBlocks, StarModeClosingPercentStartsTheNextBlock) {
    // "%ADD11C,0.1*%" then "G54D11*" read in "*" mode.
    EXPECT_EQ(Filter({"%ADD11C,0.1", "%G54D11", "%", "X1D01"}),
              (std::vector<std::string>{"param: %", "data:G54D11", "param: %", "inside: %"}));
    EXPECT_EQ(Filter({"%FSLAX24Y24", "%", "D10"}),
              (std::vector<std::string>{"param: %", "removed:", "data:D10"}));
}

TEST(ParameterBlocks, FormatLinesAreRawAndStillToggle) {
    EXPECT_EQ(Filter({"*%FSLAX24Y24*%", "*%AMOC8", "1,1*", "*%", "G54D10"}),
              (std::vector<std::string>{"format:", "format: %", "inside: %", "format:",
                                        "data:G54D10"}));
}

TEST(ParameterBlocks, BlocksInsideAreCountedSinceTheLastOpening) {
    ParameterBlockFilter f;
    f.Next("%AMA*");
    f.Next("1*");
    f.Next("1*%");          // closes
    EXPECT_FALSE(f.inside());
    f.Next("M48");
    f.Next("%");            // opens again: the count restarts
    EXPECT_EQ(f.insideSinceOpening(), 0u);
    f.Next("T1C0.8");
    f.Next("");
    EXPECT_TRUE(f.inside());
    EXPECT_EQ(f.insideSinceOpening(), 2u);
}

}  // namespace
}  // namespace mutaplot
