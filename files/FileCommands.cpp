#include "FileCommands.h"
#include "Editor.h"
#include "StripFile.h"

namespace mosaiq {

namespace {
constexpr std::string_view kFilterTail = " files (*.mq)|*.mq";

std::string Lower(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return text;
}

std::string Request(Editor& form, const ChooserPlaces& places, const ChooserSpelling& spelling,
                    FileRequest::Kind kind) {
    const bool open = kind == FileRequest::Kind::Open;
    FileRequest request;
    request.kind = kind;
    request.folder = ChooserFolder(open ? ChooserKind::Load : ChooserKind::Save, places).string();
    request.fileName = open ? form.FileName : SaveProposal(form.FileName, places);
    request.filter = (open ? Lower(form.AppTitle) : form.AppTitle) + std::string(kFilterTail);
    request.title = (open ? "Load " : "Save ") + form.AppTitle + " file";
    // A name typed without an extension is saved as a program file, as the filter shows.
    if (!open) request.defaultSuffix = "mq";
    return ChosenPath(form.View().ChooseFile(request), request.fileName, spelling);
}

} // namespace

std::string FileFailedText(const std::string& path, std::string_view done,
                           const std::string& reason) {
    return "The file " + path + " could not be " + std::string(done) + ": " + reason;
}

namespace {
void TellFileFailed(Editor& form, const std::string& path, std::string_view done,
                    const std::string& reason) {
    form.View().Inform(form.AppTitle, FileFailedText(path, done, reason));
}
} // namespace

void mnuLoad_Click(Editor& form, const ChooserPlaces& places, const ChooserSpelling& spelling) {
    form.BeginFileCommand();
    if (const std::string path = Request(form, places, spelling, FileRequest::Kind::Open);
        !path.empty()) {
        if (const FileStatus status = LoadStripFile(form.Machine, form, path); status) {
            form.PendingRun = false;
            form.FileName = path;
            form.ShowFileInCaption();
            RepaintCells(form.Machine, form);
        } else {
            TellFileFailed(form, path, "loaded", status.error);
        }
    }
    form.HandOff(kWordLoad);
}

void mnuSave_Click(Editor& form, const ChooserPlaces& places, const ChooserSpelling& spelling) {
    form.BeginFileCommand();
    if (const std::string path = Request(form, places, spelling, FileRequest::Kind::Save);
        !path.empty()) {
        if (const FileStatus status = SaveStripFile(form.Machine, path); status) {
            form.FileName = path;
            form.ShowFileInCaption();
        } else {
            TellFileFailed(form, path, "saved", status.error);
        }
    }
    form.HandOff(kWordSave);
}

void InstallFileCommands(Editor& form, const ChooserPlaces& places,
                         const ChooserSpelling& spelling) {
    form.mnuLoad_Click = [&form, places, spelling] { mnuLoad_Click(form, places, spelling); };
    form.mnuSave_Click = [&form, places, spelling] { mnuSave_Click(form, places, spelling); };
}

} // namespace mosaiq
