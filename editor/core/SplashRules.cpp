#include "SplashRules.h"

#include <algorithm>
#include <ctime>
#include <memory>
#include <random>

namespace mosaiq {

SplashDraw SeededDraw(std::uint32_t seed) {
    auto generator = std::make_shared<std::mt19937>(seed);
    return [generator] {
        // 32 random bits over 2^32: never 1, which a floating-point distribution may round up to.
        return static_cast<double>((*generator)()) / 4294967296.0;
    };
}

std::uint32_t MillisecondsOfDay(std::chrono::system_clock::time_point now) {
    using namespace std::chrono;
    const std::time_t seconds = system_clock::to_time_t(now);
    std::tm local{};
    localtime_r(&seconds, &local);
    // to_time_t may round; the fraction is taken from the same second it names.
    const auto fraction = duration_cast<milliseconds>(now - system_clock::from_time_t(seconds));
    const auto ms = (local.tm_hour * 3600 + local.tm_min * 60 + local.tm_sec) * 1000LL +
                    std::clamp<long long>(fraction.count(), 0, 999);
    return static_cast<std::uint32_t>(ms);
}

SplashDraw ClockSeededDraw() {
    // The time of day in seconds with its fraction, as a seed.
    return SeededDraw(MillisecondsOfDay(std::chrono::system_clock::now()));
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

Color DrawSplashTileColor(const SplashDraw& draw) {
    const int k = DrawDigit(draw());
    return SplashTileColor(k, draw);
}

SplashLayout DrawSplashGrid(double panelWidth, double panelHeight, const SplashDraw& draw) {
    // Two statements: the draw for n must come before the draw for f.
    const double drawN = draw();
    const double drawF = draw();
    return ComputeSplashLayout(panelWidth, panelHeight, drawN, drawF);
}

std::array<SplashLabelBox, kSplashLabelCount> SplashPlaces::LabelBoxes(double clientWidth) {
    std::array<SplashLabelBox, kSplashLabelCount> boxes{};
    double top = kTitleTop;
    for (int i = 0; i < kSplashLabelCount; ++i) {
        const double height = i == kSplashTitle ? kTitleHeight : kLineHeight;
        boxes[static_cast<std::size_t>(i)] = {clientWidth - kTitleWidth, top, kTitleWidth, height};
        top += height;
    }
    return boxes;
}

std::string SplashPlaces::LabelText(int index, std::string_view appTitle) {
    switch (index) {
    case kSplashTitle: return std::string(appTitle) + " ";
    case kSplashAuthor: return "by the Mosaiq makers ";
    default: return "programs you paint, cell by cell ";
    }
}

} // namespace mosaiq
