#include "naming/naming_template.h"

#include <gtest/gtest.h>

#include "naming/output_naming.h"

namespace lumbra {
namespace {

DiscRecord discOf(std::string artist, std::string album, std::string year) {
    DiscRecord disc;
    disc.artist = std::move(artist);
    disc.album = std::move(album);
    disc.year = std::move(year);
    return disc;
}

TrackEntry trackTitled(std::string title) {
    TrackEntry track;
    track.title = std::move(title);
    return track;
}

TEST(NamingTemplate, FillsPlaceholdersAndDropsBlanksAroundSeparators) {
    EXPECT_EQ(
        outputPathBase("/music") + expandNamingTemplate("<Artist> - <Year> \\ <Album> - <Title>",
                                                        discOf("A", "B", "1999"), trackTitled("C")),
        "\\music\\A - 1999\\B - C");

    const std::pair<std::string_view, std::string_view> cases[] = {
        {"<artist> \\ <Album> - <title> (<year>)", "周杰伦\\叶惠美 - 晴天 (2003)"},
        {"<Album>   \\   <Artist>\\ \\<Title>", "叶惠美\\周杰伦\\\\晴天"},
        {"<ARTIST> \\ <Genre> <Title><Title>", "<ARTIST>\\<Genre> 晴天晴天"},
    };
    for (const auto& [namingTemplate, expected] : cases) {
        EXPECT_EQ(expandNamingTemplate(namingTemplate, discOf("周杰伦", "叶惠美", "2003"),
                                       trackTitled("晴天")),
                  expected);
    }
}

TEST(NamingTemplate, ValuesAreSearchedOnlyByLaterPlaceholders) {
    // A value holding its own placeholder must not loop.
    EXPECT_EQ(expandNamingTemplate("<Album> \\ <Artist> \\ <Title>",
                                   discOf("<Artist>", "<Year>", "2003"), trackTitled("<Album>")),
              "2003\\<Artist>\\<Album>");
}

}  // namespace
}  // namespace lumbra
