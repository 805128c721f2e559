#pragma once
// Inputs shared by the tests that run the viewer's walks end to end: a
// settings file for millimetre data, and shell quoting for the command line.

#include <string>

namespace mutaplot::testing {

// A mutapl.ini for mm(4.3) input, leading zeros omitted, CR / CR LF, ASCII;
// output mm(4.4); bottom-left origin, black on white; DXF line width off,
// AC1003 form.
inline std::string MmSettingsText() {
    const char* lines[26] = {"IN", "1", "1", "1", "1", "1", "1", "OUT", "1", "1", "1", "1", "1",
                             "1",  "4", "1", "1", "1", "VIEW", "0", "0", "0", "0", "16777215",
                             "0",  "0"};
    std::string out;
    for (const char* l : lines) out += std::string(l) + "\r\n";
    return out;
}

// A path or argument in single quotes for std::system.
inline std::string Quote(const std::string& s) { return "'" + s + "'"; }

}  // namespace mutaplot::testing
