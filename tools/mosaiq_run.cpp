// mosaiq-run: runs a program file through the machine with no window, exactly as the editor
// would, and writes the strip the run leaves; on request also a trace of every step and a picture
// of the strip.

#include "RunProgram.h"
#include "RunnerHost.h"
#include "RunnerOptions.h"
#include "StripCheck.h"
#include "StripFormat.h"
#include "StripPicture.h"
#include "TraceWriter.h"

#include <array>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

namespace {

using namespace mosaiq;
namespace fs = std::filesystem;

constexpr std::string_view kUsage =
    "Usage: mosaiq-run [OPTION]... PROGRAM\n"
    "\n"
    "Runs the Mosaiq program file PROGRAM ('-': standard input) without a window and writes the\n"
    "strip it leaves.\n"
    "\n"
    "  --limit CELL     run cells 1 to CELL (1 to 1024), as a click on bar CELL does;\n"
    "                   default: the whole strip, as the Run command does\n"
    "  --steps N        stop after N executed cells (default 100000000; 0: no budget)\n"
    "  --out FILE       write the final strip to FILE (default, or '-': standard output)\n"
    "  --strict         first report every line that does not hold one code, every line\n"
    "                   past 1024 and a file of fewer lines, as FILE:LINE: reason, and\n"
    "                   run nothing if there is any (the first 50 are listed)\n"
    "  --trace FILE     write a line per executed step: step pass cell code x code_at_x,\n"
    "                   and 'scan END' after a Repeat that skipped its loop to cell END\n"
    "  --png FILE       draw the final strip as the editor's grid shows it, X outlined in red\n"
    "  --png-scale N    enlarge the picture N times (1 to 8, default 1)\n"
    "  --help           show this text\n"
    "  --version        show the version\n"
    "\n"
    "A FILE of '-' is standard output; only one output can go there. No more than 1 MiB of\n"
    "PROGRAM is read; one whose 1024 lines have not ended by then is refused. PROGRAM may be\n"
    "UTF-16 text that begins with its byte order mark.\n"
    "Standard error gets one line: steps=N passes=P x=X end=REASON, where REASON is\n"
    "limit, loop-full, no-end-repeat, stray-end-repeat, idle-run, steps or stopped.\n"
    "Exit status: 0 the program ended by itself, 3 the step budget ran out first,\n"
    "1 a file could not be read or written, 2 bad usage.\n";

constexpr int kExitEnded = 0;
constexpr int kExitFileError = 1;
constexpr int kExitUsage = 2;
constexpr int kExitBudget = 3;

constexpr std::size_t kListedProblems = 50;

using fileio::FilePtr;

FileStatus ErrnoStatus(int err) {
    return fileio::ErrnoFailure(err, std::errc::io_error);
}

// An output named on the command line: standard output for "-", otherwise the file, created or
// cut to length zero and written in place.
class OutputFile {
public:
    FileStatus Open(const std::string& name) {
        if (name == "-") {
#ifdef _WIN32
            _setmode(_fileno(stdout), _O_BINARY); // the bytes go out as they are
#endif
            file_ = stdout;
            return {};
        }
        errno = 0;
        owned_.reset(std::fopen(name.c_str(), "wb"));
        if (!owned_) return ErrnoStatus(errno);
        file_ = owned_.get();
        return {};
    }

    std::FILE* get() const {
        return file_;
    }

    // Says whether everything written has reached the file.
    FileStatus Close() {
        errno = 0;
        const bool failed = std::ferror(file_) || std::fflush(file_) != 0;
        const int err = errno;
        if (owned_ && std::fclose(owned_.release()) != 0 && !failed) return ErrnoStatus(errno);
        return failed ? ErrnoStatus(err) : FileStatus{};
    }

private:
    FilePtr owned_;
    std::FILE* file_ = nullptr;
};

// Reads the program from standard input ("-") or the named file, pipe or device, by the reading
// rules of every program file. A pipe is read no further than a file would be, unless the strict
// check reads along.
FileStatus ReadProgram(const std::string& name, StripCodes& codes, StripCheck* check) {
    std::function<void(const char*, std::size_t)> seen;
    if (check) seen = [check](const char* data, std::size_t n) { check->Feed(data, n); };
    if (name != "-") return ReadStripFile(name, codes, FileKinds::Any, seen);
#ifdef _WIN32
    _setmode(_fileno(stdin), _O_BINARY);
#endif
    return ReadStrip(stdin, codes, seen);
}

// Writes the strip to standard output, or straight to a device or pipe (replacing one would swap
// the node itself for a file); a file, existing or not, gets the safe replace.
FileStatus WriteStrip(const std::string& name, const StripCodes& codes) {
    std::error_code ec;
    const fs::file_status st = fs::status(name, ec);
    if (name != "-" && (!fs::exists(st) || fs::is_regular_file(st) || fs::is_directory(st)))
        return WriteStripFile(name, codes);
    OutputFile out;
    if (FileStatus opened = out.Open(name); !opened) return opened;
    const std::string text = FormatStrip(codes);
    errno = 0;
    const bool written = std::fwrite(text.data(), 1, text.size(), out.get()) == text.size();
    const int err = errno;
    const FileStatus closed = out.Close();
    return written ? closed : ErrnoStatus(err);
}

std::string Shown(const std::string& name) {
    return name == "-" ? "standard output" : name;
}

} // namespace

int main(int argc, char** argv) {
    std::string problem;
    const std::optional<RunnerOptions> parsed = RunnerOptions::Parse(argc, argv, problem);
    if (!parsed) {
        std::cerr << "mosaiq-run: " << problem << "\nTry 'mosaiq-run --help'.\n";
        return kExitUsage;
    }
    const RunnerOptions& o = *parsed;
    if (o.action == RunnerOptions::Action::Help) {
        std::cout << kUsage;
        return kExitEnded;
    }
    if (o.action == RunnerOptions::Action::Version) {
        std::cout << "mosaiq-run " MOSAIQ_VERSION "\n";
        return kExitEnded;
    }

    const std::string source = o.program == "-" ? "<stdin>" : o.program;
    // The strict check's reports wait until the whole text is read: a text refused as too large
    // gets that one message instead. The first few are listed, the rest only counted.
    std::optional<StripCheck> check;
    std::vector<std::string> reports;
    if (o.strict)
        check.emplace([&source, &reports](std::uint64_t line, LineProblem p) {
            if (reports.size() < kListedProblems)
                reports.push_back(source + ':' + std::to_string(line) + ": " +
                                  LineProblemText(p, line));
        });
    StripCodes codes{};
    if (const FileStatus read = ReadProgram(o.program, codes, check ? &*check : nullptr); !read) {
        std::cerr << "mosaiq-run: cannot read " << source << ": " << read.error << "\n";
        return kExitFileError;
    }
    if (check) {
        const std::uint64_t problems = check->Finish();
        for (const std::string& report : reports)
            std::cerr << report << '\n';
        if (problems > reports.size())
            std::cerr << source << ": " << problems - reports.size()
                      << " more problems not listed\n";
        if (problems > 0) return kExitFileError;
    }

    // The trace and the picture are opened before the run, so that a long run is not spent on
    // outputs that cannot be written.
    OutputFile trace;
    OutputFile png;
    for (auto [file, name] : {std::pair{&trace, &o.trace}, std::pair{&png, &o.png}}) {
        if (name->empty()) continue;
        if (const FileStatus opened = file->Open(*name); !opened) {
            std::cerr << "mosaiq-run: cannot write " << Shown(*name) << ": " << opened.error
                      << "\n";
            return kExitFileError;
        }
    }

    // Start the run as the editor's command would: the whole strip, or up to a released bar.
    MachineState machine;
    std::copy(codes.begin(), codes.end(), machine.Cells.begin() + 1);
    machine.RunLimit = o.limit;
    machine.StopRequest = false;
    RunResult result;
    FileStatus traced;
    if (trace.get()) {
        TraceWriter writer(trace.get());
        TracingHost host(machine, o.steps, writer);
        result = RunProgram(machine, host);
        traced = writer.Finish();
    } else {
        RunnerHost host(machine, o.steps);
        result = RunProgram(machine, host);
    }
    std::cerr << "steps=" << result.steps << " passes=" << result.passes << " x=" << machine.PixelX
              << " end=" << RunEndName(result.end) << "\n";

    bool failed = false;
    auto report = [&failed](const std::string& name, const FileStatus& status) {
        if (status) return;
        std::cerr << "mosaiq-run: cannot write " << Shown(name) << ": " << status.error << "\n";
        failed = true;
    };
    if (trace.get()) {
        const FileStatus closed = trace.Close();
        report(o.trace, traced ? closed : traced);
    }
    std::copy(machine.Cells.begin() + 1, machine.Cells.end(), codes.begin());
    report(o.out, WriteStrip(o.out, codes));
    if (png.get()) {
        const FileStatus drawn =
            StripPicture(codes, machine.PixelX, o.pngScale).WritePng(png.get());
        const FileStatus closed = png.Close();
        report(o.png, drawn ? closed : drawn);
    }
    if (failed) return kExitFileError;
    return result.end == RunEnd::Steps ? kExitBudget : kExitEnded;
}
