// Painting with the palette, the hover preview, the mark and run-to-here, the context menu's item
// states and closing, through real mouse events on the real window; each row plays a script of
// gestures (see EditorFixture::Play) and compares what the window then shows.

#include "EditorFixture.h"
#include "e2e/XSession.h"

#include <QProcess>
#include <QTemporaryDir>

using namespace mosaiq;
using namespace mosaiq::test;

class TestPainting : public QObject {
    Q_OBJECT
private slots:
    void gestures_data();
    void gestures();
    void closingDuringRunEndsProcess();
};

void TestPainting::gestures_data() {
    QTest::addColumn<QString>("script");
    QTest::addColumn<QString>("shown"); // State() after the script, after any "check" records
    const QString off = "menu off: Clear All, Reset Data, Run, Save ...";
    // The pens.
    ScriptRow("pen on white", "pen 3; press 100", "pen 3; cells 100=3");
    ScriptRow("same pen erases", "cell 100 3; pen 3; press 100", "pen 3");
    ScriptRow("pen on grey", "cell 100 200; pen 7; press 100", "pen 7; cells 100=7");
    ScriptRow("white pen", "cell 100 1; pen 0; press 100", "pen 0");
    ScriptRow("first press after start-up", "fresh; pen 4; press 200; release 200; press 201",
              "pen 1 (4); cells 200=1,201=1; mark 200; limit 200; armed run");
    // The hover preview.
    ScriptRow("preview moves", "pen 2; move 10; move 11", "pen 2; preview 11; hover 11");
    ScriptRow("preview, coloured bar", "cell 12 3; pen 2; move 11; move 12", "pen 2; cells 12=3");
    ScriptRow("preview, gap", "pen 2; move 11; move 0", "pen 2");
    ScriptRow("preview, background", "pen 2; move 11; away", "pen 2");
    ScriptRow("preview, marked bar", "cell 20 3; pen 3; click 20; pen 5; move 20",
              "pen 5; mark 20; limit 20; armed run");
    ScriptRow("preview, white pen", "pen 0; move 30", "pen 0");
    ScriptRow("preview, right release", "pen 6; move 31; right 31", "pen 6; " + off);
    ScriptRow("drag", "pen 3; press 50; move 51; move 52; release 52",
              "pen 3; cells 50=3; mark 50; limit 50; armed run");
    // The mark and run-to-here.
    ScriptRow("run to here", "cell 1 1; pen 3; click 10; wait",
              "pen 3; cells 1=1,2=1,10=3; touched 2; mark 10; X at 2; ran 10");
    ScriptRow("white pen marks, no run", "cell 40 1; pen 0; click 40; wait", "pen 0; limit 40");
    ScriptRow(
        "release during a run", "cell 1 5; cell 2 6; pen 3; Run; during; click 500; check; Run",
        "Mosaiq [Running]; item Stop; white; pen 3; cells 1=5,2=6,500=3; mark 500; limit 1024; "
        "running | pen 3; "
        "cells 1=5,2=6,500=3; mark 500; stopped");
    ScriptRow("busy",
              "pen 3; click 8; wait; pen 2; move 7; busy; away; click 9; move 9; "
              "right 9; click 0; right 0; pen 6",
              "busy; pen 6; cells 1=1,8=3; touched 1; mark 8; ran 8");
    // The menu's item states.
    ScriptRow("menu, empty strip", "right 300", "pen 0 (1); " + off);
    ScriptRow("menu, empty strip, gap", "right 0", "pen 0 (1); " + off);
    ScriptRow("menu, a cell", "cell 3 7; right 0", "pen 0 (1); cells 3=7; menu off: Reset Data");
    ScriptRow("menu, touched", "cell 1 1; cell 2 3; touch 2; right 300",
              "pen 0 (1); cells 1=1,2=3; touched 2; menu off: none");
    ScriptRow("menu, touched 0", "touch 900; right 300", "pen 0 (1); touched 900; menu off: none");
    // Closing.
    ScriptRow("close, empty strip", "close", "pen 0 (1); ended; hidden");
    ScriptRow("close, Cancel", "cell 2 4; close", "pen 0 (1); cells 2=4; Mosaiq|Shutdown?");
    ScriptRow("close, OK", "cell 2 4; ok; close",
              "pen 0 (1); cells 2=4; Mosaiq|Shutdown?; ended; hidden");
}

void TestPainting::gestures() {
    QFETCH(QString, script);
    QFETCH(QString, shown);
    EditorFixture f;
    f.Play(script);
    QCOMPARE((f.log << f.State()).join(" | "), shown);
}

void TestPainting::closingDuringRunEndsProcess() {
    if (!XSession::Available() || QStringLiteral(MOSAIQ_X_CLOSE_PATH).isEmpty())
        QSKIP("needs Xvfb, xdotool, ImageMagick and the X11 development files");
    // The real program in a real X server: a run that never ends (cells 1 and 2 hold 1 and 7),
    // then a close request confirmed with OK.
    XSession x;
    QVERIFY2(x.Ready(), "the X server did not start");
    QTemporaryDir dir;
    QFile program(dir.filePath(QStringLiteral("endless.mq")));
    QVERIFY(program.open(QIODevice::WriteOnly));
    program.write("01\r\n07\r\n" + QByteArray("00\r\n").repeated(1022));
    program.close();
    QProcess& editor = x.Start(QStringLiteral(MOSAIQ_EDITOR_PATH), {program.fileName()});
    QString window, box;
    QTRY_VERIFY_WITH_TIMEOUT(!(window = x.FindWindow("^Mosaiq \\[Design\\]")).isEmpty(), 15000);
    // Past the first-time menu, a press paints with pen 1 and its release runs up to that bar.
    QTRY_VERIFY_WITH_TIMEOUT(x.VisibleWindows(editor.processId()).size() >= 2, 5000);
    x.Key(QStringLiteral("Escape"));
    x.ClickAt(x.Geometry(window).topLeft() + QPoint(300, 200));
    QTRY_VERIFY_WITH_TIMEOUT(x.WindowName(window).contains("[Running]"), 5000);
    x.Run(QStringLiteral(MOSAIQ_X_CLOSE_PATH), {window});
    QTRY_VERIFY_WITH_TIMEOUT(!(box = x.FindWindow(QStringLiteral("^Mosaiq$"))).isEmpty(), 5000);
    x.FocusAndKey(box, QStringLiteral("Return")); // OK is the default button
    QVERIFY(editor.waitForFinished(5000));
    QCOMPARE(editor.exitStatus(), QProcess::NormalExit);
    QCOMPARE(editor.exitCode(), 0);
}

QTEST_MAIN(TestPainting)
#include "test_painting.moc"
