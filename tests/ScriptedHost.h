#pragma once

// A machine host for tests: it records what a run shows on every bar and elsewhere, counts the
// yields per YieldPoint, and runs scripted actions at chosen yields (a Stop, painting a cell, a
// menu command), the way window handlers would run inside a yield.

#include "Machine.h"

#include <array>
#include <functional>
#include <string>
#include <vector>

namespace mosaiq::test {

// A fill colour outside 24 bits: the bar has never been painted.
constexpr Color kUnpainted = 0x1000000;

// A bar as it is created: no fill yet, no caption, red caption colour, no border, no hint.
struct BarState {
    Color fill = kUnpainted;
    BarCaption caption = BarCaption::Empty;
    Color captionColor = kRed;
    bool border = false;
    std::string hint;
};

class ScriptedHost {
public:
    using Action = std::function<void(MachineState&, ScriptedHost&)>;

    struct YieldRecord {
        YieldPoint point;
        int progPos;
    };

    explicit ScriptedHost(MachineState& m) : bars(kCellCount + 1), m_(m) {}

    // Runs `action` during the n-th yield (counted from 1) at `point`.
    void At(YieldPoint point, int n, Action action) {
        script_.push_back({point, n, std::move(action)});
    }
    // A Stop chosen by the user during the n-th yield at `point`.
    void StopAt(YieldPoint point, int n) {
        At(point, n, [](MachineState& m, ScriptedHost&) { m.RequestStop(StopCause::User); });
    }
    // Lets `steps` steps pass their check; the check after them ends the run.
    void StopAfterSteps(int steps) {
        At(YieldPoint::BeforeCheck, steps + 1,
           [](MachineState& m, ScriptedHost&) { m.RequestStop(StopCause::Steps); });
    }

    int Count(YieldPoint p) const { return yields_[static_cast<int>(p)]; }

    // The MachineHost operations.
    void SetBarFill(int i, Color c) {
        bars.at(i).fill = c;
        fillLog.push_back(i);
    }
    void SetBarCaption(int i, BarCaption cap) { bars.at(i).caption = cap; }
    void SetBarCaptionColor(int i, Color c) { bars.at(i).captionColor = c; }
    void SetBarBorder(int i, bool on) { bars.at(i).border = on; }
    void SetBarHint(int i, std::string_view s) { bars.at(i).hint = s; }
    void SetPanelColor(Color c) { panelLog.push_back(c); }
    void SetRunCaption(std::string_view s) { runCaptionLog.emplace_back(s); }
    void SetStatus(std::string_view mode) { statusLog.emplace_back(mode); }

    void Yield(YieldPoint p) {
        const int n = ++yields_[static_cast<int>(p)];
        yieldLog.push_back({p, m_.ProgPos});
        // A step clears the caption of its cell before this yield; no bar may show "X" then.
        if (p == YieldPoint::BeforeCheck && m_.ProgPos >= 1 && m_.ProgPos <= kCellCount &&
            bars[m_.ProgPos].caption != BarCaption::Empty)
            ++captionShownAtCheck;
        for (const Entry& e : script_)
            if (e.point == p && e.n == n) e.action(m_, *this);
        // A safety net, so that a faulty loop cannot hang the suite.
        if (p == YieldPoint::BeforeCheck && n > maxChecks) m_.RequestStop(StopCause::Steps);
    }

    std::vector<BarState> bars; // indexed by bar number, 1..1024
    std::vector<int> fillLog;   // bar numbers in the order their fill was set
    std::vector<Color> panelLog;
    std::vector<std::string> runCaptionLog;
    std::vector<std::string> statusLog;
    std::vector<YieldRecord> yieldLog;
    int captionShownAtCheck = 0;
    int maxChecks = 1'000'000;

private:
    struct Entry {
        YieldPoint point;
        int n;
        Action action;
    };
    MachineState& m_;
    std::array<int, 4> yields_{};
    std::vector<Entry> script_;
};

static_assert(MachineHost<ScriptedHost>);

} // namespace mosaiq::test
