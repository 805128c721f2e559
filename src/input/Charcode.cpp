#include "input/Charcode.h"

#include <optional>

namespace mutaplot {

const std::string_view kEbcdicToAsciiSource =
    "00,01,02,03,9C,09,86,7F,97,8D,8E,0B,0C,0D,0E,0F,"
    "10,11,12,13,9D,85,08,87,18,19,92,8F,1C,1D,1E,1F,"
    "80,81,82,83,84,0A,17,1B,88,89,8A,8B,8C,05,06,07,"
    "90,91,16,93,94,95,96,04,98,99,9A,9B,14,15,9E,1A,"
    "20,A0,A1,A2,A3,A4,A5,A6,A7,A8,5B,2E,3C,28,2B,21,"
    "26,A9,AA,AB,AC,AD,AE,AF,B0,B1,5D,24,2A,29,3B,5E,"
    "2D,2F,B2,B3,B4,B5,B6,B7,B8,B9,7C,2C,25,5F,3E,3F,"
    "BA,BB,BC,BD,BE,BF,C0,C1,C2,60,3A,23,40,27,3D,22,"
    "C3,61,62,63,64,65,66,67,68,69,C4,C5,C6,C7,C8,C9,"
    "CA,6A,6B,6C,6D,6E,6F,70,71,72,CB,CC,CD,CE,CF,D0,"
    "D1,7E,73,74,75,76,77,78,79,7A,D2,D3,D4,D5,D6,D7,"
    "D8,D9,DA,DB,DC,DD,DE,DF,E0,E1,E2,E3,E4,E5,E6,E7,"
    "7B,41,42,43,44,45,46,47,48,49,E8,E9,EA,EB,EC,ED,"
    "7D,4A,4B,4C,4D,4E,4F,50,51,52,EE,EF,F0,F1,F2,F3,"
    "5C,9F,53,54,55,56,57,58,59,5A,F4,F5,F6,F7,F8,F9,"
    "30,31,32,33,34,35,36,37,38,39,FA,FB,FC,FD,FE,FF";

// Note the "40.4F" in the third row: entries 0x20 and 0x21 are separated by a
// "." in this constant. The fixed-position reading makes it harmless; keep it
// as it is so that the constant stays identical to the one in use.
const std::string_view kAsciiToEbcdicSource =
    "00,01,02,03,37,2D,2E,2F,16,05,25,0B,0C,0D,0E,0F,"
    "10,11,12,13,3C,3D,32,26,18,19,3F,27,1C,1D,1E,1F,"
    "40.4F,7F,7B,5B,6C,50,7D,4D,5D,5C,4E,6B,60,4B,61,"
    "F0,F1,F2,F3,F4,F5,F6,F7,F8,F9,7A,5E,4C,7E,6E,6F,"
    "7C,C1,C2,C3,C4,C5,C6,C7,C8,C9,D1,D2,D3,D4,D5,D6,"
    "D7,D8,D9,E2,E3,E4,E5,E6,E7,E8,E9,4A,E0,5A,5F,6D,"
    "79,81,82,83,84,85,86,87,88,89,91,92,93,94,95,96,"
    "97,98,99,A2,A3,A4,A5,A6,A7,A8,A9,C0,6A,D0,A1,07,"
    "20,21,22,23,24,15,06,17,28,29,2A,2B,2C,09,0A,1B,"
    "30,31,1A,33,34,35,36,08,38,39,3A,3B,04,14,3E,E1,"
    "41,42,43,44,45,46,47,48,49,51,52,53,54,55,56,57,"
    "58,59,62,63,64,65,66,67,68,69,70,71,72,73,74,75,"
    "76,77,78,80,8A,8B,8C,8D,8E,8F,90,9A,9B,9C,9D,9E,"
    "9F,A0,AA,AB,AC,AD,AE,AF,B0,B1,B2,B3,B4,B5,B6,B7,"
    "B8,B9,BA,BB,BC,BD,BE,BF,CA,CB,CC,CD,CE,CF,DA,DB,"
    "DC,DD,DE,DF,EA,EB,EC,ED,EE,EF,FA,FB,FC,FD,FE,FF";

namespace {

int HexDigitValue(char c) noexcept {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// Reads entry i of a source constant: the two characters at positions 3i and
// 3i + 1. The constants are fixed and well formed, so every digit is valid.
ByteTable BuildFromSource(std::string_view source) {
    ByteTable table{};
    for (std::size_t i = 0; i < table.size(); ++i) {
        const int hi = HexDigitValue(source[3 * i]);
        const int lo = HexDigitValue(source[3 * i + 1]);
        table[i] = static_cast<std::uint8_t>(hi * 16 + lo);
    }
    return table;
}

// A byte value written as hex text, as the platform's "&H" notation reads it
// (up to eight digits); values above 255 have no table entry.
std::optional<std::uint8_t> ParseHexByte(std::string_view text) noexcept {
    if (text.empty() || text.size() > 8) return std::nullopt;
    unsigned value = 0;
    for (char c : text) {
        const int d = HexDigitValue(c);
        if (d < 0) return std::nullopt;
        value = value * 16 + static_cast<unsigned>(d);
    }
    if (value > 255) return std::nullopt;
    return static_cast<std::uint8_t>(value);
}

std::string ToHexText(std::uint8_t value) {
    static constexpr char digits[] = "0123456789ABCDEF";
    return std::string{digits[value >> 4], digits[value & 0x0F]};
}

// The tables never change: build each once and hand out copies.
const ByteTable& EbcdicToAsciiTable() {
    static const ByteTable table = BuildFromSource(kEbcdicToAsciiSource);
    return table;
}

const ByteTable& AsciiToEbcdicTable() {
    static const ByteTable table = BuildFromSource(kAsciiToEbcdicSource);
    return table;
}

}  // namespace

ByteTable BuildEbcdicToAscii() { return EbcdicToAsciiTable(); }

ByteTable BuildAsciiToEbcdic() { return AsciiToEbcdicTable(); }

std::string EbcdicToAsciiHex(std::string_view codeText) {
    auto code = ParseHexByte(codeText);
    if (!code) return {};
    return ToHexText(EbcdicToAsciiTable()[*code]);
}

std::string AsciiToEbcdicHex(std::string_view codeText) {
    auto code = ParseHexByte(codeText);
    if (!code) return {};
    return ToHexText(AsciiToEbcdicTable()[*code]);
}

}  // namespace mutaplot
