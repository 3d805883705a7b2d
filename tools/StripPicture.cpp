#include "StripPicture.h"

#include "GridGeometry.h"

#ifndef MOSAIQ_NO_PNG
#include <png.h>
#endif

#include <algorithm>
#include <array>
#include <cerrno>
#include <string_view>
#include <system_error>

namespace mosaiq {

namespace {

// The caption "X" as the grid's bold 8-point font draws it at 96 dpi, centred on its bar. A
// picture needs no font of its own this way, and looks the same wherever it is made.
constexpr std::array<std::string_view, 8> kGlyphX = {
    "##...##", //
    "##...##", //
    ".##.##.", //
    "..###..", //
    "..###..", //
    ".##.##.", //
    "##...##", //
    "##...##", //
};
constexpr int kGlyphWidth = static_cast<int>(kGlyphX[0].size());
constexpr int kGlyphHeight = static_cast<int>(kGlyphX.size());

// The editor's design-mode layout at its designed client size, drawn at the designed dpi.
using P = EditorPlaces;
constexpr double kPixelsPerTwip = kDesignDpi / kTwipsPerInch;
const double kPanelWidth = P::PanelWidthFor(P::kDesignClientWidth);
const double kPanelHeight = P::PanelHeightFor(P::kDesignClientHeight);

} // namespace

StripPicture::StripPicture(const BarModel& bars, int scale)
    : width_(TwipsToPixels(kPanelWidth, kDesignDpi) * scale),
      height_(TwipsToPixels(kPanelHeight, kDesignDpi) * scale),
      rgb_(static_cast<std::size_t>(width_) * height_ * 3, 0) {
    const GridLayout grid = GridLayout::For(kPanelWidth, kPanelHeight, false);
    for (int i = 1; i <= kCellCount; ++i) {
        const Bar& bar = bars.At(i);
        const PixelRect r = grid.BarPixels(i, kPixelsPerTwip, kPixelsPerTwip);
        Fill(r.left * scale, r.top * scale, r.right * scale, r.bottom * scale, bar.fill);
        if (bar.caption != BarCaption::X) continue;
        // Centred in design pixels, and cut to the bar should the bar be the smaller.
        const int left = r.left + (r.right - r.left - kGlyphWidth) / 2;
        const int top = r.top + (r.bottom - r.top - kGlyphHeight) / 2;
        for (int y = std::max(top, r.top); y < std::min(top + kGlyphHeight, r.bottom); ++y)
            for (int x = std::max(left, r.left); x < std::min(left + kGlyphWidth, r.right); ++x)
                if (kGlyphX[y - top][x - left] == '#')
                    Fill(x * scale, y * scale, (x + 1) * scale, (y + 1) * scale, bar.captionColor);
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
