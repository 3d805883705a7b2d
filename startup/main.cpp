// The process entry: starts the window system, which loads the editor window.

#include "Dialogs.h"
#include "EditorStartup.h"
#include "EditorWindow.h"

#include <QApplication>
#include <QStringList>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Mosaiq"));

    // The command line names one program file, blanks and quotes included.
    const QString commandLine = QApplication::arguments().mid(1).join(QLatin1Char(' '));

    mosaiq::QtDialogs dialogs;
    mosaiq::EditorWindow window(dialogs);
    mosaiq::Form_Load(window, commandLine);
    return app.exec();
}
