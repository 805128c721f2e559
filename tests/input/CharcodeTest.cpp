#include "input/Charcode.h"

#include <gtest/gtest.h>

#include <set>

namespace mutaplot {
namespace {

TEST(Charcode, SourceConstantsHaveTheFixedLayout) {
    ASSERT_EQ(kEbcdicToAsciiSource.size(), 767u);
    ASSERT_EQ(kAsciiToEbcdicSource.size(), 767u);
    for (std::size_t i = 0; i < 255; ++i) {
        EXPECT_EQ(kEbcdicToAsciiSource[3 * i + 2], ',') << i;
        // The one "." sits between entries 0x20 and 0x21: "40.4F".
        EXPECT_EQ(kAsciiToEbcdicSource[3 * i + 2], i == 0x20 ? '.' : ',') << i;
    }
    EXPECT_EQ(kAsciiToEbcdicSource.substr(3 * 0x20, 5), "40.4F");
}

TEST(Charcode, LookupsOfTheWorkedExamples) {
    EXPECT_EQ(EbcdicToAsciiHex("C1"), "41");  // A
    EXPECT_EQ(EbcdicToAsciiHex("5C"), "2A");  // *
    EXPECT_EQ(EbcdicToAsciiHex("25"), "0A");  // LF
    EXPECT_EQ(EbcdicToAsciiHex("0"), "00");
    EXPECT_EQ(EbcdicToAsciiHex("c1"), "41");
    EXPECT_EQ(EbcdicToAsciiHex("00C1"), "41");
    // The "." separator does not shift entries 0x20 and 0x21.
    EXPECT_EQ(AsciiToEbcdicHex("21"), "4F");
    EXPECT_EQ(AsciiToEbcdicHex("20"), "40");
    EXPECT_EQ(AsciiToEbcdicHex("22"), "7F");
}

TEST(Charcode, LookupsFailOutsideTheByteRange) {
    for (std::string_view bad : {"", "100", "FFFF", "G1", "-1", " 1", "1 ", "&HC1", "123456789"}) {
        EXPECT_EQ(EbcdicToAsciiHex(bad), "") << bad;
        EXPECT_EQ(AsciiToEbcdicHex(bad), "") << bad;
    }
    EXPECT_EQ(AsciiToEbcdicHex("FF"), "FF");
}

TEST(Charcode, PhotoplotterCharactersTranslate) {
    const ByteTable toEbcdic = BuildAsciiToEbcdic();
    const ByteTable toAscii = BuildEbcdicToAscii();
    auto expectPair = [&](unsigned char ascii, std::uint8_t ebcdic) {
        EXPECT_EQ(toEbcdic[ascii], ebcdic) << "ascii " << int(ascii);
        EXPECT_EQ(toAscii[ebcdic], ascii) << "ebcdic " << int(ebcdic);
    };
    for (int d = 0; d < 10; ++d) expectPair(static_cast<unsigned char>('0' + d), 0xF0 + d);
    for (int k = 0; k < 9; ++k) expectPair(static_cast<unsigned char>('A' + k), 0xC1 + k);
    for (int k = 0; k < 9; ++k) expectPair(static_cast<unsigned char>('J' + k), 0xD1 + k);
    for (int k = 0; k < 8; ++k) expectPair(static_cast<unsigned char>('S' + k), 0xE2 + k);
    expectPair(' ', 0x40);
    expectPair('.', 0x4B);
    expectPair('+', 0x4E);
    expectPair('-', 0x60);
    expectPair('*', 0x5C);
    expectPair('%', 0x6C);
    expectPair(',', 0x6B);
    expectPair('\r', 0x0D);
    expectPair('\n', 0x25);
    expectPair('!', 0x4F);
    expectPair('[', 0x4A);
    expectPair(']', 0x5A);
    expectPair('|', 0x6A);
    expectPair('^', 0x5F);
    expectPair('\\', 0xE0);
    expectPair('{', 0xC0);
    expectPair('}', 0xD0);
    expectPair('~', 0xA1);
}

TEST(Charcode, TableRowsAsPublished) {
    const ByteTable toAscii = BuildEbcdicToAscii();
    const std::uint8_t row0[16] = {0x00, 0x01, 0x02, 0x03, 0x9C, 0x09, 0x86, 0x7F,
                                   0x97, 0x8D, 0x8E, 0x0B, 0x0C, 0x0D, 0x0E, 0x0F};
    const std::uint8_t rowB[16] = {0xD8, 0xD9, 0xDA, 0xDB, 0xDC, 0xDD, 0xDE, 0xDF,
                                   0xE0, 0xE1, 0xE2, 0xE3, 0xE4, 0xE5, 0xE6, 0xE7};
    const std::uint8_t rowE[16] = {0x5C, 0x9F, 0x53, 0x54, 0x55, 0x56, 0x57, 0x58,
                                   0x59, 0x5A, 0xF4, 0xF5, 0xF6, 0xF7, 0xF8, 0xF9};
    for (int lo = 0; lo < 16; ++lo) {
        EXPECT_EQ(toAscii[0x00 + lo], row0[lo]) << lo;
        EXPECT_EQ(toAscii[0xB0 + lo], rowB[lo]) << lo;
        EXPECT_EQ(toAscii[0xE0 + lo], rowE[lo]) << lo;
    }
}

TEST(Charcode, TablesArePermutationsAndInverses) {
    const ByteTable toAscii = BuildEbcdicToAscii();
    const ByteTable toEbcdic = BuildAsciiToEbcdic();
    std::set<int> seenAscii(toAscii.begin(), toAscii.end());
    std::set<int> seenEbcdic(toEbcdic.begin(), toEbcdic.end());
    EXPECT_EQ(seenAscii.size(), 256u);
    EXPECT_EQ(seenEbcdic.size(), 256u);
    for (int c = 0; c < 256; ++c) {
        EXPECT_EQ(toEbcdic[toAscii[c]], c) << c;
        EXPECT_EQ(toAscii[toEbcdic[c]], c) << c;
    }
    // The hex-text chain gives the same values for every byte.
    static constexpr char hex[] = "0123456789ABCDEF";
    for (int c = 0; c < 256; ++c) {
        std::string text = c < 16 ? std::string(1, hex[c]) : std::string{hex[c >> 4], hex[c & 15]};
        const std::string back = AsciiToEbcdicHex(EbcdicToAsciiHex(text));
        EXPECT_EQ(back, (std::string{hex[c >> 4], hex[c & 15]})) << c;
    }
}

}  // namespace
}  // namespace mutaplot
