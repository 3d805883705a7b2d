#include "PageView.h"
#include "FileCommands.h"
#include "StartupSteps.h"
#include "StripFile.h"
#include "StripLink.h"

#include <emscripten.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace mosaiq {

// The page's side of the boundary: what this view tells the page. Module.page is the page's own
// object (see page/main.js); strings cross as UTF-8.
// clang-format off
EM_ASYNC_JS(void, page_wait, (double ms), { await Module.page.wait(ms); });
EM_JS(void, page_title, (const char* text), { Module.page.title(UTF8ToString(text)); });
EM_JS(void, page_status, (const char* text), { Module.page.status(UTF8ToString(text)); });
EM_JS(void, page_hint, (const char* text), { Module.page.hint(UTF8ToString(text)); });
EM_JS(void, page_place, (int what, double left, double top, double width, double height, int shown), {
    Module.page.place(what, left, top, width, height, shown !== 0);
});
EM_JS(void, page_pace, (int rung, int rungs, const char* text), {
    Module.page.pace(rung, rungs, UTF8ToString(text));
});
EM_JS(void, page_menu, (double x, double y, const char* captions, int enabled), {
    Module.page.menu(x, y, UTF8ToString(captions).split("\n"), enabled);
});
EM_JS(void, page_ask, (int id, int kind, const char* title, const char* text), {
    Module.page.ask(id, kind, UTF8ToString(title), UTF8ToString(text));
});
EM_JS(void, page_choose, (int id, int save, const char* name, const char* accept, const char* into), {
    Module.page.choose(id, save !== 0, UTF8ToString(name), UTF8ToString(accept), UTF8ToString(into));
});
EM_JS(char*, page_answer_text, (), {
    const text = Module.page.answerText || "";
    const size = lengthBytesUTF8(text) + 1;
    const at = _malloc(size);
    stringToUTF8(text, at, size);
    return at;
});
EM_JS(void, page_deliver, (int id, const char* bytes, int size, const char* name), {
    Module.page.deliver(id, size < 0 ? null : HEAPU8.slice(bytes, bytes + size), UTF8ToString(name));
});
EM_JS(void, page_link, (const char* link), { Module.page.link(UTF8ToString(link)); });
EM_JS(void, page_show, (int what), { Module.page.show(what); });
// clang-format on

namespace {
namespace fs = std::filesystem;

// Where the page's files live in the program's own file system while a command reads or writes
// them; the current folder, so that a file's name is its path.
constexpr const char* kFilesFolder = "/files";
constexpr const char* kPickedFile = "/files/.picked";
constexpr std::string_view kUnnamed = "program.mq";

// A run goes this long at most between two turns of the browser's own loop, in which it draws
// and delivers input: a few turns a frame.
constexpr auto kYieldSlice = std::chrono::milliseconds(4);
constexpr int kYieldsPerClockRead = 16;
constexpr auto kStatusFrame = Pacer::kFrame;

enum Placed { kSlider = 0, kStatusLine = 1 };
enum Shown { kShowSplash = 0, kShowEditor = 1 };
enum AskKind { kYesNo = 0, kOkCancel = 1, kInform = 2 };

constexpr int kLeft = 1;

std::string Text(std::string_view text) {
    return std::string(text);
}

// A name the browser gave a file, usable as a file name here.
std::string UsableName(std::string name) {
    if (name.empty() || name == "." || name == ".." || name.find('/') != std::string::npos ||
        name.find('\0') != std::string::npos)
        return std::string(kUnnamed);
    return name;
}

// The pattern of a "description|pattern" filter, as a browser's picker takes it: "*.mq" is ".mq".
std::string Accept(const std::string& filter) {
    std::string pattern = filter.substr(std::min(filter.size(), filter.find('|') + 1));
    if (pattern.starts_with('*')) pattern.erase(0, 1);
    return pattern;
}
} // namespace

PageView::PageView() : dirty_(kCellCount + 1, 0) {
    Form.Bars.SetObserver([this](int index) { dirty_[static_cast<std::size_t>(index)] = 1; });
    Form.OneShot.SetObserver([this] {
        if (Form.OneShot.Counting())
            oneShotDue_ = Now() + std::chrono::milliseconds(Form.OneShot.Interval());
        else
            oneShotDue_.reset();
    });
    std::error_code ec;
    fs::create_directories(kFilesFolder, ec);
    fs::current_path(kFilesFolder, ec);
}

// ---- Start-up and the loop ----------------------------------------------------------------------

void PageView::Main(const std::string& link) {
    const ChooserPlaces nowhere; // a page has no folders to offer
    Form.mnuLoad_Click = [this, nowhere] { mosaiq::mnuLoad_Click(Form, nowhere, {}); };
    Form.mnuSave_Click = [this, nowhere] {
        mosaiq::mnuSave_Click(Form, nowhere, {});
        SaveChosen();
    };

    // The splash, until its countdown releases the start-up.
    Form.HandOverMark = Form.AppTitle;
    ShowSplash();
    ServeUntil([this] { return Form.HandOverMark.empty(); });
    splashShown_ = false;

    Form.Form_Load();
    LoadStartupLink(Form, link);
    PublishLink();
    page_pace(PaceRung(Form.RunPace.Pace()), static_cast<int>(kPaceLadder.size()),
              PaceText(Form.RunPace.Pace()).c_str());
    page_show(kShowEditor);
    AllDirty();
    Resize(clientWidth_, clientHeight_, pixelRatio_);
    Form.Form_Shown();

    for (;;) {
        WaitForEvents(NextDue());
        Serve();
        RunDueTimers();
    }
}

void PageView::ShowSplash() {
    // The colour's draws come first, then the grid's, as the splash lays out its one size.
    const SplashDraw draw = ClockSeededDraw();
    tileColor_ = DrawSplashTileColor(draw);
    splashGrid_ = DrawSplashGrid(SplashPlaces::kClientWidth, SplashPlaces::kClientHeight, draw);
    splashCountdown_.emplace(Now());
    splashShown_ = true;
    AllDirty();
    page_show(kShowSplash);
}

void PageView::WaitForEvents(std::optional<Clock::time_point> until) {
    if (!queue_.empty()) return;
    double ms = -1; // no end
    if (until)
        ms = std::max(0.0, std::chrono::duration<double, std::milli>(*until - Now()).count());
    // The page refuses a second wait while one is outstanding; none can come from here, since
    // the page only ever queues its events and every handler runs on this one stack.
    page_wait(ms);
}

void PageView::Serve() {
    while (!queue_.empty()) {
        const PageEvent event = queue_.front();
        queue_.pop_front();
        Dispatch(event);
        PublishLink();
    }
}

template <class Done> void PageView::ServeUntil(Done done) {
    while (!done()) {
        WaitForEvents(NextDue());
        Serve();
        RunDueTimers();
    }
}

std::optional<PageView::Clock::time_point> PageView::NextDue() const {
    std::optional<Clock::time_point> due;
    std::optional<Clock::time_point> splashDue;
    if (splashCountdown_) splashDue = splashCountdown_->Due();
    for (const auto& timer : {oneShotDue_, statusDue_, splashDue})
        if (timer && (!due || *timer < *due)) due = timer;
    return due;
}

void PageView::RunDueTimers() {
    const auto now = Now();
    if (statusDue_ && now >= *statusDue_) {
        statusDue_.reset();
        RefreshStatus();
    }
    if (splashCountdown_ && now >= splashCountdown_->Due()) {
        splashCountdown_.reset();
        Form.HandOverMark.clear();
    }
    if (oneShotDue_ && now >= *oneShotDue_) {
        oneShotDue_.reset();
        Form.OneShot_Timer();
        PublishLink();
    }
}

void PageView::Dispatch(const PageEvent& e) {
    const auto x = static_cast<int>(e.a), y = static_cast<int>(e.b);
    const auto button = static_cast<int>(e.c), buttons = static_cast<int>(e.d);
    switch (e.kind) {
    case PageEvent::Resize: Resize(e.a, e.b, e.c); break;
    case PageEvent::PointerDown: PointerDown(x, y, button, buttons); break;
    case PageEvent::PointerMove: PointerMove(x, y, buttons); break;
    case PageEvent::PointerUp: PointerUp(x, y, button, buttons); break;
    case PageEvent::SliderMove: {
        const int rung = std::clamp(x, 0, static_cast<int>(kPaceLadder.size()) - 1);
        Form.PaceSlider_Change(rung);
        page_pace(rung, static_cast<int>(kPaceLadder.size()),
                  PaceText(kPaceLadder[static_cast<std::size_t>(rung)]).c_str());
        break;
    }
    case PageEvent::SliderHover: Form.Form_MouseMove(0); break;
    case PageEvent::MenuClosed:
        menuOpen_ = false;
        menuChoice_ = x;
        break;
    case PageEvent::Answer: answers_[x] = static_cast<int>(e.b); break;
    case PageEvent::SplashPainted:
        if (splashCountdown_) splashCountdown_->Painted(Now());
        break;
    default: break;
    }
}

// ---- What the rules ask of the page -------------------------------------------------------------

void PageView::Yield() {
    // Reading the clock costs more than a step; a turn of the browser's loop costs far more.
    if (++yieldsUnread_ < kYieldsPerClockRead && queue_.empty()) return;
    yieldsUnread_ = 0;
    if (queue_.empty() && Now() - lastRealYield_ < kYieldSlice) return;
    WaitForEvents(Now());
    lastRealYield_ = Now();
    Serve();
    RunDueTimers();
}

void PageView::WaitUntil(Clock::time_point until) {
    // Returns at `until`, or as soon as some event or timer has been served, so that a Stop or a
    // new pace takes effect at once.
    const auto due = NextDue();
    WaitForEvents(due && *due < until ? *due : until);
    lastRealYield_ = Now();
    Serve();
    RunDueTimers();
}

void PageView::ShowContextMenu() {
    // A menu asked for while one is open is not opened again.
    if (menuOpen_) return;
    const ContextMenu& m = Form.mnuContext;
    const MenuItem* items[] = {&m.mnuLoad, &m.mnuSave,  &m.mnuRun,
                               &m.mnuGC,   &m.mnuClear, &m.mnuClose};
    std::string captions;
    int enabled = 0;
    for (int i = 0; i < 6; ++i) {
        captions += (i ? "\n" : "") + items[i]->Caption;
        if (items[i]->Enabled) enabled |= 1 << i;
    }
    menuOpen_ = true;
    menuChoice_ = -1;
    // At the pointer; a pointer that has not yet been over the page (the first-time menu of a
    // page opened from the keyboard) has no place there, so the menu opens over the grid's middle.
    const PixelRect panel = PanelPixels();
    const auto [x, y] = lastPointer_.value_or(
        std::pair{(panel.left + panel.right) / 2, (panel.top + panel.bottom) / 2});
    page_menu(x / pixelRatio_, y / pixelRatio_, captions.c_str(), enabled);
    ServeUntil([this] { return !menuOpen_; });
    const int chosen = menuChoice_;
    if (chosen < 0 || chosen > 5 || !items[chosen]->Enabled) return;
    switch (chosen) {
    case 0:
        if (Form.mnuLoad_Click) Form.mnuLoad_Click();
        break;
    case 1:
        if (Form.mnuSave_Click) Form.mnuSave_Click();
        break;
    case 2: Form.mnuRun_Click(); break;
    case 3: Form.mnuGC_Click(); break;
    case 4: Form.mnuClear_Click(); break;
    default: break; // Close Menu
    }
}

int PageView::Ask(int kind, std::string_view title, std::string_view text) {
    const int id = ++asked_;
    page_ask(id, kind, Text(title).c_str(), Text(text).c_str());
    ServeUntil([this, id] { return answers_.contains(id); });
    const int answer = answers_[id];
    answers_.erase(id);
    return answer;
}

bool PageView::AskYesNo(std::string_view title, std::string_view text) {
    return Ask(kYesNo, title, text) == 1;
}

bool PageView::AskOkCancel(std::string_view title, std::string_view text) {
    return Ask(kOkCancel, title, text) == 1;
}

void PageView::Inform(std::string_view title, std::string_view text) {
    Ask(kInform, title, text);
}

std::string PageView::ChooseFile(const FileRequest& request) {
    const bool save = request.kind == FileRequest::Kind::Save;
    std::string proposed = fs::path(request.fileName).filename().string();
    if (proposed.empty()) proposed = kUnnamed;
    const int id = ++asked_;
    page_choose(id, save, proposed.c_str(), Accept(request.filter).c_str(), kPickedFile);
    ServeUntil([this, id] { return answers_.contains(id); });
    const bool chosen = answers_[id] == 1;
    answers_.erase(id);
    if (!chosen) return {};
    char* answer = page_answer_text();
    const std::string name = UsableName(answer);
    std::free(answer);
    std::error_code ec;
    if (save) {
        // What the save writes is handed to the page once the command is done (SaveChosen); a
        // file left from an earlier save must not pass for it.
        fs::remove(name, ec);
        saveName_ = name;
        saveId_ = id;
    } else {
        fs::rename(kPickedFile, name, ec);
    }
    return name;
}

void PageView::SaveChosen() {
    if (saveName_.empty()) return;
    const std::string name = std::exchange(saveName_, {});
    std::ifstream in(name, std::ios::binary);
    if (!in) {
        page_deliver(saveId_, nullptr, -1, name.c_str()); // the save failed and has said so
        return;
    }
    const std::string bytes{std::istreambuf_iterator<char>(in), {}};
    const int id = ++asked_;
    page_deliver(id, bytes.data(), static_cast<int>(bytes.size()), name.c_str());
    ServeUntil([this, id] { return answers_.contains(id); });
    const bool written = answers_[id] == 1;
    answers_.erase(id);
    if (written) return;
    char* why = page_answer_text();
    Inform(Form.AppTitle, FileFailedText(name, "saved", why));
    std::free(why);
}

void PageView::Changed(Part part) {
    switch (part) {
    case Part::Caption: page_title(Form.Caption.c_str()); break;
    case Part::Palette:
    case Part::PanelColor:
    case Part::PanelSize: AllDirty(); break;
    case Part::Status:
        if (!statusDue_) statusDue_ = Now() + kStatusFrame;
        break;
    }
}

void PageView::RefreshStatus() {
    page_status(Form.StatusText().c_str());
    if (Form.Status.Moving(Now())) statusDue_ = Now() + kStatusFrame;
}

void PageView::PublishLink() {
    // In design mode only: a run's changes are published when it has ended.
    if (Form.Running || splashShown_) return;
    StripCodes codes{};
    std::copy(Form.Machine.Cells.begin() + 1, Form.Machine.Cells.end(), codes.begin());
    std::string link = StripLink(codes);
    if (link == link_) return;
    link_ = std::move(link);
    page_link(link_.c_str());
}

// ---- Layout and the pointer
// -----------------------------------------------------------------------

void PageView::AllDirty() {
    allDirty_ = true;
}

bool PageView::TakeDirty(std::vector<int>& bars) {
    bars.clear();
    const bool all = std::exchange(allDirty_, false);
    for (int i = 1; i <= kCellCount; ++i) {
        if (!dirty_[static_cast<std::size_t>(i)]) continue;
        dirty_[static_cast<std::size_t>(i)] = 0;
        if (!all) bars.push_back(i);
    }
    return all;
}

void PageView::Resize(double width, double height, double ratio) {
    clientWidth_ = width;
    clientHeight_ = height;
    pixelRatio_ = ratio > 0 ? ratio : 1;
    AllDirty();
    if (splashShown_) return; // the editor is still hidden
    const double w = width * kTwipsPerInch / kDesignDpi, h = height * kTwipsPerInch / kDesignDpi;
    const double cssPerTwip = kDesignDpi / kTwipsPerInch;
    for (const auto& [what, box] : {std::pair{kSlider, EditorPlaces::PaceSliderBox(h)},
                                    std::pair{kStatusLine, EditorPlaces::StatusLineBox(w, h)}})
        page_place(what, box.left * cssPerTwip, box.top * cssPerTwip, box.width * cssPerTwip,
                   box.height * cssPerTwip, box.shown);
    Form.Form_Resize(false, w, h);
}

PixelRect PageView::BoxPixels(const TwipsBox& box, int left, int top) const {
    const PixelRect r = TwipsBoxPixels(box.left, box.top, box.width, box.height, Dpi(), Dpi());
    return {left + r.left, top + r.top, left + r.right, top + r.bottom};
}

PixelRect PageView::PanelPixels() const {
    return TwipsBoxPixels(EditorPlaces::kPanelLeft, EditorPlaces::kPanelTop, Form.PanelWidth,
                          Form.PanelHeight, Dpi(), Dpi());
}

PixelRect PageView::BarPixels(int index) const {
    if (!Form.Bars.At(index).visible) return {};
    const PixelRect panel = PanelPixels();
    PixelRect r = Form.Grid.BarPixels(index, PixelsPerTwip(), PixelsPerTwip());
    // The frame clips what runs past it.
    r = {std::min(panel.left + r.left, panel.right), std::min(panel.top + r.top, panel.bottom),
         std::min(panel.left + r.right, panel.right), std::min(panel.top + r.bottom, panel.bottom)};
    return r;
}

PixelRect PageView::PalettePixels(int index) const {
    return BoxPixels(EditorPlaces::PaletteBox(index));
}

PixelRect PageView::SplashPixels() const {
    const int w = TwipsToPixels(SplashPlaces::kClientWidth, Dpi());
    const int h = TwipsToPixels(SplashPlaces::kClientHeight, Dpi());
    const int left = (CanvasWidth() - w) / 2, top = (CanvasHeight() - h) / 2;
    return {left, top, left + w, top + h};
}

PixelRect PageView::TilePixels(int index) const {
    const PixelRect s = SplashPixels();
    const TileRect& t = splashGrid_.tiles[static_cast<std::size_t>(index - 1)];
    return BoxPixels({t.left, t.top, t.width, t.height, true}, s.left, s.top);
}

PixelRect PageView::SplashLabelPixels(int index) const {
    const PixelRect s = SplashPixels();
    const SplashLabelBox b =
        SplashPlaces::LabelBoxes(SplashPlaces::kClientWidth)[static_cast<std::size_t>(index)];
    const PixelRect r = TwipsBoxPixels(b.left, b.top, b.width, b.height, Dpi(), Dpi());
    return {s.left + r.left, s.top + r.top, s.left + r.right, s.top + r.bottom};
}

PageView::Hit PageView::HitAt(int x, int y) const {
    if (splashShown_ || x < 0 || y < 0 || x >= CanvasWidth() || y >= CanvasHeight()) return {};
    for (int i = 0; i < kInstructionCount; ++i)
        if (PalettePixels(i).Contains(x, y)) return {Target::Palette, i};
    const PixelRect panel = PanelPixels();
    if (!panel.Contains(x, y)) return {Target::Window, 0};
    if (const int bar =
            Form.Grid.BarAt(x - panel.left, y - panel.top, PixelsPerTwip(), PixelsPerTwip());
        bar != 0 && Form.Bars.At(bar).visible)
        return {Target::Bar, bar};
    return {Target::Panel, 0};
}

void PageView::PointerDown(int x, int y, int button, int buttons) {
    lastPointer_ = {x, y};
    const Hit hit = HitAt(x, y);
    // The first button down decides who holds the pointer until every button is up again.
    if (buttons == button) capture_ = hit;
    switch (capture_.target) {
    case Target::Bar: Form.Bar_MouseDown(capture_.index, button); break;
    case Target::Window: formPressed_ = button == kLeft; break;
    default: break;
    }
}

void PageView::PointerMove(int x, int y, int buttons) {
    lastPointer_ = {x, y};
    const Hit hit = buttons != 0 && capture_.target != Target::None ? capture_ : HitAt(x, y);
    switch (hit.target) {
    case Target::Bar: Form.Bar_MouseMove(hit.index, buttons); break;
    case Target::Panel: Form.Panel_MouseMove(buttons); break;
    case Target::Window: Form.Form_MouseMove(buttons); break;
    default: break; // the palette has no move handler
    }
    ShowHint(HitAt(x, y));
}

void PageView::PointerUp(int x, int y, int button, int buttons) {
    lastPointer_ = {x, y};
    const Hit held = capture_;
    if (buttons == 0) capture_ = {};
    const Hit hit = HitAt(x, y);
    switch (held.target) {
    case Target::Bar:
        Form.Bar_MouseUp(held.index, button);
        // The click follows the release, and only when the left button comes up over the bar.
        if (button == kLeft && hit.target == Target::Bar && hit.index == held.index)
            Form.Bar_Click(held.index);
        break;
    case Target::Panel: Form.Panel_MouseUp(button); break;
    case Target::Palette:
        if (button == kLeft && hit.target == Target::Palette && hit.index == held.index)
            Form.lColor_Click(held.index);
        break;
    case Target::Window:
        if (button == kLeft && formPressed_ && hit.target == Target::Window) Form.Form_Click();
        formPressed_ = false;
        break;
    case Target::None:
        if (hit.target == Target::Panel) Form.Panel_MouseUp(button);
        break;
    }
}

void PageView::ShowHint(const Hit& hit) {
    std::string_view hint;
    if (hit.target == Target::Bar) hint = Form.Bars.HintText(hit.index);
    if (hit.target == Target::Palette)
        hint = kInstructionNames[static_cast<std::size_t>(hit.index)];
    if (hint == hint_) return;
    hint_ = hint;
    page_hint(hint_.c_str());
}

} // namespace mosaiq
