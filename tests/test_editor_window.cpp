// The editor window: layout, caption, run control, the menu commands, the deferred commands and
// visible runs, driven through the real window under the offscreen platform.

#include "EditorFixture.h"

#include <QScreen>
#include <QToolTip>

using namespace mosaiq;
using namespace mosaiq::test;
using Ints = QList<int>;

class TestEditorWindow : public QObject {
    Q_OBJECT
private slots:
    void layout_data();
    void layout();
    void commands_data();
    void commands();
    void runFallingDueDuringRunWaits();
    void panelShowsBars();
};

void TestEditorWindow::layout_data() {
    QTest::addColumn<QString>("mode");
    QTest::addColumn<Ints>("e"); // client size; frame; bar 34 (row 2, column 2); last row's overrun
    QTest::newRow("designed") << "" << Ints{10635, 7905, 9570, 7545, 287, 224, 299, 236, -5};
    QTest::newRow("running") << "running" << Ints{10635, 7905, 9570, 7545, 299, 236, 299, 236, 7};
    QTest::newRow("too narrow") << "" << Ints{900, 7905, 9570, 7545, 287, 224, 299, 236, -5};
    QTest::newRow("too low") << "" << Ints{6000, 300, 4935, 7545, 148, 230, 154, 236, 1};
    QTest::newRow("bars below 0 high") << "" << Ints{45000, 1995, 43935, 1635}; // all hidden
    QTest::newRow("minimised") << "min" << Ints{6000, 6000, 9570, 7545, 287, 224, 299, 236, -5};
}

void TestEditorWindow::layout() {
    QFETCH(QString, mode);
    QFETCH(Ints, e);
    EditorFixture f;
    EditorWindow& w = *f.w;
    w.SetStatus(mode == "running" ? kModeRunning : kModeDesign);
    if (mode == "min") w.setWindowState(Qt::WindowMinimized);
    w.ResizeClientTwips(e[0], e[1]);
    w.Form_Resize();
    const Bar &b = w.Bars.At(34), &last = w.Bars.At(kCellCount);
    const int width = int(w.PanelWidth()), height = int(w.PanelHeight());
    const Ints seen{
        width, height, b.width, b.height, b.left, b.top, last.top + last.height - height};
    QCOMPARE(seen.mid(0, e.size() - 2), e.mid(2)); // only the frame when every bar is hidden
    for (int i = 1; i <= kCellCount; ++i)
        QCOMPARE(w.Bars.At(i).visible, e.size() > 4);
    w.setWindowState(Qt::WindowNoState); // a minimised window takes its new size when restored
    QCOMPARE(int(w.PanelWidth()), mode == "min" ? e[0] - 1065 : e[2]);
    w.ResizeClientTwips(10635, 7905); // hidden bars come back with a usable size
    QVERIFY(last.visible);
}

void TestEditorWindow::commands_data() {
    QTest::addColumn<QString>("script"); // see EditorFixture::Play
    QTest::addColumn<QString>("shown");  // State() at every "check" and at the end
    // Run control, on a strip that runs until stopped: cell X (1) stays coloured.
    const QString endless = "cell 1 5; cell 2 6; file /a~b; ", strip = "pen 0 (1); cells 1=5,2=6; ";
    const QString named = "Mosaiq [Design] ~ /a~b; ", running = "Mosaiq [Running] ~ /a~b; ";
    const QString going = "white; " + strip + "limit 1024; running; file /a~b | ";
    ScriptRow("Run, Stop", endless + "Run; check; during; check; Run; check",
              named + "item Stop; " + strip + "armed run; file /a~b | " + running + "item Stop; " +
                  going + running + going + named + strip + "stopped; file /a~b");
    const QString clear = "Mosaiq|Reset and clear everything?";
    ScriptRow("Clear All during a run", endless + "yes; Run; during; Clear; check",
              running + "item Stop; white; pen 0 (1); limit 1024; running; " + clear +
                  " | pen 0 (1); stopped; " + clear);
    ScriptRow("close during a run", endless + "ok; Run; during; close; Run",
              named + strip + "stopped; file /a~b; Mosaiq|Shutdown?; ended; hidden");
    ScriptRow("resize during a run", endless + "Run; during; resize 9000 7000; Run",
              named + strip + "stopped; gap 0; file /a~b");
    // The name is replaced from the first "~" of the caption on.
    ScriptRow("caption", "file /a~b; file /c", "Mosaiq [Design] ~ /c; pen 0 (1); file /c");
    // A run shows the grey in cell 2 by the run's colour rule and turns cell 3 into a 2.
    const QString data = "cell 1 1; cell 2 20; cell 3 1; cell 4 3; ";
    ScriptRow(
        "Reset Data, touched", data + "Run; wait; check; Reset",
        "pen 0 (1); cells 1=1,2=20,3=2,4=3; touched 3; preview 2; X at 3; ran 1024 | pen 0 (1); "
        "cells 1=1,2=20,4=3; ran 1024");
    ScriptRow("Reset Data, untouched", data + "Reset", "pen 0 (1); cells 1=1,2=20,3=1,4=3");
    ScriptRow("Clear All, Yes", "cell 3 7; file /a~b; yes; Clear", named + "pen 0 (1); " + clear);
    ScriptRow("Clear All, No", "cell 3 7; file /a~b; Clear",
              named + "pen 0 (1); cells 3=7; file /a~b; " + clear);
    const QString off = "menu off: Clear All, Reset Data, Run, Save ...";
    // The first-time menu waits a second after the last resize; then resizing arms nothing.
    ScriptRow("first-time menu",
              "fresh; resize 10700 7905; wait 600; resize 10800 7905; wait 600; check; wait 800; "
              "resize 10635 7905",
              "pen 0 (1); armed | pen 1; " + off);
    // The deferred commands, falling due during a load or save (Busy).
    ScriptRow("run word", "pen 3; busy; arm run; wait", "busy; pen 3; ran 1024");
    ScriptRow("saveflg", "pen 3; busy; arm saveflg; wait", "pen 3");
    ScriptRow("saveflg, run pending", "pen 3; busy; Run; arm saveflg; wait", "item Stop; pen 3");
    ScriptRow("loadflg, file", "pen 3; right 0; busy; file /p; arm loadflg; wait",
              "Mosaiq [Design] ~ /p; pen 0; file /p; " + off + "; menu off: Reset Data, Save ...");
    ScriptRow("loadflg, no file", "pen 3; touch 5; right 0; busy; arm loadflg; wait",
              "pen 0; touched 5; menu off: none; menu off: Reset Data");
    ScriptRow("empty word, fresh start", "pen 3; busy; fresh; arm; wait",
              "busy; pen 1 (3); " + off);
    ScriptRow("other word", "pen 3; busy; arm RUN; wait", "busy; pen 3; word RUN");
}

void TestEditorWindow::commands() {
    QFETCH(QString, script);
    QFETCH(QString, shown);
    EditorFixture f;
    f.Play(script);
    QCOMPARE((f.log << f.State()).join(" | "), shown);
}

void TestEditorWindow::runFallingDueDuringRunWaits() {
    EditorFixture f;
    // The menu holds the run while the Run command's "run" falls due; then the loop is emptied.
    f.dialogs.whileMenuOpen = [&f, at = 0]() mutable {
        at = f.w->Machine.ProgPos;
        f.Play("Run; wait; check; cell 3 0; cell 5 0");
        QCOMPARE(f.w->Machine.ProgPos, at);
    };
    // Cells 1..5 run first, after a click on bar 5: the loop in 3..5 repeats while cell X (3
    // itself) is coloured. The run that waited follows, over the whole strip.
    f.Play("cell 1 1; cell 2 1; cell 3 5; pen 6; click 5; during; right 9");
    QCOMPARE(
        (f.log << f.State()).join(" | "),
        "Mosaiq [Running]; item Stop; pen 6; cells 1=1,2=1,3=5,5=6; mark 5; running; menu off: "
        "Reset Data | pen 6; cells 1=1,2=1; mark 5; X at 3; ran 1024; menu off: Reset Data");
}

void TestEditorWindow::panelShowsBars() {
    EditorFixture f;
    f.SetCells({4, 0}, 60); // bar 61 is painted white and so gets the hint; bar 60 has none
    f.w->Bars.SetFill(40, 0x0000FF); // red, in blue-green-red order
    QTest::qWait(40);                // a display frame and then some
    const QImage shown = f.w->screen()->grabWindow(f.w->winId()).toImage();
    QCOMPARE(QColor(shown.pixel(f.w->Panel->pos() + f.BarCenter(40))), QColor(Qt::red));
    for (int bar : {60, 61}) {
        QToolTip::hideText();
        const QPoint at = f.BarCenter(bar);
        QHelpEvent help(QEvent::ToolTip, at, f.w->Panel->mapToGlobal(at));
        QCoreApplication::sendEvent(f.w->Panel, &help);
        QCOMPARE(QToolTip::isVisible() ? QToolTip::text() : QString(),
                 bar == 61 ? " right click for context menu . . . " : "");
    }
}

QTEST_MAIN(TestEditorWindow)
#include "test_editor_window.moc"
