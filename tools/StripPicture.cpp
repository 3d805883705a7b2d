#include "StripPicture.h"

#include <png.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <system_error>

namespace mosaiq {

namespace {

// Positive num / den, rounded to the nearest whole number and halves to the even one, as the
// editor rounds its layout.
constexpr int RoundDiv(int num, int den) {
    int q = num / den;
    const int twice = 2 * (num % den);
    if (twice > den || (twice == den && q % 2 != 0)) ++q;
    return q;
}

// The editor's design-mode layout at its designed client size of 10635 x 7905 twips: the frame
// leaves room for the palette beside it and a margin below, the gap is 4 percent of a column.
constexpr int kTwipsPerPixel = 15;
constexpr int kFrameWidth = 10635 - 1065;
constexpr int kFrameHeight = 7905 - 360;
constexpr int kGrid = 32;
constexpr int kGap = RoundDiv(kFrameWidth * 4, kGrid * 100);
constexpr int kBarWidth = RoundDiv(kFrameWidth - kGrid * kGap, kGrid);
constexpr int kBarHeight = RoundDiv(kFrameHeight - kGrid * kGap, kGrid);
constexpr Color kOutline = kRed;

struct Span {
    int first; // first pixel of a bar
    int end;   // one past its last pixel
};

// The bars' pixel spans along one axis. Each edge is rounded from twips on its own; where that
// leaves two bars touching, the first gives up its last pixel so that the frame shows between them.
constexpr std::array<Span, kGrid> Spans(int bar) {
    std::array<Span, kGrid> spans{};
    for (int k = 0; k < kGrid; ++k) {
        const int left = (bar + kGap) * k;
        spans[k] = {RoundDiv(left, kTwipsPerPixel), RoundDiv(left + bar, kTwipsPerPixel)};
    }
    for (int k = 0; k + 1 < kGrid; ++k)
        spans[k].end = std::min(spans[k].end, spans[k + 1].first - 1);
    return spans;
}
constexpr auto kColumns = Spans(kBarWidth);
constexpr auto kRows = Spans(kBarHeight);

} // namespace

StripPicture::StripPicture(const StripCodes& codes, int xCell, int scale)
    : width_(RoundDiv(kFrameWidth, kTwipsPerPixel) * scale),
      height_(RoundDiv(kFrameHeight, kTwipsPerPixel) * scale),
      rgb_(static_cast<std::size_t>(width_) * height_ * 3, 0) {
    for (int i = 0; i < kCellCount; ++i) {
        const Span column = kColumns[i % kGrid];
        const Span row = kRows[i / kGrid];
        const int left = column.first * scale;
        const int top = row.first * scale;
        const int right = column.end * scale;
        const int bottom = row.end * scale;
        Fill(left, top, right, bottom, EditColor(codes[i]));
        if (i + 1 != xCell) continue;
        Fill(left, top, right, top + scale, kOutline);
        Fill(left, bottom - scale, right, bottom, kOutline);
        Fill(left, top, left + scale, bottom, kOutline);
        Fill(right - scale, top, right, bottom, kOutline);
    }
}

void StripPicture::Fill(int left, int top, int right, int bottom, Color color) {
    // Blue-green-red in the colour, red-green-blue in the picture.
    const std::array<std::uint8_t, 3> pixel = {static_cast<std::uint8_t>(color),
                                               static_cast<std::uint8_t>(color >> 8),
                                               static_cast<std::uint8_t>(color >> 16)};
    for (int y = top; y < bottom; ++y) {
        auto* p = rgb_.data() + (static_cast<std::size_t>(y) * width_ + left) * 3;
        for (int x = left; x < right; ++x, p += 3)
            std::copy(pixel.begin(), pixel.end(), p);
    }
}

FileStatus StripPicture::WritePng(std::FILE* out) const {
    // The picture is made in memory and written by this program, so that a failing write gives
    // the system's own reason, not the library's "Write Error".
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(width_);
    image.height = static_cast<png_uint_32>(height_);
    image.format = PNG_FORMAT_RGB;
    png_alloc_size_t size = 0;
    std::vector<std::uint8_t> png;
    for (int pass = 0; pass < 2; ++pass) { // the first pass only measures
        png.resize(size);
        if (!png_image_write_to_memory(&image, pass == 0 ? nullptr : png.data(), &size, 0,
                                       rgb_.data(), 0, nullptr)) {
            FileStatus failed{false, image.message};
            png_image_free(&image);
            return failed;
        }
    }
    errno = 0;
    if (std::fwrite(png.data(), 1, size, out) != size)
        return fileio::ErrnoFailure(errno, std::errc::io_error);
    return {};
}

} // namespace mosaiq
