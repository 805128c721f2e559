// Parameter-block texts recovered from block lists cut in each input mode:
// the "*" the cutting took away is back, line ends are gone, and the
// blocks the filter calls data stay data.

#include "gerber/ParameterStream.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace mutaplot::gerber {
namespace {

// Every completed text, each followed by the number of the block (0-based)
// where it closed.
std::vector<std::string> Collect(InputSeparator separator, const std::vector<std::string>& blocks) {
    ParameterTextCollector collector(separator);
    std::vector<std::string> out;
    for (std::size_t k = 0; k < blocks.size(); ++k)
        for (const std::string& text : collector.Take(blocks[k]))
            out.push_back(text + "@" + std::to_string(k));
    return out;
}

// The file
//   %FSLAX46Y46*%
//   %AMOC8*
//   5,1,8,0,0,1.08239X$1,22.5*%
//   G04 x*
//   %ADD10OC8,0.5*%
// cut in each mode.
const std::vector<std::string> kExpected = {"FSLAX46Y46*@0", "AMOC8*5,1,8,0,0,1.08239X$1,22.5*@2",
                                            "ADD10OC8,0.5*@4"};

TEST(ParameterStream, RestoresStatementEndsInEveryMode) {
    // LF mode: every "*" gone, CR of CR LF kept.
    EXPECT_EQ(Collect(InputSeparator::Lf, {"%FSLAX46Y46%\r", "%AMOC8\r",
                                           "5,1,8,0,0,1.08239X$1,22.5%\r", "G04 x\r",
                                           "%ADD10OC8,0.5%\r"}),
              kExpected);
    // CR mode: each line's last "*" gone.
    EXPECT_EQ(Collect(InputSeparator::Cr, {"%FSLAX46Y46*%", "%AMOC8", "5,1,8,0,0,1.08239X$1,22.5*%",
                                           "G04 x", "%ADD10OC8,0.5*%"}),
              kExpected);
    // "*" mode: cut at every "*", so closing "%" open the next block.
    EXPECT_EQ(Collect(InputSeparator::Star, {"%FSLAX46Y46", "%%AMOC8", "5,1,8,0,0,1.08239X$1,22.5",
                                             "%G04 x", "%ADD10OC8,0.5", "%"}),
              (std::vector<std::string>{"FSLAX46Y46*@1", "AMOC8*5,1,8,0,0,1.08239X$1,22.5*@3",
                                        "ADD10OC8,0.5*@5"}));
}

TEST(ParameterStream, AgreesWithTheFilterAboutData) {
    ParameterTextCollector c(InputSeparator::Cr);
    EXPECT_TRUE(c.Take("G74*%FSLAN2X34Y34*%").size() == 1);
    EXPECT_EQ(c.part(), BlockPart::Data);
    EXPECT_EQ(c.text(), "G74");
    EXPECT_EQ(c.Take("*%FSLAX24Y24*%")[0], "FSLAX24Y24*");
    EXPECT_EQ(c.part(), BlockPart::FormatLine);
    EXPECT_TRUE(c.Take("X1Y2D01").empty());
    EXPECT_EQ(c.part(), BlockPart::Data);
    // A statement broken after a comma goes on in the next line.
    EXPECT_TRUE(c.Take("%AMA*1,1,").empty());
    EXPECT_TRUE(c.inside());
    EXPECT_EQ(c.Take("0.5,0,0*%D10")[0], "AMA*1,1,0.5,0,0*");
    EXPECT_EQ(c.part(), BlockPart::Data);
    EXPECT_EQ(c.text(), "D10");
    // Two blocks closing in one block, an empty one among them.
    const auto& both = c.Take("%LPC*%%%");
    ASSERT_EQ(both.size(), 2u);
    EXPECT_EQ(both[0], "LPC*");
    EXPECT_EQ(both[1], "");
}

}  // namespace
}  // namespace mutaplot::gerber
