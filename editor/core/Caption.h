#pragma once

#include <string>
#include <string_view>

namespace mosaiq {

// The editor window's caption names the product, the mode and the program file:
// "Mosaiq [Design]", "Mosaiq [Running] ~ /tmp/demo.mq". It is also the only record of the mode.

// Builds the whole caption from the title, a mode word and the file name (which may be empty).
std::string SetStatus(std::string_view appTitle, std::string_view mode, std::string_view fileName);

// Puts a new file name into the caption, leaving everything before the first "~" (the mode word
// included) as it was. Does nothing when fileName is empty.
void ShowFileInCaption(std::string& caption, std::string_view fileName);

} // namespace mosaiq
