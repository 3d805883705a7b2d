#pragma once

#include "FileStatus.h"

#include <filesystem>
#include <string>

namespace mosaiq {

// Gives the file at `path` the contents `text`. An existing file is replaced only once the new
// text is safely on disk: a failure at any step leaves it as it was and leaves no temporary file
// behind. A symbolic link stays a link; the file it points to is replaced. An existing file keeps
// its permissions (and, where the system allows, its owner). Only regular files are replaced.
//
// Where a replace would part the file from its other hard links, or its folder refuses the new
// file while the file itself may be written, the text is written into the file itself and put on
// disk instead; a failure there can leave the file part old, part new. Failures carry the
// system's reason ("Read-only file system", "Permission denied").
FileStatus ReplaceFile(const std::filesystem::path& path, const std::string& text);

} // namespace mosaiq
