#pragma once

#include "BarModel.h"
#include "EditorFields.h"
#include "EditorView.h"
#include "GridGeometry.h"
#include "Pacer.h"
#include "RunControl.h"
#include "StatusLine.h"

#include <array>
#include <functional>
#include <string>
#include <string_view>

namespace mosaiq {

// One palette label (lColor): the colour of its code and the border that marks the pen.
struct PaletteEntry {
    Color Fill = kWhite;
    bool Border = false;
};

// The editor window's rules, free of any window system: its fields, what its controls show (the
// bars, the palette, the frame, the caption, the menu items), and a handler for every event the
// window reacts to, named control_event as the rest of the program names them. A window system
// turns its events into these calls and draws what the state says; whatever a rule needs beyond
// that (a yield, a modal question, the menu) it asks of the EditorView.
//
// The editor is also the host through which the machine's run and commands reach the window.
class Editor : public EditorFields {
public:
    explicit Editor(EditorView& view);
    EditorView& View() { return view_; }

    // What the controls show.
    BarModel Bars;
    std::array<PaletteEntry, kInstructionCount> lColor{};
    std::string Caption; // also the only record of the mode
    Color PanelColor = kBlack;
    double PanelWidth = 0; // twips
    double PanelHeight = 0;
    GridLayout Grid;
    // How fast a visible run goes; set by the pace slider, which the window keeps to its own
    // column whatever the layout does.
    Pacer RunPace;
    // The line of words under the frame, and its words as they stand now.
    StatusLine Status;
    std::string StatusText() { return Status.Text(Machine, view_.Now()); }

    // The Load and Save commands; start-up puts them in.
    std::function<void()> mnuLoad_Click;
    std::function<void()> mnuSave_Click;

    // Start-up. Form_Load gives the editor its start state once the splash is done: the caption,
    // the X marker, the palette with pen 1 marked, Save disabled, no run, FreshStart. The program
    // named on the command line is loaded after it; what start-up has to tell about that program
    // waits in StartupNotice for Form_Shown.
    void Form_Load();
    std::string StartupNotice;
    // Runs once the window has first shown: tells the start-up's notice over the window. The
    // first-time menu's wait begins only when the user has acknowledged it.
    void Form_Shown();

    // The caption.
    void SetStatus(std::string_view mode);
    void ShowFileInCaption();
    bool CaptionHas(std::string_view word) const { return Caption.find(word) != std::string::npos; }

    // Layout.
    void Form_Resize(bool minimized, double clientWidth, double clientHeight);
    void SetupGrid();

    // The pace slider: `rung` is a place on the pace ladder, slowest first.
    void PaceSlider_Change(int rung);

    // Deferred commands and run control.
    void OneShot_Timer() { mosaiq::OneShot_Timer(*this); }
    void mnuRun_Click() { mosaiq::mnuRun_Click(*this); }
    void mnuGC_Click() { mosaiq::mnuGC_Click(*this); }
    void mnuClear_Click() { mosaiq::mnuClear_Click(*this); }
    void RunNow() { mosaiq::RunNow(*this); }

    // Palette and painting.
    void lColor_Click(int index);
    void Bar_MouseDown(int index, int button);
    void Bar_MouseMove(int index, int button);
    void Bar_MouseUp(int index, int button);
    void Bar_Click(int index);
    void Panel_MouseMove(int button);
    void Panel_MouseUp(int button);
    void Form_MouseMove(int button);
    void Form_Click();

    // The menu and closing.
    // A right release over a bar or the frame: the items follow what the strip holds.
    void OpenMenuForContent();
    // True when some cell holds a code other than 0 or was changed by a run since the last reset.
    bool HoldsContent() const;
    void Form_QueryUnload(bool& cancel);
    void Form_Unload() { view_.EndProgram(); }

    // The operations through which Load, Save and start-up reach the window.
    void BeginFileCommand() { Busy = true; }
    void HandOff(std::string_view word) { OneShot.Arm(word, kHandOffMs); }
    // The first-time menu comes one second after this, unless something ends FreshStart first;
    // every call starts the second anew. The word is left as it is.
    void ArmFirstTimeMenu();
    // A notice of start-up is still to be acknowledged.
    bool StartupNoticeOpen() const { return !StartupNotice.empty(); }

    // The host the machine's run and commands see.
    void SetBarFill(int i, Color c) { Bars.SetFill(i, c); }
    void SetBarCaption(int i, BarCaption c) { Bars.SetCaption(i, c); }
    void SetBarCaptionColor(int i, Color c) { Bars.SetCaptionColor(i, c); }
    void SetBarBorder(int i, bool on) { Bars.SetBorder(i, on); }
    void SetBarHint(int i, std::string_view text) { Bars.SetHint(i, text); }
    void SetPanelColor(Color c);
    void SetRunCaption(std::string_view text) { mnuContext.mnuRun.Caption = text; }
    void Yield(YieldPoint point);
    void Follow(const RunResult& live);
    void SetPaletteBorder(int i, bool on);
    void ShowContextMenu() { view_.ShowContextMenu(); }
    bool AskYesNo(std::string_view title, std::string_view text) {
        return view_.AskYesNo(title, text);
    }

private:
    void ClearMark();
    void UndoPreview();
    void PointerOver(int cell);

    EditorView& view_;
};

} // namespace mosaiq
