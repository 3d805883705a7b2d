#include "BarModel.h"

namespace mosaiq {

void BarModel::SetGeometry(int i, int left, int top, int width, int height) {
    Bar& bar = bars_[i];
    if (bar.left == left && bar.top == top && bar.width == width && bar.height == height) return;
    // The old place must be repainted as well as the new one.
    if (observer_ && bar.visible) observer_(i);
    bar.left = left;
    bar.top = top;
    bar.width = width;
    bar.height = height;
    if (observer_) observer_(i);
}

} // namespace mosaiq
