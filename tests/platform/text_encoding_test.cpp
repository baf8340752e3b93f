#include "platform/text_encoding.h"

#include <gtest/gtest.h>

#include "platform/control_characters.h"

namespace lumbra::platform {
namespace {

constexpr std::string_view kChineseUtf8 = "中文音轨";
constexpr std::string_view kChineseGbk = "\xD6\xD0\xCE\xC4\xD2\xF4\xB9\xEC";

TEST(TextEncoding, ConvertsToGbkWithAQuestionMarkPerCharacterItCannotHold) {
    EXPECT_EQ(utf8ToGbk(kChineseUtf8), kChineseGbk);
    EXPECT_EQ(utf8ToGbk("a\xF0\x9F\x8E\xB5"
                        "b"),
              "a?b");  // an emoji: 4 bytes, one mark
    EXPECT_EQ(utf8ToGbk("a\xFF"
                        "b"),
              "a?b");  // not UTF-8 at all
}

TEST(TextEncoding, RecognisesUtf8AndDecodesTheRestAsGb18030) {
    EXPECT_TRUE(isValidUtf8(kChineseUtf8));
    EXPECT_FALSE(isValidUtf8(kChineseGbk));
    const std::string_view notUtf8[] = {
        "\xC0\x80",          // overlong NUL
        "\xE0\x80\xAF",      // overlong '/', three bytes
        "\xED\xA0\x80",      // a UTF-16 surrogate
        "\xF4\x90\x80\x80",  // past U+10FFFF
        "\xE4\xB8",          // cut short
        "\xE4\x41\x41",      // a continuation byte missing
    };
    for (const auto text : notUtf8) EXPECT_FALSE(isValidUtf8(text)) << testing::PrintToString(text);
    EXPECT_TRUE(isValidUtf8("\xF0\x9F\x8E\xB5\xEF\xBF\xBD"));
    EXPECT_EQ(toUtf8FromUnknown(kChineseGbk), kChineseUtf8);
    EXPECT_EQ(toUtf8FromUnknown(kChineseUtf8), kChineseUtf8);
    EXPECT_EQ(gb18030ToUtf8("a\x81"), "a\xEF\xBF\xBD");  // a lead byte without its trail
}

TEST(TextEncoding, KeepsTerminalCommandsOutOfPrintedText) {
    const std::pair<std::string_view, std::string_view> cases[] = {
        {"\x1b]0;owned\x07晴天", "?]0;owned?晴天"},  // retitles the window
        {"\x1b[2J\x7f", "?[2J?"},
        {"a\xC2\x9B"
         "31mb",
         "a?31mb"},                                // the one-character CSI, U+009B
        {"\xC2\xA0\xC3\x9B", "\xC2\xA0\xC3\x9B"},  // no-break space and Ã stay
        {"line\n\tnext\r", "line\n\tnext?"},
    };
    for (const auto& [text, printed] : cases) EXPECT_EQ(printableText(text), printed) << text;
    EXPECT_EQ(withoutControlCharacters("a\tb\x7f\nc\xC2\xA0"), "a bc\xC2\xA0") << "tags drop them";
}

// Characters that act unseen: C1 controls and the bidirectional controls that show a name
// backwards. Their neighbours in UTF-8 stay.
TEST(TextEncoding, DropsCharactersThatActUnseen) {
    const std::pair<std::string_view, std::string_view> cases[] = {
        {"evil\u202Egpj.exe", "evilgpj.exe"},
        {"\u202A\u202B\u202C\u202D\u2066\u2067\u2068\u2069x", "x"},
        {"a\xC2\x80\xC2\x85\xC2\x9F"
         "b",
         "ab"},
        {"tab\there", "tab here"},
        {"\u2029\u202F\u2065\u206A\xC2\xA0\xC2\x7F", "\u2029\u202F\u2065\u206A\xC2\xA0\xC2\x7F"},
        {"cut\xE2\x80", "cut\xE2\x80"},
    };
    for (const auto& [text, kept] : cases) EXPECT_EQ(withoutHiddenCharacters(text), kept) << text;
    EXPECT_EQ(withoutControlCharacters("\u202E\x01\xC2\x9B"
                                       "a\tb"),
              "a b");
}

}  // namespace
}  // namespace lumbra::platform
