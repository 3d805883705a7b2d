// Where the Load and Save choosers of a real editor window open, their answers scripted: in this
// program run from the build tree, and in a copy of it installed in a temporary prefix.

#include "EditorStartup.h"
#include "EditorWindow.h"

#include <QApplication>
#include <QDir>

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>

using namespace mosaiq;

namespace {
const char kPrintFolders[] = "--print-chooser-folders";

// The helper that the test runs: prints the folders that Load and Save open in, one line each.
struct Recording : EditorWindow {
    void ShowContextMenu() override {}
    std::string ChooseFile(const FileRequest& request) override {
        std::printf("%s\n", request.folder.c_str());
        return {};
    }
};
int PrintFolders() {
    Recording w;
    Form_Load(w, {});
    w.Form.mnuLoad_Click();
    w.Form.mnuSave_Click();
    return 0;
}
} // namespace

class TestChooserFolder : public QObject {
    Q_OBJECT
    QTemporaryDir dir; // holds usr/ and the user's home, user/

private slots:
    void initTestCase() {
        QVERIFY(QDir(dir.path()).mkpath("usr/bin/" MOSAIQ_EXAMPLES_FROM_BIN));
        QVERIFY(QFile::copy(QCoreApplication::applicationFilePath(), dir.filePath("usr/bin/mq")));
    }

    // Load's folder and Save's, relative to the temporary folder; "." is this program's own.
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
        QDir(dir.filePath("user")).removeRecursively();
        QVERIFY(QDir(dir.path()).mkpath(documents ? "user/Documents" : "user"));
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("HOME", dir.filePath("user"));
        env.insert("XDG_CONFIG_HOME", dir.filePath("user/.config")); // no user-dirs.dirs
        QProcess editor;
        editor.setProcessEnvironment(env);
        editor.start(installed ? dir.filePath("usr/bin/mq")
                               : QCoreApplication::applicationFilePath(),
                     {kPrintFolders});
        QVERIFY(editor.waitForFinished(30000));
        QStringList folders;
        const QDir root(QDir(dir.path()).canonicalPath());
        for (const QString& line :
             QString(editor.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts))
            folders << (line == QCoreApplication::applicationDirPath()
                            ? "."
                            : root.relativeFilePath(line));
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
