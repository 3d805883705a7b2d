// Painting with the palette, the hover preview, the mark and run-to-here, the context menu's
// item states and closing, through real mouse events on the real window.

#include "EditorFixture.h"
#include "PaletteLabel.h"
#include "e2e/XSession.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace mosaiq;
using namespace mosaiq::test;

namespace {
void Press(EditorFixture& f, int bar, Qt::MouseButton b = Qt::LeftButton) {
    QTest::mousePress(f.w->Panel, b, {}, f.BarCenter(bar));
}
void Release(EditorFixture& f, int bar, Qt::MouseButton b = Qt::LeftButton) {
    QTest::mouseRelease(f.w->Panel, b, {}, f.BarCenter(bar));
}
void Click(EditorFixture& f, int bar, Qt::MouseButton b = Qt::LeftButton) {
    Press(f, bar, b);
    Release(f, bar, b);
}
void Move(EditorFixture& f, int bar) {
    QTest::mouseMove(f.w->Panel, f.BarCenter(bar));
}
void Pen(EditorFixture& f, int pen) {
    QTest::mouseClick(f.w->lColor[pen], Qt::LeftButton, {}, f.w->lColor[pen]->rect().center());
}
int BorderCount(EditorFixture& f) {
    int n = 0;
    for (int i = 1; i <= kCellCount; ++i)
        n += f.w->Bars.At(i).border;
    return n;
}
// A point of the frame that no bar covers, below the first bar of the first column.
QPoint GapPoint(EditorFixture& f) {
    const int x = f.w->Panel->BarRect(1).center().x();
    for (int y = 0; y < f.w->Panel->height(); ++y)
        if (f.w->Panel->BarAt(QPoint(x, y)) == 0) return QPoint(x, y);
    return {};
}
} // namespace

class TestPainting : public QObject {
    Q_OBJECT
private slots:
    void pens_data();
    void pens();
    void firstPressPaintsWithPenOne();
    void preview();
    void dragPaintsOnlyPressedBar();
    void clickRunsToHere();
    void whitePenMarksWithoutRun();
    void releaseDuringRunOnlyMovesMark();
    void busyIgnoresBarsButNotPalette();
    void menuStates_data();
    void menuStates();
    void closing_data();
    void closing();
    void closingDuringRunEndsProcess();
};

void TestPainting::pens_data() {
    QTest::addColumn<int>("pen");
    QTest::addColumn<int>("before");
    QTest::addColumn<int>("after");
    QTest::newRow("pen 3 on white") << 3 << 0 << 3;
    QTest::newRow("pen 3 on its own code erases") << 3 << 3 << 0;
    QTest::newRow("pen 1 on green") << 1 << 3 << 1;
    QTest::newRow("pen 7 on grey") << 7 << 200 << 7;
    QTest::newRow("white pen on red") << 0 << 1 << 0;
    QTest::newRow("white pen on white") << 0 << 0 << 0;
}

void TestPainting::pens() {
    QFETCH(int, pen);
    QFETCH(int, before);
    QFETCH(int, after);
    EditorFixture f;
    f.SetCells({before}, 100);
    Pen(f, pen);
    QCOMPARE(int(f.w->PenCode), pen);
    QCOMPARE(f.w->lColor[pen]->Border(), true);
    Press(f, 100);
    QCOMPARE(int(f.w->Machine.Cells[100]), after);
    QCOMPARE(f.w->Bars.At(100).fill, EditColor(std::uint8_t(after)));
    QVERIFY(!f.w->Machine.Touched[100]);
    // A bar painted white gets the hint text; no one takes it away again.
    if (before != 0) QCOMPARE(!f.w->Bars.HintText(100).empty(), after == 0);
}

void TestPainting::firstPressPaintsWithPenOne() {
    EditorFixture f({}, true);
    Pen(f, 4);
    QVERIFY(f.w->FreshStart); // choosing a pen does not end the fresh start
    Click(f, 200);
    QCOMPARE(int(f.w->Machine.Cells[200]), 1);
    QVERIFY(!f.w->FreshStart);
    QVERIFY(f.w->lColor[4]->Border());
    Press(f, 201);
    QCOMPARE(int(f.w->Machine.Cells[201]), 1);
}

void TestPainting::preview() {
    EditorFixture f;
    f.SetCells({3}, 12);
    Pen(f, 2);
    Move(f, 10);
    QCOMPARE(f.w->HoverBar, 10);
    QCOMPARE(f.w->Bars.At(10).fill, kInstructionColors[2]);
    QCOMPARE(int(f.w->Machine.Cells[10]), 0); // a preview is colour only
    Move(f, 11);
    QCOMPARE(f.w->HoverBar, 11);
    QCOMPARE(f.w->Bars.At(10).fill, kWhite);
    Move(f, 12); // a coloured bar takes the preview away
    QCOMPARE(f.w->HoverBar, 0);
    QCOMPARE(f.w->Bars.At(11).fill, kWhite);
    QCOMPARE(f.w->Bars.At(12).fill, kInstructionColors[3]);

    Move(f, 11);
    QTest::mouseMove(f.w->Panel, GapPoint(f));
    QCOMPARE(f.w->HoverBar, 0);
    QCOMPARE(f.w->Bars.At(11).fill, kWhite);

    Move(f, 11);
    QTest::mouseMove(f.w.get(), QPoint(f.w->width() - 3, f.w->height() - 3));
    QCOMPARE(f.w->HoverBar, 0);

    // The marked bar shows no preview, even when white: paint it, mark it, erase it again.
    Pen(f, 3);
    Click(f, 20);
    Click(f, 20);
    QCOMPARE(int(f.w->Machine.Cells[20]), 0);
    QVERIFY(f.w->Bars.At(20).border);
    QTRY_VERIFY(f.w->LastRun().steps > 0 && !f.w->Running());
    Pen(f, 5);
    Move(f, 20);
    QCOMPARE(f.w->HoverBar, 0);
    QCOMPARE(f.w->Bars.At(20).fill, kWhite);
    // With the white pen nothing is previewed.
    Pen(f, 0);
    Move(f, 30);
    QCOMPARE(f.w->HoverBar, 0);
    // A right release on the previewed bar undoes it before the menu opens.
    Pen(f, 6);
    Move(f, 31);
    QCOMPARE(f.w->HoverBar, 31);
    Click(f, 31, Qt::RightButton);
    QCOMPARE(f.w->HoverBar, 0);
    QCOMPARE(f.w->Bars.At(31).fill, kWhite);
    QCOMPARE(int(f.dialogs.menus.size()), 1);
}

void TestPainting::dragPaintsOnlyPressedBar() {
    EditorFixture f;
    Pen(f, 3);
    Press(f, 50);
    QTest::mouseMove(f.w->Panel, f.BarCenter(51));
    QTest::mouseMove(f.w->Panel, f.BarCenter(52));
    Release(f, 52);
    QCOMPARE(int(f.w->Machine.Cells[50]), 3);
    QCOMPARE(int(f.w->Machine.Cells[51]), 0);
    QCOMPARE(int(f.w->Machine.Cells[52]), 0);
    QCOMPARE(f.w->HoverBar, 0);
    QCOMPARE(f.w->Bars.At(51).fill, kWhite);
    // The release belongs to the pressed bar.
    QVERIFY(f.w->Bars.At(50).border);
    QCOMPARE(BorderCount(f), 1);
    QCOMPARE(f.w->Machine.RunLimit, 50);
}

void TestPainting::clickRunsToHere() {
    EditorFixture f;
    f.SetCells({NextPixel, NextPixel});
    Pen(f, 5);
    Click(f, 40);
    QCOMPARE(int(f.w->Machine.Cells[40]), 5);
    QVERIFY(f.w->Bars.At(40).border);
    QCOMPARE(f.w->Machine.RunLimit, 40);
    QVERIFY(!f.w->Machine.StopRequest);
    QCOMPARE(f.w->OneShot.Tag(), QStringLiteral("run"));
    QCOMPARE(f.w->OneShot.Interval(), 100);
    // A second click before the run starts arms nothing more.
    Click(f, 41);
    QCOMPARE(f.w->Machine.RunLimit, 41);
    QTRY_VERIFY(f.w->LastRun().steps > 0);
    QVERIFY(!f.w->Running());
    // Cells 1 to 41: the Repeat in 40 finds cell X (3) white and scans off the strip.
    QCOMPARE(f.w->LastRun().end, RunEnd::NoEndRepeat);
    QCOMPARE(f.w->Machine.PixelX, 3);
    QCOMPARE(f.w->Panel->PanelColor(), kBlack);
}

void TestPainting::whitePenMarksWithoutRun() {
    EditorFixture f;
    f.SetCells({1}, 40);
    Pen(f, 0);
    Press(f, 40);
    Release(f, 40);
    QCOMPARE(int(f.w->Machine.Cells[40]), 0);
    QCOMPARE(f.w->Machine.RunLimit, 40);
    QVERIFY(f.w->Machine.StopRequest);
    QCOMPARE(BorderCount(f), 0); // shown at the release, removed by the click
    QTest::qWait(150);
    QCOMPARE(f.w->LastRun().steps, std::uint64_t(0));
}

void TestPainting::releaseDuringRunOnlyMovesMark() {
    EditorFixture f;
    f.SetCells({NextPixel, Run});
    Pen(f, 3);
    int limitAfter = -1;
    bool stopAfter = true;
    QTimer::singleShot(300, f.w.get(), [&] {
        Click(f, 500);
        limitAfter = f.w->Machine.RunLimit;
        stopAfter = f.w->Machine.StopRequest;
        f.w->mnuRun_Click();
    });
    f.w->mnuRun_Click();
    QTRY_VERIFY(limitAfter != -1);
    QTRY_VERIFY(!f.w->Running());
    QCOMPARE(limitAfter, 1024);
    QVERIFY(!stopAfter);
    QVERIFY(f.w->Bars.At(500).border);
    QCOMPARE(int(f.w->Machine.Cells[500]), 3); // painting works during a run
    QTest::qWait(150);
    QVERIFY(!f.w->Running()); // and no new run was scheduled
}

void TestPainting::busyIgnoresBarsButNotPalette() {
    EditorFixture f;
    Pen(f, 2);
    Move(f, 7);
    QCOMPARE(f.w->HoverBar, 7);
    f.w->Busy = true;
    QTest::mouseMove(f.w.get(), QPoint(f.w->width() - 3, f.w->height() - 3));
    QCOMPARE(f.w->HoverBar, 0); // undoing the preview still works
    Click(f, 8);
    Move(f, 9);
    Click(f, 9, Qt::RightButton);
    QTest::mouseClick(f.w->Panel, Qt::RightButton, {}, GapPoint(f));
    QCOMPARE(int(f.w->Machine.Cells[8]), 0);
    QCOMPARE(f.w->HoverBar, 0);
    QCOMPARE(BorderCount(f), 0);
    QVERIFY(f.dialogs.menus.empty());
    QVERIFY(!f.w->OneShot.Enabled());
    Pen(f, 6);
    QCOMPARE(int(f.w->PenCode), 6);
}

void TestPainting::menuStates_data() {
    QTest::addColumn<QList<int>>("cells");
    QTest::addColumn<int>("touched"); // a cell a run changed, 0 for none
    QTest::addColumn<bool>("inGap");
    QTest::addColumn<bool>("content");
    QTest::addColumn<bool>("resetData");
    QTest::newRow("empty strip") << QList<int>{} << 0 << false << false << false;
    QTest::newRow("empty strip, gap") << QList<int>{} << 0 << true << false << false;
    QTest::newRow("one run cell") << QList<int>{0, 0, 7} << 0 << false << true << false;
    QTest::newRow("one run cell, gap") << QList<int>{0, 0, 7} << 0 << true << true << false;
    QTest::newRow("touched cell") << QList<int>{1, 3} << 2 << false << true << true;
    QTest::newRow("touched, back to 0") << QList<int>{} << 900 << false << true << true;
}

void TestPainting::menuStates() {
    QFETCH(QList<int>, cells);
    QFETCH(int, touched);
    QFETCH(bool, inGap);
    QFETCH(bool, content);
    QFETCH(bool, resetData);
    EditorFixture f;
    for (int i = 0; i < cells.size(); ++i)
        f.w->Machine.Cells[i + 1] = std::uint8_t(cells[i]);
    if (touched) f.w->Machine.Touched[touched] = true;
    if (inGap)
        QTest::mouseClick(f.w->Panel, Qt::RightButton, {}, GapPoint(f));
    else
        Click(f, 300, Qt::RightButton);
    QCOMPARE(int(f.dialogs.menus.size()), 1);
    const auto& on = f.dialogs.menus.front().enabled;
    QVERIFY(on.at("Load ...") && on.at("Close Menu"));
    QCOMPARE(on.at("Save ..."), content);
    QCOMPARE(on.at("Run"), content);
    QCOMPARE(on.at("Clear All"), content);
    QCOMPARE(on.at("Reset Data"), resetData);
    QCOMPARE(f.w->HoldsContent(), content);
}

void TestPainting::closing_data() {
    QTest::addColumn<bool>("content");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<bool>("asked");
    QTest::addColumn<bool>("ended");
    QTest::newRow("empty strip") << false << false << false << true;
    QTest::newRow("content, cancel") << true << false << true << false;
    QTest::newRow("content, ok") << true << true << true << true;
}

void TestPainting::closing() {
    QFETCH(bool, content);
    QFETCH(bool, ok);
    QFETCH(bool, asked);
    QFETCH(bool, ended);
    EditorFixture f;
    if (content) f.SetCells({0, 4});
    f.dialogs.okCancelAnswers = {ok};
    f.w->close();
    QCOMPARE(f.dialogs.questions.size(), asked ? 1 : 0);
    if (asked) QCOMPARE(f.dialogs.questions.front(), QStringLiteral("Mosaiq|Shutdown?"));
    QCOMPARE(f.endCalls, ended ? 1 : 0);
    if (!ended) {
        QVERIFY(f.w->isVisible());
        QCOMPARE(int(f.w->Machine.Cells[2]), 4);
    }
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
    for (int i = 1; i <= 1024; ++i)
        program.write(i == 1 ? "01\r\n" : i == 2 ? "07\r\n" : "00\r\n");
    program.close();

    QProcess& editor = x.Start(QStringLiteral(MOSAIQ_EDITOR_PATH), {program.fileName()});
    QString window;
    QTRY_VERIFY_WITH_TIMEOUT(
        !(window = x.FindWindow(QStringLiteral("^Mosaiq \\[Design\\]"))).isEmpty(), 15000);
    // Past the first-time menu, the first press paints with pen 1 and its release runs the strip
    // up to that bar.
    QTRY_VERIFY_WITH_TIMEOUT(x.VisibleWindows(editor.processId()).size() >= 2, 5000);
    x.Key(QStringLiteral("Escape"));
    x.ClickAt(x.Geometry(window).topLeft() + QPoint(300, 200));
    QTRY_VERIFY_WITH_TIMEOUT(x.WindowName(window).contains(QStringLiteral("[Running]")), 5000);

    x.Run(QStringLiteral(MOSAIQ_X_CLOSE_PATH), {window});
    QString box;
    QTRY_VERIFY_WITH_TIMEOUT(!(box = x.FindWindow(QStringLiteral("^Mosaiq$"))).isEmpty(), 5000);
    x.FocusAndKey(box, QStringLiteral("Return")); // OK is the default button
    QVERIFY(editor.waitForFinished(5000));
    QCOMPARE(editor.exitStatus(), QProcess::NormalExit);
    QCOMPARE(editor.exitCode(), 0);
}

QTEST_MAIN(TestPainting)
#include "test_painting.moc"
