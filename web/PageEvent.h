#pragma once

namespace mosaiq {

// One event of the page, as its script posts it. Positions are device pixels of the canvas;
// buttons are bit values (1 left, 2 right, 4 middle): `button` the one that changed, `buttons`
// those held afterwards.
struct PageEvent {
    enum Kind : int {
        Resize = 1,      // a: client width, b: client height (CSS pixels), c: device pixel ratio
        PointerDown = 2, // a: x, b: y, c: button, d: buttons
        PointerMove = 3, // a: x, b: y, d: buttons
        PointerUp = 4,   // a: x, b: y, c: button, d: buttons
        SliderMove = 5,  // a: the pace slider's rung, slowest first
        SliderHover = 6, // the pointer is over the slider, on the window's background
        MenuClosed = 7,  // a: the item chosen (0 Load ... 5 Close Menu), or -1 for none
        Answer = 8,      // a: the question, b: the answer (1 yes or OK, 0 no or Cancel)
        SplashPainted = 9,
    };
    int kind = 0;
    double a = 0;
    double b = 0;
    double c = 0;
    double d = 0;
};

} // namespace mosaiq
