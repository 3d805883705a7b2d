// The headless runner, run as a separate process the way scripts run it.

#include <QProcess>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>

#include "GridGeometry.h"

#include <png.h>

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

// `text` as UTF-16 behind its byte order mark.
QByteArray Utf16(const QByteArray& text, bool bigEndian) {
    QStringEncoder encode(bigEndian ? QStringConverter::Utf16BE : QStringConverter::Utf16LE);
    return (bigEndian ? "\xFE\xFF" : "\xFF\xFE") + QByteArray(encode(QString::fromLatin1(text)));
}

} // namespace

using mosaiq::GridLayout, mosaiq::PixelRect;

class TestRunner : public QObject {
    Q_OBJECT
private slots:
    void run_data() {
        QTest::addColumn<QByteArray>("program"); // saved as %p, and fed to standard input
        QTest::addColumn<QStringList>("args");   // %d: the temporary folder
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("err");      // standard error
        QTest::addColumn<QByteArray>("start"); // of standard output
        const QString version = "mosaiq-run " MOSAIQ_VERSION "\n";
        const QString tryHelp = "\nTry 'mosaiq-run --help'.\n";
        const QByteArray full = Lines({" 0a", "ff", "Fe"}, 1024);
        QString fifty;
        for (int line = 1; line <= 50; ++line)
            fifty += QStringLiteral("%p:%1: no hex digit\n").arg(line);
        // clang-format off
        QTest::newRow("empty strip") << QByteArray() << QStringList{"%p"} << 0 << "steps=1024 passes=1 x=1 end=limit\n" << QByteArray("00\r\n00\r\n");
        QTest::newRow("budget spent: 3") << QByteArray("1\n7") << QStringList{"--steps", "10", "%p"} << 3 << "steps=10 passes=6 x=1 end=steps\n" << QByteArray("01\r\n07\r\n");
        QTest::newRow("ends at the budget's last step: 0") << QByteArray() << QStringList{"--steps=1024", "%p"} << 0 << "steps=1024 passes=1 x=1 end=limit\n" << QByteArray("00\r\n");
        QTest::newRow("stray End Repeat") << QByteArray("6") << QStringList{"%p"} << 0 << "steps=1 passes=1 x=1 end=stray-end-repeat\n" << QByteArray("06\r\n");
        QTest::newRow("--limit, a cell lowered") << QByteArray("1\n1\n1\n4\n3") << QStringList{"%p", "--limit=4"} << 0 << "steps=4 passes=1 x=4 end=limit\n" << QByteArray("01\r\n01\r\n01\r\n03\r\n03\r\n");
        QTest::newRow("- reads a pipe") << QByteArray("1\n6") << QStringList{"-"} << 0 << "steps=2 passes=1 x=2 end=stray-end-repeat\n" << QByteArray("01\r\n06\r\n");
        QTest::newRow("-- then - ") << QByteArray("6") << QStringList{"--", "-"} << 0 << "steps=1 passes=1 x=1 end=stray-end-repeat\n" << QByteArray("06\r\n");
        QTest::newRow("--out /dev/stdout") << QByteArray("6") << QStringList{"--out=/dev/stdout", "-"} << 0 << "steps=1 passes=1 x=1 end=stray-end-repeat\n" << QByteArray("06\r\n00\r\n");
        QTest::newRow("--out unwritable, after the run") << QByteArray("6") << QStringList{"%p", "--out", "%d/none/o.mq"} << 1 << "steps=1 passes=1 x=1 end=stray-end-repeat\nmosaiq-run: cannot write %d/none/o.mq: No such file or directory\n" << QByteArray();
        QTest::newRow("--trace unwritable, no run") << QByteArray("6") << QStringList{"--trace", "%d/none/t", "%p"} << 1 << "mosaiq-run: cannot write %d/none/t: No such file or directory\n" << QByteArray();
        QTest::newRow("missing program") << QByteArray() << QStringList{"%d/none.mq"} << 1 << "mosaiq-run: cannot read %d/none.mq: No such file or directory\n" << QByteArray();
        QTest::newRow("link loop as program") << QByteArray() << QStringList{"%d/loop"} << 1 << "mosaiq-run: cannot read %d/loop: Too many levels of symbolic links\n" << QByteArray();
        QTest::newRow("name too long") << QByteArray() << QStringList{"%d/" + QString(300, 'n')} << 1 << "mosaiq-run: cannot read %d/" + QString(300, 'n') + ": File name too long\n" << QByteArray();
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
        QTest::newRow("--strict, a pipe") << QByteArray("x") << QStringList{"--strict", "-"} << 1 << "<stdin>:1: no hex digit\n<stdin>:2: the file ends after 1 lines, not 1024\n" << QByteArray();
        QTest::newRow("--strict, UTF-16 LE") << Utf16(full, false) << QStringList{"--strict", "%p"} << 0 << "steps=1024 passes=1 x=1 end=limit\n" << QByteArray("0A\r\nFF\r\nFE\r\n00\r\n");
        QTest::newRow("--strict, UTF-16 BE, no final line end") << Utf16(full.chopped(2), true) << QStringList{"--strict", "-"} << 0 << "steps=1024 passes=1 x=1 end=limit\n" << QByteArray("0A\r\nFF\r\nFE\r\n00\r\n");
        QTest::newRow("--strict, UTF-16 not text") << Utf16("0A\r\n", true) + QByteArray("\xD8\x00\0\r\0\n\0\x30\0\x42\x31", 11) << QStringList{"--strict", "%p"} << 1 << "%p:2: no hex digit\n%p:3: text after the digits\n%p:4: the file ends after 3 lines, not 1024\n" << QByteArray();
        QTest::newRow("--strict, 2 MiB: one message") << QByteArray("00\n").repeated(700'000) << QStringList{"--strict", "-"} << 1 << "mosaiq-run: cannot read <stdin>: not a program file: too large\n" << QByteArray();
        QTest::newRow("--strict, 50 reports listed") << QByteArray("ZZ\n").repeated(1100) << QStringList{"--strict", "%p"} << 1 << fifty + "%p: 1050 more problems not listed\n" << QByteArray();
        QTest::newRow("--png to a full disk") << QByteArray("6") << QStringList{"--png", "/dev/full", "--out", "/dev/null", "%p"} << 1 << "steps=1 passes=1 x=1 end=stray-end-repeat\nmosaiq-run: cannot write /dev/full: No space left on device\n" << QByteArray();
        QTest::newRow("--version") << QByteArray() << QStringList{"--version"} << 0 << "" << version.toUtf8();
        QTest::newRow("--help") << QByteArray() << QStringList{"%p", "--help"} << 0 << "" << QByteArray("Usage: mosaiq-run");
        QTest::newRow("no program") << QByteArray() << QStringList{} << 2 << "mosaiq-run: no PROGRAM given" + tryHelp << QByteArray();
        QTest::newRow("two programs") << QByteArray() << QStringList{"%p", "-"} << 2 << "mosaiq-run: only one PROGRAM may be given" + tryHelp << QByteArray();
        QTest::newRow("unknown option") << QByteArray() << QStringList{"--fast=1", "%p"} << 2 << "mosaiq-run: unknown option --fast" + tryHelp << QByteArray();
        QTest::newRow("limit past 1024") << QByteArray() << QStringList{"--limit", "1025", "%p"} << 2 << "mosaiq-run: --limit takes a cell number from 1 to 1024" + tryHelp << QByteArray();
        QTest::newRow("negative budget") << QByteArray() << QStringList{"--steps=-1", "%p"} << 2 << "mosaiq-run: --steps takes a whole number, 0 for no budget" + tryHelp << QByteArray();
        QTest::newRow("--png-scale 9") << QByteArray() << QStringList{"--png", "%d/p.png", "--png-scale", "9", "%p"} << 2 << "mosaiq-run: --png-scale takes a whole number from 1 to 8" + tryHelp << QByteArray();
        QTest::newRow("--png-scale alone") << QByteArray() << QStringList{"--png-scale", "2", "%p"} << 2 << "mosaiq-run: --png-scale needs --png" + tryHelp << QByteArray();
        QTest::newRow("--trace without a value") << QByteArray() << QStringList{"%p", "--trace"} << 2 << "mosaiq-run: --trace needs a value" + tryHelp << QByteArray();
        QTest::newRow("trace and strip both to stdout") << QByteArray() << QStringList{"--trace", "-", "%p"} << 2 << "mosaiq-run: only one of the strip (--out), --trace and --png can go to standard output" + tryHelp << QByteArray();
        // clang-format on
    }
    void run() {
        QFETCH(QByteArray, program);
        QFETCH(QStringList, args);
        QFETCH(int, exitCode);
        QFETCH(QString, err);
        QFETCH(QByteArray, start);
        QTemporaryDir dir;
        QFile file(dir.filePath("p.mq"));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(program) == program.size() &&
                file.flush());
        QVERIFY(QFile::link("loop", dir.filePath("loop")));
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

    // Every code class in the first row, X left on bar 3, the rest white.
    void picture_data() {
        QTest::addColumn<int>("scale");
        QTest::newRow("designed size") << 1;
        QTest::newRow("three times") << 3;
    }
    void picture() {
        QFETCH(int, scale);
        QTemporaryDir dir;
        const QString path = dir.filePath("p.png");
        const QByteArray program =
            Lines({"1", "1", "6", "0", "2", "3", "4", "5", "7", "8", "80", "FE", "FF"});
        const Outcome got = RunTool(
            {"--png", path, "--png-scale", QString::number(scale), "--out", "/dev/null", "-"},
            program);
        QCOMPARE(got.err, QString("steps=3 passes=1 x=3 end=stray-end-repeat\n"));

        png_image image{};
        image.version = PNG_IMAGE_VERSION;
        QVERIFY(png_image_begin_read_from_file(&image, path.toLocal8Bit().constData()));
        image.format = PNG_FORMAT_RGB;
        std::vector<png_byte> rgb(PNG_IMAGE_SIZE(image));
        QVERIFY(png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr));
        const int width = int(image.width);
        const int height = int(image.height);
        QCOMPARE(width, 638 * scale); // 9570 x 7545 twips, 15 to a pixel
        QCOMPARE(height, 503 * scale);
        auto at = [&](int x, int y) {
            const png_byte* p = &rgb[(size_t(y) * width + x) * 3];
            return (p[0] << 16) | (p[1] << 8) | p[2]; // 0xRRGGBB
        };

        // Pixel for pixel the grid's bars at 96 dpi on the black frame, bar 3 outlined `scale`
        // pixels wide in red.
        const QList<int> colours = {0xFF0000, 0xFF0000, 0xFF00FF, 0xFFFFFF, 0x0000FF,
                                    0x00FF00, 0xFFFF00, 0x00FFFF, 0xC0C0C0, 0x080808,
                                    0x808080, 0xFEFEFE, 0x000000, 0xFFFFFF};
        const GridLayout grid = GridLayout::For(9570, 7545, false);
        const double k = 1.0 / 15;
        int wrong = 0;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                const int bar = grid.BarAt(x / scale, y / scale, k, k);
                const PixelRect r = grid.BarPixels(bar, k, k);
                const bool edge = x / scale == r.left || x / scale == r.right - 1 ||
                                  y / scale == r.top || y / scale == r.bottom - 1;
                const int want = bar == 0                ? 0
                                 : bar == 3 && edge      ? 0xFF0000
                                 : bar <= colours.size() ? colours[bar - 1]
                                                         : 0xFFFFFF;
                wrong += at(x, y) != want;
            }
        QCOMPARE(wrong, 0);
    }
};

QTEST_GUILESS_MAIN(TestRunner)
#include "test_runner.moc"
