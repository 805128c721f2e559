// Word extraction, input decoding, conversion and output digits of the
// converter. Expected values are worked out by hand from the format table:
// N (total digits) 7 8 9 8 9 10 5 6 7 and d (decimals) 3 4 5 3 4 5 3 4 5.

#include "convert/CoordinateWords.h"

#include <gtest/gtest.h>

#include <string>

namespace mutaplot {
namespace {

ConversionSettings Settings(int inFormat, int inZero, int outFormat, int outZero) {
    ConversionSettings s;
    s.inputFormat = static_cast<std::uint8_t>(inFormat);
    s.inputZeroMode = static_cast<std::uint8_t>(inZero);
    s.inputUnit = UnitForFormat(inFormat);
    s.outputFormat = static_cast<std::uint8_t>(outFormat);
    s.outputZeroMode = static_cast<std::uint8_t>(outZero);
    s.outputUnit = UnitForFormat(outFormat);
    s.omitSameCoordinates = 2;
    return s;
}

// The X word a number text gives under the settings ("" when undecodable).
std::string XWord(std::string_view text, const ConversionSettings& s) {
    auto v = ConvertCoordinate(text, Axis::X, s);
    if (!v) return "";
    std::string out = "X";
    if (*v < 0) out += '-';
    AppendOutputDigits(out, *v < 0 ? -*v : *v, s);
    return out;
}

TEST(WordExtraction, LinearBlocksFollowTheLetterOrder) {
    auto w = ExtractLinearWords("X1000Y-2000D01");
    ASSERT_TRUE(w);
    EXPECT_TRUE(w->hasX && w->hasY);
    EXPECT_EQ(w->x, "1000");
    EXPECT_EQ(w->y, "-2000");
    EXPECT_EQ(w->dPart, "D01");

    w = ExtractLinearWords("X3000D01");
    ASSERT_TRUE(w);
    EXPECT_TRUE(w->hasX);
    EXPECT_FALSE(w->hasY);
    EXPECT_EQ(w->x, "3000");

    // A Y block: the Y word runs up to the D part, which holds the rest.
    w = ExtractLinearWords("Y5000D03X7");
    ASSERT_TRUE(w);
    EXPECT_FALSE(w->hasX);
    EXPECT_EQ(w->y, "5000");
    EXPECT_EQ(w->dPart, "D03X7");

    w = ExtractLinearWords("G01Y-5D02");
    ASSERT_TRUE(w);
    EXPECT_FALSE(w->hasX);
    EXPECT_EQ(w->y, "-5");

    w = ExtractLinearWords("G01D01");
    ASSERT_TRUE(w);
    EXPECT_FALSE(w->hasX || w->hasY);
    EXPECT_EQ(w->dPart, "D01");
}

TEST(WordExtraction, ArcBlocksTakeXYIJInOrder) {
    auto w = ExtractArcWords("G03X5000Y7000I0J-2000D01");
    ASSERT_TRUE(w);
    EXPECT_EQ(w->x, "5000");
    EXPECT_EQ(w->y, "7000");
    EXPECT_EQ(w->i, "0");
    EXPECT_EQ(w->j, "-2000");
    EXPECT_EQ(w->dPart, "D01");

    w = ExtractArcWords("X10J5D01");  // X runs up to J when there is neither Y nor I
    ASSERT_TRUE(w);
    EXPECT_EQ(w->x, "10");
    EXPECT_FALSE(w->hasY || w->hasI);
    EXPECT_EQ(w->j, "5");

    w = ExtractArcWords("G02Y7I-3D01");
    ASSERT_TRUE(w);
    EXPECT_FALSE(w->hasX || w->hasJ);
    EXPECT_EQ(w->y, "7");
    EXPECT_EQ(w->i, "-3");
}

TEST(WordExtraction, MalformedBlocksAreNotDecoded) {
    for (const char* block : {"X+100D01", "X1.5D01", "X100Z5Y100D01", "XD01", "X100YD01",
                              "X100D01Y100", "X-D01", "X--5D01", "X 100D01",
                              "G01D01X5", "X100", "X1X2D01", "Y1X2Y3D01", "X1I5D01"})
        EXPECT_FALSE(ExtractLinearWords(block)) << block;
    for (const char* block : {"G02X100Y100D01", "G03X1Y1D01I5", "G03X1Y1I5D01J5", "G03I1X1I2D01",
                              "G02X1Y+1I0J0D01", "G02X1Y1I0.5J0D01", "G02X1Y1IJ0D01",
                              "G03X1Y1I0J0"})
        EXPECT_FALSE(ExtractArcWords(block)) << block;
}

// Blocks whose words do not read in the order X, Y, I, J are read as words
// in any order; those that do read in order keep their reading.
TEST(WordExtraction, WordsInAnyOrder) {
    auto w = ExtractLinearWords("Y6200X-9000D03");
    ASSERT_TRUE(w);
    EXPECT_TRUE(w->hasX && w->hasY);
    EXPECT_EQ(w->x, "-9000");
    EXPECT_EQ(w->y, "6200");
    EXPECT_EQ(w->dPart, "D03");

    w = ExtractLinearWords("G01Y5X7D01");
    ASSERT_TRUE(w);
    EXPECT_EQ(w->x, "7");
    EXPECT_EQ(w->y, "5");

    w = ExtractArcWords("G03I150J0X3550Y1701D01");
    ASSERT_TRUE(w);
    EXPECT_TRUE(w->hasX && w->hasY && w->hasI && w->hasJ);
    EXPECT_EQ(w->x, "3550");
    EXPECT_EQ(w->y, "1701");
    EXPECT_EQ(w->i, "150");
    EXPECT_EQ(w->j, "0");
    EXPECT_EQ(w->dPart, "D01");

    w = ExtractArcWords("J-90Y1435I0D01");
    ASSERT_TRUE(w);
    EXPECT_FALSE(w->hasX);
    EXPECT_EQ(w->y, "1435");
    EXPECT_EQ(w->i, "0");
    EXPECT_EQ(w->j, "-90");

    // Read in order as before: the X after the D part stays in it.
    w = ExtractLinearWords("Y5000D03X7");
    ASSERT_TRUE(w);
    EXPECT_FALSE(w->hasX);
    EXPECT_EQ(w->dPart, "D03X7");
}

TEST(WordExtraction, LongBlocksDecodeBeyondThe255thCharacter) {
    const std::string digits(300, '1');
    // The words are views into the block, so the block must outlive them.
    const std::string block = "X" + digits + "Y2D01";
    auto w = ExtractLinearWords(block);
    ASSERT_TRUE(w);
    EXPECT_EQ(w->x.size(), 300u);
    EXPECT_EQ(w->y, "2");
}

// Every input format in every input zero mode, read into a wider output
// format of the same unit (mm(5.5) or inch(2.5)), so no digit is lost: the
// output counts are the input counts × 10^(5 − d_in).
struct DecodeCase {
    int format;
    int zeroMode;
    const char* expected;  // X word for the text "12"; the text "-12" gives X-…
};

TEST(InputDecoding, NineFormatsTimesThreeZeroModes) {
    const DecodeCase cases[] = {
        // mm(4.3), N 7: "12" trailing-restored is 1200000 = 1200.000 mm
        {1, 1, "X1200"}, {1, 2, "X120000000"}, {1, 3, "X1200"},
        {2, 1, "X120"}, {2, 2, "X120000000"}, {2, 3, "X120"},   // 12000000 = 1200.0000
        {3, 1, "X12"}, {3, 2, "X120000000"}, {3, 3, "X12"},     // 120000000 = 1200.00000
        {4, 1, "X1200"}, {4, 2, "X1200000000"}, {4, 3, "X1200"},  // 12000000 = 12000.000
        {5, 1, "X120"}, {5, 2, "X1200000000"}, {5, 3, "X120"},
        {6, 1, "X12"}, {6, 2, "X1200000000"}, {6, 3, "X12"},
        // inch(2.3), N 5: 12000 = 12.000 inch -> 1200000 at d 5
        {7, 1, "X1200"}, {7, 2, "X1200000"}, {7, 3, "X1200"},
        {8, 1, "X120"}, {8, 2, "X1200000"}, {8, 3, "X120"},
        {9, 1, "X12"}, {9, 2, "X1200000"}, {9, 3, "X12"},
    };
    for (const auto& c : cases) {
        const int outFormat = c.format <= 6 ? 6 : 9;
        const auto s = Settings(c.format, c.zeroMode, outFormat, 1);
        EXPECT_EQ(XWord("12", s), c.expected) << c.format << "/" << c.zeroMode;
        std::string negative = c.expected;
        negative.insert(1, "-");
        EXPECT_EQ(XWord("-12", s), negative) << c.format << "/" << c.zeroMode;
        // I and J: sign held apart, same magnitude, no origin shift.
        auto shifted = s;
        shifted.originShiftX = 1.0;
        auto offset = ConvertOffset("-12", shifted);
        ASSERT_TRUE(offset);
        EXPECT_TRUE(offset->negative);
        std::string digits;
        AppendOutputDigits(digits, offset->magnitude, s);
        EXPECT_EQ("X-" + digits, negative) << c.format << "/" << c.zeroMode;
    }
}

TEST(InputDecoding, TrailingZeroRestorationCountsCharacters) {
    // mm(4.3) trailing omitted into mm(5.5).
    const auto s = Settings(1, 2, 6, 1);
    EXPECT_EQ(XWord("1234567", s), "X123456700");   // already 7 digits: 1234.567 mm
    EXPECT_EQ(XWord("12345678", s), "X1234567800");  // longer: nothing appended
    EXPECT_EQ(XWord("0012", s), "X1200000");         // 0012000 = 12.000 mm
    EXPECT_EQ(XWord("-0012", s), "X-1200000");
    EXPECT_EQ(XWord("", s), "X0");                   // an empty text counts as 0
    EXPECT_EQ(XWord("-0", s), "X0");                 // a rounded zero has no sign
}

TEST(Conversion, UnitsShiftAndDigitsOfTheWorkedCases) {
    // inch(2.4) leading omitted -> mm(4.3).
    auto s = Settings(8, 1, 1, 1);
    EXPECT_EQ(XWord("1000", s), "X2540");
    EXPECT_EQ(XWord("-1000", s), "X-2540");
    EXPECT_EQ(XWord("0", s), "X0");
    s.outputZeroMode = 3;
    EXPECT_EQ(XWord("1000", s), "X0002540");
    EXPECT_EQ(XWord("0", s), "X0000000");  // zero is padded like any value
    s.outputZeroMode = 2;
    EXPECT_EQ(XWord("1000", s), "X000254");
    EXPECT_EQ(XWord("0", s), "X0");
    s.outputZeroMode = 1;
    s.originShiftX = 1.5;
    EXPECT_EQ(XWord("1000", s), "X4040");  // 2.54 + 1.5 mm
    // The Y shift applies to Y only.
    auto y = ConvertCoordinate("1000", Axis::Y, s);
    ASSERT_TRUE(y);
    EXPECT_EQ(*y, 2540.0);

    // mm(4.3) leading -> inch(2.4): 25.4 mm is 1 inch.
    EXPECT_EQ(XWord("25400", Settings(1, 1, 8, 1)), "X10000");
    // inch(2.5) -> mm(4.3): 0.00005 inch = 0.00127 mm, 1.27 counts.
    EXPECT_EQ(XWord("5", Settings(9, 1, 1, 1)), "X1");
    // mm(5.5) -> inch(2.3): 50.8 mm = 2 inch.
    EXPECT_EQ(XWord("5080000", Settings(6, 1, 7, 1)), "X2000");
}

TEST(Conversion, HalfwayValuesRoundUpAlsoWhenNegative) {
    // 0.0625 mm is exact in binary and 62.5 counts in mm(4.3).
    auto s = Settings(1, 1, 1, 1);
    s.originShiftX = 0.0625;
    EXPECT_EQ(XWord("0", s), "X63");        // 62.5 -> 63
    EXPECT_EQ(XWord("1000", s), "X1063");   // 1062.5 -> 1063
    EXPECT_EQ(XWord("-1000", s), "X-937");  // -937.5 -> -937
    EXPECT_EQ(XWord("-1125", s), "X-1062"); // -1062.5 -> -1062
    s.originShiftX = -0.0625;
    EXPECT_EQ(XWord("0", s), "X-62");       // -62.5 -> -62
    EXPECT_EQ(XWord("2000", s), "X1938");   // 1937.5 -> 1938
    // A rounded negative value that reaches zero has no sign.
    s.originShiftX = 0.0;
    EXPECT_EQ(XWord("-1", Settings(9, 1, 7, 1)), "X0");  // -0.00001 inch -> -0.01 counts
}

TEST(OutputDigits, ZeroModesAndOverflow) {
    struct Case {
        int format;
        double value;
        const char* leading;
        const char* trailing;
        const char* none;
        bool overflow;
    };
    const Case cases[] = {
        {1, 2540, "2540", "000254", "0002540", false},
        {1, 0, "0", "0", "0000000", false},
        {1, 10, "10", "000001", "0000010", false},
        {1, 1200000, "1200000", "12", "1200000", false},
        {1, 9999999, "9999999", "9999999", "9999999", false},
        // More than N digits: written in full in every mode.
        {1, 10000000, "10000000", "10000000", "10000000", true},
        {1, 12340000, "12340000", "12340000", "12340000", true},
        {7, 100000, "100000", "100000", "100000", true},  // 100.000 inch in inch(2.3)
        {7, 99999, "99999", "99999", "99999", false},
        {6, 1, "1", "0000000001", "0000000001", false},
        {6, 1e19, "10000000000000000000", "10000000000000000000", "10000000000000000000", true},
    };
    for (const auto& c : cases) {
        for (int mode = 1; mode <= 3; ++mode) {
            const auto s = Settings(1, 1, c.format, mode);
            std::string out;
            const bool overflow = AppendOutputDigits(out, c.value, s);
            const char* expected = mode == 1 ? c.leading : mode == 2 ? c.trailing : c.none;
            EXPECT_EQ(out, expected) << c.format << " " << c.value << " mode " << mode;
            EXPECT_EQ(overflow, c.overflow) << c.format << " " << c.value;
        }
    }
}

TEST(WordAssembly, OmissionFollowsTheChangedAxes) {
    auto s = Settings(1, 1, 1, 1);
    s.omitSameCoordinates = 1;
    ConverterState st;
    std::string out;
    FormatLinearXY(100, 200, s, st, out);  // both changed
    EXPECT_EQ(out, "X100Y200");
    out.clear();
    FormatLinearXY(300, 200, s, st, out);  // only X
    EXPECT_EQ(out, "X300");
    out.clear();
    FormatLinearXY(300, 200, s, st, out);  // nothing changed: as the block before
    EXPECT_EQ(out, "X300");
    out.clear();
    FormatLinearXY(300, -5, s, st, out);  // only Y
    EXPECT_EQ(out, "Y-5");
    EXPECT_EQ(st.changedAxes, 2);
    out.clear();
    // An arc moves the position without touching changedAxes.
    FormatArcXY(300, 7, s, st, out);
    EXPECT_EQ(out, "X300Y7");
    EXPECT_EQ(st.changedAxes, 2);
    EXPECT_EQ(st.lastY, 7.0);
    out.clear();
    FormatArcIJ(ConvertedOffset{true, 0}, std::nullopt, s, st, out);
    EXPECT_EQ(out, "I-0");
    out.clear();
    FormatArcIJ(std::nullopt, ConvertedOffset{false, 12}, s, st, out);
    EXPECT_EQ(out, "J12");
    EXPECT_FALSE(st.overflowX || st.overflowY);

    // Overflow flags by axis: I sets X's, J sets Y's.
    out.clear();
    FormatArcIJ(std::nullopt, ConvertedOffset{false, 1e7}, s, st, out);
    EXPECT_FALSE(st.overflowX);
    EXPECT_TRUE(st.overflowY);
    out.clear();
    FormatLinearXY(-1e8, 0, s, st, out);
    EXPECT_EQ(out, "X-100000000Y0");
    EXPECT_TRUE(st.overflowX);
}

TEST(Conversion, UnsetFormatsAndHugeNumbersAreNotDecoded) {
    EXPECT_FALSE(ConvertCoordinate("100", Axis::X, Settings(0, 1, 1, 1)));
    EXPECT_FALSE(ConvertCoordinate("100", Axis::X, Settings(1, 1, 12, 1)));  // no format 12
    EXPECT_FALSE(ConvertOffset("100", Settings(0, 1, 1, 1)));
    EXPECT_FALSE(ConvertCoordinate(std::string(400, '9'), Axis::X, Settings(1, 1, 1, 1)));
    // 25 digits still convert (to the nearest double).
    auto v = ConvertCoordinate("1" + std::string(24, '0'), Axis::X, Settings(1, 1, 1, 1));
    ASSERT_TRUE(v);
    EXPECT_EQ(*v, 1e24);
}

}  // namespace
}  // namespace mutaplot
