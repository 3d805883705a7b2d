// The real widgets under the offscreen platform: mouse events turned into the rules' handlers,
// the pixels of the grid, the real menu and timer, start-up, the splash window, and the editor's
// command line.

#include "CellView.h"
#include "CommandLine.h"
#include "EditorStartup.h"
#include "EditorWindow.h"
#include "PaletteLabel.h"
#include "SplashLabel.h"
#include "SplashPanel.h"
#include "SplashWindow.h"
#include "StatusLabel.h"
#include "Table.h"

#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QMenu>
#include <QPointer>
#include <QTemporaryDir>
#include <QTest>
#include <QToolTip>

using namespace mosaiq;
using namespace mosaiq::test;

namespace {

// The real window, with its modal pieces recorded instead of shown; its real menu closes as soon
// as it has opened.
struct TestWindow : EditorWindow {
    QStringList shown; // menus (their items, "(off)" where disabled) and messages, in order
    // Started up without a program, unless `load` is false.
    explicit TestWindow(bool load = true) {
        OnEndProgram = [this] { shown << "ended"; };
        if (load) Form_Load(*this, {});
    }
    void ShowContextMenu() override {
        QTimer::singleShot(0, this, [this] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            QVERIFY(menu);
            QStringList items;
            for (QAction* a : menu->actions())
                if (!a->isSeparator()) items << a->text() + (a->isEnabled() ? "" : " (off)");
            shown << "menu " + items.join(", ");
            menu->close();
        });
        EditorWindow::ShowContextMenu();
    }
    bool realChooser = false;
    std::string ChooseFile(const FileRequest& request) override {
        if (realChooser) return EditorWindow::ChooseFile(request);
        shown << "chooser in " + QString::fromStdString(request.folder);
        return {};
    }
    void Inform(std::string_view, std::string_view text) override {
        shown << QString::fromUtf8(text.data(), qsizetype(text.size()));
    }
};

} // namespace

class TestEditorWindow : public QObject {
    Q_OBJECT
private slots:
    // Gestures with real mouse events: "pen N" clicks the palette, "click A B" presses on bar A
    // and releases over bar B (0: the frame's gap), "background" clicks the window's background,
    // "right N" right-clicks bar N.
    void mouse_data() {
        // Shown: cells, the marked bar, the pen, and what the window showed (the menu the user sees
        // takes the rules' item states).
        Columns<QString, QString>("script", "shown");
        // clang-format off
        QTest::newRow("white pen: click clears") << "pen 0; click 10 10" << "mark 0 pen 0";
        QTest::newRow("release off the bar: no click") << "pen 0; click 10 11" << "mark 10 pen 0";
        QTest::newRow("release on the frame") << "pen 3; click 10 10; click 0 0" << "10=3 mark 0 pen 3";
        QTest::newRow("background click") << "pen 3; click 10 10; background" << "10=3 mark 0 pen 3";
        QTest::newRow("right button paints not; menu") << "pen 3; click 7 7; right 10" << "7=3 mark 7 pen 3 | menu Load ..., Save ..., Run, Reset Data (off), Clear All, Close Menu";
        QTest::newRow("drag over a white bar") << "pen 3; drag 10 12" << "10=3 mark 10 pen 3";
        // clang-format on
    }
    void mouse() {
        QFETCH(QString, script);
        TestWindow w;
        w.Form.FreshStart = false;
        w.Form.OneShot.SetEnabled(false);
        const auto at = [&w](int bar) { // bar 0: the gap under bar 1
            return bar ? w.Panel->BarRect(bar).center()
                       : w.Panel->BarRect(1).bottomLeft() + QPoint(3, 1);
        };
        for (const QString& step : script.split("; ")) {
            const QStringList s = step.split(' ');
            if (s[0] == "pen") QTest::mouseClick(w.lColor[s[1].toInt()], Qt::LeftButton);
            if (s[0] == "background")
                QTest::mouseClick(&w, Qt::LeftButton, {}, QPoint(w.width() - 3, w.height() - 3));
            if (s[0] == "right") QTest::mouseClick(w.Panel, Qt::RightButton, {}, at(s[1].toInt()));
            if (s[0] != "click" && s[0] != "drag") continue;
            QTest::mousePress(w.Panel, Qt::LeftButton, {}, at(s[1].toInt()));
            if (s[0] == "drag") QTest::mouseMove(w.Panel, at(s[2].toInt()));
            QTest::mouseRelease(w.Panel, Qt::LeftButton, {}, at(s[2].toInt()));
        }
        QString seen;
        int mark = 0;
        for (int i = 1; i <= kCellCount; ++i) {
            if (w.Form.Machine.Cells[i])
                seen += QStringLiteral("%1=%2 ").arg(i).arg(w.Form.Machine.Cells[i]);
            if (w.Form.Bars.At(i).border) mark = i;
        }
        if (w.Form.HoverBar) seen += QStringLiteral("hover %1 ").arg(w.Form.HoverBar);
        seen += QStringLiteral("mark %1 pen %2").arg(mark).arg(w.Form.PenCode);
        QTEST((QStringList{seen} + w.shown).join(" | "), "shown");
    }

    // During a run the status line follows it once a frame, not at every step; a pace set from
    // the command line is not announced. A Stop chosen while the run, slowed to one instruction a
    // second, waits for its next instruction ends the run there, long before the wait's own timer
    // would have.
    void duringRun() {
        EditorWindow w;
        w.SetPace(kFullSpeed);
        QCOMPARE(w.Form.StatusText(), std::string());
        w.Form.Machine.Cells[1] = 1; // Next Pixel and Run: for ever
        w.Form.Machine.Cells[2] = 7;
        QStringList seen;
        QTimer sample;
        connect(&sample, &QTimer::timeout, &w, [&] {
            seen << w.lblStatus->FullText();
            if (seen.size() == 8) w.SetPace(1);
            if (seen.size() == 9) w.Form.mnuRun_Click(); // it reads "Stop" in a run
        });
        sample.start(40);
        w.Form.SetRunCaption(kRunCaptionStop);
        w.Form.RunNow();
        const auto* wait = w.findChild<QTimer*>("paceWait");
        QVERIFY(wait && wait->isActive());
        QCOMPARE(int(w.Form.LastRun.end), int(RunEnd::Stopped));
        seen.removeDuplicates();
        QVERIFY2(seen.size() >= 3 && seen.filter("Running · step").size() == seen.size(),
                 qPrintable(seen.join(" | ")));
        QVERIFY(w.StatusFrames() <= w.Form.LastRun.steps / 100);
    }

    // The chooser spells a name that is not valid text as another name, two such names alike.
    void chooserSpelling() {
        QCOMPARE(ChooserSpells("caf\xE9.mq"), std::string("caf\xEF\xBF\xBD.mq"));
        QCOMPARE(ChooserSpells("caf\xEF.mq"), std::string("caf\xEF\xBF\xBD.mq"));
        QCOMPARE(ChooserSpells("caf\xC3\xA9.mq"), std::string("caf\xC3\xA9.mq"));
    }

    // What lies below the frame. The status line fills the strip below it, in a font that fits
    // it, cut with an ellipsis; it takes neither focus nor clicks, and follows the pointer over the
    // bars. The pace slider ends where the frame ends, and hides when the window is too low for
    // it. One notch of the wheel is one rung, full speed is at the top, its tip names the pace and
    // shows the new one at a wheel turn, it never takes the focus, and a move over it is a move
    // over the window's background. Besides, a white bar's hint, and the chooser in the program's
    // own folder in the build tree. CTest also runs this at a scale factor of 1.5.
    void belowFrame_data() {
        Columns<QSizeF, bool>("client", "slider"); // twips; whether the slider shows
        // Bar 37 moves from row to row: a move to where the pointer already is moves nothing.
        QTest::newRow("just tall enough") << QSizeF(10635, 5400) << true;
        QTest::newRow("designed size") << QSizeF(10635, 7905) << true;
        QTest::newRow("too low for the slider") << QSizeF(10635, 5370) << false;
        QTest::newRow("small") << QSizeF(3000, 2000) << false;
    }
    void belowFrame() {
        const auto [client, shown] = Fetch<QSizeF, bool>("client", "slider");
        TestWindow w;
        w.ResizeClientTwips(client.width(), client.height());
        w.Form.FreshStart = false;
        const QLabel& label = *w.lblStatus;
        const QRect frame = w.Panel->geometry(), box = label.geometry();
        QVERIFY(label.isVisible() && box.left() == frame.left());
        QVERIFY(std::abs(box.width() - frame.width()) <= 1 &&
                std::abs(box.top() - frame.bottom() - 1) <= 1);
        QVERIFY(std::abs(box.bottom() - (w.height() - 1)) <= 1);
        QVERIFY(label.fontMetrics().height() <= box.height() && label.focusPolicy() == Qt::NoFocus);
        QVERIFY(!w.childAt(box.center())); // a click there is the window's
        QTest::mouseMove(w.Panel, w.Panel->BarRect(37).center());
        QTRY_COMPARE(w.lblStatus->FullText(), QString::fromUtf8("Cell 37 · 00 White Pixel"));
        const QString wide = QString("Cell 37 ").repeated(40);
        w.lblStatus->Show(wide);
        QVERIFY(label.text().endsWith(QChar(0x2026)) && label.text().size() < wide.size());
        QVERIFY(label.fontMetrics().horizontalAdvance(label.text()) <= box.width());
        QCOMPARE(label.accessibleName(), wide);

        QSlider& slider = *w.PaceSlider;
        QVERIFY(slider.isVisible() == shown && slider.focusPolicy() == Qt::NoFocus);
        QCOMPARE(slider.geometry().bottom(), w.Panel->geometry().bottom());
        w.Form.lColor_Click(2);
        w.Form.Bar_MouseMove(11, 0);
        QMouseEvent move(QEvent::MouseMove, {5, 5}, {5, 5}, Qt::NoButton, {}, {});
        QCoreApplication::sendEvent(&slider, &move);
        QCOMPARE(w.Form.HoverBar, 0);
        QStringList seen;
        QWheelEvent up({5, 5}, {}, {}, {0, 120}, Qt::NoButton, {}, Qt::NoScrollPhase, false);
        QToolTip::showText(slider.mapToGlobal(QPoint(2, 2)), slider.toolTip(), &slider);
        for (int step = 0; step < 4; ++step) {
            if (step == 1) QCoreApplication::sendEvent(&slider, &up);
            if (step == 1) seen << (QToolTip::isVisible() ? QToolTip::text() : "no tip");
            if (step == 2) slider.setValue(slider.maximum());
            if (step == 3) w.SetPace(3400); // from the command line
            seen << slider.toolTip() + " = " + QString::number(w.Form.RunPace.Pace());
        }
        QCOMPARE(seen.join(" | "),
                 "Pace: 20 instructions per second = 20 | Pace: 50 instructions per second | "
                 "Pace: 50 instructions per second = 50 | Pace: full speed = 0 | "
                 "Pace: 2,000 instructions per second = 2000");
        SetBarValue(w.Form.Machine, w.Form, 61); // white: the hint
        for (int bar : {60, 61}) {
            QToolTip::hideText();
            QTRY_VERIFY(!QToolTip::isVisible());
            const QPoint at = w.Panel->BarRect(bar).center();
            QHelpEvent help(QEvent::ToolTip, at, w.Panel->mapToGlobal(at));
            QCoreApplication::sendEvent(w.Panel, &help);
            QCOMPARE(QToolTip::isVisible() ? QToolTip::text() : QString(),
                     bar == 61 ? " right click for context menu . . . " : "");
        }
        w.Form.mnuLoad_Click();
        QCOMPARE(w.shown, QStringList{"chooser in " + QCoreApplication::applicationDirPath()});
    }

    // A name typed into the real Save chooser without an extension is saved with .mq; any other
    // name as it is.
    void saveChooser_data() {
        Columns<QString, QString>("typed", "saved");
        // clang-format off
        for (const char* row : {"mine mine.mq", "mine.txt mine.txt", "mine. mine.", "mine.mq mine.mq"})
            QTest::newRow(row) << QString(row).section(' ', 0, 0) << QString(row).section(' ', 1);
        // clang-format on
    }
    void saveChooser() {
        const auto [typed, saved] = Fetch<QString, QString>("typed", "saved");
        QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
        QTemporaryDir dir;
        TestWindow w;
        w.realChooser = true;
        w.Form.FileName = QFile::encodeName(dir.filePath("start.mq")).toStdString();
        QTimer::singleShot(200, &w, [&typed] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            auto* name = dialog ? dialog->findChild<QLineEdit*>("fileNameEdit") : nullptr;
            QVERIFY(name);
            name->clear();
            QTest::keyClicks(name, typed);
            QTest::keyClick(name, Qt::Key_Return);
        });
        w.Form.mnuSave_Click();
        QCOMPARE(QString::fromStdString(w.Form.FileName), dir.filePath(saved));
    }

    // The draws in order: the colour's (two for grey), then n's and f's.
    void splash_data() {
        // Want: the colour, n, f, gap, h, w, the column step, the row step.
        Columns<QList<double>, QList<int>>("drawn", "want");
        // clang-format off
        const auto row = [](const char* name, QList<double> d, QList<int> w) { QTest::newRow(name) << d << w; };
        row("k 1 blue", {0.15, 0.65, 0.05}, {0xFF0000, 6, 4, 28, 674, 947, 975, 702});
        row("k 6 green", {0.65, 0.85, 0.95}, {0xFF00, 8, 13, 65, 461, 666, 731, 526});
        row("k 3 yellow", {0.35, 0.4, 0}, {0xFFFF, 4, 4, 40, 1013, 1422, 1462, 1053});
        row("k 8 red", {0.85, 0.3999, 0.9999}, {0xFF, 7, 13, 78, 524, 757, 835, 602});
        row("k 0 darkest grey", {0, 0, 0.15, 0.45}, {0x7F7F7F, 5, 8, 64, 779, 1106, 1170, 843});
        row("k 9 lightest grey", {0.95, 0.9999, 0.95, 0}, {0x888888, 8, 4, 20, 506, 711, 731, 526});
        // clang-format on
    }
    void splash() {
        auto [drawn, want] = Fetch<QList<double>, QList<int>>("drawn", "want");
        const uint bgr = want.takeFirst();
        const SplashLayout g = ComputeSplashLayout(5850, 4215, drawn.end()[-2], drawn.back());
        const int n = g.n;
        QCOMPARE((QList<int>{n, g.f, g.gap, g.h, g.w, g.tiles.at(n).left, g.tiles.at(1).top}),
                 want);
        // Numbered down each column; the last column and row end with their gap.
        QCOMPARE(g.tiles.back(), (TileRect{(n - 1) * want[5], (n - 1) * want[6], g.w, g.h}));

        // The draws in order; past the end every draw is 0.
        SplashWindow splash("Mosaiq", {},
                            [&drawn] { return drawn.isEmpty() ? 0.0 : drawn.takeFirst(); });
        splash.show();
        QVERIFY(QTest::qWaitForWindowExposed(&splash));
        QCOMPARE(splash.lblTitle->Caption(), "Mosaiq ");
        const auto& tiles = splash.Panel->Bar;
        for (int t = 0; t <= 1024; ++t) // tile 0 is the hidden pattern
            QVERIFY2(tiles.at(t).fill == bgr && tiles[t].visible == (t >= 1 && t <= n * n) &&
                         (!tiles[t].visible || tiles[t].rect == g.tiles.at(t - 1)),
                     qPrintable(QString::number(t)));
        const QRgb pixel =
            splash.Panel->grab().toImage().pixel(splash.Panel->TilePixels(1).center());
        QCOMPARE(pixel, qRgb(bgr & 255, bgr >> 8 & 255, bgr >> 16));

        // Minimised, a resize changes nothing; restored, it lays out again with draws of 0.
        splash.lblTitle->SetLeft(0);
        const auto before = tiles;
        splash.setWindowState(Qt::WindowMinimized);
        splash.Form_Resize();
        QVERIFY(splash.isMinimized() && splash.lblTitle->Left() == 0 && tiles == before);
        splash.setWindowState(Qt::WindowNoState);
        QTRY_VERIFY(splash.lblTitle->Left() == 5850.0 - 3375 && !tiles[17].visible); // now n is 4
    }

    // Start-up waits for the splash's release: at its tick, which its first paint arms for three
    // seconds, or when it closes before. A splash that never releases fails here within seconds.
    // Once the window shows, a program that cannot be read is told; the first-time menu follows.
    void startUp_data() {
        Columns<bool, bool>("early", "unreadable"); // closed before its tick; a folder as program
        QTest::newRow("tick") << false << false;
        QTest::newRow("closed early") << true << false;
        QTest::newRow("unreadable program") << false << true;
    }
    void startUp() {
        const auto [early, unreadable] = Fetch<bool, bool>("early", "unreadable");
        QTemporaryDir dir;
        const std::string program = unreadable ? QFile::encodeName(dir.path()).toStdString() : "";
        TestWindow w(false);
        QPointer<SplashWindow> splash;
        bool forced = false, armed = false;
        Form_Load(w, program, [&](const QString& title, std::function<void()> release) {
            QTimer::singleShot(6000, &w, [&forced, release] { forced = true, release(); });
            splash = ShowSplash(title, release);
            QTimer::singleShot(300, splash, [&] {
                armed = splash->Timer1.isActive() && splash->Timer1.interval() == 3000;
                QVERIFY(!w.isVisible());
                early ? (void)splash->close() : splash->Timer1_Timer();
            });
        });
        QVERIFY2(!forced, "the splash never released the start-up");
        QVERIFY(armed && w.isVisible() && w.shown.isEmpty());
        QTRY_VERIFY(splash.isNull()); // closed and discarded
        const QString told = "The file " + dir.path() + " could not be loaded: Is a directory|";
        QTRY_COMPARE_WITH_TIMEOUT(w.shown.join('|'),
                                  (unreadable ? told : "") +
                                      "menu Load ..., Save ... (off), Run (off), Reset Data (off), "
                                      "Clear All (off), Close Menu",
                                  5000);
    }

    // The words after the program's name, as bytes, and what they ask for: "edit:", the program
    // file's bytes and "@" the pace, or the action and the first line of its text.
    void parse_data() {
        Columns<QByteArrayList, QByteArray>("words", "expected");
        const QByteArray usage = "Usage: mosaiq [--pace N|full] [--] [PROGRAM]";
        const QByteArray badPace =
            "bad:mosaiq: --pace takes a number of instructions per second or \"full\", not ";
        // clang-format off
        QTest::newRow("nothing") << QByteArrayList{} << QByteArray("edit:@20");
        QTest::newRow("option after --") << QByteArrayList{"a", "--", "-h"} << QByteArray("edit:a -h@20");
        QTest::newRow("Latin-1 name") << QByteArrayList{"caf\xe9.mq"} << QByteArray("edit:caf\xe9.mq@20");
        QTest::newRow("pace between rungs") << QByteArrayList{"--pace=4000"} << QByteArray("edit:@5000");
        QTest::newRow("pace past the ladder") << QByteArrayList{"--pace", "9e9"} << QByteArray("edit:@1000000");
        QTest::newRow("full speed") << QByteArrayList{"--pace", "full", "--", "--pace"} << QByteArray("edit:--pace@0");
        QTest::newRow("pace not a number") << QByteArrayList{"--pace", "fast"} << badPace + "'fast'.";
        QTest::newRow("help") << QByteArrayList{"--help"} << "help:" + usage;
        QTest::newRow("help beside a bad word") << QByteArrayList{"--red", "-h"} << "help:" + usage;
        QTest::newRow("unknown") << QByteArrayList{"--red", "a"} << QByteArray("bad:mosaiq: Unknown option 'red'.");
        QTest::newRow("Qt's word") << QByteArrayList{"-reverse"} << QByteArray("bad:mosaiq: Unknown option 'reverse'.");
        // clang-format on
    }
    void parse() {
        QFETCH(QByteArrayList, words);
        words.prepend("mosaiq");
        std::vector<char*> argv;
        for (QByteArray& word : words)
            argv.push_back(word.data());
        const CommandLine line = ParseCommandLine(RawArguments(int(argv.size()), argv.data()));
        const char* const actions[] = {"edit:", "help:", "version:", "bad:"};
        QTEST(actions[int(line.action)] + (line.action == CommandLine::Action::Edit
                                               ? QByteArray::fromStdString(line.programFile) + '@' +
                                                     QByteArray::number(line.pace)
                                               : line.text.section('\n', 0, 0).toLatin1()),
              "expected");
    }
};

QTEST_MAIN(TestEditorWindow)
#include "test_editor_window.moc"
