#include "app/general_settings.h"

#include <utility>

namespace lumbra {
namespace {

void replaceAll(std::string& text, std::string_view from, std::string_view to) {
    for (size_t at = text.find(from); at != std::string::npos;
         at = text.find(from, at + to.size())) {
        text.replace(at, from.size(), to);
    }
}

}  // namespace

std::string templateExample(std::string_view namingTemplate) {
    static constexpr std::pair<std::string_view, std::string_view> kSamples[] = {
        {"<Album>", "Paper Boats"},  {"<Artist>", "Harbour Lights"},
        {"<Title>", "Morning Tide"}, {"<Year>", "2000"},
        {"<album>", "Paper Boats"},  {"<artist>", "Harbour Lights"},
        {"<title>", "Morning Tide"}, {"<year>", "2000"}};
    std::string text(namingTemplate);
    for (const auto& [placeholder, sample] : kSamples) replaceAll(text, placeholder, sample);
    return "D: \\ " + text + ".mp3";
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
