// Speed of visible runs: the busy program run in the real editor window for a few seconds, and,
// for comparison, a bare loop that paints every change the moment it happens.
// Run under a real X server (bench/run-benchmarks.sh starts Xvfb).

#include "BenchPrograms.h"
#include "CellView.h"
#include "EditorWindow.h"

#include <QApplication>
#include <QTimer>

#include <chrono>
#include <cstdio>

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

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    EditorWindow w;
    w.Form.SetStatus(kModeDesign);
    LoadBusyProgram(w.Form.Machine);
    w.show();
    int status = 0;

    QTimer::singleShot(500, &w, [&] {
        // Stop the run from inside one of its yields, as the Stop command would.
        QTimer::singleShot(kRunTime, &w, [&] { w.Form.mnuRun_Click(); });
        const quint64 paintsBefore = w.Panel->PaintCount();
        w.Form.mnuRun_Click(); // "Run": arms the deferred run
        const auto start = Clock::now();
        w.Form.OneShot.SetEnabled(false);
        w.Form.OneShot.SetTag({});
        w.Form.RunNow();
        const std::chrono::duration<double> elapsed = Clock::now() - start;
        const std::uint64_t steps = w.Form.LastRun.steps;
        const double frames = static_cast<double>(w.Panel->PaintCount() - paintsBefore);
        if (w.Form.LastRun.end != RunEnd::Stopped || steps == 0) {
            std::fprintf(stderr, "bench_visible: the run ended by itself after %llu steps\n",
                         static_cast<unsigned long long>(steps));
            status = 1;
        }
        std::printf("visible_steps: %llu\n", static_cast<unsigned long long>(steps));
        std::printf("visible_seconds: %.3f\n", elapsed.count());
        std::printf("visible_steps_per_s: %.0f\n", static_cast<double>(steps) / elapsed.count());
        std::printf("visible_frames_per_s: %.1f\n", frames / elapsed.count());
        std::fflush(stdout);
        std::printf("naive_visible_steps_per_s: %.0f\n", NaiveStepsPerSecond(w, steps));
        app.exit(status);
    });
    return app.exec();
}
