#pragma once

#include "BarModel.h"
#include "Machine.h"
#include "TraceWriter.h"

#include <cstdint>

namespace mosaiq {

// The headless runner's host: shows nothing, and stops the run once a step budget is spent.
// The budget is enforced in the yield right before a step's check, so exactly `budget` cells are
// executed unless the run ends earlier. A budget of 0 means none.
class RunnerHost : public NullHost {
public:
    RunnerHost(MachineState& machine, std::uint64_t budget) : machine_(machine), budget_(budget) {}

    void Yield(YieldPoint point) {
        if (point != YieldPoint::BeforeCheck || budget_ == 0) return;
        // Every check before this one was passed, so `checks_` steps have executed.
        if (checks_++ >= budget_) machine_.RequestStop(RunEnd::Steps);
    }

private:
    MachineState& machine_;
    std::uint64_t budget_;
    std::uint64_t checks_ = 0;
};

// The runner's host when a trace is wanted: it also writes every executed step to the trace. A
// trace that can no longer be written stops the run, since nobody would see the rest of it.
class TracingHost : public RunnerHost {
public:
    TracingHost(MachineState& machine, std::uint64_t budget, TraceWriter& trace)
        : RunnerHost(machine, budget), machine_(machine), trace_(trace) {}

    void Executed(const StepDone& step) {
        trace_.Step(step, machine_.PixelX, machine_.Cells[machine_.PixelX]);
        if (trace_.Failed()) machine_.RequestStop(RunEnd::Stopped);
    }

private:
    MachineState& machine_;
    TraceWriter& trace_;
};

// A runner's host that also shows the run on bars, by the very operations the editor's window
// follows a run with, for the pictures; the bars cost a run time only when a picture is wanted.
template <class Base> class ShowingHost : public Base, public BarModelHost {
public:
    using BarModelHost::SetBarBorder;
    using BarModelHost::SetBarCaption;
    using BarModelHost::SetBarCaptionColor;
    using BarModelHost::SetBarFill;
    using BarModelHost::SetBarHint;
    using Base::Base;
};

} // namespace mosaiq
