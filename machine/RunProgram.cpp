#include "RunProgram.h"

#include <array>

namespace mosaiq {

namespace {
struct RunEndText {
    std::string_view name;  // one word, for scripts: mosaiq-run's end=
    std::string_view words; // for people: the status line after a run, before " at cell N"
};
// In the order of RunEnd.
constexpr std::array<RunEndText, 7> kRunEndTexts = {{
    {"limit", "Ended"},
    {"loop-full", "Ended: loop stack full"},
    {"no-end-repeat", "Ended: Repeat without End Repeat"},
    {"stray-end-repeat", "Ended: End Repeat without Repeat"},
    {"idle-run", "Ended: Run cell reached with nothing done"},
    {"steps", "Step budget spent"},
    {"stopped", "Stopped"},
}};
static_assert(static_cast<std::size_t>(RunEnd::Stopped) + 1 == kRunEndTexts.size());

const RunEndText& TextOf(RunEnd end) {
    const auto i = static_cast<std::size_t>(end);
    return kRunEndTexts[i < kRunEndTexts.size() ? i : kRunEndTexts.size() - 1];
}
} // namespace

std::string_view RunEndName(RunEnd end) {
    return TextOf(end).name;
}

std::string_view RunEndWords(RunEnd end) {
    return TextOf(end).words;
}

} // namespace mosaiq
