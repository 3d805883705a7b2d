#pragma once

#include "StripFormat.h"

#include <cstdint>
#include <cstdio>
#include <vector>

namespace mosaiq {

// The strip as the editor's grid shows it in design mode at the designed window size: 32 x 32
// bars in the editing colours on the black frame, a black line between every two neighbours, and
// the bar under X outlined in red. One pixel is 15 twips, as on a 96 dpi screen; a scale of N
// (1 to 8) draws every such pixel as N x N.
class StripPicture {
public:
    StripPicture(const StripCodes& codes, int xCell, int scale);

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
