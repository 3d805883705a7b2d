#pragma once

// Where the editor's controls and the splash's tiles stand: in twips as the windows lay them out,
// and in device pixels as every front end draws and hit-tests them. Whatever draws the grid (a
// window, a picture of a strip) takes its pixels from here, so all of them agree to the pixel.

#include <vector>

namespace mosaiq {

// Positions and sizes are kept in twips, 1/1440 of a logical inch, and turned into pixels only
// for drawing and hit-testing.
inline constexpr double kTwipsPerInch = 1440.0;
// The screen the windows were designed on: 15 twips to a pixel.
inline constexpr double kDesignDpi = 96.0;

// A length in twips as pixels at `dpi`, to the nearest whole pixel; and back.
int TwipsToPixels(double twips, double dpi);
double PixelsToTwips(double pixels, double dpi);

// Where a control stands in the window, in twips; `shown` is false when it is hidden.
struct TwipsBox {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    bool shown = false;
};

// A rectangle of device pixels: from `left`, `top` up to but not including `right`, `bottom`.
struct PixelRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    bool Contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
    bool Empty() const { return right <= left || bottom <= top; }
};

// Where a box given in twips lies in pixels at the given resolutions. Position and size are
// converted on their own, as a window system snaps each to pixels.
PixelRect TwipsBoxPixels(double left, double top, double width, double height, double dpiX,
                         double dpiY);

// The editor window's fixed places, in twips.
struct EditorPlaces {
    static constexpr int kDesignClientWidth = 10635;
    static constexpr int kDesignClientHeight = 7905;
    static constexpr int kPanelLeft = 840;
    static constexpr int kPanelTop = 120;
    static constexpr int kPaletteLeft = 120;
    static constexpr int kPaletteTop = 120;
    static constexpr int kPaletteStep = 480;
    static constexpr int kPaletteWidth = 615;
    static constexpr int kPaletteHeight = 375;
    static constexpr int kPaletteCount = 8;
    static constexpr int kGridSide = 32; // bars across and down
    // The pace slider stands in the grey column below the palette, down to the frame's bottom.
    static constexpr int kSliderGapAbove = 225;
    static constexpr int kSliderGapBelow = 240;
    static constexpr int kSliderMinHeight = 1080; // below this it is too short to be of use

    // The frame's size for a client area; negative when the client area is too small for one.
    static double PanelWidthFor(double clientWidth);
    static double PanelHeightFor(double clientHeight);
    static TwipsBox PaletteBox(int index);
    static TwipsBox PaceSliderBox(double clientHeight);
    // The status line fills the strip the layout leaves below the frame, as wide as the frame.
    static TwipsBox StatusLineBox(double clientWidth, double clientHeight);
};

// The grid of 32 x 32 bars on the frame, as one layout computes it: the space between neighbours
// (the same across and down) and the size every bar shares, in twips. `shown` is false when the
// layout could not place the bars (a negative height), and then no bar is anywhere.
struct GridLayout {
    int gap = 0;
    int barWidth = 0;
    int barHeight = 0;
    bool shown = false;
    friend bool operator==(const GridLayout&, const GridLayout&) = default;

    // The layout of a frame of the given size; gapless while a run is shown.
    static GridLayout For(double panelWidth, double panelHeight, bool running);

    // Bar `index` (1 to 1024) in twips, relative to the frame.
    TwipsBox Bar(int index) const;
    // The device pixels bar `index` covers at the given pixels per twip. Each edge is rounded on
    // its own, so bars of one size may differ by a pixel but never drift apart; where a gap rounds
    // away, the pixel under the middle of the gap stays the line between the two bars.
    PixelRect BarPixels(int index, double pixelsPerTwipX, double pixelsPerTwipY) const;
    // The bar whose pixels hold device pixel (x, y), or 0 for the frame or a grid not shown.
    int BarAt(int x, int y, double pixelsPerTwipX, double pixelsPerTwipY) const;
};

// The splash window's tiles. A tile's place and size on its panel, in twips.
struct TileRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    friend bool operator==(const TileRect&, const TileRect&) = default;
};

// floor(10 * r) of a uniform draw 0 <= r < 1: a whole number from 0 to 9.
int DrawDigit(double r);
// Tiles per side, 4 to 8, from one draw: digits 0 to 3 give 4 to 7, digit 9 gives 8.
int TilesPerSide(double r);
// The gap as per cent units of a grid step, 4 to 13, from one draw.
int GapFactor(double r);

struct SplashLayout {
    int n = 0;   // tiles per side
    int f = 0;   // gap factor
    int gap = 0; // twips after each tile, to its right and below it
    int h = 0;   // tile height
    int w = 0;   // tile width
    // Tiles 1 to n * n in their numbering: down each column, column after column.
    std::vector<TileRect> tiles;
};

// The splash's grid for a panel of the given size in twips and the two draws it takes, the one
// for n first. The grid starts at the panel's top-left corner; every tile is followed by its gap,
// the last column and row included.
SplashLayout ComputeSplashLayout(double panelWidth, double panelHeight, double drawN, double drawF);

} // namespace mosaiq
