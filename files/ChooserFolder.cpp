#include "ChooserFolder.h"

#include <system_error>

#if defined(__unix__) || defined(__APPLE__)
#include <unistd.h>
#endif

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

std::string SaveProposal(const std::string& fileName, const ChooserPlaces& places) {
    const fs::path file(fileName);
    const fs::path& elsewhere =
        places.documentsFolder.empty() ? places.homeFolder : places.documentsFolder;
    if (fileName.empty() || elsewhere.empty()) return fileName;
#if defined(__unix__) || defined(__APPLE__)
    std::error_code ec;
    const fs::path folder = file.has_parent_path() ? file.parent_path() : fs::path(".");
    const bool writable = fs::exists(file, ec) ? ::access(file.c_str(), W_OK) == 0
                                               : ::access(folder.c_str(), W_OK | X_OK) == 0;
    if (!writable) return (elsewhere / file.filename()).string();
#endif
    return fileName;
}

namespace {
fs::path Entry(const fs::path& folder, const fs::path& part, const ChooserSpelling& spelling) {
    std::error_code ec;
    if (fs::exists(fs::symlink_status(folder / part, ec))) return part;
    for (fs::directory_iterator it(folder.empty() ? "." : folder, ec), end; !ec && it != end;
         it.increment(ec))
        if (spelling(it->path().filename().string()) == part.string()) return it->path().filename();
    return part;
}
} // namespace

std::string ChosenPath(const std::string& answer, const std::string& proposed,
                       const ChooserSpelling& spelling) {
    if (!spelling) return answer;
    const fs::path offered(proposed);
    auto hint = offered.begin();
    fs::path found;
    for (const fs::path& part : fs::path(answer)) {
        const bool hinted = hint != offered.end() && spelling(hint->string()) == part.string();
        found /= hinted ? *hint : Entry(found, part, spelling);
        hint = hinted ? std::next(hint) : offered.end();
    }
    return found.string();
}

} // namespace mosaiq
