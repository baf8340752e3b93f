// Jitter-corrected reads at the places where drift used to slip through: the end of the last
// audio track, audio that follows digital silence, and the last audio track of an Enhanced CD.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cdaccess/audio_reads.h"
#include "cdaccess/cd_access.h"
#include "cdaccess/cd_access_errors.h"
#include "cdaccess/last_error.h"
#include "support/extraction_rip.h"
#include "support/isolated_cd_access.h"
#include "support/segment_image.h"
#include "support/temp_dir.h"

namespace lumbra {
namespace {

using test::ImageTrack;
using test::Stretch;

class ExactReads : public test::IsolatedCdAccess {
protected:
    test::TempDir dir;

    // Rips track `index` of `tracks` in `mode` on a fresh drive showing `faults`.
    test::TrackRip ripTrack(const std::vector<ImageTrack>& tracks, size_t index, int32_t mode,
                            const std::string& faults) {
        const auto image = test::writeSegmentImage(dir.path(), "disc", tracks);
        startVirtualDrives(image.cuePath, faults);
        auto rip = test::ripTrackLikeTheJob(index, mode);
        rip.expected = image.trackBytes[index];
        return rip;
    }
};

TEST_F(ExactReads, TheLastAudioTrackIsReadToItsEnd) {
    const std::vector<ImageTrack> alone{{{{448}}}};
    const std::vector<ImageTrack> beforeData{{{{448}}}, {{{300}}, true}};
    const std::vector<ImageTrack> enhanced{{{{300}}}, {{{448}}}, {{{300}}, true, true}};
    const struct {
        const std::vector<ImageTrack>* tracks;
        size_t index;
        int32_t mode;
        std::string faults;
    } cases[] = {
        {&alone, 0, 2, "jitter=300,seed=26"},
        {&alone, 0, 2, "jitter=588,seed=3"},
        {&alone, 0, 1, "jitter=300,seed=26,readerror=440:1"},
        {&beforeData, 0, 2, "jitter=300,seed=26"},
        {&beforeData, 0, 1, "jitter=588,seed=9,readerror=447:1"},
        {&enhanced, 1, 0, ""},
        {&enhanced, 1, 2, "jitter=300,seed=26"},
        {&enhanced, 1, 1, "jitter=588,seed=4,readerror=740:1"},
    };
    for (const auto& c : cases) {
        const auto rip = ripTrack(*c.tracks, c.index, c.mode, c.faults);
        EXPECT_TRUE(rip.exact()) << "track " << c.index + 1 << " of " << c.tracks->size()
                                 << ", mode " << c.mode << ", " << c.faults << ": " << rip.failure;
    }
}

TEST_F(ExactReads, AudioAfterSilenceStaysInPlace) {
    const std::vector<ImageTrack> track{
        {{{100}, {40, true}, {100}, {1, true}, {100}, {30, true}, {77}}}};
    for (int32_t mode : {1, 2}) {
        for (int seed = 1; seed <= 8; ++seed) {
            const std::string faults =
                "jitter=300,seed=" + std::to_string(seed) + (mode == 1 ? ",readerror=30:1" : "");
            const auto rip = ripTrack(track, 0, mode, faults);
            EXPECT_TRUE(rip.exact()) << "mode " << mode << ", " << faults << ": " << rip.failure;
        }
    }
}

}  // namespace
}  // namespace lumbra
