#pragma once

#include "OneShotTimer.h"
#include "RunProgram.h"

#include <concepts>
#include <cstdint>
#include <string_view>

namespace mosaiq {

// The commands that act on the machine (Run/Stop, Reset Data, Clear All) and the dispatcher of
// deferred commands, over the window that holds the machine. Besides the view a run needs, that
// window offers the fields these commands read and write (the strip, the timer, the pen, the
// flags, the menu's items) and a few operations: the palette's selection border, the pop-up menu
// and the yes/no question.
template <class H>
concept ControlHost = MachineHost<H> && requires(H h, int i, bool on, std::string_view s) {
    { h.Machine } -> std::same_as<MachineState&>;
    { h.OneShot } -> std::same_as<OneShotTimer&>;
    { h.LastRun } -> std::same_as<RunResult&>;
    h.Running = h.PendingRun = h.Busy = h.FreshStart = on;
    h.PenCode = std::uint8_t{};
    h.FileName.empty();
    h.AppTitle;
    h.mnuContext.mnuRun.Caption == s;
    h.mnuContext.mnuClear.Enabled = h.mnuContext.mnuGC.Enabled = on;
    h.SetPaletteBorder(i, on);
    h.ShowContextMenu();                        // modal; returns when the menu has closed
    { h.AskYesNo(s, s) } -> std::same_as<bool>; // title, text; true for Yes
};

// The command words and their intervals.
inline constexpr std::string_view kWordRun = "run";
inline constexpr std::string_view kWordLoad = "loadflg";
inline constexpr std::string_view kWordSave = "saveflg";
inline constexpr int kRunDelayMs = 100;
inline constexpr int kHandOffMs = 250;
inline constexpr int kFirstMenuDelayMs = 1000;

// Runs the strip now and returns when the run has ended. Runs never nest: a run that falls due
// during a run is carried out once that run has ended, as a run of the whole strip.
template <ControlHost Host> void RunNow(Host& f) {
    if (f.Running) {
        f.PendingRun = true;
        return;
    }
    f.Running = true;
    f.LastRun = RunProgram(f.Machine, f);
    while (f.PendingRun) {
        f.PendingRun = false;
        f.Machine.RunLimit = 0;
        f.Machine.StopRequest = false;
        f.SetRunCaption(kRunCaptionStop);
        f.LastRun = RunProgram(f.Machine, f);
    }
    f.Running = false;
}

// OneShot_Timer: carries out the word armed last. Disables the timer before anything else, so
// each arming fires at most once.
template <ControlHost Host> void OneShot_Timer(Host& f) {
    f.OneShot.SetEnabled(false);
    const std::string word = f.OneShot.Tag();
    ContextMenu& menu = f.mnuContext;
    if (word == kWordRun) {
        f.OneShot.SetTag({});
        RunNow(f);
    } else if (word == kWordSave) {
        f.OneShot.SetTag({});
        f.Busy = false;
    } else if (word == kWordLoad) {
        f.OneShot.SetTag({});
        f.Busy = false;
        f.SetPaletteBorder(f.PenCode, false);
        f.PenCode = 0;
        f.SetPaletteBorder(0, true);
        if (!f.FileName.empty()) menu.mnuClear.Enabled = true;
        menu.mnuGC.Enabled = false;
        if (!f.FileName.empty()) menu.mnuRun.Enabled = true;
        f.ShowContextMenu();
    } else if (f.FreshStart) {
        // The first-time menu. The palette already marks pen 1.
        f.PenCode = 1;
        f.FreshStart = false;
        menu.mnuClear.Enabled = false;
        menu.mnuGC.Enabled = false;
        menu.mnuRun.Enabled = false;
        f.ShowContextMenu();
    }
}

// mnuRun_Click: the item's caption is the toggle's state.
template <ControlHost Host> void mnuRun_Click(Host& f) {
    if (f.mnuContext.mnuRun.Caption == kRunCaptionRun) {
        f.Machine.RunLimit = 0;
        f.Machine.StopRequest = false;
        f.SetRunCaption(kRunCaptionStop);
        f.OneShot.Arm(kWordRun, kRunDelayMs);
    } else {
        // A run still waiting behind the current one is dropped with it.
        f.Machine.RequestStop(RunEnd::Stopped);
        f.PendingRun = false;
        f.SetRunCaption(kRunCaptionRun);
    }
}

// mnuGC_Click (Reset Data): cells a run changed go back to 0, every bar takes its editing colour.
template <ControlHost Host> void mnuGC_Click(Host& f) {
    ResetTouchedCells(f.Machine, f);
    RepaintCells(f.Machine, f);
}

// mnuClear_Click (Clear All), after the user said Yes: an empty strip, no file, any run stopped.
template <ControlHost Host> void mnuClear_Click(Host& f) {
    if (!f.AskYesNo(f.AppTitle, "Reset and clear everything?")) return;
    ClearStrip(f.Machine, f, RunEnd::Stopped);
    f.PendingRun = false;
    f.FileName.clear();
}

} // namespace mosaiq
