#pragma once
// Code page 932 (Shift-JIS) <-> UTF-8, through iconv. The settings file,
// .apt files and CAD reports are CP932; the rest of the program works in
// UTF-8 (UI texts) or raw bytes (data blocks).

#include <optional>
#include <string>
#include <string_view>

namespace mutaplot {

// Strict decoding: no value when the bytes are not valid CP932.
std::optional<std::string> Cp932ToUtf8(std::string_view bytes);

// Lenient decoding for display: invalid bytes become U+FFFD, never fails.
std::string Cp932ToUtf8Lenient(std::string_view bytes);

// Strict encoding: no value when a character has no CP932 form.
std::optional<std::string> Utf8ToCp932(std::string_view text);

}  // namespace mutaplot
