#include "settings/SettingsFile.h"
#include "settings/SettingsFields.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <vector>

namespace mutaplot {
namespace {

using testing::ReadFileBytes;
using testing::TempDir;

// Joins lines with CR LF after each.
std::string CrLf(const std::vector<std::string>& lines) {
    std::string out;
    for (const auto& l : lines) out += l + "\r\n";
    return out;
}

// A complete file: labels on lines 1, 8 and 19.
const std::vector<std::string> kFullLines = {
    "IN",  "8",   "1", "2", "1", "1", "2", "OUT", "1", "1", "1",     "1", "1",
    "1",   "4",   "1", "2", "1", "VIEW", "0.125", "-0.25", "1", "65535", "0", "0", "1", "1"};

TEST(SettingsFile, LoadsEveryFieldFromItsLine) {
    ConversionSettings s;
    SettingsLines lines;
    ASSERT_TRUE(ParseSettingsText(CrLf(kFullLines), s, lines));
    EXPECT_EQ(s.inputFormat, 8);
    EXPECT_EQ(s.inputZeroMode, 1);
    EXPECT_EQ(s.inputUnit, 2);
    EXPECT_EQ(s.inputSeparator, 1);
    EXPECT_EQ(s.inputCode, 1);
    EXPECT_EQ(s.outputCode, 1);
    EXPECT_EQ(s.outputFormat, 1);
    EXPECT_EQ(s.outputZeroMode, 1);
    EXPECT_EQ(s.outputUnit, 1);
    EXPECT_EQ(s.omitSameCoordinates, 1);
    EXPECT_EQ(s.outputHeader, 1);
    EXPECT_EQ(s.lineBreak, 4);
    EXPECT_EQ(s.outputEob, 1);
    EXPECT_EQ(s.modal, 2);
    EXPECT_EQ(s.originShiftX, 0.125);
    EXPECT_EQ(s.originShiftY, -0.25);
    EXPECT_EQ(s.drawOrigin, 1.0f);
    EXPECT_EQ(s.drawColour, "65535");
    EXPECT_EQ(s.backColour, "0");
    EXPECT_EQ(s.dxfLineWidth, 0);
    EXPECT_EQ(s.dxfFormat, 1);
    EXPECT_EQ(s.outputParameters, 1);
    for (std::size_t i = 0; i < 27; ++i) EXPECT_EQ(lines[i], kFullLines[i]) << "line " << i + 1;
}

TEST(SettingsFile, AFileOfTwentySixLinesStillReads) {
    // Written before line 27 existed: parameter blocks stay dropped (0 = 2),
    // and the next save adds the line.
    const std::vector<std::string> old(kFullLines.begin(), kFullLines.end() - 1);
    ConversionSettings s;
    SettingsLines lines;
    ASSERT_TRUE(ParseSettingsText(CrLf(old), s, lines));
    EXPECT_EQ(s.dxfFormat, 1);
    EXPECT_EQ(s.outputParameters, 0);
    EXPECT_FALSE(KeepsParameterBlocks(s));
    auto expected = old;
    expected.push_back("0");
    EXPECT_EQ(FormatSettingsText(s, lines), CrLf(expected));
    // Fewer than 26 lines is still a damaged file; a bad line 27 too.
    const std::vector<std::string> short25(kFullLines.begin(), kFullLines.end() - 2);
    EXPECT_FALSE(ParseSettingsText(CrLf(short25), s, lines));
    auto bad = kFullLines;
    bad[26] = "x";
    EXPECT_FALSE(ParseSettingsText(CrLf(bad), s, lines));
}

TEST(SettingsFile, RoundTripThroughTheFileKeepsEveryByte) {
    TempDir dir;
    const auto path = dir.Write("mutapl.ini", CrLf(kFullLines));
    ConversionSettings s;
    SettingsLines lines;
    ASSERT_TRUE(LoadSettings(path, s, lines));
    ASSERT_TRUE(SaveSettings(path, s, lines));
    EXPECT_EQ(ReadFileBytes(path), CrLf(kFullLines));

    // Changing only the DXF format writes the new code on line 26.
    s.dxfFormat = 0;
    ASSERT_TRUE(SaveSettings(path, s, lines));
    auto expected = kFullLines;
    expected[25] = "0";
    EXPECT_EQ(ReadFileBytes(path), CrLf(expected));
}

TEST(SettingsFile, LaterUnitCopyWinsAndBothCopiesAreWritten) {
    auto file = kFullLines;
    file[3] = "1";   // line 4
    file[6] = "2";   // line 7
    file[11] = "2";  // line 12
    file[17] = "1";  // line 18
    ConversionSettings s;
    SettingsLines lines;
    ASSERT_TRUE(ParseSettingsText(CrLf(file), s, lines));
    EXPECT_EQ(s.inputUnit, 2);
    EXPECT_EQ(s.outputUnit, 1);
    const std::string saved = FormatSettingsText(s, lines);
    EXPECT_EQ(lines[3], "2");
    EXPECT_EQ(lines[6], "2");
    EXPECT_EQ(lines[11], "1");
    EXPECT_EQ(lines[17], "1");
    EXPECT_EQ(saved, CrLf(kFullLines));
}

TEST(SettingsFile, NumbersAreWrittenInShortestForm) {
    ConversionSettings s;
    SettingsLines lines;
    ASSERT_TRUE(ParseSettingsText(CrLf(kFullLines), s, lines));
    s.originShiftX = 1.5;
    s.originShiftY = 0.3 + 0.9;  // 1.2 after 15 significant digits
    s.drawOrigin = 0.1f;         // a float's own shortest text, not its double digits
    FormatSettingsText(s, lines);
    EXPECT_EQ(lines[19], "1.5");
    EXPECT_EQ(lines[20], "1.2");
    EXPECT_EQ(lines[21], "0.1");
    s.originShiftX = -100000;
    FormatSettingsText(s, lines);
    EXPECT_EQ(lines[19], "-100000");
}

TEST(SettingsFile, ItemReadingRules) {
    // Blanks before items are skipped, trailing blanks of unquoted items are
    // dropped, quoted items lose their quotes and may hold commas, CR alone
    // ends a line, and a comma splits a line into two items.
    std::string text = "\"A,B\"\r  8  \r\"1\"\r2,1\r1\r2\r\tOUT\r1\r1\r1\r1\r1\r1\r4\r1\r2\r1\r"
                       "VIEW\r 0 \r0\r0\r\"  255\"\r\r0\r1";  // no line end after the last
    ConversionSettings s;
    SettingsLines lines;
    ASSERT_TRUE(ParseSettingsText(text, s, lines));
    EXPECT_EQ(lines[0], "A,B");
    EXPECT_EQ(lines[1], "8");
    EXPECT_EQ(s.inputFormat, 8);
    EXPECT_EQ(s.inputZeroMode, 1);
    EXPECT_EQ(s.inputUnit, 2);       // "2,1" gives lines 4 and 5
    EXPECT_EQ(s.inputSeparator, 1);
    EXPECT_EQ(lines[7], "OUT");
    EXPECT_EQ(s.drawColour, "  255");
    EXPECT_EQ(s.backColour, "");     // lines 23 and 24 are text: empty is fine
    EXPECT_EQ(s.dxfFormat, 1);
    // Items that would not read back as they are get their quotes again.
    const std::string saved = FormatSettingsText(s, lines);
    EXPECT_EQ(saved.substr(0, 7), "\"A,B\"\r\n");
    ConversionSettings again;
    SettingsLines linesAgain;
    ASSERT_TRUE(ParseSettingsText(saved, again, linesAgain));
    EXPECT_EQ(linesAgain, lines);
}

TEST(SettingsFile, DamagedLineKeepsTheFieldsBeforeIt) {
    struct Case {
        std::size_t line;  // 1-based
        std::string text;
    };
    const std::vector<Case> cases = {
        {10, "abc"}, {10, ""}, {10, "256"}, {10, "-1"}, {10, "1.5"},
        {20, "x"},   {21, ""}, {22, "1e40"}, {25, "nan"}, {26, "2 3"},
    };
    for (const Case& c : cases) {
        auto file = kFullLines;
        file[c.line - 1] = c.text;
        ConversionSettings s;
        s.outputFormat = 9;   // line 10
        s.originShiftX = 7;   // line 20
        s.drawOrigin = 3;     // line 22
        s.dxfLineWidth = 5;   // line 25
        s.dxfFormat = 5;      // line 26
        SettingsLines lines;
        EXPECT_FALSE(ParseSettingsText(CrLf(file), s, lines)) << c.line << " " << c.text;
        EXPECT_EQ(s.outputCode, 1) << "line 9 was read before line " << c.line;
        EXPECT_EQ(s.dxfFormat, 5) << "line 26 stays after a failure on " << c.line;
        if (c.line == 10) {
            EXPECT_EQ(s.outputFormat, 9);
            EXPECT_EQ(s.originShiftX, 7);
        }
        if (c.line >= 21) {
            EXPECT_EQ(s.originShiftX, 0.125);
        }
        if (c.line == 22) {
            EXPECT_EQ(s.drawOrigin, 3.0f);
        }
        if (c.line == 26) {
            EXPECT_EQ(s.dxfLineWidth, 0);
        }
    }
}

TEST(SettingsFile, ShortOrMissingFileFails) {
    auto file = kFullLines;
    file.resize(25);
    ConversionSettings s;
    SettingsLines lines;
    EXPECT_FALSE(ParseSettingsText(CrLf(file), s, lines));
    EXPECT_EQ(s.dxfLineWidth, 0);
    EXPECT_EQ(s.inputFormat, 8);
    EXPECT_EQ(lines[24], "0");
    EXPECT_EQ(lines[25], "");

    TempDir dir;
    ConversionSettings untouched;
    EXPECT_FALSE(LoadSettings(dir / "mutapl.ini", untouched, lines));
    EXPECT_FALSE(LoadSettings(dir.path(), untouched, lines));  // a folder
    EXPECT_FALSE(LoadSettings(dir.Write("mutapl.ini", ""), untouched, lines));
    EXPECT_EQ(untouched.inputFormat, 0);
    EXPECT_EQ(untouched.drawColour, "");
    // An oversized file is damaged, not read.
    std::string big = CrLf(kFullLines) + std::string(kMaxSettingsFileBytes, ' ');
    EXPECT_FALSE(LoadSettings(dir.Write("big.ini", big), untouched, lines));
    EXPECT_EQ(untouched.inputFormat, 0);
}

TEST(SettingsFile, SaveAfterShortReadWritesEmptyFreeLines) {
    ConversionSettings s;
    s.inputFormat = 8;
    s.inputUnit = 2;
    SettingsLines lines;  // nothing was read
    const std::string saved = FormatSettingsText(s, lines);
    EXPECT_EQ(saved, CrLf({"", "8", "0", "2", "0", "0", "2", "", "0", "0", "0", "0", "0", "0",
                           "0", "0", "0", "0", "", "0", "0", "0", "", "", "0", "0", "0"}));
}

TEST(SettingsFile, FailedSaveKeepsTheOldFileAndTheNewValues) {
    TempDir dir;
    const auto notAFolder = dir.Write("plain", "x");
    ConversionSettings s;
    s.dxfFormat = 1;
    SettingsLines lines;
    EXPECT_FALSE(SaveSettings(notAFolder / "mutapl.ini", s, lines));
    EXPECT_EQ(lines[25], "1");
    EXPECT_EQ(ReadFileBytes(notAFolder), "x");
    // A folder in the way of the file.
    std::filesystem::create_directory(dir / "mutapl.ini");
    EXPECT_FALSE(SaveSettings(dir / "mutapl.ini", s, lines));
    EXPECT_TRUE(std::filesystem::is_directory(dir / "mutapl.ini"));
}

TEST(SettingsFile, InstalledDefaultsLoad) {
    ConversionSettings s;
    SettingsLines lines;
    ASSERT_TRUE(LoadSettings(std::filesystem::path(MUTAPLOT_BIN_DIR) / kSettingsFileName, s, lines));
    EXPECT_EQ(s.inputFormat, 8);   // inch(2.4)
    EXPECT_EQ(s.inputUnit, 2);
    EXPECT_EQ(s.outputFormat, 1);  // mm(4.3)
    EXPECT_EQ(s.outputUnit, 1);
    EXPECT_EQ(s.lineBreak, 4);
    EXPECT_EQ(s.dxfFormat, 1);
}

TEST(SettingsFields, EveryNameSetsItsLineOfTheFile) {
    ConversionSettings s;
    SettingsLines lines;
    ASSERT_TRUE(ParseSettingsText(CrLf(kFullLines), s, lines));
    const std::vector<std::pair<std::string, std::string>> sets = {
        {"inputFormat", "7"},      {"inputZeroMode", "3"},   {"inputSeparator", "2"},
        {"inputCode", "2"},        {"outputCode", "2"},      {"outputFormat", "5"},
        {"outputZeroMode", "2"},   {"omitSameCoordinates", "2"}, {"outputHeader", "2"},
        {"lineBreak", "3"},        {"outputEob", "2"},       {"modal", "1"},
        {"originShiftX", "1.5"},   {"originShiftY", "-2.25"}, {"drawOrigin", "0.5"},
        {"drawColour", "255"},     {"backColour", "16777215"}, {"dxfLineWidth", "1"},
        {"dxfFormat", "0"},        {"outputParameters", "2"},
    };
    for (const auto& [name, value] : sets)
        EXPECT_TRUE(SetSettingsField(s, name, value)) << name;
    // inch(2.3) brings inch to lines 4 and 7, mm(5.4) brings mm to 12 and 18.
    const std::vector<std::string> expected = {
        "IN",  "7", "3", "2", "2", "2", "2", "OUT", "2", "5", "2", "1", "2",
        "2",   "3", "2", "1", "1", "VIEW", "1.5", "-2.25", "0.5", "255", "16777215", "1", "0", "2"};
    const std::string saved = FormatSettingsText(s, lines);
    EXPECT_EQ(saved, CrLf(expected));

    // Read back, every field has the value it was set to.
    ConversionSettings again;
    SettingsLines linesAgain;
    ASSERT_TRUE(ParseSettingsText(saved, again, linesAgain));
    EXPECT_EQ(again.inputFormat, 7);
    EXPECT_EQ(again.inputUnit, 2);
    EXPECT_EQ(again.outputUnit, 1);
    EXPECT_EQ(again.modal, 1);
    EXPECT_EQ(again.originShiftY, -2.25);
    EXPECT_EQ(again.drawOrigin, 0.5f);
    EXPECT_EQ(again.backColour, "16777215");
    EXPECT_EQ(again.dxfFormat, 0);
}

TEST(SettingsFields, UnitsAreWrittenToBothTheirLines) {
    ConversionSettings s;
    SettingsLines lines;
    ASSERT_TRUE(ParseSettingsText(CrLf(kFullLines), s, lines));
    ASSERT_TRUE(SetSettingsField(s, "inputUnit", "1"));
    ASSERT_TRUE(SetSettingsField(s, "outputUnit", "2"));
    FormatSettingsText(s, lines);
    EXPECT_EQ(lines[3], "1");
    EXPECT_EQ(lines[6], "1");
    EXPECT_EQ(lines[11], "2");
    EXPECT_EQ(lines[17], "2");
    // The free lines are no fields.
    EXPECT_EQ(FindSettingsField(""), nullptr);
    EXPECT_EQ(FindSettingsField("inputUnit")->line, 4u);
    EXPECT_EQ(FindSettingsField("outputUnit")->line, 12u);
}

TEST(SettingsFields, BadNamesAndValuesChangeNothing) {
    ConversionSettings s;
    SettingsLines lines;
    ASSERT_TRUE(ParseSettingsText(CrLf(kFullLines), s, lines));
    const ConversionSettings before = s;
    const std::vector<std::pair<std::string, std::string>> bad = {
        {"", "1"},                {"noSuchField", "1"},      {"InputFormat", "1"},
        {"inputFormat", "256"},   {"inputFormat", "1.0"},    {"inputFormat", " 1"},
        {"inputFormat", "-1"},    {"inputFormat", ""},       {"originShiftX", "abc"},
        {"originShiftX", ""},     {"originShiftX", "inf"},   {"originShiftY", "nan"},
        {"drawOrigin", "1e40"},   {"drawOrigin", "-inf"},
    };
    for (const auto& [name, value] : bad)
        EXPECT_FALSE(SetSettingsField(s, name, value)) << name << "=" << value;
    EXPECT_EQ(FormatSettingsText(s, lines), FormatSettingsText(before, lines));
    EXPECT_EQ(s.inputUnit, before.inputUnit);
}

}  // namespace
}  // namespace mutaplot
