// Albums ripped onto a disk with room for their files and little more: audio waiting for an
// encoder must not take the room the files need, so encoder threads give the files one thread
// gives.
#include <gtest/gtest.h>

#include <filesystem>

#include "rip/track_status.h"
#include "support/cue_image.h"
#include "support/rip_harness.h"
#include "support/small_disk.h"

namespace lumbra {
namespace {

class SmallDiskRip : public test::RipHarness {
protected:
    static void SetUpTestSuite() { privateMounts_ = test::enterPrivateMounts(); }

    void SetUp() override {
        if (!privateMounts_) GTEST_SKIP() << "this system lets the test mount no tmpfs";
        RipHarness::SetUp();
    }

    // Rips every track of the disc on a fresh disk of `bytes`; what each file holds.
    std::vector<std::string> ripOnto(uint64_t bytes, int32_t format, const std::string& extension) {
        std::filesystem::create_directories(settings.outputFolder);
        const test::SmallDisk disk(settings.outputFolder, bytes);
        EXPECT_TRUE(disk.mounted());
        std::vector<int> all(tracks.size());
        for (size_t i = 0; i < all.size(); ++i) all[i] = int(i);
        prompts.shown.clear();
        rip(all, format);
        std::vector<std::string> files;
        for (int i : all) {
            EXPECT_EQ(tracks[size_t(i)].status, kTrackDone) << "track " << i;
            files.push_back(fileText(outputFile(i, extension)));
        }
        for (const auto& message : prompts.shown) ADD_FAILURE() << message.text;
        EXPECT_EQ(partFilesLeft(), 0u);
        return files;
    }

private:
    static inline bool privateMounts_ = false;
};

// Eight 20-second tracks: 28 MB of CD audio, 2.6 MB of MP3 files on a 6 MB disk. The reader
// outruns the encoders, fills the 16 MiB of memory and would spill the rest.
TEST_F(SmallDiskRip, EncoderThreadsLeaveTheFilesTheirRoom) {
    const auto image = test::writeCueImage(dir.path(), "album", std::vector<int>(8, 1500));
    insertDiscs(image.cuePath);
    constexpr uint64_t kDisk = uint64_t(6) << 20;
    settings.encoderThreads = 1;
    const auto oneThread = ripOnto(kDisk, kFormatMp3, ".mp3");
    settings.encoderThreads = 2;
    const auto twoThreads = ripOnto(kDisk, kFormatMp3, ".mp3");
    for (size_t i = 0; i < oneThread.size(); ++i) {
        EXPECT_TRUE(oneThread[i] == twoThreads[i]) << "track " << i;
    }
}

}  // namespace
}  // namespace lumbra
