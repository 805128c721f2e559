// The ranges --set holds each field to.

#include "settings/SettingsFields.h"
#include "settings/SettingsFile.h"

#include <gtest/gtest.h>

#include <string>

namespace mutaplot {
namespace {

TEST(SettingsRanges, EachFieldTakesItsOptionsOnly) {
    struct Case {
        const char* name;
        const char* good;
        const char* bad;
    };
    for (const Case& c : {Case{"inputZeroMode", "3", "4"}, Case{"outputZeroMode", "1", "0"},
                          Case{"inputSeparator", "3", "4"}, Case{"inputCode", "2", "3"},
                          Case{"outputCode", "1", "0"}, Case{"inputUnit", "2", "3"},
                          Case{"omitSameCoordinates", "2", "3"}, Case{"outputHeader", "1", "0"},
                          Case{"lineBreak", "4", "5"}, Case{"outputEob", "2", "3"},
                          Case{"modal", "1", "0"}, Case{"dxfLineWidth", "1", "2"},
                          Case{"dxfFormat", "0", "2"}, Case{"drawOrigin", "1", "2"},
                          Case{"drawOrigin", "0", "-0.5"}, Case{"originShiftX", "-1000000000", "1e9.5"},
                          Case{"originShiftY", "999999999", "1000000001"},
                          Case{"drawColour", "16777215", "16777216"},
                          Case{"backColour", "0", "-1"}}) {
        ConversionSettings s;
        EXPECT_EQ(SetSettingsFieldChecked(s, c.name, c.good), SetFieldResult::Set) << c.name;
        const ConversionSettings before = s;
        const SetFieldResult bad = SetSettingsFieldChecked(s, c.name, c.bad);
        EXPECT_NE(bad, SetFieldResult::Set) << c.name << "=" << c.bad;
        EXPECT_FALSE(SetSettingsField(s, c.name, c.bad)) << c.name << "=" << c.bad;
        EXPECT_EQ(s.drawColour, before.drawColour);
        EXPECT_EQ(s.originShiftY, before.originShiftY);
    }
    ConversionSettings s;
    EXPECT_EQ(SetSettingsFieldChecked(s, "lineBreak", "5"), SetFieldResult::OutOfRange);
    EXPECT_EQ(SetSettingsFieldChecked(s, "lineBreak", "x"), SetFieldResult::BadValue);
    EXPECT_EQ(SetSettingsFieldChecked(s, "drawColour", "red"), SetFieldResult::BadValue);
    EXPECT_EQ(SetSettingsFieldChecked(s, "noSuchField", "1"), SetFieldResult::UnknownField);
    EXPECT_EQ(s.lineBreak, 0);
}

TEST(SettingsRanges, FormatCodesFollowTheFormatTable) {
    // Every code of the table is taken (with its unit), the next one is not.
    const int count = static_cast<int>(kCoordinateFormats.size());
    for (int code = 1; code <= count; ++code) {
        ConversionSettings s;
        ASSERT_EQ(SetSettingsFieldChecked(s, "outputFormat", std::to_string(code)), SetFieldResult::Set);
        EXPECT_EQ(s.outputUnit, UnitForFormat(code));
    }
    ConversionSettings s;
    EXPECT_EQ(SetSettingsFieldChecked(s, "inputFormat", std::to_string(count + 1)),
              SetFieldResult::OutOfRange);
    EXPECT_EQ(SetSettingsFieldChecked(s, "outputFormat", "42"), SetFieldResult::OutOfRange);
    EXPECT_EQ(SetSettingsFieldChecked(s, "inputFormat", "0"), SetFieldResult::OutOfRange);
    EXPECT_EQ(s.inputFormat, 0);
    EXPECT_EQ(s.inputUnit, 0);
    EXPECT_EQ(FindSettingsField("outputFormat")->range->highest, count);
}

TEST(SettingsLineEnds, LfCrLfAndCrReadAlike) {
    const char* lines[26] = {"IN", "8", "1", "2", "1", "1", "2", "OUT", "1", "1", "1", "1", "1",
                             "1",  "4", "1", "2", "1", "VIEW", "1.5", "0", "0", "255", "0", "1", "0"};
    std::string crlf, lf, cr;
    for (const char* l : lines) {
        crlf += std::string(l) + "\r\n";
        lf += std::string(l) + "\n";
        cr += std::string(l) + "\r";
    }
    for (const std::string* text : {&crlf, &lf, &cr}) {
        ConversionSettings s;
        SettingsLines read;
        ASSERT_TRUE(ParseSettingsText(*text, s, read));
        EXPECT_EQ(s.inputFormat, 8);
        EXPECT_EQ(s.originShiftX, 1.5);
        EXPECT_EQ(s.drawColour, "255");
        EXPECT_EQ(s.dxfLineWidth, 1);
        EXPECT_EQ(read[18], "VIEW");
        // Written back with CR LF, whatever was read, with line 27
        // (outputParameters, not set) added.
        EXPECT_EQ(FormatSettingsText(s, read), crlf + "0\r\n");
    }
}

}  // namespace
}  // namespace mutaplot
