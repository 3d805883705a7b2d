#include "SplashLabel.h"
#include "BgrColor.h"
#include "Twips.h"

#include <QPaintEvent>
#include <QPainter>

namespace mosaiq {

SplashLabel::SplashLabel(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void SplashLabel::SetCaption(const QString& caption) {
    caption_ = caption;
    update();
}

void SplashLabel::SetColors(Color back, Color fore) {
    backColor_ = back;
    foreColor_ = fore;
    update();
}

void SplashLabel::SetLeft(double twips) {
    left_ = twips;
    Place();
}

void SplashLabel::SetTop(double twips) {
    top_ = twips;
    Place();
}

void SplashLabel::SetWidth(double twips) {
    width_ = twips;
    Place();
}

void SplashLabel::SetHeight(double twips) {
    height_ = twips;
    Place();
}

void SplashLabel::Place() {
    // Position and size are converted on their own, as the window system snaps each to pixels.
    const double dx = logicalDpiX();
    const double dy = logicalDpiY();
    setGeometry(TwipsToPixels(left_, dx), TwipsToPixels(top_, dy), TwipsToPixels(width_, dx),
                TwipsToPixels(height_, dy));
}

void SplashLabel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), BgrToQColor(backColor_));
    painter.setPen(BgrToQColor(foreColor_));
    painter.setFont(font());
    painter.drawText(
        rect(), Qt::AlignRight | Qt::AlignTop | Qt::TextWordWrap | Qt::TextIncludeTrailingSpaces,
        caption_);
}

} // namespace mosaiq
