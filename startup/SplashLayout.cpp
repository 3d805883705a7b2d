#include "SplashLayout.h"

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

} // namespace mosaiq
