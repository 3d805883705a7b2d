#include "RunnerOptions.h"

#include "Codes.h"

#include <array>
#include <charconv>
#include <string_view>

namespace mosaiq {

namespace {

template <class T> std::optional<T> ParseNumber(std::string_view text) {
    T value{};
    const auto* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (text.empty() || ec != std::errc{} || ptr != end) return std::nullopt;
    return value;
}

constexpr std::array<std::string_view, 7> kValued = {
    "--limit", "--steps", "--out", "--trace", "--png-scale", "--png", "--png-before"};

bool Takes(std::string_view name) {
    for (const std::string_view valued : kValued)
        if (name == valued) return true;
    return false;
}

// Applies one option with its value; returns the problem, or nothing when the value is good.
std::optional<std::string> Apply(RunnerOptions& o, std::string_view name, std::string_view value) {
    if (name == "--limit") {
        const auto cell = ParseNumber<std::int32_t>(value);
        if (!cell || *cell < 1 || *cell > kCellCount)
            return "--limit takes a cell number from 1 to 1024";
        o.limit = *cell;
    } else if (name == "--steps") {
        const auto steps = ParseNumber<std::uint64_t>(value);
        if (!steps) return "--steps takes a whole number, 0 for no budget";
        o.steps = *steps;
    } else if (name == "--png-scale") {
        const auto scale = ParseNumber<int>(value);
        if (!scale || *scale < 1 || *scale > 8)
            return "--png-scale takes a whole number from 1 to 8";
        o.pngScale = *scale;
    } else {
        if (value.empty()) return std::string(name) + " needs a file name";
        (name == "--out"     ? o.out
         : name == "--trace" ? o.trace
         : name == "--png"   ? o.png
                             : o.pngBefore) = value;
    }
    return std::nullopt;
}

} // namespace

std::optional<RunnerOptions> RunnerOptions::Parse(int argc, const char* const* argv,
                                                  std::string& problem) {
    RunnerOptions o;
    bool haveProgram = false;
    bool optionsDone = false;
    bool scaleGiven = false;
    auto fail = [&](std::string why) {
        problem = std::move(why);
        return std::nullopt;
    };

    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (optionsDone || arg.size() < 2 || arg.front() != '-') {
            if (haveProgram) return fail("only one PROGRAM may be given");
            o.program = std::string(arg);
            haveProgram = true;
            continue;
        }
        if (arg == "--") {
            optionsDone = true;
            continue;
        }
        if (arg == "--help" || arg == "-h") {
            o.action = Action::Help;
            return o;
        }
        if (arg == "--version") {
            o.action = Action::Version;
            return o;
        }
        const auto eq = arg.find('=');
        const std::string_view name = arg.substr(0, eq);
        if (name == "--strict") {
            if (eq != std::string_view::npos) return fail("--strict takes no value");
            o.strict = true;
            continue;
        }
        if (!Takes(name)) return fail("unknown option " + std::string(name));
        std::string_view value;
        if (eq != std::string_view::npos) {
            value = arg.substr(eq + 1);
        } else {
            if (i + 1 >= argc) return fail(std::string(name) + " needs a value");
            value = argv[++i];
        }
        scaleGiven = scaleGiven || name == "--png-scale";
        if (auto bad = Apply(o, name, value)) return fail(std::move(*bad));
    }

    if (!haveProgram) return fail("no PROGRAM given");
    if (scaleGiven && o.png.empty() && o.pngBefore.empty())
        return fail("--png-scale needs --png or --png-before");
    const int toStdout = (o.out == "-") + (o.trace == "-") + (o.png == "-") + (o.pngBefore == "-");
    if (toStdout > 1)
        return fail("only one of the strip (--out), --trace, --png and --png-before can go to "
                    "standard output");
    return o;
}

} // namespace mosaiq
