#pragma once

// The splash window's random draws and the tile colour they give. The grid of tiles they give is
// laid out beside the editor's grid (GridGeometry.h).

#include "Codes.h"
#include "GridGeometry.h"

#include <functional>

namespace mosaiq {

// One uniform draw r with 0 <= r < 1. The splash takes all its draws, in order, from one source.
using SplashDraw = std::function<double()>;

// A source seeded from the time of day; every process start gives another splash.
SplashDraw ClockSeededDraw();

// The colour of every tile, in blue-green-red order, from k = DrawDigit of the first draw. Only
// the grey colours of k = 0 and k = 9 take a further draw from `draw`; the others take none.
Color SplashTileColor(int k, const SplashDraw& draw);

} // namespace mosaiq
