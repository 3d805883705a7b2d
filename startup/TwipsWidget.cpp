#include "TwipsWidget.h"
#include "Twips.h"

namespace mosaiq {

void TwipsWidget::SetLeft(double twips) {
    left_ = twips;
    Place();
}

void TwipsWidget::SetTop(double twips) {
    top_ = twips;
    Place();
}

void TwipsWidget::SetWidth(double twips) {
    width_ = twips;
    Place();
}

void TwipsWidget::SetHeight(double twips) {
    height_ = twips;
    Place();
}

void TwipsWidget::Place() {
    setGeometry(TwipsRect(*this, left_, top_, width_, height_));
}

} // namespace mosaiq
