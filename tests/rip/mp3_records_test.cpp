// The two byte records of the MP3 path: the stream record handed to the encoder library and
// the ID3 version 1 tag at the end of the file.
#include <gtest/gtest.h>

#include <map>

#include "rip/id3v1_tag.h"
#include "rip/lame_stream_setup.h"

namespace lumbra {
namespace {

constexpr Mp3Settings kDefaultMp3{1, 1, 8, 1, 3, 10, 7};

TEST(LameStreamRecord, DefaultSettingsGiveTheirFieldsAndZerosEverywhereElse) {
    const std::map<size_t, uint32_t> fields{{0, 256},  {4, 1},    {8, 331}, {12, 44100}, {20, 0},
                                            {24, 128}, {28, 192}, {32, 7},  {36, 1},     {60, 1},
                                            {68, 1},   {72, 3},   {84, 1}};
    std::string expected(331, '\0');
    for (const auto& [offset, value] : fields) {
        expected.replace(offset, 4,
                         {char(value), char(value >> 8), char(value >> 16), char(value >> 24)});
    }
    const LameStreamConfig config = lameStreamConfigFor(kDefaultMp3);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&config), sizeof config), expected);
}

// A setup.ini edited by hand may hold any index: out of range, the stream gets what the default
// gives, never a code the library would refuse.
TEST(LameStreamRecord, IndexesOutOfRangeGetTheDefaults) {
    const LameStreamConfig defaults = lameStreamConfigFor(kDefaultMp3);
    Mp3Settings stored = kDefaultMp3;
    stored.channelMode = -1;
    stored.sampleRate = -1;
    const LameStreamConfig config = lameStreamConfigFor(stored);
    EXPECT_EQ(config.mode, defaults.mode);
    EXPECT_EQ(config.inputSampleRate, 44100u);
    EXPECT_EQ(declaredInputFormat(config).sampleRate, 44100);
}

std::string padded(std::string text, size_t size) {
    return text.append(size - text.size(), '\0');
}
// n times the character 中, in UTF-8 and in GBK (D6 D0).
std::string zhong(int n, const char* encoded = "中") {
    std::string out;
    while (n-- > 0) out += encoded;
    return out;
}
std::string zhongGbk(int n) {
    return zhong(n, "\xD6\xD0");
}

class Id3v1 : public ::testing::Test {
protected:
    TrackEntry track;
    DiscRecord disc;

    Id3v1() {
        track.number = 7;
        track.title.clear();
        disc.artist.clear();
        disc.album.clear();
        disc.genre = 17;
    }

    std::string field(size_t offset, size_t size) const {
        const auto bytes = id3v1Tag(track, disc);
        return std::string(bytes.begin(), bytes.end()).substr(offset, size);
    }
};

TEST_F(Id3v1, EmptyFieldsGetTheirDefaultsInGbk) {
    const std::string expected = "TAG" + padded("\xD2\xF4\xB9\xEC 07", 30) +       // 音轨 07
                                 padded("\xCE\xB4\xD6\xAA\xD2\xD5\xC8\xCB", 30) +  // 未知艺人
                                 padded("\xCE\xB4\xD6\xAA\xD7\xA8\xBC\xAD", 30) +  // 未知专辑
                                 "2000" + padded("\xCE\xDE", 29) +                 // 无
                                 "\x07" + "\x11";
    EXPECT_EQ(field(0, 128), expected);
}

// The comment gives its last byte to the track number.
TEST_F(Id3v1, TextIsCutToItsFieldNeverInsideACharacter) {
    const struct {
        std::string* field;
        std::string text;
        size_t offset, size;
        std::string bytes;
    } cases[] = {
        // 33 GBK bytes: the 15th character would end at byte 31.
        {&track.title, "a" + zhong(16), 3, 30, padded("a" + zhongGbk(14), 30)},
        {&disc.artist, std::string(31, 'x'), 33, 30, std::string(30, 'x')},
        {&disc.album, zhong(15), 63, 30, zhongGbk(15)},
        {&disc.year, "19751", 93, 4, "1975"},
        {&disc.year, "75", 93, 4, padded("75", 4)},
        {&disc.year, "a" + zhong(2), 93, 4, padded("a" + zhongGbk(1), 4)},
        {&disc.comment, std::string(30, 'c'), 97, 30, std::string(29, 'c') + "\x07"},
        {&disc.comment, std::string(29, 'c'), 97, 30, std::string(29, 'c') + "\x07"},
        {&disc.comment, std::string(28, 'c'), 97, 30, padded(std::string(28, 'c'), 29) + "\x07"},
        {&disc.comment, "a" + zhong(14), 97, 30, "a" + zhongGbk(14) + "\x07"},
        // The 15th character would take bytes 125 and 126: it goes, byte 125 stays zero.
        {&disc.comment, "ab" + zhong(14), 97, 30, padded("ab" + zhongGbk(13), 29) + "\x07"},
    };
    for (const auto& c : cases) {
        *c.field = c.text;
        EXPECT_EQ(field(c.offset, c.size), c.bytes) << c.text;
    }
}

TEST_F(Id3v1, NumbersOutOfRangeBecomeOne) {
    track.number = 0;
    disc.genre = -1;
    EXPECT_EQ(field(3, 30), padded("\xD2\xF4\xB9\xEC 01", 30));
    EXPECT_EQ(field(126, 2), "\x01\x01");
    disc.genre = 300;
    EXPECT_EQ(uint8_t(field(127, 1)[0]), 300 & 0xFF) << "the genre's low byte";
}

}  // namespace
}  // namespace lumbra
