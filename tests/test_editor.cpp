// The editor's rules without any window: layout, painting, preview and mark, the menu rule,
// closing, the caption, the commands and the deferred commands, each row a script of events;
// Load, Save and the start-up's own steps on real files; the pace of visible runs, on a clock the
// test sets.

#include "FileCommands.h"
#include "Pacer.h"
#include "RecordingView.h"
#include "SplashRules.h"
#include "Table.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <fstream>

#include <sys/stat.h>

using namespace mosaiq;
using namespace mosaiq::test;
using Ints = QList<int>;
using namespace std::chrono_literals;
using Clock = Pacer::Clock;

namespace {

// Asks the pacer as a run would from `now` until `until`, a step taking no time; counts steps.
// Waits are `woken` 1: cut short at the next frame, as a served event does; 2: 10 ms late, as a
// browser's timers are.
long Steps(Pacer& pacer, Clock::time_point& now, Clock::time_point until, int woken = 0) {
    long steps = 0;
    while (now < until)
        if (const auto wait = pacer.Take(now); wait == Pacer::Duration::zero())
            ++steps;
        else
            now += woken == 1 ? std::min<Pacer::Duration>(wait, Pacer::kFrame)
                              : wait + (woken == 2 ? 10ms : 0ms);
    return steps;
}

} // namespace

class TestEditor : public QObject {
    Q_OBJECT
    QTemporaryDir dir;

private slots:
    void scripts_data();
    void scripts();

    // A run's steps in its first second at a pace set as it starts (and one step more), and in
    // the second after that step, which may come after a hold-up (a modal question, a slow paint)
    // and starts a burst in which the pace may change: steps come a frame's worth (16 ms) at a
    // time, a held-up run catches up by one frame at most, and a slow-down keeps no more steps in
    // hand than the new pace allows.
    void pacer_data() {
        // The paces before and after, the hold-up in ms, and how the run is woken (see Steps).
        Columns<Ints, QString>("paces", "steps");
        QTest::newRow("1, held up") << Ints{1, 1, 1000} << "1, 1";
        QTest::newRow("1000, held up") << Ints{1000, 1000, 1000} << "993, 1023";
        QTest::newRow("1000000 to 100") << Ints{1000000, 100, 0} << "992001, 102";
        QTest::newRow("2 to 1000, held up") << Ints{2, 1000, 1000} << "2, 992";
        QTest::newRow("20, woken every frame") << Ints{20, 20, 0, 1} << "20, 19";
        QTest::newRow("20, woken late") << Ints{20, 20, 0, 2} << "20, 19";
    }
    void pacer() {
        const auto [paces, steps] = Fetch<Ints, QString>("paces", "steps");
        Pacer pacer;
        Clock::time_point now{};
        pacer.SetPace(paces[0], now);
        const int woken = paces.value(3);
        const long first = Steps(pacer, now, Clock::time_point{} + 1s, woken);
        now += std::chrono::milliseconds(paces[2]);
        const bool burst = pacer.Take(now) == Pacer::Duration::zero(); // the change comes mid-burst
        pacer.SetPace(paces[1], now);
        QCOMPARE(
            QStringLiteral("%1, %2").arg(first + burst).arg(Steps(pacer, now, now + 1s, woken)),
            steps);
    }

    // The ladder the manual page names, and the rung a pace is taken to (the slower on a tie).
    void ladder() {
        QFile manual(MOSAIQ_MANUAL);
        QVERIFY(manual.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(manual.readAll()).simplified();
        const QString named = text.section("nearest of ", 1).section('.', 0, 0);
        QStringList rungs;
        for (const int pace : kPaceLadder)
            if (pace != kFullSpeed) rungs << QString::number(pace);
        QCOMPARE(named, rungs.mid(0, rungs.size() - 1).join(", ") + " and " + rungs.back());
        QStringList seen;
        for (const double pace : {0.2, 1.5, 750.0, 750.1, 9e9})
            seen << QString::number(NearestPace(pace));
        QCOMPARE(seen.join(" | "), "1 | 1 | 500 | 1000 | 1000000");
    }

    // The splash stays three seconds past its last paint, and never past ten seconds after it
    // showed, painted or not.
    void splashCountdown() {
        SplashCountdown countdown(Clock::time_point{});
        QStringList due;
        for (const int paint : {-1, 0, 2000, 6000, 9000}) {
            if (paint >= 0)
                countdown.Painted(Clock::time_point{} + std::chrono::milliseconds(paint));
            due << QString::number((countdown.Due() - Clock::time_point{}) / 1ms);
        }
        QCOMPARE(due.join(' '), "10000 3000 5000 9000 10000");
    }

    // Files for the scripts' "start", "load", "save" and "saved": where letter case matters,
    // r.mq is another file than R.MQ.
    void initTestCase() {
        EditorFixture::folder = dir.path();
        // clang-format off
        const std::map<QString, QByteArray> files = {{"a ~ b.mq", "04\r\n0B"}, {"R.MQ", "05\r\n00\r\nFF"}, {"r.mq", "09"}, {"x y.mq", "0\n0\n0\n0\n6"}, {"caf%E9.mq", "07"}, {"alike/caf%E9.mq", "07"}, {"alike/caf%EF.mq", "08"}, {"big.mq", "1"}};
        // clang-format on
        QVERIFY(QDir(dir.path()).mkdir("alike"));
        for (const auto& [name, text] : files)
            QVERIFY(std::ofstream(EditorFixture::Path(name)) << text.toStdString());
        std::filesystem::resize_file(EditorFixture::Path("big.mq"), 2 << 20);
        QVERIFY(QFile::link("loop.mq", dir.filePath("loop.mq")));
        QVERIFY(QFile::link("/dev/zero", dir.filePath("zero.mq")));
    }
    // Qt cannot remove a name that is not UTF-8.
    void cleanupTestCase() {
        for (const char* name : {"caf%E9.mq", "alike/caf%E9.mq", "alike/caf%EF.mq"})
            std::filesystem::remove(EditorFixture::Path(name));
    }

    // What the choosers propose. Before a file is named they open in the program's folder in a
    // build tree; once installed, Load in the examples and Save in the documents, or home without
    // them. For a named file Load proposes it as named; Save too where the user may save it, else
    // that name in the documents, or home without them.
    void choosers_data() {
        // Folders made below the root (~ is the user's home); the modes of f/ and f/a.mq ("-": not
        // there; "": none named); Load's folder and name | Save's.
        Columns<QString, QString, QString>("made", "modes", "proposed");
        const QString docs = "usr/bin ~/Documents",
                      installed = "usr/bin usr/bin/" MOSAIQ_EXAMPLES_FROM_BIN " ";
        // clang-format off
        QTest::newRow("build tree") << docs << "" << "usr/bin | usr/bin";
        QTest::newRow("installed") << installed + "~/Documents" << "" << "usr/share/mosaiq/examples | ~/Documents";
        QTest::newRow("installed, no documents") << installed + "~" << "" << "usr/share/mosaiq/examples | ~";
        QTest::newRow("new file, open folder") << docs << "777 -" << "usr/bin f/a.mq | usr/bin f/a.mq";
        QTest::newRow("new file, shut folder") << docs << "555 -" << "usr/bin f/a.mq | usr/bin ~/Documents/a.mq";
        QTest::newRow("read-only file, open folder") << docs << "777 444" << "usr/bin f/a.mq | usr/bin ~/Documents/a.mq";
        QTest::newRow("writable file, shut folder") << docs << "555 666" << "usr/bin f/a.mq | usr/bin f/a.mq";
        QTest::newRow("no such folder") << docs << "- -" << "usr/bin f/a.mq | usr/bin ~/Documents/a.mq";
        QTest::newRow("shut folder, no documents") << "usr/bin ~" << "555 -" << "usr/bin f/a.mq | usr/bin ~/a.mq";
        // clang-format on
    }
    void choosers() { // the titles and filters too
        if (RanAsNobody()) return;
        const auto [made, modes, proposed] =
            Fetch<QString, QString, QString>("made", "modes", "proposed");
        QTemporaryDir dir;
        const QString root = QDir(dir.path()).canonicalPath(), f = root + "/f", file = f + "/a.mq";
        const QStringList mode = modes.isEmpty() ? QStringList{"-", "-"} : modes.split(' ');
        for (const QString& folder : made.split(' '))
            QVERIFY(QDir(root).mkpath(folder));
        QVERIFY(mode[0] == "-" || QDir().mkdir(f));
        QVERIFY(mode[1] == "-" || QFile(file).open(QIODevice::WriteOnly));
        for (const auto& [path, m] :
             {std::pair{file, mode[1]}, {f, mode[0]}, {root, QString("755")}})
            QVERIFY(m == "-" || ::chmod(QFile::encodeName(path), m.toUInt(nullptr, 8)) == 0);
        const auto path = [&root](const char* p) { return (root + '/' + p).toStdString(); };
        EditorFixture fixture;
        InstallFileCommands(*fixture.form,
                            FindChooserPlaces(path("usr/bin"), MOSAIQ_EXAMPLES_FROM_BIN,
                                              path("~/Documents"), path("~")),
                            Spelled);
        if (!modes.isEmpty()) fixture.form->FileName = file.toStdString();
        fixture.form->mnuLoad_Click();
        fixture.form->mnuSave_Click();
        ::chmod(QFile::encodeName(f), 0700);
        QStringList seen, titles;
        for (const FileRequest& r : fixture.view.requests) {
            seen << QDir(root).relativeFilePath(Q(r.folder)) +
                        (r.fileName.empty() ? ""
                                            : ' ' + QDir(root).relativeFilePath(Q(r.fileName)));
            titles << Q(r.title + ", " + r.filter);
        }
        QCOMPARE(seen.join(" | ") + " / " + titles.join(" | "),
                 proposed + " / Load Mosaiq file, mosaiq files (*.mq)|*.mq | "
                            "Save Mosaiq file, Mosaiq files (*.mq)|*.mq");
    }

    // The layout in twips; and in device pixels: the frame's size, bar 34 and the pace slider.
    // Every edge lies within a pixel of its place in twips; neighbours keep a line of one pixel or
    // more between them while the layout has a gap, and meet in a run; the bar under each of a
    // bar's corners is that bar, and the pixel past its bottom right corner is the frame. Nothing
    // is under any point of a grid not shown.
    void layout_data() {
        // The client's width, height and dpi; e: the frame, the gap, bar 34 (row 2, column 2), the
        // last row's overrun.
        Columns<QString, QList<double>, Ints, QString>("mode", "client", "e", "pixels");
        // clang-format off
        const auto row = [](const char* name, const char* mode, QList<double> c, Ints e, const char* pixels = "") { QTest::newRow(name) << QString(mode) << c << e << QString(pixels); };
        const Ints designed{9570, 7545, 12, 287, 224, 299, 236, -5}, running{9570, 7545, 0, 299, 236, 299, 236, 7};
        // 144 dpi: 7545 twips are 754.5 pixels, the gap's edges at 29.9 and 23.6 twips.
        row("designed, 144 dpi", "", {10635, 7905, 144}, designed, "957x755 30,24-59,46 12,408 62x359");
        row("running", "running", {10635, 7905, 144}, running, "957x755 30,24-60,47 12,408 62x359");
        row("small, 120 dpi", "", {5300, 4100, 120}, {4235, 3740, 5, 127, 112, 132, 117, -1}, "353x312 11,10-21,19 10,340 51x0");
        row("too narrow", "", {900, 7905, 96}, designed);
        row("too low", "", {6000, 300, 96}, {4935, 7545, 6, 148, 230, 154, 236, 1});
        row("bars below 0 high", "", {45000, 1995, 96}, {43935, 1635, 55}, "2929x109 0,0-0,0 8,272 41x0"); // all hidden
        row("minimised", "min", {6000, 6000, 96}, designed);
        row("a file named [Running]", "named", {10635, 7905, 144}, running); // the caption decides
        // Halves go to the even neighbour: the frame's 9570.5 to 9570, the gap's 12.5 to 12.
        row("half twip frame", "", {10635.5, 7905, 96}, designed);
        row("half twip gap", "", {11065, 7905, 96}, {10000, 7545, 12, 300, 224, 312, 236, -5});
        // clang-format on
    }

    void layout() {
        const auto [mode, client, e, pixels] =
            Fetch<QString, QList<double>, Ints, QString>("mode", "client", "e", "pixels");
        EditorFixture f;
        Editor& w = *f.form;
        w.FileName = mode == "named" ? "/[Running].mq" : "";
        w.SetStatus(mode == "running" ? kModeRunning : kModeDesign);
        w.Form_Resize(mode == "min", client[0], client[1]);
        const Bar &b34 = w.Bars.At(34), &last = w.Bars.At(kCellCount);
        const int height = int(f.view.panelHeight);
        const Ints frame{int(f.view.panelWidth), height, w.Grid.gap};
        const Ints bar{b34.width, b34.height, b34.left, b34.top, last.top + last.height - height};
        QCOMPARE((frame + bar).mid(0, e.size()),
                 e); // only the frame and gap when every bar is hidden

        const double dpi = client[2], k = dpi / kTwipsPerInch;
        const GridLayout& g = w.Grid;
        const PixelRect r = g.shown ? g.BarPixels(34, k, k) : PixelRect{};
        TwipsBox slider = EditorPlaces::PaceSliderBox(client[1]);
        slider.height *= slider.shown;
        const auto px = [dpi](double twips) { return TwipsToPixels(twips, dpi); };
        if (!pixels.isEmpty())
            QCOMPARE(QString::asprintf("%dx%d %d,%d-%d,%d %d,%d %dx%d", px(f.view.panelWidth),
                                       px(f.view.panelHeight), r.left, r.top, r.right, r.bottom,
                                       px(slider.left), px(slider.top), px(slider.width),
                                       px(slider.height)),
                     pixels);
        for (int i = 1; i <= kCellCount; ++i) {
            const PixelRect d = g.BarPixels(i, k, k);
            const Bar& b = w.Bars.At(i);
            QCOMPARE(b.visible, e.size() > 3);
            if (!g.shown) {
                QCOMPARE(g.BarAt(d.left, d.top, k, k), 0);
                continue;
            }
            for (const auto& [pixel, twips] : {std::pair(d.left, b.left),
                                               {d.top, b.top},
                                               {d.right, b.left + b.width},
                                               {d.bottom, b.top + b.height}})
                QVERIFY(std::abs(pixel - twips * k) <= 1);
            const PixelRect across = g.BarPixels(i % 32 ? i + 1 : i, k, k);
            const PixelRect down = g.BarPixels(std::min(i + 32, kCellCount), k, k);
            QVERIFY(i % 32 == 0 || std::min(across.left - d.right, 1) == (g.gap > 0));
            QVERIFY(i > kCellCount - 32 || std::min(down.top - d.bottom, 1) == (g.gap > 0));
            QVERIFY(g.BarAt(d.left, d.top, k, k) == i &&
                    g.BarAt(d.right - 1, d.bottom - 1, k, k) == i);
            QVERIFY(!g.gap || g.BarAt(d.right, d.bottom, k, k) == 0);
        }
    }
};

void TestEditor::scripts_data() {
    // clang-format off
    // The script (see EditorFixture::Play), what is shown at every "check" and at the end, and
    // whether that is the status line's words (at every "status" and at the end) or State().
    Columns<QString, QString, bool>("script", "shown", "words");
    const QString off = "menu off: Clear All, Reset Data, Run, Save ...";
    // The pens.
    ScriptRow("pen on white", "pen 3; press 100", "pen 3; cells 100=3");
    ScriptRow("same pen erases", "cell 100 3; pen 3; press 100", "pen 3");
    ScriptRow("pen on grey", "cell 100 200; pen 7; press 100", "pen 7; cells 100=7");
    ScriptRow("white pen", "cell 100 1; pen 0; press 100", "pen 0");
    ScriptRow("first press after start-up", "fresh; pen 4; press 200; release 200; press 201", "pen 1 (4); cells 200=1,201=1; mark 200; limit 200; armed run 100");
    // The preview.
    ScriptRow("preview moves", "pen 2; move 10; move 11", "pen 2; preview 11; hover 11");
    ScriptRow("preview, coloured bar", "cell 12 3; pen 2; move 11; move 12", "pen 2; cells 12=3");
    ScriptRow("preview, gap", "pen 2; move 11; move 0", "pen 2");
    ScriptRow("preview painted over", "pen 2; move 11; press 11", "pen 2; cells 11=2");
    ScriptRow("preview, marked bar", "cell 20 3; pen 3; click 20; pen 5; move 20", "pen 5; mark 20; limit 20; armed run 100");
    ScriptRow("preview, white pen", "pen 0; move 30", "pen 0");
    ScriptRow("preview, right release", "pen 6; move 31; right 31", "pen 6; " + off);
    // The mark, run-to-here and what removes the mark.
    ScriptRow("run to here", "cell 1 1; pen 3; click 10; wait", "pen 3; cells 1=1,2=1,10=3; touched 2; mark 10; X at 2; ran 10");
    ScriptRow("white pen marks, no run", "cell 40 1; pen 0; click 40; wait", "pen 0; limit 40");
    ScriptRow("white pen chosen", "pen 3; click 40; pen 0", "pen 0; cells 40=3; limit 40; armed run 100");
    ScriptRow("right release on the frame", "pen 3; click 40; wait; right 0", "pen 3; cells 1=1,40=3; touched 1; mark 40; ran 40; menu off: none");
    ScriptRow("releases arm one run", "pen 3; click 40; after 60; click 41; after 50", "pen 3; cells 1=2,40=3,41=3; touched 1; mark 41; ran 41");
    ScriptRow("release during a run", "cell 1 5; cell 2 6; pen 3; Run; during; click 500; check; Run", "Mosaiq [Running]; item Stop; white; pen 3; cells 1=5,2=6,500=3; mark 500; limit 1024; running | pen 3; cells 1=5,2=6,500=3; mark 500; stopped");
    ScriptRow("busy", "pen 3; click 8; wait; pen 2; move 7; busy; away; click 9; move 9; right 9; click 0; right 0; pen 6", "busy; pen 6; cells 1=1,8=3; touched 1; mark 8; ran 8");
    // The menu's item states.
    ScriptRow("menu, empty strip", "right 300", "pen 0 (1); " + off);
    ScriptRow("menu, a cell", "cell 3 7; right 0", "pen 0 (1); cells 3=7; menu off: Reset Data");
    ScriptRow("menu, touched 0", "touch 900; right 300", "pen 0 (1); touched 900; menu off: none");
    // Closing.
    ScriptRow("close, empty strip", "close", "pen 0 (1); ended");
    ScriptRow("close, Cancel", "cell 2 4; close", "pen 0 (1); cells 2=4; Mosaiq|Shutdown?");
    ScriptRow("close, only touched", "touch 900; close", "pen 0 (1); touched 900; Mosaiq|Shutdown?");
    // Run control, on a strip that runs until stopped: cell X (1) stays coloured.
    const QString endless = "cell 1 5; cell 2 6; file /a~b; ", strip = "pen 0 (1); cells 1=5,2=6; ";
    const QString named = "Mosaiq [Design] ~ /a~b; ", running = "Mosaiq [Running] ~ /a~b; ";
    const QString going = "white; " + strip + "limit 1024; running; file /a~b | ";
    ScriptRow("Run, Stop", endless + "Run; check; during; check; Run; check", named + "item Stop; " + strip + "armed run 100; file /a~b | " + running + "item Stop; " + going + running + going + named + strip + "stopped; file /a~b");
    const QString clear = "Mosaiq|Reset and clear everything?";
    ScriptRow("Clear All during a run", endless + "yes; Run; during; Clear; check", running + "item Stop; white; pen 0 (1); limit 1024; running; " + clear + " | pen 0 (1); stopped; " + clear);
    ScriptRow("close during a run", endless + "ok; Run; during; close; Run", named + strip + "stopped; file /a~b; Mosaiq|Shutdown?; ended");
    ScriptRow("resize during a run", endless + "Run; during; resize 9000 7000; Run", named + strip + "stopped; gap 0; file /a~b");
    // The menu holds the run to bar 5 (a loop in 3..5 while cell X, 3 itself, is coloured) while
    // the Run command's "run" falls due; the run that waited follows, over the whole strip.
    ScriptRow("a run falling due while the menu is open", "cell 1 1; cell 2 1; cell 3 5; pen 6; click 5; during; menu 9; Run; wait; check; cell 3 0; cell 5 0", "Mosaiq [Running]; item Stop; pen 6; cells 1=1,2=1,3=5,5=6; mark 5; running; menu off: Reset Data | pen 6; cells 1=1,2=1; mark 5; X at 3; ran 1024; menu off: Reset Data");
    ScriptRow("Stop drops a run that waits", "cell 1 5; cell 2 6; pen 3; click 5; during; Run; wait; Run", "pen 3; cells 1=5,2=6,5=3; mark 5; stopped");
    ScriptRow("caption", "file /h/~u/a~b; file /c; Run; check; wait", "Mosaiq [Design] ~ /c; item Stop; pen 0 (1); armed run 100; file /c | Mosaiq [Design] ~ /c; pen 0 (1); ran 1024; file /c");
    // A run shows the grey in cell 2 by the run's colour rule and turns cell 3 into a 2.
    const QString data = "cell 1 1; cell 2 20; cell 3 1; cell 4 3; ";
    ScriptRow("Reset Data, touched", data + "Run; wait; check; Reset", "pen 0 (1); cells 1=1,2=20,3=2,4=3; touched 3; preview 2; X at 3; ran 1024 | pen 0 (1); cells 1=1,2=20,4=3; ran 1024");
    ScriptRow("Clear All, No", "cell 3 7; file /a~b; Clear", named + "pen 0 (1); cells 3=7; file /a~b; " + clear);
    // Start-up with a program file, then Load or Save, each chooser starting from the file named.
    const QString first = "arm; wait; ";
    ScriptRow("tilde; load capitals", "start a ~ b.mq; touch 2; " + first + "load R.MQ; load R.MQ; check; wait", "Mosaiq [Design] ~ %/R.MQ; busy; pen 1; cells 1=5,3=255; armed loadflg 250; file %/R.MQ; Load at %/a ~ b.mq; Load at %/R.MQ; " + off + " | Mosaiq [Design] ~ %/R.MQ; pen 0; cells 1=5,3=255; file %/R.MQ; Load at %/a ~ b.mq; Load at %/R.MQ; " + off + "; menu off: Reset Data, Save ...");
    ScriptRow("bare; load cancelled", "start -; " + first + "load -; wait", "pen 0; Load; " + off + "; " + off);
    ScriptRow("mixed case; load missing", "start R.MQ; " + first + "load gone.mq; wait", "Mosaiq [Design] ~ %/R.MQ; pen 0; cells 1=5,3=255; file %/R.MQ; Load at %/R.MQ; " + off + "; menu off: Reset Data, Save ...; Mosaiq|The file %/gone.mq could not be loaded: No such file or directory");
    ScriptRow("missing; load folder", "start gone.mq; load .", "Mosaiq [Design] ~ %/gone.mq; busy; pen 0 (1); armed loadflg 250; file %/gone.mq; Load at %/gone.mq; Mosaiq|The file %/. could not be loaded: Is a directory");
    ScriptRow("blanks; save", "start x y.mq; touch 2; save saved.mq; save saved.mq; saved saved.mq; wait", "saved.mq holds 4096 bytes, 5=6 | Mosaiq [Design] ~ %/saved.mq; pen 0 (1); cells 5=6; touched 2; file %/saved.mq; Save at %/x y.mq; Save at %/saved.mq");
    ScriptRow("unreadable; save cancelled", "start .; shown; save -", "Mosaiq [Design] ~ %/.; busy; pen 0 (1); armed saveflg 250; file %/.; Save at %/.; Mosaiq|The file %/. could not be loaded: Is a directory");
    ScriptRow("save to folder", "start a ~ b.mq; save .", "Mosaiq [Design] ~ %/a ~ b.mq; busy; pen 0 (1); cells 1=4,2=11; armed saveflg 250; file %/a ~ b.mq; Save at %/a ~ b.mq; Mosaiq|The file %/. could not be saved: Is a directory");
    ScriptRow("save under a file", "start a ~ b.mq; save a ~ b.mq/x.mq; saved a ~ b.mq", "a ~ b.mq holds 6 bytes, 1=4,2=11 | Mosaiq [Design] ~ %/a ~ b.mq; busy; pen 0 (1); cells 1=4,2=11; armed saveflg 250; file %/a ~ b.mq; Save at %/a ~ b.mq; Mosaiq|The file %/a ~ b.mq/x.mq could not be saved: Not a directory");
    ScriptRow("load during a run stops it", "cell 1 1; cell 2 5; cell 3 6; Run; during; load R.MQ", "Mosaiq [Design] ~ %/R.MQ; busy; pen 0 (1); cells 1=5,3=255; X at 2; armed loadflg 250; stopped; file %/R.MQ; Load");
    // Names are bytes, whatever the chooser makes of them; only a missing file starts a new strip.
    ScriptRow("link loop; load Latin-1; save", "start loop.mq; shown; load caf%E9.mq; save caf%E9.mq; saved caf%E9.mq; saved caf%EF%BF%BD.mq", "caf%E9.mq holds 4096 bytes, 1=7 | caf%EF%BF%BD.mq holds nothing | Mosaiq [Design] ~ %/caf\uFFFD.mq; busy; pen 0 (1); cells 1=7; armed saveflg 250; file %/caf\uFFFD.mq; Load at %/loop.mq; Save at %/caf\uFFFD.mq; Mosaiq|The file %/loop.mq could not be loaded: Too many levels of symbolic links");
    ScriptRow("two names spelled alike", "start alike/caf%EF.mq; save alike/caf%EF.mq; start alike/caf%E9.mq; save alike/caf%E9.mq; saved alike/caf%E9.mq; saved alike/caf%EF.mq", "alike/caf%E9.mq holds 4096 bytes, 1=7 | alike/caf%EF.mq holds 4096 bytes, 1=8 | Mosaiq [Design] ~ %/alike/caf\uFFFD.mq; busy; pen 0 (1); cells 1=7; armed saveflg 250; file %/alike/caf\uFFFD.mq; Save at %/alike/caf\uFFFD.mq; Save at %/alike/caf\uFFFD.mq");
    ScriptRow("too large, in a file; load link loop, device", "start big.mq; shown; start R.MQ/x.mq; shown; load loop.mq; load zero.mq", "Mosaiq [Design] ~ %/R.MQ/x.mq; busy; pen 0 (1); armed loadflg 250; file %/R.MQ/x.mq; Load at %/R.MQ/x.mq; Load at %/R.MQ/x.mq; Mosaiq|The file %/big.mq could not be loaded: not a program file: too large; Mosaiq|The file %/R.MQ/x.mq could not be loaded: Not a directory (timer armed); Mosaiq|The file %/loop.mq could not be loaded: Too many levels of symbolic links (timer armed); Mosaiq|The file %/zero.mq could not be loaded: Not a regular file (timer armed)");
    // A run at one instruction a second: every instruction waits once, right before it executes;
    // a white or data cell, a move of a skipped loop's scan and the closing sweep never wait. It
    // ends as it does at full speed. A stop, a new pace or a cell painted while it waits holds at
    // once.
    const auto paced = [](const char* name, const QString& cells, const QString& shown, const char* waits) {
        ScriptRow(name, "slide 0; " + cells + "; Run; waiting 0", shown + "; waits at " + waits);
        ScriptRow((QByteArray(name) + ", full speed").constData(), cells + "; Run; wait", shown);
    };
    paced("paced among white and data", "cell 3 1; cell 4 9; cell 7 3; cell 8 200; cell 10 2", "pen 0 (1); cells 2=1,3=1,4=9,7=3,8=200,10=2; touched 2; ran 1024", "3 7 10");
    // Cell 1 is X: the loop in 2..4 lowers it from 4 to 0, then two Repeats scan past.
    paced("paced loops, two skipped", "cell 1 3; cell 2 5; cell 3 4; cell 4 6; cell 5 5; cell 6 3; cell 7 6; cell 8 1; cell 9 3", "pen 0 (1); cells 2=6,3=4,4=6,5=5,6=3,7=6,8=1,9=3; touched 1,2; X at 2; ran 1032", "1 2 3 4 2 3 4 2 3 4 2 3 4 2 5 8 9");
    paced("paced idle Run", "cell 1 7", "pen 0 (1); cells 1=7; ran 1", "1");
    const QString four = "slide 0; cell 1 1; cell 2 1; cell 3 1; cell 4 1; Run; waiting 3; ";
    ScriptRow("Stop while a paced run waits", four + "Run", "pen 0 (1); cells 1=1,2=1,3=1,4=1; X at 3; stopped; waits at 1 2 3");
    ScriptRow("full speed while a paced run waits", four + "slide 17", "pen 0 (1); cells 1=1,2=1,3=1,4=1; X at 5; ran 1024; waits at 1 2 3");
    ScriptRow("painted white while a paced run waits", four + "cell 3 0", "pen 0 (1); cells 1=1,2=1,4=1; X at 4; ran 1024; waits at 1 2 3 4");
    // The first-time menu: every resize arms it anew; it ends FreshStart.
    ScriptRow("first-time menu", "fresh; resize 10700 7905; check; wait; resize 10635 7905", "pen 0 (1); armed  1000 | pen 1; " + off);
    ScriptRow("two resizes in the first second", "fresh; resize 10700 7905; after 600; resize 10635 7905; after 600; check; after 400", "pen 0 (1); armed  1000 | pen 1; " + off);
    // A strip in the address: loaded, or told why not, with the strip left empty.
    ScriptRow("a link", "link v1.AwAF; cell 9 4; link v1.AwAF; shown", "pen 0 (1); cells 1=3,3=5");
    ScriptRow("a link that is not one", "cell 9 4; link v1.A<b>; shown; after 1000", "pen 1; cells 9=4; " + off + "; Mosaiq|The address does not hold a program: it holds a character that is not base64url.");
    ScriptRow("first-time menu after the notice", "start .; resize 10700 7905; after 2000; check; shown; after 999; check; after 1", "Mosaiq [Design] ~ %/.; pen 0 (1); file %/. | Mosaiq [Design] ~ %/.; pen 0 (1); armed  1000; file %/.; Mosaiq|The file %/. could not be loaded: Is a directory | Mosaiq [Design] ~ %/.; pen 1; file %/.; " + off + "; Mosaiq|The file %/. could not be loaded: Is a directory");
    ScriptRow("first-time menu after a press", "fresh; press 5; resize 10635 7905; wait", "pen 1; cells 5=1");
    ScriptRow("minimised", "fresh; minimised 3000 3000", "pen 0 (1)");
    // The deferred commands, falling due during a load or save (Busy).
    ScriptRow("run word", "pen 3; busy; arm run; wait", "busy; pen 3; ran 1024");
    ScriptRow("saveflg, run pending", "pen 3; busy; Run; arm saveflg; wait", "item Stop; pen 3");
    ScriptRow("loadflg, no file", "pen 3; touch 5; right 0; busy; arm loadflg; wait", "pen 0; touched 5; menu off: none; menu off: Reset Data");
    ScriptRow("empty word, fresh start", "pen 3; busy; fresh; arm; wait", "busy; pen 1 (3); " + off);
    ScriptRow("other word", "pen 3; busy; arm RUN; wait", "busy; pen 3; word RUN 10");
    // The status line's words: the bar under the pointer in design mode, the run at a frame (the
    // step just executed), how it ended, and a new pace for two seconds over whatever else.
    ScriptRow("bars of each kind", "move 0; status; cell 37 3; move 37; status; cell 1023 15; move 1023; status; move 5; status; move 0", " | Cell 37 · 03 Plus Color | Cell 1,023 · 0F data | Cell 5 · 00 White Pixel | ", true);
    ScriptRow("a bar painted under the pointer", "move 9; pen 5; press 9", "Cell 9 · 05 Repeat Until Pixel (X) Turns White", true);
    ScriptRow("a frame of a run", "cell 1 2; cell 2 5; cell 3 6; cell 1024 10; Run; during 50; move 37; status; Run", "Running · step 25 · pass 1 · cell 3 End Repeat · X on cell 1,024 (0A) | Stopped at cell 3 after 25 steps in 1 pass · X on cell 1,024", true);
    ScriptRow("thousands of steps and passes", "cell 1 1; cell 2 7; Run; during 4000; status; Run", "Running · step 2,666 · pass 1,334 · cell 2 Run · X on cell 1 (01) | Stopped at cell 2 after 2,666 steps in 1,334 passes · X on cell 1", true);
    ScriptRow("the end until a bar is entered", "pen 3; move 40; click 40; wait; status; move 40; move 0; status; move 41", "Ended at cell 40 after 40 steps in 1 pass · X on cell 1 | Ended at cell 40 after 40 steps in 1 pass · X on cell 1 | Cell 41 · 00 White Pixel", true);
    ScriptRow("loop stack full", "fill 1 513 5; Run; wait", "Ended: loop stack full at cell 513 after 513 steps in 1 pass · X on cell 1", true);
    ScriptRow("Repeat without End Repeat", "cell 1 2; cell 2 5; Run; wait", "Ended: Repeat without End Repeat at cell 2 after 2 steps in 1 pass · X on cell 1,024", true);
    ScriptRow("End Repeat without Repeat", "cell 3 6; Run; wait", "Ended: End Repeat without Repeat at cell 3 after 3 steps in 1 pass · X on cell 1", true);
    ScriptRow("Run with nothing done", "cell 1 7; Run; wait", "Ended: Run cell reached with nothing done at cell 1 after 1 step in 1 pass · X on cell 1", true);
    ScriptRow("a pace for two seconds", "move 37; slide 0; status; after 1999; status; after 1; status; slide 17", "Pace: 1 instruction per second | Pace: 1 instruction per second | Cell 37 · 00 White Pixel | Pace: full speed", true);
    ScriptRow("a pace in thousands", "slide 16", "Pace: 1,000,000 instructions per second", true);
    // clang-format on
}

void TestEditor::scripts() {
    const auto [script, words] = Fetch<QString, bool>("script", "words");
    EditorFixture f;
    f.Play(script);
    QTEST((f.log << (words ? Q(f.form->StatusText()) : f.State())).join(" | "), "shown");
}

QTEST_APPLESS_MAIN(TestEditor)
#include "test_editor.moc"
