// The comments of ripped FLAC and Opus files read back as the players of a Linux desktop read
// them: with TagLib, and separately with FFmpeg's demuxers.
#include <gtest/gtest.h>

#include <taglib/flacfile.h>
#include <taglib/opusfile.h>
#include <taglib/xiphcomment.h>

#include "rip/track_status.h"
#include "support/cue_image.h"
#include "support/ffmpeg_audio_decoder.h"
#include "support/rip_harness.h"

namespace lumbra {
namespace {

struct TagCase {
    const char* what;
    std::string title, artist, album, year;
    int genre;
    std::string comment;
};

const TagCase kCases[] = {
    {"Chinese", "晨潮", "海港之光", "纸船", "2024", 17, "第一版"},
    {"Japanese", "朝の潮", "港の光", "紙の船", "1999", 8, "初回盤"},
    {"Latin", "Señorita", "Åsa Öberg", "Café Müller", "1987", 0, "Remaster"},
    {"no artist, no comment", "Zwei Wörter", "", "Album", "2001", 13, ""},
};

const struct {
    int32_t format;
    const char* extension;
} kFormats[] = {{kFormatFlac, ".flac"}, {kFormatOpus, ".opus"}};

using Fields = std::map<std::string, std::string>;

class XiphTagRip : public test::RipHarness {
protected:
    void SetUp() override {
        RipHarness::SetUp();
        settings.namingTemplate = "tagged";
        settings.encoder.flac = {5, 1};
        settings.encoder.opus = {5};
        const auto image = test::writeCueImage(dir.path(), "album", {40, 40, 60});
        insertDiscs(image.cuePath);
    }

    // Rips track 2 of 3 with the case's values; the path of its file.
    std::string ripCase(const TagCase& c, int32_t format, const std::string& extension) {
        disc.artist = c.artist, disc.album = c.album, disc.year = c.year;
        disc.genre = c.genre, disc.comment = c.comment;
        tracks[1].title = c.title;
        rip({1}, format);
        EXPECT_EQ(tracks[1].status, kTrackDone);
        return settings.outputFolder + "/tagged" + extension;
    }

    // Every field the file should carry, by its Vorbis comment name; no artist or comment
    // field when the disc has none.
    static Fields expectedFields(const TagCase& c) {
        Fields fields{{"ENCODER", "Lumbra CD Ripper"},
                      {"TITLE", c.title},
                      {"ALBUM", c.album},
                      {"DATE", c.year},
                      {"GENRE", std::string(kGenreNames[size_t(c.genre)])},
                      {"TRACKNUMBER", "2"},
                      {"TRACKTOTAL", "3"}};
        if (!c.artist.empty()) fields["ARTIST"] = c.artist;
        if (!c.comment.empty()) fields["COMMENT"] = c.comment;
        return fields;
    }
};

Fields fieldsOf(const TagLib::Ogg::XiphComment& tag) {
    Fields fields;
    for (const auto& [name, values] : tag.fieldListMap()) {
        for (const auto& value : values) {
            fields[name.to8Bit(true)] +=
                (fields.count(name.to8Bit(true)) ? "|" : "") + value.to8Bit(true);
        }
    }
    return fields;
}

TEST_F(XiphTagRip, TagLibReadsExactlyTheTracksFields) {
    for (const TagCase& c : kCases) {
        SCOPED_TRACE(c.what);
        {
            TagLib::FLAC::File file(ripCase(c, kFormatFlac, ".flac").c_str(), false);
            ASSERT_TRUE(file.isValid() && file.hasXiphComment());
            EXPECT_EQ(fieldsOf(*file.xiphComment()), expectedFields(c)) << "FLAC";
        }
        TagLib::Ogg::Opus::File file(ripCase(c, kFormatOpus, ".opus").c_str(), false);
        ASSERT_TRUE(file.isValid());
        EXPECT_EQ(fieldsOf(*file.tag()), expectedFields(c)) << "Opus";
    }
}

// FFmpeg names the fields in lower case and calls TRACKNUMBER "track".
TEST_F(XiphTagRip, FfmpegReadsTheSameFields) {
    for (const TagCase& c : kCases) {
        for (const auto& f : kFormats) {
            SCOPED_TRACE(std::string(c.what) + " " + f.extension);
            const test::DecodedAudio audio =
                test::decodeAudioFile(ripCase(c, f.format, f.extension));
            EXPECT_TRUE(audio.complete);
            for (const auto& [name, value] : expectedFields(c)) {
                if (name == "ENCODER") continue;  // FFmpeg may put the library's name there
                std::string key = name == "TRACKNUMBER" ? "track" : name;
                for (char& ch : key) ch = char(std::tolower(static_cast<unsigned char>(ch)));
                const auto found = audio.metadata.find(key);
                EXPECT_TRUE(found != audio.metadata.end() && found->second == value)
                    << key << " should be " << value;
            }
            EXPECT_EQ(audio.metadata.count("artist"), c.artist.empty() ? 0u : 1u);
        }
    }
}

}  // namespace
}  // namespace lumbra
