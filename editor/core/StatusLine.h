#pragma once

#include "Machine.h"
#include "RunProgram.h"

#include <chrono>
#include <cstdint>
#include <string>

namespace mosaiq {

// A count as people write it: 1234567 is "1,234,567".
std::string Thousands(std::uint64_t n);

// The one line of words under the grid: the cell under the pointer in design mode, the run as it
// goes, how the last run ended, and for a while a pace just chosen. It keeps only what it was
// told; the words are made afresh from the machine whenever they are asked for, which a window
// does once per drawn frame and never once per step. The clock is the caller's.
class StatusLine {
public:
    using Clock = std::chrono::steady_clock;
    static constexpr Clock::duration kPaceShown = std::chrono::seconds(2);

    // The pointer is over bar `cell`, or over no bar (0). After a run, its end stays in view
    // until the pointer comes onto a bar. Returns whether the words may have changed.
    bool PointerOver(int cell);
    // A run begins; `live` holds its counts as they grow and must stay readable until RunEnded.
    void RunStarted(const RunResult& live);
    // The run that began last has ended, X on `pixelX`; its counts are kept. Returns false when
    // no run was going.
    bool RunEnded(int pixelX);
    void PaceChanged(int pace, Clock::time_point now);

    // The words for the machine as it stands now.
    std::string Text(const MachineState& m, Clock::time_point now) const;
    // True while the words change without being told: a run goes on, or a pace is shown.
    bool Moving(Clock::time_point now) const;

private:
    enum class Shows : std::uint8_t { Nothing, Bar, Run, End };
    Shows shows_ = Shows::Nothing;
    int pointer_ = 0;
    const RunResult* live_ = nullptr;
    RunResult ended_;
    int endX_ = 0;
    int pace_ = 0;
    Clock::time_point paceUntil_{}; // a pace chosen shows until then
};

} // namespace mosaiq
