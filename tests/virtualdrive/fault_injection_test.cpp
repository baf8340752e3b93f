// Each fault of LUMBRA_VIRTUAL_FAULTS, seen as the transport sees it. (The delay and nodisc
// faults are covered with completion and the tray.)
#include <gtest/gtest.h>

#include <cstring>
#include <optional>

#include "plugins/virtualdrive/demo_disc.h"
#include "plugins/virtualdrive/fault_settings.h"
#include "virtualdrive/virtual_drive_client.h"

namespace lumbra::virtualdrive::test {
namespace {

constexpr size_t kFrame = 2352;
constexpr uint32_t kCount = 10;

std::vector<uint8_t> readFrames(uint32_t first, uint8_t fields = 0x10) {
    return runGood(0, readCdCdb(first, kCount, fields), kCount * kFrame);
}

// How many samples a read from `first` landed away from where it should, if within `limit`.
std::optional<int> landingOffset(const std::vector<uint8_t>& delivered, uint32_t first, int limit) {
    static const auto demo = makeDemoDisc();
    std::vector<uint8_t> truth(delivered.size() + 8 * size_t(limit));
    EXPECT_TRUE(demo->audio->read(int64_t(first) * kFrame - 4 * limit, truth));
    for (int shift = -limit; shift <= limit; ++shift) {
        const size_t at = size_t(4 * (shift + limit));
        if (std::memcmp(truth.data() + at, delivered.data(), delivered.size()) == 0) return shift;
    }
    return std::nullopt;
}

std::vector<int> landingsOfSeeks(const char* faults) {
    EXPECT_EQ(VirtualDriveModule::get().configure("demo", faults), 1);
    std::vector<int> landings;
    for (uint32_t first : {2000u, 2000u + kCount, 1000u, 3000u, 1500u, 1500u + kCount, 500u}) {
        const auto offset = landingOffset(readFrames(first), first, 40);
        EXPECT_TRUE(offset.has_value()) << "a read from " << first << " landed beyond the jitter";
        landings.push_back(offset.value_or(999));
    }
    return landings;
}

TEST(VirtualDriveFaults, JitterMovesOnlyReadsAfterASeekAndRepeatsWithItsSeed) {
    const auto landings = landingsOfSeeks("jitter=40,seed=9");
    ASSERT_EQ(landings.size(), 7u);
    EXPECT_EQ(landings[0], 0) << "the first read lands exactly";
    EXPECT_EQ(landings[1], 0) << "a read that continues the last lands exactly";
    EXPECT_EQ(landings[5], 0) << "so does one that continues a read after a seek";
    const int seeks[] = {landings[2], landings[3], landings[4], landings[6]};
    EXPECT_TRUE(std::any_of(std::begin(seeks), std::end(seeks), [](int s) { return s != 0; }));
    EXPECT_EQ(landingsOfSeeks("jitter=40,seed=9"), landings);
    EXPECT_EQ(landingsOfSeeks("seed=9"), std::vector<int>(7, 0));
}

TEST(VirtualDriveFaults, ReadErrorsFailReadsCoveringTheirFrameAsOftenAsAsked) {
    ASSERT_EQ(VirtualDriveModule::get().configure("demo", "readerror=1000:2, readerror=5000"), 1);
    EXPECT_EQ(runCommand(0, readCdCdb(990, 10), 10 * kFrame).status, kStatusDone);
    for (int attempt = 0; attempt < 2; ++attempt) {
        EXPECT_EQ(runCommand(0, readCdCdb(995, 10), 10 * kFrame).sense, kUnrecoveredReadError);
    }
    EXPECT_EQ(runCommand(0, readCdCdb(1000, 1), kFrame).status, kStatusDone);
    for (int attempt = 0; attempt < 5; ++attempt) {
        EXPECT_EQ(runCommand(0, vendorD8Cdb(4999, 2), 2 * kFrame).sense, kUnrecoveredReadError);
    }
}

TEST(VirtualDriveFaults, RejectedMethodsFailWhileOthersRead) {
    ASSERT_EQ(VirtualDriveModule::get().configure("demo", "reject=1/5,reject=3,reject=7"), 1);
    auto methodWorks = [](const std::vector<uint8_t>& cdb) {
        const auto result = runCommand(0, cdb, kCount * kFrame);
        EXPECT_TRUE(result.status == kStatusDone || result.sense == kInvalidOpcode);
        return result.status == kStatusDone;
    };
    EXPECT_FALSE(methodWorks(readCdCdb(100, kCount, 0x10)));
    EXPECT_TRUE(methodWorks(readCdCdb(100, kCount, 0xF0)));
    EXPECT_FALSE(methodWorks(vendorD8Cdb(100, kCount)));
    EXPECT_TRUE(methodWorks(vendorD4Cdb(100, kCount))) << "method 6";
    runSelect(0, blockSizeSelectC());
    EXPECT_FALSE(methodWorks(vendorD4Cdb(100, kCount))) << "method 7";
    runSelect(0, blockSizeSelectA());
    EXPECT_FALSE(methodWorks(read10Cdb(100, kCount))) << "methods 3 and 4";
    for (const auto& select : blockSizeSelectsB()) runSelect(0, select);
    EXPECT_TRUE(methodWorks(read10Cdb(100, kCount))) << "method 8";
}

TEST(VirtualDriveFaults, UntouchedMethodReportsSuccessAndLeavesTheBuffer) {
    ASSERT_EQ(VirtualDriveModule::get().configure("demo", "untouched=2"), 1);
    const auto isFill = [](uint8_t b) { return b == kUnwrittenByte; };
    const auto untouched = readFrames(100, 0xF0);
    EXPECT_TRUE(std::all_of(untouched.begin(), untouched.end(), isFill));
    const auto read = readFrames(100, 0x10);
    EXPECT_FALSE(std::all_of(read.begin(), read.end(), isFill));
}

TEST(VirtualDriveFaults, SettingsKeepWhatTheyUnderstandAndListTheRest) {
    const auto settings = parseFaultSettings(
        " jitter=5, bogus,delay=abc,readerror=7:0,readerror=8:3,reject=9,reject=2/4, seed=3,nodisc,"
        "untouched=6,delay=250,jitter=-1");
    EXPECT_EQ(settings.jitterSamples, 5);
    EXPECT_EQ(settings.seed, 3u);
    EXPECT_TRUE(settings.noDisc);
    EXPECT_EQ(settings.delay, std::chrono::milliseconds(250));
    ASSERT_EQ(settings.readErrors.size(), 1u);
    EXPECT_EQ(settings.readErrors[0].frame, 8u);
    EXPECT_EQ(settings.readErrors[0].count, 3u);
    EXPECT_EQ(settings.rejected, ReadMethodSet().set(2).set(4));
    EXPECT_EQ(settings.untouched, ReadMethodSet().set(6));
    EXPECT_EQ(
        settings.ignoredItems,
        (std::vector<std::string>{"bogus", "delay=abc", "readerror=7:0", "reject=9", "jitter=-1"}));
}

}  // namespace
}  // namespace lumbra::virtualdrive::test
