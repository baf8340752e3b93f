// The two byte records of the MP3 path: the stream record handed to the encoder library and
// the ID3 version 1 tag at the end of the file.
#include <gtest/gtest.h>

#include <cstring>
#include <map>

#include "rip/id3v1_tag.h"
#include "rip/mp3_stream_setup.h"

namespace lumbra {
namespace {

constexpr Mp3Settings kDefaultMp3{1, 1, 8, 1, 3, 10, 7};

std::string bytesOf(const LameStreamConfig& config) {
    return {reinterpret_cast<const char*>(&config), sizeof config};
}

std::string le32(uint32_t value) {
    return {char(value), char(value >> 8), char(value >> 16), char(value >> 24)};
}

TEST(LameStreamRecord, DefaultSettingsGiveTheirFieldsAndZerosEverywhereElse) {
    const std::map<size_t, uint32_t> fields{{0, 256},  {4, 1},    {8, 331}, {12, 44100}, {20, 0},
                                            {24, 128}, {28, 192}, {32, 7},  {36, 1},     {60, 1},
                                            {68, 1},   {72, 3},   {84, 1}};
    std::string expected(331, '\0');
    for (const auto& [offset, value] : fields) expected.replace(offset, 4, le32(value));
    EXPECT_EQ(bytesOf(lameStreamConfigFor(kDefaultMp3)), expected);
}

TEST(LameStreamRecord, IndexesBecomeTheEncodersCodes) {
    using M = Mp3Settings;
    const struct {
        int32_t M::*setting;
        int32_t index;
        int64_t code;  // the channel mode, preset or input sample rate
    } cases[] = {{&M::channelMode, 0, 3},    {&M::channelMode, 1, 0},    {&M::channelMode, 2, 1},
                 {&M::channelMode, 3, 0},    {&M::channelMode, -1, 0},   {&M::preset, 0, 0},
                 {&M::preset, 12, 12},       {&M::preset, 13, 1000},     {&M::preset, 14, 2000},
                 {&M::sampleRate, 0, 32000}, {&M::sampleRate, 2, 48000}, {&M::sampleRate, 3, 44100},
                 {&M::sampleRate, -1, 44100}};
    for (const auto& c : cases) {
        Mp3Settings s = kDefaultMp3;
        s.*c.setting = c.index;
        const LameStreamConfig config = lameStreamConfigFor(s);
        const bool rate = c.setting == &M::sampleRate;
        EXPECT_EQ(c.setting == &M::channelMode ? config.mode
                  : rate                       ? config.inputSampleRate
                                               : config.preset,
                  c.code)
            << "index " << c.index;
        if (rate) {
            EXPECT_EQ(declaredInputFormat(config).sampleRate, int(c.code));
        }
    }
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

    std::string tag() const {
        const auto bytes = id3v1Tag(track, disc);
        return {bytes.begin(), bytes.end()};
    }
    std::string field(size_t offset, size_t size) const { return tag().substr(offset, size); }
    static std::string padded(std::string text, size_t size) {
        return text.append(size - text.size(), '\0');
    }
    // n times the character 中, in UTF-8 and in GBK (D6 D0).
    static std::string zhong(int n) { return repeat("中", n); }
    static std::string zhongGbk(int n) { return repeat("\xD6\xD0", n); }
    static std::string repeat(const std::string& text, int n) {
        std::string out;
        for (int i = 0; i < n; ++i) out += text;
        return out;
    }
};

TEST_F(Id3v1, EmptyFieldsGetTheirDefaultsInGbk) {
    const std::string expected = "TAG" + padded("\xD2\xF4\xB9\xEC 07", 30) +       // 音轨 07
                                 padded("\xCE\xB4\xD6\xAA\xD2\xD5\xC8\xCB", 30) +  // 未知艺人
                                 padded("\xCE\xB4\xD6\xAA\xD7\xA8\xBC\xAD", 30) +  // 未知专辑
                                 "2000" + padded("\xCE\xDE", 29) +                 // 无
                                 "\x07" + "\x11";
    EXPECT_EQ(tag(), expected);
}

TEST_F(Id3v1, TextIsCutToItsFieldNeverInsideACharacter) {
    track.title = "a" + zhong(16);  // 33 GBK bytes: the 15th character would end at byte 31
    disc.artist = std::string(31, 'x');
    disc.album = zhong(15);  // exactly 30 bytes
    EXPECT_EQ(field(3, 30), padded("a" + zhongGbk(14), 30));
    EXPECT_EQ(field(33, 30), std::string(30, 'x'));
    EXPECT_EQ(field(63, 30), zhongGbk(15));

    const struct {
        std::string year;
        std::string field;
    } years[] = {
        {"19751", "1975"}, {"75", padded("75", 4)}, {"a" + zhong(2), padded("a" + zhongGbk(1), 4)}};
    for (const auto& y : years) {
        disc.year = y.year;
        EXPECT_EQ(field(93, 4), y.field) << y.year;
    }
}

TEST_F(Id3v1, TheCommentGivesItsLastByteToTheTrackNumber) {
    const struct {
        std::string comment;
        std::string kept;  // bytes 97 to 125
    } cases[] = {
        {std::string(30, 'c'), std::string(29, 'c')},
        {std::string(29, 'c'), std::string(29, 'c')},
        {std::string(28, 'c'), padded(std::string(28, 'c'), 29)},
        {"a" + zhong(14), "a" + zhongGbk(14)},
        // The 15th character would take bytes 125 and 126: it goes, byte 125 stays zero.
        {"ab" + zhong(14), padded("ab" + zhongGbk(13), 29)},
    };
    for (const auto& c : cases) {
        disc.comment = c.comment;
        EXPECT_EQ(field(97, 29), c.kept) << c.comment;
        EXPECT_EQ(uint8_t(tag()[126]), 7) << c.comment;
    }
}

TEST_F(Id3v1, NumbersOutOfRangeBecomeOne) {
    track.number = 0;
    disc.genre = -1;
    EXPECT_EQ(field(3, 30), padded("\xD2\xF4\xB9\xEC 01", 30));
    EXPECT_EQ(uint8_t(tag()[126]), 1);
    EXPECT_EQ(uint8_t(tag()[127]), 1);
    disc.genre = 300;
    EXPECT_EQ(uint8_t(tag()[127]), 300 & 0xFF) << "the genre's low byte";
}

}  // namespace
}  // namespace lumbra
