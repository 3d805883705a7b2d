#include "StartupSteps.h"
#include "Editor.h"
#include "StripFile.h"

#include <filesystem>

namespace mosaiq {

std::string PrepareEditor(Editor& form, const std::string& commandLine) {
    form.SetStatus(kModeDesign);
    for (int i = 1; i <= kCellCount; ++i)
        form.Bars.SetBorder(i, false);
    form.Bars.SetCaption(1, BarCaption::X);
    for (int i = 0; i < kInstructionCount; ++i)
        form.lColor[i].Fill = kInstructionColors[i];
    form.mnuContext.mnuSave.Enabled = false;

    // The path keeps its letter case: where case matters, another case names another file.
    form.FileName = commandLine;
    std::string unreadable;
    if (!form.FileName.empty()) {
        std::error_code ec;
        // A path that does not exist starts an empty strip that Save will create.
        if (std::filesystem::exists(form.FileName, ec)) {
            if (const FileStatus status = LoadStripFile(form.Machine, form, form.FileName); !status)
                unreadable = status.error;
        }
        form.ShowFileInCaption();
        RepaintCells(form.Machine, form);
    }

    form.Machine.StopRequest = true;
    form.lColor[0].Border = false;
    form.SetPaletteBorder(1, true);
    form.FreshStart = true;
    return unreadable;
}

} // namespace mosaiq
