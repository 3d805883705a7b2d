#pragma once

#include "EditorFields.h"
#include "RunProgram.h"

#include <concepts>
#include <string_view>

namespace mosaiq {

// The commands that act on the machine (Run/Stop, Reset Data, Clear All) and the dispatcher of
// deferred commands. Besides the view a run needs, they reach the window through a few more
// operations: the palette's selection border, the pop-up menu and the yes/no question.
template <class H>
concept ControlHost = MachineHost<H> && requires(H h, int i, bool on, std::string_view s) {
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
template <ControlHost Host> void RunNow(EditorFields& f, Host& host) {
    if (f.Running) {
        f.PendingRun = true;
        return;
    }
    f.Running = true;
    f.LastRun = RunProgram(f.Machine, host);
    while (f.PendingRun) {
        f.PendingRun = false;
        f.Machine.RunLimit = 0;
        f.Machine.StopRequest = false;
        host.SetRunCaption(kRunCaptionStop);
        f.LastRun = RunProgram(f.Machine, host);
    }
    f.Running = false;
}

// OneShot_Timer: carries out the word armed last. Disables the timer before anything else, so
// each arming fires at most once.
template <ControlHost Host> void OneShot_Timer(EditorFields& f, Host& host) {
    f.OneShot.SetEnabled(false);
    const std::string word = f.OneShot.Tag();
    ContextMenu& menu = f.mnuContext;
    if (word == kWordRun) {
        f.OneShot.SetTag({});
        RunNow(f, host);
    } else if (word == kWordSave) {
        f.OneShot.SetTag({});
        f.Busy = false;
    } else if (word == kWordLoad) {
        f.OneShot.SetTag({});
        f.Busy = false;
        host.SetPaletteBorder(f.PenCode, false);
        f.PenCode = 0;
        host.SetPaletteBorder(0, true);
        if (!f.FileName.empty()) menu.mnuClear.Enabled = true;
        menu.mnuGC.Enabled = false;
        if (!f.FileName.empty()) menu.mnuRun.Enabled = true;
        host.ShowContextMenu();
    } else if (f.FreshStart) {
        // The first-time menu. The palette already marks pen 1.
        f.PenCode = 1;
        f.FreshStart = false;
        menu.mnuClear.Enabled = false;
        menu.mnuGC.Enabled = false;
        menu.mnuRun.Enabled = false;
        host.ShowContextMenu();
    }
}

// mnuRun_Click: the item's caption is the toggle's state.
template <ControlHost Host> void mnuRun_Click(EditorFields& f, Host& host) {
    if (f.mnuContext.mnuRun.Caption == kRunCaptionRun) {
        f.Machine.RunLimit = 0;
        f.Machine.StopRequest = false;
        host.SetRunCaption(kRunCaptionStop);
        f.OneShot.Arm(kWordRun, kRunDelayMs);
    } else {
        // A run still waiting behind the current one is dropped with it.
        f.Machine.RequestStop(RunEnd::Stopped);
        f.PendingRun = false;
        host.SetRunCaption(kRunCaptionRun);
    }
}

// mnuGC_Click (Reset Data): cells a run changed go back to 0, every bar takes its editing colour.
template <ControlHost Host> void mnuGC_Click(EditorFields& f, Host& host) {
    ResetTouchedCells(f.Machine, host);
    RepaintCells(f.Machine, host);
}

// mnuClear_Click (Clear All), after the user said Yes: an empty strip, no file, any run stopped.
template <ControlHost Host> void mnuClear_Click(EditorFields& f, Host& host) {
    if (!host.AskYesNo(f.AppTitle, "Reset and clear everything?")) return;
    ClearStrip(f.Machine, host, RunEnd::Stopped);
    f.PendingRun = false;
    f.FileName.clear();
}

} // namespace mosaiq
