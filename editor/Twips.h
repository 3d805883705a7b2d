#pragma once

#include "GridGeometry.h"

#include <QPaintDevice>
#include <QRect>

namespace mosaiq {

// Where a rectangle given in twips lies in pixels of `device`. Position and size are converted on
// their own, as the window system snaps each to pixels.
inline QRect TwipsRect(const QPaintDevice& device, double left, double top, double width,
                       double height) {
    const double dx = device.logicalDpiX();
    const double dy = device.logicalDpiY();
    return QRect(TwipsToPixels(left, dx), TwipsToPixels(top, dy), TwipsToPixels(width, dx),
                 TwipsToPixels(height, dy));
}

inline QRect TwipsRect(const QPaintDevice& device, const TwipsBox& box) {
    return TwipsRect(device, box.left, box.top, box.width, box.height);
}

} // namespace mosaiq
