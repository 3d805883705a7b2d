#pragma once

#include <string>

namespace mosaiq {

class Editor;

// The program named on the command line (`commandLine`, bytes), once the editor has its start
// state: becomes the file name and is loaded when the path exists; the caption shows it. A path
// that names something that cannot be read leaves a notice for the user in StartupNotice.
void LoadStartupProgram(Editor& form, const std::string& commandLine);

// The strip an address carries in its fragment (`link`, without its "#"), once the editor has its
// start state: loaded when the fragment is a program's link; otherwise the strip stays empty and
// StartupNotice says why. An empty fragment is no link at all.
void LoadStartupLink(Editor& form, const std::string& link);

} // namespace mosaiq
