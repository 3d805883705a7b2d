#pragma once

#include <cmath>

namespace mosaiq {

// Positions and sizes are kept in twips, 1/1440 of a logical inch, and turned into pixels only
// for drawing and hit-testing.
constexpr double kTwipsPerInch = 1440.0;

inline int TwipsToPixels(double twips, double dpi) {
    return static_cast<int>(std::lround(twips * dpi / kTwipsPerInch));
}

inline double PixelsToTwips(int pixels, double dpi) {
    return pixels * kTwipsPerInch / dpi;
}

// Round to the nearest whole number, halves to the even neighbour.
inline double RoundHalfEven(double x) {
    const double r = std::round(x);
    if (std::fabs(x - std::trunc(x)) == 0.5) return 2.0 * std::round(x / 2.0);
    return r;
}

} // namespace mosaiq
