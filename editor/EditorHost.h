#pragma once

#include "CellView.h"
#include "EditorWindow.h"

namespace mosaiq {

// The machine's view of the editor window: bar changes go to the bar model, which the frame
// draws once per display frame; yields hand control to the window's event loop.
class EditorHost {
public:
    explicit EditorHost(EditorWindow& window) : w_(window) {}

    void SetBarFill(int i, Color c) { w_.Bars.SetFill(i, c); }
    void SetBarCaption(int i, BarCaption c) { w_.Bars.SetCaption(i, c); }
    void SetBarCaptionColor(int i, Color c) { w_.Bars.SetCaptionColor(i, c); }
    void SetBarBorder(int i, bool on) { w_.Bars.SetBorder(i, on); }
    void SetBarHint(int i, std::string_view text) { w_.Bars.SetHint(i, text); }
    void SetPanelColor(Color c) { w_.Panel->SetPanelColor(c); }
    void SetRunCaption(std::string_view text) {
        const QString caption =
            QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
        if (w_.mnuRun->text() != caption) w_.mnuRun->setText(caption);
    }
    void SetStatus(std::string_view mode) { w_.SetStatus(mode); }
    void Yield(YieldPoint) { w_.YieldToEvents(); }

private:
    EditorWindow& w_;
};

} // namespace mosaiq
