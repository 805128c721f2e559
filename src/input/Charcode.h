#pragma once
// Module_charcode: the EBCDIC <-> ASCII translation tables used by the block
// reader (EBCDIC input) and the output writer (EBCDIC output), and the two
// hexadecimal-text lookups over them.
//
// Each table is defined by a 767-character text constant: 256 two-digit
// upper-case hex numbers separated by single characters. Entry i sits at
// 0-based positions 3i and 3i + 1; the separators are never examined, which is
// why the "40.4F" in the ASCII -> EBCDIC constant (a "." where a "," belongs)
// shifts nothing.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace mutaplot {

using ByteTable = std::array<std::uint8_t, 256>;

// The tables' source texts (exposed so that tests can check their form).
extern const std::string_view kEbcdicToAsciiSource;
extern const std::string_view kAsciiToEbcdicSource;

// ebcdicToAscii: index = EBCDIC byte, entry = the single-byte code it stands for.
ByteTable BuildEbcdicToAscii();

// asciiToEbcdic: index = single-byte code, entry = the EBCDIC byte written for it.
// The exact inverse of BuildEbcdicToAscii().
ByteTable BuildAsciiToEbcdic();

// Lookups over hexadecimal text: the argument is a byte value in hex (one or
// two digits as a byte is turned into hex text, e.g. "5" or "C1"; lower case
// and leading zeros are accepted). The result is the table entry as two-digit
// upper-case hex ("41"), or "" when the text is not a hex value from 0 to 255.
std::string EbcdicToAsciiHex(std::string_view codeText);
std::string AsciiToEbcdicHex(std::string_view codeText);

}  // namespace mutaplot
