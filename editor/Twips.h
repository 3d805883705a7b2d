#pragma once

#include <QPaintDevice>
#include <QRect>

#include <algorithm>
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

namespace mosaiq {

// The pixels a bar covers along one direction, from `first` up to but not including `end`.
struct PixelSpan {
    int first = 0;
    int end = 0;
};

// Where a bar that starts at `start` twips and is `length` twips long lies in pixels of
// `pixelsPerTwip`, with `gap` twips to its neighbours on either side. Each edge is rounded on its
// own, so bars of one size may differ by a pixel but never drift apart. Where the layout leaves a
// gap that rounds away, the pixel under the middle of the gap is kept as the line between the
// two bars, so every edge stays within a pixel of its place.
inline PixelSpan BarSpan(double start, double length, double gap, double pixelsPerTwip) {
    // The pixels where a gap ending at `gapEnd` twips begins and ends.
    const auto gapPixels = [gap, pixelsPerTwip](double gapEnd) {
        PixelSpan line{static_cast<int>(std::lround((gapEnd - gap) * pixelsPerTwip)),
                       static_cast<int>(std::lround(gapEnd * pixelsPerTwip))};
        if (gap > 0 && line.end <= line.first) {
            line.first = static_cast<int>(std::floor((gapEnd - gap / 2) * pixelsPerTwip));
            line.end = line.first + 1;
        }
        return line;
    };
    PixelSpan span{gapPixels(start).end, gapPixels(start + length + gap).first};
    span.end = std::max(span.end, span.first);
    return span;
}

} // namespace mosaiq
