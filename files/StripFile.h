#pragma once

#include "Machine.h"
#include "StripFormat.h"

#include <algorithm>
#include <filesystem>

namespace mosaiq {

// Puts `codes` into the strip: the strip and every bar are cleared as by Clear All (any run stops
// at its next check, the X marker stands red on bar 1) and the codes fill the cells. The bars are
// not repainted from the new codes: the caller does that once the caption shows where they came
// from.
template <MachineHost Host>
void LoadStripCodes(MachineState& m, Host& host, const StripCodes& codes) {
    ClearStrip(m, host, RunEnd::Stopped);
    std::copy(codes.begin(), codes.end(), m.Cells.begin() + 1);
}

// Loads the program file at `path` into the strip. The file is read in full before anything
// changes, so a file that cannot be read leaves the strip, the bars and StopRequest exactly as they
// were, and the status says why. Otherwise as LoadStripCodes.
template <MachineHost Host>
FileStatus LoadStripFile(MachineState& m, Host& host, const std::filesystem::path& path) {
    StripCodes codes{};
    if (FileStatus status = ReadStripFile(path, codes); !status) return status;
    LoadStripCodes(m, host, codes);
    return {};
}

// Saves the codes of cells 1 to 1024 as they stand, whatever a run has made of them.
inline FileStatus SaveStripFile(const MachineState& m, const std::filesystem::path& path) {
    StripCodes codes{};
    std::copy(m.Cells.begin() + 1, m.Cells.end(), codes.begin());
    return WriteStripFile(path, codes);
}

} // namespace mosaiq
