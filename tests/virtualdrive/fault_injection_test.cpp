// The jitter fault of LUMBRA_VIRTUAL_FAULTS as the transport sees it, and how the fault list is
// read. The other faults show in the read-method and rip tests that depend on them.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "cdaccess/cd_frame.h"
#include "plugins/virtualdrive/demo_disc.h"
#include "plugins/virtualdrive/fault_settings.h"
#include "virtualdrive/virtual_drive_client.h"

namespace lumbra::virtualdrive::test {
namespace {

constexpr size_t kFrame = kFrameBytes;
constexpr uint32_t kCount = 10;
constexpr int kLimit = 40;

// How many samples each of a series of reads landed away from where it should (999: further
// than the jitter reaches).
std::vector<int> landingsOfReads(const char* faults) {
    static const auto demo = makeDemoDisc();
    EXPECT_EQ(VirtualDriveModule::get().configure("demo", faults), 1);
    std::vector<int> landings;
    for (uint32_t first : {2000u, 2000u + kCount, 1000u, 3000u, 1500u, 1500u + kCount, 500u}) {
        const auto delivered = runGood(0, readCdCdb(first, kCount), kCount * kFrame);
        std::vector<uint8_t> truth(delivered.size() + 8 * kLimit);
        EXPECT_TRUE(demo->audio->read(int64_t(first) * kFrame - 4 * kLimit, truth));
        int landing = 999;
        for (int shift = -kLimit; shift <= kLimit && landing == 999; ++shift) {
            const uint8_t* at = truth.data() + 4 * (shift + kLimit);
            if (std::memcmp(at, delivered.data(), delivered.size()) == 0) landing = shift;
        }
        EXPECT_NE(landing, 999) << "a read from " << first << " landed beyond the jitter";
        landings.push_back(landing);
    }
    return landings;
}

TEST(VirtualDriveFaults, JitterMovesOnlyReadsAfterASeekAndRepeatsWithItsSeed) {
    const auto landings = landingsOfReads("jitter=40,seed=9");
    ASSERT_EQ(landings.size(), 7u);
    EXPECT_EQ(landings[0], 0) << "the first read lands exactly";
    EXPECT_EQ(landings[1], 0) << "a read that continues the last lands exactly";
    EXPECT_EQ(landings[5], 0) << "so does one that continues a read after a seek";
    const int seeks[] = {landings[2], landings[3], landings[4], landings[6]};
    EXPECT_TRUE(std::any_of(std::begin(seeks), std::end(seeks), [](int s) { return s != 0; }));
    EXPECT_EQ(landingsOfReads("jitter=40,seed=9"), landings);
    EXPECT_EQ(landingsOfReads("seed=9"), std::vector<int>(7, 0));
}

// A drive listed +N hands over the samples N before the ones asked for: the first frames come with
// silence from before the disc in front, the last ones with silence from past its end behind.
TEST(VirtualDriveFaults, ReadOffsetShiftsEveryReadAndFillsBeyondTheDiscWithSilence) {
    static const auto demo = makeDemoDisc();
    // The last audio frames: the demo disc ends with a data track, which reads as silence.
    const uint32_t last = demo->tracks.back().start - kCount;
    for (int offset : {-1164, 6, 1776}) {
        const std::string faults = "offset=" + std::to_string(offset);
        ASSERT_EQ(VirtualDriveModule::get().configure("demo", faults.c_str()), 1);
        for (uint32_t first : {0u, 2000u, last}) {
            const auto delivered = runGood(0, readCdCdb(first, kCount), kCount * kFrame);
            std::vector<uint8_t> truth(delivered.size());
            ASSERT_TRUE(demo->audio->read((int64_t(first) * kSamplesPerFrame - offset) * 4, truth));
            EXPECT_EQ(delivered, truth) << "offset " << offset << ", frame " << first;
        }
    }
}

TEST(VirtualDriveFaults, SettingsKeepWhatTheyUnderstandAndListTheRest) {
    const auto settings = parseFaultSettings(
        " jitter=5, bogus,delay=abc,readerror=7:0,readerror=8:3,reject=9,reject=2/4, seed=3,nodisc,"
        "untouched=6,delay=250,jitter=-1,offset=--4,offset=+x,offset=-472");
    EXPECT_EQ(settings.jitterSamples, 5);
    EXPECT_EQ(settings.seed, 3u);
    EXPECT_TRUE(settings.noDisc);
    EXPECT_EQ(settings.delay, std::chrono::milliseconds(250));
    EXPECT_EQ(settings.readOffset, -472);
    EXPECT_EQ(settings.readErrors.size(), 1u);
    EXPECT_EQ(settings.rejected, ReadMethodSet().set(2).set(4));
    EXPECT_EQ(settings.ignoredItems,
              (std::vector<std::string>{"bogus", "delay=abc", "readerror=7:0", "reject=9",
                                        "jitter=-1", "offset=--4", "offset=+x"}));
}

}  // namespace
}  // namespace lumbra::virtualdrive::test
