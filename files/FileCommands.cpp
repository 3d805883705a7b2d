#include "FileCommands.h"
#include "EditorHost.h"
#include "EditorWindow.h"
#include "InitialFolder.h"
#include "NativePath.h"
#include "StripFile.h"

namespace mosaiq {

namespace {
const QString kFilterTail = QStringLiteral(" files (*.mq)|*.mq");

Dialogs::FileRequest Request(const EditorWindow& w, Dialogs::FileKind kind) {
    Dialogs::FileRequest request;
    request.kind = kind;
    request.folder = InitialFolder(kind);
    request.fileName = w.FileName;
    if (kind == Dialogs::FileKind::Open) {
        request.filter = w.AppTitle.toLower() + kFilterTail;
        request.title = QStringLiteral("Load ") + w.AppTitle + QStringLiteral(" file");
    } else {
        request.filter = w.AppTitle + kFilterTail;
        request.title = QStringLiteral("Save ") + w.AppTitle + QStringLiteral(" file");
    }
    return request;
}
} // namespace

FileCommands::FileCommands(EditorWindow& window) : QObject(&window), w_(window) {
    connect(w_.mnuLoad, &QAction::triggered, this, &FileCommands::mnuLoad_Click);
    connect(w_.mnuSave, &QAction::triggered, this, &FileCommands::mnuSave_Click);
}

void FileCommands::mnuLoad_Click() {
    w_.Busy = true;
    const QString path = w_.Modal().ChooseFile(&w_, Request(w_, Dialogs::FileKind::Open));
    if (!path.isEmpty()) {
        EditorHost host(w_);
        if (const FileStatus status = LoadStripFile(w_.Machine, host, NativePath(path)); status) {
            w_.CancelPendingRun();
            w_.FileName = path;
            w_.ShowFileInCaption();
            RepaintCells(w_.Machine, host);
        } else {
            w_.Modal().Inform(&w_, w_.AppTitle,
                              QStringLiteral("The file %1 could not be loaded: %2")
                                  .arg(path, QString::fromStdString(status.error)));
        }
    }
    w_.OneShot.Arm(QStringLiteral("loadflg"), 250);
}

void FileCommands::mnuSave_Click() {
    w_.Busy = true;
    const QString path = w_.Modal().ChooseFile(&w_, Request(w_, Dialogs::FileKind::Save));
    if (!path.isEmpty()) {
        if (const FileStatus status = SaveStripFile(w_.Machine, NativePath(path)); status) {
            w_.FileName = path;
            w_.ShowFileInCaption();
        } else {
            w_.Modal().Inform(&w_, w_.AppTitle,
                              QStringLiteral("The file %1 could not be saved: %2")
                                  .arg(path, QString::fromStdString(status.error)));
        }
    }
    w_.OneShot.Arm(QStringLiteral("saveflg"), 250);
}

} // namespace mosaiq
