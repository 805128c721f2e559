#pragma once
// The aperture table: what every D code from D10 to D500 looks like. Entry r
// (0-based index r − 1 here) describes D code r + 9. All five fields are held
// as text (UTF-8 in memory, CP932 in .apt files); readers convert.

#include "platform/Dialogs.h"
#include "platform/Pointer.h"

#include <array>
#include <filesystem>
#include <string>
#include <vector>

namespace mutaplot {

inline constexpr int kFirstDCode = 10;
inline constexpr int kLastDCode = 500;
inline constexpr std::size_t kApertureCount = 491;  // D10 … D500

struct ApertureEntry {
    std::string label;         // "Dｺｰﾄﾞ": free text, e.g. "D10"
    std::string sizeX;         // diameter / width / thermal inner diameter (mm)
    std::string sizeY;         // height / thermal outer diameter
    std::string connectWidth;  // thermal spoke width, "0" otherwise
    std::string shape;         // "○", "□", "＋" or "×"
};

struct ApertureTable {
    std::vector<ApertureEntry> entries;
    std::array<std::string, 5> columnTitles;
    // False before the first load and after the editor discarded the table.
    bool loaded = false;

    // The entry of D code d, or nullptr when the table has none for it.
    const ApertureEntry* ForDCode(int d) const noexcept {
        if (d < kFirstDCode) return nullptr;
        const auto index = static_cast<std::size_t>(d - kFirstDCode);
        return index < entries.size() ? &entries[index] : nullptr;
    }
};

// Shape symbols and their numbers.
inline constexpr const char* kShapeRound = "○";      // 0
inline constexpr const char* kShapeRectangle = "□";  // 1
inline constexpr const char* kShapeThermalAxes = "＋";      // 2
inline constexpr const char* kShapeThermalDiagonal = "×";  // 3

}  // namespace mutaplot
