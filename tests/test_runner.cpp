// The headless runner, run as a separate process the way scripts run it.

#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include "GridGeometry.h"
#include "RecordingView.h"
#include "Table.h"

using namespace mosaiq::test;

namespace {

struct Outcome {
    int code = -1; // -1: crashed or hung
    QByteArray out;
    QString err;
};

Outcome RunTool(const QStringList& args, const QByteArray& input = {}) {
    QProcess process; // kills a hung runner when it goes
    process.start(QStringLiteral(MOSAIQ_RUN_PATH), args);
    process.write(input);
    process.closeWriteChannel();
    const bool ended =
        process.waitForFinished(30000) && process.exitStatus() == QProcess::NormalExit;
    return {ended ? process.exitCode() : -1, process.readAllStandardOutput(),
            QString::fromUtf8(process.readAllStandardError())};
}

QByteArray Lines(const QList<QByteArray>& codes, int total = 0) {
    QByteArray text;
    for (const QByteArray& code : codes)
        text += code + "\r\n";
    return text + QByteArray("00\r\n").repeated(qMax(0, total - int(codes.size())));
}

// The pixels of the picture at `path` that are not what `bars` show at the grid's places: the
// frame black, each bar in its fill, an X caption's glyph in its caption colour, and a bar shows
// such pixels exactly when its caption is X in a colour other than its fill. -1: no picture.
int WrongPixels(const QString& path, const mosaiq::BarModel& bars, int scale) {
    using namespace mosaiq;
    const QImage image(path, "PNG");
    if (image.size() != QSize(638, 503) * scale) return -1; // 9570 x 7545 twips
    const auto grid = GridLayout::For(9570, 7545, false);
    const double k = 1.0 / 15;
    std::array<int, kCellCount + 1> marked{};
    int wrong = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QRgb rgb = image.pixel(x, y);
            const Color got = Color(qBlue(rgb)) << 16 | qGreen(rgb) << 8 | qRed(rgb); // as BGR
            const int i = grid.BarAt(x / scale, y / scale, k, k);
            const Bar& bar = bars.At(i);
            marked[i] += i && got != bar.fill && got == bar.captionColor;
            wrong += i ? got != bar.fill && got != bar.captionColor : got != kBlack;
        }
    for (int i = 1; i <= kCellCount; ++i) {
        const Bar& bar = bars.At(i);
        wrong += (marked[i] > 0) != (bar.caption == BarCaption::X && bar.captionColor != bar.fill);
    }
    return wrong;
}

} // namespace

class TestRunner : public QObject {
    Q_OBJECT
private slots:
    void run_data() {
        // The program is saved as %p and fed to standard input; %d is the temporary folder. Then
        // the exit code, standard error and the start of standard output.
        Columns<QByteArray, QStringList, int, QString, QByteArray>("program", "args", "exitCode",
                                                                   "err", "start");
        const QString tryHelp = "\nTry 'mosaiq-run --help'.\n";
        const QByteArray full = Lines({" 0a", "ff", "Fe"}, 1024);
        QString fifty;
        for (int line = 1; line <= 50; ++line)
            fifty += QStringLiteral("%p:%1: no hex digit\n").arg(line);
        // clang-format off
        QTest::newRow("empty strip") << QByteArray() << QStringList{"%p"} << 0 << "steps=1024 passes=1 x=1 end=limit\n" << QByteArray("00\r\n00\r\n");
        QTest::newRow("budget spent: 3") << QByteArray("1\n7") << QStringList{"--steps", "10", "%p"} << 3 << "steps=10 passes=6 x=1 end=steps\n" << QByteArray("01\r\n07\r\n");
        QTest::newRow("--limit 1024, ends at the budget's last step: 0") << QByteArray() << QStringList{"--steps=1024", "--limit=1024", "%p"} << 0 << "steps=1024 passes=1 x=1 end=limit\n" << QByteArray("00\r\n");
        QTest::newRow("--limit, a cell lowered") << QByteArray("1\n1\n1\n4\n3") << QStringList{"%p", "--limit=4"} << 0 << "steps=4 passes=1 x=4 end=limit\n" << QByteArray("01\r\n01\r\n01\r\n03\r\n03\r\n");
        QTest::newRow("-- then - ") << QByteArray("6") << QStringList{"--", "-"} << 0 << "steps=1 passes=1 x=1 end=stray-end-repeat\n" << QByteArray("06\r\n");
        QTest::newRow("--out /dev/stdout") << QByteArray("6") << QStringList{"--out=/dev/stdout", "-"} << 0 << "steps=1 passes=1 x=1 end=stray-end-repeat\n" << QByteArray("06\r\n00\r\n");
        QTest::newRow("--out unwritable, after the run") << QByteArray("6") << QStringList{"%p", "--out", "%d/none/o.mq"} << 1 << "steps=1 passes=1 x=1 end=stray-end-repeat\nmosaiq-run: cannot write %d/none/o.mq: No such file or directory\n" << QByteArray();
        QTest::newRow("--trace unwritable, no run") << QByteArray("6") << QStringList{"--trace", "%d/none/t", "%p"} << 1 << "mosaiq-run: cannot write %d/none/t: No such file or directory\n" << QByteArray();
        QTest::newRow("missing program") << QByteArray() << QStringList{"%d/none.mq"} << 1 << "mosaiq-run: cannot read %d/none.mq: No such file or directory\n" << QByteArray();
        QTest::newRow("1 MiB without a line end") << QByteArray((1 << 20) + 1, ' ') << QStringList{"%p"} << 1 << "mosaiq-run: cannot read %p: not a program file: too large\n" << QByteArray();
        QTest::newRow("exactly 1 MiB") << QByteArray(1 << 20, ' ') << QStringList{"%p"} << 0 << "steps=1024 passes=1 x=1 end=limit\n" << QByteArray("00\r\n");
        QTest::newRow("--strict, past 1 MiB") << Lines({}, 1024) + QByteArray(1 << 20, ' ') << QStringList{"--strict", "%p"} << 1 << "mosaiq-run: cannot read %p: not a program file: too large\n" << QByteArray();
        QTest::newRow("--strict, a lone partial mark") << QByteArray("\xEF\xBB") << QStringList{"--strict", "-"} << 1 << "<stdin>:1: no hex digit\n<stdin>:2: the file ends after 1 lines, not 1024\n" << QByteArray();
        // The first 64 KiB of the trace cannot be written: the run stops there.
        QTest::newRow("--trace that fills the disk stops the run") << QByteArray("5\n6") << QStringList{"--trace", "/dev/full", "%p"} << 1 << "steps=4431 passes=1 x=1 end=stopped\nmosaiq-run: cannot write /dev/full: No space left on device\n" << QByteArray("05\r\n");
        QTest::newRow("folder as program") << QByteArray() << QStringList{"%d"} << 1 << "mosaiq-run: cannot read %d: Is a directory\n" << QByteArray();
        QTest::newRow("--strict, every kind of bad line") << "ZZ\n104\n0A;x\n\n \t\n1Fz\n0x1F\n100;\n ff\n0 a\r\n" + QByteArray("00\r\n").repeated(1016) << QStringList{"%p", "--strict"} << 1 << "%p:1: no hex digit\n%p:2: value above FF\n%p:3: text after the digits\n%p:4: no hex digit\n%p:5: no hex digit\n%p:6: text after the digits\n%p:7: text after the digits\n%p:8: value above FF\n%p:1025: line past 1024\n%p:1026: line past 1024\n" << QByteArray();
        QTest::newRow("--strict, read to the end") << QByteArray("00\r\n").repeated(1024) + QByteArray(20000, ' ') + "\r\n00" << QStringList{"--strict", "%p"} << 1 << "%p:1025: line past 1024\n%p:1026: line past 1024\n" << QByteArray();
        QTest::newRow("--strict, a short file") << QByteArray("00\r00") << QStringList{"--strict", "%p"} << 1 << "%p:3: the file ends after 2 lines, not 1024\n" << QByteArray();
        QTest::newRow("--strict, UTF-16 BE, no final line end") << Utf16(QString::fromLatin1(full.chopped(2)), true) << QStringList{"--strict", "-"} << 0 << "steps=1024 passes=1 x=1 end=limit\n" << QByteArray("0A\r\nFF\r\nFE\r\n00\r\n");
        QTest::newRow("--strict, UTF-16 not text") << Utf16(u"0A\r\n", true) + QByteArray("\xD8\x00\0\r\0\n\0\x30\0\x42\x31", 11) << QStringList{"--strict", "%p"} << 1 << "%p:2: no hex digit\n%p:3: text after the digits\n%p:4: the file ends after 3 lines, not 1024\n" << QByteArray();
        QTest::newRow("--strict, UTF-16 ends in half a pair") << Utf16(QString::fromLatin1(Lines({}, 1023) + "00"), false) + QByteArray("\x00\xD8", 2) << QStringList{"--strict", "%p"} << 1 << "%p:1024: text after the digits\n" << QByteArray();
        QTest::newRow("--strict, 2 MiB: one message") << QByteArray("00\n").repeated(700'000) << QStringList{"--strict", "-"} << 1 << "mosaiq-run: cannot read <stdin>: not a program file: too large\n" << QByteArray();
        QTest::newRow("--strict, 50 reports listed") << QByteArray("ZZ\n").repeated(1100) << QStringList{"--strict", "%p"} << 1 << fifty + "%p: 1050 more problems not listed\n" << QByteArray();
        QTest::newRow("--png to a full disk") << QByteArray("6") << QStringList{"--png", "/dev/full", "--out", "/dev/null", "%p"} << 1 << "steps=1 passes=1 x=1 end=stray-end-repeat\nmosaiq-run: cannot write /dev/full: No space left on device\n" << QByteArray();
        QTest::newRow("--png, 8 times, to a full disk") << QByteArray("6") << QStringList{"--png", "/dev/full", "--png-scale", "8", "--out", "/dev/null", "%p"} << 1 << "steps=1 passes=1 x=1 end=stray-end-repeat\nmosaiq-run: cannot write /dev/full: No space left on device\n" << QByteArray();
        QTest::newRow("--help") << QByteArray() << QStringList{"%p", "--help"} << 0 << "" << QByteArray("Usage: mosaiq-run");
        QTest::newRow("no program") << QByteArray() << QStringList{} << 2 << "mosaiq-run: no PROGRAM given" + tryHelp << QByteArray();
        QTest::newRow("two programs") << QByteArray() << QStringList{"%p", "-"} << 2 << "mosaiq-run: only one PROGRAM may be given" + tryHelp << QByteArray();
        QTest::newRow("unknown option") << QByteArray() << QStringList{"--fast=1", "%p"} << 2 << "mosaiq-run: unknown option --fast" + tryHelp << QByteArray();
        QTest::newRow("limit past 1024") << QByteArray() << QStringList{"--limit", "1025", "%p"} << 2 << "mosaiq-run: --limit takes a cell number from 1 to 1024" + tryHelp << QByteArray();
        QTest::newRow("negative budget") << QByteArray() << QStringList{"--steps=-1", "%p"} << 2 << "mosaiq-run: --steps takes a whole number, 0 for no budget" + tryHelp << QByteArray();
        QTest::newRow("--png-scale 9") << QByteArray() << QStringList{"--png", "%d/p.png", "--png-scale", "9", "%p"} << 2 << "mosaiq-run: --png-scale takes a whole number from 1 to 8" + tryHelp << QByteArray();
        QTest::newRow("--png-scale alone") << QByteArray() << QStringList{"--png-scale", "2", "%p"} << 2 << "mosaiq-run: --png-scale needs --png or --png-before" + tryHelp << QByteArray();
        QTest::newRow("--trace without a value") << QByteArray() << QStringList{"%p", "--trace"} << 2 << "mosaiq-run: --trace needs a value" + tryHelp << QByteArray();
        QTest::newRow("picture and strip both to stdout") << QByteArray() << QStringList{"--png-before", "-", "%p"} << 2 << "mosaiq-run: only one of the strip (--out), --trace, --png and --png-before can go to standard output" + tryHelp << QByteArray();
        // clang-format on
    }
    void run() {
        auto [program, args, exitCode, err, start] =
            Fetch<QByteArray, QStringList, int, QString, QByteArray>("program", "args", "exitCode",
                                                                     "err", "start");
        QTemporaryDir dir;
        QFile file(dir.filePath("p.mq"));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(program) == program.size() &&
                file.flush());
        args.replaceInStrings("%p", file.fileName()).replaceInStrings("%d", dir.path());
        err.replace("%p", file.fileName()).replace("%d", dir.path());
        const Outcome got = RunTool(args, program);
        QCOMPARE(got.code, exitCode);
        QCOMPARE(got.err, err);
        QVERIFY2(got.out.startsWith(start) && (start.isEmpty() == got.out.isEmpty()),
                 got.out.left(80));
    }

    // A loop that runs twice and leaves by its scan, a nested loop skipped at once, and a Run
    // cell that starts the strip over, until the budget ends the third pass before its first step.
    void trace() {
        const QByteArray program =
            Lines({"02", "05", "04", "06", "05", "05", "06", "06", "07"}, 1023) + "02\r\n";
        // clang-format off
        const QByteArray steps = "step pass cell code x code_at_x\n"
            // X wraps from cell 1 to cell 1024; the loop opens, goes back to its Repeat twice and
            // is left when cell X is white; the nested loop is skipped whole.
            "1 1 1 2 1024 2\n2 1 2 5 1024 2\n3 1 3 4 1024 1\n4 1 4 6 1024 1\n5 1 2 5 1024 1\n"
            "6 1 3 4 1024 0\n7 1 4 6 1024 0\n8 1 2 5 1024 0\nscan 4\n9 1 5 5 1024 0\nscan 8\n"
            // The Run cell ends pass 1; pass 2 skips both loops at once.
            "10 1 9 7 1024 0\n11 2 1 2 1024 0\n12 2 2 5 1024 0\nscan 4\n13 2 5 5 1024 0\nscan 8\n"
            "14 2 9 7 1024 0\n";
        // clang-format on
        const Outcome got = RunTool({"--steps=14", "--out=/dev/null", "--trace=-", "-"}, program);
        QCOMPARE(got.code, 3);
        QCOMPARE(got.err, QString("steps=14 passes=3 x=1 end=steps\n"));
        QCOMPARE(got.out, steps);
        // Every line of a long trace arrives.
        const Outcome endless =
            RunTool({"--steps=20000", "--out=/dev/null", "--trace=-", "-"}, "5\n6");
        QCOMPARE(endless.out.count('\n'), 20001);
    }

    // The pictures before and after a run against the editor's bars after the same load and run,
    // pixel for pixel at the grid's places: each bar in its fill, an X caption in its colour.
    void picture_data() {
        // A bar, and the colour the run leaves it in.
        Columns<QByteArray, int, int, int>("program", "scale", "bar", "fill");
        QFile multiply(MOSAIQ_EXAMPLES "/multiply.mq");
        QVERIFY(multiply.open(QIODevice::ReadOnly));
        // clang-format off
        QTest::newRow("code classes, X on a magenta bar") << Lines({"1", "1", "6", "0", "2", "3", "4", "5", "7", "8", "80", "FE", "FF"}) << 1 << 10 << 0x080808;
        QTest::newRow("Plus Color makes 7 an 8, x3") << Lines({"2", "3"}, 1023) + "07" << 3 << 1024 << 0xF8F8F8;
        QTest::newRow("X passes over data") << Lines({"2", "2"}, 1021) + "30\n10\n20" << 1 << 1024 << 0xE0E0E0;
        QTest::newRow("multiply.mq") << multiply.readAll() << 1 << 1023 << 0xF1F1F1;
        // clang-format on
    }
    void picture() {
        const auto [program, scale, bar] = Fetch<QByteArray, int, int>("program", "scale", "bar");
        QTemporaryDir dir;
        QFile file(dir.filePath("p.mq"));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(program) == program.size());
        file.close();
        const Outcome got =
            RunTool({"--png", dir.filePath("after.png"), "--png-before", dir.filePath("before.png"),
                     "--png-scale", QString::number(scale), "--out", "/dev/null", file.fileName()});
        QCOMPARE(got.code, 0);
        EditorFixture editor;
        EditorFixture::folder = dir.path();
        editor.Play("start p.mq");
        QCOMPARE(WrongPixels(dir.filePath("before.png"), editor.form->Bars, scale), 0);
        editor.Play("Run; wait");
        QCOMPARE(WrongPixels(dir.filePath("after.png"), editor.form->Bars, scale), 0);
        QTEST(int(editor.form->Bars.At(bar).fill), "fill");
    }
};

QTEST_GUILESS_MAIN(TestRunner)
#include "test_runner.moc"
