#include "RunProgram.h"

namespace mosaiq {

std::string_view RunEndName(RunEnd end) {
    switch (end) {
    case RunEnd::Limit: return "limit";
    case RunEnd::LoopFull: return "loop-full";
    case RunEnd::NoEndRepeat: return "no-end-repeat";
    case RunEnd::StrayEndRepeat: return "stray-end-repeat";
    case RunEnd::IdleRun: return "idle-run";
    case RunEnd::Steps: return "steps";
    case RunEnd::Stopped: return "stopped";
    }
    return "stopped";
}

} // namespace mosaiq
