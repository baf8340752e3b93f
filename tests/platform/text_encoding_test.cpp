#include "platform/text_encoding.h"

#include <gtest/gtest.h>

namespace lumbra::platform {
namespace {

constexpr std::string_view kChineseUtf8 = "中文音轨";
constexpr std::string_view kChineseGbk = "\xD6\xD0\xCE\xC4\xD2\xF4\xB9\xEC";

TEST(TextEncoding, ConvertsToGbkWithAQuestionMarkPerCharacterItCannotHold) {
    EXPECT_EQ(utf8ToGbk(kChineseUtf8), kChineseGbk);
    EXPECT_EQ(utf8ToGbk("a\xF0\x9F\x8E\xB5" "b"), "a?b");  // an emoji: 4 bytes, one mark
    EXPECT_EQ(utf8ToGbk("a\xFF" "b"), "a?b");             // not UTF-8 at all
}

TEST(TextEncoding, RecognisesUtf8AndDecodesTheRestAsGb18030) {
    EXPECT_TRUE(isValidUtf8(kChineseUtf8));
    EXPECT_FALSE(isValidUtf8(kChineseGbk));
    EXPECT_FALSE(isValidUtf8("\xC0\x80"));  // overlong NUL
    EXPECT_FALSE(isValidUtf8("\xE4\xB8"));  // cut short
    EXPECT_EQ(toUtf8FromUnknown(kChineseGbk), kChineseUtf8);
    EXPECT_EQ(toUtf8FromUnknown(kChineseUtf8), kChineseUtf8);
    EXPECT_EQ(gb18030ToUtf8("a\x81"), "a\xEF\xBF\xBD");  // a lead byte without its trail
}

}  // namespace
}  // namespace lumbra::platform
