// The conversion pass over whole block lists: the worked example, modal G and
// D codes, joins, header insertion, format statements and blocks that cannot
// be decoded. Expected outputs are worked out by hand.

#include "convert/ConversionPass.h"

#include "support/FakePlatform.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace mutaplot {
namespace {

using testing::FakePlatform;

BlockList Blocks(const std::vector<std::string>& blocks) {
    BlockList list;
    for (const auto& b : blocks) list.Append(b);
    return list;
}

std::vector<std::string> Entries(const BlockList& list) {
    std::vector<std::string> out;
    for (std::size_t k = 0; k < list.blockCount(); ++k) out.emplace_back(list[k]);
    return out;
}

// The settings of the worked example: inch(2.4) leading omitted in, mm(4.3)
// leading omitted out, omission on, header on, CR LF, EOB on, modal on.
ConversionSettings WorkedExampleSettings() {
    ConversionSettings s;
    s.inputFormat = 8;
    s.inputZeroMode = 1;
    s.inputUnit = 2;
    s.inputSeparator = 1;
    s.inputCode = 1;
    s.outputCode = 1;
    s.outputFormat = 1;
    s.outputZeroMode = 1;
    s.outputUnit = 1;
    s.omitSameCoordinates = 1;
    s.outputHeader = 1;
    s.lineBreak = 4;
    s.outputEob = 1;
    s.modal = 2;
    return s;
}

// mm(4.3) in and out, no header, no EOB, modal on, omission off: the digits
// pass unchanged, so the tests can focus on the pass itself.
ConversionSettings PlainSettings() {
    ConversionSettings s = WorkedExampleSettings();
    s.inputFormat = 1;
    s.inputUnit = 1;
    s.omitSameCoordinates = 2;
    s.outputHeader = 2;
    s.outputEob = 2;
    return s;
}

struct PassRun {
    std::vector<std::string> output;
    ConverterState state;
    std::string gcode = "G02";  // whatever the viewer left
};

PassRun Convert(const std::vector<std::string>& input, ConversionSettings& s) {
    PassRun r;
    BlockList out;
    ConvertBlocks(Blocks(input), s, r.state, r.gcode, out);
    r.output = Entries(out);
    return r;
}

PassRun Convert(const std::vector<std::string>& input, ConversionSettings&& s) {
    return Convert(input, s);
}

const std::vector<std::string> kWorkedInput = {
    "G54D10", "X1000Y2000D02", "X3000D01", "Y5000", "G03X5000Y7000I0J2000D01",
    "D02",    "X0Y0",          "M02"};

TEST(ConversionPass, WorkedExample) {
    auto s = WorkedExampleSettings();
    const PassRun r = Convert(kWorkedInput, s);
    const std::vector<std::string> expected = {
        "*%FSLAX43Y43*%", "*%MOMM*%",          "G54D10*",
        "G01X2540Y5080D02*", "X7620D01*",      "Y12700D01*",
        "G03X12700Y17780I0J5080D01*",          "G01X0Y0D02*", "M02*"};
    EXPECT_EQ(r.output, expected);
    EXPECT_EQ(r.gcode, "G01");
    EXPECT_EQ(r.state.currentDCode, "D02");
    EXPECT_FALSE(r.state.overflowX || r.state.overflowY);
    EXPECT_EQ(r.state.unconvertedCount, 0u);
}

TEST(ConversionPass, WorkedExampleWithoutModalOrOmission) {
    auto s = WorkedExampleSettings();
    s.modal = 1;
    s.omitSameCoordinates = 2;
    const PassRun r = Convert(kWorkedInput, s);
    const std::vector<std::string> expected = {
        "*%FSLAX43Y43*%",     "*%MOMM*%",           "G54D10*",
        "G01X2540Y5080D02*",  "G01X7620Y5080D01*",  "G01X7620Y12700D01*",
        "G03X12700Y17780I0J5080D01*",               "G01X0Y0D02*", "M02*"};
    EXPECT_EQ(r.output, expected);
}

TEST(ConversionPass, EveryCombinationOfModalOmissionEobAndZeroMode) {
    // inch(2.4) -> mm(4.3): 1000 -> 2540, 2000 -> 5080, 3000 -> 7620.
    struct Digits {
        const char *d2540, *d5080, *d7620, *d0;
    };
    const Digits byMode[] = {{"2540", "5080", "7620", "0"},
                             {"000254", "000508", "000762", "0"},
                             {"0002540", "0005080", "0007620", "0000000"}};
    const std::vector<std::string> input = {"X1000Y2000D02", "X3000D01", "G02X1000Y0I-1000J0D01",
                                            "X1000Y0I0J1000"};
    for (int modal = 1; modal <= 2; ++modal)
        for (int omit = 1; omit <= 2; ++omit)
            for (int eob = 1; eob <= 2; ++eob)
                for (int zero = 1; zero <= 3; ++zero) {
                    auto s = WorkedExampleSettings();
                    s.modal = static_cast<std::uint8_t>(modal);
                    s.omitSameCoordinates = static_cast<std::uint8_t>(omit);
                    s.outputEob = static_cast<std::uint8_t>(eob);
                    s.outputZeroMode = static_cast<std::uint8_t>(zero);
                    s.outputHeader = 2;
                    const Digits& d = byMode[zero - 1];
                    const std::string end = eob == 1 ? "*" : "";
                    const std::string x = std::string("X") + d.d2540;
                    const std::vector<std::string> expected = {
                        "G01" + x + "Y" + d.d5080 + "D02" + end,
                        (modal == 1 ? "G01" : "") + std::string("X") + d.d7620 +
                            (omit == 2 ? std::string("Y") + d.d5080 : "") + "D01" + end,
                        "G02" + x + "Y" + d.d0 + "I-" + d.d2540 + "J" + d.d0 + "D01" + end,
                        (modal == 1 ? "G02" : "") + x + "Y" + d.d0 + "I" + d.d0 + "J" + d.d2540 +
                            "D01" + end};
                    EXPECT_EQ(Convert(input, s).output, expected)
                        << "modal " << modal << " omit " << omit << " eob " << eob << " zero " << zero;
                }
}

TEST(ConversionPass, ModalGCodesAndArcContinuation) {
    // Two G02 arcs: the second loses its G code but keeps X, Y, I and J; an
    // X block with offsets continues the arc in force; a plain X block
    // switches back to G01.
    const std::vector<std::string> input = {"G02X100Y0I50J0D01", "G02X200Y0I50J0D01",
                                            "X300Y0I50J-5D01",   "X400Y0",
                                            "X500Y0",            "G03Y7J3"};
    EXPECT_EQ(Convert(input, PlainSettings()).output,
              (std::vector<std::string>{"G02X100Y0I50J0D01", "X200Y0I50J0D01",
                                        "X300Y0I50J-5D01", "G01X400Y0D01", "X500Y0D01",
                                        "G03X500Y7J3D01"}));
    auto everyCode = PlainSettings();
    everyCode.modal = 1;
    EXPECT_EQ(Convert(input, everyCode).output,
              (std::vector<std::string>{"G02X100Y0I50J0D01", "G02X200Y0I50J0D01",
                                        "G02X300Y0I50J-5D01", "G01X400Y0D01", "G01X500Y0D01",
                                        "G03X500Y7J3D01"}));
}

TEST(ConversionPass, DCodesCarryOverAndOnlyD01D02Set) {
    const PassRun r = Convert({"X1Y1", "D01", "X2", "D03", "Y3", "D02*", "X4D03", "Y5", "G01D01", "X6"},
                          PlainSettings());
    // D02 at the start; a lone D01 sets it; D03 passes through; "D02*" is
    // not exactly D02 and passes through; a coordinate block's D part is
    // kept, whatever it is; G01 without coordinates only sets the D code.
    EXPECT_EQ(r.output, (std::vector<std::string>{"G01X1Y1D02", "X2Y1D01", "D03", "X2Y3D01",
                                                  "D02*", "X4Y3D03", "X4Y5D03", "X6Y5D01"}));
    EXPECT_EQ(r.gcode, "G01");
}

TEST(ConversionPass, LoneGCodesJoinTheNextBlock) {
    auto s = PlainSettings();
    // G01 followed by a coordinate block: one output block.
    EXPECT_EQ(Convert({"G01", "X100Y100D01"}, s).output,
              (std::vector<std::string>{"G01X100Y100D01"}));
    // A lone G01 then a D02: the D02 is taken, nothing is written.
    EXPECT_EQ(Convert({"G01", "D02", "X5"}, s).output, (std::vector<std::string>{"G01X5Y0D02"}));
    // A lone G01 before a continued arc changes nothing: the block is an arc.
    EXPECT_EQ(Convert({"G02X1Y1I1J0D01", "G01", "X2Y2I1J0"}, s).output,
              (std::vector<std::string>{"G02X1Y1I1J0D01", "X2Y2I1J0D01"}));
    // A lone G03 takes the next block as its arc.
    EXPECT_EQ(Convert({"G03", "X5Y5I1J1D01", "X6Y6I1J1"}, s).output,
              (std::vector<std::string>{"G03X5Y5I1J1D01", "X6Y6I1J1D01"}));
    // Chains: G01 then G02 then the arc text.
    EXPECT_EQ(Convert({"G01", "G02", "X7Y7J2D01"}, s).output,
              (std::vector<std::string>{"G02X7Y7J2D01"}));
}

TEST(ConversionPass, LoneGCodeAsTheLastBlockEndsThePass) {
    for (const char* code : {"G01", "G02", "G03"}) {
        const PassRun r = Convert({"G04 start", "X1D01", code}, PlainSettings());
        EXPECT_EQ(r.output, (std::vector<std::string>{"G04 start", "G01X1Y0D01"})) << code;
        EXPECT_EQ(r.state.unconvertedCount, 0u);
        EXPECT_EQ(Convert({code}, PlainSettings()).output.size(), 0u) << code;
    }
}

TEST(ConversionPass, HeaderGoesInFrontOfBlocksStoredBeforeIt) {
    auto s = PlainSettings();
    s.outputHeader = 1;
    s.outputFormat = 8;  // inch(2.4): header lines *%FSTAX24Y24*% and *%MOIN*%
    s.outputUnit = 2;
    s.outputZeroMode = 2;
    s.inputFormat = 8;
    s.inputUnit = 2;
    // 0.1 inch is 1000 counts, written 001 with trailing zeros omitted.
    // One block before the first pass-through block: kept behind the header.
    EXPECT_EQ(Convert({"X1000D02", "G04"}, s).output,
              (std::vector<std::string>{"*%FSTAX24Y24*%", "*%MOIN*%", "G01X001Y0D02", "G04"}));
    // An empty block is a pass-through block; with EOB off it is stored empty.
    EXPECT_EQ(Convert({"X1000D02", "", "G04"}, s).output,
              (std::vector<std::string>{"*%FSTAX24Y24*%", "*%MOIN*%", "G01X001Y0D02", "", "G04"}));
    // Two blocks before it: entry 1 is filled, no header at all.
    EXPECT_EQ(Convert({"X1000D02", "X2000D01", "M02"}, s).output,
              (std::vector<std::string>{"G01X001Y0D02", "X002Y0D01", "M02"}));
    // No pass-through block at all: no header.
    EXPECT_EQ(Convert({"X1000D02"}, s).output, (std::vector<std::string>{"G01X001Y0D02"}));
    // Only once.
    EXPECT_EQ(Convert({"G04", "G04"}, s).output,
              (std::vector<std::string>{"*%FSTAX24Y24*%", "*%MOIN*%", "G04", "G04"}));
    // The header lines never get the EOB code; an empty block becomes "*".
    s.outputEob = 1;
    EXPECT_EQ(Convert({"", "X1000D02"}, s).output,
              (std::vector<std::string>{"*%FSTAX24Y24*%", "*%MOIN*%", "*", "G01X001Y0D02*"}));
    // An output format that is not set writes no header.
    s.outputFormat = 0;
    EXPECT_EQ(Convert({"G04"}, s).output, (std::vector<std::string>{"G04*"}));
}

// The format statement of the header names the zero omission the numbers
// are written with where "L" would misread them: "X001" is 0.1 inch under
// "T" but 0.001 inch under "L". Numbers with nothing omitted read the same
// under "L".
TEST(ConversionPass, HeaderNamesTrailingZerosOmitted) {
    auto s = PlainSettings();
    s.outputHeader = 1;
    s.outputFormat = 8;
    s.outputUnit = 2;
    s.inputFormat = 8;
    s.inputUnit = 2;
    const std::vector<std::string> input = {"G04", "X1000D02"};
    s.outputZeroMode = 1;
    EXPECT_EQ(Convert(input, s).output,
              (std::vector<std::string>{"*%FSLAX24Y24*%", "*%MOIN*%", "G04", "G01X1000Y0D02"}));
    s.outputZeroMode = 2;
    EXPECT_EQ(Convert(input, s).output,
              (std::vector<std::string>{"*%FSTAX24Y24*%", "*%MOIN*%", "G04", "G01X001Y0D02"}));
    s.outputZeroMode = 3;
    EXPECT_EQ(Convert(input, s).output,
              (std::vector<std::string>{"*%FSLAX24Y24*%", "*%MOIN*%", "G04", "G01X001000Y000000D02"}));
    // mm(4.6) with trailing zeros omitted: 0.1 inch = 2.54 mm, 0002540000 -> 000254.
    s.outputFormat = 10;
    s.outputUnit = 1;
    s.outputZeroMode = 2;
    EXPECT_EQ(Convert(input, s).output,
              (std::vector<std::string>{"*%FSTAX46Y46*%", "*%MOMM*%", "G04", "G01X000254Y0D02"}));
}

TEST(ConversionPass, FormatStatementsSwitchTheInputFromTheNextBlock) {
    auto s = PlainSettings();
    s.inputZeroMode = 2;  // mm(4.3) trailing zeros omitted until the statement
    s.omitSameCoordinates = 1;
    const PassRun r = Convert({"X1000Y1000D01", "*%FSLAX24Y24*%", "X2000D01", "%FSLAX43Y43*%",
                           "X2000D01", "*%MOIN*%"},
                          s);
    // 1000 trailing-restored is 1000000 = 1000.000 mm. After the statement
    // inch(2.4) leading omitted: the kept Y text 1000 is now 0.1 inch. The
    // file's own %FS (without "*") switches back to mm(4.3): X2000 is
    // 2.000 mm, the kept Y 1000 is 1.000 mm. The %MO after it names inch
    // for 4.3 digits, no format code: the settings keep mm(4.3).
    EXPECT_EQ(r.output,
              (std::vector<std::string>{"G01X1000000Y1000000D01", "X5080Y2540D01", "X2000Y1000D01"}));
    EXPECT_EQ(s.inputFormat, 1);
    EXPECT_EQ(s.inputUnit, 1);
    EXPECT_EQ(s.inputZeroMode, 1);
}

TEST(FormatStatement, Recognition) {
    ConversionSettings s;
    s.inputFormat = 1;
    s.inputUnit = 1;
    s.inputZeroMode = 3;
    EXPECT_TRUE(RecognizeFormatStatement("*%FSLAX25Y25*%", s));
    EXPECT_EQ(s.inputFormat, 9);
    EXPECT_EQ(s.inputUnit, 2);
    EXPECT_EQ(s.inputZeroMode, 1);
    const std::pair<const char*, int> mapping[] = {{"43", 1}, {"44", 2}, {"45", 3}, {"53", 4}, {"54", 5},
                                                   {"55", 6}, {"23", 7}, {"24", 8}, {"25", 9}};
    for (const auto& [digits, format] : mapping) {
        s.inputFormat = 0;
        RecognizeFormatStatement(std::string("*%FSLAX") + digits + "Y" + digits + "*%", s);
        EXPECT_EQ(s.inputFormat, format) << digits;
        EXPECT_EQ(s.inputUnit, format <= 6 ? 1 : 2) << digits;
    }
    // Only the zero mode changes for other digits, non-digits, or a short block.
    for (const char* block : {"*%FSLAX99Y99*%", "*%FSLAXabYab*%", "*%FSLAX2", "*%FSLA", "*%FSLAX4 Y"}) {
        s.inputFormat = 5;
        s.inputUnit = 1;
        s.inputZeroMode = 2;
        EXPECT_TRUE(RecognizeFormatStatement(block, s)) << block;
        EXPECT_EQ(s.inputFormat, 5) << block;
        EXPECT_EQ(s.inputUnit, 1) << block;
        EXPECT_EQ(s.inputZeroMode, 1) << block;
    }
    // Anything else changes nothing.
    for (const char* block : {"*%FSTAX24Y24*%", "%FSLAX24Y24*%", "*%MOIN*%", "*"}) {
        s.inputZeroMode = 2;
        EXPECT_FALSE(RecognizeFormatStatement(block, s)) << block;
        EXPECT_EQ(s.inputZeroMode, 2) << block;
    }
}

TEST(ConversionPass, UndecodableBlocksPassUnchangedAndLeaveTheState) {
    auto s = PlainSettings();
    s.outputEob = 1;
    s.omitSameCoordinates = 1;
    const PassRun r = Convert({"X100Y100D01", "X+5D02", "Y200", "X1.5D01", "XD01", "Y7X7D01",
                           "X100I5D01", "G02X1Y1D01", "X9", "G03", "G04 note", "X100Z5Y100D01"},
                          s);
    EXPECT_EQ(r.output,
              (std::vector<std::string>{"G01X100Y100D01*", "X+5D02*", "Y200D01*", "X1.5D01*",
                                        "XD01*", "X7Y7D01*", "X100I5D01*", "G02X1Y1D01*",
                                        "X9D01*", "G03*", "G04 note*", "X100Z5Y100D01*"}));
    // Counted per coordinate block; the first is block 2. The lone G03 and
    // its text count once. "Y7X7D01" reads as words in any order.
    EXPECT_EQ(r.state.unconvertedCount, 7u);
    EXPECT_EQ(r.state.firstUnconverted, 2u);
    EXPECT_EQ(r.gcode, "G01");
    // Arcs neither: the G code in force stays.
    const PassRun arc = Convert({"G02X1Y1I1J1D01", "X5Y5I+1J1"}, PlainSettings());
    EXPECT_EQ(arc.output, (std::vector<std::string>{"G02X1Y1I1J1D01", "X5Y5I+1J1"}));
    EXPECT_EQ(arc.gcode, "G02");
    EXPECT_EQ(arc.state.firstUnconverted, 2u);
}

// Words in any order, and G codes that do not change how coordinates read
// in front of G01/G02/G03, as CAD programs write them. Inch(2.4) to mm(4.3).
TEST(ConversionPass, WordsInAnyOrderAndModalCodesInFront) {
    auto s = WorkedExampleSettings();
    s.outputHeader = 2;
    s.omitSameCoordinates = 2;
    const PassRun r = Convert({"Y2000X1000D03", "G75G03I1000J0X3000Y2000D01",
                               "G75G03I-1000J0X1000Y2000D01", "G74G91G01X5D01", "X1000D02",
                               "G36G01X0Y0D02", "G54D10", "G75"},
                              s);
    EXPECT_EQ(r.output, (std::vector<std::string>{
                            "G01X2540Y5080D03*", "G75G03X7620Y5080I2540J0D01*",
                            "G75X2540Y5080I-2540J0D01*", "G74G91G01X5D01*",
                            "G01X2540Y5080D02*", "G36X0Y0D02*", "G54D10*", "G75*"}));
    // G91 (incremental) in front: copied and reported.
    EXPECT_EQ(r.state.unconvertedCount, 1u);
    EXPECT_EQ(r.state.firstUnconverted, 4u);
    EXPECT_EQ(r.gcode, "G01");
}

TEST(ConversionPass, UnsetFormatsHandEveryCoordinateBlockOnUnchanged) {
    auto s = PlainSettings();
    s.inputFormat = 0;
    const PassRun r = Convert({"G04", "X1Y1D01", "D01", "G03X1Y1I0J0D01"}, s);
    EXPECT_EQ(r.output, (std::vector<std::string>{"G04", "X1Y1D01", "G03X1Y1I0J0D01"}));
    EXPECT_EQ(r.state.unconvertedCount, 2u);
    EXPECT_EQ(r.state.firstUnconverted, 2u);
}

TEST(ConversionPass, OverflowIsWrittenInFullAndFlaggedPerAxis) {
    auto s = PlainSettings();
    s.outputFormat = 7;  // inch(2.3), N 5, from mm(4.3): 2540 mm = 100 inch
    s.outputUnit = 2;
    s.outputZeroMode = 2;
    const PassRun r = Convert({"X2540000Y0D01"}, s);
    EXPECT_EQ(r.output, (std::vector<std::string>{"G01X100000Y0D01"}));
    EXPECT_TRUE(r.state.overflowX);
    EXPECT_FALSE(r.state.overflowY);
    const PassRun j = Convert({"G03X0Y0I0J2540000D01"}, s);
    EXPECT_EQ(j.output, (std::vector<std::string>{"G03X0Y0I0J100000D01"}));
    EXPECT_FALSE(j.state.overflowX);
    EXPECT_TRUE(j.state.overflowY);
}

class RecordingStatus final : public ConvertStatus {
public:
    void ShowConverting() override { calls.push_back("converting"); }
    void ClearOutputStatus() override { calls.push_back("clear"); }
    void ShowOutputBlocks(const OutputBlockList& output) override {
        calls.push_back("grid " + std::to_string(output.blockCount()));
    }
    void ShowConvertedTitle() override { calls.push_back("converted"); }
    std::vector<std::string> calls;
};

TEST(RunConversion, StatusPointerAndMessages) {
    FakePlatform platform;
    RecordingStatus status;
    ConverterState state;
    std::string gcode = "G03";
    BlockList output = Blocks({"old"});
    auto s = PlainSettings();
    s.outputFormat = 7;
    s.outputUnit = 2;
    const auto outcome = RunConversion(Blocks({"X2540000Y-2540000D01", "X+1D01", "X5D01", "M02"}),
                                       s, state, gcode, output, platform, platform, &status);
    EXPECT_EQ(outcome, ConvertOutcome::Converted);
    EXPECT_EQ(status.calls, (std::vector<std::string>{"converting", "grid 4", "converted"}));
    ASSERT_EQ(platform.messages.size(), 3u);
    EXPECT_EQ(platform.messages[0].text, "Ｘの座標値がオーバーフローしています");
    EXPECT_EQ(platform.messages[1].text, "Ｙの座標値がオーバーフローしています");
    EXPECT_EQ(platform.messages[2].text, UnconvertedBlocksMessage(1, 2));
    for (const auto& m : platform.messages) {
        EXPECT_EQ(m.title, "確認");
        EXPECT_EQ(m.buttons, MessageButtons::Ok);
    }
    EXPECT_EQ(platform.pendingEventPasses, 1);
    EXPECT_EQ(platform.pointerHistory,
              (std::vector<PointerShape>{PointerShape::Busy, PointerShape::Default}));
    EXPECT_EQ(Entries(output),
              (std::vector<std::string>{"G01X100000Y-100000D01", "X+1D01", "X0Y-100000D01", "M02"}));
}

TEST(RunConversion, NoInputBlocks) {
    FakePlatform platform;
    RecordingStatus status;
    ConverterState state;
    state.overflowX = true;
    std::string gcode = "G02";
    BlockList output = Blocks({"left from before"});
    auto s = PlainSettings();
    EXPECT_EQ(RunConversion(BlockList{}, s, state, gcode, output, platform, platform, &status),
              ConvertOutcome::NoInput);
    EXPECT_EQ(output.blockCount(), 0u);
    EXPECT_EQ(gcode, "G00");
    EXPECT_FALSE(state.overflowX);
    EXPECT_EQ(status.calls, (std::vector<std::string>{"converting", "clear"}));
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].text, "変換元のファイルがありません");
    EXPECT_EQ(platform.pointer, PointerShape::Default);
}

TEST(RunConversion, RepeatedPassesStartFromTheSameState) {
    FakePlatform platform;
    ConverterState state;
    std::string gcode;
    BlockList output;
    auto s = WorkedExampleSettings();
    const BlockList input = Blocks(kWorkedInput);
    RunConversion(input, s, state, gcode, output, platform, platform, nullptr);
    const auto first = Entries(output);
    gcode = "G03";  // the viewer's pass may leave any G code
    RunConversion(input, s, state, gcode, output, platform, platform, nullptr);
    EXPECT_EQ(Entries(output), first);
    EXPECT_TRUE(platform.messages.empty());
}

}  // namespace
}  // namespace mutaplot
