#pragma once

#include "BarModel.h"
#include "FileStatus.h"

#include <cstdint>
#include <cstdio>
#include <vector>

namespace mosaiq {

// The bars as the editor's grid shows them in design mode at the designed window size: 32 x 32
// bars in their fill colours on the black frame, a black line between every two neighbours, and
// an "X" caption in its caption colour, drawn from a built-in bold glyph about the size of the
// grid's font. One pixel is 15 twips, as on a 96 dpi screen; a scale of N (1 to 8) draws every
// such pixel as N x N.
class StripPicture {
public:
    StripPicture(const BarModel& bars, int scale);

    int Width() const { return width_; }
    int Height() const { return height_; }

    // Writes the picture as an 8-bit RGB PNG to `out`, which stays open.
    FileStatus WritePng(std::FILE* out) const;

private:
    void Fill(int left, int top, int right, int bottom, Color color);

    int width_;
    int height_;
    std::vector<std::uint8_t> rgb_; // three bytes a pixel, rows top to bottom
};

} // namespace mosaiq
