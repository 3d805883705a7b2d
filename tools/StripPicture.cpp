#include "StripPicture.h"

#include "GridGeometry.h"

#ifndef MOSAIQ_NO_PNG
#include <png.h>
#endif

#include <algorithm>
#include <array>
#include <cerrno>
#include <system_error>

namespace mosaiq {

namespace {

constexpr Color kOutline = kRed;

// The editor's design-mode layout at its designed client size, drawn at the designed dpi.
using P = EditorPlaces;
constexpr double kPixelsPerTwip = kDesignDpi / kTwipsPerInch;
const double kPanelWidth = P::PanelWidthFor(P::kDesignClientWidth);
const double kPanelHeight = P::PanelHeightFor(P::kDesignClientHeight);

} // namespace

StripPicture::StripPicture(const StripCodes& codes, int xCell, int scale)
    : width_(TwipsToPixels(kPanelWidth, kDesignDpi) * scale),
      height_(TwipsToPixels(kPanelHeight, kDesignDpi) * scale),
      rgb_(static_cast<std::size_t>(width_) * height_ * 3, 0) {
    const GridLayout grid = GridLayout::For(kPanelWidth, kPanelHeight, false);
    for (int i = 0; i < kCellCount; ++i) {
        const PixelRect bar = grid.BarPixels(i + 1, kPixelsPerTwip, kPixelsPerTwip);
        const int left = bar.left * scale;
        const int top = bar.top * scale;
        const int right = bar.right * scale;
        const int bottom = bar.bottom * scale;
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
#ifdef MOSAIQ_NO_PNG
    (void)out;
    return {false, "this build of the runner draws no pictures"};
#else
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
#endif
}

} // namespace mosaiq
