#pragma once

#include "Codes.h"

#include <QColor>

namespace mosaiq {

// The program keeps colours in blue-green-red order; the window system takes red, green, blue.
inline QColor BgrToQColor(Color bgr) {
    return QColor(static_cast<int>(bgr & 0xFF), static_cast<int>((bgr >> 8) & 0xFF),
                  static_cast<int>((bgr >> 16) & 0xFF));
}

} // namespace mosaiq
