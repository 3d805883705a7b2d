#include "ChooserFolder.h"

#include <system_error>

namespace mosaiq {

namespace fs = std::filesystem;

fs::path ChooserFolder(ChooserKind kind, const ChooserPlaces& places) {
    if (!places.installed) return places.programFolder;
    if (kind == ChooserKind::Load) return places.examplesFolder;
    return places.documentsFolder.empty() ? places.homeFolder : places.documentsFolder;
}

ChooserPlaces FindChooserPlaces(const fs::path& programFolder, const fs::path& examplesFromProgram,
                                const fs::path& documentsFolder, const fs::path& homeFolder) {
    std::error_code ec; // a folder that cannot be looked at counts as missing
    ChooserPlaces places;
    places.programFolder = programFolder;
    places.homeFolder = homeFolder;
    const fs::path examples = fs::canonical(programFolder / examplesFromProgram, ec);
    places.installed = !ec && fs::is_directory(examples, ec);
    if (places.installed) places.examplesFolder = examples;
    if (!documentsFolder.empty() && fs::is_directory(documentsFolder, ec))
        places.documentsFolder = documentsFolder;
    return places;
}

} // namespace mosaiq
