#include "SplashPanel.h"
#include "BgrColor.h"
#include "Twips.h"

#include <QPaintEvent>
#include <QPainter>

namespace mosaiq {

SplashPanel::SplashPanel(QWidget* parent) : TwipsWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    Bar.push_back(SplashTile{}); // element 0, hidden, as designed
}

void SplashPanel::AddTile() {
    SplashTile copy = Bar.front();
    copy.visible = false;
    Bar.push_back(copy);
}

QRect SplashPanel::TilePixels(int index) const {
    const TileRect& r = Bar.at(static_cast<std::size_t>(index)).rect;
    return TwipsRect(*this, r.left, r.top, r.width, r.height);
}

void SplashPanel::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    const QRect area = event->rect();
    painter.fillRect(area, BgrToQColor(kBackColor));
    for (std::size_t i = 1; i < Bar.size(); ++i) {
        if (!Bar[i].visible) continue;
        const QRect r = TilePixels(static_cast<int>(i));
        if (r.intersects(area)) painter.fillRect(r, BgrToQColor(Bar[i].fill));
    }
    painter.end();
    emit Painted();
}

} // namespace mosaiq
