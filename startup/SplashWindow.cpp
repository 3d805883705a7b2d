#include "SplashWindow.h"

#include "FontFaces.h"
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

namespace {
QString Text(const std::string& text) {
    return QString::fromStdString(text);
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
    const auto boxes = SplashPlaces::LabelBoxes(SplashPlaces::kClientWidth);
    for (int i = 0; i < kSplashLabelCount; ++i) {
        SplashLabel* label = Labels()[static_cast<std::size_t>(i)];
        label->setFont(FaceFont(SplashPlaces::kLabelFonts[static_cast<std::size_t>(i)]));
        label->SetColors(SplashPlaces::kLabelBack, SplashPlaces::kLabelText);
        label->SetWidth(boxes[static_cast<std::size_t>(i)].width);
        label->SetHeight(boxes[static_cast<std::size_t>(i)].height);
    }
    lblTitle->SetTop(SplashPlaces::kTitleTop);
    lblAuthor->SetCaption(Text(SplashPlaces::LabelText(kSplashAuthor, {})));
    lblTagline->SetCaption(Text(SplashPlaces::LabelText(kSplashTagline, {})));

    // Hidden, the window takes its size without a resize event; the resize handler's first run,
    // and with it the grid's draws, comes with the show, after the load handler's draws.
    setFixedSize(TwipsToPixels(SplashPlaces::kClientWidth, logicalDpiX()),
                 TwipsToPixels(SplashPlaces::kClientHeight, logicalDpiY()));
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
    lblTitle->SetCaption(Text(SplashPlaces::LabelText(kSplashTitle, title_.toStdString())));
    Panel->Bar.front().fill = DrawSplashTileColor(draw_);
    for (int i = 1; i <= SplashPlaces::kTileCount; ++i)
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

    const auto boxes = SplashPlaces::LabelBoxes(ClientWidthTwips());
    for (int i = 0; i < kSplashLabelCount; ++i) {
        SplashLabel* label = Labels()[static_cast<std::size_t>(i)];
        const SplashLabelBox& box = boxes[static_cast<std::size_t>(i)];
        label->SetLeft(box.left);
        label->SetWidth(box.width);
        if (i != kSplashTitle) label->SetTop(box.top);
        label->raise();
    }

    Panel->SetHeight(ClientHeightTwips());
    Panel->SetTop(0);
    Panel->SetWidth(ClientWidthTwips());
    Panel->SetLeft(0);
    Panel->update();
    SetupGrid();
}

void SplashWindow::SetupGrid() {
    const SplashLayout grid = DrawSplashGrid(Panel->Width(), Panel->Height(), draw_);

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
    Timer1.setInterval(SplashCountdown::kCountdownMs);
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
    QTimer::singleShot(SplashCountdown::kLongestMs, splash, &QWidget::close);
    return splash;
}

} // namespace mosaiq
