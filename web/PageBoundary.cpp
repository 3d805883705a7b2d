// The boundary between the page's script and the editor: a plain C interface. Events go in through
// mq_post, which only queues them, so that every handler runs on the editor's own stack and a
// run waiting for the browser is never entered a second time. What the page draws comes out
// through the readers below, each of which fills a small record of whole numbers and returns
// where it lies; the page may call them at any time, also while a run waits.

#include "PageView.h"
#include "StripFormat.h"
#include "StripLink.h"

#include <emscripten.h>

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
                {Colour(0xE0E0E0), Colour(page->TileColor()), page->TileCount()});
}

// [left, top, right, bottom] of tile 1 and up
EMSCRIPTEN_KEEPALIVE std::int32_t* mq_splash_tile(int index) {
    if (index < 1 || index > page->TileCount()) return Fill({});
    return Rect(page->TilePixels(index), {});
}

// [left, top, right, bottom, background, text colour] of the title (0), the credit (1) and the
// tagline (2)
EMSCRIPTEN_KEEPALIVE std::int32_t* mq_splash_label(int index) {
    const PixelRect s = page->SplashPixels();
    const int tops[] = {1560, 1560 + 615, 1560 + 615 + 495, 1560 + 615 + 495 + 495};
    const int i = index % 3;
    return Rect({s.right - page->Pixels(3375), s.top + page->Pixels(tops[i]), s.right,
                 s.top + page->Pixels(tops[i + 1])},
                {Colour(0x000000), Colour(0xE0E0E0)});
}

EMSCRIPTEN_KEEPALIVE const char* mq_splash_text(int index) {
    static std::string text;
    const char* texts[] = {"", "by the Mosaiq makers ", "programs you paint, cell by cell "};
    text = index == 0 ? page->Form.AppTitle + " " : texts[index % 3];
    if (index == 0) text = "Mosaiq ";
    return text.c_str();
}

// A CSS font for the canvas, sized in device pixels.
EMSCRIPTEN_KEEPALIVE const char* mq_splash_font(int index) {
    static std::string font;
    const double points[] = {18, 12, 9.75};
    font = std::string(index == 2 ? "" : "bold ") +
           std::to_string(points[index % 3] * 96 / 72 * page->PixelsPerTwip() * 15) +
           "px Arial, sans-serif";
    return font.c_str();
}

EMSCRIPTEN_KEEPALIVE const char* mq_bar_font() {
    static std::string font;
    font = "bold " + std::to_string(8.25 * 96 / 72 * page->PixelsPerTwip() * 15) +
           "px \"MS Sans Serif\", sans-serif";
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
