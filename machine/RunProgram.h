#pragma once

#include "Machine.h"

#include <cstdint>
#include <utility>

namespace mosaiq {

// How each end reason is named: the runner's one word, and the words a person reads.
std::string_view RunEndName(RunEnd end);
std::string_view RunEndWords(RunEnd end);

// What one executed step did, told to a host that follows a run step by step (a trace) right
// after the cell's instruction took effect. A host without `Executed` is never told and pays
// nothing for it.
struct StepDone {
    std::uint64_t step; // the step's number in the run, from 1
    std::uint64_t pass; // the pass it belongs to, from 1; a Run cell belongs to the pass it ends
    std::int32_t cell;  // the cell executed
    std::uint8_t code;  // the code it held when it was executed
    // Where a skipped Repeat's forward scan stopped: the matching End Repeat, or 1025 when the scan
    // ran off the strip; 0 when the step made no scan.
    std::int32_t scanEnd;
};

struct RunResult {
    RunEnd end = RunEnd::Limit;
    std::uint64_t steps = 0;   // steps that passed their check and executed their cell
    std::uint64_t passes = 0;  // passes begun, the first included
    std::int32_t lastCell = 0; // the cell of the last step executed; 0 before the first
};

// Runs the strip from cell 1 in passes until a pass runs past its end cell or StopRequest is true
// at a step's check, then restores the design-mode display. Yields to the host twice in every
// ordinary step, before every cell of a forward scan and before every bar of the closing sweep;
// after each yield every field of `m` is read afresh, since handlers may have changed it.
// The caller must not start a run while another is in progress.
// A host with `Follow` is handed the run's counts once, at the start, and may read them while the
// run yields (to show them) until RunProgram returns; a host without it pays nothing.
template <MachineHost Host> RunResult RunProgram(MachineState& m, Host& host) {
    RunResult result;
    if constexpr (requires { host.Follow(std::as_const(result)); })
        host.Follow(std::as_const(result));

    // Start of the run.
    ResetTouchedCells(m, host);
    host.SetStatus(kModeRunning);
    if (m.RunLimit == 0) host.SetPanelColor(kWhite);

    for (bool newPass = true; newPass;) {
        newPass = false;

        // Start of a pass.
        m.LoopStack.fill(0);
        m.StopRequest = false;
        m.Cause = RunEnd::Stopped;
        // Only ever compared with 0, so it saturates instead of overflowing in a long pass.
        std::int32_t ExecCount = 0;
        m.LoopTop = 1;
        m.PixelX = 1;
        if (m.RunLimit == 0 || m.RunLimit > kCellCount) m.RunLimit = kCellCount;
        const std::int32_t passEnd = m.RunLimit;
        m.ProgPos = 1;
        ++result.passes;

        while (m.ProgPos <= passEnd) {
            host.SetBarCaption(m.ProgPos, BarCaption::Empty);
            // The check right after this yield must see a Stop chosen during it.
            host.Yield(YieldPoint::BeforeCheck);
            if (m.StopRequest) goto endOfRun;
            ++result.steps;

            const std::int32_t cell = m.ProgPos;
            result.lastCell = cell;
            const std::uint8_t code = m.Cells[cell];
            if (code >= NextPixel && code <= EndRepeat && ExecCount < INT32_MAX) ++ExecCount;
            switch (code) {
            case NextPixel:
                if (++m.PixelX > kCellCount) m.PixelX = 1;
                break;
            case PreviousPixel:
                if (--m.PixelX < 1) m.PixelX = kCellCount;
                break;
            case PlusColor:
                m.Cells[m.PixelX] = static_cast<std::uint8_t>(m.Cells[m.PixelX] + 1);
                m.Touched[m.PixelX] = true;
                break;
            case MinusColor:
                m.Cells[m.PixelX] = static_cast<std::uint8_t>(m.Cells[m.PixelX] - 1);
                m.Touched[m.PixelX] = true;
                break;
            case RepeatUntilWhite:
                if (m.Cells[m.PixelX] != 0) {
                    if (m.LoopTop > kLoopSlots) {
                        m.RequestStop(RunEnd::LoopFull);
                    } else {
                        m.LoopStack[m.LoopTop] = m.ProgPos - 1;
                        ++m.LoopTop;
                    }
                } else {
                    // Skip the loop: scan forward to the matching End Repeat, which the step's
                    // increment then moves past. The scan ignores the pass end.
                    std::int32_t Depth = 1;
                    do {
                        host.Yield(YieldPoint::Scan);
                        if (++m.ProgPos > kCellCount) {
                            m.RequestStop(RunEnd::NoEndRepeat);
                            break;
                        }
                        const std::uint8_t c = m.Cells[m.ProgPos];
                        if (c == RepeatUntilWhite)
                            ++Depth;
                        else if (c == EndRepeat)
                            --Depth;
                    } while (Depth >= 1);
                }
                break;
            case EndRepeat:
                if (m.LoopTop <= 1) {
                    m.RequestStop(RunEnd::StrayEndRepeat);
                } else {
                    --m.LoopTop;
                    m.ProgPos = m.LoopStack[m.LoopTop];
                }
                break;
            case Run:
                if (ExecCount > 0) {
                    host.SetRunCaption(kRunCaptionStop);
                    newPass = true;
                } else {
                    m.RequestStop(RunEnd::IdleRun);
                }
                break;
            default: break;
            }
            if constexpr (requires { host.Executed(StepDone{}); }) {
                // Only a forward scan moves a Repeat's ProgPos.
                const bool scanned = code == RepeatUntilWhite && m.ProgPos != cell;
                host.Executed(
                    StepDone{result.steps, result.passes, cell, code, scanned ? m.ProgPos : 0});
            }
            if (newPass) break;

            const std::uint8_t under = m.Cells[m.PixelX];
            host.SetBarFill(m.PixelX, RunColor(under));
            if (under == NextPixel) host.SetBarCaptionColor(m.PixelX, kBlack);
            host.Yield(YieldPoint::AfterRepaint);
            ++m.ProgPos;
        }
    }

endOfRun:
    result.end = m.StopRequest ? m.Cause : RunEnd::Limit;

    // End of the run.
    for (int i = 1; i <= kCellCount; ++i) {
        host.Yield(YieldPoint::Sweep);
        host.SetBarCaption(i, BarCaption::Empty);
        if (m.Cells[i] == 0) host.SetBarHint(i, kBarHint);
    }
    host.SetBarCaption(m.PixelX, BarCaption::X);
    host.SetBarCaptionColor(m.PixelX, kRed);
    m.RunLimit = 0;
    host.SetStatus(kModeDesign);
    host.SetRunCaption(kRunCaptionRun);
    m.StopRequest = true;
    host.SetPanelColor(kBlack);
    return result;
}

} // namespace mosaiq
