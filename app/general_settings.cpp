#include "app/general_settings.h"

#include "naming/naming_template.h"
#include "naming/output_naming.h"
#include "naming/path_tidying.h"

namespace lumbra {

std::string templateExample(std::string_view outputFolder, std::string_view namingTemplate,
                            std::string_view extension) {
    DiscRecord disc;
    disc.artist = "Harbour Lights";
    disc.album = "Paper Boats";
    disc.year = "2000";
    TrackEntry track;
    track.title = "Morning Tide";
    const std::string name = tidyOutputName(expandNamingTemplate(namingTemplate, disc, track));
    return OutputFolder(outputFolder).nativePath(name) + std::string(extension);
}

const std::array<std::string_view, kGenreCount>& genreListNames() {
    static const auto names = [] {
        auto list = kGenreNames;
        list[40] = "AlternRock";
        list[46] = "Instrumental Pop";
        list[47] = "Instrumental Rock";
        list[51] = "Techno-Industrial";
        return list;
    }();
    return names;
}

std::string storedOutputFolder(std::string folder) {
    if (folder.size() > 1 && (folder.back() == '/' || folder.back() == '\\')) folder.pop_back();
    return folder;
}

}  // namespace lumbra
