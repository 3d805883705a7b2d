#pragma once

#include <QPaintDevice>
#include <QRect>

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

// Where a rectangle given in twips lies in pixels of `device`. Position and size are converted on
// their own, as the window system snaps each to pixels.
inline QRect TwipsRect(const QPaintDevice& device, double left, double top, double width,
                       double height) {
    const double dx = device.logicalDpiX();
    const double dy = device.logicalDpiY();
    return QRect(TwipsToPixels(left, dx), TwipsToPixels(top, dy), TwipsToPixels(width, dx),
                 TwipsToPixels(height, dy));
}

} // namespace mosaiq
