#include "GridGeometry.h"

#include <algorithm>
#include <cmath>

namespace mosaiq {

namespace {
using P = EditorPlaces;

// The nearest whole number, halves to the even neighbour (the default rounding mode).
int RoundHalfEven(double x) {
    return static_cast<int>(std::nearbyint(x));
}

struct Span {
    int first = 0;
    int end = 0;
};

// Where a bar that starts at `start` twips and is `length` twips long lies in pixels, with `gap`
// twips to its neighbours on either side.
Span BarSpan(double start, double length, double gap, double pixelsPerTwip) {
    // The pixels where a gap ending at `gapEnd` twips begins and ends.
    const auto gapPixels = [gap, pixelsPerTwip](double gapEnd) {
        Span line{static_cast<int>(std::lround((gapEnd - gap) * pixelsPerTwip)),
                  static_cast<int>(std::lround(gapEnd * pixelsPerTwip))};
        if (gap > 0 && line.end <= line.first) {
            line.first = static_cast<int>(std::floor((gapEnd - gap / 2) * pixelsPerTwip));
            line.end = line.first + 1;
        }
        return line;
    };
    Span span{gapPixels(start).end, gapPixels(start + length + gap).first};
    span.end = std::max(span.end, span.first);
    return span;
}
} // namespace

int TwipsToPixels(double twips, double dpi) {
    return static_cast<int>(std::lround(twips * dpi / kTwipsPerInch));
}

double PixelsToTwips(double pixels, double dpi) {
    return pixels * kTwipsPerInch / dpi;
}

double EditorPlaces::PanelWidthFor(double clientWidth) {
    return RoundHalfEven(kPaletteWidth + (clientWidth - 2.0 * kPanelLeft));
}

double EditorPlaces::PanelHeightFor(double clientHeight) {
    return clientHeight - 3.0 * kPanelTop;
}

TwipsBox EditorPlaces::PaletteBox(int index) {
    return {kPaletteLeft, kPaletteTop + kPaletteStep * index, kPaletteWidth, kPaletteHeight, true};
}

PixelRect TwipsBoxPixels(double left, double top, double width, double height, double dpiX,
                         double dpiY) {
    const int x = TwipsToPixels(left, dpiX);
    const int y = TwipsToPixels(top, dpiY);
    return {x, y, x + TwipsToPixels(width, dpiX), y + TwipsToPixels(height, dpiY)};
}

TwipsBox EditorPlaces::PaceSliderBox(double clientHeight) {
    TwipsBox box;
    box.left = kPaletteLeft;
    box.width = kPaletteWidth;
    box.top = kPaletteTop + kPaletteStep * (kPaletteCount - 1) + kPaletteHeight + kSliderGapAbove;
    box.height = RoundHalfEven(clientHeight) - kSliderGapBelow - box.top;
    box.shown = box.height >= kSliderMinHeight;
    return box;
}

TwipsBox EditorPlaces::StatusLineBox(double clientWidth, double clientHeight) {
    TwipsBox box;
    box.left = kPanelLeft;
    box.width = static_cast<int>(PanelWidthFor(clientWidth));
    box.height = 2 * kPanelTop;
    box.top = RoundHalfEven(clientHeight) - box.height;
    box.shown = box.width > 0 && box.top >= kPanelTop;
    return box;
}

GridLayout GridLayout::For(double panelWidth, double panelHeight, bool running) {
    const int percent = running ? 0 : 4;
    GridLayout grid;
    grid.gap = RoundHalfEven(panelWidth / P::kGridSide / 100.0 * percent);
    grid.barHeight = RoundHalfEven(panelHeight / P::kGridSide - grid.gap);
    grid.barWidth = RoundHalfEven(panelWidth / P::kGridSide - grid.gap);
    // A bar cannot take a negative height.
    grid.shown = grid.barHeight >= 0;
    return grid;
}

TwipsBox GridLayout::Bar(int index) const {
    const int column = (index - 1) % P::kGridSide;
    const int row = (index - 1) / P::kGridSide;
    return {(barWidth + gap) * column, (barHeight + gap) * row, barWidth, barHeight, shown};
}

PixelRect GridLayout::BarPixels(int index, double pixelsPerTwipX, double pixelsPerTwipY) const {
    const TwipsBox bar = Bar(index);
    const Span x = BarSpan(bar.left, bar.width, gap, pixelsPerTwipX);
    const Span y = BarSpan(bar.top, bar.height, gap, pixelsPerTwipY);
    return {x.first, y.first, x.end, y.end};
}

int GridLayout::BarAt(int x, int y, double pixelsPerTwipX, double pixelsPerTwipY) const {
    if (!shown || x < 0 || y < 0) return 0;
    // The pitch names the bar under a point up to a pixel of rounding; the pixels of that guess
    // and its neighbours settle it.
    const int column = static_cast<int>(x / pixelsPerTwipX / std::max(barWidth + gap, 1));
    const int row = static_cast<int>(y / pixelsPerTwipY / std::max(barHeight + gap, 1));
    const int last = P::kGridSide - 1;
    for (int r = std::min(row + 1, last); r >= std::max(row - 1, 0); --r)
        for (int c = std::min(column + 1, last); c >= std::max(column - 1, 0); --c)
            if (const int i = r * P::kGridSide + c + 1;
                BarPixels(i, pixelsPerTwipX, pixelsPerTwipY).Contains(x, y))
                return i;
    return 0;
}

int DrawDigit(double r) {
    return static_cast<int>(std::floor(10.0 * r));
}

int TilesPerSide(double r) {
    int n = DrawDigit(r);
    if (n < 4) n += 4;
    if (n > 8) n = 8;
    return n;
}

int GapFactor(double r) {
    return DrawDigit(r) + 4;
}

SplashLayout ComputeSplashLayout(double panelWidth, double panelHeight, double drawN,
                                 double drawF) {
    SplashLayout grid;
    grid.n = TilesPerSide(drawN);
    grid.f = GapFactor(drawF);
    const int H = RoundHalfEven(panelHeight);
    const int W = RoundHalfEven(panelWidth);
    grid.gap = H / grid.n / 100 * grid.f;
    grid.h = H / grid.n - grid.gap;
    grid.w = W / grid.n - grid.gap;
    grid.tiles.reserve(static_cast<std::size_t>(grid.n * grid.n));
    for (int c = 1; c <= grid.n; ++c)
        for (int j = 1; j <= grid.n; ++j)
            grid.tiles.push_back(
                {(grid.w + grid.gap) * (c - 1), (grid.h + grid.gap) * (j - 1), grid.w, grid.h});
    return grid;
}

} // namespace mosaiq
