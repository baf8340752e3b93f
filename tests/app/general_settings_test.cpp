// The general page's rules: the example line of a template, and the
// output folder as the folder chooser and Apply store it.
#include <gtest/gtest.h>

#include "app/general_settings.h"

namespace lumbra {
namespace {

// The example is the path a rip would write: folders from "\\" and "/", values tidied as a rip
// tidies them, the folder as given.
TEST(GeneralSettings, TemplateExampleIsTheRipsPath) {
    const std::pair<const char*, const char*> cases[] = {
        {"<Album> \\ <Artist> \\ <Title>", "/m/Paper Boats/Harbour Lights/Morning Tide.mp3"},
        {"<Artist>/<Year>/<Album> - <Title>",
         "/m/Harbour Lights/2000/Paper Boats - Morning Tide.mp3"},
        {"<artist> \\ <year> <title>", "/m/Harbour Lights/2000 Morning Tide.mp3"},
        // Capitals and other cases stay as typed, and their brackets cannot be in a name.
        {"<ARTIST> \\ <TiTle>", "/m/_ARTIST_/_TiTle_.mp3"},
        {"专辑 \\ <Title>", "/m/专辑/Morning Tide.mp3"},
        {"..\\..\\<Title>", "/m/Morning Tide.mp3"},
    };
    for (const auto& [namingTemplate, example] : cases) {
        EXPECT_EQ(templateExample("/m", namingTemplate, ".mp3"), example) << namingTemplate;
    }
    EXPECT_EQ(templateExample("", "<Title>", ".flac"), "Morning Tide.flac") << "the current folder";
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
