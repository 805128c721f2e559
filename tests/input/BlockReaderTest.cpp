#include "input/BlockReader.h"

#include "support/FakePlatform.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <vector>

namespace mutaplot {
namespace {

using testing::FakePlatform;
using testing::TempDir;
using Blocks = std::vector<std::string>;

constexpr std::uint8_t kAscii = 1, kEbcdic = 2;
constexpr std::uint8_t kCr = 1, kLf = 2, kStar = 3;

// The worked file: G54D10*, X100Y200D02*, an empty line and M02*, CR LF after
// each but the last.
const std::string kWorkedFile = "G54D10*\r\nX100Y200D02*\r\n\r\nM02*";

ConversionSettings Settings(std::uint8_t code, std::uint8_t separator) {
    ConversionSettings s;
    s.inputCode = code;
    s.inputSeparator = separator;
    return s;
}

Blocks ToVector(const BlockList& list) {
    Blocks out;
    for (std::size_t i = 0; i < list.blockCount(); ++i) out.emplace_back(list[i]);
    return out;
}

// Records the main window's status effects in order.
class FakeStatus final : public ReadStatus {
public:
    void ShowReading() override { calls.push_back("reading"); }
    void ShowInputTitle() override { calls.push_back("title"); }
    void ClearOutputStatus() override { calls.push_back("clearText2"); }
    std::vector<std::string> calls;
};

// Translates ASCII text to EBCDIC bytes with the values of the published
// table for the characters used in these tests.
std::string Ebcdic(std::string_view ascii) {
    std::string out;
    for (char c : ascii) {
        unsigned char e = 0;
        if (c >= '0' && c <= '9') e = static_cast<unsigned char>(0xF0 + (c - '0'));
        else if (c >= 'A' && c <= 'I') e = static_cast<unsigned char>(0xC1 + (c - 'A'));
        else if (c >= 'J' && c <= 'R') e = static_cast<unsigned char>(0xD1 + (c - 'J'));
        else if (c >= 'S' && c <= 'Z') e = static_cast<unsigned char>(0xE2 + (c - 'S'));
        else if (c == '*') e = 0x5C;
        else if (c == '\r') e = 0x0D;
        else if (c == '\n') e = 0x25;
        else if (c == ' ') e = 0x40;
        else ADD_FAILURE() << "no EBCDIC value in the test table for " << c;
        out.push_back(static_cast<char>(e));
    }
    return out;
}

// Reads `bytes` from a file through the whole operation.
struct ReadRun {
    ReadOutcome outcome;
    Blocks blocks;
    FakePlatform platform;
    FakeStatus status;
};

void ReadBytes(ReadRun& run, std::string_view bytes, ConversionSettings settings,
               ReaderEntry entry = ReaderEntry::MainWindow) {
    TempDir dir;
    const auto path = dir.Write("input.gbr", bytes);
    InputBlockList list;
    run.outcome = ReadBlockFile(path, settings, list, entry, run.platform, run.platform,
                                entry == ReaderEntry::MainWindow ? &run.status : nullptr);
    run.blocks = ToVector(list);
}

// Cuts `bytes` fed one byte at a time, to cross every piece boundary.
CutResult CutBytewise(std::string_view bytes, ConversionSettings s, ReaderEntry entry,
                      Blocks& out) {
    BlockList list;
    BlockCutter cutter(s.inputSeparator, s.inputCode, entry, list);
    for (char c : bytes) cutter.Feed(std::string_view(&c, 1));
    const CutResult r = cutter.Finish();
    out = ToVector(list);
    return r;
}

// ---- The worked examples, in every mode, whole and byte by byte ----

struct WorkedCase {
    const char* name;
    std::string bytes;
    std::uint8_t code, separator;
    Blocks expected;
};

std::vector<WorkedCase> WorkedCases() {
    return {
        {"AsciiCr", kWorkedFile, kAscii, kCr, {"G54D10", "X100Y200D02", "", "M02"}},
        {"AsciiLf", kWorkedFile, kAscii, kLf, {"G54D10\r", "X100Y200D02\r", "\r"}},
        {"AsciiStar", kWorkedFile, kAscii, kStar, {"G54D10", "X100Y200D02", "M02"}},
        {"AsciiStarDoubleStar", "X1D01**X2D01*", kAscii, kStar, {"X1D01", "", "X2D01"}},
        {"EbcdicCr", Ebcdic("X1D01*\r\nX2D01\r"), kEbcdic, kCr, {"X1D01", "X2D01"}},
        {"EbcdicLf", Ebcdic("A\nB\n"), kEbcdic, kLf, {"A", "B"}},
        {"EbcdicStar", Ebcdic("G54D10*\r\n X1 *\r\n*M02"), kEbcdic, kStar, {"G54D10", "X1", ""}},
        {"EbcdicLfCrEndsNonEmptyOnly", Ebcdic("A\r\n\r\n*B\r"), kEbcdic, kLf, {"A", "", "B"}},
    };
}

TEST(BlockReader, WorkedExamplesFromFiles) {
    for (const WorkedCase& c : WorkedCases()) {
        ReadRun run;
        ReadBytes(run, c.bytes, Settings(c.code, c.separator));
        EXPECT_EQ(run.outcome, ReadOutcome::Read) << c.name;
        EXPECT_EQ(run.blocks, c.expected) << c.name;
        EXPECT_TRUE(run.platform.messages.empty()) << c.name;
    }
}

TEST(BlockReader, WorkedExamplesFedByteByByte) {
    for (const WorkedCase& c : WorkedCases()) {
        Blocks blocks;
        EXPECT_EQ(CutBytewise(c.bytes, Settings(c.code, c.separator), ReaderEntry::MainWindow, blocks),
                  CutResult::Ok)
            << c.name;
        EXPECT_EQ(blocks, c.expected) << c.name;
    }
}

// ---- ASCII CR mode ----

TEST(BlockReader, CrModeTrimsThenTakesOffOneFinalStar) {
    BlockList list;
    const std::string text =
        "  G01*X100D01*  \r"   // inner "*" stays
        "X1 *\r"              // the space before the final "*" stays
        "X2**\r\n"            // only one "*" is taken off
        "\tX3\t\r"            // tabs are not trimmed
        "A\nB\r"              // a lone LF is an ordinary character
        "   \r\n"             // blanks only: an empty block
        "  M02*  ";           // the last line counts without a line end
    ASSERT_EQ(CutBlocks(text, Settings(kAscii, kCr), ReaderEntry::MainWindow, list), CutResult::Ok);
    EXPECT_EQ(ToVector(list),
              (Blocks{"G01*X100D01", "X1 ", "X2*", "\tX3\t", "A\nB", "", "M02"}));
}

TEST(BlockReader, CrModeFinalLineEndAddsNoBlock) {
    BlockList list;
    ASSERT_EQ(CutBlocks("A\r\nB\r", Settings(kAscii, kCr), ReaderEntry::MainWindow, list),
              CutResult::Ok);
    EXPECT_EQ(ToVector(list), (Blocks{"A", "B"}));
}

TEST(BlockReader, CrModeLineLengthLimit) {
    const std::string hundred(100, 'X');
    BlockList list;
    // 100 characters after trimming pass, however many blanks surround them.
    EXPECT_EQ(CutBlocks("   " + hundred + std::string(500, ' ') + "\r\n", Settings(kAscii, kCr),
                        ReaderEntry::MainWindow, list),
              CutResult::Ok);
    EXPECT_EQ(ToVector(list), Blocks{hundred});
    // 101 are rejected, even when the last one is the "*" that would go.
    EXPECT_EQ(CutBlocks("G54D10*\r\n" + hundred + "*\r\nM02*\r\n", Settings(kAscii, kCr),
                        ReaderEntry::MainWindow, list),
              CutResult::LineTooLong);
    EXPECT_EQ(ToVector(list), Blocks{"G54D10"});  // the blocks before the failure stay
    // Inner blanks count.
    const std::string innerBlanks = std::string("X") + std::string(99, ' ') + std::string("Y");
    EXPECT_EQ(CutBlocks(innerBlanks, Settings(kAscii, kCr),
                        ReaderEntry::MainWindow, list),
              CutResult::LineTooLong);
}

TEST(BlockReader, CrModeParameterBlockLinesOfAnyLength) {
    // A 4.6 macro outline primitive: 9 numbers of 9 characters and more.
    std::string outline = "4,1,4";
    for (int i = 0; i < 10; ++i) outline += ",-0.250000";
    outline += ",0*";  // 5 + 100 + 3 = 108 characters
    ASSERT_GT(outline.size(), 100u);
    const std::string ad = "%ADD10RoundRect,0.055000X0.088388X-0.399515X0.399515X-0.088388X-0.088388X"
                           "0.399515X-0.399515X0.088388*%";
    ASSERT_GT(ad.size(), 100u);
    BlockList list;
    EXPECT_EQ(CutBlocks("%AMBODY*\r\n" + outline + "%\r\n" + ad + "\r\nG54D10*\r\n",
                        Settings(kAscii, kCr), ReaderEntry::MainWindow, list),
              CutResult::Ok);
    EXPECT_EQ(ToVector(list), (Blocks{"%AMBODY", outline + "%", ad, "G54D10"}));
    // Once the macro's "%" has closed it, a long data line is refused again.
    EXPECT_EQ(CutBlocks("%AMBODY*\r\n" + outline + "%\r\n" + std::string(101, 'X') + "\r\n",
                        Settings(kAscii, kCr), ReaderEntry::MainWindow, list),
              CutResult::LineTooLong);
    // An LF-only RS-274X file read in CR mode is one line beginning with "%"
    // and holding LFs: still the line-break message.
    std::string lfFile = "%FSLAX46Y46*%\n%MOMM*%\n";
    for (int i = 0; i < 10; ++i) lfFile += "X1000000Y2000000D01*\n";
    EXPECT_EQ(CutBlocks(lfFile, Settings(kAscii, kCr), ReaderEntry::MainWindow, list),
              CutResult::LineTooLong);
}

TEST(BlockReader, CrModeLfOnlyFileIsOneLongLine) {
    std::string text;
    for (int i = 0; i < 20; ++i) text += "X100Y200D01*\n";  // 260 bytes, no CR
    ReadRun run;
    ReadBytes(run, text, Settings(kAscii, kCr));
    EXPECT_EQ(run.outcome, ReadOutcome::Failed);
    ASSERT_EQ(run.platform.messages.size(), 1u);
    EXPECT_EQ(run.platform.messages[0].text, kLineBreakMessage);
    EXPECT_EQ(run.platform.messages[0].title, "確認");
    EXPECT_EQ(run.platform.messages[0].buttons, MessageButtons::Ok);
    EXPECT_TRUE(run.blocks.empty());
    EXPECT_EQ(run.status.calls, (std::vector<std::string>{"reading", "clearText2", "title"}));
    EXPECT_EQ(run.platform.pointer, PointerShape::Default);
}

// ---- ASCII LF mode ----

TEST(BlockReader, LfModeProbe) {
    BlockList list;
    // An LF after 99 characters passes the probe; "*" is dropped, CR kept.
    EXPECT_EQ(CutBlocks(std::string(99, 'A') + "\n*B*\r\n", Settings(kAscii, kLf),
                        ReaderEntry::MainWindow, list),
              CutResult::Ok);
    EXPECT_EQ(ToVector(list), (Blocks{std::string(99, 'A'), "B\r"}));
    // 100 characters before the first LF: the line-break message.
    EXPECT_EQ(CutBlocks(std::string(100, 'A') + "\nB\n", Settings(kAscii, kLf),
                        ReaderEntry::MainWindow, list),
              CutResult::LineTooLong);
    EXPECT_TRUE(list.empty());
    // The file ends during the probe: the general message.
    EXPECT_EQ(CutBlocks("G54D10*", Settings(kAscii, kLf), ReaderEntry::MainWindow, list),
              CutResult::BadFormat);
    Blocks blocks;
    EXPECT_EQ(CutBytewise(std::string(100, 'A') + "\n", Settings(kAscii, kLf),
                          ReaderEntry::MainWindow, blocks),
              CutResult::LineTooLong);
}

TEST(BlockReader, LfModeLaterLongBlocksAreKept) {
    BlockList list;
    const std::string longBlock(5000, 'Z');
    EXPECT_EQ(CutBlocks("A\n" + longBlock + "\n\n", Settings(kAscii, kLf), ReaderEntry::MainWindow,
                        list),
              CutResult::Ok);
    EXPECT_EQ(ToVector(list), (Blocks{"A", longBlock, ""}));
}

TEST(BlockReader, LfModeProbeFailureMessages) {
    ReadRun run;
    ReadBytes(run, std::string(150, 'A') + "\n", Settings(kAscii, kLf));
    ASSERT_EQ(run.platform.messages.size(), 1u);
    EXPECT_EQ(run.platform.messages[0].text, kLineBreakMessage);
    EXPECT_TRUE(run.blocks.empty());

    ReadRun shortRun;
    ReadBytes(shortRun, "X1D01*", Settings(kAscii, kLf));
    ASSERT_EQ(shortRun.platform.messages.size(), 1u);
    EXPECT_EQ(shortRun.platform.messages[0].text, kFileFormatMessage);
    EXPECT_EQ(shortRun.status.calls, (std::vector<std::string>{"reading", "title"}));
}

// ---- ASCII "*" mode ----

TEST(BlockReader, StarModeCounterLimits) {
    BlockList list;
    const auto main = ReaderEntry::MainWindow;
    // The first "*" may be character 1000 (counter 999), not character 1001.
    EXPECT_EQ(CutBlocks(std::string(999, 'A') + "*", Settings(kAscii, kStar), main, list),
              CutResult::Ok);
    EXPECT_EQ(list.blockCount(), 1u);
    EXPECT_EQ(CutBlocks(std::string(1000, 'A') + "*", Settings(kAscii, kStar), main, list),
              CutResult::StarNotFound);
    EXPECT_TRUE(list.empty());
    // A later "*" within 999 characters after the previous one, line ends included.
    EXPECT_EQ(CutBlocks("X1*" + std::string(998, '\n') + "*", Settings(kAscii, kStar), main, list),
              CutResult::Ok);
    EXPECT_EQ(ToVector(list), (Blocks{"X1", ""}));
    EXPECT_EQ(CutBlocks("X1*" + std::string(999, '\n') + "*", Settings(kAscii, kStar), main, list),
              CutResult::StarNotFound);
    EXPECT_EQ(ToVector(list), (Blocks{"X1"}));
    // Line ends alone never trip the check.
    EXPECT_EQ(CutBlocks("X1*" + std::string(3000, '\r'), Settings(kAscii, kStar), main, list),
              CutResult::Ok);
    EXPECT_EQ(ToVector(list), (Blocks{"X1"}));
    // Trailing text without "*" trips it once the counter is reached.
    EXPECT_EQ(CutBlocks("X1*" + std::string(1200, 'C'), Settings(kAscii, kStar), main, list),
              CutResult::StarNotFound);
}

TEST(BlockReader, StarModeParameterBlocksOfAnyLength) {
    // A 120-character aperture definition and a 150-character macro
    // primitive pass the viewer's limit of 100, also cut into pieces; data
    // after the parameter blocks is held to the limit again.
    const std::string ad = "%ADD10C," + std::string(112, '1') + "*%";
    const std::string primitive = std::string(150, '2');
    const std::string text = ad + "\r\n%AMM*\r\n4," + primitive + "*%\r\nG54D10*" +
                             std::string(100, 'A') + "*";
    // Line ends are dropped, so each closing "%" opens the following block.
    const Blocks expected{"%ADD10C," + std::string(112, '1'), "%%AMM", "4," + primitive,
                          "%G54D10"};
    BlockList list;
    EXPECT_EQ(CutBlocks(text, Settings(kAscii, kStar), ReaderEntry::Viewer, list),
              CutResult::StarNotFound);
    EXPECT_EQ(ToVector(list), expected);
    Blocks blocks;
    EXPECT_EQ(CutBytewise(text, Settings(kAscii, kStar), ReaderEntry::Viewer, blocks),
              CutResult::StarNotFound);
    EXPECT_EQ(blocks, expected);
}

TEST(BlockReader, StarModeViewerLimitIsHundred) {
    const std::string ok = std::string(99, 'A') + "*";
    const std::string tooLong = std::string(100, 'A') + "*";
    BlockList list;
    EXPECT_EQ(CutBlocks(ok, Settings(kAscii, kStar), ReaderEntry::Viewer, list), CutResult::Ok);
    EXPECT_EQ(CutBlocks(tooLong, Settings(kAscii, kStar), ReaderEntry::Viewer, list),
              CutResult::StarNotFound);
    EXPECT_EQ(CutBlocks(tooLong, Settings(kAscii, kStar), ReaderEntry::MainWindow, list),
              CutResult::Ok);
    Blocks blocks;
    EXPECT_EQ(CutBytewise(tooLong, Settings(kAscii, kStar), ReaderEntry::Viewer, blocks),
              CutResult::StarNotFound);

    ReadRun run;
    ReadBytes(run, "G54D10*" + tooLong, Settings(kAscii, kStar), ReaderEntry::Viewer);
    EXPECT_EQ(run.outcome, ReadOutcome::Failed);
    ASSERT_EQ(run.platform.messages.size(), 1u);
    EXPECT_EQ(run.platform.messages[0].text, kStarNotFoundMessage);
    EXPECT_EQ(run.blocks, Blocks{"G54D10"});
    EXPECT_EQ(run.platform.pointer, PointerShape::Default);
}

// ---- EBCDIC ----

TEST(BlockReader, EbcdicHasNoLengthChecksAndTrimsSpaces) {
    const std::string longBlock(3000, 'X');
    for (std::uint8_t sep : {kCr, kLf, kStar}) {
        BlockList list;
        EXPECT_EQ(CutBlocks(Ebcdic("  " + longBlock + "  *"), Settings(kEbcdic, sep),
                            ReaderEntry::Viewer, list),
                  CutResult::Ok);
        EXPECT_EQ(ToVector(list), Blocks{longBlock}) << int(sep);
    }
}

TEST(BlockReader, EbcdicTranslatesEveryByte) {
    // EBCDIC 0x4F is "!", 0xE0 is "\", 0xA1 is "~"; 0x00 is NUL, which is
    // never part of a block.
    BlockList list;
    const std::string bytes("\x4F\xE0\xA1\x00\x5C", 5);
    EXPECT_EQ(CutBlocks(bytes, Settings(kEbcdic, kStar), ReaderEntry::MainWindow, list),
              CutResult::Ok);
    EXPECT_EQ(ToVector(list), Blocks{"!\\~"});
}

// ---- NUL bytes (tape padding) are never part of a block ----

std::string Nuls(std::size_t n) { return std::string(n, '\0'); }

struct NulCase {
    const char* name;
    std::string bytes;
    std::uint8_t code, separator;
    Blocks expected;
};

std::vector<NulCase> NulCases() {
    return {
        // 235 NUL bytes after the last line: no 235-character line to reject.
        {"AsciiCrPadding", "G54D10*\r\nM02*\r\n" + Nuls(235), kAscii, kCr, {"G54D10", "M02"}},
        // Inside a line they neither stay nor count towards the 100 characters
        // (here 100 with the final "*");
        // between CR and LF the pair still forms one line end.
        {"AsciiCrInside", std::string(59, 'X') + Nuls(50) + std::string(40, 'Y') + "*\r" + Nuls(3) +
             "\nM02", kAscii, kCr, {std::string(59, 'X') + std::string(40, 'Y'), "M02"}},
        // The LF probe does not count them.
        {"AsciiLfProbe", Nuls(150) + "G04\nM0" + Nuls(1) + "2\n", kAscii, kLf, {"G04", "M02"}},
        // Nor does the "*" counter.
        {"AsciiStarCounter", "X1D01*" + Nuls(1200) + "M02*" + Nuls(5), kAscii, kStar, {"X1D01", "M02"}},
        // EBCDIC 0x00 is NUL as well, in every separator mode.
        {"EbcdicCr", Ebcdic("X1") + Nuls(2) + Ebcdic("D01*\r\n") + Nuls(9) + Ebcdic("M02\r"),
             kEbcdic, kCr, {"X1D01", "M02"}},
        {"EbcdicLf", Nuls(1) + Ebcdic("A\n") + Nuls(1) + Ebcdic("B\n"), kEbcdic, kLf, {"A", "B"}},
        {"EbcdicStar", Ebcdic("G0") + Nuls(4) + Ebcdic("4*") + Nuls(300), kEbcdic, kStar, {"G04"}},
    };
}

TEST(BlockReader, NulBytesAreDroppedInEveryMode) {
    for (const NulCase& c : NulCases()) {
        ReadRun run;
        ReadBytes(run, c.bytes, Settings(c.code, c.separator));
        EXPECT_EQ(run.outcome, ReadOutcome::Read) << c.name;
        EXPECT_EQ(run.blocks, c.expected) << c.name;
        EXPECT_TRUE(run.platform.messages.empty()) << c.name;
        Blocks bytewise;
        EXPECT_EQ(CutBytewise(c.bytes, Settings(c.code, c.separator), ReaderEntry::MainWindow, bytewise),
                  CutResult::Ok)
            << c.name;
        EXPECT_EQ(bytewise, c.expected) << c.name;
    }
}

TEST(BlockReader, LengthChecksStillCountEveryOtherCharacter) {
    // 101 characters with NULs between them are still a line too long.
    ReadRun run;
    ReadBytes(run, std::string(50, 'X') + Nuls(10) + std::string(51, 'Y') + "\r\n", Settings(kAscii, kCr));
    EXPECT_EQ(run.outcome, ReadOutcome::Failed);
    ASSERT_EQ(run.platform.messages.size(), 1u);
    EXPECT_EQ(run.platform.messages[0].text, kLineBreakMessage);
}

// ---- The list grows as needed ----

TEST(BlockReader, ShortBlocksAreNotLimitedByFileSize) {
    std::string empties;
    for (int i = 0; i < 1000; ++i) empties += "\r\n";  // 2000 bytes, 1000 empty lines
    ReadRun run;
    ReadBytes(run, empties, Settings(kAscii, kCr));
    EXPECT_EQ(run.outcome, ReadOutcome::Read);
    EXPECT_EQ(run.blocks.size(), 1000u);

    ReadRun stars;
    ReadBytes(stars, std::string(5000, '*'), Settings(kAscii, kStar));
    EXPECT_EQ(stars.outcome, ReadOutcome::Read);
    EXPECT_EQ(stars.blocks.size(), 5000u);

    ReadRun d02;
    std::string lines;
    for (int i = 0; i < 3000; ++i) lines += "D02\r";
    ReadBytes(d02, lines, Settings(kAscii, kCr));
    EXPECT_EQ(d02.blocks.size(), 3000u);
}

// ---- The operation around the cutting ----

TEST(BlockReader, SuccessfulReadShowsBusyPointerAndStatus) {
    ReadRun run;
    ReadBytes(run, kWorkedFile, Settings(kAscii, kCr));
    EXPECT_EQ(run.platform.pointerHistory,
              (std::vector<PointerShape>{PointerShape::Busy, PointerShape::Default}));
    EXPECT_EQ(run.platform.pendingEventPasses, 1);
    EXPECT_EQ(run.status.calls, (std::vector<std::string>{"reading", "title"}));

    // The viewer passes no status.
    ReadRun viewer;
    ReadBytes(viewer, kWorkedFile, Settings(kAscii, kCr), ReaderEntry::Viewer);
    EXPECT_EQ(viewer.outcome, ReadOutcome::Read);
    EXPECT_TRUE(viewer.status.calls.empty());
}

TEST(BlockReader, FilesThatCannotBeOpenedLeaveTheListUntouched) {
    TempDir dir;
    const auto settings = Settings(kAscii, kCr);
    const auto fifo = dir / "pipe.gbr";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    // Larger than the reader accepts; sparse, so it costs no disk space.
    const auto huge = dir.Write("huge.gbr", "");
    std::filesystem::resize_file(huge, kMaxInputFileBytes + 1);
    for (const std::filesystem::path& path : {dir / "missing.gbr", dir.path(), fifo, huge}) {
        FakePlatform platform;
        FakeStatus status;
        InputBlockList list;
        list.Append("KEEP");
        EXPECT_EQ(ReadBlockFile(path, settings, list, ReaderEntry::MainWindow, platform, platform,
                                &status),
                  ReadOutcome::Failed);
        ASSERT_EQ(platform.messages.size(), 1u);
        EXPECT_EQ(platform.messages[0].text, kFileFormatMessage);
        EXPECT_EQ(platform.messages[0].title, "確認");
        EXPECT_EQ(ToVector(list), Blocks{"KEEP"});
        EXPECT_EQ(platform.pointer, PointerShape::Default);
        EXPECT_EQ(status.calls, std::vector<std::string>{"title"});
    }
}

TEST(BlockReader, BadSettingsCodesGiveTheGeneralMessage) {
    TempDir dir;
    const auto path = dir.Write("a.gbr", kWorkedFile);
    for (auto [code, sep] : {std::pair<int, int>{0, 1}, {3, 1}, {1, 0}, {2, 4}}) {
        FakePlatform platform;
        InputBlockList list;
        list.Append("KEEP");
        auto s = Settings(static_cast<std::uint8_t>(code), static_cast<std::uint8_t>(sep));
        EXPECT_EQ(ReadBlockFile(path, s, list, ReaderEntry::Viewer, platform, platform, nullptr),
                  ReadOutcome::Failed);
        ASSERT_EQ(platform.messages.size(), 1u);
        EXPECT_EQ(platform.messages[0].text, kFileFormatMessage);
        EXPECT_EQ(ToVector(list), Blocks{"KEEP"});
    }
}

TEST(BlockReader, EmptyFileHasItsOwnMessageAndClearsTheList) {
    for (std::uint8_t code : {kAscii, kEbcdic}) {
        TempDir dir;
        const auto path = dir.Write("empty.gbr", "");
        FakePlatform platform;
        InputBlockList list;
        list.Append("OLD");
        EXPECT_EQ(ReadBlockFile(path, Settings(code, kCr), list, ReaderEntry::MainWindow, platform,
                                platform, nullptr),
                  ReadOutcome::Failed);
        ASSERT_EQ(platform.messages.size(), 1u);
        EXPECT_EQ(platform.messages[0].text, "ファイルが空です。");
        EXPECT_TRUE(list.empty());
        EXPECT_EQ(platform.pointer, PointerShape::Default);
    }
}

TEST(BlockReader, BinaryFileGetsAMessageNotACrash) {
    // Every byte value, in a scrambled order, repeated: CR comes only every
    // 256 bytes, so the CR mode rejects the file; the other modes may accept
    // it, but every read ends cleanly with at most one message.
    std::string binary;
    for (int i = 0; i < 4096; ++i) binary.push_back(static_cast<char>((i * 37 + 11) & 0xFF));
    ReadRun crRun;
    ReadBytes(crRun, binary, Settings(kAscii, kCr));
    EXPECT_EQ(crRun.outcome, ReadOutcome::Failed);
    ASSERT_EQ(crRun.platform.messages.size(), 1u);
    EXPECT_EQ(crRun.platform.messages[0].text, kLineBreakMessage);
    for (std::uint8_t code : {kAscii, kEbcdic}) {
        for (std::uint8_t sep : {kCr, kLf, kStar}) {
            ReadRun run;
            ReadBytes(run, binary, Settings(code, sep));
            EXPECT_EQ(run.platform.messages.size(), run.outcome == ReadOutcome::Read ? 0u : 1u);
            EXPECT_EQ(run.platform.pointer, PointerShape::Default);
        }
    }
}

TEST(BlockReader, CancelChangesNothing) {
    FakePlatform platform;
    FakeStatus status;
    InputBlockList list;
    list.Append("KEEP");
    EXPECT_EQ(OpenBlockFile(Settings(kAscii, kCr), list, ReaderEntry::MainWindow, platform,
                            platform, &status),
              ReadOutcome::Cancelled);
    ASSERT_EQ(platform.fileFilters.size(), 1u);
    EXPECT_EQ(platform.fileFilters[0],
              "photoﾌｧｲﾙ(*.photo.*)|*.photo.*|GBRﾌｧｲﾙ(*.gbr,*.g**)|*.gbr;*.g**|"
              "すべてのﾌｧｲﾙ(*.*)|*.*");
    EXPECT_TRUE(platform.fileFlags[0].hideReadOnly);
    EXPECT_TRUE(platform.messages.empty());
    EXPECT_EQ(ToVector(list), Blocks{"KEEP"});
    EXPECT_EQ(platform.pendingEventPasses, 0);
    EXPECT_EQ(platform.pointer, PointerShape::Default);
}

TEST(BlockReader, OpenBlockFileReadsTheChosenFile) {
    TempDir dir;
    FakePlatform platform;
    platform.fileAnswers.push_back(dir.Write("a.gbr", kWorkedFile).string());
    InputBlockList list;
    EXPECT_EQ(OpenBlockFile(Settings(kAscii, kStar), list, ReaderEntry::Viewer, platform, platform,
                            nullptr),
              ReadOutcome::Read);
    EXPECT_EQ(ToVector(list), (Blocks{"G54D10", "X100Y200D02", "M02"}));
    EXPECT_EQ(list[list.blockCount()], "");  // the one empty entry after the blocks
}

}  // namespace
}  // namespace mutaplot

namespace mutaplot {
namespace {

TEST(BlockReaderKeepingList, FailedReadLeavesThePreviousFileLoaded) {
    TempDir dir;
    FakePlatform platform;
    InputBlockList list;
    list.Append("G54D10");
    list.Append("X1Y1D03");
    // A binary file (no CR for over 100 bytes), a missing file and an empty
    // file: each fails with its message and the two blocks stay.
    const auto binary = dir.Write("a.out", "\x7f" "ELF" + std::string(200, '\x01'));
    const auto empty = dir.Write("empty.gbr", "");
    for (const auto& path : {binary, dir / "missing.gbr", empty}) {
        EXPECT_EQ(ReadBlockFileKeepingList(path, Settings(kAscii, kCr), list, ReaderEntry::MainWindow,
                                           platform, platform, nullptr),
                  ReadOutcome::Failed);
        EXPECT_EQ(ToVector(list), (Blocks{"G54D10", "X1Y1D03"}));
    }
    ASSERT_EQ(platform.messages.size(), 3u);
    EXPECT_EQ(platform.messages[0].text, kLineBreakMessage);
    EXPECT_EQ(platform.messages[2].text, "ファイルが空です。");
    // A good file replaces the list.
    EXPECT_EQ(ReadBlockFileKeepingList(dir.Write("b.gbr", "M02*\r\n"), Settings(kAscii, kCr), list,
                                       ReaderEntry::MainWindow, platform, platform, nullptr),
              ReadOutcome::Read);
    EXPECT_EQ(ToVector(list), Blocks{"M02"});
}

// A pointer whose pending-events pass (after the file is opened, before it is
// read) lets another program cut the file short.
class TruncatingPointer final : public Pointer {
public:
    explicit TruncatingPointer(std::filesystem::path path) : path_(std::move(path)) {}
    void SetPointer(PointerShape) override {}
    void ProcessPendingEvents() override { std::filesystem::resize_file(path_, 10); }

private:
    std::filesystem::path path_;
};

TEST(BlockReaderFaults, AFileCutShortWhileReadFailsAndSaysSo) {
    TempDir dir;
    std::string text;
    for (int i = 0; i < 1000; ++i) text += "X" + std::to_string(1000 + i) + "Y2000D01*\r\n";
    const auto path = dir.Write("cut.gbr", text);
    testing::FakePlatform dialogs;
    TruncatingPointer pointer(path);
    InputBlockList blocks;
    ReadFault fault = ReadFault::ReadError;
    EXPECT_EQ(ReadBlockFile(path, Settings(kAscii, kCr), blocks, ReaderEntry::MainWindow, dialogs,
                            pointer, nullptr, &fault),
              ReadOutcome::Failed);
    EXPECT_EQ(fault, ReadFault::CutShort);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text, kFileFormatMessage);

    // Read whole, the fault is None.
    dir.Write("cut.gbr", text);
    testing::FakePlatform platform;
    EXPECT_EQ(ReadBlockFile(path, Settings(kAscii, kCr), blocks, ReaderEntry::MainWindow, platform,
                            platform, nullptr, &fault),
              ReadOutcome::Read);
    EXPECT_EQ(fault, ReadFault::None);
    EXPECT_EQ(blocks.blockCount(), 1000u);
}

}  // namespace
}  // namespace mutaplot
