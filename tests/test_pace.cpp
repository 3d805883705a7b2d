// The pace of visible runs: the pacing rule on a clock the test sets, and runs of the editor at a
// pace against the same runs at full speed.

#include "Pacer.h"
#include "RecordingView.h"

using namespace mosaiq;
using namespace std::chrono_literals;
using Clock = Pacer::Clock;

namespace {

// Asks the pacer as a run would, until `until`, a step taking no time; counts steps and waits.
struct Simulation {
    Pacer& pacer;
    Clock::time_point now;
    long steps = 0, waits = 0, firstBurst = -1;
    void RunUntil(Clock::time_point until) {
        for (long burst = 0; now < until;) {
            if (const auto wait = pacer.Take(now); wait == Pacer::Duration::zero())
                ++steps, ++burst;
            else
                firstBurst = firstBurst < 0 ? burst : firstBurst, ++waits, now += wait;
        }
    }
};

} // namespace

class TestPace : public QObject {
    Q_OBJECT
private slots:
    // At every rung a run takes its pace's steps a second, one burst a frame (16 ms) or one step
    // a wait when that is less. Held up for a second (a modal question, a slow paint), it catches
    // up by one frame at most and goes on at its pace; the held-up time is not made good.
    void rungs_data() {
        QTest::addColumn<int>("pace");
        for (const int pace : kPaceLadder)
            if (pace != kFullSpeed) QTest::newRow(qPrintable(QString::number(pace))) << pace;
    }
    void rungs() {
        QFETCH(int, pace);
        Pacer pacer;
        pacer.SetPace(pace, Clock::time_point{});
        const double perFrame = pace * 0.016, slack = 2 * perFrame + 1;
        Simulation run{pacer, Clock::time_point{} + 1h};
        run.RunUntil(run.now + 2s);
        QVERIFY(std::abs(run.steps - 2.0 * pace) <= slack);
        const double perWait = double(run.steps - run.firstBurst) / run.waits;
        QVERIFY(perFrame < 1 ? perWait <= 1.01 : std::abs(perWait - perFrame) <= 1 + perFrame / 50);
        Simulation after{pacer, run.now + 1s};
        after.RunUntil(after.now + 1s);
        QVERIFY(after.firstBurst <= std::max(1.0, 2 * perFrame) + 1);
        QVERIFY(std::abs(after.steps - pace) <= slack);
    }

    // A run at a pace is the same run as at full speed: the same cells, steps, passes and end.
    // At one step a second every step waits once, and so does every move of a skipped loop's
    // scan (from cell 2 past cell 1024: 1023 moves); the closing sweep never does. A stop or a
    // new pace chosen while the run waits holds at once.
    void paced_data() {
        QTest::addColumn<QList<int>>("program");
        QTest::addColumn<int>("atThirdWait"); // 0 nothing, 1 Stop, 2 full speed
        QTest::addColumn<QString>("waits");   // steps, end, waits of the paced run
        // clang-format off
        QTest::newRow("every step") << QList<int>{} << 0 << "1024 steps, end 0, 1024 waits";
        QTest::newRow("loops, two skipped") << QList<int>{3, 5, 4, 6, 5, 3, 6, 1, 3} << 0 << "1032 steps, end 0, 1036 waits";
        QTest::newRow("every cell scanned") << QList<int>{2, 5} << 0 << "2 steps, end 2, 1025 waits";
        QTest::newRow("Stop while waiting") << QList<int>{} << 1 << "2 steps, end 6, 3 waits";
        QTest::newRow("full speed while waiting") << QList<int>{} << 2 << "1024 steps, end 0, 3 waits";
        // clang-format on
    }
    void paced() {
        QFETCH(QList<int>, program);
        QFETCH(int, atThirdWait);
        QFETCH(QString, waits);
        QStringList outcomes;
        for (const int pace : {1, kFullSpeed}) {
            test::EditorFixture f;
            Editor& form = *f.form;
            f.view.onWait = [&](long n) {
                if (n == 3 && atThirdWait == 1) form.mnuRun_Click(); // it reads "Stop" in a run
                if (n == 3 && atThirdWait == 2) form.PaceSlider_Change(PaceRung(kFullSpeed));
                return n == 3 && atThirdWait;
            };
            form.RunPace.SetPace(pace, f.view.now);
            for (int i = 0; i < program.size(); ++i)
                form.Machine.Cells[i + 1] = std::uint8_t(program[i]);
            form.SetRunCaption(kRunCaptionStop);
            form.RunNow();
            const QString run = QStringLiteral("%1 steps, end %2")
                                    .arg(form.LastRun.steps)
                                    .arg(int(form.LastRun.end));
            if (pace == 1) QCOMPARE(run + QStringLiteral(", %1 waits").arg(f.view.waits), waits);
            outcomes << run + QStringLiteral(", %1 passes, ").arg(form.LastRun.passes) + f.State();
        }
        if (!atThirdWait) QCOMPARE(outcomes[0], outcomes[1]);
    }
};

QTEST_GUILESS_MAIN(TestPace)
#include "test_pace.moc"
