#include "platform/profile_text.h"

#include <gtest/gtest.h>

namespace lumbra::platform {
namespace {

constexpr std::string_view kHandEdited =
    "\xEF\xBB\xBF; settings written by hand\r\n"
    "[General]\r\n"
    "  Id3_Enable  =  0 \r\n"
    "ID3_ENABLE=1\r\n"
    "\r\n"
    "[mp3]\r\n"
    "MP3_BITRATE = 12\r\n";

TEST(ProfileText, FindsKeysAsHandEditedFilesHoldThemInTheirOwnSectionOnly) {
    // Case-blind names, blanks around '=', CRLF ends, a byte-order mark; the first duplicate wins.
    EXPECT_EQ(findProfileValue(kHandEdited, "GENERAL", "ID3_ENABLE"), "0");
    EXPECT_EQ(findProfileValue(kHandEdited, "MP3", "mp3_bitrate"), "12");
    EXPECT_EQ(findProfileValue(kHandEdited, "MP3", "MP3_SAMPLE"), std::nullopt);
    EXPECT_EQ(findProfileValue(kHandEdited, "OGG", "MP3_BITRATE"), std::nullopt);
    EXPECT_EQ(findProfileValue("[A]\nkey=\n", "A", "key"), "");
    EXPECT_EQ(findProfileValue("[A]\n; key=1\n#key=2\nkey=3", "A", "key"), "3");
    EXPECT_EQ(findProfileValue("[A]\nx=1\n[B]\ny=2\n", "A", "y"), std::nullopt);
    EXPECT_EQ(findProfileValue("x=1\n[A]\n", "A", "x"), std::nullopt);
}

TEST(ProfileText, AnIndexFindsWhatASearchOfTheTextFinds) {
    const std::string_view texts[] = {
        kHandEdited,
        "x=0\n[B]\nz=3\n[A]\nx=1\nX=9\n[a]\nx=2\ny=4\n[B]\nw=5\n",  // repeated sections
        "[A]\n; key=1\n#key=2\nkey=3\n[]\n=4\nkey\n[ A ]x\n y = 5 ",
        "\xEF\xBB\xBF[A]\r\nkey=\r\n[A\n", ""};
    const std::pair<std::string_view, std::string_view> lookups[] = {{"GENERAL", "id3_enable"},
                                                                     {"mp3", "MP3_BITRATE"},
                                                                     {"A", "x"},
                                                                     {"a", "y"},
                                                                     {"B", "z"},
                                                                     {"B", "w"},
                                                                     {"A", "key"},
                                                                     {"", ""},
                                                                     {"A", "y"},
                                                                     {"X", "x"}};
    for (const std::string_view text : texts) {
        const ProfileIndex index{std::string(text)};
        for (const auto& [section, key] : lookups) {
            EXPECT_EQ(index.find(section, key), findProfileValue(text, section, key))
                << text << " / " << section << " / " << key;
        }
    }
}

TEST(ProfileText, WritesChangeOnlyTheirKeyAndKeepTheFilesLines) {
    struct Case {
        std::string_view text, section, key, value, expected;
    };
    const Case cases[] = {
        {"; top\n[A]\nx=1\n; about y\ny=2\nunknown line\n[B]\nz=3\n", "a", "Y", "20",
         "; top\n[A]\nx=1\n; about y\ny=20\nunknown line\n[B]\nz=3\n"},
        {"[A]\nx=1\n\n; B follows\n[B]\nz=3\n", "A", "w", "9",
         "[A]\nx=1\nw=9\n\n; B follows\n[B]\nz=3\n"},  // after the section's last key
        {"[A]", "A", "w", "9", "[A]\nw=9\n"},
        {"", "OUTPUT", "OUTPUT_FORMAT", "x", "[OUTPUT]\nOUTPUT_FORMAT=x\n"},
        {"[A]\r\nx=1", "B", "y", "2", "[A]\r\nx=1\r\n[B]\r\ny=2\r\n"},
        {"\xEF\xBB\xBF[A]\r\nx=1\r\n", "A", "x", "2", "\xEF\xBB\xBF[A]\r\nx=2\r\n"},
        {"[A]\n", "A", "x", "1\n[B]\ny=2", "[A]\nx=1 [B] y=2\n"},  // a value cannot add lines
    };
    for (const auto& c : cases) {
        EXPECT_EQ(setProfileValue(c.text, c.section, c.key, c.value), c.expected) << c.text;
    }
}

TEST(ProfileText, ABatchOfWritesLeavesWhatOneWriteAfterAnotherWould) {
    const std::string_view texts[] = {"",
                                      "[A]",
                                      "[A]\r\nx=1",
                                      "\xEF\xBB\xBF[A]\r\nx=1\r\n",
                                      "x=0\n[B]\nz=3\n[A]\nx=1\n[a]\nx=2\n",
                                      "[A]\nx=1\n\n; B follows\n[B]\nz=3",
                                      "no sections, no line end",
                                      "\xEF\xBB\xBF",
                                      "[A]\r",
                                      "\r"};
    const ProfileEntry batch[] = {{"x", "5"}, {"new", "a\nb"}, {"X", "6"}, {"w", ""}};
    for (const std::string_view text : texts) {
        for (const std::string_view section : {"A", "b", "C"}) {
            std::string oneByOne(text);
            for (const auto& e : batch)
                oneByOne = setProfileValue(oneByOne, section, e.key, e.value);
            EXPECT_EQ(setProfileValues(text, section, batch), oneByOne) << text << " / " << section;
        }
    }
    EXPECT_EQ(profileSectionText(kHandEdited, "MP3"), "[mp3]\r\nMP3_BITRATE = 12\r\n");
    EXPECT_EQ(profileSectionText(kHandEdited, "OGG"), "");
}

TEST(ProfileText, RemovesKeysAndSections) {
    const std::string text =
        "[CDDB]\nCDDB_SERVER0=a\nCDDB_AUTO=1\n[PROXY]\nPROXY_PORT=80\n[cddb]\nCDDB_SERVER0=b\n";
    EXPECT_EQ(removeProfileKey(text, "cddb", "cddb_server0"),
              "[CDDB]\nCDDB_AUTO=1\n[PROXY]\nPROXY_PORT=80\n[cddb]\n");
    EXPECT_EQ(removeProfileSection(text, "CDDB"), "[PROXY]\nPROXY_PORT=80\n");
}

TEST(ProfileText, IntegersComeFromLeadingDigits) {
    const std::pair<std::string_view, int> cases[] = {{"12abc", 12},
                                                      {"abc", 0},
                                                      {"-3", -3},
                                                      {"+7", 7},
                                                      {"", 0},
                                                      {"-", 0},
                                                      {" 5", 0},
                                                      {"0x10", 0},
                                                      {"99999999999", 2147483647},
                                                      {"-99999999999", -2147483648}};
    for (const auto& [text, value] : cases) EXPECT_EQ(parseProfileInt(text), value) << text;
}

}  // namespace
}  // namespace lumbra::platform
