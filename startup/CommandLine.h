#pragma once

#include "Pacer.h"

#include <QString>
#include <QStringList>

#include <string>

namespace mosaiq {

// What the editor's command line asks for. Every word that is not an option belongs to the one
// program file to load, the words joined by single blanks, so a name with blanks needs no quotes;
// "--" ends the options, for a name that starts with a dash.
struct CommandLine {
    enum class Action { Edit, Help, Version, BadUsage };
    Action action = Action::Edit;
    std::string programFile; // Edit: the program file to load, as bytes; empty for none
    int pace = kDefaultPace; // Edit: the pace of visible runs, a rung of the ladder
    QString text;            // Help, Version: what to print; BadUsage: why, then the usage
};

// `arguments` as the process got them, the program's name first, each byte one character (see
// RawArguments), so that a file name comes back with exactly the bytes it was given. Options are
// single words, with one dash or two, so that a window-system option such as -reverse that reaches
// this parser is refused rather than read as -r -e -v. Help and Version win over a bad word beside
// them.
CommandLine ParseCommandLine(const QStringList& arguments);

// The process's arguments with each byte taken as one Latin-1 character. Options are plain ASCII
// and read the same; file names are bytes on Linux and must reach the file system unchanged,
// whatever their encoding.
QStringList RawArguments(int argc, char* argv[]);

} // namespace mosaiq
