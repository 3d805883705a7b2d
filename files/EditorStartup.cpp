#include "EditorStartup.h"
#include "EditorWindow.h"
#include "FileCommands.h"
#include "StartupSteps.h"

#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QStandardPaths>

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

void Form_Load(EditorWindow& w, const std::string& commandLine, const SplashHandOver& splash) {
    Editor& form = w.Form;
    InstallFileCommands(form, ThisProgramsPlaces(), ChooserSpells);

    form.HandOverMark = form.AppTitle;
    if (splash)
        splash(QString::fromStdString(form.AppTitle), [&form] { form.HandOverMark.clear(); });
    else
        form.HandOverMark.clear();
    while (!form.HandOverMark.empty())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);

    form.Form_Load();
    LoadStartupProgram(form, commandLine);
    w.ShowTooltips();
    w.show();
}

int RunEditor(const std::string& commandLine, int pace, const SplashHandOver& splash) {
    EditorWindow window;
    window.SetPace(pace);
    Form_Load(window, commandLine, splash);
    return QApplication::exec();
}

} // namespace mosaiq
