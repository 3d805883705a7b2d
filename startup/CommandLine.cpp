#include "CommandLine.h"

#include <QCommandLineParser>

namespace mosaiq {

namespace {
const QString kUsage = QStringLiteral(
    "Usage: mosaiq [PROGRAM]\n"
    "\n"
    "Opens the Mosaiq editor, in which programs are painted on a strip of 1024 coloured cells,\n"
    "and loads the program file PROGRAM. All the words of PROGRAM together, joined by blanks,\n"
    "name the one file; put -- before a name that starts with a dash.\n"
    "\n"
    "  -h, --help     show this text\n"
    "  -v, --version  show the version\n");
} // namespace

CommandLine ParseCommandLine(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    const QCommandLineOption version(QStringList{QStringLiteral("v"), QStringLiteral("version")});
    parser.addOption(help);
    parser.addOption(version);
    const bool parsed = parser.parse(arguments);

    CommandLine line;
    if (parser.isSet(help)) {
        line.action = CommandLine::Action::Help;
        line.text = kUsage;
    } else if (parser.isSet(version)) {
        line.action = CommandLine::Action::Version;
        line.text = QStringLiteral("mosaiq " MOSAIQ_VERSION "\n");
    } else if (!parsed) {
        line.action = CommandLine::Action::BadUsage;
        line.text =
            QStringLiteral("mosaiq: ") + parser.errorText() + QStringLiteral("\n\n") + kUsage;
    } else {
        line.programFile = parser.positionalArguments().join(QLatin1Char(' ')).toLatin1().toStdString();
    }
    return line;
}

QStringList RawArguments(int argc, char* argv[]) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLatin1(argv[i]);
    return arguments;
}

} // namespace mosaiq
