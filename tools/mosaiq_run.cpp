// mosaiq-run: runs a program file through the machine with no window, exactly as the editor
// would, and writes the strip the run leaves; on request also a trace of every step and pictures
// of the strip before and after the run.

#include "RunProgram.h"
#include "RunnerHost.h"
#include "RunnerOptions.h"
#include "StripCheck.h"
#include "StripFile.h"
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
#include <tuple>
#include <type_traits>
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
    "  --png FILE       draw the strip as the editor shows it at the run's end: a bar the\n"
    "                   run repainted in the run's colours, the others in the editing\n"
    "                   colours, a red X on the bar under X\n"
    "  --png-before FILE  draw the strip as loaded, before any step\n"
    "  --png-scale N    enlarge the pictures N times (1 to 8, default 1)\n"
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

// Hands `run` a host of kind `Host` made from `args`, one that also shows the run on bars when
// `pictures` are wanted; a run without pictures pays nothing for them.
template <class Host, class Run, class... Args>
void RunOn(bool pictures, Run& run, MachineState& machine, Args&... args) {
    if (pictures) {
        ShowingHost<Host> host(machine, args...);
        run(host);
    } else {
        Host host(machine, args...);
        run(host);
    }
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

    // The trace and the pictures are opened before the run, so that a long run is not spent on
    // outputs that cannot be written.
    OutputFile trace;
    OutputFile png;
    OutputFile pngBefore;
    for (auto [file, name] : {std::pair{&trace, &o.trace}, std::pair{&png, &o.png},
                              std::pair{&pngBefore, &o.pngBefore}}) {
        if (name->empty()) continue;
        if (const FileStatus opened = file->Open(*name); !opened) {
            std::cerr << "mosaiq-run: cannot write " << Shown(*name) << ": " << opened.error
                      << "\n";
            return kExitFileError;
        }
    }

    // Load the strip as the editor loads a file, then start the run as the editor's command
    // would: the whole strip, or up to a released bar. A picture is drawn from the bars the run
    // showed itself on, as loaded and as it left them.
    MachineState machine;
    BarModel loaded;
    BarModel left;
    RunResult result;
    auto run = [&](auto& host) {
        PutStrip(machine, host, codes);
        RepaintCells(machine, host);
        constexpr bool kShows = std::is_base_of_v<BarModelHost, std::decay_t<decltype(host)>>;
        if constexpr (kShows) loaded = host.Bars;
        machine.RunLimit = o.limit;
        machine.StopRequest = false;
        result = RunProgram(machine, host);
        if constexpr (kShows) left = host.Bars;
    };
    const bool pictures = png.get() || pngBefore.get();
    FileStatus traced;
    if (trace.get()) {
        TraceWriter writer(trace.get());
        RunOn<TracingHost>(pictures, run, machine, o.steps, writer);
        traced = writer.Finish();
    } else {
        RunOn<RunnerHost>(pictures, run, machine, o.steps);
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
    for (auto [file, name, bars] :
         {std::tuple{&pngBefore, &o.pngBefore, &loaded}, std::tuple{&png, &o.png, &left}}) {
        if (!file->get()) continue;
        const FileStatus drawn = StripPicture(*bars, o.pngScale).WritePng(file->get());
        const FileStatus closed = file->Close();
        report(*name, drawn ? closed : drawn);
    }
    if (failed) return kExitFileError;
    return result.end == RunEnd::Steps ? kExitBudget : kExitEnded;
}
