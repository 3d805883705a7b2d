// The editor window: layout, caption, run control, the deferred commands and visible runs, driven
// through the real window under the offscreen platform.

#include "EditorFixture.h"
#include "PaletteLabel.h"
#include "Twips.h"

#include <QImage>
#include <QSignalSpy>
#include <QTest>
#include <QToolTip>

using namespace mosaiq;
using namespace mosaiq::test;

namespace {
// A program that runs until stopped: X moves on, a new pass starts.
void LoadEndless(EditorFixture& f) {
    f.SetCells({NextPixel, Run});
}

QRgb PixelOf(EditorFixture& f, int bar) {
    return f.w->Panel->grab().toImage().pixel(f.w->Panel->BarRect(bar).center());
}
} // namespace

class TestEditorWindow : public QObject {
    Q_OBJECT
private slots:
    void designedSize();
    void layout_data();
    void layout();
    void refusedSizes();
    void negativeBarHeight();
    void minimisedWindowIsLeftAlone();
    void resizeRearmsFirstTimeMenu();
    void captionAcrossRun();
    void runThenStopThroughMenu();
    void runEndingByItselfLeavesRun();
    void resetData_data();
    void resetData();
    void clearAll_data();
    void clearAll();
    void clearAllDuringRun();
    void dispatcherWords_data();
    void dispatcherWords();
    void laterWordReplacesPendingRun();
    void runFallingDueDuringRunWaits();
    void modalMenuHoldsRun();
    void resizeDuringRunIsGapless();
    void changesReachScreenWithinFrame();
    void tooltipsShowHints();
    void closingEndsProgram();
};

void TestEditorWindow::designedSize() {
    EditorFixture f;
    QCOMPARE(f.w->ClientWidthTwips(), 10635.0);
    QCOMPARE(f.w->ClientHeightTwips(), 7905.0);
    QCOMPARE(f.w->width(), TwipsToPixels(10635, f.w->logicalDpiX()));
    QCOMPARE(f.w->Caption(), QStringLiteral("Mosaiq [Design]"));
    const QStringList captions = {"Load ...",   "Save ...",  "Run", "-",
                                  "Reset Data", "Clear All", "-",   "Close Menu"};
    QStringList actual;
    for (QAction* a : f.w->mnuContext.actions())
        actual << (a->isSeparator() ? QStringLiteral("-") : a->text());
    QCOMPARE(actual, captions);
    const Color expected[] = {0xFFFFFF, 0xFF,     0xFF0000, 0xFF00,
                              0xFFFF,   0xFFFF00, 0xFF00FF, 0xC0C0C0};
    for (int i = 0; i < kInstructionCount; ++i) {
        QCOMPARE(f.w->lColor[i]->Fill(), expected[i]);
        QCOMPARE(f.w->lColor[i]->Border(), i == 1);
    }
}

void TestEditorWindow::layout_data() {
    QTest::addColumn<bool>("running");
    QTest::addColumn<int>("gap");
    QTest::addColumn<int>("barWidth");
    QTest::addColumn<int>("barHeight");
    QTest::addColumn<int>("bottomOverrun"); // how far the last row ends below the frame
    QTest::newRow("design") << false << 12 << 287 << 224 << -5;
    QTest::newRow("running") << true << 0 << 299 << 236 << 7;
}

void TestEditorWindow::layout() {
    QFETCH(bool, running);
    QFETCH(int, gap);
    QFETCH(int, barWidth);
    QFETCH(int, barHeight);
    QFETCH(int, bottomOverrun);
    EditorFixture f;
    f.w->SetStatus(running ? kModeRunning : kModeDesign);
    f.w->Form_Resize();

    QCOMPARE(f.w->PanelWidth(), 10635.0 - 1065);
    QCOMPARE(f.w->PanelHeight(), 7905.0 - 360);
    const Bar& first = f.w->Bars.At(1);
    QCOMPARE(first.left, 0);
    QCOMPARE(first.top, 0);
    QCOMPARE(first.width, barWidth);
    QCOMPARE(first.height, barHeight);
    QCOMPARE(f.w->Bars.At(2).left, barWidth + gap);
    QCOMPARE(f.w->Bars.At(33).top, barHeight + gap);
    QCOMPARE(f.w->Bars.At(33).left, 0);
    const Bar& last = f.w->Bars.At(1024);
    QCOMPARE(last.left, 31 * (barWidth + gap));
    QCOMPARE(last.top + last.height - static_cast<int>(f.w->PanelHeight()), bottomOverrun);
    for (int i = 1; i <= kCellCount; ++i)
        QVERIFY(f.w->Bars.At(i).visible);
}

void TestEditorWindow::refusedSizes() {
    EditorFixture f;
    const double width = f.w->PanelWidth();
    const double height = f.w->PanelHeight();
    // 900 twips across is less than the 1065 the frame leaves free: the width is refused.
    f.w->ResizeClientTwips(900, 7905);
    QCOMPARE(f.w->PanelWidth(), width);
    QCOMPARE(f.w->PanelHeight(), height);
    // 300 twips down is less than 360: the height is refused, the new width is taken.
    f.w->ResizeClientTwips(6000, 300);
    QCOMPARE(f.w->PanelWidth(), 6000.0 - 1065);
    QCOMPARE(f.w->PanelHeight(), height);
    QCOMPARE(f.w->Bars.At(1).width, static_cast<int>(RoundHalfEven(
                                        (6000.0 - 1065) / 32 - RoundHalfEven(4935.0 / 3200 * 4))));
    QVERIFY(f.w->Bars.At(1024).visible);
}

void TestEditorWindow::negativeBarHeight() {
    EditorFixture f;
    f.SetCells({5, 6});
    // Wide and flat: a bar would be lower than the gap between bars.
    f.w->ResizeClientTwips(45000, 1995);
    const int gap = static_cast<int>(RoundHalfEven(f.w->PanelWidth() / 3200 * 4));
    QVERIFY(f.w->PanelHeight() / 32 - gap < -0.5);
    for (int i = 1; i <= kCellCount; ++i)
        QVERIFY(!f.w->Bars.At(i).visible);
    f.w->ResizeClientTwips(10635, 7905);
    for (int i = 1; i <= kCellCount; ++i)
        QVERIFY(f.w->Bars.At(i).visible);
    QCOMPARE(f.w->Bars.At(1).fill, kInstructionColors[5]);
}

void TestEditorWindow::minimisedWindowIsLeftAlone() {
    EditorFixture f;
    f.w->FreshStart = true;
    f.w->setWindowState(Qt::WindowMinimized);
    if (!f.w->isMinimized()) QSKIP("the platform does not minimise windows");
    f.w->OneShot.SetEnabled(false);
    const double width = f.w->PanelWidth();
    f.w->ResizeClientTwips(6000, 6000);
    f.w->Form_Resize();
    QCOMPARE(f.w->PanelWidth(), width);
    QVERIFY(!f.w->OneShot.Enabled());
    f.w->setWindowState(Qt::WindowNoState);
    f.w->Form_Resize();
    QCOMPARE(f.w->PanelWidth(), 6000.0 - 1065);
    QVERIFY(f.w->OneShot.Enabled());
}

void TestEditorWindow::resizeRearmsFirstTimeMenu() {
    EditorFixture f({}, true);
    QVERIFY(f.w->FreshStart);
    // Keep resizing for longer than a second: the menu must wait for the last resize.
    for (int i = 0; i < 6; ++i) {
        f.w->ResizeClientTwips(9000 + 100 * i, 7000);
        QTest::qWait(250);
        QVERIFY(f.dialogs.menus.empty());
    }
    QCOMPARE(f.w->OneShot.Tag(), QString());
    QTRY_COMPARE_WITH_TIMEOUT(f.dialogs.menus.size(), size_t(1), 3000);
    QVERIFY(!f.w->FreshStart);
    QCOMPARE(f.w->PenCode, std::uint8_t(1));
    const auto& menu = f.dialogs.menus.front().enabled;
    QVERIFY(menu.at("Load ...") && menu.at("Close Menu"));
    QVERIFY(!menu.at("Save ...") && !menu.at("Run") && !menu.at("Reset Data") &&
            !menu.at("Clear All"));
    // Resizing no longer arms anything.
    f.w->ResizeClientTwips(10635, 7905);
    QVERIFY(!f.w->OneShot.Enabled());
}

void TestEditorWindow::captionAcrossRun() {
    EditorFixture f;
    f.w->FileName = QStringLiteral("/tmp/a~b/demo.mq");
    f.w->ShowFileInCaption();
    QCOMPARE(f.w->Caption(), QStringLiteral("Mosaiq [Design] ~ /tmp/a~b/demo.mq"));
    f.SetCells({NextPixel});
    QStringList seen;
    QSignalSpy titles(f.w.get(), &QWidget::windowTitleChanged);
    f.w->Machine.RunLimit = 0;
    f.w->RunNow();
    for (const QList<QVariant>& args : titles)
        seen << args.at(0).toString();
    QCOMPARE(seen, (QStringList{"Mosaiq [Running] ~ /tmp/a~b/demo.mq",
                                "Mosaiq [Design] ~ /tmp/a~b/demo.mq"}));
    f.w->FileName = QStringLiteral("/tmp/other.mq");
    f.w->ShowFileInCaption();
    QCOMPARE(f.w->Caption(), QStringLiteral("Mosaiq [Design] ~ /tmp/other.mq"));
}

void TestEditorWindow::runThenStopThroughMenu() {
    EditorFixture f;
    LoadEndless(f);
    f.w->mnuRun_Click();
    QCOMPARE(f.w->mnuRun->text(), QStringLiteral("Stop"));
    QVERIFY(!f.w->Machine.StopRequest);
    QCOMPARE(f.w->Caption(), QStringLiteral("Mosaiq [Design]"));
    QCOMPARE(f.w->OneShot.Tag(), QStringLiteral("run"));
    QCOMPARE(f.w->OneShot.Interval(), 100);

    bool sawRunning = false;
    QString runItemAfterStop;
    QTimer::singleShot(400, f.w.get(), [&] {
        sawRunning =
            f.w->Running() && f.w->CaptionHas(kModeRunning) && f.w->Panel->PanelColor() == kWhite;
        f.w->mnuRun_Click();
        runItemAfterStop = f.w->mnuRun->text();
    });
    QTRY_VERIFY(sawRunning);
    QTRY_VERIFY(!f.w->Running());
    QCOMPARE(runItemAfterStop, QStringLiteral("Run"));
    QCOMPARE(f.w->mnuRun->text(), QStringLiteral("Run"));
    QCOMPARE(f.w->Caption(), QStringLiteral("Mosaiq [Design]"));
    QCOMPARE(f.w->Panel->PanelColor(), kBlack);
    QCOMPARE(f.w->LastRun().end, RunEnd::Stopped);
    QVERIFY(f.w->Machine.StopRequest);
}

void TestEditorWindow::runEndingByItselfLeavesRun() {
    EditorFixture f;
    f.SetCells({NextPixel, PlusColor});
    f.w->mnuRun_Click();
    QTRY_VERIFY(f.w->LastRun().steps > 0);
    QCOMPARE(f.w->LastRun().end, RunEnd::Limit);
    QCOMPARE(f.w->mnuRun->text(), QStringLiteral("Run"));
    QCOMPARE(f.w->Machine.Cells[2], std::uint8_t(PlusColor + 1));
    QVERIFY(f.w->Machine.Touched[2]);
    QCOMPARE(f.w->Bars.At(2).caption, BarCaption::X);
}

void TestEditorWindow::resetData_data() {
    QTest::addColumn<bool>("afterRun");
    QTest::newRow("touched cells") << true;
    QTest::newRow("nothing touched") << false;
}

void TestEditorWindow::resetData() {
    QFETCH(bool, afterRun);
    EditorFixture f;
    // X onto cell 4, which holds a grey; "Plus Color" raises it, so a run leaves it touched.
    f.SetCells({NextPixel, NextPixel, PlusColor, 20});
    f.w->Machine.RunLimit = 4;
    if (afterRun) f.w->RunNow();
    QCOMPARE(f.w->Machine.Touched[3], afterRun);
    f.w->mnuGC_Click();
    QCOMPARE(f.w->Machine.Cells[3], std::uint8_t(afterRun ? 0 : PlusColor));
    QVERIFY(!f.w->Machine.Touched[3]);
    QCOMPARE(f.w->Machine.Cells[4], std::uint8_t(20));
    QCOMPARE(f.w->Bars.At(4).fill, EditColor(20));
    QCOMPARE(f.w->Bars.At(1).caption, BarCaption::X);
    for (int i = 2; i <= kCellCount; ++i)
        QCOMPARE(f.w->Bars.At(i).caption, BarCaption::Empty);
}

void TestEditorWindow::clearAll_data() {
    QTest::addColumn<bool>("answer");
    QTest::newRow("yes") << true;
    QTest::newRow("no") << false;
}

void TestEditorWindow::clearAll() {
    QFETCH(bool, answer);
    EditorFixture f;
    f.SetCells({3, 1, 7});
    f.w->Bars.SetBorder(2, true);
    f.w->FileName = QStringLiteral("/tmp/x.mq");
    f.w->ShowFileInCaption();
    f.dialogs.yesNoAnswers = {answer};
    f.w->mnuClear_Click();
    QCOMPARE(f.dialogs.questions, QStringList{"Mosaiq|Reset and clear everything?"});
    QCOMPARE(f.w->Machine.Cells[1], std::uint8_t(answer ? 0 : 3));
    QCOMPARE(f.w->Bars.At(2).border, !answer);
    QCOMPARE(f.w->FileName.isEmpty(), answer);
    // The caption keeps the old name until the next run rebuilds it.
    QCOMPARE(f.w->Caption(), QStringLiteral("Mosaiq [Design] ~ /tmp/x.mq"));
}

void TestEditorWindow::clearAllDuringRun() {
    EditorFixture f;
    LoadEndless(f);
    f.dialogs.yesNoAnswers = {true};
    bool cleared = false;
    QTimer::singleShot(300, f.w.get(), [&] {
        f.w->mnuClear_Click();
        cleared = f.w->Machine.Cells[1] == 0 && f.w->Bars.At(1).fill == kWhite;
    });
    f.w->mnuRun_Click();
    QTRY_VERIFY(cleared);
    QTRY_VERIFY(!f.w->Running());
    QCOMPARE(f.w->LastRun().end, RunEnd::Stopped);
    QCOMPARE(f.w->Bars.At(f.w->Machine.PixelX).caption, BarCaption::X);
    for (int i = 1; i <= kCellCount; ++i)
        QVERIFY(!f.w->Bars.HintText(i).empty());
}

void TestEditorWindow::dispatcherWords_data() {
    QTest::addColumn<QString>("word");
    QTest::addColumn<bool>("freshStart");
    QTest::addColumn<bool>("fileName");
    QTest::addColumn<bool>("busyAfter");
    QTest::addColumn<int>("penAfter");
    QTest::addColumn<int>("menusShown");
    QTest::newRow("saveflg") << "saveflg" << false << true << false << 3 << 0;
    QTest::newRow("loadflg with file") << "loadflg" << false << true << false << 0 << 1;
    QTest::newRow("loadflg without file") << "loadflg" << false << false << false << 0 << 1;
    QTest::newRow("empty word, fresh start") << "" << true << false << true << 1 << 1;
    QTest::newRow("empty word later") << "" << false << false << true << 3 << 0;
    QTest::newRow("unknown word") << "RUN" << false << false << true << 3 << 0;
}

void TestEditorWindow::dispatcherWords() {
    QFETCH(QString, word);
    QFETCH(bool, freshStart);
    QFETCH(bool, fileName);
    QFETCH(bool, busyAfter);
    QFETCH(int, penAfter);
    QFETCH(int, menusShown);
    EditorFixture f;
    f.w->lColor_Click(3);
    f.w->Busy = true;
    f.w->FreshStart = freshStart;
    if (fileName) f.w->FileName = QStringLiteral("/tmp/p.mq");
    // Item states the load hand-off must set or keep.
    f.w->mnuClear->setEnabled(false);
    f.w->mnuRun->setEnabled(false);
    f.w->mnuGC->setEnabled(true);

    f.w->OneShot.Arm(word, 10);
    QTRY_VERIFY(!f.w->OneShot.Enabled());
    QTest::qWait(20);
    QCOMPARE(f.w->Busy, busyAfter);
    QCOMPARE(int(f.w->PenCode), penAfter);
    QCOMPARE(int(f.dialogs.menus.size()), menusShown);
    QCOMPARE(f.w->OneShot.Tag(), (word == "saveflg" || word == "loadflg") ? QString() : word);
    if (word == "loadflg") {
        QVERIFY(f.w->lColor[0]->Border());
        QVERIFY(!f.w->lColor[3]->Border());
        const auto& menu = f.dialogs.menus.front().enabled;
        QCOMPARE(menu.at("Clear All"), fileName);
        QCOMPARE(menu.at("Run"), fileName);
        QVERIFY(!menu.at("Reset Data"));
    }
    if (word.isEmpty() && freshStart) {
        QVERIFY(!f.w->FreshStart);
        QVERIFY(f.w->lColor[3]->Border()); // the first-time menu leaves the palette alone
        QVERIFY(!f.dialogs.menus.front().enabled.at("Run"));
    }
}

void TestEditorWindow::laterWordReplacesPendingRun() {
    EditorFixture f;
    LoadEndless(f);
    f.w->mnuRun_Click();
    f.w->Busy = true;
    f.w->OneShot.Arm(QStringLiteral("saveflg"), 250);
    QTRY_VERIFY(!f.w->Busy);
    QTest::qWait(150);
    QCOMPARE(f.w->LastRun().steps, std::uint64_t(0));
    QVERIFY(!f.w->Running());
}

void TestEditorWindow::runFallingDueDuringRunWaits() {
    EditorFixture f;
    // Cells 1..5 are run by a click on bar 5; the Run command during that run asks for the
    // whole strip, which starts only once the first run is over.
    // The loop in cells 3 to 5 repeats while cell X (cell 3 itself) is coloured.
    f.SetCells({NextPixel, NextPixel, RepeatUntilWhite, 0, EndRepeat, Run});
    std::vector<std::pair<bool, int>> runsSeen; // (running, RunLimit) when "run" fell due
    bool stopped = false;
    QTimer::singleShot(300, f.w.get(), [&] {
        f.w->mnuRun_Click(); // "Run" again while the first run goes on
        QTimer::singleShot(300, f.w.get(), [&] {
            runsSeen.push_back({f.w->Running(), f.w->Machine.RunLimit});
            // Emptying the loop ends the first run by itself; the second one runs until stopped.
            f.w->Machine.Cells[3] = 0;
            f.w->Machine.Cells[5] = 0;
            QTimer::singleShot(300, f.w.get(), [&] {
                runsSeen.push_back({f.w->Running(), f.w->Machine.RunLimit});
                f.w->mnuRun_Click(); // Stop
                stopped = true;
            });
        });
    });
    f.w->Machine.RunLimit = 5;
    f.w->Machine.StopRequest = false;
    f.w->OneShot.Arm(QStringLiteral("run"), 10);
    QTRY_VERIFY_WITH_TIMEOUT(stopped, 5000);
    QTRY_VERIFY(!f.w->Running());
    QCOMPARE(int(runsSeen.size()), 2);
    QVERIFY(runsSeen[0].first);
    // The second run is the whole strip's.
    QVERIFY(runsSeen[1].first);
    QCOMPARE(runsSeen[1].second, 1024);
    QCOMPARE(f.w->mnuRun->text(), QStringLiteral("Run"));
}

void TestEditorWindow::modalMenuHoldsRun() {
    EditorFixture f;
    LoadEndless(f);
    std::int32_t before = -1;
    std::int32_t after = -2;
    f.dialogs.whileMenuOpen = [&] {
        before = f.w->Machine.PixelX + f.w->Machine.ProgPos * 10000;
        QTest::qWait(100);
        after = f.w->Machine.PixelX + f.w->Machine.ProgPos * 10000;
    };
    f.dialogs.menuChoices = {QStringLiteral("Stop")};
    QTimer::singleShot(300, f.w.get(), [&] { f.w->Panel_MouseUp(2); });
    f.w->mnuRun_Click();
    QTRY_VERIFY(!f.dialogs.menus.empty());
    QTRY_VERIFY(!f.w->Running());
    QCOMPARE(after, before);
    QVERIFY(f.dialogs.menus.front().enabled.at("Stop"));
    QCOMPARE(f.w->LastRun().end, RunEnd::Stopped);
}

void TestEditorWindow::resizeDuringRunIsGapless() {
    EditorFixture f;
    LoadEndless(f);
    int gapDuringRun = -1;
    QTimer::singleShot(300, f.w.get(), [&] {
        f.w->ResizeClientTwips(9000, 7000);
        gapDuringRun = f.w->Bars.At(2).left - f.w->Bars.At(1).width;
        f.w->mnuRun_Click();
    });
    f.w->mnuRun_Click();
    QTRY_VERIFY(gapDuringRun >= 0);
    QTRY_VERIFY(!f.w->Running());
    QCOMPARE(gapDuringRun, 0);
    // The gaps come back only with the next layout.
    QCOMPARE(f.w->Bars.At(2).left - f.w->Bars.At(1).width, 0);
    f.w->ResizeClientTwips(10635, 7905);
    QCOMPARE(f.w->Bars.At(2).left - f.w->Bars.At(1).width, 12);
}

void TestEditorWindow::changesReachScreenWithinFrame() {
    EditorFixture f;
    f.w->Bars.SetFill(40, 0x00FF00);
    f.w->Panel->SetPanelColor(0xFFFFFF);
    QTest::qWait(40);
    QCOMPARE(QColor(PixelOf(f, 40)), QColor(0, 255, 0));
    const QImage image = f.w->Panel->grab().toImage();
    QCOMPARE(QColor(image.pixel(image.width() - 1, image.height() - 1)), QColor(Qt::white));
    f.w->Bars.SetFill(40, 0x0000FF);
    QTest::qWait(40);
    QCOMPARE(QColor(PixelOf(f, 40)), QColor(255, 0, 0));
}

void TestEditorWindow::tooltipsShowHints() {
    EditorFixture f;
    f.SetCells({4, 0}, 60); // bar 61 is painted white and so gets the hint; bar 60 has none
    auto tipAt = [&](int bar) {
        QToolTip::hideText();
        const QPoint pos = f.BarCenter(bar);
        QHelpEvent help(QEvent::ToolTip, pos, f.w->Panel->mapToGlobal(pos));
        QCoreApplication::sendEvent(f.w->Panel, &help);
        return QToolTip::isVisible() ? QToolTip::text() : QString();
    };
    QCOMPARE(tipAt(60), QString());
    QCOMPARE(tipAt(61), QStringLiteral(" right click for context menu . . . "));
    QCOMPARE(f.w->lColor[5]->toolTip(), QStringLiteral("Repeat Until Pixel (X) Turns White"));
}

void TestEditorWindow::closingEndsProgram() {
    EditorFixture f;
    QVERIFY(f.w->close() || f.endCalls == 1);
    QCOMPARE(f.endCalls, 1);

    // Also from the middle of a run.
    EditorFixture g;
    g.SetCells({NextPixel, Run});
    g.dialogs.okCancelAnswers = {true};
    QTimer::singleShot(300, g.w.get(), [&] {
        g.w->close();
        g.w->mnuRun_Click(); // what the real end of the program makes unnecessary
    });
    g.w->mnuRun_Click();
    QTRY_COMPARE(g.endCalls, 1);
    QTRY_VERIFY(!g.w->Running());
}

QTEST_MAIN(TestEditorWindow)
#include "test_editor_window.moc"
