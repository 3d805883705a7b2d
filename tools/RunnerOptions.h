#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace mosaiq {

// The command line of mosaiq-run. "-" names standard input (PROGRAM) or standard output (the
// others); an empty trace or picture name means none is wanted.
struct RunnerOptions {
    enum class Action : std::uint8_t { Run, Help, Version };

    Action action = Action::Run;
    std::int32_t limit = 0;
    std::uint64_t steps = 100'000'000;
    bool strict = false;
    std::string out = "-";
    std::string trace;
    std::string png;       // the strip as the run leaves it
    std::string pngBefore; // the strip as loaded, before any step
    int pngScale = 1;
    std::string program;

    // Reads argv. On a usage error returns nothing and says what is wrong in `problem`, one line.
    static std::optional<RunnerOptions> Parse(int argc, const char* const* argv,
                                              std::string& problem);
};

} // namespace mosaiq
