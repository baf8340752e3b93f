// The album's front cover in the files of a rip, read back with TagLib and FFmpeg in every
// format, and beside the tracks; a broken cover or none never fails a track.
#include <gtest/gtest.h>

#include <taglib/asffile.h>
#include <taglib/attachedpictureframe.h>
#include <taglib/flacfile.h>
#include <taglib/id3v2tag.h>
#include <taglib/mpegfile.h>
#include <taglib/opusfile.h>
#include <taglib/vorbisfile.h>
#include <taglib/xiphcomment.h>

#include "rip/track_status.h"
#include "support/command_output.h"
#include "support/cue_image.h"
#include "support/rip_harness.h"

namespace lumbra {
namespace {

std::string bytes(const TagLib::ByteVector& data) {
    return std::string(data.data(), data.size());
}

template <typename Pictures>
std::string first(const Pictures& pictures) {
    return pictures.isEmpty() ? "none" : bytes(pictures.front()->data());
}

// The embedded front cover as TagLib reads it back; "none" without one.
std::string embeddedCover(const std::string& path) {
    const char* file = path.c_str();
    if (path.ends_with(".mp3")) {
        TagLib::MPEG::File mp3(file, false);
        const auto frames = mp3.ID3v2Tag(true)->frameListMap()["APIC"];
        if (frames.isEmpty()) return "none";
        return bytes(static_cast<TagLib::ID3v2::AttachedPictureFrame*>(frames.front())->picture());
    }
    if (path.ends_with(".flac")) return first(TagLib::FLAC::File(file, false).pictureList());
    if (path.ends_with(".ogg")) {
        return first(TagLib::Ogg::Vorbis::File(file, false).tag()->pictureList());
    }
    if (path.ends_with(".opus"))
        return first(TagLib::Ogg::Opus::File(file, false).tag()->pictureList());
    TagLib::ASF::File wma(file, false);
    const auto pictures = wma.tag()->attribute("WM/Picture");
    return pictures.isEmpty() ? "none" : bytes(pictures.front().toPicture().picture());
}

class CoverArtRip : public test::RipHarness {
protected:
    void SetUp() override {
        RipHarness::SetUp();
        settings.id3Enable = true;
        settings.musicBrainz.coverArt = true;
        insertDiscs(test::writeCueImage(dir.path(), "album", std::vector<int>(6, 150)).cuePath);
        const std::string jpeg = dir.file("made.jpg");
        test::runCommand("ffmpeg -v error -f lavfi -i color=red:s=16x16 -frames:v 1 " +
                         test::shellQuoted(jpeg));
        cover = dir.read("made.jpg");
    }
    std::string coverBesideTracks() const {
        return platform::readWholeFile(settings.outputFolder + "/Artist/Album/cover.jpg")
            .value_or("none");
    }

    std::string cover;
};

// Track i in the table's format i; only WAV carries no cover.
TEST_F(CoverArtRip, EveryFormatCarriesTheFrontCoverAndItLiesBesideTheTracks) {
    ASSERT_TRUE(cover.starts_with("\xFF\xD8\xFF")) << "ffmpeg made a JPEG image";
    disc.coverArt = cover;
    std::vector<std::pair<int, int32_t>> ticked;
    for (size_t i = 0; i < formats.size(); ++i) ticked.emplace_back(int(i), formats[i].id);
    ripFormats(ticked);
    for (size_t i = 0; i < formats.size(); ++i) {
        const std::string path = outputFile(int(i), formats[i].extension);
        SCOPED_TRACE(path);
        ASSERT_EQ(tracks[i].status, kTrackDone);
        if (formats[i].id == kFormatWav) continue;
        EXPECT_TRUE(embeddedCover(path) == cover);
        const std::string probed =
            test::runCommand(
                "ffprobe -v error -show_entries stream=codec_name:stream_disposition=attached_pic "
                "-of csv=p=0 " +
                test::shellQuoted(path))
                .out;
        EXPECT_NE(probed.find("mjpeg,1"), std::string::npos) << probed;
    }
    EXPECT_TRUE(coverBesideTracks() == cover);
}

TEST_F(CoverArtRip, ABrokenCoverOrNoneNeverFailsATrackAndTheSettingTurnsItOff) {
    disc.coverArt = "\xFF\xD8\xFF but nothing more";
    ripFormats({{0, kFormatMp3}, {1, kFormatFlac}, {2, kFormatOpus}});
    for (int i = 0; i < 3; ++i) EXPECT_EQ(tracks[size_t(i)].status, kTrackDone) << i;
    EXPECT_EQ(embeddedCover(outputFile(1, ".flac")), disc.coverArt) << "kept as it came";

    std::filesystem::remove_all(settings.outputFolder);
    disc.coverArt = cover;
    settings.musicBrainz.coverArt = false;
    ripFormats({{0, kFormatMp3}, {1, kFormatFlac}});
    EXPECT_EQ(embeddedCover(outputFile(0, ".mp3")), "none");
    EXPECT_EQ(embeddedCover(outputFile(1, ".flac")), "none");
    EXPECT_EQ(coverBesideTracks(), "none");
}

}  // namespace
}  // namespace lumbra
