// Parameter blocks parsed into records: one case per kind of statement, the
// macro of a real board, and texts that must come out Unreadable.

#include "gerber/ParameterBlock.h"

#include <gtest/gtest.h>

#include <vector>

namespace mutaplot::gerber {
namespace {

using Kind = ParameterBlock::Kind;

TEST(ParameterBlock, ApertureDefinitions) {
    auto b = ParseParameterBlock("ADD10C,0.5X0.25*");
    ASSERT_EQ(b.kind, Kind::ApertureDefinition);
    EXPECT_EQ(b.code, "AD");
    EXPECT_EQ(b.aperture->dCode, 10);
    EXPECT_EQ(b.aperture->templateName, "C");
    EXPECT_EQ(b.aperture->modifiers, (std::vector<double>{0.5, 0.25}));
    b = ParseParameterBlock("ADD123RoundRect,0.25X-1.2X.5*");
    ASSERT_EQ(b.kind, Kind::ApertureDefinition);
    EXPECT_EQ(b.aperture->templateName, "RoundRect");
    EXPECT_EQ(b.aperture->modifiers, (std::vector<double>{0.25, -1.2, 0.5}));
    EXPECT_EQ(ParseParameterBlock("ADD11OC8*").aperture->modifiers.size(), 0u);
    for (const char* bad : {"ADD10C,0.5XX1*", "ADDC,1*", "ADD10*", "ADD10C,1e3*",
                            "ADD999999999C,1*"})
        EXPECT_EQ(ParseParameterBlock(bad).kind, Kind::Unreadable) << bad;
}

TEST(ParameterBlock, DefinitionsAsCadSystemsWriteThem) {
    // A closing "X" without a modifier after it ends the list.
    auto b = ParseParameterBlock("ADD14C,0.1X*");
    ASSERT_EQ(b.kind, Kind::ApertureDefinition);
    EXPECT_EQ(b.aperture->modifiers, (std::vector<double>{0.1}));
    // A macro name ending in "X" is a name, not a modifier list.
    b = ParseParameterBlock("ADD16THD15X*");
    ASSERT_EQ(b.kind, Kind::ApertureDefinition);
    EXPECT_EQ(b.aperture->templateName, "THD15X");
    EXPECT_TRUE(b.aperture->modifiers.empty());
    // Macro names with blanks, as one CAD system writes them, are kept as
    // written in both the macro and the definition, so that they meet.
    b = ParseParameterBlock("ADD13VB_Custom_Obstruct Trace/Via Round 5.0 Both,0.00000X1.00000X0.00000*");
    ASSERT_EQ(b.kind, Kind::ApertureDefinition);
    EXPECT_EQ(b.aperture->dCode, 13);
    EXPECT_EQ(b.aperture->templateName, "VB_Custom_Obstruct Trace/Via Round 5.0 Both");
    EXPECT_EQ(b.aperture->modifiers, (std::vector<double>{0.0, 1.0, 0.0}));
    const auto m = ParseParameterBlock("AMVB_Custom_Obstruct Trace/Via Round 5.0 Both*\n$4 = $2X0.0000*\n"
                                       "1,1,0.0004,$4,0*\n");
    ASSERT_EQ(m.kind, Kind::ApertureMacro);
    EXPECT_EQ(m.macro->name, b.aperture->templateName);
    // Blanks around the D code and the modifiers are no part of them.
    b = ParseParameterBlock(" ADD 21 C , 0.5 X 0.2 *");
    ASSERT_EQ(b.kind, Kind::ApertureDefinition);
    EXPECT_EQ(b.aperture->dCode, 21);
    EXPECT_EQ(b.aperture->templateName, "C");
    EXPECT_EQ(b.aperture->modifiers, (std::vector<double>{0.5, 0.2}));
    for (const char* bad : {"ADD10C,X*", "ADD10C,*", "ADD10C,0.5XX*"})
        EXPECT_EQ(ParseParameterBlock(bad).kind, Kind::Unreadable) << bad;
}

TEST(ParameterBlock, MacroOfManyLines) {
    const auto b = ParseParameterBlock(
        "AMRoundRect*\r\n0 Rectangle with rounded corners*\r\n$5=$1x2*\r\n"
        "4,1,4,$2,$3,$4,$5,$6,$7,$8,$9,$2,$3,0*\r\n1,1,$1+$1,$2,$3*\r\n");
    ASSERT_EQ(b.kind, Kind::ApertureMacro);
    ASSERT_EQ(b.macro->name, "RoundRect");
    ASSERT_EQ(b.macro->body.size(), 4u);
    EXPECT_EQ(std::get<MacroPrimitive>(b.macro->body[0]).comment, " Rectangle with rounded corners");
    const auto& var = std::get<MacroVariable>(b.macro->body[1]);
    EXPECT_EQ(var.index, 5);
    EXPECT_EQ(var.value.Text(), "$1x2");
    const auto& outline = std::get<MacroPrimitive>(b.macro->body[2]);
    EXPECT_EQ(outline.code, 4);
    EXPECT_EQ(outline.modifiers.size(), 13u);  // exposure, 4 vertices, 5 points, rotation
    const auto& circle = std::get<MacroPrimitive>(b.macro->body[3]);
    EXPECT_EQ(circle.code, 1);
    ASSERT_EQ(circle.modifiers.size(), 4u);
    EXPECT_DOUBLE_EQ(circle.modifiers[1].Evaluate(std::vector<double>{0.3}), 0.6);
    EXPECT_EQ(ParseParameterBlock("AMX*1,1,$1,,0*").kind, Kind::Unreadable);
    EXPECT_EQ(ParseParameterBlock("AMX*$=1*").kind, Kind::Unreadable);
    EXPECT_EQ(ParseParameterBlock("AM*1,1,1,0,0*").kind, Kind::Unreadable);
}

TEST(ParameterBlock, ImageAndLayerStatements) {
    auto sr = ParseParameterBlock("SRX3Y2I5.0J4.5*");
    ASSERT_EQ(sr.kind, Kind::StepRepeat);
    EXPECT_EQ(sr.stepRepeat->x, 3);
    EXPECT_EQ(sr.stepRepeat->y, 2);
    EXPECT_DOUBLE_EQ(sr.stepRepeat->i, 5.0);
    EXPECT_DOUBLE_EQ(sr.stepRepeat->j, 4.5);
    sr = ParseParameterBlock("SR*");
    ASSERT_EQ(sr.kind, Kind::StepRepeat);
    EXPECT_EQ(sr.stepRepeat->x, 1);
    EXPECT_EQ(ParseParameterBlock("SRX0Y1*").kind, Kind::Unreadable);
    EXPECT_EQ(ParseParameterBlock("LPC*").polarity, Polarity::Clear);
    EXPECT_TRUE(ParseParameterBlock("IPNEG*").imageNegative);
    auto of = ParseParameterBlock("OFA0.5B-1.25*");
    EXPECT_EQ(of.kind, Kind::Offset);
    EXPECT_DOUBLE_EQ(of.offsetB, -1.25);
    EXPECT_EQ(ParseParameterBlock("IOB2*").kind, Kind::ImageOffset);
    auto mi = ParseParameterBlock("MIA0B1*");
    EXPECT_TRUE(!mi.mirrorA && mi.mirrorB);
    auto sf = ParseParameterBlock("SFA2*");
    EXPECT_DOUBLE_EQ(sf.scaleA, 2);
    EXPECT_DOUBLE_EQ(sf.scaleB, 1);
    EXPECT_TRUE(ParseParameterBlock("ASAYBX*").axesSwapped);
    EXPECT_EQ(ParseParameterBlock("IR270*").rotation, 270);
    EXPECT_EQ(ParseParameterBlock("IR45*").kind, Kind::Unreadable);
    EXPECT_EQ(ParseParameterBlock("LNtop copper*").name, "top copper");
    auto tf = ParseParameterBlock("TF.FileFunction,Copper,L1,Top*");
    EXPECT_EQ(tf.kind, Kind::Attribute);
    EXPECT_EQ(tf.name, ".FileFunction,Copper,L1,Top");
    EXPECT_EQ(ParseParameterBlock("FSLAX46Y46*").kind, Kind::Format);
    EXPECT_EQ(ParseParameterBlock("MOMM*").mode, Unit::Millimetre);
    auto other = ParseParameterBlock("INboard*");
    EXPECT_EQ(other.kind, Kind::Other);
    EXPECT_EQ(other.code, "IN");
    // Two statements in one block: the first decides.
    EXPECT_EQ(ParseParameterBlock("ICAS*MOIN*").code, "IC");
    EXPECT_EQ(ParseParameterBlock("").kind, Kind::Unreadable);
    EXPECT_EQ(ParseParameterBlock("*").kind, Kind::Unreadable);
}

TEST(ParameterBlock, StatementsDropLineBreaksAndEmptyParts) {
    EXPECT_EQ(ParseStatements("AMA*\r\n1,1,\n0.5,0,0*\n**"),
              (std::vector<std::string>{"AMA", "1,1,0.5,0,0"}));
}

}  // namespace
}  // namespace mutaplot::gerber
