#include "SplashWindow.h"

#include "SplashLabel.h"
#include "SplashPanel.h"
#include "Twips.h"
#include <QTimer>

#include <QCloseEvent>
#include <QEvent>
#include <QFont>
#include <QScreen>

#include <utility>

namespace mosaiq {

const QString SplashWindow::kAuthor = QStringLiteral("by the Mosaiq makers ");
const QString SplashWindow::kTagline = QStringLiteral("programs you paint, cell by cell ");

namespace {
QFont LabelFont(double points, bool bold) {
    QFont font(QStringLiteral("Arial"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}
} // namespace

SplashWindow::SplashWindow(const QString& title, std::function<void()> release, SplashDraw draw)
    : QWidget(nullptr, Qt::SplashScreen | Qt::FramelessWindowHint), title_(title),
      release_(std::move(release)), draw_(std::move(draw)) {
    // The editor is still hidden when the splash closes; that must not end the program.
    setAttribute(Qt::WA_QuitOnClose, false);

    // Timer1 is enabled with interval 0 at design, which means it does not fire. A QTimer would
    // fire at once, so it stays stopped until the first paint arms it.
    Timer1.setInterval(0);
    // Precise: a coarse timer may tick up to a twentieth of the interval early.
    Timer1.setTimerType(Qt::PreciseTimer);
    connect(&Timer1, &QTimer::timeout, this, &SplashWindow::Timer1_Timer);

    Panel = new SplashPanel(this);
    connect(Panel, &SplashPanel::Painted, this, &SplashWindow::Form_Paint);

    lblTitle = new SplashLabel(Panel);
    lblAuthor = new SplashLabel(Panel);
    lblTagline = new SplashLabel(Panel);
    lblTitle->setFont(LabelFont(18, true));
    lblAuthor->setFont(LabelFont(12, true));
    lblTagline->setFont(LabelFont(9.75, false));
    for (SplashLabel* label : {lblTitle, lblAuthor, lblTagline})
        label->SetColors(kLabelBack, kLabelText);
    lblTitle->SetWidth(kTitleWidth);
    lblTitle->SetHeight(kTitleHeight);
    lblTitle->SetTop(kTitleTop);
    lblAuthor->SetHeight(kLineHeight);
    lblTagline->SetHeight(kLineHeight);
    lblAuthor->SetCaption(kAuthor);
    lblTagline->SetCaption(kTagline);

    // Hidden, the window takes its size without a resize event; the resize handler's first run,
    // and with it the grid's draws, comes with the show, after the load handler's draws.
    setFixedSize(TwipsToPixels(kClientWidth, logicalDpiX()),
                 TwipsToPixels(kClientHeight, logicalDpiY()));
    Form_Load();
}

SplashWindow::~SplashWindow() {
    ReleaseStartUp();
}

double SplashWindow::ClientWidthTwips() const {
    return PixelsToTwips(width(), logicalDpiX());
}
double SplashWindow::ClientHeightTwips() const {
    return PixelsToTwips(height(), logicalDpiY());
}

void SplashWindow::Form_Load() {
    // The colour's draw comes first: the grid's draws follow it, resize by resize.
    const int k = DrawDigit(draw_());
    lblTitle->SetCaption(title_ + QLatin1Char(' '));
    Panel->Bar.front().fill = SplashTileColor(k, draw_);
    for (int i = 1; i <= kTileCount; ++i)
        Panel->AddTile();

    // Centred by the outer size, which for a window without frame is the client size.
    const QRect screenArea = screen()->geometry();
    const double dx = logicalDpiX();
    const double dy = logicalDpiY();
    const double left =
        PixelsToTwips(screenArea.width(), dx) / 2 - PixelsToTwips(frameGeometry().width(), dx) / 2;
    const double top = PixelsToTwips(screenArea.height(), dy) / 2 -
                       PixelsToTwips(frameGeometry().height(), dy) / 2;
    move(screenArea.x() + TwipsToPixels(left, dx), screenArea.y() + TwipsToPixels(top, dy));
}

void SplashWindow::resizeEvent(QResizeEvent*) {
    Form_Resize();
}

void SplashWindow::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    // Minimising and restoring count as resizes.
    if (event->type() == QEvent::WindowStateChange) Form_Resize();
}

void SplashWindow::Form_Resize() {
    if (isMinimized()) return;

    lblTitle->SetLeft(ClientWidthTwips() - lblTitle->Width());
    lblAuthor->SetWidth(lblTitle->Width());
    lblTagline->SetWidth(lblTitle->Width());
    lblAuthor->SetLeft(lblTitle->Left());
    lblAuthor->SetTop(lblTitle->Top() + lblTitle->Height());
    lblTagline->SetLeft(lblTitle->Left());
    lblTagline->SetTop(lblAuthor->Top() + lblAuthor->Height());
    lblTitle->raise();
    lblAuthor->raise();
    lblTagline->raise();

    Panel->SetHeight(ClientHeightTwips());
    Panel->SetTop(0);
    Panel->SetWidth(ClientWidthTwips());
    Panel->SetLeft(0);
    Panel->update();
    SetupGrid();
}

void SplashWindow::SetupGrid() {
    // Two statements: the draw for n must come before the draw for f.
    const double drawN = draw_();
    const double drawF = draw_();
    const SplashLayout grid = ComputeSplashLayout(Panel->Width(), Panel->Height(), drawN, drawF);

    for (auto i = Panel->Bar.size() - 1; i >= 1; --i)
        Panel->Bar[i].visible = false;
    std::size_t t = 1;
    for (const TileRect& rect : grid.tiles) {
        SplashTile& tile = Panel->Bar.at(t++);
        tile.rect = rect;
        tile.visible = true;
    }
    Panel->update();
}

void SplashWindow::Form_Paint() {
    // Every paint starts the three seconds anew, so a splash that was covered and shown again
    // still stays up for its full time once it is last drawn. The splash never draws by itself
    // (the tiles do not move), so only the window system's exposes can hold it up, and start-up
    // waits no longer than the user keeps uncovering it.
    Timer1.setInterval(kCountdownMs);
    Timer1.start();
}

void SplashWindow::Timer1_Timer() {
    Timer1.stop();
    ReleaseStartUp();
    close();
}

void SplashWindow::closeEvent(QCloseEvent* event) {
    // However the splash goes (its tick, the window manager, the end of the program), start-up
    // must not wait for a tick that will not come.
    Timer1.stop();
    ReleaseStartUp();
    QWidget::closeEvent(event);
}

void SplashWindow::ReleaseStartUp() {
    // Once only: the start-up may be long gone by the time the window is destroyed.
    if (auto release = std::exchange(release_, nullptr)) release();
}

SplashWindow* ShowSplash(const QString& title, std::function<void()> release) {
    auto* splash = new SplashWindow(title, std::move(release));
    splash->setAttribute(Qt::WA_DeleteOnClose);
    splash->show();
    // A splash that is never painted never arms its timer, and one that keeps being exposed
    // keeps restarting it; either would hold start-up for ever. Past this, it closes regardless.
    QTimer::singleShot(kSplashLongestMs, splash, &QWidget::close);
    return splash;
}

} // namespace mosaiq
