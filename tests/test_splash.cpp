// The splash window: its grid and colour rules fed with chosen draws, the window itself under the
// offscreen platform, and the editor's start-up handing over to it and taking back.

#include "EditorStartup.h"
#include "EditorWindow.h"
#include "ScriptedDialogs.h"
#include "SplashLabel.h"
#include "SplashPanel.h"
#include "SplashWindow.h"

#include <QElapsedTimer>
#include <QPointer>
#include <QTest>

using namespace mosaiq;

class TestSplash : public QObject {
    Q_OBJECT
    test::ScriptedDialogs dialogs;
    using L = QList<double>;
    using I = QList<int>;
    QList<double> draws; // handed out in order; past the end every draw is 0
    SplashDraw Draws(const QList<double>& values) {
        draws = values;
        return [this] { return draws.isEmpty() ? 0.0 : draws.takeFirst(); };
    }

private slots:
    // The draws in order: the colour's (two for grey), then n's and f's.
    void window_data() {
        QTest::addColumn<L>("drawn");
        QTest::addColumn<I>("want"); // colour, n, f, gap, h, w, column step, row step
        const auto row = [](const char* name, L d, I w) { QTest::newRow(name) << d << w; };
        row("k 1 blue", {0.15, 0.65, 0.05}, {0xFF0000, 6, 4, 28, 674, 947, 975, 702});
        row("k 6 green", {0.65, 0.85, 0.95}, {0xFF00, 8, 13, 65, 461, 666, 731, 526});
        row("k 3 yellow", {0.35, 0.4, 0}, {0xFFFF, 4, 4, 40, 1013, 1422, 1462, 1053});
        row("k 8 red", {0.85, 0.3999, 0.9999}, {0xFF, 7, 13, 78, 524, 757, 835, 602});
        row("k 0 darkest grey", {0, 0, 0.15, 0.45}, {0x7F7F7F, 5, 8, 64, 779, 1106, 1170, 843});
        row("k 9 lightest grey", {0.95, 0.9999, 0.95, 0}, {0x888888, 8, 4, 20, 506, 711, 731, 526});
    }
    void window() {
        QFETCH(QList<double>, drawn);
        QFETCH(QList<int>, want);
        const uint bgr = want.takeFirst();
        const SplashLayout g = ComputeSplashLayout(5850, 4215, drawn.end()[-2], drawn.back());
        const int n = g.n;
        QCOMPARE((I{n, g.f, g.gap, g.h, g.w, g.tiles.at(n).left, g.tiles.at(1).top}), want);
        // Numbered down each column; the last column and row end with their gap.
        QCOMPARE(g.tiles.back(), (TileRect{(n - 1) * want[5], (n - 1) * want[6], g.w, g.h}));

        EditorWindow editor(dialogs);
        SplashWindow splash(editor, Draws(drawn));
        splash.show();
        QVERIFY(QTest::qWaitForWindowExposed(&splash));
        const auto& tiles = splash.Panel->Bar;
        for (int t = 0; t <= 1024; ++t) // tile 0 is the hidden pattern
            QVERIFY2(tiles.at(t).fill == bgr && tiles[t].visible == (t >= 1 && t <= n * n) &&
                         (!tiles[t].visible || tiles[t].rect == g.tiles.at(t - 1)),
                     qPrintable(QString::number(t)));
        const QRgb shown =
            splash.Panel->grab().toImage().pixel(splash.Panel->TilePixels(1).center());
        QCOMPARE(shown, qRgb(bgr & 255, bgr >> 8 & 255, bgr >> 16));

        splash.Timer1.stop(); // every repaint arms the countdown
        splash.Panel->repaint();
        QVERIFY(splash.Timer1.isActive());

        // Minimised, a resize changes nothing; restored, it lays out again with draws of 0.
        splash.lblTitle->SetLeft(0);
        const auto before = tiles;
        splash.setWindowState(Qt::WindowMinimized);
        splash.Form_Resize();
        QVERIFY(splash.isMinimized() && splash.lblTitle->Left() == 0 && tiles == before);
        splash.setWindowState(Qt::WindowNoState);
        QTRY_VERIFY(splash.lblTitle->Left() == 5850.0 - 3375 && !tiles[17].visible); // now n is 4
    }

    void startUp_data() {
        QTest::addColumn<bool>("early"); // closed before its tick
        QTest::newRow("tick") << false;
        QTest::newRow("closed early") << true;
    }
    void startUp() {
        QFETCH(bool, early);
        EditorWindow w(dialogs);
        QElapsedTimer clock;
        QPointer<SplashWindow> splash;
        qint64 tickAt = -1; // stays -1 if the editor shows before the tick
        clock.start();
        Form_Load(w, {}, [&](EditorWindow& editor) {
            splash = ShowSplash(editor);
            connect(&splash->Timer1, &QTimer::timeout, &w,
                    [&] { tickAt = w.isVisible() ? -1 : clock.elapsed(); });
            if (early) QTimer::singleShot(300, splash, &QWidget::close);
        });
        const qint64 back = clock.elapsed();
        QVERIFY(w.isVisible() && w.Caption() == "Mosaiq [Design]");
        QVERIFY2(early ? back < 2000 : tickAt >= 2990 && back - tickAt < 300,
                 qPrintable(QString("tick %1 ms, on at %2 ms").arg(tickAt).arg(back)));
        QTRY_VERIFY(splash.isNull()); // closed and discarded
    }
};

QTEST_MAIN(TestSplash)
#include "test_splash.moc"
