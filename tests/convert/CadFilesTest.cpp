// The pass on what real CAD files hold beyond plain coordinate data: unit
// codes, parameter blocks anywhere (over several lines, behind data, split by
// "*" mode, never closed), copied blocks that carry coordinates, and two
// blocks written on one line. Then two whole files, read, converted and
// composed, compared byte for byte with output worked out by hand.

#include "convert/ConversionPass.h"
#include "convert/OutputWriter.h"
#include "input/BlockReader.h"

#include "support/FakePlatform.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace mutaplot {
namespace {

using testing::FakePlatform;
using testing::TempDir;
using Texts = std::vector<std::string>;

BlockList Blocks(const Texts& blocks) {
    BlockList list;
    for (const auto& b : blocks) list.Append(b);
    return list;
}

Texts Entries(const BlockList& list) {
    Texts out;
    for (std::size_t k = 0; k < list.blockCount(); ++k) out.emplace_back(list[k]);
    return out;
}

// mm(4.3) in and out, leading zeros omitted, no header, no EOB, modal on,
// omission off: coordinates keep their digits.
ConversionSettings PlainSettings() {
    ConversionSettings s;
    s.inputFormat = 1;
    s.inputZeroMode = 1;
    s.inputUnit = 1;
    s.inputSeparator = 1;
    s.inputCode = 1;
    s.outputCode = 1;
    s.outputFormat = 1;
    s.outputZeroMode = 1;
    s.outputUnit = 1;
    s.omitSameCoordinates = 2;
    s.outputHeader = 2;
    s.lineBreak = 4;
    s.outputEob = 2;
    s.modal = 2;
    return s;
}

struct PassRun {
    Texts output;
    ConverterState state;
    std::string gcode;
};

PassRun Convert(const Texts& input, ConversionSettings s = PlainSettings()) {
    PassRun r;
    BlockList out;
    ConvertBlocks(Blocks(input), s, r.state, r.gcode, out);
    r.output = Entries(out);
    return r;
}

// ---- Unit codes ----

TEST(CadFiles, UnitCodesNameTheOutputUnit) {
    const Texts input = {"G70", "G71", "G70*", "G7", "G04 G70", "G700"};
    // mm output: G71 throughout; the rest of the block stays.
    EXPECT_EQ(Convert(input).output, (Texts{"G71", "G71", "G71*", "G7", "G04 G70", "G710"}));
    auto inch = PlainSettings();
    inch.outputFormat = 8;
    inch.outputUnit = 2;
    EXPECT_EQ(Convert(input, inch).output, (Texts{"G70", "G70", "G70*", "G7", "G04 G70", "G700"}));
    // An output unit that is not set changes nothing.
    auto unset = PlainSettings();
    unset.outputUnit = 0;
    EXPECT_EQ(Convert({"G70", "G71"}, unset).output, (Texts{"G70", "G71"}));
    // Still a pass-through block: the header goes in front of it.
    inch.outputHeader = 1;
    inch.outputEob = 1;
    EXPECT_EQ(Convert({"G71"}, inch).output, (Texts{"*%FSLAX24Y24*%", "*%MOIN*%", "G70*"}));
}

// ---- Parameter blocks ----

TEST(CadFiles, MacroOverSeveralLinesIsDroppedWhole) {
    // CR mode: the reader took the final "*" off the first two lines.
    const PassRun r = Convert({"%AMOC8", "5,1,8,0,0,1.08239X$1,22.5", "21,0,0.0780,0.0200,0,0,135*%",
                               "G54D10", "X1D01"});
    EXPECT_EQ(r.output, (Texts{"G54D10", "G01X1Y0D01"}));
    EXPECT_EQ(r.state.unconvertedCount, 0u);
    EXPECT_EQ(r.state.droppedCount, 0u);
}

TEST(CadFiles, ParameterBlockBehindDataIsCutOff) {
    auto s = PlainSettings();
    s.outputHeader = 1;
    const PassRun r = Convert({"G74*%FSLAN2X34Y34*%", "X100D02"}, s);
    // The file's own statement behind the data switches the input to 3.4
    // digits (no format code: kept for the pass, unit still mm): X100 is
    // 0.0100 mm = 10 counts of mm(4.3).
    EXPECT_EQ(r.output, (Texts{"*%FSLAX43Y43*%", "*%MOMM*%", "G74", "G01X10Y0D02"}));
}

TEST(CadFiles, StarModeSelectionAfterAParameterBlockIsKept) {
    // "%ADD11C,0.1*%" then "G54D11*" cut at every "*".
    const PassRun r = Convert({"%ADD11C,0.1", "%G54D11", "X1D01", "%FSLAX43Y43", "%%MOMM", "%", "D10"});
    EXPECT_EQ(r.output, (Texts{"G54D11", "G01X1Y0D01", "D10"}));
    EXPECT_EQ(r.state.droppedCount, 0u);
}

TEST(CadFiles, JoinsLookPastParameterBlocks) {
    // A lone G02 takes the next block that holds data as its arc.
    EXPECT_EQ(Convert({"G02", "%LPD*%", "X100Y0I50J0D01"}).output, (Texts{"G02X100Y0I50J0D01"}));
    // A lone code whose arc does not convert goes out with it, without the
    // parameter block between them.
    const PassRun r = Convert({"G03", "%LPD*%", "X1Y1D01"});
    EXPECT_EQ(r.output, (Texts{"G03", "X1Y1D01"}));
    EXPECT_EQ(r.state.firstUnconverted, 3u);
    // A parameter block after a lone code at the end of the list: nothing.
    EXPECT_EQ(Convert({"G04", "G02", "%LPD*%"}).output, (Texts{"G04"}));
}

TEST(CadFiles, DataThatAParameterBlockSwallowsIsReported) {
    // A drill header's "%" that is never closed: the blocks after it.
    const PassRun drill = Convert({"G04 drill", "%", "M48", "T1C0.8", ""});
    EXPECT_EQ(drill.output, (Texts{"G04 drill"}));
    EXPECT_EQ(drill.state.droppedCount, 3u);
    EXPECT_EQ(drill.state.firstDropped, 3u);
    // Only the blocks after the last opening count; an unclosed "%" with
    // nothing after it loses nothing.
    const PassRun reopened = Convert({"%AMA*", "1*", "*%", "X1D01", "G04*%AMB*", "2*"});
    EXPECT_EQ(reopened.output, (Texts{"G01X1Y0D01", "G04"}));
    EXPECT_EQ(reopened.state.droppedCount, 1u);
    EXPECT_EQ(reopened.state.firstDropped, 6u);
    EXPECT_EQ(Convert({"X1D01", "%"}).state.droppedCount, 0u);
    // Data behind the closing "%" of a block that opens with "%": dropped
    // with it, and reported.
    const PassRun behind = Convert({"X1D01", "%LPD*%G54D10", "%MOMM*%", "D11"});
    EXPECT_EQ(behind.output, (Texts{"G01X1Y0D01", "D11"}));
    EXPECT_EQ(behind.state.droppedCount, 1u);
    EXPECT_EQ(behind.state.firstDropped, 2u);
}

// ---- Blocks copied with coordinates in them ----

TEST(CadFiles, CopiedBlocksWithCoordinatesAreReported) {
    const PassRun r = Convert({"G04 X100 is a comment", "M02", "G54D10XY", "G75G03I150J0X3550Y1701D01",
                               "G54D10X100Y200D01", "G90X-5", "G36J+1", "D01X5", "G04X1"});
    // Copied unchanged, all of them but the arc behind G75, whose words
    // read in any order.
    EXPECT_EQ(r.output, (Texts{"G04 X100 is a comment", "M02", "G54D10XY", "G75G03X3550Y1701I150J0D01",
                               "G54D10X100Y200D01", "G90X-5", "G36J+1", "D01X5", "G04X1"}));
    EXPECT_EQ(r.state.unconvertedCount, 4u);
    EXPECT_EQ(r.state.firstUnconverted, 5u);
}

// ---- Two blocks on one line ----

TEST(CadFiles, WordsAfterTheDPartMakeABlockUnreadable) {
    const PassRun r = Convert({"X100Y100D01", "Y2201D02*X2716Y2206D01", "X2090Y1860D01Y1870D02", "X5"});
    // Handed on unchanged; the state stays as the first block left it (Y 100,
    // D01), so the last block draws from there.
    EXPECT_EQ(r.output, (Texts{"G01X100Y100D01", "Y2201D02*X2716Y2206D01", "X2090Y1860D01Y1870D02",
                               "X5Y100D01"}));
    EXPECT_EQ(r.state.unconvertedCount, 2u);
    EXPECT_EQ(r.state.firstUnconverted, 2u);
    // Arcs likewise; the G code in force stays.
    const PassRun arc = Convert({"G02X0Y0I1J0D01", "X1Y1I1J0D01*X2Y2I1J0D01", "G03X1Y1I0J1D01X4"});
    EXPECT_EQ(arc.output, (Texts{"G02X0Y0I1J0D01", "X1Y1I1J0D01*X2Y2I1J0D01", "G03X1Y1I0J1D01X4"}));
    EXPECT_EQ(arc.state.unconvertedCount, 2u);
    EXPECT_EQ(arc.gcode, "G02");
}

TEST(RunConversion, ReportsCopiedAndDroppedBlocks) {
    FakePlatform platform;
    ConverterState state;
    std::string gcode;
    BlockList output;
    auto s = PlainSettings();
    RunConversion(Blocks({"G54D10X1D01", "X1D01", "%", "M30"}), s, state, gcode, output, platform,
                  platform, nullptr);
    ASSERT_EQ(platform.messages.size(), 2u);
    EXPECT_EQ(platform.messages[0].text,
              "座標を変換できないブロックが1個あります（最初は1番目のブロックです）。"
              "これらのブロックは変換せずにそのまま出力しました。");
    EXPECT_EQ(platform.messages[1].text,
              "パラメータブロック（「%」〜「%」）と一緒に出力しなかったブロックが1個あります"
              "（最初は4番目のブロックです）。「%」の対応を確認して下さい。");
    EXPECT_EQ(platform.messages[1].title, "確認");
}

// ---- Whole files ----

struct FileRun {
    std::string bytes;
    std::vector<std::string> messages;
};

FileRun ConvertFile(std::string_view fileBytes, ConversionSettings& s) {
    TempDir dir;
    FakePlatform platform;
    InputBlockList input;
    EXPECT_EQ(ReadBlockFile(dir.Write("board.gbr", fileBytes), s, input, ReaderEntry::MainWindow,
                            platform, platform, nullptr),
              ReadOutcome::Read);
    ConverterState state;
    std::string gcode;
    OutputBlockList output;
    EXPECT_EQ(RunConversion(input, s, state, gcode, output, platform, platform, nullptr),
              ConvertOutcome::Converted);
    FileRun run;
    run.bytes = ComposeOutputFile(output, s).value_or("no output");
    for (const auto& m : platform.messages) run.messages.push_back(m.text);
    return run;
}

TEST(CadFiles, WholeInchFileReadLineByLineToMillimetres) {
    // CR LF lines, the format statement switches the input to inch(2.4); 235
    // NUL bytes of tape padding at the end.
    const std::string file =
        "G04 Board 1*\r\n"
        "*%FSLAX24Y24*%\r\n"
        "%MOIN*%\r\n"
        "%AMOC8*\r\n"
        "5,1,8,0,0,1.08239X$1,22.5*\r\n"
        "21,0,0.0780,0.0200,0,0,135*%\r\n"
        "%ADD10C,0.0100*%\r\n"
        "G74*%FSLAN2X34Y34*%\r\n"
        "G70*\r\n"
        "G54D10*\r\n"
        "X1000Y2000D02*\r\n"
        "G75G03I150J0X3550Y1701D01*\r\n"
        "Y2201D02*X2716Y2206D01*\r\n"
        "X2090Y1860D01Y1870D02*\r\n"
        "X3000D01*\r\n"
        "M02*\r\n" +
        std::string(235, '\0');
    ConversionSettings s = PlainSettings();
    s.inputZeroMode = 3;  // until the statement
    s.omitSameCoordinates = 1;
    s.outputHeader = 1;
    s.outputEob = 1;
    s.lineBreak = 4;
    const FileRun run = ConvertFile(file, s);
    // 0.1 inch = 2.540 mm, 0.2 inch = 5.080 mm, 0.3 inch = 7.620 mm; the
    // arc in 3.4 digits: 0.3550 inch = 9.017 mm, 0.1701 inch = 4.32054 mm,
    // I 0.0150 inch = 0.381 mm; the last block changes only X. Blocks 13 and
    // 14 are copied and reported.
    EXPECT_EQ(run.bytes,
              "*%FSLAX43Y43*%\r\n"
              "*%MOMM*%\r\n"
              "G04 Board 1*\r\n"
              "G74*\r\n"
              "G71*\r\n"
              "G54D10*\r\n"
              "G01X2540Y5080D02*\r\n"
              "G75G03X9017Y4321I381J0D01*\r\n"
              "Y2201D02*X2716Y2206D01*\r\n"
              "X2090Y1860D01Y1870D02*\r\n"
              "G01X7620D01*\r\n"
              "M02*\r\n");
    EXPECT_EQ(run.messages, (std::vector<std::string>{UnconvertedBlocksMessage(2, 13)}));
}

TEST(CadFiles, WholeMillimetreFileCutAtStarsToInch) {
    // "*" mode: CR and LF are dropped, so every closing "%" starts the next
    // block; NUL padding at the end.
    const std::string file =
        "G04 Star file*\r\n"
        "%FSLAX43Y43*%\r\n"
        "%MOMM*%\r\n"
        "%AMOC8*\r\n"
        "21,0,0.0780,0.0200,0,0,135*%\r\n"
        "%ADD11C,0.1*%\r\n"
        "G54D11*\r\n"
        "G71*\r\n"
        "X25400Y-12700D02*\r\n"
        "G03X50800Y12700I0J12700D01*\r\n"
        "M02*\r\n" +
        std::string(100, '\0');
    ConversionSettings s = PlainSettings();
    s.inputSeparator = 3;
    s.outputFormat = 9;  // inch(2.5)
    s.outputUnit = 2;
    s.outputHeader = 1;
    s.outputEob = 1;
    s.lineBreak = 2;
    const FileRun run = ConvertFile(file, s);
    // 25.4 mm = 1 inch = 100000, -12.7 mm = -50000, 50.8 mm = 200000.
    EXPECT_EQ(run.bytes,
              "*%FSLAX25Y25*%\n"
              "*%MOIN*%\n"
              "G04 Star file*\n"
              "G54D11*\n"
              "G70*\n"
              "G01X100000Y-50000D02*\n"
              "G03X200000Y50000I0J50000D01*\n"
              "M02*\r\n");
    EXPECT_TRUE(run.messages.empty());
}

}  // namespace
}  // namespace mutaplot
