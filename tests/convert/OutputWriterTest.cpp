// The output file layout (line breaks, ASCII and EBCDIC) and the save.

#include "convert/ConversionPass.h"
#include "convert/OutputWriter.h"

#include "support/FakePlatform.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>


namespace mutaplot {
namespace {

using testing::FakePlatform;
using testing::ReadFileBytes;
using testing::TempDir;

BlockList Blocks(const std::vector<std::string>& blocks) {
    BlockList list;
    for (const auto& b : blocks) list.Append(b);
    return list;
}

ConversionSettings Layout(int lineBreak, int outputCode) {
    ConversionSettings s;
    s.lineBreak = static_cast<std::uint8_t>(lineBreak);
    s.outputCode = static_cast<std::uint8_t>(outputCode);
    return s;
}

TEST(JoinOutputText, FourLineBreaksInBothCodes) {
    const BlockList ab = Blocks({"A*", "B*"});
    struct Case {
        int lineBreak;
        const char* ascii;
        const char* ebcdic;
    };
    const Case cases[] = {
        {1, "A*B*\r\n", "A*B*"},
        {2, "A*\nB*\r\n", "A*\nB*"},
        {3, "A*\rB*\r\n", "A*\rB*"},
        {4, "A*\r\nB*\r\n", "A*\r\nB*"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(JoinOutputText(ab, c.lineBreak, 1), c.ascii) << c.lineBreak;
        EXPECT_EQ(JoinOutputText(ab, c.lineBreak, 2), c.ebcdic) << c.lineBreak;
    }
    // An empty list: CR LF alone for ASCII line breaks 1 to 3, nothing else.
    const BlockList none;
    for (int lb = 1; lb <= 4; ++lb) {
        EXPECT_EQ(JoinOutputText(none, lb, 1), lb == 4 ? "" : "\r\n") << lb;
        EXPECT_EQ(JoinOutputText(none, lb, 2), "") << lb;
    }
    // One empty block still ends with the line end (ASCII).
    EXPECT_EQ(JoinOutputText(Blocks({""}), 4, 1), "\r\n");
    EXPECT_EQ(JoinOutputText(Blocks({"", ""}), 2, 2), "\n");
    // Unset or unknown codes give no text.
    EXPECT_FALSE(JoinOutputText(ab, 0, 1));
    EXPECT_FALSE(JoinOutputText(ab, 5, 1));
    EXPECT_FALSE(JoinOutputText(ab, 4, 0));
    EXPECT_FALSE(JoinOutputText(ab, 4, 3));
}

TEST(TranslateToEbcdic, EveryByteAloneButNoDoubleByteCharacter) {
    // A stand-in table (byte + 1) is enough to see what is translated.
    std::array<std::uint8_t, 256> table{};
    for (int b = 0; b < 256; ++b) table[static_cast<std::size_t>(b)] = static_cast<std::uint8_t>(b + 1);
    // Every single byte: lead bytes here are followed by a lead byte or a
    // byte that is not a trail byte, except in the runs checked below.
    std::string singles;
    for (int b = 0; b < 256; ++b) {
        singles.push_back(static_cast<char>(b));
        singles.push_back('0');  // 0x30 is never a trail byte
    }
    auto translated = TranslateToEbcdic(singles, table);
    ASSERT_TRUE(translated);
    for (std::size_t k = 0; k < singles.size(); ++k)
        EXPECT_EQ(static_cast<unsigned char>((*translated)[k]),
                  (static_cast<unsigned char>(singles[k]) + 1u) & 0xFFu);
    // Half-width katakana are single bytes; a lead byte at the very end too.
    EXPECT_TRUE(TranslateToEbcdic("G04 \xB1\xB2\x83", table));
    // テ (0x83 0x65) and 亜 (0x88 0x9F), and a pair after 0xE0.
    EXPECT_FALSE(TranslateToEbcdic("G04 \x83\x65", table));
    EXPECT_FALSE(TranslateToEbcdic("\x88\x9F", table));
    EXPECT_FALSE(TranslateToEbcdic("X1\xE0\x40", table));
}

TEST(ComposeOutputFile, LayoutErrorsAreReported) {
    ComposeError error = ComposeError::None;
    EXPECT_FALSE(ComposeOutputFile(Blocks({"A"}), Layout(0, 1), &error));
    EXPECT_EQ(error, ComposeError::Layout);
    EXPECT_FALSE(ComposeOutputFile(Blocks({"A"}), Layout(4, 0), &error));
    EXPECT_EQ(error, ComposeError::Layout);
    EXPECT_EQ(ComposeOutputFile(Blocks({"A"}), Layout(3, 1), &error), "A\r\n");
    EXPECT_EQ(error, ComposeError::None);
}

TEST(SaveConvertedFile, WritesTheAsciiLayoutAndReplacesOlderFiles) {
    TempDir dir;
    FakePlatform platform;
    const auto path = dir.Write("out.gbr", std::string(5000, 'Z'));  // longer than the new file
    EXPECT_EQ(SaveConvertedFile(path, Blocks({"A*", "B*"}), Layout(2, 1), platform, platform),
              SaveOutcome::Saved);
    EXPECT_EQ(ReadFileBytes(path), "A*\nB*\r\n");
    EXPECT_TRUE(platform.messages.empty());
    EXPECT_EQ(platform.pendingEventPasses, 1);
    EXPECT_EQ(platform.pointerHistory,
              (std::vector<PointerShape>{PointerShape::Busy, PointerShape::Default}));
    // An empty list still writes a file.
    EXPECT_EQ(SaveConvertedFile(dir / "empty.gbr", BlockList{}, Layout(1, 1), platform, platform),
              SaveOutcome::Saved);
    EXPECT_EQ(ReadFileBytes(dir / "empty.gbr"), "\r\n");
    EXPECT_EQ(SaveConvertedFile(dir / "empty4.gbr", BlockList{}, Layout(4, 1), platform, platform),
              SaveOutcome::Saved);
    EXPECT_TRUE(std::filesystem::exists(dir / "empty4.gbr"));
    EXPECT_EQ(ReadFileBytes(dir / "empty4.gbr"), "");
}

TEST(SaveConvertedFile, CancelledDialogWritesNothing) {
    FakePlatform platform;
    EXPECT_EQ(SaveConvertedFile("", Blocks({"A"}), Layout(4, 1), platform, platform),
              SaveOutcome::Cancelled);
    EXPECT_TRUE(platform.messages.empty());
    EXPECT_TRUE(platform.pointerHistory.empty());
}

TEST(SaveConvertedFile, FailuresKeepThePreviousFileAndTheBlocks) {
    TempDir dir;
    FakePlatform platform;
    const BlockList blocks = Blocks({"X1D01*", "M02*"});
    // No such folder; a folder as the target.
    EXPECT_EQ(SaveConvertedFile(dir / "missing/out.gbr", blocks, Layout(4, 1), platform, platform),
              SaveOutcome::Failed);
    EXPECT_FALSE(std::filesystem::exists(dir / "missing"));
    std::filesystem::create_directory(dir / "folder");
    EXPECT_EQ(SaveConvertedFile(dir / "folder", blocks, Layout(4, 1), platform, platform),
              SaveOutcome::Failed);
    ASSERT_EQ(platform.messages.size(), 2u);
    EXPECT_EQ(platform.messages[0].text, kSaveFailedMessage);
    EXPECT_EQ(platform.messages[0].title, "確認");
    // Line break not set: a message, the old file stays.
    const auto path = dir.Write("old.gbr", "previous");
    EXPECT_EQ(SaveConvertedFile(path, blocks, Layout(0, 1), platform, platform), SaveOutcome::Failed);
    EXPECT_EQ(platform.messages.back().text, kOutputLayoutMessage);
    EXPECT_EQ(ReadFileBytes(path), "previous");
    EXPECT_EQ(platform.pointer, PointerShape::Default);
    EXPECT_EQ(blocks.blockCount(), 2u);
    EXPECT_EQ(blocks[0], "X1D01*");
    // Only the target remains in the folder: no temporary files are left.
    std::size_t files = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir.path())) ++files;
    EXPECT_EQ(files, 2u);  // old.gbr and folder
}

ConversionSettings WorkedExampleSettings(int outputCode) {
    ConversionSettings s;
    s.inputFormat = 8;
    s.inputZeroMode = 1;
    s.inputUnit = 2;
    s.outputFormat = 1;
    s.outputZeroMode = 1;
    s.outputUnit = 1;
    s.omitSameCoordinates = 1;
    s.outputHeader = 1;
    s.lineBreak = 4;
    s.outputEob = 1;
    s.modal = 2;
    s.outputCode = static_cast<std::uint8_t>(outputCode);
    return s;
}

BlockList ConvertWorkedExample(ConversionSettings& s) {
    const BlockList input = Blocks({"G54D10", "X1000Y2000D02", "X3000D01", "Y5000",
                                    "G03X5000Y7000I0J2000D01", "D02", "X0Y0", "M02"});
    ConverterState state;
    std::string gcode;
    BlockList output;
    ConvertBlocks(input, s, state, gcode, output);
    return output;
}

TEST(SaveConvertedFile, WorkedExampleAsAsciiAndEbcdic) {
    TempDir dir;
    FakePlatform platform;
    auto ascii = WorkedExampleSettings(1);
    const BlockList output = ConvertWorkedExample(ascii);
    ASSERT_EQ(SaveConvertedFile(dir / "a.gbr", output, ascii, platform, platform), SaveOutcome::Saved);
    EXPECT_EQ(ReadFileBytes(dir / "a.gbr"),
              "*%FSLAX43Y43*%\r\n*%MOMM*%\r\nG54D10*\r\nG01X2540Y5080D02*\r\nX7620D01*\r\n"
              "Y12700D01*\r\nG03X12700Y17780I0J5080D01*\r\nG01X0Y0D02*\r\nM02*\r\n");

    auto ebcdic = WorkedExampleSettings(2);
    dir.Write("e.gbr", std::string(1000, 'Q'));
    ASSERT_EQ(SaveConvertedFile(dir / "e.gbr", output, ebcdic, platform, platform), SaveOutcome::Saved);
    const std::string bytes = ReadFileBytes(dir / "e.gbr");
    const std::string head = "\x5C\x6C\xC6\xE2\xD3\xC1\xE7\xF4\xF3\xE8\xF4\xF3\x5C\x6C\x0D\x25";
    EXPECT_EQ(bytes.substr(0, head.size()), head);
    // ... M02* at the end: D4 F0 F2 5C, nothing after it.
    EXPECT_EQ(bytes.substr(bytes.size() - 6), "\x0D\x25\xD4\xF0\xF2\x5C");
    // The ASCII file less its last CR LF, each byte translated: same length.
    EXPECT_EQ(bytes.size(), ReadFileBytes(dir / "a.gbr").size() - 2);
    EXPECT_TRUE(platform.messages.empty());
}

TEST(SaveConvertedFile, EbcdicRefusesDoubleByteText) {
    TempDir dir;
    FakePlatform platform;
    const auto path = dir.Write("old.gbr", "previous");
    EXPECT_EQ(SaveConvertedFile(path, Blocks({"G04 \x83\x65\x83\x58\x83\x67*"}), Layout(4, 2),
                                platform, platform),
              SaveOutcome::Failed);
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].text, kEbcdicDoubleByteMessage);
    EXPECT_EQ(ReadFileBytes(path), "previous");
    // Line break 2 in EBCDIC: LF as 0x25 between blocks only.
    ASSERT_EQ(SaveConvertedFile(path, Blocks({"A*", "B*"}), Layout(2, 2), platform, platform),
              SaveOutcome::Saved);
    EXPECT_EQ(ReadFileBytes(path), "\xC1\x5C\x25\xC2\x5C");
}

}  // namespace
}  // namespace mutaplot
