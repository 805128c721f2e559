#include "settings/ConversionSettings.h"

namespace mutaplot {

const std::array<CoordinateFormat, 11> kCoordinateFormats{{
    {1, "mm(4.3)", Unit::Millimetre, 4, 3},
    {2, "mm(4.4)", Unit::Millimetre, 4, 4},
    {3, "mm(4.5)", Unit::Millimetre, 4, 5},
    {4, "mm(5.3)", Unit::Millimetre, 5, 3},
    {5, "mm(5.4)", Unit::Millimetre, 5, 4},
    {6, "mm(5.5)", Unit::Millimetre, 5, 5},
    {7, "inch(2.3)", Unit::Inch, 2, 3},
    {8, "inch(2.4)", Unit::Inch, 2, 4},
    {9, "inch(2.5)", Unit::Inch, 2, 5},
    {10, "mm(4.6)", Unit::Millimetre, 4, 6},
    {11, "inch(2.6)", Unit::Inch, 2, 6},
}};

const CoordinateFormat* FindCoordinateFormat(int code) noexcept {
    if (code < 1 || code > static_cast<int>(kCoordinateFormats.size())) return nullptr;
    return &kCoordinateFormats[static_cast<std::size_t>(code - 1)];
}

std::uint8_t UnitForFormat(int code) noexcept {
    const CoordinateFormat* f = FindCoordinateFormat(code);
    return f ? static_cast<std::uint8_t>(f->unit) : 0;
}

}  // namespace mutaplot
