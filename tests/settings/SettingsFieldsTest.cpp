#include "settings/SettingsFields.h"
#include "settings/SettingsFile.h"

#include <gtest/gtest.h>

#include <vector>

namespace mutaplot {
namespace {

std::string CrLf(const std::vector<std::string>& lines) {
    std::string out;
    for (const auto& l : lines) out += l + "\r\n";
    return out;
}

const std::vector<std::string> kStart = {
    "IN",  "8", "1", "2", "1", "1", "2", "OUT", "1", "1", "1", "1", "1",
    "1",   "4", "1", "2", "1", "VIEW", "0", "0", "0", "65535", "0", "0", "1"};

TEST(SettingsFields, EveryNameSetsItsLineOfTheFile) {
    ConversionSettings s;
    SettingsLines lines;
    ASSERT_TRUE(ParseSettingsText(CrLf(kStart), s, lines));
    const std::vector<std::pair<std::string, std::string>> sets = {
        {"inputFormat", "7"},      {"inputZeroMode", "3"},   {"inputSeparator", "2"},
        {"inputCode", "2"},        {"outputCode", "2"},      {"outputFormat", "5"},
        {"outputZeroMode", "2"},   {"omitSameCoordinates", "2"}, {"outputHeader", "2"},
        {"lineBreak", "3"},        {"outputEob", "2"},       {"modal", "1"},
        {"originShiftX", "1.5"},   {"originShiftY", "-2.25"}, {"drawOrigin", "0.5"},
        {"drawColour", "255"},     {"backColour", "16777215"}, {"dxfLineWidth", "1"},
        {"dxfFormat", "0"},
    };
    for (const auto& [name, value] : sets)
        EXPECT_TRUE(SetSettingsField(s, name, value)) << name;
    // inch(2.3) brings inch to lines 4 and 7, mm(5.4) brings mm to 12 and 18.
    const std::vector<std::string> expected = {
        "IN",  "7", "3", "2", "2", "2", "2", "OUT", "2", "5", "2", "1", "2",
        "2",   "3", "2", "1", "1", "VIEW", "1.5", "-2.25", "0.5", "255", "16777215", "1", "0"};
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
    ASSERT_TRUE(ParseSettingsText(CrLf(kStart), s, lines));
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
    ASSERT_TRUE(ParseSettingsText(CrLf(kStart), s, lines));
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
