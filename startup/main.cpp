// The process entry: starts the window system, which loads the editor window; the editor's
// start-up shows the splash and waits for it.

#include "AppIcon.h"
#include "EditorStartup.h"
#include "SplashWindow.h"

#include <QApplication>
#include <QStringList>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Mosaiq"));
    QApplication::setWindowIcon(mosaiq::AppIcon()); // the editor window and the splash
    QGuiApplication::setDesktopFileName(QStringLiteral("mosaiq"));

    // The command line names one program file, blanks and quotes included.
    const QString commandLine = QApplication::arguments().mid(1).join(QLatin1Char(' '));

    return mosaiq::RunEditor(commandLine, mosaiq::ShowSplash);
}
