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
    // Position and size are converted on their own, as the window system snaps each to pixels.
    const double dx = logicalDpiX();
    const double dy = logicalDpiY();
    setGeometry(TwipsToPixels(left_, dx), TwipsToPixels(top_, dy), TwipsToPixels(width_, dx),
                TwipsToPixels(height_, dy));
}

} // namespace mosaiq
