// The process entry: starts the window system, which loads the editor window; the editor's
// start-up shows the splash and waits for it.

#include "AppIcon.h"
#include "CommandLine.h"
#include "EditorStartup.h"
#include "SplashWindow.h"

#include <QApplication>

#include <cstdio>

int main(int argc, char* argv[]) {
    // --help and --version answer before the window system starts, so that they need no display.
    if (const auto early = mosaiq::ParseCommandLine(mosaiq::RawArguments(argc, argv));
        early.action == mosaiq::CommandLine::Action::Help ||
        early.action == mosaiq::CommandLine::Action::Version) {
        std::fputs(early.text.toLatin1().constData(), stdout);
        return 0;
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Mosaiq"));
    QApplication::setApplicationVersion(QStringLiteral(MOSAIQ_VERSION));
    QApplication::setWindowIcon(mosaiq::AppIcon()); // the editor window and the splash
    QGuiApplication::setDesktopFileName(QStringLiteral(MOSAIQ_APP_ID));

    // Parsed again without the window system's own options, which QApplication has taken out of
    // argv.
    const mosaiq::CommandLine line = mosaiq::ParseCommandLine(mosaiq::RawArguments(argc, argv));
    if (line.action != mosaiq::CommandLine::Action::Edit) {
        std::fputs(line.text.toLatin1().constData(), stderr);
        return 2;
    }

    return mosaiq::RunEditor(line.programFile, line.pace, mosaiq::ShowSplash);
}
