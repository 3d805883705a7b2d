#pragma once

// The rules of the splash window that depend only on its random draws: the tile colour and the
// grid of tiles. Kept apart from the window so that they can be checked with chosen draws.

#include "Codes.h"

#include <functional>
#include <vector>

namespace mosaiq {

// One uniform draw r with 0 <= r < 1. The splash takes all its draws, in order, from one source.
using SplashDraw = std::function<double()>;

// A source seeded from the time of day; every process start gives another splash.
SplashDraw ClockSeededDraw();

// floor(10 * r): a whole number from 0 to 9.
int DrawDigit(double r);

// The colour of every tile, in blue-green-red order, from k = DrawDigit of the first draw. Only
// the grey colours of k = 0 and k = 9 take a further draw from `draw`; the others take none.
Color SplashTileColor(int k, const SplashDraw& draw);

// Tiles per side, 4 to 8, from one draw: digits 0 to 3 give 4 to 7, digit 9 gives 8.
int TilesPerSide(double r);
// The gap as per cent units of a grid step, 4 to 13, from one draw.
int GapFactor(double r);

// A tile's place and size on the panel, in twips.
struct TileRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    friend bool operator==(const TileRect&, const TileRect&) = default;
};

struct SplashLayout {
    int n = 0;   // tiles per side
    int f = 0;   // gap factor
    int gap = 0; // twips after each tile, to its right and below it
    int h = 0;   // tile height
    int w = 0;   // tile width
    // Tiles 1 to n * n in their numbering: down each column, column after column.
    std::vector<TileRect> tiles;
};

// The grid of SetupGrid for a panel of the given size in twips and the two draws it takes, the
// one for n first. The grid starts at the panel's top-left corner; every tile is followed by its
// gap, the last column and row included.
SplashLayout ComputeSplashLayout(double panelWidth, double panelHeight, double drawN, double drawF);

} // namespace mosaiq
