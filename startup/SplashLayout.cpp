#include "SplashLayout.h"
#include "Twips.h"

#include <QTime>

#include <cmath>
#include <memory>
#include <random>

namespace mosaiq {

SplashDraw ClockSeededDraw() {
    // Milliseconds since midnight: the time of day in seconds with its fraction, as a seed.
    const auto seed =
        static_cast<std::mt19937::result_type>(QTime::currentTime().msecsSinceStartOfDay());
    auto generator = std::make_shared<std::mt19937>(seed);
    return [generator] {
        // 32 random bits over 2^32: never 1, which a floating-point distribution may round up to.
        return static_cast<double>((*generator)()) / 4294967296.0;
    };
}

int DrawDigit(double r) {
    return static_cast<int>(std::floor(10.0 * r));
}

Color SplashTileColor(int k, const SplashDraw& draw) {
    switch (k) {
    case 1:
    case 5: return 0xFF0000; // blue
    case 2:
    case 6: return 0x00FF00; // green
    case 3:
    case 7: return 0x00FFFF; // yellow
    case 4:
    case 8: return 0x0000FF; // red
    default: {
        const auto g = static_cast<Color>(DrawDigit(draw()) + 127);
        return g << 16 | g << 8 | g;
    }
    }
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
    const int H = static_cast<int>(std::nearbyint(panelHeight));
    const int W = static_cast<int>(std::nearbyint(panelWidth));
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
