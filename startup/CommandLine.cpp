#include "CommandLine.h"

#include <QCommandLineParser>

#include <cmath>
#include <optional>

namespace mosaiq {

namespace {
const QString kUsage = QStringLiteral(
    "Usage: mosaiq [--pace N|full] [--] [PROGRAM]\n"
    "\n"
    "Opens the Mosaiq editor, in which programs are painted on a strip of 1024 coloured cells,\n"
    "and loads the program file PROGRAM. All the words of PROGRAM together, joined by blanks,\n"
    "name the one file; put -- before a name that starts with a dash.\n"
    "\n"
    "  --pace N       run N instructions a second (default 20), taken to the nearest of 1, 2,\n"
    "                5, 10, 20, 50, ... 100000 and 1000000; --pace full runs at full speed;\n"
    "                white and data cells are never held back\n"
    "  -h, --help     show this text\n"
    "  -v, --version  show the version\n");

// The pace a word asks for, or nothing when it is neither "full" nor a number.
std::optional<int> ParsePace(const QString& word) {
    if (word == QLatin1String("full")) return kFullSpeed;
    bool ok = false;
    const double value = word.toDouble(&ok);
    if (!ok || !std::isfinite(value)) return std::nullopt;
    return NearestPace(value);
}
} // namespace

CommandLine ParseCommandLine(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    const QCommandLineOption version(QStringList{QStringLiteral("v"), QStringLiteral("version")});
    const QCommandLineOption pace(QStringLiteral("pace"), {}, QStringLiteral("N"));
    parser.addOption(help);
    parser.addOption(version);
    parser.addOption(pace);
    bool parsed = parser.parse(arguments);
    std::optional<int> paceAsked = kDefaultPace;
    if (parsed && parser.isSet(pace)) {
        paceAsked = ParsePace(parser.value(pace));
        parsed = paceAsked.has_value();
    }

    CommandLine line;
    if (parser.isSet(help)) {
        line.action = CommandLine::Action::Help;
        line.text = kUsage;
    } else if (parser.isSet(version)) {
        line.action = CommandLine::Action::Version;
        line.text = QStringLiteral("mosaiq " MOSAIQ_VERSION "\n");
    } else if (!parsed) {
        line.action = CommandLine::Action::BadUsage;
        const QString why = paceAsked
                                ? parser.errorText()
                                : QStringLiteral("--pace takes a number of instructions per second "
                                                 "or \"full\", not '%1'.")
                                      .arg(parser.value(pace));
        line.text = QStringLiteral("mosaiq: ") + why + QStringLiteral("\n\n") + kUsage;
    } else {
        line.pace = *paceAsked;
        line.programFile =
            parser.positionalArguments().join(QLatin1Char(' ')).toLatin1().toStdString();
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
