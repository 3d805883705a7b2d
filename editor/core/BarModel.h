#pragma once

#include "Codes.h"
#include "Machine.h"

#include <array>
#include <functional>
#include <string>
#include <string_view>

namespace mosaiq {

// What one cell bar shows and where it stands. Geometry is in twips, relative to the frame.
struct Bar {
    Color fill = kWhite;
    BarCaption caption = BarCaption::Empty;
    Color captionColor = kRed;
    bool border = false;
    bool hasHint = false; // the hint text is the same for every bar that has one
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    bool visible = false;
};

// The 1024 cell bars, indexed 1 to 1024. Every setter reports a visible change to the observer,
// which repaints that bar later; setting a property to the value it has reports nothing, so the
// hot path of a run stays cheap.
class BarModel {
public:
    using Observer = std::function<void(int index)>;

    void SetObserver(Observer observer) { observer_ = std::move(observer); }

    const Bar& At(int index) const { return bars_[index]; }
    std::string_view HintText(int index) const {
        return bars_[index].hasHint ? kBarHint : std::string_view{};
    }

    void SetFill(int i, Color c) { Set(i, &Bar::fill, c); }
    void SetCaption(int i, BarCaption c) { Set(i, &Bar::caption, c); }
    void SetCaptionColor(int i, Color c) { Set(i, &Bar::captionColor, c); }
    void SetBorder(int i, bool on) { Set(i, &Bar::border, on); }
    void SetHint(int i, std::string_view text) { bars_[i].hasHint = !text.empty(); }
    void SetGeometry(int i, int left, int top, int width, int height);
    void SetVisible(int i, bool visible) { Set(i, &Bar::visible, visible); }

private:
    template <class T> void Set(int i, T Bar::*field, T value) {
        Bar& bar = bars_[i];
        if (bar.*field == value) return;
        bar.*field = value;
        if (observer_) observer_(i);
    }

    std::array<Bar, kCellCount + 1> bars_{};
    Observer observer_;
};

// The bar half of a machine host: the bars follow the machine on a bar model. The editor's window
// and the runner's pictures both show a run through it, so the two cannot show it differently.
class BarModelHost {
public:
    BarModel Bars;

    void SetBarFill(int i, Color c) { Bars.SetFill(i, c); }
    void SetBarCaption(int i, BarCaption c) { Bars.SetCaption(i, c); }
    void SetBarCaptionColor(int i, Color c) { Bars.SetCaptionColor(i, c); }
    void SetBarBorder(int i, bool on) { Bars.SetBorder(i, on); }
    void SetBarHint(int i, std::string_view text) { Bars.SetHint(i, text); }
};

} // namespace mosaiq
