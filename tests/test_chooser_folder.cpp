// Where the Load and Save choosers open: the rule over real folders laid out as a build tree and
// as an installation, and the commands of a real editor window whose chooser answers from a
// script, in this program run from the build tree and in a copy installed in a temporary prefix.

#include "ChooserFolder.h"
#include "EditorFixture.h"

#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>
#include <filesystem>

using namespace mosaiq;
namespace fs = std::filesystem;

namespace {
const char kPrintFolders[] = "--print-chooser-folders";

// With kPrintFolders this program only prints the folders that an editor window's Load and Save
// choosers open in, one line each.
int PrintFolders() {
    test::EditorFixture f;
    f.w->mnuLoad->trigger();
    f.w->mnuSave->setEnabled(true);
    f.w->mnuSave->trigger();
    for (const Dialogs::FileRequest& request : f.dialogs.fileRequests)
        std::printf("%s\n", qPrintable(request.folder));
    return 0;
}
} // namespace

class TestChooserFolder : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    fs::path root;
    QString Relative(const fs::path& p) const {
        return QString::fromStdString(p.lexically_relative(root).generic_string());
    }

private slots:
    void initTestCase() {
        root = fs::canonical(dir.path().toStdString());
        for (const char* folder : {"build/startup", "usr/bin", "home/Documents"})
            fs::create_directories(root / folder);
        fs::create_directories(root / "usr/bin" / MOSAIQ_EXAMPLES_FROM_BIN);
        fs::copy_file(QCoreApplication::applicationFilePath().toStdString(),
                      root / "usr/bin/editor");
    }

    // Folders relative to the temporary root; "-" for a documents folder the platform names none.
    void folder_data() {
        QTest::addColumn<QString>("program");
        QTest::addColumn<bool>("load");
        QTest::addColumn<QString>("documents");
        QTest::addColumn<QString>("expected");
        QTest::newRow("build tree, load") << "build/startup" << true << "home/Documents"
                                          << "build/startup";
        QTest::newRow("installed, load") << "usr/bin" << true << "home/Documents"
                                         << "usr/share/mosaiq/examples";
        QTest::newRow("installed, save") << "usr/bin" << false << "home/Documents"
                                         << "home/Documents";
        QTest::newRow("installed, save, documents missing") << "usr/bin" << false << "home/Papers"
                                                            << "home";
        QTest::newRow("installed, save, no documents") << "usr/bin" << false << "-"
                                                       << "home";
    }
    void folder() {
        QFETCH(QString, program);
        QFETCH(bool, load);
        QFETCH(QString, documents);
        QFETCH(QString, expected);
        const ChooserPlaces places = FindChooserPlaces(
            root / program.toStdString(), MOSAIQ_EXAMPLES_FROM_BIN,
            documents == "-" ? fs::path() : root / documents.toStdString(), root / "home");
        QCOMPARE(Relative(ChooserFolder(load ? ChooserKind::Load : ChooserKind::Save, places)),
                 expected);
    }

    // The folders of Load and Save, relative to the temporary root; "." is this program's folder.
    void commands_data() {
        QTest::addColumn<bool>("installed");
        QTest::addColumn<bool>("documents");
        QTest::addColumn<QString>("expected");
        QTest::newRow("build tree") << false << true << ".|.";
        QTest::newRow("installed") << true << true << "usr/share/mosaiq/examples|user/Documents";
        QTest::newRow("installed, no documents")
            << true << false << "usr/share/mosaiq/examples|user";
    }
    void commands() {
        QFETCH(bool, installed);
        QFETCH(bool, documents);
        QFETCH(QString, expected);
        fs::remove_all(root / "user");
        fs::create_directories(root / (documents ? "user/Documents" : "user"));
        QProcess editor;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("HOME", QString::fromStdString((root / "user").string()));
        env.insert("XDG_CONFIG_HOME", QString::fromStdString((root / "user/.config").string()));
        editor.setProcessEnvironment(env);
        editor.start(installed ? QString::fromStdString((root / "usr/bin/editor").string())
                               : QCoreApplication::applicationFilePath(),
                     {kPrintFolders});
        QVERIFY(editor.waitForFinished(30000));
        QStringList folders;
        for (const QString& line : QString(editor.readAllStandardOutput()).split('\n'))
            if (!line.isEmpty())
                folders << (line == QCoreApplication::applicationDirPath()
                                ? "."
                                : Relative(line.toStdString()));
        QCOMPARE(folders.join('|'), expected);
    }
};

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    if (argc == 2 && qstrcmp(argv[1], kPrintFolders) == 0) return PrintFolders();
    TestChooserFolder test;
    return QTest::qExec(&test, argc, argv);
}
#include "test_chooser_folder.moc"
