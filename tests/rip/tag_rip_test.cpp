// The tags of ripped files in every format, read back as the players of a Linux desktop read
// them: with TagLib, and separately with FFmpeg's demuxers.
#include <gtest/gtest.h>

#include <taglib/asffile.h>
#include <taglib/fileref.h>
#include <taglib/flacfile.h>
#include <taglib/id3v2tag.h>
#include <taglib/mpegfile.h>
#include <taglib/opusfile.h>
#include <taglib/textidentificationframe.h>
#include <taglib/tpropertymap.h>
#include <taglib/vorbisfile.h>
#include <taglib/xiphcomment.h>

#include "rip/id3v1_tag.h"
#include "rip/track_status.h"
#include "support/ffmpeg_audio_decoder.h"
#include "support/rip_harness.h"

namespace lumbra {
namespace {

struct TagCase {
    const char* what;
    std::string title, artist, album, year;
    int genre;
    std::string comment;
    std::string expectedTitle;  // what the tags carry: the title without control characters
};

const TagCase kCases[] = {
    {"Chinese", "晨潮", "海港之光", "纸船", "2024", 17, "第一版", "晨潮"},
    {"Japanese", "朝の潮", "港の光", "紙の船", "1999", 8, "初回盤", "朝の潮"},
    {"Latin", "Señorita", "Åsa Öberg", "Café Müller", "1987", 0, "Remaster", "Señorita"},
    {"no artist, a tab and a bidi override in the title", "Zwei\tWörter\x7F\u202E", "", "Album",
     "2001", 13, "", "Zwei Wörter"},
};

std::string utf8(const TagLib::String& text) {
    return text.to8Bit(true);
}

std::string genreName(int genre) {
    return std::string(kGenreNames[size_t(genre)]);
}

using Fields = std::map<std::string, std::string>;

// Every Vorbis comment of the tag, a name's values joined by "|".
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

// Every field a file with Vorbis comments should carry; no artist or comment field when the disc
// has none, and no comment field in Ogg Vorbis, which has never carried one.
Fields vorbisFields(const TagCase& c, bool withComment) {
    Fields fields{{"ENCODER", "Lumbra CD Ripper"},
                  {"TITLE", c.expectedTitle},
                  {"ALBUM", c.album},
                  {"DATE", c.year},
                  {"GENRE", genreName(c.genre)},
                  {"TRACKNUMBER", "2"},
                  {"TRACKTOTAL", "3"}};
    if (!c.artist.empty()) fields["ARTIST"] = c.artist;
    if (withComment && !c.comment.empty()) fields["COMMENT"] = c.comment;
    return fields;
}

class TagRip : public test::RipHarness {
protected:
    void SetUp() override {
        RipHarness::SetUp();
        settings.namingTemplate = "tagged";
        settings.id3Enable = true;
        insertImage({150, 40, 60});
    }

    // Rips track 2 of 3 with the case's values; the path of its file.
    std::string ripCase(const TagCase& c, int32_t format) {
        disc.artist = c.artist, disc.album = c.album, disc.year = c.year;
        disc.genre = c.genre, disc.comment = c.comment;
        tracks[1].title = c.title;
        rip({1}, format);
        EXPECT_EQ(tracks[1].status, kTrackDone);
        return settings.outputFolder + "/tagged" + findOutputFormat(formats, format)->extension;
    }

    long trackSamples() const { return long(tracks[1].length) * 588; }
};

// The version 2.3 tag's texts are UTF-16; the version 1 tag after the audio keeps its GBK bytes;
// the header frame still follows the tag, so the decoded length is exact.
TEST_F(TagRip, Mp3CarriesUnicodeId3v2BesideTheUnchangedId3v1) {
    for (const TagCase& c : kCases) {
        SCOPED_TRACE(c.what);
        const std::string path = ripCase(c, kFormatMp3);
        TagLib::MPEG::File file(path.c_str(), false);
        ASSERT_TRUE(file.hasID3v2Tag());
        TagLib::ID3v2::Tag& tag = *file.ID3v2Tag();
        EXPECT_EQ(tag.header()->majorVersion(), 3u);
        EXPECT_EQ(utf8(tag.title()), c.expectedTitle);
        EXPECT_EQ(utf8(tag.artist()), c.artist);
        EXPECT_EQ(tag.frameList("TPE1").isEmpty(), c.artist.empty()) << "no frame for no artist";
        EXPECT_EQ(utf8(tag.album()), c.album);
        EXPECT_EQ(tag.year(), unsigned(std::stoi(c.year)));
        EXPECT_EQ(utf8(tag.frameList("TRCK").front()->toString()), "2/3");
        EXPECT_EQ(utf8(tag.genre()), genreName(c.genre));
        EXPECT_EQ(utf8(tag.comment()), c.comment);
        EXPECT_EQ(utf8(tag.frameList("TSSE").front()->toString()), "Lumbra CD Ripper");
        // The genre is written in version 2.3's own form, always ASCII; every other text is UTF-16.
        for (const auto* frame : tag.frameList()) {
            const auto* text = dynamic_cast<const TagLib::ID3v2::TextIdentificationFrame*>(frame);
            if (!text || frame->frameID() == "TCON") continue;
            EXPECT_EQ(text->textEncoding(), TagLib::String::UTF16)
                << std::string(frame->frameID().data(), frame->frameID().size());
        }
        file.clear();

        const std::string bytes = fileText(path);
        TrackEntry asRipped = tracks[1];
        asRipped.title = c.title;
        const auto v1 = id3v1Tag(asRipped, disc);
        EXPECT_TRUE(bytes.substr(bytes.size() - 128) == std::string(v1.begin(), v1.end()));
        EXPECT_EQ(long(test::decodeAudioFile(path).frames()), trackSamples());
    }
}

TEST_F(TagRip, Mp3WithoutTagsCarriesNeither) {
    settings.id3Enable = false;
    const std::string bytes = fileText(ripCase(kCases[0], kFormatMp3));
    EXPECT_NE(bytes.substr(0, 3), "ID3");
    EXPECT_NE(bytes.substr(bytes.size() - 128, 3), "TAG");
}

TEST_F(TagRip, WmaCarriesTheFieldsInUnicode) {
    for (const TagCase& c : kCases) {
        SCOPED_TRACE(c.what);
        TagLib::ASF::File wma(ripCase(c, kFormatWma).c_str(), false);
        ASSERT_TRUE(wma.isValid());
        const TagLib::ASF::Tag& tag = *wma.tag();
        EXPECT_EQ(utf8(tag.title()), c.expectedTitle);
        EXPECT_EQ(utf8(tag.artist()), c.artist);
        EXPECT_EQ(utf8(tag.album()), c.album);
        EXPECT_EQ(tag.year(), unsigned(std::stoi(c.year)));
        EXPECT_EQ(tag.track(), 2u);
        EXPECT_EQ(utf8(tag.genre()), genreName(c.genre));
    }
}

TEST_F(TagRip, VorbisCommentsAreExactlyTheTracksFields) {
    for (const TagCase& c : kCases) {
        SCOPED_TRACE(c.what);
        {
            TagLib::Ogg::Vorbis::File ogg(ripCase(c, kFormatOgg).c_str(), false);
            ASSERT_TRUE(ogg.isValid());
            EXPECT_EQ(fieldsOf(*ogg.tag()), vorbisFields(c, false)) << "Ogg Vorbis";
        }
        {
            TagLib::FLAC::File flac(ripCase(c, kFormatFlac).c_str(), false);
            ASSERT_TRUE(flac.isValid() && flac.hasXiphComment());
            EXPECT_EQ(fieldsOf(*flac.xiphComment()), vorbisFields(c, true)) << "FLAC";
        }
        TagLib::Ogg::Opus::File opus(ripCase(c, kFormatOpus).c_str(), false);
        ASSERT_TRUE(opus.isValid());
        EXPECT_EQ(fieldsOf(*opus.tag()), vorbisFields(c, true)) << "Opus";
    }
}

// The ISRC and the disc's barcode as taggers read them: through TagLib's common property names,
// which each format maps from its own frame or attribute; without codes there is no field.
TEST_F(TagRip, EveryFormatCarriesTheIsrcAndBarcode) {
    for (const OutputFormatEntry& format : formats) {
        if (format.id == kFormatWav) continue;  // a WAV file carries no tags
        SCOPED_TRACE(format.name);
        tracks[1].isrc = "GBAYE9900123";
        disc.catalogue = "0724384960650";
        TagLib::PropertyMap tags =
            TagLib::FileRef(ripCase(kCases[2], format.id).c_str(), false).file()->properties();
        EXPECT_EQ(utf8(tags["ISRC"].toString()), "GBAYE9900123");
        EXPECT_EQ(utf8(tags["BARCODE"].toString()), "0724384960650");

        tracks[1].isrc.clear();
        disc.catalogue.clear();
        tags = TagLib::FileRef(ripCase(kCases[2], format.id).c_str(), false).file()->properties();
        EXPECT_FALSE(tags.contains("ISRC"));
        EXPECT_FALSE(tags.contains("BARCODE"));
    }
}

// What FFmpeg, and every player built on it, shows for the same files. It names Vorbis comments
// in lower case and TRACKNUMBER "track".
TEST_F(TagRip, FfmpegReadsTheSameFields) {
    for (const TagCase& c : kCases) {
        SCOPED_TRACE(c.what);
        const std::map<std::string, std::string> common = {
            {"title", c.expectedTitle}, {"album", c.album}, {"genre", genreName(c.genre)}};
        std::map<std::string, std::string> artist;
        if (!c.artist.empty()) artist["artist"] = c.artist;
        const std::map<std::string, std::string> vorbis{
            {"date", c.year}, {"track", "2"}, {"tracktotal", "3"}};
        std::map<std::string, std::string> xiph = vorbis;
        if (!c.comment.empty()) xiph["comment"] = c.comment;
        const std::pair<int32_t, std::map<std::string, std::string>> formats[] = {
            {kFormatMp3, {{"date", c.year}, {"track", "2/3"}, {"encoder", "Lumbra CD Ripper"}}},
            {kFormatOgg, vorbis},
            {kFormatWma, {{"wm/year", c.year}, {"track", "2"}}},
            {kFormatFlac, xiph},
            {kFormatOpus, xiph},
        };
        for (const auto& [format, more] : formats) {
            SCOPED_TRACE(format);
            const test::DecodedAudio audio = test::decodeAudioFile(ripCase(c, format));
            EXPECT_TRUE(audio.complete);
            std::map<std::string, std::string> expected = common;
            expected.insert(more.begin(), more.end());
            expected.insert(artist.begin(), artist.end());
            for (const auto& [key, value] : expected) {
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
