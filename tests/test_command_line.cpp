// The editor's command line, parsed without a window.

#include "CommandLine.h"

#include <QTest>

using namespace mosaiq;

class TestCommandLine : public QObject {
    Q_OBJECT
private slots:
    // The arguments after the program's name, and what they ask for: "edit:" and the program
    // file, or the action and the first line of its text.
    void parse_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("expected");
        const auto row = [](const char* name, QStringList a, QString e) {
            QTest::newRow(name) << a << e;
        };
        row("nothing", {}, "edit:");
        row("words of one name", {"my", "first", "program.mq"}, "edit:my first program.mq");
        row("dash name after --", {"--", "-odd.mq"}, "edit:-odd.mq");
        row("option word after --", {"a", "--", "--help"}, "edit:a --help");
        row("help", {"--help"}, "help:Usage: mosaiq [PROGRAM]");
        row("short help after a name", {"a.mq", "-h"}, "help:Usage: mosaiq [PROGRAM]");
        row("version", {"--version"}, "version:mosaiq " MOSAIQ_VERSION);
        row("short version", {"-v"}, "version:mosaiq " MOSAIQ_VERSION);
        row("help beside a bad word", {"--colour", "--help"}, "help:Usage: mosaiq [PROGRAM]");
        row("unknown option", {"--colour", "a.mq"}, "bad:mosaiq: Unknown option 'colour'.");
        row("window-system word", {"-reverse"}, "bad:mosaiq: Unknown option 'reverse'.");
    }
    void parse() {
        QFETCH(QStringList, arguments);
        QFETCH(QString, expected);
        const CommandLine line = ParseCommandLine(QStringList{"mosaiq"} + arguments);
        static const char* const kActions[] = {"edit", "help", "version", "bad"};
        const QString got =
            QString(kActions[int(line.action)]) + ':' +
            (line.action == CommandLine::Action::Edit ? line.programFile
                                                      : line.text.section('\n', 0, 0));
        QCOMPARE(got, expected);
    }
};

QTEST_GUILESS_MAIN(TestCommandLine)
#include "test_command_line.moc"
