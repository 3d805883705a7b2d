#pragma once

#include <string>

namespace mosaiq {

class Editor;

// The start-up's own steps once the splash is done: the caption, the bars, the palette and the
// menu, and the program named by `commandLine`, loaded when the path exists. Leaves FreshStart
// true and returns why that program could not be read, or nothing.
std::string PrepareEditor(Editor& form, const std::string& commandLine);

} // namespace mosaiq
