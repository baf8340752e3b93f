// The general page's rules: the example line of a template, the genre names it lists, and the
// output folder as the folder chooser and Apply store it.
#include <gtest/gtest.h>

#include "app/general_settings.h"

namespace lumbra {
namespace {

TEST(GeneralSettings, TemplateExample) {
    const std::pair<const char*, const char*> cases[] = {
        {"<Album> \\ <Artist> \\ <Title>",
         "D: \\ Paper Boats \\ Harbour Lights \\ Morning Tide.mp3"},
        {"<Artist> - <Year> \\ <Album> - <Title>",
         "D: \\ Harbour Lights - 2000 \\ Paper Boats - Morning Tide.mp3"},
        {"<artist> \\ <year> <title>", "D: \\ Harbour Lights \\ 2000 Morning Tide.mp3"},
        // Capitals and other cases stay as typed.
        {"<ARTIST> \\ <TiTle>", "D: \\ <ARTIST> \\ <TiTle>.mp3"},
        {"<Title><Title>", "D: \\ Morning TideMorning Tide.mp3"},
        {"", "D: \\ .mp3"},
        {"专辑 \\ <Title>", "D: \\ 专辑 \\ Morning Tide.mp3"},
    };
    for (const auto& [namingTemplate, example] : cases) {
        EXPECT_EQ(templateExample(namingTemplate), example) << namingTemplate;
    }
}

TEST(GeneralSettings, EveryBuiltInTemplateNamesTheTitle) {
    for (std::string_view t : kBuiltInTemplates) EXPECT_NE(t.find("<Title>"), t.npos) << t;
}

TEST(GeneralSettings, GenreListShowsFourLongForms) {
    const auto& names = genreListNames();
    EXPECT_EQ(names[0], "Blues");
    EXPECT_EQ(names[79], "Hard Rock");
    int differing = 0;
    for (int i = 0; i < kGenreCount; ++i) differing += names[size_t(i)] != kGenreNames[size_t(i)];
    EXPECT_EQ(differing, 4);
    EXPECT_EQ(names[40], "AlternRock");
    EXPECT_EQ(names[46], "Instrumental Pop");
    EXPECT_EQ(names[47], "Instrumental Rock");
    EXPECT_EQ(names[51], "Techno-Industrial");
}

TEST(GeneralSettings, StoredOutputFolder) {
    const std::pair<const char*, const char*> cases[] = {
        {"/home/u/Music/", "/home/u/Music"},
        {"/home/u/Music", "/home/u/Music"},
        {"/home/u/Music//", "/home/u/Music/"},  // one separator only
        {"/", "/"},                             // the root stays the root, not the current folder
        {"", ""},
        {"D:\\", "D:"},
    };
    for (const auto& [chosen, stored] : cases)
        EXPECT_EQ(storedOutputFolder(chosen), stored) << chosen;
}

}  // namespace
}  // namespace lumbra
