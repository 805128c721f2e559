// The file's own format statements and its parameter blocks in a conversion
// pass, on small files worked out by hand: a 4.6 mm board with a macro,
// obround, polygon with hole, step-and-repeat and region taken to inch(2.6)
// and back, statements that disagree with the input settings, and a CR LF
// file read in LF mode.

#include "convert/ConversionPass.h"
#include "convert/OutputWriter.h"
#include "input/BlockReader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace mutaplot {
namespace {

using Texts = std::vector<std::string>;

struct Converted {
    Texts output;
    ConverterState state;
    std::string text;  // the output file, CR LF after every block
};

// Reads `file` as the reader would, converts it and composes the output.
Converted ConvertFile(std::string_view file, ConversionSettings& s) {
    BlockList input, output;
    EXPECT_EQ(CutBlocks(file, s, ReaderEntry::MainWindow, input), CutResult::Ok);
    Converted r;
    std::string gcode;
    ConvertBlocks(input, s, r.state, gcode, output);
    for (std::size_t k = 0; k < output.blockCount(); ++k) r.output.emplace_back(output[k]);
    r.text = JoinOutputText(output, s.lineBreak, s.outputCode).value_or("");
    return r;
}

ConversionSettings Settings(int inputFormat, int outputFormat) {
    ConversionSettings s;
    s.inputFormat = static_cast<std::uint8_t>(inputFormat);
    s.inputUnit = UnitForFormat(inputFormat);
    s.inputZeroMode = 1;
    s.inputSeparator = 1;
    s.inputCode = 1;
    s.outputCode = 1;
    s.outputFormat = static_cast<std::uint8_t>(outputFormat);
    s.outputUnit = UnitForFormat(outputFormat);
    s.outputZeroMode = 1;
    s.omitSameCoordinates = 2;
    s.outputHeader = 1;
    s.lineBreak = 4;
    s.outputEob = 1;
    s.modal = 2;
    s.outputParameters = 1;
    return s;
}

const char* const kBoard46 =
    "%FSLAX46Y46*%\r\n"
    "%MOMM*%\r\n"
    "%AMTHERM*\r\n"
    "0 thermal pad*\r\n"
    "7,0,0,$1,$1x0.8,0.254,45*\r\n"
    "1,1,$2,0,0*%\r\n"
    "%ADD10C,0.254*%\r\n"
    "%ADD11O,1.27X2.54X0.508*%\r\n"
    "%ADD12P,2.54X6X30X0.635*%\r\n"
    "%ADD13THERM,2.54X0.5*%\r\n"
    "%SRX2Y3I12.7J25.4*%\r\n"
    "D10*\r\n"
    "X0Y0D02*\r\n"
    "X25400000Y12700000D01*\r\n"
    "%SR*%\r\n"
    "G36*\r\n"
    "X1000000Y1000000D02*\r\n"
    "X2000000Y1000000D01*\r\n"
    "X2000000Y2000000D01*\r\n"
    "X1000000Y1000000D01*\r\n"
    "G37*\r\n"
    "D12*\r\n"
    "X-5080000Y254000D03*\r\n"
    "M02*\r\n";

TEST(ParameterOutput, Board46ToInch26AndBack) {
    auto s = Settings(10, 11);
    const Converted inch = ConvertFile(kBoard46, s);
    // Lengths / 25.4 to six decimals; 1 mm = 39370.07… counts, 2 mm =
    // 78740.15… counts of inch(2.6). The macro's $n are wrapped; the
    // thermal's gap 0.254 mm is 0.01 inch; rotations and counts stay.
    EXPECT_EQ(inch.output, (Texts{"*%FSLAX26Y26*%",
                                  "*%MOIN*%",
                                  "%AMTHERM*",
                                  "0 thermal pad*",
                                  "7,0,0,$1/25.4,$1/25.4x0.8,0.01,45*",
                                  "1,1,$2/25.4,0,0*%",
                                  "%ADD10C,0.01*%",
                                  "%ADD11O,0.05X0.1X0.02*%",
                                  "%ADD12P,0.1X6X30X0.025*%",
                                  "%ADD13THERM,2.54X0.5*%",
                                  "%SRX2Y3I0.5J1*%",
                                  "D10*",
                                  "G01X0Y0D02*",
                                  "X1000000Y500000D01*",
                                  "%SR*%",
                                  "G36*",
                                  "X39370Y39370D02*",
                                  "X78740Y39370D01*",
                                  "X78740Y78740D01*",
                                  "X39370Y39370D01*",
                                  "G37*",
                                  "D12*",
                                  "X-200000Y10000D03*",
                                  "M02*"}));
    EXPECT_EQ(inch.state.droppedCount, 0u);
    EXPECT_EQ(inch.state.unconvertedCount, 0u);

    // Back, the input settings still saying mm(4.6): the header's own
    // statements switch them to inch(2.6). 39370 counts = 0.999998 mm.
    auto back = Settings(10, 10);
    const Converted mm = ConvertFile(inch.text, back);
    EXPECT_EQ(back.inputFormat, 11);
    EXPECT_EQ(back.inputUnit, 2);
    EXPECT_EQ(mm.output, (Texts{"*%FSLAX46Y46*%",
                                "*%MOMM*%",
                                "%AMTHERM*",
                                "0 thermal pad*",
                                "7,0,0,$1,$1x0.8,0.254,45*",
                                "1,1,$2,0,0*%",
                                "%ADD10C,0.254*%",
                                "%ADD11O,1.27X2.54X0.508*%",
                                "%ADD12P,2.54X6X30X0.635*%",
                                "%ADD13THERM,2.54X0.5*%",
                                "%SRX2Y3I12.7J25.4*%",
                                "D10*",
                                "G01X0Y0D02*",
                                "X25400000Y12700000D01*",
                                "%SR*%",
                                "G36*",
                                "X999998Y999998D02*",
                                "X1999996Y999998D01*",
                                "X1999996Y1999996D01*",
                                "X999998Y999998D01*",
                                "G37*",
                                "D12*",
                                "X-5080000Y254000D03*",
                                "M02*"}));
}

TEST(ParameterOutput, WithoutHeaderTheStatementsAreRewrittenInPlace) {
    auto s = Settings(10, 11);
    s.outputHeader = 2;
    s.outputEob = 2;
    s.outputZeroMode = 2;
    s.lineBreak = 1;  // one line: the blocks still end right
    const Converted r = ConvertFile("%FSLAX46Y46*%\r\n%MOMM*%\r\n%ADD10C,0.254*%\r\nD10*\r\nX25400000Y0D02*\r\n", s);
    EXPECT_EQ(r.output, (Texts{"%FSTAX26Y26*%", "%MOIN*%", "%ADD10C,0.01*%", "D10", "G01X01Y0D02"}));
    EXPECT_EQ(r.text, "%FSTAX26Y26*%%MOIN*%%ADD10C,0.01*%D10G01X01Y0D02\r\n");
}

TEST(ParameterOutput, WithOption2TheOutputIsAsBefore) {
    for (int option : {0, 2}) {
        auto s = Settings(10, 11);
        s.outputParameters = static_cast<std::uint8_t>(option);
        const Converted r = ConvertFile(kBoard46, s);
        EXPECT_EQ(r.output, (Texts{"*%FSLAX26Y26*%", "*%MOIN*%", "D10*", "G01X0Y0D02*",
                                   "X1000000Y500000D01*", "G36*", "X39370Y39370D02*",
                                   "X78740Y39370D01*", "X78740Y78740D01*", "X39370Y39370D01*",
                                   "G37*", "D12*", "X-200000Y10000D03*", "M02*"}));
    }
}

TEST(ParameterOutput, TheFilesStatementsWinOverTheInputSettings) {
    // The dialog says inch(2.4); the file says 4.6 mm. 25.4 mm = 25400 counts of mm(4.3).
    auto s = Settings(8, 1);
    s.outputParameters = 2;
    s.outputHeader = 2;
    s.outputEob = 2;
    Converted r = ConvertFile("G04 x*\r\n%FSLAX46Y46*%\r\n%MOMM*%\r\nX25400000Y-1000D02*\r\n", s);
    EXPECT_EQ(r.output, (Texts{"G04 x", "G01X25400Y-1D02"}));
    EXPECT_EQ(s.inputFormat, 10);
    EXPECT_EQ(s.inputUnit, 1);

    // 3.5 digits in inch is no format code: decoded by its own digits, the
    // settings keep their format. X12345 = 0.12345 inch = 3.13563 mm.
    s = Settings(8, 1);
    s.outputParameters = 2;
    s.outputHeader = 2;
    s.outputEob = 2;
    r = ConvertFile("%MOIN*%\r\n%FSLAX35Y35*%\r\nX12345Y-100000D02*\r\n", s);
    EXPECT_EQ(r.output, (Texts{"G01X3136Y-25400D02"}));
    EXPECT_EQ(s.inputFormat, 8);

    // Trailing zeros, the N/G parts, the old "*" spelling: 2.4 digits,
    // "15" is 15.0000 inch = 381 mm; "-5" is -50.0000 inch.
    s = Settings(1, 1);
    s.outputParameters = 2;
    s.outputHeader = 2;
    s.outputEob = 2;
    r = ConvertFile("*%FSTAN2G1X24Y24*%\r\n%MOIN*%\r\nX15Y-5D02*\r\n", s);
    EXPECT_EQ(r.output, (Texts{"G01X381000Y-1270000D02"}));
    EXPECT_EQ(s.inputFormat, 8);
    EXPECT_EQ(s.inputZeroMode, 2);

    // Incremental coordinates are not converted: handed on and reported.
    s = Settings(8, 1);
    s.outputParameters = 2;
    s.outputHeader = 2;
    s.outputEob = 2;
    r = ConvertFile("%FSLIX24Y24*%\r\nG54D10*\r\nX100Y100D01*\r\n", s);
    EXPECT_EQ(r.output, (Texts{"G54D10", "X100Y100D01"}));
    EXPECT_EQ(r.state.unconvertedCount, 1u);
    EXPECT_EQ(r.state.firstUnconverted, 3u);
}

TEST(ParameterOutput, CrLfFileInLfModeReportsNoDrops) {
    std::string file;
    for (int k = 0; k < 3; ++k) file += "%ADD1" + std::to_string(k) + "C,0.254*%\r\n";
    file += "%LPD*%\r\nD10*\r\nX100Y100D01*\r\n%LPD*%X1Y1D01*\r\n";
    auto s = Settings(10, 10);
    s.inputSeparator = 2;
    s.outputParameters = 2;
    s.outputHeader = 2;
    const Converted r = ConvertFile(file, s);
    // Only the real data behind the last "%" is reported.
    EXPECT_EQ(r.state.droppedCount, 1u);
    EXPECT_EQ(r.state.firstDropped, 7u);
    // Kept, each block gets back its "*" (LF mode took every "*" away).
    s.outputParameters = 1;
    s.outputEob = 2;
    const Converted kept = ConvertFile(file, s);
    EXPECT_EQ(kept.output[0], "%ADD10C,0.254*%");
    EXPECT_EQ(kept.output[3], "%LPD*%");
}

TEST(ParameterOutput, UnconvertibleMacroIsKeptAsWrittenAndReported) {
    auto s = Settings(10, 11);
    s.outputHeader = 2;
    const Converted r = ConvertFile("%FSLAX46Y46*%\r\n%MOMM*%\r\n%AMODD*\r\n3,1,2*%\r\nM02*\r\n", s);
    EXPECT_EQ(r.output, (Texts{"%FSLAX26Y26*%", "%MOIN*%", "%AMODD*", "3,1,2*%", "M02*"}));
    EXPECT_EQ(r.state.unconvertedCount, 1u);
    EXPECT_EQ(r.state.firstUnconverted, 4u);
}

}  // namespace
}  // namespace mutaplot
