#include "CellView.h"
#include "BgrColor.h"
#include "Twips.h"

#include <QHelpEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QToolTip>

#include <algorithm>

namespace mosaiq {

namespace {
// One display frame. Changes wait at most this long before they are drawn.
constexpr int kFrameMs = 16;

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
    if (!frameTimer_.isActive()) frameTimer_.start(kFrameMs);
}

void CellView::BarChanged(int index) {
    dirty_[index] = true;
    anyDirty_ = true;
    if (!frameTimer_.isActive()) frameTimer_.start(kFrameMs);
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

QRect CellView::BarRect(int index) const {
    const Bar& bar = model_.At(index);
    return TwipsRect(*this, bar.left, bar.top, bar.width, bar.height);
}

int CellView::BarAt(QPoint pos) const {
    // Every bar has the same size and pitch, so the grid's arithmetic names the bar under a point
    // up to a pixel of rounding; the drawn pixels of that guess and its neighbours settle it.
    // Later bars lie on top of earlier ones where a layout makes them overlap.
    constexpr int side = 32;
    const Bar& first = model_.At(1);
    if (!first.visible) return 0;
    const int pitchX = model_.At(2).left - first.left;
    const int pitchY = model_.At(side + 1).top - first.top;
    if (pitchX <= 0 || pitchY <= 0) return 0;
    const int column = static_cast<int>(PixelsToTwips(pos.x(), logicalDpiX()) / pitchX);
    const int row = static_cast<int>(PixelsToTwips(pos.y(), logicalDpiY()) / pitchY);
    for (int r = std::min(row + 1, side - 1); r >= std::max(row - 1, 0); --r)
        for (int c = std::min(column + 1, side - 1); c >= std::max(column - 1, 0); --c)
            if (const int i = r * side + c + 1; BarRect(i).contains(pos)) return i;
    return 0;
}

void CellView::paintEvent(QPaintEvent* event) {
    ++paintCount_;
    QPainter painter(this);
    const QRect area = event->rect();
    painter.fillRect(area, BgrToQColor(panelColor_));
    for (int i = 1; i <= kCellCount; ++i) {
        const Bar& bar = model_.At(i);
        if (!bar.visible) continue;
        const QRect r = BarRect(i);
        if (!r.intersects(area) || r.isEmpty()) continue;
        painter.fillRect(r, BgrToQColor(bar.fill));
        if (bar.border) {
            painter.setPen(Qt::black);
            painter.drawRect(r.adjusted(0, 0, -1, -1));
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
        captureBar_ = BarAt(event->position().toPoint());
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
    const int index = BarAt(event->position().toPoint());
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
        if (event->button() == Qt::LeftButton && BarAt(event->position().toPoint()) == bar)
            emit BarClick(bar);
    } else if (onPanel || BarAt(event->position().toPoint()) == 0) {
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
