#pragma once

#include <filesystem>

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

} // namespace mosaiq
