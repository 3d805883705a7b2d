#include "Editor.h"
#include "Caption.h"

namespace mosaiq {

namespace {
constexpr int kLeft = 1;
constexpr int kRight = 2;
} // namespace

Editor::Editor(EditorView& view) : view_(view) {}

// ---- Start-up -------------------------------------------------------------------------------

void Editor::Form_Load() {
    SetStatus(kModeDesign);
    for (int i = 1; i <= kCellCount; ++i)
        Bars.SetBorder(i, false);
    Bars.SetCaption(1, BarCaption::X);
    for (int i = 0; i < kInstructionCount; ++i)
        lColor[i].Fill = kInstructionColors[i];
    mnuContext.mnuSave.Enabled = false;
    Machine.StopRequest = true;
    lColor[0].Border = false;
    SetPaletteBorder(1, true);
    FreshStart = true;
}

void Editor::Form_Shown() {
    if (!StartupNoticeOpen()) return;
    view_.Inform(AppTitle, StartupNotice);
    StartupNotice.clear();
    if (FreshStart) ArmFirstTimeMenu();
}

// ---- Caption --------------------------------------------------------------------------------

void Editor::SetStatus(std::string_view mode) {
    Caption = mosaiq::SetStatus(AppTitle, mode, FileName);
    view_.Changed(EditorView::Part::Caption);
    // A run's last act is to restore the design-mode caption; its counts are final by then.
    if (mode == kModeDesign && Status.RunEnded(Machine.PixelX))
        view_.Changed(EditorView::Part::Status);
}

void Editor::ShowFileInCaption() {
    mosaiq::ShowFileInCaption(Caption, FileName);
    view_.Changed(EditorView::Part::Caption);
}

// ---- Layout ---------------------------------------------------------------------------------

void Editor::Form_Resize(bool minimized, double clientWidth, double clientHeight) {
    if (minimized) return;
    // A size the frame cannot take (negative) is refused and the frame keeps its old one; the
    // steps after it still run.
    if (const double width = EditorPlaces::PanelWidthFor(clientWidth); width >= 0)
        PanelWidth = width;
    if (const double height = EditorPlaces::PanelHeightFor(clientHeight); height >= 0)
        PanelHeight = height;
    view_.Changed(EditorView::Part::PanelSize);

    SetupGrid();
    view_.Yield();
    if (FreshStart && !StartupNoticeOpen()) ArmFirstTimeMenu();
}

void Editor::SetupGrid() {
    Grid = GridLayout::For(PanelWidth, PanelHeight, CaptionHas(kModeRunning));
    for (int i = kCellCount; i >= 1; --i)
        Bars.SetVisible(i, false);
    // The layout stops at the first bar that cannot take its height: every bar stays hidden and
    // nothing is repainted until a later resize gives a usable height.
    if (!Grid.shown) return;
    for (int i = 1; i <= kCellCount; ++i) {
        const TwipsBox bar = Grid.Bar(i);
        Bars.SetGeometry(i, bar.left, bar.top, bar.width, bar.height);
        Bars.SetVisible(i, true);
    }
    RepaintCells(Machine, *this);
}

void Editor::PaceSlider_Change(int rung) {
    const int pace = kPaceLadder[static_cast<std::size_t>(rung)];
    const auto now = view_.Now();
    RunPace.SetPace(pace, now);
    Status.PaceChanged(pace, now);
    view_.Changed(EditorView::Part::Status);
}

void Editor::ArmFirstTimeMenu() {
    OneShot.SetEnabled(false);
    OneShot.SetInterval(kFirstMenuDelayMs);
    OneShot.SetEnabled(true);
}

// ---- What the machine shows -------------------------------------------------------------------

void Editor::Yield(YieldPoint point) {
    // Only instructions are held back, right before the check that lets them execute: never a
    // white or data cell, a scan's move or the closing sweep; and a stop never. The cell is read
    // afresh after every wait, since the user may paint it meanwhile.
    if (point == YieldPoint::BeforeCheck) {
        const auto instructionNext = [this] {
            const std::int32_t at = Machine.ProgPos;
            return at >= 1 && at <= kCellCount && Machine.Cells[at] >= NextPixel &&
                   Machine.Cells[at] <= Run;
        };
        while (RunPace.Pace() != kFullSpeed && !Machine.StopRequest && instructionNext()) {
            const auto wait = RunPace.Take(view_.Now());
            if (wait == Pacer::Duration::zero()) break;
            view_.WaitUntil(view_.Now() + wait);
        }
    }
    view_.Yield();
}

void Editor::Follow(const RunResult& live) {
    Status.RunStarted(live);
    view_.Changed(EditorView::Part::Status);
}

void Editor::SetPanelColor(Color c) {
    if (c == PanelColor) return;
    PanelColor = c;
    view_.Changed(EditorView::Part::PanelColor);
}

void Editor::SetPaletteBorder(int i, bool on) {
    lColor[i].Border = on;
    view_.Changed(EditorView::Part::Palette);
}

// ---- Palette and painting -------------------------------------------------------------------

void Editor::ClearMark() {
    for (int i = 1; i <= kCellCount; ++i)
        Bars.SetBorder(i, false);
}

void Editor::PointerOver(int cell) {
    if (Status.PointerOver(cell)) view_.Changed(EditorView::Part::Status);
}

void Editor::UndoPreview() {
    if (HoverBar == 0) return;
    Bars.SetFill(HoverBar, kWhite);
    HoverBar = 0;
}

void Editor::lColor_Click(int index) {
    for (PaletteEntry& entry : lColor)
        entry.Border = false;
    lColor[index].Border = true;
    view_.Changed(EditorView::Part::Palette);
    PenCode = static_cast<std::uint8_t>(index);
    if (index == 0) ClearMark();
}

void Editor::Bar_MouseDown(int index, int button) {
    if (Busy || button != kLeft) return;
    if (FreshStart) {
        PenCode = 1;
        FreshStart = false;
    }
    if (HoverBar == index) UndoPreview();
    Machine.Cells[index] = Machine.Cells[index] == PenCode ? 0 : PenCode;
    SetBarValue(Machine, *this, index);
}

void Editor::Bar_MouseMove(int index, int) {
    PointerOver(index);
    if (Busy) return;
    if (Bars.At(index).fill == kWhite) {
        // The marked bar shows no preview, and the previewed bar keeps its own.
        if (PenCode == 0 || Bars.At(index).border || HoverBar == index) return;
        UndoPreview();
        HoverBar = index;
        Bars.SetFill(index, lColor[PenCode].Fill);
    } else if (HoverBar != index) {
        UndoPreview();
    }
}

void Editor::Bar_MouseUp(int index, int button) {
    if (Busy) return;
    if (button == kLeft) {
        ClearMark();
        Bars.SetBorder(index, true);
        // During a run the release only moves the mark.
        if (!CaptionHas(kModeDesign)) return;
        Machine.RunLimit = index;
        if (PenCode != 0) {
            // StopRequest is true exactly when no run is pending or going, so a burst of
            // releases arms one run.
            if (Machine.StopRequest) {
                Machine.StopRequest = false;
                OneShot.Arm(kWordRun, kRunDelayMs);
            }
        } else if (!Machine.StopRequest) {
            Machine.RequestStop(RunEnd::Stopped);
        }
    } else if (button == kRight) {
        if (HoverBar == index) UndoPreview();
        OpenMenuForContent();
    }
}

void Editor::Bar_Click(int) {
    if (Busy || PenCode != 0) return;
    ClearMark();
}

void Editor::Panel_MouseMove(int) {
    PointerOver(0);
    UndoPreview();
}

void Editor::Form_MouseMove(int) {
    PointerOver(0);
    UndoPreview();
}

void Editor::Form_Click() {
    ClearMark();
}

void Editor::Panel_MouseUp(int button) {
    if (Busy) return;
    if (button == kLeft)
        ClearMark();
    else if (button == kRight)
        OpenMenuForContent();
}

// ---- The menu and closing ---------------------------------------------------------------------

namespace {
// The content test: sums the codes up to the first cell a run changed; a strip holds content
// when it has such a cell or the sum is above 0.
struct Content {
    bool touched = false;
    bool coloured = false;
};
Content TestContent(const MachineState& m) {
    std::uint32_t sum = 0;
    for (int i = 1; i <= kCellCount; ++i) {
        if (m.Touched[i]) return {true, sum > 0};
        sum += m.Cells[i];
    }
    return {false, sum > 0};
}
} // namespace

bool Editor::HoldsContent() const {
    const Content content = TestContent(Machine);
    return content.touched || content.coloured;
}

void Editor::OpenMenuForContent() {
    // A strip a run has changed can always be reset and cleared; a coloured one cleared.
    const Content content = TestContent(Machine);
    mnuContext.mnuGC.Enabled = content.touched;
    mnuContext.mnuClear.Enabled = content.touched || content.coloured;
    mnuContext.mnuSave.Enabled = mnuContext.mnuClear.Enabled;
    mnuContext.mnuRun.Enabled = mnuContext.mnuClear.Enabled;
    view_.ShowContextMenu();
}

void Editor::Form_QueryUnload(bool& cancel) {
    if (!HoldsContent()) return;
    if (!view_.AskOkCancel(AppTitle, "Shutdown?")) cancel = true;
}

} // namespace mosaiq
