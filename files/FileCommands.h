#pragma once

#include "ChooserFolder.h"

#include <string>
#include <string_view>

namespace mosaiq {

class Editor;

// The Load and Save commands of the pop-up menu. Each asks for a path, reads or writes the file
// within its handler and hands its finishing steps to the window's one-shot timer, also when the
// chooser was cancelled or the file operation failed. A failure is told to the user and changes
// neither the strip, nor the file name, nor the caption.
// The choosers open in the folder of a named program file, or else where `places` says; their
// answers are read back into bytes by `spelling` (see ChosenPath).
void mnuLoad_Click(Editor& form, const ChooserPlaces& places, const ChooserSpelling& spelling);
void mnuSave_Click(Editor& form, const ChooserPlaces& places, const ChooserSpelling& spelling);

// Says that the file at `path` could not be `done` ("loaded", "saved") and why.
std::string FileFailedText(const std::string& path, std::string_view done,
                           const std::string& reason);

// Makes the menu's Load and Save items run the commands above. `spelling` is the chooser's own;
// without it, a name that is not valid text would come back from the chooser as another name.
void InstallFileCommands(Editor& form, const ChooserPlaces& places,
                         const ChooserSpelling& spelling);

} // namespace mosaiq
