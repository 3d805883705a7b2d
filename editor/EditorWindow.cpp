#include "EditorWindow.h"
#include "Caption.h"
#include "CellView.h"
#include "EditorHost.h"
#include "PaletteLabel.h"
#include "Twips.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QCursor>
#include <QMouseEvent>

#include <cstdio>
#include <cstdlib>

namespace mosaiq {

namespace {
const QString kWordRun = QStringLiteral("run");
const QString kWordLoad = QStringLiteral("loadflg");
const QString kWordSave = QStringLiteral("saveflg");

// How long a run may go without handing control to the window system. Input, timers and
// painting are served at least this often, which no one can tell from serving them at every step.
constexpr auto kYieldSlice = std::chrono::microseconds(1000);

QString FromView(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}
} // namespace

EditorWindow::EditorWindow(Dialogs& dialogs, QWidget* parent)
    : QWidget(parent), OneShot(this), dialogs_(dialogs) {
    EndProgram = [] {
        std::fflush(nullptr);
        std::_Exit(0);
    };

    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(0x80, 0x80, 0x80));
    setPalette(pal);
    setAutoFillBackground(true);
    setMouseTracking(true);

    Panel = new CellView(Bars, this);
    for (int i = 0; i < kInstructionCount; ++i) {
        lColor[i] = new PaletteLabel(i, this);
        connect(lColor[i], &PaletteLabel::Click, this, &EditorWindow::lColor_Click);
    }

    mnuLoad = mnuContext.addAction(QStringLiteral("Load ..."));
    mnuSave = mnuContext.addAction(QStringLiteral("Save ..."));
    mnuRun = mnuContext.addAction(QStringLiteral("Run"));
    mnuSep1 = mnuContext.addSeparator();
    mnuGC = mnuContext.addAction(QStringLiteral("Reset Data"));
    mnuClear = mnuContext.addAction(QStringLiteral("Clear All"));
    mnuSep2 = mnuContext.addSeparator();
    mnuClose = mnuContext.addAction(QStringLiteral("Close Menu"));
    connect(mnuRun, &QAction::triggered, this, &EditorWindow::mnuRun_Click);
    connect(mnuGC, &QAction::triggered, this, &EditorWindow::mnuGC_Click);
    connect(mnuClear, &QAction::triggered, this, &EditorWindow::mnuClear_Click);

    connect(&OneShot, &OneShotTimer::Timer, this, &EditorWindow::OneShot_Timer);
    connect(Panel, &CellView::BarMouseDown, this, &EditorWindow::Bar_MouseDown);
    connect(Panel, &CellView::BarMouseMove, this, &EditorWindow::Bar_MouseMove);
    connect(Panel, &CellView::BarMouseUp, this, &EditorWindow::Bar_MouseUp);
    connect(Panel, &CellView::BarClick, this, &EditorWindow::Bar_Click);
    connect(Panel, &CellView::PanelMouseMove, this, &EditorWindow::Panel_MouseMove);
    connect(Panel, &CellView::PanelMouseUp, this, &EditorWindow::Panel_MouseUp);

    // Fixed places of the controls; the frame's size follows the window (Form_Resize).
    const double dx = logicalDpiX();
    const double dy = logicalDpiY();
    for (int i = 0; i < kInstructionCount; ++i) {
        lColor[i]->setGeometry(TwipsToPixels(kPaletteLeft, dx),
                               TwipsToPixels(kPaletteTop + kPaletteStep * i, dy),
                               TwipsToPixels(kPaletteWidth, dx), TwipsToPixels(kPaletteHeight, dy));
    }
    Panel->move(TwipsToPixels(kPanelLeft, dx), TwipsToPixels(kPanelTop, dy));
    ResizeClientTwips(kDesignClientWidth, kDesignClientHeight);
}

EditorWindow::~EditorWindow() = default;

// ---- Caption --------------------------------------------------------------------------------

void EditorWindow::SetCaption(const QString& caption) {
    caption_ = caption.toStdString();
    setWindowTitle(caption);
}

void EditorWindow::SetStatus(std::string_view mode) {
    caption_ = mosaiq::SetStatus(AppTitle.toStdString(), mode, FileName.toStdString());
    setWindowTitle(QString::fromStdString(caption_));
}

void EditorWindow::ShowFileInCaption() {
    mosaiq::ShowFileInCaption(caption_, FileName.toStdString());
    setWindowTitle(QString::fromStdString(caption_));
}

// ---- Layout ---------------------------------------------------------------------------------

double EditorWindow::ClientWidthTwips() const {
    return PixelsToTwips(width(), logicalDpiX());
}
double EditorWindow::ClientHeightTwips() const {
    return PixelsToTwips(height(), logicalDpiY());
}

void EditorWindow::ResizeClientTwips(double width, double height) {
    resize(TwipsToPixels(width, logicalDpiX()), TwipsToPixels(height, logicalDpiY()));
}

void EditorWindow::resizeEvent(QResizeEvent*) {
    Form_Resize();
}

void EditorWindow::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    // Minimising and restoring count as resizes, as they do for the layout rule.
    if (event->type() == QEvent::WindowStateChange) Form_Resize();
}

void EditorWindow::Form_Resize() {
    if (isMinimized()) return;

    // A size the frame cannot take (negative) is refused and the frame keeps its old one; the
    // steps after it still run.
    const double width = RoundHalfEven(kPaletteWidth + (ClientWidthTwips() - 2.0 * kPanelLeft));
    if (width >= 0) panelWidth_ = width;
    const double height = ClientHeightTwips() - 3.0 * kPanelTop;
    if (height >= 0) panelHeight_ = height;
    ApplyPanelGeometry();

    SetupGrid();
    QCoreApplication::processEvents();

    if (FreshStart) {
        OneShot.SetEnabled(false);
        OneShot.SetInterval(1000);
        OneShot.SetEnabled(true);
    }
}

void EditorWindow::ApplyPanelGeometry() {
    Panel->resize(TwipsToPixels(panelWidth_, logicalDpiX()),
                  TwipsToPixels(panelHeight_, logicalDpiY()));
}

void EditorWindow::SetupGrid() {
    const int percent = CaptionHas(kModeRunning) ? 0 : 4;
    const double W = panelWidth_;
    const double H = panelHeight_;
    const int gap = static_cast<int>(RoundHalfEven(W / 32.0 / 100.0 * percent));
    const int barHeight = static_cast<int>(RoundHalfEven(H / 32.0 - gap));
    const int barWidth = static_cast<int>(RoundHalfEven(W / 32.0 - gap));

    for (int i = kCellCount; i >= 1; --i)
        Bars.SetVisible(i, false);
    // A bar cannot take a negative height: the layout stops at the first bar, every bar stays
    // hidden and nothing is repainted until a later resize gives a usable height.
    if (barHeight < 0) return;
    int index = 1;
    for (int row = 1; row <= 32; ++row) {
        for (int column = 1; column <= 32; ++column, ++index) {
            Bars.SetGeometry(index, (barWidth + gap) * (column - 1), (barHeight + gap) * (row - 1),
                             barWidth, barHeight);
            Bars.SetVisible(index, true);
        }
    }
    Panel->update();
    EditorHost host(*this);
    RepaintCells(Machine, host);
}

// ---- Deferred commands and run control ---------------------------------------------------------

void EditorWindow::OneShot_Timer() {
    OneShot.SetEnabled(false);
    const QString word = OneShot.Tag();
    if (word == kWordRun) {
        OneShot.SetTag(QString());
        RunNow();
    } else if (word == kWordSave) {
        OneShot.SetTag(QString());
        Busy = false;
    } else if (word == kWordLoad) {
        OneShot.SetTag(QString());
        Busy = false;
        lColor[PenCode]->SetBorder(false);
        PenCode = 0;
        lColor[0]->SetBorder(true);
        if (!FileName.isEmpty()) mnuClear->setEnabled(true);
        mnuGC->setEnabled(false);
        if (!FileName.isEmpty()) mnuRun->setEnabled(true);
        ShowContextMenu();
    } else if (FreshStart) {
        PenCode = 1;
        FreshStart = false;
        mnuClear->setEnabled(false);
        mnuGC->setEnabled(false);
        mnuRun->setEnabled(false);
        ShowContextMenu();
    }
}

void EditorWindow::RunNow() {
    // Runs never nest: a run that falls due during a run is carried out when that run has
    // ended, as a run of the whole strip.
    if (running_) {
        pendingRun_ = true;
        return;
    }
    running_ = true;
    EditorHost host(*this);
    lastRun_ = RunProgram(Machine, host);
    while (pendingRun_) {
        pendingRun_ = false;
        Machine.RunLimit = 0;
        Machine.StopRequest = false;
        mnuRun->setText(QStringLiteral("Stop"));
        lastRun_ = RunProgram(Machine, host);
    }
    running_ = false;
}

void EditorWindow::YieldToEvents() {
    const auto now = std::chrono::steady_clock::now();
    if (now - lastYield_ < kYieldSlice) return;
    QCoreApplication::processEvents();
    lastYield_ = std::chrono::steady_clock::now();
}

void EditorWindow::mnuRun_Click() {
    if (mnuRun->text() == QLatin1String("Run")) {
        Machine.RunLimit = 0;
        Machine.StopRequest = false;
        mnuRun->setText(QStringLiteral("Stop"));
        OneShot.Arm(kWordRun, 100);
    } else {
        Machine.RequestStop(RunEnd::Stopped);
        CancelPendingRun();
        mnuRun->setText(QStringLiteral("Run"));
    }
}

void EditorWindow::mnuGC_Click() {
    EditorHost host(*this);
    ResetTouchedCells(Machine, host);
    RepaintCells(Machine, host);
}

void EditorWindow::mnuClear_Click() {
    if (!dialogs_.AskYesNo(this, AppTitle, QStringLiteral("Reset and clear everything?"))) return;
    EditorHost host(*this);
    ClearStrip(Machine, host, RunEnd::Stopped);
    CancelPendingRun();
    FileName.clear();
}

void EditorWindow::ShowContextMenu() {
    dialogs_.PopupMenu(mnuContext, QCursor::pos());
}

// ---- Palette and painting -------------------------------------------------------------------

void EditorWindow::ShowTooltips() {
    for (int i = 0; i < kInstructionCount; ++i)
        lColor[i]->setToolTip(FromView(kInstructionNames[i]));
}

void EditorWindow::lColor_Click(int index) {
    for (PaletteLabel* label : lColor)
        label->SetBorder(false);
    lColor[index]->SetBorder(true);
    PenCode = static_cast<std::uint8_t>(index);
    if (index == 0)
        for (int i = 1; i <= kCellCount; ++i)
            Bars.SetBorder(i, false);
}

void EditorWindow::Bar_MouseDown(int index, int button) {
    if (Busy || button != 1) return;
    if (FreshStart) {
        PenCode = 1;
        FreshStart = false;
    }
    if (HoverBar == index) {
        Bars.SetFill(index, kWhite);
        HoverBar = 0;
    }
    Machine.Cells[index] = Machine.Cells[index] == PenCode ? 0 : PenCode;
    EditorHost host(*this);
    SetBarValue(Machine, host, index);
}

void EditorWindow::Bar_MouseMove(int index, int) {
    if (Busy) return;
    if (Bars.At(index).fill == kWhite) {
        if (PenCode == 0) return;
        if (!Bars.At(index).border && HoverBar != index) {
            if (HoverBar != 0) Bars.SetFill(HoverBar, kWhite);
            HoverBar = index;
            Bars.SetFill(index, lColor[PenCode]->Fill());
        }
    } else if (HoverBar != index) {
        if (HoverBar != 0) Bars.SetFill(HoverBar, kWhite);
        HoverBar = 0;
    }
}

void EditorWindow::Bar_MouseUp(int index, int button) {
    if (Busy) return;
    if (button == 1) {
        for (int i = 1; i <= kCellCount; ++i)
            Bars.SetBorder(i, false);
        Bars.SetBorder(index, true);
        if (CaptionHas(kModeDesign)) {
            Machine.RunLimit = index;
            if (PenCode != 0) {
                if (Machine.StopRequest) {
                    Machine.StopRequest = false;
                    OneShot.Arm(kWordRun, 100);
                }
            } else if (!Machine.StopRequest) {
                Machine.RequestStop(RunEnd::Stopped);
            }
        }
    } else if (button == 2) {
        if (HoverBar == index) {
            Bars.SetFill(index, kWhite);
            HoverBar = 0;
        }
        OpenMenuForContent();
    }
}

void EditorWindow::Bar_Click(int) {
    if (Busy || PenCode != 0) return;
    for (int i = 1; i <= kCellCount; ++i)
        Bars.SetBorder(i, false);
}

void EditorWindow::Panel_MouseMove(int) {
    Form_MouseMove(0);
}

void EditorWindow::Form_MouseMove(int) {
    if (HoverBar != 0) {
        Bars.SetFill(HoverBar, kWhite);
        HoverBar = 0;
    }
}

void EditorWindow::Form_Click() {
    for (int i = 1; i <= kCellCount; ++i)
        Bars.SetBorder(i, false);
}

void EditorWindow::Panel_MouseUp(int button) {
    if (Busy) return;
    if (button == 1) {
        for (int i = 1; i <= kCellCount; ++i)
            Bars.SetBorder(i, false);
    } else if (button == 2) {
        OpenMenuForContent();
    }
}

void EditorWindow::OpenMenuForContent() {
    // What the strip holds decides which commands are offered. The scan stops at the first
    // touched cell: a strip a run has changed can always be reset and cleared.
    mnuGC->setEnabled(false);
    mnuClear->setEnabled(false);
    std::uint32_t sum = 0;
    for (int i = 1; i <= kCellCount; ++i) {
        if (Machine.Touched[i]) {
            mnuGC->setEnabled(true);
            mnuClear->setEnabled(true);
            break;
        }
        sum += Machine.Cells[i];
    }
    if (sum > 0) mnuClear->setEnabled(true);
    mnuSave->setEnabled(mnuClear->isEnabled());
    mnuRun->setEnabled(mnuClear->isEnabled());
    ShowContextMenu();
}

void EditorWindow::mouseMoveEvent(QMouseEvent* event) {
    Form_MouseMove(static_cast<int>(event->buttons()));
}

void EditorWindow::mousePressEvent(QMouseEvent* event) {
    formPressed_ = event->button() == Qt::LeftButton;
}

void EditorWindow::mouseReleaseEvent(QMouseEvent* event) {
    if (formPressed_ && event->button() == Qt::LeftButton &&
        rect().contains(event->position().toPoint()))
        Form_Click();
    formPressed_ = false;
}

// ---- Closing --------------------------------------------------------------------------------

bool EditorWindow::HoldsContent() const {
    std::uint32_t sum = 0;
    for (int i = 1; i <= kCellCount; ++i) {
        if (Machine.Touched[i]) return true;
        sum += Machine.Cells[i];
    }
    return sum > 0;
}

void EditorWindow::Form_QueryUnload(bool& cancel) {
    if (!HoldsContent()) return;
    if (!dialogs_.AskOkCancel(this, AppTitle, QStringLiteral("Shutdown?"))) cancel = true;
}

void EditorWindow::Form_Unload() {
    EndProgram();
}

void EditorWindow::closeEvent(QCloseEvent* event) {
    bool cancel = false;
    Form_QueryUnload(cancel);
    if (cancel) {
        event->ignore();
        return;
    }
    event->accept();
    Form_Unload();
}

} // namespace mosaiq
