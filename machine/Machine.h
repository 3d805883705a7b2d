#pragma once

#include "Codes.h"

#include <array>
#include <cstdint>
#include <string_view>

namespace mosaiq {

// Why a run ended. While a run goes on, it says what made StopRequest true: the machine records
// its own four stop conditions, and whoever else stops a run (a step budget, a command of the
// editor) says so through RequestStop. A run whose last pass simply ran past its end cell ended
// at its Limit.
enum class RunEnd : std::uint8_t {
    Limit,
    LoopFull,       // a Repeat found 512 loops already open
    NoEndRepeat,    // a skipped Repeat's scan ran off cell 1024
    StrayEndRepeat, // an End Repeat with no open loop
    IdleRun,        // a Run cell in a pass in which no instruction ran
    Steps,          // a caller's step budget ran out
    Stopped,        // a command of the editor, or StopRequest set without a recorded cause
};

// The strip and the machine registers. Arrays are indexed from 1 like the cells they hold; slot 0
// is never used. Every field may be changed by window handlers while a run yields, so the run
// reads each one afresh after every yield.
struct MachineState {
    std::array<std::uint8_t, kCellCount + 1> Cells{};
    std::array<bool, kCellCount + 1> Touched{};
    std::array<std::int32_t, kLoopSlots + 1> LoopStack{};
    std::int32_t LoopTop = 0;
    std::int32_t ProgPos = 0;
    std::int32_t PixelX = 0;
    std::int32_t RunLimit = 0;
    bool StopRequest = true;
    RunEnd Cause = RunEnd::Stopped;

    void RequestStop(RunEnd cause) {
        if (!StopRequest) Cause = cause;
        StopRequest = true;
    }
};

// What a bar's caption can show: nothing, or the X marker.
enum class BarCaption : std::uint8_t { Empty, X };

// The four places at which a run hands control to the window system.
enum class YieldPoint : std::uint8_t {
    BeforeCheck,  // a step cleared its caption; the StopRequest check comes right after
    AfterRepaint, // a step repainted the bar under X
    Scan,         // before each cell of a Repeat's forward scan
    Sweep,        // before each bar of the end-of-run sweep
};

constexpr std::string_view kModeDesign = "[Design]";
constexpr std::string_view kModeRunning = "[Running]";
constexpr std::string_view kRunCaptionRun = "Run";
constexpr std::string_view kRunCaptionStop = "Stop";
constexpr std::string_view kBarHint = " right click for context menu . . . ";

// The machine reaches the window only through a host. A host is any class with these members; the
// machine's routines are templates over it, so a host whose members do nothing costs nothing.
template <class H>
concept MachineHost = requires(H h, int i, Color c, BarCaption cap, std::string_view s,
                               YieldPoint p) {
    h.SetBarFill(i, c);
    h.SetBarCaption(i, cap);
    h.SetBarCaptionColor(i, c);
    h.SetBarBorder(i, true);
    h.SetBarHint(i, s);
    h.SetPanelColor(c);
    h.SetRunCaption(s);
    h.SetStatus(s);
    h.Yield(p);
};

// A host that shows nothing and never yields to anyone.
struct NullHost {
    void SetBarFill(int, Color) {}
    void SetBarCaption(int, BarCaption) {}
    void SetBarCaptionColor(int, Color) {}
    void SetBarBorder(int, bool) {}
    void SetBarHint(int, std::string_view) {}
    void SetPanelColor(Color) {}
    void SetRunCaption(std::string_view) {}
    void SetStatus(std::string_view) {}
    void Yield(YieldPoint) {}
};

// Paints bar i from Cells[i] by the editing colour rule; a white bar also gets the hint text.
// Changes nothing else. i must be a cell number, 1 to 1024.
template <MachineHost Host> void SetBarValue(const MachineState& m, Host& host, int i) {
    const std::uint8_t code = m.Cells[i];
    host.SetBarFill(i, EditColor(code));
    if (code == WhitePixel) host.SetBarHint(i, kBarHint);
}

// Paints every bar from its code by the editing colour rule, and nothing else.
template <MachineHost Host> void RepaintCells(const MachineState& m, Host& host) {
    for (int i = 1; i <= kCellCount; ++i)
        host.SetBarFill(i, EditColor(m.Cells[i]));
}

// Puts every cell a run changed back to code 0 (not to its old code), clears every bar caption and
// sets the X marker on bar 1. Shared by the start of a run and by Reset Data; it never yields.
template <MachineHost Host> void ResetTouchedCells(MachineState& m, Host& host) {
    for (int i = 1; i <= kCellCount; ++i) {
        if (m.Touched[i]) {
            m.Touched[i] = false;
            host.SetBarFill(i, kWhite);
            m.Cells[i] = 0;
        }
    }
    for (int i = 1; i <= kCellCount; ++i)
        host.SetBarCaption(i, BarCaption::Empty);
    host.SetBarCaption(1, BarCaption::X);
}

// Empties the strip and every bar: all codes 0, nothing touched, no border, no caption, and the X
// marker in red on bar 1. Any run in progress ends at its next check.
template <MachineHost Host> void ClearStrip(MachineState& m, Host& host, RunEnd cause) {
    for (int i = 1; i <= kCellCount; ++i) {
        m.Cells[i] = 0;
        m.Touched[i] = false;
        host.SetBarFill(i, kWhite);
        host.SetBarBorder(i, false);
        m.RequestStop(cause);
        host.SetBarCaption(i, BarCaption::Empty);
    }
    host.SetBarCaption(1, BarCaption::X);
    host.SetBarCaptionColor(1, kRed);
}

} // namespace mosaiq
