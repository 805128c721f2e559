#pragma once
// The windows lay themselves out in twips, as they were designed: the
// screen's twips per pixel, from its logical density.

#include "platform/DrawingSurface.h"

#include <QScreen>
#include <QWidget>

#include <algorithm>
#include <cmath>

namespace mutaplot {

// Twips per pixel of the screen that shows `widget`, rounded to a whole
// number and at least 1; 15 (96 dpi) when the density is unknown.
inline double ScreenTwipsPerPixel(const QWidget& widget) {
    constexpr double kUsualDpi = 96.0;
    const QScreen* screen = widget.screen();
    const double dpi = screen ? screen->logicalDotsPerInchX() : kUsualDpi;
    return std::max(1.0, std::round(kTwipsPerInch / (dpi > 0 ? dpi : kUsualDpi)));
}

}  // namespace mutaplot
