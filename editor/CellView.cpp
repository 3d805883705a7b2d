#include "CellView.h"
#include "BgrColor.h"
#include "Pacer.h"
#include "Twips.h"

#include <QHelpEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QToolTip>

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace mosaiq {

namespace {
// One display frame, the one a paced run keeps to. Changes wait at most this long to be drawn.
constexpr auto kFrame = std::chrono::duration_cast<std::chrono::milliseconds>(Pacer::kFrame);

int ButtonBits(Qt::MouseButtons buttons) {
    return static_cast<int>(buttons & 0x7);
}
} // namespace

CellView::CellView(BarModel& model, QWidget* parent) : QWidget(parent), model_(model) {
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(8.25);
    font.setBold(true);
    setFont(font);
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
    if (panelDirty_) {
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

QRect CellView::DeviceBarRect(int index) const {
    const Bar& bar = model_.At(index);
    // The gap is the same across and down: the pitch less the bar's width.
    const Bar& next = model_.At(index % 32 ? index + 1 : index - 1);
    const int gap = std::abs(next.left - bar.left) - bar.width;
    const double ratio = devicePixelRatioF();
    const PixelSpan x = BarSpan(bar.left, bar.width, gap, logicalDpiX() * ratio / kTwipsPerInch);
    const PixelSpan y = BarSpan(bar.top, bar.height, gap, logicalDpiY() * ratio / kTwipsPerInch);
    return QRect(x.first, y.first, x.end - x.first, y.end - y.first);
}

QRect CellView::BarRect(int index) const {
    const QRect device = DeviceBarRect(index);
    const double ratio = devicePixelRatioF();
    return QRectF(device.x() / ratio, device.y() / ratio, device.width() / ratio,
                  device.height() / ratio)
        .toAlignedRect();
}

int CellView::BarAt(QPointF pos) const {
    // Every bar has the same size and pitch, so the grid's arithmetic names the bar under a point
    // up to a pixel of rounding; the drawn pixels of that guess and its neighbours settle it.
    constexpr int side = 32;
    const Bar& first = model_.At(1);
    if (!first.visible) return 0;
    const int pitchX = model_.At(2).left - first.left;
    const int pitchY = model_.At(side + 1).top - first.top;
    if (pitchX <= 0 || pitchY <= 0) return 0;
    const double ratio = devicePixelRatioF();
    const QPoint device(static_cast<int>(std::floor(pos.x() * ratio)),
                        static_cast<int>(std::floor(pos.y() * ratio)));
    const int column = static_cast<int>(PixelsToTwips(pos.x(), logicalDpiX()) / pitchX);
    const int row = static_cast<int>(PixelsToTwips(pos.y(), logicalDpiY()) / pitchY);
    for (int r = std::min(row + 1, side - 1); r >= std::max(row - 1, 0); --r)
        for (int c = std::min(column + 1, side - 1); c >= std::max(column - 1, 0); --c)
            if (const int i = r * side + c + 1; DeviceBarRect(i).contains(device)) return i;
    return 0;
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
