#pragma once

#include <array>
#include <chrono>
#include <string>

namespace mosaiq {

// How fast a visible run goes, in instructions (codes 1 to 7) executed per second; 0 is full
// speed, the run's own pace with no wait of the editor's. White and data cells and the moves of a
// forward scan are never held back. The user picks one of these rungs; the default lets every
// instruction of the examples be followed by eye.
inline constexpr int kFullSpeed = 0;
inline constexpr std::array<int, 18> kPaceLadder{1,     2,     5,     10,     20,      50,
                                                 100,   200,   500,   1000,   2000,    5000,
                                                 10000, 20000, 50000, 100000, 1000000, kFullSpeed};
inline constexpr int kDefaultPace = 20;

// The rung a number of instructions per second is taken to: the nearest, the slower one on a tie.
int NearestPace(double perSecond);
// The place of a pace on the ladder, slowest first; full speed is the last.
int PaceRung(int pace);
// "Pace: 5,000 instructions per second", "Pace: 1 instruction per second", "Pace: full speed".
std::string PaceText(int pace);

// Holds a visible run to its pace. The run asks before every instruction it executes; the answer
// is either "go" or how long to wait before asking again. Instructions are let through in bursts,
// one display frame's worth at a time, so that the run waits once a frame rather than once an
// instruction. The clock is the caller's.
class Pacer {
public:
    using Clock = std::chrono::steady_clock;
    using Duration = std::chrono::nanoseconds;
    static constexpr Duration kFrame = std::chrono::milliseconds(16);

    int Pace() const { return pace_; }
    // Takes effect at the next question: the instructions already earned are kept, but no more
    // than the new pace's own allowance.
    void SetPace(int pace, Clock::time_point now);

    // Zero: execute the instruction now. Otherwise the time to wait before asking again.
    Duration Take(Clock::time_point now);

private:
    double Allowance() const;
    void Earn(Clock::time_point now);

    int pace_ = kDefaultPace;
    double earned_ = 0; // instructions earned and not yet taken
    Clock::time_point earnedAt_{};
    Clock::time_point frameDue_{}; // instructions are earned at most once per frame
};

} // namespace mosaiq
