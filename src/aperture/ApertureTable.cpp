#include "aperture/ApertureTable.h"

#include <algorithm>

namespace mutaplot {

int ShapeNumberOf(std::string_view shape) noexcept {
    if (shape == kShapeRound) return 0;
    if (shape == kShapeRectangle) return 1;
    if (shape == kShapeThermalAxes) return 2;
    if (shape == kShapeThermalDiagonal) return 3;
    return -1;
}

std::string& ApertureField(ApertureEntry& entry, int field) noexcept {
    switch (std::clamp(field, 1, kApertureFieldCount)) {
        case 1: return entry.label;
        case 2: return entry.sizeX;
        case 3: return entry.sizeY;
        case 4: return entry.connectWidth;
        default: return entry.shape;
    }
}

const std::string& ApertureField(const ApertureEntry& entry, int field) noexcept {
    return ApertureField(const_cast<ApertureEntry&>(entry), field);
}

const std::string& ApertureCellText(const ApertureTable& table, int row, int column) noexcept {
    static const std::string empty;
    if (column < 0 || column >= kApertureGridColumnCount || row < 0) return empty;
    if (row == 0) return table.columnTitles[static_cast<std::size_t>(column)];
    const auto index = static_cast<std::size_t>(row - 1);
    if (index >= table.entries.size()) return empty;
    return ApertureField(table.entries[index], column + 1);
}

void SetColumnTitles(ApertureTable& table, const std::array<const char*, 5>& titles) {
    for (std::size_t i = 0; i < titles.size(); ++i) table.columnTitles[i] = titles[i];
}

}  // namespace mutaplot
