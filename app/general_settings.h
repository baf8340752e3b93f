// The rules of the general settings page that need no screen: the built-in naming templates, the
// example line, the genre list it shows and the output folder as the folder chooser stores it.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "metadata/disc_record.h"

namespace lumbra {

// In the order the template box lists them.
inline constexpr std::array<std::string_view, 7> kBuiltInTemplates{
    "<Album> \\ <Artist> \\ <Title>",
    "<Artist> - <Album> - <Title>",
    "<Artist> - <Album> \\ <Title>",
    "<Artist> - <Year> \\ <Album> - <Title>",
    "<Artist> - <Year> \\ <Album> \\ <Title>",
    "<Artist> \\ <Album> \\ <Title>",
    "<Artist> \\ <Title>"};

// The path a track of a sample disc (Harbour Lights, "Paper Boats", 2000, "Morning Tide") would
// get: the output folder, the template filled in and tidied as a rip does it, and `extension`;
// "/music/Paper Boats/Harbour Lights/Morning Tide.mp3" for the first template in /music.
std::string templateExample(std::string_view outputFolder, std::string_view namingTemplate,
                            std::string_view extension);

// The genre names the page lists: the tag genres, four of them in their long form.
const std::array<std::string_view, kGenreCount>& genreListNames();

// A chosen folder as stored: one trailing separator removed, except that the root stays "/"
// (an empty folder would mean the current folder).
std::string storedOutputFolder(std::string folder);

}  // namespace lumbra
