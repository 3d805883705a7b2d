#include "StartupSteps.h"
#include "Editor.h"
#include "FileCommands.h"
#include "StripFile.h"
#include "StripLink.h"

#include <system_error>

namespace mosaiq {

void LoadStartupProgram(Editor& form, const std::string& commandLine) {
    // The path keeps its letter case: where case matters, another case names another file.
    form.FileName = commandLine;
    if (form.FileName.empty()) return;
    // A path that does not exist starts an empty strip that Save will create. Any other failure
    // (a link loop, a name too long, a folder that may not be entered) means the path names
    // something that could not be reached, and is told like a file that cannot be read.
    const FileStatus status = LoadStripFile(form.Machine, form, form.FileName);
    if (!status && status.code != std::errc::no_such_file_or_directory)
        form.StartupNotice = FileFailedText(form.FileName, "loaded", status.error);
    form.ShowFileInCaption();
    RepaintCells(form.Machine, form);
    form.Machine.StopRequest = true;
}

void LoadStartupLink(Editor& form, const std::string& link) {
    if (link.empty()) return;
    StripCodes codes{};
    if (const std::string why = ReadStripLink(link, codes); !why.empty()) {
        form.StartupNotice = "The address does not hold a program: " + why + ".";
        return;
    }
    PutStrip(form.Machine, form, codes);
    RepaintCells(form.Machine, form);
    form.Machine.StopRequest = true;
}

} // namespace mosaiq
