#include "gerber/GraphicsState.h"

#include <array>
#include <charconv>
#include <cmath>

namespace mutaplot::gerber {

void GraphicsState::UpdateTransform() noexcept {
    ImageTransform t;
    // Swap, scale and mirror act on the axes; the offsets move the image.
    double a = scaleA, b = 0, c = 0, d = scaleB;
    if (axesSwapped) {  // A reads the file's Y, B its X
        a = 0;
        b = scaleA;
        c = scaleB;
        d = 0;
    }
    if (mirrorA) {
        a = -a;
        b = -b;
    }
    if (mirrorB) {
        c = -c;
        d = -d;
    }
    const double e = offsetA + imageOffsetA, f = offsetB + imageOffsetB;
    const int quarter = ((rotation / 90) % 4 + 4) % 4;
    // Turning by the image rotation: (x, y) → (−y, x) per quarter turn.
    t = {a, b, c, d, e, f};
    for (int k = 0; k < quarter; ++k) t = {-t.c, -t.d, t.a, t.b, -t.f, t.e};
    transform = t;
}

PowersOfTenTable MakePowersOfTen() {
    PowersOfTenTable table{};
    for (int k = -kTabledPowers; k <= kTabledPowers; ++k) table[static_cast<std::size_t>(k + kTabledPowers)] = std::pow(10.0, k);
    return table;
}

std::optional<double> DecodeCoordinate(std::string_view text, ZeroOmission zeros, int integerDigits,
                                       int decimals) noexcept {
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    if (text.empty()) return std::nullopt;
    double digits = 0;
    int count = 0;
    std::size_t end = 0;
    for (; end < text.size() && text[end] >= '0' && text[end] <= '9'; ++end) {
        digits = digits * 10 + (text[end] - '0');
        ++count;
    }
    // A point anywhere makes the text a number read as it stands.
    if (end < text.size() && text.find('.', end) != std::string_view::npos) {
        double v = 0;
        const auto r = std::from_chars(text.data(), text.data() + text.size(), v);
        if (r.ec != std::errc()) return std::nullopt;
        return negative ? -v : v;
    }
    if (count == 0) return std::nullopt;
    const double v = ShiftedDigits(digits, count, zeros, integerDigits, decimals);
    return negative ? -v : v;
}

}  // namespace mutaplot::gerber
