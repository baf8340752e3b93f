// From a naming template to a path the file system takes: placeholders filled, then tidied.
#include "naming/naming_template.h"

#include <gtest/gtest.h>

#include "naming/path_tidying.h"

namespace lumbra {
namespace {

std::string expand(std::string_view namingTemplate, const char* artist, const char* album,
                   const char* year, const char* title) {
    DiscRecord disc;
    disc.artist = artist;
    disc.album = album;
    disc.year = year;
    TrackEntry track;
    track.title = title;
    return expandNamingTemplate(namingTemplate, disc, track);
}

TEST(NamingTemplate, FillsPlaceholdersAndDropsBlanksAroundSeparators) {
    const std::pair<std::string_view, std::string_view> cases[] = {
        {"<Artist> - <Year> \\ <Album> - <Title>", "周杰伦 - 2003\\叶惠美 - 晴天"},
        {"<artist> \\ <Album> - <title> (<year>)", "周杰伦\\叶惠美 - 晴天 (2003)"},
        {"<Album>   \\   <Artist>\\ \\<Title>", "叶惠美\\周杰伦\\\\晴天"},
        {"<ARTIST> \\ <Genre> <Title><Title>", "<ARTIST>\\<Genre> 晴天晴天"},
    };
    for (const auto& [namingTemplate, expected] : cases) {
        EXPECT_EQ(expand(namingTemplate, "周杰伦", "叶惠美", "2003", "晴天"), expected);
    }
    // A value holding its own placeholder must not loop.
    EXPECT_EQ(expand("<Album> \\ <Artist> \\ <Title>", "<Artist>", "<Year>", "2003", "<Album>"),
              "2003\\<Artist>\\<Album>");
}

TEST(NamingPathTidying, MakesExpandedTemplatesIntoUsablePaths) {
    const std::pair<std::string_view, std::string_view> cases[] = {
        {"\\music\\A - 1999\\B - C", "\\music\\A - 1999\\B - C"},
        {"\\music\\周杰伦/费玉清\\千里之外", "\\music\\周杰伦_费玉清\\千里之外"},
        {"\\music\\A\\你好: \"世界\"?", "\\music\\A\\你好_ _世界__"},
        {"D:\\Music\\a:b|c*d", "D:\\Music\\a_b_c_d"},  // the drive's colon stays
        {"\\music\\A\\Vol.\\C.", "\\music\\A\\Vol\\C."},  // a dot only before a separator goes
        {"\\music\\<ARTIST>\\C", "\\music\\_ARTIST_\\C"},
        {"\\\\server\\share\\x", "\\server\\share\\x"},
        {"\\music\\AC\\\\ DC \\\\ 晴天", "\\music\\AC\\DC\\晴天"},  // backslashes inside a value
        {"\\music\\A . \\ B", "\\music\\A\\B"},  // one rule exposing work for another
        {".\\A\\B", "A\\B"},
        {"..\\..\\A", "A"},  // no climbing out
    };
    for (const auto& [path, tidied] : cases) EXPECT_EQ(tidyOutputPath(path), tidied) << path;
}

}  // namespace
}  // namespace lumbra
