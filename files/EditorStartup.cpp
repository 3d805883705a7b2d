#include "EditorStartup.h"
#include "EditorWindow.h"
#include "FileCommands.h"
#include "StartupSteps.h"

#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QStandardPaths>
#include <QTimer>

namespace mosaiq {

namespace {
std::filesystem::path Native(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

// Where this executable lies and the user's own folders, as the choosers need them.
ChooserPlaces ThisProgramsPlaces() {
    return FindChooserPlaces(
        Native(QCoreApplication::applicationDirPath()), MOSAIQ_EXAMPLES_FROM_BIN,
        Native(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation)),
        Native(QDir::homePath()));
}
} // namespace

std::string ChooserSpells(const std::string& name) {
    return QFile::encodeName(QFile::decodeName(QByteArray::fromStdString(name))).toStdString();
}

void Form_Load(EditorWindow& w, const std::string& commandLine, const SplashHandOver& splash) {
    Editor& form = w.Form;
    form.AppTitle = "Mosaiq";
    InstallFileCommands(form, ThisProgramsPlaces(), ChooserSpells);

    form.HandOverMark = form.AppTitle;
    if (splash)
        splash(QString::fromStdString(form.AppTitle), [&form] { form.HandOverMark.clear(); });
    else
        form.HandOverMark.clear();
    while (!form.HandOverMark.empty())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);

    const std::string unreadable = PrepareEditor(form, commandLine);
    w.ShowTooltips();
    w.show();
    if (unreadable.empty()) return;
    // Not before: showing the window handles events, and the message belongs over the window.
    QTimer::singleShot(0, &w, [&w, unreadable] {
        Editor& form = w.Form;
        const bool fresh = form.FreshStart;
        if (fresh) {
            form.FreshStart = false;
            form.OneShot.SetEnabled(false);
        }
        TellFileFailed(form, form.FileName, "loaded", unreadable);
        if (fresh) {
            form.FreshStart = true;
            form.ArmFirstTimeMenu();
        }
    });
}

int RunEditor(const std::string& commandLine, int pace, const SplashHandOver& splash) {
    EditorWindow window;
    window.SetPace(pace);
    Form_Load(window, commandLine, splash);
    return QApplication::exec();
}

} // namespace mosaiq
