#include "EditorWindow.h"
#include "Appearance.h"
#include "BgrColor.h"
#include "CellView.h"
#include "PaletteLabel.h"
#include "StatusLabel.h"
#include "Twips.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QCursor>
#include <QFile>
#include <QFileDialog>
#include <QMessageBox>
#include <QMouseEvent>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QToolTip>

#include <cstdio>
#include <cstdlib>
#include <utility>

namespace mosaiq {

namespace {
// How long a run may go without handing control to the window system. Input, timers and
// painting are served at least this often, which no one can tell from serving them at every step.
constexpr auto kYieldSlice = std::chrono::microseconds(1000);
constexpr int kYieldsPerClockRead = 16;
// How often a status line whose words move is refreshed: once a display frame.
constexpr auto kStatusFrame = std::chrono::duration_cast<std::chrono::milliseconds>(Pacer::kFrame);

QString Text(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}
// File names are bytes; they are shown as the system decodes them.
QString PathText(const std::string& path) {
    return QFile::decodeName(QByteArray::fromStdString(path));
}
} // namespace

std::string ChooserSpells(const std::string& name) {
    return QFile::encodeName(QFile::decodeName(QByteArray::fromStdString(name))).toStdString();
}

EditorWindow::EditorWindow(QWidget* parent) : QWidget(parent) {
    OnEndProgram = [] {
        std::fflush(nullptr);
        std::_Exit(0);
    };

    QPalette pal = palette();
    pal.setColor(QPalette::Window, BgrToQColor(kWindowColor));
    setPalette(pal);
    setAutoFillBackground(true);
    setMouseTracking(true);

    Panel = new CellView(Form.Bars, Form.Grid, this);
    connect(Panel, &CellView::BarMouseDown, this,
            [this](int i, int b) { Form.Bar_MouseDown(i, b); });
    connect(Panel, &CellView::BarMouseMove, this,
            [this](int i, int b) { Form.Bar_MouseMove(i, b); });
    connect(Panel, &CellView::BarMouseUp, this, [this](int i, int b) { Form.Bar_MouseUp(i, b); });
    connect(Panel, &CellView::BarClick, this, [this](int i) { Form.Bar_Click(i); });
    connect(Panel, &CellView::PanelMouseMove, this, [this](int b) { Form.Panel_MouseMove(b); });
    connect(Panel, &CellView::PanelMouseUp, this, [this](int b) { Form.Panel_MouseUp(b); });
    for (int i = 0; i < kInstructionCount; ++i) {
        lColor[i] = new PaletteLabel(i, this);
        connect(lColor[i], &PaletteLabel::Click, this,
                [this](int index) { Form.lColor_Click(index); });
    }

    ContextMenu& menu = Form.mnuContext;
    AddItem(menu.mnuLoad, [this] {
        if (Form.mnuLoad_Click) Form.mnuLoad_Click();
    });
    AddItem(menu.mnuSave, [this] {
        if (Form.mnuSave_Click) Form.mnuSave_Click();
    });
    AddItem(menu.mnuRun, [this] { Form.mnuRun_Click(); });
    mnuContext_.addSeparator();
    AddItem(menu.mnuGC, [this] { Form.mnuGC_Click(); });
    AddItem(menu.mnuClear, [this] { Form.mnuClear_Click(); });
    mnuContext_.addSeparator();
    AddItem(menu.mnuClose, [] {});

    // The pace slider: one position per rung, full speed at the top. It never takes the keyboard
    // focus, as nothing in the editor reacts to keys; the wheel moves it one rung a notch.
    PaceSlider = new QSlider(Qt::Vertical, this);
    PaceSlider->setRange(0, static_cast<int>(kPaceLadder.size()) - 1);
    PaceSlider->setSingleStep(1);
    PaceSlider->setPageStep(1);
    PaceSlider->setFocusPolicy(Qt::NoFocus);
    PaceSlider->setTickPosition(QSlider::TicksRight);
    PaceSlider->setMouseTracking(true);
    PaceSlider->installEventFilter(this);
    // Only the user moves it with its signals on: by the wheel, a press or a drag.
    connect(PaceSlider, &QSlider::valueChanged, this, [this](int rung) {
        Form.PaceSlider_Change(rung);
        ShowPace(rung, true);
    });
    paceWait_.setParent(this);
    paceWait_.setObjectName(QStringLiteral("paceWait"));
    paceWait_.setSingleShot(true);
    paceWait_.setTimerType(Qt::PreciseTimer);

    lblStatus = new StatusLabel(this);
    statusFrame_.setSingleShot(true);
    statusFrame_.setTimerType(Qt::PreciseTimer);
    connect(&statusFrame_, &QTimer::timeout, this, &EditorWindow::RefreshStatus);

    // The real timer follows the deferred-command timer's state.
    oneShot_.setSingleShot(true);
    connect(&oneShot_, &QTimer::timeout, this, [this] { Form.OneShot_Timer(); });
    Form.OneShot.SetObserver([this] {
        if (Form.OneShot.Counting())
            oneShot_.start(Form.OneShot.Interval());
        else
            oneShot_.stop();
    });

    // Fixed places of the controls; the frame's size follows the window (Form_Resize).
    for (int i = 0; i < kInstructionCount; ++i)
        lColor[i]->setGeometry(TwipsRect(*this, EditorPlaces::PaletteBox(i)));
    Panel->move(
        TwipsRect(*this, EditorPlaces::kPanelLeft, EditorPlaces::kPanelTop, 0, 0).topLeft());
    SetPace(kDefaultPace);
    ResizeClientTwips(EditorPlaces::kDesignClientWidth, EditorPlaces::kDesignClientHeight);
}

EditorWindow::~EditorWindow() {
    Form.OneShot.SetObserver({});
}

void EditorWindow::AddItem(const MenuItem& item, std::function<void()> chosen) {
    QAction* action = mnuContext_.addAction(Text(item.Caption));
    connect(action, &QAction::triggered, this, std::move(chosen));
    items_.emplace_back(action, &item);
}

void EditorWindow::SetPace(int perSecond) {
    const int rung = PaceRung(perSecond);
    const QSignalBlocker quiet(PaceSlider);
    PaceSlider->setValue(rung);
    Form.RunPace.SetPace(kPaceLadder[static_cast<std::size_t>(rung)], Now());
    ShowPace(rung, false);
}

void EditorWindow::ShowPace(int rung, bool tipNow) {
    const QString text = Text(PaceText(kPaceLadder[static_cast<std::size_t>(rung)]));
    PaceSlider->setToolTip(text);
    if (!tipNow) return;
    // The tip shows beside the handle and goes with it, whatever hid it a moment before (the
    // window system hides a tip at every wheel turn and press).
    QStyleOptionSlider option;
    option.initFrom(PaceSlider);
    option.orientation = PaceSlider->orientation();
    option.minimum = PaceSlider->minimum();
    option.maximum = PaceSlider->maximum();
    option.sliderPosition = option.sliderValue = rung;
    option.upsideDown = !PaceSlider->invertedAppearance(); // vertical: the slowest at the bottom
    option.tickPosition = PaceSlider->tickPosition();
    const QRect handle = PaceSlider->style()->subControlRect(QStyle::CC_Slider, &option,
                                                             QStyle::SC_SliderHandle, PaceSlider);
    QToolTip::showText(PaceSlider->mapToGlobal(QPoint(PaceSlider->width(), handle.center().y())),
                       text, PaceSlider);
}

void EditorWindow::PlaceStatusLine() {
    const TwipsBox box = EditorPlaces::StatusLineBox(ClientWidthTwips(), ClientHeightTwips());
    lblStatus->setGeometry(TwipsRect(*this, box.left, box.top, box.width, box.height));
    lblStatus->setVisible(box.shown);
}

void EditorWindow::RefreshStatus() {
    ++statusFrames_;
    lblStatus->Show(Text(Form.StatusText()));
    if (Form.Status.Moving(Now())) statusFrame_.start(kStatusFrame);
}

void EditorWindow::PlacePaceSlider() {
    const TwipsBox box = EditorPlaces::PaceSliderBox(ClientHeightTwips());
    PaceSlider->setGeometry(TwipsRect(*this, box));
    PaceSlider->setVisible(box.shown);
}

void EditorWindow::ShowTooltips() {
    for (int i = 0; i < kInstructionCount; ++i)
        lColor[i]->setToolTip(Text(kInstructionNames[i]));
}

// ---- What the rules ask of the window ---------------------------------------------------------

void EditorWindow::Yield() {
    // Reading the clock costs more than a step does; a few yields in a row take well under a
    // microsecond, so the clock is read only every few of them.
    if (++yieldsUnread_ < kYieldsPerClockRead) return;
    yieldsUnread_ = 0;
    const auto now = std::chrono::steady_clock::now();
    if (now - lastYield_ < kYieldSlice) return;
    QCoreApplication::processEvents();
    lastYield_ = std::chrono::steady_clock::now();
}

void EditorWindow::WaitUntil(std::chrono::steady_clock::time_point until) {
    const auto wait = std::chrono::ceil<std::chrono::milliseconds>(until - Now());
    if (wait.count() <= 0) return;
    // Returns when the timer fires or as soon as any other event has been served, so that a Stop
    // or a new pace takes effect at once.
    paceWait_.start(wait);
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    lastYield_ = Now();
}

void EditorWindow::ShowContextMenu() {
    for (const auto& [action, item] : items_) {
        action->setText(Text(item->Caption));
        action->setEnabled(item->Enabled);
    }
    mnuContext_.exec(QCursor::pos());
}

bool EditorWindow::AskYesNo(std::string_view title, std::string_view text) {
    return QMessageBox::question(this, Text(title), Text(text), QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::Yes) == QMessageBox::Yes;
}

bool EditorWindow::AskOkCancel(std::string_view title, std::string_view text) {
    QMessageBox box(QMessageBox::Question, Text(title), Text(text),
                    QMessageBox::Ok | QMessageBox::Cancel, this);
    box.setDefaultButton(QMessageBox::Ok);
    box.setEscapeButton(QMessageBox::Cancel);
    return box.exec() == QMessageBox::Ok;
}

void EditorWindow::Inform(std::string_view title, std::string_view text) {
    QMessageBox::warning(this, Text(title), Text(text));
}

std::string EditorWindow::ChooseFile(const FileRequest& request) {
    // "description|pattern" becomes Qt's "description (pattern)"; the description already names
    // the pattern, so it is used as it stands.
    const QString description = Text(request.filter).section(QLatin1Char('|'), 0, 0);
    const bool open = request.kind == FileRequest::Kind::Open;
    QFileDialog dialog(this, Text(request.title), PathText(request.folder), description);
    dialog.setAcceptMode(open ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
    dialog.setFileMode(open ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    dialog.setDefaultSuffix(Text(request.defaultSuffix));
    if (!request.fileName.empty()) dialog.selectFile(PathText(request.fileName));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return QFile::encodeName(dialog.selectedFiles().constFirst()).toStdString();
}

void EditorWindow::Changed(Part part) {
    switch (part) {
    case Part::Caption: setWindowTitle(PathText(Form.Caption)); break;
    case Part::Palette:
        for (int i = 0; i < kInstructionCount; ++i)
            lColor[i]->Show(Form.lColor[i].Fill, Form.lColor[i].Border);
        break;
    case Part::PanelColor: Panel->SetPanelColor(Form.PanelColor); break;
    case Part::PanelSize:
        Panel->resize(TwipsRect(*this, 0, 0, Form.PanelWidth, Form.PanelHeight).size());
        break;
    case Part::Status:
        if (!statusFrame_.isActive()) statusFrame_.start(kStatusFrame);
        break;
    }
}

// ---- Window events ----------------------------------------------------------------------------

double EditorWindow::ClientWidthTwips() const {
    return PixelsToTwips(width(), logicalDpiX());
}
double EditorWindow::ClientHeightTwips() const {
    return PixelsToTwips(height(), logicalDpiY());
}

void EditorWindow::ResizeClientTwips(double width, double height) {
    resize(TwipsRect(*this, 0, 0, width, height).size());
}

void EditorWindow::Form_Resize() {
    Form.Form_Resize(isMinimized(), ClientWidthTwips(), ClientHeightTwips());
}

void EditorWindow::showEvent(QShowEvent*) {
    // Not at once: showing the window handles events, and what Form_Shown tells belongs over it.
    if (!std::exchange(shown_, true)) QTimer::singleShot(0, this, [this] { Form.Form_Shown(); });
}

void EditorWindow::resizeEvent(QResizeEvent*) {
    PlacePaceSlider();
    PlaceStatusLine();
    Form_Resize();
}

void EditorWindow::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    // Minimising and restoring count as resizes.
    if (event->type() == QEvent::WindowStateChange) Form_Resize();
}

void EditorWindow::mouseMoveEvent(QMouseEvent* event) {
    Form.Form_MouseMove(static_cast<int>(event->buttons()));
}

void EditorWindow::mousePressEvent(QMouseEvent* event) {
    formPressed_ = event->button() == Qt::LeftButton;
}

void EditorWindow::mouseReleaseEvent(QMouseEvent* event) {
    if (formPressed_ && event->button() == Qt::LeftButton &&
        rect().contains(event->position().toPoint()))
        Form.Form_Click();
    formPressed_ = false;
}

bool EditorWindow::eventFilter(QObject* watched, QEvent* event) {
    // The slider lies on the window's background: a move over it is a move over the window.
    if (watched == PaceSlider && event->type() == QEvent::MouseMove)
        Form.Form_MouseMove(static_cast<int>(static_cast<QMouseEvent*>(event)->buttons()));
    return QWidget::eventFilter(watched, event);
}

void EditorWindow::closeEvent(QCloseEvent* event) {
    bool cancel = false;
    Form.Form_QueryUnload(cancel);
    if (cancel) {
        event->ignore();
        return;
    }
    event->accept();
    Form.Form_Unload();
}

} // namespace mosaiq
