// Where the Load and Save choosers open, over real folders laid out as a build tree and as an
// installation.

#include "ChooserFolder.h"

#include <QTemporaryDir>
#include <QTest>

#include <filesystem>

using namespace mosaiq;
namespace fs = std::filesystem;

class TestChooserFolder : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    fs::path root;

private slots:
    void initTestCase() {
        root = fs::canonical(dir.path().toStdString());
        for (const char* folder : {"build/startup", "usr/bin", "home/Documents"})
            fs::create_directories(root / folder);
        fs::create_directories(root / "usr/bin" / MOSAIQ_EXAMPLES_FROM_BIN);
    }

    // Folders relative to the temporary root; "-" for a documents folder the platform names none.
    void folder_data() {
        QTest::addColumn<QString>("program");
        QTest::addColumn<bool>("load");
        QTest::addColumn<QString>("documents");
        QTest::addColumn<QString>("expected");
        const QString examples = fs::path("usr/bin/" MOSAIQ_EXAMPLES_FROM_BIN)
                                     .lexically_normal()
                                     .generic_string()
                                     .c_str();
        QTest::newRow("build tree, load") << "build/startup" << true << "home/Documents"
                                          << "build/startup";
        QTest::newRow("build tree, save") << "build/startup" << false << "home/Documents"
                                          << "build/startup";
        QTest::newRow("installed, load") << "usr/bin" << true << "home/Documents" << examples;
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
        const fs::path got = ChooserFolder(load ? ChooserKind::Load : ChooserKind::Save, places);
        QCOMPARE(QString::fromStdString(got.lexically_relative(root).generic_string()), expected);
    }
};

QTEST_GUILESS_MAIN(TestChooserFolder)
#include "test_chooser_folder.moc"
