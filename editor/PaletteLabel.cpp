#include "PaletteLabel.h"
#include "BgrColor.h"

#include <QMouseEvent>
#include <QPainter>

namespace mosaiq {

PaletteLabel::PaletteLabel(int index, QWidget* parent) : QWidget(parent), index_(index) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void PaletteLabel::SetFill(Color color) {
    if (color == fill_) return;
    fill_ = color;
    update();
}

void PaletteLabel::SetBorder(bool on) {
    if (on == border_) return;
    border_ = on;
    update();
}

void PaletteLabel::SetCaption(const QString& caption) {
    if (caption == caption_) return;
    caption_ = caption;
    update();
}

void PaletteLabel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), BgrToQColor(fill_));
    painter.setPen(Qt::black);
    if (!caption_.isEmpty()) painter.drawText(rect(), Qt::AlignCenter, caption_);
    if (border_) painter.drawRect(rect().adjusted(0, 0, -1, -1));
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
