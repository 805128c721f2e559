#pragma once
// The aperture table: what every D code from D10 to D500 looks like. Entry r
// (0-based index r − 1 here) describes D code r + 9. All five fields are held
// as text (UTF-8 in memory, CP932 in .apt files); readers convert.

#include "platform/Dialogs.h"
#include "platform/Pointer.h"

#include <array>
#include <filesystem>
#include <string>
#include <string_view>
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

// The shape number of a shape text (compared exactly), or -1 for any other
// text (the reader then keeps the shape of the previous aperture).
int ShapeNumberOf(std::string_view shape) noexcept;

// Column titles set by a load from a chosen file or a reset ...
inline constexpr std::array<const char*, 5> kAptFileColumnTitles = {
    "Dｺｰﾄﾞ", "ｻｲｽﾞX(mm)", "ｻｲｽﾞY(mm)", "ｻｲｽﾞCW", "形状"};
// ... and by the first load of the default list when the table is created.
inline constexpr std::array<const char*, 5> kDefaultColumnTitles = {
    "Dｺｰﾄﾞ", "ｻｲｽﾞXmm", "ｻｲｽﾞYmm", "TH接続幅", "形状"};

inline constexpr int kApertureFieldCount = 5;

// Field f (1 = label … 5 = shape) of an entry. f outside 1..5 is a
// programming error; it is clamped to the nearest field.
std::string& ApertureField(ApertureEntry& entry, int field) noexcept;
const std::string& ApertureField(const ApertureEntry& entry, int field) noexcept;

// The table as a grid shows it: one title row, then one row per entry;
// field f of entry r is the cell (row r, column f - 1). Cells outside the
// grid give an empty text.
inline int ApertureGridRowCount(const ApertureTable& table) noexcept {
    return static_cast<int>(table.entries.size()) + 1;
}
inline constexpr int kApertureGridColumnCount = kApertureFieldCount;
const std::string& ApertureCellText(const ApertureTable& table, int row, int column) noexcept;

// Sets the column titles from one of the two title sets above.
void SetColumnTitles(ApertureTable& table, const std::array<const char*, 5>& titles);

}  // namespace mutaplot
