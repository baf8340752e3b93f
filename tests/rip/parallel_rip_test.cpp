// Albums ripped with encoder threads, end to end over the virtual drive: the files equal those of
// a rip on one thread, and stops, read errors and overwrite questions behave as on one thread.
#include <gtest/gtest.h>

#include <sched.h>
#include <sys/resource.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <map>
#include <set>
#include <thread>

#include "rip/track_status.h"
#include "support/ffmpeg_audio_decoder.h"
#include "support/rip_harness.h"

namespace lumbra {
namespace {

// An Ogg file with each page's stream serial number and checksum cleared: what is left are the
// packets and their granule positions.
std::string withoutSerials(std::string bytes) {
    constexpr size_t kHeader = 27;
    for (size_t at = 0; at + kHeader <= bytes.size() && bytes.compare(at, 4, "OggS") == 0;) {
        bytes.replace(at + 14, 4, 4, '\0');
        bytes.replace(at + 22, 4, 4, '\0');
        const size_t segments = uint8_t(bytes[at + 26]);
        size_t body = 0;
        for (size_t s = 0; s < segments; ++s) body += uint8_t(bytes[at + kHeader + s]);
        at += kHeader + segments + body;
    }
    return bytes;
}

// Prompts that take a while to answer and note when two are open at once.
class SlowPrompts : public Prompts {
public:
    explicit SlowPrompts(Prompts& inner) : inner_(inner) {}
    MessageAnswer show(const Message& message) override {
        if (open_++ > 0) overlapped = true;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        const MessageAnswer answer = inner_.show(message);
        --open_;
        return answer;
    }
    std::atomic<bool> overlapped{false};

private:
    Prompts& inner_;
    std::atomic<int> open_{0};
};

class ParallelRip : public test::RipHarness {
protected:
    void SetUp() override {
        RipHarness::SetUp();
        insertImage({600, 27, 450, 300, 520});
    }

    std::string extensionOf(int32_t format) const {
        return findOutputFormat(formats, format)->extension;
    }

    // What a player gets from the file, for comparing the rips of two thread counts.
    std::string contentOf(int i, int32_t format) const {
        const std::string path = outputFile(i, extensionOf(format));
        if (format == kFormatOgg) return withoutSerials(fileText(path));
        if (format != kFormatWma) return fileText(path);
        const auto decoded = test::decodeAudioFile(path);
        const auto* bytes = reinterpret_cast<const char*>(decoded.samples.data());
        return std::string(bytes, decoded.samples.size() * sizeof(float));
    }

    std::vector<int> allTracks() const { return {0, 1, 2, 3, 4}; }

    size_t ripDoneCount() const {
        size_t done = 0;
        for (const auto& event : events.events()) done += event.message == WM_RIP_DONE;
        return done;
    }
};

TEST_F(ParallelRip, EveryFormatGivesTheSameFilesWithOneOrThreeEncoderThreads) {
    for (const int32_t format : {kFormatMp3, kFormatOgg, kFormatWma, kFormatFlac, kFormatOpus}) {
        for (const bool antiCrackle : {false, true}) {
            SCOPED_TRACE(extensionOf(format) + (antiCrackle ? " read first" : " read along"));
            settings.antiCrackle = antiCrackle;
            std::vector<std::string> sequential;
            for (const int threads : {1, 3}) {
                settings.encoderThreads = threads;
                rip(allTracks(), format);
                for (int i : allTracks()) {
                    ASSERT_EQ(tracks[size_t(i)].status, kTrackDone) << threads << " track " << i;
                    if (threads == 1) sequential.push_back(contentOf(i, format));
                }
            }
            for (int i : allTracks()) {
                EXPECT_TRUE(contentOf(i, format) == sequential[size_t(i)]) << "track " << i;
            }
            EXPECT_EQ(partFilesLeft(), 0u);
            EXPECT_TRUE(prompts.shown.empty());
        }
    }
}

// The stop comes while two tracks are being encoded, from one with a tenth of its audio or more
// still to come: that one ends stopped. The other may have been at its last piece and end done;
// no track fails, only a done one has its file, and nothing is left half.
TEST_F(ParallelRip, AStopWhileTwoTracksEncodeEndsThemWithoutHalfFiles) {
    settings.encoderThreads = 3;
    std::mutex mutex;
    std::set<const TrackEntry*> inFlight;
    const TrackEntry* stoppedMidway = nullptr;
    events.onPost = [&](const test::PostedEvent& e) {
        const std::lock_guard lock(mutex);
        if (e.message != WM_RIP_PROGRESS || e.status <= 40) return;
        if (e.status >= kTrackDone) return void(inFlight.erase(e.track));
        inFlight.insert(e.track);
        if (inFlight.size() == 2 && e.status < 90 && !stoppedMidway) {
            stoppedMidway = e.track;
            flags.ripRunning = 0;
        }
    };
    rip(allTracks(), kFormatMp3);
    ASSERT_NE(stoppedMidway, nullptr);
    EXPECT_EQ(stoppedMidway->status, kTrackCancelled);
    for (int i : allTracks()) {
        const int32_t status = tracks[size_t(i)].status;
        EXPECT_NE(status, kTrackFailed) << "track " << i;
        EXPECT_EQ(exists(outputFile(i, ".mp3")), status == kTrackDone) << "track " << i;
    }
    EXPECT_EQ(partFilesLeft(), 0u);
    EXPECT_EQ(ripDoneCount(), 1u);
    EXPECT_EQ(events.events().back().message, WM_RIP_DONE);
}

TEST_F(ParallelRip, AReadErrorFailsItsTrackAloneWhileTheOthersAreEncoded) {
    settings.jitterMode = kJitterNever;
    const int errorFrame = tracks[1].start + 10;
    shutdownCdAccess();
    insertDiscs(image.cuePath, "readerror=" + std::to_string(errorFrame));
    settings.encoderThreads = 3;
    rip({0, 1, 2}, kFormatMp3);
    EXPECT_EQ(tracks[0].status, kTrackDone);
    EXPECT_EQ(tracks[1].status, kTrackFailed);
    EXPECT_EQ(tracks[2].status, kTrackDone);
    EXPECT_FALSE(exists(outputFile(1, ".mp3")));
    EXPECT_EQ(partFilesLeft(), 0u);
    ASSERT_EQ(prompts.shown.size(), 1u);
    EXPECT_TRUE(prompts.shown[0].text.starts_with("错误在帧 ")) << prompts.shown[0].text;
}

// Each existing file is asked about once, in track order, one question at a time, whether the
// question comes before the reading or after it.
TEST_F(ParallelRip, OverwriteQuestionsComeOneAtATimeInTrackOrder) {
    settings.encoderThreads = 3;
    rip(allTracks(), kFormatMp3);
    settings.overwrite = false;
    for (const bool antiCrackle : {false, true}) {
        SCOPED_TRACE(antiCrackle ? "read first" : "read along");
        settings.antiCrackle = antiCrackle;
        prompts.shown.clear();
        SlowPrompts slow(prompts);
        flags.ripRunning = 1;
        runRipJob({slow, events, flags, settings, disc, drives[0].openRequest, formats}, tracks);
        std::vector<std::string> asked;
        for (const auto& message : prompts.shown) asked.push_back(message.text);
        std::vector<std::string> expected;
        for (int i : allTracks()) {
            expected.push_back(outputFile(i, ".mp3") + " 已经存在。\n您想要覆盖它吗？");
            EXPECT_EQ(tracks[size_t(i)].status, kTrackDone);
        }
        EXPECT_EQ(asked, expected);
        EXPECT_FALSE(slow.overlapped);
    }
}

// Two tracks that get one name: the later one finds the earlier one's file, is asked about it
// (or replaces it unasked with overwrite on), and the file left is the one a rip on one thread
// leaves. The later track is the shorter, so on encoder threads it would be done first.
TEST_F(ParallelRip, ATrackNamedLikeAnEarlierOneIsAskedAboutItsFileAsOnOneThread) {
    tracks[0].title = tracks[1].title = "Untitled";
    const struct {
        bool overwrite;
        MessageAnswer answer;
        int32_t secondStatus;
        size_t kept;  // whose audio the file holds
    } cases[] = {
        {false, MessageAnswer::Yes, kTrackDone, 1},
        {false, MessageAnswer::No, kTrackCancelled, 0},
        {true, MessageAnswer::No, kTrackDone, 1},
    };
    const std::string question = outputFile(0, ".mp3") + " 已经存在。\n您想要覆盖它吗？";
    for (const auto& c : cases) {
        std::vector<std::string> files;
        for (const int threads : {1, 3}) {
            SCOPED_TRACE(testing::Message()
                         << c.overwrite << " " << int(c.answer) << " on " << threads << " threads");
            std::filesystem::remove_all(settings.outputFolder);
            settings.overwrite = c.overwrite;
            settings.encoderThreads = threads;
            prompts.answer = c.answer;
            prompts.shown.clear();
            rip({0, 1, 2}, kFormatMp3);
            EXPECT_EQ(tracks[0].status, kTrackDone);
            EXPECT_EQ(tracks[1].status, c.secondStatus);
            EXPECT_EQ(tracks[2].status, kTrackDone);
            ASSERT_EQ(prompts.shown.size(), c.overwrite ? 0u : 1u);
            if (!c.overwrite) {
                EXPECT_EQ(prompts.shown[0].text, question);
            }
            files.push_back(fileText(outputFile(0, ".mp3")));
        }
        EXPECT_TRUE(files[0] == files[1]) << "the same file on one and on three threads";
        const double seconds = test::decodeAudioFile(outputFile(0, ".mp3")).decodedSeconds();
        EXPECT_NEAR(seconds, c.kept ? 27 / 75.0 : 600 / 75.0, 0.2);
    }
}

// The job's threads yield to the user's work at the lowest normal priority: the idle class gets
// no processor at all on a busy machine.
TEST_F(ParallelRip, TheReaderAndTheEncodersRunAtTheLowestNormalPriority) {
    settings.encoderThreads = 3;
    std::mutex mutex;
    std::map<pid_t, std::pair<int, int>> seen;  // each posting thread's policy and nice value
    events.onPost = [&](const test::PostedEvent&) {
        const std::lock_guard lock(mutex);
        seen[gettid()] = {sched_getscheduler(0), getpriority(PRIO_PROCESS, id_t(gettid()))};
    };
    for (auto& track : tracks) {
        track.format = kFormatMp3;
        applyEncoderDefaults(track, settings.encoder);
        track.checked = 1;
    }
    const int ownNice = getpriority(PRIO_PROCESS, id_t(gettid()));
    flags.ripRunning = 1;
    const RipSession job = session();
    startRipJob(job, tracks).join();
    EXPECT_GE(seen.size(), 2u) << "the reader and the encoder threads";
    for (const auto& [thread, priority] : seen) {
        EXPECT_EQ(priority.first, SCHED_OTHER) << "thread " << thread;
        EXPECT_EQ(priority.second, 19) << "thread " << thread;
    }
    EXPECT_EQ(seen.count(gettid()), 0u);
    EXPECT_EQ(getpriority(PRIO_PROCESS, id_t(gettid())), ownNice) << "the caller's is its own";
    for (int i : allTracks()) EXPECT_EQ(tracks[size_t(i)].status, kTrackDone);
}

}  // namespace
}  // namespace lumbra
