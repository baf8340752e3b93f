// Rips of generated discs on a drive that lands off after every seek and fails reads now and
// then: whatever the audio, the jitter mode and the drive do, a track comes back bit-exact.
// LUMBRA_EXTRACTION_CASES sets how many discs are tried (the soak target tries thousands).
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "support/extraction_rip.h"
#include "support/isolated_cd_access.h"
#include "support/segment_image.h"
#include "support/temp_dir.h"

namespace lumbra {
namespace {

using test::ImageTrack;
using test::Stretch;

constexpr int kDefaultCases = 300;
constexpr int kMaxJitterSamples = 588;

enum class Ending { LeadOut, DataTrack, SecondSession };

// One generated case: the disc, the track to rip, and how the drive and the rip behave.
struct RipCase {
    std::vector<ImageTrack> tracks;
    size_t ripped = 0;
    int32_t mode = 0;
    std::string faults;
    std::string description;
};

// Noise with runs of silence from 1 to 50 frames anywhere, the track's ends included.
ImageTrack audioTrack(std::mt19937_64& random) {
    ImageTrack track;
    const int frames = 20 + int(random() % 240);
    for (int made = 0; made < frames;) {
        const bool silent = random() % 3 == 0;
        const int run = std::min(frames - made, 1 + int(random() % (silent ? 50 : 80)));
        track.stretches.push_back({run, silent});
        made += run;
    }
    return track;
}

int framesOf(const ImageTrack& track) {
    int frames = 0;
    for (const Stretch& s : track.stretches) frames += s.frames;
    return frames;
}

RipCase generate(uint64_t seed) {
    std::mt19937_64 random(seed);
    RipCase c;
    const size_t audioTracks = 1 + random() % 2;
    for (size_t t = 0; t < audioTracks; ++t) c.tracks.push_back(audioTrack(random));
    const auto ending = Ending(random() % 3);
    if (ending != Ending::LeadOut) {
        c.tracks.push_back({{{30}}, true, ending == Ending::SecondSession});
    }
    // The last audio track, where the reads meet the end of what can be read, half the time.
    c.ripped = random() % 2 ? audioTracks - 1 : random() % audioTracks;
    int start = 0;
    for (size_t t = 0; t < c.ripped; ++t) start += framesOf(c.tracks[t]);
    const int length = framesOf(c.tracks[c.ripped]);

    c.mode = int32_t(random() % 3);
    c.faults = "jitter=" + std::to_string(random() % (kMaxJitterSamples + 1)) +
               ",seed=" + std::to_string(random() % 100000);
    for (uint64_t e = random() % 3; e > 0; --e) {
        c.faults += ",readerror=" + std::to_string(start + int(random() % uint64_t(length))) + ":" +
                    std::to_string(1 + random() % 2);
    }
    c.description = "case seed " + std::to_string(seed) + ": track " +
                    std::to_string(c.ripped + 1) + " of " + std::to_string(c.tracks.size()) +
                    ", ending " + std::to_string(int(ending)) + ", mode " + std::to_string(c.mode) +
                    ", " + c.faults;
    return c;
}

int caseCount() {
    const char* text = std::getenv("LUMBRA_EXTRACTION_CASES");
    const int cases = text ? std::atoi(text) : 0;
    return cases > 0 ? cases : kDefaultCases;
}

class ExtractionProperty : public test::IsolatedCdAccess {
protected:
    test::TempDir dir;
};

// Read errors here fail at most twice, and every read is tried three times: nothing may fail.
TEST_F(ExtractionProperty, EveryTrackOfGeneratedDiscsComesBackBitExact) {
    const int cases = caseCount();
    for (int k = 0; k < cases; ++k) {
        const RipCase c = generate(uint64_t(k) + 1);
        const auto image = test::writeSegmentImage(dir.path(), "disc", c.tracks, uint64_t(k) + 7);
        startVirtualDrives(image.cuePath, c.faults);
        auto rip = test::ripTrackLikeTheJob(c.ripped, c.mode);
        rip.expected = image.trackBytes[c.ripped];
        ASSERT_TRUE(rip.exactOrNamedFailure()) << c.description << ": wrong audio delivered";
        EXPECT_TRUE(rip.exact()) << c.description << ": " << rip.failure;
        if (HasFailure()) break;
    }
}

}  // namespace
}  // namespace lumbra
