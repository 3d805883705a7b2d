// The splash window: its grid and colour rules fed with chosen draws, the window itself under the
// offscreen platform, and the editor's start-up handing over to it and taking back.

#include "EditorStartup.h"
#include "EditorWindow.h"
#include "ScriptedDialogs.h"
#include "SplashLabel.h"
#include "SplashPanel.h"
#include "SplashWindow.h"
#include "Twips.h"

#include <QCloseEvent>
#include <QElapsedTimer>
#include <QImage>
#include <QPointer>
#include <QScreen>
#include <QTest>
#include <QWindow>

#include <deque>
#include <memory>
#include <set>

using namespace mosaiq;
using namespace mosaiq::test;

namespace {

// Draws handed out in the order given, counted; past the end every draw is 0.
class ScriptedDraws {
public:
    ScriptedDraws(std::initializer_list<double> values) : state_(std::make_shared<State>()) {
        state_->values.assign(values);
    }
    void Add(std::initializer_list<double> values) {
        state_->values.insert(state_->values.end(), values);
    }
    SplashDraw Source() const {
        return [s = state_] {
            ++s->taken;
            if (s->values.empty()) return 0.0;
            const double r = s->values.front();
            s->values.pop_front();
            return r;
        };
    }
    int Taken() const { return state_->taken; }

private:
    struct State {
        std::deque<double> values;
        int taken = 0;
    };
    std::shared_ptr<State> state_;
};

struct Editor {
    ScriptedDialogs dialogs;
    EditorWindow w{dialogs};
    explicit Editor(const QString& mark = QStringLiteral("Mosaiq")) { w.HandOverMark = mark; }
};

QRgb Rgb(Color bgr) {
    return qRgb(int(bgr & 0xFF), int(bgr >> 8 & 0xFF), int(bgr >> 16 & 0xFF));
}

QImage PanelImage(SplashWindow& s) {
    return s.Panel->grab().toImage();
}

// Ends a start-up that hangs, so that the test fails instead of waiting for ever.
void Watchdog(EditorWindow& w, bool& fired) {
    QTimer::singleShot(8000, &w, [&w, &fired] {
        fired = true;
        w.HandOverMark.clear();
    });
}

} // namespace

class TestSplash : public QObject {
    Q_OBJECT
private slots:
    void layout_data();
    void layout();
    void tilesPerSide_data();
    void tilesPerSide();
    void tileColour_data();
    void tileColour();
    void tileVisibility_data();
    void tileVisibility();
    void clockSeededRuns();
    void windowAndLabels_data();
    void windowAndLabels();
    void minimisedSplashIgnoresResize();
    void everyRepaintRearmsTimer_data();
    void everyRepaintRearmsTimer();
    void endingReleasesStartUp_data();
    void endingReleasesStartUp();
    void startUpWaitsForTick();
    void startUpGoesOnWhenSplashEndsEarly_data();
    void startUpGoesOnWhenSplashEndsEarly();
    void editorGoneFirst();
};

void TestSplash::layout_data() {
    QTest::addColumn<double>("panelWidth");
    QTest::addColumn<double>("panelHeight");
    QTest::addColumn<double>("drawN");
    QTest::addColumn<double>("drawF");
    QTest::addColumn<int>("n");
    QTest::addColumn<int>("f");
    QTest::addColumn<int>("gap");
    QTest::addColumn<int>("h");
    QTest::addColumn<int>("w");
    QTest::addColumn<int>("columnStep");
    QTest::addColumn<int>("rowStep");
    QTest::newRow("n 6, f 4") << 5850.0 << 4215.0 << 0.65 << 0.05 << 6 << 4 << 28 << 674 << 947
                              << 975 << 702;
    QTest::newRow("n 8, f 13") << 5850.0 << 4215.0 << 0.85 << 0.95 << 8 << 13 << 65 << 461 << 666
                               << 731 << 526;
    QTest::newRow("n 4, f 4") << 5850.0 << 4215.0 << 0.05 << 0.0 << 4 << 4 << 40 << 1013 << 1422
                              << 1462 << 1053;
    // 4500 / 7 = 642, 642 / 100 = 6, gap 60; 6000 / 7 = 857.
    QTest::newRow("n 7, f 10, other panel")
        << 6000.0 << 4500.0 << 0.35 << 0.6 << 7 << 10 << 60 << 582 << 797 << 857 << 642;
}

void TestSplash::layout() {
    QFETCH(double, panelWidth);
    QFETCH(double, panelHeight);
    QFETCH(double, drawN);
    QFETCH(double, drawF);
    QFETCH(int, n);
    QFETCH(int, f);
    QFETCH(int, gap);
    QFETCH(int, h);
    QFETCH(int, w);
    QFETCH(int, columnStep);
    QFETCH(int, rowStep);
    const SplashLayout grid = ComputeSplashLayout(panelWidth, panelHeight, drawN, drawF);
    QCOMPARE(grid.n, n);
    QCOMPARE(grid.f, f);
    QCOMPARE(grid.gap, gap);
    QCOMPARE(grid.h, h);
    QCOMPARE(grid.w, w);
    QCOMPARE(int(grid.tiles.size()), n * n);
    // Numbered down each column: tile 2 is under tile 1, tile n + 1 starts the second column.
    QCOMPARE(grid.tiles[0], (TileRect{0, 0, w, h}));
    QCOMPARE(grid.tiles[1], (TileRect{0, rowStep, w, h}));
    QCOMPARE(grid.tiles[n], (TileRect{columnStep, 0, w, h}));
    QCOMPARE(grid.tiles[n * n - 1], (TileRect{(n - 1) * columnStep, (n - 1) * rowStep, w, h}));
    // The last column and row end with their gap, inside the panel.
    QVERIFY(grid.tiles.back().left + w + gap <= panelWidth);
    QVERIFY(grid.tiles.back().top + h + gap <= panelHeight);
}

void TestSplash::tilesPerSide_data() {
    QTest::addColumn<double>("draw");
    QTest::addColumn<int>("n");
    QTest::addColumn<int>("f"); // the same draw taken for the gap factor
    QTest::newRow("0") << 0.0 << 4 << 4;
    QTest::newRow("1") << 0.15 << 5 << 5;
    QTest::newRow("2") << 0.25 << 6 << 6;
    QTest::newRow("3, top") << 0.3999 << 7 << 7;
    QTest::newRow("4") << 0.4 << 4 << 8;
    QTest::newRow("5") << 0.55 << 5 << 9;
    QTest::newRow("6") << 0.65 << 6 << 10;
    QTest::newRow("7") << 0.75 << 7 << 11;
    QTest::newRow("8") << 0.85 << 8 << 12;
    QTest::newRow("9") << 0.95 << 8 << 13;
    QTest::newRow("9, top") << 0.999999 << 8 << 13;
}

void TestSplash::tilesPerSide() {
    QFETCH(double, draw);
    QFETCH(int, n);
    QFETCH(int, f);
    QCOMPARE(TilesPerSide(draw), n);
    QCOMPARE(GapFactor(draw), f);
}

void TestSplash::tileColour_data() {
    QTest::addColumn<QList<double>>("colourDraws");
    QTest::addColumn<uint>("bgr");
    QTest::newRow("k 1, blue") << QList<double>{0.15} << 0xFF0000u;
    QTest::newRow("k 5, blue") << QList<double>{0.55} << 0xFF0000u;
    QTest::newRow("k 2, green") << QList<double>{0.25} << 0x00FF00u;
    QTest::newRow("k 6, green") << QList<double>{0.65} << 0x00FF00u;
    QTest::newRow("k 3, yellow") << QList<double>{0.35} << 0x00FFFFu;
    QTest::newRow("k 7, yellow") << QList<double>{0.75} << 0x00FFFFu;
    QTest::newRow("k 4, red") << QList<double>{0.45} << 0x0000FFu;
    QTest::newRow("k 8, red") << QList<double>{0.85} << 0x0000FFu;
    QTest::newRow("k 0, darkest grey") << QList<double>{0.0, 0.0} << 0x7F7F7Fu;
    QTest::newRow("k 9, lightest grey") << QList<double>{0.95, 0.999999} << 0x888888u;
    QTest::newRow("k 0, grey 131") << QList<double>{0.05, 0.42} << 0x838383u;
}

void TestSplash::tileColour() {
    QFETCH(QList<double>, colourDraws);
    QFETCH(uint, bgr);
    ScriptedDraws draws{};
    for (double d : colourDraws)
        draws.Add({d});
    draws.Add({0.65, 0.05}); // n 6, f 4: a grid with gaps of two pixels
    Editor editor;
    SplashWindow splash(editor.w, draws.Source());
    splash.show();
    QVERIFY(QTest::qWaitForWindowExposed(&splash));

    // The grey draw is taken only for grey, and the grid's draws come after the colour's.
    QCOMPARE(draws.Taken(), int(colourDraws.size()) + 2);
    QCOMPARE(splash.Grid().n, 6);
    QCOMPARE(splash.Grid().f, 4);
    const auto& tiles = splash.Panel->Bar;
    QCOMPARE(int(tiles.size()), 1025);
    for (const SplashTile& tile : tiles)
        QCOMPARE(tile.fill, Color(bgr));

    const QImage image = PanelImage(splash);
    const QRect first = splash.Panel->TilePixels(1);
    QCOMPARE(image.pixel(first.center()), Rgb(bgr));
    QCOMPARE(image.pixel(first.center().x(), first.bottom() + 1), Rgb(SplashWindow::kPanelColor));
}

void TestSplash::tileVisibility_data() {
    QTest::addColumn<double>("drawN");
    QTest::addColumn<int>("n");
    for (int n = 4; n <= 8; ++n)
        QTest::addRow("n %d", n) << (n + 0.5) / 10 << n;
}

void TestSplash::tileVisibility() {
    QFETCH(double, drawN);
    QFETCH(int, n);
    ScriptedDraws draws{0.25, drawN, 0.5};
    Editor editor;
    SplashWindow splash(editor.w, draws.Source());
    splash.show();
    QVERIFY(QTest::qWaitForWindowExposed(&splash));
    const auto& tiles = splash.Panel->Bar;
    QCOMPARE(int(tiles.size()), 1025);
    QVERIFY(!tiles[0].visible);
    const int step = splash.Grid().w + splash.Grid().gap;
    const int rowStep = splash.Grid().h + splash.Grid().gap;
    for (int t = 1; t <= 1024; ++t) {
        QCOMPARE(tiles[t].visible, t <= n * n);
        if (t > n * n) continue;
        QCOMPARE(tiles[t].rect.left, (t - 1) / n * step);
        QCOMPARE(tiles[t].rect.top, (t - 1) % n * rowStep);
    }
}

void TestSplash::clockSeededRuns() {
    const SplashDraw draw = ClockSeededDraw();
    std::set<int> digits;
    for (int i = 0; i < 1000; ++i) {
        const double r = draw();
        QVERIFY(r >= 0.0 && r < 1.0);
        digits.insert(DrawDigit(r));
    }
    QCOMPARE(int(digits.size()), 10);

    const std::set<Color> colours = {0xFF0000, 0x00FF00, 0x00FFFF, 0x0000FF};
    for (int run = 0; run < 5; ++run) {
        Editor editor;
        SplashWindow splash(editor.w);
        splash.show();
        QVERIFY(QTest::qWaitForWindowExposed(&splash));
        QVERIFY(splash.Grid().n >= 4 && splash.Grid().n <= 8);
        const Color fill = splash.Panel->Bar[0].fill;
        const int g = int(fill & 0xFF);
        QVERIFY(colours.count(fill) ||
                (g >= 127 && g <= 136 && int(fill >> 8 & 0xFF) == g && int(fill >> 16) == g));
        for (const SplashTile& tile : splash.Panel->Bar)
            QCOMPARE(tile.fill, fill);
    }
}

void TestSplash::windowAndLabels_data() {
    QTest::addColumn<QString>("mark");
    QTest::newRow("product title") << QStringLiteral("Mosaiq");
    QTest::newRow("another title") << QStringLiteral("Tessera");
}

void TestSplash::windowAndLabels() {
    QFETCH(QString, mark);
    Editor editor(mark);
    SplashWindow splash(editor.w, ScriptedDraws{0.15, 0.65, 0.05}.Source());
    splash.show();
    QVERIFY(QTest::qWaitForWindowExposed(&splash));

    const double dx = splash.logicalDpiX();
    const double dy = splash.logicalDpiY();
    const QSize client(TwipsToPixels(5850, dx), TwipsToPixels(4215, dy));
    QCOMPARE(splash.size(), client);
    QCOMPARE(splash.minimumSize(), client);
    QCOMPARE(splash.maximumSize(), client);
    QVERIFY(splash.windowFlags() & Qt::FramelessWindowHint);
    QVERIFY(splash.windowType() == Qt::SplashScreen || splash.windowType() == Qt::Tool);
    QVERIFY(!splash.testAttribute(Qt::WA_QuitOnClose));
    const QPoint centre = splash.screen()->geometry().center();
    QVERIFY(qAbs(splash.geometry().center().x() - centre.x()) <= 1);
    QVERIFY(qAbs(splash.geometry().center().y() - centre.y()) <= 1);
    QCOMPARE(splash.Panel->geometry(), splash.rect());

    QCOMPARE(splash.lblTitle->Caption(), mark + QLatin1Char(' '));
    struct Expected {
        SplashLabel* label;
        double top, height, points;
        bool bold;
    };
    const Expected labels[] = {{splash.lblTitle, 1560, 615, 18, true},
                               {splash.lblAuthor, 2175, 495, 12, true},
                               {splash.lblTagline, 2670, 495, 9.75, false}};
    const QImage window = splash.grab().toImage();
    for (const Expected& e : labels) {
        SplashLabel* label = e.label;
        QCOMPARE(label->parentWidget(), splash.Panel);
        QCOMPARE(label->Left(), 5850.0 - 3375);
        QCOMPARE(label->Width(), 3375.0);
        QCOMPARE(label->Top(), e.top);
        QCOMPARE(label->Height(), e.height);
        QVERIFY(qAbs(label->geometry().right() + 1 - client.width()) <= 1);
        QCOMPARE(label->font().family(), QStringLiteral("Arial"));
        QCOMPARE(label->font().pointSizeF(), e.points);
        QCOMPARE(label->font().bold(), e.bold);
        QCOMPARE(label->BackColor(), Color(0x000000));
        QCOMPARE(label->ForeColor(), Color(0xE0E0E0));
        const QString text = label->Caption();
        QVERIFY(text.size() > 1 && text.endsWith(QLatin1Char(' ')) &&
                !text.endsWith(QStringLiteral("  ")));

        // Right-justified with its trailing blank showing: text reaches into the box's right
        // part but not into the last blank's width; the box lies over the tiles.
        const QRect box = label->geometry();
        const int blank = label->fontMetrics().horizontalAdvance(QLatin1Char(' '));
        auto textIn = [&](int fromX, int toX) {
            for (int x = box.left() + fromX; x <= box.left() + toX; ++x)
                for (int y = box.top(); y <= box.bottom(); ++y)
                    if (window.pixel(x, y) != qRgb(0, 0, 0)) return true;
            return false;
        };
        QVERIFY(textIn(box.width() - 4 * blank, box.width() - blank - 1));
        QVERIFY(!textIn(box.width() - blank + 1, box.width() - 1));
        QVERIFY(!textIn(0, 2));
    }
}

void TestSplash::minimisedSplashIgnoresResize() {
    ScriptedDraws draws{0.15, 0.65, 0.05, 0.85, 0.95};
    Editor editor;
    SplashWindow splash(editor.w, draws.Source());
    splash.show();
    QVERIFY(QTest::qWaitForWindowExposed(&splash));
    splash.lblTitle->SetLeft(0);
    const auto tiles = splash.Panel->Bar;
    const int taken = draws.Taken();

    splash.setWindowState(Qt::WindowMinimized);
    if (!splash.isMinimized()) QSKIP("the platform does not minimise windows");
    splash.Form_Resize();
    QCOMPARE(splash.lblTitle->Left(), 0.0);
    QCOMPARE(draws.Taken(), taken);
    QVERIFY(splash.Panel->Bar == tiles);

    splash.setWindowState(Qt::WindowNoState);
    QTRY_COMPARE(splash.lblTitle->Left(), 5850.0 - 3375);
    QCOMPARE(draws.Taken(), taken + 2);
    QCOMPARE(splash.Grid().n, 8);
}

void TestSplash::everyRepaintRearmsTimer_data() {
    QTest::addColumn<int>("how");
    QTest::newRow("panel repainted") << 0;
    QTest::newRow("panel updated") << 1;
    QTest::newRow("shown again") << 2;
}

void TestSplash::everyRepaintRearmsTimer() {
    QFETCH(int, how);
    Editor editor;
    SplashWindow splash(editor.w, ScriptedDraws{0.15, 0.65, 0.05}.Source());
    QVERIFY(!splash.Timer1.isActive()); // inert until the first paint
    splash.show();
    QVERIFY(QTest::qWaitForWindowExposed(&splash));
    QTRY_VERIFY(splash.Timer1.isActive());
    QCOMPARE(splash.Timer1.interval(), 3000);

    auto repaint = [&] {
        if (how == 0) splash.Panel->repaint();
        if (how == 1) splash.Panel->update();
        if (how == 2) {
            splash.hide();
            splash.show();
        }
    };
    splash.Timer1.stop();
    splash.Timer1.setInterval(0);
    repaint();
    QTRY_VERIFY(splash.Timer1.isActive());
    QCOMPARE(splash.Timer1.interval(), 3000);

    // The countdown starts anew.
    QTest::qWait(500);
    QVERIFY(splash.Timer1.remainingTime() <= 2600);
    repaint();
    QTRY_VERIFY(splash.Timer1.remainingTime() >= 2900);
    QCOMPARE(editor.w.HandOverMark, QStringLiteral("Mosaiq"));
}

void TestSplash::endingReleasesStartUp_data() {
    QTest::addColumn<int>("how");
    QTest::newRow("tick") << 0;
    QTest::newRow("closed") << 1;
    QTest::newRow("closed by the window manager") << 2;
    QTest::newRow("destroyed") << 3;
}

void TestSplash::endingReleasesStartUp() {
    QFETCH(int, how);
    Editor editor;
    auto splash =
        std::make_unique<SplashWindow>(editor.w, ScriptedDraws{0.15, 0.65, 0.05}.Source());
    splash->show();
    QVERIFY(QTest::qWaitForWindowExposed(splash.get()));
    QTRY_VERIFY(splash->Timer1.isActive());
    QCOMPARE(editor.w.HandOverMark, QStringLiteral("Mosaiq"));
    if (how == 0) splash->Timer1_Timer();
    if (how == 1) splash->close();
    if (how == 2) {
        QCloseEvent request;
        QCoreApplication::sendEvent(splash->windowHandle(), &request);
    }
    if (how == 3) splash.reset();
    QVERIFY(editor.w.HandOverMark.isEmpty());
    if (splash) {
        QVERIFY(!splash->isVisible());
        QVERIFY(!splash->Timer1.isActive());
    }
}

void TestSplash::startUpWaitsForTick() {
    ScriptedDialogs dialogs;
    EditorWindow w(dialogs);
    QElapsedTimer clock;
    QPointer<SplashWindow> splash;
    qint64 tickAt = -1;
    QString markMeanwhile, captionMeanwhile, captionAtTick;
    bool editorShownMeanwhile = true;

    bool hung = false;
    Watchdog(w, hung);
    clock.start();
    Form_Load(w, {}, [&](EditorWindow& editor) {
        splash = ShowSplash(editor);
        connect(&splash->Timer1, &QTimer::timeout, &w, [&] {
            tickAt = clock.elapsed();
            captionAtTick = w.Caption();
        });
        QTimer::singleShot(1500, &w, [&] {
            markMeanwhile = w.HandOverMark;
            captionMeanwhile = w.Caption();
            editorShownMeanwhile = w.isVisible();
        });
    });
    const qint64 returnedAt = clock.elapsed();
    QVERIFY(!hung);
    QCOMPARE(markMeanwhile, QStringLiteral("Mosaiq"));
    QVERIFY(!captionMeanwhile.contains(QStringLiteral("[Design]")));
    QVERIFY(!editorShownMeanwhile);
    QVERIFY2(tickAt >= 2990, qPrintable(QString::number(tickAt)));
    QVERIFY(!captionAtTick.contains(QStringLiteral("[Design]")));
    QVERIFY2(returnedAt - tickAt < 300, qPrintable(QString::number(returnedAt - tickAt)));
    QVERIFY(w.isVisible());
    QCOMPARE(w.Caption(), QStringLiteral("Mosaiq [Design]"));
    QTRY_VERIFY(splash.isNull()); // closed and discarded
}

void TestSplash::startUpGoesOnWhenSplashEndsEarly_data() {
    QTest::addColumn<int>("how");
    QTest::newRow("closed") << 0;
    QTest::newRow("closed by the window manager") << 1;
    QTest::newRow("destroyed") << 2;
}

void TestSplash::startUpGoesOnWhenSplashEndsEarly() {
    QFETCH(int, how);
    ScriptedDialogs dialogs;
    EditorWindow w(dialogs);
    bool hung = false;
    Watchdog(w, hung);
    QElapsedTimer clock;
    clock.start();
    Form_Load(w, {}, [&](EditorWindow& editor) {
        SplashWindow* splash = ShowSplash(editor);
        QTimer::singleShot(300, &w, [splash, how] {
            if (how == 0) splash->close();
            if (how == 1) {
                QCloseEvent request;
                QCoreApplication::sendEvent(splash->windowHandle(), &request);
            }
            if (how == 2) delete splash;
        });
    });
    QVERIFY(!hung);
    QVERIFY2(clock.elapsed() < 2000, qPrintable(QString::number(clock.elapsed())));
    QVERIFY(w.isVisible());
    QCOMPARE(w.Caption(), QStringLiteral("Mosaiq [Design]"));
    for (QWidget* top : QApplication::topLevelWidgets())
        if (qobject_cast<SplashWindow*>(top)) QVERIFY(!top->isVisible());
}

void TestSplash::editorGoneFirst() {
    auto editor = std::make_unique<Editor>();
    SplashWindow splash(editor->w, ScriptedDraws{0.15, 0.65, 0.05}.Source());
    splash.show();
    QVERIFY(QTest::qWaitForWindowExposed(&splash));
    editor.reset();
    splash.Timer1_Timer(); // nothing left to release; must not touch the editor
    QVERIFY(!splash.isVisible());
}

QTEST_MAIN(TestSplash)
#include "test_splash.moc"
