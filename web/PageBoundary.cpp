// The boundary between the page's script and the editor: a plain C interface. Events go in through
// mq_post, which only queues them, so that every handler runs on the editor's own stack and a
// run waiting for the browser is never entered a second time. What the page draws comes out
// through the readers below, each of which fills a small record of whole numbers and returns
// where it lies; the page may call them at any time, also while a run waits.

#include "Appearance.h"
#include "PageView.h"
#include "StripFormat.h"
#include "StripLink.h"

#include <emscripten.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>

using namespace mosaiq;

namespace {
PageView* page = nullptr;

// One record, reused by every reader: the page copies what it needs before the next call.
std::array<std::int32_t, 16> record{};
std::vector<int> dirty;

std::int32_t* Fill(std::initializer_list<std::int32_t> values) {
    record.fill(0);
    std::copy(values.begin(), values.end(), record.begin());
    return record.data();
}

std::int32_t* Rect(const PixelRect& r, std::initializer_list<std::int32_t> more) {
    record.fill(0);
    record[0] = r.left;
    record[1] = r.top;
    record[2] = r.right;
    record[3] = r.bottom;
    std::copy(more.begin(), more.end(), record.begin() + 4);
    return record.data();
}

std::int32_t Colour(Color c) {
    return static_cast<std::int32_t>(c);
}

// The fonts the page asks for by number: the splash's labels, then the bars' X, then the status
// line.
constexpr int kBarFontIndex = kSplashLabelCount;
constexpr int kStatusFontIndex = kSplashLabelCount + 1;

const FontFace& FaceAt(int index) {
    if (index == kBarFontIndex) return kBarFont;
    if (index == kStatusFontIndex) return kStatusFont;
    return SplashPlaces::kLabelFonts[static_cast<std::size_t>(std::clamp(index, 0, 2))];
}
} // namespace

extern "C" {

EMSCRIPTEN_KEEPALIVE void mq_post(int kind, double a, double b, double c, double d) {
    if (page) page->Post({kind, a, b, c, d});
}

// [canvas width, height, window colour, splash shown]
EMSCRIPTEN_KEEPALIVE std::int32_t* mq_canvas() {
    return Fill(
        {page->CanvasWidth(), page->CanvasHeight(), Colour(kWindowColor), page->SplashShown()});
}

// [left, top, right, bottom, colour]
EMSCRIPTEN_KEEPALIVE std::int32_t* mq_panel() {
    return Rect(page->PanelPixels(), {Colour(page->Form.PanelColor)});
}

// [left, top, right, bottom, fill, border]
EMSCRIPTEN_KEEPALIVE std::int32_t* mq_palette(int index) {
    const PaletteEntry& entry = page->Form.lColor[static_cast<std::size_t>(index & 7)];
    return Rect(page->PalettePixels(index & 7), {Colour(entry.Fill), entry.Border});
}

// [left, top, right, bottom, fill, caption colour, border, caption X]; an empty rectangle for a
// bar that is hidden.
EMSCRIPTEN_KEEPALIVE std::int32_t* mq_bar(int index) {
    if (index < 1 || index > kCellCount) return Fill({});
    const Bar& bar = page->Form.Bars.At(index);
    return Rect(page->BarPixels(index), {Colour(bar.fill), Colour(bar.captionColor), bar.border,
                                         bar.caption == BarCaption::X});
}

// The bars to draw again: their count, or -1 for everything. Their indices follow through
// mq_dirty_list.
EMSCRIPTEN_KEEPALIVE int mq_take_dirty() {
    return page->TakeDirty(dirty) ? -1 : static_cast<int>(dirty.size());
}
EMSCRIPTEN_KEEPALIVE const int* mq_dirty_list() {
    return dirty.data();
}

// [left, top, right, bottom, background, tile colour, tiles]
EMSCRIPTEN_KEEPALIVE std::int32_t* mq_splash() {
    return Rect(page->SplashPixels(),
                {Colour(SplashPlaces::kPanelBack), Colour(page->TileColor()), page->TileCount()});
}

// [left, top, right, bottom] of tile 1 and up
EMSCRIPTEN_KEEPALIVE std::int32_t* mq_splash_tile(int index) {
    if (index < 1 || index > page->TileCount()) return Fill({});
    return Rect(page->TilePixels(index), {});
}

// [left, top, right, bottom, background, text colour] of the title (0), the credit (1) and the
// tagline (2)
EMSCRIPTEN_KEEPALIVE std::int32_t* mq_splash_label(int index) {
    return Rect(page->SplashLabelPixels(std::clamp(index, 0, kSplashLabelCount - 1)),
                {Colour(SplashPlaces::kLabelBack), Colour(SplashPlaces::kLabelText)});
}

EMSCRIPTEN_KEEPALIVE const char* mq_splash_text(int index) {
    static std::string text;
    text = SplashPlaces::LabelText(index, page->Form.AppTitle);
    return text.c_str();
}

// Font `index` (the splash's labels 0 to 2, the bars' X 3, the status line 4) as CSS takes it,
// sized in the canvas's device pixels or, for `device` 0, in CSS pixels.
EMSCRIPTEN_KEEPALIVE const char* mq_font(int index, int device) {
    static std::string font;
    const FontFace& face = FaceAt(index);
    font = std::string(face.bold ? "bold " : "") +
           std::to_string(face.points * page->PixelsPerPoint(device != 0)) + "px \"" +
           std::string(face.family) + "\", sans-serif";
    return font.c_str();
}

// Leaving the page asks first when the strip holds content.
EMSCRIPTEN_KEEPALIVE int mq_holds_content() {
    return page && page->Form.HoldsContent();
}

// How much of a chosen file the reader may take: one byte past its limit tells it the file is
// larger still.
EMSCRIPTEN_KEEPALIVE double mq_read_limit() {
    return static_cast<double>(kProgramFileLimit + 1);
}

// No address's fragment that is longer holds a program.
EMSCRIPTEN_KEEPALIVE int mq_link_limit() {
    return static_cast<int>(kLinkMaxLength);
}

} // extern "C"

// The page passes the address's fragment, refused at once when it is too long to be a link.
int main(int argc, char** argv) {
    static PageView view;
    page = &view;
    view.Main(argc > 1 ? argv[1] : "");
}
