#include "StartupSteps.h"
#include "Editor.h"
#include "StripFile.h"

#include <system_error>

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
        // A path that does not exist starts an empty strip that Save will create. Any other
        // failure (a link loop, a name too long, a folder that may not be entered) means the path
        // names something that could not be reached, and is told like a file that cannot be read.
        const FileStatus status = LoadStripFile(form.Machine, form, form.FileName);
        if (!status && status.code != std::errc::no_such_file_or_directory)
            unreadable = status.error;
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
