#include "PaletteLabel.h"
#include "BgrColor.h"

#include <QMouseEvent>
#include <QPainter>

namespace mosaiq {

PaletteLabel::PaletteLabel(int index, QWidget* parent) : QWidget(parent), index_(index) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void PaletteLabel::Show(Color fill, bool border) {
    if (fill == fill_ && border == border_) return;
    fill_ = fill;
    border_ = border;
    update();
}

void PaletteLabel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), BgrToQColor(fill_));
    if (!border_) return;
    painter.setPen(Qt::black);
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

void PaletteLabel::mousePressEvent(QMouseEvent* event) {
    // Like every click in the editor, a palette click is the left button's.
    pressed_ = event->button() == Qt::LeftButton && event->buttons() == Qt::LeftButton;
}

void PaletteLabel::mouseReleaseEvent(QMouseEvent* event) {
    const bool click = pressed_ && event->button() == Qt::LeftButton &&
                       rect().contains(event->position().toPoint());
    if (event->buttons() == Qt::NoButton) pressed_ = false;
    if (click) emit Click(index_);
}

} // namespace mosaiq
