#pragma once

#include <filesystem>
#include <functional>
#include <string>

namespace mosaiq {

enum class ChooserKind { Load, Save };

// Where the program runs from and the user's own folders. An empty path stands for a folder that
// is not there.
struct ChooserPlaces {
    bool installed = false;                // false: the program runs from its build tree
    std::filesystem::path programFolder;   // the folder that holds the running executable
    std::filesystem::path examplesFolder;  // the installed example programs
    std::filesystem::path documentsFolder; // the user's documents
    std::filesystem::path homeFolder;
};

// The folder a Load or Save chooser opens in when no program file has been named yet. From the
// build tree that is the program's own folder, beside the build. An installed program's folder
// (such as /usr/bin) holds nothing to load and is not the user's to write in, so there Load opens
// the examples and Save the user's documents, or home when there are none.
std::filesystem::path ChooserFolder(ChooserKind kind, const ChooserPlaces& places);

// Looks at the file system: the program counts as installed when the examples folder lies at
// `examplesFromProgram` (relative, as the installation lays it out) beside its folder, which no
// build tree has; a documents folder that does not exist is left out.
ChooserPlaces FindChooserPlaces(const std::filesystem::path& programFolder,
                                const std::filesystem::path& examplesFromProgram,
                                const std::filesystem::path& documentsFolder,
                                const std::filesystem::path& homeFolder);

// The name Save proposes for the program file `fileName` (may be empty): that name where this user
// may save it, else the same file name in the documents folder, or home without one, as when an
// installed example was loaded. A save writes an existing file only if the file itself may be
// written (into the file where its folder takes no new files), and makes a new one only in a
// folder that takes new files; those are the checks made here.
std::string SaveProposal(const std::string& fileName, const ChooserPlaces& places);

// How the file chooser spells a name it lists, given the name's bytes. A chooser that works in
// text answers with other bytes for a name that is not valid in the system's encoding.
using ChooserSpelling = std::function<std::string(const std::string& name)>;

// The path the chooser's `answer` means, where every name is bytes. Each part of it is the part of
// `proposed` (the path the chooser was offered) that the chooser spells so, or else the entry of
// its folder by that name, or else the first entry the chooser spells so; a part that matches
// nothing is a name still to be made and stays as it is. No `spelling`: the answer as it is.
std::string ChosenPath(const std::string& answer, const std::string& proposed,
                       const ChooserSpelling& spelling);

} // namespace mosaiq
