#include "Pacer.h"
#include "StatusLine.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace mosaiq {

int NearestPace(double perSecond) {
    int best = kPaceLadder.front();
    for (const int rung : kPaceLadder)
        if (rung != kFullSpeed && std::abs(rung - perSecond) < std::abs(best - perSecond))
            best = rung;
    return best;
}

int PaceRung(int pace) {
    const auto at = std::find(kPaceLadder.begin(), kPaceLadder.end(), pace);
    return static_cast<int>(at == kPaceLadder.end() ? PaceRung(NearestPace(pace))
                                                    : at - kPaceLadder.begin());
}

std::string PaceText(int pace) {
    if (pace == kFullSpeed) return "Pace: full speed";
    return "Pace: " + Thousands(static_cast<std::uint64_t>(pace)) +
           (pace == 1 ? " instruction per second" : " instructions per second");
}

// What a run may have in hand: this frame's instructions (always one, however slow the pace) and
// one frame's more, so that a run held up for a while catches up by one frame at most. At a slow
// pace that frame's more is the part of the next instruction's time a late wake-up has already
// served: without it every late wake-up would push all later instructions back.
double Pacer::Allowance() const {
    const double perFrame = pace_ * std::chrono::duration<double>(kFrame).count();
    return std::max(1.0, perFrame) + perFrame;
}

void Pacer::Earn(Clock::time_point now) {
    const std::chrono::duration<double> passed = now - earnedAt_;
    earned_ = std::min(earned_ + pace_ * std::max(passed.count(), 0.0), Allowance());
    earnedAt_ = now;
}

void Pacer::SetPace(int pace, Clock::time_point now) {
    if (pace_ != kFullSpeed) Earn(now);
    pace_ = pace;
    if (pace_ == kFullSpeed) return;
    earned_ = std::min(earned_, Allowance());
    earnedAt_ = now;
}

Pacer::Duration Pacer::Take(Clock::time_point now) {
    if (pace_ == kFullSpeed) return Duration::zero();
    // Slower than one a frame, every instruction has its own time, earned whenever the run asks:
    // a run woken early by an event must not lose the part of a frame it has already waited.
    const bool slow = pace_ * std::chrono::duration<double>(kFrame).count() < 1;
    if (slow || now >= frameDue_) {
        Earn(now);
        frameDue_ = now + kFrame;
    }
    if (earned_ >= 1) {
        earned_ -= 1;
        return Duration::zero();
    }
    // Wait for the next instruction's time, and at a faster pace for the next frame too.
    const auto due = earnedAt_ + std::chrono::duration_cast<Duration>(
                                     std::chrono::duration<double>((1 - earned_) / pace_));
    return (slow ? due : std::max(frameDue_, due)) - now + Duration(1);
}

} // namespace mosaiq
