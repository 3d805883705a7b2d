#pragma once

// The splash window's rules, free of any window system: its random draws and the tile colour they
// give, where its labels stand and what they say, its fonts and colours, and how long it stays up.
// The grid of tiles the draws give is laid out beside the editor's grid (GridGeometry.h).

#include "Appearance.h"
#include "GridGeometry.h"

#include <array>
#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace mosaiq {

// One uniform draw r with 0 <= r < 1. The splash takes all its draws, in order, from one source.
using SplashDraw = std::function<double()>;

// A source that gives the same draws for the same seed.
SplashDraw SeededDraw(std::uint32_t seed);
// The local time of day of `now` in milliseconds since midnight.
std::uint32_t MillisecondsOfDay(std::chrono::system_clock::time_point now);
// A source seeded from the time of day; every process start gives another splash.
SplashDraw ClockSeededDraw();

// The colour of every tile, in blue-green-red order, from k = DrawDigit of the first draw. Only
// the grey colours of k = 0 and k = 9 take a further draw from `draw`; the others take none.
Color SplashTileColor(int k, const SplashDraw& draw);
// The tile colour from the splash's first draws: the digit's, then the grey's if it takes one.
Color DrawSplashTileColor(const SplashDraw& draw);
// The grid for a panel of the given size from the next two draws, the one for n first.
SplashLayout DrawSplashGrid(double panelWidth, double panelHeight, const SplashDraw& draw);

// The splash's labels, top to bottom: the product title, the author credit and the tagline.
enum SplashLabelIndex { kSplashTitle = 0, kSplashAuthor = 1, kSplashTagline = 2 };
inline constexpr int kSplashLabelCount = 3;

// A label's place in twips; the column follows the client area's width to the fraction.
struct SplashLabelBox {
    double left = 0;
    double top = 0;
    double width = 0;
    double height = 0;
};

// The splash window's fixed sizes in twips, its colours and its labels.
struct SplashPlaces {
    static constexpr double kClientWidth = 5850;
    static constexpr double kClientHeight = 4215;
    static constexpr double kTitleWidth = 3375;
    static constexpr double kTitleHeight = 615;
    static constexpr double kTitleTop = 1560;
    static constexpr double kLineHeight = 495; // the author credit and the tagline
    static constexpr int kTileCount = 1024;    // tiles besides the pattern, tile 0
    static constexpr Color kPanelBack = 0xE0E0E0;
    static constexpr Color kLabelBack = 0x000000;
    static constexpr Color kLabelText = 0xE0E0E0;
    static constexpr std::array<FontFace, kSplashLabelCount> kLabelFonts{
        {{"Arial", 18, true}, {"Arial", 12, true}, {"Arial", 9.75, false}}};

    // The labels stand in a column at the right edge of a client area `clientWidth` wide, the
    // title on top and each of the others below the one before, all as wide as the title.
    static std::array<SplashLabelBox, kSplashLabelCount> LabelBoxes(double clientWidth);
    // What label `index` says. Each caption ends in a blank, which keeps the right-justified text
    // off the label's edge.
    static std::string LabelText(int index, std::string_view appTitle);
};

// How long the splash stays up: three seconds after its last paint, so that a splash that was
// covered and shown again still stays its full time once it is last drawn; and, since a splash
// that is never painted or keeps being exposed would hold start-up for ever, never longer than
// ten seconds after it was shown.
class SplashCountdown {
public:
    using Clock = std::chrono::steady_clock;
    static constexpr int kCountdownMs = 3000;
    static constexpr int kLongestMs = 10000;

    explicit SplashCountdown(Clock::time_point shown)
        : due_(shown + std::chrono::milliseconds(kLongestMs)), longest_(due_) {}
    // Every paint starts the three seconds anew.
    void Painted(Clock::time_point now) {
        due_ = std::min(now + std::chrono::milliseconds(kCountdownMs), longest_);
    }
    // When the splash releases the start-up and closes.
    Clock::time_point Due() const { return due_; }

private:
    Clock::time_point due_;
    Clock::time_point longest_;
};

} // namespace mosaiq
