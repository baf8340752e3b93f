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
        {"<Artist>/<Album> / <Title>", "周杰伦\\叶惠美\\晴天"},
    };
    for (const auto& [namingTemplate, expected] : cases) {
        EXPECT_EQ(expand(namingTemplate, "周杰伦", "叶惠美", "2003", "晴天"), expected);
    }
    // A slash in a value is part of its name, not a folder of the template's.
    EXPECT_EQ(tidyOutputName(expand("<Artist>/<Title>", "AC/DC", "", "", "T.N.T.")),
              "AC_DC\\T.N.T.");
    // A value holding its own placeholder must not loop.
    EXPECT_EQ(expand("<Album> \\ <Artist> \\ <Title>", "<Artist>", "<Year>", "2003", "<Album>"),
              "2003\\<Artist>\\<Album>");
}

TEST(NamingPathTidying, MakesExpandedTemplatesIntoNamesInsideTheFolder) {
    const std::pair<std::string_view, std::string_view> cases[] = {
        {"A - 1999\\B - C", "A - 1999\\B - C"},
        {"周杰伦/费玉清\\千里之外", "周杰伦_费玉清\\千里之外"},
        {"A\\你好: \"世界\"?", "A\\你好_ _世界__"},
        {"D:\\Music\\a:b|c*d", "D_\\Music\\a_b_c_d"},  // a name has no drive
        {"A\\Vol.\\C.", "A\\Vol\\C."},                 // a dot only before a separator goes
        {"<ARTIST>\\C", "_ARTIST_\\C"},
        {"AC\\\\ DC \\\\ 晴天", "AC\\DC\\晴天"},  // backslashes inside a value
        {"A . \\ B", "A\\B"},                     // one rule exposing work for another
        {".\\A\\B", "A\\B"},
        // Values that would climb out of the folder or start at the root.
        {"..\\..\\A", "A"},
        {"\\\\server\\share\\x", "server\\share\\x"},
        {"\\tmp\\x", "tmp\\x"},
        {" \\ \\..\\etc", "etc"},
        {"A\\..\\..\\..\\B", "A\\B"},
        {"/abs/x", "_abs_x"},
        // Control characters make names no one can type.
        {"a\x1b]0;t\x07\\b\x7f\tc", "a_]0;t_\\b_ c"},
        // Characters that act unseen go: a name shown backwards, C1 controls from GB18030.
        {"evil\u202Egpj.exe\\x\xC2\x9By", "evilgpj.exe\\xy"},
        {std::string_view("x\0y", 3), "x_y"},
    };
    for (const auto& [name, tidied] : cases) EXPECT_EQ(tidyOutputName(name), tidied) << name;
}

}  // namespace
}  // namespace lumbra
