// Ripping to FLAC end to end: the real job, transport and virtual drive, the files checked with
// the flac tool, FFmpeg and libFLAC's metadata reader against the disc's own bytes.
#include <gtest/gtest.h>

#include <FLAC/metadata.h>
extern "C" {
#include <libavutil/md5.h>
}

#include <cstring>
#include <filesystem>

#include "flac_verify_failure.h"
#include "naming/path_tidying.h"
#include "rip/flac_encoder.h"
#include "rip/track_status.h"
#include "support/command_output.h"
#include "support/ffmpeg_audio_decoder.h"
#include "support/rip_harness.h"

namespace lumbra {
namespace {

std::array<uint8_t, 16> md5Of(const std::string& bytes) {
    std::array<uint8_t, 16> digest{};
    av_md5_sum(digest.data(), reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    return digest;
}

struct MetadataBlocks {
    std::vector<FLAC__MetadataType> order;
    std::vector<FLAC__StreamMetadata_SeekPoint> seekPoints;
    unsigned padding = 0;
};

MetadataBlocks metadataOf(const std::string& path) {
    MetadataBlocks blocks;
    FLAC__Metadata_SimpleIterator* it = FLAC__metadata_simple_iterator_new();
    if (FLAC__metadata_simple_iterator_init(it, path.c_str(), true, false)) {
        do {
            FLAC__StreamMetadata* block = FLAC__metadata_simple_iterator_get_block(it);
            blocks.order.push_back(block->type);
            if (block->type == FLAC__METADATA_TYPE_SEEKTABLE) {
                const auto& table = block->data.seek_table;
                blocks.seekPoints.assign(table.points, table.points + table.num_points);
            }
            if (block->type == FLAC__METADATA_TYPE_PADDING) blocks.padding = block->length;
            FLAC__metadata_object_delete(block);
        } while (FLAC__metadata_simple_iterator_next(it));
    }
    FLAC__metadata_simple_iterator_delete(it);
    return blocks;
}

class FlacRip : public test::RipHarness {
protected:
    void SetUp() override {
        RipHarness::SetUp();
        insertImage({1600, 27, 900});
    }
    void TearDown() override {
        test::disarmFlacVerifyFailure();
        RipHarness::TearDown();
    }

    std::string flac(int i) const { return outputFile(i, ".flac"); }
    std::string discBytes(int i) const { return image.trackBytes(size_t(i)); }
    uint64_t trackSamples(int i) const { return uint64_t(tracks[size_t(i)].length) * 588; }

    // The flac tool and FFmpeg both decode the file to the disc's bytes, and the tool's own test
    // and the STREAMINFO checksum agree.
    void expectLossless(int i) {
        SCOPED_TRACE("track " + std::to_string(i));
        ASSERT_EQ(tracks[size_t(i)].status, kTrackDone);
        const std::string file = test::shellQuoted(flac(i));
        const auto decoded = test::runCommand(
            "flac -d -c -s --force-raw-format --endian=little --sign=signed " + file);
        EXPECT_EQ(decoded.exitCode, 0);
        EXPECT_TRUE(decoded.out == discBytes(i)) << "the flac tool's decoding differs";
        EXPECT_EQ(test::runCommand("flac -t -s " + file).exitCode, 0);

        const test::DecodedAudio audio = test::decodeAudioFile(flac(i));
        EXPECT_TRUE(audio.complete);
        EXPECT_EQ(audio.sampleRate, 44100);
        EXPECT_EQ(audio.channels, 2);
        EXPECT_TRUE(audio.cdBytes() == image.trackAudio[size_t(i)]) << "FFmpeg's decoding differs";

        FLAC__StreamMetadata info;
        ASSERT_TRUE(FLAC__metadata_get_streaminfo(flac(i).c_str(), &info));
        EXPECT_EQ(info.data.stream_info.total_samples, trackSamples(i));
        const auto md5 = md5Of(discBytes(i));
        EXPECT_EQ(std::memcmp(info.data.stream_info.md5sum, md5.data(), md5.size()), 0);
    }
};

// Every route from the drive to the encoder: straight, through the temporary file, and handed
// to encoder threads, on a drive that jitters and fails a read.
TEST_F(FlacRip, EveryTrackDecodesToTheDiscsBytesWhateverTheReadingPath) {
    settings.jitterMode = kJitterOnErrors;
    shutdownCdAccess();
    insertDiscs(image.cuePath, "jitter=300,seed=3,readerror=1040:1");
    for (const bool antiCrackle : {false, true}) {
        for (const int threads : {1, 3}) {
            SCOPED_TRACE(std::string(antiCrackle ? "read first" : "read along") + ", " +
                         std::to_string(threads) + " encoder threads");
            settings.antiCrackle = antiCrackle;
            settings.encoderThreads = threads;
            rip({0, 1, 2}, kFormatFlac);
            for (int i = 0; i < 3; ++i) expectLossless(i);
            EXPECT_EQ(partFilesLeft(), 0u);
            EXPECT_TRUE(prompts.shown.empty());
        }
    }
}

// 21.3 seconds: points at 0, 10 and 20 s, each filled in with the frame that holds it.
TEST_F(FlacRip, SeekPointsEveryTenSecondsAndPaddingFollowTheStreamInfo) {
    rip({0}, kFormatFlac);
    const MetadataBlocks blocks = metadataOf(flac(0));
    EXPECT_EQ(blocks.order,
              (std::vector{FLAC__METADATA_TYPE_STREAMINFO, FLAC__METADATA_TYPE_SEEKTABLE,
                           FLAC__METADATA_TYPE_VORBIS_COMMENT, FLAC__METADATA_TYPE_PADDING}));
    EXPECT_EQ(blocks.padding, kFlacPaddingBytes);
    ASSERT_EQ(blocks.seekPoints.size(), 3u);
    uint64_t lastOffset = 0;
    for (size_t p = 0; p < blocks.seekPoints.size(); ++p) {
        const auto& point = blocks.seekPoints[p];
        // A point names the frame holding its target sample.
        EXPECT_LE(point.sample_number, p * 441000) << p;
        EXPECT_GT(point.sample_number + point.frame_samples, p * 441000) << p;
        EXPECT_GT(point.frame_samples, 0u) << p;
        if (p > 0) {
            EXPECT_GT(point.stream_offset, lastOffset) << p;
        }
        lastOffset = point.stream_offset;
    }
}

// Level 0 encodes in blocks of 1152 samples, the higher levels in blocks of 4096 and smaller;
// verify off still gives the same audio.
TEST_F(FlacRip, EachTracksLevelReachesTheEncoder) {
    std::map<int, uintmax_t> sizes;
    for (const FlacSettings flacSettings : {FlacSettings{0, 1}, FlacSettings{8, 0}}) {
        tracks[2].format = kFormatFlac;
        tracks[2].encoderSettings = toSlots(flacSettings);
        runJob({2});
        expectLossless(2);
        FLAC__StreamMetadata info;
        ASSERT_TRUE(FLAC__metadata_get_streaminfo(flac(2).c_str(), &info));
        EXPECT_EQ(info.data.stream_info.max_blocksize, flacSettings.level == 0 ? 1152u : 4096u);
        sizes[flacSettings.level] = std::filesystem::file_size(flac(2));
    }
    EXPECT_LT(sizes[8], sizes[0]);
}

// With encoder threads either track may be the first to encode, so either may be the one.
TEST_F(FlacRip, AVerifyDifferenceFailsItsTrackWithTheSampleAndLeavesNoFile) {
    for (const int threads : {1, 3}) {
        SCOPED_TRACE(std::to_string(threads) + " encoder threads");
        settings.encoderThreads = threads;
        prompts.shown.clear();
        test::armFlacVerifyFailure();
        rip({0, 1}, kFormatFlac);
        const int failed = tracks[0].status == kTrackFailed ? 0 : 1;
        EXPECT_EQ(tracks[size_t(failed)].status, kTrackFailed);
        EXPECT_FALSE(exists(flac(failed)));
        EXPECT_EQ(partFilesLeft(), 0u);
        ASSERT_EQ(prompts.shown.size(), 1u);
        EXPECT_EQ(prompts.shown[0].caption, "Lumbra CD Ripper 错误");
        EXPECT_EQ(prompts.shown[0].text,
                  "FLAC 校验失败: 解码后的音频与原始音频不符 (第 12345 个采样, 声道 2: 应为 100, "
                  "实为 -100)\n  " +
                      flac(failed));
        expectLossless(1 - failed);
    }
}

// The name is cut short enough for the five bytes of ".flac".
TEST_F(FlacRip, ALongTitleStillLeavesRoomForTheExtension) {
    tracks[1].title = std::string(300, 'a');
    rip({1}, kFormatFlac);
    EXPECT_EQ(tracks[1].status, kTrackDone);
    EXPECT_TRUE(exists(settings.outputFolder + "/Artist/Album/" + std::string(250, 'a') + ".flac"));
    EXPECT_TRUE(prompts.shown.empty());
    for (const auto& format : outputFormats())
        EXPECT_LE(std::strlen(format.extension), kMaxExtensionBytes) << format.extension;
}

}  // namespace
}  // namespace lumbra
