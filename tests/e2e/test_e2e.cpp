// End to end: the real program in a real X server, driven with the mouse and keyboard as a person
// would, read back through window titles and screenshots.

#include "XSession.h"

#include <QFile>
#include <QTemporaryDir>

using namespace mosaiq::test;

#define WAIT_FOR(done, what, ms) QTRY_VERIFY2_WITH_TIMEOUT(done, "waited for " what, ms)

class TestEndToEnd : public QObject {
    Q_OBJECT
    std::unique_ptr<XSession> x;
    QProcess* editor = nullptr;
    QString splash, window, box;
    QPoint origin; // of the client area, whose pixels at 96 dpi are 15 twips

    // The centre of bar c (1 to 1024), 32 to a row; steps of 299 and 236 twips, rounded.
    static QPoint Bar(int c) {
        return {65 + (299 * ((c - 1) % 32) + 7) / 15, 15 + (236 * ((c - 1) / 32) + 7) / 15};
    }
    QColor Pixel(QPoint at) { return x->Screenshot().pixelColor(origin + at); }
    QStringList Shown() { return x->VisibleWindows(editor->processId()); }
    bool Title(const char* part) { return x->WindowName(window).contains(part); }

    // Starts the editor and waits for the centred splash, the editor window and its first-time
    // menu, which Escape closes.
    void Launch(const QStringList& args) {
        x = std::make_unique<XSession>();
        QVERIFY2(x->Ready(), "the X server did not start");
        editor = &x->Start(MOSAIQ_EDITOR_PATH, args);
        WAIT_FOR(!(splash = Shown().value(0)).isEmpty(), "the splash", 10000);
        const QRect g = x->Geometry(splash);
        QCOMPARE(g.size(), QSize(390, 281)); // 5850 by 4215 twips
        QVERIFY2((g.center() - QPoint(512, 384)).manhattanLength() <= 3, "splash not centred");
        WAIT_FOR(!(window = x->FindWindow("^Mosaiq \\[Design\\]")).isEmpty(), "the editor", 10000);
        QVERIFY2(!Shown().contains(splash), "the splash stayed");
        WAIT_FOR(Shown().size() >= 2, "the first-time menu", 5000);
        origin = x->Geometry(window).topLeft();
        x->Key("Escape");
        WAIT_FOR(Shown().size() == 1, "Escape to close the first-time menu", 3000);
    }
    // Asks the window to close and answers the "Shutdown?" question with a key.
    void CloseAndAnswer(const char* key) {
        x->Run(MOSAIQ_X_CLOSE_PATH, {window});
        WAIT_FOR(!(box = x->FindWindow("^Mosaiq$")).isEmpty(), "the Shutdown? question", 3000);
        x->FocusAndKey(box, key);
    }

private slots:
    void init() {
        if (!XSession::Available()) QSKIP("needs Xvfb, xdotool and ImageMagick");
    }

    // A program named on the command line, shown in its colours; a stroke that runs for ever;
    // a close request cancelled during the run; Stop and Run through the menu; closing for good.
    void session() {
        QTemporaryDir dir;
        QFile file(dir.filePath("Colours.mq"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        // Next Pixel and Run loop for ever; the cells after them are only shown.
        const QList<int> codes = {1, 7, 0, 2, 3, 4, 5, 6, 128, 255, 1};
        for (int i = 0; i < 1024; ++i)
            file.write(QByteArray::number(codes.value(i), 16).rightJustified(2, '0') + "\r\n");
        file.close();
        Launch({file.fileName()});
        if (QTest::currentTestFailed()) return;
        QCOMPARE(x->WindowName(window), "Mosaiq [Design] ~ " + file.fileName());
        const QImage screen = x->Screenshot();
        const QRgb rgb[] = {0xFFFFFF, 0xFF0000, 0xFF, 0xFF00, 0xFFFF00, 0xFFFF, 0xFF00FF, 0xC0C0C0};
        for (int i = 1; i < codes.size(); ++i) // bar 1 carries the X; 128 shows grey, 255 black
            QCOMPARE(screen.pixelColor(origin + Bar(i + 1)),
                     QColor(codes[i] < 8 ? rgb[codes[i]] : 0x10101u * (codes[i] % 255)));
        x->ClickAt(origin + QPoint(28, 20 + 32 * 3)); // the palette's Plus Color, green
        x->ClickAt(origin + Bar(40));                 // paints, and runs up to bar 40
        WAIT_FOR(Pixel(Bar(40)) == Qt::green && Title("[Running]"), "bar 40 green, a run", 3000);
        CloseAndAnswer("Escape"); // Cancel
        WAIT_FOR(x->FindWindow("^Mosaiq$").isEmpty(), "Cancel to close Shutdown?", 3000);
        QVERIFY2(editor->state() == QProcess::Running && Title("[Running]"), "Cancel ended it");
        // Load, Save and Stop (or Run) are the first three items.
        for (const char* mode : {"[Design]", "[Running]"}) {
            x->ClickAt(origin + Bar(500), 3);
            WAIT_FOR(Shown().size() >= 2, "the menu", 3000);
            x->Run("xdotool", {"key", "Down", "Down", "Down", "Return"});
            QTRY_VERIFY2_WITH_TIMEOUT(Title(mode), qPrintable(QString("waited for ") + mode), 3000);
        }
        CloseAndAnswer("Return"); // OK, during the run
        QVERIFY2(editor->waitForFinished(3000) && !editor->exitCode(),
                 "waited for the program to end promptly with status 0");
    }
};

QTEST_MAIN(TestEndToEnd)
#include "test_e2e.moc"
