#pragma once

// What the editor's windows look like beyond where things stand (GridGeometry.h): the colours and
// fonts every front end draws with, so that a page and a desktop window show the same.

#include "Codes.h"

#include <string_view>

namespace mosaiq {

// A font as the windows name it: a family, a size in points (1/72 of a logical inch) and a weight.
struct FontFace {
    std::string_view family;
    double points = 0;
    bool bold = false;
};

// The editor window's own background, behind the palette and the slider.
inline constexpr Color kWindowColor = 0x808080;
// The X marker on a bar.
inline constexpr FontFace kBarFont{"MS Sans Serif", 8.25, true};
// The status line: the dialog font of the bars' era, at a size whose line fits the 240-twip strip
// at any resolution (8.25 points are 165 twips).
inline constexpr FontFace kStatusFont{"MS Sans Serif", 8.25, false};

} // namespace mosaiq
