// mosaiq-run: runs a program file through the machine with no window, exactly as the editor
// would, and writes the strip the run leaves.

#include "RunProgram.h"
#include "RunnerHost.h"
#include "StripFile.h"
#include "StripFormat.h"

#include <charconv>
#include <cstdint>
#include <cstdio>
#include <iostream>
#include <optional>
#include <string>
#include <string_view>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

namespace {

constexpr std::string_view kUsage =
    "Usage: mosaiq-run [--limit CELL] [--steps N] [--out FILE] PROGRAM\n"
    "\n"
    "Runs the Mosaiq program file PROGRAM without a window and writes the strip it leaves.\n"
    "\n"
    "  --limit CELL  run cells 1 to CELL (1 to 1024), as a click on bar CELL does;\n"
    "                default: the whole strip, as the Run command does\n"
    "  --steps N     stop after N executed cells (default 100000000; 0: no budget)\n"
    "  --out FILE    write the final strip to FILE (default, or '-': standard output)\n"
    "  --help        show this text\n"
    "\n"
    "Standard error gets one line: steps=N passes=P x=X end=REASON, where REASON is\n"
    "limit, loop-full, no-end-repeat, stray-end-repeat, idle-run or steps.\n"
    "Exit status: 0 the program ran, 1 a file could not be read or written, 2 bad usage.\n";

struct Options {
    std::int32_t limit = 0;
    std::uint64_t steps = 100'000'000;
    std::string out = "-";
    std::string program;
};

template <class T> std::optional<T> ParseNumber(std::string_view text) {
    T value{};
    const auto* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (text.empty() || ec != std::errc{} || ptr != end) return std::nullopt;
    return value;
}

int BadUsage(std::string_view why) {
    std::cerr << "mosaiq-run: " << why << "\n\n" << kUsage;
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    using namespace mosaiq;
    Options options;
    bool haveProgram = false;
    bool optionsDone = false;

    for (int i = 1; i < argc; ++i) {
        std::string_view arg = argv[i];
        if (!optionsDone && arg.size() > 1 && arg.front() == '-') {
            if (arg == "--") {
                optionsDone = true;
                continue;
            }
            if (arg == "--help" || arg == "-h") {
                std::cout << kUsage;
                return 0;
            }
            std::string_view name = arg;
            std::optional<std::string_view> value;
            if (const auto eq = arg.find('='); eq != std::string_view::npos) {
                name = arg.substr(0, eq);
                value = arg.substr(eq + 1);
            }
            if (name != "--limit" && name != "--steps" && name != "--out")
                return BadUsage("unknown option " + std::string(arg));
            if (!value) {
                if (i + 1 >= argc) return BadUsage(std::string(name) + " needs a value");
                value = argv[++i];
            }
            if (name == "--limit") {
                const auto cell = ParseNumber<std::int32_t>(*value);
                if (!cell || *cell < 1 || *cell > kCellCount)
                    return BadUsage("--limit takes a cell number from 1 to 1024");
                options.limit = *cell;
            } else if (name == "--steps") {
                const auto steps = ParseNumber<std::uint64_t>(*value);
                if (!steps) return BadUsage("--steps takes a whole number, 0 for no budget");
                options.steps = *steps;
            } else {
                if (value->empty()) return BadUsage("--out needs a file name");
                options.out = std::string(*value);
            }
            continue;
        }
        if (haveProgram) return BadUsage("only one PROGRAM may be given");
        options.program = std::string(arg);
        haveProgram = true;
    }
    if (!haveProgram) return BadUsage("no PROGRAM given");

    MachineState machine;
    RunnerHost host(machine, options.steps);
    if (const FileStatus read = LoadStripFile(machine, host, options.program); !read) {
        std::cerr << "mosaiq-run: cannot read " << options.program << ": " << read.error << "\n";
        return 1;
    }

    // Start the run as the editor's command would: the whole strip, or up to a released bar.
    machine.RunLimit = options.limit;
    machine.StopRequest = false;
    const RunResult result = RunProgram(machine, host);

    StripCodes codes;
    for (int i = 1; i <= kCellCount; ++i)
        codes[i - 1] = machine.Cells[i];
    if (options.out == "-") {
#ifdef _WIN32
        _setmode(_fileno(stdout), _O_BINARY); // the line ends are CR LF already
#endif
        const std::string text = FormatStrip(codes);
        std::fwrite(text.data(), 1, text.size(), stdout);
        if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
            std::cerr << "mosaiq-run: cannot write to standard output\n";
            return 1;
        }
    } else if (const FileStatus written = WriteStripFile(options.out, codes); !written) {
        std::cerr << "mosaiq-run: cannot write " << options.out << ": " << written.error << "\n";
        return 1;
    }

    std::cerr << "steps=" << result.steps << " passes=" << result.passes << " x=" << machine.PixelX
              << " end=" << RunEndName(result.end) << "\n";
    return 0;
}
