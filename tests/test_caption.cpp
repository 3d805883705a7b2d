// The window caption: SetStatus builds it whole, ShowFileInCaption swaps the file name in it.

#include "Caption.h"

#include <QtTest>

using namespace mosaiq;

class TestCaption : public QObject {
    Q_OBJECT
private slots:
    void setStatus_data();
    void setStatus();
    void showFileInCaption_data();
    void showFileInCaption();
};

void TestCaption::setStatus_data() {
    QTest::addColumn<QString>("mode");
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("caption");
    QTest::newRow("design, no file") << "[Design]"
                                     << ""
                                     << "Mosaiq [Design]";
    QTest::newRow("design, file") << "[Design]"
                                  << "/tmp/demo.mq"
                                  << "Mosaiq [Design] ~ /tmp/demo.mq";
    QTest::newRow("running, file") << "[Running]"
                                   << "/tmp/demo.mq"
                                   << "Mosaiq [Running] ~ /tmp/demo.mq";
    QTest::newRow("running, no file") << "[Running]"
                                      << ""
                                      << "Mosaiq [Running]";
}

void TestCaption::setStatus() {
    QFETCH(QString, mode);
    QFETCH(QString, file);
    QFETCH(QString, caption);
    const std::string built = SetStatus("Mosaiq", mode.toStdString(), file.toStdString());
    QCOMPARE(QString::fromStdString(built), caption);
}

void TestCaption::showFileInCaption_data() {
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QStringList>("files"); // shown one after the other
    QTest::addColumn<QString>("expected");
    QTest::newRow("no file yet") << "Mosaiq [Design]" << QStringList{"/a.mq"}
                                 << "Mosaiq [Design] ~ /a.mq";
    QTest::newRow("replaces the file, keeps the mode")
        << "Mosaiq [Running] ~ /a.mq" << QStringList{"/b.mq"} << "Mosaiq [Running] ~ /b.mq";
    QTest::newRow("two in a row leave one separator")
        << "Mosaiq [Design]" << QStringList{"/a.mq", "/b.mq"} << "Mosaiq [Design] ~ /b.mq";
    QTest::newRow("a path holding a tilde is replaced whole")
        << "Mosaiq [Design]" << QStringList{"/home/u/~old/x~y.mq", "/b.mq"}
        << "Mosaiq [Design] ~ /b.mq";
    QTest::newRow("empty file name leaves the caption")
        << "Mosaiq [Design] ~ /a.mq" << QStringList{""} << "Mosaiq [Design] ~ /a.mq";
    QTest::newRow("empty file name on a bare caption")
        << "Mosaiq [Design]" << QStringList{""} << "Mosaiq [Design]";
}

void TestCaption::showFileInCaption() {
    QFETCH(QString, caption);
    QFETCH(QStringList, files);
    QFETCH(QString, expected);
    std::string text = caption.toStdString();
    for (const QString& file : files)
        ShowFileInCaption(text, file.toStdString());
    QCOMPARE(QString::fromStdString(text), expected);
}

QTEST_APPLESS_MAIN(TestCaption)
#include "test_caption.moc"
