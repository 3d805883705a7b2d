// End to end: the real program in a real X server, driven with the mouse and keyboard as a person
// would, read back through window titles and screenshots.

#include "XSession.h"

#include <QElapsedTimer>
#include <QFile>
#include <QScreen>
#include <QTemporaryDir>

#include <cmath>

using namespace mosaiq::test;

namespace {

const QString kEditor = QStringLiteral(MOSAIQ_EDITOR_PATH);
const QString kCloser = QStringLiteral(MOSAIQ_X_CLOSE_PATH);
constexpr int NextPixelCode = 1;
constexpr int RunCode = 7;

// Where things are in the editor's client area at 96 dots per inch (15 twips to a pixel).
QPoint BarCenter(int bar) {
    const int column = (bar - 1) % 32;
    const int row = (bar - 1) / 32;
    return {56 + static_cast<int>(std::lround(299.0 * column / 15)) + 9,
            8 + static_cast<int>(std::lround(236.0 * row / 15)) + 7};
}
// A point of the bar away from its centre, where an "X" marker would be drawn.
QPoint BarCorner(int bar) {
    return BarCenter(bar) - QPoint(7, 5);
}
QPoint PaletteCenter(int pen) {
    return {8 + 20, 8 + 32 * pen + 12};
}

QColor Bgr(unsigned bgr) {
    return QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF);
}

QString WriteProgram(const QTemporaryDir& dir, const QString& name, const QList<int>& codes) {
    const QString path = dir.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return {};
    for (int i = 0; i < 1024; ++i)
        file.write(QByteArray::number(i < codes.size() ? codes[i] : 0, 16)
                       .rightJustified(2, '0')
                       .toUpper() +
                   "\r\n");
    return path;
}

// Waits for the editor window after the splash and for its first-time menu, which it closes.
QString WaitForEditor(XSession& x, QProcess& editor) {
    QString window;
    const bool shown = QTest::qWaitFor(
        [&] { return !(window = x.FindWindow(QStringLiteral("^Mosaiq \\[Design\\]"))).isEmpty(); },
        15000);
    if (!shown) return {};
    // The first-time menu is a second visible window of the process.
    (void)QTest::qWaitFor([&] { return x.VisibleWindows(editor.processId()).size() >= 2; }, 5000);
    x.Key(QStringLiteral("Escape"));
    (void)QTest::qWaitFor([&] { return x.VisibleWindows(editor.processId()).size() == 1; }, 3000);
    return window;
}

QColor PixelAt(XSession& x, QPoint screen) {
    return x.Screenshot().pixelColor(screen);
}

// The editor started in its own X server, with a program file when codes are given, and past its
// first-time menu.
struct Editor {
    QTemporaryDir dir;
    XSession x;
    QProcess* process = nullptr;
    QString path;
    QString window;
    QPoint origin;

    bool Start(const QList<int>& codes, const QString& name = QStringLiteral("program.mq")) {
        if (!x.Ready()) return false;
        QStringList args;
        if (!codes.isEmpty()) args << (path = WriteProgram(dir, name, codes));
        process = &x.Start(kEditor, args);
        window = WaitForEditor(x, *process);
        origin = x.Geometry(window).topLeft();
        return !window.isEmpty();
    }
    bool TitleHas(const QString& text, int ms = 3000) {
        return QTest::qWaitFor([&] { return x.WindowName(window).contains(text); }, ms);
    }
    // Asks the window to close; answers the "Shutdown?" question that must come.
    bool CloseAndAnswer(bool ok) {
        x.Run(kCloser, {window});
        QString box;
        if (!QTest::qWaitFor([&] { return !(box = x.FindWindow("^Mosaiq$")).isEmpty(); }, 3000))
            return false;
        x.FocusAndKey(box, ok ? QStringLiteral("Return") : QStringLiteral("Escape"));
        return true;
    }
    bool EndedWithStatusZero(int ms) {
        return process->waitForFinished(ms) && process->exitStatus() == QProcess::NormalExit &&
               process->exitCode() == 0;
    }
};

} // namespace

class TestEndToEnd : public QObject {
    Q_OBJECT
private slots:
    void init() {
        if (!XSession::Available()) QSKIP("needs Xvfb, xdotool and ImageMagick");
    }
    void splashThenEditorThenFirstMenu();
    void paintAndRunToHere();
    void programOnCommandLine();
    void runAndStopThroughMenu();
    void closeAsksWithContent();
    void closeDuringRun();
};

void TestEndToEnd::splashThenEditorThenFirstMenu() {
    XSession x;
    QVERIFY2(x.Ready(), "the X server did not start");
    QProcess& editor = x.Start(kEditor);
    QElapsedTimer clock;
    clock.start();

    QString splash;
    QVERIFY2(QTest::qWaitFor(
                 [&] {
                     const QStringList w = x.VisibleWindows(editor.processId());
                     return !w.isEmpty() && !(splash = w.first()).isEmpty();
                 },
                 10000),
             "waited for the splash window");
    // The splash is the first window, and not the editor: it has no caption of its own.
    QVERIFY(!x.WindowName(splash).contains(QStringLiteral("[Design]")));
    const QRect g = x.Geometry(splash);
    QVERIFY2(std::abs(g.center().x() - 512) <= 2 && std::abs(g.center().y() - 384) <= 2,
             qPrintable(QStringLiteral("splash not centred: %1,%2 %3x%4")
                            .arg(g.x())
                            .arg(g.y())
                            .arg(g.width())
                            .arg(g.height())));
    QCOMPARE(g.size(), QSize(390, 281)); // 5850 x 4215 twips

    QString window;
    QVERIFY2(
        QTest::qWaitFor(
            [&] {
                return !(window = x.FindWindow(QStringLiteral("^Mosaiq \\[Design\\]$"))).isEmpty();
            },
            10000),
        "waited for the editor window titled \"Mosaiq [Design]\"");
    const qint64 splashTime = clock.elapsed();
    QVERIFY2(splashTime >= 2500 && splashTime < 6000, qPrintable(QString::number(splashTime)));
    QVERIFY2(!x.VisibleWindows(editor.processId()).contains(splash), "the splash stayed");

    QVERIFY2(
        QTest::qWaitFor([&] { return x.VisibleWindows(editor.processId()).size() >= 2; }, 4000),
        "waited for the first-time menu");
    QVERIFY(clock.elapsed() - splashTime >= 700);
    x.Key(QStringLiteral("Escape"));
    QVERIFY2(
        QTest::qWaitFor([&] { return x.VisibleWindows(editor.processId()).size() == 1; }, 3000),
        "waited for Escape to close the menu");
}

void TestEndToEnd::paintAndRunToHere() {
    Editor e;
    QVERIFY2(e.Start({}), "waited for the editor window");
    e.x.ClickAt(e.origin + PaletteCenter(3)); // "Plus Color", green
    e.x.ClickAt(e.origin + BarCenter(2));
    // Cell 2 is green, and the run of cells 1 to 2 raised cell 1 (under X) to code 1, red.
    QVERIFY2(QTest::qWaitFor([&] { return PixelAt(e.x, e.origin + BarCenter(2)) == Bgr(0x00FF00); },
                             3000),
             "waited for bar 2 to turn green");
    QVERIFY2(QTest::qWaitFor([&] { return PixelAt(e.x, e.origin + BarCorner(1)) == Bgr(0x0000FF); },
                             3000),
             "waited for the run to turn bar 1 red");
    QVERIFY2(QTest::qWaitFor([&] { return e.x.WindowName(e.window) == "Mosaiq [Design]"; }, 3000),
             "waited for the title to read Mosaiq [Design] after the run");
}

void TestEndToEnd::programOnCommandLine() {
    const QList<int> codes = {0, 1, 2, 3, 4, 5, 6, 7, 128, 255};
    Editor e;
    QVERIFY2(e.Start(codes, QStringLiteral("Colours.mq")), "waited for the editor window");
    QCOMPARE(e.x.WindowName(e.window), QStringLiteral("Mosaiq [Design] ~ ") + e.path);
    const QImage screen = e.x.Screenshot();
    const unsigned instruction[] = {0xFFFFFF, 0xFF,     0xFF0000, 0xFF00,
                                    0xFFFF,   0xFFFF00, 0xFF00FF, 0xC0C0C0};
    for (int i = 2; i <= codes.size(); ++i) {
        const int code = codes[i - 1];
        const QColor expected = code < 8      ? Bgr(instruction[code])
                                : code == 255 ? QColor(0, 0, 0)
                                              : QColor(code, code, code);
        QCOMPARE(screen.pixelColor(e.origin + BarCenter(i)), expected);
    }
}

void TestEndToEnd::runAndStopThroughMenu() {
    Editor e;
    QVERIFY2(e.Start({NextPixelCode, RunCode}), "waited for the editor window");
    // With something on the strip, Load, Save and Run are the first three enabled items.
    auto chooseThird = [&] {
        e.x.ClickAt(e.origin + BarCenter(500), 3);
        const bool open = QTest::qWaitFor(
            [&] { return e.x.VisibleWindows(e.process->processId()).size() >= 2; }, 3000);
        for (int i = 0; i < 3; ++i)
            e.x.Key(QStringLiteral("Down"));
        e.x.Key(QStringLiteral("Return"));
        return open;
    };
    QVERIFY2(chooseThird(), "waited for the menu");
    QVERIFY2(e.TitleHas("[Running]"), "waited for [Running] in the title");
    QVERIFY2(chooseThird(), "waited for the menu during the run");
    QVERIFY2(e.TitleHas("[Design]"), "waited for [Design] after Stop");
}

void TestEndToEnd::closeAsksWithContent() {
    Editor e;
    QVERIFY2(e.Start({0, 3}), "waited for the editor window");
    QVERIFY2(e.CloseAndAnswer(false), "waited for the Shutdown? question");
    QVERIFY2(QTest::qWaitFor([&] { return e.x.FindWindow("^Mosaiq$").isEmpty(); }, 3000),
             "waited for Cancel to close the question");
    QCOMPARE(e.process->state(), QProcess::Running);
    QVERIFY(!e.x.FindWindow(QStringLiteral("^Mosaiq \\[Design\\]")).isEmpty());
    QVERIFY2(e.CloseAndAnswer(true), "waited for the Shutdown? question again");
    QVERIFY2(e.EndedWithStatusZero(5000), "waited for the program to end with status 0");
}

void TestEndToEnd::closeDuringRun() {
    Editor e;
    QVERIFY2(e.Start({NextPixelCode, RunCode}), "waited for the editor window");
    e.x.ClickAt(e.origin + BarCenter(700)); // paints code 1 and runs cells 1 to 700: for ever
    QVERIFY2(e.TitleHas("[Running]"), "waited for the run");
    QVERIFY2(e.CloseAndAnswer(true), "waited for the Shutdown? question");
    QVERIFY2(e.EndedWithStatusZero(3000), "waited for the program to end promptly with status 0");
}

QTEST_MAIN(TestEndToEnd)
#include "test_e2e.moc"
