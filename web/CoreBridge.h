#pragma once
// TEMPORARY: stands in for the core's grid geometry, start-up and splash rules until they are
// merged; removed then.

#include "Editor.h"
#include "StartupSteps.h"

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

namespace mosaiq {

inline constexpr double kTwipsPerInch = 1440.0;
inline constexpr double kDesignDpi = 96.0;
inline constexpr Color kWindowColor = 0x808080;
inline constexpr int kSplashCountdownMs = 3000;

inline int TwipsToPixels(double twips, double dpi) {
    return static_cast<int>(std::lround(twips * dpi / kTwipsPerInch));
}

struct PixelRect {
    int left = 0, top = 0, right = 0, bottom = 0;
    bool Contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
};

struct EditorPlaces {
    static constexpr int kPanelLeft = Editor::kPanelLeft;
    static constexpr int kPanelTop = Editor::kPanelTop;
    static TwipsBox PaletteBox(int i) {
        return {Editor::kPaletteLeft, Editor::kPaletteTop + Editor::kPaletteStep * i,
                Editor::kPaletteWidth, Editor::kPaletteHeight, true};
    }
    static TwipsBox PaceSliderBox(double h) { return Editor::PaceSliderBox(h); }
    static TwipsBox StatusLineBox(double w, double h) { return Editor::StatusLineBox(w, h); }
};

struct Span {
    int first, end;
};
inline Span BridgeSpan(double start, double length, double gap, double ppt) {
    const auto gapPixels = [gap, ppt](double gapEnd) {
        Span line{static_cast<int>(std::lround((gapEnd - gap) * ppt)),
                  static_cast<int>(std::lround(gapEnd * ppt))};
        if (gap > 0 && line.end <= line.first) {
            line.first = static_cast<int>(std::floor((gapEnd - gap / 2) * ppt));
            line.end = line.first + 1;
        }
        return line;
    };
    Span span{gapPixels(start).end, gapPixels(start + length + gap).first};
    span.end = std::max(span.end, span.first);
    return span;
}
inline PixelRect GridPixelsOf(const GridLayout& g, int index, double ppt) {
    const int c = (index - 1) % 32, r = (index - 1) / 32;
    const Span x = BridgeSpan(g.pitchX() * c, g.barWidth, g.gap, ppt);
    const Span y = BridgeSpan(g.pitchY() * r, g.barHeight, g.gap, ppt);
    return {x.first, y.first, x.end, y.end};
}
inline int GridBarAtOf(const GridLayout& g, int x, int y, double ppt) {
    if (!g.shown) return 0;
    for (int i = 1; i <= 1024; ++i)
        if (GridPixelsOf(g, i, ppt).Contains(x, y)) return i;
    return 0;
}

inline void StartEditor(Editor& form) {
    PrepareEditor(form, "");
}

class PageView;
inline void ShownEditor(Editor& form, const std::string& notice) {
    if (notice.empty()) return;
    form.FreshStart = false;
    form.OneShot.SetEnabled(false);
    form.View().Inform(form.AppTitle, notice);
    form.FreshStart = true;
    form.ArmFirstTimeMenu();
}

struct SplashPicture {
    Color tileColor = 0;
    std::vector<TwipsBox> tiles;
};
inline SplashPicture DrawSplash() {
    std::mt19937 gen(std::random_device{}());
    auto r = [&] { return static_cast<double>(gen()) / 4294967296.0; };
    SplashPicture p;
    const int k = static_cast<int>(10 * r());
    const Color colors[] = {0x808080, 0xFF0000, 0x00FF00, 0x00FFFF, 0x0000FF,
                            0xFF0000, 0x00FF00, 0x00FFFF, 0x0000FF, 0x838383};
    p.tileColor = colors[k];
    int n = static_cast<int>(10 * r());
    if (n < 4) n += 4;
    if (n > 8) n = 8;
    const int f = static_cast<int>(10 * r()) + 4;
    const int H = 4215, W = 5850, gap = H / n / 100 * f, h = H / n - gap, w = W / n - gap;
    for (int c = 1; c <= n; ++c)
        for (int j = 1; j <= n; ++j)
            p.tiles.push_back({(w + gap) * (c - 1), (h + gap) * (j - 1), w, h, true});
    return p;
}

} // namespace mosaiq
