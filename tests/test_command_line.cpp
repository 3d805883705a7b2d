// The editor's command line, parsed without a window.

#include "CommandLine.h"

#include <QTest>

using namespace mosaiq;

class TestCommandLine : public QObject {
    Q_OBJECT
private slots:
    // The words after the program's name, and what they ask for: "edit:" and the program file,
    // or the action and the first line of its text.
    void parse_data() {
        QTest::addColumn<QStringList>("words");
        QTest::addColumn<QString>("expected");
        const QString usage = "Usage: mosaiq [PROGRAM]";
        QTest::newRow("nothing") << QStringList{} << "edit:";
        QTest::newRow("words of one name") << QStringList{"my", "prog.mq"} << "edit:my prog.mq";
        QTest::newRow("option after --") << QStringList{"a", "--", "-h"} << "edit:a -h";
        QTest::newRow("help") << QStringList{"--help"} << "help:" + usage;
        QTest::newRow("help beside a bad word") << QStringList{"--red", "-h"} << "help:" + usage;
        QTest::newRow("unknown") << QStringList{"--red", "a"}
                                 << "bad:mosaiq: Unknown option 'red'.";
        QTest::newRow("Qt's word")
            << QStringList{"-reverse"} << "bad:mosaiq: Unknown option 'reverse'.";
    }
    void parse() {
        QFETCH(QStringList, words);
        QFETCH(QString, expected);
        const CommandLine line = ParseCommandLine(QStringList{"mosaiq"} + words);
        const char* const actions[] = {"edit:", "help:", "version:", "bad:"};
        QCOMPARE(actions[int(line.action)] + (line.action == CommandLine::Action::Edit
                                                  ? line.programFile
                                                  : line.text.section('\n', 0, 0)),
                 expected);
    }
};

QTEST_GUILESS_MAIN(TestCommandLine)
#include "test_command_line.moc"
