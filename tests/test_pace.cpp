// The pace of visible runs: the pacing rule on a clock the test sets, the ladder, and runs of the
// editor at a pace against the same runs at full speed.

#include "Editor.h"
#include "Pacer.h"

#include <QtTest>

using namespace mosaiq;
using namespace std::chrono_literals;
using Clock = Pacer::Clock;

namespace {

// Asks the pacer as a run would, from `from` until `until`, a step taking no time; counts the
// steps and the waits between them.
struct Simulation {
    Pacer& pacer;
    Clock::time_point now;
    long steps = 0, waits = 0, firstBurst = -1;

    void RunUntil(Clock::time_point until) {
        long burst = 0;
        while (now < until) {
            const auto wait = pacer.Take(now);
            if (wait == Pacer::Duration::zero()) {
                ++steps, ++burst;
                continue;
            }
            QVERIFY(wait > 0ns && wait <= 1001ms);
            if (firstBurst < 0) firstBurst = burst;
            ++waits;
            now += wait;
        }
    }
};

// An editor whose window does nothing; its clock moves only by waits, which pass at once. The
// `waitAction`-th wait runs `action` instead, as a window serves an event that comes before the
// wait is over.
struct QuietView : EditorView {
    Clock::time_point now{};
    long waits = 0, yields = 0, stopAtYield = 0;
    long waitAction = 0;
    std::function<void()> action;
    Editor* form = nullptr;

    void Yield() override {
        if (++yields == stopAtYield) form->Machine.RequestStop(RunEnd::Steps);
    }
    Clock::time_point Now() override { return now; }
    void WaitUntil(Clock::time_point until) override {
        if (++waits == waitAction)
            action(); // served before the wait was over
        else
            now = std::max(now, until);
    }
    void ShowContextMenu() override {}
    bool AskYesNo(std::string_view, std::string_view) override { return true; }
    bool AskOkCancel(std::string_view, std::string_view) override { return true; }
    void Inform(std::string_view, std::string_view) override {}
    std::string ChooseFile(const FileRequest&) override { return {}; }
    void EndProgram() override {}
    void Changed(Part) override {}
};

QString Outcome(const Editor& form) {
    QString cells;
    for (int i = 1; i <= kCellCount; ++i)
        cells += QString::number(form.Machine.Cells[i], 16);
    return QStringLiteral("%1 steps, %2 passes, end %3, X %4, cells %5")
        .arg(form.LastRun.steps)
        .arg(form.LastRun.passes)
        .arg(int(form.LastRun.end))
        .arg(form.Machine.PixelX)
        .arg(cells);
}

} // namespace

class TestPace : public QObject {
    Q_OBJECT
private slots:
    // Over two seconds a paced run takes its pace's steps, in one burst a frame (16 ms) at paces
    // of more than a step a frame, and one step a wait below that.
    void rungs_data() {
        QTest::addColumn<int>("pace");
        for (const int pace : kPaceLadder)
            if (pace != kFullSpeed) QTest::newRow(qPrintable(QString::number(pace))) << pace;
    }
    void rungs() {
        QFETCH(int, pace);
        Pacer pacer;
        pacer.SetPace(pace, Clock::time_point{});
        const double perFrame = pace * 0.016;
        Simulation run{pacer, Clock::time_point{} + 1h};
        run.RunUntil(run.now + 2s);
        QVERIFY2(std::abs(run.steps - 2.0 * pace) <= 2 * perFrame + 1, qPrintable(QString::number(run.steps)));
        const double perWait = double(run.steps - run.firstBurst) / run.waits;
        QVERIFY2(perFrame < 1 ? perWait <= 1.01 : std::abs(perWait - perFrame) <= 1 + perFrame / 50, qPrintable(QString::number(perWait)));
    }

    // A run held up for a second (a modal question, a slow paint) catches up by one frame at most,
    // then goes on at its pace. The held-up time is not made good.
    void stall_data() { rungs_data(); }
    void stall() {
        QFETCH(int, pace);
        Pacer pacer;
        pacer.SetPace(pace, Clock::time_point{});
        const double perFrame = pace * 0.016;
        Simulation run{pacer, Clock::time_point{}};
        run.RunUntil(run.now + 1s);
        Simulation after{pacer, run.now + 1s};
        after.RunUntil(after.now + 1s);
        QVERIFY2(after.firstBurst <= std::max(1.0, 2 * perFrame) + 1, qPrintable(QString::number(after.firstBurst)));
        QVERIFY2(std::abs(after.steps - pace) <= 2 * perFrame + 1, qPrintable(QString::number(after.steps)));
    }

    // Full speed never waits; a change of pace holds from the next question on.
    void changes() {
        Pacer pacer;
        QCOMPARE(pacer.Pace(), kDefaultPace);
        pacer.SetPace(kFullSpeed, Clock::time_point{});
        for (int i = 0; i < 100000; ++i)
            QCOMPARE(pacer.Take(Clock::time_point{}), Pacer::Duration::zero());
        Simulation run{pacer, Clock::time_point{}};
        pacer.SetPace(1, run.now);
        run.RunUntil(run.now + 5s);
        QVERIFY(run.steps >= 4 && run.steps <= 6);
        pacer.SetPace(1000, run.now); // the run is waiting for its next step: it goes at once
        QVERIFY(pacer.Take(run.now) <= 16ms);
        Simulation faster{pacer, run.now};
        faster.RunUntil(faster.now + 1s);
        QVERIFY2(std::abs(faster.steps - 1000) <= 33, qPrintable(QString::number(faster.steps)));
    }

    // The ladder as the slider and the command line use it.
    void ladder_data() {
        QTest::addColumn<double>("asked");
        QTest::addColumn<int>("pace");
        QTest::addColumn<QString>("text");
        // clang-format off
        QTest::newRow("slowest") << 1.0 << 1 << "Pace: 1 step per second";
        QTest::newRow("below the ladder") << -7.0 << 1 << "Pace: 1 step per second";
        QTest::newRow("between, nearer the lower") << 3.4 << 2 << "Pace: 2 steps per second";
        QTest::newRow("between, nearer the upper") << 3.6 << 5 << "Pace: 5 steps per second";
        QTest::newRow("default") << 5000.0 << 5000 << "Pace: 5,000 steps per second";
        QTest::newRow("fastest") << 1e12 << 1000000 << "Pace: 1,000,000 steps per second";
        // clang-format on
    }
    void ladder() {
        QFETCH(double, asked);
        QFETCH(int, pace);
        QFETCH(QString, text);
        QCOMPARE(NearestPace(asked), pace);
        QCOMPARE(QString::fromStdString(PaceText(pace)), text);
        QCOMPARE(kPaceLadder[PaceRung(pace)], pace);
        QCOMPARE(QString::fromStdString(PaceText(kFullSpeed)), "Pace: full speed");
        QCOMPARE(PaceRung(kFullSpeed), int(kPaceLadder.size()) - 1);
    }

    // A run at a pace is the same run as at full speed: the same cells, steps, passes and end.
    void sameRun_data() {
        QTest::addColumn<QList<int>>("program");
        QTest::addColumn<int>("stopAtYield"); // 0: the run ends by itself
        // clang-format off
        QTest::newRow("loops and a skipped loop") << QList<int>{3, 5, 4, 6, 5, 3, 6, 1, 3} << 0;
        QTest::newRow("scan off the strip") << QList<int>{5} << 0;
        QTest::newRow("stray End Repeat") << QList<int>{1, 3, 6} << 0;
        QTest::newRow("rewrites itself, endless") << QList<int>{3, 1, 3, 2, 3, 5, 1, 4, 6, 7} << 20000;
        // clang-format on
    }
    void sameRun() {
        QFETCH(QList<int>, program);
        QFETCH(int, stopAtYield);
        QStringList outcomes;
        for (const int pace : {kFullSpeed, 5, 5000}) {
            QuietView view;
            Editor form(view);
            view.form = &form;
            view.stopAtYield = stopAtYield;
            form.RunPace.SetPace(pace, view.now);
            for (int i = 0; i < program.size(); ++i)
                form.Machine.Cells[i + 1] = std::uint8_t(program[i]);
            form.RunNow();
            outcomes << Outcome(form);
            QCOMPARE(view.waits > 0, pace != kFullSpeed);
        }
        QCOMPARE(outcomes[1], outcomes[0]);
        QCOMPARE(outcomes[2], outcomes[0]);
    }
    // At one step a second every step waits once, and so does every move of a skipped loop's
    // scan (here from cell 2 past cell 1024: 1023 moves); the closing sweep never does. A stop or
    // a new pace chosen while the run waits holds at once.
    void waits_data() {
        QTest::addColumn<int>("waitAction"); // at that wait: 0 nothing, 1 Stop, 2 full speed
        QTest::addColumn<QList<int>>("program");
        QTest::addColumn<QString>("expected"); // steps, end, waits
        QTest::newRow("Stop") << 1 << QList<int>{} << "2 steps, end 6, 3 waits";
        QTest::newRow("full speed") << 2 << QList<int>{} << "1024 steps, end 0, 3 waits";
        QTest::newRow("every step") << 0 << QList<int>{} << "1024 steps, end 0, 1024 waits";
        QTest::newRow("every cell scanned") << 0 << QList<int>{2, 5} << "2 steps, end 2, 1025 waits";
    }
    void waits() {
        QFETCH(int, waitAction);
        QFETCH(QList<int>, program);
        QFETCH(QString, expected);
        const bool stop = waitAction == 1;
        QuietView view;
        Editor form(view);
        view.form = &form;
        for (int i = 0; i < program.size(); ++i)
            form.Machine.Cells[i + 1] = std::uint8_t(program[i]);
        form.RunPace.SetPace(1, view.now); // one step a wait
        view.waitAction = waitAction ? 3 : 0;
        view.action = [&] {
            if (stop)
                form.mnuRun_Click(); // the item reads "Stop" once the run started
            else
                form.PaceSlider_Change(PaceRung(kFullSpeed));
        };
        form.SetRunCaption(kRunCaptionStop);
        form.RunNow();
        QCOMPARE(QStringLiteral("%1 steps, end %2, %3 waits")
                     .arg(form.LastRun.steps)
                     .arg(int(form.LastRun.end))
                     .arg(view.waits),
                 expected);
    }
};

QTEST_MAIN(TestPace)
#include "test_pace.moc"
