// The writer's one encode loop, over a source that does not give the whole track: what it gave
// must never stay as a file that passes for the track.
#include <gtest/gtest.h>

#include <filesystem>

#include "rip/temporary_pcm.h"
#include "rip/track_status.h"
#include "rip/track_writer.h"
#include "support/recording_events.h"
#include "support/recording_prompts.h"
#include "support/temp_dir.h"

namespace lumbra {
namespace {

// Its file is the audio as fed, then "END".
class CopyingEncoder : public TrackEncoder {
public:
    EncodeStep start(ByteSink& sink) override {
        sink_ = &sink;
        return {};
    }
    EncodeStep feed(std::span<const uint8_t> cdAudio) override {
        return written(sink_->write(cdAudio));
    }
    EncodeStep finish() override {
        static constexpr uint8_t kEnd[] = {'E', 'N', 'D'};
        return written(sink_->write(kEnd));
    }

private:
    ByteSink* sink_ = nullptr;
};

// Two pieces, then how the source ends.
class ScriptedSource : public AudioSource {
public:
    explicit ScriptedSource(Next end) : end_(end) {}

    Next next(std::vector<uint8_t>& piece) override {
        if (given_ == 2) return end_;
        piece.assign(4, uint8_t(++given_));
        return Next::Audio;
    }
    void release() override { released = true; }

    bool released = false;

private:
    const Next end_;
    int given_ = 0;
};

class SourceWrite : public ::testing::Test {
protected:
    test::TempDir dir;
    test::RecordingPrompts prompts;
    test::RecordingEvents events;
    JobFlags flags;
    SettingsRecord settings;
    DiscRecord disc;
    RipSession session{prompts, events, flags, settings, disc, {}};
    TrackEntry track;
    const std::string output = dir.file("track.wav");

    SourceWrite() {
        flags.ripRunning = 1;
        track.length = 100;
    }

    void write(AudioSource& source) {
        writeTrackFromSource(session, track, source, std::make_unique<CopyingEncoder>(), output);
    }

    size_t filesLeft() const {
        return size_t(std::distance(std::filesystem::directory_iterator(dir.path()), {}));
    }
};

TEST_F(SourceWrite, KeepsOnlyATrackWhoseAudioArrivedWhole) {
    const struct {
        AudioSource::Next end;
        int32_t status;
        size_t boxes;
    } cases[] = {{AudioSource::Next::End, kTrackDone, 0},
                 {AudioSource::Next::Short, kTrackCancelled, 0},
                 {AudioSource::Next::Unreadable, kTrackFailed, 1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(int(c.end));
        std::filesystem::remove(output);
        prompts.shown.clear();
        track.status = 40;
        ScriptedSource source(c.end);
        write(source);
        EXPECT_EQ(track.status, c.status);
        EXPECT_EQ(dir.read("track.wav"),
                  c.status == kTrackDone ? "\1\1\1\1\2\2\2\2END" : "<missing>");
        EXPECT_EQ(filesLeft(), c.status == kTrackDone ? 1u : 0u) << "no part file stays";
        EXPECT_EQ(prompts.shown.size(), c.boxes);
        EXPECT_TRUE(source.released);
        ASSERT_FALSE(events.events().empty());
        EXPECT_EQ(events.events().back().status, c.status) << "the final status is posted";
    }
}

// A temporary file that cannot be read back fails the track with its box; nothing is written.
TEST_F(SourceWrite, ATemporaryFileThatCannotBeReadFailsTheTrack) {
    const std::string folder = dir.file("not-a-file.pcm");
    std::filesystem::create_directory(folder);
    TemporaryPcm pcm(session, track, folder, 0);
    ASSERT_TRUE(pcm.isOpen());
    write(pcm);
    EXPECT_EQ(track.status, kTrackFailed);
    EXPECT_FALSE(std::filesystem::exists(output));
    ASSERT_EQ(prompts.shown.size(), 1u);
    EXPECT_EQ(prompts.shown[0].text, "读取 PCM 数据文件出错");
}

}  // namespace
}  // namespace lumbra
