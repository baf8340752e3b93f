#include "naming/path_tidying.h"

#include <gtest/gtest.h>

namespace lumbra {
namespace {

struct TidyCase {
    const char* what;
    std::string_view path;
    std::string_view tidied;
};

TEST(NamingPathTidying, MakesExpandedTemplatesIntoUsablePaths) {
    const TidyCase cases[] = {
        {"already tidy", "\\music\\A - 1999\\B - C", "\\music\\A - 1999\\B - C"},
        {"slash between names", "\\music\\周杰伦/费玉清\\千里之外",
         "\\music\\周杰伦_费玉清\\千里之外"},
        {"colon, question mark, quotes", "\\music\\A\\你好: \"世界\"?",
         "\\music\\A\\你好_ _世界__"},
        {"drive colon stays", "D:\\Music\\a:b|c*d", "D:\\Music\\a_b_c_d"},
        {"dot before a separator", "\\music\\A\\Vol.\\C.", "\\music\\A\\Vol\\C."},
        {"capitalised placeholder", "\\music\\<ARTIST>\\C", "\\music\\_ARTIST_\\C"},
        {"network path", "\\\\server\\share\\x", "\\server\\share\\x"},
        {"backslash inside a value", "\\music\\AC\\\\ DC \\\\ 晴天", "\\music\\AC\\DC\\晴天"},
        {"a rule exposing another", "\\music\\A . \\ B", "\\music\\A\\B"},
        {"relative stays relative", ".\\A\\B", "A\\B"},
        {"no climbing out", "..\\..\\A", "A"},
    };
    for (const auto& c : cases) EXPECT_EQ(tidyOutputPath(c.path), c.tidied) << c.what;
}

}  // namespace
}  // namespace lumbra
