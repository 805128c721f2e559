// Lengths of parameter blocks into another unit, worked by hand (25.4 mm =
// 1 inch): every macro primitive, the standard apertures, step-and-repeat
// and offsets; what is no length stays as written.

#include "gerber/UnitScale.h"

#include <gtest/gtest.h>

namespace mutaplot::gerber {
namespace {

std::string ToInch(std::string_view text) {
    auto out = ScaleParameterText(text, Unit::Millimetre, Unit::Inch, 6);
    return out ? *out : "<none>";
}

TEST(UnitScale, EveryMacroPrimitiveScalesItsLengthsOnly) {
    EXPECT_EQ(ToInch("AMALL*"
                     "0 comment 2.54*"
                     "$3=$1x2*"
                     "1,1,2.54,0,1.27*"
                     "20,1,0.254,0,0,25.4,0,0*"
                     "21,1,2.54,1.27,0,0,45*"
                     "22,1,2.54,1.27,0,0,0*"
                     "4,1,2,0,0,2.54,0,0,2.54,0,0,30*"
                     "5,1,6,0,0,2.54,15*"
                     "6,0,0,5.08,0.254,0.254,3,0.127,6.35,0*"
                     "7,0,0,2.54,1.27,0.254,45*"),
              "AMALL*"
              "0 comment 2.54*"
              "$3=$1x2*"
              "1,1,0.1,0,0.05*"
              "20,1,0.01,0,0,1,0,0*"
              "21,1,0.1,0.05,0,0,45*"
              "22,1,0.1,0.05,0,0,0*"
              "4,1,2,0,0,0.1,0,0,0.1,0,0,30*"
              "5,1,6,0,0,0.1,15*"
              "6,0,0,0.2,0.01,0.01,3,0.005,0.25,0*"
              "7,0,0,0.1,0.05,0.01,45*");
    // Variables keep the unit of the %AD that passes them: wrapped.
    EXPECT_EQ(ToInch("AMV*1,$4,$1+0.1,$2,-$3*"), "AMV*1,$4,$1/25.4+0.1/25.4,$2/25.4,-$3/25.4*");
    // A primitive of no known code cannot be converted.
    EXPECT_EQ(ToInch("AMX*3,1,2*"), "<none>");
    EXPECT_EQ(ToInch("AMX*1,1,2..5,0,0*"), "<none>");
}

TEST(UnitScale, StandardAperturesStepRepeatAndOffsets) {
    EXPECT_EQ(ToInch("ADD10C,1.27X0.635*"), "ADD10C,0.05X0.025*");
    EXPECT_EQ(ToInch("ADD11R,2.54X1.27*"), "ADD11R,0.1X0.05*");
    EXPECT_EQ(ToInch("ADD12O,2.54X1.27X0.254*"), "ADD12O,0.1X0.05X0.01*");
    // A polygon's vertex count and rotation stay.
    EXPECT_EQ(ToInch("ADD13P,2.54X5X22.5X0.254*"), "ADD13P,0.1X5X22.5X0.01*");
    // 0.5 mm = 0.019685039… inch: six decimals, half up.
    EXPECT_EQ(ToInch("ADD14C,0.5*"), "ADD14C,0.019685*");
    EXPECT_EQ(ToInch("ADD14C,2.54X*"), "ADD14C,0.1X*");
    // A macro's parameters are left to the macro.
    EXPECT_EQ(ToInch("ADD15THERM,2.54X0.5*"), "ADD15THERM,2.54X0.5*");
    EXPECT_EQ(ToInch("SRX2Y3I12.7J25.4*"), "SRX2Y3I0.5J1*");
    EXPECT_EQ(ToInch("SR*"), "SR*");
    EXPECT_EQ(ToInch("OFA2.54B-1.27*"), "OFA0.1B-0.05*");
    EXPECT_EQ(ToInch("ICAS*IOB25.4*"), "ICAS*IOB1*");
    for (const char* same : {"TF.FileFunction,Copper,L1,Top*", "TA.AperFunction,ViaPad*",
                             "TD*", "LPC*", "LNlayer 2.54*", "IPNEG*"})
        EXPECT_EQ(ToInch(same), same);
    EXPECT_EQ(ToInch("ADD16C,1e3*"), "<none>");
    // inch to mm(4.3): 0.0123 inch = 0.31242 mm, three decimals.
    EXPECT_EQ(ScaleParameterText("ADD10C,0.0123*", Unit::Inch, Unit::Millimetre, 3),
              "ADD10C,0.312*");
    // The same unit: as it stands.
    EXPECT_EQ(ScaleParameterText("ADD10C,0.0123X1*", Unit::Inch, Unit::Inch, 3), "ADD10C,0.0123X1*");
}

TEST(UnitScale, LengthTexts) {
    EXPECT_EQ(FormatLength(12.7, 6), "12.7");
    EXPECT_EQ(FormatLength(-0.0000004, 6), "0");
    EXPECT_EQ(FormatLength(2.0000005, 6), "2.000001");
    EXPECT_EQ(FormatLength(1000000, 3), "1000000");
}

}  // namespace
}  // namespace mutaplot::gerber
