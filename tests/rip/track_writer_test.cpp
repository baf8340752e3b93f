// A format added through the format table alone, ripped end to end: the driver's rules for the
// overwrite question, stops, failures and the file that stays apply to it with no code of its own.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "platform/part_file.h"
#include "rip/track_status.h"
#include "support/rip_harness.h"

namespace lumbra {
namespace {

constexpr int32_t kFakeFormat = 7;
constexpr int32_t kFormatNobodyKnows = 42;

// How the fake format behaves in one test, and what the driver asked of it.
struct FakeScript {
    int failingTrack = 0;  // the number of the track whose third feed the encoder refuses
    bool unavailable = false;
    std::vector<std::string> completed;  // paths handed to completeFile
};

std::span<const uint8_t> bytesOf(std::string_view text) {
    return {reinterpret_cast<const uint8_t*>(text.data()), text.size()};
}

// Its file is "FAKE", the CD audio as fed, then "END".
class FakeEncoder : public TrackEncoder {
public:
    FakeEncoder(FakeScript& script, bool failsThirdFeed)
        : script_(script), failsThirdFeed_(failsThirdFeed) {}

    EncodeStep start(ByteSink& sink) override {
        sink_ = &sink;
        return written(sink.write(bytesOf("FAKE")));
    }
    EncodeStep feed(std::span<const uint8_t> cdAudio) override {
        if (++feeds_ == 3 && failsThirdFeed_) return encoderFailed("fake refuses");
        return written(sink_->write(cdAudio));
    }
    EncodeStep finish() override { return written(sink_->write(bytesOf("END"))); }
    void completeFile(const std::string& path) override { script_.completed.push_back(path); }

private:
    FakeScript& script_;
    bool failsThirdFeed_;
    ByteSink* sink_ = nullptr;
    int feeds_ = 0;
};

class FakeFactory : public EncoderFactory {
public:
    explicit FakeFactory(FakeScript& script) : script_(script) {}
    std::optional<std::string> unavailable() override {
        if (script_.unavailable) return std::string("fake missing");
        return std::nullopt;
    }
    std::unique_ptr<TrackEncoder> create(const TrackToEncode& track) override {
        return std::make_unique<FakeEncoder>(script_, track.track.number == script_.failingTrack);
    }

private:
    FakeScript& script_;
};

class FakeFormatRip : public test::RipHarness {
protected:
    FakeScript script;
    std::vector<OutputFormatEntry> table;

    void SetUp() override {
        RipHarness::SetUp();
        insertImage({400, 27, 300});
        useFakeFormat(true);
    }

    void useFakeFormat(bool encodesBehindDrive) {
        table.assign(outputFormats().begin(), outputFormats().end());
        table.push_back({kFakeFormat, "Fake", ".fake", encodesBehindDrive,
                         [this] { return std::make_unique<FakeFactory>(script); }});
        formats = table;
    }

    std::string fake(int i) const { return outputFile(i, ".fake"); }
    std::string audio(int i) const { return image.trackBytes(size_t(i)); }
};

TEST_F(FakeFormatRip, IsWrittenOnBothPathsAndCompletedOnlyWhenDone) {
    for (bool throughTemporaryFile : {false, true}) {
        SCOPED_TRACE(routeName(throughTemporaryFile));
        settings.antiCrackle = throughTemporaryFile;
        script.completed.clear();
        rip({0, 1}, kFakeFormat);
        for (int i : {0, 1}) {
            EXPECT_EQ(tracks[size_t(i)].status, kTrackDone);
            EXPECT_TRUE(fileText(fake(i)) == "FAKE" + audio(i) + "END") << "track " << i;
        }
        // Completed before it has its final name, in its folder.
        ASSERT_EQ(script.completed.size(), 2u);
        for (int i : {0, 1}) {
            const std::filesystem::path completed = script.completed[size_t(i)];
            EXPECT_EQ(completed.parent_path(), std::filesystem::path(fake(i)).parent_path());
            EXPECT_TRUE(completed.filename().string().starts_with(platform::kPartFilePrefix));
        }
        EXPECT_EQ(partFilesLeft(), 0u);
        EXPECT_TRUE(prompts.shown.empty());
    }
}

// A stop ends the job after its track; an encoder failure fails only its track. Neither leaves a
// file, on either path: a part of a track must never pass for the whole.
TEST_F(FakeFormatRip, StopsAndFailuresEndTheTrackAndLeaveNoFile) {
    const struct {
        bool throughTemporaryFile;
        bool stop;
        int32_t status;
    } cases[] = {{false, true, kTrackCancelled},
                 {true, true, kTrackCancelled},
                 {false, false, kTrackFailed},
                 {true, false, kTrackFailed}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(routeName(c.throughTemporaryFile)) +
                     (c.stop ? ", stop" : ", fail"));
        settings.antiCrackle = c.throughTemporaryFile;
        script = {};
        prompts.shown.clear();
        events.onPost = nullptr;
        std::filesystem::remove(fake(0));
        if (c.stop) {
            stopAtProgressAbove(c.throughTemporaryFile ? 40 : 0);
        } else {
            script.failingTrack = tracks[0].number;
        }
        rip({0, 2}, kFakeFormat);
        EXPECT_EQ(tracks[0].status, c.status);
        if (c.stop) {
            // Read on while track 0 was encoded, track 2 ends stopped too.
            EXPECT_TRUE(tracks[2].status == 0 || tracks[2].status == kTrackCancelled);
            EXPECT_FALSE(exists(fake(2)));
        } else {
            EXPECT_EQ(tracks[2].status, kTrackDone);
        }
        EXPECT_EQ(prompts.shown.size(), c.stop ? 0u : 1u) << "the encoder's own box only";
        EXPECT_EQ(partFilesLeft(), 0u);
        EXPECT_EQ(script.completed.size(), c.stop ? 0u : 1u) << "only a track that is done";
        EXPECT_FALSE(exists(fake(0)));
    }
}

// Asked about an existing file, "no" keeps it and the job goes on; "yes" replaces it.
TEST_F(FakeFormatRip, AnExistingFileIsKeptWhenTheUserSaysNoOnBothPaths) {
    settings.overwrite = false;
    for (bool throughTemporaryFile : {false, true}) {
        SCOPED_TRACE(routeName(throughTemporaryFile));
        settings.antiCrackle = throughTemporaryFile;
        prompts.shown.clear();
        prompts.answer = MessageAnswer::No;
        std::filesystem::create_directories(std::filesystem::path(fake(1)).parent_path());
        std::ofstream(fake(1)) << "keep me";
        std::filesystem::remove(fake(2));
        rip({1, 2}, kFakeFormat);
        EXPECT_EQ(tracks[1].status, kTrackCancelled);
        EXPECT_EQ(fileText(fake(1)), "keep me");
        EXPECT_EQ(tracks[2].status, kTrackDone) << "the job goes on";
        ASSERT_EQ(prompts.shown.size(), 1u);
        EXPECT_EQ(prompts.shown[0].caption, "确认");
        EXPECT_EQ(prompts.shown[0].text, fake(1) + " 已经存在。\n您想要覆盖它吗？");
        EXPECT_EQ(partFilesLeft(), 0u);
        prompts.answer = MessageAnswer::Yes;
        rip({1}, kFakeFormat);
        EXPECT_TRUE(fileText(fake(1)) == "FAKE" + audio(1) + "END");
    }
}

// A format the table lacks, or one whose factory cannot serve, is passed over with status 0;
// the other tracks of the job are written.
TEST_F(FakeFormatRip, ATrackNoFormatCanWriteIsPassedOver) {
    script.unavailable = true;
    for (int32_t format : {kFakeFormat, kFormatNobodyKnows}) {
        SCOPED_TRACE(format);
        prompts.shown.clear();
        ripFormats({{0, format}, {1, kFormatWav}});
        EXPECT_EQ(tracks[0].status, 0);
        EXPECT_EQ(tracks[1].status, kTrackDone);
        EXPECT_EQ(
            std::distance(
                std::filesystem::directory_iterator(settings.outputFolder + "/Artist/Album"), {}),
            1)
            << "only the WAV file";
        std::filesystem::remove(outputFile(1, ".wav"));
        const std::vector<std::string> expected = format == kFakeFormat
                                                      ? std::vector<std::string>{"fake missing"}
                                                      : std::vector<std::string>{};
        std::vector<std::string> shown;
        for (const auto& message : prompts.shown) shown.push_back(message.text);
        EXPECT_EQ(shown, expected);
    }
}

// A permanent read error tells the paths apart: the temporary file's phase ends the job, a direct
// track fails alone. Neither leaves a file. A format that does not encode behind the drive is
// always written directly.
TEST_F(FakeFormatRip, OnlyFormatsThatEncodeBehindTheDriveGoThroughTheTemporaryFile) {
    settings.jitterMode = kJitterNever;
    shutdownCdAccess();
    insertDiscs(image.cuePath, "readerror=410");
    const struct {
        bool antiCrackle, encodesBehindDrive;
    } cases[] = {{false, true}, {true, true}, {true, false}};
    for (const auto& c : cases) {
        const bool throughTemporaryFile = c.antiCrackle && c.encodesBehindDrive;
        SCOPED_TRACE(routeName(throughTemporaryFile));
        settings.antiCrackle = c.antiCrackle;
        useFakeFormat(c.encodesBehindDrive);
        prompts.shown.clear();
        rip({0, 1, 2}, kFakeFormat);
        EXPECT_EQ(tracks[0].status, kTrackDone);
        EXPECT_EQ(tracks[1].status, kTrackFailed);
        EXPECT_FALSE(exists(fake(1)));
        EXPECT_EQ(tracks[2].status, throughTemporaryFile ? 0 : kTrackDone);
        EXPECT_EQ(partFilesLeft(), 0u);
        ASSERT_EQ(prompts.shown.size(), 1u);
        EXPECT_EQ(prompts.shown[0].caption, "Lumbra CD Ripper 错误");
        EXPECT_EQ(prompts.shown[0].text, "错误在帧 400 (-4:4)");
    }
}

}  // namespace
}  // namespace lumbra
