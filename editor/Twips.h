#pragma once

#include "GridGeometry.h"

#include <QPaintDevice>
#include <QRect>

namespace mosaiq {

// Where a rectangle given in twips lies in pixels of `device` (see TwipsBoxPixels).
inline QRect TwipsRect(const QPaintDevice& device, double left, double top, double width,
                       double height) {
    const PixelRect r =
        TwipsBoxPixels(left, top, width, height, device.logicalDpiX(), device.logicalDpiY());
    return QRect(r.left, r.top, r.right - r.left, r.bottom - r.top);
}

inline QRect TwipsRect(const QPaintDevice& device, const TwipsBox& box) {
    return TwipsRect(device, box.left, box.top, box.width, box.height);
}

} // namespace mosaiq
