#include "EditorStartup.h"
#include "CellView.h"
#include "EditorHost.h"
#include "EditorWindow.h"
#include "FileCommands.h"
#include "NativePath.h"
#include "PaletteLabel.h"
#include "StripFile.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include <filesystem>

namespace mosaiq {

namespace {

// Tells the user why the program named on the command line could not be read, once start-up is
// over and the window shows. The first-time menu waits until the message has been acknowledged,
// also when the window is resized meanwhile, and comes as it would after a last resize.
void ReportUnreadable(EditorWindow& w, const QString& error) {
    QTimer::singleShot(0, &w, [&w, error] {
        const bool fresh = w.FreshStart;
        if (fresh) {
            w.FreshStart = false;
            w.OneShot.SetEnabled(false);
        }
        w.Modal().Inform(
            &w, w.AppTitle,
            QStringLiteral("The file %1 could not be loaded: %2").arg(w.FileName, error));
        if (fresh) {
            w.FreshStart = true;
            w.OneShot.SetEnabled(false);
            w.OneShot.SetInterval(1000);
            w.OneShot.SetEnabled(true);
        }
    });
}

} // namespace

void Form_Load(EditorWindow& w, const QString& commandLine, const SplashHandOver& splash) {
    w.AppTitle = QStringLiteral("Mosaiq");
    new FileCommands(w); // owned by the window

    w.HandOverMark = w.AppTitle;
    if (splash)
        splash(w);
    else
        w.HandOverMark.clear();
    while (!w.HandOverMark.isEmpty())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);

    w.SetStatus(kModeDesign);
    for (int i = 1; i <= kCellCount; ++i)
        w.Bars.SetBorder(i, false);
    w.Bars.SetCaption(1, BarCaption::X);
    for (int i = 0; i < kInstructionCount; ++i) {
        w.lColor[i]->SetCaption(QString());
        w.lColor[i]->SetFill(kInstructionColors[i]);
    }
    w.ShowTooltips();
    w.mnuSave->setEnabled(false);

    // The path keeps its letter case: where case matters, another case names another file.
    w.FileName = commandLine;
    QString unreadable;
    if (!w.FileName.isEmpty()) {
        EditorHost host(w);
        const std::filesystem::path path = NativePath(w.FileName);
        std::error_code ec;
        // A path that does not exist starts an empty strip that Save will create.
        if (std::filesystem::exists(path, ec)) {
            if (const FileStatus status = LoadStripFile(w.Machine, host, path); !status)
                unreadable = QString::fromStdString(status.error);
        }
        w.ShowFileInCaption();
        RepaintCells(w.Machine, host);
    }

    w.Machine.StopRequest = true;
    w.lColor[0]->SetBorder(false);
    w.lColor[1]->SetBorder(true);
    w.FreshStart = true;
    w.show();
    // Not before: showing the window handles events, and the message belongs over the window.
    if (!unreadable.isEmpty()) ReportUnreadable(w, unreadable);
}

} // namespace mosaiq
