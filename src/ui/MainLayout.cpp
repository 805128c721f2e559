#include "ui/MainLayout.h"

#include <algorithm>

namespace mutaplot {

namespace {

constexpr int kGridTopTwips = 480;
constexpr int kGridBottomGapTwips = 525;  // grid height = inner height - 525
constexpr int kSecondColumnOverlapTwips = 15;

int ToPixels(long long twips, int twipsPerPixel) {
    return static_cast<int>(twips / twipsPerPixel);
}

}  // namespace

MainLayout ComputeMainLayout(int width, int height, int twipsPerPixel) {
    const int tpp = std::max(1, twipsPerPixel);
    const long long w = static_cast<long long>(std::max(0, width)) * tpp;
    const long long h = static_cast<long long>(std::max(0, height)) * tpp;
    const long long half = w / 2;

    MainLayout l;
    l.grid1.top = ToPixels(kGridTopTwips, tpp);
    l.grid1.left = 0;
    l.grid1.height = ToPixels(std::max(0LL, h - kGridBottomGapTwips), tpp);
    l.grid1.width = ToPixels(half, tpp);
    l.columnWidth = l.grid1.width;

    l.grid2 = l.grid1;
    l.grid2.left = ToPixels(std::max(0LL, half - kSecondColumnOverlapTwips), tpp);

    // The status boxes keep their design size, but never reach under each
    // other or past the window's edge.
    l.text2 = {l.grid2.left, kStatusBoxTop, 0, kStatusBoxHeight};
    l.text2.width = std::clamp(std::max(0, width) - l.text2.left, 0, kStatusBoxWidth);
    l.text1 = {0, kStatusBoxTop, std::clamp(l.text2.left, 0, kStatusBoxWidth), kStatusBoxHeight};
    return l;
}

}  // namespace mutaplot
