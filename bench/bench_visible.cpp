// Speed of visible runs: the busy program, all instructions, run in the real editor window for a
// few seconds at several paces (the pace it keeps, the processor a slow run takes, the frames
// shown: the grid's paints and the status line's refreshes); a strip of three instructions and
// white cells at the default pace (how long the white cells take); and, for comparison, a bare
// loop that paints every change the moment it happens.
// Run under a real X server (bench/run-benchmarks.sh starts Xvfb).

#include "BenchPrograms.h"
#include "CellView.h"
#include "EditorWindow.h"

#include <QApplication>
#include <QTimer>

#include <chrono>
#include <cstdio>
#include <ctime>
#include <string>

namespace {

using Clock = std::chrono::steady_clock;
using namespace mosaiq;

constexpr auto kRunTime = std::chrono::milliseconds(3000);
constexpr auto kNaiveTimeCap = std::chrono::seconds(10);

// Two bar changes per step, each drawn at once, and two trips through the event loop.
double NaiveStepsPerSecond(EditorWindow& w, std::uint64_t steps) {
    const auto start = Clock::now();
    std::uint64_t done = 0;
    int pos = 1;
    int x = kCellCount;
    std::uint8_t code = 8;
    for (; done < steps; ++done) {
        w.Form.Bars.SetCaption(pos, done % 2 ? BarCaption::Empty : BarCaption::X);
        w.Panel->repaint(w.Panel->BarRect(pos));
        QCoreApplication::processEvents();
        w.Form.Bars.SetFill(x, RunColor(code++));
        w.Panel->repaint(w.Panel->BarRect(x));
        QCoreApplication::processEvents();
        pos = pos % 400 + 1;
        x = x > 824 ? x - 1 : kCellCount;
        if ((done & 255) == 0 && Clock::now() - start > kNaiveTimeCap) break;
    }
    const std::chrono::duration<double> elapsed = Clock::now() - start;
    return static_cast<double>(done) / elapsed.count();
}

struct Measured {
    std::uint64_t steps = 0;
    double seconds = 0;
    double frames = 0;       // paints of the grid
    double statusFrames = 0; // refreshes of the status line
    double cpuSeconds = 0;   // of the whole process
    bool stopped = false;    // the run went on until it was stopped
};

double ProcessCpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

// Runs the busy program at `pace` for `runTime`, then stops it from inside one of its yields, as
// the Stop command would.
Measured RunAtPace(EditorWindow& w, int pace, std::chrono::milliseconds runTime) {
    LoadBusyProgram(w.Form.Machine);
    w.SetPace(pace);
    QTimer::singleShot(runTime, &w, [&] { w.Form.mnuRun_Click(); });
    const quint64 paintsBefore = w.Panel->PaintCount();
    const quint64 statusBefore = w.StatusFrames();
    w.Form.mnuRun_Click(); // "Run": arms the deferred run, which is carried out here at once
    w.Form.OneShot.SetEnabled(false);
    w.Form.OneShot.SetTag({});
    const double cpuBefore = ProcessCpuSeconds();
    const auto start = Clock::now();
    w.Form.RunNow();
    Measured m;
    m.seconds = std::chrono::duration<double>(Clock::now() - start).count();
    m.cpuSeconds = ProcessCpuSeconds() - cpuBefore;
    m.steps = w.Form.LastRun.steps;
    m.frames = static_cast<double>(w.Panel->PaintCount() - paintsBefore);
    m.statusFrames = static_cast<double>(w.StatusFrames() - statusBefore);
    m.stopped = w.Form.LastRun.end == RunEnd::Stopped && m.steps > 0;
    return m;
}

// A window that notes when a run first stands past the strip's instructions.
struct WalkWindow : EditorWindow {
    Clock::time_point whiteFrom{};
    void Yield() override {
        if (whiteFrom == Clock::time_point{} && Form.Machine.ProgPos > 3) whiteFrom = Clock::now();
        EditorWindow::Yield();
    }
};

// A run of the whole strip at the default pace over three instructions and 1,021 white cells:
// the milliseconds from the first white cell to the end of the run, closing sweep included.
double StripWalkMs(WalkWindow& w) {
    w.Form.Machine = MachineState{};
    w.Form.Machine.Cells[1] = NextPixel;
    w.Form.Machine.Cells[2] = PlusColor;
    w.Form.Machine.Cells[3] = PreviousPixel;
    w.SetPace(kDefaultPace);
    w.Form.Machine.StopRequest = false;
    w.Form.RunNow();
    return std::chrono::duration<double, std::milli>(Clock::now() - w.whiteFrom).count();
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    EditorWindow w;
    w.Form.SetStatus(kModeDesign);
    w.show();
    int status = 0;

    QTimer::singleShot(500, &w, [&] {
        const auto report = [&](const char* name, double value, const char* format) {
            std::printf(format, name, value);
            std::fflush(stdout);
        };
        const auto check = [&](const Measured& m) {
            if (!m.stopped) {
                std::fprintf(stderr, "bench_visible: the run ended by itself after %llu steps\n",
                             static_cast<unsigned long long>(m.steps));
                status = 1;
            }
            return m;
        };
        for (const int pace : {1000, 100000}) {
            const Measured m = check(RunAtPace(w, pace, std::chrono::milliseconds(2500)));
            const std::string name = "paced_instructions_per_s_" + std::to_string(pace);
            report(name.c_str(), static_cast<double>(m.steps) / m.seconds, "%s: %.0f\n");
        }
        const Measured slow = check(RunAtPace(w, 10, std::chrono::milliseconds(3000)));
        report("paced_cpu_percent_10", 100 * slow.cpuSeconds / slow.seconds, "%s: %.2f\n");
        const Measured paced = check(RunAtPace(w, kDefaultPace, std::chrono::milliseconds(3000)));
        const std::string atDefault = "_" + std::to_string(kDefaultPace);
        report(("paced_instructions_per_s" + atDefault).c_str(),
               static_cast<double>(paced.steps) / paced.seconds, "%s: %.1f\n");
        report(("visible_frames_per_s" + atDefault).c_str(), paced.frames / paced.seconds,
               "%s: %.1f\n");
        report(("status_frames_per_s" + atDefault).c_str(), paced.statusFrames / paced.seconds,
               "%s: %.1f\n");
        {
            WalkWindow walk;
            walk.show();
            report("strip_walk_ms", StripWalkMs(walk), "%s: %.1f\n");
        }

        const Measured full = check(RunAtPace(w, kFullSpeed, kRunTime));
        report("visible_steps", static_cast<double>(full.steps), "%s: %.0f\n");
        report("visible_seconds", full.seconds, "%s: %.3f\n");
        report("visible_steps_per_s", static_cast<double>(full.steps) / full.seconds, "%s: %.0f\n");
        report("visible_frames_per_s", full.frames / full.seconds, "%s: %.1f\n");
        report("status_frames_per_s", full.statusFrames / full.seconds, "%s: %.1f\n");
        report("naive_visible_steps_per_s", NaiveStepsPerSecond(w, full.steps), "%s: %.0f\n");
        app.exit(status);
    });
    return app.exec();
}
