// The audio between the reader and an encoder thread: whatever the budget and however the two
// take turns, the encoder gets exactly what was read, in order, and nothing is left behind.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "platform/part_file.h"
#include "rip/track_audio.h"
#include "support/temp_dir.h"

namespace lumbra {
namespace {

std::vector<uint8_t> readOf(int number, size_t bytes) {
    std::vector<uint8_t> read(bytes);
    for (size_t i = 0; i < bytes; ++i) read[i] = uint8_t(number * 31 + int(i));
    return read;
}

size_t partFilesIn(const std::string& folder) {
    size_t parts = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        parts += entry.path().filename().string().starts_with(platform::kPartFilePrefix);
    }
    return parts;
}

class AudioBetweenThreads : public ::testing::Test {
protected:
    test::TempDir dir;
    std::atomic<int32_t> running{1};

    // Appends `reads` reads, the encoder taking one piece after every `takeEvery` of them, then
    // the rest; returns what the encoder got.
    std::vector<uint8_t> passThrough(AudioBudget& budget, int reads, int takeEvery,
                                     size_t* spilledParts) {
        std::vector<uint8_t> taken;
        std::vector<uint8_t> piece;
        const SpillRoom room(dir.path());
        TrackAudio audio(budget, room);
        for (int r = 0; r < reads; ++r) {
            EXPECT_TRUE(audio.append(readOf(r, 1000 + size_t(r) * 7), true, running));
            if (takeEvery && r % takeEvery == 0) {
                EXPECT_EQ(audio.take(piece), TrackAudio::Taken::Audio);
                taken.insert(taken.end(), piece.begin(), piece.end());
            }
            *spilledParts = std::max(*spilledParts, partFilesIn(dir.path()));
        }
        audio.close(true);
        while (audio.take(piece) == TrackAudio::Taken::Audio) {
            taken.insert(taken.end(), piece.begin(), piece.end());
        }
        EXPECT_EQ(audio.take(piece), TrackAudio::Taken::End);
        return taken;
    }
};

TEST_F(AudioBetweenThreads, TheEncoderGetsEveryReadInOrderWhereverItWaited) {
    const struct {
        size_t budget;
        int takeEvery;
        bool spills;
    } cases[] = {
        {1 << 20, 0, false},  // all in memory
        {0, 0, true},         // all on disk
        {3500, 0, true},      // the first reads in memory, the rest on disk
        {3500, 2, true},      // the encoder catches up now and then: memory, disk, memory ...
        {1000, 1, true},      // the encoder catches up at once: the file starts anew each time
    };
    constexpr int kReads = 40;
    std::vector<uint8_t> expected;
    for (int r = 0; r < kReads; ++r) {
        const auto read = readOf(r, 1000 + size_t(r) * 7);
        expected.insert(expected.end(), read.begin(), read.end());
    }
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.budget << " bytes, take every " << c.takeEvery);
        AudioBudget budget(c.budget);
        size_t spilledParts = 0;
        EXPECT_TRUE(passThrough(budget, kReads, c.takeEvery, &spilledParts) == expected);
        EXPECT_EQ(spilledParts, c.spills ? 1u : 0u);
        EXPECT_EQ(partFilesIn(dir.path()), 0u) << "the spilled audio goes with the track";
        EXPECT_TRUE(budget.take(c.budget)) << "all the memory is given back";
    }
}

TEST_F(AudioBetweenThreads, AShortReadAndAnEncoderThatGivesUpEndTheTrack) {
    AudioBudget budget(2000);
    const SpillRoom room(dir.path());
    std::vector<uint8_t> piece;
    {
        TrackAudio audio(budget, room);
        ASSERT_TRUE(audio.append(readOf(1, 1500), true, running));
        audio.close(false);
        EXPECT_EQ(audio.take(piece), TrackAudio::Taken::Audio) << "what was read comes first";
        EXPECT_EQ(audio.take(piece), TrackAudio::Taken::Short);
    }
    TrackAudio audio(budget, room);
    ASSERT_TRUE(audio.append(readOf(1, 1500), true, running));
    ASSERT_TRUE(audio.append(readOf(2, 1500), true, running));  // spilled
    audio.giveUp();
    EXPECT_FALSE(audio.append(readOf(3, 1500), true, running)) << "the reader stops";
    EXPECT_EQ(partFilesIn(dir.path()), 0u);
    EXPECT_TRUE(budget.take(2000));
}

// No memory and no disk: a reader whose encoder takes along waits for it, and stops waiting when
// the rip is stopped; a reader that reads the track whole first cannot wait and fails at once.
TEST_F(AudioBetweenThreads, WithoutRoomTheReaderWaitsOnlyForAnEncoderThatTakesAlong) {
    AudioBudget budget(1500);
    const SpillRoom noFolder(dir.path() + "/no such folder");
    TrackAudio audio(budget, noFolder);
    ASSERT_TRUE(audio.append(readOf(1, 1500), true, running));
    EXPECT_FALSE(audio.append(readOf(2, 1500), false, running));
    std::thread encoder([&] {
        std::vector<uint8_t> piece;
        EXPECT_EQ(audio.take(piece), TrackAudio::Taken::Audio);
        EXPECT_TRUE(piece == readOf(1, 1500));
    });
    EXPECT_TRUE(audio.append(readOf(2, 1500), true, running)) << "once there is room";
    encoder.join();
    std::thread stopper([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        running = 0;
    });
    EXPECT_FALSE(audio.append(readOf(3, 1500), true, running)) << "until the stop";
    stopper.join();
}

// The disk keeps the room reserved for output files: past it, a reader whose encoder takes along
// waits rather than spill; one that cannot wait spills all the same, as its last resort.
TEST_F(AudioBetweenThreads, SpilledAudioLeavesTheReservedRoomToTheFiles) {
    AudioBudget budget(1500);
    SpillRoom room(dir.path(), [](const std::string&) { return uint64_t(10000); });
    TrackAudio audio(budget, room);
    ASSERT_TRUE(audio.append(readOf(1, 1500), true, running));
    ASSERT_TRUE(audio.append(readOf(2, 1500), true, running)) << "spilled into free room";
    {
        const SpillRoom::Reservation files(room, 9000);
        std::thread stopper([&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            running = 0;
        });
        EXPECT_FALSE(audio.append(readOf(3, 1500), true, running)) << "waited until the stop";
        stopper.join();
        running = 1;
        EXPECT_TRUE(audio.append(readOf(3, 1500), false, running)) << "cannot wait: spills";
    }
    EXPECT_TRUE(audio.append(readOf(4, 1500), true, running)) << "the room is free again";
}

}  // namespace
}  // namespace lumbra
