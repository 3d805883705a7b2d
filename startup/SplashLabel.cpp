#include "SplashLabel.h"
#include "BgrColor.h"
#include "Twips.h"

#include <QPaintEvent>
#include <QPainter>

namespace mosaiq {

SplashLabel::SplashLabel(QWidget* parent) : TwipsWidget(parent) {
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
