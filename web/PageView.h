#pragma once

#include "Editor.h"
#include "PageEvent.h"
#include "SplashRules.h"

#include <chrono>
#include <cstdint>
#include <deque>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace mosaiq {

// The editor in a browser page. The page turns its events into PageEvents and posts them here;
// this view hands them to the editor's handlers, and tells the page what to draw, all of it
// computed by the editor's rules and geometry. It also serves the page as its event loop: the
// editor's start-up, a run, a menu or a question waits here, on the page's clock, while the
// browser draws and delivers input (see WaitForEvents).
class PageView final : public EditorView {
public:
    using Clock = std::chrono::steady_clock;

    PageView();

    Editor Form{*this};

    // The start-up, then the event loop; returns only if the page goes away. `link` is the
    // address's fragment, without its "#".
    void Main(const std::string& link);

    // Called by the page at any time, also while a run waits: queues the event; it is handled
    // when the loop comes round to it.
    void Post(const PageEvent& event) { queue_.push_back(event); }

    // What the page draws, in device pixels of its canvas.
    double Dpi() const { return pixelRatio_ * kDesignDpi; }
    double PixelsPerTwip() const { return Dpi() / kTwipsPerInch; }
    double PixelsPerPoint(bool device) const { return (device ? Dpi() : kDesignDpi) / 72; }
    int CanvasWidth() const { return static_cast<int>(clientWidth_ * pixelRatio_); }
    int CanvasHeight() const { return static_cast<int>(clientHeight_ * pixelRatio_); }
    PixelRect PanelPixels() const;
    PixelRect BarPixels(int index) const; // on the canvas, clipped by the frame
    PixelRect PalettePixels(int index) const;
    // Where a box given in twips lies on the canvas, the canvas's point (left, top) its origin.
    PixelRect BoxPixels(const TwipsBox& box, int left = 0, int top = 0) const;
    bool SplashShown() const { return splashShown_; }
    // The splash, centred on the canvas: its panel, tile `index` (1 up) and label `index`.
    PixelRect SplashPixels() const;
    PixelRect TilePixels(int index) const;
    PixelRect SplashLabelPixels(int index) const;
    int TileCount() const { return static_cast<int>(splashGrid_.tiles.size()); }
    Color TileColor() const { return tileColor_; }
    // Bars drawn again since the page last asked: the list, or everything when it says so.
    bool TakeDirty(std::vector<int>& bars);

    // EditorView.
    void Yield() override;
    Clock::time_point Now() override { return Clock::now(); }
    void WaitUntil(Clock::time_point until) override;
    void ShowContextMenu() override;
    bool AskYesNo(std::string_view title, std::string_view text) override;
    bool AskOkCancel(std::string_view title, std::string_view text) override;
    void Inform(std::string_view title, std::string_view text) override;
    std::string ChooseFile(const FileRequest& request) override;
    void EndProgram() override {}
    void Changed(Part part) override;

private:
    enum class Target { None, Bar, Panel, Palette, Window };
    struct Hit {
        Target target = Target::None;
        int index = 0;
    };

    // Waits for the page: until an event is posted or `until` has come, while the browser draws
    // and delivers input. Only one wait is ever outstanding.
    void WaitForEvents(std::optional<Clock::time_point> until);
    void Serve();
    template <class Done> void ServeUntil(Done done);
    std::optional<Clock::time_point> NextDue() const;
    void RunDueTimers();
    void Dispatch(const PageEvent& event);

    void ShowSplash();
    void Resize(double width, double height, double ratio);
    Hit HitAt(int x, int y) const;
    void PointerDown(int x, int y, int button, int buttons);
    void PointerMove(int x, int y, int buttons);
    void PointerUp(int x, int y, int button, int buttons);
    void ShowHint(const Hit& hit);
    void RefreshStatus();
    void PublishLink();
    void SaveChosen();
    int Ask(int kind, std::string_view title, std::string_view text);
    void AllDirty();

    std::deque<PageEvent> queue_;
    double clientWidth_ = 0; // CSS pixels
    double clientHeight_ = 0;
    double pixelRatio_ = 1;

    // The page's timers.
    std::optional<Clock::time_point> oneShotDue_;
    std::optional<Clock::time_point> statusDue_;
    std::optional<SplashCountdown> splashCountdown_; // while the splash is up

    // Modal pieces: what the page answered.
    bool menuOpen_ = false;
    int menuChoice_ = -1;
    int asked_ = 0;              // questions and choosers opened so far
    std::map<int, int> answers_; // by question
    std::string saveName_;       // the file a save writes, once chosen
    int saveId_ = 0;
    bool splashShown_ = false;
    Color tileColor_ = 0;
    SplashLayout splashGrid_;

    // The pointer: who holds it while a button is down.
    Hit capture_;
    bool formPressed_ = false;
    std::optional<std::pair<int, int>> lastPointer_; // device pixels; none before the first
    std::string hint_;

    std::vector<std::uint8_t> dirty_;
    bool allDirty_ = true;
    std::string link_;
    int yieldsUnread_ = 0;
    Clock::time_point lastRealYield_{};
};

} // namespace mosaiq
