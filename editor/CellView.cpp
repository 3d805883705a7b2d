#include "CellView.h"
#include "BgrColor.h"
#include "FontFaces.h"
#include "Pacer.h"
#include "Twips.h"

#include <QHelpEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QToolTip>

#include <cmath>

namespace mosaiq {

namespace {
// One display frame, the one a paced run keeps to. Changes wait at most this long to be drawn.
constexpr auto kFrame = std::chrono::duration_cast<std::chrono::milliseconds>(Pacer::kFrame);

int ButtonBits(Qt::MouseButtons buttons) {
    return static_cast<int>(buttons & 0x7);
}
} // namespace

CellView::CellView(BarModel& model, const GridLayout& grid, QWidget* parent)
    : QWidget(parent), model_(model), grid_(grid) {
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFont(FaceFont(kBarFont));
    frameTimer_.setSingleShot(true);
    frameTimer_.setTimerType(Qt::PreciseTimer);
    connect(&frameTimer_, &QTimer::timeout, this, &CellView::FrameDue);
    model_.SetObserver([this](int index) { BarChanged(index); });
}

void CellView::SetPanelColor(Color color) {
    if (color == panelColor_) return;
    panelColor_ = color;
    panelDirty_ = true;
    if (!frameTimer_.isActive()) frameTimer_.start(kFrame);
}

void CellView::BarChanged(int index) {
    dirty_[index] = true;
    anyDirty_ = true;
    if (!frameTimer_.isActive()) frameTimer_.start(kFrame);
}

void CellView::FrameDue() {
    // A new layout moves every bar: what its old places showed goes as well.
    if (panelDirty_ || grid_ != drawnGrid_) {
        drawnGrid_ = grid_;
        update();
    } else if (anyDirty_) {
        QRegion region;
        for (int i = 1; i <= kCellCount; ++i)
            if (dirty_[i]) region += BarRect(i);
        update(region);
    }
    dirty_.fill(false);
    anyDirty_ = false;
    panelDirty_ = false;
}

double CellView::PixelsPerTwipX() const {
    return logicalDpiX() * devicePixelRatioF() / kTwipsPerInch;
}
double CellView::PixelsPerTwipY() const {
    return logicalDpiY() * devicePixelRatioF() / kTwipsPerInch;
}

QRect CellView::DeviceBarRect(int index) const {
    const PixelRect r = grid_.BarPixels(index, PixelsPerTwipX(), PixelsPerTwipY());
    return QRect(r.left, r.top, r.right - r.left, r.bottom - r.top);
}

QRect CellView::BarRect(int index) const {
    const QRect device = DeviceBarRect(index);
    const double ratio = devicePixelRatioF();
    return QRectF(device.x() / ratio, device.y() / ratio, device.width() / ratio,
                  device.height() / ratio)
        .toAlignedRect();
}

int CellView::BarAt(QPointF pos) const {
    const double ratio = devicePixelRatioF();
    return grid_.BarAt(static_cast<int>(std::floor(pos.x() * ratio)),
                       static_cast<int>(std::floor(pos.y() * ratio)), PixelsPerTwipX(),
                       PixelsPerTwipY());
}

void CellView::paintEvent(QPaintEvent* event) {
    ++paintCount_;
    QPainter painter(this);
    const QRect area = event->rect();
    painter.fillRect(area, BgrToQColor(panelColor_));
    const double ratio = devicePixelRatioF();
    for (int i = 1; i <= kCellCount; ++i) {
        const Bar& bar = model_.At(i);
        if (!bar.visible) continue;
        // Drawn on device pixels, so that every edge is sharp at any scale.
        const QRect device = DeviceBarRect(i);
        const QRectF r(device.x() / ratio, device.y() / ratio, device.width() / ratio,
                       device.height() / ratio);
        if (device.isEmpty() || !r.intersects(area)) continue;
        painter.fillRect(r, BgrToQColor(bar.fill));
        if (bar.border) {
            painter.setPen(QPen(Qt::black, 0)); // one device pixel, just inside the bar
            const double half = 0.5 / ratio;
            painter.drawRect(r.adjusted(half, half, -half, -half));
        }
        if (bar.caption == BarCaption::X) {
            painter.setPen(BgrToQColor(bar.captionColor));
            painter.drawText(r, Qt::AlignCenter, QStringLiteral("X"));
        }
    }
}

void CellView::mousePressEvent(QMouseEvent* event) {
    const int button = ButtonBits(event->button());
    // The first button down decides who holds the mouse until every button is up again.
    if (event->buttons() == event->button()) {
        captureBar_ = BarAt(event->position());
        captureOnPanel_ = captureBar_ == 0;
    }
    if (captureBar_ != 0) emit BarMouseDown(captureBar_, button);
}

void CellView::mouseDoubleClickEvent(QMouseEvent* event) {
    // A quick second click is a click like any other.
    mousePressEvent(event);
}

void CellView::mouseMoveEvent(QMouseEvent* event) {
    const int buttons = ButtonBits(event->buttons());
    if (buttons != 0 && (captureBar_ != 0 || captureOnPanel_)) {
        if (captureBar_ != 0)
            emit BarMouseMove(captureBar_, buttons);
        else
            emit PanelMouseMove(buttons);
        return;
    }
    const int index = BarAt(event->position());
    if (index != 0)
        emit BarMouseMove(index, buttons);
    else
        emit PanelMouseMove(buttons);
}

void CellView::mouseReleaseEvent(QMouseEvent* event) {
    const int button = ButtonBits(event->button());
    const int bar = captureBar_;
    const bool onPanel = captureOnPanel_;
    if (event->buttons() == Qt::NoButton) {
        captureBar_ = 0;
        captureOnPanel_ = false;
    }
    if (bar != 0) {
        emit BarMouseUp(bar, button);
        // The click follows the release, and only when the left button is released over the
        // pressed bar.
        if (event->button() == Qt::LeftButton && BarAt(event->position()) == bar)
            emit BarClick(bar);
    } else if (onPanel || BarAt(event->position()) == 0) {
        emit PanelMouseUp(button);
    }
}

bool CellView::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        const int index = BarAt(help->pos());
        const std::string_view hint = index != 0 ? model_.HintText(index) : std::string_view{};
        if (hint.empty()) {
            QToolTip::hideText();
            event->ignore();
        } else {
            QToolTip::showText(help->globalPos(),
                               QString::fromUtf8(hint.data(), static_cast<qsizetype>(hint.size())),
                               this, BarRect(index));
        }
        return true;
    }
    return QWidget::event(event);
}

} // namespace mosaiq
